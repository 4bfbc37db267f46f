#pragma once

#include <memory>
#include <string>
#include <vector>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "config/RoadTypes.h"

// One section of a test road: where it begins [m] and the lane types of lanes 0, 1, ...;
// lanes beyond the list are unpaved.
struct RoadRow {
  int begin = 0;
  std::vector<int> lanes;
};

// Builds a road of `length` [m] from rows listed upstream first (the first row begins at 0).
// Lanes are set from the right to the left, so that the neighbour rules, which only take lane
// change permissions away, leave every listed type as given (tapers are completed as usual).
inline std::unique_ptr<KDConfig> MakeRoad(int length, const std::vector<RoadRow>& rows) {
  auto config = std::make_unique<KDConfig>();
  config->SetLength(length);
  for (size_t r = 1; r < rows.size(); ++r) config->InsertBoundary(rows[r].begin);
  const int boundaries = static_cast<int>(rows.size()) - 1;
  for (int r = 0; r <= boundaries; ++r) {
    const int section = boundaries - r;
    for (int lane = MaxLane() - 1; lane >= 0; --lane) {
      const std::vector<int>& types = rows[r].lanes;
      const int type = lane < static_cast<int>(types.size()) ? types[lane] : 0;
      config->SetPhysicalSectionProperty(section, lane, PP_LANETYPE, static_cast<float>(type));
    }
  }
  return config;
}

// Location of an origin or destination: section, from lane, to lane.
struct Location {
  int section;
  int fromLane;
  int toLane;
  bool operator==(const Location&) const = default;
};

inline std::vector<Location> SourceLocations(const KDConfig& config) {
  std::vector<Location> result;
  for (int r = 0; r < config.SourceCount(); ++r)
    result.push_back({config.SourceSection(r), config.SourceFromLane(r), config.SourceToLane(r)});
  return result;
}

inline std::vector<Location> SinkLocations(const KDConfig& config) {
  std::vector<Location> result;
  for (int r = 0; r < config.SinkCount(); ++r)
    result.push_back({config.SinkSection(r), config.SinkFromLane(r), config.SinkToLane(r)});
  return result;
}

inline std::vector<std::string> SourceNames(const KDConfig& config) {
  std::vector<std::string> result;
  for (int r = 0; r < config.SourceCount(); ++r) result.push_back(config.SourceName(r));
  return result;
}

inline std::vector<std::string> SinkNames(const KDConfig& config) {
  std::vector<std::string> result;
  for (int r = 0; r < config.SinkCount(); ++r) result.push_back(config.SinkName(r));
  return result;
}

// Every stored demand value, read raw, to show that a rejected call changed nothing.
struct DemandSnapshot {
  int changeStamp = 0;
  std::vector<std::string> sourceNames;
  std::vector<std::string> sinkNames;
  std::vector<int> flows;
  std::vector<float> probabilities;

  explicit DemandSnapshot(const KDConfig& config)
      : changeStamp(config.ChangeStamp()),
        sourceNames(SourceNames(config)),
        sinkNames(SinkNames(config)) {
    for (int o = 0; o < config.SourceCount(); ++o) {
      for (int p = 0; p < 99; ++p) {
        flows.push_back(config.OFlowTime(o, p));
        flows.push_back(config.OFlowValue(o, p));
      }
      for (int t = 0; t < MAXVEHICLETYPE; ++t) {
        probabilities.push_back(config.OVProbability(o, t, true));
        for (int d = 0; d < config.SinkCount(); ++d)
          probabilities.push_back(config.ODProbability(o, d, t, true));
      }
    }
  }
  bool operator==(const DemandSnapshot&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Location& l) {
  return out << "(section " << l.section << ", lanes " << l.fromLane << ".." << l.toLane << ")";
}
