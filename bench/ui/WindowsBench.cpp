// Redrawing the analysis windows offscreen: the capacity window from a batch of 10,000 rows, and
// a detector graph of a one-hour run with 1 s detector periods.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>
#include <vector>

#include "shell/DetectorSample.h"
#include "shell/DetectorValues.h"
#include "views/ui/FormCapacity.h"
#include "views/ui/FormGraph.h"

namespace {

void BM_CapacityWindowRedraw10000Rows(benchmark::State& state) {
  std::vector<std::string> statuses;
  std::uint32_t x = 2463534242u;
  for (int i = 0; i < 10000; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    statuses.push_back("Time 1800: U[1]=35.2 km/h, Time 1500: Q[1]=" +
                       std::to_string(3000 + x % 2000) + " veh/h {2000, 2100}");
  }
  TFormCapacity form;
  form.resize(800, 600);
  form.SetStatusSource([&statuses] { return statuses; });
  form.show();
  for (auto _ : state) form.Redraw();
}
BENCHMARK(BM_CapacityWindowRedraw10000Rows)->Unit(benchmark::kMillisecond);

void BM_DetectorGraphRedrawHourOfSeconds(benchmark::State& state) {
  DetectorSampleStore store;
  store.StartRun(1);
  for (int p = 0; p < 3600; ++p) {
    store.AddPeriod();
    DetectorSample* record = store.Record(p, 0);
    for (int lane = 0; lane < 3; ++lane) {
      record->Count[lane] = (p + lane) % 3;
      record->Speed[lane] = record->Count[lane] > 0 ? 80.0f + (p % 40) : -1;
    }
  }
  TFormGraph graph;
  graph.SetSource(&store, [](int) { return DetectorValueContext{1, 1, 1000}; });
  graph.resize(600, 400);
  graph.SetupGraph(3, 0, 1, 1, 'k', 'q');
  graph.show();
  for (auto _ : state) graph.DrawGraph(3600);
}
BENCHMARK(BM_DetectorGraphRedrawHourOfSeconds)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
