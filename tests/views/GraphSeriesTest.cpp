// Detector graph series: axis scales, captions, the series of each lane and the aggregate, and
// which lines and markers are drawn when data are missing.

#include <gtest/gtest.h>

#include "support/ReportCapture.h"
#include "views/GraphSeries.h"

namespace {

GraphScale Scale(char id, int latest, int longest = 0) {
  GraphScale scale;
  EXPECT_TRUE(GraphAxisScale(id, latest, longest, scale));
  return scale;
}

TEST(GraphAxisScale, TimeAxisGrowsInSteps) {
  // First output at 300 s, interval 300 s: one period ends at 300 s, two at 600 s.
  EXPECT_EQ(Scale('t', 300).Max, 500);
  EXPECT_EQ(Scale('t', 600).Max, 1000);
  EXPECT_EQ(Scale('t', 0).Max, 200);
  EXPECT_EQ(Scale('t', 2001).Max, 5000);
  EXPECT_EQ(Scale('t', 5001).Max, 10000);
  EXPECT_EQ(Scale('t', 10001).Max, 20000);
  EXPECT_EQ(Scale('t', 20001).Max, 50000);
  EXPECT_EQ(Scale('t', 600).Major, 500);
  EXPECT_EQ(Scale('t', 600).Minor, 100);
}

TEST(GraphAxisScale, TravelTimeAxisRoundsUp) {
  EXPECT_EQ(Scale('T', 0, 0).Max, 60);
  EXPECT_EQ(Scale('T', 0, 100).Max, 120);
  EXPECT_EQ(Scale('T', 0, 1000).Max, 1800);
  EXPECT_EQ(Scale('T', 0, 3601).Max, 7200);
  EXPECT_EQ(Scale('T', 0, 50000).Max, 7200);
}

TEST(GraphAxisScale, FixedAxesAndUnknownId) {
  EXPECT_EQ(Scale('q', 0).Caption, "q [veh/h]");
  EXPECT_EQ(Scale('q', 0).Max, 4000);
  EXPECT_EQ(Scale('v', 0).Caption, "v[km/h]");
  ReportCapture capture;
  GraphScale scale;
  EXPECT_FALSE(GraphAxisScale('x', 0, 0, scale));
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].text, "Bad ScaleID passed to TFormGraph::SetScale");
}

TEST(GraphCaption, NamesDetectorAndKind) {
  EXPECT_EQ(GraphCaption("Detector", 2, 'q', 'k'), "Detector 3 q-k");
  EXPECT_EQ(GraphCaption("Detector", 2, 'u', 't'), "Detector 3 u(t)");
  EXPECT_EQ(GraphCaption("Detector", 0, 'T', 't'), "Detector 1 travel time(t)");
  EXPECT_EQ(GraphCaption("Detector", 0, 'v', 't'), "Detector 1 travel speed(t)");
  EXPECT_TRUE(IsGraphKind("Tt"));
  EXPECT_FALSE(IsGraphKind("tT"));
}

// Lane 0 has data in every period; lane 1 has no speed in period 1.
float FakeValues(char id, int period, float* perLane) {
  if (id == 'q') {
    perLane[0] = 1000.0f * (period + 1);
    perLane[1] = period == 1 ? 0 : 500;
    return perLane[0] + perLane[1];
  }
  perLane[0] = 100 - 10.0f * period;
  perLane[1] = period == 1 ? -1 : 90;
  return 95;
}

TEST(GraphSeries, MissingSpeedSkipsPointAndItsLines) {
  GraphSeries series = BuildGraphSeries(FakeValues, 'q', 'u', 3, 2);
  ASSERT_EQ(series.X.size(), 3u);  // two lanes and the aggregate
  EXPECT_EQ(series.X[0][2], 3000);
  EXPECT_EQ(series.Y[1][1], -1);
  EXPECT_EQ(series.X[2][0], 1500);
  GraphMapping map{400, 300, 40, 60, 8, 20, Scale('q', 0), Scale('u', 0)};
  std::vector<GraphSegment> segments;
  std::vector<GraphMarker> markers;
  GraphGeometry(series, map, {true, true, false}, segments, markers);
  // Lane 0: two lines and three markers; lane 1: no line (the middle point is missing) and two
  // markers; the aggregate is hidden.
  int lane0 = 0, lane1 = 0;
  for (const GraphSegment& s : segments) (s.Series == 0 ? lane0 : lane1)++;
  EXPECT_EQ(lane0, 2);
  EXPECT_EQ(lane1, 0);
  EXPECT_EQ(markers.size(), 5u);
}

TEST(GraphMapping, MinorTicksOnWholePixels) {
  GraphMapping map{437, 311, 40, 60, 8, 20, Scale('q', 0), Scale('u', 0)};
  // 20 minor ticks of flow, 15 of speed.
  EXPECT_EQ(map.PlotWidth() % 20, 0);
  EXPECT_EQ(map.PlotHeight() % 15, 0);
  EXPECT_EQ(map.X(0), 40);
  EXPECT_EQ(map.X(4000), 40 + map.PlotWidth());
  EXPECT_EQ(map.Y(0), 311 - 20);
  EXPECT_EQ(map.X(200) - map.X(0), map.PlotWidth() / 20);
  EXPECT_NEAR(map.XValue(map.X(2000)), 2000, 4000.0 / map.PlotWidth());
  EXPECT_NEAR(map.YValue(map.Y(75)), 75, 150.0 / map.PlotHeight());
}

}  // namespace
