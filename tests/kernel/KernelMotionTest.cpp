#include <gtest/gtest.h>

#include "kernel/Kernel.h"
#include "kernel/KernelTestSupport.h"
#include "kernel/TestRoad.h"

namespace {

// One lane, a driver aiming at 30 m/s with ample power; the clock in the middle of a run.
class MotionTest : public ::testing::Test {
 protected:
  void SetUp() override { Build(0, 0); }
  void Build(float delayAcc, float delayDec, float jump = 1) {
    kernel_.SetMessageSink(&sink_);
    road_ = std::make_unique<TestRoad>(kernel_, 5000, 2, 2, 1, LaneRules{},
                                       ReactionDelays{delayAcc, delayDec});
    VehicleParams car = CarParams();
    car.preferredSpeed = 30;
    car.preferredSpeed70 = 25;
    car.maxAccelerationJump = jump;
    kernel_.AddParamSet(car);
    kernel_.SetClock(10, 2);
  }
  RoadObject* Vehicle(float position, float speed, float acceleration = 0, int lane = 0,
                      int id = 1) {
    RoadObject* vehicle = PlaceVehicle(kernel_, lane, position, speed, 0, id);
    vehicle->Vehicle()->acceleration = acceleration;
    vehicle->Vehicle()->specificPower = 100;
    return vehicle;
  }

  Kernel kernel_;
  RecordingSink sink_;
  std::unique_ptr<TestRoad> road_;
};

}  // namespace

TEST_F(MotionTest, ShortReactionDelayKeepsTheSpeedForPartOfTheStep) {
  Build(0.3f, 0.2f);
  RoadObject* vehicle = Vehicle(100, 10);
  kernel_.ApplyAcceleration(vehicle, 1, false);
  // 0.3 s at 10 m/s, then 0.2 s at 1 m/s2.
  EXPECT_NEAR(vehicle->Position(), 100 + 5 + 0.5 * 1 * 0.2 * 0.2, 1e-4);
  EXPECT_NEAR(vehicle->Vehicle()->speed, 10.2, 1e-5);
  EXPECT_EQ(vehicle->Vehicle()->acceleration, 1.0f);
  EXPECT_EQ(vehicle->Vehicle()->accelerationDelay, 0.0f);
}

TEST_F(MotionTest, LongReactionDelaySpansSteps) {
  Build(0.8f, 0.2f);
  RoadObject* vehicle = Vehicle(100, 10);
  float speeds[3];
  for (int i = 0; i < 3; ++i) {
    kernel_.SetClock(10 + i, 2);
    kernel_.ApplyAcceleration(vehicle, 1, false);
    speeds[i] = vehicle->Vehicle()->speed;
  }
  // The delay ends at 5.5 + 0.8 = 6.3 s: nothing changes in the steps from 5.0 and 5.5 s,
  // the step from 6.0 s accelerates during its last 0.2 s.
  EXPECT_EQ(speeds[0], 10.0f);
  EXPECT_EQ(speeds[1], 10.0f);
  EXPECT_NEAR(speeds[2], 10.2, 1e-4);
  EXPECT_NEAR(vehicle->Position(), 100 + 15 + 0.02, 1e-3);
}

TEST_F(MotionTest, CoastingNeverDropsBelowTheAimSpeedNorBrakesBeyondTheJump) {
  struct Case {
    const char* name;
    float speed, jump, expectedSpeed, expectedAcceleration;
  } cases[] = {
      {"well above: passive deceleration", 31, 1, 30.75f, -0.5f},
      {"just above: lands on the aim speed", 30.1f, 1, 30, -0.2f},
      {"just above with a small jump", 30.1f, 0.1f, 30.075f, -0.05f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Build(0, 0, c.jump);
    RoadObject* vehicle = Vehicle(100, c.speed);
    kernel_.ApplyAcceleration(vehicle, 2, false);
    EXPECT_TRUE(vehicle->Vehicle()->coasting);
    EXPECT_NEAR(vehicle->Vehicle()->speed, c.expectedSpeed, 1e-4);
    EXPECT_NEAR(vehicle->Vehicle()->acceleration, c.expectedAcceleration, 1e-4);
  }
}

TEST_F(MotionTest, StopsExactlyWhereItStops) {
  RoadObject* vehicle = Vehicle(100, 1);
  kernel_.ApplyAcceleration(vehicle, -7, false);
  EXPECT_NEAR(vehicle->Position(), 100 + 1.0 / 14, 1e-5);
  EXPECT_EQ(vehicle->Vehicle()->speed, 0.0f);
  EXPECT_EQ(vehicle->Vehicle()->acceleration, 0.0f);
}

TEST_F(MotionTest, ReachesTheAimSpeedWithinTheStepAndHoldsIt) {
  RoadObject* vehicle = Vehicle(100, 29.9f, 1);
  kernel_.ApplyAcceleration(vehicle, 1, false);
  EXPECT_NEAR(vehicle->Position(), 100 + 30 * 0.5 - 0.01 / 2, 1e-3);
  EXPECT_EQ(vehicle->Vehicle()->speed, 30.0f);
  EXPECT_EQ(vehicle->Vehicle()->acceleration, 0.0f);
}

TEST_F(MotionTest, PowerLimitsTheAcceleration) {
  RoadObject* vehicle = Vehicle(100, 20);
  vehicle->Vehicle()->specificPower = 10;  // 0.6 * 10 / 20 - 0.0006 * 400 - 0.0589 = 0.0011
  kernel_.ApplyAcceleration(vehicle, 3, false);
  EXPECT_NEAR(vehicle->Vehicle()->acceleration, 0.00114, 1e-4);
}

TEST_F(MotionTest, InvalidMoveIsRefusedWithItsDescription) {
  RoadObject* vehicle = Vehicle(100, 10);
  Vehicle(200, 10, 0, 0, 2);
  EXPECT_FALSE(vehicle->MoveVehicle(99, 10, 0));
  EXPECT_EQ(kernel_.ErrorText(),
            "object type=100 lane=1 current position=100.000000 requested position=99.000000 "
            "requested speed=10.000000\r\nposition of leader=200.000000");
  EXPECT_EQ(vehicle->Position(), 100.0f);
  EXPECT_EQ(vehicle->Vehicle()->speed, 10.0f);
  EXPECT_FALSE(kernel_.Ready());

  Build(0, 0);
  RoadObject* alone = Vehicle(100, 10);
  EXPECT_FALSE(alone->MoveVehicle(105, 101, 0));
  EXPECT_EQ(kernel_.ErrorText(),
            "object type=100 lane=1 current position=100.000000 requested position=105.000000 "
            "requested speed=101.000000");
  Build(0, 0);
  alone = Vehicle(100, 10);
  EXPECT_FALSE(alone->MoveVehicle(std::nanf(""), 10, 0));
  EXPECT_EQ(alone->Position(), 100.0f);
}

TEST_F(MotionTest, AccidentsAreReportedButTheMoveIsMade) {
  RoadObject* follower = Vehicle(100, 20);
  Vehicle(110, 0, 0, 0, 2);
  EXPECT_TRUE(follower->MoveVehicle(106, 20, 0));  // 1 m clear of the rear: no accident
  EXPECT_TRUE(sink_.reports.empty());
  EXPECT_TRUE(follower->MoveVehicle(107, 20, 0));
  EXPECT_EQ(kernel_.ErrorText(),
            "Accident: lane=1, current position=106.000000, requested position=107.000000, "
            "requested speed=20.000000, position of leader=110.000000, length of "
            "leader=4.500000");
  EXPECT_EQ(follower->Position(), 107.0f);
  EXPECT_EQ(kernel_.CheckObjectLists(), "");

  Build(0, 0);
  follower = Vehicle(100, 20);
  kernel_.CreateObject(0, RO_DUMMY, 105, 0);
  EXPECT_TRUE(follower->MoveVehicle(105, 20, 0));
  EXPECT_EQ(kernel_.ErrorText(),
            "Accident: lane=1, current position=100.000000, requested position=105.000000, "
            "requested speed=20.000000, position of leader=105.000000 (leader is a dummy "
            "vehicle)");
}

TEST_F(MotionTest, VehiclesInALaneChangeDoNotCollideWithTheSteadyOnes) {
  RoadObject* follower = Vehicle(100, 20);
  RoadObject* leader = Vehicle(110, 0, 0, 0, 2);
  leader->Vehicle()->laneChangeState = 2;
  EXPECT_TRUE(follower->MoveVehicle(107, 20, 0));
  EXPECT_TRUE(sink_.reports.empty());
}

TEST_F(MotionTest, PassesObjectsOfOtherLanesAndKeepsTheLists) {
  RoadObject* vehicle = Vehicle(100, 20);
  RoadObject* other = Vehicle(105, 0, 0, 1, 2);
  RoadObject* ahead = Vehicle(300, 20, 0, 0, 3);
  kernel_.CreateObject(LANE_DETECTORS, RO_DETECTOR, 103, 0);
  EXPECT_TRUE(vehicle->MoveVehicle(110, 20, 0));
  EXPECT_EQ(vehicle->Previous(), other);
  EXPECT_EQ(vehicle->LaneLeader(), ahead);
  EXPECT_EQ(ahead->LaneFollower(), vehicle);
  EXPECT_EQ(kernel_.CheckObjectLists(), "");

  // Equal to the requested position: objects of higher lanes are passed, others not.
  RoadObject* level = Vehicle(120, 0, 0, 1, 4);
  EXPECT_TRUE(vehicle->MoveVehicle(120, 20, 0));
  EXPECT_EQ(vehicle->Previous(), level);
  EXPECT_EQ(kernel_.CheckObjectLists(), "");
}

TEST_F(MotionTest, PassingADetectorCountsWithTheInterpolatedTime) {
  RoadObject* detector = kernel_.CreateObject(LANE_DETECTORS, RO_DETECTOR, 100, 0);
  RoadObject* second = kernel_.CreateObject(LANE_DETECTORS, RO_DETECTOR, 110, 1);
  RoadObject* vehicle = Vehicle(97, 10);
  // Constant 10 m/s from 97 m to 102 m in the step from 5 s; the time of the new position is
  // taken as the start of the step, so the detector 2 m back was passed 0.2 s earlier.
  ASSERT_TRUE(vehicle->MoveVehicle(102, 10, 0));
  EXPECT_EQ(detector->Detector()->VehicleCount(0, 0, 0), 1);
  EXPECT_EQ(detector->Detector()->VehicleCount(0, -1, -1), 1);
  EXPECT_FLOAT_EQ(vehicle->Vehicle()->lastDetectorTime, 4.8f);
  EXPECT_FLOAT_EQ(detector->Detector()->periods[0].inverseSpeedSum[0][0], 1000 / 5.0f / 2);
  EXPECT_EQ(detector->Detector()->periods[0].travelTimeCount[0][0], 0);

  // The next step passes the second detector, with a travel time from the first.
  kernel_.SetClock(11, 2);
  ASSERT_TRUE(vehicle->MoveVehicle(112, 10, 0));
  EXPECT_EQ(second->Detector()->VehicleCount(0, 0, 0), 1);
  EXPECT_EQ(second->Detector()->periods[0].travelTimeCount[0][0], 1);
  EXPECT_FLOAT_EQ(second->Detector()->periods[0].travelTimeSum[0][0], 5.3f - 4.8f);
}

TEST_F(MotionTest, PassingTimeUnderConstantAcceleration) {
  RoadObject* vehicle = Vehicle(100, 11, 2);
  vehicle->SetPosition(105.25f);
  float time = 0, speed = 0;
  // 10 m/s at 100 m, 2 m/s2, 11 m/s at 105.25 m: 0.5 s before the present time.
  ASSERT_TRUE(kernel_.FindPassingTimeAndSpeed(vehicle, 100, &time, &speed));
  EXPECT_NEAR(time, 4.5, 1e-5);
  EXPECT_NEAR(speed, 10, 1e-5);
  vehicle->Vehicle()->acceleration = 0;
  vehicle->Vehicle()->speed = 0;
  vehicle->Vehicle()->previousSpeed = 0.5f;
  ASSERT_TRUE(kernel_.FindPassingTimeAndSpeed(vehicle, 100, &time, &speed));
  EXPECT_NEAR(time, 4.5, 1e-6);
  EXPECT_EQ(speed, 0.5f);
  // Accelerating hard to 1 m/s it can not have been 50 m back at any time.
  vehicle->Vehicle()->acceleration = 5;
  vehicle->Vehicle()->speed = 1;
  EXPECT_FALSE(kernel_.FindPassingTimeAndSpeed(vehicle, 55, nullptr, nullptr));
}

TEST_F(MotionTest, TeleportCarriesTheOvershootIntoTheExitLane) {
  RoadObject* teleport = kernel_.CreateObject(0, RO_TELEPORT, 500, 0);
  RoadObject* exit = kernel_.CreateObject(1, RO_REVERSETELEPORT, 800, 0);
  kernel_.LinkTeleports(teleport, exit);
  RoadObject* ahead = Vehicle(900, 20, 0, 1, 2);
  RoadObject* vehicle = Vehicle(495, 20);
  ASSERT_TRUE(vehicle->MoveVehicle(505, 20, 0));
  EXPECT_EQ(vehicle->Lane(), 1);
  EXPECT_FLOAT_EQ(vehicle->Position(), 805);
  EXPECT_EQ(vehicle->Vehicle()->stepTeleportOffset, 300);
  EXPECT_EQ(vehicle->Previous(), exit);
  EXPECT_EQ(vehicle->LaneLeader(), ahead);
  EXPECT_EQ(kernel_.CheckObjectLists(), "");
}

TEST_F(MotionTest, PassingItsSinkMarksTheVehicleArrived) {
  kernel_.CreateObject(0, RO_SINK, 500, 0);
  RoadObject* vehicle = Vehicle(495, 20);
  ASSERT_TRUE(vehicle->MoveVehicle(505, 20, 0));
  EXPECT_EQ(vehicle->Number(), -1);
  EXPECT_EQ(vehicle->FollowerInLane()->Type(), RO_SINK);
}
