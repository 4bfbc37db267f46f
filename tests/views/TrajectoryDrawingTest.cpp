#include <gtest/gtest.h>

#include "views/LaneColors.h"
#include "views/TrajectoryDrawing.h"

namespace {

const DiagramMargins kMargins = DiagramMargins::FromTextExtents(30, 25, 14);
constexpr RgbColor kSilver{192, 192, 192};

// A road of 1000 m and a run of 100 s at one step per second on a plot of 500 × 500 pixels.
struct Plot {
  DiagramMapping mapping{1000,
                         100,
                         500 + kMargins.left + kMargins.right,
                         500 + kMargins.top + kMargins.bottom,
                         kMargins,
                         DiagramView{}};
  PixelRaster layer{mapping.Width() - kMargins.left, mapping.AxisY() + 1, kSilver};
  int X(double p) const { return mapping.X(p) - kMargins.left; }
  int Y(double t) const { return mapping.Y(t); }
};

// The line passes within a pixel of (x, y): a line's pixels are rounded to the nearest row.
bool NearPixel(const PixelRaster& layer, int x, int y, RgbColor color) {
  for (int dy = -1; dy <= 1; ++dy)
    if (layer.Pixel(x, y + dy) == color) return true;
  return false;
}

VehicleTrack Track(int firstStep, std::vector<std::pair<float, int>> samples, bool keeps = true) {
  VehicleTrack track;
  track.FirstStep = firstStep;
  for (auto [position, lane] : samples) track.Samples.push_back(PackSample(position, keeps, lane));
  track.LastIndex = static_cast<int>(track.Samples.size()) - 1;
  return track;
}

TEST(TrajectoryDrawing, AStoppedVehicleIsAVerticalLine) {
  Plot plot;
  std::vector<VehicleTrack> tracks{Track(10, {{300, 0}, {300, 0}, {300, 0}, {300, 0}, {300, 0}})};
  LaneFilter lanes;
  auto result = DrawTrajectoryLines(tracks, plot.mapping, lanes, 2, 1, 100, plot.layer);
  EXPECT_TRUE(result.complete);
  EXPECT_EQ(result.points, 5);
  for (int y = plot.Y(14); y <= plot.Y(10); ++y)
    EXPECT_EQ(plot.layer.Pixel(plot.X(300), y), LaneSeriesColor(0)) << y;
  EXPECT_EQ(plot.layer.Pixel(plot.X(300) + 1, plot.Y(12)), kSilver);
  EXPECT_EQ(plot.layer.Pixel(plot.X(300), plot.Y(15) - 1), kSilver);
}

TEST(TrajectoryDrawing, OneShownLaneColoursByFollowState) {
  Plot plot;
  std::vector<VehicleTrack> tracks{Track(0, {{0, 1}, {100, 1}}, false),
                                   Track(0, {{500, 1}, {600, 1}}, true)};
  LaneFilter lanes;
  lanes.shown[0] = false;
  DrawTrajectoryLines(tracks, plot.mapping, lanes, 2, 1, 100, plot.layer);
  EXPECT_EQ(plot.layer.Pixel(plot.X(100), plot.Y(1)), FollowStateColor(false));
  EXPECT_EQ(plot.layer.Pixel(plot.X(600), plot.Y(1)), FollowStateColor(true));
  // With both lanes shown the lane colour wins.
  Plot both;
  DrawTrajectoryLines(tracks, both.mapping, LaneFilter{}, 2, 1, 100, both.layer);
  EXPECT_EQ(both.layer.Pixel(both.X(600), both.Y(1)), LaneSeriesColor(1));
}

TEST(TrajectoryDrawing, AHiddenLaneLeavesAGapWithoutJoiningIt) {
  Plot plot;
  // Lane 0, over to lane 1 for two steps, back to lane 0.
  std::vector<VehicleTrack> tracks{
      Track(0, {{100, 0}, {200, 0}, {300, 1}, {400, 1}, {500, 0}, {600, 0}})};
  LaneFilter lanes;
  lanes.shown[1] = false;
  DrawTrajectoryLines(tracks, plot.mapping, lanes, 2, 1, 100, plot.layer);
  // One lane shown: the line takes the colour of the vehicle's distance state.
  EXPECT_TRUE(NearPixel(plot.layer, plot.X(150), plot.Y(0.5), FollowStateColor(true)));
  // Nothing between step 1 (200 m) and step 4 (500 m): the line starts anew at 500 m.
  for (double p = 210; p < 500; p += 10)
    EXPECT_EQ(plot.layer.Pixel(plot.X(p), plot.Y((p - 100) / 100)), kSilver) << p;
  EXPECT_TRUE(NearPixel(plot.layer, plot.X(550), plot.Y(4.5), FollowStateColor(true)));
}

TEST(TrajectoryDrawing, OnlyTheStepsDoneAreDrawn) {
  Plot plot;
  std::vector<VehicleTrack> tracks{Track(0, {{0, 0}, {100, 0}, {200, 0}, {300, 0}})};
  DrawTrajectoryLines(tracks, plot.mapping, LaneFilter{}, 2, 1, 2, plot.layer);
  EXPECT_TRUE(NearPixel(plot.layer, plot.X(150), plot.Y(1.5), LaneSeriesColor(0)));
  EXPECT_EQ(plot.layer.Pixel(plot.X(250), plot.Y(2.5)), kSilver);
}

TEST(TrajectoryDrawing, ProgressCanAbandonTheDrawingBetweenTracks) {
  Plot plot;
  std::vector<VehicleTrack> tracks{Track(0, {{0, 0}, {100, 0}}), Track(0, {{500, 0}, {600, 0}})};
  int asked = 0;
  auto result = DrawTrajectoryLines(tracks, plot.mapping, LaneFilter{}, 2, 1, 100, plot.layer,
                                    [&](long long points) {
                                      ++asked;
                                      return points == 0;
                                    });
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(NearPixel(plot.layer, plot.X(50), plot.Y(0.5), LaneSeriesColor(0)));
  EXPECT_EQ(plot.layer.Pixel(plot.X(550), plot.Y(0.5)), kSilver);
}

TEST(TrajectoryDrawing, ZoomedPlotClipsAtBothEdges) {
  DiagramView view;
  view.zoomX = 12;  // a tenth of the road: 450 .. 550 m at scroll 500
  view.scrollX = 500;
  DiagramMapping mapping(1000, 100, 500 + kMargins.left + kMargins.right,
                         500 + kMargins.top + kMargins.bottom, kMargins, view);
  PixelRaster layer(mapping.Width() - kMargins.left, mapping.AxisY() + 1, kSilver);
  std::vector<VehicleTrack> tracks{Track(0, {{400, 0}, {460, 0}, {500, 0}, {540, 0}, {900, 0}})};
  auto result = DrawTrajectoryLines(tracks, mapping, LaneFilter{}, 2, 1, 100, layer);
  // The sample left of the plot breaks the line; the one right of it ends the track.
  EXPECT_EQ(result.points, 3);
  EXPECT_TRUE(NearPixel(layer, mapping.X(480) - kMargins.left, mapping.Y(1.5), LaneSeriesColor(0)));
}

}  // namespace
