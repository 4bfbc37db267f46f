#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/KDConfig.h"
#include "roadview/RoadColors.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/RoadGeometry.h"
#include "roadview/RoadViewTestSupport.h"
#include "roadview/ui/RoadPainter.h"
#include "support/ProgramModeGuard.h"
#include "support/ReportCapture.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 340;

struct Picture {
  QImage image{kWidth, kHeight, QImage::Format_RGB32};
  std::vector<HeaderItem> header;
  RoadDisplayAreas areas;

  void Draw(const KDConfig& config, std::uint32_t flags = 0, int zoom = 0, int scroll = 0) {
    DrawRoadLayout(config, image, &header, flags, zoom, scroll, &areas);
  }
  RgbColor At(int x, int y) const {
    const QColor c = image.pixelColor(x, y);
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
            static_cast<std::uint8_t>(c.blue())};
  }
};

std::string Name(RgbColor c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

#define EXPECT_PIXEL(picture, x, y, color) \
  EXPECT_EQ(Name((picture).At((x), (y))), Name(color)) << "at " << (x) << "," << (y)

// Centre row of a lane, clear of its markings.
int Mid(int lane) { return LaneTop(static_cast<float>(lane)) + 12; }

}  // namespace

TEST(DrawRoadLayoutLanes, PavedLanesBlackUnpavedGreenWithinTheRoadColumns) {
  KDConfig config;
  BuildRampRoad(config);
  Picture picture;
  picture.Draw(config);
  EXPECT_PIXEL(picture, 400, 2, RoadColor::Green);  // above the road
  EXPECT_PIXEL(picture, 400, Mid(0), RoadColor::Black);
  EXPECT_PIXEL(picture, 400, Mid(2), RoadColor::Black);
  EXPECT_PIXEL(picture, 700, Mid(3), RoadColor::Green);  // no lane 3 in section 0
  EXPECT_PIXEL(picture, 100, Mid(3), RoadColor::Black);  // the ramp in section 2
  EXPECT_PIXEL(picture, 400, Mid(5), RoadColor::Green);
  // The outer sections run to the bitmap edges.
  EXPECT_PIXEL(picture, 0, Mid(1), RoadColor::Black);
  picture.Draw(config, 0, 12, 0);
  EXPECT_PIXEL(picture, kWidth - 1, Mid(1), RoadColor::Black);
}

TEST(DrawRoadLayoutLanes, SectionEdgesAtSeveralZoomAndScrollSettings) {
  KDConfig config;
  BuildRampRoad(config);
  // Lane 5 paved in section 1 only (1000 .. 2000 m). Its origin and destination glyphs lie
  // around the lane's middle, so the edges are checked near its top.
  config.SetPhysicalSectionProperty(1, 5, PP_LANETYPE, LANETYPE_NOCHANGE);
  struct Case {
    int zoom, scroll, left, right;
  };
  // Zoom 1: 1000 m at 271, 2000 m at 525. Zoom 1.5 fully scrolled: 18 and 398. Zoom 10
  // scrolled 30 %: 1000 m at 499, 2000 m beyond the bitmap.
  const std::vector<Case> cases = {{0, 0, 271, 525}, {2, 1000, 18, 398}, {12, 300, 499, 800}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << " scroll " << c.scroll);
    Picture picture;
    picture.Draw(config, 0, c.zoom, c.scroll);
    const int y = LaneTop(5) + 2;
    EXPECT_PIXEL(picture, c.left - 1, y, RoadColor::Green);
    EXPECT_PIXEL(picture, c.left, y, RoadColor::Black);
    if (c.right < kWidth) {
      EXPECT_PIXEL(picture, c.right, y, RoadColor::Black);
      EXPECT_PIXEL(picture, c.right + 1, y, RoadColor::Green);
    }
  }
}

TEST(DrawRoadLayoutLanes, LaneTypeColours) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 3, PP_LANETYPE, LANETYPE_DOVEL_ICC, true);
  config.SetPhysicalSectionProperty(0, 1, PP_ALLLANECHANGE, 1.0f);
  Picture picture;
  picture.Draw(config);
  EXPECT_PIXEL(picture, 400, Mid(3), RoadColor::Navy);
  EXPECT_PIXEL(picture, 400, Mid(1), RoadColor::Black);
  // On the lane change behaviour page a lane every vehicle must leave is gray.
  picture.Draw(config, RDF_SHOW_ALL_LANE_CHANGE);
  EXPECT_PIXEL(picture, 400, Mid(1), RoadColor::Gray);
  EXPECT_PIXEL(picture, 400, Mid(0), RoadColor::Black);
}

TEST(DrawRoadLayoutLanes, MergeLanesAreHatchedInPhaseWithTheRoadStart) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 3, PP_LANETYPE, LANETYPE_BLOCKED, true);
  config.SetPhysicalSectionProperty(0, 4, PP_LANETYPE, LANETYPE_MERGELEFT, true);
  Picture picture;
  picture.Draw(config);
  const int top3 = LaneTop(3);
  // Blocked: both directions. Row top + 10: rising lines at x = 18 + 4k - 10, falling at
  // 18 + 4k + 10, both on columns 0 mod 4 + 0 ... here 400 - 18 = 382: 382 + 10 = 392, a line.
  EXPECT_PIXEL(picture, 400, top3 + 10, RoadColor::White);
  EXPECT_PIXEL(picture, 401, top3 + 10, RoadColor::Black);
  EXPECT_PIXEL(picture, 402, top3 + 12, RoadColor::White);
  // Merge left only: lines rising to the right; one row down they are one column left.
  const int top4 = LaneTop(4);
  EXPECT_PIXEL(picture, 402, top4 + 8, RoadColor::White);  // 402 - 18 + 8 = 392
  EXPECT_PIXEL(picture, 401, top4 + 9, RoadColor::White);
  EXPECT_PIXEL(picture, 403, top4 + 9, RoadColor::Black);
}

TEST(DrawRoadLayoutMarkings, SolidBesideDashedWhereNeighboursDisagree) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 0, PP_LANETYPE, LANETYPE_NOCHANGE, true);
  config.SetPhysicalSectionProperty(0, 1, PP_LANETYPE, LANETYPE_ANYCHANGE, true);
  config.SetPhysicalSectionProperty(0, 2, PP_LANETYPE, LANETYPE_NOCHANGE, true);
  Picture picture;
  picture.Draw(config);
  // Solid 3-pixel line 2 pixels above the edge at row 29: rows 26 .. 28.
  for (const int y : {26, 27, 28}) EXPECT_PIXEL(picture, 200, y, RoadColor::White);
  EXPECT_PIXEL(picture, 200, 25, RoadColor::Black);
  EXPECT_PIXEL(picture, 200, 29, RoadColor::Black);
  // Dashed line 2 pixels below it: dashes at 18 + 12k, 3 pixels long.
  EXPECT_PIXEL(picture, 210, 31, RoadColor::White);  // 210 = 18 + 12 * 16
  EXPECT_PIXEL(picture, 212, 31, RoadColor::White);
  EXPECT_PIXEL(picture, 213, 31, RoadColor::Black);
}

TEST(DrawRoadLayoutMarkings, AgreeingNeighboursShareADashedLineOnTheEdge) {
  KDConfig config;  // lanes 73, 76, 70
  Picture picture;
  picture.Draw(config);
  EXPECT_PIXEL(picture, 210, 29, RoadColor::White);
  EXPECT_PIXEL(picture, 213, 29, RoadColor::Black);
  EXPECT_PIXEL(picture, 210, 31, RoadColor::Black);
  // The road edges are solid: rows 4 .. 6 above lane 0.
  EXPECT_PIXEL(picture, 213, 5, RoadColor::White);
}

TEST(DrawRoadLayoutTapers, DrawnAsTapersOrAsOrdinaryLanes) {
  KDConfig config;
  BuildRampRoad(config);
  Picture plain;
  plain.Draw(config);
  Picture tapered;
  tapered.Draw(config, RDF_DRAW_TAPERS);
  // Near the downstream end of the taper (2000 m at x 525) the lower lane is cut away.
  EXPECT_PIXEL(plain, 515, Mid(3), RoadColor::Black);
  EXPECT_PIXEL(tapered, 515, Mid(3), RoadColor::Green);
  // Near its upstream end (1000 m at x 271) both lanes are still there.
  EXPECT_PIXEL(tapered, 280, Mid(3) - 4, RoadColor::Black);
  EXPECT_PIXEL(tapered, 400, Mid(2), RoadColor::Black);
  // The dashed line along the top of the upper taper lane, in both drawings.
  EXPECT_PIXEL(plain, 282, LaneTop(2), RoadColor::White);  // 282 = 18 + 12 * 22
  EXPECT_PIXEL(tapered, 282, LaneTop(2), RoadColor::White);
}

TEST(DrawRoadLayoutDetectors, LinesAndLabelBoxes) {
  KDConfig config;
  BuildRampRoad(config);
  config.AddDetector(1500);
  config.AddDetector(2500);  // detector 0 (most downstream)
  Picture picture;
  picture.Draw(config, MakeRoadDrawFlags(RoadDrawKind::Detector, 2));
  const int x0 = PositionToPixel(RoadViewport{kWidth, 3000, 0, 0}, 2500);
  const int x1 = PositionToPixel(RoadViewport{kWidth, 3000, 0, 0}, 1500);
  EXPECT_PIXEL(picture, x0, 1, RoadColor::Silver);
  EXPECT_PIXEL(picture, x0, Mid(8), RoadColor::Silver);
  EXPECT_PIXEL(picture, x0 + 1, Mid(8), RoadColor::Green);
  // Label tick and box below the scale; detector 1 is selected: its box is red.
  EXPECT_PIXEL(picture, x0, 313, RoadColor::White);
  EXPECT_PIXEL(picture, x0, 315, RoadColor::White);  // the box's top edge
  ASSERT_EQ(picture.areas.detectorLabels.size(), 2u);
  const DetectorLabelArea area0 = picture.areas.detectorLabels[0];
  EXPECT_EQ(area0.x, x0);
  EXPECT_GT(area0.halfWidth, 2);
  EXPECT_PIXEL(picture, x0 - area0.halfWidth - 1, 318, RoadColor::Yellow);
  EXPECT_PIXEL(picture, x0 - area0.halfWidth - 2, 318, RoadColor::White);
  const DetectorLabelArea area1 = picture.areas.detectorLabels[1];
  EXPECT_EQ(area1.x, x1);
  EXPECT_PIXEL(picture, x1 - area1.halfWidth - 1, 318, RoadColor::Red);
}

TEST(DrawRoadLayoutDetectors, LabelsFarOutsideTheBitmapAreNotShown) {
  KDConfig config;
  BuildRampRoad(config);
  config.AddDetector(2900);
  config.AddDetector(100);
  Picture picture;
  picture.Draw(config, 0, 12, 0);  // zoom 10 at the road start: 0 .. about 300 m
  ASSERT_EQ(picture.areas.detectorLabels.size(), 2u);
  EXPECT_EQ(picture.areas.detectorLabels[0].x, 0);
  EXPECT_EQ(picture.areas.detectorLabels[0].halfWidth, -1);
  EXPECT_GT(picture.areas.detectorLabels[1].halfWidth, 0);
}

TEST(DrawRoadLayoutBitmap, ZeroWidthDrawsAndRecordsNothing) {
  KDConfig config;
  config.AddDetector(2000);
  QImage empty;
  std::vector<HeaderItem> header{{5, "x"}};
  RoadDisplayAreas areas;
  areas.origins.push_back({1, 2, 3});
  areas.detectorLabels.push_back({7, 3});
  DrawRoadLayout(config, empty, &header, 0, 0, 0, &areas);
  EXPECT_EQ(header.size(), 1u);
  EXPECT_EQ(header[0].width, 5);
  EXPECT_EQ(areas.origins.size(), 1u);
  ASSERT_EQ(areas.detectorLabels.size(), 1u);
  EXPECT_EQ(areas.detectorLabels[0].x, 7);
}

TEST(DrawRoadLayoutHeader, ItemsMatchTheSections) {
  KDConfig config;
  BuildRampRoad(config);
  Picture picture;
  picture.Draw(config);
  ASSERT_EQ(picture.header.size(), 3u);
  EXPECT_EQ(picture.header[0].width, 271);
  EXPECT_EQ(picture.header[2].caption, "1");
}

TEST(DrawRoadLayoutGlyphs, OriginsAndDestinationsRecordTheirAreas) {
  KDConfig config;
  BuildRampRoad(config);
  Picture picture;
  picture.Draw(config, MakeRoadDrawFlags(RoadDrawKind::Origin, 1));
  ASSERT_EQ(picture.areas.origins.size(), static_cast<size_t>(config.SourceCount()));
  ASSERT_EQ(picture.areas.destinations.size(), static_cast<size_t>(config.SinkCount()));
  const GlyphArea origin = picture.areas.origins[0];
  EXPECT_EQ(origin.x, 18);
  EXPECT_EQ(origin.top, LaneTop(config.SourceFromLane(0)));
  EXPECT_EQ(origin.bottom, LaneTop(config.SourceToLane(0) + 1));
  // Selected: the box left of the glyph is red where neither the arrow nor the name is.
  EXPECT_PIXEL(picture, origin.x - 2, origin.bottom - 2, RoadColor::Red);
  // The arrow's tip.
  EXPECT_PIXEL(picture, origin.x - 1, (origin.top + origin.bottom) / 2, RoadColor::White);
  const GlyphArea destination = picture.areas.destinations[0];
  EXPECT_EQ(destination.x, 779);
  // The bracket's far side at x + 20.
  EXPECT_PIXEL(picture, destination.x + 20, (destination.top + destination.bottom) / 2,
               RoadColor::White);
  picture.Draw(config, MakeRoadDrawFlags(RoadDrawKind::Destination, 1));
  EXPECT_PIXEL(picture, destination.x + 1, destination.bottom - 2, RoadColor::Red);
}

TEST(DrawRoadLayoutGlyphs, LaneChangeAreasOfTheSelectedDestination) {
  KDConfig config;
  ASSERT_EQ(config.SinkCount(), 1);  // one destination over lanes 0 .. 2 at 5000 m
  config.AddLaneChangeArea(0, 2, 4000, 500, 500, true);  // rank 1 after the next add
  config.AddLaneChangeArea(0, 1, 2000, 500, 500, false);
  const RoadViewport view{kWidth, 5000, 0, 0};
  const int right0 = PositionToPixel(view, 4000) - 1;
  const int left1 = PositionToPixel(view, 1000) + 1;
  Picture picture;
  picture.Draw(config);
  EXPECT_PIXEL(picture, right0, Mid(2), RoadColor::Black);  // not shown without the flag
  const std::uint32_t flags =
      RDF_SHOW_AREAS | MakeRoadDrawFlags(RoadDrawKind::Destination, 1 + 256 * 2);
  picture.Draw(config, flags);
  EXPECT_PIXEL(picture, right0 - 1, Mid(2) + 8, RoadColor::Red);  // rank 1 selected
  EXPECT_PIXEL(picture, left1, Mid(1) + 8, RoadColor::Yellow);
  EXPECT_PIXEL(picture, PositionToPixel(view, 1500), Mid(1) - 8, RoadColor::Yellow);
}

TEST(DrawRoadLayoutGlyphs, TrafficLightsShowNumbersOrStates) {
  KDConfig config;
  config.AddTrafficLight("", 2500, 1, 1, 60, 30, 3, 0);
  const int x = PositionToPixel(RoadViewport{kWidth, 5000, 0, 0}, 2500);
  const int t = LaneTop(1);
  Picture picture;
  picture.Draw(config, MakeRoadDrawFlags(RoadDrawKind::TrafficLight, 1));
  EXPECT_PIXEL(picture, x, t + 1, RoadColor::White);  // capsule outline at its top
  config.SetTrafficLightState(0, 201);
  picture.Draw(config, RDF_LIGHT_STATES);
  // Red lamp in the top half, nothing lit in the bottom half.
  bool redAtTop = false;
  for (int y = t + 2; y < t + 12; ++y) redAtTop |= picture.At(x, y) == RoadColor::Red;
  EXPECT_TRUE(redAtTop);
  EXPECT_PIXEL(picture, x, t + 18, RoadColor::Black);
  config.SetTrafficLightState(0, 202);
  picture.Draw(config, RDF_LIGHT_STATES);
  EXPECT_PIXEL(picture, x, t + 18, RoadColor::Lime);
}

TEST(DrawRoadLayoutGlyphs, LaneDetectorOutlinesByState) {
  KDConfig config;
  config.AddLaneDetector("c1", 2000, 100, 0, 1);
  const RoadViewport view{kWidth, 5000, 0, 0};
  const int x1 = PositionToPixel(view, 1900);
  Picture picture;
  picture.Draw(config);
  EXPECT_PIXEL(picture, x1, LaneTop(0) + 12, RoadColor::Gray);
  EXPECT_PIXEL(picture, x1 + 1, LaneTop(0) + 12, RoadColor::Gray);  // 2 pixels wide
  config.SetLaneDetectorState(0, 301);
  picture.Draw(config);
  EXPECT_PIXEL(picture, x1, LaneTop(0) + 12, RoadColor::Yellow);
}

TEST(DrawRoadLayoutLabels, SpeedLimitAndSuppressionViews) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 1, PP_SPEEDSUPPRESSION, 0.9f);
  Picture plain;
  plain.Draw(config);
  Picture limits;
  limits.Draw(config, MakeRoadDrawFlags(RoadDrawKind::SpeedLimit, 1));
  // White label text around the middle of each lane of the one section.
  auto whiteAround = [](const Picture& p, int lane) {
    int count = 0;
    for (int x = 360; x < 440; ++x)
      for (int y = LaneTop(lane) + 7; y < LaneTop(lane) + 18; ++y)
        count += p.At(x, y) == RoadColor::White;
    return count;
  };
  EXPECT_EQ(whiteAround(plain, 0), 0);
  EXPECT_GT(whiteAround(limits, 0), 0);
  EXPECT_GT(whiteAround(limits, 1), whiteAround(limits, 0));  // "(120)" is wider than "120"
  Picture suppression;
  suppression.Draw(config, MakeRoadDrawFlags(RoadDrawKind::SpeedSuppression, 1));
  EXPECT_EQ(whiteAround(suppression, 0), 0);  // a factor of 1 shows nothing
  EXPECT_GT(whiteAround(suppression, 1), 0);
}

TEST(DrawRoadLayoutLabels, NoOvertakingSignForTrucks) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 2, PP_NOOVERTAKINGTRUCKS, 1.0f);
  Picture picture;
  picture.Draw(config, MakeRoadDrawFlags(RoadDrawKind::NoOvertakingTrucks, 1));
  const int x = (0 + kWidth + 1) / 2;
  const int y = Mid(2);
  EXPECT_PIXEL(picture, x - 2, y - 2, RoadColor::Red);    // the truck
  EXPECT_PIXEL(picture, x + 2, y + 2, RoadColor::Black);  // the car
  EXPECT_PIXEL(picture, x + 2, y - 4, RoadColor::White);  // the disc
  EXPECT_PIXEL(picture, x, Mid(1), RoadColor::Black);     // no sign in lane 1
}

TEST(DrawRoadLayoutScale, TicksAtTheLabelPositions) {
  KDConfig config;
  Picture picture;
  picture.Draw(config);
  const int ys = RowsBelowRoad(MAX_KAVROLANE).scaleTop;
  const RoadViewport view{kWidth, 5000, 0, 0};
  for (const int p : {0, 2500, 5000}) {
    SCOPED_TRACE(p);
    EXPECT_PIXEL(picture, PositionToPixel(view, p), ys - 3, RoadColor::White);
  }
  EXPECT_PIXEL(picture, PositionToPixel(view, 2500) + 3, ys - 3, RoadColor::Green);
}

TEST(DrawRoadLayoutPicture, RampRoadSavedForInspection) {
  KDConfig config;
  BuildRampRoad(config);
  config.AddDetector(1500);
  config.AddDetector(2500);
  config.AddTrafficLight("", 2800, 0, 1, 60, 30, 3, 0);
  config.SetPhysicalSectionProperty(0, 1, PP_NOOVERTAKINGTRUCKS, 1.0f);
  ASSERT_EQ(config.SinkCount(), 1);
  config.AddLaneChangeArea(0, 2, 2600, 200, 300, true);
  Picture picture;
  picture.Draw(config,
               RDF_DRAW_TAPERS | RDF_SHOW_AREAS | MakeRoadDrawFlags(RoadDrawKind::Destination, 1));
  const char* dir = std::getenv("KAVRO_ROADVIEW_PNG");
  if (dir) picture.image.save(QString::fromLatin1(dir));
  EXPECT_PIXEL(picture, 400, Mid(0), RoadColor::Black);
}

TEST(DrawRoadLayoutLabels, ExternalModelSurfaceDetailPerLaneOrPerSection) {
  ScopedProgramMode mode(DOVEL);
  KDConfig config;
  const int lane = config.FirstLaneUsed();
  config.SetPhysicalSectionProperty(0, 0, 3, 7.5f);     // detail 3 of the section, at lane 0
  config.SetPhysicalSectionProperty(0, lane, 0, 3.5f);  // lane width of one lane
  const std::vector<SurfaceDetailView> details(9, SurfaceDetailView{false, true, "%4.1f"});
  std::vector<SurfaceDetailView> perLane = details;
  perLane[0].perLane = true;
  auto whiteAround = [](const Picture& p, int l) {
    int count = 0;
    for (int x = 360; x < 440; ++x)
      for (int y = LaneTop(l) + 7; y < LaneTop(l) + 18; ++y)
        count += p.At(x, y) == RoadColor::White;
    return count;
  };
  Picture picture;
  DrawRoadLayout(config, picture.image, nullptr, MakeRoadDrawFlags(RoadDrawKind::SurfaceDetail, 4),
                 0, 0, nullptr, &details);
  EXPECT_GT(whiteAround(picture, lane), 0);  // every paved lane shows the section's value
  // Without a description of the details nothing is labelled.
  DrawRoadLayout(config, picture.image, nullptr, MakeRoadDrawFlags(RoadDrawKind::SurfaceDetail, 4),
                 0, 0, nullptr, nullptr);
  EXPECT_EQ(whiteAround(picture, lane), 0);
  DrawRoadLayout(config, picture.image, nullptr, MakeRoadDrawFlags(RoadDrawKind::SurfaceDetail, 1),
                 0, 0, nullptr, &perLane);
  EXPECT_GT(whiteAround(picture, lane), 0);
}

TEST(DrawRoadLayoutGlyphs, TeleportsBendBackAndLightUpWithTheirLinkedExit) {
  KDConfig config;  // 5000 m
  config.InsertBoundary(3000);
  config.InsertBoundary(2000);
  config.InsertBoundary(1000);  // sections 3: 0 .. 1000, 2: .. 2000, 1: .. 3000, 0: .. 5000
  config.SetPhysicalSectionProperty(2, 3, PP_LANETYPE, TELEPORTIN, false);
  config.SetPhysicalSectionProperty(1, 3, PP_LANETYPE, TELEPORTOUT, false);
  ASSERT_EQ(config.TeleportCount(true), 1);
  ASSERT_EQ(config.TeleportCount(false), 1);
  const RoadViewport view{kWidth, 5000, 0, 0};
  const int in = PositionToPixel(view, 1000) + 2;
  const int out = PositionToPixel(view, 3000) - 3;
  const int y = Mid(3);
  // Some pixel of the glyph's colour in the quarter circle's box beside the line end, clear
  // of the white edge lines 12 pixels above and below the lane's centre.
  auto arcIn = [](const Picture& p, int x1, int y1, RgbColor c) {
    for (int x = x1; x < x1 + 12; ++x)
      for (int yy = y1; yy < y1 + 9; ++yy)
        if (p.At(x, yy) == c) return true;
    return false;
  };
  Picture picture;
  picture.Draw(config);
  EXPECT_PIXEL(picture, in, y, RoadColor::White);
  EXPECT_PIXEL(picture, out, y, RoadColor::White);
  EXPECT_TRUE(arcIn(picture, in - 12, y - 9, RoadColor::White));  // entrance: up and left
  EXPECT_TRUE(arcIn(picture, in - 12, y + 1, RoadColor::White));  // and down and left
  EXPECT_FALSE(arcIn(picture, in + 2, y - 9, RoadColor::White));
  EXPECT_TRUE(arcIn(picture, out + 1, y - 9, RoadColor::White));  // exit: to the right
  EXPECT_FALSE(arcIn(picture, out - 13, y - 9, RoadColor::White));
  // Selected entrance (value 2 for entrance 0): red, its exit only when linked to it.
  picture.Draw(config, MakeRoadDrawFlags(RoadDrawKind::Teleport, 2));
  EXPECT_PIXEL(picture, in, y, RoadColor::Red);
  EXPECT_PIXEL(picture, out, y, RoadColor::White);  // neither is linked
  config.SetTeleportCounterPart(true, 0, 4);
  config.SetTeleportCounterPart(false, 0, 4);
  picture.Draw(config, MakeRoadDrawFlags(RoadDrawKind::Teleport, 2));
  EXPECT_PIXEL(picture, out, y, RoadColor::Red);
  EXPECT_TRUE(arcIn(picture, out + 1, y - 9, RoadColor::Red));
}
