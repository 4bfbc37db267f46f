#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <vector>

#include "config/KDConfig.h"
#include "kernel/Kernel.h"
#include "kernel/RoadObject.h"
#include "kernel/VehicleInfo.h"
#include "roadview/RoadColors.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/ui/RoadPainter.h"
#include "roadview/ui/TrafficPainter.h"
#include "support/ReportCapture.h"

namespace {

constexpr int kWidth = 800;

bool IsColor(const QImage& image, int x, int y, RgbColor c) {
  return image.pixelColor(x, y) == QColor(c.r, c.g, c.b);
}

struct ShownRun {
  KDConfig config;
  Kernel kernel;
  QImage road{kWidth, 340, QImage::Format_RGB32};
  QImage traffic;

  ShownRun() {
    EXPECT_TRUE(kernel.KAV_setup(config, 1, ""));
    DrawRoadLayout(config, road, nullptr, 0, 0, 0);
  }
  RoadObject* AddCar(int lane, float position, float speed, int number) {
    RoadObject* car =
        kernel.CreateObject(lane, RO_VEHICLE, position, number, speed, kernel.ParamSet(0), 0, 0);
    return car;
  }
  int Draw(const TrafficDrawSettings& settings) {
    return DrawTraffic(kernel, config, road, traffic, 0, 0, settings);
  }
};

}  // namespace

TEST(DrawTrafficVehicles, BarsInTheirLaneCentreColouredBySpeed) {
  ShownRun run;
  ASSERT_NE(run.AddCar(1, 2500, 30, 7), nullptr);  // 108 km/h
  ASSERT_NE(run.AddCar(0, 1000, 0, 8), nullptr);
  TrafficDrawSettings settings;
  ASSERT_EQ(run.Draw(settings), 2);
  EXPECT_EQ(run.traffic.width(), kWidth);
  EXPECT_EQ(run.traffic.height(), LaneTop(3));
  const RoadViewport view{kWidth, 5000, 0, 0};
  const int front = PositionToPixel(view, 2500);
  const RgbColor fast = ContourColor(108.0 / 150.0);
  EXPECT_TRUE(IsColor(run.traffic, front - 1, LaneTop(1) + 12, fast));
  EXPECT_TRUE(IsColor(run.traffic, front - 1, LaneTop(1) + 11, fast));  // 3 pixels high
  EXPECT_TRUE(IsColor(run.traffic, front - 1, LaneTop(1) + 13, fast));
  EXPECT_FALSE(IsColor(run.traffic, front, LaneTop(1) + 12, fast));  // front excluded
  EXPECT_TRUE(IsColor(run.traffic, PositionToPixel(view, 1000) - 1, LaneTop(0) + 12,
                      RoadColor::Red));  // standing still
  // The road picture under the traffic is unchanged elsewhere.
  EXPECT_TRUE(IsColor(run.traffic, 100, LaneTop(2) + 12, RoadColor::Black));
}

TEST(DrawTrafficVehicles, VehicleTypeSchemeAndMarkerCircle) {
  ShownRun run;
  run.AddCar(2, 2500, 20, 9);
  TrafficDrawSettings settings;
  settings.scheme = ColorScheme::VehicleType;
  settings.markedVehicles = {9};
  ASSERT_EQ(run.Draw(settings), 1);
  const int front = PositionToPixel(RoadViewport{kWidth, 5000, 0, 0}, 2500);
  EXPECT_TRUE(IsColor(run.traffic, front - 1, LaneTop(2) + 12, VehicleTypeColor(1)));
  // The marker circle, inverted over the black lane, shows white 9 pixels above the bar.
  bool circle = false;
  for (int dx = -3; dx <= 3; ++dx)
    circle |= IsColor(run.traffic, front + dx, LaneTop(2) + 12 - 9, RoadColor::White);
  EXPECT_TRUE(circle);
}

TEST(DrawTrafficVehicles, NothingWithoutARun) {
  KDConfig config;
  Kernel kernel;
  QImage road(kWidth, 340, QImage::Format_RGB32);
  QImage traffic(5, 5, QImage::Format_RGB32);
  EXPECT_EQ(DrawTraffic(kernel, config, road, traffic, 0, 0, TrafficDrawSettings{}), -1);
  EXPECT_EQ(traffic.width(), 5);
}

TEST(DrawTrafficVehicles, AnEndOfRoadOfAnotherKindIsReported) {
  ShownRun run;
  EXPECT_TRUE(UsableEndOfRoad(run.kernel.EndOfRoad()));
  RoadObject* detector = run.kernel.CreateObject(LANE_DETECTORS, RO_DETECTOR, 2500, 1);
  ASSERT_NE(detector, nullptr);
  ReportCapture reports;
  EXPECT_FALSE(UsableEndOfRoad(detector));
  ASSERT_EQ(reports.Reports().size(), 1u);
  EXPECT_EQ(reports.Reports()[0].kind, ReportKind::Warning);
  EXPECT_EQ(reports.Reports()[0].caption, "Program Error");
  EXPECT_EQ(reports.Reports()[0].text, "RedrawVehicles: Cannot find EndOfRoad");
  reports.Clear();
  EXPECT_FALSE(UsableEndOfRoad(nullptr));
  EXPECT_TRUE(reports.Empty());
}

TEST(DrawTrafficClosedLane, OpenArrowsThenAWhiteArrowAndRedCrosses) {
  ShownRun run;
  // Lane 1 closed over 2000 .. 3000 m before 0 s, open until 10 s, closed until 20 s.
  run.config.SetTempClosedArea(1, 3000, 1000, 0, 0, 10, 20);
  ASSERT_TRUE(run.kernel.KAV_setup(run.config, 1, ""));
  DrawRoadLayout(run.config, run.road, nullptr, 0, 0, 0);
  const RoadViewport view{kWidth, 5000, 0, 0};
  const int x = PositionToPixel(view, 2000);
  const int spacing = PositionToPixel(view, 3000) - PositionToPixel(view, 2500);
  const int top = LaneTop(1) + 6, bottom = LaneTop(2) - 6, mid = (top + bottom) / 2;
  const int h = bottom - top;
  TrafficDrawSettings settings;
  ASSERT_GE(run.Draw(settings), 0);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    // Open: green arrow heads pointing upstream, their shafts along the middle.
    EXPECT_TRUE(IsColor(run.traffic, x + i * spacing + 2, mid, RoadColor::Green));
    EXPECT_TRUE(IsColor(run.traffic, x + i * spacing + h / 2, top + 1, RoadColor::Green));
  }
  EXPECT_FALSE(IsColor(run.traffic, x + 3 * spacing + 2, mid, RoadColor::Green));
  while (run.kernel.StepCount() < 10 * run.kernel.StepsPerSecond())
    ASSERT_TRUE(run.kernel.SimulateStep());
  ASSERT_GE(run.Draw(settings), 0);
  // Closed: the first marker a white arrow down to the lower left, then red crosses.
  EXPECT_TRUE(IsColor(run.traffic, x, mid + 2, RoadColor::White));
  EXPECT_TRUE(IsColor(run.traffic, x + h / 2, mid, RoadColor::White));
  for (int i = 1; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(IsColor(run.traffic, x + i * spacing + h / 2, mid, RoadColor::Red));
    EXPECT_TRUE(IsColor(run.traffic, x + i * spacing + 1, top + 1, RoadColor::Red));
  }
}
