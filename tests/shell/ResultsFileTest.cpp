#include <gtest/gtest.h>

#include <cstdio>

#include "shell/GoldenFile.h"
#include "shell/ResultsFile.h"
#include "shell/RunTestSupport.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

namespace {

// A short run over the on-ramp example (three lanes, four detectors) with detector output at
// 120, 240 and 360 s and traffic at detectors 1 and 2.
struct ShortRun : FakeRun {
  ShortRun() : FakeRun(360, 120, 120) {
    simulation->onStep = [](int step, FakeSimulation& sim) {
      if (step == 60) {
        sim.detectors[0].Pass(0, 0, 0, 20, 110.0f, 40.0f);
        sim.detectors[0].Pass(0, 1, 0, 25, 95.0f, 42.0f);
        sim.detectors[0].Pass(0, 1, 3, 5, 80.0f, 50.0f);
        sim.detectors[0].At(0).left = 3;
        sim.detectors[0].At(0).right = 1;
        sim.detectors[1].Pass(0, 2, 1, 7, 70.0f);
      }
      if (step == 200) sim.detectors[0].Pass(1, 0, 0, 11, 60.0f, 80.0f);
    };
    RunToEnd();
  }

  std::string Results(bool extended) {
    // A folder of this process: ctest runs the tests of this file side by side.
    const std::string name =
        (FreshTestFolder("results-file") / (extended ? "results.ksx" : "results.ksr")).string();
    EXPECT_TRUE(WriteSimulationResults(name, extended, *config, run.Samples(), &run.Simulation()));
    std::string text = ReadWholeFile(name);
    std::remove(name.c_str());
    return text;
  }
};

}  // namespace

TEST(SimulationResultsFile, GoldenNormal) {
  ShortRun run;
  ASSERT_EQ(3, run.run.State().PeriodCount);
  ExpectGolden("results.ksr", run.Results(false));
}

TEST(SimulationResultsFile, GoldenExtended) {
  ShortRun run;
  ExpectGolden("results.ksx", run.Results(true));
}

TEST(SimulationResultsFile, BlockLinesPerDetector) {
  ShortRun run;
  std::string text = run.Results(false);
  // Header, then per period 6 lines for each of detectors 1 to 3 and 4 for the last one.
  EXPECT_EQ(1u + 3 * (3 * 6 + 4), static_cast<size_t>(std::count(text.begin(), text.end(), '\n')));
  // The on-ramp road uses four lanes: the taper is a pair of lanes.
  EXPECT_EQ(0u, text.find("t\tD\txquktv\t1..4\t1\t2\t3\t4\n"));
  // An empty lane: 0 in the q line, an empty field in the u line.
  EXPECT_NE(std::string::npos, text.find("240\t2\tq\t0\t0\t0\t0\t0\n240\t2\tu\t\t\t\t\t\n"));
}

TEST(SimulationResultsFile, DetectorsAddedAfterTheRunAreNotWritten) {
  ShortRun run;
  run.config->AddDetector(100);  // the most upstream detector: number 5
  std::string after = run.Results(false);
  EXPECT_NE(std::string::npos, after.find("120\t4\tq\t"));
  EXPECT_EQ(std::string::npos, after.find("\t5\tq\t"));
}

TEST(SimulationResultsFile, UnwritableFileIsReported) {
  ShortRun run;
  ReportCapture capture;
  EXPECT_FALSE(WriteSimulationResults("/nonexistent-folder/r.ksr", false, *run.config,
                                      run.run.Samples(), nullptr));
  EXPECT_EQ("Cannot write to file \"/nonexistent-folder/r.ksr\": No such file or directory.",
            capture.OnlyText());
}
