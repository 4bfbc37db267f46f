#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "KernelStepLoop.h"
#include "config/KDConfig.h"
#include "config/RoadTypes.h"
#include "kernel/Kernel.h"

namespace {

// The default 5 km, three-lane road with lanes that allow no lane changes, each lane its own
// origin with `flow` [veh/h] of a mix of cars, vans and trucks.
void BusyRoad(KDConfig& config, int flow) {
  for (int lane = 0; lane < 3; ++lane)
    config.SetPhysicalSectionProperty(0, lane, PP_LANETYPE, LANETYPE_NOCHANGE);
  for (int origin = 0; origin < config.SourceCount(); ++origin) {
    config.SetOFlow(origin, 0, flow);
    const float shares[] = {0.4f, 0.3f, 0.15f, 0.1f, 0.05f};
    for (int type = 0; type < 5; ++type) config.SetOVProbability(origin, type, shares[type]);
    for (int sink = 0; sink < config.SinkCount(); ++sink)
      config.SetODProbability(origin, sink, -1,
                              config.SinkFromLane(sink) == config.SourceFromLane(origin) ? 1 : 0);
  }
}

}  // namespace

// One step of a road filled by ten minutes of traffic; reports vehicle updates per second
// (vehicles on the road times steps per wall-clock second).
static void BM_SimulateStepBusyRoad(benchmark::State& state) {
  KDConfig config;
  BusyRoad(config, static_cast<int>(state.range(0)));
  bench::MeasureKernelSteps(state, config);
}
BENCHMARK(BM_SimulateStepBusyRoad)->Arg(1200)->Arg(1800);
