#include <gtest/gtest.h>

#include <thread>

#include "kernel/ExampleRun.h"
#include "shell/GoldenFile.h"

// The golden run: the weaving example (a ramp, an exit, weaving, four detectors) with a fixed
// seed writes the four kernel traces byte for byte as checked in, in every kernel, also in two
// kernels running side by side. KAVRO_UPDATE_GOLDEN rewrites the files for review.

namespace {

constexpr int kGoldenSeconds = 300;  // [s] simulated
constexpr int32_t kGoldenSeed = 20261209;

const char* const kGoldenNames[KERNEL_TRACE_COUNT] = {"kernel-weaving.trc", "kernel-weaving.ddt",
                                                      "kernel-weaving.odt", "kernel-weaving.lct"};

struct GoldenTraces {
  std::string text[KERNEL_TRACE_COUNT];
  std::string failure;
};

GoldenTraces RunGolden(const KDConfig& config) {
  GoldenTraces result;
  ExampleRun run;
  if (!run.kernel.KAV_setup(config, kGoldenSeed, "")) {
    result.failure = "set-up failed";
    return result;
  }
  ::testing::AssertionResult ran = run.Run(kGoldenSeconds);
  if (!ran) result.failure = ran.message();
  for (int i = 0; i < KERNEL_TRACE_COUNT; ++i) result.text[i] = run.traces[i].text;
  return result;
}

}  // namespace

TEST(KernelGoldenRun, WeavingTracesMatchTheCheckedInFiles) {
  KDConfig config;
  ASSERT_TRUE(LoadExample("weaving.kav", config));
  GoldenTraces traces = RunGolden(config);
  ASSERT_EQ(traces.failure, "");
  for (int i = 0; i < KERNEL_TRACE_COUNT; ++i) {
    SCOPED_TRACE(kGoldenNames[i]);
    // Every trace has lines beyond its header, so that the comparison means something.
    EXPECT_GT(std::count(traces.text[i].begin(), traces.text[i].end(), '\n'), 10);
    ExpectGolden(kGoldenNames[i], traces.text[i]);
  }
}

TEST(KernelGoldenRun, RepeatsInOneProcessAndInKernelsSideBySide) {
  KDConfig config;
  ASSERT_TRUE(LoadExample("weaving.kav", config));
  GoldenTraces first = RunGolden(config);
  GoldenTraces again = RunGolden(config);
  GoldenTraces parallel[2];
  std::thread one([&] { parallel[0] = RunGolden(config); });
  std::thread two([&] { parallel[1] = RunGolden(config); });
  one.join();
  two.join();
  ASSERT_EQ(first.failure, "");
  for (int i = 0; i < KERNEL_TRACE_COUNT; ++i) {
    SCOPED_TRACE(kGoldenNames[i]);
    EXPECT_EQ(again.text[i], first.text[i]);
    EXPECT_EQ(parallel[0].text[i], first.text[i]);
    EXPECT_EQ(parallel[1].text[i], first.text[i]);
  }
}

TEST(KernelGoldenRun, AnotherSeedGivesOtherTraces) {
  KDConfig config;
  ASSERT_TRUE(LoadExample("weaving.kav", config));
  GoldenTraces golden = RunGolden(config);
  ExampleRun run;
  ASSERT_TRUE(run.kernel.KAV_setup(config, kGoldenSeed + 1, ""));
  ASSERT_TRUE(run.Run(kGoldenSeconds));
  EXPECT_NE(run.Trace(KernelTrace::LaneChange), golden.text[3]);
}
