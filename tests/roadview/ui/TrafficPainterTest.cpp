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
    RoadObject* car = kernel.CreateObject(lane, RO_VEHICLE, position, number, speed,
                                          kernel.ParamSet(0), 0, 0);
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
