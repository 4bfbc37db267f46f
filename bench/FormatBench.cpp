#include <benchmark/benchmark.h>

#include "config/ProgramError.h"

// Placeholder until the kernel exists: the cost of formatting a message text.
static void BM_Format(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Format("%s=%d", "Lane", 3));
}
BENCHMARK(BM_Format);
