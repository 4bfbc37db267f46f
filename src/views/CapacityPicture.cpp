#include "views/CapacityPicture.h"

#include <cmath>
#include <cstdio>

bool ReportedFlow(const std::string& status, std::int32_t& flow) {
  const size_t q = status.find("Q[");
  if (q == std::string::npos) return false;
  const size_t equals = status.find('=', q);
  if (equals == std::string::npos) return false;
  int value = 0;
  if (std::sscanf(status.c_str() + equals + 1, "%d", &value) != 1) return false;
  flow = value;
  return true;
}

CapacityFlows ReadCapacityFlows(const std::vector<std::string>& statuses) {
  CapacityFlows flows;
  for (const std::string& status : statuses) {
    std::int32_t v = 0;
    if (!ReportedFlow(status, v)) continue;
    if (flows.Flows.empty() || v < flows.Min) flows.Min = v;
    if (v > flows.Max) flows.Max = v;
    flows.Flows.push_back(v);
    flows.Sum += static_cast<float>(v);
    // The square in 32-bit integer arithmetic, as the flows have always been summed.
    flows.SumOfSquares += static_cast<float>(
        static_cast<std::int32_t>(static_cast<std::uint32_t>(v) * static_cast<std::uint32_t>(v)));
  }
  flows.Min = flows.Min / 1000 * 1000;
  flows.Max = flows.Max / 1000 * 1000 + 1000;
  if (flows.Min + 1000 >= flows.Max) flows.Max = flows.Min + 1000;
  return flows;
}

CapacityStatistics FlowStatistics(const std::vector<std::int32_t>& sorted, float sum,
                                  float sumOfSquares) {
  CapacityStatistics s;
  const int n = static_cast<int>(sorted.size());
  if (n < 2) return s;
  s.Mean = static_cast<int>(sum / n);
  s.Median = n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
  s.StandardDeviation = static_cast<int>(std::sqrt((sumOfSquares - sum * sum / n) / (n - 1)));
  return s;
}

int CapacityMapping::X(std::int64_t flow) const {
  return static_cast<int>(static_cast<std::int64_t>(Width - 65) * (flow - Min) / (Max - Min) + 40);
}

int CapacityMapping::Y(double probability) const {
  return static_cast<int>((1 - probability) * PlotHeight() + 20);
}

int FlowTickStep(std::int32_t min, std::int32_t max, int labelsThatFit) {
  if (labelsThatFit < 2) labelsThatFit = 2;
  const int raw = (max - min) / labelsThatFit;
  for (int step : {10, 20, 50, 100, 200, 500, 1000, 2000})
    if (step >= raw) return step;
  return 5000;
}

std::vector<std::int32_t> FlowTicks(std::int32_t min, std::int32_t max, int step) {
  std::vector<std::int32_t> ticks;
  for (std::int32_t v = min / step * step; v <= max; v += step) ticks.push_back(v);
  return ticks;
}
