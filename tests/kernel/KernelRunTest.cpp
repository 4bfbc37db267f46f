#include <gtest/gtest.h>

#include "config/KDConfig.h"
#include "config/RoadTypes.h"
#include "kernel/Kernel.h"
#include "kernel/KernelTestSupport.h"
#include "kernel/TestRoad.h"
#include "support/ReportCapture.h"

// Whole runs on configured roads: the set-up builds the road, the kernel runs it.

namespace {

// The default 5 km road with `lanes` lanes that allow no lane changes (each lane is then
// an origin and a destination of its own) and the rest unpaved, `flow` [veh/h] per lane of
// the first four default vehicle types, every vehicle going to the end of its lane.
void NoLaneChangeRoad(KDConfig& config, int lanes, int flow) {
  for (int lane = 0; lane < 3; ++lane)
    config.SetPhysicalSectionProperty(
        0, lane, PP_LANETYPE,
        static_cast<float>(lane < lanes ? LANETYPE_NOCHANGE : LANETYPE_UNPAVED));
  ASSERT_EQ(config.SourceCount(), lanes);
  ASSERT_EQ(config.SinkCount(), lanes);
  for (int origin = 0; origin < lanes; ++origin) {
    config.SetOFlow(origin, 0, flow);
    const float shares[] = {0.4f, 0.3f, 0.15f, 0.15f, 0};
    for (int type = 0; type < 5; ++type) config.SetOVProbability(origin, type, shares[type]);
    for (int sink = 0; sink < lanes; ++sink) {
      bool sameLane = config.SinkFromLane(sink) == config.SourceFromLane(origin);
      config.SetODProbability(origin, sink, -1, sameLane ? 1.0f : 0.0f);
    }
  }
}

struct RunResult {
  int created = 0;
  int arrived = 0;
  uint64_t digest = 0;
};

::testing::AssertionResult RunFor(Kernel& kernel, int seconds, RunResult* result) {
  for (int step = 0; step < seconds * kernel.StepsPerSecond(); ++step) {
    if (!kernel.SimulateStep())
      return ::testing::AssertionFailure()
             << "step " << kernel.StepCount() << ": " << kernel.ErrorText().value_or("?");
    if (step % 20 == 0) {
      std::string overlap = FindOverlap(kernel);
      if (!overlap.empty()) return ::testing::AssertionFailure() << overlap;
    }
  }
  result->created = kernel.VehicleIdCounter();
  result->arrived = kernel.ArrivedCount();
  result->digest = StateDigest(kernel);
  int onRoad = static_cast<int>(VehiclesOnRoad(kernel).size());
  if (result->created != onRoad + result->arrived)
    return ::testing::AssertionFailure() << "created " << result->created << ", on the road "
                                         << onRoad << ", arrived " << result->arrived;
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(KernelRun, NoLaneChangeRoadsRunAnHourAndVehiclesReachTheirDestinations) {
  for (int lanes : {1, 3}) {
    SCOPED_TRACE(lanes);
    ReportCapture capture;
    KDConfig config;
    NoLaneChangeRoad(config, lanes, 1500);
    Kernel kernel;
    RecordingSink sink;
    kernel.SetMessageSink(&sink);
    ASSERT_TRUE(kernel.KAV_setup(config, 12345, ""));
    RunResult result;
    ASSERT_TRUE(RunFor(kernel, 3600, &result));
    EXPECT_TRUE(sink.reports.empty()) << sink.reports[0].text;
    EXPECT_TRUE(capture.Empty());
    // 1500 veh/h per lane for an hour, less the few minutes' worth still on the road.
    EXPECT_NEAR(result.created, 1500 * lanes, 10 * lanes);
    EXPECT_GT(result.arrived, 1350 * lanes);
  }
}

TEST(KernelRun, SameSeedGivesIdenticalVehicleStates) {
  KDConfig config;
  NoLaneChangeRoad(config, 3, 1500);
  RunResult results[3];
  int32_t seeds[3] = {4711, 4711, 4713};
  for (int run = 0; run < 3; ++run) {
    Kernel kernel;
    RecordingSink sink;
    kernel.SetMessageSink(&sink);
    ASSERT_TRUE(kernel.KAV_setup(config, seeds[run], ""));
    ASSERT_TRUE(RunFor(kernel, 600, &results[run]));
  }
  EXPECT_EQ(results[0].digest, results[1].digest);
  EXPECT_EQ(results[0].created, results[1].created);
  EXPECT_NE(results[0].digest, results[2].digest);
}

TEST(KernelRun, ARepeatedSetUpStartsTheRunAfresh) {
  KDConfig config;
  NoLaneChangeRoad(config, 1, 1200);
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  RunResult first, second;
  ASSERT_TRUE(kernel.KAV_setup(config, 99, ""));
  ASSERT_TRUE(RunFor(kernel, 300, &first));
  ASSERT_TRUE(kernel.KAV_setup(config, 99, ""));
  EXPECT_EQ(kernel.VehicleIdCounter(), 0);
  EXPECT_EQ(kernel.ArrivedCount(), 0);
  ASSERT_TRUE(RunFor(kernel, 300, &second));
  EXPECT_EQ(first.digest, second.digest);
}

TEST(KernelRun, OriginsTakeTheirFlowGraphInStepsAndNormalisedShares) {
  KDConfig config;
  NoLaneChangeRoad(config, 1, 0);
  config.SetOFlow(0, 100, 1000);  // from 0 veh/h at 0 s to 1000 veh/h at 100 s
  config.SetOFlow(0, 300, 200);
  config.SetOVProbability(0, 0, 1);  // the shares now add up to 1.6: used normalised
  Kernel kernel;
  ASSERT_TRUE(kernel.KAV_setup(config, 1, ""));
  SuperSource& origin = *kernel.SuperSources()[0];
  EXPECT_EQ(origin.Demand().flowTime, (std::vector<int>{0, 200, 600}));
  EXPECT_FLOAT_EQ(origin.TotalFlow(100), 500);
  EXPECT_FLOAT_EQ(origin.TotalFlow(400), 600);
  EXPECT_FLOAT_EQ(origin.TotalFlow(100000), 200);
  float sum = 0;
  for (float share : origin.Demand().typeShare) sum += share;
  EXPECT_NEAR(sum, 1, 1e-5);
  EXPECT_FLOAT_EQ(origin.Demand().destinationProbability[2][0], 1);
}
