#include <gtest/gtest.h>

#include <cmath>

#include "roadview/RoadColors.h"
#include "views/ContourGrid.h"

namespace {

const DiagramMargins kMargins = DiagramMargins::FromTextExtents(30, 25, 14);

// A road of 1000 m and a run of 120 s on a plot of 500 × 500 pixels: a cell is 4 px = 8 m wide
// and, at one step per second (4.17 px), one step tall.
struct Grid {
  explicit Grid(int stepsPerSecond = 1, DiagramView view = {})
      : mapping(1000, 120, 500 + kMargins.left + kMargins.right,
                500 + kMargins.top + kMargins.bottom, kMargins, view) {
    grid.Layout(mapping, mapping.Width() - kMargins.left, mapping.AxisY() + 1, stepsPerSecond);
  }
  DiagramMapping mapping;
  ContourGrid grid;
};

VehicleTrack Track(int firstStep, std::vector<float> positions, int lane = 0) {
  VehicleTrack track;
  track.FirstStep = firstStep;
  for (float p : positions) track.Samples.push_back(PackSample(p, true, lane));
  track.LastIndex = static_cast<int>(track.Samples.size()) - 1;
  return track;
}

TEST(ContourGrid, CellsFollowTheMapping) {
  Grid g;
  EXPECT_EQ(g.grid.XBuckets(), 133);  // trunc(529 / 4 + 1)
  EXPECT_NEAR(g.grid.BucketHeight(), 500.0 / 120, 1e-5);
  EXPECT_NEAR(g.grid.Dx(), 8, 1e-9);
  EXPECT_NEAR(g.grid.DT(), 1, 1e-5);  // from the cell height in float
  EXPECT_NEAR(g.grid.X0(), 0, 1e-9);
  EXPECT_NEAR(g.grid.T0(), 0, 1e-9);
}

TEST(ContourGrid, CellHeightIsOneStepOrFourPixels) {
  DiagramView view;
  view.zoomY = 36 - 2;  // factor 1.5: one step at 10 per second spans 0.625 px
  Grid tenPerSecond(10, view);
  EXPECT_FLOAT_EQ(tenPerSecond.grid.BucketHeight(), 4);
  view.zoomY = 36 - 14;  // factor 15: 6.25 px
  Grid zoomed(10, view);
  EXPECT_NEAR(zoomed.grid.BucketHeight(), 6.25, 1e-5);
}

TEST(ContourGrid, ConstantSpeedReadsTheSameWhateverTheCellShare) {
  Grid g;
  // 25 m/s from 3 m and from 7 m: the steps cross cell boundaries at different fractions.
  std::vector<VehicleTrack> tracks{Track(0, {3, 28, 53, 78, 103}), Track(2, {7, 32, 57, 82})};
  ASSERT_TRUE(g.grid.AddTracks(tracks, LaneFilter{}, 100, 1000));
  EXPECT_GT(g.grid.Updates(), 8);
  for (int column = 0; column < 10; ++column)
    for (int row = 0; row < 5; ++row)
      if (auto speed = g.grid.CellSpeed(column, row)) {
        EXPECT_NEAR(*speed * 3.6, 90.0, 1e-3) << column << "," << row;
      }
}

TEST(ContourGrid, AStandingVehicleAddsTimeWithoutDistance) {
  Grid g;
  ASSERT_TRUE(g.grid.AddTracks({Track(0, {300, 300, 300})}, LaneFilter{}, 100, 1000));
  float distance = 0, time = 0;
  for (int row = 0; row < 3; ++row) {
    distance += g.grid.Cell(300 / 8, row).distance;
    time += g.grid.Cell(300 / 8, row).time;
  }
  EXPECT_FLOAT_EQ(distance, 0);
  EXPECT_FLOAT_EQ(time, 2);
  EXPECT_EQ(*g.grid.CellSpeed(300 / 8, 0), 0);
  PixelRaster layer(501, 501, {192, 192, 192});
  g.grid.Paint(layer);
  EXPECT_EQ(layer.Pixel(37 * 4 + 1, 500 - 2), (RgbColor{255, 0, 0}));
  EXPECT_EQ(layer.Pixel(20, 500 - 2), (RgbColor{192, 192, 192}));
}

TEST(ContourGrid, APairAddsItsDistanceOverTheColumnsItCrosses) {
  Grid g;
  // From 4 m to 20 m in one second: 4 m in column 0, 8 m in column 1, 4 m in column 2.
  ASSERT_TRUE(g.grid.AddPair(0, 4, 20));
  EXPECT_NEAR(g.grid.Cell(0, 0).distance, 4, 1e-5);
  EXPECT_NEAR(g.grid.Cell(1, 0).distance, 8, 1e-5);
  EXPECT_NEAR(g.grid.Cell(2, 0).distance, 4, 1e-5);
  EXPECT_NEAR(g.grid.Cell(0, 0).time, 0.25, 1e-6);
  EXPECT_NEAR(g.grid.Cell(1, 0).time, 0.5, 1e-6);
  EXPECT_NEAR(g.grid.Cell(2, 0).time, 0.25, 1e-6);
  // Backwards adds nothing.
  ASSERT_TRUE(g.grid.AddPair(1, 20, 10));
  EXPECT_EQ(g.grid.Updates(), 3);
}

TEST(ContourGrid, AJumpThroughATeleportStaysOut) {
  Grid g;
  ASSERT_TRUE(g.grid.AddPair(0, 100, 400));  // 300 m in one second
  EXPECT_EQ(g.grid.Updates(), 0);
}

TEST(ContourGrid, ExcludedLaneRemovesThePairsStartingInIt) {
  Grid g;
  LaneFilter lanes;
  lanes.shown[1] = false;
  VehicleTrack track = Track(0, {100, 120, 140});
  track.Samples[1] = PackSample(120, true, 1);  // changes to lane 1 for a step
  ASSERT_TRUE(g.grid.AddTracks({track}, lanes, 100, 1000));
  EXPECT_TRUE(g.grid.SpeedAt(110, 0.5).has_value());
  EXPECT_FALSE(g.grid.SpeedAt(130, 1.5).has_value());
}

TEST(ContourGrid, ReadoutDropsOneLeadingBlank) {
  EXPECT_EQ(ContourReadout(123.4, 55.5, 87.3, ", v =", "%6.1f km/h"), "123, 56, v =  87.3 km/h");
  EXPECT_EQ(ContourReadout(0.4, 0, 123.4, ", v =", "%6.1f km/h"), "0, 0, v = 123.4 km/h");
  EXPECT_EQ(ContourReadout(10, 20, std::nullopt, ", v =", "%6.1f km/h"), "10, 20");
  // A patched format that does not take one number is not used.
  EXPECT_EQ(ContourReadout(10, 20, 50, ", v =", "%s km/h"), "10, 20, v =  50.0 km/h");
}

}  // namespace
