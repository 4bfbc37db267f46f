// Batches made on several threads: rows, lines and reports come out in run order, a stop in
// one run ends the batch as it does on one thread, and files shared by the runs keep a batch
// on one thread.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "kernel/KernelMessages.h"
#include "shell/BatchProgram.h"
#include "shell/GoldenFile.h"
#include "shell/RunTestSupport.h"
#include "shell/UnattendedBatch.h"
#include "support/FakeHosts.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

// The on-ramp example with 1 s steps and a 300 s stop time, in a folder of its own.
std::string ShortExample(const std::string& name) {
  fs::path folder = FreshTestFolder(name);
  std::unique_ptr<KDConfig> config = LoadOnRampExample();
  config->SetMaxTime(300);
  config->SetTimeStep(1.0f);
  std::string file = (folder / "ramp.kav").string();
  EXPECT_TRUE(WriteKavroConfig(*config, file));
  return file;
}

// What a batch of fake runs printed and reported. Each run warns with its seed at its tenth
// step and writes a kernel message line; the run with seed `stopSeed` reports a program error
// at its twentieth step.
struct FakeBatchResult {
  std::string out;
  std::vector<std::string> reports;
  std::vector<std::string> lines;
  bool finished = false;
  int jobsUsed = 0;
};

FakeBatchResult RunFakeBatch(const std::string& config, int runs, int jobs, int stopSeed,
                             OutputFileSettings outputs = {}, int failSeed = 0) {
  FakeBatchResult result;
  FakeCommandLineHost host(config, ".");
  outputs.BatchJobs = jobs;
  std::ostringstream out;
  UnattendedBatch batch(
      outputs, host, &out, nullptr,
      [stopSeed, failSeed](KernelMessageSink& messages) {
        auto simulation = std::make_unique<FakeSimulation>();
        simulation->onStep = [stopSeed, failSeed, &messages](int step, FakeSimulation& s) {
          if (step == 30 && s.randomState == failSeed) s.failAtStep = 31;
          if (step == 10) {
            UserMessage(ReportKind::Warning, "Warning", Format("seed %d", s.randomState));
            messages.Show({KernelCause::SimulatorWarning, KernelRoute::MessagesWindow,
                           "Kavro Simulator Warning", Format("line %d", s.randomState)});
          }
          if (step == 20 && s.randomState == stopSeed) ProgramError("FakeSimulation::Step: Stop");
        };
        return std::unique_ptr<RunSimulation>(std::move(simulation));
      },
      [&result](const std::string& line) { result.lines.push_back(line); });
  batch.SetClock([] { return std::string("12:00:00"); });
  ReportCapture capture;
  batch.StartBatch({runs, 0, 0, 40, 1, 12});
  for (const Report& report : capture.Reports()) result.reports.push_back(report.text);
  result.out = out.str();
  result.finished = batch.BatchFinished();
  result.jobsUsed = batch.JobsUsed();
  return result;
}

TEST(BatchJobs, LinesAndReportsComeInRunOrder) {
  const std::string config = ShortExample("kavro-jobs-order");
  FakeBatchResult result = RunFakeBatch(config, 7, 3, 0);
  EXPECT_EQ(result.jobsUsed, 3);
  EXPECT_TRUE(result.finished);
  std::string expectedOut;
  std::vector<std::string> expectedReports;
  std::vector<std::string> expectedLines;
  for (int run = 1; run <= 7; ++run) {
    const int seed = 12345 + 2 * (run - 1);
    expectedOut += Format("%d\t%d\tMaximum simulation time reached\n", run, seed);
    expectedReports.push_back(Format("seed %d", seed));
    expectedLines.push_back(Format("line %d", seed));
  }
  EXPECT_EQ(result.out, expectedOut);
  EXPECT_EQ(result.reports, expectedReports);
  EXPECT_EQ(result.lines, expectedLines);
  fs::remove_all(fs::path(config).parent_path());
}

TEST(BatchJobs, AStopEndsTheBatchAsOnOneThread) {
  const std::string config = ShortExample("kavro-jobs-stop");
  FakeBatchResult one = RunFakeBatch(config, 6, 1, 12347);
  FakeBatchResult three = RunFakeBatch(config, 6, 3, 12347);
  EXPECT_EQ(one.jobsUsed, 1);
  EXPECT_EQ(three.jobsUsed, 3);
  for (const FakeBatchResult* result : {&one, &three}) {
    SCOPED_TRACE(result->jobsUsed);
    EXPECT_FALSE(result->finished);
    // Run 1 ended before the stop; run 2 stopped; no later run is shown.
    EXPECT_EQ(result->out, "1\t12345\tMaximum simulation time reached\n");
    EXPECT_EQ(result->reports,
              (std::vector<std::string>{"seed 12345", "seed 12347", "FakeSimulation::Step: Stop"}));
  }
  fs::remove_all(fs::path(config).parent_path());
}

TEST(BatchJobs, ABatchWhoseLastRunFailsInTheKernelIsFinished) {
  const std::string config = ShortExample("kavro-jobs-fail");
  for (int jobs : {1, 3}) {
    SCOPED_TRACE(jobs);
    FakeBatchResult result = RunFakeBatch(config, 3, jobs, 0, {}, 12349);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.out,
              "1\t12345\tMaximum simulation time reached\n"
              "2\t12347\tMaximum simulation time reached\n"
              "3\t12349\tVehicle 3 left the road\n");
  }
  fs::remove_all(fs::path(config).parent_path());
}

TEST(BatchJobs, FilesSharedByTheRunsKeepTheBatchOnOneThread) {
  const std::string config = ShortExample("kavro-jobs-shared");
  OutputFileSettings outputs;
  outputs.SimulationResultsFile = "r%d.ksr";
  EXPECT_EQ(RunFakeBatch(config, 3, 2, 0, outputs).jobsUsed, 2);
  outputs.DetectionTraceFile = "passages.trc";
  EXPECT_EQ(RunFakeBatch(config, 3, 0, 0, outputs).jobsUsed, 1);
  // A part of one run has nothing to share.
  outputs.FirstRun = outputs.LastRun = 2;
  FakeBatchResult part = RunFakeBatch(config, 3, 0, 0, outputs);
  EXPECT_EQ(part.jobsUsed, 1);
  EXPECT_EQ(part.out, "2\t12347\tMaximum simulation time reached\n");
  fs::remove_all(fs::path(config).parent_path());
}

int RunProgram(const std::vector<std::string>& parameters, std::string& out, std::string& err) {
  std::ostringstream outStream, errStream;
  int status = RunBatchProgram(parameters, outStream, errStream);
  out = outStream.str();
  err = errStream.str();
  return status;
}

TEST(BatchJobsArguments, AsksForJobsTheSharedFilesForbidOrRunsBeyondTheBatch) {
  const std::string config = ShortExample("kavro-jobs-arguments");
  const fs::path folder = fs::path(config).parent_path();
  std::ofstream(folder / "ramp.kbr") << "earlier results\n";
  struct Case {
    std::vector<std::string> options;
    std::string err;
  } cases[] = {
      {{"batch=3,0,1,40", "lanechangetrace=lanes.lct", "--jobs", "2"},
       "Error: Bad program argument: \"--jobs 2\": the runs would share the file \"lanes.lct\"; "
       "give it a run number (%d) or use --jobs 1\n"},
      {{"batch=3,0,1,40", "--runs", "2-4"},
       "Error: Bad program argument: \"--runs 2-4\": the batch has 3 runs\n"},
      {{"--runs", "2-2"}, "Error: Bad program argument: \"--runs 2-2\": the batch has 1 run\n"},
      {{"batch=3,0,1,40", "--runs", "0-2", "--jobs", "0"},
       "Error: Bad program argument: \"--runs 0-2\"\n"
       "Error: Bad program argument: \"--jobs 0\"\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.err);
    std::vector<std::string> parameters{config};
    parameters.insert(parameters.end(), c.options.begin(), c.options.end());
    std::string out, err;
    EXPECT_EQ(RunProgram(parameters, out, err), 1);
    EXPECT_EQ(err, c.err);
    EXPECT_EQ(out, "");
    EXPECT_EQ(ReadWholeFile((folder / "ramp.kbr").string()), "earlier results\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
  }
  fs::remove_all(folder);
}

}  // namespace

namespace {

TEST(BatchJobsArguments, MergeNeedsAnOutputFileAndParts) {
  for (const std::vector<std::string>& parameters :
       {std::vector<std::string>{"--merge"}, std::vector<std::string>{"--merge", "out.kbr"}}) {
    SCOPED_TRACE(parameters.size());
    std::string out, err;
    EXPECT_EQ(RunProgram(parameters, out, err), 2);
    EXPECT_EQ(err,
              "Error: --merge needs the output file and at least one part: "
              "kavro-batch --merge OUT.kbr PART.kbr ...\n");
    EXPECT_FALSE(fs::exists("out.kbr"));
  }
}

TEST(ThreadReportRedirectScope, CollectsTheReportsOfItsOwnThreadOnly) {
  ReportCapture capture;
  std::vector<Report> collected;
  std::thread worker([&collected] {
    ThreadReportRedirect redirect(
        [&collected](const Report& report) { collected.push_back(report); });
    UserMessage(ReportKind::Warning, "Warning", "from the worker");
    ProgramError("Worker::Step: Bad Lane");
  });
  worker.join();
  UserMessage(ReportKind::Information, "Information", "from the main thread");
  ASSERT_EQ(collected.size(), 2u);
  EXPECT_EQ(collected[0].text, "from the worker");
  EXPECT_EQ(collected[1].text, "Worker::Step: Bad Lane");
  EXPECT_TRUE(collected[1].stop);
  EXPECT_FALSE(TerminateRequested()) << "the batch delivers the stop later, on its own thread";
  EXPECT_EQ(capture.OnlyText(), "from the main thread");
}

}  // namespace

TEST(BatchJobs, RunsTheConfigurationTheProgramReadWithoutReadingTheFileAgain) {
  const std::string file = ShortExample("kavro-read-once");
  std::unique_ptr<KDConfig> config;
  std::string text;
  ASSERT_TRUE(ReadConfig(file, config, text));
  // The file is gone after the program read it: the batch runs what was read, on two jobs too.
  fs::remove(file);
  FakeCommandLineHost host(file, ".");
  OutputFileSettings outputs;
  outputs.BatchJobs = 2;
  std::ostringstream out;
  UnattendedBatch batch(outputs, host, &out, nullptr,
                        [](KernelMessageSink&) {
                          return std::unique_ptr<RunSimulation>(std::make_unique<FakeSimulation>());
                        },
                        {});
  batch.UseConfiguration(file, text, std::move(config));
  ReportCapture capture;
  batch.StartBatch({2, 0, 0, 40, 1, 12});
  EXPECT_TRUE(capture.Empty());
  EXPECT_TRUE(batch.BatchFinished());
  EXPECT_EQ(batch.JobsUsed(), 2);
  EXPECT_NE(out.str().find("\n2\t"), std::string::npos) << out.str();

  // The configuration was given for one batch: the next one reads the file.
  batch.StartBatch({1, 0, 0, 40, 1, 12});
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_NE(capture.Reports()[0].text.find("Cannot open file"), std::string::npos);
  EXPECT_FALSE(batch.BatchFinished());
  fs::remove_all(fs::path(file).parent_path());
}
