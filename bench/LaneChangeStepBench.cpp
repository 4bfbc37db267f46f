#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "kernel/Kernel.h"

// SimulateStep on the busy three-lane example with lane changing, once its road has filled
// up. "vehicle_updates" is the number of vehicles on the road times steps per wall-clock
// second.

namespace {

class SilentSink : public KernelMessageSink {
 public:
  void Show(const KernelReport&) override {}
};

int VehiclesOnRoad(const Kernel& kernel) {
  int count = 0;
  for (RoadObject* object = kernel.FirstObject(); object; object = object->Next())
    if (object->IsVehicle()) ++count;
  return count;
}

void BM_SimulateStepBusyMotorway(benchmark::State& state) {
  const std::string path = std::string(KAVRO_SOURCE_DIR) + "/examples/bench-motorway.kav";
  std::ifstream in(path, std::ios::binary);
  KDConfig config;
  if (!in || !ParseKavroConfig(path, in, config).ok) {
    state.SkipWithError("cannot read examples/bench-motorway.kav");
    return;
  }
  Kernel kernel;
  SilentSink sink;
  kernel.SetMessageSink(&sink);
  if (!kernel.KAV_setup(config, 4711, "")) {
    state.SkipWithError("set-up failed");
    return;
  }
  for (int step = 0; step < 600 * kernel.StepsPerSecond(); ++step) kernel.SimulateStep();
  double updates = 0;
  for (auto _ : state) {
    updates += VehiclesOnRoad(kernel);
    if (!kernel.SimulateStep()) {
      state.SkipWithError("the kernel stopped");
      return;
    }
  }
  state.counters["vehicles"] = VehiclesOnRoad(kernel);
  state.counters["vehicle_updates"] = benchmark::Counter(updates, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimulateStepBusyMotorway)->Unit(benchmark::kMicrosecond);

}  // namespace
