#include "shell/RunSettings.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/TextChars.h"
#include "kernel/KernelMath.h"
#include "shell/RunController.h"

namespace {}  // namespace

const std::vector<std::string> kStepsPerSecondEntries = {"1", "2"};
const std::vector<std::string> kDetectorStartEntries = {"60", "300", "600", "900", "1200"};
const std::vector<std::string> kDetectorRepeatEntries = {
    "30", "60", "120", "180", "240", "300", "600", "900", "1200", "1800", "2400", "3600"};

FilteredField KeepLeadingDigits(const std::string& text) {
  std::string::size_type n = 0;
  while (n < text.size() && IsDigit(text[n])) ++n;
  return {text.substr(0, n), n < text.size()};
}

FilteredField FilterStopTime(const std::string& text) {
  FilteredField field = KeepLeadingDigits(text);
  if (field.Text.size() > 5) {
    field.Text.resize(5);
    field.Refused = true;
  }
  return field;
}

std::optional<int> ScanInteger(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(begin, &end, 10);
  if (end == begin || errno == ERANGE || value < INT_MIN || value > INT_MAX) return std::nullopt;
  while (*end != '\0' && std::isspace(static_cast<unsigned char>(*end))) ++end;
  if (*end != '\0') return std::nullopt;
  return static_cast<int>(value);
}

std::optional<int> SeedToStore(const std::string& text, int currentSeed) {
  const std::optional<int> seed = ScanInteger(text);
  if (!seed || *seed <= 0 || *seed % 2 == 0 || *seed == currentSeed) return std::nullopt;
  return seed;
}

bool SeedFieldAcceptable(const std::string& text) {
  const std::optional<int> seed = ScanInteger(text);
  return seed && *seed >= 0 && *seed % 2 == 1;
}

std::string SeedAdjustedMessage(int seed) {
  return "Random seed must be an odd number\r\n" + Format("Random seed adjusted to %d.", seed);
}

std::optional<DetectorTimes> DetectorTimesToStore(const std::string& firstText,
                                                  const std::string& repeatText,
                                                  const KDConfig& config) {
  const DetectorTimes current{config.DetectorTime(0),
                              config.DetectorTime(1) - config.DetectorTime(0)};
  DetectorTimes wanted = current;
  if (const std::optional<int> first = ScanInteger(firstText)) wanted.First = *first;
  if (const std::optional<int> repeat = ScanInteger(repeatText)) wanted.Repeat = *repeat;
  if (wanted.First < 0 || wanted.Repeat < 0) return std::nullopt;
  if (wanted.First == current.First && wanted.Repeat == current.Repeat) return std::nullopt;
  return wanted;
}

int ShownDetectorRepeat(const KDConfig& config) {
  const int first = config.DetectorTime(0);
  const int repeat = config.DetectorTime(1) - first;
  return first + repeat < 1 ? 0 : repeat;
}

std::optional<int> StopTimeToStore(const std::string& text, const KDConfig& config) {
  const std::optional<int> time = ScanInteger(text);
  if (!time || *time <= 0 || *time == config.MaxTime()) return std::nullopt;
  return time;
}

std::vector<std::string> SimulationSpeedEntries(const std::string& maximumText) {
  return {"10%", "30%", "100%", "300%", "1000%", "3000%", "10000%", maximumText};
}

std::vector<std::string> RedrawRateEntries(const std::string& everyStepText,
                                           const std::string& everyNText) {
  std::vector<std::string> entries = {everyStepText};
  for (int k = 1; k <= 2; ++k) {
    const int n = Truncate(std::pow(10.0, k) + 0.1);
    // The text comes from the text table and may be patched, so only its first "%d" is filled
    // and no other directive is ever read.
    std::string entry = everyNText;
    if (const auto at = entry.find("%d"); at != std::string::npos)
      entry.replace(at, 2, std::to_string(n));
    entries.push_back(entry);
  }
  return entries;
}

float SpeedDelayForEntry(int entry) {
  if (entry < 0 || entry >= kMaximumSpeedEntry) return 0;
  float delay = static_cast<float>(1 / std::pow(10.0, entry / 2 - 1));
  if (entry % 2 == 1) delay *= 0.3f;
  return delay;
}

int RedrawEveryForEntry(int entry) {
  if (entry <= 0) return 1;
  return Truncate(std::pow(10.0, entry > 2 ? 2 : entry) + 0.1);
}

int StepsPerSecondEntry(float timeStep) { return Truncate(1 / timeStep + 0.0001) >= 2 ? 1 : 0; }

RunButtons RunButtonsFor(const RunState& state, const KDConfig& config) {
  RunButtons buttons;
  buttons.RunVisible = !state.Running;
  buttons.RunEnabled = buttons.RunVisible &&
                       state.StepCount < static_cast<double>(config.MaxTime()) / config.TimeStep();
  buttons.StepEnabled = buttons.RunEnabled && !state.Running;
  buttons.ResetEnabled = state.StepCount >= 1 && !state.Running;
  return buttons;
}

std::string SimulatorTimeText(int stepCount, int stepsPerSecond) {
  return Format("%.1f", static_cast<double>(stepCount) / (stepsPerSecond > 0 ? stepsPerSecond : 1));
}
