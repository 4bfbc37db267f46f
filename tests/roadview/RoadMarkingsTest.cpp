#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "roadview/RoadGlyphs.h"
#include "roadview/RoadMarkings.h"
#include "roadview/RoadViewTestSupport.h"

namespace {

// A one-section road with the given lane types from lane 0, set without the neighbour rules.
void SetLanes(KDConfig& config, const std::vector<int>& types) {
  for (int lane = 0; lane < MAX_KAVROLANE; ++lane)
    config.SetPhysicalSectionProperty(
        0, lane, PP_LANETYPE, lane < static_cast<int>(types.size()) ? types[lane] : 0, true);
}

const PixelRange kColumns{100, 300};

}  // namespace

TEST(LaneMarkingLines, DisagreeingNeighboursDrawSolidBesideDashed) {
  KDConfig config;
  SetLanes(config, {LANETYPE_NOCHANGE, LANETYPE_ANYCHANGE});
  const std::vector<MarkingLine> upper = LaneMarkings(config, 0, 0, kColumns, false);
  // Lane 0: solid along the road edge and solid 2 pixels above the common edge (row 29).
  ASSERT_EQ(upper.size(), 2u);
  EXPECT_TRUE(upper[0].solid);
  EXPECT_EQ(upper[0].y, 5);
  EXPECT_TRUE(upper[1].solid);
  EXPECT_EQ(upper[1].y, 27);
  EXPECT_EQ(upper[1].x1, 101);
  EXPECT_EQ(upper[1].x2, 299);
  const std::vector<MarkingLine> lower = LaneMarkings(config, 0, 1, kColumns, false);
  // Lane 1: dashed 2 pixels below the common edge and dashed along its lower edge, which
  // borders an unpaved lane and so stays on the edge.
  ASSERT_EQ(lower.size(), 2u);
  EXPECT_FALSE(lower[0].solid);
  EXPECT_EQ(lower[0].y, 31);
  EXPECT_EQ(lower[0].x1, 100);
  EXPECT_EQ(lower[0].x2, 301);
  EXPECT_FALSE(lower[1].solid);
  EXPECT_EQ(lower[1].y, 53);
}

TEST(LaneMarkingLines, AgreeingNeighboursShareOneDashedLineOnTheEdge) {
  KDConfig config;
  SetLanes(config, {LANETYPE_CHANGERIGHT, LANETYPE_ANYCHANGE});
  const std::vector<MarkingLine> upper = LaneMarkings(config, 0, 0, kColumns, false);
  const std::vector<MarkingLine> lower = LaneMarkings(config, 0, 1, kColumns, false);
  ASSERT_EQ(upper.size(), 2u);
  ASSERT_EQ(lower.size(), 2u);
  EXPECT_FALSE(upper[1].solid);
  EXPECT_FALSE(lower[0].solid);
  EXPECT_EQ(upper[1].y, 29);
  EXPECT_EQ(lower[0].y, 29);
}

TEST(LaneMarkingLines, UnpavedAndTeleportLanesHaveNone) {
  KDConfig config;
  SetLanes(config, {LANETYPE_UNPAVED, LANETYPE_TELEPORTIN, LANETYPE_TELEPORTOUT});
  for (int lane = 0; lane < 3; ++lane) {
    SCOPED_TRACE(lane);
    EXPECT_TRUE(LaneMarkings(config, 0, lane, kColumns, false).empty());
  }
}

TEST(LaneMarkingLines, TaperLanesDrawnAsTapersKeepOnlyTheirOuterDashedLine) {
  KDConfig config;
  BuildRampRoad(config);  // section 1: lanes 2 and 3 form the taper
  const PixelRange columns{271, 525};
  const std::vector<MarkingLine> upperAsTaper = LaneMarkings(config, 1, 2, columns, true);
  ASSERT_EQ(upperAsTaper.size(), 1u);
  EXPECT_FALSE(upperAsTaper[0].solid);
  EXPECT_EQ(upperAsTaper[0].y, LaneTop(2));
  EXPECT_TRUE(LaneMarkings(config, 1, 3, columns, true).empty());
  // Drawn as ordinary lanes, the taper lanes are marked by their change bits as well.
  EXPECT_GT(LaneMarkings(config, 1, 2, columns, false).size(), 1u);
  EXPECT_FALSE(LaneMarkings(config, 1, 3, columns, false).empty());
}

TEST(LaneHatching, MergeBitsChooseTheDirections) {
  struct Case {
    int type;
    bool rising, falling;
  };
  const std::vector<Case> cases = {{LANETYPE_MERGELEFT, true, false},
                                   {LANETYPE_MERGERIGHT, false, true},
                                   {LANETYPE_BLOCKED, true, true},
                                   {LANETYPE_ANYCHANGE, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(HatchingOf(c.type).rising, c.rising);
    EXPECT_EQ(HatchingOf(c.type).falling, c.falling);
  }
}

TEST(LaneHatching, LinesEveryFourPixelsInPhaseWithRoadStart) {
  const Hatching rising{true, false};
  // On the lane's top row the lines start at x0 + 4k; one row down they are one pixel left.
  EXPECT_TRUE(OnHatching(rising, 18, 29, 18, 29));
  EXPECT_TRUE(OnHatching(rising, 18, 29, 22, 29));
  EXPECT_FALSE(OnHatching(rising, 18, 29, 19, 29));
  EXPECT_TRUE(OnHatching(rising, 18, 29, 17, 30));
  EXPECT_TRUE(OnHatching(rising, 18, 29, -2, 29));  // left of the road start too
  const Hatching falling{false, true};
  EXPECT_TRUE(OnHatching(falling, 18, 29, 19, 30));
  EXPECT_FALSE(OnHatching(falling, 18, 29, 17, 30));
  const Hatching both{true, true};
  EXPECT_TRUE(OnHatching(both, 18, 29, 17, 30));
  EXPECT_TRUE(OnHatching(both, 18, 29, 19, 30));
}

TEST(TaperFigures, OneFigurePerRunFromItsUpperLaneAndDownstreamSection) {
  KDConfig config;
  BuildRampRoad(config);
  config.InsertBoundary(1500);  // the taper now runs over sections 1 and 2 (1000 .. 2000 m)
  const RoadViewport view{800, 3000, 0, 0};
  TaperFigure figure;
  EXPECT_FALSE(TaperFigureAt(config, view, 1, 3, figure));  // lower lane
  EXPECT_FALSE(TaperFigureAt(config, view, 2, 2, figure));  // upstream part of the run
  EXPECT_FALSE(TaperFigureAt(config, view, 0, 2, figure));  // no taper there
  ASSERT_TRUE(TaperFigureAt(config, view, 1, 2, figure));
  EXPECT_TRUE(figure.onRamp);
  EXPECT_EQ(figure.left, 271);
  EXPECT_EQ(figure.right, 525);
  EXPECT_EQ(figure.top, LaneTop(2));
  EXPECT_EQ(figure.leftDepth, 48);
  EXPECT_EQ(figure.rightDepth, 24);
  // The divider runs 24 pixels above the slanted edge: from the lane edge at the upstream end
  // to the top of the figure at the downstream end.
  ASSERT_FALSE(figure.dividerDashes.empty());
  EXPECT_EQ(figure.dividerRows.front(), figure.top + 24 * (525 - 270) / 254);
  EXPECT_EQ(figure.dividerDashes.front().x1, 271);
  EXPECT_EQ(figure.dividerRows.back(),
            figure.top + 24 * (525 - figure.dividerDashes.back().start) / 254);
  for (const Dash& dash : figure.dividerDashes) {
    EXPECT_GE(dash.x1, 271);
    EXPECT_LE(dash.x2, 525);
  }
}

TEST(TaperFigures, OffRampWidensDownstream) {
  KDConfig config;
  config.SetLength(3000);
  config.InsertBoundary(1000);
  config.SetPhysicalSectionProperty(0, 2, PP_LANETYPE, LANETYPE_TAPEROFF);
  config.SetPhysicalSectionProperty(0, 3, PP_LANETYPE, LANETYPE_TAPEROFF);
  TaperFigure figure;
  ASSERT_TRUE(TaperFigureAt(config, RoadViewport{800, 3000, 0, 0}, 0, 2, figure));
  EXPECT_FALSE(figure.onRamp);
  EXPECT_EQ(figure.leftDepth, 24);
  EXPECT_EQ(figure.rightDepth, 48);
  EXPECT_EQ(figure.right, 779);
  // The divider falls from the figure's top at the upstream end.
  EXPECT_EQ(figure.dividerRows.front(),
            figure.top + 24 * (figure.dividerDashes.front().start - 271) / 508);
  EXPECT_GT(figure.dividerRows.back(), figure.dividerRows.front());
}

TEST(OriginGlyphs, ArrowOutlineIs18PixelsLongAndClosed) {
  const std::vector<PixelPoint> arrow = OriginArrow(100, 40);
  ASSERT_EQ(arrow.size(), 9u);
  EXPECT_EQ(arrow.front(), (PixelPoint{99, 40}));
  EXPECT_EQ(arrow.back(), arrow.front());
  int minX = 1000, maxY = -1000, minY = 1000;
  for (const PixelPoint& p : arrow) {
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  EXPECT_EQ(minX, 82);
  EXPECT_EQ(minY, 32);
  EXPECT_EQ(maxY, 49);
}

TEST(OriginGlyphs, ColumnIsLimitedExceptInTheMostUpstreamSection) {
  const RoadViewport zoomed{800, 3000, 12, 1000};
  EXPECT_EQ(OriginGlyphX(zoomed, 1000, false), -21);
  EXPECT_LT(OriginGlyphX(zoomed, 0, true), -21);
  const RoadViewport start{800, 3000, 12, 0};
  EXPECT_EQ(OriginGlyphX(start, 2000, false), 821);
}

TEST(DestinationGlyphs, BracketIsOpenTowardsTheArrow) {
  const std::vector<PixelPoint> bracket = DestinationBracket(118, 29, 77);
  ASSERT_EQ(bracket.size(), 6u);
  EXPECT_EQ(bracket.front(), (PixelPoint{115, 59}));
  EXPECT_EQ(bracket.back(), (PixelPoint{115, 48}));
  EXPECT_EQ(bracket[2], (PixelPoint{120, 74}));
  EXPECT_EQ(bracket[3], (PixelPoint{120, 32}));
}

TEST(LaneChangeAreaShapes, BoxDividerAndArrow) {
  const RoadViewport view{779, 1000, 0, 0};  // 740 pixels for 1000 m: 0.74 per metre
  const LaneChangeAreaShape left = LaneChangeAreaGeometry(view, 1, 500, 100, 200, true, 0, 10);
  EXPECT_EQ(left.right, 18 + 370 - 1);
  EXPECT_EQ(left.divider, 18 + 296);
  EXPECT_EQ(left.left, 18 + 148 + 1);
  EXPECT_EQ(left.top, 32);
  EXPECT_EQ(left.bottom, 50);
  const int x = (left.right + left.left + 10) / 2;
  EXPECT_EQ(left.stroke[0], (PixelPoint{x - 6, 41}));
  EXPECT_EQ(left.stroke[1], (PixelPoint{x + 6, 33}));
  EXPECT_EQ(left.head[2], (PixelPoint{x + 6, 37}));
  EXPECT_FALSE(left.percent);
  const LaneChangeAreaShape right = LaneChangeAreaGeometry(view, 1, 500, 100, 200, false, 2, 10);
  EXPECT_EQ(right.stroke[1], (PixelPoint{x + 6, 49}));
  EXPECT_EQ(right.head[2], (PixelPoint{x + 6, 45}));
  EXPECT_TRUE(right.percent);
  EXPECT_EQ(right.percentCentre, (PixelPoint{(left.right + left.left - 12) / 2, 41}));
}

TEST(TeleportGlyphs, EntrancesSitAtTheSectionBeginAndExitsAtItsEnd) {
  KDConfig config;
  BuildRampRoad(config);
  const RoadViewport view{800, 3000, 0, 0};
  const TeleportGlyph entrance = TeleportGlyphAt(config, view, true, 1, 1, 2);
  EXPECT_EQ(entrance.x, 273);
  EXPECT_EQ(entrance.yFirst, 41);
  EXPECT_EQ(entrance.yLast, 65);
  EXPECT_EQ(entrance.arcCentreX, 261);
  const TeleportGlyph exit = TeleportGlyphAt(config, view, false, 1, 0, 0);
  EXPECT_EQ(exit.x, 522);
  EXPECT_EQ(exit.yFirst, exit.yLast);
  EXPECT_EQ(exit.arcCentreX, 534);
}

TEST(TrafficLightLamps, StateChoosesTheLamp) {
  PixelPoint centre{0, 0};
  ASSERT_TRUE(TrafficLightLamp(201, 50, 29, 6, centre));
  EXPECT_EQ(centre, (PixelPoint{50, 36}));
  ASSERT_TRUE(TrafficLightLamp(202, 50, 29, 6, centre));
  EXPECT_EQ(centre, (PixelPoint{50, 46}));
  ASSERT_TRUE(TrafficLightLamp(203, 50, 29, 6, centre));
  EXPECT_EQ(centre, (PixelPoint{50, 41}));
  EXPECT_FALSE(TrafficLightLamp(200, 50, 29, 6, centre));
}

// Picking takes the columns and rows strictly inside a glyph; detector labels are searched
// from the last detector and only below the detector lines.
TEST(RoadPicking, GlyphsLightsAndLabelsTakeTheirOwnArea) {
  const RoadViewport view{800, 3000, 0, 0};
  const int lx = PositionToPixel(view, 1000.0f);
  const int top = LaneTop(1.0f);
  RoadDisplayAreas areas;
  areas.origins = {{100, 29, 77}};
  areas.destinations = {{300, 5, 29}};
  areas.detectorLabels = {{400, 6}, {0, -1}, {405, 6}};
  const int labels = RowsBelowRoad(MAX_KAVROLANE).detectorLineBottom;
  struct Case {
    int x, y;
    bool light;
    int origin, destination, label;
  } cases[] = {
      {lx + 8, top + 1, true, -1, -1, -1},  {lx - 9, top + 1, false, -1, -1, -1},
      {lx, top, false, -1, -1, -1},         {lx, top + 23, false, -1, -1, -1},
      {99, 30, false, 0, -1, -1},           {82, 30, false, -1, -1, -1},
      {100, 30, false, -1, -1, -1},         {301, 28, false, -1, 0, -1},
      {321, 28, false, -1, -1, -1},         {301, 29, false, -1, -1, -1},
      {402, labels, false, -1, -1, 2},      {394, labels, false, -1, -1, 0},
      {402, labels - 1, false, -1, -1, -1}, {0, labels, false, -1, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    EXPECT_EQ(TrafficLightPicked(view, 1000, 1, c.x, c.y), c.light);
    EXPECT_EQ(OriginGlyphAt(areas, c.x, c.y), c.origin);
    EXPECT_EQ(DestinationGlyphAt(areas, c.x, c.y), c.destination);
    EXPECT_EQ(DetectorLabelAt(areas, MAX_KAVROLANE, c.x, c.y), c.label);
  }
}
