// The capacity estimate: which periods of a run are observations, the product-limit table, and
// the censored Weibull fit with its intervals.

#include <gtest/gtest.h>

#include <cmath>

#include "shell/CapacityEstimate.h"
#include "shell/GoldenFile.h"
#include "support/XorShiftRandom.h"

namespace {

CapacityObservation Obs(int flow, bool breakdown, int run = 1) {
  return {run, 101, 300, flow, breakdown};
}

// A uniform number in (0, 1) from the test generator.
double Uniform(XorShiftRandom& random) { return (random.Next() + 0.5) / 4294967296.0; }

// A capacity drawn from the Weibull distribution by inverting its distribution function.
double DrawWeibull(XorShiftRandom& random, double shape, double scale) {
  return scale * std::pow(-std::log(1 - Uniform(random)), 1 / shape);
}

TEST(CapacityRunObservations, PeriodBeforeTheDropIsTheBreakdown) {
  CapacityRunFlows flows;
  flows.Measured = true;
  flows.Times = {300, 600, 900, 1200, 1500};
  flows.Flows = {2400, 3000, 3600, 1800, 1200};
  flows.BreakdownPeriod = 3;  // the drop showed in the record of the fourth period
  std::vector<CapacityObservation> observations;
  AppendRunObservations(7, 113, flows, observations);
  ASSERT_EQ(observations.size(), 3u);
  EXPECT_FALSE(observations[0].Breakdown);
  EXPECT_FALSE(observations[1].Breakdown);
  EXPECT_TRUE(observations[2].Breakdown);
  EXPECT_EQ(observations[2].Flow, 3600);
  EXPECT_EQ(observations[2].Time, 900);
  EXPECT_EQ(observations[2].Run, 7);
  EXPECT_EQ(observations[2].Seed, 113);
}

TEST(CapacityRunObservations, RunWithoutDropIsCensoredThroughout) {
  CapacityRunFlows flows;
  flows.Measured = true;
  flows.Times = {300, 600};
  flows.Flows = {2400, 3000};
  std::vector<CapacityObservation> observations;
  AppendRunObservations(1, 101, flows, observations);
  ASSERT_EQ(observations.size(), 2u);
  EXPECT_FALSE(observations[0].Breakdown || observations[1].Breakdown);
}

TEST(CapacityRunObservations, DropInFirstPeriodOrUnmeasuredRunGivesNothing) {
  CapacityRunFlows flows;
  flows.Measured = true;
  flows.Times = {300, 600};
  flows.Flows = {2400, 3000};
  flows.BreakdownPeriod = 0;
  std::vector<CapacityObservation> observations;
  AppendRunObservations(1, 101, flows, observations);
  EXPECT_TRUE(observations.empty());
  flows.BreakdownPeriod = -1;
  flows.Measured = false;  // aborted by the user or failed in the kernel
  AppendRunObservations(1, 101, flows, observations);
  EXPECT_TRUE(observations.empty());
}

TEST(ProductLimitEstimate, HandCheckedTable) {
  // Breakdowns at 1200, 1500 (twice) and 2000; censored at 1000, 1200 and 1800.
  std::vector<CapacityObservation> observations = {
      Obs(1500, true),  Obs(1000, false), Obs(1200, true), Obs(2000, true),
      Obs(1200, false), Obs(1800, false), Obs(1500, true)};
  std::vector<ProductLimitStep> steps = ProductLimitEstimate(observations);
  ASSERT_EQ(steps.size(), 3u);
  // 1200: 6 of 7 flows are at least 1200, one broke down: S = 5/6.
  EXPECT_EQ(steps[0].Flow, 1200);
  EXPECT_EQ(steps[0].AtRisk, 6);
  EXPECT_EQ(steps[0].Breakdowns, 1);
  EXPECT_NEAR(steps[0].Distribution, 1.0 / 6, 1e-12);
  // 1500: 1500, 1500, 1800, 2000 at risk, two broke down: S = 5/6 * 2/4.
  EXPECT_EQ(steps[1].AtRisk, 4);
  EXPECT_EQ(steps[1].Breakdowns, 2);
  EXPECT_NEAR(steps[1].Distribution, 1 - 5.0 / 12, 1e-12);
  // 2000: the last flow at risk broke down.
  EXPECT_EQ(steps[2].AtRisk, 1);
  EXPECT_NEAR(steps[2].Distribution, 1.0, 1e-12);
}

TEST(ProductLimitEstimate, CensoredRunsRaiseTheEstimate) {
  // Counting only the breakdowns puts half the mass at 2000; the censored runs at 2500 say
  // that the capacity of those runs was higher.
  std::vector<CapacityObservation> onlyBreakdowns = {Obs(2000, true), Obs(3000, true)};
  std::vector<CapacityObservation> withCensored = onlyBreakdowns;
  withCensored.push_back(Obs(2500, false));
  withCensored.push_back(Obs(2500, false));
  EXPECT_NEAR(ProductLimitEstimate(onlyBreakdowns)[0].Distribution, 0.5, 1e-12);
  EXPECT_NEAR(ProductLimitEstimate(withCensored)[0].Distribution, 0.25, 1e-12);
}

TEST(WeibullFit, RecoversKnownParametersFromCensoredData) {
  const double shape = 12;
  const double scale = 4200;
  XorShiftRandom random(20261209);
  std::vector<CapacityObservation> observations;
  for (int run = 1; run <= 400; ++run) {
    const double capacity = DrawWeibull(random, shape, scale);
    // The demand of a run reaches some level; runs whose capacity lies above it are censored.
    const double demand = 3200 + 1600 * Uniform(random);
    // Lower flows before the last period are censored observations too.
    observations.push_back(Obs(static_cast<int>(std::min(capacity, demand) * 0.8), false, run));
    if (capacity <= demand)
      observations.push_back(Obs(static_cast<int>(std::lround(capacity)), true, run));
    else
      observations.push_back(Obs(static_cast<int>(demand), false, run));
  }
  WeibullFit fit = FitWeibull(observations);
  ASSERT_TRUE(fit.Converged) << fit.Failure;
  const double shapeHalf = 1.96 * std::sqrt(fit.VarLogShape);
  const double scaleHalf = 1.96 * std::sqrt(fit.VarLogScale);
  EXPECT_LT(std::fabs(std::log(fit.Shape / shape)), shapeHalf) << fit.Shape << " +- " << shapeHalf;
  EXPECT_LT(std::fabs(std::log(fit.Scale / scale)), scaleHalf) << fit.Scale << " +- " << scaleHalf;
  const double median = scale * std::pow(std::log(2.0), 1 / shape);
  EXPECT_LT(fit.MedianLow95, median);
  EXPECT_GT(fit.MedianHigh95, median);
  EXPECT_LT(fit.MedianLow95, fit.Median);
  EXPECT_GT(fit.MedianHigh95, fit.Median);
  // The intervals are informative: a few per cent, not the whole axis.
  EXPECT_LT(fit.MedianHigh95 - fit.MedianLow95, 0.05 * fit.Median);
}

TEST(WeibullFit, MaximumIsWhereTheScoreVanishes) {
  // Independent of the solver: at the fitted parameters the log-likelihood does not grow in
  // any direction.
  std::vector<CapacityObservation> observations = {
      Obs(3600, true),  Obs(3900, true), Obs(4100, true), Obs(4400, false),
      Obs(3000, false), Obs(4250, true), Obs(3800, false)};
  WeibullFit fit = FitWeibull(observations);
  ASSERT_TRUE(fit.Converged);
  auto logLikelihood = [&](double a, double b) {
    double sum = 0;
    for (const CapacityObservation& o : observations) {
      const double z = std::pow(o.Flow / b, a);
      sum -= z;
      if (o.Breakdown) sum += std::log(a / b) + (a - 1) * std::log(o.Flow / b);
    }
    return sum;
  };
  const double best = logLikelihood(fit.Shape, fit.Scale);
  for (double da : {-0.01, 0.01})
    for (double db : {-0.001, 0.0, 0.001})
      EXPECT_LT(logLikelihood(fit.Shape * (1 + da), fit.Scale * (1 + db)), best);
}

TEST(WeibullFit, SaysWhyItHasNoNumbers) {
  EXPECT_EQ(FitWeibull({Obs(2000, false), Obs(2500, false)}).Failure, "no breakdown");
  // Every breakdown at the highest flow: the likelihood grows without end towards a step.
  WeibullFit steep = FitWeibull({Obs(2000, true), Obs(1000, false), Obs(2000, true)});
  EXPECT_FALSE(steep.Converged);
  EXPECT_NE(steep.Failure.find("no maximum"), std::string::npos) << steep.Failure;
}

TEST(CapacitySummaryText, GoldenReport) {
  std::vector<CapacityObservation> observations = {
      Obs(3600, true, 1),  Obs(2400, false, 2), Obs(3900, true, 2), Obs(4100, true, 3),
      Obs(4400, false, 4), Obs(3000, false, 5), Obs(4250, true, 5), Obs(3800, false, 6)};
  ExpectGolden("capacity-report.txt", CapacitySummaryText(SummarizeCapacity(observations, 6)));
}

TEST(CapacitySummaryText, WithoutBreakdownTheFitReadsNone) {
  const std::string text = CapacitySummaryText(SummarizeCapacity({Obs(2000, false)}, 1));
  EXPECT_EQ(text,
            "runs\t1\nbreakdowns\t0\nobservations\t1\ncensored\t1\nweibull_shape\tnone\n"
            "weibull_scale\tnone\nmedian_capacity\tnone\nmedian_capacity_low95\tnone\n"
            "median_capacity_high95\tnone\n\nflow\tat_risk\tbreakdowns\tdistribution\n");
}

TEST(CapacitySummaryText, FitWithoutMaximumPrintsNoNumbers) {
  const std::string text = CapacitySummaryText(
      SummarizeCapacity({Obs(2000, true), Obs(1000, false), Obs(2000, true)}, 2));
  EXPECT_NE(text.find("weibull_shape\tnot converged\n"), std::string::npos) << text;
  EXPECT_NE(text.find("median_capacity\tnot converged\n"), std::string::npos) << text;
  EXPECT_NE(text.find("2000\t2\t2\t1.0000\n"), std::string::npos) << text;
}

TEST(WeibullFitBand, ContainsTheCurveAndWidensAwayFromTheData) {
  std::vector<CapacityObservation> observations = {
      Obs(3600, true),  Obs(3900, true), Obs(4100, true), Obs(4400, false),
      Obs(3000, false), Obs(4250, true), Obs(3800, false)};
  WeibullFit fit = FitWeibull(observations);
  ASSERT_TRUE(fit.Converged);
  for (double flow : {3000.0, 3900.0, 4500.0}) {
    double low = 0, high = 0;
    fit.DistributionBand(flow, low, high);
    EXPECT_LT(low, fit.Distribution(flow));
    EXPECT_GT(high, fit.Distribution(flow));
  }
  EXPECT_NEAR(fit.Distribution(fit.Median), 0.5, 1e-9);
}

}  // namespace
