#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/GoldenFile.h"
#include "shell/RunTestSupport.h"
#include "shell/TraceFiles.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

TEST(KernelTraceFiles, SameNameAppendsNewNameCreates) {
  std::string folder = FreshTestFolder("trace-files").string() + "/";
  std::string config = folder + "case.kav";
  OutputFileSettings settings;
  settings.DetectionTraceFile = "trace%d.trc";
  KernelTraceFiles traces;
  for (int run : {1, 1, 2}) {
    traces.OpenSet(settings, config, run);
    ASSERT_TRUE(traces.IsOpen(KernelTraceFiles::Detection));
    std::fprintf(traces.Sinks().Detection, "run %d\n", run);
    traces.CloseAll();
  }
  EXPECT_EQ("run 1\nrun 1\n", ReadWholeFile(folder + "trace1.trc"));
  EXPECT_EQ("run 2\n", ReadWholeFile(folder + "trace2.trc"));
  EXPECT_EQ(folder + "trace2.trc", traces.PreviousName(KernelTraceFiles::Detection));
  std::remove((folder + "trace1.trc").c_str());
  traces.OpenSet(settings, config, 1);  // a name other than the last one: created anew
  traces.CloseAll();
  EXPECT_EQ("", ReadWholeFile(folder + "trace1.trc"));
  std::remove((folder + "trace1.trc").c_str());
  std::remove((folder + "trace2.trc").c_str());
}

TEST(KernelTraceFiles, UnopenableTraceIsReportedAndSwitchedOff) {
  OutputFileSettings settings;
  settings.LaneChangeTraceFile = "/nonexistent-folder/lc.lct";
  settings.ODTravelTimeTraceFile = FreshTestFolder("trace-od").string() + "/od.odt";
  KernelTraceFiles traces;
  ReportCapture capture;
  traces.OpenSet(settings, "", 0);
  EXPECT_EQ("Cannot write to file \"/nonexistent-folder/lc.lct\": No such file or directory.",
            capture.OnlyText());
  EXPECT_EQ("", settings.LaneChangeTraceFile);
  EXPECT_TRUE(traces.IsOpen(KernelTraceFiles::ODTravelTime));
  EXPECT_FALSE(traces.IsOpen(KernelTraceFiles::LaneChange));
  traces.CloseAll();
  std::remove(settings.ODTravelTimeTraceFile.c_str());
}

TEST(KernelTraceFiles, RunOpensAtItsFirstStepAndClosesAtItsEnd) {
  FakeRun fake(3);
  fake.outputs.DetectionTraceFile = FreshTestFolder("trace-run").string() + "/run.trc";
  std::remove(fake.outputs.DetectionTraceFile.c_str());
  fake.RunToEnd();
  EXPECT_FALSE(fake.run.TraceFiles().IsOpen(KernelTraceFiles::Detection));
  EXPECT_EQ(nullptr, fake.simulation->sinks.Detection);
  fake.run.Reset();
  fake.RunToEnd();  // a second run continues the same file
  EXPECT_EQ("step 1\nstep 2\nstep 3\nstep 1\nstep 2\nstep 3\n",
            ReadWholeFile(fake.outputs.DetectionTraceFile));
  std::remove(fake.outputs.DetectionTraceFile.c_str());
}

TEST(VehicleTrace, GoldenLinesEveryIntervalSteps) {
  FakeRun fake(6);
  fake.config->SetTimeStep(0.5f);
  fake.outputs.VehicleTraceFile = FreshTestFolder("trace-vehicles").string() + "/vehicles.txt";
  fake.outputs.VehicleTraceInterval = 2;
  fake.simulation->onStep = [](int step, FakeSimulation& sim) {
    sim.vehicles = {
        {7, 1, 2, 100.0f + step * 12.5f, 25.0f, true, "Ramp", "Downstream"},
        {3, 0, 0, 1234.56f + step * 30.0f, 30.123f, false, "Main", "Taper end"},
    };
  };
  fake.RunToEnd();
  ExpectGolden("vehicles.txt", ReadWholeFile(fake.outputs.VehicleTraceFile));
  std::remove(fake.outputs.VehicleTraceFile.c_str());
}

TEST(VehicleTracks, SamplesFollowEachVehicleStepByStep) {
  FakeRun fake(4);
  fake.simulation->onStep = [](int step, FakeSimulation& sim) {
    sim.vehicles.clear();
    sim.vehicles.push_back({1, 0, 1, 10.0f * step + 0.05f, 10, step % 2 == 0, "", ""});
    if (step != 3) sim.vehicles.push_back({2, 4, 2, 500.0f, 0, false, "", ""});
  };
  fake.RunToEnd();
  const std::vector<VehicleTrack>& tracks = fake.run.Tracks().Tracks();
  ASSERT_EQ(3u, tracks.size());  // vehicle 2 was missing at step 3: a new track at step 4
  EXPECT_EQ(1, tracks[0].FirstStep);
  EXPECT_EQ(3, tracks[0].LastIndex);
  EXPECT_FLOAT_EQ(40.0f, SamplePosition(tracks[0].Samples[3]));
  EXPECT_TRUE(SampleKeepsDistance(tracks[0].Samples[1]));
  EXPECT_FALSE(SampleKeepsDistance(tracks[0].Samples[2]));
  EXPECT_EQ(1, SampleLane(tracks[0].Samples[0]));
  EXPECT_EQ(1, tracks[1].LastIndex);
  EXPECT_EQ(4, tracks[2].FirstStep);
  EXPECT_EQ(4, tracks[2].VehicleType);
}

TEST(VehicleTracks, PackedSampleFields) {
  struct Case {
    float position;
    bool flag;
    int lane;
  } cases[] = {{0, false, 0}, {838860.7f, true, 11}, {1234.56f, false, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    std::uint32_t packed = PackSample(c.position, c.flag, c.lane);
    EXPECT_NEAR(c.position, SamplePosition(packed), 0.1f);
    EXPECT_EQ(c.flag, SampleKeepsDistance(packed));
    EXPECT_EQ(c.lane, SampleLane(packed));
  }
}

TEST(VehicleTracks, DesiredDistanceFlag) {
  // Leader front at 100 m, 5 m long; own front at 60 m; desired distance 5 + 1 x 20 = 25 m
  // needs the leader's rear at 85 m or more: it is at 95 m.
  EXPECT_TRUE(KeepsDesiredDistance(100, 5, 60, 20, 5, 1, 0));
  EXPECT_FALSE(KeepsDesiredDistance(100, 5, 71, 20, 5, 1, 0));
  EXPECT_TRUE(KeepsDesiredDistance(100, 5, 70, 20, 5, 1, 0));  // exactly: 0.1 m tolerance
}

TEST(TraceFileFailures, AFolderInPlaceOfTheVehicleTraceIsReportedAndNamed) {
  std::string folder = FreshTestFolder("trace-vehicle-folder").string();
  std::filesystem::create_directory(folder + "/veh.txt");
  FakeRun fake(4);
  fake.outputs.VehicleTraceFile = folder + "/veh.txt";
  fake.outputs.VehicleTraceInterval = 2;
  ReportCapture capture;
  fake.RunToEnd();
  EXPECT_EQ("Cannot write to file \"" + folder + "/veh.txt\": it is a folder.", capture.OnlyText());
  EXPECT_EQ(std::vector<std::string>{folder + "/veh.txt"}, fake.run.TakeUnwrittenFiles());
  EXPECT_TRUE(std::filesystem::is_directory(folder + "/veh.txt"));
}

TEST(TraceFileFailures, ADeviceIsNeverWrittenOrReplaced) {
  OutputFileSettings settings;
  settings.DetectionTraceFile = "/dev/full";
  KernelTraceFiles traces;
  ReportCapture capture;
  traces.OpenSet(settings, "", 0);
  EXPECT_EQ("Cannot write to file \"/dev/full\": it is not a regular file.", capture.OnlyText());
  EXPECT_FALSE(traces.IsOpen(KernelTraceFiles::Detection));
  EXPECT_EQ(std::vector<std::string>{"/dev/full"}, traces.TakeUnwrittenFiles());
  EXPECT_TRUE(traces.TakeUnwrittenFiles().empty());
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

// A process killed during a run leaves the file of an earlier run as it was: the new trace
// takes its name only when the run ends.
TEST(TraceFileFailures, AnOlderTraceStaysWholeUntilTheRunEnds) {
  std::string folder = FreshTestFolder("trace-older").string();
  for (const char* name : {"/run.trc", "/veh.txt"}) {
    FILE* old = std::fopen((folder + name).c_str(), "w");
    std::fputs("older run\n", old);
    std::fclose(old);
  }
  FakeRun fake(3);
  fake.outputs.DetectionTraceFile = folder + "/run.trc";
  fake.outputs.VehicleTraceFile = folder + "/veh.txt";
  fake.run.Continue();
  fake.run.RunOneStep();
  fake.run.RunOneStep();
  std::fflush(fake.simulation->sinks.Detection);
  EXPECT_EQ("older run\n", ReadWholeFile(folder + "/run.trc"));
  EXPECT_EQ("older run\n", ReadWholeFile(folder + "/veh.txt"));
  fake.RunToEnd();
  EXPECT_EQ("step 1\nstep 2\nstep 3\n", ReadWholeFile(folder + "/run.trc"));
  EXPECT_EQ("#time\tID\ttype\torigin\tdest.\tlane\tpos.\tspeed\n",
            ReadWholeFile(folder + "/veh.txt"));
  // No temporary file stays behind.
  EXPECT_EQ(2, std::distance(std::filesystem::directory_iterator(folder),
                             std::filesystem::directory_iterator()));
}
