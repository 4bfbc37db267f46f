#include <benchmark/benchmark.h>

#include <cstdint>

#include "BenchSupport.h"

// A whole run of the motorway benchmark configuration: 5 km of three lanes, 4500 veh/h with
// 10 % trucks, a 0.5 s time step, one hour. The same road lengthened to 50 km shows whether
// the cost of a vehicle update grows with the road or with the number of vehicles.
//
// "updates/s" are vehicle updates per second: the vehicles on the road summed over the steps,
// divided by the time of the run (Google Benchmark divides rates by CPU time); "vehicles" is
// the mean number on the road.

namespace {

void RunHour(benchmark::State& state, const char* file) {
  KDConfig config;
  if (!bench::LoadExample(file, config)) {
    state.SkipWithError("cannot read the configuration");
    return;
  }
  int64_t updates = 0, steps = 0;
  for (auto _ : state) {
    Kernel kernel;
    bench::SilentSink sink;
    kernel.SetMessageSink(&sink);
    if (!kernel.KAV_setup(config, config.Seed(), "")) {
      state.SkipWithError("set-up failed");
      return;
    }
    const int total = config.MaxTime() * kernel.StepsPerSecond();
    for (int step = 0; step < total; ++step) {
      updates += bench::VehiclesOnRoad(kernel);
      if (!kernel.SimulateStep()) {
        state.SkipWithError("the kernel stopped");
        return;
      }
    }
    steps += total;
    benchmark::DoNotOptimize(kernel.ArrivedCount());
  }
  const double u = static_cast<double>(updates);
  state.counters["updates/s"] = benchmark::Counter(u, benchmark::Counter::kIsRate);
  state.counters["vehicles"] = benchmark::Counter(u / static_cast<double>(steps));
}

void BM_MotorwayHour5km(benchmark::State& state) { RunHour(state, "bench-motorway.kav"); }
void BM_MotorwayHour50km(benchmark::State& state) { RunHour(state, "bench-motorway-50km.kav"); }

}  // namespace

BENCHMARK(BM_MotorwayHour5km)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MotorwayHour50km)->Unit(benchmark::kMillisecond)->Iterations(1);
