#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"

namespace {

// A road of `sections` sections of 10 m with three lanes and one origin and destination, as
// the writer lays it out: section ends from upstream, one group per section on every lane.
std::string LongRoadText(int sections) {
  std::string text = "version: 1.0\nsections:";
  for (int s = 1; s <= sections; s++) text += " " + std::to_string(10 * s);
  for (int lane = 0; lane < MAX_KAVROLANE; lane++) {
    const char* group = lane == 0   ? " 1,0,1.0,120.0,0.000,0"
                        : lane == 1 ? " 0,0,1.0,120.0,0.000,0"
                        : lane == 2 ? " 2,0,1.0,120.0,0.000,0"
                                    : " 9,0,1.0,120.0,0.000,0";
    text += "\nlane " + std::to_string(lane) + ":";
    for (int s = 0; s < sections; s++) text += group;
  }
  text += "\nsource 0: " + std::to_string(sections - 1) + " 0 2 Entry\nsink 0: 0 0 2 Exit\n";
  text +=
      "vehicle types: 1\nvehicle general param 0: 3.0\nvehicle specific param 0 0: 1.0\n"
      "flow 0: 0|01000\nvehicle probabilities 0: 1.000\n"
      "source to sink 0 0: 1.00\nrandom seed: 1\ntime step size: 0.50\n"
      "maximum simulation time: 600\nend of file:\n";
  return text;
}

}  // namespace

// Reading a configuration of N sections; the time grows with N, not with N squared.
static void BM_ReadSections(benchmark::State& state) {
  const std::string text = LongRoadText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::unique_ptr<KDConfig> config;
    if (!LoadConfigText("long.kav", text, config).ok) state.SkipWithError("not read");
    benchmark::DoNotOptimize(config);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadSections)->Arg(1000)->Arg(MAXSECTIONS)->Unit(benchmark::kMillisecond);
