#include "roadview/FurnitureEditing.h"

#include <cstdio>
#include <vector>

#include "config/KDConfig.h"

int DetectorAt(const KDConfig& config, int position) {
  for (int d = 0; d < config.DetectorCount(); ++d)
    if (config.DetectorPosition(d) == position) return d;
  return -1;
}

int FirstFreeDetectorPosition(const KDConfig& config) {
  std::vector<bool> taken(static_cast<std::size_t>(config.Length()) + 1, false);
  for (int d = 0; d < config.DetectorCount(); ++d) {
    const int p = config.DetectorPosition(d);
    if (p >= 0 && p <= config.Length()) taken[static_cast<std::size_t>(p)] = true;
  }
  int p = 1;
  while (p < config.Length() && taken[static_cast<std::size_t>(p)]) ++p;
  return p;
}

bool ScanPosition(const std::string& text, int& value) {
  int v = 0;
  int consumed = 0;
  if (std::sscanf(text.c_str(), "%d%n", &v, &consumed) != 1) return false;
  for (std::size_t i = static_cast<std::size_t>(consumed); i < text.size(); ++i)
    if (text[i] != ' ') return false;
  value = v;
  return true;
}

bool DetectorPositionUsable(const KDConfig& config, const std::string& text, int& position) {
  int p = 0;
  if (!ScanPosition(text, p)) return false;
  if (p <= 0 || p >= config.Length() || DetectorAt(config, p) >= 0) return false;
  if (!config.DetectorPositionValid(p)) return false;
  position = p;
  return true;
}

bool EveryDistanceUsable(const KDConfig& config, const std::string& text, int& distance) {
  int n = 0;
  if (!ScanPosition(text, n) || n <= 9 || n >= config.Length()) return false;
  distance = n;
  return true;
}

int AddDetectorsEvery(KDConfig& config, int distance) {
  if (distance <= 9) return 0;
  int added = 0;
  for (int p = distance; p < config.Length(); p += distance)
    if (DetectorAt(config, p) < 0 && config.DetectorPositionValid(p)) {
      config.AddDetector(p);
      ++added;
    }
  return added;
}

int AddDetectorsCentred(KDConfig& config) {
  int added = 0;
  for (int s = config.Boundaries(); s >= 0; --s) {
    const int p = (config.SectionPos(s, WHENCE_BEGIN) + config.SectionPos(s, WHENCE_END)) / 2;
    if (DetectorAt(config, p) < 0 && config.DetectorPositionValid(p)) {
      config.AddDetector(p);
      ++added;
    }
  }
  return added;
}

int MoveDetector(KDConfig& config, int n, int position) {
  if (n < 0 || n >= config.DetectorCount()) return -1;
  if (position <= 0 || position >= config.Length() || DetectorAt(config, position) >= 0 ||
      !config.DetectorPositionValid(position))
    return -1;
  config.DeleteDetector(n);
  config.AddDetector(position);
  return DetectorAt(config, position);
}

LightFields LightFieldsOf(const KDConfig& config, int n) {
  LightFields f;
  f.position = config.TrafficLightPosition(n);
  f.lane = config.TrafficLightLane(n);
  f.cycle = config.TrafficLightCycleTime(n);
  f.green = config.TrafficLightGreenTime(n);
  f.yellow = config.TrafficLightYellowTime(n);
  f.offset = config.TrafficLightStartOffset(n);
  return f;
}

std::string LightFieldsProblem(const KDConfig& config, int n, const LightFields& f) {
  // A light driven by a controller has no times of its own to edit.
  if (n >= 0 && n < config.TrafficLightCount() && !config.TrafficLightController(n).empty())
    return "The light is driven by its controller";
  if (f.position <= 0 || f.position >= config.Length()) return "Position outside the road";
  for (int i = 0; i < config.TrafficLightCount(); ++i)
    if (i != n && config.TrafficLightPosition(i) == f.position &&
        config.TrafficLightLane(i) == f.lane)
      return "Another traffic light stands there";
  if (f.green <= 0) return "Green time must be above 0";
  if (f.yellow <= 0) return "Yellow time must be above 0";
  if (f.green + f.yellow >= f.cycle) return "Green and yellow time must be below the cycle time";
  if (f.offset < 0) return "Offset must not be negative";
  if (f.lane < 0 || f.lane >= MAX_KAVROLANE) return "Bad lane";
  if (!config.TrafficLightValid("", f.position, f.lane, f.cycle, f.green, f.yellow, f.offset))
    return "Not a valid traffic light";
  return {};
}

bool LightFieldsDiffer(const KDConfig& config, int n, const LightFields& f) {
  const LightFields stored = LightFieldsOf(config, n);
  return f.position != stored.position || f.lane != stored.lane || f.cycle != stored.cycle ||
         f.green != stored.green || f.yellow != stored.yellow || f.offset != stored.offset;
}

int FirstFreeLightPosition(const KDConfig& config) {
  int i = 1;
  for (;;) {
    bool taken = false;
    for (int n = 0; n < config.TrafficLightCount(); ++n)
      if (config.TrafficLightLane(n) == 0 && config.TrafficLightPosition(n) == i) taken = true;
    if (!taken || i >= config.Length()) return i;
    ++i;
  }
}

std::string LightListEntry(const KDConfig& config, int n) {
  return std::to_string(n + 1) + ": position " + std::to_string(config.TrafficLightPosition(n)) +
         "m lane " + std::to_string(config.TrafficLightLane(n) + 1);
}
