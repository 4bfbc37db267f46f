#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "config/DemandTestSupport.h"
#include "config/KDConfig.h"
#include "config/RoadTypes.h"
#include "config/SourceSink.h"
#include "support/ProgramModeGuard.h"
#include "support/ReportCapture.h"

namespace {

// A 5000 m road whose main carriageway (lanes 0 .. 2) runs from 0 m, with a fourth lane that
// starts at 2000 m without lane changes and runs to the road end: two origins (the added lane
// first, as the scan runs from downstream) and two destinations. Section 1 = 0 .. 2000,
// section 0 = 2000 .. 5000.
std::unique_ptr<KDConfig> MainRoadWithAddedLane() {
  return MakeRoad(5000, {{0, {73, 76, 70}}, {2000, {73, 76, 70, 67}}});
}

// Lanes 0 .. count-1 all "no lane change": each lane is an origin and a destination.
std::unique_ptr<KDConfig> SeparateLanes(int count) {
  return MakeRoad(5000, {{0, std::vector<int>(count, 67)}});
}

}  // namespace

TEST(KDConfigUpdateLists, DefaultRoadHasOneOriginAndOneDestinationNamedOne) {
  KDConfig config;
  EXPECT_EQ(SourceLocations(config), (std::vector<Location>{{0, 0, 2}}));
  EXPECT_EQ(SinkLocations(config), (std::vector<Location>{{0, 0, 2}}));
  EXPECT_EQ(SourceNames(config), std::vector<std::string>{"1"});
  EXPECT_EQ(SinkNames(config), std::vector<std::string>{"1"});
  EXPECT_TRUE(config.Source(0)->IsSource());
  EXPECT_FALSE(config.Sink(0)->IsSource());
}

TEST(KDConfigUpdateLists, RealisticRoadsGiveTheExpectedOriginsAndDestinations) {
  struct Case {
    const char* name;
    std::vector<RoadRow> rows;  // upstream first
    std::vector<Location> sources;
    std::vector<Location> sinks;
  };
  const std::vector<Case> cases = {
      {"on-ramp with a parallel acceleration lane",
       {{0, {73, 76, 70, 67}}, {1000, {73, 76, 70, 83}}, {1500, {73, 76, 70}}},
       {{2, 0, 2}, {2, 3, 3}},
       {{0, 0, 2}}},
      {"tapered on-ramp",
       {{0, {73, 76, 70, 67}}, {1000, {73, 76, 326, 326}}, {1300, {73, 76, 70}}},
       {{2, 0, 2}, {2, 3, 3}},
       {{0, 0, 2}}},
      {"tapered off-ramp",
       {{0, {73, 76, 70}}, {3000, {73, 76, 585, 585}}, {3300, {73, 76, 70, 67}}},
       {{2, 0, 2}},
       {{0, 0, 2}, {0, 3, 3}}},
      {"lane drop",
       {{0, {73, 76, 76, 70}}, {2000, {73, 76, 70, 83}}, {2500, {73, 76, 70}}},
       {{2, 0, 3}},
       {{0, 0, 2}}},
      // The teleport lanes are set before their left neighbours, whose rules give them stray
      // lane change bits.
      {"teleport from lane 3 to lane 3 further on",
       {{0, {73, 76, 70, 67}},
        {1000, {73, 76, 70, 1024}},
        {1100, {73, 76, 70, 2048}},
        {1200, {73, 76, 70, 67}}},
       {{3, 0, 2}, {3, 3, 3}},
       {{0, 0, 2}, {0, 3, 3}}},
      {"new lane on the right with lane changes joins the traffic",
       {{0, {73, 76, 70}}, {2000, {73, 76, 76, 70}}},
       {{1, 0, 2}},
       {{0, 0, 3}}},
      {"new lane on the right without lane changes is an origin",
       {{0, {73, 76, 70}}, {2000, {73, 76, 70, 67}}},
       {{0, 3, 3}, {1, 0, 2}},
       {{0, 0, 2}, {0, 3, 3}}},
      {"new median lane with lane changes joins the traffic",
       {{0, {0, 73, 76, 70}}, {2000, {73, 76, 76, 70}}},
       {{1, 1, 3}},
       {{0, 0, 3}}},
      {"a lane ending into a blocked lane is no destination",
       {{0, {73, 76, 70, 67}}, {2000, {73, 76, 70, 115}}},
       {{1, 0, 2}, {1, 3, 3}},
       {{0, 0, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto config = MakeRoad(5000, c.rows);
    EXPECT_EQ(SourceLocations(*config), c.sources);
    EXPECT_EQ(SinkLocations(*config), c.sinks);
  }
}

TEST(KDConfigUpdateLists, NewOriginsAndDestinationsAreNumberedInScanOrder) {
  auto config = SeparateLanes(3);
  EXPECT_EQ(SourceNames(*config), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(SinkNames(*config), (std::vector<std::string>{"1", "2", "3"}));
}

TEST(KDConfigUpdateLists, SplittingTheOriginsSectionMovesItUpstreamWithItsData) {
  KDConfig config;
  config.SetSourceName(0, "Main");
  config.SetSinkName(0, "End");
  config.SetOVProbability(0, 2, 0.5f);
  config.SetOFlow(0, 600, 4000);

  config.InsertBoundary(1000);
  EXPECT_EQ(SourceLocations(config), (std::vector<Location>{{1, 0, 2}}));
  EXPECT_EQ(SinkLocations(config), (std::vector<Location>{{0, 0, 2}}));
  EXPECT_EQ(SourceNames(config), std::vector<std::string>{"Main"});
  EXPECT_EQ(SinkNames(config), std::vector<std::string>{"End"});
  EXPECT_FLOAT_EQ(config.OVProbability(0, 2, true), 0.5f);
  EXPECT_EQ(config.OFlowTime(0, 1), 600);
  EXPECT_EQ(config.OFlowValue(0, 1), 4000);
}

TEST(KDConfigUpdateLists, BoundaryInsertsKeepNamesWhetherIndicesShiftOrNot) {
  auto config = MainRoadWithAddedLane();
  ASSERT_EQ(SourceLocations(*config), (std::vector<Location>{{0, 3, 3}, {1, 0, 2}}));
  config->SetSourceName(0, "Ramp");
  config->SetSinkName(1, "Exit");
  config->SetOVProbability(0, 4, 0.25f);

  struct Step {
    int distance;
    std::vector<Location> sources;
    std::vector<Location> sinks;
  };
  const std::vector<Step> steps = {
      {3000, {{1, 3, 3}, {2, 0, 2}}, {{0, 0, 2}, {0, 3, 3}}},  // splits the ramp's section
      {4000, {{2, 3, 3}, {3, 0, 2}}, {{0, 0, 2}, {0, 3, 3}}},  // downstream of the ramp
      {1000, {{2, 3, 3}, {4, 0, 2}}, {{0, 0, 2}, {0, 3, 3}}},  // upstream of the ramp
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.distance);
    config->InsertBoundary(step.distance);
    EXPECT_EQ(SourceLocations(*config), step.sources);
    EXPECT_EQ(SinkLocations(*config), step.sinks);
    EXPECT_EQ(SourceNames(*config), (std::vector<std::string>{"Ramp", "2"}));
    EXPECT_EQ(SinkNames(*config), (std::vector<std::string>{"1", "Exit"}));
    EXPECT_FLOAT_EQ(config->OVProbability(0, 4, true), 0.25f);
  }
}

TEST(KDConfigUpdateLists, DeletingABoundaryKeepsTheOriginsAndDestinations) {
  auto config = MainRoadWithAddedLane();
  config->InsertBoundary(3000);
  config->SetSourceName(0, "Ramp");
  config->SetSinkName(0, "Through");
  config->DeleteBoundary(1);  // the ramp's own section 2000 .. 3000
  EXPECT_EQ(SourceLocations(*config), (std::vector<Location>{{0, 3, 3}, {1, 0, 2}}));
  EXPECT_EQ(SourceNames(*config), (std::vector<std::string>{"Ramp", "2"}));
  EXPECT_EQ(SinkNames(*config), (std::vector<std::string>{"Through", "2"}));
}

TEST(KDConfigUpdateLists, LaneTypeEditsKeepSurvivorsAndDropVanishedRecords) {
  auto config = SeparateLanes(3);
  config->SetSourceName(0, "Left");
  config->SetSourceName(1, "Middle");
  config->SetSourceName(2, "Right");
  config->SetOVProbability(2, 1, 0.75f);
  // Lanes 0 and 1 may now exchange traffic: the two origins become one. The old "Left"
  // overlaps the new group first and takes it over; "Middle" finds nothing and vanishes.
  config->SetPhysicalSectionProperty(0, 1, PP_LANETYPE, 70);
  config->SetPhysicalSectionProperty(0, 0, PP_LANETYPE, 73);
  EXPECT_EQ(SourceLocations(*config), (std::vector<Location>{{0, 0, 1}, {0, 2, 2}}));
  EXPECT_EQ(SourceNames(*config), (std::vector<std::string>{"Left", "Right"}));
  EXPECT_FLOAT_EQ(config->OVProbability(1, 1, true), 0.75f);
}

TEST(KDConfigUpdateLists, NewRecordsTakeTheNextNumberAfterTheLargestNumericName) {
  struct Case {
    std::vector<std::string> names;  // for the two lanes that stay
    std::string expected;            // for the lane added afterwards
  };
  const std::vector<Case> cases = {
      {{"1", "7"}, "8"},  {{"A", "B"}, "1"},   {{"007", "A"}, "1"},
      {{" 7", "3"}, "4"}, {{"-3", "B"}, "-2"}, {{"12", "9"}, "13"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.names[0] + "," + c.names[1]);
    auto config = SeparateLanes(2);
    config->SetSourceName(0, c.names[0]);
    config->SetSourceName(1, c.names[1]);
    config->SetPhysicalSectionProperty(0, 2, PP_LANETYPE, 67);
    ASSERT_EQ(config->SourceCount(), 3);
    EXPECT_EQ(config->SourceName(2), c.expected);
  }
}

TEST(KDConfigUpdateLists, FlowGraphsStayWithTheRank) {
  auto config = SeparateLanes(2);
  config->SetOFlow(0, 600, 1000);
  config->SetOFlow(1, 600, 2000);
  config->SetOVProbability(1, 3, 1.0f);
  config->SetPhysicalSectionProperty(0, 0, PP_LANETYPE, 0);  // origin 0 vanishes
  ASSERT_EQ(SourceLocations(*config), (std::vector<Location>{{0, 1, 1}}));
  EXPECT_FLOAT_EQ(config->OVProbability(0, 3, true), 1.0f);  // the record moved to rank 0
  EXPECT_EQ(config->OFlowValue(0, 1), 1000);                 // the graph stayed at rank 0
  EXPECT_EQ(config->OFlowValue(1, 1), 2000);
}

TEST(KDConfigUpdateLists, DovelModeHasExactlyOneOriginAndDestination) {
  ScopedProgramMode mode(DOVEL);
  KDConfig config;
  EXPECT_EQ(config.SourceCount(), 1);
  EXPECT_EQ(config.SinkCount(), 1);
  config.SetOVProbability(0, 0, 0.5f);
  EXPECT_FLOAT_EQ(config.OVProbability(0, 0, true), 0.5f);
  EXPECT_EQ(config.Source(1), nullptr);
}

TEST(KDConfigSetName, DuplicateNameStopsAndChangesNothing) {
  auto config = SeparateLanes(2);
  config->SetSourceName(1, "B");
  DemandSnapshot before(*config);
  ReportCapture capture;
  config->SetSourceName(0, "B");
  EXPECT_EQ(capture.OnlyText(),
            "SourceSink::SetName: new name for source 0: B is identical to name of source 1");
  EXPECT_EQ(DemandSnapshot(*config), before);
}

TEST(KDConfigSetName, TemporaryNamesLetTwoRecordsExchangeTheirNames) {
  auto config = SeparateLanes(2);
  ReportCapture capture;
  config->SetSinkName(0, " 0");
  config->SetSinkName(1, " 1");
  config->SetSinkName(0, "2");
  config->SetSinkName(1, "1");
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(SinkNames(*config), (std::vector<std::string>{"2", "1"}));
}

TEST(KDConfigSetName, BadRankStopsWithItsText) {
  struct Case {
    bool source;
    int rank;
    std::string text;
  };
  const std::vector<Case> cases = {
      {true, 1, "KDConfig::SetSourceName: bad SourceNo: 1"},
      {true, 99, "KDConfig::SetSourceName: bad SourceNo: 99"},
      {false, -1, "KDConfig::SetSinkName: bad SinkNo: -1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    KDConfig config;
    DemandSnapshot before(config);
    ReportCapture capture;
    if (c.source)
      config.SetSourceName(c.rank, "X");
    else
      config.SetSinkName(c.rank, "X");
    EXPECT_EQ(capture.OnlyText(), c.text);
    EXPECT_EQ(DemandSnapshot(config), before);
  }
}

namespace {

std::vector<std::pair<int, int>> FlowGraph(const KDConfig& config, int origin) {
  std::vector<std::pair<int, int>> points;
  for (int i = 0; i < 99 && config.OFlowTime(origin, i) >= 0; ++i)
    points.emplace_back(config.OFlowTime(origin, i), config.OFlowValue(origin, i));
  return points;
}

using Graph = std::vector<std::pair<int, int>>;

}  // namespace

TEST(KDConfigSetOFlow, InsertsReplacesAndDeletesKeepingTimesSorted) {
  KDConfig config;
  EXPECT_EQ(FlowGraph(config, 0), (Graph{{0, 0}}));
  config.SetOFlow(0, 600, 3000);
  config.SetOFlow(0, 300, 2000);
  EXPECT_EQ(FlowGraph(config, 0), (Graph{{0, 0}, {300, 2000}, {600, 3000}}));
  config.SetOFlow(0, 0, 500);
  config.SetOFlow(0, 300, 2500);
  EXPECT_EQ(FlowGraph(config, 0), (Graph{{0, 500}, {300, 2500}, {600, 3000}}));
  const int stamp = config.ChangeStamp();
  config.SetOFlow(0, 300, -1);
  EXPECT_EQ(FlowGraph(config, 0), (Graph{{0, 500}, {600, 3000}}));
  EXPECT_NE(config.ChangeStamp(), stamp);
  EXPECT_EQ(config.OFlowTime(0, 2), -1);
  EXPECT_EQ(config.OFlowValue(0, 99), 0);
  EXPECT_EQ(config.OFlowTime(0, -1), -1);
}

TEST(KDConfigSetOFlow, DeletingATimeTheGraphDoesNotHaveChangesNothing) {
  KDConfig config;
  config.SetOFlow(0, 600, 3000);
  DemandSnapshot before(config);
  ReportCapture capture;
  config.SetOFlow(0, 300, -1);
  config.SetOFlow(0, 900, -1);
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(DemandSnapshot(config), before);
}

TEST(KDConfigSetOFlow, AFullGraphDropsItsLastPointOrRefusesALaterTime) {
  KDConfig config;
  for (int i = 1; i < 99; ++i) config.SetOFlow(0, i * 10, i);
  ASSERT_EQ(FlowGraph(config, 0).size(), 99u);
  config.SetOFlow(0, 2000, 7);
  EXPECT_EQ(FlowGraph(config, 0).back(), std::make_pair(980, 98));
  config.SetOFlow(0, 5, 7);
  Graph graph = FlowGraph(config, 0);
  ASSERT_EQ(graph.size(), 99u);
  EXPECT_EQ(graph[1], std::make_pair(5, 7));
  EXPECT_EQ(graph.back(), std::make_pair(970, 97));
}

TEST(KDConfigSetOFlow, BadArgumentsStopAndChangeNothing) {
  struct Case {
    int origin, time, flow;
  };
  const std::vector<Case> cases = {
      {0, 0, -1}, {0, -5, 100}, {0, 300, -2}, {1, 300, 100}, {-1, 300, 100}};
  for (const Case& c : cases) {
    std::string text = Format("KDConfig::SetOFlow: bad Origin (%d) or Time (%d), or Flow (%d)",
                              c.origin, c.time, c.flow);
    SCOPED_TRACE(text);
    KDConfig config;
    config.SetOFlow(0, 600, 3000);
    DemandSnapshot before(config);
    ReportCapture capture;
    config.SetOFlow(c.origin, c.time, c.flow);
    EXPECT_EQ(capture.OnlyText(), text);
    EXPECT_EQ(DemandSnapshot(config), before);
  }
}

TEST(KDConfigProbabilities, ODRowsAreNormalisedOnReadingAndStoredThatWay) {
  struct Case {
    float first, second, expectedFirst, expectedSecond;
  };
  const std::vector<Case> cases = {
      {0.2f, 0.6f, 0.25f, 0.75f},
      {0, 0, 0.5f, 0.5f},
      {0.5f, 0.50005f, 0.5f, 0.50005f},  // within the tolerance: left alone
      {1, 1, 0.5f, 0.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.first << " " << c.second);
    auto config = SeparateLanes(2);
    config->SetODProbability(0, 0, 1, c.first);
    config->SetODProbability(0, 1, 1, c.second);
    EXPECT_FLOAT_EQ(config->ODProbability(0, 1, 1, false), c.expectedSecond);
    EXPECT_FLOAT_EQ(config->ODProbability(0, 0, 1, true), c.expectedFirst);
    EXPECT_FLOAT_EQ(config->ODProbability(0, 1, 1, true), c.expectedSecond);
  }
}

TEST(KDConfigProbabilities, VehicleTypeSharesAreNormalisedOverTheExistingTypes) {
  KDConfig config;
  ASSERT_EQ(config.VDCTypeCount(VDC_KAVRO), 5);
  EXPECT_FLOAT_EQ(config.OVProbability(0, 4, false), 0.2f);
  config.SetOVProbability(0, 0, 0.3f);
  config.SetOVProbability(0, 1, 0.3f);
  config.SetOVProbability(0, 6, 0.9f);  // no such type yet: not part of the shares
  EXPECT_FLOAT_EQ(config.OVProbability(0, 0, false), 0.3f / 1.2f);
  EXPECT_FLOAT_EQ(config.OVProbability(0, 2, true), 0.2f / 1.2f);
  EXPECT_FLOAT_EQ(config.OVProbability(0, 6, true), 0.9f);
}

TEST(KDConfigProbabilities, InputJustOutsideZeroToOneIsClamped) {
  struct Case {
    float input, stored;
  };
  const std::vector<Case> cases = {{1.005f, 1}, {-0.005f, 0}, {0.5f, 0.5f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    auto config = SeparateLanes(2);
    ReportCapture capture;
    config->SetOVProbability(0, 3, c.input);
    config->SetODProbability(1, 0, 2, c.input);
    EXPECT_TRUE(capture.Empty());
    EXPECT_EQ(config->OVProbability(0, 3, true), c.stored);
    EXPECT_EQ(config->ODProbability(1, 0, 2, true), c.stored);
  }
}

TEST(KDConfigProbabilities, BadArgumentsStopWithTheirTextAndChangeNothing) {
  struct Case {
    std::function<void(KDConfig&)> call;
    std::string text;
  };
  const std::vector<Case> cases = {
      {[](KDConfig& c) { c.SetOVProbability(0, 0, 1.02f); },
       "KDConfig::SetOVProbability: bad Origin (0) or VehicleType (0), or Probability (1.020000)"},
      {[](KDConfig& c) { c.SetOVProbability(2, 0, 0.5f); },
       "KDConfig::SetOVProbability: bad Origin (2) or VehicleType (0), or Probability (0.500000)"},
      {[](KDConfig& c) { c.SetOVProbability(0, 8, -0.005f); },
       "KDConfig::SetOVProbability: bad Origin (0) or VehicleType (8), or Probability (0.000000)"},
      {[](KDConfig& c) { c.SetODProbability(5, 0, 0, 0.5f); },
       "KDConfig::SetODProbability: bad Origin (5 valid range 0..1) or Destination (0 valid range "
       "0..1), VehicleType (0 valid range -1..5)"},
      {[](KDConfig& c) { c.SetODProbability(0, 2, 0, 0.5f); },
       "KDConfig::SetODProbability: bad Origin (0 valid range 0..1) or Destination (2 valid range "
       "0..1), VehicleType (0 valid range -1..5)"},
      {[](KDConfig& c) { c.SetODProbability(0, 0, 5, 0.5f); },
       "KDConfig::SetODProbability: bad Origin (0 valid range 0..1) or Destination (0 valid range "
       "0..1), VehicleType (5 valid range -1..5)"},
      {[](KDConfig& c) { c.SetODProbability(0, 1, 0, 1.02f); },
       "SourceSink::SetODProbability:\r\nissource=true\r\nVehicleType=0\r\nDestination=1\r\n"
       "P=1.020000"},
      {[](KDConfig& c) { c.Sink(0)->SetVDProbability(2, 0.5f); },
       "SourceSink::SetVDProbability:\r\nissource=false\r\nVehicleType=2\r\nP=0.500000"},
      {[](KDConfig& c) { c.Sink(0)->SetODProbability(0, 0, 0.5f); },
       "SourceSink::SetODProbability:\r\nissource=false\r\nVehicleType=0\r\nDestination=0\r\n"
       "P=0.500000"},
      {[](KDConfig& c) { c.Sink(1)->GetODProbability(0, 3, true); },
       "SourceSink::GetODProbability:\r\nissource=false\r\nVehicleType=3\r\nDestination=0"},
      {[](KDConfig& c) { c.Source(0)->GetVDProbability(8, true); },
       "SourceSink::GetVDProbability:\r\nissource=true\r\nVehicleType=8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto config = SeparateLanes(2);
    config->SetODProbability(0, 0, -1, 0.4f);
    config->SetOVProbability(1, 1, 0.7f);
    DemandSnapshot before(*config);
    ReportCapture capture;
    c.call(*config);
    EXPECT_EQ(capture.OnlyText(), c.text);
    EXPECT_EQ(DemandSnapshot(*config), before);
  }
}

TEST(KDConfigProbabilities, ReadersGiveZeroOutsideTheirRanges) {
  auto config = SeparateLanes(2);
  ReportCapture capture;
  EXPECT_EQ(config->OVProbability(2, 0, false), 0);
  EXPECT_EQ(config->OVProbability(0, 8, false), 0);
  EXPECT_EQ(config->ODProbability(0, 2, 0, false), 0);
  EXPECT_EQ(config->ODProbability(0, 0, 5, false), 0);
  EXPECT_EQ(config->ODProbability(-1, 0, -2, false), 0);
  EXPECT_EQ(config->MaxSourceFlow(2), 0);
  EXPECT_TRUE(capture.Empty());
}

TEST(KDConfigProbabilities, AllTypesTogetherWeighsEachTypeWithItsShare) {
  auto config = SeparateLanes(2);
  for (int t = 0; t < 5; ++t) config->SetOVProbability(0, t, 0);
  config->SetOVProbability(0, 0, 0.6f);
  config->SetOVProbability(0, 1, 0.4f);
  config->SetODProbability(0, 0, 0, 1);
  config->SetODProbability(0, 1, 0, 0);
  config->SetODProbability(0, 0, 1, 0);
  config->SetODProbability(0, 1, 1, 1);
  EXPECT_FLOAT_EQ(config->ODProbability(0, 0, -1, false), 0.6f);
  EXPECT_FLOAT_EQ(config->ODProbability(0, 1, -1, false), 0.4f);
}

TEST(KDConfigProbabilities, TypeMinusOneSetsEveryVehicleType) {
  auto config = SeparateLanes(2);
  config->SetODProbability(1, 1, -1, 0.3f);
  for (int t = 0; t < MAXVEHICLETYPE; ++t) {
    SCOPED_TRACE(t);
    EXPECT_FLOAT_EQ(config->Source(1)->GetODProbability(1, t, true), 0.3f);
  }
}

TEST(KDConfigProbabilities, TypesAreIndependentWithManyDestinations) {
  auto config = SeparateLanes(10);
  ASSERT_EQ(config->SinkCount(), 10);
  for (int d = 0; d < 10; ++d) config->SetODProbability(0, d, 0, 0.01f * (d + 1));
  for (int d = 0; d < 10; ++d) {
    SCOPED_TRACE(d);
    EXPECT_FLOAT_EQ(config->ODProbability(0, d, 0, true), 0.01f * (d + 1));
    EXPECT_EQ(config->ODProbability(0, d, 1, true), 0);
  }
}

TEST(KDConfigMaxSourceFlow, FollowsTheHeadwayOfTheVehicleMix) {
  KDConfig config;
  for (int t = 1; t < 5; ++t) config.SetOVProbability(0, t, 0);
  config.SetOVProbability(0, 0, 1);
  // Type 1: z1 3 m, length 4.5 m, z2 0.56 s, z3 0.005 s²/m, 125 km/h: a headway of
  // 7.5 / 34.72 + 0.56 + 34.72 * 0.005 = 0.9496 s, 3791 veh/h per lane, three lanes.
  EXPECT_NEAR(config.MaxSourceFlow(0), 11373.1f, 0.5f);
  config.SetOVProbability(0, 4, 1);  // half of them type 5 (14 m, 85 km/h, z2 2.23 s)
  EXPECT_LT(config.MaxSourceFlow(0), 11373.1f / 2);
}

TEST(KDConfigMoveSourceToRank, SwapsTheRecordAtTheLocationIntoTheRank) {
  auto config = SeparateLanes(3);
  config->SetSourceName(0, "A");
  config->SetSinkName(2, "Z");
  config->MoveSourceToRank(2, 0, 0, 0);
  config->MoveSinkToRank(2, 0, 0, 0);
  EXPECT_EQ(SourceNames(*config), (std::vector<std::string>{"3", "2", "A"}));
  EXPECT_EQ(SinkLocations(*config), (std::vector<Location>{{0, 2, 2}, {0, 1, 1}, {0, 0, 0}}));
  EXPECT_EQ(SinkNames(*config), (std::vector<std::string>{"Z", "2", "1"}));
}

TEST(KDConfigMoveSourceToRank, UnknownLocationIsAnInternalError) {
  auto config = SeparateLanes(2);
  ReportCapture capture;
  config->MoveSourceToRank(1, 0, 5, 5);
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].text.rfind("recordFound", 0), 0u) << capture.Reports()[0].text;
  EXPECT_EQ(SourceLocations(*config), (std::vector<Location>{{0, 0, 0}, {0, 1, 1}}));
}

TEST(KDConfigUpdateLists, RandomRoadsGiveConsistentLists) {
  const int types[] = {0, 76, 73, 70, 67, 99, 83, 115, 326, 585, 1024, 2048};
  unsigned state = 12345;
  auto next = [&state](unsigned n) {
    state = state * 1103515245u + 12345u;  // a fixed sequence: the test is reproducible
    return static_cast<int>((state >> 16) % n);
  };
  ReportCapture capture;
  for (int road = 0; road < 60; ++road) {
    SCOPED_TRACE(road);
    KDConfig config;
    for (int cut = next(5); cut > 0; --cut) config.InsertBoundary(100 + next(4800));
    for (int edit = 0; edit < 40; ++edit) {
      const int section = next(config.Boundaries() + 1);
      const int lane = next(8);
      int type = types[next(12)];
      if (lane == 0 && (type == 326 || type == 585)) type = 76;  // no taper on the median lane
      config.SetPhysicalSectionProperty(section, lane, PP_LANETYPE, static_cast<float>(type));
      if (edit % 4 == 0 && config.SourceCount() > 0) config.SetSourceName(0, "Kept");
      if (edit % 7 == 0 && config.Boundaries() > 0) config.DeleteBoundary(next(2));
      std::vector<std::string> names = SourceNames(config);
      for (size_t i = 0; i < names.size(); ++i)
        for (size_t k = i + 1; k < names.size(); ++k) EXPECT_NE(names[i], names[k]);
      for (const Location& o : SourceLocations(config))
        for (int l = o.fromLane; l <= o.toLane; ++l) EXPECT_TRUE(config.IsNormalLane(o.section, l));
      for (const Location& d : SinkLocations(config))
        for (int l = d.fromLane; l <= d.toLane; ++l)
          EXPECT_TRUE(config.LaneConnects(d.section, l, WHENCE_END));
    }
  }
  for (const Report& r : capture.Reports()) ADD_FAILURE() << r.text;
}
