#include <gtest/gtest.h>

#include "shell/DetectorValues.h"
#include "support/ReportCapture.h"

namespace {

// One period of one detector: lane 0 with 10 vehicles at 100 km/h and 8 travel times summing
// to 400 s, lane 1 with 30 vehicles at 50 km/h, lane 2 empty.
DetectorSampleStore OnePeriod() {
  DetectorSampleStore store;
  store.StartRun(1);
  store.AddPeriod();
  DetectorSample& r = *store.Record(0, 0);
  r.Count[0] = 10;
  r.Speed[0] = 100;
  r.TravelTimeSum[0] = 400;
  r.TravelTimeCount[0] = 8;
  r.Count[1] = 30;
  r.Speed[1] = 50;
  r.Speed[2] = -1;
  return store;
}

}  // namespace

TEST(ComputeDetectorValues, QuantitiesPerLaneAndCrossSection) {
  DetectorSampleStore store = OnePeriod();
  DetectorValueContext context{300, 60, 500};
  struct Case {
    char id;
    int divisor;
    float aggregate;
    float lane0, lane1, lane2;
  } cases[] = {
      {'q', 1, 480, 120, 360, 0},  // 10 and 30 vehicles in 300 s
      {'q', 2, 240, 120, 360, 0},       {'k', 1, 8.4f, 1.2f, 7.2f, 0},  // q / u
      {'u', 1, 40 / 0.7f, 100, 50, -1},  // harmonic mean: 40 / (10/100 + 30/50)
      {'T', 1, 50, 50, -1, -1},         {'v', 1, 36, 36, -1, -1},  // 500 m in 50 s
      {'t', 1, 300, 300, 300, 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.id << " / " << c.divisor);
    float lanes[3] = {};
    EXPECT_FLOAT_EQ(c.aggregate,
                    ComputeDetectorValues(store, c.id, 0, 0, lanes, c.divisor, 3, 300, context));
    EXPECT_FLOAT_EQ(c.lane0, lanes[0]);
    EXPECT_FLOAT_EQ(c.lane1, lanes[1]);
    EXPECT_FLOAT_EQ(c.lane2, lanes[2]);
  }
}

TEST(ComputeDetectorValues, EmptyPeriodHasNoData) {
  DetectorSampleStore store;
  store.StartRun(1);
  store.AddPeriod();
  DetectorValueContext context{300, 60, 500};
  const struct {
    char id;
    float aggregate;
  } cases[] = {{'q', 0}, {'k', 0}, {'u', -1}, {'T', -1}, {'v', -1}, {'t', 360}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    float lanes[2] = {};
    // Period 1 of the store does not exist: it reads as an empty record.
    EXPECT_FLOAT_EQ(c.aggregate, ComputeDetectorValues(store, c.id, 1, 0, lanes, 1, 2, 0, context));
  }
}

TEST(ComputeDetectorValues, PeriodLengthZeroCountsAsOneSecond) {
  DetectorSampleStore store = OnePeriod();
  float lanes[1] = {};
  EXPECT_FLOAT_EQ(36000, ComputeDetectorValues(store, 'q', 0, 0, lanes, 1, 1, 0, {}));
}

TEST(ComputeDetectorValues, UnknownScaleIsAProgramError) {
  DetectorSampleStore store = OnePeriod();
  float lanes[1] = {7};
  ReportCapture capture;
  ComputeDetectorValues(store, 'x', 0, 0, lanes, 1, 1, 300, {});
  EXPECT_EQ("Bad ScaleID passed to TFormGraph::ComputeDetectorValues", capture.OnlyText());
  EXPECT_FLOAT_EQ(7, lanes[0]);
}

TEST(DetectorSampleStore, NewRunOverwritesFromPeriodZero) {
  DetectorSampleStore store = OnePeriod();
  store.StartRun(2);
  EXPECT_EQ(nullptr, store.Record(0, 0));
  ASSERT_TRUE(store.AddPeriod());
  EXPECT_EQ(0, store.Record(0, 0)->Count[0]);
  EXPECT_EQ(0, store.Record(0, 1)->Count[0]);
  EXPECT_EQ(nullptr, store.Record(0, 2));
}
