#include "roadview/LaneChangeAreaEditing.h"

#include <cmath>

#include "config/KDConfig.h"

namespace {

int Percent(float p) { return static_cast<int>(std::trunc(p * 100.0f + 0.001f)); }

void ApplyToArea(KDConfig& config, int g, int h, const AreaEdit& edit) {
  config.SetLaneChangeAreaLengthRequired(g, h, edit.required);
  config.SetLaneChangeAreaLengthVoluntary(g, h, edit.voluntary);
  if (edit.probability < 0) return;
  const float x = static_cast<float>(edit.probability) / 100.0f;
  const int group = config.LaneChangeAreaRouteChoiceGroup(g, h);
  const bool left = config.LaneChangeAreaMergeLeft(g, h);
  for (int k = 0; k < config.LaneChangeAreaCount(g); ++k)
    if (config.LaneChangeAreaRouteChoiceGroup(g, k) == group &&
        config.LaneChangeAreaMergeLeft(g, k) == left)
      config.SetLaneChangeAreaProbability(g, k, edit.type, x, group);
}

}  // namespace

int AreaProbabilityShown(const KDConfig& config, int sink, int area, int type, int typeCount) {
  if (type >= 0) return Percent(config.LaneChangeAreaProbability(sink, area, type));
  const int first = Percent(config.LaneChangeAreaProbability(sink, area, 0));
  for (int t = 1; t < typeCount; ++t)
    if (Percent(config.LaneChangeAreaProbability(sink, area, t)) != first) return -1;
  return first;
}

bool AreaEditChanges(const KDConfig& config, int sink, int area, const AreaEdit& edit,
                     int typeCount) {
  if (edit.required != config.LaneChangeAreaLengthRequired(sink, area) ||
      edit.voluntary != config.LaneChangeAreaLengthVoluntary(sink, area))
    return true;
  return edit.probability >= 0 &&
         edit.probability != AreaProbabilityShown(config, sink, area, edit.type, typeCount);
}

bool ApplyAreaEdit(KDConfig& config, int sink, int area, const AreaEdit& edit, bool toAll) {
  if (sink < 0 || sink >= config.SinkCount() || area < 0 ||
      area >= config.LaneChangeAreaCount(sink))
    return false;
  if (edit.required < 0 || edit.voluntary < 0 || edit.probability > 100) return false;
  if (edit.type < -1 || edit.type >= 8) return false;
  if (!toAll) {
    ApplyToArea(config, sink, area, edit);
    return true;
  }
  const int position = config.LaneChangeAreaPosition(sink, area);
  const int lane = config.LaneChangeAreaLane(sink, area);
  for (int g = 0; g < config.SinkCount(); ++g)
    for (int h = 0; h < config.LaneChangeAreaCount(g); ++h)
      if (config.LaneChangeAreaPosition(g, h) == position &&
          config.LaneChangeAreaLane(g, h) == lane)
        ApplyToArea(config, g, h, edit);
  return true;
}

std::string CleanProbabilityText(const std::string& text) {
  std::string digits = text;
  while (digits.size() > 1 && digits[0] == '0') digits.erase(0, 1);
  if (digits.size() > 3 || (digits.size() == 3 && digits > "100")) return "100";
  return digits;
}

int AreaAt(const KDConfig& config, int sink, int lane, int position) {
  for (int a = config.LaneChangeAreaCount(sink) - 1; a >= 0; --a) {
    if (config.LaneChangeAreaLane(sink, a) != lane) continue;
    const int end = config.LaneChangeAreaPosition(sink, a);
    const int begin = end - config.LaneChangeAreaLengthRequired(sink, a) -
                      config.LaneChangeAreaLengthVoluntary(sink, a);
    if (position >= begin && position <= end) return a;
  }
  return -1;
}
