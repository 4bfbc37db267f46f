#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "config/KDConfig.h"
#include "config/RoadTestSupport.h"
#include "config/RoadTypes.h"
#include "support/ExpectRejected.h"
#include "support/ReportCapture.h"
#include "support/TestRoads.h"

TEST(KDConfigConstruction, DefaultRoadHasThreeLanesOn5000Metres) {
  KDConfig config;
  EXPECT_EQ(config.MagicNumber(), 0x9d6209f1u);
  EXPECT_EQ(config.Length(), 5000);
  EXPECT_EQ(config.Boundaries(), 0);
  EXPECT_EQ(LaneTypeOf(config, 0, 0), 73);
  EXPECT_EQ(LaneTypeOf(config, 0, 1), 76);
  EXPECT_EQ(LaneTypeOf(config, 0, 2), 70);
  const std::vector<int> codes = {1, 0, 2, 9, 9, 9, 9, 9, 9, 9, 9, 9};
  for (int lane = 0; lane < MAX_KAVROLANE; ++lane) {
    SCOPED_TRACE(lane);
    EXPECT_EQ(config.OldPhysSectionType(0, lane), codes[lane]);
    EXPECT_EQ(config.PhysicalSectionProperty(0, lane, PP_SPEEDLIMIT), 120.0f);
    EXPECT_EQ(config.PhysicalSectionProperty(0, lane, PP_SPEEDSUPPRESSION), 1.0f);
  }
  EXPECT_EQ(config.LanesUsed(), 3);
  EXPECT_EQ(config.FirstLaneUsed(), 0);
}

TEST(KDConfigConstruction, DovelDefaultSpeedLimitIs130) {
  ScopedProgramMode mode(DOVEL);
  KDConfig config;
  EXPECT_EQ(config.PhysicalSectionProperty(0, 5, PP_SPEEDLIMIT), 130.0f);
}

TEST(KDConfigChangeStamp, IsUniqueAmongConfigurationsAndGrowsWithEachChange) {
  KDConfig first;
  KDConfig second;
  EXPECT_NE(first.ChangeStamp(), second.ChangeStamp());
  const int before = first.ChangeStamp();
  first.SetPhysicalSectionProperty(0, 0, PP_SLOPE, 0.02f);
  EXPECT_GT(first.ChangeStamp(), second.ChangeStamp());
  EXPECT_NE(first.ChangeStamp(), before);
}

TEST(KDConfigChangeStamp, EverySuccessfulRoadEditTakesANewStamp) {
  struct Case {
    const char* name;
    std::function<void(KDConfig&)> edit;
  };
  const std::vector<Case> cases = {
      {"InsertBoundary", [](KDConfig& c) { c.InsertBoundary(2000); }},
      {"DeleteBoundary", [](KDConfig& c) { c.DeleteBoundary(1); }},
      {"SetLength", [](KDConfig& c) { c.SetLength(6000); }},
      {"SetSectionPos", [](KDConfig& c) { c.SetSectionPos(0, 1200, WHENCE_BEGIN); }},
      {"SetSectionLength", [](KDConfig& c) { c.SetSectionLength(1, 900); }},
      {"SetSectionLength same", [](KDConfig& c) { c.SetSectionLength(1, 1000); }},
      {"lane type", [](KDConfig& c) { c.SetPhysicalSectionProperty(1, 4, PP_LANETYPE, 76); }},
      {"spare", [](KDConfig& c) { c.SetPhysicalSectionProperty(1, 4, PP_SPARE9, 1); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KDConfig config;
    config.InsertBoundary(1000);
    KDConfig other;
    const int before = config.ChangeStamp();
    ReportCapture capture;
    c.edit(config);
    EXPECT_TRUE(capture.Empty());
    EXPECT_GT(config.ChangeStamp(), before);
    EXPECT_GT(config.ChangeStamp(), other.ChangeStamp());
  }
}

TEST(KDConfigChangeStamp, ReadAccessorsDoNotChangeIt) {
  KDConfig config;
  config.InsertBoundary(1000);
  const int stamp = config.ChangeStamp();
  config.SectionAt(500.0f);
  config.LanesUsed();
  config.CanMoveLeft(0, 1);
  config.OldPhysSectionType(1, 2);
  config.SectionLength(1);
  EXPECT_EQ(config.ChangeStamp(), stamp);
}

TEST(KDConfigInsertBoundary, SplitsTheSectionAndBothPartsKeepItsValues) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 1, PP_SLOPE, 0.03f);
  config.InsertBoundary(1000);
  ASSERT_EQ(config.Boundaries(), 1);
  EXPECT_EQ(config.SectionPos(0, WHENCE_BEGIN), 1000);
  EXPECT_EQ(config.SectionPos(0, WHENCE_END), 5000);
  EXPECT_EQ(config.SectionPos(1, WHENCE_BEGIN), 0);
  EXPECT_EQ(config.SectionPos(1, WHENCE_END), 1000);
  for (int s = 0; s <= 1; ++s) {
    SCOPED_TRACE(s);
    EXPECT_EQ(LaneTypeOf(config, s, 1), 76);
    EXPECT_FLOAT_EQ(config.PhysicalSectionProperty(s, 1, PP_SLOPE), 0.03f);
  }
}

TEST(KDConfigInsertBoundary, InsertsAtTheRightIndexAmongSeveralSections) {
  KDConfig config;
  CutThreeSections(config);
  config.InsertBoundary(2000);
  const std::vector<int> ends = {5000, 3000, 2000, 1000};
  ASSERT_EQ(config.Boundaries(), 3);
  for (int s = 0; s <= 3; ++s) {
    SCOPED_TRACE(s);
    EXPECT_EQ(config.SectionPos(s, WHENCE_END), ends[s]);
  }
  config.InsertBoundary(500);
  EXPECT_EQ(config.SectionPos(4, WHENCE_END), 500);
  EXPECT_EQ(config.SectionLength(3), 500);
}

TEST(KDConfigInsertBoundary, RejectsPositionOutsideRoadOrOnABoundary) {
  struct Case {
    int distance;
    std::string text;
  };
  const std::vector<Case> cases = {
      {0, "KDConfig::InsertBoundary: bad Distance: 0"},
      {-5, "KDConfig::InsertBoundary: bad Distance: -5"},
      {5000, "KDConfig::InsertBoundary: bad Distance: 5000"},
      {7000, "KDConfig::InsertBoundary: bad Distance: 7000"},
      {3000, "KDConfig::InsertBoundary: Distance 3000 collides with boundary 1"},
      {1000, "KDConfig::InsertBoundary: Distance 1000 collides with boundary 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.distance);
    KDConfig config;
    CutThreeSections(config);
    ExpectRejected(
        c.text, [&config] { return RoadSnapshot(config); },
        [&] { config.InsertBoundary(c.distance); });
  }
}

TEST(KDConfigInsertBoundary, DovelModeAllowsAtMostNineteenSections) {
  ScopedProgramMode mode(DOVEL);
  KDConfig config;
  for (int d = 4900; config.Boundaries() < 18; d -= 100) config.InsertBoundary(d);
  const RoadSnapshot before(config);
  ReportCapture capture;
  config.InsertBoundary(50);
  EXPECT_EQ(capture.OnlyText(), "KDConfig::InsertBoundary: bad Distance: 50");
  EXPECT_TRUE(RoadSnapshot(config) == before);
}

TEST(KDConfigInsertBoundary, TeleportEntranceStaysUpstreamAndExitDownstream) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 3, PP_LANETYPE, TELEPORTIN);
  config.SetPhysicalSectionProperty(0, 4, PP_LANETYPE, TELEPORTOUT);
  config.InsertBoundary(2000);
  EXPECT_EQ(LaneTypeOf(config, 1, 3) & TELEPORTIN, TELEPORTIN);
  EXPECT_EQ(LaneTypeOf(config, 0, 3) & TELEPORTIN, 0);
  EXPECT_EQ(LaneTypeOf(config, 0, 4) & TELEPORTOUT, TELEPORTOUT);
  EXPECT_EQ(LaneTypeOf(config, 1, 4) & TELEPORTOUT, 0);
}

TEST(KDConfigInsertBoundary, EntranceBesideAPavedLaneIsAlsoRemovedDownstream) {
  // Paving lane 2 next to the entrance gives the entrance a "no change left" bit.
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 3, PP_LANETYPE, TELEPORTIN);
  config.SetPhysicalSectionProperty(0, 2, PP_LANETYPE, LANETYPE_ANYCHANGE);
  ASSERT_NE(LaneTypeOf(config, 0, 3), TELEPORTIN);
  config.InsertBoundary(2000);
  EXPECT_EQ(LaneTypeOf(config, 0, 3) & TELEPORTIN, 0);
  EXPECT_EQ(LaneTypeOf(config, 1, 3) & TELEPORTIN, TELEPORTIN);
}

TEST(KDConfigDeleteBoundary, RemovingSectionZeroShortensTheRoad) {
  KDConfig config;
  config.InsertBoundary(4000);
  config.SetPhysicalSectionProperty(1, 0, PP_SLOPE, 0.01f);
  config.DeleteBoundary(0);
  EXPECT_EQ(config.Boundaries(), 0);
  EXPECT_EQ(config.Length(), 4000);
  EXPECT_FLOAT_EQ(config.PhysicalSectionProperty(0, 0, PP_SLOPE), 0.01f);
}

TEST(KDConfigDeleteBoundary, DownstreamNeighbourTakesOverTheStretch) {
  KDConfig config;
  CutThreeSections(config);
  config.SetPhysicalSectionProperty(0, 0, PP_SLOPE, 0.05f);
  config.DeleteBoundary(1);
  ASSERT_EQ(config.Boundaries(), 1);
  EXPECT_EQ(config.Length(), 5000);
  EXPECT_EQ(config.SectionPos(0, WHENCE_BEGIN), 1000);
  EXPECT_FLOAT_EQ(config.PhysicalSectionProperty(0, 0, PP_SLOPE), 0.05f);
  // The most upstream section: its neighbour then begins at 0.
  config.DeleteBoundary(1);
  EXPECT_EQ(config.SectionPos(0, WHENCE_BEGIN), 0);
  EXPECT_EQ(config.Length(), 5000);
}

TEST(KDConfigDeleteBoundary, RejectsNoSectionAndTheLastSection) {
  struct Case {
    int cuts;
    int section;
    std::string text;
  };
  const std::vector<Case> cases = {
      {0, 0, "KDConfig::DeleteBoundary: 0 of 0"},
      {2, 3, "KDConfig::DeleteBoundary: 3 of 2"},
      {2, -1, "KDConfig::DeleteBoundary: -1 of 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    KDConfig config;
    if (c.cuts) CutThreeSections(config);
    const RoadSnapshot before(config);
    ReportCapture capture;
    config.DeleteBoundary(c.section);
    EXPECT_EQ(capture.OnlyText(), c.text);
    EXPECT_TRUE(RoadSnapshot(config) == before);
  }
}

TEST(KDConfigSetLength, SingleSectionMayShrinkOrGrow) {
  KDConfig config;
  config.SetLength(300);
  EXPECT_EQ(config.Length(), 300);
  config.SetLength(8000);
  EXPECT_EQ(config.Length(), 8000);
}

TEST(KDConfigSetLength, SeveralSectionsAcceptOnlyALongerRoad) {
  for (const int length : {0, -1, 4000, 5000}) {
    SCOPED_TRACE(length);
    KDConfig config;
    if (length != 0 && length != -1) config.InsertBoundary(1000);
    const RoadSnapshot before(config);
    ReportCapture capture;
    config.SetLength(length);
    EXPECT_EQ(capture.OnlyText(), "KDConfig::SetLength: Bad Length");
    EXPECT_TRUE(RoadSnapshot(config) == before);
  }
  KDConfig config;
  config.InsertBoundary(1000);
  config.SetLength(5001);
  EXPECT_EQ(config.Length(), 5001);
  EXPECT_EQ(config.SectionPos(0, WHENCE_BEGIN), 1000);
}

TEST(KDConfigSectionPos, NoSectionGivesMinusOne) {
  KDConfig config;
  config.InsertBoundary(1000);
  EXPECT_EQ(config.SectionPos(2, WHENCE_END), -1);
  EXPECT_EQ(config.SectionPos(-1, WHENCE_BEGIN), -1);
  EXPECT_EQ(config.SectionLength(2), -1);
  EXPECT_EQ(config.SectionLength(-1), -1);
  EXPECT_EQ(config.SectionLength(0), 4000);
}

TEST(KDConfigSetSectionPos, MovesOneBoundaryFromEitherSide) {
  KDConfig config;
  CutThreeSections(config);
  config.SetSectionPos(1, 3500, WHENCE_END);
  EXPECT_EQ(config.SectionPos(0, WHENCE_BEGIN), 3500);
  config.SetSectionPos(1, 1500, WHENCE_BEGIN);
  EXPECT_EQ(config.SectionPos(2, WHENCE_END), 1500);
  EXPECT_EQ(config.SectionLength(1), 2000);
  EXPECT_EQ(config.Length(), 5000);
}

TEST(KDConfigSetSectionPos, RejectsAPositionBeyondTheNeighbours) {
  struct Case {
    int section;
    int position;
    int whence;
    std::string text;
  };
  const std::vector<Case> cases = {
      {1, 1000, WHENCE_END,
       "KDConfig::SetSectionPos: Section=1\r\nNewPos=1000 Whence=END\r\nPrevSectionPos=5000"
       "\r\nNextSectionPos=1000"},
      {1, 5000, WHENCE_END,
       "KDConfig::SetSectionPos: Section=1\r\nNewPos=5000 Whence=END\r\nPrevSectionPos=5000"
       "\r\nNextSectionPos=1000"},
      {0, 1000, WHENCE_BEGIN,
       "KDConfig::SetSectionPos: Section=0\r\nNewPos=1000 Whence=BEGIN\r\nNextSectionPos=3000"},
      {2, 0, WHENCE_END,
       "KDConfig::SetSectionPos: Section=2\r\nNewPos=0 Whence=END\r\nPrevSectionPos=3000"},
      {0, 6000, WHENCE_END,
       "KDConfig::SetSectionPos: Section=0\r\nNewPos=6000 Whence=END\r\nNextSectionPos=3000"},
      {3, 500, WHENCE_END,
       "KDConfig::SetSectionPos: Section=3\r\nNewPos=500 Whence=END\r\nPrevSectionPos=1000"},
      {-1, 500, WHENCE_END, "KDConfig::SetSectionPos: Section=-1\r\nNewPos=500 Whence=END"},
      {1, 2000, 7,
       "KDConfig::SetSectionPos: Section=1\r\nNewPos=2000 Whence=BEGIN"
       "\r\nPrevSectionPos=5000\r\nNextSectionPos=1000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    KDConfig config;
    CutThreeSections(config);
    const RoadSnapshot before(config);
    ReportCapture capture;
    config.SetSectionPos(c.section, c.position, c.whence);
    EXPECT_EQ(capture.OnlyText(), c.text);
    EXPECT_TRUE(RoadSnapshot(config) == before);
  }
}

TEST(KDConfigSetSectionPos, BeginOfTheMostUpstreamSectionCannotMove) {
  KDConfig config;
  config.InsertBoundary(1000);
  const RoadSnapshot before(config);
  ReportCapture capture;
  config.SetSectionPos(1, 500, WHENCE_BEGIN);
  EXPECT_EQ(capture.OnlyText(),
            "KDConfig::SetPhysicalSectionProperty: PhysSection=2\r\nLane=0\r\nProperty=16");
  EXPECT_TRUE(RoadSnapshot(config) == before);
}

TEST(KDConfigSetSectionLength, ShiftsEverythingDownstream) {
  struct Case {
    int section;
    int length;
    std::vector<int> ends;
  };
  // Sections end at 5000, 3000, 1000.
  const std::vector<Case> cases = {
      {1, 2500, {5500, 3500, 1000}}, {1, 1900, {4900, 2900, 1000}}, {2, 200, {4200, 2200, 200}},
      {0, 100, {3100, 3000, 1000}},  {1, 2000, {5000, 3000, 1000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.section * 10000 + c.length);
    KDConfig config;
    CutThreeSections(config);
    config.SetSectionLength(c.section, c.length);
    for (int s = 0; s <= 2; ++s) EXPECT_EQ(config.SectionPos(s, WHENCE_END), c.ends[s]);
    EXPECT_EQ(config.SectionLength(c.section), c.length);
  }
}

TEST(KDConfigSetSectionLength, IgnoresNoSectionAndNonPositiveLength) {
  KDConfig config;
  CutThreeSections(config);
  const RoadSnapshot before(config);
  ReportCapture capture;
  config.SetSectionLength(3, 100);
  config.SetSectionLength(-1, 100);
  config.SetSectionLength(1, 0);
  config.SetSectionLength(1, -20);
  EXPECT_TRUE(capture.Empty());
  EXPECT_TRUE(RoadSnapshot(config) == before);
}

TEST(KDConfigSectionAt, FindsTheSectionAndGivesBoundariesToTheDownstreamOne) {
  KDConfig config;
  CutThreeSections(config);
  const std::vector<std::pair<float, int>> cases = {
      {0.0f, 2},    {999.5f, 2},  {1000.0f, 1},  {2999.0f, 1}, {3000.0f, 0},
      {4999.9f, 0}, {5000.0f, 0}, {5001.0f, -1}, {-0.5f, -1},  {-100.0f, -1},
  };
  for (const auto& [position, section] : cases) {
    SCOPED_TRACE(position);
    EXPECT_EQ(config.SectionAt(position), section);
  }
}
