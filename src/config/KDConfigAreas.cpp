#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "config/BHVSection.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/SourceSink.h"

// Lane change areas of the destinations. The editors and the file readers validate their
// input first, so a broken rule here is an internal error that names the violated condition.

BHVSection* KDConfig::LaneChangeArea(int sink, int rank) const {
  if (sink < 0 || sink >= MAXSINK || !sinklist_[sink] || rank < 0) return nullptr;
  BHVSection* area = sinklist_[sink]->Areas();
  for (int r = 0; area && r < rank; r++) area = area->Next.get();
  return area;
}

int KDConfig::LaneChangeAreaCount(int sink) const {
  int count = 0;
  for (BHVSection* area = LaneChangeArea(sink, 0); area; area = area->Next.get()) count++;
  return count;
}

int KDConfig::LaneChangeAreaLane(int sink, int rank) const {
  const BHVSection* area = LaneChangeArea(sink, rank);
  return area ? area->Lane : -1;
}

int KDConfig::LaneChangeAreaPosition(int sink, int rank) const {
  const BHVSection* area = LaneChangeArea(sink, rank);
  return area ? area->Position : -1;
}

int KDConfig::LaneChangeAreaLengthRequired(int sink, int rank) const {
  const BHVSection* area = LaneChangeArea(sink, rank);
  return area ? area->LengthRequired : -1;
}

int KDConfig::LaneChangeAreaLengthVoluntary(int sink, int rank) const {
  const BHVSection* area = LaneChangeArea(sink, rank);
  return area ? area->LengthVoluntary : -1;
}

bool KDConfig::LaneChangeAreaMergeLeft(int sink, int rank) const {
  const BHVSection* area = LaneChangeArea(sink, rank);
  return area ? area->MergeLeft : false;
}

int KDConfig::LaneChangeAreaRouteChoiceGroup(int sink, int rank) const {
  const BHVSection* area = LaneChangeArea(sink, rank);
  return area ? area->RouteChoiceGroup : 0;
}

float KDConfig::LaneChangeAreaProbability(int sink, int rank, int vehicleType) const {
  const BHVSection* area = LaneChangeArea(sink, rank);
  if (!area) return -1;
  if (vehicleType == -1) vehicleType = 0;
  if (vehicleType < 0 || vehicleType >= MAXVEHICLETYPE) return -1;
  return area->Probability[vehicleType];
}

BHVSection* KDConfig::CheckedArea(int sink, int rank) const {
  if (!KAVRO_ASSERT(sink >= 0 && sink < MAXSINK && sinklist_[sink])) return nullptr;
  if (!KAVRO_ASSERT(rank >= 0)) return nullptr;
  BHVSection* area = LaneChangeArea(sink, rank);
  KAVRO_ASSERT(area != nullptr);
  return area;
}

void KDConfig::AddLaneChangeArea(int sink, int lane, int position, int lengthRequired,
                                 int lengthVoluntary, bool mergeLeft) {
  if (!KAVRO_ASSERT(sink >= 0 && sink < MAXSINK && sinklist_[sink]) ||
      !KAVRO_ASSERT(lengthRequired >= 0) || !KAVRO_ASSERT(lengthVoluntary >= 0) ||
      !KAVRO_ASSERT(position >= 0 && position <= Length()))
    return;
  auto area = std::make_unique<BHVSection>();
  area->Lane = lane;
  area->Position = position;
  area->LengthRequired = lengthRequired;
  area->LengthVoluntary = lengthVoluntary;
  area->MergeLeft = mergeLeft;
  sinklist_[sink]->PushArea(std::move(area));
  Touch();
}

void KDConfig::DeleteLaneChangeArea(int sink, int rank) {
  if (!CheckedArea(sink, rank)) return;
  sinklist_[sink]->EraseArea(rank);
  Touch();
}

void KDConfig::SetLaneChangeAreaProbability(int sink, int rank, int vehicleType, float probability,
                                            int routeChoiceGroup) {
  BHVSection* area = CheckedArea(sink, rank);
  if (!area ||
      !KAVRO_ASSERT(vehicleType == -1 || (vehicleType >= 0 && vehicleType < MAXVEHICLETYPE)) ||
      !KAVRO_ASSERT(probability >= 0 && probability <= 1) ||
      !KAVRO_ASSERT(routeChoiceGroup >= 0 || routeChoiceGroup == -1))
    return;
  if (vehicleType == -1) {
    std::fill(std::begin(area->Probability), std::end(area->Probability), probability);
  } else {
    area->Probability[vehicleType] = probability;
  }
  area->RouteChoiceGroup = routeChoiceGroup;
  Touch();
}

void KDConfig::SetLaneChangeAreaLengthRequired(int sink, int rank, int length) {
  BHVSection* area = CheckedArea(sink, rank);
  if (!area || !KAVRO_ASSERT(length >= 0)) return;
  area->LengthRequired = length;
  Touch();
}

void KDConfig::SetLaneChangeAreaLengthVoluntary(int sink, int rank, int length) {
  BHVSection* area = CheckedArea(sink, rank);
  if (!area || !KAVRO_ASSERT(length >= 0)) return;
  area->LengthVoluntary = length;
  Touch();
}

void KDConfig::SetLaneChangeAreaPosition(int sink, int rank, int position) {
  BHVSection* area = CheckedArea(sink, rank);
  if (!area || !KAVRO_ASSERT(position >= 0 && position <= Length())) return;
  area->Position = position;
  Touch();
}

void KDConfig::SortLaneChangeAreas(int sink) {
  if (!KAVRO_ASSERT(sink >= 0 && sink < MAXSINK && sinklist_[sink])) return;
  std::unique_ptr<BHVSection>& head = sinklist_[sink]->AreaListHead();
  std::vector<std::unique_ptr<BHVSection>> areas;
  while (head) {
    std::unique_ptr<BHVSection> next = std::move(head->Next);
    areas.push_back(std::move(head));
    head = std::move(next);
  }
  // Most downstream first; a stable sort keeps areas with equal position and lane in their
  // order, as repeated neighbour swaps would.
  std::stable_sort(areas.begin(), areas.end(), [](const auto& a, const auto& b) {
    if (a->Position != b->Position) return a->Position > b->Position;
    return a->Lane < b->Lane;
  });
  for (auto it = areas.rbegin(); it != areas.rend(); ++it) {
    (*it)->Next = std::move(head);
    head = std::move(*it);
  }
}

void KDConfig::PurgeAreasBeyondLength() {
  int length = Length();
  for (int sink = MAXSINK - 1; sink >= 0; sink--) {
    if (!sinklist_[sink]) continue;
    for (int rank = LaneChangeAreaCount(sink) - 1; rank >= 0; rank--) {
      if (LaneChangeArea(sink, rank)->Position > length) sinklist_[sink]->EraseArea(rank);
    }
  }
}

void KDConfig::MoveAreasForSectionLength(int end, int delta) {
  // The areas downstream of the resized section move with the road.
  for (int sink = MAXSINK - 1; sink >= 0; sink--) {
    for (BHVSection* area = LaneChangeArea(sink, 0); area; area = area->Next.get())
      if (area->Position >= end) area->Position += delta;
  }
}
