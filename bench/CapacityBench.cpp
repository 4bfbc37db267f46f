// The censored Weibull fit of the capacity estimate on a million observations.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "shell/CapacityEstimate.h"

namespace {

// Observations of a Weibull capacity (shape 12, scale 4200 veh/h) with random censoring, drawn
// with a fixed xorshift generator.
std::vector<CapacityObservation> Observations(int count) {
  std::uint64_t state = 88172645463325252ull;
  auto uniform = [&state] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return (static_cast<double>(state >> 11) + 0.5) / 9007199254740992.0;
  };
  std::vector<CapacityObservation> observations;
  observations.reserve(count);
  for (int i = 0; i < count; ++i) {
    const double capacity = 4200 * std::pow(-std::log(1 - uniform()), 1 / 12.0);
    const double demand = 3000 + 1800 * uniform();
    const bool breakdown = capacity <= demand;
    observations.push_back(
        {i / 10 + 1, 1, 300, static_cast<int>(breakdown ? capacity : demand), breakdown});
  }
  return observations;
}

void BM_WeibullFitMillion(benchmark::State& state) {
  const std::vector<CapacityObservation> observations = Observations(1000000);
  for (auto _ : state) {
    WeibullFit fit = FitWeibull(observations);
    benchmark::DoNotOptimize(fit.Median);
  }
}
BENCHMARK(BM_WeibullFitMillion)->Unit(benchmark::kMillisecond);

void BM_ProductLimitMillion(benchmark::State& state) {
  const std::vector<CapacityObservation> observations = Observations(1000000);
  for (auto _ : state) benchmark::DoNotOptimize(ProductLimitEstimate(observations).size());
}
BENCHMARK(BM_ProductLimitMillion)->Unit(benchmark::kMillisecond);

}  // namespace
