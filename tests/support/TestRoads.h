#pragma once

#include <vector>

#include "config/KDConfig.h"
#include "config/RoadTypes.h"

// Roads built with the configuration's setters, and what tests read back from them.

/// Sets the lane type bits of one lane of a section (the neighbour rules apply as usual).
inline void SetLaneType(KDConfig& config, int section, int lane, int type) {
  config.SetPhysicalSectionProperty(section, lane, PP_LANETYPE, static_cast<float>(type));
}

/// The default 5000 m road cut at 1000 and 3000 m: section 0 = 3000 .. 5000,
/// 1 = 1000 .. 3000, 2 = 0 .. 1000.
inline void CutThreeSections(KDConfig& config) {
  config.InsertBoundary(3000);
  config.InsertBoundary(1000);
}

/// The detector positions from detector 0 on [m].
inline std::vector<int> DetectorPositions(const KDConfig& config) {
  std::vector<int> positions;
  for (int n = 0; n < config.DetectorCount(); ++n) positions.push_back(config.DetectorPosition(n));
  return positions;
}

/// The traffic light positions from light 0 on [m].
inline std::vector<int> LightPositions(const KDConfig& config) {
  std::vector<int> positions;
  for (int n = 0; n < config.TrafficLightCount(); ++n)
    positions.push_back(config.TrafficLightPosition(n));
  return positions;
}
