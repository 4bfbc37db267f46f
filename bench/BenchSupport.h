#pragma once

#include <fstream>
#include <string>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "kernel/Kernel.h"

// Shared by the benchmarks and the memory harness: the benchmark configurations and a
// kernel message sink that swallows everything.

namespace bench {

class SilentSink : public KernelMessageSink {
 public:
  void Show(const KernelReport&) override {}
};

inline std::string ExamplePath(const std::string& name) {
  return std::string(KAVRO_SOURCE_DIR) + "/examples/" + name;
}

/// Reads an example configuration; false when it cannot be read.
inline bool LoadExample(const std::string& name, KDConfig& config) {
  const std::string path = ExamplePath(name);
  std::ifstream in(path, std::ios::binary);
  return in && ParseKavroConfig(path, in, config).ok;
}

/// The vehicles on the road now: created and not yet arrived at a sink. Vehicles leave the
/// road only at sinks, so this equals counting them along the object list.
inline int VehiclesOnRoad(const Kernel& kernel) {
  return kernel.VehicleIdCounter() - kernel.ArrivedCount();
}

}  // namespace bench
