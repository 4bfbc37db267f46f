#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "config/KDConfig.h"
#include "roadview/LaneChangeGeneration.h"

// One stored lane change area as the tests compare it: lane, direction ('L' or 'R'), end
// position, required and voluntary length [m] and route choice group.
struct AreaRow {
  int lane;
  char direction;
  int position;
  int required;
  int voluntary;
  int group = 0;
  bool operator==(const AreaRow&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const AreaRow& a) {
  return out << "{lane " << a.lane << " " << a.direction << " at " << a.position << " req "
             << a.required << " vol " << a.voluntary << " group " << a.group << "}";
}

// The areas of a destination in rank order.
inline std::vector<AreaRow> AreasOf(const KDConfig& config, int sink) {
  std::vector<AreaRow> rows;
  for (int r = 0; r < config.LaneChangeAreaCount(sink); ++r)
    rows.push_back(
        {config.LaneChangeAreaLane(sink, r), config.LaneChangeAreaMergeLeft(sink, r) ? 'L' : 'R',
         config.LaneChangeAreaPosition(sink, r), config.LaneChangeAreaLengthRequired(sink, r),
         config.LaneChangeAreaLengthVoluntary(sink, r),
         config.LaneChangeAreaRouteChoiceGroup(sink, r)});
  return rows;
}

// Generates with `settings` and returns the debug lines.
inline std::vector<std::string> Generate(KDConfig& config,
                                         const LaneChangeSettings& settings = {}) {
  std::vector<std::string> lines;
  GenerateLaneChangeAreas(config, settings,
                          [&](const std::string& line) { lines.push_back(line); });
  return lines;
}

inline bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines)
    if (l == line) return true;
  return false;
}
