// The example configurations in examples/ and the golden file of every keyword in
// tests/golden/: each is built here through the model the way an engineer builds it in the
// editor, and each must read and write back byte for byte (apart from the date and version
// lines). KAVRO_REGENERATE_EXAMPLES=1 rewrites the files from the builders; review the diff
// before committing it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "config/ConfigLine.h"
#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/RoadTypes.h"
#include "config/fs_params.h"
#include "roadview/LaneChangeGeneration.h"
#include "support/FileText.h"
#include "support/ReportCapture.h"

namespace {

const char* const kDate = "Mon Jan  5 09:00:00 2026\n";

// Lane type codes as the editor offers them.
constexpr int ANY = 0, RIGHT = 1, LEFT = 2, NONE = 3, MERGE_LEFT = 5, TAPER_ON = 7;
constexpr int OFF = 9;

// Builds the road: section ends [m] from upstream to downstream, and for each section (same
// order) the lane type codes from lane 0. Lane types are set with the editor's neighbour
// adjustment, twice: the adjustment only takes permissions away, and the first pass meets
// neighbours that are not paved yet.
void BuildRoad(KDConfig& c, const std::vector<int>& ends,
               const std::vector<std::vector<int>>& codes) {
  for (int lane = 0; lane < MAX_KAVROLANE; lane++)
    c.SetPhysicalSectionProperty(0, lane, PP_LANETYPE, 0, false);
  c.SetLength(ends.back());
  for (size_t i = 0; i + 1 < ends.size(); i++) c.InsertBoundary(ends[i]);
  int last = c.Boundaries();
  for (int pass = 0; pass < 2; pass++) {
    for (int s = 0; s <= last; s++) {
      const std::vector<int>& lanes = codes[last - s];
      for (int lane = 0; lane < static_cast<int>(lanes.size()); lane++)
        c.SetPhysicalSectionProperty(s, lane, PP_LANETYPE,
                                     static_cast<float>(LaneTypeFromCode(lanes[lane])), false);
    }
  }
}

// Ranks follow from the road (downstream sections first); the examples find their origins
// and destinations by their leftmost lane.
int Origin(KDConfig& c, int fromLane) {
  for (int r = 0; r < c.SourceCount(); r++)
    if (c.SourceFromLane(r) == fromLane) return r;
  ADD_FAILURE() << "no origin at lane " << fromLane;
  return 0;
}

int Destination(KDConfig& c, int fromLane) {
  for (int r = 0; r < c.SinkCount(); r++)
    if (c.SinkFromLane(r) == fromLane) return r;
  ADD_FAILURE() << "no destination at lane " << fromLane;
  return 0;
}

// A share as the editor takes it: typed with three decimals.
float Typed(float share) {
  float value = 0;
  ValueScanner(FormatFixed(share, 3)).Float(value);
  return value;
}

// A car-dominated mix of the five default vehicle types: fast cars, cars, slow cars, vans and
// trucks; `trucks` is the truck share.
void SetMix(KDConfig& c, int origin, float trucks) {
  float vans = 0.05f;
  float cars = 1.0f - trucks - vans;
  const float shares[5] = {cars * 0.35f, cars * 0.45f, cars * 0.20f, vans, trucks};
  for (int t = 0; t < 5; t++) c.SetOVProbability(origin, t, Typed(shares[t]));
}

void SetFlows(KDConfig& c, int origin, const std::vector<std::pair<int, int>>& points) {
  for (const auto& [time, flow] : points) c.SetOFlow(origin, time, flow);
}

// OD share of every vehicle type from `origin` to `destination`.
void SetOD(KDConfig& c, int origin, int destination, float share) {
  c.SetODProbability(origin, destination, -1, share);
}

void SetRun(KDConfig& c, int seconds) {
  c.SetSeed(12345);
  c.SetTimeStep(0.5f);
  c.SetMaxTime(seconds);
  c.SetDetectorTimes(60, 60);
}

void Motorway3Lane(KDConfig& c) {
  BuildRoad(c, {6000}, {{RIGHT, ANY, LEFT}});
  for (int x = 1000; x < 6000; x += 1000) c.AddDetector(x);
  c.SetSourceName(0, "A-north");
  c.SetSinkName(0, "A-south");
  SetFlows(c, 0, {{0, 3000}, {600, 4200}, {1800, 5400}, {3000, 4000}});
  SetMix(c, 0, 0.12f);
  SetOD(c, 0, 0, 1.0f);
  SetRun(c, 3600);
}

void OnRampTaper(KDConfig& c) {
  // Two through lanes; the ramp runs beside them behind a barrier, then becomes a parallel
  // acceleration lane of 250 m that ends in a 150 m taper: two lanes narrowing to one, the
  // acceleration lane and the strip beside it. The taper's end is a destination of the road
  // that no traffic is bound for.
  BuildRoad(c, {1000, 1300, 1550, 1700, 4000},
            {{RIGHT, LEFT},
             {RIGHT, LEFT, NONE},
             {RIGHT, ANY, LEFT},
             {RIGHT, ANY, TAPER_ON, TAPER_ON},
             {RIGHT, LEFT}});
  for (int x : {800, 1250, 2000, 3500}) c.AddDetector(x);
  int main = Origin(c, 0), ramp = Origin(c, 2);
  int downstream = Destination(c, 0), taperEnd = Destination(c, 2);
  c.SetSourceName(main, "Main");
  c.SetSourceName(ramp, "Ramp");
  c.SetSinkName(downstream, "Downstream");
  c.SetSinkName(taperEnd, "Taper end");
  SetFlows(c, main, {{0, 2800}, {900, 3400}, {2700, 3000}});
  SetFlows(c, ramp, {{0, 600}, {900, 900}, {2700, 700}});
  SetMix(c, main, 0.15f);
  SetMix(c, ramp, 0.08f);
  for (int origin : {main, ramp}) {
    SetOD(c, origin, downstream, 1.0f);
    SetOD(c, origin, taperEnd, 0.0f);
  }
  SetRun(c, 3600);
}

void OffRamp(KDConfig& c) {
  // Three lanes; a 300 m deceleration lane opens on the right, then runs 300 m beside the
  // motorway behind a barrier and leaves as the exit.
  BuildRoad(
      c, {2000, 2300, 2600, 5000},
      {{RIGHT, ANY, LEFT}, {RIGHT, ANY, ANY, LEFT}, {RIGHT, ANY, LEFT, NONE}, {RIGHT, ANY, LEFT}});
  for (int x : {1000, 1900, 2200, 3500}) c.AddDetector(x);
  int through = Destination(c, 0), exit = Destination(c, 3);
  c.SetSourceName(0, "Main");
  c.SetSinkName(through, "Through");
  c.SetSinkName(exit, "Exit");
  SetFlows(c, 0, {{0, 3600}, {1200, 4800}, {2400, 4200}});
  SetMix(c, 0, 0.10f);
  SetOD(c, 0, through, 0.85f);
  SetOD(c, 0, exit, 0.15f);
  SetRun(c, 3600);
}

void Weaving(KDConfig& c) {
  // An on-ramp joins as an auxiliary lane that leaves again 600 m further as an off-ramp.
  BuildRoad(
      c, {1500, 1800, 2400, 2700, 5000},
      {{RIGHT, LEFT}, {RIGHT, LEFT, NONE}, {RIGHT, ANY, LEFT}, {RIGHT, LEFT, NONE}, {RIGHT, LEFT}});
  for (int x : {1000, 2100, 3500}) c.AddDetector(x);
  int main = Origin(c, 0), ramp = Origin(c, 2);
  int through = Destination(c, 0), exit = Destination(c, 2);
  c.SetSourceName(main, "Main");
  c.SetSourceName(ramp, "On-ramp");
  c.SetSinkName(through, "Through");
  c.SetSinkName(exit, "Off-ramp");
  SetFlows(c, main, {{0, 3000}, {900, 3600}, {2700, 3200}});
  SetFlows(c, ramp, {{0, 700}, {900, 1000}, {2700, 800}});
  SetMix(c, main, 0.12f);
  SetMix(c, ramp, 0.06f);
  SetOD(c, main, through, 0.8f);
  SetOD(c, main, exit, 0.2f);
  SetOD(c, ramp, through, 0.9f);
  SetOD(c, ramp, exit, 0.1f);
  SetRun(c, 3600);
}

void LaneDrop(KDConfig& c) {
  // Three lanes to two: the right lane must merge left over its last 400 m; 80 km/h from
  // 500 m before the drop to 1 km after it.
  BuildRoad(c, {1500, 2000, 2400, 3400, 5000},
            {{RIGHT, ANY, LEFT},
             {RIGHT, ANY, LEFT},
             {RIGHT, ANY, MERGE_LEFT},
             {RIGHT, LEFT},
             {RIGHT, LEFT}});
  for (int s = 1; s <= 3; s++)
    for (int lane = 0; lane < 3; lane++)
      c.SetPhysicalSectionProperty(s, lane, PP_SPEEDLIMIT, 80.0f, false);
  for (int x : {1000, 1900, 2300, 3000, 4500}) c.AddDetector(x);
  c.SetSourceName(0, "West");
  c.SetSinkName(0, "East");
  SetFlows(c, 0, {{0, 2400}, {600, 3600}, {2400, 3000}});
  SetMix(c, 0, 0.14f);
  SetOD(c, 0, 0, 1.0f);
  SetRun(c, 3600);
}

void RampMetering(KDConfig& c) {
  // An on-ramp with a metering signal 100 m before it joins the two-lane motorway through a
  // 300 m acceleration lane: one vehicle per green, a 10 s cycle.
  BuildRoad(c, {1000, 1500, 1800, 4000},
            {{RIGHT, LEFT}, {RIGHT, LEFT, NONE}, {RIGHT, ANY, MERGE_LEFT}, {RIGHT, LEFT}});
  c.AddTrafficLight("", 1400, 2, 1, 10, 2, 1, 0);
  for (int x : {900, 1450, 2500}) c.AddDetector(x);
  int main = Origin(c, 0), ramp = Origin(c, 2);
  c.SetSourceName(main, "Main");
  c.SetSourceName(ramp, "Metered ramp");
  c.SetSinkName(0, "Downstream");
  SetFlows(c, main, {{0, 3200}, {900, 3800}, {2700, 3400}});
  SetFlows(c, ramp, {{0, 500}, {900, 800}, {2700, 600}});
  SetMix(c, main, 0.12f);
  SetMix(c, ramp, 0.05f);
  SetOD(c, main, 0, 1.0f);
  SetOD(c, ramp, 0, 1.0f);
  SetRun(c, 3600);
}

void BenchMotorway(KDConfig& c) {
  BuildRoad(c, {5000}, {{RIGHT, ANY, LEFT}});
  for (int x = 1000; x < 5000; x += 1000) c.AddDetector(x);
  c.SetSourceName(0, "Entry");
  c.SetSinkName(0, "Exit");
  SetFlows(c, 0, {{0, 4500}});
  // 10 % trucks: the 5 % vans (8 m) count as trucks too, being longer than 6 m.
  SetMix(c, 0, 0.05f);
  SetOD(c, 0, 0, 1.0f);
  SetRun(c, 3600);
}

// Every keyword of the format, with the values that are easy to get wrong: teleports with
// their links, a closed lane, route choice, a controller light, slopes, speed suppression,
// lanes closed for overtaking trucks and six vehicle types.
void EveryKeyword(KDConfig& c) {
  BuildRoad(c, {2000, 3000, 6000},
            {{RIGHT, ANY, ANY, NONE}, {RIGHT, ANY, LEFT}, {RIGHT, ANY, LEFT, NONE}});
  c.SetPhysicalSectionProperty(2, 3, PP_LANETYPE, TELEPORTIN, false);
  c.SetPhysicalSectionProperty(0, 3, PP_LANETYPE, TELEPORTOUT, false);
  c.SetPhysicalSectionProperty(1, 2, PP_SLOPE, 0.035f, false);
  c.SetPhysicalSectionProperty(1, 1, PP_SPEEDSUPPRESSION, 0.85f, false);
  c.SetPhysicalSectionProperty(0, 0, PP_NOOVERTAKINGTRUCKS, 1, false);
  c.SetPhysicalSectionProperty(0, 1, PP_NOOVERTAKINGTRUCKS, 1, false);
  c.SetPhysicalSectionProperty(0, 2, PP_ALLLANECHANGE, 1, false);
  c.SetPhysicalSectionProperty(0, 2, PP_SPEEDLIMIT, 90.0f, false);
  c.SetTeleportCounterPart(true, 0, 1);
  c.SetTeleportCounterPart(false, 0, 1);
  c.SetTempClosedArea(1, 5500, 300, 200, 0, 1200, 2400);
  c.AddTrafficLight("", 2500, 1, 1, 60, 25, 3, 10);
  c.AddTrafficLight("junction", 2500, 2, 2, 0, 0, 0, 0);
  for (int x : {1000, 2500, 4000}) c.AddDetector(x);
  c.AddVDCType(VDC_KAVRO);
  c.SetVDCParam(VDC_KAVRO, 5, FS_length, 16.5f);
  c.SetKavroGeneralParam(1, 0.4f);
  for (int o = 0; o < c.SourceCount(); o++) {
    c.SetSourceName(o, "Origin " + std::to_string(o + 1));
    SetFlows(c, o, {{0, 1000 + 500 * o}, {1800, 1500}});
    SetMix(c, o, 0.1f);
    for (int d = 0; d < c.SinkCount(); d++) SetOD(c, o, d, 1.0f);
  }
  for (int d = 0; d < c.SinkCount(); d++) c.SetSinkName(d, "Destination " + std::to_string(d + 1));
  c.AddLaneChangeArea(0, 2, 5000, 400, 300, true);
  c.AddLaneChangeArea(0, 0, 4500, 200, 0, false);
  c.SetLaneChangeAreaProbability(0, 0, -1, 0.4f, 3);
  c.SetSeed(77);
  c.SetTimeStep(0.2f);
  c.SetMaxTime(1800);
  c.SetDetectorTimes(300, 120);
}

struct Example {
  const char* folder;
  const char* file;
  std::function<void(KDConfig&)> build;
};

const Example kExamples[] = {
    {"examples", "motorway-3lane.kav", Motorway3Lane},
    {"examples", "on-ramp-taper.kav", OnRampTaper},
    {"examples", "off-ramp.kav", OffRamp},
    {"examples", "weaving.kav", Weaving},
    {"examples", "lane-drop.kav", LaneDrop},
    {"examples", "ramp-metering.kav", RampMetering},
    {"examples", "bench-motorway.kav", BenchMotorway},
    {"tests/golden", "config-every-keyword.kav", EveryKeyword},
};

std::string ExamplePath(const Example& example) {
  return std::string(KAVRO_SOURCE_DIR) + "/" + example.folder + "/" + example.file;
}

// The text without its first two lines: the date and the program version.
std::string WithoutStamp(const std::string& text) {
  size_t first = text.find('\n');
  size_t second = first == std::string::npos ? first : text.find('\n', first + 1);
  return second == std::string::npos ? std::string() : text.substr(second + 1);
}

}  // namespace

TEST(KavroConfigExamples, AreWhatTheirBuildersMake) {
  bool regenerate = std::getenv("KAVRO_REGENERATE_EXAMPLES") != nullptr;
  for (const Example& example : kExamples) {
    SCOPED_TRACE(example.file);
    ReportCapture capture;
    KDConfig config;
    example.build(config);
    // The examples' lane change areas are generated from the road, as the editor's Rebuild
    // does; the golden file keeps its hand-made ones.
    if (std::string(example.folder) == "examples") {
      ASSERT_TRUE(GenerateLaneChangeAreas(config, LaneChangeSettings{}));
    }
    EXPECT_TRUE(capture.Empty()) << capture.Reports().front().text;
    std::string text = KavroConfigText(config, kDate);
    if (regenerate) std::ofstream(ExamplePath(example), std::ios::binary) << text;
    EXPECT_EQ(WithoutStamp(ReadWholeFile(ExamplePath(example))), WithoutStamp(text));
  }
}

TEST(KavroConfigExamples, ReadAndWriteBackIdentically) {
  for (const Example& example : kExamples) {
    SCOPED_TRACE(example.file);
    std::string path = ExamplePath(example);
    std::unique_ptr<KDConfig> loaded;
    ConfigReadResult result = LoadConfig(path, loaded);
    ASSERT_TRUE(result.ok) << result.error.line << ": " << result.error.message;
    EXPECT_TRUE(result.warnings.empty());
    EXPECT_EQ(WithoutStamp(KavroConfigText(*loaded, kDate)), WithoutStamp(ReadWholeFile(path)));
  }
}
