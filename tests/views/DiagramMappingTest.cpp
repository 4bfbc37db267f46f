#include <gtest/gtest.h>

#include "views/DiagramMapping.h"

namespace {

const DiagramMargins kMargins = DiagramMargins::FromTextExtents(30, 25, 14);

TEST(DiagramUnits, TimeUnitHalvesTwiceThenTakesTwoFifths) {
  EXPECT_EQ(DiagramUnitT(7200), 6000);
  EXPECT_EQ(DiagramUnitT(3600), 3000);
  EXPECT_EQ(DiagramUnitT(1200000), 1200000);
  EXPECT_EQ(DiagramUnitT(0), 1);
}

TEST(DiagramUnits, XUnitIsTheFirstThatCoversTheRoad) {
  EXPECT_EQ(DiagramUnitX(5000, 600), 100);
  EXPECT_EQ(DiagramUnitX(50000, 600), 100);
  EXPECT_EQ(DiagramUnitX(70000, 600), 200);
  EXPECT_EQ(DiagramUnitX(250000, 600), 500);
}

TEST(DiagramMargins, FollowTheTextExtents) {
  EXPECT_EQ(kMargins.left, 36);
  EXPECT_EQ(kMargins.right, 29);
  EXPECT_EQ(kMargins.top, 21);
  EXPECT_EQ(kMargins.bottom, 18);
}

TEST(DiagramMapping, UnzoomedPlotSpansTheRoadAndTheRun) {
  DiagramMapping m(5000, 3600, 665, 500, kMargins, DiagramView{});
  // 665 - 36 - 29 = 600 pixels, a multiple of 5000 / 100 = 50.
  EXPECT_EQ(m.PlotWidth(), 600);
  EXPECT_EQ(m.X(0), 36);
  EXPECT_EQ(m.X(5000), 636);
  EXPECT_EQ(m.Y(0), 500 - 18);
  // 500 - 21 - 18 = 461 rounded down to a multiple of 3600 / 3000 = 1.2.
  EXPECT_DOUBLE_EQ(m.PlotHeight(), 460.8);
  EXPECT_EQ(m.Y(3600), static_cast<int>(482 - 460.8));
  EXPECT_NEAR(m.PositionAt(m.X(2500)), 2500, 5000.0 / 600);
  EXPECT_NEAR(m.TimeAt(m.Y(1800)), 1800, 3600 / 460.8);
}

TEST(DiagramMapping, ZoomAndScrollShowTheFarEnd) {
  DiagramView view;
  view.zoomX = 12;  // factor 10
  view.scrollX = 1000;
  view.zoomY = 36 - 12;
  view.scrollY = 0;
  DiagramMapping m(5000, 3600, 665, 500, kMargins, view);
  EXPECT_DOUBLE_EQ(m.ZoomX(), 10);
  EXPECT_DOUBLE_EQ(m.ZoomY(), 10);
  EXPECT_EQ(m.X(5000), 636);                            // the road's end at the right edge
  EXPECT_EQ(m.X(4500), 36);                             // a tenth of the road visible
  EXPECT_EQ(m.Y(3600), static_cast<int>(482 - 460.8));  // the run's end at the top
  EXPECT_NEAR(m.TimeAt(m.AxisY()), 3240, 1e-9);
  EXPECT_EQ(m.LargeChangeX(), 100);
}

TEST(DiagramMapping, LabelStepsGrowUntilALabelFits) {
  DiagramMapping m(5000, 3600, 665, 500, kMargins, DiagramView{});
  // 600 pixels for 5000 m: 10 m = 1.2 px, ... 500 m = 60 px is the first wider than 40.
  EXPECT_EQ(m.PositionLabelStep(40), 500);
  // 460.8 pixels for 3600 s: 3, 6, 12, 30 s = 3.84 px, ... 300 s = 38.4 px.
  EXPECT_EQ(m.TimeLabelStep(20), 300);
}

TEST(RectangleZoom, NarrowSelectionTakesTheLargestZoom) {
  AxisZoom zoom = ZoomIntoSpan(100, 1, 5000);
  EXPECT_EQ(zoom.index, 36);
  DiagramView view = ZoomIntoRectangle(100, 10, 101, 10.5, 5000, 3600);
  EXPECT_EQ(view.zoomX, 24);  // the track bar ends at 24
  EXPECT_EQ(view.zoomY, 0);
}

TEST(RectangleZoom, SelectionIsCentredInTheVisibleSpan) {
  // 1000 m of 5000: the largest factor with 1001 < 5000 / f is 4.7 (index 8).
  AxisZoom zoom = ZoomIntoSpan(2000, 1000, 5000);
  EXPECT_EQ(zoom.index, 8);
  EXPECT_NEAR(zoom.start, 2000 - (5000 / 4.7 - 1001) / 2, 1e-9);
  DiagramView view = ZoomIntoRectangle(2000, 0, 3000, 3599, 5000, 3600);
  EXPECT_EQ(view.zoomX, 8);
  EXPECT_EQ(view.zoomY, 36);  // the whole run: no time zoom
  DiagramMapping m(5000, 3600, 665, 500, kMargins, view);
  EXPECT_LT(m.PositionAt(m.Margins().left), 2000);
  EXPECT_GT(m.PositionAt(665 - m.Margins().right), 3000);
}

}  // namespace

namespace {

// Zooming into a rectangle keeps the rectangle in view on both axes.
TEST(RectangleZoom, TheSelectionStaysInView) {
  const double rectangles[][4] = {
      {2000, 100, 3000, 400}, {4800, 3000, 4990, 3590}, {0, 0, 50, 20}, {1234, 777, 1240, 779}};
  for (const auto& r : rectangles) {
    DiagramView view = ZoomIntoRectangle(r[0], r[1], r[2], r[3], 5000, 3600);
    DiagramMapping m(5000, 3600, 665, 500, kMargins, view);
    EXPECT_LE(m.PositionAt(m.Margins().left), r[0] + 1) << r[0];
    EXPECT_GE(m.PositionAt(665 - m.Margins().right), r[2] - 1) << r[2];
    EXPECT_LE(m.TimeAt(m.AxisY()), r[1] + 1) << r[1];
    EXPECT_GE(m.TimeAt(m.AxisY() - m.PlotHeight()), r[3] - 1) << r[3];
  }
}

}  // namespace
