#pragma once

#include "kernel/RoadObject.h"

// The accumulators of a cross-section detector over all lanes, per aggregation period.
class DetectorInfo : public RoadObjectExtras {
 public:
  using RoadObjectExtras::RoadObjectExtras;
  int highestPeriod = -1;  // -1 while nothing has been recorded
};
