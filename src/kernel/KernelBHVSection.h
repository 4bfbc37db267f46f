#pragma once

#include "config/KDConfig.h"
#include "kernel/KernelTypes.h"

// A lane change area: vehicles (of one destination, or all) in its lane should leave the
// lane towards `mergeLeft ? lane - 1 : lane + 1`. Zones, upstream to downstream:
// voluntary [end - required - voluntary, end - required], required [end - required, end].
class KernelBHVSection {
 public:
  int destination = -1;  // sink number, or -1 for all vehicles
  int lane = 0;
  float end = 0;              // [m]
  float requiredLength = 0;   // [m]
  float voluntaryLength = 0;  // [m]
  bool mergeLeft = true;
  bool fullStrength = false;               // full urgency and no route choice
  bool laneDrop = false;                   // generated for the end of a taper
  int routeChoiceGroup = 0;                // 0 = none
  int timeWindow[3] = {-1, 0, 0};          // [s]; timeWindow[0] = -1: none
  float probability[MAXVEHICLETYPE] = {};  // per vehicle type, 0..1
  int indexInLane = 0;                     // place in the kernel's list of the lane (ascending end)
};
