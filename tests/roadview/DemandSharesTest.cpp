#include <gtest/gtest.h>

#include "config/RoadTypes.h"
#include "roadview/DemandShares.h"
#include "roadview/DemandTestSupport.h"
#include "roadview/ProportionalBars.h"
#include "support/TestRoads.h"

TEST(DemandNames, DuplicatesGetTheSmallestFreeSuffix) {
  std::vector<std::string> names = {"A", "A", "A"};
  EXPECT_TRUE(AdjustDuplicateNames(names));
  EXPECT_EQ(names, (std::vector<std::string>{"A", "A_1", "A_2"}));

  names = {"B", "B_1", "B"};
  EXPECT_TRUE(AdjustDuplicateNames(names));
  EXPECT_EQ(names, (std::vector<std::string>{"B", "B_1", "B_2"}));

  names = {"x", "y"};
  EXPECT_FALSE(AdjustDuplicateNames(names));
}

TEST(DemandNames, LocationCountsFromOne) {
  EXPECT_EQ(SourceSinkLocationText(0, 0, 2), "Section 1, lane 1-3");
}

TEST(DemandTruckFraction, TwentyPercentIsSpreadOverTheClasses) {
  auto config = LoadWeavingExample();
  ASSERT_EQ(ClassTypeCount(*config, 1), 2);
  ASSERT_EQ(ClassTypeCount(*config, 0), 3);
  SetClassShare(*config, 0, 1, 0.2f);
  SetClassShare(*config, 0, 0, 0.8f);
  EXPECT_NEAR(config->OVProbability(0, 3, true), 0.10f, 1e-6);
  EXPECT_NEAR(config->OVProbability(0, 4, true), 0.10f, 1e-6);
  for (int t = 0; t < 3; ++t) EXPECT_NEAR(config->OVProbability(0, t, true), 0.8f / 3, 1e-6);
  EXPECT_NEAR(ClassShare(*config, 0, 1), 0.2f, 1e-5);
  // The other origin keeps its mix.
  EXPECT_NEAR(config->OVProbability(1, 4, true), 0.12f, 1e-6);
}

TEST(DemandAllTypes, SharesAreWholePercentsAddingUpToOneHundred) {
  auto config = LoadWeavingExample();
  SetTypeShareWithRemainder(*config, 1, 1, 0.404f);
  float sum = 0;
  for (int t = 0; t < 5; ++t) {
    const float p = config->OVProbability(1, t, true);
    EXPECT_NEAR(p * 100, static_cast<int>(p * 100 + 0.5f), 1e-3) << t;
    sum += p;
  }
  EXPECT_NEAR(sum, 1.0f, 1e-5);
  // The other types are read normalised after the change: the new share is about 40 %.
  EXPECT_NEAR(config->OVProbability(1, 1, true), 0.40f, 0.011f);
}

TEST(DemandOD, NothingIsStoredForAllTypesCombined) {
  auto config = LoadWeavingExample();
  const int stamp = config->ChangeStamp();
  SetDestinationShare(*config, 0, 0, -1, 0.5f);
  EXPECT_EQ(config->ChangeStamp(), stamp);
  SetDestinationShare(*config, 0, 0, 2, 0.504f);
  EXPECT_FLOAT_EQ(config->ODProbability(0, 0, 2, true), 0.5f);
  EXPECT_FLOAT_EQ(config->ODProbability(0, 0, 1, true), 0.9f);
}

TEST(DemandReachability, NoLaneChangeTowardsTheOffRampMakesItUnreachable) {
  auto config = LoadWeavingExample();
  // The weaving lane (lane 3) beside the main road takes no lane changes from it.
  for (int section = 1; section <= 3; ++section)
    SetLaneType(*config, section, 2, LANETYPE_NOCHANGE);
  for (int section = 1; section <= 3; ++section)
    SetLaneType(*config, section, 1, LANETYPE_NOCHANGE);
  ASSERT_EQ(config->SourceCount(), 2);
  ASSERT_EQ(config->SinkCount(), 2);
  ASSERT_EQ(config->SourceName(1), "Main");
  ASSERT_EQ(config->SinkName(1), "Off-ramp");
  EXPECT_FALSE(DestinationReachable(*config, 1, 1));
  EXPECT_TRUE(DestinationReachable(*config, 1, 0));
}

TEST(DemandReachability, LanesAndLaneChangesLeadDownstream) {
  auto config = LoadWeavingExample();
  // The main road (section 4) reaches both destinations downstream.
  EXPECT_TRUE(DestinationReachable(*config, 1, 0));
  EXPECT_TRUE(DestinationReachable(*config, 1, 1));
  auto plain = std::make_unique<KDConfig>();
  // Default road: one origin and one destination over the same three lanes.
  EXPECT_TRUE(DestinationReachable(*plain, 0, 0));
}

// Drags over a row of three columns with shares 0.2, 0.3, 0.5 kept in a plain table.
struct ThreeShares {
  float shares[3] = {0.2f, 0.3f, 0.5f};
  BarEditorSource Source() {
    BarEditorSource source;
    source.rows = 1;
    source.columns = 3;
    source.get = [this](int, int c, bool) { return shares[c]; };
    source.set = [this](int, int c, float p) {
      shares[c] = static_cast<int>(p * 100 + 0.5f) / 100.0f;
    };
    return source;
  }
};

TEST(BarDrag, RightBorderMovesShareFromTheNextSegment) {
  ThreeShares t;
  ApplyBarDrag(t.Source(), 0, 0, BarDragKind::RightBorder, 10.0001f);
  EXPECT_FLOAT_EQ(t.shares[0], 0.3f);
  EXPECT_FLOAT_EQ(t.shares[1], 0.2f);
  EXPECT_FLOAT_EQ(t.shares[2], 0.5f);
}

TEST(BarDrag, LeftBorderAndWholeSegment) {
  ThreeShares t;
  ApplyBarDrag(t.Source(), 0, 1, BarDragKind::LeftBorder, -10.0001f);
  EXPECT_FLOAT_EQ(t.shares[0], 0.1f);
  EXPECT_FLOAT_EQ(t.shares[1], 0.4f);
  ThreeShares w;
  ApplyBarDrag(w.Source(), 0, 1, BarDragKind::Whole, 20.0001f);
  EXPECT_FLOAT_EQ(w.shares[0], 0.4f);
  EXPECT_FLOAT_EQ(w.shares[1], 0.3f);
  EXPECT_FLOAT_EQ(w.shares[2], 0.3f);
}

TEST(BarDrag, NeighbourGoesNoLowerThanZero) {
  ThreeShares t;
  ApplyBarDrag(t.Source(), 0, 1, BarDragKind::RightBorder, 60.0001f);
  EXPECT_FLOAT_EQ(t.shares[2], 0.0f);
}

TEST(BarDrag, KindFollowsWhereThePressLies) {
  // A row with one segment cannot be dragged.
  EXPECT_EQ(StartBarDrag(1, 400, true, true, 0, 0, 400).kind, BarDragKind::None);
  EXPECT_EQ(StartBarDrag(1, 100, false, false, 0.2f, 0.5f, 400).kind, BarDragKind::LeftBorder);
  EXPECT_EQ(StartBarDrag(1, 100, true, false, 0, 0.5f, 400).kind, BarDragKind::None);
  const BarDrag right = StartBarDrag(98, 100, true, false, 0, 0.5f, 400);
  EXPECT_EQ(right.kind, BarDragKind::RightBorder);
  EXPECT_EQ(right.low, -2);
  EXPECT_EQ(right.high, 298);
  EXPECT_EQ(StartBarDrag(50, 100, false, false, 0.2f, 0.5f, 400).kind, BarDragKind::Whole);
  EXPECT_EQ(StartBarDrag(50, 100, true, false, 0, 0.5f, 400).kind, BarDragKind::None);
}

TEST(BarDrag, DeltaStaysInRange) {
  const BarDrag drag{BarDragKind::RightBorder, -2, 298};
  EXPECT_NEAR(BarDragDelta(drag, 98, 138, 400), 10.0f, 1e-3);
  EXPECT_NEAR(BarDragDelta(drag, 98, 900, 400), 50.0f, 1e-3);
  EXPECT_EQ(ShownDragShare(BarDragKind::RightBorder, 0.2f, 10.0001f), 30);
  EXPECT_EQ(ShownDragShare(BarDragKind::LeftBorder, 0.3f, 10.0001f), 20);
  EXPECT_EQ(ShownDragShare(BarDragKind::Whole, 0.3f, 10.0001f), 30);
}

TEST(BarText, FormatCodes) {
  EXPECT_EQ(FormatBarText("Origin %R: Vehicle type %C: %P%%", "Main", "3", 0.255f),
            "Origin Main: Vehicle type 3: 25.5%");
  EXPECT_EQ(FormatBarText("%C: %6.3P|%Q|", "r", "trucks", 0.1f), "trucks:   10.0||");
}

TEST(BarLayout, SegmentsFillTheWidth) {
  ThreeShares t;
  const auto segments = LayoutBars(t.Source(), 400);
  ASSERT_EQ(segments.size(), 3u);
  EXPECT_EQ(segments[0].right, 80);
  EXPECT_EQ(segments[1].left, 80);
  EXPECT_EQ(segments[1].right, 200);
  EXPECT_EQ(segments[2].right, 400);
  EXPECT_TRUE(segments[0].first);
  EXPECT_TRUE(segments[2].last);
}
