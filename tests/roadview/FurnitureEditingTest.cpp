// Detector placement and traffic light fields without a window.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "config/KDConfig.h"
#include "roadview/FurnitureEditing.h"
#include "support/ReportCapture.h"

namespace {

// A road of `length` metres in two sections split at its middle.
std::unique_ptr<KDConfig> Road(int length) {
  auto c = std::make_unique<KDConfig>();
  c->SetSectionLength(0, length);
  c->InsertBoundary(length / 2);
  return c;
}

std::vector<int> Positions(const KDConfig& c) {
  std::vector<int> p;
  for (int d = 0; d < c.DetectorCount(); ++d) p.push_back(c.DetectorPosition(d));
  std::sort(p.begin(), p.end());
  return p;
}

TEST(DetectorPlacement, NewTakesTheFirstFreeWholePosition) {
  auto road = Road(2000);
  for (int p : {1, 2, 700}) road->AddDetector(p);
  EXPECT_EQ(FirstFreeDetectorPosition(*road), 3);
}

TEST(DetectorPlacement, PositionFieldAcceptsOnlyFreePositionsInsideTheRoad) {
  ReportCapture capture;
  auto road = Road(2000);
  road->AddDetector(1000);
  int p = 0;
  EXPECT_TRUE(DetectorPositionUsable(*road, "1500", p));
  EXPECT_EQ(p, 1500);
  EXPECT_TRUE(DetectorPositionUsable(*road, "1200  ", p));  // trailing blanks
  EXPECT_FALSE(DetectorPositionUsable(*road, "1000", p));   // taken
  EXPECT_FALSE(DetectorPositionUsable(*road, "0", p));
  EXPECT_FALSE(DetectorPositionUsable(*road, "2000", p));
  EXPECT_FALSE(DetectorPositionUsable(*road, "12a", p));
  EXPECT_FALSE(DetectorPositionUsable(*road, "", p));
  EXPECT_TRUE(capture.Empty());
}

TEST(DetectorPlacement, InsertEveryFiveHundredSkipsTakenPositionsAndTheRoadEnd) {
  auto road = Road(2000);
  road->AddDetector(1000);
  int n = 0;
  EXPECT_FALSE(EveryDistanceUsable(*road, "9", n));
  EXPECT_FALSE(EveryDistanceUsable(*road, "2000", n));
  EXPECT_TRUE(EveryDistanceUsable(*road, "10", n));
  ASSERT_TRUE(EveryDistanceUsable(*road, "500", n));
  EXPECT_EQ(AddDetectorsEvery(*road, n), 2);
  EXPECT_EQ(Positions(*road), (std::vector<int>{500, 1000, 1500}));
}

TEST(DetectorPlacement, CentredInSectionsAddsOnePerSection) {
  auto road = Road(2000);
  road->AddDetector(500);  // the middle of the downstream section is 1500
  EXPECT_EQ(AddDetectorsCentred(*road), 1);
  EXPECT_EQ(Positions(*road), (std::vector<int>{500, 1500}));
}

TEST(DetectorPlacement, MoveRefusesATakenPositionAndChangesNothing) {
  ReportCapture capture;
  auto road = Road(2000);
  road->AddDetector(500);
  road->AddDetector(1500);
  const int stamp = road->ChangeStamp();
  EXPECT_EQ(MoveDetector(*road, 0, 500), -1);
  EXPECT_EQ(MoveDetector(*road, 0, 2500), -1);
  EXPECT_EQ(MoveDetector(*road, 5, 700), -1);
  EXPECT_EQ(road->ChangeStamp(), stamp);
  const int moved = MoveDetector(*road, 0, 700);  // detector 0 is the downstream one
  ASSERT_GE(moved, 0);
  EXPECT_EQ(road->DetectorPosition(moved), 700);
  EXPECT_EQ(Positions(*road), (std::vector<int>{500, 700}));
  EXPECT_TRUE(capture.Empty());
}

TEST(TrafficLightFields, GreenAndYellowMustStayBelowTheCycle) {
  auto road = Road(2000);
  road->AddTrafficLight("", 1000, 0, 0, 90, 30, 3, 0);
  LightFields f = LightFieldsOf(*road, 0);
  EXPECT_EQ(f.position, 1000);
  EXPECT_FALSE(LightFieldsDiffer(*road, 0, f));
  f.cycle = 33;
  EXPECT_FALSE(LightFieldsProblem(*road, 0, f).empty());
  f.cycle = 34;
  EXPECT_TRUE(LightFieldsProblem(*road, 0, f).empty());
  EXPECT_TRUE(LightFieldsDiffer(*road, 0, f));
  for (auto bad : {LightFields{0, 0, 90, 30, 3, 0}, LightFields{2000, 0, 90, 30, 3, 0},
                   LightFields{500, 0, 90, 0, 3, 0}, LightFields{500, 0, 90, 30, 0, 0},
                   LightFields{500, 0, 90, 30, 3, -1}})
    EXPECT_FALSE(LightFieldsProblem(*road, 0, bad).empty()) << bad.position;
}

TEST(TrafficLightFields, TwoLightsShareAPositionOnlyInDifferentLanes) {
  auto road = Road(2000);
  road->AddTrafficLight("", 1000, 0, 0, 90, 30, 3, 0);
  road->AddTrafficLight("", 1200, 1, 1, 90, 30, 3, 0);
  LightFields f = LightFieldsOf(*road, 1);
  f.position = 1000;
  EXPECT_TRUE(LightFieldsProblem(*road, 1, f).empty());  // lane 1
  f.lane = 0;
  EXPECT_FALSE(LightFieldsProblem(*road, 1, f).empty());
  EXPECT_EQ(FirstFreeLightPosition(*road), 1);
  EXPECT_EQ(LightListEntry(*road, 1), "2: position 1200m lane 2");
}

TEST(TrafficLightFields, ControllerLightsAreNotEditedHere) {
  auto road = Road(2000);
  road->AddTrafficLight("ramp", 1000, 0, 0, 0, 0, 0, 0);
  LightFields f = LightFieldsOf(*road, 0);
  f.cycle = 60;
  f.green = 20;
  f.yellow = 3;
  EXPECT_FALSE(LightFieldsProblem(*road, 0, f).empty());
}

}  // namespace
