#pragma once

#include <vector>

#include "config/KDConfig.h"
#include "kernel/RoadObject.h"

// What a detector recorded in one aggregation period, per lane and vehicle type.
struct DetectorPeriod {
  int count[MAX_KAVROLANE][MAXVEHICLETYPE] = {};
  float inverseSpeedSum[MAX_KAVROLANE][MAXVEHICLETYPE] = {};  // [s/km]
  float travelTimeSum[MAX_KAVROLANE][MAXVEHICLETYPE] = {};    // [s] from the previous detector
  int travelTimeCount[MAX_KAVROLANE][MAXVEHICLETYPE] = {};
  int laneChanges = 0;
  int laneChangesLeft = 0;
  int laneChangesRight = 0;
};

// The accumulators of a cross-section detector over all lanes, per aggregation period.
class DetectorInfo : public RoadObjectExtras {
 public:
  using RoadObjectExtras::RoadObjectExtras;
  int highestPeriod = -1;  // -1 while nothing has been recorded
  std::vector<DetectorPeriod> periods;

  /// Records a vehicle passing the detector in its move of this step (its new position,
  /// speed and acceleration already stored).
  void AddSample(RoadObject* vehicle);
  /// Vehicles counted in a period; lane -1 sums the lanes, type -1 the vehicle types.
  int VehicleCount(int period, int lane, int type) const;
  /// The aggregation period of a step.
  static int PeriodOfStep(int step, int firstPeriodEnd, int periodLength);

 private:
  bool GrowTo(int period);
};
