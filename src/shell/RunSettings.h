#pragma once

#include <optional>
#include <string>
#include <vector>

class KDConfig;
struct RunState;

// The run settings as the settings and run pages take them: key filtering of the fields and the
// values the lists stand for. No windows here, so the rules are tested without them.

/// A field after filtering: the text kept, and whether a key was refused (the page beeps and
/// puts the caret at the end).
struct FilteredField {
  std::string Text;
  bool Refused = false;
};

/// Everything from the first non-digit on is removed.
FilteredField KeepLeadingDigits(const std::string& text);

/// The stop time field: digits only, and at most five of them [s].
FilteredField FilterStopTime(const std::string& text);

/// The integer a whole field scans as (leading spaces and a sign allowed, trailing text not);
/// none when it does not scan or does not fit an int.
std::optional<int> ScanInteger(const std::string& text);

/// A typed random seed to store: an odd number different from `currentSeed`; none otherwise.
std::optional<int> SeedToStore(const std::string& text, int currentSeed);
/// True when a field being left holds an acceptable seed: an odd non-negative number.
bool SeedFieldAcceptable(const std::string& text);
/// "Random seed must be an odd number\r\nRandom seed adjusted to %d."
std::string SeedAdjustedMessage(int seed);

/// The detector times a change of the two fields asks for [s]; a field that does not scan
/// keeps the configuration's value. None when nothing changes or a time would be negative.
struct DetectorTimes {
  int First = 0;
  int Repeat = 0;
};
std::optional<DetectorTimes> DetectorTimesToStore(const std::string& firstText,
                                                  const std::string& repeatText,
                                                  const KDConfig& config);
/// The repeat value the page shows: 0 when the first output time + repeat is below 1 [s].
int ShownDetectorRepeat(const KDConfig& config);

/// A stop time to store [s]: positive and different from the configuration's; none otherwise.
std::optional<int> StopTimeToStore(const std::string& text, const KDConfig& config);

/// The entries of the lists of the pages.
extern const std::vector<std::string> kStepsPerSecondEntries;  // "1", "2"
extern const std::vector<std::string> kDetectorStartEntries;
extern const std::vector<std::string> kDetectorRepeatEntries;
/// "10%" .. "10000%" and then `maximumText` ("Maximum"), the initial choice.
std::vector<std::string> SimulationSpeedEntries(const std::string& maximumText);
/// `everyStepText` ("Every step"), then `everyNText` ("Per %d steps") for 10 and 100.
std::vector<std::string> RedrawRateEntries(const std::string& everyStepText,
                                           const std::string& everyNText);
constexpr int kMaximumSpeedEntry = 7;

/// Wall-clock step durations to wait per step for speed entry i: 10, 3, 1, 0.3, 0.1, 0.03,
/// 0.01; 0 (no waiting) for "Maximum".
float SpeedDelayForEntry(int entry);
/// Steps between redraws for redraw entry i: 1, 10, 100.
int RedrawEveryForEntry(int entry);
/// The list index of a steps-per-second value for a time step [s]: 0 for 1 s, 1 for 0.5 s.
int StepsPerSecondEntry(float timeStep);

/// What the run page's buttons show for a run state.
struct RunButtons {
  bool RunVisible = true;
  bool RunEnabled = false;
  bool StepEnabled = false;
  bool ResetEnabled = false;
};
RunButtons RunButtonsFor(const RunState& state, const KDConfig& config);

/// The simulated time shown on the run page: StepCount / StepsPerSecond as "%.1f" [s].
std::string SimulatorTimeText(int stepCount, int stepsPerSecond);
