#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

#include "BenchSupport.h"

namespace bench {

// Sets the kernel up on `config`, lets ten minutes of traffic fill the road and measures
// single steps: vehicle updates per second are the vehicles on the road times the steps.
inline void MeasureKernelSteps(benchmark::State& state, const KDConfig& config) {
  Kernel kernel;
  SilentSink sink;
  kernel.SetMessageSink(&sink);
  kernel.KAV_setup(config, 12345, "");
  for (int step = 0; step < 2 * 600; ++step) kernel.SimulateStep();
  const int vehicles = VehiclesOnRoad(kernel);
  int64_t updates = 0;
  for (auto _ : state) {
    if (!kernel.SimulateStep()) state.SkipWithError("the kernel stopped");
    updates += vehicles;
  }
  state.counters["vehicles"] = vehicles;
  state.counters["updates/s"] =
      benchmark::Counter(static_cast<double>(updates), benchmark::Counter::kIsRate);
}

}  // namespace bench
