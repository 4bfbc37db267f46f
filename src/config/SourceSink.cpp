#include "config/SourceSink.h"

#include <cmath>
#include <utility>

#include "config/ProgramError.h"

namespace {

const char* TrueFalse(bool value) { return value ? "true" : "false"; }
const char* Kind(bool isSource) { return isSource ? "source" : "sink"; }

}  // namespace

void SourceSinkDeleter::operator()(SourceSink* record) const { delete record; }

void Normalize(float values[], int n) {
  if (n <= 0) return;
  float sum = 0;
  for (int i = n - 1; i >= 0; i--) sum += values[i];
  if (sum == 0) {
    for (int i = 0; i < n; i++) values[i] = 1.0f / static_cast<float>(n);
  } else if (sum < 0.9999f || sum > 1.0001f) {
    const float factor = 1.0f / sum;
    // The reciprocal of a sum of tiny values overflows a float, and zero times infinity is
    // not a number: such values are divided in double precision instead.
    for (int i = 0; i < n; i++)
      values[i] =
          std::isfinite(factor)
              ? values[i] * factor
              : static_cast<float>(static_cast<double>(values[i]) / static_cast<double>(sum));
  }
}

float ClampProbability(float p) {
  if (p > -0.01f && p < 0) return 0;
  if (p > 1 && p < 1.01f) return 1;
  return p;
}

SourceSink::SourceSink(bool isSource, KDConfig& owner, int section, int fromLane, int toLane,
                       std::string name)
    : isSource_(isSource),
      owner_(owner),
      fromLane_(fromLane),
      toLane_(toLane),
      section_(section),
      name_(std::move(name)) {
  if (isSource_) odInfo_ = std::make_unique<ODInfo>();
}

SourceSink::~SourceSink() {
  // Release the areas one by one: a long list must not recurse through its links.
  while (areas_) areas_ = std::move(areas_->Next);
}

void SourceSink::SetLocation(int section, int fromLane, int toLane) {
  section_ = section;
  fromLane_ = fromLane;
  toLane_ = toLane;
}

bool SourceSink::SetName(const std::string& name, const SourceSinkPtr* list, int length) {
  int rank = 0;
  while (rank < length && list[rank].get() != this) rank++;
  if (!KAVRO_ASSERT(rank < length)) return false;
  for (int i = 0; i < length && list[i]; i++) {
    if (i == rank || list[i]->name_ != name) continue;
    ProgramError(Format("SourceSink::SetName: new name for %s %d: %s is identical to name of %s %d",
                        Kind(isSource_), rank, name.c_str(), Kind(list[i]->isSource_), i));
    return false;
  }
  name_ = name;
  return true;
}

bool SourceSink::SetODProbability(int destination, int vehicleType, float p) {
  p = ClampProbability(p);
  if (!isSource_ || vehicleType < -1 || vehicleType >= MAXVEHICLETYPE || destination < 0 ||
      destination >= owner_.supersinkcount_ || !(p >= 0 && p <= 1)) {
    ProgramError(Format("%s=%s%s=%d%s=%d%s=%f", "SourceSink::SetODProbability:\r\nissource",
                        TrueFalse(isSource_), "\r\nVehicleType", vehicleType, "\r\nDestination",
                        destination, "\r\nP", p));
    return false;
  }
  if (vehicleType >= 0) {
    odInfo_->ODProbability[vehicleType][destination] = p;
  } else {
    for (int t = MAXVEHICLETYPE - 1; t >= 0; t--) odInfo_->ODProbability[t][destination] = p;
  }
  return true;
}

float SourceSink::GetODProbability(int destination, int vehicleType, bool raw) {
  if (!isSource_ || vehicleType < -1 || vehicleType >= MAXVEHICLETYPE || destination < 0 ||
      destination >= owner_.supersinkcount_) {
    ProgramError(Format("%s=%s%s=%d%s=%d", "SourceSink::GetODProbability:\r\nissource",
                        TrueFalse(isSource_), "\r\nVehicleType", vehicleType, "\r\nDestination",
                        destination));
    return 0;
  }
  if (vehicleType >= 0) {
    if (!raw) Normalize(odInfo_->ODProbability[vehicleType], owner_.supersinkcount_);
    return odInfo_->ODProbability[vehicleType][destination];
  }
  // All types together: each type's probability weighted by its share at this origin.
  float combined = 0;
  for (int t = owner_.DemandVehicleTypeCount() - 1; t >= 0; t--)
    combined += GetODProbability(destination, t, raw) * GetVDProbability(t, raw);
  return combined;
}

bool SourceSink::SetVDProbability(int vehicleType, float p) {
  p = ClampProbability(p);
  if (!isSource_ || vehicleType < 0 || vehicleType >= MAXVEHICLETYPE || !(p >= 0 && p <= 1)) {
    ProgramError(Format("%s=%s%s=%d%s=%f", "SourceSink::SetVDProbability:\r\nissource",
                        TrueFalse(isSource_), "\r\nVehicleType", vehicleType, "\r\nP", p));
    return false;
  }
  odInfo_->VehicleTypeProbability[vehicleType] = p;
  return true;
}

float SourceSink::GetVDProbability(int vehicleType, bool raw) {
  if (!isSource_ || vehicleType < -1 || vehicleType >= MAXVEHICLETYPE) {
    ProgramError(Format("%s=%s%s=%d", "SourceSink::GetVDProbability:\r\nissource",
                        TrueFalse(isSource_), "\r\nVehicleType", vehicleType));
    return 0;
  }
  int types = owner_.DemandVehicleTypeCount();
  if (!raw) Normalize(odInfo_->VehicleTypeProbability, types);
  if (vehicleType >= 0) return odInfo_->VehicleTypeProbability[vehicleType];
  float sum = 0;
  for (int t = types - 1; t >= 0; t--) sum += odInfo_->VehicleTypeProbability[t];
  return sum;
}

void SourceSink::PushArea(std::unique_ptr<BHVSection> area) {
  if (!KAVRO_ASSERT(!isSource_)) return;
  area->Next = std::move(areas_);
  areas_ = std::move(area);
}

bool SourceSink::EraseArea(int rank) {
  std::unique_ptr<BHVSection>* link = &areas_;
  for (int r = 0; *link && r < rank; r++) link = &(*link)->Next;
  if (rank < 0 || !*link) return false;
  std::unique_ptr<BHVSection> erased = std::move(*link);
  *link = std::move(erased->Next);
  return true;
}
