// The lists of origins, destinations and teleports hold 99 each. Edits that would give the
// road more are refused by the validity checks the editors ask first, and by the setters
// themselves without changing anything; the lists never meet a road they cannot hold.
#include <gtest/gtest.h>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/RoadTestSupport.h"
#include "config/RoadTypes.h"
#include "support/ReportCapture.h"

namespace {

RoadListCounts ListCounts(const KDConfig& c) {
  return {c.SourceCount(), c.SinkCount(), c.TeleportCount(true), c.TeleportCount(false)};
}

bool operator==(const RoadListCounts& a, const RoadListCounts& b) {
  return a.origins == b.origins && a.destinations == b.destinations && a.entrances == b.entrances &&
         a.exits == b.exits;
}

}  // namespace

TEST(KDConfigRoadLists, NinetyNineOriginsAndDestinationsFit) {
  ReportCapture capture;
  KDConfig c;
  AlternatingRoad(c, 11);
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(c.SourceCount(), 99);
  EXPECT_EQ(c.SinkCount(), 99);
  EXPECT_TRUE(c.RoadListCount() == ListCounts(c));
}

TEST(KDConfigRoadLists, TheHundredthOriginIsRefusedByTheCheckAndTheSetter) {
  KDConfig c;
  AlternatingRoad(c, 11);
  const int stamp = c.ChangeStamp();
  const int before = c.IntPhysicalSectionProperty(0, 11, PP_LANETYPE);
  EXPECT_FALSE(c.LaneTypeValid(0, 11, LANETYPE_NOCHANGE));
  // Paving the lane in an unpaved section would join it to its neighbours' traffic: allowed.
  EXPECT_TRUE(c.LaneTypeValid(1, 0, LANETYPE_NOCHANGE));
  ReportCapture capture;
  c.SetPhysicalSectionProperty(0, 11, PP_LANETYPE, LANETYPE_NOCHANGE);
  EXPECT_EQ(capture.OnlyText(),
            "KDConfig::SetPhysicalSectionProperty: PhysSection=0\r\nLane=11\r\nLaneType=67 (Too "
            "many origins (100, at most 99))");
  EXPECT_EQ(c.ChangeStamp(), stamp);
  EXPECT_EQ(c.IntPhysicalSectionProperty(0, 11, PP_LANETYPE), before);
  EXPECT_EQ(c.SourceCount(), 99);
}

TEST(KDConfigRoadLists, BoundaryChecksAnswerAsTheSettersDecide) {
  KDConfig c;
  AlternatingRoad(c, 11);
  // A cut keeps every lane of the section in both parts: nothing new begins or ends.
  EXPECT_TRUE(c.InsertBoundaryValid(1750));
  EXPECT_TRUE(c.InsertBoundaryValid(150));
  EXPECT_FALSE(c.InsertBoundaryValid(1700));  // an existing boundary
  EXPECT_FALSE(c.InsertBoundaryValid(1800));  // the road end
  EXPECT_TRUE(c.DeleteBoundaryValid(0));
  EXPECT_FALSE(c.DeleteBoundaryValid(18));
  ReportCapture capture;
  c.InsertBoundary(1750);
  c.DeleteBoundary(0);
  EXPECT_TRUE(capture.Empty());
  EXPECT_TRUE(c.RoadListCount() == ListCounts(c));
}

TEST(KDConfigRoadLists, CountsFollowEveryEditOfTheLanes) {
  KDConfig c;
  AlternatingRoad(c, 5);
  // A mix of edits; after each the kept count equals that of the rebuilt lists.
  const int types[] = {LANETYPE_ANYCHANGE,  LANETYPE_CHANGERIGHT, LANETYPE_MERGELEFT,
                       LANETYPE_TELEPORTIN, LANETYPE_TELEPORTOUT, LANETYPE_UNPAVED,
                       LANETYPE_BLOCKED,    LANETYPE_CHANGELEFT};
  int n = 0;
  for (int s = 0; s <= c.Boundaries(); s += 3) {
    for (int lane = 1; lane < 7; lane++) {
      SCOPED_TRACE(testing::Message() << "section " << s << " lane " << lane);
      c.SetPhysicalSectionProperty(s, lane, PP_LANETYPE, types[n++ % 8]);
      EXPECT_TRUE(c.RoadListCount() == ListCounts(c));
    }
  }
  c.InsertBoundary(1234);
  EXPECT_TRUE(c.RoadListCount() == ListCounts(c));
  c.DeleteBoundary(3);
  EXPECT_TRUE(c.RoadListCount() == ListCounts(c));
}

TEST(KDConfigRoadLists, TheExamplesCountWhatTheirListsHold) {
  for (const char* file : {"weaving.kav", "on-ramp-taper.kav", "off-ramp.kav", "lane-drop.kav"}) {
    SCOPED_TRACE(file);
    std::unique_ptr<KDConfig> c;
    ASSERT_TRUE(LoadConfig(std::string(KAVRO_SOURCE_DIR) + "/examples/" + file, c).ok);
    EXPECT_TRUE(c->RoadListCount() == ListCounts(*c));
  }
  std::unique_ptr<KDConfig> c;
  ASSERT_TRUE(LoadConfig(std::string(KAVRO_GOLDEN_DIR) + "/config-every-keyword.kav", c).ok);
  EXPECT_TRUE(c->RoadListCount() == ListCounts(*c));
  EXPECT_EQ(c->TeleportCount(true), 1);
}

TEST(KDConfigSections, AtMostMaxSectionsAndOneBoundaryPerPosition) {
  KDConfig c;
  std::vector<int> ends;
  for (int s = 1; s <= MAXSECTIONS; s++) ends.push_back(s);
  c.SetSectionEnds(ends);
  EXPECT_EQ(c.Boundaries() + 1, MAXSECTIONS);
  EXPECT_EQ(c.Length(), MAXSECTIONS);
  c.SetLength(MAXSECTIONS + 10);
  EXPECT_FALSE(c.InsertBoundaryValid(MAXSECTIONS + 5));
  ReportCapture capture;
  const int stamp = c.ChangeStamp();
  c.InsertBoundary(MAXSECTIONS + 5);
  EXPECT_EQ(capture.OnlyText(), "KDConfig::InsertBoundary: bad Distance: 10005");
  EXPECT_EQ(c.ChangeStamp(), stamp);
  EXPECT_EQ(c.Boundaries() + 1, MAXSECTIONS);
}

TEST(KDConfigSections, SectionEndsCutTheRoadAsBoundariesWould) {
  KDConfig byBoundaries;
  byBoundaries.SetLength(7000);
  for (int end : {1000, 2500, 6000}) byBoundaries.InsertBoundary(end);
  KDConfig byEnds;
  byEnds.SetSectionEnds({1000, 2500, 6000, 7000});
  ASSERT_EQ(byEnds.Boundaries(), byBoundaries.Boundaries());
  for (int s = 0; s <= byEnds.Boundaries(); s++) {
    EXPECT_EQ(byEnds.SectionPos(s, WHENCE_END), byBoundaries.SectionPos(s, WHENCE_END));
    for (int lane = 0; lane < MAX_KAVROLANE; lane++)
      EXPECT_EQ(byEnds.IntPhysicalSectionProperty(s, lane, PP_LANETYPE),
                byBoundaries.IntPhysicalSectionProperty(s, lane, PP_LANETYPE));
  }
  EXPECT_EQ(KavroConfigText(byEnds, "\n"), KavroConfigText(byBoundaries, "\n"));
  ReportCapture capture;
  byEnds.SetSectionEnds({100, 200});
  EXPECT_EQ(capture.OnlyText(), "KDConfig::SetSectionEnds: bad section ends (2)");
}
