#include <gtest/gtest.h>

#include <memory>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "shell/KernelSimulation.h"
#include "shell/RunController.h"
#include "views/ContourGrid.h"
#include "views/TrajectoryDrawing.h"

// The ramp metering example: a light at 1400 m holds the ramp traffic (lane 3) in a queue
// while the main lanes flow freely. Its time-space diagram shows the stops as vertical lines,
// its contour diagram the queue red and the free main lanes lime.

namespace {

constexpr int kRampLane = 2;
constexpr RgbColor kSilver{192, 192, 192};

struct MeteredRun {
  std::unique_ptr<KDConfig> config;
  OutputFileSettings outputs;
  std::unique_ptr<RunController> run;
  MeteredRun() {
    ConfigReadResult result =
        LoadConfig(std::string(KAVRO_SOURCE_DIR) + "/examples/ramp-metering.kav", config);
    EXPECT_TRUE(result.ok);
    config->SetMaxTime(600);
    run = std::make_unique<RunController>(std::make_unique<KernelSimulation>(), outputs);
    run->SetConfiguration(config.get());
    run->Continue();
    for (int i = 0; i < 100000 && run->State().Running; ++i) run->RunOneStep();
  }
  int StepsPerSecond() const { return run->State().StepsPerSecond; }
  int StepCount() const { return run->State().StepCount; }
};

const MeteredRun& Metered() {
  static MeteredRun run;
  return run;
}

const DiagramMargins kMargins = DiagramMargins::FromTextExtents(30, 25, 14);

// A pixel inside the painted cell at a position and time.
RgbColor CellPixel(const ContourGrid& grid, const PixelRaster& layer, double p, double t) {
  const int column = static_cast<int>((p - grid.X0()) / grid.Dx());
  const int row = static_cast<int>((t - grid.T0()) / grid.DT());
  return layer.Pixel(column * 4 + 1,
                     static_cast<int>(layer.Height() - row * grid.BucketHeight()) - 2);
}

TEST(TrafficLightDiagram, AStoppedVehicleIsAVerticalSegment) {
  const MeteredRun& run = Metered();
  ASSERT_EQ(run.StepCount(), 600 * run.StepsPerSecond());
  // Zoomed in on the light: 1200 .. 1450 m over the whole run.
  DiagramView view = ZoomIntoRectangle(1200, 0, 1450, 600, run.config->Length(), 600);
  DiagramMapping mapping(run.config->Length(), 600, 1000 + kMargins.left + kMargins.right,
                         800 + kMargins.top + kMargins.bottom, kMargins, view);
  PixelRaster layer(mapping.Width() - kMargins.left, mapping.AxisY() + 1, kSilver);
  LaneFilter lanes;  // the ramp lane alone: the main lanes' traffic passes the light
  for (int lane = 0; lane < 16; ++lane) lanes.shown[lane] = lane == kRampLane;
  auto result =
      DrawTrajectoryLines(run.run->Tracks().Tracks(), mapping, lanes, run.config->LanesUsed(),
                          run.StepsPerSecond(), run.StepCount(), layer);
  ASSERT_TRUE(result.complete);

  // The longest stand of a ramp vehicle before the light within the view.
  int bestLength = 0, bestStart = 0;
  float bestPosition = 0;
  for (const VehicleTrack& track : run.run->Tracks().Tracks()) {
    for (int i = 0; i + 1 <= track.LastIndex;) {
      const std::uint32_t s = track.Samples[i];
      int j = i;
      // A waiting vehicle keeps its lane and creeps less than half a metre (two pixels).
      while (j + 1 <= track.LastIndex &&
             SamplePosition(track.Samples[j + 1]) - SamplePosition(s) < 0.5f &&
             SampleLane(track.Samples[j + 1]) == SampleLane(s))
        ++j;
      const int step = track.FirstStep + i;
      if (SampleLane(s) == kRampLane && SamplePosition(s) > 1250 && SamplePosition(s) < 1400 &&
          step + (j - i) < 600 * run.StepsPerSecond() && j - i > bestLength) {
        bestLength = j - i;
        bestStart = step;
        bestPosition = SamplePosition(s);
      }
      i = j + 1;
    }
  }
  ASSERT_GT(bestLength, 2 * run.StepsPerSecond()) << "no vehicle waits at the light";
  const int x = mapping.X(bestPosition) - kMargins.left;
  const int yStart = mapping.Y(double(bestStart) / run.StepsPerSecond());
  const int yEnd = mapping.Y(double(bestStart + bestLength) / run.StepsPerSecond());
  ASSERT_GT(yStart - yEnd, 4);
  // Every row of the wait has a line pixel within the creep of two pixels.
  for (int y = yEnd; y <= yStart; ++y) {
    bool drawn = false;
    for (int dx = -2; dx <= 2; ++dx) drawn = drawn || layer.Pixel(x + dx, y) != kSilver;
    EXPECT_TRUE(drawn) << "row " << y;
  }
  // Beside the wait the plot is mostly empty: the segment is vertical.
  int beside = 0;
  for (int y = yEnd + 1; y < yStart; ++y)
    beside += layer.Pixel(x + 6, y) == kSilver && layer.Pixel(x - 6, y) == kSilver ? 1 : 0;
  EXPECT_GT(beside, (yStart - yEnd) / 2);
}

TEST(TrafficLightDiagram, QueueCellsAreRedAndFreeFlowGreen) {
  const MeteredRun& run = Metered();
  DiagramMapping mapping(run.config->Length(), 600, 800 + kMargins.left + kMargins.right,
                         600 + kMargins.top + kMargins.bottom, kMargins, DiagramView{});
  ContourGrid ramp, main;
  LaneFilter rampOnly, mainOnly;
  for (int lane = 0; lane < 16; ++lane) {
    rampOnly.shown[lane] = lane == kRampLane;
    mainOnly.shown[lane] = lane < kRampLane;
  }
  const int width = mapping.Width() - kMargins.left, height = mapping.AxisY() + 1;
  ramp.Layout(mapping, width, height, run.StepsPerSecond());
  main.Layout(mapping, width, height, run.StepsPerSecond());
  ASSERT_TRUE(
      ramp.AddTracks(run.run->Tracks().Tracks(), rampOnly, run.StepCount(), run.config->Length()));
  ASSERT_TRUE(
      main.AddTracks(run.run->Tracks().Tracks(), mainOnly, run.StepCount(), run.config->Length()));
  PixelRaster rampLayer(width, height, kSilver), mainLayer(width, height, kSilver);
  ramp.Paint(rampLayer);
  main.Paint(mainLayer);

  // Just before the light, late in the run: the queue.
  const double queueAt = 1395, upstreamAt = 3000, time = 500;
  auto queueSpeed = ramp.SpeedAt(queueAt, time);
  ASSERT_TRUE(queueSpeed.has_value());
  EXPECT_LT(*queueSpeed * 3.6, 10.0);
  RgbColor queue = CellPixel(ramp, rampLayer, queueAt, time);
  EXPECT_EQ(queue.r, 255);
  EXPECT_LT(queue.g, 64) << "queue cell is red";
  auto freeSpeed = main.SpeedAt(upstreamAt, time);
  ASSERT_TRUE(freeSpeed.has_value());
  RgbColor upstream = CellPixel(main, mainLayer, upstreamAt, time);
  // Free flow at about 95 km/h lies in the green half of the scale (lime from 112.5 km/h on).
  EXPECT_GT(*freeSpeed * 3.6, 80);
  EXPECT_EQ(upstream.g, 255);
  EXPECT_LT(upstream.r, 255) << "free flow cell is green, speed " << *freeSpeed * 3.6;
}

}  // namespace
