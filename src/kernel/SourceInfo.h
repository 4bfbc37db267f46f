#pragma once

#include <string>
#include <vector>

#include "config/KDConfig.h"
#include "kernel/RoadObject.h"

class SuperSource;

// A lane source of an origin: it owes vehicles as the origin's demand accumulates.
class SourceInfo : public RoadObjectExtras {
 public:
  SourceInfo(RoadObject* owner, int lane, int origin)
      : RoadObjectExtras(owner), lane(lane), origin(origin) {}
  int generated = 0;   // vehicles created so far
  float expected = 0;  // vehicles owed so far (fractional)
  int drawnType = -1;  // type of the next vehicle; -1 = not drawn yet
  int drawnDestination = -1;
  SuperSource* superSource = nullptr;
  int lane = 0;
  int origin = 0;

  /// Type and destination of the next vehicle; both are drawn together on the first
  /// demand after each generated vehicle. -1 when the draw failed (a program error).
  int GetVehicleType();
  int GetDestination();

 private:
  bool Draw();
};

// The traffic demand of one origin as the kernel uses it.
struct OriginDemand {
  std::string name;
  // The flow graph: times [steps] from 0 in increasing order with their flows [veh/h];
  // between two points the flow changes linearly, after the last one it stays.
  std::vector<int> flowTime = {0};
  std::vector<float> flowValue = {0};
  float typeShare[MAXVEHICLETYPE] = {};  // fractions adding up to 1
  // Per vehicle type, the probability of each destination (adding up to 1).
  float destinationProbability[MAXVEHICLETYPE][MAXSINK] = {};
};

// One origin: the lane sources that carry its demand. The kernel owns it and drops it when
// its last lane source is gone.
class SuperSource {
 public:
  /// Takes the origin's demand from the kernel's configuration, when it has one.
  SuperSource(Kernel& kernel, int origin);
  SuperSource(const SuperSource&) = delete;
  SuperSource& operator=(const SuperSource&) = delete;

  int Origin() const { return origin_; }
  /// Takes a source object as the origin's source of its lane; the lane must be free.
  bool Register(RoadObject* source);
  /// Releases the source of its lane; returns whether the lane held that source.
  bool Unregister(RoadObject* source);
  RoadObject* SubSource(int lane) const { return subsources_[lane]; }
  int LaneCount() const;

  void SetDemand(const OriginDemand& demand) {
    demand_ = demand;
    lastStep_ = -1;
  }
  const OriginDemand& Demand() const { return demand_; }
  /// Reads the origin's demand from the configuration; `stepsPerSecond` converts the times.
  void ReadDemand(const KDConfig& config, int stepsPerSecond);
  /// The origin's total demand at `step` [veh/h].
  float TotalFlow(int step) const;
  /// Splits the demand at `step` over the registered lanes and the vehicle types; the
  /// result is kept until another step is asked for.
  void Flow(int step);
  /// The demand of a lane at `step` [veh/h] and the share of a vehicle type in it.
  float LaneFlow(int step, int lane);
  float TypeShare(int step, int lane, int type);

 private:
  // A failed KAVRO_ASSERT here stops the kernel that owns this object.
  void AssertionFailed(const char* condition, const char* file, int line) const;
  int TypesBySpeed(int order[MAXVEHICLETYPE]) const;
  bool FillLanes(const float remaining[MAXVEHICLETYPE], const int order[], int count,
                 float capacity[MAXVEHICLETYPE], int* currentLane, float* freeFraction,
                 float* used);
  void MoveFlowLeft(const int order[], int count, const float capacity[MAXVEHICLETYPE],
                    float amount);

  Kernel& kernel_;
  int origin_;
  RoadObject* subsources_[MAX_KAVROLANE] = {};
  OriginDemand demand_;
  float laneFlow_[MAX_KAVROLANE][MAXVEHICLETYPE] = {};  // [veh/h]
  int lastStep_ = -1;
};
