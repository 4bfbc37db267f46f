#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/RoadTypes.h"
#include "support/ReportCapture.h"
#include "support/TestRoads.h"

namespace {

// section, from lane, to lane, counterpart of every rank
std::vector<std::vector<int>> Teleports(KDConfig& c, bool entrance) {
  std::vector<std::vector<int>> result;
  for (int rank = 0; rank < c.TeleportCount(entrance); ++rank) {
    const TeleportRecord r = c.TeleportRecord(entrance, rank);
    result.push_back({r.section, r.fromLane, r.toLane, r.counterpart});
  }
  return result;
}

// Sections of 1000 m: 0 = 4000 .. 5000 (downstream) up to 4 = 0 .. 1000.
void FiveSections(KDConfig& c) {
  for (int d : {1000, 2000, 3000, 4000}) c.InsertBoundary(d);
}

}  // namespace

TEST(KDConfigTeleportGrouping, EntranceLanesFedByLinkedLanesFormOneEntrance) {
  KDConfig c;
  c.InsertBoundary(2000);  // section 0: 2000 .. 5000, section 1: 0 .. 2000
  SetLaneType(c, 0, 1, TELEPORTIN);
  SetLaneType(c, 0, 2, TELEPORTIN);
  // Upstream lanes 1 and 2 still allow changes between them (76 and 70).
  EXPECT_EQ(Teleports(c, true), (std::vector<std::vector<int>>{{0, 1, 2, -1}}));
  EXPECT_EQ(c.TeleportCount(false), 0);

  SetLaneType(c, 1, 1, LANETYPE_NOCHANGE);
  SetLaneType(c, 1, 2, LANETYPE_NOCHANGE);
  EXPECT_EQ(Teleports(c, true), (std::vector<std::vector<int>>{{0, 1, 1, -1}, {0, 2, 2, -1}}));
}

TEST(KDConfigTeleportGrouping, ExitLanesAreGroupedByTheLanesDownstream) {
  KDConfig c;
  c.InsertBoundary(2000);
  SetLaneType(c, 1, 1, TELEPORTOUT);
  SetLaneType(c, 1, 2, TELEPORTOUT);
  EXPECT_EQ(Teleports(c, false), (std::vector<std::vector<int>>{{1, 1, 2, -1}}));
  SetLaneType(c, 0, 1, LANETYPE_NOCHANGE);
  SetLaneType(c, 0, 2, LANETYPE_NOCHANGE);
  EXPECT_EQ(Teleports(c, false), (std::vector<std::vector<int>>{{1, 1, 1, -1}, {1, 2, 2, -1}}));
}

TEST(KDConfigTeleportGrouping, EntranceAndExitLanesSideBySideAreSeparate) {
  KDConfig c;
  c.InsertBoundary(2000);
  SetLaneType(c, 0, 1, TELEPORTIN);
  SetLaneType(c, 0, 2, TELEPORTOUT);
  EXPECT_EQ(Teleports(c, true), (std::vector<std::vector<int>>{{0, 1, 1, -1}}));
  EXPECT_EQ(Teleports(c, false), (std::vector<std::vector<int>>{{0, 2, 2, -1}}));
}

TEST(KDConfigTeleportGrouping, RanksRunFromUpstreamAndFromTheLeft) {
  KDConfig c;
  FiveSections(c);
  // Entrances in the most upstream section have no lanes feeding them: one per lane.
  SetLaneType(c, 4, 4, TELEPORTIN);
  SetLaneType(c, 4, 3, TELEPORTIN);
  SetLaneType(c, 1, 0, TELEPORTIN);
  SetLaneType(c, 2, 5, TELEPORTIN);
  EXPECT_EQ(Teleports(c, true), (std::vector<std::vector<int>>{
                                    {4, 3, 3, -1}, {4, 4, 4, -1}, {2, 5, 5, -1}, {1, 0, 0, -1}}));
}

TEST(KDConfigTeleportGrouping, LaneWithBothTeleportBitsIsAnInternalError) {
  KDConfig c;
  SetLaneType(c, 0, 4, TELEPORTIN | TELEPORTOUT);
  ReportCapture capture;
  EXPECT_EQ(c.TeleportCount(true), 0);
  EXPECT_EQ(c.TeleportCount(false), 0);
  ASSERT_FALSE(capture.Empty());
  EXPECT_EQ(capture.Reports()[0].kind, ReportKind::Assertion);
  EXPECT_NE(capture.Reports()[0].text.find("sectiontype != (TELEPORTIN | TELEPORTOUT)"),
            std::string::npos);
}

TEST(KDConfigTeleportGrouping, NoMoreThan99EntrancesAreKept) {
  KDConfig c;
  for (int d = 500; d < 5000; d += 500) c.InsertBoundary(d);  // ten sections
  for (int s = 0; s <= c.Boundaries(); ++s)
    for (int lane = 0; lane < MAX_KAVROLANE; ++lane) SetLaneType(c, s, lane, TELEPORTIN);
  ReportCapture capture;
  EXPECT_EQ(c.TeleportCount(true), MAXTELEPORT);
  ASSERT_FALSE(capture.Empty());
  EXPECT_NE(capture.Reports()[0].text.find("*counter < MAXTELEPORT"), std::string::npos);
  // The kept ones are the most upstream.
  EXPECT_EQ(c.TeleportRecord(true, 0).section, c.Boundaries());
}

TEST(KDConfigTeleportCounterPart, LinksSurviveUnrelatedLaneTypeChanges) {
  KDConfig c;
  FiveSections(c);
  SetLaneType(c, 3, 2, TELEPORTIN);
  SetLaneType(c, 1, 2, TELEPORTOUT);
  const int stamp = c.ChangeStamp();
  c.SetTeleportCounterPart(true, 0, 7);
  c.SetTeleportCounterPart(false, 0, 7);
  EXPECT_EQ(c.ChangeStamp(), stamp);
  SetLaneType(c, 4, 4, TELEPORTIN);  // a new entrance upstream takes rank 0
  EXPECT_EQ(Teleports(c, true), (std::vector<std::vector<int>>{{4, 4, 4, -1}, {3, 2, 2, 7}}));
  EXPECT_EQ(c.TeleportCounterPart(true, 1), 7);
  EXPECT_EQ(c.TeleportCounterPart(false, 0), 7);
  EXPECT_EQ(c.TeleportCounterPart(false, 1), -1);
}

TEST(KDConfigTeleportCounterPart, RejectsBadRank) {
  KDConfig c;
  SetLaneType(c, 0, 2, TELEPORTIN);
  const int cases[] = {-1, 1};
  for (int rank : cases) {
    SCOPED_TRACE(rank);
    ReportCapture capture;
    c.SetTeleportCounterPart(true, rank, 3);
    EXPECT_EQ(capture.OnlyText(),
              Format("KDConfig::SetTeleportCounterPart: bad entrance rank=%d allowed range is "
                     "0..0",
                     rank));
    EXPECT_EQ(c.TeleportCounterPart(true, 0), -1);
  }
  ReportCapture capture;
  c.SetTeleportCounterPart(false, 0, 3);
  EXPECT_EQ(capture.OnlyText(),
            "KDConfig::SetTeleportCounterPart: bad exit rank=0 allowed range is 0..-1");
}

// Entrance in section 3 (1000 .. 2000) and exit in section 1 (3000 .. 4000), both lane 2,
// linked; a boundary inserted anywhere keeps the link and the teleports' places on the road.
TEST(KDConfigTeleportInsertBoundary, LinksSurviveEverywhere) {
  struct Case {
    int distance;
    int entranceSection;
    int exitSection;
  };
  const Case cases[] = {
      {500, 3, 1},   // upstream of both
      {1500, 4, 1},  // splits the entrance section: the entrance stays in the upstream part
      {2500, 4, 1},  // directly downstream of the entrance section
      {3500, 4, 1},  // splits the exit section: the exit stays in the downstream part
      {4500, 4, 2},  // downstream of both
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.distance);
    KDConfig c;
    FiveSections(c);
    SetLaneType(c, 3, 2, TELEPORTIN);
    SetLaneType(c, 1, 2, TELEPORTOUT);
    c.SetTeleportCounterPart(true, 0, 7);
    c.SetTeleportCounterPart(false, 0, 7);
    c.InsertBoundary(t.distance);
    EXPECT_EQ(Teleports(c, true), (std::vector<std::vector<int>>{{t.entranceSection, 2, 2, 7}}));
    EXPECT_EQ(Teleports(c, false), (std::vector<std::vector<int>>{{t.exitSection, 2, 2, 7}}));
    EXPECT_EQ(c.SectionPos(t.entranceSection, WHENCE_BEGIN), 1000);
    EXPECT_EQ(c.SectionPos(t.exitSection, WHENCE_END), 4000);
  }
}

TEST(KDConfigTeleportDeleteBoundary, LinksFollowTheRenumberedSections) {
  KDConfig c;
  FiveSections(c);
  SetLaneType(c, 3, 2, TELEPORTIN);
  SetLaneType(c, 1, 2, TELEPORTOUT);
  c.SetTeleportCounterPart(true, 0, 7);
  c.SetTeleportCounterPart(false, 0, 7);
  c.DeleteBoundary(2);  // between the two
  EXPECT_EQ(Teleports(c, true), (std::vector<std::vector<int>>{{2, 2, 2, 7}}));
  EXPECT_EQ(Teleports(c, false), (std::vector<std::vector<int>>{{1, 2, 2, 7}}));
  c.DeleteBoundary(0);  // downstream of both
  EXPECT_EQ(Teleports(c, true), (std::vector<std::vector<int>>{{1, 2, 2, 7}}));
  EXPECT_EQ(Teleports(c, false), (std::vector<std::vector<int>>{{0, 2, 2, 7}}));
}

TEST(KDConfigTeleportDeleteBoundary, LinkOfARemovedTeleportPassesToNoOther) {
  KDConfig c;
  FiveSections(c);
  SetLaneType(c, 3, 2, TELEPORTIN);
  c.SetTeleportCounterPart(true, 0, 7);
  c.DeleteBoundary(3);
  // Section 3 now is the former section 4; a new entrance there is not the removed one.
  SetLaneType(c, 3, 2, TELEPORTIN);
  EXPECT_EQ(Teleports(c, true), (std::vector<std::vector<int>>{{3, 2, 2, -1}}));
}

TEST(KDConfigTeleportGrouping, ListsAreCurrentWhenTheOriginsWereAskedFirst) {
  KDConfig c;
  c.InsertBoundary(2000);
  SetLaneType(c, 0, 3, TELEPORTIN);
  c.SourceCount();  // rebuilds every list and clears the dirty flag
  EXPECT_EQ(Teleports(c, true), (std::vector<std::vector<int>>{{0, 3, 3, -1}}));
  c.SetTeleportCounterPart(true, 0, 4);
  SetLaneType(c, 1, 3, TELEPORTOUT);
  c.SinkCount();
  EXPECT_EQ(Teleports(c, false), (std::vector<std::vector<int>>{{1, 3, 3, -1}}));
  EXPECT_EQ(c.TeleportCounterPart(true, 0), 4);
}
