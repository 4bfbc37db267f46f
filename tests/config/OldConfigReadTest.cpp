// Reading old-style (V4) configuration files: the positional items, the conversion of the
// per-lane demand into the demand per origin, and the line-numbered errors.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/OldConfigRW.h"
#include "config/OldConfigTestFiles.h"
#include "config/RoadTypes.h"
#include "config/fs_params.h"
#include "support/ReportCapture.h"

namespace {

struct Reading {
  ConfigReadResult result;
  std::unique_ptr<KDConfig> config;
};

Reading Read(const std::string& text) {
  Reading reading;
  ReportCapture capture;
  reading.result = LoadConfigText("old.kav", text, reading.config);
  EXPECT_TRUE(capture.Empty()) << capture.Reports().front().text;
  EXPECT_FALSE(TerminateRequested());
  return reading;
}

Reading Read(const OldStyleFile& file, int items = 99) { return Read(file.Text(items)); }

// Expects the reading to fail at `line` with a message starting with `message`.
void ExpectError(const OldStyleFile& file, int line, const std::string& message) {
  Reading reading = Read(file);
  ASSERT_FALSE(reading.result.ok);
  EXPECT_EQ(reading.result.error.line, line) << reading.result.error.message;
  EXPECT_EQ(reading.result.error.message.substr(0, message.size()), message)
      << reading.result.error.message;
  EXPECT_FALSE(reading.config);
}

// A road with two destinations: lanes 0 and 1 go on, lane 2 leaves at the end of section 1
// (2000 m).
OldStyleFile TwoDestinations() {
  OldStyleFile file;
  file.header = " 3000 0 3 0";
  file.boundaries = {"1 2000"};
  // One origin of three lanes in section 1; lane 2 ends with section 1, lanes 0 and 1 go on.
  file.laneTypes = {"1 2 9", "1 0 2"};
  file.unusedSections = {"0", "0", "0", "0"};
  file.laneProperties = {"1.0 1.0", "1.0 1.0 1.0"};
  file.flows = {"1 0", "1000", "1 0", "1000", "1 0", "500"};
  file.vehicleShares = {"50 50", "50 50", "50 50"};
  file.odPercentages = {"100 0 0", "100 0 0", "0 0 100"};
  return file;
}

}  // namespace

TEST(OldConfigRead, ReadsTheRoad) {
  OldStyleFile file = TwoDestinations();
  file.header = " 3000 0 3 0";
  file.laneProperties = {"1.0,1,100,0.02 0.9", "1.0 1.0 0.8,0,120"};
  Reading reading = Read(file);
  ASSERT_TRUE(reading.result.ok) << reading.result.error.message;
  KDConfig& c = *reading.config;
  EXPECT_EQ(c.Length(), 3000);
  ASSERT_EQ(c.Boundaries(), 1);
  EXPECT_EQ(c.SectionPos(1, WHENCE_END), 2000);
  // Codes map to lane types and are stored without neighbour adjustment.
  EXPECT_EQ(c.IntPhysicalSectionProperty(0, 0, PP_LANETYPE), LANETYPE_CHANGERIGHT);
  EXPECT_EQ(c.IntPhysicalSectionProperty(0, 1, PP_LANETYPE), LANETYPE_CHANGELEFT);
  EXPECT_EQ(c.IntPhysicalSectionProperty(0, 2, PP_LANETYPE), LANETYPE_UNPAVED);
  EXPECT_EQ(c.IntPhysicalSectionProperty(1, 1, PP_LANETYPE), LANETYPE_ANYCHANGE);
  EXPECT_EQ(c.IntPhysicalSectionProperty(1, 3, PP_LANETYPE), LANETYPE_UNPAVED);
  // A speed limit other than the default replaces the speed suppression.
  EXPECT_EQ(c.PhysicalSectionProperty(0, 0, PP_SPEEDLIMIT), 100.0f);
  EXPECT_EQ(c.PhysicalSectionProperty(0, 0, PP_SPEEDSUPPRESSION), 1.0f);
  EXPECT_EQ(c.IntPhysicalSectionProperty(0, 0, PP_NOOVERTAKINGTRUCKS), 1);
  EXPECT_FLOAT_EQ(c.PhysicalSectionProperty(0, 0, PP_SLOPE), 0.02f);
  EXPECT_FLOAT_EQ(c.PhysicalSectionProperty(0, 1, PP_SPEEDSUPPRESSION), 0.9f);
  // The default speed limit is not stored, so the suppression stays.
  EXPECT_FLOAT_EQ(c.PhysicalSectionProperty(1, 2, PP_SPEEDSUPPRESSION), 0.8f);
  EXPECT_EQ(c.DetectorCount(), 1);
  EXPECT_EQ(c.DetectorPosition(0), 1500);
  EXPECT_EQ(c.SourceCount(), 1);
  EXPECT_EQ(c.SinkCount(), 2);
}

TEST(OldConfigRead, ReadsParametersAndRunSettings) {
  OldStyleFile file;
  file.generalParams = {"2.5 0.4 0.1"};
  file.runSettings = {"4711 0.5 14400"};
  file.detectorTimes = {"2 600 1200"};
  Reading reading = Read(file);
  ASSERT_TRUE(reading.result.ok) << reading.result.error.message;
  KDConfig& c = *reading.config;
  EXPECT_FLOAT_EQ(c.GetKavroGeneralParam(0), 2.5f);
  EXPECT_FLOAT_EQ(c.GetKavroGeneralParam(2), 0.1f);
  EXPECT_EQ(c.VDCTypeCount(VDC_KAVRO), 2);
  float value = 0;
  c.GetVDCParam(VDC_KAVRO, 1, FS_preferred_v, &value);
  EXPECT_FLOAT_EQ(value, 115);
  EXPECT_EQ(c.Seed(), 4711);
  EXPECT_FLOAT_EQ(c.TimeStep(), 0.5f);
  // 14400 steps of 0.5 s; sample times 600 and 1200 steps.
  EXPECT_EQ(c.MaxTime(), 7200);
  EXPECT_EQ(c.DetectorTime(0), 300);
  EXPECT_EQ(c.DetectorTime(1), 600);
}

TEST(OldConfigRead, DetectorTimesWithoutSampleTimesAreZero) {
  OldStyleFile file;
  file.detectorTimes = {"0"};
  Reading reading = Read(file);
  ASSERT_TRUE(reading.result.ok);
  EXPECT_EQ(reading.config->DetectorTime(0), 0);
  EXPECT_EQ(reading.config->DetectorTime(5), 0);
}

TEST(OldConfigRead, AStarLineEndsTheVehicleParametersWithDefaults) {
  OldStyleFile file;
  file.vehicleParams = {"1.0 0.6 0.5", "0.56 0.72 2.0",     "4.0 2.4 1.0", "-0.5 -0.5 -0.5",
                        "-3 -2.4 -2",  "-7 -7 -6",          "125 115 95",  "4.5 4 8",
                        "3 3 3",       "0.005 0.005 0.005", "95 85 75",    "80 50 12"};
  // The separator "*" comes at parameter 12: it ends the parameters and separates the run
  // settings.
  file.runSettings = {"11 0.5 7200"};
  Reading reading = Read(file);
  ASSERT_TRUE(reading.result.ok) << reading.result.error.message;
  KDConfig& c = *reading.config;
  ASSERT_EQ(c.VDCTypeCount(VDC_KAVRO), 3);
  for (int type = 0; type < 3; type++) {
    for (int p : {FS_std_dev_spec_pwr, FS_air_resistance_coeff, FS_a_traffic_light}) {
      float value = 0;
      c.GetVDCParam(VDC_KAVRO, type, p, &value);
      EXPECT_FLOAT_EQ(value, FSDefault(p, type)) << "type " << type << " param " << p;
    }
  }
  EXPECT_EQ(c.Seed(), 11);
  EXPECT_EQ(c.MaxTime(), 3600);
}

TEST(OldConfigRead, AStarLineBeforeParameterTenIsRefused) {
  OldStyleFile file;
  file.vehicleParams.resize(9);
  file.vehicleParams.push_back("* too early");
  ExpectError(file, file.LineOf(file.vehicleParams, 9), "bad format");
}

TEST(OldConfigRead, TheFileMayEndAfterAnyItemOfItsRoad) {
  // A file that ends after the vehicle parameters keeps the default demand and run settings.
  OldStyleFile file;
  Reading reading = Read(file, 9);
  ASSERT_TRUE(reading.result.ok) << reading.result.error.message;
  KDConfig defaults;
  EXPECT_EQ(reading.config->Seed(), defaults.Seed());
  EXPECT_EQ(reading.config->MaxTime(), defaults.MaxTime());
  EXPECT_EQ(reading.config->TrafficLightCount(), 0);
  EXPECT_EQ(reading.config->OFlowValue(0, 0), 0);
  // Any longer file reads too, from the end of the lane properties on.
  for (int items = 4; items <= 23; items++) {
    SCOPED_TRACE(items);
    EXPECT_TRUE(Read(file, items).result.ok);
  }
}

TEST(OldConfigRead, AFileWithoutItsRoadIsRefusedWhereItEnds) {
  OldStyleFile file;
  const std::string message = "bad format (the file ends before its road";
  struct Cut {
    std::string text;
    int line;
  };
  std::vector<Cut> cuts = {{file.marker + "\n", 1}, {file.marker + "\n" + file.header, 2}};
  for (int items = 0; items < 4; items++) {
    const int lines = static_cast<int>(file.Lines(items).size());
    cuts.push_back({file.Text(items), lines});
  }
  for (const Cut& cut : cuts) {
    SCOPED_TRACE(cut.text);
    Reading reading = Read(cut.text);
    ASSERT_FALSE(reading.result.ok);
    EXPECT_EQ(reading.result.error.line, cut.line);
    EXPECT_EQ(reading.result.error.message.substr(0, message.size()), message);
  }
}

TEST(OldConfigRead, LanesOfAnOriginAddTheirFlows) {
  OldStyleFile file;
  file.flows = {"3 0 1200 2400", "1000 1400 0", "3 0 1200 2400", "800 600 100"};
  Reading reading = Read(file);
  ASSERT_TRUE(reading.result.ok) << reading.result.error.message;
  KDConfig& c = *reading.config;
  // Times in steps of 0.5 s become seconds.
  EXPECT_EQ(c.OFlowTime(0, 0), 0);
  EXPECT_EQ(c.OFlowValue(0, 0), 1800);
  EXPECT_EQ(c.OFlowTime(0, 1), 600);
  EXPECT_EQ(c.OFlowValue(0, 1), 2000);
  EXPECT_EQ(c.OFlowTime(0, 2), 1200);
  EXPECT_EQ(c.OFlowValue(0, 2), 100);
  EXPECT_EQ(c.OFlowTime(0, 3), -1);
}

TEST(OldConfigRead, VehicleTypeSharesAreWeightedByTheBaseFlows) {
  OldStyleFile file;
  file.flows = {"1 0", "1000", "1 0", "500"};
  file.vehicleShares = {"60 40", "100 0"};
  Reading reading = Read(file);
  ASSERT_TRUE(reading.result.ok) << reading.result.error.message;
  EXPECT_NEAR(reading.config->OVProbability(0, 0, true), 1100.0 / 1500, 1e-6);
  EXPECT_NEAR(reading.config->OVProbability(0, 1, true), 400.0 / 1500, 1e-6);
}

TEST(OldConfigRead, SharesWithoutFlowsAreEqual) {
  OldStyleFile file;
  file.flows = {"1 600", "1000", "1 600", "500"};  // no flow at time 0: no base flow
  Reading reading = Read(file);
  ASSERT_TRUE(reading.result.ok) << reading.result.error.message;
  EXPECT_FLOAT_EQ(reading.config->OVProbability(0, 0, false), 0.5f);
  EXPECT_FLOAT_EQ(reading.config->OVProbability(0, 1, false), 0.5f);
}

TEST(OldConfigRead, ODPercentagesOfAllLanesOfAnOriginAddUp) {
  OldStyleFile file;
  file.odPercentages = {"100 0", "100 0"};
  Reading reading = Read(file);
  ASSERT_TRUE(reading.result.ok);
  EXPECT_FLOAT_EQ(reading.config->ODProbability(0, 0, 0, true), 1.0f);

  OldStyleFile two = TwoDestinations();
  two.odPercentages = {"100 0 0", "50 0 50", "0 0 100"};
  reading = Read(two);
  ASSERT_TRUE(reading.result.ok) << reading.result.error.message;
  KDConfig& c = *reading.config;
  ASSERT_EQ(c.SourceCount(), 1);
  // Destination lanes 0 and 1 belong to the through destination, lane 2 to the exit.
  int through = c.SinkFromLane(0) == 0 ? 0 : 1;
  EXPECT_NEAR(c.ODProbability(0, through, 0, true), 1.5 / 3, 1e-6);
  EXPECT_NEAR(c.ODProbability(0, 1 - through, 1, true), 1.5 / 3, 1e-6);
}

TEST(OldConfigRead, GroupsAfterACommaHoldForOneVehicleTypeEach) {
  OldStyleFile two = TwoDestinations();
  // Vehicle type 1 follows the first group of each lane; type 2 has its own on lane 0.
  two.odPercentages = {"100 0 0,100 0 0,0 0 100", "100 0 0", "0 0 100"};
  Reading reading = Read(two);
  ASSERT_TRUE(reading.result.ok) << reading.result.error.message;
  KDConfig& c = *reading.config;
  int through = c.SinkFromLane(0) == 0 ? 0 : 1;
  EXPECT_NEAR(c.ODProbability(0, through, 0, true), 2.0 / 3, 1e-6);
  EXPECT_NEAR(c.ODProbability(0, through, 1, true), 1.0 / 3, 1e-6);
  EXPECT_NEAR(c.ODProbability(0, 1 - through, 1, true), 2.0 / 3, 1e-6);
}

TEST(OldConfigRead, ReadsTrafficLightsAndLaneDetectors) {
  OldStyleFile file;
  file.trafficLightCount = {"2"};
  file.trafficLights = {"| 2500 1 1 90 40 3 10", "TLC1 2800 0 7 0 0 0 0"};
  file.laneDetectorCount = {"1"};
  file.laneDetectors = {"TLC1 2700 20 0 3"};
  Reading reading = Read(file);
  ASSERT_TRUE(reading.result.ok) << reading.result.error.message;
  KDConfig& c = *reading.config;
  ASSERT_EQ(c.TrafficLightCount(), 2);
  EXPECT_EQ(c.TrafficLightController(0), "");
  EXPECT_EQ(c.TrafficLightCycleTime(0), 90);
  EXPECT_EQ(c.TrafficLightController(1), "TLC1");
  ASSERT_EQ(c.LaneDetectorCount(), 1);
  EXPECT_EQ(c.LaneDetectorPosition(0), 2700);
  EXPECT_EQ(c.LaneDetectorNumber(0), 3);
  // The keyed format cannot hold lane detectors: the reading says so.
  ASSERT_EQ(reading.result.warnings.size(), 1u);
  EXPECT_NE(reading.result.warnings[0].find("lane detectors are not kept"), std::string::npos);
}

TEST(OldConfigRead, ItemsWithoutLinesLeaveTwoSeparatorsInARow) {
  OldStyleFile file;
  file.separator = "* \x93separator\x94 lines may hold anything";
  file.trafficLightCount = {"0"};
  file.extraCount = {"3"};
  file.extra = {"anything", "at all", ""};
  std::string text = file.Text() + "lines after the last item are not read\n";
  Reading reading = Read(text);
  ASSERT_TRUE(reading.result.ok) << reading.result.error.message;
  EXPECT_EQ(reading.config->TrafficLightCount(), 0);
}

TEST(OldConfigRead, AcceptsCarriageReturnLineEnds) {
  OldStyleFile file;
  file.lineEnd = "\r\n";
  Reading reading = Read(file);
  ASSERT_TRUE(reading.result.ok) << reading.result.error.message;
  EXPECT_EQ(reading.config->OFlowValue(0, 0), 1800);
}

TEST(OldConfigRead, AMarkerWithoutTextIsNotOldStyle) {
  Reading reading = Read("* 1 * \n 3000 0 2 0\n");
  ASSERT_FALSE(reading.result.ok);
  EXPECT_FALSE(IsOldStyleFirstLine("* 1 * "));
  EXPECT_TRUE(IsOldStyleFirstLine("* 1 * x\r"));
  EXPECT_EQ(reading.result.error.line, 1);
  EXPECT_EQ(reading.result.error.message, "No ':' found");
}

TEST(OldConfigRead, ReportsBadLinesWithTheirNumbers) {
  struct Case {
    const char* what;
    std::function<void(OldStyleFile&)> damage;
    std::function<int(const OldStyleFile&)> line;
    const char* message;
  };
  auto header = [](const OldStyleFile&) { return 2; };
  const Case cases[] = {
      {"three numbers on line 2", [](OldStyleFile& f) { f.header = " 3000 0 2"; }, header,
       "bad format"},
      {"no road length", [](OldStyleFile& f) { f.header = " 0 0 2 0"; }, header, "bad format"},
      {"more origin lanes than the road has", [](OldStyleFile& f) { f.header = " 3000 0 3 0"; },
       header, "bad format (3 origin lanes given; the road of this file has 2)"},
      {"boundary beyond the road", [](OldStyleFile& f) { f.boundaries = {"1 3000"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.boundaries); }, "bad format"},
      {"boundary that is no number", [](OldStyleFile& f) { f.boundaries = {"1 x"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.boundaries); }, "bad format"},
      {"taper code", [](OldStyleFile& f) { f.laneTypes = {"1 7"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.laneTypes); }, "bad lane type"},
      {"teleport code", [](OldStyleFile& f) { f.laneTypes = {"10 2"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.laneTypes); }, "bad lane type"},
      {"thirteen lanes", [](OldStyleFile& f) { f.laneTypes = {"1 0 0 0 0 0 0 0 0 0 0 0 2"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.laneTypes); }, "bad format"},
      {"speed suppression above 1", [](OldStyleFile& f) { f.laneProperties = {"1.5 1.0"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.laneProperties); }, "bad format"},
      {"trucks neither 0 nor 1", [](OldStyleFile& f) { f.laneProperties = {"1.0,2 1.0"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.laneProperties); }, "bad format"},
      {"slope too steep", [](OldStyleFile& f) { f.laneProperties = {"1.0,0,120,0.5 1.0"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.laneProperties); }, "bad format"},
      {"negative unused count", [](OldStyleFile& f) { f.unusedCount = {"-1"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.unusedCount); }, "bad format"},
      {"detector off the road", [](OldStyleFile& f) { f.detectors = {"1 4000"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.detectors); }, "bad format"},
      {"two general parameters", [](OldStyleFile& f) { f.generalParams = {"3.0 0.3"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.generalParams); }, "bad format"},
      {"general parameter out of range", [](OldStyleFile& f) { f.generalParams = {"9 0.3 0.2"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.generalParams); }, "bad format"},
      {"vehicle length out of range", [](OldStyleFile& f) { f.vehicleParams[7] = "4.5 40"; },
       [](const OldStyleFile& f) { return f.LineOf(f.vehicleParams, 7); }, "bad format"},
      {"nine vehicle types", [](OldStyleFile& f) { f.vehicleParams[0] = "1 1 1 1 1 1 1 1 1"; },
       [](const OldStyleFile& f) { return f.LineOf(f.vehicleParams, 0); }, "bad format"},
      {"even seed", [](OldStyleFile& f) { f.runSettings = {"12 0.5 7200"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.runSettings); }, "bad format"},
      {"time step too long", [](OldStyleFile& f) { f.runSettings = {"13 2 7200"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.runSettings); }, "bad format"},
      // A second must be a whole number of steps, as in .kav files.
      {"time step of 0.3 s", [](OldStyleFile& f) { f.runSettings = {"13 0.3 7200"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.runSettings); }, "bad format (time step"},
      {"speed limit below 0", [](OldStyleFile& f) { f.laneProperties = {"1.0,0,-5 1.0"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.laneProperties); },
       "bad format (lane 1: 1.0,0,-5; the speed limit lies in 0 .. 1000 km/h)"},
      {"a road without origins or destinations",
       [](OldStyleFile& f) {
         f.header = " 3000 0 0 0";
         f.laneTypes = {"9 9"};
         f.flows = {};
         f.vehicleShares = {};
         f.odPercentages = {};
       },
       [](const OldStyleFile& f) { return f.LineOf(f.laneTypes); },
       "bad format (the road of this file has no origin)"},
      {"lone carriage returns as line ends", [](OldStyleFile& f) { f.lineEnd = "\r"; },
       [](const OldStyleFile&) { return 1; },
       "Line break by a carriage return alone (CR): lines must end with LF or CR LF"},
      {"second sample time before the first",
       [](OldStyleFile& f) { f.detectorTimes = {"2 600 300"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.detectorTimes); }, "bad format"},
      {"negative time", [](OldStyleFile& f) { f.flows[2] = "2 0 -5"; },
       [](const OldStyleFile& f) { return f.LineOf(f.flows, 2); }, "bad format"},
      {"negative flow", [](OldStyleFile& f) { f.flows[3] = "800 -1"; },
       [](const OldStyleFile& f) { return f.LineOf(f.flows, 3); }, "bad format"},
      {"a time left over", [](OldStyleFile& f) { f.flows[0] = "3 0 1200 2400"; },
       [](const OldStyleFile& f) { return f.LineOf(f.flows, 0); }, "bad format"},
      {"a flow left over", [](OldStyleFile& f) { f.flows[1] = "1000 1400 10"; },
       [](const OldStyleFile& f) { return f.LineOf(f.flows, 1); }, "bad format"},
      {"lanes of an origin with other times", [](OldStyleFile& f) { f.flows[2] = "2 0 1000"; },
       [](const OldStyleFile& f) { return f.LineOf(f.flows, 2); }, "bad format"},
      {"times that do not increase", [](OldStyleFile& f) { f.flows[0] = "2 1200 0"; },
       [](const OldStyleFile& f) { return f.LineOf(f.flows, 0); }, "bad format"},
      {"more shares than types", [](OldStyleFile& f) { f.vehicleShares[1] = "50 25 25"; },
       [](const OldStyleFile& f) { return f.LineOf(f.vehicleShares, 1); }, "bad format"},
      {"more OD percentages than destination lanes",
       [](OldStyleFile& f) { f.odPercentages[0] = "50 25 25"; },
       [](const OldStyleFile& f) { return f.LineOf(f.odPercentages, 0); }, "bad format"},
      {"OD percentages above 100 over an origin's lanes",
       [](OldStyleFile& f) {
         f.odPercentages = {"100 100", "100 100"};
       },
       [](const OldStyleFile& f) { return f.LineOf(f.odPercentages, 1); }, "bad format"},
      {"more OD groups than vehicle types",
       [](OldStyleFile& f) { f.odPercentages[0] = "50 50,50 50,50 50,50 50"; },
       [](const OldStyleFile& f) { return f.LineOf(f.odPercentages, 0); }, "bad format"},
      {"traffic light count that is no number",
       [](OldStyleFile& f) { f.trafficLightCount = {"x"}; },
       [](const OldStyleFile& f) { return f.LineOf(f.trafficLightCount); }, "bad format"},
      {"traffic light with seven fields",
       [](OldStyleFile& f) {
         f.trafficLightCount = {"1"};
         f.trafficLights = {"| 2500 1 1 90 40 3"};
       },
       [](const OldStyleFile& f) { return f.LineOf(f.trafficLights); }, "bad format"},
      {"traffic light whose green does not fit the cycle",
       [](OldStyleFile& f) {
         f.trafficLightCount = {"1"};
         f.trafficLights = {"| 2500 1 1 40 40 3 0"};
       },
       [](const OldStyleFile& f) { return f.LineOf(f.trafficLights); }, "bad format"},
      {"lane detector with four fields",
       [](OldStyleFile& f) {
         f.laneDetectorCount = {"1"};
         f.laneDetectors = {"C 2700 20 0"};
       },
       [](const OldStyleFile& f) { return f.LineOf(f.laneDetectors); }, "bad format"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OldStyleFile file;
    c.damage(file);
    ExpectError(file, c.line(file), c.message);
  }
}

TEST(OldConfigRead, TimesAreCountedInWholeStepsPerSecond) {
  // 0.33 s is a third of a second, as the .kav files give it: 3000 steps are 1000 s.
  OldStyleFile file;
  file.runSettings = {"13 0.33 3000"};
  file.detectorTimes = {"2 300 600"};
  Reading reading = Read(file);
  ASSERT_TRUE(reading.result.ok) << reading.result.error.message;
  EXPECT_EQ(reading.config->TimeStep(), 1.0f / 3);
  EXPECT_EQ(reading.config->MaxTime(), 1000);
  EXPECT_EQ(reading.config->DetectorTime(0), 100);
  EXPECT_EQ(reading.config->DetectorTime(1), 200);
}

TEST(OldConfigRead, ErrorsNameTheFileAndShowTheLine) {
  OldStyleFile file;
  file.laneTypes = {"1 8   "};
  Reading reading = Read(file);
  ASSERT_FALSE(reading.result.ok);
  EXPECT_EQ(
      ConfigErrorText(reading.result.error),
      "old.kav(line " + std::to_string(file.LineOf(file.laneTypes)) + ")\r\n1 8\r\nbad lane type");
}

TEST(OldConfigRead, ARefusedFileLeavesTheCurrentConfigurationAlone) {
  OldStyleFile file;
  file.laneTypes = {"1 11"};
  auto current = std::make_unique<KDConfig>();
  KDConfig* before = current.get();
  int stamp = current->ChangeStamp();
  std::string path = testing::TempDir() + "/old-refused.kav";
  { std::ofstream(path, std::ios::binary) << file.Text(); }
  ReportCapture capture;
  EXPECT_FALSE(ReadConfig(path, current));
  EXPECT_EQ(current.get(), before);
  EXPECT_EQ(current->ChangeStamp(), stamp);
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].caption, "Error in Kavro configuration file");
  EXPECT_FALSE(capture.Reports()[0].stop);
}
