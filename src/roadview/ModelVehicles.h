#pragma once

#include "roadview/RoadColors.h"

class KDConfig;

// The external vehicle model's vehicles on the road picture. In DOVEL mode the kernel is not
// used: the vehicles are walked with the model's Next_vehicle call and their state is read
// as run-time parameters (class, id) of the vehicle's number.

/// The model as the traffic drawing reads it.
class ModelVehicleSource {
 public:
  virtual ~ModelVehicleSource() = default;
  /// The number of the vehicle after `previous` (0 asks for the first); below 1 when none is
  /// left.
  virtual int NextVehicle(int previous) = 0;
  /// Run-time parameter (class, id) of vehicle `vehicle`, read as a real number.
  virtual float RealValue(int paramClass, int paramId, int vehicle) = 0;
};

/// The run-time parameters the drawing reads.
struct ModelParam {
  int paramClass;
  int id;
};
namespace ModelParams {
constexpr ModelParam VehicleType{8, 1};
constexpr ModelParam Length{8, 3};           // [m]
constexpr ModelParam IccEquipment{8, 12};    // 0 = none
constexpr ModelParam Link{9, 1};             // counted from 1 at the road start
constexpr ModelParam LinkPosition{9, 3};     // [m] from the link's start
constexpr ModelParam Speed{9, 4};            // [km/h]
constexpr ModelParam Acceleration{9, 5};     // [m/s^2]
constexpr ModelParam ActiveBraking{9, 8};    // not 0 = braking actively
constexpr ModelParam LateralLane{9, 13};     // model lane, 1 .. 6 from the right, fractions allowed
constexpr ModelParam MergeWish{10, 1};       // not 0 = wants to merge
constexpr ModelParam MergeDirection{10, 2};  // >= 0 left, < 0 right
constexpr ModelParam IccOn{10, 10};
}  // namespace ModelParams

inline float ReadModel(ModelVehicleSource& model, ModelParam param, int vehicle) {
  return model.RealValue(param.paramClass, param.id, vehicle);
}

/// Where a model vehicle lies: its front position [m] on the road, its length [m] and the row
/// of its bar. `onRoad` is false when the model names a link the road does not have.
struct ModelVehiclePlace {
  bool onRoad = false;
  float position = 0;  // [m]
  float length = 0;    // [m]
  int y = 0;
};
ModelVehiclePlace PlaceModelVehicle(const KDConfig& config, ModelVehicleSource& model, int vehicle);

/// The colour of a model vehicle in `scheme`: speed, acceleration (active braking as the
/// model says), merge intention, vehicle type, ICC state; white for the route choice and
/// the ICC equipped entries, which the model does not distinguish.
RgbColor ModelVehicleColor(ColorScheme scheme, ModelVehicleSource& model, int vehicle);
