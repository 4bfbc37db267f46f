#include <algorithm>
#include <cstdlib>

#include "kernel/Kernel.h"
#include "kernel/LaneChangeState.h"

// ---- What a driver knows of the road and of the others -----------------------------------

float RoadObject::WorkOutAimSpeed() const {
  VehicleInfo* info = Vehicle();
  // The section upstream of the vehicle's position: a vehicle standing exactly on a boundary
  // still drives by the rules of the section it is leaving.
  RoadObject* const start = kernel_->CurrentPhysSection();
  // From a given section the search follows the boundaries' own links only, so its result
  // holds while the vehicle stays where it is and the layout of the road does not change
  // (AimSpeed() in Kernel.h returns it then).
  VehicleInfo::AimSpeedMemo* memo =
      info != nullptr && start != nullptr ? &info->aimSpeedMemo : nullptr;
  RoadObject* boundary = start;
  if (boundary == nullptr) boundary = PreviousWithLane(LANE_BOUNDARIES);
  while (boundary != nullptr && boundary->position_ >= position_)
    boundary = boundary->laneFollower_;
  while (boundary != nullptr && boundary->laneLeader_ != nullptr &&
         boundary->laneLeader_->type_ == RO_PHYSBOUNDARY &&
         boundary->laneLeader_->position_ < position_)
    boundary = boundary->laneLeader_;
  if (info == nullptr || boundary == nullptr || boundary->PhysicalLanes() == nullptr) {
    kernel_->KernelMessage(KernelCause::ProgramError, "RoadObject::AimSpeed",
                           "physsection == NULL");
    return 0;
  }
  const float value = AimSpeedOnLane(*info->params, boundary->PhysicalLanes()->Lane(lane_));
  if (memo != nullptr)
    *memo = {position_, lane_, info->params, start, kernel_->layoutVersion_, value};
  return value;
}

float Kernel::MaxAcceleration(const RoadObject* vehicle) {
  VehicleInfo& info = *vehicle->Vehicle();
  const VehicleParams& p = *info.params;
  // The result depends on the state below only (the section is found from the current one,
  // the aim speed from the same state), so a second question in that state has its answer.
  VehicleInfo::MaxAccelerationMemo& memo = info.maxAccelerationMemo;
  if (currentPhysSection_ != nullptr && memo.position == vehicle->Position() &&
      memo.speed == info.speed && memo.specificPower == info.specificPower &&
      memo.lane == vehicle->Lane() && memo.params == info.params &&
      memo.start == currentPhysSection_ && memo.layout == layoutVersion_)
    return memo.value;
  RoadObject* section = vehicle->GetSection();
  if (section == nullptr) return p.maxAcceleration;
  const float value = WorkOutMaxAcceleration(vehicle, section);
  if (currentPhysSection_ != nullptr)
    memo = {vehicle->Position(), info.speed,          info.specificPower, vehicle->Lane(),
            info.params,         currentPhysSection_, layoutVersion_,     value};
  return value;
}

float Kernel::WorkOutMaxAcceleration(const RoadObject* vehicle, const RoadObject* section) {
  const VehicleInfo& info = *vehicle->Vehicle();
  const VehicleParams& p = *info.params;
  const PhysicalLane& lane = section->PhysicalLanes()->Lane(vehicle->Lane());
  float v = info.speed;
  float A = p.maxAcceleration;
  if (v >= 0.0001) {
    // Power over speed, less air resistance, grade and rolling resistance (0.006 g).
    double efficiency = p.length <= 6 ? 0.6 : 0.9;
    double k = p.airResistance * 0.001;  // [1/m]
    A = efficiency * info.specificPower / v - k * v * v - (lane.slope + 0.006) * 9.81;
    A = std::min(A, p.maxAcceleration);
  }
  if (lane.speedSuppression < 1) {
    // Under speed suppression drivers accelerate ever more gently towards their aim speed.
    float w = vehicle->AimSpeed();
    float q = v >= w ? 1.0f : v / w;
    A = std::min(A, static_cast<float>(p.maxAcceleration * (1 - 0.9 * q * q)));
  }
  return A;
}

// 1 when the vehicle must move to the left in its current area, 2 to the right, else 0.
int Kernel::VehicleClass(const RoadObject* vehicle) {
  const KernelBHVSection* area = CurrentArea(vehicle);
  if (InRequiredLeft(vehicle, area)) return 1;
  if (InRequiredRight(vehicle, area)) return 2;
  return 0;
}

int RoadObject::GetAnticipationTime(const RoadObject* other) const {
  if (!IsVehicle()) {
    kernel_->KernelMessage(KernelCause::SimulatorError, "RoadObject::GetAnticipationTime",
                           "\"this\" is not a vehicle");
    return 0;
  }
  if (other == nullptr || !other->IsVehicle()) return 4;
  const VehicleInfo& own = *Vehicle();
  const VehicleInfo& others = *other->Vehicle();
  if (own.speed >= others.speed + 5.555555555555555) return 4;  // 20 km/h faster
  int ownClass = kernel_->VehicleClass(this);
  int otherClass = kernel_->VehicleClass(other);
  int distance = std::abs(lane_ - other->lane_);
  if (distance > 1) return 4;
  // Two vehicles that sort themselves out in a merge look only 2 s ahead at each other.
  int ownState = own.laneChangeState, otherState = others.laneChangeState;
  if (distance == 0) {
    if (InLaneChange(ownState)) {
      if ((ownState > 0 && otherClass == 1) || (ownState < 0 && otherClass == 2)) return 2;
    } else if ((otherState > 0 && otherState != LCS_COOPERATE && ownClass == 1) ||
               (otherState < 0 && ownClass == 2)) {
      return 2;
    }
    return 4;
  }
  if (lane_ < other->lane_) return ownClass == 2 && otherClass == 1 ? 2 : 4;
  return ownClass == 1 && otherClass == 2 ? 2 : 4;
}

FollowerState Kernel::FollowerOf(const RoadObject* vehicle) const {
  const VehicleInfo& info = *vehicle->Vehicle();
  FollowerState state;
  state.position = vehicle->Position();
  state.speed = info.speed;
  state.acceleration = info.acceleration;
  state.aimSpeed = vehicle->AimSpeed();
  state.params = info.params;
  return state;
}

ObstacleState Kernel::ObstacleOf(const RoadObject* object) const {
  ObstacleState state;
  state.position = object->Position();
  state.startPosition = object->Position();
  if (const VehicleInfo* info = object->Vehicle()) {
    state.kind = ObstacleKind::Vehicle;
    state.startPosition = info->previousPosition;
    state.length = info->params->length;
    state.aimSpeed = object->AimSpeed();
    state.speed = info->speed;
    state.startSpeed = info->previousSpeed;
    state.acceleration = info->acceleration;
  } else if (object->Type() == RO_DUMMY || object->Type() == RO_TRAFFICLIGHT) {
    state.kind = ObstacleKind::Fixed;
  }
  return state;
}

float Kernel::follow(const RoadObject* vehicle, float T, const RoadObject* leader, float Tprime) {
  if (leader == nullptr) {
    KernelMessage(KernelCause::ProgramError, "follow", "Leader is %p",
                  static_cast<const void*>(leader));
    return -9999.9f;
  }
  return ::follow(FollowerOf(vehicle), ObstacleOf(leader), T, Tprime, Delays(), TimeStepLength());
}

float Kernel::SafeAcceleration(const RoadObject* vehicle, float T, const RoadObject* other,
                               float Tprime, float assumed) {
  ObstacleState state = other ? ObstacleOf(other) : ObstacleState();
  return ::SafeAcceleration(FollowerOf(vehicle), state, T, Tprime, assumed, Delays(),
                            TimeStepLength());
}

RoadObject* Kernel::RegisteredTrafficLight(int lane) const {
  if (lane < 0 || lane >= MAX_KAVROLANE) return nullptr;
  return lightRegister_[lane];
}

// ---- The decision of one vehicle -----------------------------------------------------------

namespace {

// Whether a vehicle at speed v [m/s] catches up with a vehicle ahead in the next lane that
// drives at `other` [m/s] with `gap` [m] between them before it could have slowed down to
// `other` + 5 m/s with the passive deceleration.
bool WouldPass(float v, float other, float gap, float passive) {
  float tau = -((v - other) - 5) / passive;
  return gap < v * tau + passive * tau * tau / 2 - other * tau;
}

}  // namespace

void Kernel::ReactToTrafficLight(RoadObject* vehicle, const RoadObject* leader,
                                 float* acceleration) {
  RoadObject* light = lightRegister_[vehicle->Lane()];
  if (light == nullptr) return;
  VehicleInfo& info = *vehicle->Vehicle();
  float v = info.speed;
  float d = light->Position() - vehicle->Position();  // [m]
  float time = v > 0 ? d / v : 0;                     // [s] to reach the light
  if (light->TrafficLight()->seenState == TL_GREEN || time > 10) {
    info.stoppingForLight = 0;
    return;
  }
  // Stop when it can be done comfortably, and keep stopping once begun unless the vehicle
  // ahead is the one stopping for the light.
  bool react = -v * v / (2 * info.params->trafficLightDeceleration) < d;
  if (!react && info.stoppingForLight) {
    const VehicleInfo* ahead = leader ? leader->Vehicle() : nullptr;
    react = !(ahead != nullptr && ahead->stoppingForLight);
  }
  if (!react) {
    info.stoppingForLight = 0;
    return;
  }
  float braking = d > 0 ? -v * v / (2 * d) : 0;
  *acceleration = std::min(*acceleration, braking);
  info.stoppingForLight = 1;
  lightRegister_[vehicle->Lane()] = nullptr;  // the vehicles behind follow this one
}

void Kernel::DriveVehicle(RoadObject* vehicle) {
  VehicleInfo& info = *vehicle->Vehicle();
  const VehicleParams& p = *info.params;
  info.statusText[0] = '\0';
  info.holdBackPrevious = info.holdBack;
  info.holdBack = 0;
  laneChangeSlowDown_ = 0.06f;

  RoadObject* section = SectionOf(vehicle);
  if (section == nullptr) return;
  const int L = vehicle->Lane();
  const PhysicalLane& lane = section->PhysicalLanes()->Lane(L);
  const bool left = lane.canMoveLeft && L > 0;
  const bool right = lane.canMoveRight && L < MAX_KAVROLANE - 1;
  RoadObject* leader = vehicle->LeaderInLane();
  if ((left || right) && !InLaneChange(info.laneChangeState)) {
    if (TryLaneChange(vehicle, leader)) return;
  }
  if (InLaneChange(info.laneChangeState)) AdvanceLaneChangeState(vehicle);

  const float dt = TimeStepLength();
  const FollowerState self = FollowerOf(vehicle);
  const float x = self.position, v = self.speed, w = self.aimSpeed;
  const float pd = p.passiveDeceleration;
  float maxAcceleration = MaxAcceleration(vehicle);
  float t = info.acceleration + p.maxAccelerationJump * dt;
  if (t > maxAcceleration && v <= w) t = maxAcceleration;
  bool constrained = false;

  if (laneChangeSlowDown_ < 0.03 && !(laneChangeSlowDown_ > t)) {
    t = laneChangeSlowDown_;
    constrained = true;
  }
  // No passing on the right of a much slower vehicle in the lane to the left.
  if (left) {
    const RoadObject* other = vehicle->LeaderInLane(L - 1);
    if (const VehicleInfo* o = other ? other->Vehicle() : nullptr; o && v - o->speed > 5) {
      float gap = o->previousPosition - x - o->params->length;
      if (WouldPass(v, o->speed, gap, pd) && pd < t) {
        t = pd;
        constrained = true;
      }
    }
  }
  // Slow traffic in the lane to the right: do not race past it.
  if (right) {
    const RoadObject* other = vehicle->LeaderInLane(L + 1);
    if (const VehicleInfo* o = other ? other->Vehicle() : nullptr;
        o && o->speed < 20 && v - o->speed > 5) {
      float gap = o->previousPosition - x - o->params->length;
      if (WouldPass(v, o->speed, gap, pd) && pd < t) {
        info.holdBack = 1;
        info.holdBackSpeed = o->speed + 5;
        t = pd;
        constrained = true;
      }
    }
  }
  // A neighbour asked for room: brake, the harder the further into the section.
  if (info.laneChangeState == LCS_COOPERATE) {
    info.cooperating = 1;
    info.laneChangeState = 0;
    float start = section->Position();
    float end = section->LaneLeader() ? section->LaneLeader()->Position() : start;
    t = std::min(t, static_cast<float>(p.laneChangeDeceleration * (x - start) / (end - start)));
    constrained = true;
  } else {
    info.cooperating = 0;
  }

  float T = static_cast<float>(vehicle->GetAnticipationTime(leader));
  if (leader != nullptr && ISOBSTACLE(leader->Type())) {
    const ObstacleState ahead = ObstacleOf(leader);
    const VehicleInfo* l = leader->Vehicle();
    float assumed = l ? std::min(l->acceleration, l->params->passiveDeceleration) : 0.0f;
    const ReactionDelays delays = Delays();
    float f = std::max(::follow(self, ahead, T, T - dt, delays, dt), pd);
    t = std::min(t, f);
    float s = ::SafeAcceleration(self, ahead, T, T - dt, assumed, delays, dt);
    if (s < pd && T > 2)
      s = std::min(s, ::SafeAcceleration(self, ahead, 2, 2 - dt, assumed, delays, dt));
    t = std::min(t, s);
    t = std::max(t, p.maxDeceleration);
  }
  ReactToTrafficLight(vehicle, leader, &t);
  if (info.holdBack && t < pd) info.holdBack = 0;
  ApplyAcceleration(vehicle, t, constrained);
}
