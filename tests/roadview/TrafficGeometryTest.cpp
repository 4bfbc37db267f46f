#include <gtest/gtest.h>

#include <vector>

#include "config/KDConfig.h"
#include "roadview/RoadViewTestSupport.h"
#include "roadview/TrafficGeometry.h"

namespace {

VehicleRowInput Vehicle(int lane, float position, int state = 0, bool tapers = false) {
  VehicleRowInput v;
  v.lane = lane;
  v.position = position;
  v.laneChangeState = state;
  v.timeStep = 0.5f;
  v.laneChangeTime = 3.0f;
  v.drawTapers = tapers;
  return v;
}

}  // namespace

TEST(VehicleRows, LaneCentreAndLaneChangeSlide) {
  KDConfig config;
  struct Case {
    int lane;
    float position;
    int state;
    int y;
  };
  // o = trunc((1 - 0.5 |f| / 3) x 24): f = 1 gives 20, 2 gives 16, 3 gives 12; a change to
  // the right (f > 0) starts above the new lane.
  const std::vector<Case> cases = {
      {1, 2500, 0, 41},  {1, 2500, 1, 21},   {1, 2500, -2, 57},
      {1, 2500, 13, 29}, {1, 2500, -13, 53}, {1, 2500, 20, 41},  // last digit 0: the change is over
      {1, 6000, 1, 41},                                          // off the road: no slide
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lane << " " << c.position << " " << c.state);
    EXPECT_EQ(VehicleRowY(config, Vehicle(c.lane, c.position, c.state)), c.y);
  }
}

TEST(VehicleRows, DriftTowardsTheThroughLaneAlongATaper) {
  KDConfig config;
  BuildRampRoad(config);  // on-ramp taper over lanes 2 and 3 from 1000 to 2000 m
  // Half way the lower lane has moved up half a lane (12), the upper one half of that.
  EXPECT_EQ(VehicleRowY(config, Vehicle(3, 1500, 0, true)), LaneTop(3) + 12 - 12);
  EXPECT_EQ(VehicleRowY(config, Vehicle(2, 1500, 0, true)), LaneTop(2) + 12 - 6);
  EXPECT_EQ(VehicleRowY(config, Vehicle(3, 1000, 0, true)), LaneTop(3) + 12);
  // Drawn as ordinary lanes, nothing drifts.
  EXPECT_EQ(VehicleRowY(config, Vehicle(3, 1500, 0, false)), LaneTop(3) + 12);
  // Within the last metre of the section no drift either.
  EXPECT_EQ(VehicleRowY(config, Vehicle(3, 1999.5f, 0, true)), LaneTop(3) + 12);
  // A lane change on the taper slides by a part of o that depends on the position.
  const int plain = VehicleRowY(config, Vehicle(3, 1500, 0, true));
  const int sliding = VehicleRowY(config, Vehicle(3, 1500, -1, true));
  EXPECT_GT(sliding, plain);
  EXPECT_LT(sliding, plain + 20);
}

TEST(VehicleBars, AtLeastOnePixelAndNotDrawnOffTheBitmap) {
  const RoadViewport view{800, 5000, 0, 0};
  const VehicleBar shortCar = VehicleBarAt(view, 2500, 4);  // 0.6 pixels
  EXPECT_EQ(shortCar.front - shortCar.rear, 1);
  EXPECT_TRUE(shortCar.visible);
  const RoadViewport zoomed{800, 5000, 24, 1000};        // shows about 4950 .. 5000 m
  EXPECT_FALSE(VehicleBarAt(zoomed, 4000, 10).visible);  // front far left of the bitmap
  EXPECT_TRUE(VehicleBarAt(zoomed, 4950.5f, 10).visible);
  const RoadViewport start{800, 5000, 24, 0};
  EXPECT_FALSE(VehicleBarAt(start, 4000, 10).visible);  // rear right of the bitmap
}

TEST(VehicleColors, SchemesPickTheirColour) {
  VehicleLook v;
  v.speed = 150 / 3.6 / 2;  // 75 km/h
  v.acceleration = -3;
  v.passiveDeceleration = -1;
  v.gap = 5;
  v.z1 = 2;
  v.z2 = 1;
  v.type = 5;
  v.destination = 1;
  v.destinationCount = 3;
  v.status = "stay 1 R";
  EXPECT_EQ(VehicleColor(ColorScheme::Speed, v), (RgbColor{255, 255, 0}));
  EXPECT_EQ(VehicleColor(ColorScheme::Acceleration, v), RoadColor::Red);
  EXPECT_EQ(VehicleColor(ColorScheme::FollowState, v), RoadColor::Red);  // wants 22.8 m
  EXPECT_EQ(VehicleColor(ColorScheme::VehicleType, v), RoadColor::Lime);
  EXPECT_EQ(VehicleColor(ColorScheme::Destination, v), RoadColor::Lime);
  EXPECT_EQ(VehicleColor(ColorScheme::RouteChoice, v), RoadColor::Lime);
}

TEST(ClosedLaneMarkerLayout, ArrowsWhileOpenCrossesWhileClosed) {
  const RoadViewport view{779, 5000, 0, 0};  // 740 pixels: 500 m = 74 pixels
  ClosedLaneInput area{2, 3000, 1000, false};
  const std::vector<ClosedLaneMarker> open = ClosedLaneMarkers(view, area);
  ASSERT_EQ(open.size(), 3u);  // at 2000, 2500 and 3000 m
  EXPECT_EQ(open[0].kind, ClosedLaneMarker::Kind::OpenArrow);
  const int top = LaneTop(2) + 6, bottom = LaneTop(3) - 6, mid = (top + bottom) / 2;
  EXPECT_EQ(open[0].strokes[0].first, (PixelPoint{18 + 296, mid}));  // 2000 m
  EXPECT_EQ(open[0].strokes[0].second, (PixelPoint{18 + 296 + 6, top}));
  EXPECT_EQ(open[1].strokes[0].first.x, 18 + 296 + 74);
  area.closed = true;
  const std::vector<ClosedLaneMarker> closed = ClosedLaneMarkers(view, area);
  ASSERT_EQ(closed.size(), 3u);
  EXPECT_EQ(closed[0].kind, ClosedLaneMarker::Kind::ClosedArrow);
  EXPECT_EQ(closed[0].strokes[0].first, (PixelPoint{18 + 296 + 12, top}));
  EXPECT_EQ(closed[1].kind, ClosedLaneMarker::Kind::Cross);
  EXPECT_EQ(closed[2].kind, ClosedLaneMarker::Kind::Cross);
  EXPECT_TRUE(ClosedLaneMarkers(view, ClosedLaneInput{2, 0, 1000, true}).empty());
}

TEST(ClosedLaneMarkerLayout, SpacingStaysPositiveWhenZoomedOut) {
  const RoadViewport view{100, 500000, 0, 0};  // 500 m is a tenth of a pixel
  const std::vector<ClosedLaneMarker> markers =
      ClosedLaneMarkers(view, ClosedLaneInput{0, 400000, 100000, false});
  EXPECT_FALSE(markers.empty());
  EXPECT_LE(markers.size(), 20u);
}

TEST(VehicleRows, LongLaneChangesKeepSlidingPastNineSteps) {
  KDConfig config;
  VehicleRowInput v = Vehicle(1, 2500, 19);  // a required change to the right, digit full
  v.timeStep = 0.125f;
  v.laneChangeTime = 2.5f;  // 20 steps
  v.laneChangeProgress = 12;
  // o = trunc((1 - 0.125 x 12 / 2.5) x 24) = 9, above the new lane.
  EXPECT_EQ(VehicleRowY(config, v), LaneTop(1) + 12 - 9);
  v.laneChangeState = -9;
  EXPECT_EQ(VehicleRowY(config, v), LaneTop(1) + 12 + 9);
  // Up to nine steps the state's digit and the progress agree.
  v.laneChangeState = 4;
  v.laneChangeProgress = 4;
  EXPECT_EQ(VehicleRowY(config, v), LaneTop(1) + 12 - 19);  // trunc(0.8 x 24)
}

TEST(VehicleRows, OffRampTaperOverSeveralSectionsDriftsWithoutJumps) {
  KDConfig config;
  config.SetLength(3000);
  config.InsertBoundary(2000);
  config.InsertBoundary(1000);
  // The off-ramp widens over sections 2 and 1 (0 .. 2000 m) in lanes 2 and 3.
  for (const int s : {2, 1})
    for (const int l : {2, 3})
      config.SetPhysicalSectionProperty(s, l, PP_LANETYPE, LANETYPE_TAPEROFF);
  for (const int s : {2, 1})
    for (const int l : {2, 3}) ASSERT_TRUE(TypeAt(config, s, l) & LANE_TAPEROFF) << s << " " << l;
  // The lower lane starts in the upper lane's row (m = 24) and reaches its own at 2000 m:
  // m = trunc(24 x (2000 - p) / 2000).
  struct Case {
    float position;
    int m;
  };
  for (const Case c :
       {Case{0, 24}, Case{500, 18}, Case{998.5f, 12}, Case{1001, 11}, Case{1500, 6}}) {
    SCOPED_TRACE(c.position);
    EXPECT_EQ(VehicleRowY(config, Vehicle(3, c.position, 0, true)), LaneTop(3) + 12 - c.m);
    // The upper lane moves half as far.
    EXPECT_EQ(VehicleRowY(config, Vehicle(2, c.position, 0, true)), LaneTop(2) + 12 - c.m / 2);
  }
}
