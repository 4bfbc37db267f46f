#include <algorithm>
#include <cmath>

#include "config/ProgramError.h"
#include "kernel/Kernel.h"
#include "kernel/KernelMath.h"
#include "kernel/LaneChangeState.h"

void Kernel::ApplyAcceleration(RoadObject* vehicle, float t, bool constrained) {
  VehicleInfo& info = *vehicle->Vehicle();
  const VehicleParams& p = *info.params;
  const float x = vehicle->Position(), v = info.speed, a = info.acceleration;
  const float w = vehicle->AimSpeed();
  const float dt = TimeStepLength();

  t = std::max(t, p.maxDeceleration);
  // Faster than it wants to be: it lets the vehicle roll out rather than accelerate.
  if (v > w && t > p.passiveDeceleration) {
    info.coasting = 1;
    t = p.passiveDeceleration;
  } else {
    info.coasting = 0;
  }

  // Reaction delay: during the first r seconds of the step the vehicle keeps its speed.
  const float now = Now();
  const float end = static_cast<float>(stepCount_ + 1) / stepsPerSecond_;
  float& delayEnd = info.accelerationDelay;  // [s] simulated time; 0 = none
  if (delayEnd < now) delayEnd = 0;
  float r;
  if (delayEnd > end) {
    t = 0;
    r = dt;
  } else if (delayEnd >= now) {
    r = delayEnd - now;
    delayEnd = 0;
  } else {
    r = ReactionDelay(t, a, Delays());
    if (r > dt) {
      delayEnd = end + r;
      t = 0;
      r = dt;
    }
  }
  if (dt - r < 0) r = 0;
  const float e = dt - r;  // [s] of the step with the new acceleration

  const float jump = p.maxAccelerationJump * dt;
  // Rolling out never takes the vehicle below its aim speed, nor brakes harder than the
  // acceleration jump allows. With no time left to accelerate in, nothing can be floored.
  if (e > 0 && v > w && info.coasting && v + e * t < w) t = std::max((w - v) / e, -jump);
  if (e > 0 && info.holdBack && v + e * t < info.holdBackSpeed)
    t = std::max((info.holdBackSpeed - v) / e, -jump);
  float u = v + e * t;

  // Keep the speed rather than brake mildly while the leader pulls away.
  const RoadObject* leader = vehicle->LeaderInLane();
  if (leader != nullptr && leader->IsVehicle() && laneChangeSlowDown_ > 0 && u >= 0 &&
      !constrained && !info.stoppingForLight && leader->Vehicle()->previousSpeed - v > 2.5 &&
      t < 0 && info.laneChangeState > -10 && v < w) {
    t = 0;
    u = v;
  }

  float position, speed;
  if (u >= 0 && (w < v || u <= w)) {
    position = x + v * dt + t * e * e / 2;
    speed = u;
  } else if (u >= 0) {
    // The aim speed is reached within the step; then it is held.
    position = x + v * r + w * e - (v - w) * (v - w) / (2 * t);
    speed = w;
    t = 0;
  } else {
    // The vehicle stops within the step, where it stops.
    position = x + v * r - v * v / (2 * t);
    speed = 0;
    t = 0;
  }
  float maxAcceleration = MaxAcceleration(vehicle);
  if (t > maxAcceleration) {
    t = maxAcceleration;
    speed = v + t * e;
    position = x + v * dt + t * e * e / 2;
  }
  vehicle->MoveVehicle(position, speed, t);

  if (info.laneChangeState == LCS_COMPLETED || info.laneChangeState == -LCS_COMPLETED)
    info.laneChangeState = 0;
  if (info.routeChoiceNumber != 0) {
    const KernelBHVSection* area = CurrentArea(vehicle);
    if (area == nullptr || area->routeChoiceGroup != info.routeChoiceNumber)
      info.routeChoiceNumber = 0;
  }
}

bool RoadObject::MoveVehicle(float position, float speed, float acceleration) {
  Kernel& kernel = *kernel_;
  const char* where = "RoadObject::MoveVehicle";
  VehicleInfo* info = Vehicle();
  // Negated tests, so that a value that is not a number is refused as well.
  if (info == nullptr || !(position >= position_) || !(speed >= 0 && speed <= 100)) {
    std::string text = Format("%s=%d %s=%d %s=%f %s=%f %s=%f", "object type",
                              static_cast<int>(type_), "lane", lane_ + 1, "current position",
                              position_, "requested position", position, "requested speed", speed);
    if (laneLeader_ != nullptr) text += Format("\r\nposition of leader=%f", laneLeader_->position_);
    kernel.KernelMessage(KernelCause::SimulatorError, where, "%s", text.c_str());
    return false;
  }

  // The move is made even after an accident; the kernel stops after this vehicle.
  if (const RoadObject* leader = LeaderInLane()) {
    if (const VehicleInfo* ahead = leader->Vehicle()) {
      if (position - 1 >= leader->position_ - ahead->params->length &&
          info->laneChangeState == ahead->laneChangeState)
        kernel.KernelMessage(KernelCause::ConfigurationError, where,
                             "Accident: lane=%d, current position=%f, requested position=%f, "
                             "requested speed=%f, position of leader=%f, length of leader=%f",
                             leader->lane_ + 1, position_, position, speed, leader->position_,
                             ahead->params->length);
    } else if (leader->type_ == RO_DUMMY && position >= leader->position_) {
      kernel.KernelMessage(KernelCause::ConfigurationError, where,
                           "Accident: lane=%d, current position=%f, requested position=%f, "
                           "requested speed=%f, position of leader=%f (leader is a dummy "
                           "vehicle)",
                           lane_ + 1, position_, position, speed, leader->position_);
    }
  }

  if (info->laneChangeProgress == 1 && InLaneChange(info->laneChangeState))
    kernel.TraceLaneChange(this);
  info->previousPosition = position_;
  info->previousSpeed = info->speed;
  info->speed = speed;
  info->acceleration = acceleration;
  kernel.CountLaneDetectors(this, position_, position);

  // Carry the vehicle past what it overtook. While only objects of other lanes are passed,
  // its lane neighbours stay the same and need no search.
  RoadObject* oldLeader = laneLeader_;
  RoadObject* oldFollower = laneFollower_;
  bool keepLaneLinks = inLane_;
  const float requested = position;
  position_ = position;
  CutFromLane();
  RoadObject* anchor = nullptr;  // the last object passed since the last jump
  std::size_t jumps = 0;
  // The detector behind the vehicle changes only with the detectors it passes or a jump.
  const VehicleInfo::DetectorBehind detectorBehind = info->detectorBehind;
  RoadObject* passedDetector = nullptr;  // the last detector passed since the last jump
  bool jumped = false;
  RoadObject* q = next_;
  while (q != nullptr &&
         (q->position_ < position_ || (q->position_ == requested && q->lane_ > lane_))) {
    if (q->lane_ == lane_) keepLaneLinks = false;
    RoadObject* exit =
        q->type_ == RO_TELEPORT && q->lane_ == lane_ ? q->Teleport()->OtherEnd() : nullptr;
    if (exit != nullptr && ++jumps <= kernel.ObjectCount()) {
      // Continue from the other end of the teleport, with the overshoot.
      float jump = exit->position_ - q->position_;
      lane_ = exit->lane_;
      position_ += jump;
      info->stepTeleportOffset += Truncate(jump);
      MoveAfter(exit);
      anchor = nullptr;
      passedDetector = nullptr;
      jumped = true;
      q = next_;
      continue;
    }
    kernel.PassObject(this, q);
    if (q->lane_ == LANE_DETECTORS) passedDetector = q;
    anchor = q;
    q = q->next_;
  }
  if (anchor != nullptr) MoveAfter(anchor);
  if (passedDetector != nullptr)
    info->detectorBehind = {true, passedDetector, kernel.layoutVersion_};
  else if (!jumped)
    info->detectorBehind = detectorBehind;  // still the same one
  if (keepLaneLinks) {
    laneLeader_ = oldLeader;
    laneFollower_ = oldFollower;
    if (oldLeader != nullptr) oldLeader->laneFollower_ = this;
    if (oldFollower != nullptr) oldFollower->laneLeader_ = this;
    inLane_ = true;
  } else {
    LinkIntoLane();
  }
  return true;
}

void Kernel::PassObject(RoadObject* vehicle, RoadObject* passed) {
  if (passed->Type() == RO_SINK && passed->Lane() == vehicle->Lane()) {
    // Arrived; the end of the step removes it.
    if (vehicle->Number() > 0) {
      TraceArrival(vehicle, passed);
      vehicle->SetNumber(-vehicle->Number());
    }
  } else if (passed->Type() == RO_DETECTOR) {
    passed->Detector()->AddSample(vehicle);
  }
}

bool Kernel::FindPassingTimeAndSpeed(const RoadObject* vehicle, float position, float* time,
                                     float* speed) const {
  const VehicleInfo& info = *vehicle->Vehicle();
  const float c = info.acceleration, v = info.speed, h = Now();
  const float e = vehicle->Position() - position;
  float passingTime, passingSpeed;
  if (std::fabs(c) >= 0.01) {
    // Constant acceleration back in time from the present position and speed.
    float m = -c / 2;
    float disc = v * v - 2 * c * e;
    if (disc < 0) {
      if (!(disc > -0.1)) return false;
      disc = 0;
    }
    float root = std::sqrt(disc);
    float t1 = h - (root - v) * 0.5 / m;
    float t2 = h - (-v - root) * 0.5 / m;
    passingTime = t1 <= h && (t2 > h || t1 > t2) ? t1 : t2;
    passingSpeed = v + c * (passingTime - h);
  } else if (v >= 0.0001) {
    passingTime = h - e / v;
    passingSpeed = v;
  } else {
    passingTime = h - TimeStepLength();
    passingSpeed = info.previousSpeed;
  }
  if (time != nullptr) *time = passingTime;
  if (speed != nullptr) *speed = passingSpeed;
  return true;
}

// Lane detectors count the vehicles whose front touched their zone during the step. They
// are visited from the most downstream one a vehicle of this step can still reach: vehicles
// are moved from downstream to upstream, at most 100 m/s.
void Kernel::CountLaneDetectors(RoadObject* vehicle, float from, float to) {
  RoadObject* detector = laneDetectorCursor_;
  if (!inStep_) {
    detector = LastLaneDetector();
  } else {
    float reach = from + 100 * TimeStepLength();
    while (detector != nullptr && detector->Position() > reach) detector = detector->LaneFollower();
    laneDetectorCursor_ = detector;
  }
  for (; detector != nullptr; detector = detector->LaneFollower()) {
    if (inStep_ && detector->Position() < from - longestLaneDetector_) break;
    LaneDetectorInfo& zone = *detector->LaneDetector();
    if (zone.lane == vehicle->Lane() && to >= detector->Position() && from <= zone.downstreamEnd)
      ++zone.count;
  }
}

RoadObject* Kernel::DetectorBehind(const RoadObject* vehicle) {
  VehicleInfo* info = vehicle->Vehicle();
  if (info == nullptr) return vehicle->PreviousWithLane(LANE_DETECTORS);
  VehicleInfo::DetectorBehind& known = info->detectorBehind;
  if (!known.known || known.layout != layoutVersion_)
    known = {true, vehicle->PreviousWithLane(LANE_DETECTORS), layoutVersion_};
  return known.detector;
}
