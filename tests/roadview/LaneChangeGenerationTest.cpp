#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config/ConfigRW.h"
#include "config/DemandTestSupport.h"
#include "config/KDConfig.h"
#include "config/RoadTypes.h"
#include "roadview/LaneChangeGeneration.h"
#include "roadview/LaneChangeTestSupport.h"
#include "support/ReportCapture.h"

// Roads are listed upstream first: {begin [m], lane types of lanes 0, 1, ...}.
// 73 = change right allowed, 76 = both, 70 = change left allowed, 67 = no change,
// 83 = must merge left, 326 / 585 = tapered on- / off-ramp, 1024 / 2048 = teleport in / out.

namespace {

// Three lanes that stay separate over the middle section (no lane changes there) and join
// again downstream: traffic for the end of the road may pass on either side.
std::unique_ptr<KDConfig> SplitAndJoin() {
  return MakeRoad(3000, {{0, {73, 70}}, {1000, {67, 67}}, {2000, {73, 70}}});
}

// A left lane that ends as an exit after the upstream section, where every vehicle in it must
// leave it; the two right lanes stay apart in the middle section.
std::unique_ptr<KDConfig> LeftExitBesideSplitLanes() {
  auto road = MakeRoad(4000, {{0, {73, 76, 70}}, {2000, {0, 67, 67}}, {3000, {0, 73, 70}}});
  road->SetPhysicalSectionProperty(2, 0, PP_ALLLANECHANGE, 1);
  return road;
}

// Four lanes; the right lane ends at 6000 m as an exit.
std::unique_ptr<KDConfig> RightExit() {
  return MakeRoad(7000, {{0, {73, 76, 76, 70}}, {5000, {73, 76, 76, 70}}, {6000, {73, 76, 70}}});
}

}  // namespace

TEST(LaneChangeGenerationThroughRoad, MarksEverySectionUpToTheOrigin) {
  auto road = MakeRoad(3000, {{0, {73, 76, 70}}, {1000, {73, 76, 70}}, {2000, {73, 76, 70}}});
  const std::vector<std::string> lines = Generate(*road);
  EXPECT_EQ(lines, (std::vector<std::string>{"Sink 0 1", "Reachable from 1",
                                             "222000000000 222000000000 222000000000 "}));
  EXPECT_EQ(road->LaneChangeAreaCount(0), 0);
  EXPECT_TRUE(CheckLaneChangeAreas(*road));
}

TEST(LaneChangeGenerationThroughRoad, ReplacesWhateverWasStoredBefore) {
  auto road = MakeRoad(3000, {{0, {73, 76, 70}}, {2000, {73, 76, 70}}});
  ASSERT_EQ(road->SinkCount(), 1);
  road->AddLaneChangeArea(0, 1, 2500, 300, 200, true);
  EXPECT_FALSE(CheckLaneChangeAreas(*road));
  Generate(*road);
  EXPECT_EQ(road->LaneChangeAreaCount(0), 0);
  EXPECT_TRUE(CheckLaneChangeAreas(*road));
}

TEST(LaneChangeGenerationLaneEnd, OneMergeAreaLimitedByTheRoomUpstream) {
  // The right lane must merge left in the middle section; upstream of it the lane may change
  // left over the first section only.
  struct Case {
    int firstSectionEnd;  // [m]
    int required;
    int voluntary;
  };
  for (const Case& c : {Case{1000, 600, 400}, Case{2000, 600, 600}, Case{500, 500, 0}}) {
    SCOPED_TRACE(c.firstSectionEnd);
    const int e = c.firstSectionEnd;
    auto road = MakeRoad(e + 2000, {{0, {73, 76, 70}}, {e, {73, 76, 83}}, {e + 1000, {73, 70}}});
    const std::vector<std::string> lines = Generate(*road);
    EXPECT_TRUE(Contains(lines, "Merge from lane 2 to lane 1 in section 2"));
    EXPECT_EQ(AreasOf(*road, 0), (std::vector<AreaRow>{{2, 'L', e, c.required, c.voluntary}}));
  }
}

TEST(LaneChangeGenerationLaneEnd, LengthsComeFromTheSettings) {
  auto road = MakeRoad(5000, {{0, {73, 76, 70}}, {3000, {73, 76, 83}}, {4000, {73, 70}}});
  Generate(*road, {400, 250, 0});
  EXPECT_EQ(AreasOf(*road, 0), (std::vector<AreaRow>{{2, 'L', 3000, 400, 250}}));
}

TEST(LaneChangeGenerationLaneEnd, AllLaneChangeStretchLengthensTheRequiredPart) {
  // The right lane must merge left from 4000 m on; every vehicle must leave it over the 1000 m
  // before that. When the obligation goes on downstream, the forced lane takes care of it.
  struct Case {
    bool downstreamToo;
    int required;
  };
  for (const Case& c : {Case{false, 1600}, Case{true, 600}}) {
    SCOPED_TRACE(c.downstreamToo);
    auto road = MakeRoad(
        6000, {{0, {73, 76, 70}}, {3000, {73, 76, 70}}, {4000, {73, 76, 83}}, {5000, {73, 70}}});
    road->SetPhysicalSectionProperty(2, 2, PP_ALLLANECHANGE, 1);
    if (c.downstreamToo) road->SetPhysicalSectionProperty(1, 2, PP_ALLLANECHANGE, 1);
    Generate(*road);
    EXPECT_EQ(AreasOf(*road, 0), (std::vector<AreaRow>{{2, 'L', 4000, c.required, 600}}));
  }
}

TEST(LaneChangeGenerationCrossing, AdditionalLengthForEachLaneBeyondTheSecond) {
  // Reaching the exit lane 3 from lane 0 crosses three lanes: the areas of lanes 1 and 2
  // already cover the exit's position and count as lanes to cross.
  for (int additional : {0, 200, 500}) {
    SCOPED_TRACE(additional);
    auto road = RightExit();
    const std::vector<std::string> lines = Generate(*road, {600, 600, additional});
    EXPECT_TRUE(Contains(lines, "Merge from lane 0 to lane 3 in section 1"));
    ASSERT_EQ(SinkLocations(*road)[1], (Location{1, 3, 3}));
    EXPECT_EQ(AreasOf(*road, 1), (std::vector<AreaRow>{{0, 'R', 6000, 1200 + additional, 600},
                                                       {1, 'R', 6000, 1200, 600},
                                                       {2, 'R', 6000, 600, 600}}));
    // The traffic staying on the road leaves the exit lane.
    EXPECT_EQ(AreasOf(*road, 0), (std::vector<AreaRow>{{3, 'L', 6000, 600, 600}}));
  }
}

TEST(LaneChangeGenerationRegenerate, KeepsALongerAreaAtTheSamePlace) {
  // Lane 0 first gets an area lengthened by its all-lane-change stretch (limited to the 2000
  // m of road upstream); reached again from the other side it would get a shorter one.
  auto road = LeftExitBesideSplitLanes();
  const std::vector<std::string> lines = Generate(*road);
  EXPECT_TRUE(Contains(lines, "Not  creating merge at lane 0 position 2000"));
  EXPECT_FALSE(Contains(lines, "Replacing merge at lane 0 position 2000"));
  const std::vector<AreaRow> areas = AreasOf(*road, 0);
  ASSERT_EQ(areas.size(), 3u);
  EXPECT_EQ(areas[0], (AreaRow{0, 'R', 2000, 2000, 0, 0}));
  // The kept area was met twice: it applies to every vehicle.
  EXPECT_EQ(road->LaneChangeAreaProbability(0, 0, 0), 0.0f);
}

TEST(LaneChangeGenerationRouteChoice, OppositeMergesAtOnePlaceFormGroupOne) {
  struct Case {
    const char* name;
    std::unique_ptr<KDConfig> road;
    std::vector<AreaRow> expected;
  };
  Case cases[] = {
      {"split and join", SplitAndJoin(), {{0, 'R', 1000, 1000, 0, 1}, {1, 'L', 1000, 600, 400, 1}}},
      // Lane 2 is found to lead to the destination only when the walk comes back to the
      // upstream section from the second lane group.
      {"left exit",
       LeftExitBesideSplitLanes(),
       {{0, 'R', 2000, 2000, 0, 0}, {1, 'R', 2000, 1200, 600, 1}, {2, 'L', 2000, 600, 600, 1}}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    Generate(*c.road);
    ASSERT_EQ(AreasOf(*c.road, 0), c.expected);
    for (int rank = 0; rank < c.road->LaneChangeAreaCount(0); ++rank) {
      if (c.road->LaneChangeAreaRouteChoiceGroup(0, rank) != 1) continue;
      for (int type = 0; type < MAXVEHICLETYPE; ++type)
        EXPECT_EQ(c.road->LaneChangeAreaProbability(0, rank, type), 0.5f) << rank << " " << type;
    }
  }
}

TEST(LaneChangeGenerationRouteChoice, DebugLinesShowTheMarks) {
  auto road = SplitAndJoin();
  EXPECT_EQ(Generate(*road), (std::vector<std::string>{
                                 "Sink 0 1", "Merge from lane 1 to lane 0 in section 2",
                                 "Reachable from 1", "Merge from lane 0 to lane 1 in section 2",
                                 "220000000000 220000000000 630000000000 "}));
}

TEST(LaneChangeGenerationTapers, OnRampTaperDownstreamLeavesTheMergeToTheTaper) {
  // A parallel acceleration lane ends in a two-lane taper: the merge in front of the taper
  // has no length, for the ending lane and for the taper's left lane alike.
  auto road = MakeRoad(2000, {{0, {73, 76, 70}}, {1000, {73, 326, 326}}, {1300, {73, 70}}});
  Generate(*road);
  EXPECT_EQ(AreasOf(*road, 0), (std::vector<AreaRow>{{1, 'R', 1000, 0, 0}, {2, 'L', 1000, 0, 0}}));
  EXPECT_TRUE(CheckLaneChangeAreas(*road));
}

TEST(LaneChangeGenerationTapers, OffRampTaperIsTheRequiredStretch) {
  // A tapered off-ramp opens lane 2 between 1000 and 1300 m.
  struct Case {
    const char* name;
    std::vector<int> downstream;              // lane types after the taper
    std::vector<std::vector<AreaRow>> areas;  // per destination
  };
  const Case cases[] = {
      // The exit is lane 2 alone: lanes 0 and 1 move right within the taper.
      {"exit beside the road",
       {73, 70, 67},
       {{{2, 'L', 1300, 300, 0}}, {{0, 'R', 1300, 300, 0}, {1, 'R', 1300, 300, 0}}}},
      // The exit takes lanes 1 and 2: the road's traffic leaves lane 1 through the taper and
      // before it.
      {"exit takes the right lane",
       {67, 67, 70},
       {{{1, 'L', 1300, 300, 0}, {2, 'L', 1300, 300, 0}, {1, 'L', 1000, 600, 400}},
        {{0, 'R', 1300, 300, 0}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto road = MakeRoad(2000, {{0, {73, 70}}, {1000, {73, 585, 585}}, {1300, c.downstream}});
    Generate(*road);
    ASSERT_EQ(road->SinkCount(), static_cast<int>(c.areas.size()));
    for (int d = 0; d < road->SinkCount(); ++d) EXPECT_EQ(AreasOf(*road, d), c.areas[d]) << d;
  }
}

TEST(LaneChangeGenerationClosed, ClosedStretchesOfOneLaneAreJoined) {
  // Lane 1 may be entered from lane 0 but never left towards it: the destination's traffic
  // must stay out of it over both sections.
  auto road = MakeRoad(3000, {{0, {73, 67}}, {1000, {73, 67}}, {2000, {67, 67}}});
  const std::vector<std::string> lines = Generate(*road);
  EXPECT_TRUE(Contains(lines, "Closed; merge left in section 1 lane 1"));
  EXPECT_TRUE(Contains(lines, "Closed; merge left in section 2 lane 1"));
  EXPECT_EQ(AreasOf(*road, 0), (std::vector<AreaRow>{{1, 'L', 2000, 2000, 0}}));
}

TEST(LaneChangeGenerationClosed, ClosedStretchesOfOtherLanesStaySeparate) {
  // The middle lane's destination: lane 0 is closed to it downstream, lane 2 upstream. The
  // two stretches meet end to end but belong to different lanes.
  auto road = MakeRoad(3000, {{0, {67, 73, 67}}, {1000, {67, 70, 67}}, {2000, {67, 67, 67}}});
  ASSERT_EQ(SinkLocations(*road)[1], (Location{0, 1, 1}));
  Generate(*road);
  EXPECT_EQ(AreasOf(*road, 1),
            (std::vector<AreaRow>{{0, 'R', 2000, 1000, 0}, {2, 'L', 1000, 1000, 0}}));
}

TEST(LaneChangeGenerationTeleports, WalkFollowsTheLinkAndEndsOnALoop) {
  // Lane 1 of the second section runs into a teleport entrance whose exit feeds the same
  // section again.
  auto road = MakeRoad(4000, {{0, {73}}, {1000, {73, 2048}}, {2000, {73, 70}}, {3000, {67, 1024}}});
  ASSERT_EQ(road->TeleportCount(true), 1);
  ASSERT_EQ(road->TeleportCount(false), 1);
  road->SetTeleportCounterPart(true, 0, 0);
  road->SetTeleportCounterPart(false, 0, 0);
  ReportCapture capture;
  const std::vector<std::string> lines = Generate(*road);
  EXPECT_TRUE(capture.Empty());
  EXPECT_TRUE(Contains(lines, "Reachable from 1"));
  // The lane change back into lane 1 is found through the teleport.
  EXPECT_TRUE(Contains(lines, "Merge from lane 0 to lane 1 in section 1"));
  EXPECT_TRUE(CheckLaneChangeAreas(*road));
}

TEST(LaneChangeGenerationTeleports, UnlinkedExitLeadsNowhere) {
  auto road = MakeRoad(4000, {{0, {73}}, {1000, {73, 2048}}, {2000, {73, 70}}, {3000, {67, 1024}}});
  ReportCapture capture;
  const std::vector<std::string> lines = Generate(*road);
  EXPECT_TRUE(capture.Empty());
  EXPECT_FALSE(Contains(lines, "Merge from lane 0 to lane 1 in section 1"));
  EXPECT_EQ(AreasOf(*road, 0), (std::vector<AreaRow>{{1, 'L', 3000, 600, 400}}));
}

TEST(LaneChangeGenerationStored, AreasAreValidForTheFileFormat) {
  std::unique_ptr<KDConfig> roads[] = {
      SplitAndJoin(), LeftExitBesideSplitLanes(), RightExit(),
      MakeRoad(2000, {{0, {73, 70}}, {1000, {73, 585, 585}}, {1300, {67, 67, 70}}})};
  for (auto& road : roads) {
    Generate(*road);
    for (int d = 0; d < road->SinkCount(); ++d) {
      for (const AreaRow& a : AreasOf(*road, d)) {
        SCOPED_TRACE(testing::Message() << a);
        EXPECT_GE(a.position - a.required - a.voluntary, 0);
        EXPECT_LE(a.position, road->Length());
        EXPECT_GE(a.group, 0);
      }
    }
  }
}

TEST(LaneChangeAreasUpdate, KeepsEditedLengthsAndGeneratesNewAreas) {
  auto road = MakeRoad(5000, {{0, {73, 76, 70}}, {3000, {73, 76, 83}}, {4000, {73, 70}}});
  Generate(*road);
  ASSERT_EQ(road->LaneChangeAreaCount(0), 1);
  road->SetLaneChangeAreaLengthRequired(0, 0, 333);
  road->SetLaneChangeAreaLengthVoluntary(0, 0, 111);
  // A fourth lane upstream gets a new area.
  road->SetPhysicalSectionProperty(2, 3, PP_LANETYPE, 70);
  road->SetPhysicalSectionProperty(2, 2, PP_LANETYPE, 76);
  ASSERT_TRUE(UpdateLaneChangeAreas(*road, {}));
  EXPECT_EQ(AreasOf(*road, 0),
            (std::vector<AreaRow>{{2, 'L', 3000, 333, 111}, {3, 'L', 3000, 1200, 600}}));
  // Rebuild starts from scratch.
  Generate(*road);
  EXPECT_EQ(AreasOf(*road, 0),
            (std::vector<AreaRow>{{2, 'L', 3000, 600, 600}, {3, 'L', 3000, 1200, 600}}));
}

TEST(LaneChangeAreasUpdate, KeepsTheGeneratedRouteChoice) {
  auto road = SplitAndJoin();
  Generate(*road);
  road->SetLaneChangeAreaLengthRequired(0, 1, 450);
  ASSERT_TRUE(UpdateLaneChangeAreas(*road, {}));
  EXPECT_EQ(AreasOf(*road, 0),
            (std::vector<AreaRow>{{0, 'R', 1000, 1000, 0, 1}, {1, 'L', 1000, 450, 400, 1}}));
  EXPECT_EQ(road->LaneChangeAreaProbability(0, 1, 7), 0.5f);
}

TEST(CheckLaneChangeAreas, AcceptsEditedLengthsAndProbabilities) {
  auto road = SplitAndJoin();
  Generate(*road);
  road->SetLaneChangeAreaLengthRequired(0, 0, 10);
  road->SetLaneChangeAreaLengthVoluntary(0, 1, 0);
  road->SetLaneChangeAreaProbability(0, 1, -1, 0.8f, 1);
  EXPECT_TRUE(CheckLaneChangeAreas(*road));
}

TEST(CheckLaneChangeAreas, RejectsAreasThatNoLongerMatch) {
  struct Case {
    const char* name;
    void (*edit)(KDConfig&);
  };
  const Case cases[] = {
      {"missing", [](KDConfig& c) { c.DeleteLaneChangeArea(0, 0); }},
      {"extra", [](KDConfig& c) { c.AddLaneChangeArea(0, 0, 2500, 100, 0, false); }},
      {"moved", [](KDConfig& c) { c.SetLaneChangeAreaPosition(0, 1, 999); }},
      {"other direction",
       [](KDConfig& c) {
         c.DeleteLaneChangeArea(0, 1);
         c.AddLaneChangeArea(0, 1, 1000, 600, 400, false);
       }},
      {"road changed", [](KDConfig& c) { c.SetPhysicalSectionProperty(1, 1, PP_LANETYPE, 70); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto road = SplitAndJoin();
    Generate(*road);
    c.edit(*road);
    EXPECT_FALSE(CheckLaneChangeAreas(*road));
  }
}

TEST(CheckLaneChangeAreas, LeavesTheConfigurationAsItWas) {
  auto road = SplitAndJoin();
  ASSERT_EQ(road->SinkCount(), 1);
  road->AddLaneChangeArea(0, 0, 2500, 100, 0, false);
  road->SetLaneChangeAreaProbability(0, 0, 3, 0.25f, 2);
  const int stamp = road->ChangeStamp();
  const std::vector<AreaRow> before = AreasOf(*road, 0);
  std::vector<std::string> lines;
  EXPECT_FALSE(CheckLaneChangeAreas(*road, {}, [&](const std::string& l) { lines.push_back(l); }));
  EXPECT_EQ(road->ChangeStamp(), stamp);
  EXPECT_EQ(AreasOf(*road, 0), before);
  EXPECT_EQ(road->LaneChangeAreaProbability(0, 0, 3), 0.25f);
  EXPECT_FALSE(lines.empty());
}

TEST(LaneChangeSettingsText, FieldsThatHoldNoNumberGiveTheFallbacks) {
  struct Case {
    const char* required;
    const char* voluntary;
    const char* additional;
    LaneChangeSettings expected;
  };
  const Case cases[] = {
      {"600", "500", "200", {600, 500, 200}},
      {"", "abc", " ", {300, 300, 0}},
      {"12x", "0", "-50", {300, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.required);
    LaneChangeSettings s = LaneChangeSettingsFromText(c.required, c.voluntary, c.additional);
    EXPECT_EQ(s.required, c.expected.required);
    EXPECT_EQ(s.voluntary, c.expected.voluntary);
    EXPECT_EQ(s.additional, c.expected.additional);
  }
}

TEST(LaneChangeSettingsText, KeysAboveTheLimitAreRefused) {
  EXPECT_FALSE(LaneChangeSettingKeyRefused("999", '9'));
  EXPECT_TRUE(LaneChangeSettingKeyRefused("9999", '0'));
  EXPECT_FALSE(LaneChangeSettingKeyRefused("", 'a'));
  EXPECT_TRUE(LaneChangeRebuildAllowed("0", "600"));
  EXPECT_FALSE(LaneChangeRebuildAllowed("", "600"));
  EXPECT_FALSE(LaneChangeRebuildAllowed("600", "-1"));
}

TEST(LaneChangeGenerationExamples, StoredAreasAreTheGeneratedOnes) {
  for (const char* file : {"motorway-3lane.kav", "on-ramp-taper.kav", "off-ramp.kav", "weaving.kav",
                           "lane-drop.kav", "ramp-metering.kav", "bench-motorway.kav"}) {
    SCOPED_TRACE(file);
    std::unique_ptr<KDConfig> config;
    ASSERT_TRUE(LoadConfig(std::string(KAVRO_SOURCE_DIR) + "/examples/" + file, config).ok);
    EXPECT_TRUE(CheckLaneChangeAreas(*config));
    std::vector<std::vector<AreaRow>> stored;
    for (int d = 0; d < config->SinkCount(); ++d) stored.push_back(AreasOf(*config, d));
    const std::vector<std::string> lines = Generate(*config);
    for (int d = 0; d < config->SinkCount(); ++d) EXPECT_EQ(AreasOf(*config, d), stored[d]) << d;
    // The walk comes to the origin of the through traffic.
    bool reached = false;
    for (const std::string& line : lines) reached |= line.rfind("Reachable from ", 0) == 0;
    EXPECT_TRUE(reached);
  }
}
