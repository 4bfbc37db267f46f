#include <gtest/gtest.h>

#include "roadview/DemandTestSupport.h"
#include "roadview/FlowChart.h"

TEST(FlowChartScale, RangesCoverTheGraphsAndTheCapacity) {
  auto config = LoadWeavingExample();
  const FlowChartScale scale = MakeFlowChartScale(*config, 1, 453, 224);
  // Latest point 2700 s: (2700 + 2000) / 1800 * 1800.
  EXPECT_EQ(scale.timeRange, 3600);
  EXPECT_EQ(scale.flowRange, static_cast<int>(config->MaxSourceFlow(1)));
  EXPECT_EQ(scale.capacity, static_cast<int>(config->MaxSourceFlow(1)));
  // 400 px of room, 60 time units of 60 s fit: 6 px each.
  EXPECT_EQ(scale.plotWidth, 360);
  EXPECT_EQ(scale.TimeX(0), 35);
  EXPECT_EQ(scale.TimeX(3600), 395);
  EXPECT_EQ(scale.FlowY(0), 208);
  EXPECT_EQ(scale.FlowY(scale.flowRange), 8);
  EXPECT_EQ(scale.TimeAt(215), 1800);
}

TEST(FlowChartScale, NarrowChartsUseCoarserTimeUnits) {
  KDConfig config;
  const FlowChartScale scale = MakeFlowChartScale(config, -1, 100, 100);
  EXPECT_EQ(scale.capacity, 1000);
  EXPECT_LE(scale.TimeX(scale.timeRange), 100);
  EXPECT_GT(scale.plotWidth, 0);
}

TEST(FlowChartLine, EndsAtTheRightEdgeAtTheLastFlow) {
  auto config = LoadWeavingExample();
  const FlowChartScale scale = MakeFlowChartScale(*config, 0, 453, 224);
  const auto line = FlowChartLine(*config, 0, scale);
  ASSERT_EQ(line.size(), 4u);
  EXPECT_EQ(line[0].x, 35);
  EXPECT_EQ(line[3].x, 452);
  EXPECT_EQ(line[3].y, line[2].y);
  EXPECT_EQ(line[2].y, scale.FlowY(800));
}

TEST(FlowChartTicks, LabelsDoNotOverlap) {
  auto config = LoadWeavingExample();
  const FlowChartScale scale = MakeFlowChartScale(*config, 0, 453, 224);
  const int step = FlowChartTimeStep(scale, 40);
  EXPECT_GE(scale.plotWidth * step / scale.timeRange, 40);
  EXPECT_EQ(step, 900);  // 1800 s span 180 px, twice 40 fits: halved once
  const int flowStep = FlowChartFlowStep(scale, 14);
  EXPECT_GE(flowStep * 200 / scale.flowRange, 14);
}

TEST(FlowChartScale, FlowsAboveTheCapacityStayOnTheChart) {
  auto config = LoadWeavingExample();
  config->SetOFlow(1, 3600, 9000);
  const FlowChartScale scale = MakeFlowChartScale(*config, 1, 453, 224);
  EXPECT_EQ(scale.flowRange, 9000);
  EXPECT_GE(scale.FlowY(9000), 0);
}
