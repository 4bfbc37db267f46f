#pragma once

#include "shell/DetectorSample.h"

class KDConfig;

// Where a detector's period data sit in time and space, for the quantities that need it.
struct DetectorValueContext {
  int FirstTime = 0;  // end of the first detector period [s]
  int Interval = 0;   // length of every later period [s]
  float Gap = 0;      // distance to the next detector upstream [m]
};

/// The context of detector `detector` in `config`: the detector times and the distance to the
/// detector upstream (the position of detector k plus 1 when there is none upstream).
DetectorValueContext DetectorContext(const KDConfig& config, int detector);

/// One quantity of a detector period, per lane and over the cross-section. `scaleId` is one of
/// 'q' flow [veh/h], 'k' density [veh/km], 'u' speed [km/h], 'T' travel time [s], 'v' travel
/// speed [km/h] and 't' time [s]. Fills perLane[0 .. lanes-1] and returns the aggregate; values
/// below 0 mean no data. q and k aggregates are divided by `divisor`; a period length of 0
/// counts as 1 s. A period or detector the store lacks reads as an empty record.
float ComputeDetectorValues(const DetectorSampleStore& store, char scaleId, int period,
                            int detector, float* perLane, int divisor, int lanes, int periodLength,
                            const DetectorValueContext& context);
