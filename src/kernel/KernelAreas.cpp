#include "config/ProgramError.h"
#include "kernel/Kernel.h"

// Lane change areas as the drivers meet them. Each area has a voluntary zone followed by a
// required zone that ends at the area's end; a vehicle is in at most one area of its lane at
// a time (the first one, in driving direction, that it has not yet passed).

const KernelBHVSection* Kernel::FindArea(int lane, int destination, const KernelBHVSection* start,
                                         float position) {
  if (lane < 0 || lane >= MAX_KAVROLANE) return nullptr;
  if (!KAVRO_ASSERT(position >= 0)) return nullptr;
  const auto& list = areas_[lane];
  // The remembered area itself, when the vehicle is still in it: the search would stop there.
  if (start != nullptr && start->lane == lane && position <= start->end &&
      (start->destination == -1 || start->destination == destination) && start->indexInLane >= 0 &&
      static_cast<std::size_t>(start->indexInLane) < list.size() &&
      list[start->indexInLane].get() == start)
    return start;
  std::size_t index = 0;
  // Vehicles only move downstream, so a remembered area saves walking the passed ones.
  if (start != nullptr && start->lane == lane && start->indexInLane >= 0 &&
      static_cast<std::size_t>(start->indexInLane) < list.size() &&
      list[start->indexInLane].get() == start)
    index = static_cast<std::size_t>(start->indexInLane);
  for (; index < list.size(); ++index) {
    const KernelBHVSection* area = list[index].get();
    if (position <= area->end && (area->destination == -1 || area->destination == destination))
      return area;
  }
  return nullptr;
}

const KernelBHVSection* Kernel::CurrentArea(const RoadObject* vehicle) {
  VehicleInfo& info = *vehicle->Vehicle();
  const int lane = vehicle->Lane();
  const float x = vehicle->Position();  // [m]
  // A search over all the areas of the lane that found none finds none further downstream
  // either, while the areas stay as they are.
  VehicleInfo::NoAreaMemo& none = info.noArea;
  if (info.area == nullptr && none.lane == lane && none.destination == info.destination &&
      none.areas == areasVersion_ && x >= none.position)
    return nullptr;
  const bool searchAll = info.area == nullptr;
  info.area = FindArea(lane, info.destination, info.area, x);
  if (info.area == nullptr && searchAll && lane >= 0 && lane < MAX_KAVROLANE && x >= 0)
    none = {x, lane, info.destination, areasVersion_};
  return info.area;
}

bool Kernel::RouteChoice(const RoadObject* vehicle, int group, float p) {
  if (!KAVRO_ASSERT(group > 0)) return false;
  VehicleInfo& info = *vehicle->Vehicle();
  if (group != info.routeChoiceNumber) {
    info.routeChoiceLeft = Random() < p;
    info.routeChoiceNumber = group;
  }
  return info.routeChoiceLeft != 0;
}

namespace {

int TypeIndex(const RoadObject* vehicle) { return vehicle->Type() - RO_VEHICLE; }

}  // namespace

bool Kernel::InRequiredLeftIn(const RoadObject* vehicle, const KernelBHVSection* area) {
  float x = vehicle->Position();
  if (!(area->end - area->requiredLength <= x && x <= area->end && area->mergeLeft)) return false;
  if (area->fullStrength || area->routeChoiceGroup == 0) return true;
  return RouteChoice(vehicle, area->routeChoiceGroup, area->probability[TypeIndex(vehicle)]);
}

namespace {

// Whether a right-merging area applies now: a closure applies between its second and third
// time [s]; a route area applies when the route choice goes the other way.
bool RightAreaApplies(Kernel& kernel, const RoadObject* vehicle, const KernelBHVSection* area) {
  if (area->timeWindow[0] >= 0) {
    int t = kernel.StepCount() / kernel.StepsPerSecond();
    if ((area->timeWindow[0] <= t && t < area->timeWindow[1]) || t >= area->timeWindow[2])
      return false;
    return true;
  }
  if (!area->fullStrength && area->routeChoiceGroup != 0)
    return !kernel.RouteChoice(vehicle, area->routeChoiceGroup,
                               1 - area->probability[TypeIndex(vehicle)]);
  return true;
}

}  // namespace

bool Kernel::InRequiredRightIn(const RoadObject* vehicle, const KernelBHVSection* area) {
  float x = vehicle->Position();
  if (!(area->end - area->requiredLength <= x && x <= area->end && !area->mergeLeft)) return false;
  return RightAreaApplies(*this, vehicle, area);
}

bool Kernel::InVoluntaryLeftIn(const RoadObject* vehicle, const KernelBHVSection* area) {
  float x = vehicle->Position();
  float requiredStart = area->end - area->requiredLength;
  if (!(requiredStart - area->voluntaryLength <= x && x <= requiredStart && area->mergeLeft))
    return false;
  if (area->fullStrength || area->routeChoiceGroup == 0) return true;
  return RouteChoice(vehicle, area->routeChoiceGroup, area->probability[TypeIndex(vehicle)]);
}

bool Kernel::InVoluntaryRightIn(const RoadObject* vehicle, const KernelBHVSection* area) {
  float x = vehicle->Position();
  float requiredStart = area->end - area->requiredLength;
  if (!(requiredStart - area->voluntaryLength <= x && x <= requiredStart && !area->mergeLeft))
    return false;
  return RightAreaApplies(*this, vehicle, area);
}

float Kernel::RequiredUrgency(const KernelBHVSection* area, float x) {
  if (area == nullptr) return 0;
  float start = area->end - area->requiredLength;
  if (x < start) return 0;
  if (x <= area->end && !area->fullStrength) return (x - start) / area->requiredLength;
  return 1;
}

float Kernel::VoluntaryUrgency(const KernelBHVSection* area, float x) {
  if (area == nullptr) return 0;
  float requiredStart = area->end - area->requiredLength;
  float start = requiredStart - area->voluntaryLength;
  if (x < start) return 0;
  if (x <= requiredStart && !area->fullStrength) return (x - start) / area->voluntaryLength;
  return 1;
}
