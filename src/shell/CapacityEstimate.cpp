#include "shell/CapacityEstimate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "config/ProgramError.h"

namespace {

constexpr double kZ95 = 1.959963984540054;  // two-sided 95 % quantile of the normal law
constexpr int kMaxNewtonSteps = 200;
constexpr double kMaxShape = 1e4;  // shapes beyond this are a step function, not a fit

// The profile score of the shape, with flows scaled to at most 1: for a given shape the
// likelihood is largest at beta^alpha = sum q^alpha / d, which leaves one equation in alpha,
//   g(alpha) = 1 / alpha - sum q^alpha ln q / sum q^alpha + mean of ln q over the breakdowns,
// decreasing in alpha. Returns g and its derivative.
struct ShapeScore {
  const std::vector<double>& logFlows;  // ln of the scaled flows, every observation
  double meanBreakdownLog;
  void operator()(double alpha, double& g, double& slope) const {
    double s0 = 0;
    double s1 = 0;
    double s2 = 0;
    for (double l : logFlows) {
      const double w = std::exp(alpha * l);
      s0 += w;
      s1 += w * l;
      s2 += w * l * l;
    }
    const double m = s1 / s0;
    g = 1 / alpha - m + meanBreakdownLog;
    slope = -1 / (alpha * alpha) - (s2 / s0 - m * m);
  }
};

bool SolveShape(const ShapeScore& score, double& alpha) {
  double g = 0;
  double slope = 0;
  // Bracket the root: g falls from +infinity near 0; find a shape where it is negative.
  double low = 0;
  double high = 1;
  for (score(high, g, slope); g > 0; score(high, g, slope)) {
    low = high;
    high *= 2;
    if (high > kMaxShape) return false;
  }
  alpha = low > 0 ? (low + high) / 2 : high / 2;
  for (int step = 0; step < kMaxNewtonSteps; ++step) {
    score(alpha, g, slope);
    if (g > 0)
      low = alpha;
    else
      high = alpha;
    double next = slope < 0 ? alpha - g / slope : (low + high) / 2;
    // Newton's step is kept only inside the bracket; else the bracket is halved.
    if (!(next > low && next < high)) next = (low + high) / 2;
    if (std::fabs(next - alpha) <= 1e-12 * alpha) {
      alpha = next;
      return true;
    }
    alpha = next;
  }
  return false;
}

}  // namespace

void AppendRunObservations(int run, std::int32_t seed, const CapacityRunFlows& flows,
                           std::vector<CapacityObservation>& observations) {
  if (!flows.Measured) return;
  const int periods = static_cast<int>(std::min(flows.Times.size(), flows.Flows.size()));
  if (flows.BreakdownPeriod == 0) return;  // broke down before anything was measured
  const int last =
      flows.BreakdownPeriod > 0 ? std::min(flows.BreakdownPeriod - 1, periods - 1) : periods - 1;
  for (int p = 0; p <= last; ++p)
    observations.push_back({run, seed, flows.Times[p], flows.Flows[p],
                            flows.BreakdownPeriod > 0 && p == flows.BreakdownPeriod - 1});
}

std::vector<ProductLimitStep> ProductLimitEstimate(
    const std::vector<CapacityObservation>& observations) {
  std::vector<int> all;
  std::vector<int> breakdowns;
  all.reserve(observations.size());
  for (const CapacityObservation& o : observations) {
    all.push_back(o.Flow);
    if (o.Breakdown) breakdowns.push_back(o.Flow);
  }
  std::sort(all.begin(), all.end());
  std::sort(breakdowns.begin(), breakdowns.end());
  std::vector<ProductLimitStep> steps;
  double survival = 1;
  for (size_t i = 0; i < breakdowns.size();) {
    size_t j = i;
    while (j < breakdowns.size() && breakdowns[j] == breakdowns[i]) ++j;
    ProductLimitStep step;
    step.Flow = breakdowns[i];
    step.Breakdowns = static_cast<int>(j - i);
    step.AtRisk = static_cast<int>(all.end() - std::lower_bound(all.begin(), all.end(), step.Flow));
    survival *= static_cast<double>(step.AtRisk - step.Breakdowns) / step.AtRisk;
    step.Distribution = 1 - survival;
    steps.push_back(step);
    i = j;
  }
  return steps;
}

double WeibullFit::Distribution(double flow) const {
  if (!Converged || flow <= 0) return 0;
  return 1 - std::exp(-std::pow(flow / Scale, Shape));
}

void WeibullFit::DistributionBand(double flow, double& low, double& high) const {
  low = high = Distribution(flow);
  if (!Converged || flow <= 0) return;
  // y = ln(-ln(1 - F)) = alpha (ln q - ln beta); its gradient in (ln alpha, ln beta).
  const double y = Shape * (std::log(flow) - std::log(Scale));
  const double ga = y;
  const double gb = -Shape;
  const double variance =
      ga * ga * VarLogShape + 2 * ga * gb * CovLogShapeScale + gb * gb * VarLogScale;
  const double half = kZ95 * std::sqrt(std::max(variance, 0.0));
  low = 1 - std::exp(-std::exp(y - half));
  high = 1 - std::exp(-std::exp(y + half));
}

WeibullFit FitWeibull(const std::vector<CapacityObservation>& observations) {
  WeibullFit fit;
  int maxFlow = 0;
  int d = 0;
  for (const CapacityObservation& o : observations) {
    if (o.Flow <= 0 && o.Breakdown) {
      fit.Failure = "a breakdown at a flow of 0";
      return fit;
    }
    maxFlow = std::max(maxFlow, o.Flow);
    if (o.Breakdown) ++d;
  }
  if (d == 0) {
    fit.Failure = "no breakdown";
    return fit;
  }
  // Flows scaled by the largest keep q^alpha within range for any shape; censored flows of 0
  // say nothing (the survival at 0 is 1) and are left out.
  std::vector<double> logFlows;
  logFlows.reserve(observations.size());
  double breakdownLogSum = 0;
  for (const CapacityObservation& o : observations) {
    if (o.Flow <= 0) continue;
    const double l = std::log(static_cast<double>(o.Flow) / maxFlow);
    logFlows.push_back(l);
    if (o.Breakdown) breakdownLogSum += l;
  }
  const ShapeScore score{logFlows, breakdownLogSum / d};
  double alpha = 0;
  if (!SolveShape(score, alpha)) {
    fit.Failure = "the likelihood has no maximum (every breakdown at the highest flow seen)";
    return fit;
  }
  double sumZ = 0;
  double sumZL = 0;
  double sumZL2 = 0;
  double sumW = 0;
  for (double l : logFlows) sumW += std::exp(alpha * l);
  const double beta = std::pow(sumW / d, 1 / alpha);  // scaled
  const double logBeta = std::log(beta);
  for (double l : logFlows) {
    const double lb = l - logBeta;
    const double z = std::exp(alpha * lb);
    sumZ += z;
    sumZL += z * lb;
    sumZL2 += z * lb * lb;
  }
  // Second derivatives of the log-likelihood in (alpha, beta); at the maximum the Hessian in
  // (ln alpha, ln beta) is J H J with J = diag(alpha, beta).
  const double haa = alpha * alpha * (-d / (alpha * alpha) - sumZL2);
  const double hab = alpha * (-d + alpha * sumZL + sumZ);
  const double hbb = -alpha * (sumZ - d) - alpha * alpha * sumZ;
  // Observed information = -Hessian; its inverse is the covariance.
  const double iaa = -haa;
  const double iab = -hab;
  const double ibb = -hbb;
  const double det = iaa * ibb - iab * iab;
  if (!(det > 0) || !(iaa > 0)) {
    fit.Failure = "the observed information is not positive definite";
    return fit;
  }
  fit.Converged = true;
  fit.Shape = alpha;
  fit.Scale = beta * maxFlow;
  fit.VarLogShape = ibb / det;
  fit.VarLogScale = iaa / det;
  fit.CovLogShapeScale = -iab / det;
  const double lnln2 = std::log(std::log(2.0));
  fit.Median = fit.Scale * std::exp(lnln2 / alpha);
  // ln median = ln beta + ln ln 2 / alpha: gradient (-ln ln 2 / alpha, 1) in (ln alpha, ln beta).
  const double ga = -lnln2 / alpha;
  const double variance =
      ga * ga * fit.VarLogShape + 2 * ga * fit.CovLogShapeScale + fit.VarLogScale;
  const double half = kZ95 * std::sqrt(std::max(variance, 0.0));
  fit.MedianLow95 = fit.Median * std::exp(-half);
  fit.MedianHigh95 = fit.Median * std::exp(half);
  return fit;
}

CapacitySummary SummarizeCapacity(const std::vector<CapacityObservation>& observations, int runs) {
  CapacitySummary summary;
  summary.Runs = runs;
  summary.Observations = static_cast<int>(observations.size());
  for (const CapacityObservation& o : observations)
    if (o.Breakdown) ++summary.Breakdowns;
  summary.Censored = summary.Observations - summary.Breakdowns;
  summary.Steps = ProductLimitEstimate(observations);
  summary.Fit = FitWeibull(observations);
  if (summary.Breakdowns == 0) summary.Fit.Failure.clear();
  return summary;
}

std::string CapacitySummaryText(const CapacitySummary& summary) {
  std::string text;
  auto line = [&text](const char* key, const std::string& value) {
    text += key;
    text += '\t';
    text += value;
    text += '\n';
  };
  line("runs", std::to_string(summary.Runs));
  line("breakdowns", std::to_string(summary.Breakdowns));
  line("observations", std::to_string(summary.Observations));
  line("censored", std::to_string(summary.Censored));
  const WeibullFit& fit = summary.Fit;
  // Without a breakdown there is nothing to fit; a fit that failed says so instead of numbers.
  const std::string missing = summary.Breakdowns == 0 ? "none" : "not converged";
  line("weibull_shape", fit.Converged ? Format("%.3f", fit.Shape) : missing);
  line("weibull_scale", fit.Converged ? Format("%.1f", fit.Scale) : missing);
  line("median_capacity", fit.Converged ? Format("%.1f", fit.Median) : missing);
  line("median_capacity_low95", fit.Converged ? Format("%.1f", fit.MedianLow95) : missing);
  line("median_capacity_high95", fit.Converged ? Format("%.1f", fit.MedianHigh95) : missing);
  text += "\nflow\tat_risk\tbreakdowns\tdistribution\n";
  for (const ProductLimitStep& step : summary.Steps) {
    char row[96];
    std::snprintf(row, sizeof row, "%d\t%d\t%d\t%.4f\n", step.Flow, step.AtRisk, step.Breakdowns,
                  step.Distribution);
    text += row;
  }
  return text;
}
