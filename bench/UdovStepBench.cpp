#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "KernelStepLoop.h"
#include "UdovModel.h"
#include "config/KDConfig.h"
#include "config/RoadTypes.h"
#include "kernel/Kernel.h"

// The external model library against the built-in kernel on a comparable road: 5 km, two
// lanes, 1800 veh/h per lane of cars and trucks, time step 0.5 s, measured after ten minutes.
// The kernel's lanes allow no lane changes (it needs lane change areas for them); the udov
// model changes lanes with MOBIL, which costs it extra neighbour look-ups per vehicle.

static void BM_UdovStepTwoLanes(benchmark::State& state) {
  udov::Model model;
  udov::ConfigData& c = model.Config();
  c.links = 1;
  c.link[0].length = 5000;
  c.link[0].lanes = 2;
  c.flow = 3600;
  model.Reset();
  if (!model.Prepare()) state.SkipWithError("the model did not prepare");
  for (int step = 0; step < 2 * 600; ++step) model.Step();
  int64_t updates = 0;
  int vehicles = 0;
  for (auto _ : state) {
    vehicles = static_cast<int>(model.Vehicles().size());
    model.Step();
    updates += vehicles;
  }
  state.counters["vehicles"] = vehicles;
  state.counters["updates/s"] =
      benchmark::Counter(static_cast<double>(updates), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_UdovStepTwoLanes);

static void BM_KernelStepTwoLanes(benchmark::State& state) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 0, PP_LANETYPE, LANETYPE_UNPAVED);
  for (int lane = 1; lane < 3; ++lane)
    config.SetPhysicalSectionProperty(0, lane, PP_LANETYPE, LANETYPE_NOCHANGE);
  for (int origin = 0; origin < config.SourceCount(); ++origin) {
    config.SetOFlow(origin, 0, 1800);
    const float shares[] = {0.85f, 0, 0, 0.15f, 0};
    for (int type = 0; type < 5; ++type) config.SetOVProbability(origin, type, shares[type]);
    for (int sink = 0; sink < config.SinkCount(); ++sink)
      config.SetODProbability(origin, sink, -1,
                              config.SinkFromLane(sink) == config.SourceFromLane(origin) ? 1 : 0);
  }
  bench::MeasureKernelSteps(state, config);
}
BENCHMARK(BM_KernelStepTwoLanes);
