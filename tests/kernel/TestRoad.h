#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "kernel/Kernel.h"

// Roads built object by object, without a configuration, for the kernel's behaviour tests.

// A passenger car (the first default vehicle type) and a heavy truck (the fifth).
inline VehicleParams CarParams() {
  VehicleParams p;
  p.name = "veh type 1";
  p.maxAccelerationJump = 1;
  p.z2 = 0.56f;
  p.maxAcceleration = 4;
  p.passiveDeceleration = -0.5f;
  p.laneChangeDeceleration = -3;
  p.maxDeceleration = -7;
  p.preferredSpeed = 125 * static_cast<float>(1 / 3.6);
  p.length = 4.5f;
  p.z1 = 3;
  p.z3 = 0.005f;
  p.preferredSpeed70 = static_cast<float>(95 * (1 / 3.6));
  p.specificPower = 80;
  p.specificPowerStdDev = 0;
  p.airResistance = 0.6f;
  p.trafficLightDeceleration = -3.5f;
  return p;
}

inline VehicleParams TruckParams() {
  VehicleParams p;
  p.name = "veh type 2";
  p.maxAccelerationJump = 0.4f;
  p.z2 = 2.23f;
  p.maxAcceleration = 0.4f;
  p.passiveDeceleration = -0.5f;
  p.laneChangeDeceleration = -1.6f;
  p.maxDeceleration = -6;
  p.preferredSpeed = 85 * static_cast<float>(1 / 3.6);
  p.length = 14;
  p.z1 = 3;
  p.z3 = 0.005f;
  p.preferredSpeed70 = static_cast<float>(75 * (1 / 3.6));
  p.specificPower = 9;
  p.specificPowerStdDev = 5;
  p.airResistance = 0.1f;
  p.trafficLightDeceleration = -2.5f;
  return p;
}

struct LaneRules {
  float speedLimitKmh = 120;
  float speedSuppression = 1;
  float slope = 0;
  bool canMoveLeft = false;
  bool canMoveRight = false;
};

// A straight road of `lanes` lanes from 0 to `length` [m] in one physical section.
class TestRoad {
 public:
  TestRoad(Kernel& kernel, float length, int lanes, int stepsPerSecond = 2, int32_t seed = 1,
           LaneRules rules = {}, ReactionDelays delays = {})
      : kernel_(kernel), lanes_(lanes) {
    kernel.StartEmptyRun(seed, stepsPerSecond, delays.acceleration, delays.deceleration);
    kernel.CreateObject(LANE_BOUNDARIES, RO_ENDOFROAD, length, 0);
    AddBoundary(0, 0, rules);
  }

  RoadObject* AddBoundary(int number, float position, LaneRules rules = {}) {
    RoadObject* boundary = kernel_.CreateObject(LANE_BOUNDARIES, RO_PHYSBOUNDARY, position, number);
    for (int lane = 0; lane < lanes_; ++lane)
      boundary->PhysicalLanes()->SetPhysicalLaneInfo(
          lane, rules.canMoveLeft && lane > 0, rules.canMoveRight && lane < lanes_ - 1, false,
          rules.speedSuppression, false, rules.slope,
          static_cast<float>(rules.speedLimitKmh * 0.2777777777777778));
    return boundary;
  }

  // An origin over lanes first..last at `position` with a constant demand [veh/h] split
  // over the vehicle types by `shares`, all going to `destination`.
  SuperSource* AddOrigin(int origin, int first, int last, float position, float flow,
                         std::vector<float> shares = {1}, int destination = 0) {
    OriginDemand demand;
    demand.flowValue = {flow};
    for (std::size_t type = 0; type < shares.size(); ++type) {
      demand.typeShare[type] = shares[type];
      demand.destinationProbability[type][destination] = 1;
    }
    return AddOrigin(origin, first, last, position, demand);
  }

  SuperSource* AddOrigin(int origin, int first, int last, float position,
                         const OriginDemand& demand) {
    SuperSource* superSource = kernel_.AddSuperSource(origin);
    superSource->SetDemand(demand);
    for (int lane = first; lane <= last; ++lane)
      superSource->Register(kernel_.CreateObject(lane, RO_SOURCE, position, origin));
    return superSource;
  }

  void AddSinks(int destination, int first, int last, float position) {
    for (int lane = first; lane <= last; ++lane)
      kernel_.CreateObject(lane, RO_SINK, position, destination);
  }

  RoadObject* AddTrafficLight(int number, int lane, float position, int cycle, int green,
                              int yellow, int offset) {
    RoadObject* light = kernel_.CreateObject(LANE_TRAFFICLIGHTS, RO_TRAFFICLIGHT, position, number);
    TrafficLightInfo& info = *light->TrafficLight();
    info.lane = lane;
    info.cycleTime = cycle;
    info.greenTime = green;
    info.yellowTime = yellow;
    info.startOffset = offset;
    return light;
  }

 private:
  Kernel& kernel_;
  int lanes_;
};

// A vehicle placed by hand, with its start-of-step state equal to its present state.
inline RoadObject* PlaceVehicle(Kernel& kernel, int lane, float position, float speed, int type = 0,
                                int id = 1, int destination = 0) {
  RoadObject* vehicle = kernel.CreateObject(lane, RO_VEHICLE + type, position, id, speed,
                                            kernel.ParamSet(type), destination, 0);
  if (vehicle != nullptr) {
    vehicle->Vehicle()->previousPosition = position;
    vehicle->Vehicle()->previousSpeed = speed;
  }
  return vehicle;
}

inline std::vector<RoadObject*> VehiclesOnRoad(const Kernel& kernel) {
  std::vector<RoadObject*> vehicles;
  for (RoadObject* object = kernel.FirstObject(); object; object = object->Next())
    if (object->IsVehicle()) vehicles.push_back(object);
  return vehicles;
}

// Empty when no vehicle's front reaches into the rear of the vehicle ahead in its lane.
inline std::string FindOverlap(const Kernel& kernel) {
  for (RoadObject* vehicle : VehiclesOnRoad(kernel)) {
    RoadObject* leader = vehicle->LaneLeader();
    while (leader != nullptr && !leader->IsVehicle()) leader = leader->LaneLeader();
    if (leader == nullptr) continue;
    if (vehicle->Position() > leader->Position() - leader->Vehicle()->params->length)
      return "vehicle " + std::to_string(vehicle->Number()) + " overlaps vehicle " +
             std::to_string(leader->Number());
  }
  return std::string();
}

// A digest of every vehicle's state, to compare two runs bit for bit.
inline uint64_t StateDigest(const Kernel& kernel) {
  uint64_t hash = 1469598103934665603ull;
  auto mix = [&hash](const void* data, std::size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  };
  for (RoadObject* vehicle : VehiclesOnRoad(kernel)) {
    const VehicleInfo& info = *vehicle->Vehicle();
    int id = vehicle->Number(), lane = vehicle->Lane();
    float position = vehicle->Position();
    mix(&id, sizeof id);
    mix(&lane, sizeof lane);
    mix(&position, sizeof position);
    mix(&info.speed, sizeof info.speed);
    mix(&info.acceleration, sizeof info.acceleration);
    mix(&info.specificPower, sizeof info.specificPower);
  }
  return hash;
}
