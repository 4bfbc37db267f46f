#include "kernel/DetectorInfo.h"
#include "kernel/Kernel.h"

// The detector's accumulators as result files and graphs read them. Lane -1 sums the lanes
// and vehicle type -1 the types; a lane or type outside the road, or a period the detector
// never reached, holds nothing.

namespace {

bool Includes(int wanted, int index) { return wanted == -1 || wanted == index; }

}  // namespace

bool DetectorInfo::HasCell(int period, int lane, int type) const {
  return period >= 0 && period <= highestPeriod && lane >= -1 && lane < MAX_KAVROLANE &&
         type >= -1 && type < MAXVEHICLETYPE;
}

float DetectorInfo::HarmonicSpeed(int period, int lane, int type) const {
  if (!HasCell(period, lane, type)) return -1;
  const DetectorPeriod& record = periods[period];
  int count = 0;
  float inverseSpeeds = 0;  // [s/km]
  for (int l = 0; l < MAX_KAVROLANE; ++l) {
    if (!Includes(lane, l)) continue;
    for (int k = 0; k < MAXVEHICLETYPE; ++k) {
      if (!Includes(type, k) || record.count[l][k] <= 0) continue;
      count += record.count[l][k];
      inverseSpeeds += record.inverseSpeedSum[l][k];
    }
  }
  if (count == 0 || !(inverseSpeeds > 0)) return -1;
  return count * 3600.0f / inverseSpeeds;  // [km/h]
}

float DetectorInfo::TravelTimeSum(int period, int lane, int type) const {
  if (!HasCell(period, lane, type)) return -1;
  float sum = 0;  // [s]
  for (int l = 0; l < MAX_KAVROLANE; ++l)
    for (int k = 0; k < MAXVEHICLETYPE; ++k)
      if (Includes(lane, l) && Includes(type, k)) sum += periods[period].travelTimeSum[l][k];
  return sum;
}

int DetectorInfo::TravelTimeCount(int period, int lane, int type) const {
  if (!HasCell(period, lane, type)) return 0;
  int count = 0;
  for (int l = 0; l < MAX_KAVROLANE; ++l)
    for (int k = 0; k < MAXVEHICLETYPE; ++k)
      if (Includes(lane, l) && Includes(type, k)) count += periods[period].travelTimeCount[l][k];
  return count;
}

int DetectorInfo::LaneChanges(int period) const {
  return HasCell(period, -1, -1) ? periods[period].laneChanges : 0;
}

int DetectorInfo::LaneChangesLeft(int period) const {
  return HasCell(period, -1, -1) ? periods[period].laneChangesLeft : 0;
}

int DetectorInfo::LaneChangesRight(int period) const {
  return HasCell(period, -1, -1) ? periods[period].laneChangesRight : 0;
}

void DetectorInfo::CountLaneChange(int state) {
  const Kernel& kernel = Owner()->Owner();
  int period = PeriodOfStep(kernel.StepCount(), kernel.DetectorFirstPeriodEnd(),
                            kernel.DetectorPeriodLength());
  if (!GrowTo(period)) return;  // out of memory: the change goes uncounted
  DetectorPeriod& record = periods[period];
  ++record.laneChanges;
  if (state <= 0)
    ++record.laneChangesLeft;
  else
    ++record.laneChangesRight;
}
