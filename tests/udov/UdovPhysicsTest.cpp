// The udov model against its physics: the IDM's standstill gap, the desired speed on a free
// road, merging at a lane drop without accidents, the cruise control's set speed.
#include <gtest/gtest.h>

#include <algorithm>

#include "UdovModel.h"

namespace {

using udov::Model;

// One link per entry: {length [m], lanes}; no traffic generated.
void MakeRoad(Model& model, std::initializer_list<std::pair<uint32_t, int>> links) {
  udov::ConfigData& c = model.Config();
  c.links = static_cast<int32_t>(links.size());
  int q = 0;
  for (auto [length, lanes] : links) {
    c.link[q].length = length;
    c.link[q].lanes = lanes;
    c.link[q].speedLimit = 200;
    q++;
  }
  c.flow = 0;
  c.useInjection = 0;
  model.Reset();
  ASSERT_TRUE(model.Prepare());
}

TEST(UdovPhysics, PlatoonStopsBehindAStoppedVehicleAtTheMinimumGap) {
  Model model;
  MakeRoad(model, {{4000, 1}});
  ASSERT_NE(model.AddVehicle(0, 0, 1, 3000, 0, 0, /*stopped=*/true), 0);
  for (int k = 1; k <= 8; k++) ASSERT_NE(model.AddVehicle(0, 0, 1, 3000 - 60 * k, 30, 0), 0);
  for (int step = 0; step < 1200; step++) model.Step();  // 10 minutes
  EXPECT_EQ(model.Collisions(), 0);
  std::vector<udov::Vehicle> cars = model.Vehicles();
  ASSERT_EQ(cars.size(), 9u);
  std::sort(cars.begin(), cars.end(), [](auto& p, auto& q) { return p.x > q.x; });
  const float s0 = model.Config().vehicle[0][udov::kMinGap];
  for (size_t k = 1; k < cars.size(); k++) {
    SCOPED_TRACE(k);
    EXPECT_LT(cars[k].v, 0.01f);
    float gap = cars[k - 1].x - cars[k - 1].length - cars[k].x;
    EXPECT_GE(gap, s0 - 0.01f);
    EXPECT_LE(gap, s0 + 0.25f);
  }
}

TEST(UdovPhysics, FreeFlowReachesTheDesiredSpeed) {
  Model model;
  MakeRoad(model, {{20000, 1}});
  ASSERT_NE(model.AddVehicle(0, 0, 1, 10, 0, /*desired km/h=*/100), 0);
  for (int step = 0; step < 240; step++) model.Step();  // 2 minutes
  ASSERT_EQ(model.Vehicles().size(), 1u);
  const float v = model.Vehicles()[0].v * 3.6f;
  // Driver type 1 keeps the link's speed limit; the limit here is far above.
  EXPECT_GT(v, 98.0f);
  EXPECT_LE(v, 100.0f);
}

TEST(UdovPhysics, SpeedLimitBelowTheDesiredSpeedIsKept) {
  Model model;
  MakeRoad(model, {{20000, 1}});
  model.Config().link[0].speedLimit = 80;
  ASSERT_NE(model.AddVehicle(0, 0, 1, 10, 0, 150), 0);
  for (int step = 0; step < 240; step++) model.Step();
  const float limit = 80 * model.Config().driver[0][udov::kLimitFactor];
  EXPECT_NEAR(model.Vehicles()[0].v * 3.6f, limit, 0.02f * limit);
}

TEST(UdovPhysics, LaneDropMergesWithoutAccidents) {
  // Below the capacity of the single lane, and far above it (a queue forms at the drop).
  for (float flow : {1600.0f, 3500.0f}) {
    SCOPED_TRACE(flow);
    Model model;
    MakeRoad(model, {{1500, 2}, {1500, 1}});
    model.Config().flow = flow;
    model.Reset();
    ASSERT_TRUE(model.Prepare());
    for (int step = 0; step < 2400; step++) {  // 20 minutes
      model.Step();
      for (const udov::Vehicle& v : model.Vehicles())
        ASSERT_FALSE(v.x > 1500 && v.lane == 2) << "vehicle " << v.number << " beyond the drop";
    }
    EXPECT_EQ(model.Collisions(), 0);
    // About 530 (or 1170) vehicles were generated; at least 400 have passed 3 km.
    EXPECT_GT(model.Exited(), 400);
  }
}

TEST(UdovPhysics, CruiseControlDrivesAtTheReferenceSpeed) {
  Model model;
  MakeRoad(model, {{20000, 2}});
  udov::ConfigData& c = model.Config();
  c.vehicle[0][udov::kIccShare] = 1;
  c.link[0].laneType[1] = 2;  // lane 2 is an ICC lane
  c.link[0].detail[udov::kIccSpeed] = 90;
  int number = model.AddVehicle(0, 0, 2, 10, 60, 140);
  ASSERT_NE(number, 0);
  for (int step = 0; step < 240; step++) model.Step();
  const udov::Vehicle* v = model.FindVehicle(number);
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(v->iccOn);
  EXPECT_NEAR(v->v * 3.6f, 90.0f, 2.0f);
}

TEST(UdovPhysics, DetectorsCountPassingVehiclesPerLane) {
  Model model;
  MakeRoad(model, {{2000, 2}});
  model.Config().link[0].detectors = 1;
  model.Config().link[0].detectorOffset[0] = 500;  // at 1500 m
  ASSERT_NE(model.AddVehicle(0, 0, 1, 1000, 25, 90), 0);
  ASSERT_NE(model.AddVehicle(0, 0, 2, 1200, 25, 90), 0);
  for (int step = 0; step < 60; step++) model.Step();
  const udov::ParamDef* count = udov::FindParam(11, 1);
  const udov::ParamDef* speed = udov::FindParam(11, 2);
  for (int lane = 1; lane <= 2; lane++) {
    int32_t at[3] = {1, 1, lane};
    uint32_t n = 0;
    float total = 0;
    ASSERT_EQ(model.RunTimeValue(*count, 3, at, &n), UDOV_OK);
    ASSERT_EQ(model.RunTimeValue(*speed, 3, at, &total), UDOV_OK);
    EXPECT_EQ(n, 1u);
    EXPECT_GT(total, 60.0f);
    EXPECT_LT(total, 130.0f);
  }
}

TEST(UdovPhysics, SameSeedSameRun) {
  auto run = [] {
    Model model;
    model.Config().link[0].length = 3000;
    model.Config().flow = 3000;
    model.Reset();
    EXPECT_TRUE(model.Prepare());
    for (int step = 0; step < 600; step++) model.Step();
    std::vector<float> positions;
    for (const udov::Vehicle& v : model.Vehicles()) positions.push_back(v.x);
    return positions;
  };
  std::vector<float> first = run();
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(first, run());
}

}  // namespace
