// The surface detail and speed limit pages without a window: what they offer, show and store.

#include <gtest/gtest.h>

#include <memory>

#include "config/DovelLink.h"
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

// ---- DOVEL surface details ------------------------------------------------------------------

SurfaceDetailInfo Slope() {
  SurfaceDetailInfo info;
  info.minimum = -8, info.maximum = 8, info.step = 0.5f;
  info.caption = "Slope", info.format = "%.1f %%", info.type = 1, info.perLane = false;
  return info;
}
SurfaceDetailInfo LaneWidth() {
  SurfaceDetailInfo info;
  info.minimum = 2.5f, info.maximum = 5, info.step = 0.05f;
  info.caption = "Lane width", info.format = "%.2f m", info.type = 1, info.perLane = true;
  return info;
}

TEST(DovelDetailSlider, PositionsAreWholeStepsFromTheMinimum) {
  EXPECT_EQ(DetailSliderMaximum(Slope()), 32);
  EXPECT_EQ(DetailSliderMaximum(LaneWidth()), 50);  // 49.9999.. + 0.1 still gives 50
  EXPECT_EQ(DetailSliderPosition(Slope(), 0.0f), 16);
  EXPECT_EQ(DetailSliderPosition(Slope(), -8.0f), 0);
  EXPECT_EQ(DetailSliderPosition(LaneWidth(), 3.5f), 20);
  // A stored value between two steps shows the lower one unless it is close to the upper.
  EXPECT_EQ(DetailSliderPosition(Slope(), 0.2f), 16);
  EXPECT_EQ(DetailSliderPosition(Slope(), 0.35f), 17);
  EXPECT_FLOAT_EQ(DetailSliderValue(Slope(), 17), 0.5f);
  EXPECT_FLOAT_EQ(DetailSliderValue(LaneWidth(), 21), 3.55f);
  // Every position comes back as itself.
  for (const SurfaceDetailInfo& info : {Slope(), LaneWidth()})
    for (int p = 0; p <= DetailSliderMaximum(info); ++p)
      EXPECT_EQ(DetailSliderPosition(info, DetailSliderValue(info, p)), p) << info.caption << p;
}

TEST(DovelDetailSlider, TheLastPositionNeverExceedsTheMaximum) {
  // 0.1 steps from 0.5 to 3 in floats add up past 3 at the top.
  SurfaceDetailInfo tau;
  tau.minimum = 0.5f, tau.maximum = 3, tau.step = 0.1f, tau.type = 1;
  const int last = DetailSliderMaximum(tau);
  EXPECT_EQ(last, 25);
  EXPECT_LE(DetailSliderValue(tau, last), 3.0f);
  EXPECT_LE(DetailSliderValue(tau, last + 5), 3.0f);
  // Stored values beyond the range stay on the slider.
  EXPECT_EQ(DetailSliderPosition(tau, 100.0f), last);
  EXPECT_EQ(DetailSliderPosition(tau, -100.0f), 0);
}

TEST(DovelDetailSlider, ADetailWithoutUsableStepsHasOnePosition) {
  SurfaceDetailInfo none;  // the model did not describe it
  EXPECT_EQ(DetailSliderMaximum(none), 0);
  EXPECT_EQ(DetailSliderPosition(none, 5.0f), 0);
  SurfaceDetailInfo backwards = Slope();
  backwards.maximum = -9;
  EXPECT_EQ(DetailSliderMaximum(backwards), 0);
  SurfaceDetailInfo tiny = Slope();
  tiny.step = 1e-30f;  // would overflow a position
  EXPECT_GT(DetailSliderMaximum(tiny), 0);
  EXPECT_LE(DetailSliderPosition(tiny, 8.0f), DetailSliderMaximum(tiny));
}

TEST(DovelDetailLabels, TheModelsFormatShowsTheValue) {
  EXPECT_EQ(DetailValueText(Slope(), 0.5f), "0.5 %");
  EXPECT_EQ(DetailValueText(LaneWidth(), 3.55f), "3.55 m");
  SurfaceDetailInfo whole = Slope();
  whole.type = 2, whole.format = "%d deg";
  EXPECT_EQ(DetailValueText(whole, 45.9f), "45 deg");
  // A format the value cannot fill safely is cut to its number.
  SurfaceDetailInfo hostile = Slope();
  hostile.format = "%.1f then %s";
  EXPECT_EQ(DetailValueText(hostile, 0.5f), "0.5");
  hostile.format = "%n%.1f";
  EXPECT_EQ(DetailValueText(hostile, 0.5f), "0.5");
}

TEST(DovelDetailLabels, OnlyASectionDetailNamesAllLanes) {
  EXPECT_EQ(DetailPerLaneComment(Slope()), "Slope affects all lanes at once");
  EXPECT_EQ(DetailPerLaneComment(LaneWidth()), "");
}

TEST(DovelDetailCells, ASectionDetailIsLaneZeroOfTheFirstSelectedSection) {
  auto road = FiveSections();
  KDConfig& c = *road;
  const RoadEditSelection selection{1, 3, 3, 1};  // lanes 1 .. 3, sections 3 .. 1
  const SelectedRange cells = DetailCells(c, selection, false);
  EXPECT_EQ(cells.sectionLo, 3);
  EXPECT_EQ(cells.sectionHi, 3);
  EXPECT_EQ(cells.laneLo, 0);
  EXPECT_EQ(cells.laneHi, 0);
  SetDetailValue(c, selection, 5, false, 2.5f);
  EXPECT_EQ(c.PhysicalSectionProperty(3, 0, 5), 2.5f);
  for (int s : {1, 2, 4}) EXPECT_EQ(c.PhysicalSectionProperty(s, 0, 5), 0.0f) << s;
  EXPECT_EQ(c.PhysicalSectionProperty(3, 1, 5), 0.0f);
  // Any selected lane shows the section's value.
  EXPECT_EQ(ShownDetailValue(c, selection, 5, false), 2.5f);
}

TEST(DovelDetailCells, ALaneDetailGoesIntoTheSelectedLanesOfOneSection) {
  auto road = FiveSections();
  KDConfig& c = *road;
  const RoadEditSelection selection{2, 3, 2, 0};
  SetDetailValue(c, selection, 0, true, 3.25f);
  for (int l = 0; l < MaxLane(); ++l)
    EXPECT_EQ(c.PhysicalSectionProperty(2, l, 0), l == 2 || l == 3 ? 3.25f : 0.0f) << l;
  for (int s : {0, 1}) EXPECT_EQ(c.PhysicalSectionProperty(s, 2, 0), 0.0f) << s;
  EXPECT_EQ(ShownDetailValue(c, selection, 0, true), 3.25f);
  EXPECT_EQ(ShownDetailValue(c, RoadEditSelection{1, 1, 2, 2}, 0, true), 0.0f);
}

TEST(DovelDetailCells, ALaneDetailShowsTheFirstSelectedLaneThatIsPaved) {
  auto road = FiveSections();
  KDConfig& c = *road;
  // Section 1: lanes 0 .. 2 unpaved, 3 .. 5 paved.
  for (int l = 0; l < 6; ++l)
    c.SetPhysicalSectionProperty(1, l, PP_LANETYPE, l < 3 ? 0.0f : static_cast<float>(LANE_PAVED));
  SetDetailValue(c, RoadEditSelection{3, 3, 1, 1}, 0, true, 3.5f);
  SetDetailValue(c, RoadEditSelection{4, 4, 1, 1}, 0, true, 3.75f);
  EXPECT_EQ(ShownDetailValue(c, RoadEditSelection{-1, -1, 1, 1}, 0, true), 3.5f);
  EXPECT_EQ(ShownDetailValue(c, RoadEditSelection{1, 4, 1, 1}, 0, true), 3.5f);
  EXPECT_EQ(ShownDetailValue(c, RoadEditSelection{4, 5, 1, 1}, 0, true), 3.75f);
  // Only unpaved lanes selected: the first of them.
  EXPECT_EQ(ShownDetailValue(c, RoadEditSelection{0, 2, 1, 1}, 0, true), 0.0f);
}

TEST(DovelDetailCells, WithoutASelectionEveryLaneOfTheMostDownstreamSection) {
  auto road = FiveSections();
  KDConfig& c = *road;
  SetDetailValue(c, RoadEditSelection{}, 0, true, 4.0f);
  for (int l = 0; l < MaxLane(); ++l) EXPECT_EQ(c.PhysicalSectionProperty(0, l, 0), 4.0f) << l;
  EXPECT_EQ(c.PhysicalSectionProperty(1, 0, 0), 0.0f);
  // A selection beyond the road's sections falls back to its last.
  SetDetailValue(c, RoadEditSelection{0, 0, 9, 9}, 1, false, 0.5f);
  EXPECT_EQ(c.PhysicalSectionProperty(4, 0, 1), 0.5f);
}

}  // namespace
