#include "roadview/ModelVehicles.h"

#include "config/KDConfig.h"
#include "roadview/RoadGeometry.h"

ModelVehiclePlace PlaceModelVehicle(const KDConfig& config, ModelVehicleSource& model,
                                    int vehicle) {
  ModelVehiclePlace place;
  place.length = ReadModel(model, ModelParams::Length, vehicle);
  // Links count from the road start, sections from its end.
  const int link = static_cast<int>(ReadModel(model, ModelParams::Link, vehicle));
  const int section = config.Boundaries() + 1 - link;
  if (link < 1 || section < 0) return place;
  place.onRoad = true;
  place.position = static_cast<float>(config.SectionPos(section, WHENCE_BEGIN)) +
                   ReadModel(model, ModelParams::LinkPosition, vehicle);
  // The model counts its six lanes from the right and reports fractions while a vehicle
  // changes lanes.
  place.y = LaneTop(6 - ReadModel(model, ModelParams::LateralLane, vehicle)) + 12;
  return place;
}

RgbColor ModelVehicleColor(ColorScheme scheme, ModelVehicleSource& model, int vehicle) {
  auto read = [&](ModelParam param) { return ReadModel(model, param, vehicle); };
  switch (scheme) {
    case ColorScheme::Speed:
      return SpeedColor(read(ModelParams::Speed));
    case ColorScheme::Acceleration: {
      const float a = read(ModelParams::Acceleration);
      if (a <= -0.2f)
        return read(ModelParams::ActiveBraking) != 0 ? RoadColor::Red : RoadColor::Yellow;
      // The speed is in km/h here; standing still is below 0.1 km/h.
      return AccelerationColor(ClassifyAcceleration(a, read(ModelParams::Speed), 0.0));
    }
    case ColorScheme::FollowState:
      if (read(ModelParams::MergeWish) == 0) return RoadColor::White;
      return read(ModelParams::MergeDirection) >= 0 ? RoadColor::Red : RoadColor::Green;
    case ColorScheme::VehicleType:
      return VehicleTypeColor(static_cast<int>(read(ModelParams::VehicleType)));
    case ColorScheme::Destination:
      // The model has no destinations: this entry shows the ICC state.
      if (read(ModelParams::IccEquipment) == 0) return RoadColor::White;
      return read(ModelParams::IccOn) != 0 ? RoadColor::Aqua : RoadColor::Yellow;
    case ColorScheme::RouteChoice:
    case ColorScheme::IccEquipped:
      return RoadColor::White;
  }
  return RoadColor::White;
}
