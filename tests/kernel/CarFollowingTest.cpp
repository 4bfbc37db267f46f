#include <gtest/gtest.h>

#include "kernel/CarFollowing.h"
#include "kernel/Kernel.h"
#include "kernel/KernelTestSupport.h"
#include "kernel/TestRoad.h"

namespace {

// A driver without the quadratic gap term: desired gap 3 m + 1 s * v.
VehicleParams PlainParams() {
  VehicleParams p = CarParams();
  p.z1 = 3;
  p.z2 = 1;
  p.z3 = 0;
  return p;
}

const VehicleParams kPlain = PlainParams();

FollowerState Follower(float position, float speed, float acceleration = 0, float aim = 30) {
  FollowerState state;
  state.position = position;
  state.speed = speed;
  state.acceleration = acceleration;
  state.aimSpeed = aim;
  state.params = &kPlain;
  return state;
}

ObstacleState VehicleAhead(float position, float speed, float acceleration, float length = 4) {
  ObstacleState state;
  state.kind = ObstacleKind::Vehicle;
  state.position = state.startPosition = position;
  state.speed = state.startSpeed = speed;
  state.acceleration = acceleration;
  state.length = length;
  state.aimSpeed = 30;
  return state;
}

ObstacleState Dummy(float position) {
  ObstacleState state;
  state.kind = ObstacleKind::Fixed;
  state.position = state.startPosition = position;
  return state;
}

const ReactionDelays kNoDelays{0, 0};

}  // namespace

TEST(AimSpeed, PreferredSpeedLoweredAlongTheSeventyLine) {
  auto lane = [](float limitKmh, float suppression = 1) {
    PhysicalLane result;
    result.speedLimit = static_cast<float>(limitKmh * 0.2777777777777778);
    result.speedSuppression = suppression;
    return result;
  };
  VehicleParams fast = CarParams();
  fast.preferredSpeed = 40;
  fast.preferredSpeed70 = 25;
  VehicleParams slow = CarParams();
  slow.preferredSpeed = 30;
  slow.preferredSpeed70 = 22;
  struct Case {
    const char* name;
    const VehicleParams& params;
    PhysicalLane lane;
    float aim;
  } cases[] = {
      {"fast driver at 120 km/h aims at its preferred speed", fast, lane(120), 40},
      {"fast driver at 70 km/h aims at its 70 km/h speed", fast, lane(70), 25},
      {"below the limit", slow, lane(130), 30},
      {"slower driver at 100 km/h", slow, lane(100), 28.3158f},
      {"speed suppression scales the result", slow, lane(100, 0.5f), 14.1579f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(AimSpeedOnLane(c.params, c.lane), c.aim, 1e-3);
  }
}

TEST(AimSpeed, VehicleOnABoundaryDrivesByTheSectionItLeaves) {
  Kernel kernel;
  TestRoad road(kernel, 2000, 1, 2, 1, {120});
  road.AddBoundary(1, 1000, {70});
  VehicleParams fast = CarParams();
  fast.preferredSpeed = 40;
  fast.preferredSpeed70 = 25;
  kernel.AddParamSet(fast);
  RoadObject* onBoundary = PlaceVehicle(kernel, 0, 1000, 30, 0, 1);
  RoadObject* beyond = PlaceVehicle(kernel, 0, 1000.5f, 30, 0, 2);
  EXPECT_NEAR(onBoundary->AimSpeed(), 40, 1e-3);
  EXPECT_NEAR(beyond->AimSpeed(), 25, 1e-3);
}

TEST(MaxAcceleration, PowerAirGradeAndSuppression) {
  struct Case {
    const char* name;
    LaneRules rules;
    float power;  // [W/kg]
    float speed;
    float expected;
  } cases[] = {
      {"standing still: full acceleration", {}, 20, 0, 4},
      {"power-limited: 0.6 * 20 / 25 - 0.0006 * 625 - 0.006 * 9.81", {}, 20, 25, 0.04614f},
      {"uphill 3%", {120, 1, 0.03f}, 20, 25, 0.04614f - 0.2943f},
      {"low speed: capped at the maximum", {}, 20, 1, 4},
      {"suppression 0.5 (aim 15 m/s): 4 * (1 - 0.9 * (10 / 15)^2)", {120, 0.5f}, 100, 10, 2.4f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Kernel kernel;
    TestRoad road(kernel, 2000, 1, 2, 1, c.rules);
    VehicleParams car = CarParams();
    car.preferredSpeed = 30;
    car.airResistance = 0.6f;
    kernel.AddParamSet(car);
    RoadObject* vehicle = PlaceVehicle(kernel, 0, 500, c.speed);
    vehicle->Vehicle()->specificPower = c.power;
    EXPECT_NEAR(kernel.MaxAcceleration(vehicle), c.expected, 2e-4);
  }
}

TEST(Follow, PredictsWhereAStoppingLeaderComesToRest) {
  // The leader (10 m/s, braking 5 m/s2) stops 10 m ahead of where it is within T' = 3.5 s;
  // the follower standing 50 m behind may close 53 m (minus the desired 7 m) in 4 s.
  float acc = follow(Follower(950, 0), VehicleAhead(1000, 10, -5), 4, 3.5f, kNoDelays, 0.5f);
  EXPECT_NEAR(acc, 2 * (1010 - 7 - 950) / 16.0, 1e-4);
}

TEST(Follow, NoRoomLeftGivesPassiveWhileSafeAccelerationBrakesHard) {
  FollowerState self = Follower(995, 10);
  ObstacleState ahead = VehicleAhead(1000, 0, 0);
  EXPECT_EQ(follow(self, ahead, 4, 3.5f, kNoDelays, 0.5f), kPlain.passiveDeceleration);
  EXPECT_EQ(SafeAcceleration(self, ahead, 4, 3.5f, 0, kNoDelays, 0.5f), kPlain.maxDeceleration);
}

TEST(Follow, LeaderAtTheDesiredDistanceAtEqualSpeedIsFollowedSteadily) {
  // Desired distance 4 + 3 + 20 = 27 m, both at 20 m/s and not accelerating. The leader
  // has made this step's move already (10 m); it is predicted over the rest of the 4 s.
  ObstacleState ahead = VehicleAhead(1010, 20, 0);
  ahead.startPosition = 1000;
  float acc = follow(Follower(973, 20, 0, 25), ahead, 4, 3.5f, kNoDelays, 0.5f);
  EXPECT_NEAR(acc, 0, 1e-4);
}

TEST(Follow, ReactionDelayShortensTheTimeToAct) {
  // Too close at equal speeds: braking must start after the 0.2 s delay, so the same
  // distance must be made up in 3.8 s instead of 4.
  FollowerState self = Follower(980, 20, 0, 25);
  ObstacleState ahead = VehicleAhead(1000, 20, 0);
  ReactionDelays delays{0.3f, 0.2f};
  float without = follow(self, ahead, 4, 4, kNoDelays, 0.5f);
  float with = follow(self, ahead, 4, 4, delays, 0.5f);
  EXPECT_NEAR(without, 2 * (-7.0) / 16, 1e-4);
  EXPECT_NEAR(with, 2 * (-7.0) / (3.8 * 3.8), 1e-4);
}

TEST(Follow, SmoothApproachToADistantSlowLeader) {
  // 200 m behind a standing dummy at 20 m/s: brake evenly to the target closing speed.
  bool smooth = false;
  float acc = follow(Follower(800, 20), Dummy(1000), 4, 3.5f, kNoDelays, 0.5f, &smooth);
  EXPECT_TRUE(smooth);
  float D0 = 0 + 3 + 20;
  float c = (0.02f * (D0 - 3)) * (0.02f * (D0 - 3));
  EXPECT_NEAR(acc, (400 - c * c) / (2 * (D0 - 200)), 1e-4);
}

TEST(Follow, FreeRoadAheadKeepsAcceleratingTowardsTheAimSpeed) {
  FollowerState self = Follower(0, 29.9f, 1, 30);
  float acc = follow(self, Dummy(5000), 4, 3.5f, kNoDelays, 0.5f);
  // It would overshoot its aim speed with room to spare: acceleration jump, capped.
  EXPECT_NEAR(acc, std::min(1 + kPlain.maxAccelerationJump * 0.5f, kPlain.maxAcceleration), 1e-5);
}

TEST(SafeAcceleration, WithoutAnObstacleOnlyTheJumpLimits) {
  ObstacleState nothing;
  EXPECT_NEAR(SafeAcceleration(Follower(0, 10, 0.5f), nothing, 4, 3.5f, 0, kNoDelays, 0.5f),
              0.5f + kPlain.maxAccelerationJump * 0.5f, 1e-6);
}

TEST(SafeAcceleration, AssumedBrakingOfTheLeaderIsPredicted) {
  // The leader at 20 m/s, assumed to brake with -8 m/s2, stops 25 m further on; the
  // follower 64 m behind its front may cover 25 + 64 - 7 = 82 m in 4 s: 80 m at its speed
  // and 2 m more.
  FollowerState self = Follower(936, 20, 0, 30);
  ObstacleState ahead = VehicleAhead(1000, 20, 0);
  EXPECT_NEAR(SafeAcceleration(self, ahead, 4, 4, -8, kNoDelays, 0.5f), 0.25f, 1e-5);
  // Looking from the start of the step (T' != T) the leader is taken where it was then:
  // 10 m less room, 2 (-8 m) / 16 s2.
  ahead.startPosition = 990;
  EXPECT_NEAR(SafeAcceleration(self, ahead, 4, 3.5f, -8, kNoDelays, 0.5f), -1.0f, 1e-5);
}

TEST(AnticipationTime, ShortOnlyBetweenVehiclesSortingOutAMerge) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  TestRoad road(kernel, 2000, 3);
  kernel.AddParamSet(CarParams());
  KernelBHVSection area;  // lane 1 must be left towards lane 0 from 400 m to 600 m
  area.lane = 1;
  area.end = 600;
  area.requiredLength = 200;
  area.mergeLeft = true;
  area.fullStrength = true;
  kernel.AddArea(area);
  area.lane = 0;  // and lane 0 towards lane 1
  area.mergeLeft = false;
  kernel.AddArea(area);
  RoadObject* merging = PlaceVehicle(kernel, 1, 500, 20, 0, 1);  // must go left
  RoadObject* partner = PlaceVehicle(kernel, 1, 550, 20, 0, 2);  // must go left
  RoadObject* behind = PlaceVehicle(kernel, 1, 300, 20, 0, 3);   // not yet in the zone
  RoadObject* left = PlaceVehicle(kernel, 0, 520, 20, 0, 4);     // must go right
  RoadObject* far = PlaceVehicle(kernel, 2, 520, 20, 0, 5);
  RoadObject* dummy = kernel.CreateObject(1, RO_DUMMY, 1500, 0);

  struct Case {
    const char* name;
    RoadObject* asking;
    int state;  // of the asking vehicle
    RoadObject* other;
    int otherState;
    int expected;
  } cases[] = {
      {"no vehicle", merging, 0, nullptr, 0, 4},
      {"a dummy", merging, 0, dummy, 0, 4},
      {"two lanes apart", merging, 0, far, 0, 4},
      {"same lane, neither changing", merging, 0, partner, 0, 4},
      {"changing right towards a vehicle that must go left", merging, 3, partner, 0, 2},
      {"changing left towards a vehicle that must go left", merging, -13, partner, 0, 4},
      {"other changing right, asking must go left", merging, 0, partner, 2, 2},
      {"other asked to cooperate", merging, 0, partner, 20, 4},
      {"asking outside the zone", behind, 0, merging, 2, 4},
      {"left lane must go right, right lane must go left", left, 0, merging, 0, 2},
      {"right lane must go left, left lane must go right", merging, 0, left, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.asking->Vehicle()->laneChangeState = c.state;
    if (c.other && c.other->IsVehicle()) c.other->Vehicle()->laneChangeState = c.otherState;
    EXPECT_EQ(c.asking->GetAnticipationTime(c.other), c.expected);
    c.asking->Vehicle()->laneChangeState = 0;
    if (c.other && c.other->IsVehicle()) c.other->Vehicle()->laneChangeState = 0;
  }
  // More than 20 km/h faster than the other: always 4 s.
  left->Vehicle()->speed = 26;
  EXPECT_EQ(left->GetAnticipationTime(merging), 4);
  EXPECT_TRUE(sink.reports.empty());
}

TEST(AnticipationTime, AskedOfANonVehicleIsASimulatorError) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  TestRoad road(kernel, 2000, 1);
  RoadObject* dummy = kernel.CreateObject(0, RO_DUMMY, 1500, 0);
  EXPECT_EQ(dummy->GetAnticipationTime(nullptr), 0);
  EXPECT_EQ(kernel.ErrorText(), "\"this\" is not a vehicle");
}
