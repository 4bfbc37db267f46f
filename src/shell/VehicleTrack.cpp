#include "shell/VehicleTrack.h"

#include <new>

#include "kernel/KernelMath.h"

namespace {

constexpr std::uint32_t kPositionMask = (1u << 23) - 1;
constexpr std::uint32_t kDistanceBit = 1u << 23;
// Tracks grow by this many samples at a time.
constexpr std::size_t kSampleChunk = 100;

}  // namespace

std::uint32_t PackSample(float position, bool keepsDistance, int lane) {
  // Single precision like the kernel's positions, so samples match the positions shown.
  int decimetres = Truncate(position * 10.0f);
  std::uint32_t packed =
      static_cast<std::uint32_t>(decimetres < 0 ? 0 : decimetres) & kPositionMask;
  if (keepsDistance) packed |= kDistanceBit;
  packed |= (static_cast<std::uint32_t>(lane) & 0xF) << 24;
  return packed;
}

float SamplePosition(std::uint32_t sample) {
  return static_cast<float>(sample & kPositionMask) / 10;
}

bool SampleKeepsDistance(std::uint32_t sample) { return (sample & kDistanceBit) != 0; }

int SampleLane(std::uint32_t sample) { return static_cast<int>((sample >> 24) & 0xF); }

void VehicleTrackList::Clear() {
  tracks_.clear();
  current_.clear();
}

bool VehicleTrackList::Add(int step, int vehicle, int vehicleType, float position,
                           bool keepsDistance, int lane, int laneOffset) {
  try {
    auto found = current_.find(vehicle);
    VehicleTrack* track = nullptr;
    if (found != current_.end()) {
      VehicleTrack& candidate = tracks_[found->second];
      if (candidate.FirstStep + candidate.LastIndex + 1 == step) track = &candidate;
    }
    if (track == nullptr) {
      VehicleTrack fresh;
      fresh.FirstStep = step;
      fresh.Vehicle = vehicle;
      fresh.VehicleType = vehicleType;
      fresh.LaneOffset = laneOffset;
      tracks_.push_back(std::move(fresh));
      current_[vehicle] = tracks_.size() - 1;
      track = &tracks_.back();
    }
    if (track->Samples.size() == track->Samples.capacity())
      track->Samples.reserve(track->Samples.size() + kSampleChunk);
    track->LastIndex = step - track->FirstStep;
    track->Samples.push_back(PackSample(position, keepsDistance, lane - laneOffset));
    track->LastPosition = position;
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}
