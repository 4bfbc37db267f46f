#include <algorithm>

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

constexpr float kOneKmh = 0.2777777777777778f;  // [m/s]

// A truck is any vehicle longer than 6 m.
bool IsTruck(const RoadObject* vehicle) { return vehicle->Vehicle()->params->length > 6; }

}  // namespace

const PhysicalLane* Kernel::LaneRules(const RoadObject* vehicle, int lane) {
  if (lane < 0 || lane >= MAX_KAVROLANE) return nullptr;
  RoadObject* section = SectionOf(vehicle);
  if (section == nullptr || section->PhysicalLanes() == nullptr) return nullptr;
  return &section->PhysicalLanes()->Lane(lane);
}

bool Kernel::ClosedForTrucks(const RoadObject* vehicle, int lane) {
  const PhysicalLane* rules = LaneRules(vehicle, lane);
  return rules != nullptr && rules->noOvertakingTrucks;
}

bool Kernel::MayMove(const RoadObject* vehicle, int direction) {
  int lane = vehicle->Lane();
  const PhysicalLane* rules = LaneRules(vehicle, lane);
  if (rules == nullptr) return false;
  if (direction < 0) return rules->canMoveLeft && lane > 0;
  return rules->canMoveRight && lane + 1 < MAX_KAVROLANE;
}

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
  const int L = vehicle->Lane();
  const float x = vehicle->Position();
  const KernelBHVSection* area = CurrentArea(vehicle);
  const bool truck = IsTruck(vehicle);
  const bool truckInClosedLane = truck && ClosedForTrucks(vehicle, L);

  int c = InRequiredLeft(vehicle, area) ? 1 : InRequiredRight(vehicle, area) ? 2 : 0;
  int d = 0;
  if (InVoluntaryLeft(vehicle, area))
    d = 1;
  else if (truckInClosedLane || InVoluntaryRight(vehicle, area))
    d = 2;
  else if (info.laneChangeState == LCS_COOPERATE && !(truck && ClosedForTrucks(vehicle, L - 1)))
    d = 1;
  if (d != 0 && !((d == 1 && info.laneChangeState == LCS_COOPERATE) ||
                  (d == 2 && truckInClosedLane) || Random() < VoluntaryUrgency(area, x)))
    d = 0;

  bool k = false;  // a voluntary change (state +-1) rather than an area-driven one (+-11)
  bool w = false;  // the wish to overtake
  if (c == 0 && d == 0) {
    w = k = WantsLeft(vehicle, leader);
    if ((!truck || !ClosedForTrucks(vehicle, L - 1)) && MayMove(vehicle, -1) && w &&
        !InVoluntaryRight(vehicle, area)) {
      d = 1;
    } else if (WantsRight(vehicle) && !InVoluntaryLeft(vehicle, area)) {
      d = 2;
      k = true;
    } else {
      return false;
    }
  }

  // The direction the attempt moves in: a required change decides it.
  int direction = (c != 0 ? c : d) == 1 ? -1 : 1;
  if (!MayMove(vehicle, direction) || TargetLaneSendsBack(vehicle, direction)) return false;
  if (AttemptLaneChange(vehicle, c, k, d)) return true;

  // Second chance: keep right after a failed overtaking wish, or leave a dropped lane (or a
  // lane without an area) to the right when the left is closed.
  if (w) {
    if (!WantsRight(vehicle) || InVoluntaryLeft(vehicle, area)) return false;
    k = true;
  } else if (!(c == 1 && (area == nullptr || area->laneDrop))) {
    return false;
  }
  if (!MayMove(vehicle, 1) || TargetLaneSendsBack(vehicle, 1)) return false;
  return AttemptLaneChange(vehicle, 0, k, 2);
}

bool Kernel::AttemptLaneChange(RoadObject* vehicle, int c, bool k, int d) {
  VehicleInfo& info = *vehicle->Vehicle();
  const VehicleParams& p = *info.params;
  const int L = vehicle->Lane();
  const float x = vehicle->Position(), v = info.speed;
  const float dt = TimeStepLength();
  const float t0 =
      std::min(info.acceleration + p.maxAccelerationJump * dt, MaxAcceleration(vehicle));

  float o;  // the hardest braking accepted [m/s2]
  int target;
  if (c != 0) {
    const PhysicalLane* rules = LaneRules(vehicle, L);
    o = rules != nullptr && rules->notUsable
            ? p.laneChangeDeceleration
            : RequiredUrgency(CurrentArea(vehicle), x) * p.laneChangeDeceleration;
    FormatStatus(info.statusText, sizeof info.statusText, c == 1 ? "ML" : "MR", o);
    target = c == 1 ? L - 1 : L + 1;
  } else {
    if (d == 0) return false;
    float w = vehicle->AimSpeed();
    o = p.laneChangeDeceleration * (1 - std::min(v / w, 1.0f));
    FormatStatus(info.statusText, sizeof info.statusText, d == 1 ? "WL" : "WR", o);
    target = d == 1 ? L - 1 : L + 1;
  }
  if (target < 0 || target >= MAX_KAVROLANE) return false;

  RoadObject* q = vehicle->LeaderInLane(target);
  RoadObject* r = vehicle->FollowerInLane(target);
  const VehicleInfo* qInfo = q != nullptr ? q->Vehicle() : nullptr;
  VehicleInfo* rInfo = r != nullptr ? r->Vehicle() : nullptr;
  const bool qObstacle = q != nullptr && ISOBSTACLE(q->Type());

  GapRequest request;
  request.self = FollowerOf(vehicle);
  request.length = p.length;
  request.startAcceleration = t0;
  request.acceptable = o;
  if (qObstacle) {
    request.leader = ObstacleOf(q);
    request.leaderAssumed =
        qInfo != nullptr ? std::min(qInfo->acceleration, qInfo->params->passiveDeceleration) : 0;
    request.leaderAnticipation = static_cast<float>(vehicle->GetAnticipationTime(q));
  }
  FollowerState follower;
  if (rInfo != nullptr) {
    follower = FollowerOf(r);
    request.follower = &follower;
    request.selfAsObstacle = ObstacleOf(vehicle);
    request.followerAnticipation = static_cast<float>(r->GetAnticipationTime(vehicle));
  }
  GapVerdict gap = AcceptGap(request, Delays(), dt);
  if (!ready_) return false;

  if (!gap.leaderBlocks && !gap.followerBlocks) {
    if (!vehicle->ChangeLane(target)) return false;
    float F = t0, A = t0;
    if (qObstacle) {
      F = follow(vehicle, request.leaderAnticipation, q, request.leaderAnticipation - dt);
      A = gap.leaderAcceleration;
    }
    if (c != 0 || F >= o) {
      float t = std::max(std::min({t0, F, A}), o);
      StartLaneChange(info, target - L, !k);
      ApplyAcceleration(vehicle, t, false);
      return true;
    }
    vehicle->ChangeLane(L);
  }
  if (c != 0) RequestRoom(vehicle, q, r, gap, c, o);
  return false;
}

// A vehicle that must merge but finds no gap slows down to fall back to a gap, or asks the
// vehicles behind the gap to make room.
void Kernel::RequestRoom(RoadObject* vehicle, RoadObject* q, RoadObject* r, const GapVerdict& gap,
                         int c, float o) {
  const VehicleInfo& info = *vehicle->Vehicle();
  const float x = vehicle->Position(), v = info.speed;
  RoadObject* s = gap.leaderBlocks ? q : r;
  const VehicleInfo* sInfo = s != nullptr ? s->Vehicle() : nullptr;
  if (sInfo == nullptr) return;
  const float w = vehicle->AimSpeed();
  if (c == 2 && sInfo->destination != info.destination) {
    // Towards an exit, vehicles bound elsewhere are only asked when they drive as this one
    // wants to and do not themselves have to move left.
    if (InRequiredLeft(s, CurrentArea(s)) ||
        sInfo->params->preferredSpeed != info.params->preferredSpeed || v < w - kOneKmh ||
        sInfo->speed < w - kOneKmh)
      return;
  }
  float B = v <= sInfo->speed + 5 ? v + 10 / 3.6f : v - 10 / 3.6f;
  if (gap.leaderBlocks && sInfo->speed < B && !sInfo->cooperating) laneChangeSlowDown_ = o;
  if (!gap.followerBlocks || (gap.leaderBlocks && v > sInfo->speed + 5)) return;

  VehicleInfo& rInfo = *r->Vehicle();
  if (v <= 10 && v > rInfo.speed + 2) return;
  const RoadObject* section = SectionOf(vehicle);
  if (section == nullptr) return;
  const float sectionStart = section->Position();  // [m]
  if (!(r->Position() > sectionStart)) return;
  if ((v > 10 || r->Position() < x - info.params->length - 3) &&
      !InLaneChange(rInfo.laneChangeState))
    rInfo.laneChangeState = LCS_COOPERATE;
  RoadObject* r2 = r->FollowerInLane();
  VehicleInfo* r2Info = r2 != nullptr ? r2->Vehicle() : nullptr;
  if (r2Info == nullptr || !(r2->Position() > sectionStart)) return;
  if (x <= r2->Position() + 30 && !InLaneChange(r2Info->laneChangeState))
    r2Info->laneChangeState = LCS_COOPERATE;
}
