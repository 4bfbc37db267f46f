#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The capacity distribution picture: the highest flows the batch runs reported, sorted and
// drawn against their cumulative probability, with mean, median and standard deviation. This
// part holds what is computed (flows, axes, ticks, positions, texts); the window only paints.

/// The flow of a batch status with a flow report (", Time %d: Q[%d]=%d veh/h ..."): the number
/// after the first "=" that follows the first "Q["; false when there is none.
bool ReportedFlow(const std::string& status, std::int32_t& flow);

struct CapacityFlows {
  std::vector<std::int32_t> Flows;  // one per status with a flow report, in row order
  std::int32_t Min = 1000;          // axis bounds [veh/h]
  std::int32_t Max = 1000;
  float Sum = 0;  // single precision, as the distribution has always been summed
  float SumOfSquares = 0;
};

/// Reads the reported flows of the grid's statuses and the axis bounds: whole thousands around
/// the flows, at least 1000 veh/h wide.
CapacityFlows ReadCapacityFlows(const std::vector<std::string>& statuses);

// Mean, median and standard deviation of two or more flows [veh/h].
struct CapacityStatistics {
  int Mean = 0;
  int Median = 0;
  int StandardDeviation = 0;
};
/// `sorted` ascending, at least two flows.
CapacityStatistics FlowStatistics(const std::vector<std::int32_t>& sorted, float sum,
                                  float sumOfSquares);

// The mapping of flows and probabilities onto a picture of Width x Height pixels.
struct CapacityMapping {
  int Width = 0;
  int Height = 0;
  std::int32_t Min = 1000;
  std::int32_t Max = 2000;
  int PlotHeight() const { return Height - 60; }
  int X(std::int64_t flow) const;
  int Y(double probability) const;
};

/// The step between flow ticks when `labelsThatFit` labels fit on the axis.
int FlowTickStep(std::int32_t min, std::int32_t max, int labelsThatFit);

/// The flows of the ticks: multiples of the step from the one at or below min up to max.
std::vector<std::int32_t> FlowTicks(std::int32_t min, std::int32_t max, int step);
