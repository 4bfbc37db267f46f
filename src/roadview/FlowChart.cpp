#include "roadview/FlowChart.h"

#include <algorithm>

#include "config/KDConfig.h"
#include "roadview/FlowTable.h"

namespace {

constexpr int kLeft = 35;    // [px] the flow axis
constexpr int kBottom = 16;  // [px] the time axis above the bottom edge
constexpr int kRightMargin = 53 - kLeft;

}  // namespace

int FlowChartScale::TimeX(int time) const {
  return kLeft + static_cast<int>(static_cast<long long>(plotWidth) * time / timeRange);
}

int FlowChartScale::FlowY(int flow) const {
  return height - kBottom -
         static_cast<int>(static_cast<long long>(flow) * (height - 24) / flowRange);
}

int FlowChartScale::TimeAt(int x) const {
  return plotWidth > 0 ? static_cast<int>(static_cast<long long>(x - kLeft) * timeRange / plotWidth)
                       : 0;
}

int FlowChartScale::FlowAt(int y) const {
  return height > 24 ? static_cast<int>(static_cast<long long>(flowRange) * (height - y - kBottom) /
                                        (height - 24))
                     : 0;
}

FlowChartScale MakeFlowChartScale(const KDConfig& config, int currentOrigin, int width,
                                  int height) {
  FlowChartScale scale;
  scale.width = width;
  scale.height = height;
  int latest = 1800;
  int flow = 1000;
  for (int o = 0; o < config.SourceCount(); ++o) {
    // Flows above every capacity estimate still fit under the top of the chart.
    for (int i = 0; i < kMaxFlowPoints && config.OFlowTime(o, i) >= 0; ++i) {
      latest = std::max(latest, config.OFlowTime(o, i));
      flow = std::max(flow, config.OFlowValue(o, i));
    }
    flow = std::max(flow, static_cast<int>(config.MaxSourceFlow(o)));
  }
  scale.timeRange = (latest + 2000) / 1800 * 1800;
  scale.flowRange = flow;
  scale.capacity = currentOrigin >= 0 && currentOrigin < config.SourceCount()
                       ? static_cast<int>(config.MaxSourceFlow(currentOrigin))
                       : 1000;
  int unit = 60;
  const int room = std::max(0, width - kLeft - kRightMargin);
  while (room < scale.timeRange / unit) unit *= 2;
  const int parts = std::max(1, scale.timeRange / unit);
  scale.plotWidth = room / parts * parts;
  return scale;
}

int FlowChartTimeStep(const FlowChartScale& scale, int labelWidth) {
  auto interval = [&](int step) {
    return static_cast<long long>(scale.plotWidth) * step / scale.timeRange;
  };
  int step = 1800;
  if (interval(step) >= 2LL * labelWidth) return step / 2;
  while (interval(step) < labelWidth && step < (1 << 24)) step *= 2;
  return step;
}

int FlowChartFlowStep(const FlowChartScale& scale, int labelHeight) {
  int step = 500;
  while (static_cast<long long>(step) * (scale.height - 24) / scale.flowRange < labelHeight &&
         step < (1 << 24))
    step *= 2;
  return step;
}

std::vector<ChartPoint> FlowChartLine(const KDConfig& config, int origin,
                                      const FlowChartScale& scale) {
  std::vector<ChartPoint> line;
  int flow = 0;
  for (int i = 0; i < kMaxFlowPoints && config.OFlowTime(origin, i) >= 0; ++i) {
    flow = config.OFlowValue(origin, i);
    line.push_back({scale.TimeX(config.OFlowTime(origin, i)), scale.FlowY(flow)});
  }
  if (!line.empty()) line.push_back({scale.width - 1, scale.FlowY(flow)});
  return line;
}
