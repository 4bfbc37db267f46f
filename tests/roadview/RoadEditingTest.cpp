// The road editor's selection and commands without a window.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "config/KDConfig.h"
#include "config/RoadTestSupport.h"
#include "roadview/RoadEditing.h"
#include "support/ReportCapture.h"

namespace {

int Type(const KDConfig& c, int section, int lane) {
  return c.IntPhysicalSectionProperty(section, lane, PP_LANETYPE);
}

bool Enabled(const std::array<bool, kLaneTypeCommands>& on, LaneTypeCommand command) {
  return on[static_cast<int>(command)];
}

TEST(RoadEditSelection, LaneRowsAndPositionsUnderTheMouse) {
  EXPECT_EQ(LaneAtY(4), -1);
  EXPECT_EQ(LaneAtY(5), 0);
  EXPECT_EQ(LaneAtY(28), 0);
  EXPECT_EQ(LaneAtY(29), 1);
  EXPECT_EQ(LaneAtY(5 + 24 * 12), -1);       // below the last lane
  const RoadViewport view{839, 5000, 0, 0};  // W = 800
  EXPECT_EQ(PixelToPosition(view, 18), 3);   // the centre of the first column
  EXPECT_EQ(PixelToPosition(view, 818), 5003);
}

TEST(RoadEditSelection, DraggedBackwardsEndsOrdered) {
  RoadEditSelection s{3, 1, 0, 2};  // pressed at lane 3 of section 0, released at lane 1 upstream
  OrderSelection(s);
  EXPECT_EQ(s, (RoadEditSelection{1, 3, 2, 0}));
  RoadEditSelection beside{2, -1, 1, 1};  // released beside the lanes
  OrderSelection(beside);
  EXPECT_EQ(beside.laneFrom, -1);
  EXPECT_EQ(beside.laneTo, -1);
  RoadEditSelection off{1, 1, 1, -1};  // released off the road
  OrderSelection(off);
  EXPECT_EQ(off.sectionFrom, -1);
  EXPECT_EQ(off.sectionTo, -1);
}

TEST(LaneTypeAvailability, ThreeSectionsNoTeleportsTwoLanesTapers) {
  KDConfig c;
  c.InsertBoundary(1000);
  c.InsertBoundary(2000);
  c.InsertBoundary(3000);
  RoadEditSelection three{1, 1, 3, 1};
  auto on = LaneTypeAvailability(c, three);
  EXPECT_FALSE(Enabled(on, LaneTypeCommand::TeleportIn));
  EXPECT_FALSE(Enabled(on, LaneTypeCommand::TeleportOut));
  EXPECT_FALSE(Enabled(on, LaneTypeCommand::TaperedOnRamp));
  RoadEditSelection pair{1, 2, 2, 1};
  on = LaneTypeAvailability(c, pair);
  EXPECT_TRUE(Enabled(on, LaneTypeCommand::TaperedOnRamp));
  EXPECT_TRUE(Enabled(on, LaneTypeCommand::TaperedOffRamp));
  RoadEditSelection leftmost{0, 1, 2, 1};
  on = LaneTypeAvailability(c, leftmost);
  EXPECT_FALSE(Enabled(on, LaneTypeCommand::TaperedOnRamp));
  // The median lane has no lane to its left.
  EXPECT_FALSE(Enabled(on, LaneTypeCommand::ChangeLeft));
  EXPECT_FALSE(Enabled(on, LaneTypeCommand::ForceLeft));
}

TEST(LaneTypeAvailability, ClampsASelectionOfSectionsThatNoLongerExist) {
  KDConfig c;
  c.InsertBoundary(1000);
  RoadEditSelection s{0, 0, 5, 4};
  LaneTypeAvailability(c, s);
  EXPECT_EQ(s.sectionFrom, 1);
  EXPECT_EQ(s.sectionTo, 1);
}

TEST(SetSelectionLaneType, TaperPairAndPlainTypes) {
  KDConfig c;
  c.InsertBoundary(1000);
  SetSelectionLaneType(c, {1, 2, 1, 1}, LANETYPE_TAPERON);
  EXPECT_EQ(Type(c, 1, 1), 332);
  EXPECT_TRUE(Type(c, 1, 2) & LANE_TAPERON);
  EXPECT_EQ(Type(c, 0, 1), LANETYPE_ANYCHANGE);  // other sections keep theirs
  SetSelectionLaneType(c, {1, 2, 0, 0}, LANETYPE_TAPEROFF);
  EXPECT_EQ(Type(c, 0, 1), 588);
  EXPECT_EQ(Type(c, 0, 2), 579);
  SetSelectionLaneType(c, {2, 2, -1, -1}, LANETYPE_UNPAVED);
  EXPECT_EQ(Type(c, 0, 2), 0);
  EXPECT_EQ(Type(c, 1, 2), 0);
}

TEST(SectionHeaderCommands, SplitStaysInsideTheSectionAndSelectionFollows) {
  KDConfig c;
  c.InsertBoundary(1000);  // item 0 = section 1 (0..1000), item 1 = section 0
  EXPECT_EQ(SplitPosition(c, 0, 1000), 999);
  EXPECT_EQ(SplitPosition(c, 1, 1000), 1001);
  EXPECT_EQ(SplitPosition(c, 0, 0), 1);
  RoadEditSelection s{0, 0, 1, 0};
  c.InsertBoundary(SplitPosition(c, 0, 500));
  ShiftSelectionForHeader(s, c.Boundaries(), 0, +1);
  // The split section keeps its number for its downstream part.
  EXPECT_EQ(s.sectionFrom, 1);
  EXPECT_EQ(s.sectionTo, 0);
  RoadEditSelection upstream{0, 0, 2, 2};
  ShiftSelectionForHeader(upstream, c.Boundaries(), 1, +1);
  EXPECT_EQ(upstream.sectionFrom, 3);
  EXPECT_EQ(ResizePosition(c, 1, 5000), 4999);  // stops 1 m before the next boundary
  EXPECT_EQ(ResizePosition(c, 1, 100), 501);
}

TEST(RoadPieces, CuttingAllLanesOfTwoSectionsLeavesOneUnpavedSection) {
  KDConfig c;
  c.InsertBoundary(1000);
  c.InsertBoundary(3000);
  RoadEditSelection s{-1, -1, 2, 1};
  ASSERT_TRUE(WholeCrossSection(c, s));
  CutSelection(c, s, true);
  ASSERT_EQ(c.Boundaries(), 1);
  EXPECT_EQ(c.SectionPos(1, WHENCE_END), 3000);
  for (int lane = 0; lane < MaxLane(); ++lane) EXPECT_EQ(Type(c, 1, lane), 0);
  EXPECT_EQ(s.sectionFrom, 1);
  EXPECT_EQ(s.sectionTo, 1);
}

TEST(RoadPieces, CuttingSomeLanesKeepsTheSections) {
  KDConfig c;
  c.InsertBoundary(1000);
  RoadEditSelection s{2, 2, 1, 0};
  ASSERT_FALSE(WholeCrossSection(c, s));
  CutSelection(c, s, false);
  EXPECT_EQ(c.Boundaries(), 1);
  EXPECT_EQ(Type(c, 0, 2), 0);
  EXPECT_EQ(Type(c, 1, 2), 0);
  EXPECT_NE(Type(c, 1, 1), 0);
}

TEST(RoadPieces, PasteAfterKeepsTheSelectionOnItsStretch) {
  KDConfig c;
  for (int p : {1000, 2000, 3000, 4000}) c.InsertBoundary(p);
  const std::string two = CopySelection(c, {-1, -1, 1, 0});
  RoadEditSelection s{-1, -1, 3, 2};
  const int begin = c.SectionPos(3, WHENCE_BEGIN);
  EXPECT_EQ(PasteSelection(c, s, two, PasteKind::After), "");
  EXPECT_EQ(s.sectionFrom, 5);
  EXPECT_EQ(s.sectionTo, 4);
  EXPECT_EQ(c.SectionPos(5, WHENCE_BEGIN), begin);
  EXPECT_EQ(c.Length(), 7000);
}

TEST(RoadPieces, PasteReplacesTheSelectedSectionsAndSelectsThePiece) {
  KDConfig c;
  c.InsertBoundary(1000);
  c.InsertBoundary(2000);
  KDConfig source;
  source.InsertBoundary(300);
  source.SetPhysicalSectionProperty(1, 2, PP_LANETYPE, LANETYPE_BLOCKED);
  const std::string piece = CopySelection(source, {-1, -1, 1, 0});
  RoadEditSelection s{-1, -1, 2, 1};  // 0 .. 2000
  EXPECT_EQ(PasteSelection(c, s, piece, PasteKind::Replace), "");
  EXPECT_EQ(c.Boundaries(), 2);
  EXPECT_EQ(c.SectionLength(2), 300);
  EXPECT_EQ(c.SectionLength(1), 4700);
  EXPECT_EQ(c.Length(), 8000);
  EXPECT_EQ(s.sectionFrom, 2);
  EXPECT_EQ(s.sectionTo, 1);
}

TEST(RoadPieces, PasteBeforeAddsUpstreamOfTheSelection) {
  KDConfig c;
  const std::string piece = "(100(0,0,0,120,0,76,1,0,0))";
  RoadEditSelection s{1, 1, 0, 0};
  ReportCapture capture;
  EXPECT_EQ(PasteSelection(c, s, piece, PasteKind::Before), "");
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(c.Boundaries(), 1);
  EXPECT_EQ(c.SectionLength(1), 100);
  EXPECT_EQ(c.SectionLength(0), 5000);
  EXPECT_EQ(s.sectionFrom, 0);
}

TEST(RoadEditLimits, EditsTheRoadCannotTakeAreRefusedWithTheirReason) {
  KDConfig full;  // 99 origins and 99 destinations
  AlternatingRoad(full, 11);
  KDConfig many;  // as many sections as a road may have, 2 m each
  std::vector<int> ends;
  for (int s = 1; s <= MAXSECTIONS; ++s) ends.push_back(2 * s);
  many.SetSectionEnds(ends);
  const std::string piece = "(100(0,0,0,120,0,76,1,0,0))";
  using Edit = std::function<std::string(KDConfig&, RoadEditSelection&)>;
  struct Case {
    const char* what;
    KDConfig* config;
    RoadEditSelection selection;
    Edit edit;
    std::string refusal;
  } cases[] = {
      // Lanes 1 .. 11 are fine as they are; lane 12 would be an origin of its own.
      {"lane type",
       &full,
       {0, 11, 0, 0},
       [](KDConfig& c, RoadEditSelection& s) {
         return SetSelectionLaneType(c, s, LANETYPE_NOCHANGE);
       },
       "Too many origins (100, at most 99)"},
      {"split section",
       &many,
       {},
       [](KDConfig& c, RoadEditSelection&) { return SplitSection(c, 0, 1); },
       "Too many sections (10001, at most 10000)"},
      {"paste before",
       &many,
       {0, 0, 0, 0},
       [&piece](KDConfig& c, RoadEditSelection& s) {
         return PasteSelection(c, s, piece, PasteKind::Before);
       },
       "Too many sections (10001, at most 10000)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReportCapture capture;
    const RoadSnapshot before(*c.config);
    EXPECT_EQ(RefusalOnCopy(*c.config, c.selection, c.edit), c.refusal);
    EXPECT_TRUE(capture.Empty()) << capture.Reports()[0].text;
    EXPECT_TRUE(RoadSnapshot(*c.config) == before);
  }
}

}  // namespace
