#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "BenchSupport.h"
#include "shell/CommandLine.h"
#include "shell/KernelSimulation.h"
#include "shell/RunController.h"
#include "views/ContourGrid.h"
#include "views/TrajectoryDrawing.h"

// Drawing the trajectory and contour diagrams of a whole hour of the 50 km motorway: the tracks
// of one run through the run controller (as the desktop program keeps them), drawn over the
// whole road and hour on a plot of 1000 × 700 pixels. `max_gap_ms` is the longest stretch of
// drawing between two moments at which the window lets pending events run.

namespace {

struct HourRun {
  std::unique_ptr<KDConfig> config;
  OutputFileSettings outputs;
  std::unique_ptr<RunController> run;
  bench::SilentSink sink;
  long long samples = 0;
  HourRun() {
    LoadConfig(bench::ExamplePath("bench-motorway-50km.kav"), config);
    auto simulation = std::make_unique<KernelSimulation>();
    simulation->GetKernel().SetMessageSink(&sink);
    run = std::make_unique<RunController>(std::move(simulation), outputs);
    run->SetConfiguration(config.get());
    run->Run();
    for (const VehicleTrack& track : run->Tracks().Tracks())
      samples += static_cast<long long>(track.Samples.size());
  }
};

const HourRun& Hour() {
  static HourRun hour;
  return hour;
}

const DiagramMargins kMargins = DiagramMargins::FromTextExtents(30, 25, 14);

DiagramMapping FullView(const HourRun& hour) {
  return DiagramMapping(hour.config->Length(), hour.config->MaxTime(),
                        1000 + kMargins.left + kMargins.right, 700 + kMargins.top + kMargins.bottom,
                        kMargins, DiagramView{});
}

// The window's cadence: events after 20000 points or 500 tracks.
struct EventCadence {
  long long nextEvents = 20000;
  int tracks = 0;
  std::chrono::steady_clock::time_point last = std::chrono::steady_clock::now();
  double maxGap = 0;
  bool operator()(long long points) {
    if (points >= nextEvents || ++tracks >= 500) {
      nextEvents = points + 20000;
      tracks = 0;
      auto now = std::chrono::steady_clock::now();
      maxGap = std::max(maxGap, std::chrono::duration<double, std::milli>(now - last).count());
      last = now;
    }
    return true;
  }
};

void BM_TrajectoryDiagramHour50km(benchmark::State& state) {
  const HourRun& hour = Hour();
  const DiagramMapping mapping = FullView(hour);
  const RunState& run = hour.run->State();
  double maxGap = 0;
  for (auto _ : state) {
    PixelRaster layer(mapping.Width() - kMargins.left, mapping.AxisY() + 1, {192, 192, 192});
    EventCadence cadence;
    auto result = DrawTrajectoryLines(hour.run->Tracks().Tracks(), mapping, LaneFilter{},
                                      hour.config->LanesUsed(), run.StepsPerSecond, run.StepCount,
                                      layer, std::ref(cadence));
    benchmark::DoNotOptimize(result);
    maxGap = std::max(maxGap, cadence.maxGap);
  }
  state.counters["samples"] = static_cast<double>(hour.samples);
  state.counters["max_gap_ms"] = maxGap;
}
BENCHMARK(BM_TrajectoryDiagramHour50km)->Unit(benchmark::kMillisecond);

void BM_ContourDiagramHour50km(benchmark::State& state) {
  const HourRun& hour = Hour();
  const DiagramMapping mapping = FullView(hour);
  const RunState& run = hour.run->State();
  double maxGap = 0;
  for (auto _ : state) {
    PixelRaster layer(mapping.Width() - kMargins.left, mapping.AxisY() + 1, {192, 192, 192});
    ContourGrid grid;
    grid.Layout(mapping, layer.Width(), layer.Height(), run.StepsPerSecond);
    EventCadence cadence;
    bool done = grid.AddTracks(hour.run->Tracks().Tracks(), LaneFilter{}, run.StepCount,
                               hour.config->Length(), std::ref(cadence));
    grid.Paint(layer);
    benchmark::DoNotOptimize(done);
    maxGap = std::max(maxGap, cadence.maxGap);
  }
  state.counters["samples"] = static_cast<double>(hour.samples);
  state.counters["max_gap_ms"] = maxGap;
}
BENCHMARK(BM_ContourDiagramHour50km)->Unit(benchmark::kMillisecond);

}  // namespace
