#pragma once

#include <memory>

#include "config/KDConfig.h"

// A lane change area of one destination: vehicles bound for the destination that drive in
// `Lane` must change one lane (left or right) before `Position`; the change is required over
// the last `LengthRequired` metres and may be made voluntarily over the `LengthVoluntary`
// metres upstream of that. With a route choice group > 0 only a share of each vehicle type
// uses the area.
struct BHVSection {
  int Lane = 0;              // 0 = median lane
  int Position = 0;          // downstream end of the area [m from the upstream road end]
  int LengthRequired = 0;    // [m]
  int LengthVoluntary = 0;   // [m]
  bool MergeLeft = false;    // direction of the lane change
  int RouteChoiceGroup = 0;  // 0 = every vehicle; > 0 = group number; -1 = marked by the generator
  float Probability[MAXVEHICLETYPE] = {1, 1, 1, 1, 1, 1, 1, 1};  // share per vehicle type
  std::unique_ptr<BHVSection> Next;  // the next area of the same destination
};
