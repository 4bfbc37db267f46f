#pragma once

#include "kernel/VehicleInfo.h"

// The car-following models as pure functions of the deciding vehicle's state, the state of
// the object ahead, the vehicle's parameters and the time step, so that they can be checked
// without a road. The kernel fills these records from its road objects.

// The vehicle that decides.
struct FollowerState {
  float position = 0;      // x [m]
  float speed = 0;         // v [m/s]
  float acceleration = 0;  // a, chosen in the previous step [m/s2]
  float aimSpeed = 0;      // w [m/s]
  const VehicleParams* params = nullptr;
};

// The drivers' reaction delays [s] for starting to accelerate and to brake.
struct ReactionDelays {
  float acceleration = 0;
  float deceleration = 0;
};

enum class ObstacleKind {
  None,     // nothing that car following reacts to (a sink, the end of the road, ...)
  Vehicle,  // a vehicle with a length and a motion of its own
  Fixed,    // a dummy or a traffic light: a standing obstacle without length
};

// The object ahead (or the object another vehicle must keep its distance to).
struct ObstacleState {
  ObstacleKind kind = ObstacleKind::None;
  float position = 0;       // now [m]
  float startPosition = 0;  // at the start of the step [m]; vehicles only
  float length = 0;         // [m]
  float aimSpeed = 0;       // [m/s]
  float speed = 0;          // [m/s]
  float startSpeed = 0;     // at the start of the step [m/s]
  float acceleration = 0;   // [m/s2]
};

/// The delay before a driver who now accelerates with `current` starts to apply `wanted` [s]:
/// the acceleration delay when starting to speed up, the deceleration delay when starting to
/// brake, otherwise none.
float ReactionDelay(float wanted, float current, const ReactionDelays& delays);

/// The acceleration that brings the follower to its desired distance behind the leader after
/// T seconds, with the leader predicted over Tprime seconds [m/s2]. `smoothApproach`, when
/// given, tells whether the gentle closing-in rule decided the result. The leader must be an
/// obstacle (vehicle or fixed); the caller checks.
float follow(const FollowerState& self, const ObstacleState& leader, float T, float Tprime,
             const ReactionDelays& delays, float dt, bool* smoothApproach = nullptr);

/// The acceleration that keeps a minimal distance to `other` when `other` changes to the
/// acceleration `assumed` [m/s2]. Without an obstacle: the acceleration jump allows a + J dt.
float SafeAcceleration(const FollowerState& self, const ObstacleState& other, float T, float Tprime,
                       float assumed, const ReactionDelays& delays, float dt);

/// The aim speed of a driver of this type on a lane [m/s]: the preferred speed, lowered
/// along a line through the preferred speed at 70 km/h where the limit is below it, times
/// the lane's speed suppression factor.
float AimSpeedOnLane(const VehicleParams& params, const PhysicalLane& lane);
