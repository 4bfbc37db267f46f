#include <benchmark/benchmark.h>

#include "BenchSupport.h"

// SimulateStep on the motorway benchmark configuration with lane changing, once its road has
// filled up. "updates/s" is the number of vehicles on the road times steps per second.

namespace {

void BM_SimulateStepBusyMotorway(benchmark::State& state) {
  KDConfig config;
  if (!bench::LoadExample("bench-motorway.kav", config)) {
    state.SkipWithError("cannot read examples/bench-motorway.kav");
    return;
  }
  Kernel kernel;
  bench::SilentSink sink;
  kernel.SetMessageSink(&sink);
  if (!kernel.KAV_setup(config, 4711, "")) {
    state.SkipWithError("set-up failed");
    return;
  }
  for (int step = 0; step < 600 * kernel.StepsPerSecond(); ++step) kernel.SimulateStep();
  double updates = 0;
  for (auto _ : state) {
    updates += bench::VehiclesOnRoad(kernel);
    if (!kernel.SimulateStep()) {
      state.SkipWithError("the kernel stopped");
      return;
    }
  }
  state.counters["vehicles"] = bench::VehiclesOnRoad(kernel);
  state.counters["updates/s"] = benchmark::Counter(updates, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimulateStepBusyMotorway)->Unit(benchmark::kMicrosecond);

}  // namespace
