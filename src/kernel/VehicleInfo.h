#pragma once

#include <cstdint>
#include <string>

#include "kernel/RoadObject.h"

class KernelBHVSection;

// The car-following and vehicle parameters of one vehicle type, shared by all its vehicles.
struct VehicleParams {
  std::string name;                    // "veh type %d", 1-based
  float length = 0;                    // [m]
  float preferredSpeed = 0;            // [m/s]
  float maxAcceleration = 0;           // [m/s2]
  float maxDeceleration = 0;           // [m/s2], negative
  float passiveDeceleration = 0;       // [m/s2], negative
  float laneChangeDeceleration = 0;    // [m/s2], negative
  float maxAccelerationJump = 0;       // [m/s2 per s]
  float z1 = 0;                        // standstill gap [m]
  float z2 = 0;                        // time gap [s]
  float z3 = 0;                        // speed-squared gap [s2/m]
  float specificPower = 0;             // mean [kW/ton] = [W/kg]
  float specificPowerStdDev = 0;       // [kW/ton]
  float airResistance = 0;             // [1/km]
  float preferredSpeed70 = 0;          // preferred speed at a 70 km/h limit [m/s]
  float trafficLightDeceleration = 0;  // braking for a red light [m/s2], negative
};

// The moving state of a vehicle.
class VehicleInfo : public RoadObjectExtras {
 public:
  VehicleInfo(RoadObject* owner, const VehicleParams* params, int destination, int origin,
              float speed)
      : RoadObjectExtras(owner),
        speed(speed),
        destination(destination),
        origin(origin),
        params(params) {}

  float previousPosition = -1;             // [m] at the start of the current step
  int32_t teleportOffset = 0;              // [m] accumulated over the teleports passed
  int32_t stepTeleportOffset = 0;          // [m] of the current step
  float speed = 0;                         // [m/s]
  float previousSpeed = 0;                 // [m/s] at the start of the current step
  float acceleration = 0;                  // [m/s2] of the current step
  int32_t destination = 0;                 // sink number
  int32_t origin = 0;                      // source number
  float creationTime = 0;                  // [s] when the vehicle was at its source position
  const KernelBHVSection* area = nullptr;  // cached current lane change area
  const VehicleParams* params = nullptr;
  float specificPower = 0;  // [W/kg]
  uint8_t coasting = 0;
  float holdBackSpeed = 0;  // [m/s]
  uint8_t holdBack = 0;
  uint8_t holdBackPrevious = 0;
  uint8_t cooperating = 0;
  uint8_t stoppingForLight = 0;
  float lastDetectorTime = 0;  // [s]; 0 = no detector passed yet
  int32_t routeChoiceNumber = 0;
  uint8_t routeChoiceLeft = 0;
  int32_t laneChangeProgress =
      0;                        // steps of the manoeuvre made so far, 1 in the step of the change
  int32_t laneChangeState = 0;  // sign = direction (negative: to the left)
  float accelerationDelay = 0;  // [s] simulated time the reaction delay ends; 0 = none
  char statusText[21] = {};     // lane change wish and route choice for the data window

  // The last AimSpeed() worked out, with what it depended on: the step asks for it many
  // times at the same place.
  struct AimSpeedMemo {
    float position = -1;  // [m]; -1 = none
    int lane = -1;
    const VehicleParams* params = nullptr;
    const RoadObject* start = nullptr;  // the section the search started from
    unsigned layout = 0;                // the kernel's road layout version
    float value = 0;                    // [m/s]
  } aimSpeedMemo;

  // Where a search over all the lane change areas of the vehicle's lane found none for it:
  // none lies further downstream in that lane (Kernel::CurrentArea).
  struct NoAreaMemo {
    float position = 0;  // [m]
    int lane = -1;       // -1 = none
    int32_t destination = 0;
    unsigned areas = 0;  // the kernel's version of its lists of areas
  } noArea;

  // The last Kernel::MaxAcceleration() worked out, with what it depended on: a decision asks
  // for it up to four times in the same state.
  struct MaxAccelerationMemo {
    float position = -1;  // [m]; -1 = none
    float speed = 0;      // [m/s]
    float specificPower = 0;
    int lane = -1;
    const VehicleParams* params = nullptr;
    const RoadObject* start = nullptr;  // the kernel's current section
    unsigned layout = 0;                // the kernel's road layout version
    float value = 0;                    // [m/s2]
  } maxAccelerationMemo;

  // The nearest detector before the vehicle in the object list, as its moves carried it past
  // them; valid for the kernel's layout version it was found in.
  struct DetectorBehind {
    bool known = false;
    RoadObject* detector = nullptr;
    unsigned layout = 0;
  } detectorBehind;

  // An object of each other lane met near the vehicle: where the search for its neighbours
  // in that lane starts. Valid while the kernel's retired objects are kept (same epoch).
  struct LaneNeighbourHints {
    unsigned epoch = 0;
    RoadObject* object[MAX_KAVROLANE] = {};
  } laneHints;
};

inline VehicleInfo* RoadObject::Vehicle() const {
  return IsVehicle() ? static_cast<VehicleInfo*>(extras_.get()) : nullptr;
}
