#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <thread>

#include "config/KDConfig.h"
#include "config/RoadTypes.h"
#include "kernel/Kernel.h"
#include "kernel/KernelTestSupport.h"
#include "support/ReportCapture.h"
#include "support/TestRoads.h"

namespace {

// The lines of the kernel's object dump: "description\tlane\tposition\tnumber".
std::vector<std::string> DumpLines(const Kernel& kernel) {
  std::vector<std::string> lines;
  std::istringstream dump(kernel.DumpObjects());
  for (std::string line; std::getline(dump, line);) lines.push_back(line);
  return lines;
}

bool HasLine(const Kernel& kernel, const std::string& line) {
  auto lines = DumpLines(kernel);
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

int CountOfType(const Kernel& kernel, int type) {
  int count = 0;
  for (RoadObject* object = kernel.FirstObject(); object; object = object->Next())
    count += object->Type() == type;
  return count;
}

// A tapered on-ramp pair in lanes 3 and 4 over `sections`.
void AddOnRamp(KDConfig& config, std::initializer_list<int> sections) {
  for (int s : sections) {
    SetLaneType(config, s, 3, LANETYPE_TAPERON);
    SetLaneType(config, s, 4, LANETYPE_TAPERON);
  }
}

}  // namespace

TEST(KernelSetup, DefaultRoadHasItsBoundaryEndAndParameterSets) {
  ReportCapture capture;
  KDConfig config;
  Kernel kernel;
  ASSERT_TRUE(kernel.KAV_setup(config, 7, ""));
  EXPECT_TRUE(capture.Empty());
  EXPECT_TRUE(kernel.Ready());
  EXPECT_EQ(kernel.StepCount(), 0);
  EXPECT_EQ(kernel.RandomState(), 7);
  // The default road is one origin and one destination over its three lanes.
  EXPECT_EQ(DumpLines(kernel), (std::vector<std::string>{
                                   "phys boundary 1\t-2\t0.000\t0",
                                   "source 1\t0\t0.000\t0",
                                   "source 1\t1\t0.000\t0",
                                   "source 1\t2\t0.000\t0",
                                   "sink 1\t0\t5000.000\t0",
                                   "sink 1\t1\t5000.000\t0",
                                   "sink 1\t2\t5000.000\t0",
                                   "end of road\t-2\t5000.000\t0",
                               }));
  ASSERT_EQ(kernel.SuperSources().size(), 1u);
  EXPECT_EQ(kernel.SuperSources()[0]->LaneCount(), 3);
  EXPECT_EQ(kernel.SuperSources()[0]->SubSource(1), kernel.FirstObject()->Next()->Next());
  EXPECT_EQ(kernel.StepsPerSecond(), 2);
  EXPECT_EQ(kernel.LaneChangeSteps(), 6);
  EXPECT_FLOAT_EQ(kernel.ReactionDelayAcceleration(), 0.3f);
  EXPECT_FLOAT_EQ(kernel.ReactionDelayDeceleration(), 0.2f);
  ASSERT_EQ(kernel.ParamSetCount(), 5);
  const VehicleParams* car = kernel.ParamSet(0);
  EXPECT_EQ(car->name, "veh type 1");
  EXPECT_EQ(kernel.ParamSet(4)->name, "veh type 5");
  EXPECT_EQ(kernel.ParamSet(5), nullptr);
  EXPECT_EQ(car->length, 4.5f);
  EXPECT_EQ(car->preferredSpeed, 125.0f * static_cast<float>(1 / 3.6));
  EXPECT_EQ(car->preferredSpeed70, static_cast<float>(95.0f * (1 / 3.6)));
  EXPECT_EQ(car->maxDeceleration, -7.0f);
  EXPECT_EQ(car->z2, 0.56f);
  EXPECT_EQ(kernel.CheckObjectLists(), "");
}

TEST(KernelSetup, RunValuesFollowTheTimeStep) {
  struct Case {
    float timeStep, laneChangeTime;
    int stepsPerSecond, laneChangeSteps;
  } cases[] = {{0.5f, 3, 2, 6}, {0.1f, 3, 10, 30}, {1, 1, 1, 1}, {0.3f, 2.5f, 3, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.timeStep);
    KDConfig config;
    config.SetTimeStep(c.timeStep);
    config.SetKavroGeneralParam(0, c.laneChangeTime);
    Kernel kernel;
    ASSERT_TRUE(kernel.KAV_setup(config, 1, ""));
    EXPECT_EQ(kernel.StepsPerSecond(), c.stepsPerSecond);
    EXPECT_EQ(kernel.LaneChangeSteps(), c.laneChangeSteps);
  }
}

TEST(KernelSetup, BoundariesCarryTheLaneRulesOfTheirSection) {
  KDConfig config;
  CutThreeSections(config);
  config.SetPhysicalSectionProperty(1, 1, PP_SPEEDLIMIT, 80);
  config.SetPhysicalSectionProperty(1, 1, PP_SLOPE, 0.04f);
  // A speed suppression resets the lane's speed limit: give it its own lane.
  config.SetPhysicalSectionProperty(1, 0, PP_SPEEDSUPPRESSION, 0.75f);
  config.SetPhysicalSectionProperty(1, 2, PP_NOOVERTAKINGTRUCKS, 1);
  Kernel kernel;
  ASSERT_TRUE(kernel.KAV_setup(config, 1, ""));
  RoadObject* boundary = kernel.FirstObject();
  std::vector<std::string> boundaries;
  for (; boundary; boundary = boundary->NextWithLane(LANE_BOUNDARIES))
    boundaries.push_back(boundary->Describe() + Format(" at %.0f", boundary->Position()));
  EXPECT_EQ(boundaries,
            (std::vector<std::string>{"phys boundary 3 at 0", "phys boundary 2 at 1000",
                                      "phys boundary 1 at 3000", "end of road at 5000"}));
  RoadObject* middle = kernel.FirstObject()->NextWithLane(LANE_BOUNDARIES);
  const PhysicalLaneInfo* info = middle->PhysicalLanes();
  struct Case {
    int lane;
    bool left, right, notUsable;
  } cases[] = {{0, false, true, false},
               {1, true, true, false},
               {2, true, false, false},
               {3, false, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lane);
    EXPECT_EQ(info->Lane(c.lane).canMoveLeft, c.left);
    EXPECT_EQ(info->Lane(c.lane).canMoveRight, c.right);
    EXPECT_EQ(info->Lane(c.lane).notUsable, c.notUsable);
  }
  EXPECT_EQ(info->Lane(1).speedLimit, static_cast<float>(80.0f * 0.2777777777777778));
  EXPECT_EQ(info->Lane(1).slope, 0.04f);
  EXPECT_EQ(info->Lane(0).speedSuppression, 0.75f);
  EXPECT_EQ(info->Lane(1).speedSuppression, 1.0f);
  EXPECT_EQ(info->Lane(2).noOvertakingTrucks, 1);
  EXPECT_EQ(info->Lane(1).noOvertakingTrucks, 0);
  EXPECT_EQ(kernel.FirstObject()->PhysicalLanes()->Lane(1).speedLimit,
            static_cast<float>(120.0f * 0.2777777777777778));
}

TEST(KernelSetupTaper, OnRampPairMergesLeftAndTeleportsItsRightLane) {
  KDConfig config;
  CutThreeSections(config);
  AddOnRamp(config, {1});
  Kernel kernel;
  ASSERT_TRUE(kernel.KAV_setup(config, 1, ""));
  // The left ramp lane ends with a dummy just before the section end; the right one
  // continues in it.
  EXPECT_TRUE(HasLine(kernel, "dummy 1\t3\t2999.000\t0"));
  EXPECT_TRUE(HasLine(kernel, "teleport -> 2999m lane 4\t4\t2999.000\t0"));
  EXPECT_TRUE(HasLine(kernel, "reverse teleport -> 2999m lane 5\t3\t2999.000\t0"));
  EXPECT_EQ(CountOfType(kernel, RO_TELEPORT), 1);
  RoadObject* teleport = kernel.FirstObject();
  while (teleport->Type() != RO_TELEPORT) teleport = teleport->Next();
  EXPECT_EQ(teleport->UserData(), 0);
  EXPECT_EQ(teleport->Teleport()->OtherEnd()->UserData(), 0);

  const auto& areas = kernel.Areas(3);
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_EQ(areas[0]->end, 2849);
  EXPECT_EQ(areas[0]->requiredLength, 2000 - 151);
  EXPECT_FALSE(areas[0]->fullStrength);
  EXPECT_EQ(areas[1]->end, 2999);
  EXPECT_EQ(areas[1]->requiredLength, 150);
  EXPECT_TRUE(areas[1]->fullStrength);
  for (const auto& area : areas) {
    EXPECT_TRUE(area->laneDrop);
    EXPECT_TRUE(area->mergeLeft);
    EXPECT_EQ(area->destination, -1);
  }
  EXPECT_TRUE(kernel.Areas(4).empty());

  // No change between the two ramp lanes in either direction (a vehicle that kept right into
  // the narrowing lane could not merge any more), nor from the main road's right lane onto the
  // ramp.
  const PhysicalLaneInfo* info =
      kernel.FirstObject()->NextWithLane(LANE_BOUNDARIES)->PhysicalLanes();
  EXPECT_TRUE(info->Lane(3).canMoveLeft);
  EXPECT_FALSE(info->Lane(3).canMoveRight);
  EXPECT_FALSE(info->Lane(4).canMoveLeft);
  EXPECT_FALSE(info->Lane(2).canMoveRight);
  EXPECT_EQ(kernel.CheckObjectLists(), "");
}

TEST(KernelSetupTaper, RunOverSeveralSectionsIsMeasuredAsAWhole) {
  KDConfig config;
  CutThreeSections(config);
  AddOnRamp(config, {1, 2});
  Kernel kernel;
  ASSERT_TRUE(kernel.KAV_setup(config, 1, ""));
  EXPECT_EQ(CountOfType(kernel, RO_TELEPORT), 1);
  ASSERT_EQ(kernel.Areas(3).size(), 2u);
  EXPECT_EQ(kernel.Areas(3)[0]->requiredLength, 3000 - 151);
}

TEST(KernelSetupTaper, OffRampTeleportsItsLeftLaneAtTheStart) {
  KDConfig config;
  CutThreeSections(config);
  SetLaneType(config, 1, 3, LANETYPE_TAPEROFF);
  SetLaneType(config, 1, 4, LANETYPE_TAPEROFF);
  Kernel kernel;
  ASSERT_TRUE(kernel.KAV_setup(config, 1, ""));
  EXPECT_TRUE(HasLine(kernel, "teleport -> 1000m lane 5\t3\t1000.000\t0"));
  EXPECT_TRUE(HasLine(kernel, "reverse teleport -> 1000m lane 4\t4\t1000.000\t0"));
  EXPECT_EQ(CountOfType(kernel, RO_TELEPORT), 1);
  EXPECT_TRUE(kernel.Areas(3).empty());
  // The ramp's outer lane is where exiting traffic goes: it is entered from the pair's inner
  // lane all along the taper, but not left back into it.
  const PhysicalLaneInfo* info =
      kernel.FirstObject()->NextWithLane(LANE_BOUNDARIES)->PhysicalLanes();
  EXPECT_TRUE(info->Lane(3).canMoveRight);
  EXPECT_FALSE(info->Lane(4).canMoveLeft);
  EXPECT_TRUE(info->Lane(2).canMoveRight);
}

TEST(KernelSetupTaper, ShortTaperIsAConfigurationError) {
  struct Case {
    int sectionLength;
    bool accepted;
  } cases[] = {{100, true}, {99, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sectionLength);
    KDConfig config;
    config.InsertBoundary(1000 + c.sectionLength);
    config.InsertBoundary(1000);
    AddOnRamp(config, {1});
    ReportCapture capture;
    Kernel kernel;
    EXPECT_EQ(kernel.KAV_setup(config, 1, ""), c.accepted);
    EXPECT_EQ(kernel.Ready(), c.accepted);
    if (c.accepted) {
      EXPECT_TRUE(capture.Empty());
      continue;
    }
    ASSERT_EQ(capture.Reports().size(), 1u);
    EXPECT_EQ(capture.Reports()[0].caption, "Kavro Configuration Error");
    EXPECT_EQ(capture.Reports()[0].text,
              "Kavro Configuration Error in KAV_setup: Taper too short, minimum length is 100m");
    EXPECT_FALSE(capture.Reports()[0].stop);
    EXPECT_EQ(kernel.ErrorText().value_or(""), "Taper too short, minimum length is 100m");

    // The next set-up starts afresh.
    KDConfig plain;
    ASSERT_TRUE(kernel.KAV_setup(plain, 1, ""));
    EXPECT_TRUE(kernel.Ready());
    EXPECT_FALSE(kernel.ErrorText().has_value());
    EXPECT_EQ(kernel.ObjectCount(), 8u);
    EXPECT_EQ(CountOfType(kernel, RO_DUMMY), 0);
  }
}

TEST(KernelSetupTaper, BatchRunShowsTheShortTaperInABoxToo) {
  KDConfig config;
  config.InsertBoundary(1050);
  config.InsertBoundary(1000);
  AddOnRamp(config, {1});
  RecordingSink sink;
  Kernel kernel;
  kernel.SetMessageSink(&sink);
  EXPECT_FALSE(kernel.KAV_setup(config, 1, "Capacity 3"));
  ASSERT_EQ(sink.reports.size(), 1u);
  EXPECT_EQ(sink.reports[0].route, KernelRoute::MessageBox);
}

TEST(KernelSetupForcedLanes, MergeLanesGetAFullStrengthAreaAndARoadEndDummy) {
  KDConfig config;
  CutThreeSections(config);
  SetLaneType(config, 0, 2, LANETYPE_MERGELEFT);
  SetLaneType(config, 1, 0, LANETYPE_MERGERIGHT);
  Kernel kernel;
  ASSERT_TRUE(kernel.KAV_setup(config, 1, ""));
  ASSERT_EQ(kernel.Areas(2).size(), 1u);
  const KernelBHVSection& left = *kernel.Areas(2)[0];
  EXPECT_EQ(left.end, 5000);
  EXPECT_EQ(left.requiredLength, 2000);
  EXPECT_TRUE(left.mergeLeft);
  EXPECT_TRUE(left.fullStrength);
  EXPECT_FALSE(left.laneDrop);
  EXPECT_EQ(left.probability[7], 1.0f);
  ASSERT_EQ(kernel.Areas(0).size(), 1u);
  EXPECT_EQ(kernel.Areas(0)[0]->end, 3000);
  EXPECT_FALSE(kernel.Areas(0)[0]->mergeLeft);
  EXPECT_TRUE(HasLine(kernel, "dummy 1\t2\t5000.000\t0"));
  EXPECT_EQ(CountOfType(kernel, RO_DUMMY), 1);
  // The forced lane ends at the road end with a dummy and gets no destination.
  EXPECT_EQ(DumpLines(kernel), (std::vector<std::string>{
                                   "phys boundary 3\t-2\t0.000\t2",
                                   "source 1\t0\t0.000\t0",
                                   "source 1\t1\t0.000\t0",
                                   "source 1\t2\t0.000\t0",
                                   "phys boundary 2\t-2\t1000.000\t1",
                                   "phys boundary 1\t-2\t3000.000\t0",
                                   "dummy 1\t2\t5000.000\t0",
                                   "sink 1\t0\t5000.000\t0",
                                   "sink 1\t1\t5000.000\t0",
                                   "end of road\t-2\t5000.000\t0",
                               }));
}

TEST(KernelSetup, WithoutConfigurationLeavesAnEmptyKernel) {
  KDConfig config;
  Kernel kernel;
  ASSERT_TRUE(kernel.KAV_setup(config, 1, ""));
  EXPECT_FALSE(kernel.KAV_setup(nullptr, 1, "Run 2"));
  EXPECT_EQ(kernel.ObjectCount(), 0u);
  EXPECT_EQ(kernel.EndOfRoad(), nullptr);
  EXPECT_EQ(kernel.ParamSetCount(), 0);
  EXPECT_EQ(kernel.RunLabel(), "Run 2");
}

TEST(KernelSetup, RepeatedSetUpRebuildsFromScratch) {
  KDConfig config;
  CutThreeSections(config);
  AddOnRamp(config, {1});
  Kernel kernel;
  ASSERT_TRUE(kernel.KAV_setup(config, 1, ""));
  std::string first = kernel.DumpObjects();
  std::size_t count = kernel.ObjectCount();
  ASSERT_TRUE(kernel.KAV_setup(config, 3, ""));
  EXPECT_EQ(kernel.DumpObjects(), first);
  EXPECT_EQ(kernel.ObjectCount(), count);
  EXPECT_EQ(kernel.Areas(3).size(), 2u);
  EXPECT_EQ(kernel.RandomState(), 3);
}

TEST(KernelSetup, TwoKernelsSetUpIndependently) {
  KDConfig shortRoad;
  shortRoad.SetLength(2000);
  KDConfig ramp;
  CutThreeSections(ramp);
  AddOnRamp(ramp, {1});
  Kernel first, second;
  ASSERT_TRUE(first.KAV_setup(shortRoad, 5, ""));
  ASSERT_TRUE(second.KAV_setup(ramp, 9, "Run 1"));
  EXPECT_EQ(first.EndOfRoad()->Position(), 2000);
  EXPECT_EQ(second.EndOfRoad()->Position(), 5000);
  EXPECT_TRUE(first.Areas(3).empty());
  EXPECT_EQ(first.RandomState(), 5);
  EXPECT_EQ(second.RandomState(), 9);
  first.KernelMessage(KernelCause::ConfigurationError, "SimulateStep", "End of road undefined");
  EXPECT_FALSE(first.Ready());
  EXPECT_TRUE(second.Ready());
}

TEST(KernelSetupFurniture, DetectorsLaneDetectorsAndLightsAreInTheirPseudoLanes) {
  KDConfig config;
  config.AddDetector(4000);
  config.AddDetector(1500);
  config.AddLaneDetector("ctl", 2500, 30, 1, 17);
  config.AddLaneDetector("ctl", 2600, 20, 2, 18);
  config.AddTrafficLight("", 2700, 1, 4, 60, 30, 3, 10);
  config.AddTrafficLight("ctl", 2800, 2, 5, 0, 0, 0, 0);
  config.SetDetectorTimes(120, 60);
  config.SetTimeStep(0.5f);
  config.SetTrafficLightState(0, 202);
  ConfigFurnitureWriter writer(config);
  Kernel kernel;
  kernel.SetFurnitureObserver(&writer);
  ReportCapture capture;
  ASSERT_TRUE(kernel.KAV_setup(config, 1, ""));
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(kernel.DetectorFirstPeriodEnd(), 240);
  EXPECT_EQ(kernel.DetectorPeriodLength(), 120);
  // Detectors are numbered from the downstream end.
  int d0 = config.DetectorPosition(0), d1 = config.DetectorPosition(1);
  EXPECT_TRUE(HasLine(kernel, Format("detector 1\t-1\t%d.000\t0", d0)));
  EXPECT_TRUE(HasLine(kernel, Format("detector 2\t-1\t%d.000\t1", d1)));
  EXPECT_EQ(kernel.FindDetector(0)->Owner()->Position(), d0);
  EXPECT_TRUE(HasLine(kernel, "lane detector 1\t-4\t2470.000\t0"));
  EXPECT_TRUE(HasLine(kernel, "lane detector 2\t-4\t2580.000\t1"));
  RoadObject* laneDetector = kernel.FirstObject()->NextWithLane(LANE_LANEDETECTORS);
  EXPECT_EQ(laneDetector->LaneDetector()->lane, 1);
  EXPECT_EQ(laneDetector->LaneDetector()->downstreamEnd, 2500);
  EXPECT_EQ(laneDetector->NextWithLane(LANE_LANEDETECTORS)->LaneDetector()->lane, 2);

  RoadObject* light = kernel.FirstObject()->NextWithLane(LANE_TRAFFICLIGHTS);
  ASSERT_NE(light, nullptr);
  EXPECT_EQ(light->Describe(), "traffic light 1");
  const TrafficLightInfo* info = light->TrafficLight();
  EXPECT_EQ(info->lane, 1);
  EXPECT_EQ(info->cycleTime, 60);
  EXPECT_EQ(info->greenTime, 30);
  EXPECT_EQ(info->yellowTime, 3);
  EXPECT_EQ(info->startOffset, 10);
  EXPECT_EQ(info->state, TL_GREEN);
  EXPECT_EQ(info->seenState, TL_GREEN);
  EXPECT_TRUE(info->FixedTime());
  // A controller-driven light has no cycle: it is set up without one, not refused.
  RoadObject* controlled = light->NextWithLane(LANE_TRAFFICLIGHTS);
  ASSERT_NE(controlled, nullptr);
  EXPECT_FALSE(controlled->TrafficLight()->FixedTime());
  EXPECT_EQ(config.TrafficLightState(0), 200);
  EXPECT_EQ(config.TrafficLightState(1), 200);
  EXPECT_EQ(kernel.CheckObjectLists(), "");
}

TEST(KernelSetupFurniture, ClosedLaneBecomesATimedAreaMergingRight) {
  KDConfig config;
  config.SetTempClosedArea(1, 4000, 500, 300, 0, 100, 200);
  Kernel kernel;
  ASSERT_TRUE(kernel.KAV_setup(config, 1, ""));
  ASSERT_EQ(kernel.Areas(1).size(), 1u);
  const KernelBHVSection& area = *kernel.Areas(1)[0];
  EXPECT_EQ(area.end, 4000);
  EXPECT_EQ(area.requiredLength, 500);
  EXPECT_EQ(area.voluntaryLength, 300);
  EXPECT_FALSE(area.mergeLeft);
  EXPECT_TRUE(area.fullStrength);
  EXPECT_EQ(area.destination, -1);
  EXPECT_EQ(area.timeWindow[0], 0);
  EXPECT_EQ(area.timeWindow[1], 100);
  EXPECT_EQ(area.timeWindow[2], 200);
}

TEST(KernelSetupFurniture, LinkedTeleportLanesJumpToTheExitEnd) {
  KDConfig config;
  CutThreeSections(config);
  SetLaneType(config, 0, 3, TELEPORTIN);
  SetLaneType(config, 2, 3, TELEPORTOUT);
  ASSERT_EQ(config.TeleportCount(true), 1);
  ASSERT_EQ(config.TeleportCount(false), 1);
  config.SetTeleportCounterPart(true, 0, 4);
  config.SetTeleportCounterPart(false, 0, 4);
  Kernel kernel;
  ASSERT_TRUE(kernel.KAV_setup(config, 1, ""));
  EXPECT_TRUE(HasLine(kernel, "teleport -> 1000m lane 4\t3\t3000.000\t0"));
  EXPECT_TRUE(HasLine(kernel, "reverse teleport -> 3000m lane 4\t3\t1000.000\t0"));
}

// An entrance not linked yet is a state of editing, not of the program: the set-up refuses it
// as a configuration error instead of stopping.
TEST(KernelSetupFurniture, UnlinkedTeleportEntranceIsAConfigurationError) {
  KDConfig config;
  CutThreeSections(config);
  SetLaneType(config, 0, 3, TELEPORTIN);
  SetLaneType(config, 2, 3, TELEPORTOUT);
  ReportCapture capture;
  Kernel kernel;
  EXPECT_FALSE(kernel.KAV_setup(config, 1, ""));
  EXPECT_FALSE(kernel.Ready());
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_FALSE(capture.Reports()[0].stop);
  EXPECT_EQ(capture.Reports()[0].caption, "Kavro Configuration Error");
  EXPECT_EQ(capture.Reports()[0].text,
            "Kavro Configuration Error in KAV_setup: Teleport entrance 1 (section 1, lane 4-4) is "
            "not linked to a teleport exit");
}

TEST(KernelSetupAreas, RouteAreasOfDestinationsKeepTheirSettings) {
  KDConfig config;
  ASSERT_EQ(config.SinkCount(), 1);
  config.AddLaneChangeArea(0, 0, 4000, 500, 300, false);
  config.SetLaneChangeAreaProbability(0, 0, 2, 0.25f, 3);
  config.AddLaneChangeArea(0, 1, 3000, 0, 0, true);  // no length: no area
  Kernel kernel;
  ASSERT_TRUE(kernel.KAV_setup(config, 1, ""));
  EXPECT_TRUE(kernel.Areas(1).empty());
  ASSERT_EQ(kernel.Areas(0).size(), 1u);
  const KernelBHVSection& area = *kernel.Areas(0)[0];
  EXPECT_EQ(area.destination, 0);
  EXPECT_EQ(area.end, 4000);
  EXPECT_EQ(area.requiredLength, 500);
  EXPECT_EQ(area.voluntaryLength, 300);
  EXPECT_FALSE(area.mergeLeft);
  EXPECT_FALSE(area.fullStrength);
  EXPECT_FALSE(area.laneDrop);
  EXPECT_EQ(area.routeChoiceGroup, 3);
  EXPECT_EQ(area.timeWindow[0], -1);
  for (int type = 0; type < MAXVEHICLETYPE; ++type)
    EXPECT_EQ(area.probability[type], type == 2 ? 0.25f : 1.0f) << type;
}

TEST(KernelSetupAreas, ListsPerLaneAreOrderedByEnd) {
  Kernel kernel;
  KernelBHVSection area;
  area.lane = 2;
  std::vector<std::pair<float, int>> added = {{500, 0}, {300, 1}, {500, 2}, {100, 3}};
  for (auto [end, destination] : added) {
    area.end = end;
    area.destination = destination;
    kernel.AddArea(area);
  }
  const auto& areas = kernel.Areas(2);
  std::vector<int> order;
  for (std::size_t i = 0; i < areas.size(); ++i) {
    order.push_back(areas[i]->destination);
    EXPECT_EQ(areas[i]->indexInLane, static_cast<int>(i));
  }
  // Equal ends keep the order they were added in.
  EXPECT_EQ(order, (std::vector<int>{3, 1, 0, 2}));
}

TEST(KernelSetup, SuperSourceGoesWithItsLastLaneSource) {
  KDConfig config;
  Kernel kernel;
  ASSERT_TRUE(kernel.KAV_setup(config, 1, ""));
  ASSERT_EQ(kernel.SuperSources().size(), 1u);
  for (int lane = 0; lane < 3; ++lane) {
    SCOPED_TRACE(lane);
    EXPECT_EQ(kernel.SuperSources().size(), 1u);
    RoadObject* source = kernel.SuperSources()[0]->SubSource(lane);
    ASSERT_NE(source, nullptr);
    kernel.DestroyObject(source);
  }
  EXPECT_TRUE(kernel.SuperSources().empty());
  EXPECT_EQ(kernel.CheckObjectLists(), "");
}

TEST(KernelSetup, KernelsInParallelThreadsBuildTheSameRoads) {
  auto build = [](Kernel& kernel, KDConfig& config, int seed) {
    CutThreeSections(config);
    AddOnRamp(config, {1});
    config.AddDetector(2500);
    kernel.KAV_setup(config, seed, Format("Run %d", seed));
  };
  KDConfig referenceConfig;
  Kernel reference;
  build(reference, referenceConfig, 1);
  std::string expected = reference.DumpObjects();

  KDConfig configs[2];
  Kernel kernels[2];
  std::thread first([&] { build(kernels[0], configs[0], 3); });
  std::thread second([&] { build(kernels[1], configs[1], 5); });
  first.join();
  second.join();
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(kernels[i].Ready());
    EXPECT_EQ(kernels[i].DumpObjects(), expected);
    EXPECT_EQ(kernels[i].RandomState(), 3 + 2 * i);
    EXPECT_EQ(kernels[i].RunLabel(), Format("Run %d", 3 + 2 * i));
  }
}
