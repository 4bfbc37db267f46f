#pragma once

#include <cstdint>
#include <map>
#include <vector>

// The samples of one vehicle for the trajectory diagram: one packed word per step from
// FirstStep on.
struct VehicleTrack {
  int FirstStep = 0;
  int Vehicle = 0;  // the vehicle's number
  int VehicleType = 0;
  int LastIndex = -1;  // index of the latest sample
  std::vector<std::uint32_t> Samples;
  int LaneOffset = 0;      // first lane used at the start of the run (external model tracks)
  float LastPosition = 0;  // [m]
};

/// A packed sample: bits 0-22 the position in decimetres, bit 23 the distance flag, bits 24-27
/// the lane index.
std::uint32_t PackSample(float position, bool keepsDistance, int lane);
float SamplePosition(std::uint32_t sample);  // [m]
bool SampleKeepsDistance(std::uint32_t sample);
int SampleLane(std::uint32_t sample);

// The tracks of the current run, emptied at its first step.
class VehicleTrackList {
 public:
  void Clear();
  /// Stores the sample of `vehicle` at `step`: continues its track when the vehicle was
  /// sampled at the step before, else starts a new one. False when memory runs out.
  bool Add(int step, int vehicle, int vehicleType, float position, bool keepsDistance, int lane,
           int laneOffset = 0);
  const std::vector<VehicleTrack>& Tracks() const { return tracks_; }

 private:
  std::vector<VehicleTrack> tracks_;
  // Track index of each vehicle by number, for finding the track to continue.
  std::map<int, std::size_t> current_;
};
