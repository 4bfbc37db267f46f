#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "shell/CommandLine.h"
#include "shell/KernelSimulation.h"
#include "shell/RunController.h"

// Runs a configuration once through the run controller as the desktop program does, keeping
// the vehicle tracks of every step for the trajectory diagram, and prints the peak resident
// set size of the process with the size of the tracks.
//
//   kavro_track_memory [CONFIG]     (default: examples/bench-motorway.kav)

namespace {

long PeakResidentKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // [kB] on Linux
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : bench::ExamplePath("bench-motorway.kav");
  std::unique_ptr<KDConfig> config;
  if (!LoadConfig(path, config).ok) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  const long before = PeakResidentKilobytes();
  OutputFileSettings outputs;
  auto simulation = std::make_unique<KernelSimulation>();
  bench::SilentSink sink;
  simulation->GetKernel().SetMessageSink(&sink);
  RunController controller(std::move(simulation), outputs);
  controller.SetConfiguration(config.get());
  controller.SetCurrentFileName(path);
  const auto start = std::chrono::steady_clock::now();
  controller.Run();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  const RunState& state = controller.State();
  std::size_t samples = 0, reserved = 0;
  for (const VehicleTrack& track : controller.Tracks().Tracks()) {
    samples += track.Samples.size();
    reserved += track.Samples.capacity();
  }
  const std::size_t tracks = controller.Tracks().Tracks().size();
  std::printf("configuration      %s\n", path.c_str());
  std::printf("steps              %d of %d\n", state.StepCount, state.TotalSteps);
  std::printf("tracks             %zu\n", tracks);
  std::printf("samples            %zu (%zu reserved, %.1f MB)\n", samples, reserved,
              reserved * sizeof(std::uint32_t) / 1e6);
  std::printf("wall-clock time    %.2f s\n", seconds);
  std::printf("peak RSS before    %.1f MB\n", before / 1024.0);
  std::printf("peak RSS           %.1f MB\n", PeakResidentKilobytes() / 1024.0);
  return state.StepCount == state.TotalSteps ? 0 : 1;
}
