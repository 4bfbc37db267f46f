#include <algorithm>

#include "config/Units.h"
#include "kernel/Kernel.h"
#include "kernel/LaneChangeState.h"

// The voluntary wishes: to overtake on the left, and to keep right when the lane to the
// right is free enough. Both look at the leaders as they were at the start of the step.

namespace {

constexpr float kOneKmh = KmhToMs(1);  // [m/s]

}  // namespace

// A light ahead in the target lane that the driver could no longer stop for comfortably
// keeps it out of that lane.
bool Kernel::LightBlocksLane(const RoadObject* vehicle, int lane) {
  RoadObject* light = RegisteredTrafficLight(lane);
  if (light == nullptr) return false;
  const VehicleInfo& info = *vehicle->Vehicle();
  float v = info.speed;
  float distance = light->Position() - vehicle->Position();  // [m]
  float time = v > 0 ? distance / v : 0;                     // [s] to reach the light
  if (light->TrafficLight()->seenState == TL_GREEN || time > 10) return false;
  float braking = -v * v / (2 * info.params->trafficLightDeceleration);  // [m]
  return distance < braking;
}

// In the wishes: L the vehicle's lane, x its position [m], v its speed [m/s], a its
// acceleration [m/s2], w its aim speed [m/s], pd its passive deceleration [m/s2].
bool Kernel::WantsLeft(RoadObject* vehicle, RoadObject* leader) {
  const VehicleInfo* ahead = leader != nullptr ? leader->Vehicle() : nullptr;
  if (ahead == nullptr) return false;
  const VehicleInfo& info = *vehicle->Vehicle();
  const VehicleParams& p = *info.params;
  const int L = vehicle->Lane();
  const float x = vehicle->Position(), v = info.speed, a = info.acceleration;
  const float w = vehicle->AimSpeed();
  const float pd = p.passiveDeceleration;

  if (MayMove(vehicle, -1) && LightBlocksLane(vehicle, L - 1)) return false;
  if (info.stoppingForLight) return false;
  // Not for a leader that drives about as fast as wanted and is not braking.
  if (ahead->previousSpeed >= v - kOneKmh && v >= w - kOneKmh && ahead->acceleration >= pd)
    return false;
  const PhysicalLane* rules = LaneRules(vehicle, L);
  bool suppressed = rules != nullptr && rules->speedSuppression != 1;
  float leaderDistance = ahead->previousPosition - x;  // [m]
  if (a >= 0 || a < pd || suppressed) {
    if (a < 0 || leaderDistance >= 50) return false;
    if (!(p.maxAcceleration > ahead->params->maxAcceleration)) return false;
  } else if (info.coasting || info.holdBackPrevious) {
    if (leaderDistance >= 50) return false;
  } else if (ahead->acceleration >= pd && v >= 0.95f * w && ahead->previousSpeed >= 0.95f * v) {
    return false;
  }

  // Left of the median lane there is no vehicle to find; a search there would walk the whole
  // road along the global list for the next detector.
  const RoadObject* leftLeader = L > 0 ? vehicle->LeaderInLane(L - 1) : nullptr;
  const VehicleInfo* left = leftLeader != nullptr ? leftLeader->Vehicle() : nullptr;
  if (left == nullptr) return true;
  if (ahead->params->maxAcceleration >= p.maxAcceleration && p.maxAcceleration < 1) return false;
  if (left->acceleration < left->params->passiveDeceleration) return false;
  if (!(left->previousSpeed - ahead->previousSpeed > 2.5f) && !(left->previousPosition - x > 100))
    return false;
  float closing = v - left->previousSpeed;  // [m/s] closing in on the vehicle to the left
  if (closing <= 0) return true;
  return (left->previousPosition - left->params->length - x) / closing > 30;
}

bool Kernel::WantsRight(RoadObject* vehicle) {
  if (!MayMove(vehicle, 1)) return false;
  const VehicleInfo& info = *vehicle->Vehicle();
  const VehicleParams& p = *info.params;
  const int L = vehicle->Lane();
  const float x = vehicle->Position(), v = info.speed;
  const float pd = p.passiveDeceleration;
  if (LightBlocksLane(vehicle, L + 1) || info.stoppingForLight) return false;

  // Not into a lane next to much slower traffic that could not be passed safely.
  const PhysicalLane* next = LaneRules(vehicle, L + 1);
  if (next != nullptr && next->canMoveRight && L + 2 < MAX_KAVROLANE) {
    const RoadObject* far = vehicle->LeaderInLane(L + 2);
    if (const VehicleInfo* farInfo = far != nullptr ? far->Vehicle() : nullptr;
        farInfo != nullptr && farInfo->speed < 20 && v - farInfo->speed > 5) {
      float farSpeed = farInfo->speed;       // [m/s]
      float tau = -(v - farSpeed - 5) / pd;  // [s] to brake to 5 m/s above it
      float gap = farInfo->previousPosition - x - farInfo->params->length;  // [m]
      if (gap < v * tau + pd * tau * tau / 2 - farSpeed * tau) return false;
    }
  }

  const RoadObject* rightLeader = vehicle->LeaderInLane(L + 1);
  const VehicleInfo* right = rightLeader != nullptr ? rightLeader->Vehicle() : nullptr;
  if (right == nullptr) return true;
  const float w = vehicle->AimSpeed();
  if (v >= right->previousSpeed - 2.5f && v < w - kOneKmh &&
      info.acceleration != MaxAcceleration(vehicle))
    return false;
  float closing = v - right->previousSpeed;  // [m/s]
  if (closing <= 0) return true;
  return (right->previousPosition - right->params->length - x) / closing > 40;
}

// ---- The state of a manoeuvre ----------------------------------------------------------------

void Kernel::StartLaneChange(VehicleInfo& info, int direction, bool required) {
  info.laneChangeState = (required ? 11 : 1) * (direction < 0 ? -1 : 1);
  info.laneChangeProgress = 1;
}

// A manoeuvre lasts the lane change duration in steps. The state shows its kind and its
// progress up to 9 steps; the progress itself is kept apart, so that durations of 10 steps
// and more (short time steps) still end as the kind of change they are.
void Kernel::AdvanceLaneChangeState(RoadObject* vehicle) {
  VehicleInfo& info = *vehicle->Vehicle();
  int& state = info.laneChangeState;
  const int sign = state > 0 ? 1 : -1;
  const int base = sign * state >= 10 ? 10 : 0;
  ++info.laneChangeProgress;
  if (info.laneChangeProgress < laneChangeSteps_) {
    state = sign * (base + std::min(info.laneChangeProgress, 9));
    return;
  }
  // Completed: the nearest detector upstream counts the change.
  if (RoadObject* detector = DetectorBehind(vehicle)) detector->Detector()->CountLaneChange(state);
  state = sign * base;  // a required change stays marked completed until the next move
  info.laneChangeProgress = 0;
}
