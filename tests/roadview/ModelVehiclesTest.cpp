#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "config/KDConfig.h"
#include "roadview/ModelVehicles.h"
#include "roadview/RoadGeometry.h"
#include "support/ProgramModeGuard.h"

namespace {

// The model's answers for one vehicle, by (class, id); 0 for anything not set.
class OneVehicle : public ModelVehicleSource {
 public:
  std::map<std::pair<int, int>, float> values;
  int NextVehicle(int previous) override { return previous == 0 ? 7 : 0; }
  float RealValue(int paramClass, int id, int vehicle) override {
    EXPECT_EQ(vehicle, 7);
    const auto it = values.find({paramClass, id});
    return it == values.end() ? 0.0f : it->second;
  }
};

}  // namespace

TEST(ModelVehiclePlacement, LinksCountFromTheRoadStartLanesFromTheRight) {
  ScopedProgramMode mode(DOVEL);
  KDConfig config;
  config.SetLength(3000);
  config.InsertBoundary(1000);  // link 1: section 1 (0 .. 1000 m), link 2: section 0
  OneVehicle model;
  model.values = {{{8, 3}, 4.5f}, {{9, 1}, 2.7f}, {{9, 3}, 250}, {{9, 13}, 5}};
  ModelVehiclePlace place = PlaceModelVehicle(config, model, 7);
  EXPECT_TRUE(place.onRoad);
  EXPECT_FLOAT_EQ(place.position, 1250);  // link 2 (2.7 truncated) begins at 1000 m
  EXPECT_FLOAT_EQ(place.length, 4.5f);
  EXPECT_EQ(place.y, LaneTop(1) + 12);  // model lane 5 is the second lane from the left
  model.values[{9, 13}] = 5.5f;         // half way to model lane 6
  EXPECT_EQ(PlaceModelVehicle(config, model, 7).y, LaneTop(0.5f) + 12);
  model.values[{9, 1}] = 1;
  EXPECT_FLOAT_EQ(PlaceModelVehicle(config, model, 7).position, 250);
  // A link the road does not have (or a failed read, -999) is not placed.
  for (const float link : {0.0f, 3.0f, -999.0f}) {
    SCOPED_TRACE(link);
    model.values[{9, 1}] = link;
    EXPECT_FALSE(PlaceModelVehicle(config, model, 7).onRoad);
  }
}

TEST(ModelVehicleColors, EachSchemeReadsItsParameters) {
  struct Case {
    ColorScheme scheme;
    std::map<std::pair<int, int>, float> values;
    RgbColor color;
  };
  const std::vector<Case> cases = {
      {ColorScheme::Speed, {{{9, 4}, 75}}, {255, 255, 0}},  // km/h from the model
      {ColorScheme::Speed, {{{9, 4}, 200}}, RoadColor::Lime},
      {ColorScheme::Acceleration, {{{9, 5}, 0.3f}}, RoadColor::Lime},
      {ColorScheme::Acceleration, {{{9, 5}, 0.2f}, {{9, 4}, 0.1f}}, RoadColor::White},
      {ColorScheme::Acceleration, {{{9, 5}, 0.0f}, {{9, 4}, 0.05f}}, RoadColor::Gray},
      {ColorScheme::Acceleration, {{{9, 5}, -0.2f}, {{9, 8}, 1}}, RoadColor::Red},
      {ColorScheme::Acceleration, {{{9, 5}, -3.0f}, {{9, 8}, 0}}, RoadColor::Yellow},
      {ColorScheme::FollowState, {{{10, 1}, 1}, {{10, 2}, 0}}, RoadColor::Red},
      {ColorScheme::FollowState, {{{10, 1}, 1}, {{10, 2}, -1}}, RoadColor::Green},
      {ColorScheme::FollowState, {{{10, 1}, 0}, {{10, 2}, 1}}, RoadColor::White},
      {ColorScheme::VehicleType, {{{8, 1}, 3}}, RoadColor::Orange},
      {ColorScheme::VehicleType, {{{8, 1}, 9}}, RoadColor::White},
      {ColorScheme::Destination, {{{8, 12}, 0}, {{10, 10}, 1}}, RoadColor::White},
      {ColorScheme::Destination, {{{8, 12}, 1}, {{10, 10}, 1}}, RoadColor::Aqua},
      {ColorScheme::Destination, {{{8, 12}, 1}, {{10, 10}, 0}}, RoadColor::Yellow},
      {ColorScheme::RouteChoice, {{{8, 1}, 2}}, RoadColor::White},
      {ColorScheme::IccEquipped, {{{8, 12}, 1}}, RoadColor::White},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    OneVehicle model;
    model.values = cases[i].values;
    EXPECT_EQ(ModelVehicleColor(cases[i].scheme, model, 7), cases[i].color);
  }
}
