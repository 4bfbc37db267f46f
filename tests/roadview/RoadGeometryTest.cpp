#include <gtest/gtest.h>

#include <vector>

#include "config/KDConfig.h"
#include "roadview/RoadGeometry.h"
#include "roadview/RoadViewTestSupport.h"
#include "support/ProgramModeGuard.h"

namespace {

RoadViewport View(int width, int length, int zoom, int scroll) {
  return RoadViewport{width, length, zoom, scroll};
}

}  // namespace

TEST(ZoomFactors, AreTheE12SeriesFromOneToThousand) {
  EXPECT_EQ(ZoomFactors[0], 1.0);
  EXPECT_EQ(ZoomFactors[ZOOM_INDEX_MAX], 100.0);
  EXPECT_EQ(ZoomFactors[ZOOM_FACTOR_COUNT - 1], 1000.0);
  const std::vector<double> decade = {1.0, 1.2, 1.5, 1.8, 2.2, 2.7, 3.3, 3.9, 4.7, 5.6, 6.8, 8.2};
  for (int i = 0; i < 36; ++i) {
    SCOPED_TRACE(i);
    EXPECT_DOUBLE_EQ(ZoomFactors[i], decade[i % 12] * (i < 12 ? 1 : i < 24 ? 10 : 100));
  }
}

TEST(LaneTopRows, LanesAre24PixelsStartingAtRow5) {
  EXPECT_EQ(LaneTop(0), 5);
  EXPECT_EQ(LaneTop(1), 29);
  EXPECT_EQ(LaneTop(12), 293);
  // Fractional lanes truncate: half a lane below lane 2.
  EXPECT_EQ(LaneTop(2.5f), 65);
  EXPECT_EQ(LaneTop(0.99f), 28);
}

TEST(RowsBelowRoad, ScaleAndDetectorLabelsPerMode) {
  const BelowRoadRows kavro = RowsBelowRoad(12);
  EXPECT_EQ(kavro.scaleTop, 299);
  EXPECT_EQ(kavro.detectorLineBottom, 317);
  EXPECT_EQ(kavro.labelBoxTop, 315);
  EXPECT_EQ(kavro.labelTickTop, 312);
  EXPECT_EQ(kavro.labelBoxBottomBase, 319);
  EXPECT_EQ(kavro.labelTextTop, 317);
  const BelowRoadRows dovel = RowsBelowRoad(6);
  EXPECT_EQ(dovel.scaleTop, 155);
  EXPECT_EQ(dovel.labelBoxTop, 171);
  EXPECT_EQ(dovel.labelTickTop, 168);
  EXPECT_EQ(dovel.labelBoxBottomBase, 175);
  EXPECT_EQ(dovel.labelTextTop, 173);
}

TEST(PositionToPixelMapping, RoadStartAndEndColumns) {
  struct Case {
    int width, length, zoom, scroll;
    float position;
    int x;
  };
  const std::vector<Case> cases = {
      {800, 5000, 0, 0, 0.0f, 18},          // road start at zoom 0
      {800, 5000, 0, 0, 5000.0f, 779},      // road end at width - 21
      {800, 5000, 0, 1000, 5000.0f, 779},   // scrolling does nothing at zoom 1
      {800, 5000, 12, 1000, 5000.0f, 779},  // fully scrolled: road end at width - 21
      {800, 5000, 24, 1000, 5000.0f, 779}, {800, 5000, 12, 0, 0.0f, 18},
      {800, 5000, 12, 0, 500.0f, 779},     // zoom 10: a tenth of the road fills the width
      {800, 5000, 12, 1000, 4500.0f, 18},  // and at the end the last tenth
      {800, 5000, 12, 500, 2250.0f, 18},   // half way: from 2250 m
      {1000, 3000, 0, 0, 1500.0f, 498},    // 961 * 0.5 + 18 = 498.5
      {800, 5000, 0, 0, -100.0f, 2},       // before the road: truncated towards zero
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.width << " " << c.zoom << " " << c.scroll << " " << c.position);
    EXPECT_EQ(PositionToPixel(View(c.width, c.length, c.zoom, c.scroll), c.position), c.x);
  }
}

TEST(PositionToPixelMapping, PositionUnderPixelIsItsInverse) {
  for (const int zoom : {0, 5, 12, 24, 36}) {
    for (const int scroll : {0, 333, 1000}) {
      const RoadViewport view = View(800, 5000, zoom, scroll);
      for (int x = 0; x < 805; x += 7) {
        SCOPED_TRACE(testing::Message() << zoom << " " << scroll << " " << x);
        const double p = PositionUnderPixel(view, x);
        EXPECT_EQ(PositionToPixel(view, static_cast<float>(p)), x);
      }
    }
  }
}

TEST(PixelToSectionLookup, FindsTheSectionUnderAColumn) {
  KDConfig config;
  BuildRampRoad(config);  // 3000 m; sections 2 = 0 .. 1000, 1 = 1000 .. 2000, 0 = 2000 ..
  const RoadViewport view = View(800, 3000, 0, 0);  // 761 pixels for 3000 m
  struct Case {
    int x, section;
  };
  const std::vector<Case> cases = {{17, -1}, {18, 2},  {271, 2}, {272, 1},  // 1000 m: 271.67
                                   {524, 1}, {525, 0}, {778, 0}, {779, -1}, {900, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(PixelToSection(config, view, c.x), c.section);
  }
}

TEST(SectionPixelRanges, OuterSectionsReachTheBitmapEdges) {
  KDConfig config;
  BuildRampRoad(config);
  const RoadViewport whole = View(800, 3000, 0, 0);
  EXPECT_EQ(SectionPixelRange(config, whole, 2).left, 0);
  EXPECT_EQ(SectionPixelRange(config, whole, 2).right, 271);
  EXPECT_EQ(SectionPixelRange(config, whole, 1).left, 271);
  EXPECT_EQ(SectionPixelRange(config, whole, 1).right, 525);
  EXPECT_EQ(SectionPixelRange(config, whole, 0).left, 525);
  EXPECT_EQ(SectionPixelRange(config, whole, 0).right, 801);
  // Zoomed in on the road start: section 0 begins beyond the bitmap.
  const RoadViewport start = View(800, 3000, 12, 0);
  EXPECT_EQ(SectionPixelRange(config, start, 0).left, 801);
  EXPECT_EQ(SectionPixelRange(config, start, 1).left, 801);
  // Zoomed in on the road end: sections 1 and 2 begin before the bitmap.
  const RoadViewport end = View(800, 3000, 12, 1000);
  EXPECT_EQ(SectionPixelRange(config, end, 1).left, 0);
  EXPECT_LT(SectionPixelRange(config, end, 1).right, 0);
}

TEST(DashPattern, ThreeOfTwelveInPhaseWithRoadStartAndClipped) {
  const std::vector<Dash> dashes = DashesBetween(18, 20, 50);
  // Dashes start at 18, 30, 42: the first one is clipped to begin at 20.
  ASSERT_EQ(dashes.size(), 3u);
  EXPECT_EQ(dashes[0].x1, 20);
  EXPECT_EQ(dashes[0].x2, 21);
  EXPECT_EQ(dashes[0].start, 18);
  EXPECT_EQ(dashes[1].x1, 30);
  EXPECT_EQ(dashes[1].x2, 33);
  EXPECT_EQ(dashes[2].x1, 42);
  EXPECT_EQ(dashes[2].x2, 45);
  // Clipped at the right end, and phased from a road start far to the left.
  const std::vector<Dash> right = DashesBetween(-1000, 0, 11);
  ASSERT_EQ(right.size(), 1u);
  EXPECT_EQ(right[0].x1, 8);  // -1000 + 12 * 84 = 8
  EXPECT_EQ(right[0].x2, 11);
  EXPECT_TRUE(DashesBetween(18, 50, 50).empty());
}

TEST(DistanceScale, StepIsTheFirstWideEnoughForTheLabels) {
  // 5000 m on 761 pixels with 28 pixel labels: 200 m gives 30.4 pixels, below 33.
  EXPECT_EQ(ScaleStep(View(800, 5000, 0, 0), 28), 500);
  EXPECT_EQ(ScaleStep(View(800, 5000, 0, 0), 25), 200);
  EXPECT_EQ(ScaleStep(View(800, 5000, 12, 0), 28), 100);
  EXPECT_EQ(ScaleStep(View(800, 5000, 24, 0), 28), 10);
  EXPECT_EQ(ScaleStep(View(800, 500000, 0, 0), 40), 10000);
}

TEST(DistanceScale, LabelsCoverTheVisibleStretchUpToTheRoadEnd) {
  const std::vector<int> whole = ScaleLabelPositions(View(800, 5000, 0, 0), 500);
  ASSERT_EQ(whole.size(), 11u);
  EXPECT_EQ(whole.front(), 0);
  EXPECT_EQ(whole.back(), 5000);
  // Zoom 10 scrolled half way shows 2250 .. 2750 m (and a little beyond at both edges).
  const std::vector<int> middle = ScaleLabelPositions(View(800, 5000, 12, 500), 100);
  ASSERT_FALSE(middle.empty());
  EXPECT_EQ(middle.front(), 2200);
  EXPECT_EQ(middle.back(), 2800);
}

TEST(SectionHeader, ItemsFollowTheSectionColumns) {
  KDConfig config;
  BuildRampRoad(config);
  std::vector<HeaderItem> items;
  LayoutSectionHeader(config, View(800, 3000, 0, 0), items);
  ASSERT_EQ(items.size(), 3u);
  // The leftmost item is the most upstream section, numbered from the road end.
  EXPECT_EQ(items[0].width, 271);
  EXPECT_EQ(items[1].width, 525 - 271);
  EXPECT_EQ(items[2].width, 810 - 525);
  EXPECT_EQ(items[0].caption, "3");
  EXPECT_EQ(items[1].caption, "2");
  EXPECT_EQ(items[2].caption, "1");
}

TEST(SectionHeader, DovelCountsFromTheRoadStart) {
  ScopedProgramMode mode(DOVEL);
  KDConfig config;
  config.SetLength(3000);
  config.InsertBoundary(2000);
  std::vector<HeaderItem> items;
  LayoutSectionHeader(config, View(800, 3000, 0, 0), items);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].caption, "1");
  EXPECT_EQ(items[1].caption, "2");
}

TEST(SectionHeader, HiddenSectionsAndSurplusItemsGetNoWidth) {
  KDConfig config;
  BuildRampRoad(config);
  std::vector<HeaderItem> items(5, HeaderItem{40, "x"});
  // Zoom 10 at the road start shows only part of section 2.
  LayoutSectionHeader(config, View(800, 3000, 12, 0), items);
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].width, 810);
  EXPECT_EQ(items[0].caption, "3");
  for (int k = 1; k < 5; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(items[k].width, 0);
  }
  // At the road end only section 0 is visible, over the whole width.
  LayoutSectionHeader(config, View(800, 3000, 12, 1000), items);
  EXPECT_EQ(items[0].width, 0);
  EXPECT_EQ(items[1].width, 0);
  EXPECT_EQ(items[2].width, 810);
}

TEST(ScrollBarPage, LargeChangeShrinksWithZoom) {
  EXPECT_EQ(ScrollLargeChange(0), 0);
  EXPECT_EQ(ScrollLargeChange(12), 100);  // 900 / 9
  EXPECT_EQ(ScrollLargeChange(24), 9);    // 900 / 99 = 9.09
}

TEST(SelectionRectangleGeometry, SpansSelectedSectionsAndLanes) {
  KDConfig config;
  BuildRampRoad(config);
  const RoadViewport view = View(800, 3000, 0, 0);
  const PixelRect sections = SelectionRectangle(config, view, 330, {1, 1, -1, -1});
  EXPECT_EQ(sections.left, 271);
  EXPECT_EQ(sections.right, 525);
  EXPECT_EQ(sections.top, 0);
  EXPECT_EQ(sections.bottom, 329);
  // Only lanes: the whole road length, from the most upstream section.
  const PixelRect lanes = SelectionRectangle(config, view, 330, {-1, -1, 1, 2});
  EXPECT_EQ(lanes.left, 18);
  EXPECT_EQ(lanes.right, 779);
  EXPECT_EQ(lanes.top, 30);
  EXPECT_EQ(lanes.bottom, 76);
  const PixelRect upstream = SelectionRectangle(config, view, 330, {2, 1, -1, -1});
  EXPECT_EQ(upstream.left, 18);
}
