#pragma once

#include <cstdint>
#include <vector>

#include "config/ProgramMode.h"

// One detector's data for one detector period, as the detector graphs and result files read
// it. Lanes are indexed 0 (median lane) to 11. The record is 49 words, like the files and
// windows that share it expect.
struct DetectorSample {
  int LaneChanges = 0;                      // lane changes counted at the detector
  int Count[MAX_KAVROLANE] = {};            // vehicles that passed per lane
  float Speed[MAX_KAVROLANE] = {};          // their harmonic mean speed [km/h]; -1 when none
  float TravelTimeSum[MAX_KAVROLANE] = {};  // [s] from the previous detector
  int TravelTimeCount[MAX_KAVROLANE] = {};  // vehicles summed in TravelTimeSum
};
static_assert(sizeof(DetectorSample) == 49 * 4, "a detector sample is 49 words");

// The detector sample store: record (p * NumDetectors + k) holds period p of detector k. It
// keeps the last run's data until the first detector output of a new run.
class DetectorSampleStore {
 public:
  /// Starts a run with `numDetectors` detectors; the records stay until the first new period.
  void StartRun(int numDetectors);
  /// Adds a period of zero records; false (store unchanged) when memory runs out.
  bool AddPeriod();

  int NumDetectors() const { return numDetectors_; }
  int PeriodCount() const { return periodCount_; }
  /// The record of period p and detector k; none outside the collected periods.
  const DetectorSample* Record(int period, int detector) const;
  DetectorSample* Record(int period, int detector);

 private:
  std::vector<DetectorSample> records_;
  int numDetectors_ = 0;
  int periodCount_ = 0;
};
