#include <gtest/gtest.h>

#include "shell/CommandLine.h"

namespace {

struct OptionCase {
  const char* option;
  std::string OutputFileSettings::*field;
  const char* expected;
};

TEST(CommandLineOption, EveryPrefixSetsItsFileInAnyLetterCase) {
  const OptionCase cases[] = {
      {"vehicletrace=veh.txt", &OutputFileSettings::VehicleTraceFile, "veh.txt"},
      {"detectiontrace=det.trc", &OutputFileSettings::DetectionTraceFile, "det.trc"},
      {"DetectorToDetectorTravelTimeTrace=d.ddt", &OutputFileSettings::TravelTimeTraceFile,
       "d.ddt"},
      {"ODTRAVELTIMETRACE=od.odt", &OutputFileSettings::ODTravelTimeTraceFile, "od.odt"},
      {"laneChangeTrace=lc.lct", &OutputFileSettings::LaneChangeTraceFile, "lc.lct"},
      {"SimulationResults=r.ksr", &OutputFileSettings::SimulationResultsFile, "r.ksr"},
      {"extendedresults=x.ksx", &OutputFileSettings::ExtendedResultsFile, "x.ksx"},
      {"Batch=5,0,2,40", &OutputFileSettings::BatchSpecification, "5,0,2,40"},
      {"simulationresults=", &OutputFileSettings::SimulationResultsFile, ""},
  };
  for (const OptionCase& c : cases) {
    SCOPED_TRACE(c.option);
    OutputFileSettings settings;
    settings.SimulationResultsFile = "before";
    ASSERT_TRUE(ApplyProgramOption(c.option, settings));
    EXPECT_EQ(settings.*c.field, c.expected);
    if (c.field != &OutputFileSettings::SimulationResultsFile) {
      EXPECT_EQ(settings.SimulationResultsFile, "before");
    }
  }
}

TEST(CommandLineOption, ValueKeepsItsLetterCase) {
  OutputFileSettings settings;
  ASSERT_TRUE(ApplyProgramOption("VEHICLETRACE=Runs/Veh.TXT", settings));
  EXPECT_EQ(settings.VehicleTraceFile, "Runs/Veh.TXT");
}

TEST(CommandLineOption, LaterOptionOverridesEarlier) {
  OutputFileSettings settings;
  ASSERT_TRUE(ApplyProgramOption("detectiontrace=a.trc", settings));
  ASSERT_TRUE(ApplyProgramOption("DETECTIONTRACE=b.trc", settings));
  EXPECT_EQ(settings.DetectionTraceFile, "b.trc");
}

TEST(CommandLineOption, ValueIsCutAt999Characters) {
  OutputFileSettings settings;
  std::string longName(1500, 'a');
  ASSERT_TRUE(ApplyProgramOption("lanechangetrace=" + longName, settings));
  EXPECT_EQ(settings.LaneChangeTraceFile, std::string(999, 'a'));
}

TEST(CommandLineVehicleTrace, IntervalAfterFirstComma) {
  OutputFileSettings settings;
  ASSERT_TRUE(ApplyProgramOption("vehicletrace=veh.txt,10", settings));
  EXPECT_EQ(settings.VehicleTraceFile, "veh.txt");
  EXPECT_EQ(settings.VehicleTraceInterval, 10);
  ASSERT_TRUE(ApplyProgramOption("vehicletrace=other.txt", settings));
  EXPECT_EQ(settings.VehicleTraceFile, "other.txt");
  EXPECT_EQ(settings.VehicleTraceInterval, 10) << "an option without interval keeps the last one";
}

TEST(CommandLineVehicleTrace, RejectsIntervalThatIsNotAPositiveNumber) {
  const char* bad[] = {"vehicletrace=veh.txt,x",          "vehicletrace=veh.txt,",
                       "vehicletrace=veh.txt,0",          "vehicletrace=veh.txt,-5",
                       "vehicletrace=veh.txt,10x",        "vehicletrace=veh.txt,1,2",
                       "vehicletrace=veh.txt,99999999999"};
  for (const char* option : bad) {
    SCOPED_TRACE(option);
    OutputFileSettings settings;
    settings.VehicleTraceFile = "kept.txt";
    EXPECT_FALSE(ApplyProgramOption(option, settings));
    EXPECT_EQ(settings.VehicleTraceFile, "kept.txt");
    EXPECT_EQ(settings.VehicleTraceInterval, 1);
  }
}

TEST(CommandLineOption, RejectsUnknownOptions) {
  const char* bad[] = {"foo=1", "batch", "vehicletrace", "xvehicletrace=a", "", "model.kav"};
  for (const char* option : bad) {
    SCOPED_TRACE(option);
    OutputFileSettings settings;
    EXPECT_FALSE(ApplyProgramOption(option, settings));
    EXPECT_TRUE(settings.BatchSpecification.empty());
  }
}

TEST(CommandLineBatchSpecification, ReadsFourToSixNumbersWithLaneDefaults) {
  struct Case {
    const char* text;
    BatchRequest expected;
  };
  const Case cases[] = {
      {"5,0,2,40", {5, 0, 2, 40, 1, 12}},     {"1,0,0,0", {1, 0, 0, 0, 1, 12}},
      {"10,3,1,60,2", {10, 3, 1, 60, 2, 12}}, {"10,3,1,60,2,4", {10, 3, 1, 60, 2, 4}},
      {"1,0,0,0,3,3", {1, 0, 0, 0, 3, 3}},    {" 7, 1, 1, 50", {7, 1, 1, 50, 1, 12}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    BatchRequest request;
    ASSERT_TRUE(ScanBatchRequest(c.text, request));
    EXPECT_EQ(request.Runs, c.expected.Runs);
    EXPECT_EQ(request.StopDetector, c.expected.StopDetector);
    EXPECT_EQ(request.ReportDetector, c.expected.ReportDetector);
    EXPECT_EQ(request.DropSpeed, c.expected.DropSpeed);
    EXPECT_EQ(request.FirstLane, c.expected.FirstLane);
    EXPECT_EQ(request.LastLane, c.expected.LastLane);
  }
}

TEST(CommandLineBatchSpecification, RejectsTooFewNumbersAndBadLaneRanges) {
  const char* bad[] = {
      "5,0,0",         "1,0,0,0,3,2",        "1,0,0,0,1,13",   "1,0,0,0,0",  "",
      "a,b,c,d",       "5;0;2;40",           "5,0,,40",        "1,0,0,0,13", "99999999999,0,0,0",
      "5,0,2,40;junk", "1,0,0,0,1,12,99xyz", "1,0,0,0,1,12,1", "1,0,0,0,",   "1,0,0,0 ",
      "1,-1,0,0",      "1,0,-2,0",           "1,0,0,-1"};
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    BatchRequest request;
    request.Runs = 77;
    EXPECT_FALSE(ScanBatchRequest(text, request));
    EXPECT_EQ(request.Runs, 77);
  }
}

TEST(CommandLineBatchSpecification, LastLaneLimitFollowsTheMode) {
  BatchRequest request;
  EXPECT_FALSE(ScanBatchRequest("1,0,0,0,1,7", request, 6));
  EXPECT_TRUE(ScanBatchRequest("1,0,0,0,1,6", request, 6));
}

TEST(ResolveOutputFileNameRules, RelativeNamesFollowTheConfigurationFolder) {
  struct Case {
    const char* name;
    const char* current;
    int run;
    const char* expected;
  };
  const Case cases[] = {
      {"out%d.ksr", "/cases/model.kav", 3, "/cases/out3.ksr"},
      {"trace%03d.trc", "/cases/model.kav", 7, "/cases/trace007.trc"},
      {"trace%3d.trc", "/cases/model.kav", 7, "/cases/trace  7.trc"},
      {"plain.ksr", "/cases/model.kav", 3, "/cases/plain.ksr"},
      {"sub/plain.ksr", "/cases/model.kav", 0, "/cases/sub/plain.ksr"},
      {"plain.ksr", "model.kav", 0, "plain.ksr"},
      {"plain.ksr", "", 0, "plain.ksr"},
      {"/abs/out%d.ksr", "/cases/model.kav", 12, "/abs/out12.ksr"},
      {"\\share\\out.ksr", "/cases/model.kav", 1, "\\share\\out.ksr"},
      {"C:out.ksr", "/cases/model.kav", 1, "C:out.ksr"},
      {"out%d.ksr", "C:\\cases\\model.kav", 3, "C:\\cases\\out3.ksr"},
      {"out%d.ksr", "/cases/model.kav", 0, "/cases/out0.ksr"},
      {"out%x.ksr", "/cases/model.kav", 5, "/cases/out%x.ksr"},
      {"out%.ksr", "/cases/model.kav", 5, "/cases/out%.ksr"},
      {"out%", "/cases/model.kav", 5, "/cases/out%"},
      {"a%db%dc%s", "/cases/model.kav", 4, "/cases/a4b%dc%s"},
      {"out%d.ksr", "/data/100%done/model.kav", 2, "/data/100%done/out2.ksr"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " in " + c.current);
    EXPECT_EQ(ResolveOutputFileName(c.name, c.current, c.run), c.expected);
  }
}

// Bounded, but one wider than a file name can hold (255), so that it fails where it is
// written instead of naming another file than the one asked for.
TEST(ResolveOutputFileNameRules, HugeWidthIsBounded) {
  std::string resolved = ResolveOutputFileName("/t%999999999999d", "", 1);
  EXPECT_EQ(resolved.size(), 2u + 256u);
  EXPECT_EQ(resolved.back(), '1');
}

TEST(ReplaceExtensionRules, ReplacesOnlyTheFileNamesExtension) {
  EXPECT_EQ(ReplaceExtension("/cases/model.kav", ".log"), "/cases/model.log");
  EXPECT_EQ(ReplaceExtension("model.v2.kav", ".log"), "model.v2.log");
  EXPECT_EQ(ReplaceExtension("/cases.d/model", ".log"), "/cases.d/model.log");
  EXPECT_EQ(ReplaceExtension("model", ".log"), "model.log");
}

}  // namespace

namespace {

struct BatchOptionCase {
  std::vector<std::string> parameters;  // after the configuration file
  size_t used;                          // parameters read for the first one
  const char* bad;                      // the bad argument, "" when accepted
  int jobs;
  int firstRun;
  int lastRun;
};

TEST(CommandLineBatchOptions, JobsAndRunsWithTheirValuesAndTheBadOnesNamed) {
  const BatchOptionCase cases[] = {
      {{"--jobs", "4"}, 2, "", 4, 0, 0},
      {{"--JOBS=2"}, 1, "", 2, 0, 0},
      {{"--runs", "3-4"}, 2, "", 0, 3, 4},
      {{"--runs=7"}, 1, "", 0, 7, 7},
      {{"--runs", "1-10000"}, 2, "", 0, 1, 10000},
      {{"--jobs", "0"}, 2, "--jobs 0", 0, 0, 0},
      {{"--jobs", "x"}, 2, "--jobs x", 0, 0, 0},
      {{"--jobs", "-2"}, 2, "--jobs -2", 0, 0, 0},
      {{"--jobs", "1025"}, 2, "--jobs 1025", 0, 0, 0},
      {{"--jobs=0"}, 1, "--jobs=0", 0, 0, 0},
      {{"--jobs"}, 1, "--jobs", 0, 0, 0},
      {{"--runs", "5-3"}, 2, "--runs 5-3", 0, 0, 0},
      {{"--runs", "0-2"}, 2, "--runs 0-2", 0, 0, 0},
      {{"--runs", "2-"}, 2, "--runs 2-", 0, 0, 0},
      {{"--runs", "1-10001"}, 2, "--runs 1-10001", 0, 0, 0},
      {{"--runs", "batch=1,0,0,0"}, 1, "--runs", 0, 0, 0},
      {{"--capacity", "--jobs"}, 1, "--capacity", 0, 0, 0},
      {{"--jobs", "DetectionTrace=x"}, 1, "--jobs", 0, 0, 0},
      {{"--run", "2"}, 1, "--run", 0, 0, 0},
  };
  for (const BatchOptionCase& c : cases) {
    SCOPED_TRACE(c.parameters[0] + (c.parameters.size() > 1 ? " " + c.parameters[1] : ""));
    std::vector<std::string> parameters{"model.kav"};
    parameters.insert(parameters.end(), c.parameters.begin(), c.parameters.end());
    OutputFileSettings settings;
    std::string bad;
    EXPECT_EQ(ApplyProgramOptionAt(parameters, 1, settings, bad), c.used);
    EXPECT_EQ(bad, c.bad);
    EXPECT_EQ(settings.BatchJobs, c.jobs);
    EXPECT_EQ(settings.FirstRun, c.firstRun);
    EXPECT_EQ(settings.LastRun, c.lastRun);
  }
}

TEST(CommandLineBatchOptions, FilesWithoutRunNumberAreSharedByTheRuns) {
  EXPECT_TRUE(HasRunNumberDirective("out%d.ksr"));
  EXPECT_TRUE(HasRunNumberDirective("runs/out%03d.ksr"));
  EXPECT_FALSE(HasRunNumberDirective("out.ksr"));
  EXPECT_FALSE(HasRunNumberDirective("out%s.ksr"));
  EXPECT_FALSE(HasRunNumberDirective("100%.ksr"));
  OutputFileSettings settings;
  EXPECT_EQ(SharedOutputFile(settings), "");
  settings.SimulationResultsFile = "r%d.ksr";
  settings.VehicleTraceFile = "v%d.txt";
  EXPECT_EQ(SharedOutputFile(settings), "");
  settings.LaneChangeTraceFile = "lanes.lct";
  EXPECT_EQ(SharedOutputFile(settings), "lanes.lct");
}

}  // namespace
