#include "config/ConfigValueRules.h"

#include <cmath>

namespace {

// The shortest time step is 0.1 s.
constexpr int kMaxStepsPerSecond = 10;

// The points of a flow graph.
constexpr int kMaxFlowPointsRead = 99;

}  // namespace

int StepsPerSecondOf(float step) {
  if (!std::isfinite(step)) return 0;
  for (int n = 1; n <= kMaxStepsPerSecond; n++)
    if (std::fabs(step - 1.0 / n) <= 0.005) return n;
  return 0;
}

float TimeStepOf(int stepsPerSecond) { return 1.0f / static_cast<float>(stepsPerSecond); }

int StepsToSeconds(int steps, int stepsPerSecond) {
  return stepsPerSecond > 0 ? steps / stepsPerSecond : steps;
}

bool SeedValid(int seed) { return seed > 0 && seed % 2 != 0; }

bool SpeedSuppressionValid(float suppression) { return suppression >= 0.0f && suppression <= 1.0f; }

bool SlopeValid(float slope) { return slope >= 0.0f && static_cast<double>(slope) <= 0.070001; }

bool SpeedLimitValid(float speedLimit) {
  return speedLimit >= 0.0f && speedLimit <= kMaxSpeedLimit;
}

int FlowPointRoom(int firstTime) {
  return firstTime > 0 ? kMaxFlowPointsRead - 1 : kMaxFlowPointsRead;
}

std::string QuotedLine(std::string_view line) {
  if (line.size() <= kQuotedLineLength) return std::string(line);
  return std::string(line.substr(0, kQuotedLineLength)) + "...";
}
