#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Stochastic capacity from batch runs. Every detector period of a run before its breakdown is
// an observation of the flow the road carried: the period just before the speed drop is a
// breakdown (the capacity was reached at that flow), the earlier ones are censored (the
// capacity was higher than the flow seen). Runs without a speed drop are censored throughout.
// Treating them so keeps the estimate from being biased low, as it is when only the runs that
// broke down are counted.

// What one batch run measured at the report detector.
struct CapacityRunFlows {
  bool Measured = false;       // the run finished and a detector measured its flows
  std::vector<int> Times;      // output time of each detector period [s]
  std::vector<int> Flows;      // flow of each period over all lanes [veh/h]
  int BreakdownPeriod = -1;    // the period whose record showed the speed drop; -1 = none
  std::string HeldBackOrigin;  // an origin that held vehicles back for more than one period
};

struct CapacityObservation {
  int Run = 0;
  std::int32_t Seed = 0;
  int Time = 0;  // output time of the period [s]
  int Flow = 0;  // [veh/h]
  bool Breakdown = false;
};

/// Appends the observations of a run: periods 0 .. B-2 censored and B-1 a breakdown when the
/// drop was found in period B >= 1; all periods censored without a drop; none for a drop in
/// period 0.
void AppendRunObservations(int run, std::int32_t seed, const CapacityRunFlows& flows,
                           std::vector<CapacityObservation>& observations);

// One step of the product-limit estimate, at a flow where breakdowns were seen.
struct ProductLimitStep {
  int Flow = 0;             // [veh/h]
  int AtRisk = 0;           // observations with a flow of at least Flow, censored ones included
  int Breakdowns = 0;       // breakdowns at Flow
  double Distribution = 0;  // estimated probability that the capacity is at most Flow
};

/// The product-limit estimate F(q) = 1 - prod over breakdown flows q_i <= q of (k_i - d_i) / k_i,
/// one step per distinct breakdown flow in increasing order.
std::vector<ProductLimitStep> ProductLimitEstimate(
    const std::vector<CapacityObservation>& observations);

// The Weibull distribution F(q) = 1 - exp(-(q / Scale)^Shape) fitted by maximum likelihood:
// breakdowns contribute the density, censored observations the survival function.
struct WeibullFit {
  bool Converged = false;
  std::string Failure;  // why there are no numbers, when not converged
  double Shape = 0;     // alpha
  double Scale = 0;     // beta [veh/h]
  // Covariance of (ln alpha, ln beta) from the observed information.
  double VarLogShape = 0;
  double VarLogScale = 0;
  double CovLogShapeScale = 0;
  double Median = 0;  // beta (ln 2)^(1/alpha) [veh/h]
  double MedianLow95 = 0;
  double MedianHigh95 = 0;

  /// The fitted distribution function at `flow`.
  double Distribution(double flow) const;
  /// The 95 % band of the distribution function at `flow` (delta method on ln(-ln(1 - F))).
  void DistributionBand(double flow, double& low, double& high) const;
};

/// Fits the Weibull distribution; needs at least one breakdown and flows above 0.
WeibullFit FitWeibull(const std::vector<CapacityObservation>& observations);

// The summary of a set of observations, as kavro-batch prints it.
struct CapacitySummary {
  int Runs = 0;
  int Breakdowns = 0;
  int Observations = 0;
  int Censored = 0;
  WeibullFit Fit;
  std::vector<ProductLimitStep> Steps;
};

CapacitySummary SummarizeCapacity(const std::vector<CapacityObservation>& observations, int runs);

/// The "key\tvalue" lines, a blank line and the product-limit table, each line ended by "\n".
std::string CapacitySummaryText(const CapacitySummary& summary);
