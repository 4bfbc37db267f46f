#include "roadview/DemandShares.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "config/KDConfig.h"
#include "config/RoadTypes.h"
#include "config/VDCTypes.h"
#include "config/fs_params.h"

namespace {

float WholePercent(float share) { return static_cast<int>(share * 100 + 0.5f) / 100.0f; }

int TypeCount(const KDConfig& config) { return std::max(0, config.VDCTypeCount(VDC_KAVRO)); }

}  // namespace

bool AdjustDuplicateNames(std::vector<std::string>& names) {
  bool changed = false;
  for (size_t i = 1; i < names.size(); ++i) {
    for (size_t j = 0; j < i; ++j) {
      if (names[i] != names[j]) continue;
      const std::string base = names[i];
      for (int n = 1;; ++n) {
        std::string candidate = base + "_" + std::to_string(n);
        if (std::find(names.begin(), names.end(), candidate) == names.end()) {
          names[i] = candidate;
          break;
        }
      }
      changed = true;
      break;
    }
  }
  return changed;
}

std::string SourceSinkLocationText(int section, int fromLane, int toLane) {
  char text[64];
  std::snprintf(text, sizeof text, "Section %d, lane %d-%d", section + 1, fromLane + 1, toLane + 1);
  return text;
}

bool IsTruckType(const KDConfig& config, int type) {
  float length = 0;
  if (!config.GetVDCParam(VDC_KAVRO, type, FS_length, &length)) return false;
  return length > 6.0f;
}

int ClassTypeCount(const KDConfig& config, int vehicleClass) {
  int count = 0;
  for (int t = 0; t < TypeCount(config); ++t)
    if (IsTruckType(config, t) == (vehicleClass == 1)) ++count;
  return count;
}

float ClassShare(const KDConfig& config, int origin, int vehicleClass) {
  float sum = 0;
  for (int t = 0; t < TypeCount(config); ++t)
    if (IsTruckType(config, t) == (vehicleClass == 1))
      sum += config.OVProbability(origin, t, false);
  return sum;
}

void SetClassShare(KDConfig& config, int origin, int vehicleClass, float share) {
  const int types = ClassTypeCount(config, vehicleClass);
  if (types == 0) return;
  const int percent = std::clamp(static_cast<int>(share * 100 + 0.5f), 0, 100);
  for (int t = 0; t < TypeCount(config); ++t)
    if (IsTruckType(config, t) == (vehicleClass == 1))
      config.SetOVProbability(origin, t, percent / 100.0f / static_cast<float>(types));
}

void SetTypeShareWithRemainder(KDConfig& config, int origin, int type, float share) {
  config.SetOVProbability(origin, type, std::clamp(WholePercent(share), 0.0f, 1.0f));
  // The shares as the other bars will show them, read before any of them changes again.
  const int types = TypeCount(config);
  std::vector<float> shares(types);
  int last = 0;
  for (int t = 0; t < types; ++t) {
    shares[t] = config.OVProbability(origin, t, false);
    if (shares[t] > 0) last = t;
  }
  float sum = 0;
  for (int t = 0; t < last; ++t) {
    const float rounded = WholePercent(shares[t]);
    config.SetOVProbability(origin, t, rounded);
    sum += rounded;
  }
  config.SetOVProbability(origin, last, std::clamp(1.0f - sum, 0.0f, 1.0f));
}

void SetDestinationShare(KDConfig& config, int origin, int destination, int vehicleType,
                         float share) {
  if (vehicleType < 0) return;
  config.SetODProbability(origin, destination, vehicleType,
                          std::clamp(WholePercent(share), 0.0f, 1.0f));
}

bool DestinationReachable(const KDConfig& config, int origin, int destination) {
  const int sourceSection = config.SourceSection(origin);
  const int sinkSection = config.SinkSection(destination);
  if (sourceSection < 0 || sinkSection < 0) return false;
  constexpr int kLanes = MAX_KAVROLANE;
  // Row l holds the lanes of section l reached from the origin; row l + 1 those of the
  // section upstream of it.
  std::vector<std::array<bool, kLanes>> marked(config.Boundaries() + 2);
  for (auto& row : marked) row.fill(false);
  for (int j = config.SourceFromLane(origin); j <= config.SourceToLane(origin); ++j)
    if (j >= 0 && j < kLanes) marked[sourceSection + 1][j] = true;
  for (int l = sourceSection; l >= sinkSection && l >= 0; --l) {
    for (int j = 0; j < kLanes; ++j)
      if (marked[l + 1][j] && config.IsNormalLane(l, j)) marked[l][j] = true;
    for (int j = kLanes - 1; j >= 1; --j)
      if (marked[l][j] && config.CanMoveLeft(l, j)) marked[l][j - 1] = true;
    for (int j = 0; j < kLanes - 1; ++j)
      if (marked[l][j] && config.CanMoveRight(l, j)) marked[l][j + 1] = true;
    for (int j = config.SinkFromLane(destination); j <= config.SinkToLane(destination); ++j)
      if (j >= 0 && j < kLanes && marked[l][j]) return true;
  }
  return false;
}
