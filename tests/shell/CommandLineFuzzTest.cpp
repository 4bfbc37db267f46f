// Random argument lists through the command-line machine: a bad argument ends in the one
// "Bad program argument" message, a good list in a batch request within its limits, and no
// list ever reaches a program stop.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "config/ProgramMode.h"
#include "shell/CommandLine.h"
#include "shell/CommandLineIdle.h"
#include "shell/TextTable.h"
#include "support/FakeHosts.h"
#include "support/ReportCapture.h"
#include "support/XorShiftRandom.h"

namespace {

using Random = XorShiftRandom;

std::string RandomCase(Random& random, std::string text) {
  for (char& c : text)
    if (random.Below(3) == 0 && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::string RandomValue(Random& random) {
  static const std::vector<std::string> pieces = {
      "1",  "0",          "-1",          "5",          ",",    ",,",          "12",
      "13", "2147483647", "99999999999", "%d",         "%05d", "%999999999d", "%s",
      "%n", "a",          " ",           "/tmp/x.txt", "..",   "\xFF",        std::string("\0", 1),
      "+3", "\t",         "1e3"};
  std::string value;
  for (int n = random.Below(8); n > 0; --n) value += random.Pick(pieces);
  if (random.Below(20) == 0) value += std::string(1200, 'v');
  return value;
}

std::string RandomArgument(Random& random) {
  static const std::vector<std::string> prefixes = {
      "vehicletrace=",
      "detectiontrace=",
      "detectortodetectortraveltimetrace=",
      "odtraveltimetrace=",
      "lanechangetrace=",
      "simulationresults=",
      "extendedresults=",
      "batch=",
      "batch",
      "",
      "=",
      "--check",
      "vehicletrace",
      "simulationresult=",
  };
  return RandomCase(random, random.Pick(prefixes)) + RandomValue(random);
}

}  // namespace

TEST(CommandLineFuzz, RandomArgumentsGiveABadArgumentMessageOrAValidRequest) {
  Random random(0xc0ffee1234ULL);
  TextTable texts;
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> parameters = {"model.kav"};
    for (int n = random.Below(5); n > 0; --n) parameters.push_back(RandomArgument(random));
    SCOPED_TRACE(testing::Message() << "round " << round);
    ReportCapture capture;
    OutputFileSettings outputs;
    FakeCommandLineHost host;
    host.currentFileName = parameters[0];
    FakeBatchEngine batch;
    batch.finished = false;
    CommandLineIdle idle(parameters, KAVRO, texts, outputs, host, &batch);
    for (int call = 0; call < 3 && idle.WantsIdle(); ++call) idle.OnIdle();
    for (const Report& report : capture.Reports()) {
      ASSERT_EQ(report.caption, "Error") << report.text;
      ASSERT_EQ(report.text.rfind("Bad program argument: \"", 0), 0u) << report.text;
    }
    if (batch.starts > 0) {
      EXPECT_TRUE(capture.Empty());
      EXPECT_GE(batch.started.FirstLane, 1);
      EXPECT_LE(batch.started.FirstLane, batch.started.LastLane);
      EXPECT_LE(batch.started.LastLane, 12);
      EXPECT_GE(batch.started.Runs, 1);
      EXPECT_LE(batch.started.Runs, kMaxBatchRuns);
      EXPECT_GE(batch.started.StopDetector, 0);
      EXPECT_GE(batch.started.ReportDetector, 0);
      EXPECT_GE(batch.started.DropSpeed, 0);
    }
    // Every output name resolves, whatever directives it holds.
    for (const std::string* name :
         {&outputs.VehicleTraceFile, &outputs.DetectionTraceFile, &outputs.TravelTimeTraceFile,
          &outputs.ODTravelTimeTraceFile, &outputs.LaneChangeTraceFile,
          &outputs.SimulationResultsFile, &outputs.ExtendedResultsFile}) {
      std::string resolved = ResolveOutputFileName(*name, host.currentFileName, 7);
      EXPECT_LE(resolved.size(), name->size() + host.currentFileName.size() + 80);
    }
    EXPECT_GE(outputs.VehicleTraceInterval, 1);
  }
}
