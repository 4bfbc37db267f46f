#include <gtest/gtest.h>

#include "config/ProgramError.h"
#include "kernel/ExampleRun.h"
#include "shell/GoldenFile.h"
#include "views/NumberFormat.h"
#include "views/ObjectListTable.h"

namespace {

constexpr int32_t kSeed = 20261209;

// The traffic light example after 120 s: sources, detectors, the light, lane detectors and
// the vehicles queued before it.
struct ListedRun {
  KDConfig config;
  ExampleRun run;
  std::vector<ObjectListRow> rows;
  ListedRun() {
    EXPECT_TRUE(LoadExample("ramp-metering.kav", config));
    EXPECT_TRUE(run.kernel.KAV_setup(config, kSeed, ""));
    EXPECT_TRUE(run.Run(120));
    rows = ObjectListRows(run.kernel);
  }
};

TEST(GeneralFormat, ShortestTextWithinFifteenDigits) {
  EXPECT_EQ(GeneralFormat(0), "0");
  EXPECT_EQ(GeneralFormat(12.5), "12.5");
  EXPECT_EQ(GeneralFormat(-3), "-3");
  EXPECT_EQ(GeneralFormat(0.1f), "0.100000001490116");
  EXPECT_EQ(GeneralFormat(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(GeneralFormat(3600), "3600");
  EXPECT_EQ(GeneralFormat(1e20), "1e+20");
}

TEST(ObjectList, OneRowPerKernelObjectInRoadOrder) {
  ListedRun listed;
  const Kernel& kernel = listed.run.kernel;
  size_t count = 0;
  const RoadObject* object = kernel.FirstObject();
  for (const ObjectListRow& row : listed.rows) {
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(row.size(), 12u);
    EXPECT_EQ(row[OL_NUMBER], std::to_string(object->Number()));
    EXPECT_EQ(row[OL_TYPE], object->Describe());
    EXPECT_EQ(IsVehicleRow(row), object->IsVehicle());
    if (const VehicleInfo* vehicle = object->Vehicle()) {
      EXPECT_EQ(row[OL_LANE], std::to_string(object->Lane() + 1));
      EXPECT_EQ(row[OL_SPEED], GeneralFormat(vehicle->speed));
      EXPECT_EQ(row[OL_DESTINATION], kernel.DestinationName(vehicle->destination));
      const RoadObject* leader = object->LeaderInLane();
      EXPECT_EQ(row[OL_LEADER], leader ? std::to_string(leader->Number()) : "");
    }
    object = object->Next();
    ++count;
  }
  EXPECT_EQ(object, nullptr);
  EXPECT_GT(count, 10u);
}

TEST(ObjectList, LeaderAndFollowerSearchesStayInTheLane) {
  ListedRun listed;
  const auto& rows = listed.rows;
  int checked = 0;
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    if (!IsVehicleRow(rows[r])) continue;
    int leader = GotoLeaderRow(rows, r);
    if (leader >= 0) {
      EXPECT_GT(leader, r);
      EXPECT_EQ(rows[leader][OL_LANE], rows[r][OL_LANE]);
      for (int between = r + 1; between < leader; ++between)
        EXPECT_NE(rows[between][OL_LANE], rows[r][OL_LANE]);
      ++checked;
    }
    int follower = GotoFollowerRow(rows, r, 0);
    if (follower >= 0) {
      EXPECT_LT(follower, r);
      EXPECT_EQ(rows[follower][OL_LANE], rows[r][OL_LANE]);
    }
  }
  EXPECT_GT(checked, 0);
}

TEST(ObjectList, FindVehicleByNumber) {
  ListedRun listed;
  auto [low, high] = VehicleNumberRange(listed.rows);
  ASSERT_GT(high, low);
  const int row = FindVehicleRow(listed.rows, high);
  ASSERT_GE(row, 0);
  EXPECT_EQ(listed.rows[row][OL_NUMBER], std::to_string(high));
  EXPECT_EQ(FindVehicleRow(listed.rows, high + 1000), -1);
  EXPECT_EQ(VehicleNumberRange({}), (std::pair<int, int>{0, 0}));
}

TEST(ObjectList, SavedTextMatchesTheGoldenFile) {
  ListedRun listed;
  std::vector<ObjectListRow> all{{"Number", "Type", "Leader", "Follower", "Lane", "Destination",
                                  "State", "Position", "Speed", "Acceleration", "Prev. pos.",
                                  "Prev. speed"}};
  all.insert(all.end(), listed.rows.begin(), listed.rows.end());
  ExpectGolden("ramp-metering-120s.lst", ObjectListText(all));
}

TEST(ObjectList, FileNameCarriesTheStepCount) {
  EXPECT_EQ(ObjectListFileName(125), "00125.lst");
  EXPECT_EQ(ObjectListFileName(0), "00000.lst");
}

TEST(VehicleData, RowsFollowTheVehicle) {
  ListedRun listed;
  const RoadObject* vehicle = listed.run.kernel.FirstObject();
  while (vehicle && !vehicle->IsVehicle()) vehicle = vehicle->Next();
  ASSERT_NE(vehicle, nullptr);
  auto rows = VehicleDataRows(*vehicle, {});
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows[0].first, "Vehicle type");
  EXPECT_EQ(rows[0].second, Format("%1.0f", double(vehicle->Type() - 99)));
  EXPECT_EQ(rows[1].second, std::to_string(vehicle->Lane() + 1));
  EXPECT_EQ(rows[2].second, Format("%4.1fm", double(vehicle->Position())));
  EXPECT_EQ(rows[3].second, Format("%4.1f km/h", double(vehicle->Vehicle()->speed * 3.6)));
  EXPECT_EQ(rows[6].second, listed.run.kernel.DestinationName(vehicle->Vehicle()->destination));
  EXPECT_EQ(rows[7].first, "Merge");
  EXPECT_EQ(rows[7].second, std::string(vehicle->Vehicle()->statusText));
  // A patched caption with a wrong conversion falls back to the program's own.
  auto patched = VehicleDataRows(*vehicle, {"Typ|%s"});
  EXPECT_EQ(patched[0].first, "Typ");
  EXPECT_EQ(patched[0].second, rows[0].second);
}

}  // namespace
