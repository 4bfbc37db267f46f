#include <algorithm>
#include <cmath>

#include "config/ProgramError.h"
#include "kernel/Kernel.h"

namespace {

// Whole metres for messages; values that have none print as 0.
int WholeMetres(float value) {
  if (!std::isfinite(value) || std::fabs(value) >= 2.0e9f) return 0;
  return static_cast<int>(value);
}

bool IsRealLane(int lane) { return lane >= 0 && lane < MAX_KAVROLANE; }

// The lane value each kind of object must carry; real lanes are 0..11.
bool KindFitsLane(int type, int lane) {
  switch (type) {
    case RO_SINK:
    case RO_SOURCE:
    case RO_TELEPORT:
    case RO_REVERSETELEPORT:
    case RO_LANEDETECTOR:  // given its real lane; stored in the pseudo-lane
    case RO_DUMMY:
      return IsRealLane(lane);
    case RO_DETECTOR:
      return lane == LANE_DETECTORS;
    case RO_PHYSBOUNDARY:
    case RO_ENDOFROAD:
      return lane == LANE_BOUNDARIES;
    case RO_TRAFFICLIGHT:
      return lane == LANE_TRAFFICLIGHTS;
    default:
      return ISVEHICLE(type) && type < RO_VEHICLE_END && IsRealLane(lane);
  }
}

bool KindHasExtras(int type) { return type != RO_SINK && type != RO_ENDOFROAD && type != RO_DUMMY; }

}  // namespace

Kernel::Kernel() : sink_(&HookKernelMessageSink::Instance()) {}

Kernel::~Kernel() { DestroyAllObjects(); }

bool Kernel::ValidateObject(int lane, int type, float position, float speed) {
  const char* where = "RoadObject::RoadObject";
  if (lane < LOWEST_LANE_VALUE || lane >= MAX_KAVROLANE) {
    KernelMessage(KernelCause::ProgramError, where, "Lane=%d", lane);
    return false;
  }
  bool vehicle = ISVEHICLE(type);
  bool valid = true;
  if (IsRealLane(lane) && !vehicle && type != RO_SINK && type != RO_SOURCE && type != RO_TELEPORT &&
      type != RO_REVERSETELEPORT && type != RO_LANEDETECTOR && type != RO_DUMMY)
    valid = false;
  if ((type == RO_PHYSBOUNDARY || type == RO_ENDOFROAD) && lane != LANE_BOUNDARIES) valid = false;
  if (type == RO_DETECTOR && lane != LANE_DETECTORS) valid = false;
  if (vehicle ? !(speed >= 0) : speed != 0) valid = false;
  if (speed > 100 || type >= RO_VEHICLE_END) valid = false;
  // Beyond the rules above: every kind in its own lane value, and a position the list can
  // be ordered by. Anything else would corrupt the lists the step walks.
  if (!KindFitsLane(type, lane) || !std::isfinite(position) || position < 0) valid = false;
  if (!valid) {
    KernelMessage(KernelCause::ProgramError, where,
                  "Attempt to create object of type %d on lane %d at position %d speed %f", type,
                  lane, WholeMetres(position), speed);
  }
  return valid;
}

RoadObject* Kernel::CreateObject(int lane, int type, float position, int number, float speed,
                                 const VehicleParams* params, int destination, int origin,
                                 RoadObject* upstream) {
  if (!ValidateObject(lane, type, position, speed)) return nullptr;
  if (ISVEHICLE(type) && params == nullptr) {
    KernelMessage(KernelCause::ProgramError, "VehicleInfo::VehicleInfo", "VehicleParamSet = %p",
                  static_cast<const void*>(params));
    return nullptr;
  }
  if (type == RO_ENDOFROAD && !KAVRO_ASSERT(endOfRoad_ == nullptr)) return nullptr;
  int storedLane = type == RO_LANEDETECTOR ? LANE_LANEDETECTORS : lane;
  objects_.push_back(
      std::unique_ptr<RoadObject>(new RoadObject(*this, storedLane, type, position, number)));
  RoadObject& object = *objects_.back();
  object.slot_ = objects_.size() - 1;
  if (!ISVEHICLE(type)) ++layoutVersion_;
  LinkIntoGlobalList(object, upstream);
  object.LinkIntoLane();
  CreateExtras(object, speed, params, destination, origin);
  if (type == RO_LANEDETECTOR) object.LaneDetector()->lane = lane;
  if (type == RO_ENDOFROAD) endOfRoad_ = &object;
  return &object;
}

void Kernel::LinkIntoGlobalList(RoadObject& object, RoadObject* upstream) {
  // At equal positions higher type codes come first, then lower lanes; a new object goes
  // after its equals. The end of road stays behind everything at its position. The list is
  // ordered, so everything up to an object strictly upstream of the new one is passed.
  RoadObject* passed = nullptr;
  RoadObject* candidate = firstObject_;
  if (upstream != nullptr && upstream != &object && upstream->position_ < object.position_) {
    passed = upstream;
    candidate = upstream->next_;
  }
  lastPlacementWalk_ = 0;
  while (candidate != nullptr &&
         (candidate->position_ < object.position_ ||
          (candidate->position_ == object.position_ && candidate->type_ != RO_ENDOFROAD &&
           candidate->type_ >= object.type_ &&
           (candidate->type_ != object.type_ || candidate->lane_ <= object.lane_)))) {
    passed = candidate;
    candidate = candidate->next_;
    ++lastPlacementWalk_;
  }
  object.LinkGlobalAfter(passed);
}

void Kernel::CreateExtras(RoadObject& object, float speed, const VehicleParams* params,
                          int destination, int origin) {
  RoadObject* owner = &object;
  switch (object.type_) {
    case RO_SOURCE:
      object.extras_ = std::make_unique<SourceInfo>(owner, object.lane_, object.number_);
      break;
    case RO_DETECTOR:
      object.extras_ = std::make_unique<DetectorInfo>(owner);
      break;
    case RO_TELEPORT:
    case RO_REVERSETELEPORT:
      object.extras_ = std::make_unique<TeleportInfo>(owner);
      break;
    case RO_PHYSBOUNDARY:
      object.extras_ = std::make_unique<PhysicalLaneInfo>(owner);
      break;
    case RO_TRAFFICLIGHT:
      object.extras_ = std::make_unique<TrafficLightInfo>(owner);
      break;
    case RO_LANEDETECTOR:
      object.extras_ = std::make_unique<LaneDetectorInfo>(owner);
      break;
    default:
      if (object.IsVehicle()) {
        object.extras_ = std::make_unique<VehicleInfo>(owner, params, destination, origin, speed);
        object.Vehicle()->specificPower = DrawSpecificPower(*params);
      }
      break;
  }
}

void Kernel::ReleaseExtras(RoadObject& object) {
  if (!object.extras_) return;
  if (!KindHasExtras(object.type_)) {
    KernelMessage(KernelCause::ProgramError, "RoadObject::~RoadObject",
                  "Don't know how to delete extras for RoadObject of type %d (%s)", object.type_,
                  object.Describe().c_str());
  }
  if (SourceInfo* source = object.Source(); source && source->superSource) {
    SuperSource* superSource = source->superSource;
    source->superSource = nullptr;
    if (superSource->Unregister(&object) && superSource->LaneCount() == 0)
      DropSuperSource(superSource);
  }
  object.extras_.reset();
}

void Kernel::DestroyObject(RoadObject* object) {
  if (!KAVRO_ASSERT(object != nullptr && &object->Owner() == this)) return;
  if (!object->IsVehicle()) ++layoutVersion_;
  ReleaseExtras(*object);
  object->CutFromLane();
  object->UnlinkGlobal();
  if (endOfRoad_ == object) endOfRoad_ = nullptr;
  if (currentPhysSection_ == object) currentPhysSection_ = nullptr;
  std::size_t slot = object->slot_;
  if (slot + 1 != objects_.size()) {
    std::swap(objects_[slot], objects_.back());
    objects_[slot]->slot_ = slot;
  }
  // Kept a while: vehicles may still hold hints at it, which see that it is retired.
  constexpr std::size_t kRetiredKept = 256;
  if (retired_.size() >= kRetiredKept) ReleaseRetired();
  object->retired_ = true;
  retired_.push_back(std::move(objects_.back()));
  objects_.pop_back();
}

void Kernel::ReleaseRetired() {
  retired_.clear();
  ++retiredEpoch_;
}

void Kernel::DestroyAllObjects() {
  while (firstObject_ != nullptr) DestroyObject(firstObject_);
  currentPhysSection_ = nullptr;
  ReleaseRetired();
}

RoadObjectExtras* Kernel::GetExtras(const RoadObject* object) {
  const char* where = "RoadObject::GetExtras";
  if (object == nullptr) {
    KernelMessage(KernelCause::ProgramError, where, "\"this\" == NULL");
    return nullptr;
  }
  if (!KindHasExtras(object->type_)) {
    KernelMessage(KernelCause::ProgramError, where, "Extras not defined for object of type %d",
                  object->type_);
    return nullptr;
  }
  return object->extras_.get();
}

bool Kernel::LinkTeleports(RoadObject* teleport, RoadObject* reverseTeleport) {
  if (!KAVRO_ASSERT(teleport && teleport->type_ == RO_TELEPORT && reverseTeleport &&
                    reverseTeleport->type_ == RO_REVERSETELEPORT))
    return false;
  teleport->Teleport()->NewOtherEnd(reverseTeleport);
  reverseTeleport->Teleport()->NewOtherEnd(teleport);
  return true;
}

DetectorInfo* Kernel::FindDetector(int number) const {
  RoadObject* detector = firstObject_;
  if (detector != nullptr && detector->lane_ != LANE_DETECTORS)
    detector = detector->NextWithLane(LANE_DETECTORS);
  for (; detector != nullptr; detector = detector->laneLeader_)
    if (detector->number_ == number) return detector->Detector();
  return nullptr;
}

std::string Kernel::DumpObjects() const {
  std::string dump;
  for (RoadObject* object = firstObject_; object != nullptr; object = object->next_) {
    dump += Format("%s\t%d\t%.3f\t%d\n", object->Describe().c_str(), object->lane_,
                   object->position_, object->number_);
  }
  return dump;
}

std::string Kernel::CheckObjectLists() const {
  // The last object seen so far in each lane value, indexed by lane - LOWEST_LANE_VALUE.
  RoadObject* lastInLane[MAX_KAVROLANE - LOWEST_LANE_VALUE] = {};
  RoadObject* previous = nullptr;
  std::size_t count = 0;
  int endsOfRoad = 0;
  for (RoadObject* object = firstObject_; object != nullptr; object = object->next_) {
    std::string where = Format("object %zu (%s)", count, object->Describe().c_str());
    if (++count > objects_.size()) return "global list longer than the object store";
    if (object->previous_ != previous) return where + ": previous link broken";
    if (previous && previous->position_ > object->position_) return where + ": out of order";
    if (object->type_ == RO_ENDOFROAD) ++endsOfRoad;
    if (object->lane_ < LOWEST_LANE_VALUE || object->lane_ >= MAX_KAVROLANE)
      return where + ": bad lane";
    RoadObject*& last = lastInLane[object->lane_ - LOWEST_LANE_VALUE];
    if (object->laneFollower_ != last) return where + ": lane follower broken";
    if (last && last->laneLeader_ != object) return where + ": lane leader of follower broken";
    last = object;
    previous = object;
  }
  if (count != objects_.size()) return "global list shorter than the object store";
  for (RoadObject* last : lastInLane)
    if (last && last->laneLeader_ != nullptr)
      return Format("last object of lane %d has a lane leader", static_cast<int>(last->lane_));
  if (endsOfRoad > 1 || (endsOfRoad == 1) != (endOfRoad_ != nullptr))
    return "end of road not unique";
  return std::string();
}

const VehicleParams* Kernel::ParamSet(int type) const {
  if (type < 0 || type >= ParamSetCount()) return nullptr;
  return paramSets_[type].get();
}

KernelBHVSection* Kernel::AddArea(const KernelBHVSection& area) {
  if (!KAVRO_ASSERT(IsRealLane(area.lane))) return nullptr;
  auto& list = areas_[area.lane];
  ++areasVersion_;
  auto place = std::find_if(list.begin(), list.end(),
                            [&](const auto& existing) { return existing->end > area.end; });
  place = list.insert(place, std::make_unique<KernelBHVSection>(area));
  for (std::size_t i = 0; i < list.size(); ++i) list[i]->indexInLane = static_cast<int>(i);
  return place->get();
}

void Kernel::DropSuperSource(SuperSource* superSource) {
  auto found = std::find_if(superSources_.begin(), superSources_.end(),
                            [&](const auto& owned) { return owned.get() == superSource; });
  if (found != superSources_.end()) superSources_.erase(found);
}

bool SuperSource::Register(RoadObject* source) {
  if (!KAVRO_ASSERT(source != nullptr && source->Type() == RO_SOURCE &&
                    IsRealLane(source->Lane()) && subsources_[source->Lane()] == nullptr))
    return false;
  subsources_[source->Lane()] = source;
  source->Source()->superSource = this;
  return true;
}

bool SuperSource::Unregister(RoadObject* source) {
  if (!KAVRO_ASSERT(source != nullptr && IsRealLane(source->Lane()) &&
                    subsources_[source->Lane()] == source))
    return false;
  subsources_[source->Lane()] = nullptr;
  return true;
}

int SuperSource::LaneCount() const {
  return static_cast<int>(std::count_if(std::begin(subsources_), std::end(subsources_),
                                        [](RoadObject* source) { return source != nullptr; }));
}

void SuperSource::AssertionFailed(const char* condition, const char* file, int line) const {
  kernel_.AssertionFailed(condition, file, line);
}
