#include "kernel/DetectorInfo.h"

#include <algorithm>
#include <new>

#include "config/ProgramError.h"
#include "kernel/Kernel.h"

int DetectorInfo::PeriodOfStep(int step, int firstPeriodEnd, int periodLength) {
  if (step < firstPeriodEnd || periodLength <= 0) return 0;
  return (step - firstPeriodEnd) / periodLength + 1;
}

bool DetectorInfo::GrowTo(int period) {
  if (period <= highestPeriod) return true;
  try {
    periods.resize(static_cast<std::size_t>(period) + 1);
  } catch (const std::bad_alloc&) {
    return false;
  }
  highestPeriod = period;
  return true;
}

void DetectorInfo::AddSample(RoadObject* vehicle) {
  Kernel& kernel = Owner()->Owner();
  VehicleInfo& info = *vehicle->Vehicle();
  int period = PeriodOfStep(kernel.StepCount(), kernel.DetectorFirstPeriodEnd(),
                            kernel.DetectorPeriodLength());
  if (!GrowTo(period)) return;  // out of memory: the sample is dropped
  int lane = vehicle->Lane();
  int type = vehicle->Type() - RO_VEHICLE;
  float time = 0, speed = 0;
  if (!KAVRO_ASSERT(kernel.FindPassingTimeAndSpeed(vehicle, Owner()->Position(), &time, &speed)))
    return;
  kernel.TraceDetectorPassage(vehicle, Owner(), time, speed);
  if (type < 0 || type >= MAXVEHICLETYPE) {
    kernel.KernelMessage(KernelCause::ProgramError, "DetectorInfo::AddSample",
                         "Vehicle %p has illegal type (%d)", static_cast<void*>(vehicle), type);
    return;
  }
  DetectorPeriod& record = periods[period];
  record.count[lane][type] += 1;
  if (info.lastDetectorTime != 0) {
    record.travelTimeCount[lane][type] += 1;
    record.travelTimeSum[lane][type] += time - info.lastDetectorTime;
  }
  // Inverse speed over the step's move [s/km]; a vehicle that hardly moved counts as
  // having moved 0.1 m.
  float moved = std::max(vehicle->Position() - info.previousPosition, 0.1f);
  record.inverseSpeedSum[lane][type] += 1000 / moved / kernel.StepsPerSecond();
  info.lastDetectorTime = time;
}

int DetectorInfo::VehicleCount(int period, int lane, int type) const {
  if (period < 0 || period > highestPeriod || lane < -1 || lane >= MAX_KAVROLANE) return 0;
  int total = 0;
  for (int l = 0; l < MAX_KAVROLANE; ++l) {
    if (lane != -1 && l != lane) continue;
    for (int k = 0; k < MAXVEHICLETYPE; ++k)
      if (type == -1 || k == type) total += periods[period].count[l][k];
  }
  return total;
}

void DetectorInfo::AssertionFailed(const char* condition, const char* file, int line) const {
  Owner()->Owner().AssertionFailed(condition, file, line);
}
