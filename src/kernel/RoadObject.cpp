#include "kernel/RoadObject.h"

#include <cstdlib>

#include "config/ProgramError.h"
#include "kernel/Kernel.h"

RoadObject::RoadObject(Kernel& kernel, int lane, int type, float position, int number)
    : kernel_(&kernel),
      type_(static_cast<uint8_t>(type)),
      lane_(static_cast<int8_t>(lane)),
      number_(number),
      position_(position) {}

RoadObject::~RoadObject() = default;

TeleportInfo::~TeleportInfo() {
  // The other end must not keep pointing at a destroyed teleport.
  if (otherEnd_ != nullptr) {
    TeleportInfo* other = otherEnd_->Teleport();
    if (other != nullptr && other->OtherEnd() == Owner()) other->NewOtherEnd(nullptr);
  }
}

bool PhysicalLaneInfo::SetPhysicalLaneInfo(int lane, bool canMoveLeft, bool canMoveRight,
                                           bool notUsable, float speedSuppression,
                                           bool noOvertakingTrucks, float slope, float speedLimit) {
  if (lane < 0 || lane >= MAX_KAVROLANE) {
    Owner()->Owner().KernelMessage(KernelCause::ProgramError,
                                   "PhysicalLaneInfo::SetPhysicalLaneInfo", "Lane = %d", lane);
    return false;
  }
  Owner()->Owner().NoteLayoutChange();
  PhysicalLane& entry = lanes_[lane];
  entry.canMoveLeft = canMoveLeft;
  entry.canMoveRight = canMoveRight;
  entry.notUsable = notUsable;
  entry.speedSuppression = speedSuppression;
  entry.noOvertakingTrucks = noOvertakingTrucks;
  entry.slope = slope;
  entry.speedLimit = speedLimit;
  return true;
}

RoadObject* RoadObject::NextWithLane(int lane) const {
  if (lane == lane_ && inLane_) return laneLeader_;
  RoadObject *before, *after;
  if (NeighboursFromHint(lane, &before, &after)) return after;
  RoadObject* object = next_;
  while (object != nullptr && object->lane_ != lane) object = object->next_;
  RememberHint(lane, object);
  return object;
}

RoadObject* RoadObject::PreviousWithLane(int lane) const {
  if (lane == lane_ && inLane_) return laneFollower_;
  RoadObject *before, *after;
  if (NeighboursFromHint(lane, &before, &after)) return before;
  RoadObject* object = previous_;
  while (object != nullptr && object->lane_ != lane) object = object->previous_;
  RememberHint(lane, object);
  return object;
}

// The global list is ordered by position; objects at equal positions are ordered by the list
// alone.
bool RoadObject::Precedes(const RoadObject* other) const {
  if (position_ != other->position_) return position_ < other->position_;
  for (const RoadObject* object = next_; object != nullptr && object->position_ == position_;
       object = object->next_) {
    if (object == other) return true;
  }
  return false;
}

// A vehicle's neighbours in a lane next to it change little from step to step: starting from
// the object of that lane it met last, a few steps along the lane's own links find them, where
// the global list would be walked up to the next object of that lane, which in an empty lane
// is the end of the road.
bool RoadObject::NeighboursFromHint(int lane, RoadObject** before, RoadObject** after) const {
  if (lane < 0 || lane >= MAX_KAVROLANE || lane == lane_ || !inLane_) return false;
  VehicleInfo* info = Vehicle();
  if (info == nullptr || info->laneHints.epoch != kernel_->retiredEpoch_) return false;
  RoadObject* hint = info->laneHints.object[lane];
  // Lane links hold the objects of a lane in the order of the global list; the hint must
  // still be one of them.
  if (hint == nullptr || hint->retired_ || hint->lane_ != lane || !hint->inLane_) return false;
  RoadObject* follower;
  RoadObject* leader;
  if (Precedes(hint)) {
    leader = hint;
    while (leader->laneFollower_ != nullptr && Precedes(leader->laneFollower_))
      leader = leader->laneFollower_;
    follower = leader->laneFollower_;
  } else {
    follower = hint;
    while (follower->laneLeader_ != nullptr && !Precedes(follower->laneLeader_))
      follower = follower->laneLeader_;
    leader = follower->laneLeader_;
  }
  *before = follower;
  *after = leader;
  info->laneHints.object[lane] = leader != nullptr ? leader : follower;
  return true;
}

void RoadObject::RememberHint(int lane, RoadObject* object) const {
  if (object == nullptr || !object->inLane_ || lane < 0 || lane >= MAX_KAVROLANE || lane == lane_ ||
      !inLane_)
    return;
  VehicleInfo* info = Vehicle();
  if (info == nullptr) return;
  if (info->laneHints.epoch != kernel_->retiredEpoch_) {
    info->laneHints = {};
    info->laneHints.epoch = kernel_->retiredEpoch_;
  }
  info->laneHints.object[lane] = object;
}

RoadObject* RoadObject::SearchLeaderInLane(int lane) const {
  RoadObject* result = NextWithLane(lane);
  // A chain of teleports visits each at most once unless the lanes form a loop without
  // anything in it; then nothing lies ahead.
  std::size_t jumps = 0;
  while (result != nullptr && result->type_ == RO_TELEPORT) {
    RoadObject* otherEnd = result->Teleport()->OtherEnd();
    if (otherEnd == nullptr) break;
    if (++jumps > kernel_->ObjectCount()) return nullptr;
    result = otherEnd->laneLeader_;
  }
  return result;
}

RoadObject* RoadObject::FollowerInLane(int lane) const {
  RoadObject* result = PreviousWithLane(lane);
  std::size_t jumps = 0;
  while (result != nullptr && result->type_ == RO_REVERSETELEPORT) {
    RoadObject* otherEnd = result->Teleport()->OtherEnd();
    if (otherEnd == nullptr) break;
    if (++jumps > kernel_->ObjectCount()) return nullptr;
    result = otherEnd->laneFollower_;
  }
  return result;
}

RoadObject* RoadObject::GetSection() const {
  const char* where = "RoadObject::GetSection";
  RoadObject* boundary = kernel_->CurrentPhysSection();
  if (boundary == nullptr) boundary = PreviousWithLane(LANE_BOUNDARIES);
  if (boundary == nullptr) {
    kernel_->KernelMessage(KernelCause::ProgramError, where,
                           "Cannot find follower in lane %d of object %p", LANE_BOUNDARIES,
                           static_cast<const void*>(this));
    return nullptr;
  }
  while (boundary != nullptr && boundary->position_ > position_) boundary = boundary->laneFollower_;
  if (boundary == nullptr) {
    kernel_->KernelMessage(KernelCause::ProgramError, where,
                           "Cannot find follower in lane %d of object %p (2)", LANE_BOUNDARIES,
                           static_cast<const void*>(this));
    return nullptr;
  }
  while (boundary->laneLeader_ != nullptr && boundary->laneLeader_->position_ <= position_)
    boundary = boundary->laneLeader_;
  if (boundary->type_ == RO_ENDOFROAD) return boundary->laneFollower_;
  return boundary;
}

bool RoadObject::ChangeLane(int lane) {
  const char* where = "RoadObject::ChangeLane";
  int distance = std::abs(lane - lane_);
  if (!IsVehicle() || lane < 0 || lane >= MAX_KAVROLANE || distance < 1 || distance > 2) {
    kernel_->KernelMessage(KernelCause::ProgramError, where,
                           "Object type %d current lane=%d requested lane=%d", type_, lane_, lane);
    return false;
  }
  int state = Vehicle()->laneChangeState;
  if (state != 0 && state != 20) {
    kernel_->KernelMessage(KernelCause::ProgramError, where, "Lanechangestate = %d (should be 0)",
                           state);
    return false;
  }
  CutFromLane();
  lane_ = static_cast<int8_t>(lane);
  LinkIntoLane();
  return true;
}

std::string RoadObject::Describe() const {
  int shown = number_ + 1;
  switch (type_) {
    case RO_SINK:
      return Format("sink %d", shown);
    case RO_SOURCE:
      return Format("source %d", shown);
    case RO_DETECTOR:
      return Format("detector %d", shown);
    case RO_TELEPORT:
    case RO_REVERSETELEPORT: {
      const RoadObject* other = Teleport()->OtherEnd();
      int position = other ? static_cast<int>(other->position_) : -1;
      int lane = other ? other->lane_ + 1 : 0;
      return Format(
          type_ == RO_TELEPORT ? "teleport -> %dm lane %d" : "reverse teleport -> %dm lane %d",
          position, lane);
    }
    case RO_PHYSBOUNDARY:
      return Format("phys boundary %d", shown);
    case RO_TRAFFICLIGHT:
      return Format("traffic light %d", shown);
    case RO_LANEDETECTOR:
      return Format("lane detector %d", shown);
    case RO_ENDOFROAD:
      return "end of road";
    case RO_DUMMY:
      return Format("dummy %d", shown);
    default:
      if (IsVehicle() && type_ < RO_VEHICLE_END) return Format("veh type %d", type_ - 99);
      return "Bad type";
  }
}

RoadObjectExtras* RoadObject::GetExtras() const { return kernel_->GetExtras(this); }

SourceInfo* RoadObject::Source() const {
  return type_ == RO_SOURCE ? static_cast<SourceInfo*>(extras_.get()) : nullptr;
}
DetectorInfo* RoadObject::Detector() const {
  return type_ == RO_DETECTOR ? static_cast<DetectorInfo*>(extras_.get()) : nullptr;
}

void RoadObject::CutFromLane() {
  if (!inLane_) return;
  if (laneLeader_ != nullptr) laneLeader_->laneFollower_ = laneFollower_;
  if (laneFollower_ != nullptr) laneFollower_->laneLeader_ = laneLeader_;
  laneLeader_ = nullptr;
  laneFollower_ = nullptr;
  inLane_ = false;
}

void RoadObject::SetLaneWhileCut(int lane) {
  if (!KAVRO_ASSERT(!inLane_)) return;
  lane_ = static_cast<int8_t>(lane);
}

void RoadObject::LinkIntoLane() {
  if (inLane_) return;
  RoadObject* leader = next_;
  while (leader != nullptr && (leader->lane_ != lane_ || !leader->inLane_)) leader = leader->next_;
  RoadObject* follower;
  if (leader != nullptr) {
    // Nothing of this lane lies between the leader's follower and this object.
    follower = leader->laneFollower_;
  } else {
    follower = previous_;
    while (follower != nullptr && (follower->lane_ != lane_ || !follower->inLane_))
      follower = follower->previous_;
  }
  laneLeader_ = leader;
  laneFollower_ = follower;
  if (leader != nullptr) leader->laneFollower_ = this;
  if (follower != nullptr) follower->laneLeader_ = this;
  inLane_ = true;
}

void RoadObject::MoveAfter(RoadObject* anchor) {
  if (!KAVRO_ASSERT(!inLane_)) return;
  if (anchor == this) return;
  if (VehicleInfo* info = Vehicle()) info->detectorBehind.known = false;
  UnlinkGlobal();
  LinkGlobalAfter(anchor);
}

void RoadObject::UnlinkGlobal() {
  if (previous_ != nullptr)
    previous_->next_ = next_;
  else if (kernel_->firstObject_ == this)
    kernel_->firstObject_ = next_;
  if (next_ != nullptr) next_->previous_ = previous_;
  previous_ = nullptr;
  next_ = nullptr;
}

void RoadObject::LinkGlobalAfter(RoadObject* anchor) {
  previous_ = anchor;
  next_ = anchor != nullptr ? anchor->next_ : kernel_->firstObject_;
  if (anchor != nullptr)
    anchor->next_ = this;
  else
    kernel_->firstObject_ = this;
  if (next_ != nullptr) next_->previous_ = this;
}

void RoadObject::AssertionFailed(const char* condition, const char* file, int line) const {
  kernel_->AssertionFailed(condition, file, line);
}
