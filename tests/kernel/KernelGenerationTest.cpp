#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel/Kernel.h"
#include "kernel/KernelTestSupport.h"
#include "kernel/TestRoad.h"

namespace {

// A type whose lane capacity is easy to follow: no quadratic gap term, so the speed in the
// capacity is the preferred speed 25 m/s, and 3600 / (5 m / 25 m/s + 1.8 s) = 1800 veh/h.
VehicleParams EvenParams() {
  VehicleParams p = CarParams();
  p.preferredSpeed = 25;
  p.length = 2;
  p.z1 = 3;
  p.z2 = 1.8f;
  p.z3 = 0;
  return p;
}

std::vector<float> LaneFlows(SuperSource& origin, int lanes, int step = 0) {
  std::vector<float> flows;
  for (int lane = 0; lane < lanes; ++lane) flows.push_back(origin.LaneFlow(step, lane));
  return flows;
}

RoadObject* SourceOfLane(Kernel& kernel, int lane) {
  for (RoadObject* object = kernel.FirstObject(); object; object = object->Next())
    if (object->Type() == RO_SOURCE && object->Lane() == lane) return object;
  return nullptr;
}

}  // namespace

TEST(SuperSourceFlow, SpreadsOneTypeOverThreeLanes) {
  struct Case {
    float demand;
    std::vector<float> lanes;
  } cases[] = {
      // Half a lane: the right lane carries it; a quarter of the spare half lane's worth
      // (budget 0.5 / 4) is moved into the middle lane, the pair 0-1 has nothing to move.
      {900, {0, 225, 675}},
      // Two full lanes: budgets 1/3 and 1/4 of a lane from the left pair on.
      {3600, {600, 1650, 1350}},
      // Exactly full: nothing is spare.
      {5400, {1800, 1800, 1800}},
      {0, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.demand);
    Kernel kernel;
    RecordingSink sink;
    kernel.SetMessageSink(&sink);
    TestRoad road(kernel, 1000, 3);
    kernel.AddParamSet(EvenParams());
    SuperSource* origin = road.AddOrigin(0, 0, 2, 0, c.demand);
    std::vector<float> flows = LaneFlows(*origin, 3);
    for (int lane = 0; lane < 3; ++lane) EXPECT_NEAR(flows[lane], c.lanes[lane], 0.01) << lane;
    EXPECT_TRUE(sink.reports.empty());
  }
}

TEST(SuperSourceFlow, DemandBeyondAllLanesIsAConfigurationError) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  TestRoad road(kernel, 1000, 3);
  kernel.AddParamSet(EvenParams());
  SuperSource* origin = road.AddOrigin(0, 0, 2, 0, 5401);
  origin->Flow(0);
  ASSERT_EQ(sink.reports.size(), 1u);
  EXPECT_EQ(sink.reports[0].cause, KernelCause::ConfigurationError);
  EXPECT_EQ(kernel.ErrorText(), "Requested flow too high");
  EXPECT_FALSE(kernel.Ready());
}

TEST(SuperSourceFlow, SlowTypesKeepRightAndFastOnesAreMovedLeft) {
  Kernel kernel;
  TestRoad road(kernel, 1000, 2);
  kernel.AddParamSet(CarParams());
  kernel.AddParamSet(TruckParams());
  SuperSource* origin = road.AddOrigin(0, 0, 1, 0, 1000, {0.8f, 0.2f});
  // Trucks (1173.4 veh/h per lane) fill 0.17 of the right lane, cars (3615.5 veh/h at the
  // trucks' speed) 0.22; a third of the used 0.39 lanes of cars moves left.
  EXPECT_NEAR(origin->LaneFlow(0, 0), 472.09, 0.05);
  EXPECT_EQ(origin->TypeShare(0, 0, 1), 0.0f);
  EXPECT_NEAR(origin->TypeShare(0, 1, 1), 200 / 527.91, 1e-4);
  EXPECT_NEAR(origin->LaneFlow(0, 0) + origin->LaneFlow(0, 1), 1000, 0.01);
}

TEST(SuperSourceFlow, EqualSpeedsPutTheHigherTypeRight) {
  Kernel kernel;
  TestRoad road(kernel, 1000, 2);
  kernel.AddParamSet(EvenParams());
  kernel.AddParamSet(EvenParams());
  SuperSource* origin = road.AddOrigin(0, 0, 1, 0, 1000, {0.5f, 0.5f});
  // Moving left takes the fastest type first: the one ordered last, type 0.
  EXPECT_GT(origin->TypeShare(0, 0, 0), 0.0f);
  EXPECT_EQ(origin->TypeShare(0, 0, 1), 0.0f);
}

TEST(SuperSourceFlow, InterpolatesTheFlowGraph) {
  Kernel kernel;
  TestRoad road(kernel, 1000, 1);
  kernel.AddParamSet(EvenParams());
  OriginDemand demand;
  demand.flowTime = {0, 200, 400};  // [steps]
  demand.flowValue = {0, 1000, 600};
  demand.typeShare[0] = 1;
  demand.destinationProbability[0][0] = 1;
  SuperSource* origin = road.AddOrigin(0, 0, 0, 0, demand);
  struct Case {
    int step;
    float flow;
  } cases[] = {{0, 0}, {50, 250}, {200, 1000}, {300, 800}, {400, 600}, {5000, 600}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    EXPECT_FLOAT_EQ(origin->TotalFlow(c.step), c.flow);
    EXPECT_FLOAT_EQ(origin->LaneFlow(c.step, 0), c.flow);
  }
}

class DoSourceTest : public ::testing::Test {
 protected:
  void Build(float flow, LaneRules rules = {}, int stepsPerSecond = 2) {
    road_ = std::make_unique<TestRoad>(kernel_, 2000, 1, stepsPerSecond, 1, rules);
    kernel_.SetMessageSink(&sink_);
    kernel_.AddParamSet(CarParams());
    road_->AddOrigin(0, 0, 0, 100, flow);
    road_->AddSinks(0, 0, 0, 2000);
    source_ = SourceOfLane(kernel_, 0);
  }
  RoadObject* OnlyVehicle() {
    std::vector<RoadObject*> vehicles = VehiclesOnRoad(kernel_);
    return vehicles.size() == 1 ? vehicles[0] : nullptr;
  }

  Kernel kernel_;
  RecordingSink sink_;
  std::unique_ptr<TestRoad> road_;
  RoadObject* source_ = nullptr;
};

TEST_F(DoSourceTest, FirstVehicleInStepZeroPlacedWhereItWouldBeHadItLeftOnTime) {
  Build(1800);  // half a vehicle per step at 2 steps/s
  kernel_.DoSource(source_);
  RoadObject* vehicle = OnlyVehicle();
  ASSERT_NE(vehicle, nullptr);
  // At a 120 km/h limit a driver preferring 125 km/h aims at 125 km/h (the line through its
  // 95 km/h at 70 km/h reaches its preferred speed at 120 km/h); it is half a step overdue.
  float V = CarParams().preferredSpeed;
  EXPECT_NEAR(vehicle->Vehicle()->speed, V, 1e-3);
  EXPECT_NEAR(vehicle->Position(), 100 + 0.5 * V, 1e-3);
  EXPECT_NEAR(vehicle->Vehicle()->creationTime, -0.5, 1e-5);
  EXPECT_EQ(vehicle->Number(), 1);
  EXPECT_EQ(vehicle->Type(), RO_VEHICLE);
  EXPECT_EQ(source_->Source()->generated, 1);
  EXPECT_EQ(source_->Source()->drawnType, -1);
}

TEST_F(DoSourceTest, EntrySpeedFollowsLimitAndSuppression) {
  struct Case {
    const char* name;
    LaneRules rules;
    float speed;
  } cases[] = {
      {"80 km/h limit", {80, 1}, 28.0556f},
      {"suppression ignores the limit", {80, 0.8f}, 0.8f * 34.72223f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Kernel kernel;
    TestRoad road(kernel, 2000, 1, 2, 1, c.rules);
    kernel.AddParamSet(CarParams());
    road.AddOrigin(0, 0, 0, 100, 1800);
    kernel.DoSource(SourceOfLane(kernel, 0));
    std::vector<RoadObject*> vehicles = VehiclesOnRoad(kernel);
    ASSERT_EQ(vehicles.size(), 1u);
    EXPECT_NEAR(vehicles[0]->Vehicle()->speed, c.speed, 1e-3);
  }
}

TEST_F(DoSourceTest, CreatesWheneverTheDeficitIsPositive) {
  Build(2160);  // 0.3 vehicles per step
  std::vector<int> created;
  for (int step = 0; step < 7; ++step) {
    kernel_.SetClock(step, 2);
    kernel_.DoSource(source_);
    if (RoadObject* vehicle = OnlyVehicle()) {
      created.push_back(step);
      if (step == 3) {
        // Deficit 1.2 - 1 = 0.2 vehicles: a third of a second overdue.
        EXPECT_NEAR(vehicle->Position(), 100 + 34.72223 / 3, 1e-3);
      }
      kernel_.DestroyObject(vehicle);
    }
  }
  EXPECT_EQ(created, (std::vector<int>{0, 3, 6}));
}

TEST_F(DoSourceTest, StandingDummyAheadDecidesPlaceAndSpeed) {
  struct Case {
    float gap;  // dummy position beyond the source [m]
    bool created;
    float position, speed;  // beyond the source [m], [m/s]
  } cases[] = {
      {10, true, 1.2520f, 2.5041f},    // room: it left on time at speed K
      {4.8f, true, 0.7865f, 1.7814f},  // just room: at its desired gap, speed N
      {4, false, 0, 0},                // the desired gap reaches back past the source
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gap);
    Kernel kernel;
    TestRoad road(kernel, 2000, 1);
    kernel.AddParamSet(CarParams());
    road.AddOrigin(0, 0, 0, 100, 1800);
    kernel.CreateObject(0, RO_DUMMY, 100 + c.gap, 0);
    RoadObject* source = SourceOfLane(kernel, 0);
    kernel.DoSource(source);
    std::vector<RoadObject*> vehicles = VehiclesOnRoad(kernel);
    ASSERT_EQ(vehicles.size(), c.created ? 1u : 0u);
    if (c.created) {
      EXPECT_NEAR(vehicles[0]->Position() - 100, c.position, 2e-3);
      EXPECT_NEAR(vehicles[0]->Vehicle()->speed, c.speed, 2e-3);
    } else {
      EXPECT_EQ(source->Source()->generated, 0);
      EXPECT_FLOAT_EQ(source->Source()->expected, 0.25f);
    }
  }
}

TEST_F(DoSourceTest, CongestionWarningOncePerRun) {
  Build(3600, {}, 1);
  kernel_.CreateObject(0, RO_DUMMY, 102, 0);  // the source can never place a vehicle
  for (int step = 0; step < 40; ++step) {
    kernel_.SetClock(step, 1);
    kernel_.DoSource(source_);
  }
  ASSERT_EQ(sink_.reports.size(), 1u);
  EXPECT_EQ(sink_.reports[0].cause, KernelCause::SimulatorWarning);
  EXPECT_EQ(sink_.reports[0].route, KernelRoute::MessagesWindow);
  // The deficit first exceeds 20 in step 20.
  EXPECT_EQ(sink_.reports[0].text,
            "Time 20.0: Kavro Simulator Warning in DoSource: Downstream congestion reaches "
            "traffic source 1");
  EXPECT_TRUE(kernel_.Ready());
}

TEST_F(DoSourceTest, VehiclesOwedWhenTheLaneDemandEndsWaitWithoutError) {
  kernel_.SetMessageSink(&sink_);
  TestRoad road(kernel_, 2000, 1, 1);
  kernel_.AddParamSet(CarParams());
  OriginDemand demand;
  demand.flowTime = {0, 10};  // [steps]: the demand ends after ten seconds
  demand.flowValue = {3600, 0};
  demand.typeShare[0] = 1;
  demand.destinationProbability[0][0] = 1;
  road.AddOrigin(0, 0, 0, 100, demand);
  RoadObject* dummy = kernel_.CreateObject(0, RO_DUMMY, 102, 0);
  RoadObject* source = SourceOfLane(kernel_, 0);
  for (int step = 0; step < 15; ++step) {
    kernel_.SetClock(step, 1);
    kernel_.DoSource(source);
  }
  kernel_.DestroyObject(dummy);
  kernel_.SetClock(15, 1);
  kernel_.DoSource(source);
  EXPECT_TRUE(sink_.reports.empty());
  EXPECT_TRUE(kernel_.Ready());
  EXPECT_TRUE(VehiclesOnRoad(kernel_).empty());
  EXPECT_GT(source->Source()->expected, 4.0f);
}

TEST_F(DoSourceTest, TypeAndDestinationDrawnInShareOrder) {
  kernel_.SetMessageSink(&sink_);
  TestRoad road(kernel_, 2000, 1, 2, 0);  // seed 0: every draw is 0.5
  kernel_.AddParamSet(CarParams());
  kernel_.AddParamSet(CarParams());
  OriginDemand demand;
  demand.flowValue = {1000};
  demand.typeShare[0] = 0.3f;
  demand.typeShare[1] = 0.7f;
  demand.destinationProbability[1][0] = 0.5f;  // 0.5 - 0.5 <= 0: the first destination
  demand.destinationProbability[1][1] = 0.5f;
  road.AddOrigin(0, 0, 0, 100, demand);
  kernel_.DoSource(SourceOfLane(kernel_, 0));
  RoadObject* vehicle = OnlyVehicle();
  ASSERT_NE(vehicle, nullptr);
  EXPECT_EQ(vehicle->Type(), RO_VEHICLE + 1);
  EXPECT_EQ(vehicle->Vehicle()->destination, 0);
}

TEST_F(DoSourceTest, DestinationsNotAddingUpIsAProgramError) {
  kernel_.SetMessageSink(&sink_);
  TestRoad road(kernel_, 2000, 1, 2, 0);
  kernel_.AddParamSet(CarParams());
  OriginDemand demand;
  demand.flowValue = {1000};
  demand.typeShare[0] = 1;
  demand.destinationProbability[0][3] = 0.4f;
  road.AddOrigin(0, 0, 0, 100, demand);
  kernel_.DoSource(SourceOfLane(kernel_, 0));
  ASSERT_EQ(sink_.reports.size(), 1u);
  EXPECT_EQ(sink_.reports[0].cause, KernelCause::ProgramError);
  EXPECT_EQ(kernel_.ErrorText(), "Sum of destprobabilities < 0.9990");
  EXPECT_TRUE(VehiclesOnRoad(kernel_).empty());
}

TEST_F(DoSourceTest, WithoutTheQuadraticGapTermTheEntrySpeedSolvesTheLinearCondition) {
  kernel_.SetMessageSink(&sink_);
  TestRoad road(kernel_, 2000, 1);
  VehicleParams car = CarParams();
  car.z3 = 0;  // the parameter's lower limit
  kernel_.AddParamSet(car);
  road.AddOrigin(0, 0, 0, 100, 1800);
  kernel_.CreateObject(0, RO_DUMMY, 110, 0);
  kernel_.DoSource(SourceOfLane(kernel_, 0));
  RoadObject* vehicle = OnlyVehicle();
  ASSERT_NE(vehicle, nullptr);
  // Room R = 10 + 9 - 3 + 0.56 * 3 = 17.68 m over 0.5 + 6 + 0.56 s: K = 2.504 m/s, reached
  // after the half second it is overdue.
  EXPECT_NEAR(vehicle->Vehicle()->speed, 17.68 / 7.06, 1e-3);
  EXPECT_NEAR(vehicle->Position(), 100 + 0.5 * 17.68 / 7.06, 1e-3);
  EXPECT_TRUE(sink_.reports.empty());
}

TEST(DoSourcePlace, ANewVehicleIsPlacedFromItsSourceNotFromTheRoadStart) {
  // A ramp 49 km down a road whose upstream part holds a boundary every 100 m.
  Kernel kernel;
  TestRoad road(kernel, 50000, 1);
  kernel.AddParamSet(CarParams());
  for (int b = 1; b < 490; ++b) road.AddBoundary(b, 100.0f * b);
  road.AddOrigin(0, 0, 0, 49000, 1800);
  road.AddSinks(0, 0, 0, 50000);
  const int objects = static_cast<int>(kernel.ObjectCount());
  kernel.DoSource(SourceOfLane(kernel, 0));
  ASSERT_EQ(VehiclesOnRoad(kernel).size(), 1u);
  EXPECT_GT(objects, 490);
  // Past the source and whatever stands between it and the vehicle, not past the road.
  EXPECT_LE(kernel.LastPlacementWalk(), 2);
  EXPECT_EQ(kernel.CheckObjectLists(), "");
}
