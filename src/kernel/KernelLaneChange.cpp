#include <algorithm>

#include "config/Units.h"
#include "kernel/Kernel.h"
#include "kernel/LaneChangeGap.h"
#include "kernel/LaneChangeState.h"
#include "kernel/StatusText.h"

// Lane changes: required ones (a route through lane change areas, a lane drop, a forced or
// closed lane) and voluntary ones (overtaking, keeping right, making room for a merging
// vehicle). A change is made at once where the vehicle stands, when both the new leader and
// the new follower accept it; a vehicle that cannot merge asks the vehicles behind the gap
// to make room.

namespace {

constexpr float kOneKmh = KmhToMs(1);  // [m/s]

// A truck is any vehicle longer than 6 m.
bool IsTruck(const RoadObject* vehicle) { return vehicle->Vehicle()->params->length > 6; }

}  // namespace

// Whether the areas of the target lane send vehicles back into the vehicle's own lane.
bool Kernel::TargetLaneSendsBack(const RoadObject* vehicle, int direction) {
  const VehicleInfo& info = *vehicle->Vehicle();
  int target = vehicle->Lane() + direction;
  const KernelBHVSection* area = FindArea(target, info.destination, nullptr, vehicle->Position());
  if (direction < 0) return InRequiredRight(vehicle, area) || InVoluntaryRight(vehicle, area);
  return InRequiredLeft(vehicle, area) || InVoluntaryLeft(vehicle, area);
}

bool Kernel::TryLaneChange(RoadObject* vehicle, RoadObject* leader) {
  VehicleInfo& info = *vehicle->Vehicle();
  const int lane = vehicle->Lane();
  const float position = vehicle->Position();  // [m]
  const KernelBHVSection* area = CurrentArea(vehicle);
  const bool truck = IsTruck(vehicle);
  const bool truckInClosedLane = truck && ClosedForTrucks(vehicle, lane);

  // A required change: the vehicle must leave its lane to this side.
  LaneSide required = InRequiredLeft(vehicle, area)    ? LaneSide::Left
                      : InRequiredRight(vehicle, area) ? LaneSide::Right
                                                       : LaneSide::None;
  // A voluntary change an area or a neighbour asks for, made when the urgency draw says so.
  LaneSide voluntary = LaneSide::None;
  if (InVoluntaryLeft(vehicle, area))
    voluntary = LaneSide::Left;
  else if (truckInClosedLane || InVoluntaryRight(vehicle, area))
    voluntary = LaneSide::Right;
  else if (info.laneChangeState == LCS_COOPERATE && !(truck && ClosedForTrucks(vehicle, lane - 1)))
    voluntary = LaneSide::Left;
  if (voluntary != LaneSide::None &&
      !((voluntary == LaneSide::Left && info.laneChangeState == LCS_COOPERATE) ||
        (voluntary == LaneSide::Right && truckInClosedLane) ||
        Random() < VoluntaryUrgency(area, position)))
    voluntary = LaneSide::None;

  bool ownWish = false;        // the driver's own wish (state +-1), not an area's (+-11)
  bool wantsOvertake = false;  // the wish to overtake on the left
  if (required == LaneSide::None && voluntary == LaneSide::None) {
    wantsOvertake = ownWish = WantsLeft(vehicle, leader);
    if ((!truck || !ClosedForTrucks(vehicle, lane - 1)) && MayMove(vehicle, -1) && wantsOvertake &&
        !InVoluntaryRight(vehicle, area)) {
      voluntary = LaneSide::Left;
    } else if (WantsRight(vehicle) && !InVoluntaryLeft(vehicle, area)) {
      voluntary = LaneSide::Right;
      ownWish = true;
    } else {
      return false;
    }
  }

  // The direction the attempt moves in: a required change decides it.
  const LaneSide side = required != LaneSide::None ? required : voluntary;
  const int direction = side == LaneSide::Left ? -1 : 1;
  if (!MayMove(vehicle, direction) || TargetLaneSendsBack(vehicle, direction)) return false;
  if (AttemptLaneChange(vehicle, required, ownWish, voluntary)) return true;

  // Second chance: keep right after a failed overtaking wish, or leave a dropped lane (or a
  // lane without an area) to the right when the left is closed.
  if (wantsOvertake) {
    if (!WantsRight(vehicle) || InVoluntaryLeft(vehicle, area)) return false;
    ownWish = true;
  } else if (!(required == LaneSide::Left && (area == nullptr || area->laneDrop))) {
    return false;
  }
  if (!MayMove(vehicle, 1) || TargetLaneSendsBack(vehicle, 1)) return false;
  return AttemptLaneChange(vehicle, LaneSide::None, ownWish, LaneSide::Right);
}

// The symbols of the lane change model, all [m/s2]: t0 the acceleration the vehicle could reach
// in this step, o the hardest braking it (and its new follower) accepts, F its acceleration
// behind the new leader, A what the new leader allows, t the acceleration applied.
bool Kernel::AttemptLaneChange(RoadObject* vehicle, LaneSide required, bool ownWish,
                               LaneSide voluntary) {
  VehicleInfo& info = *vehicle->Vehicle();
  const VehicleParams& p = *info.params;
  const int lane = vehicle->Lane();
  const float position = vehicle->Position(), speed = info.speed;
  const float dt = TimeStepLength();
  const float t0 =
      std::min(info.acceleration + p.maxAccelerationJump * dt, MaxAcceleration(vehicle));

  float o;
  int target;
  if (required != LaneSide::None) {
    const PhysicalLane* rules = LaneRules(vehicle, lane);
    o = rules != nullptr && rules->notUsable
            ? p.laneChangeDeceleration
            : RequiredUrgency(CurrentArea(vehicle), position) * p.laneChangeDeceleration;
    FormatStatus(info.statusText, sizeof info.statusText, required == LaneSide::Left ? "ML" : "MR",
                 o);
    target = required == LaneSide::Left ? lane - 1 : lane + 1;
  } else {
    if (voluntary == LaneSide::None) return false;
    float aimSpeed = vehicle->AimSpeed();
    o = p.laneChangeDeceleration * (1 - std::min(speed / aimSpeed, 1.0f));
    FormatStatus(info.statusText, sizeof info.statusText, voluntary == LaneSide::Left ? "WL" : "WR",
                 o);
    target = voluntary == LaneSide::Left ? lane - 1 : lane + 1;
  }
  if (target < 0 || target >= MAX_KAVROLANE) return false;

  RoadObject* newLeader = vehicle->LeaderInLane(target);
  RoadObject* newFollower = vehicle->FollowerInLane(target);
  const VehicleInfo* leaderInfo = newLeader != nullptr ? newLeader->Vehicle() : nullptr;
  VehicleInfo* followerInfo = newFollower != nullptr ? newFollower->Vehicle() : nullptr;
  const bool leaderIsObstacle = newLeader != nullptr && ISOBSTACLE(newLeader->Type());

  GapRequest request;
  request.self = FollowerOf(vehicle);
  request.length = p.length;
  request.startAcceleration = t0;
  request.acceptable = o;
  if (leaderIsObstacle) {
    request.leader = ObstacleOf(newLeader);
    request.leaderAssumed =
        leaderInfo != nullptr
            ? std::min(leaderInfo->acceleration, leaderInfo->params->passiveDeceleration)
            : 0;
    request.leaderAnticipation = static_cast<float>(vehicle->GetAnticipationTime(newLeader));
  }
  FollowerState follower;
  if (followerInfo != nullptr) {
    follower = FollowerOf(newFollower);
    request.follower = &follower;
    request.selfAsObstacle = ObstacleOf(vehicle);
    request.followerAnticipation = static_cast<float>(newFollower->GetAnticipationTime(vehicle));
  }
  GapVerdict gap = AcceptGap(request, Delays(), dt);
  if (!ready_) return false;

  if (!gap.leaderBlocks && !gap.followerBlocks) {
    if (!vehicle->ChangeLane(target)) return false;
    float F = t0, A = t0;
    if (leaderIsObstacle) {
      F = follow(vehicle, request.leaderAnticipation, newLeader, request.leaderAnticipation - dt);
      A = gap.leaderAcceleration;
    }
    if (required != LaneSide::None || F >= o) {
      float t = std::max(std::min({t0, F, A}), o);
      StartLaneChange(info, target - lane, !ownWish);
      ApplyAcceleration(vehicle, t, false);
      return true;
    }
    vehicle->ChangeLane(lane);
  }
  if (required != LaneSide::None) RequestRoom(vehicle, newLeader, newFollower, gap, required, o);
  return false;
}

// A vehicle that must merge but finds no gap slows down to fall back to a gap, or asks the
// vehicles behind the gap to make room. `acceptable` is the hardest braking it accepts [m/s2].
void Kernel::RequestRoom(RoadObject* vehicle, RoadObject* newLeader, RoadObject* newFollower,
                         const GapVerdict& gap, LaneSide required, float acceptable) {
  const VehicleInfo& info = *vehicle->Vehicle();
  const float position = vehicle->Position(), speed = info.speed;
  // The vehicle in the target lane that blocks the change.
  RoadObject* blocker = gap.leaderBlocks ? newLeader : newFollower;
  const VehicleInfo* blockerInfo = blocker != nullptr ? blocker->Vehicle() : nullptr;
  if (blockerInfo == nullptr) return;
  const float aimSpeed = vehicle->AimSpeed();
  if (required == LaneSide::Right && blockerInfo->destination != info.destination) {
    // Towards an exit, vehicles bound elsewhere are only asked when they drive as this one
    // wants to and do not themselves have to move left.
    if (InRequiredLeft(blocker, CurrentArea(blocker)) ||
        blockerInfo->params->preferredSpeed != info.params->preferredSpeed ||
        speed < aimSpeed - kOneKmh || blockerInfo->speed < aimSpeed - kOneKmh)
      return;
  }
  // A blocking leader slower than this lets the vehicle fall back behind it [m/s].
  float fallBackBelow = speed <= blockerInfo->speed + 5 ? speed + KmhToMs(10) : speed - KmhToMs(10);
  if (gap.leaderBlocks && blockerInfo->speed < fallBackBelow && !blockerInfo->cooperating)
    laneChangeSlowDown_ = acceptable;
  if (!gap.followerBlocks || (gap.leaderBlocks && speed > blockerInfo->speed + 5)) return;

  VehicleInfo& followerInfo = *newFollower->Vehicle();
  if (speed <= 10 && speed > followerInfo.speed + 2) return;
  const RoadObject* section = SectionOf(vehicle);
  if (section == nullptr) return;
  const float sectionStart = section->Position();  // [m]
  if (!(newFollower->Position() > sectionStart)) return;
  if ((speed > 10 || newFollower->Position() < position - info.params->length - 3) &&
      !InLaneChange(followerInfo.laneChangeState))
    followerInfo.laneChangeState = LCS_COOPERATE;
  // The vehicle behind the new follower makes room too when it is close.
  RoadObject* secondFollower = newFollower->FollowerInLane();
  VehicleInfo* secondInfo = secondFollower != nullptr ? secondFollower->Vehicle() : nullptr;
  if (secondInfo == nullptr || !(secondFollower->Position() > sectionStart)) return;
  if (position <= secondFollower->Position() + 30 && !InLaneChange(secondInfo->laneChangeState))
    secondInfo->laneChangeState = LCS_COOPERATE;
}
