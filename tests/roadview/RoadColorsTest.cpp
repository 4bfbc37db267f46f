#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "roadview/RoadColors.h"
#include "roadview/RoadDrawFlags.h"

TEST(ContourColorScale, RedOverYellowToLime) {
  struct Case {
    double x;
    RgbColor color;
  };
  const std::vector<Case> cases = {
      {0.0, {255, 0, 0}}, {0.25, {255, 127, 0}}, {0.5, {255, 255, 0}}, {0.75, {127, 255, 0}},
      {1.0, {0, 255, 0}}, {1.5, {0, 255, 0}},    {-0.5, {255, 0, 0}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(ContourColor(c.x), c.color);
  }
}

TEST(SpeedColors, SpeedsAbove150AreLime) {
  EXPECT_EQ(SpeedColor(200.0), (RgbColor{0, 255, 0}));
  EXPECT_EQ(SpeedColor(150.0), (RgbColor{0, 255, 0}));
  EXPECT_EQ(SpeedColor(75.0), (RgbColor{255, 255, 0}));
  EXPECT_EQ(SpeedColor(0.0), (RgbColor{255, 0, 0}));
}

TEST(DestinationColors, RunFromBlueOverLimeToRed) {
  EXPECT_EQ(DestinationColor(0, 1), (RgbColor{0, 0, 255}));
  EXPECT_EQ(DestinationColor(0, 3), (RgbColor{0, 0, 255}));
  EXPECT_EQ(DestinationColor(1, 3), (RgbColor{0, 255, 0}));
  EXPECT_EQ(DestinationColor(2, 3), (RgbColor{255, 0, 0}));
  EXPECT_EQ(DestinationColor(1, 5), (RgbColor{0, 255, 255}));  // t = 0.25: aqua
  EXPECT_EQ(DestinationColor(3, 5), (RgbColor{255, 255, 0}));  // t = 0.75: yellow
}

TEST(AccelerationColors, ThresholdsAtPlusAndMinusPointTwo) {
  struct Case {
    double a, speed;
    AccelerationState state;
  };
  const double passive = -1.0;
  const std::vector<Case> cases = {
      {0.21, 10, AccelerationState::Accelerating},
      {0.2, 10, AccelerationState::ConstantSpeed},
      {0.2, 0.05, AccelerationState::Stationary},
      {0.0, 0.1, AccelerationState::ConstantSpeed},
      {-0.19, 10, AccelerationState::ConstantSpeed},
      {-0.2, 10, AccelerationState::PassiveBraking},
      {-1.0, 10, AccelerationState::PassiveBraking},
      {-1.01, 10, AccelerationState::ActiveBraking},
      // The kernel's single precision values: 0.2f lies a little above 0.2 as a double.
      {0.2f, 10, AccelerationState::ConstantSpeed},
      {-0.2f, 10, AccelerationState::PassiveBraking},
      {0.0, 0.1f, AccelerationState::ConstantSpeed}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " " << c.speed);
    EXPECT_EQ(ClassifyAcceleration(c.a, c.speed, passive), c.state);
  }
  EXPECT_EQ(AccelerationColor(AccelerationState::Stationary), (RgbColor{128, 128, 128}));
  EXPECT_EQ(AccelerationColor(AccelerationState::ActiveBraking), (RgbColor{255, 0, 0}));
}

TEST(FollowStateColors, GapAgainstDesiredDistance) {
  // 2 + 1 * 10 + 0.01 * 100 = 13 m at 10 m/s.
  EXPECT_TRUE(FollowGapSufficient(12.9, 10, 2, 1, 0.01));
  EXPECT_FALSE(FollowGapSufficient(12.89, 10, 2, 1, 0.01));
  EXPECT_EQ(FollowStateColor(true), (RgbColor{255, 255, 0}));
  EXPECT_EQ(FollowStateColor(false), (RgbColor{255, 0, 0}));
}

TEST(VehicleTypeColors, EightTypesAndWhiteBeyond) {
  EXPECT_EQ(VehicleTypeColor(1), (RgbColor{149, 79, 0}));
  EXPECT_EQ(VehicleTypeColor(3), (RgbColor{255, 159, 64}));
  EXPECT_EQ(VehicleTypeColor(8), (RgbColor{192, 192, 192}));
  EXPECT_EQ(VehicleTypeColor(0), (RgbColor{255, 255, 255}));
  EXPECT_EQ(VehicleTypeColor(9), (RgbColor{255, 255, 255}));
}

TEST(RouteChoiceStatus, NumberAndSideBeforeTheLastBlank) {
  struct Case {
    std::string status;
    RouteChoice choice;
  };
  const std::vector<Case> cases = {
      {"route 1 L", RouteChoice::Left},  {"route 12 R", RouteChoice::Right},
      {"route 3 x", RouteChoice::Right}, {"route 0 L", RouteChoice::None},
      {"1 L", RouteChoice::Left},        {"noblank", RouteChoice::None},
      {"", RouteChoice::None},           {"route 1 ", RouteChoice::None},
      {"route x L", RouteChoice::None}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    EXPECT_EQ(RouteChoiceFromStatus(c.status), c.choice);
  }
}

TEST(DestinationLegend, FourRowsPerColumn) {
  // Three destinations: one column starting half way.
  EXPECT_EQ(DestinationLegendCell(2, 3, 200, 80).left, 100);
  EXPECT_EQ(DestinationLegendCell(2, 3, 200, 80).top, 40);
  // Six destinations: two columns; the fifth starts the second column at the top.
  const LegendCell fifth = DestinationLegendCell(4, 6, 200, 80);
  EXPECT_EQ(fifth.left, 100);
  EXPECT_EQ(fifth.top, 0);
  EXPECT_EQ(fifth.labelWidth, 74);
  EXPECT_EQ(DestinationLegendCell(3, 6, 200, 80).left, 0);
}

TEST(RoadDrawFlagWord, KindValueAndSwitches) {
  const std::uint32_t flags =
      MakeRoadDrawFlags(RoadDrawKind::Destination, 3 + 256 * 2) | RDF_SHOW_AREAS;
  EXPECT_EQ(DrawKind(flags), RoadDrawKind::Destination);
  EXPECT_EQ(SelectedDestination(flags), 2);
  EXPECT_EQ(SelectedAreaRank(flags), 1);
  EXPECT_TRUE(flags & RDF_SHOW_AREAS);
  EXPECT_FALSE(flags & RDF_DRAW_TAPERS);
  const std::uint32_t none = MakeRoadDrawFlags(RoadDrawKind::Destination, 1);
  EXPECT_EQ(SelectedDestination(none), 0);
  EXPECT_EQ(SelectedAreaRank(none), -1);
  EXPECT_EQ(DrawKind(MakeRoadDrawFlags(RoadDrawKind::Teleport, 5) | RDF_LIGHT_STATES),
            RoadDrawKind::Teleport);
}
