#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "config/KDConfig.h"
#include "kernel/Kernel.h"
#include "kernel/KernelTypes.h"
#include "kernel/RoadObject.h"
#include "kernel/VehicleInfo.h"
#include "roadview/ModelVehicles.h"
#include "roadview/RoadColors.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/TrafficGeometry.h"
#include "roadview/ui/ModelTrafficPainter.h"
#include "roadview/ui/RenderingTestSupport.h"
#include "roadview/ui/RoadPainter.h"
#include "roadview/ui/TrafficPainter.h"
#include "support/ProgramModeGuard.h"
#include "support/ReportCapture.h"

// The traffic of real kernel runs of the examples drawn over their road pictures. The
// expected picture is built here from the kernel's vehicles: each vehicle a 3-pixel bar in
// its lane's centre row from its rear to its front (at least one pixel), in the colour its
// scheme gives, drawn lane by lane from the last lane up and within a lane from the road end
// upstream; everything else is the road picture.

using namespace rendering;

namespace {

using PixelMap = std::map<std::pair<int, int>, RgbColor>;

RgbColor Contour(double x) {
  if (x <= 0.5) return {255, static_cast<std::uint8_t>(510 * x), 0};
  return {static_cast<std::uint8_t>(510 - 510 * x), 255, 0};
}

RgbColor ExpectedColor(ColorScheme scheme, const RoadObject& vehicle, double gap,
                       int destinationCount) {
  const VehicleInfo& info = *vehicle.Vehicle();
  const VehicleParams& type = *info.params;
  const double v = info.speed;
  switch (scheme) {
    case ColorScheme::Speed:
      return Contour(std::min(v * 3.6, 150.0) / 150);
    case ColorScheme::Acceleration:
      // Single precision thresholds, as the kernel's values are.
      if (info.acceleration > 0.2f) return {0, 255, 0};
      if (info.acceleration > -0.2f)
        return info.speed >= 0.1f ? RgbColor{255, 255, 255} : RgbColor{128, 128, 128};
      return info.acceleration >= type.passiveDeceleration ? RgbColor{255, 255, 0}
                                                           : RgbColor{255, 0, 0};
    case ColorScheme::FollowState:
      return gap + 0.1 >= type.z1 + type.z2 * v + type.z3 * v * v ? RgbColor{255, 255, 0}
                                                                  : RgbColor{255, 0, 0};
    case ColorScheme::VehicleType: {
      static const RgbColor kTypes[8] = {{149, 79, 0},  {255, 0, 0},    {255, 159, 64},
                                         {255, 255, 0}, {0, 255, 0},    {0, 255, 255},
                                         {255, 0, 255}, {192, 192, 192}};
      return kTypes[vehicle.Type() - RO_VEHICLE];
    }
    case ColorScheme::Destination: {
      const double t = destinationCount > 1
                           ? static_cast<double>(info.destination) / (destinationCount - 1)
                           : info.destination;
      if (t >= 0.5) return Contour(2 - 2 * t);
      const RgbColor c = Contour(1 - 2 * t);
      return {0, c.r, c.g};
    }
    case ColorScheme::RouteChoice:
      return RouteChoiceColor(RouteChoiceFromStatus(info.statusText));
    case ColorScheme::IccEquipped:
      break;
  }
  return {255, 255, 255};
}

// The bar's row: the lane's centre, shifted during a lane change by the part of a lane still
// to go (tapers are drawn as ordinary lanes here).
int ExpectedRow(const KDConfig& config, const Kernel& kernel, const RoadObject& vehicle) {
  const VehicleInfo& info = *vehicle.Vehicle();
  int y = Top(vehicle.Lane()) + 12;
  int f = info.laneChangeState % 10;
  if (f == 0) return y;
  if (info.laneChangeProgress > 9) f = f > 0 ? info.laneChangeProgress : -info.laneChangeProgress;
  const int o = static_cast<int>(
      (1 - static_cast<double>(config.TimeStep()) * std::abs(f) / kernel.LaneChangeTime()) * 24);
  return f >= 1 ? y - o : y + o;
}

struct ExpectedTraffic {
  PixelMap pixels;
  int vehicles = 0;
  int shown = 0;
  int shorterThanAPixel = 0;
};

ExpectedTraffic Expect(const Kernel& kernel, const KDConfig& config, Setting setting,
                       ColorScheme scheme, int height, bool tapers) {
  ExpectedTraffic expected;
  const RoadObject* end = kernel.EndOfRoad();
  for (int lane = MAX_KAVROLANE - 1; lane >= 0; --lane) {
    float leaderPosition = end->Position();
    float leaderLength = 0;
    for (const RoadObject* o = end->PreviousWithLane(lane); o; o = o->PreviousWithLane(lane)) {
      if (!o->IsVehicle()) {
        leaderLength = 0;
        leaderPosition = o->Position();
        continue;
      }
      ++expected.vehicles;
      const float length = o->Vehicle()->params->length;
      const double gap = leaderPosition - o->Position() - leaderLength;
      const RgbColor color = ExpectedColor(scheme, *o, gap, config.SinkCount());
      int y = ExpectedRow(config, kernel, *o);
      if (tapers) {
        VehicleRowInput row{o->Lane(),
                            o->Position(),
                            o->Vehicle()->laneChangeState,
                            o->Vehicle()->laneChangeProgress,
                            config.TimeStep(),
                            kernel.LaneChangeTime(),
                            true};
        y = VehicleRowY(config, row);
      }
      const int front = Column(o->Position(), config.Length(), setting);
      int rear = Column(o->Position() - length, config.Length(), setting);
      if (rear == front) {
        rear = front - 1;
        ++expected.shorterThanAPixel;
      }
      leaderLength = length;
      leaderPosition = o->Position();
      if (front < -1 || rear > kWidth) continue;
      ++expected.shown;
      for (int x = std::max(rear, 0); x < std::min(front, kWidth); ++x)
        for (int dy = -1; dy <= 1; ++dy)
          if (y + dy >= 0 && y + dy < height) expected.pixels[{x, y + dy}] = color;
    }
  }
  return expected;
}

int LanesUsed(const KDConfig& config) {
  for (int lane = MAX_KAVROLANE - 1; lane >= 0; --lane)
    for (int s = 0; s <= config.Boundaries(); ++s)
      if (config.IntPhysicalSectionProperty(s, lane, PP_LANETYPE) & LANE_PAVED) return lane + 1;
  return 0;
}

// Compares the whole traffic picture; returns the number of vehicle pixels compared.
int CheckTrafficPicture(const Kernel& kernel, const KDConfig& config, Setting setting,
                        ColorScheme scheme, bool tapers) {
  const std::uint32_t flags = RDF_LIGHT_STATES | (tapers ? RDF_DRAW_TAPERS : 0u);
  QImage road(kWidth, kHeight, QImage::Format_RGB32);
  DrawRoadLayout(config, road, nullptr, flags, setting.zoom, setting.scroll);
  QImage traffic;
  TrafficDrawSettings settings;
  settings.scheme = scheme;
  settings.destinationCount = config.SinkCount();
  settings.flags = flags;
  const int count =
      DrawTraffic(kernel, config, road, traffic, setting.zoom, setting.scroll, settings);
  const int height = Top(LanesUsed(config));
  EXPECT_EQ(traffic.width(), kWidth);
  EXPECT_EQ(traffic.height(), height);
  const ExpectedTraffic expected = Expect(kernel, config, setting, scheme, height, tapers);
  EXPECT_EQ(count, expected.vehicles);
  // The traffic lights may have changed their state since the road was drawn.
  std::vector<Box> lights;
  for (int i = 0; i < config.TrafficLightCount(); ++i) {
    const int x = Column(config.TrafficLightPosition(i), config.Length(), setting);
    lights.push_back(
        {x - 14, Top(config.TrafficLightLane(i)), x + 14, Top(config.TrafficLightLane(i) + 1)});
  }
  int failures = 0;
  for (int y = 0; y < traffic.height(); ++y)
    for (int x = 0; x < kWidth; ++x) {
      const auto it = expected.pixels.find({x, y});
      RgbColor want;
      if (it != expected.pixels.end())
        want = it->second;
      else if (std::any_of(lights.begin(), lights.end(),
                           [&](const Box& b) { return b.Contains(x, y); }))
        continue;
      else
        want = At(road, x, y);
      const RgbColor got = At(traffic, x, y);
      if (got != want && ++failures <= 5)
        ADD_FAILURE() << "pixel (" << x << "," << y << "): " << Name(got) << " instead of "
                      << Name(want) << (it != expected.pixels.end() ? " (vehicle)" : " (road)");
    }
  return static_cast<int>(expected.pixels.size());
}

struct ExampleKernel {
  std::unique_ptr<KDConfig> config;
  Kernel kernel;

  ::testing::AssertionResult Run(const std::string& name, int seconds) {
    ::testing::AssertionResult loaded = LoadExample(name, config);
    if (!loaded) return loaded;
    if (!kernel.KAV_setup(*config, 17, "")) return ::testing::AssertionFailure() << "set-up";
    for (int step = 0; step < seconds * kernel.StepsPerSecond(); ++step)
      if (!kernel.SimulateStep()) return ::testing::AssertionFailure() << "step " << step;
    return ::testing::AssertionSuccess();
  }
};

}  // namespace

TEST(ExampleTrafficRendering, EverySchemeAtSeveralZoomAndScrollSettings) {
  for (const std::string name : {"on-ramp-taper.kav", "weaving.kav", "ramp-metering.kav"}) {
    ExampleKernel run;
    ASSERT_TRUE(run.Run(name, 180)) << name;
    int pixels = 0;
    for (const Setting setting : {Setting{0, 0}, Setting{12, 500}, Setting{24, 300}})
      for (int scheme = 0; scheme <= 5; ++scheme) {
        SCOPED_TRACE(std::string(name) + " zoom " + std::to_string(setting.zoom) + " scheme " +
                     std::to_string(scheme));
        pixels += CheckTrafficPicture(run.kernel, *run.config, setting,
                                      static_cast<ColorScheme>(scheme), false);
      }
    EXPECT_GT(pixels, 1000) << name;
  }
}

TEST(ExampleTrafficRendering, VehiclesDriftAlongTheTaperWhenTapersAreDrawn) {
  ExampleKernel run;
  ASSERT_TRUE(run.Run("on-ramp-taper.kav", 240));
  for (const Setting setting : {Setting{0, 0}, Setting{5, 300}}) {
    SCOPED_TRACE("zoom " + std::to_string(setting.zoom));
    CheckTrafficPicture(run.kernel, *run.config, setting, ColorScheme::Speed, true);
  }
}

TEST(ExampleTrafficRendering, ZoomedInMostVehiclesLieOffTheBitmapAndAreNotDrawn) {
  ExampleKernel run;
  ASSERT_TRUE(run.Run("weaving.kav", 180));
  const int height = Top(LanesUsed(*run.config));
  const ExpectedTraffic far =
      Expect(run.kernel, *run.config, {24, 300}, ColorScheme::Speed, height, false);
  EXPECT_GT(far.vehicles, 10);
  EXPECT_LT(far.shown, far.vehicles / 2);
  const ExpectedTraffic all =
      Expect(run.kernel, *run.config, {0, 0}, ColorScheme::Speed, height, false);
  EXPECT_EQ(all.shown, all.vehicles);
}

// Vehicles placed by hand: three destinations in blue, lime and red, a car shorter than a
// pixel drawn one pixel long, cars beyond either edge left out.
TEST(ExampleTrafficRendering, DestinationColoursShortCarsAndEdges) {
  std::unique_ptr<KDConfig> config;
  ASSERT_TRUE(LoadExample("motorway-3lane.kav", config));
  Kernel kernel;
  ASSERT_TRUE(kernel.KAV_setup(*config, 1, ""));
  const int length = config->Length();
  const Setting zoomed{0, 0};
  const VehicleParams* car = kernel.ParamSet(0);
  ASSERT_LT(car->length, static_cast<float>(length) / (kWidth - 39));  // under a pixel
  // A position whose front and rear fall into the same column.
  float shortAt = 3000;
  while (Column(shortAt, length, zoomed) != Column(shortAt - car->length, length, zoomed))
    shortAt += 1;
  for (int d = 0; d < 3; ++d)
    ASSERT_NE(kernel.CreateObject(d, RO_VEHICLE, shortAt, 10 + d, 25, car, d, 0), nullptr);
  QImage road(kWidth, kHeight, QImage::Format_RGB32);
  DrawRoadLayout(*config, road, nullptr, 0, 0, 0);
  QImage traffic;
  TrafficDrawSettings settings;
  settings.scheme = ColorScheme::Destination;
  settings.destinationCount = 3;
  ASSERT_EQ(DrawTraffic(kernel, *config, road, traffic, 0, 0, settings), 3);
  const int front = Column(shortAt, length, zoomed);
  const RgbColor colors[3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}};
  for (int d = 0; d < 3; ++d) {
    SCOPED_TRACE("destination " + std::to_string(d));
    const int y = Top(d) + 12;
    EXPECT_EQ(Name(At(traffic, front - 1, y)), Name(colors[d]));
    EXPECT_EQ(Name(At(traffic, front - 1, y - 1)), Name(colors[d]));
    EXPECT_EQ(Name(At(traffic, front - 2, y)), Name(At(road, front - 2, y)));
    EXPECT_EQ(Name(At(traffic, front, y)), Name(At(road, front, y)));
  }
  // One destination alone is blue.
  settings.destinationCount = 1;
  DrawTraffic(kernel, *config, road, traffic, 0, 0, settings);
  EXPECT_EQ(Name(At(traffic, front - 1, Top(0) + 12)), Name(colors[0]));
  // Zoomed in on 1188 .. 1248 m: a car whose front lies more than a pixel left of the bitmap
  // and one whose rear lies right of it are not drawn.
  const Setting near{24, 200};
  float leftAt = 1218;
  while (Column(leftAt, length, near) >= -1) leftAt -= 0.1f;
  float rightAt = 1218;
  while (Column(rightAt - car->length, length, near) <= kWidth) rightAt += 0.1f;
  ASSERT_NE(kernel.CreateObject(1, RO_VEHICLE, leftAt, 20, 25, car, 0, 0), nullptr);
  ASSERT_NE(kernel.CreateObject(1, RO_VEHICLE, rightAt, 21, 25, car, 0, 0), nullptr);
  QImage nearRoad(kWidth, kHeight, QImage::Format_RGB32);
  DrawRoadLayout(*config, nearRoad, nullptr, 0, near.zoom, near.scroll);
  ASSERT_EQ(DrawTraffic(kernel, *config, nearRoad, traffic, near.zoom, near.scroll, settings), 5);
  for (int x = 0; x < kWidth; ++x)
    for (int y = Top(1) + 11; y <= Top(1) + 13; ++y)
      ASSERT_EQ(Name(At(traffic, x, y)), Name(At(nearRoad, x, y))) << x << "," << y;
  // A car just inside the left edge is drawn.
  float edgeAt = leftAt;
  while (Column(edgeAt, length, near) < 1) edgeAt += 0.1f;
  ASSERT_NE(kernel.CreateObject(2, RO_VEHICLE, edgeAt, 22, 25, car, 2, 0), nullptr);
  settings.destinationCount = 3;
  DrawTraffic(kernel, *config, nearRoad, traffic, near.zoom, near.scroll, settings);
  EXPECT_EQ(Name(At(traffic, 0, Top(2) + 12)), Name(colors[2]));
}

namespace {

// A stand-in for the external model: two vehicles on the road's links and one on a link
// the road does not have.
class FakeModel : public ModelVehicleSource {
 public:
  int NextVehicle(int previous) override { return previous < 3 ? previous + 1 : 0; }
  float RealValue(int paramClass, int id, int vehicle) override {
    const int key = paramClass * 100 + id;
    switch (key) {
      case 801:
        return 2;  // vehicle type 2: red
      case 803:
        return 400;  // long enough to see [m]
      case 901:
        return vehicle == 3 ? 9 : vehicle;  // links 1 and 2; 9 does not exist
      case 903:
        return 100;  // [m] into the link
      case 904:
        return vehicle == 1 ? 150 : 0;  // [km/h]
      case 913:
        return vehicle == 1 ? 6 : 4.5f;  // model lanes from the right
      default:
        return 0;
    }
  }
};

}  // namespace

TEST(ModelTrafficRendering, ModelVehiclesOnTheirLinksAndLanes) {
  ScopedProgramMode mode(DOVEL);
  KDConfig config;
  config.SetLength(4000);
  config.InsertBoundary(2000);  // link 1: 0 .. 2000 m (section 1), link 2: 2000 .. 4000 m
  QImage road(kWidth, 200, QImage::Format_RGB32);
  DrawRoadLayout(config, road, nullptr, 0, 0, 0);
  QImage traffic;
  FakeModel model;
  TrafficDrawSettings settings;
  settings.scheme = ColorScheme::Speed;
  ASSERT_EQ(DrawModelTraffic(model, config, road, traffic, 0, 0, settings, 0), 3);
  const Setting s{0, 0};
  // Vehicle 1: link 1, model lane 6 = lane 0, 150 km/h: lime from 100 - 400 m to 100 m.
  const int y1 = Top(0) + 12;
  EXPECT_EQ(Name(At(traffic, Column(100, 4000, s) - 1, y1)), Name(RoadColor::Lime));
  // Vehicle 2: link 2 at 2100 m, model lane 4.5 = lane 1.5, standing: red.
  const int y2 = static_cast<int>(1.5 * 24 + 5) + 12;
  EXPECT_EQ(Name(At(traffic, Column(2100, 4000, s) - 1, y2)), Name(RoadColor::Red));
  EXPECT_EQ(Name(At(traffic, Column(2100, 4000, s) + 1, y2)),
            Name(At(road, Column(2100, 4000, s) + 1, y2)));
  settings.scheme = ColorScheme::VehicleType;
  DrawModelTraffic(model, config, road, traffic, 0, 0, settings, 0);
  EXPECT_EQ(Name(At(traffic, Column(2100, 4000, s) - 1, y2)), Name(RoadColor::Red));
  // The legend's swatches decide the colour shown.
  settings.swatchColors = {{RoadColor::Red, RoadColor::Fuchsia}};
  DrawModelTraffic(model, config, road, traffic, 0, 0, settings, 0);
  EXPECT_EQ(Name(At(traffic, Column(2100, 4000, s) - 1, y2)), Name(RoadColor::Fuchsia));
  settings.swatchColors.clear();
  settings.scheme = ColorScheme::RouteChoice;
  DrawModelTraffic(model, config, road, traffic, 0, 0, settings, 0);
  EXPECT_EQ(Name(At(traffic, Column(2100, 4000, s) - 1, y2)), Name(RoadColor::White));
}

// Writes the traffic of a run to the folder named by KAVRO_ROADVIEW_PNG_DIR, for looking.
TEST(ExampleTrafficRendering, PicturesSavedForInspection) {
  const char* dir = std::getenv("KAVRO_ROADVIEW_PNG_DIR");
  if (!dir) GTEST_SKIP() << "KAVRO_ROADVIEW_PNG_DIR not set";
  ExampleKernel run;
  ASSERT_TRUE(run.Run("on-ramp-taper.kav", 240));
  for (const Setting setting : {Setting{0, 0}, Setting{9, 400}}) {
    QImage road(kWidth, kHeight, QImage::Format_RGB32);
    DrawRoadLayout(*run.config, road, nullptr, RDF_DRAW_TAPERS | RDF_LIGHT_STATES, setting.zoom,
                   setting.scroll);
    QImage traffic;
    TrafficDrawSettings settings;
    settings.flags = RDF_DRAW_TAPERS | RDF_LIGHT_STATES;
    settings.destinationCount = run.config->SinkCount();
    for (const ColorScheme scheme : {ColorScheme::Speed, ColorScheme::Destination}) {
      settings.scheme = scheme;
      DrawTraffic(run.kernel, *run.config, road, traffic, setting.zoom, setting.scroll, settings);
      QImage shown = road;
      QPainter(&shown).drawImage(0, 0, traffic);
      const std::string file = std::string(dir) + "/on-ramp-taper-traffic-z" +
                               std::to_string(setting.zoom) + "-s" +
                               std::to_string(static_cast<int>(scheme)) + ".png";
      EXPECT_TRUE(shown.save(QString::fromLatin1(file.c_str())));
    }
  }
}
