#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "config/BHVSection.h"
#include "config/DemandTestSupport.h"
#include "config/KDConfig.h"
#include "support/ExpectRejected.h"
#include "support/ReportCapture.h"

namespace {

struct AreaValues {
  int lane, position, required, voluntary;
  bool left;
  int group;
  std::vector<float> probabilities;
  bool operator==(const AreaValues&) const = default;
};

std::ostream& operator<<(std::ostream& out, const AreaValues& a) {
  return out << "lane " << a.lane << " at " << a.position << " req " << a.required << " vol "
             << a.voluntary << (a.left ? " L" : " R") << " group " << a.group;
}

std::vector<AreaValues> Areas(const KDConfig& config, int sink) {
  std::vector<AreaValues> result;
  for (int r = 0; r < config.LaneChangeAreaCount(sink); ++r) {
    AreaValues a{config.LaneChangeAreaLane(sink, r),
                 config.LaneChangeAreaPosition(sink, r),
                 config.LaneChangeAreaLengthRequired(sink, r),
                 config.LaneChangeAreaLengthVoluntary(sink, r),
                 config.LaneChangeAreaMergeLeft(sink, r),
                 config.LaneChangeAreaRouteChoiceGroup(sink, r),
                 {}};
    for (int t = 0; t < MAXVEHICLETYPE; ++t)
      a.probabilities.push_back(config.LaneChangeAreaProbability(sink, r, t));
    result.push_back(a);
  }
  return result;
}

std::vector<int> Positions(const KDConfig& config, int sink) {
  std::vector<int> result;
  for (const AreaValues& a : Areas(config, sink)) result.push_back(a.position);
  return result;
}

const std::vector<float> kAllOne(MAXVEHICLETYPE, 1.0f);

// Every area of every destination and the change stamp.
struct AreaSnapshot {
  int changeStamp;
  std::vector<std::vector<AreaValues>> areas;
  explicit AreaSnapshot(const KDConfig& config) : changeStamp(config.ChangeStamp()) {
    for (int d = 0; d < MAXSINK; ++d) areas.push_back(Areas(config, d));
  }
  bool operator==(const AreaSnapshot&) const = default;
};

// The lists are built on the first request only; the area operations never build them.
void BuildLists(KDConfig& config) { ASSERT_EQ(config.SinkCount(), 1); }

}  // namespace

TEST(KDConfigAddLaneChangeArea, NewAreasGoToTheFrontAndApplyToAllVehicles) {
  KDConfig config;
  BuildLists(config);
  const int stamp = config.ChangeStamp();
  config.AddLaneChangeArea(0, 1, 800, 300, 200, true);  // A
  config.AddLaneChangeArea(0, 2, 1200, 100, 0, false);  // B
  config.AddLaneChangeArea(0, 0, 900, 0, 50, true);     // C
  EXPECT_NE(config.ChangeStamp(), stamp);
  EXPECT_EQ(Areas(config, 0), (std::vector<AreaValues>{{0, 900, 0, 50, true, 0, kAllOne},
                                                       {2, 1200, 100, 0, false, 0, kAllOne},
                                                       {1, 800, 300, 200, true, 0, kAllOne}}));
}

TEST(KDConfigAddLaneChangeArea, AcceptsAnAreaEndingExactlyAtTheRoadEnd) {
  KDConfig config;
  BuildLists(config);
  ReportCapture capture;
  config.AddLaneChangeArea(0, 2, config.Length(), 500, 0, true);
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(config.LaneChangeAreaPosition(0, 0), 5000);
}

TEST(KDConfigLaneChangeAreas, BrokenRulesAreInternalErrorsThatChangeNothing) {
  struct Case {
    std::function<void(KDConfig&)> call;
    std::string condition;
  };
  const std::vector<Case> cases = {
      {[](KDConfig& c) { c.AddLaneChangeArea(1, 0, 100, 0, 0, true); },
       "sink >= 0 && sink < MAXSINK && sinklist_[sink]"},
      {[](KDConfig& c) { c.AddLaneChangeArea(99, 0, 100, 0, 0, true); },
       "sink >= 0 && sink < MAXSINK && sinklist_[sink]"},
      {[](KDConfig& c) { c.AddLaneChangeArea(0, 0, 100, -1, 0, true); }, "lengthRequired >= 0"},
      {[](KDConfig& c) { c.AddLaneChangeArea(0, 0, 100, 0, -1, true); }, "lengthVoluntary >= 0"},
      {[](KDConfig& c) { c.AddLaneChangeArea(0, 0, 5001, 0, 0, true); },
       "position >= 0 && position <= Length()"},
      {[](KDConfig& c) { c.DeleteLaneChangeArea(0, 2); }, "area != nullptr"},
      {[](KDConfig& c) { c.DeleteLaneChangeArea(0, -1); }, "rank >= 0"},
      {[](KDConfig& c) { c.DeleteLaneChangeArea(1, 0); },
       "sink >= 0 && sink < MAXSINK && sinklist_[sink]"},
      {[](KDConfig& c) { c.SetLaneChangeAreaProbability(0, 0, 8, 0.5f, 1); },
       "vehicleType == -1 || (vehicleType >= 0 && vehicleType < MAXVEHICLETYPE)"},
      {[](KDConfig& c) { c.SetLaneChangeAreaProbability(0, 0, -2, 0.5f, 1); },
       "vehicleType == -1 || (vehicleType >= 0 && vehicleType < MAXVEHICLETYPE)"},
      {[](KDConfig& c) { c.SetLaneChangeAreaProbability(0, 0, 1, 1.01f, 1); },
       "probability >= 0 && probability <= 1"},
      {[](KDConfig& c) { c.SetLaneChangeAreaProbability(0, 1, 1, 0.5f, -2); },
       "routeChoiceGroup >= 0 || routeChoiceGroup == -1"},
      {[](KDConfig& c) { c.SetLaneChangeAreaProbability(0, 2, 1, 0.5f, 1); }, "area != nullptr"},
      {[](KDConfig& c) { c.SetLaneChangeAreaLengthRequired(0, 0, -5); }, "length >= 0"},
      {[](KDConfig& c) { c.SetLaneChangeAreaLengthVoluntary(0, 1, -5); }, "length >= 0"},
      {[](KDConfig& c) { c.SetLaneChangeAreaLengthVoluntary(0, 5, 10); }, "area != nullptr"},
      {[](KDConfig& c) { c.SetLaneChangeAreaPosition(0, 0, -1); },
       "position >= 0 && position <= Length()"},
      {[](KDConfig& c) { c.SetLaneChangeAreaPosition(0, 1, 5001); },
       "position >= 0 && position <= Length()"},
      {[](KDConfig& c) { c.SortLaneChangeAreas(-1); },
       "sink >= 0 && sink < MAXSINK && sinklist_[sink]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.condition);
    KDConfig config;
    BuildLists(config);
    config.AddLaneChangeArea(0, 1, 800, 300, 200, true);
    config.AddLaneChangeArea(0, 2, 1200, 100, 0, false);
    ExpectAssertion(
        c.condition, [&config] { return AreaSnapshot(config); }, [&] { c.call(config); });
  }
}

TEST(KDConfigLaneChangeAreas, GettersGiveTheirNoneValuesWithoutAnArea) {
  KDConfig config;
  BuildLists(config);
  config.AddLaneChangeArea(0, 1, 800, 300, 200, true);
  ReportCapture capture;
  for (auto [sink, rank] : std::vector<std::pair<int, int>>{{0, 1}, {0, -1}, {1, 0}, {99, 0}}) {
    SCOPED_TRACE(testing::Message() << sink << " " << rank);
    EXPECT_EQ(config.LaneChangeArea(sink, rank), nullptr);
    EXPECT_EQ(config.LaneChangeAreaLane(sink, rank), -1);
    EXPECT_EQ(config.LaneChangeAreaPosition(sink, rank), -1);
    EXPECT_EQ(config.LaneChangeAreaLengthRequired(sink, rank), -1);
    EXPECT_EQ(config.LaneChangeAreaLengthVoluntary(sink, rank), -1);
    EXPECT_FALSE(config.LaneChangeAreaMergeLeft(sink, rank));
    EXPECT_EQ(config.LaneChangeAreaRouteChoiceGroup(sink, rank), 0);
    EXPECT_EQ(config.LaneChangeAreaProbability(sink, rank, 0), -1);
  }
  EXPECT_EQ(config.LaneChangeAreaCount(1), 0);
  EXPECT_EQ(config.LaneChangeAreaCount(-1), 0);
  EXPECT_TRUE(capture.Empty());
}

TEST(KDConfigDeleteLaneChangeArea, RemovesOneAreaAndKeepsTheOthersInOrder) {
  KDConfig config;
  BuildLists(config);
  config.AddLaneChangeArea(0, 0, 1000, 0, 0, true);
  config.AddLaneChangeArea(0, 0, 2000, 0, 0, true);
  config.AddLaneChangeArea(0, 0, 3000, 0, 0, true);
  config.DeleteLaneChangeArea(0, 1);
  EXPECT_EQ(Positions(config, 0), (std::vector<int>{3000, 1000}));
  config.DeleteLaneChangeArea(0, 1);
  config.DeleteLaneChangeArea(0, 0);
  EXPECT_EQ(config.LaneChangeAreaCount(0), 0);
  EXPECT_EQ(config.LaneChangeAreaLane(0, 0), -1);
}

TEST(KDConfigSetLaneChangeAreaProbability, TypeMinusOneSetsAllEightAndTheGroup) {
  KDConfig config;
  BuildLists(config);
  config.AddLaneChangeArea(0, 1, 800, 300, 200, true);
  config.SetLaneChangeAreaProbability(0, 0, -1, 0.5f, 3);
  EXPECT_EQ(Areas(config, 0)[0].probabilities, std::vector<float>(MAXVEHICLETYPE, 0.5f));
  EXPECT_EQ(config.LaneChangeAreaRouteChoiceGroup(0, 0), 3);
  config.SetLaneChangeAreaProbability(0, 0, 6, 0.25f, -1);
  EXPECT_EQ(config.LaneChangeAreaProbability(0, 0, 6), 0.25f);
  EXPECT_EQ(config.LaneChangeAreaProbability(0, 0, 5), 0.5f);
  EXPECT_EQ(config.LaneChangeAreaRouteChoiceGroup(0, 0), -1);
  config.SetLaneChangeAreaProbability(0, 0, 0, 0.75f, 0);
  EXPECT_EQ(config.LaneChangeAreaProbability(0, 0, -1), 0.75f);  // -1 reads type 0
}

TEST(KDConfigLaneChangeAreaSetters, ChangeOnlyTheAreaOfTheRank) {
  KDConfig config;
  BuildLists(config);
  config.AddLaneChangeArea(0, 1, 800, 300, 200, true);
  config.AddLaneChangeArea(0, 2, 1200, 100, 0, false);
  config.SetLaneChangeAreaLengthRequired(0, 1, 0);
  config.SetLaneChangeAreaLengthVoluntary(0, 1, 400);
  config.SetLaneChangeAreaPosition(0, 1, 5000);
  EXPECT_EQ(Areas(config, 0), (std::vector<AreaValues>{{2, 1200, 100, 0, false, 0, kAllOne},
                                                       {1, 5000, 0, 400, true, 0, kAllOne}}));
}

TEST(KDConfigSortLaneChangeAreas, MostDownstreamFirstThenByLane) {
  KDConfig config;
  BuildLists(config);
  config.AddLaneChangeArea(0, 1, 800, 10, 0, true);
  config.AddLaneChangeArea(0, 2, 1200, 20, 0, true);
  config.AddLaneChangeArea(0, 0, 800, 30, 0, true);
  config.AddLaneChangeArea(0, 2, 1200, 40, 0, false);  // ties with the second: order kept
  const int stamp = config.ChangeStamp();
  config.SortLaneChangeAreas(0);
  std::vector<std::pair<int, int>> order;
  for (const AreaValues& a : Areas(config, 0)) order.emplace_back(a.position, a.lane);
  EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{1200, 2}, {1200, 2}, {800, 0}, {800, 1}}));
  EXPECT_EQ(config.LaneChangeAreaLengthRequired(0, 0), 40);
  EXPECT_EQ(config.LaneChangeAreaLengthRequired(0, 1), 20);
  EXPECT_EQ(config.ChangeStamp(), stamp);
}

TEST(KDConfigLaneChangeAreas, MoveWithTheRoadWhenASectionChangesLength) {
  KDConfig config;
  config.InsertBoundary(2000);  // section 1 = 0 .. 2000, section 0 = 2000 .. 5000
  BuildLists(config);
  config.AddLaneChangeArea(0, 0, 4000, 100, 0, true);
  config.AddLaneChangeArea(0, 0, 2000, 100, 0, true);
  config.AddLaneChangeArea(0, 0, 1500, 100, 0, true);
  config.SetSectionLength(1, 1900);
  EXPECT_EQ(config.Length(), 4900);
  EXPECT_EQ(Positions(config, 0), (std::vector<int>{1500, 1900, 3900}));
  config.SetSectionLength(1, 2100);
  EXPECT_EQ(Positions(config, 0), (std::vector<int>{1500, 2100, 4100}));
}

TEST(KDConfigLaneChangeAreas, DeletingTheLastSectionRemovesAreasBeyondTheNewRoadEnd) {
  KDConfig config;
  config.InsertBoundary(2000);
  BuildLists(config);
  config.AddLaneChangeArea(0, 0, 4000, 100, 0, true);
  config.AddLaneChangeArea(0, 0, 2000, 100, 0, true);
  config.AddLaneChangeArea(0, 0, 1500, 100, 0, true);
  config.DeleteBoundary(0);
  EXPECT_EQ(config.Length(), 2000);
  EXPECT_EQ(Positions(config, 0), (std::vector<int>{1500, 2000}));
}

TEST(KDConfigLaneChangeAreas, StayWithTheirDestinationThroughAListRebuild) {
  auto config = MakeRoad(5000, {{0, {67, 67, 67}}});
  ASSERT_EQ(config->SinkCount(), 3);
  config->AddLaneChangeArea(1, 1, 3000, 100, 0, true);
  config->AddLaneChangeArea(2, 2, 4000, 100, 0, true);
  config->SetPhysicalSectionProperty(0, 1, PP_LANETYPE, 0);  // destination 1 vanishes
  ASSERT_EQ(config->SinkCount(), 2);
  EXPECT_EQ(config->LaneChangeAreaCount(0), 0);
  EXPECT_EQ(Positions(*config, 1), (std::vector<int>{4000}));
  EXPECT_EQ(config->LaneChangeAreaCount(2), 0);
}
