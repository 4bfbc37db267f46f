// The surface detail and speed limit pages without a window: what they offer, show and store.

#include <gtest/gtest.h>

#include <memory>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "roadview/SurfaceDetailEditing.h"
#include "support/ReportCapture.h"

namespace {

SurfaceDetailRow Suppression() { return KavroSurfaceRow(0, "Speed suppression|%"); }
SurfaceDetailRow Trucks() { return KavroSurfaceRow(1, "Closed for overtaking trucks| "); }
SurfaceDetailRow Limit() { return KavroSurfaceRow(2, "Speed limit|km/h"); }

std::vector<int> Values(const std::vector<ValueMenuEntry>& entries) {
  std::vector<int> values;
  for (const ValueMenuEntry& e : entries) values.push_back(e.value);
  return values;
}

// A road of five sections, 0 .. 4 from downstream.
std::unique_ptr<KDConfig> FiveSections() {
  auto c = std::make_unique<KDConfig>();
  for (int p : {1000, 2000, 3000, 4000}) c->InsertBoundary(p);
  return c;
}

TEST(SurfaceDetailRows, NamesUnitsAndKindsFromTheirCaptions) {
  EXPECT_EQ(Suppression().name, "Speed suppression");
  EXPECT_EQ(Suppression().unit, "%");
  EXPECT_EQ(Suppression().aspect, RoadDrawKind::SpeedSuppression);
  EXPECT_TRUE(Trucks().YesNo());
  EXPECT_EQ(Trucks().aspect, RoadDrawKind::NoOvertakingTrucks);
  EXPECT_FALSE(Limit().YesNo());
  EXPECT_EQ(Limit().aspect, RoadDrawKind::SpeedLimit);
  EXPECT_EQ(KavroSurfaceRow(3, "x|y").property, -1);  // edits nothing
}

TEST(SurfaceDetailMenus, ListRowsOfferTheirStepsHighestOnTop) {
  EXPECT_EQ(Values(SurfaceMenuEntries(Suppression())),
            (std::vector<int>{100, 90, 80, 70, 60, 50, 40, 30, 20, 10}));
  EXPECT_EQ(SurfaceMenuEntries(Suppression()).front().caption, "100 %");
  EXPECT_EQ(Values(SurfaceMenuEntries(Limit())), (std::vector<int>{120, 110, 100, 90, 80, 70}));
  EXPECT_EQ(SurfaceMenuEntries(Limit()).back().caption, "70 km/h");
  // A unit in tenths of a percent shows percentages with one decimal.
  SurfaceDetailRow slope = Suppression();
  slope.unit = "\x89";
  EXPECT_EQ(SurfaceMenuEntries(slope).front().caption, "10.0 %");
  EXPECT_EQ(SurfaceOtherCaption(slope), "Set speed suppression [0.1%]");
}

TEST(SurfaceDetailMenus, YesNoRowOffersTheTwoTruckEntries) {
  const auto entries = SurfaceMenuEntries(Trucks());
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].caption, "&Overtaking trucks OK");
  EXPECT_EQ(entries[0].value, 0);
  EXPECT_EQ(entries[1].caption, "&No overtaking trucks");
  EXPECT_EQ(entries[1].value, 1);
}

TEST(SurfaceDetailMenus, OpeningTicksTheFieldValueOrOther) {
  const auto entries = SurfaceMenuEntries(Limit());
  EXPECT_EQ(TickedMenuEntry(entries, 120), 0);
  EXPECT_EQ(TickedMenuEntry(entries, 80), 4);
  EXPECT_EQ(TickedMenuEntry(entries, 85), -1);  // not offered: "&Other"
  EXPECT_EQ(Values(SpeedLimitMenuEntries()).front(), 20);
  EXPECT_EQ(Values(SpeedLimitMenuEntries()).back(), 150);
  EXPECT_EQ(SpeedLimitMenuEntries()[0].caption, "&20 km/h");
  EXPECT_EQ(SpeedLimitMenuEntries()[9].caption, "110 km/h");
  EXPECT_EQ(SurfaceOtherCaption(Limit()), "Set speed limit [km/h]");
}

TEST(SurfaceDetailValues, FieldTakesOnlyAWholeNumber) {
  int v = -1;
  EXPECT_TRUE(ScanFieldNumber("80", v));
  EXPECT_EQ(v, 80);
  EXPECT_FALSE(ScanFieldNumber("8x", v));
  EXPECT_FALSE(ScanFieldNumber("", v));
  EXPECT_FALSE(ScanFieldNumber("8.5", v));
  EXPECT_FALSE(ScanFieldNumber("abc", v));
  EXPECT_EQ(v, 80);
}

TEST(SurfaceDetailValues, FiftyPercentSuppressionStoresAHalfInEverySelectedCell) {
  ReportCapture capture;
  auto road = FiveSections();
  KDConfig& c = *road;
  const RoadEditSelection s{1, 2, 3, 2};
  ASSERT_TRUE(SetSurfaceValue(c, Suppression(), s, 50));
  for (int section = 0; section <= 4; ++section)
    for (int lane = 0; lane < 4; ++lane) {
      const bool selected = section >= 2 && section <= 3 && lane >= 1 && lane <= 2;
      EXPECT_FLOAT_EQ(c.PhysicalSectionProperty(section, lane, PP_SPEEDSUPPRESSION),
                      selected ? 0.5f : 1.0f)
          << section << " " << lane;
    }
  EXPECT_EQ(SurfaceFieldValue(c, Suppression(), 3, 1), 50);
  EXPECT_TRUE(capture.Empty());
}

TEST(SurfaceDetailValues, SpeedLimitOverTwoLanesOfFourSectionsChangesEightCells) {
  auto road = FiveSections();
  KDConfig& c = *road;
  const float before = c.PhysicalSectionProperty(0, 2, PP_SPEEDLIMIT);
  ASSERT_TRUE(SetSurfaceValue(c, Limit(), RoadEditSelection{2, 3, 4, 1}, 80));
  int changed = 0;
  for (int section = 0; section <= 4; ++section)
    for (int lane = 0; lane < MaxLane(); ++lane)
      changed += c.PhysicalSectionProperty(section, lane, PP_SPEEDLIMIT) == 80.0f;
  EXPECT_EQ(changed, 8);
  EXPECT_EQ(c.PhysicalSectionProperty(0, 2, PP_SPEEDLIMIT), before);
}

TEST(SurfaceDetailValues, OutOfRangeValuesChangeNothing) {
  ReportCapture capture;
  auto road = FiveSections();
  KDConfig& c = *road;
  const auto stamp = c.ChangeStamp();
  EXPECT_FALSE(SetSurfaceValue(c, Suppression(), RoadEditSelection{}, 8));
  EXPECT_FALSE(SetSurfaceValue(c, Suppression(), RoadEditSelection{}, 101));
  EXPECT_FALSE(SetSurfaceValue(c, Limit(), RoadEditSelection{}, 130));
  EXPECT_FALSE(SetSurfaceValue(c, Trucks(), RoadEditSelection{}, 2));
  EXPECT_FALSE(SetSurfaceValue(c, KavroSurfaceRow(3, "x|y"), RoadEditSelection{}, 1));
  EXPECT_EQ(c.ChangeStamp(), stamp);
  EXPECT_TRUE(capture.Empty());
}

TEST(SurfaceDetailValues, TrucksYesNoOverAllLanesAndSections) {
  auto road = FiveSections();
  KDConfig& c = *road;
  ASSERT_TRUE(SetSurfaceValue(c, Trucks(), RoadEditSelection{}, 1));
  EXPECT_EQ(c.IntPhysicalSectionProperty(4, 0, PP_NOOVERTAKINGTRUCKS), 1);
  EXPECT_EQ(c.IntPhysicalSectionProperty(0, MaxLane() - 1, PP_NOOVERTAKINGTRUCKS), 1);
}

TEST(SurfaceDetailValues, OpenLaneNeedsAPavedLaneThatIsNotBlocked) {
  auto road = FiveSections();
  KDConfig& c = *road;
  const int lane = MaxLane() - 1;
  c.SetPhysicalSectionProperty(0, lane, PP_LANETYPE, 0.0f);
  EXPECT_FALSE(SelectionHoldsOpenLane(c, RoadEditSelection{lane, lane, 0, 0}));
  EXPECT_TRUE(SelectionHoldsOpenLane(c, RoadEditSelection{0, 0, 0, 0}) ==
              ((c.IntPhysicalSectionProperty(0, 0, PP_LANETYPE) & LANE_PAVED) != 0));
}

TEST(SpeedLimitSections, SectionLimitGoesIntoLaneZeroOfEverySelectedSection) {
  auto road = FiveSections();
  KDConfig& c = *road;
  SetSectionSpeedLimit(c, RoadEditSelection{3, 3, 2, 1}, 80);
  EXPECT_EQ(c.PhysicalSectionProperty(1, 0, PP_SPEEDLIMIT), 80.0f);
  EXPECT_EQ(c.PhysicalSectionProperty(2, 0, PP_SPEEDLIMIT), 80.0f);
  EXPECT_NE(c.PhysicalSectionProperty(3, 0, PP_SPEEDLIMIT), 80.0f);
  EXPECT_EQ(SectionSpeedLimit(c, RoadEditSelection{3, 3, 2, 1}), 80);
}

}  // namespace
