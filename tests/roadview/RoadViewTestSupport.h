#pragma once

#include "config/KDConfig.h"
#include "config/RoadTypes.h"

// Example roads for the road picture tests, built with the configuration's setters.

// A 3000 m road of three lanes with a tapered on-ramp: section 2 (0 .. 1000 m) carries the
// ramp as lane 3, section 1 (1000 .. 2000 m) the taper over lanes 2 and 3, section 0
// (2000 .. 3000 m) the three through lanes.
inline void BuildRampRoad(KDConfig& config) {
  config.SetLength(3000);
  config.InsertBoundary(2000);
  config.InsertBoundary(1000);
  config.SetPhysicalSectionProperty(2, 3, PP_LANETYPE, LANETYPE_CHANGELEFT);
  config.SetPhysicalSectionProperty(1, 2, PP_LANETYPE, LANETYPE_TAPERON);
  config.SetPhysicalSectionProperty(1, 3, PP_LANETYPE, LANETYPE_TAPERON);
}

inline int TypeAt(const KDConfig& config, int section, int lane) {
  return config.IntPhysicalSectionProperty(section, lane, PP_LANETYPE);
}
