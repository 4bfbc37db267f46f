#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/ProgramMode.h"
#include "shell/CommandLineIdle.h"
#include "shell/TextTable.h"
#include "support/FakeHosts.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

namespace {

// One machine with its surroundings; the configuration file is the first parameter.
struct Machine {
  explicit Machine(std::vector<std::string> parameters, int mode = KAVRO, bool withBatch = true)
      : idle(parameters, mode, texts, outputs, host, withBatch ? &batch : nullptr) {
    host.currentFileName = parameters.empty() ? std::string() : parameters[0];
  }
  TextTable texts;
  OutputFileSettings outputs;
  FakeCommandLineHost host;
  FakeBatchEngine batch;
  CommandLineIdle idle;
};

TEST(CommandLineFirstIdle, ConfigurationAloneRunsNoBatch) {
  ReportCapture capture;
  Machine m({"model.kav"});
  m.idle.OnIdle();
  EXPECT_EQ(m.host.splashHidden, 1);
  EXPECT_TRUE(m.idle.Started());
  EXPECT_EQ(m.host.currentFileName, "/work/dir/model.kav");
  EXPECT_EQ(m.host.lastUsed, std::vector<std::string>{"/work/dir/model.kav"});
  EXPECT_TRUE(m.outputs.BatchSpecification.empty());
  EXPECT_FALSE(m.idle.WantsIdle());
  m.idle.OnIdle();
  EXPECT_TRUE(m.batch.calls.empty());
  EXPECT_EQ(m.idle.Step(), 0);
  EXPECT_TRUE(capture.Empty());
}

TEST(CommandLineFirstIdle, FileNameWithFolderIsKept) {
  Machine m({"/cases/model.kav"});
  m.idle.OnIdle();
  EXPECT_EQ(m.host.currentFileName, "/cases/model.kav");
}

TEST(CommandLineFirstIdle, AnyOptionAsksForOneRunUnlessBatchSaysOtherwise) {
  Machine one({"model.kav", "simulationresults=r.ksr"});
  one.idle.OnIdle();
  EXPECT_EQ(one.outputs.BatchSpecification, "1,0,0,0");
  EXPECT_EQ(one.outputs.SimulationResultsFile, "r.ksr");
  EXPECT_TRUE(one.idle.WantsIdle());

  Machine five({"model.kav", "batch=5,0,2,40", "vehicletrace=veh.txt,10"});
  five.idle.OnIdle();
  EXPECT_EQ(five.outputs.BatchSpecification, "5,0,2,40");
  EXPECT_EQ(five.outputs.VehicleTraceInterval, 10);
}

TEST(CommandLineFirstIdle, DovelModeIgnoresOptions) {
  ReportCapture capture;
  Machine m({"model.dov", "foo=1", "batch=5,0,2,40"}, DOVEL);
  m.idle.OnIdle();
  EXPECT_TRUE(m.outputs.BatchSpecification.empty());
  EXPECT_EQ(m.host.lastUsed.size(), 1u);
  EXPECT_TRUE(capture.Empty());
  EXPECT_FALSE(TerminateRequested());
}

TEST(CommandLineFirstIdle, EveryBadArgumentIsReportedAndEndsTheProgram) {
  ReportCapture capture;
  Machine m({"model.kav", "foo=1", "detectiontrace=d.trc", "vehicletrace=veh.txt,x"});
  m.idle.OnIdle();
  ASSERT_EQ(capture.Reports().size(), 2u);
  EXPECT_EQ(capture.Reports()[0].text, "Bad program argument: \"foo=1\"");
  EXPECT_EQ(capture.Reports()[0].caption, "Error");
  EXPECT_TRUE(capture.Reports()[0].stop);
  EXPECT_EQ(capture.Reports()[1].text, "Bad program argument: \"vehicletrace=veh.txt,x\"");
  EXPECT_EQ(m.outputs.DetectionTraceFile, "d.trc") << "the remaining parameters are still read";
  EXPECT_TRUE(TerminateRequested());
  EXPECT_FALSE(m.idle.WantsIdle());
  m.idle.OnIdle();
  EXPECT_TRUE(m.batch.calls.empty());
}

TEST(CommandLineFirstIdle, PatchedBadArgumentTextIsUsed) {
  ReportCapture capture;
  Machine m({"model.kav", "foo=1"});
  m.texts.SetText("LabelBadArgument", "Falsches Argument %s (%d)");
  m.idle.OnIdle();
  EXPECT_EQ(capture.OnlyText(), "Falsches Argument foo=1 (%d)");
}

TEST(CommandLineBatchSteps, FullBatchSavesResultsAndLogThenEnds) {
  std::filesystem::path dir = FreshTestFolder("cli-idle");
  std::string config = (dir / "model.kav").string();
  std::filesystem::remove(dir / "model.log");
  ReportCapture capture;
  Machine m({config, "batch=5,0,2,40,2,4"});
  m.host.lines = {"first", "second"};
  m.idle.OnIdle();
  m.idle.OnIdle();
  EXPECT_EQ(m.batch.calls, std::vector<std::string>{"page"});
  m.idle.OnIdle();
  EXPECT_EQ(m.batch.calls.back(), "start");
  EXPECT_EQ(m.batch.started.Runs, 5);
  EXPECT_EQ(m.batch.started.ReportDetector, 2);
  EXPECT_EQ(m.batch.started.DropSpeed, 40);
  EXPECT_EQ(m.batch.started.FirstLane, 2);
  EXPECT_EQ(m.batch.started.LastLane, 4);
  m.idle.OnIdle();
  EXPECT_EQ(m.batch.calls.back(), "save");
  EXPECT_EQ(m.host.terminated, 0);
  m.idle.OnIdle();
  EXPECT_EQ(m.host.terminated, 1);
  EXPECT_FALSE(m.idle.WantsIdle());
  std::ifstream log(dir / "model.log", std::ios::binary);
  std::stringstream content;
  content << log.rdbuf();
  EXPECT_EQ(content.str(), "first\nsecond\n");
  EXPECT_TRUE(capture.Empty());
  EXPECT_FALSE(TerminateRequested());
  std::filesystem::remove_all(dir);
}

TEST(CommandLineBatchSteps, NoMessagesWritesNoLog) {
  std::filesystem::path dir = FreshTestFolder("cli-nolog");
  Machine m({(dir / "model.kav").string(), "batch=1,0,0,0"});
  for (int i = 0; i < 5; ++i) m.idle.OnIdle();
  EXPECT_EQ(m.host.terminated, 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "model.log"));
  std::filesystem::remove_all(dir);
}

TEST(CommandLineBatchSteps, UnwritableLogIsReportedAsAFailure) {
  ReportCapture capture;
  Machine m({"/nonexistent-folder-kavro/model.kav", "batch=1,0,0,0"});
  m.host.lines = {"a line"};
  for (int i = 0; i < 5; ++i) m.idle.OnIdle();
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].text.rfind(
                "Cannot write to file \"/nonexistent-folder-kavro/model.log\": ", 0),
            0u);
  EXPECT_TRUE(TerminateRequested());
}

TEST(CommandLineBatchSteps, UnfinishedOrUnsavedBatchSwitchesBatchModeOff) {
  for (bool finished : {false, true}) {
    SCOPED_TRACE(finished ? "results not saved" : "batch not finished");
    ReportCapture capture;
    Machine m({"model.kav", "batch=2,0,0,0"});
    m.batch.finished = finished;
    m.batch.saveOk = false;
    for (int i = 0; i < 4; ++i) m.idle.OnIdle();
    EXPECT_TRUE(m.idle.Installed());
    m.idle.OnIdle();
    EXPECT_FALSE(m.idle.Installed());
    EXPECT_FALSE(m.idle.WantsIdle());
    ASSERT_EQ(capture.Reports().size(), 1u);
    EXPECT_EQ(capture.Reports()[0].caption, "Warning");
    EXPECT_EQ(capture.Reports()[0].text, "BatchMode switched off");
    EXPECT_FALSE(capture.Reports()[0].stop);
    EXPECT_EQ(m.host.terminated, 0);
    m.idle.OnIdle();
    EXPECT_EQ(capture.Reports().size(), 1u) << "the handler removed itself";
  }
}

TEST(CommandLineBatchSteps, BadBatchSpecificationEndsBeforeStarting) {
  const char* bad[] = {"batch=5,0,0", "batch=1,0,0,0,3,2", "batch=1,0,0,0,1,13"};
  for (const char* option : bad) {
    SCOPED_TRACE(option);
    ReportCapture capture;
    Machine m({"model.kav", option});
    for (int i = 0; i < 4; ++i) m.idle.OnIdle();
    EXPECT_EQ(capture.OnlyText(),
              "Bad program argument: \"" + std::string(option).substr(6) + "\"");
    EXPECT_TRUE(TerminateRequested());
    EXPECT_EQ(m.batch.calls, std::vector<std::string>{"page"});
  }
}

TEST(CommandLineBatchSteps, TrailingFieldsAndGarbageAreRefused) {
  const char* bad[] = {"batch=1,0,0,0,1,12,99xyz", "batch=1,0,0,0,1,12,5", "batch=5,0,2,40;junk",
                       "batch=1,0,0,0 ",           "batch=1,-1,0,0",       "batch=1,0,0,-40"};
  for (const char* option : bad) {
    SCOPED_TRACE(option);
    ReportCapture capture;
    Machine m({"model.kav", option});
    for (int i = 0; i < 4; ++i) m.idle.OnIdle();
    EXPECT_EQ(capture.OnlyText(),
              "Bad program argument: \"" + std::string(option).substr(6) + "\"");
    EXPECT_EQ(m.batch.calls, std::vector<std::string>{"page"});
  }
}

TEST(CommandLineBatchSteps, RunsOutsideOneToTenThousandGetTheRangeMessage) {
  for (const char* runs : {"0", "10001", "10002", "-1"}) {
    SCOPED_TRACE(runs);
    ReportCapture capture;
    Machine m({"model.kav", std::string("batch=") + runs + ",0,0,0"});
    for (int i = 0; i < 4; ++i) m.idle.OnIdle();
    EXPECT_EQ(capture.OnlyText(), "Bad program argument: \"" + std::string(runs) +
                                      ",0,0,0\": The valid range is 1..10000");
    EXPECT_TRUE(TerminateRequested());
    EXPECT_EQ(m.batch.calls, std::vector<std::string>{"page"});
  }
}

TEST(CommandLineFirstIdle, AnEmptyArgumentIsABadArgument) {
  ReportCapture capture;
  Machine m({"model.kav", "", "detectiontrace=d.trc"});
  m.idle.OnIdle();
  EXPECT_EQ(capture.OnlyText(), "Bad program argument: \"\"");
  EXPECT_TRUE(TerminateRequested());
  EXPECT_EQ(m.outputs.DetectionTraceFile, "d.trc");
}

TEST(CommandLineBatchSteps, WithoutBatchEngineTheRequestIsRefused) {
  ReportCapture capture;
  Machine m({"model.kav", "batch=1,0,0,0"}, KAVRO, false);
  for (int i = 0; i < 4; ++i) m.idle.OnIdle();
  EXPECT_EQ(capture.OnlyText(), "Batch runs are not available yet");
  EXPECT_TRUE(TerminateRequested());
  EXPECT_FALSE(m.idle.WantsIdle());
}

}  // namespace
