#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "kernel/Kernel.h"
#include "kernel/KernelTestSupport.h"
#include "kernel/TestRoad.h"

namespace {

class RecordingObserver : public KernelFurnitureObserver {
 public:
  void TrafficLightState(int number, int state) override {
    lights.push_back({time, number, state});
  }
  void LaneDetectorState(int number, int state) override { laneDetectors[number] = state; }
  struct Change {
    int step, number, state;
    bool operator==(const Change&) const = default;
  };
  int time = 0;  // the step being simulated
  std::vector<Change> lights;
  std::map<int, int> laneDetectors;
};

RoadObject* SourceOfLane(Kernel& kernel, int lane) {
  for (RoadObject* object = kernel.FirstObject(); object; object = object->Next())
    if (object->Type() == RO_SOURCE && object->Lane() == lane) return object;
  return nullptr;
}

}  // namespace

TEST(SimulateStep, RefusesWithoutAReadyKernelOrARoad) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  EXPECT_FALSE(kernel.SimulateStep());
  EXPECT_EQ(kernel.ErrorText(), "KAVRO simulator kernel is not in ready state, please reset");
  kernel.StartEmptyRun(1, 2);
  EXPECT_FALSE(kernel.SimulateStep());
  EXPECT_EQ(kernel.ErrorText(), "End of road undefined");
  EXPECT_EQ(kernel.StepCount(), 0);
}

TEST(SimulateStep, VehicleUpstreamOfTheFirstSectionIsAConfigurationError) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  kernel.StartEmptyRun(1, 2);
  kernel.CreateObject(LANE_BOUNDARIES, RO_ENDOFROAD, 1000, 0);
  kernel.CreateObject(LANE_BOUNDARIES, RO_PHYSBOUNDARY, 100, 0);
  kernel.AddParamSet(CarParams());
  PlaceVehicle(kernel, 0, 50, 10);
  EXPECT_FALSE(kernel.SimulateStep());
  EXPECT_EQ(kernel.ErrorText(), "CurrentPhysSection = (nil)");
  EXPECT_EQ(kernel.StepCount(), 0);
}

TEST(TrafficLight, CycleWithOffsetAndTheDriversOneSecondLag) {
  Kernel kernel;
  RecordingObserver observer;
  kernel.SetFurnitureObserver(&observer);
  TestRoad road(kernel, 1000, 1, 2);
  RoadObject* light = road.AddTrafficLight(3, 0, 500, 60, 30, 3, 10);
  std::map<int, int> seen;  // time [s] -> seen state at the end of its first step
  for (int step = 0; step < 2 * 80; ++step) {
    observer.time = step;
    ASSERT_TRUE(kernel.SimulateStep());
    if (step % 2 == 0) seen[step / 2] = light->TrafficLight()->seenState;
  }
  using Change = RecordingObserver::Change;
  EXPECT_EQ(observer.lights,
            (std::vector<Change>{
                {20, 3, TL_GREEN}, {80, 3, TL_YELLOW}, {86, 3, TL_RED}, {140, 3, TL_GREEN}}));
  EXPECT_EQ(seen[9], TL_GREEN);  // before the offset it is green
  EXPECT_EQ(seen[40], TL_GREEN);
  EXPECT_EQ(seen[41], TL_YELLOW);
  EXPECT_EQ(seen[42], TL_YELLOW);
  EXPECT_EQ(seen[43], TL_RED);  // red is seen at once
  EXPECT_EQ(seen[70], TL_RED);
  EXPECT_EQ(seen[71], TL_GREEN);
}

TEST(TrafficLight, RedLightBrakingOrDrivingOn) {
  struct Case {
    const char* name;
    float distance;
    bool alreadyStopping;
    float acceleration;
  } cases[] = {
      // 20 m/s, -3 m/s2 for a red light: braking distance 66.7 m.
      {"comfortable stop 120 m ahead: -400 / 240", 120, false, -1.6667f},
      {"too close to stop comfortably: drives on", 60, false, 0.5f},
      {"too close but already stopping: keeps stopping", 60, true, -3.3333f},
      {"more than 10 s away: no reaction", 250, false, 0.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Kernel kernel;
    TestRoad road(kernel, 2000, 1, 2);
    VehicleParams car = CarParams();
    car.trafficLightDeceleration = -3;
    car.maxAccelerationJump = 1;
    kernel.AddParamSet(car);
    RoadObject* light = road.AddTrafficLight(0, 0, 1000, 60, 30, 3, 1000);
    light->TrafficLight()->state = light->TrafficLight()->seenState = TL_RED;
    RoadObject* vehicle = PlaceVehicle(kernel, 0, 1000 - c.distance, 20);
    vehicle->Vehicle()->specificPower = 200;
    vehicle->Vehicle()->stoppingForLight = c.alreadyStopping;
    kernel.SetClock(10, 2);
    ASSERT_TRUE(kernel.SimulateStep());
    EXPECT_NEAR(vehicle->Vehicle()->acceleration, c.acceleration, 1e-3);
    EXPECT_EQ(vehicle->Vehicle()->stoppingForLight != 0, c.acceleration < 0);
  }
}

TEST(LaneDetector, ReportsWhetherAVehicleTouchedItsZoneInTheStep) {
  Kernel kernel;
  RecordingObserver observer;
  kernel.SetFurnitureObserver(&observer);
  TestRoad road(kernel, 2000, 2, 2);
  kernel.AddParamSet(CarParams());
  RoadObject* zone = kernel.CreateObject(0, RO_LANEDETECTOR, 480, 0);
  zone->LaneDetector()->downstreamEnd = 500;
  RoadObject* otherLane = kernel.CreateObject(1, RO_LANEDETECTOR, 480, 1);
  otherLane->LaneDetector()->downstreamEnd = 500;
  PlaceVehicle(kernel, 0, 470, 20)->Vehicle()->specificPower = 50;
  kernel.SetClock(10, 2);
  ASSERT_TRUE(kernel.SimulateStep());  // 470 -> 480.x: the front enters the zone
  EXPECT_EQ(observer.laneDetectors[0], 301);
  EXPECT_EQ(observer.laneDetectors[1], 300);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(kernel.SimulateStep());  // beyond 500 m
  EXPECT_EQ(observer.laneDetectors[0], 300);
}

TEST(SimulateStep, ArrivedVehiclesAreRemovedWithAWarningForAWrongSink) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  TestRoad road(kernel, 1000, 1, 2);
  kernel.AddParamSet(CarParams());
  road.AddSinks(1, 0, 0, 600);
  PlaceVehicle(kernel, 0, 595, 20, 0, 7, 0);  // going to destination 0
  PlaceVehicle(kernel, 0, 560, 30, 0, 8, 1);  // going to destination 1
  kernel.SetClock(10, 2);
  ASSERT_TRUE(kernel.SimulateStep());
  EXPECT_EQ(kernel.ArrivedCount(), 1);
  ASSERT_EQ(sink.reports.size(), 1u);
  EXPECT_EQ(sink.reports[0].text,
            "Time 5.0: Kavro Simulator Warning in Kav_step: Vehicle 7 reached destination 2 "
            "instead of destination 1");
  for (int i = 0; i < 3 && kernel.ArrivedCount() < 2; ++i) ASSERT_TRUE(kernel.SimulateStep());
  EXPECT_EQ(kernel.ArrivedCount(), 2);
  EXPECT_EQ(sink.reports.size(), 1u);
  EXPECT_TRUE(VehiclesOnRoad(kernel).empty());
  EXPECT_TRUE(kernel.Ready());
}

// ---- Behaviour on whole roads -------------------------------------------------------------

namespace {

// Runs `steps` steps, checking the invariants after each: no error, no overlap in a lane,
// every created vehicle on the road or arrived, the lists intact.
::testing::AssertionResult RunChecked(Kernel& kernel, int steps) {
  for (int i = 0; i < steps; ++i) {
    if (!kernel.SimulateStep())
      return ::testing::AssertionFailure()
             << "step " << kernel.StepCount() << ": " << kernel.ErrorText().value_or("?");
    std::string overlap = FindOverlap(kernel);
    if (!overlap.empty())
      return ::testing::AssertionFailure() << "step " << kernel.StepCount() << ": " << overlap;
    int onRoad = static_cast<int>(VehiclesOnRoad(kernel).size());
    if (kernel.VehicleIdCounter() != onRoad + kernel.ArrivedCount())
      return ::testing::AssertionFailure()
             << "step " << kernel.StepCount() << ": created " << kernel.VehicleIdCounter()
             << ", on the road " << onRoad << ", arrived " << kernel.ArrivedCount();
  }
  std::string lists = kernel.CheckObjectLists();
  if (!lists.empty()) return ::testing::AssertionFailure() << lists;
  return ::testing::AssertionSuccess();
}

// A road of `lanes` lanes that allow no lane changes, 3 km long, one origin per lane (or one
// origin over all lanes) at 0 m and one destination per lane at the end.
void BuildMotorway(Kernel& kernel, int lanes, float flowPerLane, bool oneOrigin, int32_t seed = 1) {
  TestRoad road(kernel, 3000, lanes, 2, seed, LaneRules{}, ReactionDelays{0.3f, 0.2f});
  road.AddBoundary(1, 1500, {100});
  kernel.AddParamSet(CarParams());
  kernel.AddParamSet(TruckParams());
  if (oneOrigin) {
    road.AddOrigin(0, 0, lanes - 1, 0, flowPerLane * lanes, {0.85f, 0.15f});
  } else {
    for (int lane = 0; lane < lanes; ++lane)
      road.AddOrigin(lane, lane, lane, 0, flowPerLane, {0.85f, 0.15f}, lane);
  }
  for (int lane = 0; lane < lanes; ++lane) road.AddSinks(oneOrigin ? 0 : lane, lane, lane, 3000);
}

}  // namespace

TEST(RoadBehaviour, FreeFlowReachesTheAimSpeed) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  TestRoad road(kernel, 3000, 1, 2);
  kernel.AddParamSet(CarParams());
  road.AddOrigin(0, 0, 0, 0, 300);  // one car every 12 s
  road.AddSinks(0, 0, 0, 3000);
  ASSERT_TRUE(RunChecked(kernel, 2 * 120));
  float aim = CarParams().preferredSpeed;
  int checked = 0;
  for (RoadObject* vehicle : VehiclesOnRoad(kernel)) {
    if (vehicle->Position() < 1000) continue;
    EXPECT_NEAR(vehicle->Vehicle()->speed, aim, 0.05) << vehicle->Position();
    ++checked;
  }
  EXPECT_GT(checked, 0);
  EXPECT_TRUE(sink.reports.empty());
}

TEST(RoadBehaviour, QueueFormsAtARedLightAndDischarges) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  TestRoad road(kernel, 3000, 1, 2, 1, LaneRules{}, ReactionDelays{0.3f, 0.2f});
  kernel.AddParamSet(CarParams());
  road.AddOrigin(0, 0, 0, 0, 900);
  road.AddSinks(0, 0, 0, 3000);
  // Red from 100 s to 160 s, then green again until 257 s.
  road.AddTrafficLight(0, 0, 2000, 160, 97, 3, 0);
  ASSERT_TRUE(RunChecked(kernel, 2 * 158));
  int standing = 0;
  RoadObject* first = nullptr;  // the queue's head
  for (RoadObject* vehicle : VehiclesOnRoad(kernel)) {
    if (vehicle->Position() <= 2000 && vehicle->Vehicle()->speed < 0.1f) {
      ++standing;
      first = vehicle;
      EXPECT_GT(vehicle->Position(), 1800.0f);
    }
    if (vehicle->Position() > 2000) {
      EXPECT_GT(vehicle->Vehicle()->speed, 5.0f);
    }
  }
  EXPECT_GE(standing, 8);  // about a minute of arrivals at one car per 4 s
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->Vehicle()->stoppingForLight);
  EXPECT_NEAR(first->Position(), 2000, 0.5);
  ASSERT_TRUE(RunChecked(kernel, 2 * 92));
  for (RoadObject* vehicle : VehiclesOnRoad(kernel))
    EXPECT_GT(vehicle->Vehicle()->speed, 5.0f) << vehicle->Position();
  EXPECT_TRUE(sink.reports.empty());
}

TEST(RoadBehaviour, SourceHoldsBackBehindAQueueAndCatchesUp) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  TestRoad road(kernel, 3000, 1, 2, 1, LaneRules{}, ReactionDelays{0.3f, 0.2f});
  kernel.AddParamSet(CarParams());
  road.AddOrigin(0, 0, 0, 0, 1200);
  road.AddSinks(0, 0, 0, 3000);
  // Red from 600 s to 1000 s, far enough from the source for drivers to stop comfortably.
  road.AddTrafficLight(0, 0, 300, 1000, 597, 3, 0);
  SourceInfo& source = *SourceOfLane(kernel, 0)->Source();
  ASSERT_TRUE(RunChecked(kernel, 2 * 590));
  EXPECT_LT(source.expected - source.generated, 1.0f);
  ASSERT_TRUE(RunChecked(kernel, 2 * 400));
  // The queue reached back to the source long ago: vehicles are owed.
  EXPECT_GT(source.expected - source.generated, 50.0f);
  ASSERT_EQ(sink.reports.size(), 1u);
  EXPECT_NE(sink.reports[0].text.find("Downstream congestion reaches traffic source 1"),
            std::string::npos);
  // After green the source releases them faster than the demand until it has caught up.
  ASSERT_TRUE(RunChecked(kernel, 2 * 590));
  EXPECT_LT(source.expected - source.generated, 1.0f);
  EXPECT_TRUE(kernel.Ready());
}

TEST(RoadBehaviour, DemandCloseToCapacityUsesAllLanesOfTheOrigin) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  BuildMotorway(kernel, 3, 1500, true);
  SuperSource& origin = *kernel.SuperSources()[0];
  float flows[3] = {origin.LaneFlow(0, 0), origin.LaneFlow(0, 1), origin.LaneFlow(0, 2)};
  for (float flow : flows) EXPECT_GT(flow, 1000.0f);
  EXPECT_NEAR(flows[0] + flows[1] + flows[2], 4500, 0.1);
  ASSERT_TRUE(RunChecked(kernel, 2 * 600));
  for (int lane = 0; lane < 3; ++lane) {
    SCOPED_TRACE(lane);
    const SourceInfo& source = *SourceOfLane(kernel, lane)->Source();
    EXPECT_NEAR(source.generated, flows[lane] / 6, 2.0);
    // Trucks stay in the right lane.
    if (lane < 2) {
      EXPECT_EQ(origin.TypeShare(0, lane, 1), 0.0f);
    }
  }
  EXPECT_TRUE(sink.reports.empty());
}

TEST(RoadBehaviour, HalfAnHourAtRealisticDemandWithoutIncident) {
  struct Case {
    int lanes;
    bool oneOrigin;
  } cases[] = {{1, false}, {3, false}, {3, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.lanes << " lanes, one origin " << c.oneOrigin);
    Kernel kernel;
    RecordingSink sink;
    kernel.SetMessageSink(&sink);
    BuildMotorway(kernel, c.lanes, 1400, c.oneOrigin);
    ASSERT_TRUE(RunChecked(kernel, 2 * 1800));
    EXPECT_TRUE(sink.reports.empty());
    // 700 vehicles per lane, less those still on the 3 km.
    EXPECT_GT(kernel.ArrivedCount(), c.lanes * 600);
  }
}

TEST(RoadBehaviour, SameSeedSameRunAndDifferentSeedsDiffer) {
  auto run = [](int32_t seed) {
    Kernel kernel;
    RecordingSink sink;
    kernel.SetMessageSink(&sink);
    BuildMotorway(kernel, 3, 1400, true, seed);
    for (int i = 0; i < 2 * 600; ++i) kernel.SimulateStep();
    return std::make_pair(StateDigest(kernel), kernel.VehicleIdCounter());
  };
  auto first = run(12345);
  EXPECT_EQ(run(12345), first);
  EXPECT_NE(run(777).first, first.first);
}

TEST(RoadBehaviour, TwoKernelsSideBySideDoNotInterfere) {
  Kernel a, b;
  RecordingSink sink;
  a.SetMessageSink(&sink);
  b.SetMessageSink(&sink);
  BuildMotorway(a, 1, 1400, false, 99);
  BuildMotorway(b, 1, 1400, false, 99);
  for (int i = 0; i < 2 * 300; ++i) {
    a.SimulateStep();
    b.SimulateStep();
  }
  Kernel c;
  c.SetMessageSink(&sink);
  BuildMotorway(c, 1, 1400, false, 99);
  for (int i = 0; i < 2 * 300; ++i) c.SimulateStep();
  EXPECT_EQ(StateDigest(a), StateDigest(b));
  EXPECT_EQ(StateDigest(a), StateDigest(c));
}

TEST(DriveVehicle, NoPassingOnTheRightAndHoldingBackBesideSlowTraffic) {
  struct Case {
    const char* name;
    int lane;            // of the deciding vehicle, at 1000 m and 30 m/s
    int otherLane;       // of the slower vehicle
    float otherAhead;    // [m] ahead of the deciding vehicle
    float otherSpeed;    // [m/s]
    float acceleration;  // chosen by the deciding vehicle
    bool holdBack;
  } cases[] = {
      {"much slower vehicle on the left, close: roll out", 1, 0, 50, 20, -0.5f, false},
      {"much slower vehicle on the left, far: free", 1, 0, 150, 20, 0.5f, false},
      {"slow vehicle on the right, close: hold back", 0, 1, 100, 15, -0.5f, true},
      {"vehicle on the right not slow enough", 0, 1, 100, 26, 0.5f, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Kernel kernel;
    RecordingSink sink;
    kernel.SetMessageSink(&sink);
    TestRoad road(kernel, 3000, 2, 2, 1, LaneRules{120, 1, 0, true, true});
    kernel.AddParamSet(CarParams());
    RoadObject* other = PlaceVehicle(kernel, c.otherLane, 1000 + c.otherAhead, c.otherSpeed, 0, 2);
    other->Vehicle()->acceleration = -0.5f;  // it keeps its speed in this step
    // Busy with a lane change of its own, it does not move over in this step.
    other->Vehicle()->laneChangeState = 1;
    other->Vehicle()->laneChangeProgress = 1;
    RoadObject* vehicle = PlaceVehicle(kernel, c.lane, 1000, 30, 0, 1);
    kernel.SetClock(10, 2);
    ASSERT_TRUE(kernel.SimulateStep());
    EXPECT_NEAR(vehicle->Vehicle()->acceleration, c.acceleration, 1e-4);
    EXPECT_EQ(vehicle->Vehicle()->holdBack != 0, c.holdBack);
    if (c.holdBack) {
      EXPECT_NEAR(vehicle->Vehicle()->holdBackSpeed, other->Vehicle()->speed + 5, 1e-4);
    }
    EXPECT_TRUE(sink.reports.empty());
  }
}

TEST(DriveVehicle, CooperationRequestBrakesHarderFurtherIntoTheSection) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  TestRoad road(kernel, 3000, 1, 2);
  road.AddBoundary(1, 1000);
  kernel.AddParamSet(CarParams());
  RoadObject* vehicle = PlaceVehicle(kernel, 0, 1500, 30, 0, 1);
  vehicle->Vehicle()->laneChangeState = 20;
  kernel.SetClock(10, 2);
  ASSERT_TRUE(kernel.SimulateStep());
  // A quarter of the way into the section from 1000 m to the end of the road at 3000 m: the
  // lane change deceleration -3 m/s2 times 500 / 2000.
  EXPECT_NEAR(vehicle->Vehicle()->acceleration, -3 * 0.25f, 1e-4);
  EXPECT_TRUE(vehicle->Vehicle()->cooperating);
  EXPECT_EQ(vehicle->Vehicle()->laneChangeState, 0);
}
