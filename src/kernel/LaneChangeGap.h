#pragma once

#include "kernel/CarFollowing.h"

// Gap acceptance of a lane change as a function of the changing vehicle, its would-be leader
// and follower in the target lane, its parameters and the time step, free of road objects.

struct GapVerdict {
  bool leaderBlocks = false;
  bool followerBlocks = false;
  float leaderAcceleration = 0;   // what the new leader allows [m/s2]
  float plannedAcceleration = 0;  // what the new follower must assume of the vehicle [m/s2]
};

struct GapRequest {
  FollowerState self;            // the vehicle that changes lanes
  float length = 0;              // its length [m]
  float startAcceleration = 0;   // t0: what it could reach in this step [m/s2]
  float acceptable = 0;          // o: the hardest braking it and its follower accept [m/s2]
  ObstacleState leader;          // the new leader; kind None when there is none to follow
  float leaderAssumed = 0;       // the acceleration the new leader is assumed to change to
  float leaderAnticipation = 4;  // Tq [s]
  const FollowerState* follower = nullptr;  // the new follower, when it is a vehicle
  ObstacleState selfAsObstacle;             // the vehicle as the new follower sees it
  float followerAnticipation = 4;           // Tr [s]
};

/// Whether the new leader and the new follower each leave room for the change. Both must
/// still be able to keep a safe distance when braking no harder than `acceptable`; the
/// vehicle must also be fully behind the leader and fully ahead of the follower.
GapVerdict AcceptGap(const GapRequest& request, const ReactionDelays& delays, float dt);
