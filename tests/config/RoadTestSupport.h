#pragma once

#include <vector>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "support/ProgramModeGuard.h"

// Every stored road value of a configuration, to show that a rejected call changed nothing.
struct RoadSnapshot {
  int boundaries = 0;
  int changeStamp = 0;
  std::vector<float> values;

  explicit RoadSnapshot(const KDConfig& config)
      : boundaries(config.Boundaries()), changeStamp(config.ChangeStamp()) {
    for (int s = 0; s <= config.Boundaries(); ++s)
      for (int lane = 0; lane < MaxLane(); ++lane)
        for (int p = 0; p < PP_COUNT; ++p)
          values.push_back(config.PhysicalSectionProperty(s, lane, p));
  }
  bool operator==(const RoadSnapshot&) const = default;
};

inline int LaneTypeOf(const KDConfig& config, int section, int lane) {
  return config.IntPhysicalSectionProperty(section, lane, PP_LANETYPE);
}
