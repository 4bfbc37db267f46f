#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/BatchRuns.h"
#include "shell/BatchRunsMerge.h"
#include "shell/GoldenFile.h"
#include "shell/RunTestSupport.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

namespace {

// A batch over the on-ramp example with a fixed clock; detector output every 300 s.
struct FakeBatch : FakeRun {
  BatchRunner batch{run};
  int tick = 0;

  explicit FakeBatch(int maxTime = 3600, int runs = 3) : FakeRun(maxTime, 300, 300) {
    config->SetSeed(101);
    batch.SetClock([this] { return Format("10:00:%02d", tick++ % 60); });
    batch.Settings().NumberOfRuns = runs;
    batch.Settings().DropSpeed = 40;
  }
  // Makes detector `d` see `n` vehicles per lane in lanes 0 to 2 at `speed` [km/h] in the
  // kernel period of the output at `outputTime` [s].
  void TrafficAt(int d, int outputTime, int n, float speed) {
    simulation->onStep = [this, d, outputTime, n, speed, old = simulation->onStep](
                             int step, FakeSimulation& sim) {
      if (old) old(step, sim);
      if (step == outputTime - 1)
        for (int lane = 0; lane < 3; ++lane)
          sim.detectors[d].Pass(outputTime / 300 - 1, lane, 0, n, speed);
    };
  }
};

}  // namespace

TEST(BatchRows, SeedsAreTwoApartFromTheConfigurationSeed) {
  FakeBatch fake;
  fake.batch.SetNumberOfRuns(3, true);
  ASSERT_EQ(3u, fake.batch.Rows().size());
  EXPECT_EQ(101, fake.batch.Rows()[0].Seed);
  EXPECT_EQ(103, fake.batch.Rows()[1].Seed);
  EXPECT_EQ(105, fake.batch.Rows()[2].Seed);
}

TEST(BatchRows, TypingMoreRunsKeepsTheRowsThereAre) {
  FakeBatch fake;
  fake.batch.SetNumberOfRuns(2, true);
  fake.config->SetSeed(201);
  fake.batch.SetNumberOfRuns(4, false);
  EXPECT_EQ(103, fake.batch.Rows()[1].Seed);
  EXPECT_EQ(205, fake.batch.Rows()[2].Seed);
  fake.batch.SetNumberOfRuns(4, true);
  EXPECT_EQ(203, fake.batch.Rows()[1].Seed);
}

TEST(BatchStart, EveryRunGetsItsSeedAndLabel) {
  FakeBatch fake(600);
  std::vector<std::int32_t> states;
  fake.simulation->onStep = [&](int step, FakeSimulation& sim) {
    if (step == 1) states.push_back(sim.randomState);
  };
  ASSERT_TRUE(fake.batch.Start());
  EXPECT_EQ((std::vector<std::int32_t>{101, 103, 105}), states);
  EXPECT_EQ("Batch run 3", fake.simulation->label);
  EXPECT_TRUE(fake.run.State().BatchFinished);
  EXPECT_EQ(4, fake.run.State().BatchRun);
  for (const BatchRow& row : fake.batch.Rows())
    EXPECT_EQ("Maximum simulation time reached", row.Status);
}

TEST(BatchStart, RefusesWithoutDetectorsOrWithABadLaneRange) {
  {
    FakeBatch fake;
    while (fake.config->DetectorCount() > 0) fake.config->DeleteDetector(0);
    ReportCapture capture;
    EXPECT_FALSE(fake.batch.Start());
    // Nobody can answer a question here: the reason alone.
    EXPECT_EQ("At least one detector must be created for batch operation.", capture.OnlyText());
    EXPECT_EQ(0, fake.simulation->setups);
  }
  {
    FakeBatch fake;
    fake.batch.Settings().FromLane = 3;
    fake.batch.Settings().UpToLane = 2;
    ReportCapture capture;
    EXPECT_FALSE(fake.batch.Start());
    EXPECT_EQ("Bad lane range selected", capture.OnlyText());
  }
}

namespace {

// Answers the questions of a batch start and counts them.
struct AnsweringHost : DocumentHost {
  Answer answer = Answer::No;
  std::vector<Question> asked;
  Answer Ask(const Question& question) override {
    asked.push_back(question);
    return answer;
  }
  bool ChooseFile(const FileDialogRequest&, std::string&) override { return false; }
  void CommitPendingEntry() override {}
  void DocumentReplaced(bool) override {}
  void ShowCaption(const std::string&) override {}
  void ShowStatus(const std::string&) override {}
  void LastUsedFilesChanged() override {}
};

}  // namespace

TEST(BatchStart, WithoutDetectorsTheDesktopAsksWhetherToPlaceThem) {
  for (Answer answer : {Answer::Yes, Answer::No}) {
    FakeBatch fake;
    while (fake.config->DetectorCount() > 0) fake.config->DeleteDetector(0);
    AnsweringHost host;
    host.answer = answer;
    int detectorPagesShown = 0;
    fake.batch.SetQuestionHost(&host, [&] { ++detectorPagesShown; });
    ReportCapture capture;
    EXPECT_FALSE(fake.batch.Start());
    EXPECT_TRUE(capture.Empty());
    ASSERT_EQ(1u, host.asked.size());
    EXPECT_EQ("Error", host.asked[0].Caption);
    EXPECT_EQ(
        "At least one detector must be created for batch operation.\r\n"
        "Do you want to place detectors now ?",
        host.asked[0].Text);
    EXPECT_EQ(QuestionButtons::YesNo, host.asked[0].Buttons);
    EXPECT_EQ(answer == Answer::Yes ? 1 : 0, detectorPagesShown);
    EXPECT_EQ(0, fake.simulation->setups);
  }
}

TEST(BatchSeeds, ABatchWhoseSeedsLeaveTheRangeDoesNotStart) {
  FakeBatch fake(600, 2);
  fake.config->SetSeed(2147483647);
  ReportCapture capture;
  EXPECT_FALSE(fake.batch.Start());
  EXPECT_EQ(
      "The random seed 2147483647 is too large for a batch of 2 runs: the seed of run 2 would "
      "exceed 2147483647. The largest random seed for 2 runs is 2147483645.",
      capture.OnlyText());
  EXPECT_EQ(0, fake.simulation->setups);
}

TEST(BatchSeeds, TheLargestBaseSeedThatFitsStarts) {
  FakeBatch fake(600, 2);
  fake.config->SetSeed(2147483645);
  std::vector<std::int32_t> states;
  fake.simulation->onStep = [&](int step, FakeSimulation& sim) {
    if (step == 1) states.push_back(sim.randomState);
  };
  ASSERT_TRUE(fake.batch.Start());
  EXPECT_EQ((std::vector<std::int32_t>{2147483645, 2147483647}), states);
  EXPECT_EQ(2147483647, LargestBaseSeed(1));
  EXPECT_EQ(2147483647 - 2 * 9999, LargestBaseSeed(10000));
}

// The grid of the batch page shows the rows of any number of runs typed, whatever the seed.
TEST(BatchSeeds, RowsBeyondTheRangeAreFilledWithoutOverflow) {
  FakeBatch fake;
  fake.config->SetSeed(2147483647);
  fake.batch.SetNumberOfRuns(10000, true);
  EXPECT_EQ(2147483647, fake.batch.Rows()[0].Seed);
  EXPECT_EQ(10000u, fake.batch.Rows().size());
}

TEST(BatchOutputFailures, ARunWhoseFilesCannotBeWrittenSaysSoAndTheBatchGoesOn) {
  FakeBatch fake(600, 3);
  const std::string folder = FreshTestFolder("batch-lost-files").string();
  std::filesystem::create_directory(folder + "/r2.ksr");
  fake.outputs.SimulationResultsFile = folder + "/r%d.ksr";
  fake.outputs.LaneChangeTraceFile = folder + "/r%d.lct";
  std::filesystem::create_directory(folder + "/r3.lct");
  ReportCapture capture;
  ASSERT_TRUE(fake.batch.Start());
  EXPECT_TRUE(fake.run.State().BatchFinished);
  const std::vector<BatchRow>& rows = fake.batch.Rows();
  EXPECT_EQ("Maximum simulation time reached", rows[0].Status);
  EXPECT_FALSE(rows[0].FilesLost);
  EXPECT_EQ("Maximum simulation time reached, files not written: " + folder + "/r2.ksr",
            rows[1].Status);
  EXPECT_TRUE(rows[1].FilesLost);
  EXPECT_EQ("Maximum simulation time reached, files not written: " + folder + "/r3.lct",
            rows[2].Status);
  EXPECT_TRUE(rows[2].FilesLost);
  ASSERT_EQ(2u, capture.Reports().size());
  EXPECT_EQ("Cannot write to file \"" + folder + "/r2.ksr\": it is a folder.",
            capture.Reports()[0].text);
  EXPECT_EQ("Cannot write to file \"" + folder + "/r3.lct\": it is a folder.",
            capture.Reports()[1].text);
  EXPECT_TRUE(std::filesystem::exists(folder + "/r1.ksr"));
  EXPECT_TRUE(std::filesystem::exists(folder + "/r3.ksr"));
}

TEST(BatchAbort, SpeedDropEndsTheRunAtTheNextStep) {
  FakeBatch fake(3600, 1);
  fake.TrafficAt(1, 1800, 10, 30.0f);
  fake.batch.Start();
  EXPECT_EQ("Time 1800: U[2]=30.0 km/h", fake.batch.Rows()[0].Status);
  EXPECT_EQ(6, fake.run.State().PeriodCount);
  EXPECT_EQ(1800, fake.simulation->steps);  // no step is made after the output
}

TEST(BatchAbort, ReportDetectorAddsOnePeriodAndTheHighestFlow) {
  FakeBatch fake(3600, 1);
  fake.batch.Settings().ReportDetector = 1;
  fake.TrafficAt(0, 900, 100, 90.0f);   // 3 lanes x 100 in 300 s: 3600 veh/h
  fake.TrafficAt(0, 2100, 100, 90.0f);  // as much later: the later period wins
  fake.TrafficAt(1, 1800, 10, 30.0f);
  fake.batch.Start();
  EXPECT_EQ(
      "Time 1800: U[2]=30.0 km/h, Time 2100: Q[1]=3600 veh/h "
      "{1200, 1200, 1200, 0, 0, 0, 0, 0, 0, 0, 0, 0}",
      fake.batch.Rows()[0].Status);
  EXPECT_EQ(7, fake.run.State().PeriodCount);
}

TEST(BatchAbort, WithoutFlowTheReportNamesTheFirstOutputTime) {
  FakeBatch fake(3600, 1);
  fake.batch.Settings().ReportDetector = 4;
  fake.TrafficAt(1, 600, 10, 30.0f);
  fake.batch.Start();
  EXPECT_EQ("Time 600: U[2]=30.0 km/h, Time 300: Q[4]=0 veh/h}", fake.batch.Rows()[0].Status);
}

TEST(BatchAbort, DropAtTheLastOutputEndsAtTheStopTime) {
  FakeBatch fake(900, 1);
  fake.batch.Settings().ReportDetector = 1;
  fake.TrafficAt(0, 900, 10, 30.0f);
  fake.batch.Start();
  EXPECT_EQ("Time 900: U[1]=30.0 km/h, maximum simulation time reached",
            fake.batch.Rows()[0].Status);
}

TEST(BatchAbort, OnlyTheChosenDetectorAndLanesCount) {
  struct Case {
    int stopDetector;
    int fromLane;
    int upToLane;
    int dropSpeed;
    bool aborts;
  } cases[] = {
      {0, 1, 12, 40, true},  {2, 1, 12, 40, true}, {1, 1, 12, 40, false},
      {0, 4, 12, 40, false}, {0, 1, 12, 0, false}, {0, 1, 12, 30, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.stopDetector << " " << c.fromLane << " " << c.dropSpeed);
    FakeBatch fake(1200, 1);
    fake.batch.Settings().StopDetector = c.stopDetector;
    fake.batch.Settings().FromLane = c.fromLane;
    fake.batch.Settings().UpToLane = c.upToLane;
    fake.batch.Settings().DropSpeed = c.dropSpeed;
    fake.TrafficAt(1, 600, 10, 30.0f);
    fake.batch.Start();
    EXPECT_EQ(c.aborts, fake.run.State().PeriodCount == 2);
  }
}

TEST(BatchFailures, KernelErrorEndsOnlyThatRun) {
  FakeBatch fake(600, 2);
  fake.simulation->failAtStep = 100;
  fake.batch.Start();
  EXPECT_EQ("Vehicle 3 left the road", fake.batch.Rows()[0].Status);
  EXPECT_EQ("Vehicle 3 left the road", fake.batch.Rows()[1].Status);
  EXPECT_FALSE(fake.run.State().BatchFinished);
  EXPECT_EQ(2, fake.simulation->setups);
}

TEST(BatchStopResume, ResumeContinuesTheInterruptedRun) {
  FakeBatch fake(600, 2);
  fake.simulation->onStep = [&](int step, FakeSimulation&) {
    if (step == 250 && fake.run.State().BatchRun == 1) fake.batch.Stop();
  };
  fake.batch.Start();
  EXPECT_EQ("Aborted by user", fake.batch.Rows()[0].Status);
  EXPECT_EQ(250, fake.run.State().StepCount);
  ASSERT_TRUE(fake.batch.CanResume());
  fake.simulation->onStep = nullptr;
  ASSERT_TRUE(fake.batch.Resume());
  EXPECT_EQ(2, fake.simulation->setups);  // run 1 went on, run 2 was set up
  EXPECT_EQ("Maximum simulation time reached", fake.batch.Rows()[0].Status);
  EXPECT_EQ("Maximum simulation time reached", fake.batch.Rows()[1].Status);
  EXPECT_TRUE(fake.run.State().BatchFinished);
}

TEST(BatchStopResume, AnEditMeanwhileForbidsResume) {
  FakeBatch fake(600, 2);
  fake.simulation->onStep = [&](int step, FakeSimulation&) {
    if (step == 10) fake.batch.Stop();
  };
  fake.batch.Start();
  fake.config->SetSeed(333);
  EXPECT_FALSE(fake.batch.CanResume());
  EXPECT_FALSE(fake.batch.Resume());
}

TEST(BatchResultsFile, StatusWithFlowGetsItsOwnColumn) {
  struct Case {
    const char* status;
    const char* columns;
  } cases[] = {
      {"Maximum simulation time reached", "Maximum simulation time reached"},
      {"Time 1800: U[1]=35.2 km/h, Time 1500: Q[1]=4100 veh/h {2000, 2100}",
       "Time 1800: U[1]=35.2 km/h, Time 1500: Q[1]=\t 4100\t veh/h {2000, 2100}"},
      {"Time 600: U[2]=30.0 km/h, Time 300: Q[4]=0 veh/h}",
       "Time 600: U[2]=30.0 km/h, Time 300: Q[4]=\t 0\t veh/h}"},
      {"Q without equals", "Q without equals"},
      {"Q=12", "Q=\t 12\t "},
      // A "Q" and a "=" in the name of an unwritten file are no flow report.
      {"Maximum simulation time reached, files not written: /out/Q=1.ksr",
       "Maximum simulation time reached, files not written: /out/Q=1.ksr"},
      {"Time 900: U[1]=30.0 km/h, Time 600: Q[1]=4100 veh/h {4100}, files not written: Q=2",
       "Time 900: U[1]=30.0 km/h, Time 600: Q[1]=\t 4100\t veh/h {4100}, files not written: Q=2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    EXPECT_EQ(c.columns, BatchStatusColumns(c.status));
  }
}

// A file name with a tab, a line end or a "Q" and a "=" in a run's status: the batch results
// keep one line of five columns per run, and its part merges.
TEST(BatchResultsFile, NamesOfUnwrittenFilesKeepTheColumns) {
  FakeBatch fake(600, 2);
  const std::string folder = FreshTestFolder("batch-odd-names").string();
  std::filesystem::create_directory(folder + "/r2\tQ=\n.ksr");
  fake.outputs.SimulationResultsFile = folder + "/r%d\tQ=\n.ksr";
  ReportCapture capture;
  ASSERT_TRUE(fake.batch.Start());
  EXPECT_EQ("Maximum simulation time reached, files not written: " + folder + "/r2\\tQ=\\n.ksr",
            fake.batch.Rows()[1].Status);
  fake.batch.SetRunRange(1, 2);
  BatchPart part{1, 2, 2, ConfigurationFingerprint("ramp"), "2,0,0,40,1,12"};
  ASSERT_TRUE(fake.batch.SaveResults(folder + "/part.kbr", BatchPartLine(part)));
  ASSERT_TRUE(MergeBatchResults(folder + "/all.kbr", {folder + "/part.kbr"}));
  const std::string results = ReadWholeFile(folder + "/all.kbr");
  EXPECT_EQ(std::count(results.begin(), results.end(), '\n'), 3) << results;
  EXPECT_EQ(std::count(results.begin(), results.end(), '\t'), 12) << results;
}

TEST(BatchResultsFile, GoldenColumns) {
  FakeBatch fake(1200, 3);
  fake.batch.Settings().ReportDetector = 1;
  fake.TrafficAt(0, 300, 100, 90.0f);
  fake.TrafficAt(1, 600, 10, 30.0f);
  fake.simulation->onStep = [old = fake.simulation->onStep, &fake](int step, FakeSimulation& sim) {
    if (fake.run.State().BatchRun == 1) old(step, sim);
    if (fake.run.State().BatchRun == 3 && step == 50) sim.failAtStep = 51;
  };
  fake.batch.Start();
  std::string name = testing::TempDir() + "batch.kbr";
  ASSERT_TRUE(fake.batch.SaveResults(name));
  ExpectGolden("batch.kbr", ReadWholeFile(name));
  std::remove(name.c_str());
}

TEST(BatchResultsFile, UnwritableFileIsReported) {
  FakeBatch fake;
  ReportCapture capture;
  EXPECT_FALSE(fake.batch.SaveResults("/nonexistent-folder/x.kbr"));
  EXPECT_EQ(
      "Cannot open file \"/nonexistent-folder/x.kbr\" for writing, error code: No such "
      "file or directory.",
      capture.OnlyText());
}

TEST(BatchResultsFile, AFolderOrDeviceIsNotReplaced) {
  FakeBatch fake;
  const std::string folder = FreshTestFolder("batch-results-folder").string();
  std::filesystem::create_directory(folder + "/x.kbr");
  ReportCapture capture;
  EXPECT_FALSE(fake.batch.SaveResults(folder + "/x.kbr"));
  EXPECT_FALSE(fake.batch.SaveResults("/dev/full"));
  ASSERT_EQ(2u, capture.Reports().size());
  EXPECT_EQ("Cannot open file \"" + folder + "/x.kbr\" for writing, error code: it is a folder.",
            capture.Reports()[0].text);
  EXPECT_EQ("Cannot open file \"/dev/full\" for writing, error code: it is not a regular file.",
            capture.Reports()[1].text);
  EXPECT_TRUE(std::filesystem::is_directory(folder + "/x.kbr"));
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

TEST(BatchResultsFile, ProposedNameReplacesTheExtension) {
  FakeBatch fake;
  struct Case {
    const char* current;
    const char* proposed;
  } cases[] = {{"/cases/ramp.kav", "/cases/ramp.kbr"}, {"/cases.v2/ramp", ""}, {"", ""}};
  for (const Case& c : cases) {
    fake.run.SetCurrentFileName(c.current);
    EXPECT_EQ(c.proposed, fake.batch.ProposedResultsName());
  }
}
