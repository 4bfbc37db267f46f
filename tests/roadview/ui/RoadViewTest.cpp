#include <gtest/gtest.h>

#include <QColor>
#include <QScrollBar>
#include <QSlider>

#include "config/KDConfig.h"
#include "kernel/Kernel.h"
#include "roadview/ModelVehicles.h"
#include "roadview/RoadColors.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/RoadViewTestSupport.h"
#include "roadview/ui/RoadView.h"

namespace {

bool IsColor(const QImage& image, int x, int y, RgbColor c) {
  return image.pixelColor(x, y) == QColor(c.r, c.g, c.b);
}

struct ShownRoad {
  KDConfig config;
  TRoadView view;

  ShownRoad() {
    BuildRampRoad(config);
    view.resize(824, 420);
    view.SetConfig(&config);
    view.RedrawRoad();
  }
};

}  // namespace

TEST(TRoadViewRedraw, PictureTakesTheImageWidthAndShowsTheRoad) {
  ShownRoad road;
  const QImage& bitmap = road.view.RoadBitmap();
  ASSERT_EQ(bitmap.width(), road.view.ImageRoad()->width());
  EXPECT_GE(bitmap.height(), 340);
  EXPECT_TRUE(IsColor(bitmap, 100, LaneTop(0) + 12, RoadColor::Black));
  EXPECT_EQ(road.view.ImageRoad()->Picture().size(), bitmap.size());
  EXPECT_EQ(road.view.HeaderControl()->Items().size(), 3u);
  EXPECT_EQ(road.view.DisplayAreas().origins.size(),
            static_cast<size_t>(road.config.SourceCount()));
}

TEST(TRoadViewZoom, ZoomAndScrollRedrawAndEnableTheScrollBar) {
  ShownRoad road;
  EXPECT_FALSE(road.view.ScrollBarScroll()->isEnabled());
  int redrawn = 0;
  QObject::connect(&road.view, &TRoadView::RoadRedrawn, [&redrawn] { ++redrawn; });
  road.view.SetZoomIndex(12);
  EXPECT_EQ(redrawn, 1);
  EXPECT_TRUE(road.view.ScrollBarScroll()->isEnabled());
  EXPECT_EQ(road.view.ScrollBarScroll()->pageStep(), 100);
  EXPECT_EQ(road.view.TrackBarZoom()->maximum(), 24);
  road.view.SetScrollPosition(1000);
  EXPECT_EQ(redrawn, 2);
  const RoadViewport viewport = road.view.Viewport();
  EXPECT_EQ(viewport.zoomIndex, 12);
  EXPECT_EQ(viewport.scroll, 1000);
  // Fully scrolled, the road end lies 21 pixels from the right edge; beyond it, no lanes.
  const int end = viewport.bitmapWidth - 21;
  EXPECT_EQ(PositionToPixel(viewport, 3000), end);
  const QImage& bitmap = road.view.RoadBitmap();
  EXPECT_TRUE(IsColor(bitmap, end - 30, LaneTop(1) + 3, RoadColor::Black));
  road.view.SetZoomIndex(0);
  EXPECT_FALSE(road.view.ScrollBarScroll()->isEnabled());
}

TEST(TRoadViewSelection, DashedRectangleAroundTheSelectedSection) {
  ShownRoad road;
  road.view.SetSelection(RoadSelection{1, 1, -1, -1}, true);
  road.view.RedrawRoad();
  const RoadViewport viewport = road.view.Viewport();
  const int left = PositionToPixel(viewport, 1000);
  const QImage& bitmap = road.view.RoadBitmap();
  // The rectangle's left side runs down the whole picture, dashed.
  int white = 0, other = 0;
  for (int y = 0; y < bitmap.height(); ++y)
    (IsColor(bitmap, left, y, RoadColor::White) ? white : other)++;
  EXPECT_GT(white, bitmap.height() / 4);
  EXPECT_GT(other, 0);
  road.view.SetSelection(RoadSelection{}, false);
  road.view.RedrawRoad();
  EXPECT_TRUE(IsColor(road.view.RoadBitmap(), left, 1, RoadColor::Green));
}

TEST(TRoadViewFlags, FlagsReachTheDrawing) {
  ShownRoad road;
  const int x = road.view.DisplayAreas().origins.at(0).x;
  const int bottom = road.view.DisplayAreas().origins.at(0).bottom;
  road.view.SetDrawFlags(MakeRoadDrawFlags(RoadDrawKind::Origin, 1));
  road.view.RedrawRoad();
  EXPECT_TRUE(IsColor(road.view.RoadBitmap(), x - 2, bottom - 2, RoadColor::Red));
}

TEST(TRoadViewTraffic, VehiclesShownOverTheRoadAndHiddenAgain) {
  ShownRoad road;
  Kernel kernel;
  TrafficDrawSettings settings;
  EXPECT_EQ(road.view.RedrawVehicles(kernel, settings), -1);  // no run yet
  EXPECT_FALSE(road.view.ImageRoad()->TrafficVisible());
  ASSERT_TRUE(kernel.KAV_setup(road.config, 1, ""));
  kernel.CreateObject(0, RO_VEHICLE, 2500, 1, 10, kernel.ParamSet(0), 0, 0);
  EXPECT_EQ(road.view.RedrawVehicles(kernel, settings), 1);
  EXPECT_TRUE(road.view.ImageRoad()->TrafficVisible());
  EXPECT_EQ(road.view.TrafficBitmap().width(), road.view.RoadBitmap().width());
  road.view.HideVehicles();
  EXPECT_FALSE(road.view.ImageRoad()->TrafficVisible());
}

namespace {

// One external model vehicle on the first link, standing in the model's lane 6 (lane 0).
class StandingModelVehicle : public ModelVehicleSource {
 public:
  int NextVehicle(int previous) override { return previous == 0 ? 5 : 0; }
  float RealValue(int paramClass, int id, int) override {
    if (paramClass == 8 && id == 3) return 200;  // length [m]
    if (paramClass == 9 && id == 1) return 1;    // link
    if (paramClass == 9 && id == 3) return 500;  // position on the link [m]
    if (paramClass == 9 && id == 13) return 6;   // model lane
    return 0;
  }
};

}  // namespace

TEST(TRoadViewTraffic, ModelVehiclesShownOverTheRoad) {
  ShownRoad road;
  StandingModelVehicle model;
  TrafficDrawSettings settings;
  EXPECT_EQ(road.view.RedrawModelVehicles(model, 0, settings), 1);
  EXPECT_TRUE(road.view.ImageRoad()->TrafficVisible());
  const int front = PositionToPixel(road.view.Viewport(), 500);
  // The first link is the most upstream section (0 .. 1000 m); standing still: red.
  EXPECT_TRUE(IsColor(road.view.TrafficBitmap(), front - 1, LaneTop(0) + 12, RoadColor::Red));
  EXPECT_FALSE(IsColor(road.view.TrafficBitmap(), front + 1, LaneTop(0) + 12, RoadColor::Red));
}
