#include <gtest/gtest.h>

#include "kernel/Kernel.h"
#include "kernel/KernelTestSupport.h"
#include "kernel/KernelTraces.h"
#include "kernel/TestRoad.h"

// Detector accumulators and queries against hand-computed values, and the trace lines written
// while vehicles pass detectors and sinks and change lanes.

namespace {

class DetectorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kernel_.SetMessageSink(&sink_);
    road_ = std::make_unique<TestRoad>(kernel_, 5000, 3, 2);
    kernel_.AddParamSet(CarParams());
    kernel_.AddParamSet(TruckParams());
    detector_ = kernel_.CreateObject(LANE_DETECTORS, RO_DETECTOR, 1000, 0);
    kernel_.SetClock(100, 2);
  }
  // A vehicle that moves `distance` [m] at constant speed over the detector in this step.
  RoadObject* Pass(float distance, int lane = 0, int type = 0, int id = 1) {
    RoadObject* vehicle = PlaceVehicle(kernel_, lane, 999, distance * 2, type, id);
    EXPECT_TRUE(vehicle->MoveVehicle(999 + distance, distance * 2, 0));
    return vehicle;
  }
  DetectorInfo& Info() { return *detector_->Detector(); }

  Kernel kernel_;
  RecordingSink sink_;
  std::unique_ptr<TestRoad> road_;
  RoadObject* detector_ = nullptr;
};

}  // namespace

TEST_F(DetectorTest, HarmonicSpeedOfTwentyAndThirtyMetresPerSecondIs86Point4) {
  Pass(10, 0, 0, 1);  // 20 m/s
  Pass(15, 1, 0, 2);  // 30 m/s
  EXPECT_FLOAT_EQ(Info().HarmonicSpeed(0, -1, -1), 86.4f);
  EXPECT_FLOAT_EQ(Info().HarmonicSpeed(0, 0, -1), 72.0f);
  EXPECT_FLOAT_EQ(Info().HarmonicSpeed(0, 1, 0), 108.0f);
  EXPECT_EQ(Info().VehicleCount(0, -1, -1), 2);
}

TEST_F(DetectorTest, QueriesOutsideTheRecordedCellsHoldNothing) {
  Pass(10, 0, 1);  // a truck in lane 0
  struct Case {
    int period, lane, type;
    int count;
    float speed;
  } cases[] = {
      {0, 0, 0, 0, -1},    // no car counted
      {0, 2, -1, 0, -1},   // no vehicle in that lane
      {1, -1, -1, 0, -1},  // a period never reached
      {-1, 0, 1, 0, -1},  {0, 12, 1, 0, -1}, {0, -2, 1, 0, -1}, {0, 0, 1, 1, 72}, {0, -1, 1, 1, 72},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.period << " " << c.lane << " " << c.type);
    EXPECT_EQ(Info().VehicleCount(c.period, c.lane, c.type), c.count);
    EXPECT_FLOAT_EQ(Info().HarmonicSpeed(c.period, c.lane, c.type), c.speed);
  }
  EXPECT_EQ(Info().TravelTimeSum(1, -1, -1), -1);
  EXPECT_EQ(Info().TravelTimeCount(1, -1, -1), 0);
  EXPECT_EQ(Info().LaneChanges(1), 0);
}

TEST_F(DetectorTest, AVehicleThatHardlyMovedCountsAsTenthOfAMetre) {
  RoadObject* vehicle = PlaceVehicle(kernel_, 0, 999.99f, 0.01f);
  ASSERT_TRUE(vehicle->MoveVehicle(1000.01f, 0.01f, 0));
  EXPECT_FLOAT_EQ(Info().periods[0].inverseSpeedSum[0][0], 1000 / 0.1f / 2);
}

TEST_F(DetectorTest, TravelTimesOnlyAfterAnEarlierDetector) {
  RoadObject* first = Pass(10, 0, 0, 1);
  EXPECT_EQ(Info().TravelTimeCount(0, -1, -1), 0);
  EXPECT_EQ(Info().TravelTimeSum(0, -1, -1), 0);
  RoadObject* downstream = kernel_.CreateObject(LANE_DETECTORS, RO_DETECTOR, 1100, 1);
  // Passed the first at 49.55 s (9 m back at 20 m/s from 50 s), the second at 54.95 s.
  kernel_.SetClock(110, 2);
  first->Vehicle()->previousPosition = first->Position();
  ASSERT_TRUE(first->MoveVehicle(1101, 20, 0));
  DetectorInfo& second = *downstream->Detector();
  EXPECT_EQ(second.TravelTimeCount(0, 0, 0), 1);
  EXPECT_NEAR(second.TravelTimeSum(0, -1, -1), 5.4f, 1e-4);
  EXPECT_EQ(second.TravelTimeCount(0, -1, 1), 0);
}

TEST(DetectorPeriods, DetectorTimesOf300And300AtTwoStepsPerSecond) {
  struct Case {
    int step, period;
  } cases[] = {{0, 0}, {599, 0}, {600, 1}, {1199, 1}, {1200, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    EXPECT_EQ(DetectorInfo::PeriodOfStep(c.step, 600, 600), c.period);
  }
}

TEST_F(DetectorTest, LaneChangesAreCountedByDirectionInTheCurrentPeriod) {
  Info().CountLaneChange(-1);
  Info().CountLaneChange(-11);
  Info().CountLaneChange(12);
  EXPECT_EQ(Info().LaneChanges(0), 3);
  EXPECT_EQ(Info().LaneChangesLeft(0), 2);
  EXPECT_EQ(Info().LaneChangesRight(0), 1);
  EXPECT_EQ(Info().highestPeriod, 0);
}

TEST_F(DetectorTest, DetectionAndTravelTimeTraceLines) {
  StringTraceSink detection, travel;
  kernel_.SetTraceSink(KernelTrace::Detection, &detection);
  kernel_.SetTraceSink(KernelTrace::DetectorTravelTime, &travel);
  // A truck in lane 1 at 20 m/s passes 9 m before the end of its move from 50 s.
  RoadObject* vehicle = Pass(10, 1, 1, 7);
  EXPECT_EQ(detection.text, "1000\t2\t49.55\t20\t2\t7\t1\n");
  EXPECT_EQ(travel.text, "");  // its first detector

  kernel_.CreateObject(LANE_DETECTORS, RO_DETECTOR, 1100, 1);
  kernel_.SetClock(110, 2);
  vehicle->Vehicle()->previousPosition = vehicle->Position();
  ASSERT_TRUE(vehicle->MoveVehicle(1101, 20, 0));
  // 5.4 s later, 100 m from the detector before.
  EXPECT_EQ(travel.text, "1100\t2\t54.95\t5.4\t18.5185\t2\t7\t1\n");
}

TEST(KernelTraceHeaders, ExactHeaderLines) {
  EXPECT_STREQ(KernelTraceHeader(KernelTrace::Detection),
               "pos (m)\tlane\tt (s)\tv (m/s)\ttype\tid\tdest\n");
  EXPECT_STREQ(KernelTraceHeader(KernelTrace::DetectorTravelTime),
               "pos (m)\tlane\tt (s)\tdt (s)\tv (m/s)\ttype\tid\tdest\n");
  EXPECT_STREQ(KernelTraceHeader(KernelTrace::ODTravelTime),
               "t (s)\torigin\tdest\ttt (s)\tv (m/s)\ttype\tid\n");
  EXPECT_STREQ(KernelTraceHeader(KernelTrace::LaneChange),
               "t (s)\tfromln\ttolane\tpos (m)\tttype\tid\n");
}

TEST(KernelTraceHeaders, WrittenInTheFirstStepOnly) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  TestRoad road(kernel, 1000, 1);
  StringTraceSink traces[KERNEL_TRACE_COUNT];
  for (int i = 0; i < KERNEL_TRACE_COUNT; ++i)
    kernel.SetTraceSink(static_cast<KernelTrace>(i), &traces[i]);
  ASSERT_TRUE(kernel.SimulateStep());
  ASSERT_TRUE(kernel.SimulateStep());
  for (int i = 0; i < KERNEL_TRACE_COUNT; ++i)
    EXPECT_EQ(traces[i].text, KernelTraceHeader(static_cast<KernelTrace>(i)));
}

TEST(KernelTraceStreams, LinesGoToTheGivenStreams) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  TestRoad road(kernel, 1000, 1);
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  kernel.SetTraceFiles(nullptr, nullptr, nullptr, file);
  ASSERT_TRUE(kernel.SimulateStep());
  std::rewind(file);
  char line[100] = {};
  ASSERT_NE(std::fgets(line, sizeof line, file), nullptr);
  EXPECT_STREQ(line, KernelTraceHeader(KernelTrace::LaneChange));
  std::fclose(file);
  EXPECT_EQ(kernel.TraceSinkOf(KernelTrace::Detection), nullptr);
}
