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
  /// Harmonic mean speed of the counted vehicles [km/h]; -1 when none were counted.
  float HarmonicSpeed(int period, int lane, int type) const;
  /// Travel times from the previous detector [s] (-1 for a period never reached) and their
  /// number.
  float TravelTimeSum(int period, int lane, int type) const;
  int TravelTimeCount(int period, int lane, int type) const;
  /// Lane changes completed downstream of the detector, all and by direction.
  int LaneChanges(int period) const;
  int LaneChangesLeft(int period) const;
  int LaneChangesRight(int period) const;
  /// Counts a completed lane change in the current period; a state of 0 or below is one to
  /// the left.
  void CountLaneChange(int state);
  /// The aggregation period of a step.
  static int PeriodOfStep(int step, int firstPeriodEnd, int periodLength);

 private:
  // A failed KAVRO_ASSERT here stops the kernel that owns this object.
  void AssertionFailed(const char* condition, const char* file, int line) const;
  bool GrowTo(int period);
  bool HasCell(int period, int lane, int type) const;
};
