// The capacity distribution picture's numbers: which statuses count, the axis bounds, the
// statistics and the ticks.

#include <gtest/gtest.h>

#include "views/CapacityPicture.h"

namespace {

std::string Report(int flow) {
  return "Time 1800: U[1]=35.2 km/h, Time 1500: Q[1]=" + std::to_string(flow) +
         " veh/h {2000, 2100}";
}

TEST(ReadCapacityFlows, NoReportGivesAxisFrom1000To2000) {
  CapacityFlows flows =
      ReadCapacityFlows({"Maximum simulation time reached", "", "Aborted by user"});
  EXPECT_TRUE(flows.Flows.empty());
  EXPECT_EQ(flows.Min, 1000);
  EXPECT_EQ(flows.Max, 2000);
}

TEST(ReadCapacityFlows, OneReportGivesItsThousand) {
  CapacityFlows flows = ReadCapacityFlows({Report(4100)});
  ASSERT_EQ(flows.Flows.size(), 1u);
  EXPECT_EQ(flows.Min, 4000);
  EXPECT_EQ(flows.Max, 5000);
}

TEST(ReadCapacityFlows, ThreeReportsAndTheirStatistics) {
  CapacityFlows flows =
      ReadCapacityFlows({Report(3900), Report(4100), "Running ...", Report(4300)});
  ASSERT_EQ(flows.Flows.size(), 3u);
  EXPECT_EQ(flows.Min, 3000);
  EXPECT_EQ(flows.Max, 5000);
  CapacityStatistics s = FlowStatistics({3900, 4100, 4300}, flows.Sum, flows.SumOfSquares);
  EXPECT_EQ(s.Mean, 4100);
  EXPECT_EQ(s.Median, 4100);
  EXPECT_EQ(s.StandardDeviation, 200);
}

TEST(ReadCapacityFlows, EvenCountMedianIsTruncatedMean) {
  CapacityFlows flows = ReadCapacityFlows({Report(4500), Report(4000), Report(4200), Report(4100)});
  std::vector<std::int32_t> sorted = {4000, 4100, 4200, 4500};
  EXPECT_EQ(FlowStatistics(sorted, flows.Sum, flows.SumOfSquares).Median, 4150);
}

TEST(ReportedFlow, StatusesWithoutNumberAfterTheEqualsSignDoNotCount) {
  std::int32_t flow = 0;
  EXPECT_FALSE(ReportedFlow("Time 3: Q[1] veh/h", flow));
  EXPECT_FALSE(ReportedFlow("Time 3: Q[1]= veh/h", flow));
  EXPECT_FALSE(ReportedFlow("Time 3: U[1]=35.0 km/h", flow));
  EXPECT_TRUE(ReportedFlow("x Q[2]=4100 veh/h", flow));
  EXPECT_EQ(flow, 4100);
}

TEST(FlowTicks, StartAtTheMultipleBelowMin) {
  EXPECT_EQ(FlowTickStep(3000, 5000, 10), 200);
  EXPECT_EQ(FlowTickStep(0, 30000, 2), 5000);
  EXPECT_EQ(FlowTickStep(3000, 9000, 2), 5000);
  std::vector<std::int32_t> ticks = FlowTicks(3000, 9000, 5000);
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_EQ(ticks[0], 0);  // left of the vertical axis
  EXPECT_EQ(ticks[1], 5000);
}

TEST(CapacityMapping, ProbabilitiesAndFlowsOnThePlot) {
  CapacityMapping map{665, 460, 4000, 5000};
  EXPECT_EQ(map.X(4000), 40);
  EXPECT_EQ(map.X(5000), 640);
  EXPECT_EQ(map.Y(1), 20);
  EXPECT_EQ(map.Y(0), 420);
  EXPECT_EQ(map.Y(0.5), 220);
}

}  // namespace
