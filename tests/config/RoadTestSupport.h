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

// 18 sections of 100 m; in every other one, counted from the most downstream, the lanes
// 0 .. lanes-1 are paved and nobody may leave them: each lane there is an origin and a
// destination of its own (eleven lanes give 99 of each).
inline void AlternatingRoad(KDConfig& c, int lanes) {
  for (int lane = 0; lane < MAX_KAVROLANE; lane++)
    c.SetPhysicalSectionProperty(0, lane, PP_LANETYPE, LANETYPE_UNPAVED);
  c.SetLength(1800);
  for (int end = 100; end < 1800; end += 100) c.InsertBoundary(end);
  for (int s = 0; s <= c.Boundaries(); s += 2)
    for (int lane = 0; lane < lanes; lane++)
      c.SetPhysicalSectionProperty(s, lane, PP_LANETYPE, LANETYPE_NOCHANGE);
}
