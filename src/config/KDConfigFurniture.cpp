#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/RoadTypes.h"

// Detectors, traffic lights, lane detectors and the temporarily closed lane. The teleport
// lists live in KDConfigTeleports.cpp.

namespace {

// A controller name is given (non-empty) and short enough for the file formats.
bool ValidControllerName(const std::string& controller) {
  return !controller.empty() &&
         controller.size() <= static_cast<std::size_t>(KDConfig::MAXCONTROLLERNAME);
}

// A traffic light's controller is one word of its line in the configuration file, and "|"
// there stands for no controller.
bool ValidLightController(const std::string& controller) {
  if (!ValidControllerName(controller) || controller == "|") return false;
  return controller.find_first_of(std::string(" \t\r\n\v\f\0", 7)) == std::string::npos;
}

bool ValidLightLane(int lane) { return lane >= 0 && lane < MAX_KAVROLANE; }

}  // namespace

void KDConfig::InitFurniture() {
  detectors_.clear();
  detectorAreas_.clear();
  detectorFirstTime_ = 300;
  detectorInterval_ = 300;
  trafficLights_.clear();
  laneDetectors_.clear();
  tempClosedArea_ = TempClosedAreaInfo();
  for (int i = 0; i < MAXTELEPORT; ++i) {
    teleportin_[i] = ::TeleportRecord();
    teleportout_[i] = ::TeleportRecord();
  }
  teleportincount_ = 0;
  teleportoutcount_ = 0;
}

// ---- Detectors -------------------------------------------------------------------------

int KDConfig::DetectorCount() const { return static_cast<int>(detectors_.size()); }

int KDConfig::DetectorPosition(int n) const {
  if (n < 0 || n >= DetectorCount()) return -1;
  return detectors_[n];
}

bool KDConfig::DetectorPositionValid(int position) const {
  // The detectors are ordered from downstream.
  return position > 0 && position < Length() && DetectorCount() < MAXDETECTORS &&
         !std::binary_search(detectors_.begin(), detectors_.end(), position, std::greater<int>());
}

void KDConfig::AddDetector(int position) {
  if (position <= 0 || position >= Length() || DetectorCount() >= MAXDETECTORS) {
    ProgramError(Format("KDConfig::AddDetector: bad Distance: %d", position));
    return;
  }
  const auto same = std::find(detectors_.begin(), detectors_.end(), position);
  if (same != detectors_.end()) {
    ProgramError(Format("KDConfig::AddDetector: Distance %d collides with existing detector %d",
                        position, static_cast<int>(same - detectors_.begin())));
    return;
  }
  if (ProgramMode() == DOVEL) {
    // The external model holds at most 10 detectors per section; more are dropped quietly.
    const int section = SectionAt(static_cast<float>(position));
    const auto inSection = std::count_if(detectors_.begin(), detectors_.end(), [&](int p) {
      return SectionAt(static_cast<float>(p)) == section;
    });
    if (inSection >= 10) return;
  }
  // Detector 0 is the most downstream one: the new detector goes before the first one
  // upstream of it.
  const auto at =
      std::find_if(detectors_.begin(), detectors_.end(), [&](int p) { return p < position; });
  const auto index = at - detectors_.begin();
  detectors_.insert(at, position);
  detectorAreas_.insert(detectorAreas_.begin() + index, DetectorArea());
  if (ProgramMode() == DOVEL) SendDetectorsToModel();
  Touch();
}

void KDConfig::DeleteDetector(int n) {
  if (n < 0 || n >= DetectorCount()) {
    ProgramError(Format("KDConfig::DeleteDetector: bad DetectorNo: %d", n));
    return;
  }
  detectors_.erase(detectors_.begin() + n);
  detectorAreas_.erase(detectorAreas_.begin() + n);
  // The external model measures at its own copy of the detectors: it must lose this one too.
  if (ProgramMode() == DOVEL) SendDetectorsToModel();
  Touch();
}

void KDConfig::SetDetectorTimes(int firstTime, int interval) {
  if (firstTime < 0 || interval < 0) {
    ProgramError(Format("KDConfig::SetDetectorTimes: bad FirstTime (%d) or DeltaTime (%d)",
                        firstTime, interval));
    return;
  }
  detectorFirstTime_ = firstTime;
  detectorInterval_ = interval;
  Touch();
}

int KDConfig::DetectorTime(int n) const {
  if (n < 0) return -1;
  // Long runs with short intervals must not wrap around into negative times.
  const std::int64_t time = detectorFirstTime_ + static_cast<std::int64_t>(n) * detectorInterval_;
  return static_cast<int>(std::min<std::int64_t>(time, INT_MAX));
}

KDConfig::DetectorArea KDConfig::DetectorDisplayArea(int n) const {
  if (n < 0 || n >= static_cast<int>(detectorAreas_.size())) return DetectorArea();
  return detectorAreas_[n];
}

void KDConfig::SetDetectorDisplayArea(int n, int x, int halfWidth) const {
  if (n < 0 || n >= static_cast<int>(detectorAreas_.size())) {
    ProgramError(Format("KDConfig::SetDetectorDisplayArea: bad DetectorNo: %d", n));
    return;
  }
  detectorAreas_[n] = DetectorArea{x, halfWidth};
}

// ---- Traffic lights --------------------------------------------------------------------

int KDConfig::TrafficLightCount() const { return static_cast<int>(trafficLights_.size()); }

bool KDConfig::CheckTrafficLightNo(const char* operation, int n) const {
  if (n >= 0 && n < TrafficLightCount()) return true;
  ProgramError(Format("KDConfig::%s: bad TrafficLightNo=%d allowed range is 0..%d", operation, n,
                      TrafficLightCount() - 1));
  return false;
}

bool KDConfig::TrafficLightValid(const std::string& controller, int position, int lane, int cycle,
                                 int green, int yellow, int offset) const {
  if (position < 0 || position > Length() || !ValidLightLane(lane)) return false;
  if (!controller.empty())
    return ValidLightController(controller) && cycle == 0 && green == 0 && yellow == 0 &&
           offset == 0;
  return green > 0 && yellow > 0 &&
         static_cast<std::int64_t>(green) + yellow < static_cast<std::int64_t>(cycle) &&
         offset >= 0;
}

void KDConfig::AddTrafficLight(const std::string& controller, int position, int lane, int number,
                               int cycle, int green, int yellow, int offset) {
  // The new light takes the next number; a refused light must not leave an empty record
  // behind, so the values are checked before the list grows.
  const int n = TrafficLightCount();
  if (!TrafficLightValid(controller, position, lane, cycle, green, yellow, offset)) {
    ProgramError(
        Format("KDConfig::ModifyTrafficLight: TrafficLightNo = %d Controller=\"%s\", Position=%d, "
               "Lane=%d",
               n, controller.c_str(), position, lane));
    return;
  }
  trafficLights_.emplace_back();
  ModifyTrafficLight(n, controller, position, lane, number, cycle, green, yellow, offset);
}

void KDConfig::ModifyTrafficLight(int n, const std::string& controller, int position, int lane,
                                  int number, int cycle, int green, int yellow, int offset) {
  if (n < 0 || n >= TrafficLightCount() ||
      !TrafficLightValid(controller, position, lane, cycle, green, yellow, offset)) {
    ProgramError(
        Format("KDConfig::ModifyTrafficLight: TrafficLightNo = %d Controller=\"%s\", Position=%d, "
               "Lane=%d",
               n, controller.c_str(), position, lane));
    return;
  }
  TrafficLight& light = trafficLights_[n];
  light.controller = controller;
  light.position = position;
  light.lane = lane;
  light.number = number;
  light.state = TRAFFICLIGHT_IDLE;
  light.cycle = cycle;
  light.green = green;
  light.yellow = yellow;
  light.offset = offset;
  Touch();
}

void KDConfig::DeleteTrafficLight(int n) {
  if (!CheckTrafficLightNo("DeleteTrafficLight", n)) return;
  trafficLights_.erase(trafficLights_.begin() + n);
  Touch();
}

std::string KDConfig::TrafficLightController(int n) const {
  if (!CheckTrafficLightNo("TrafficLightController", n)) return std::string();
  return trafficLights_[n].controller;
}

int KDConfig::TrafficLightPosition(int n) const {
  return CheckTrafficLightNo("TrafficLightPosition", n) ? trafficLights_[n].position : -1;
}

int KDConfig::TrafficLightLane(int n) const {
  return CheckTrafficLightNo("TrafficLightLane", n) ? trafficLights_[n].lane : -1;
}

int KDConfig::TrafficLightNumber(int n) const {
  return CheckTrafficLightNo("TrafficLightNumber", n) ? trafficLights_[n].number : -1;
}

int KDConfig::TrafficLightState(int n) const {
  return CheckTrafficLightNo("TrafficLightState", n) ? trafficLights_[n].state : -1;
}

int KDConfig::TrafficLightCycleTime(int n) const {
  return CheckTrafficLightNo("TrafficLightCycleTime", n) ? trafficLights_[n].cycle : -1;
}

int KDConfig::TrafficLightGreenTime(int n) const {
  return CheckTrafficLightNo("TrafficLightGreenTime", n) ? trafficLights_[n].green : -1;
}

int KDConfig::TrafficLightYellowTime(int n) const {
  return CheckTrafficLightNo("TrafficLightYellowTime", n) ? trafficLights_[n].yellow : -1;
}

int KDConfig::TrafficLightStartOffset(int n) const {
  return CheckTrafficLightNo("TrafficLightStartOffset", n) ? trafficLights_[n].offset : -1;
}

void KDConfig::SetTrafficLightState(int n, int state) const {
  if (n < 0 || n >= TrafficLightCount() || state < TRAFFICLIGHT_IDLE ||
      state > TRAFFICLIGHT_YELLOW) {
    ProgramError(Format(
        "KDConfig::TrafficLightController: bad TrafficLightNo=%d allowed range is 0..%d, or bad "
        "NewState=%d",
        n, TrafficLightCount() - 1, state));
    return;
  }
  trafficLights_[n].state = state;
}

void KDConfig::MoveTrafficLightsForSectionLength(int end, int delta) {
  // Lights at or downstream of the section's end travel with it. When the road gets shorter
  // (delta <= 0, called before the boundaries move, so Length() is still the old length) a
  // light upstream of `end` keeps its position and is deleted when the new road end falls
  // upstream of it; a light that travels always stays on the road.
  const int newLength = delta <= 0 ? Length() + delta : Length();
  for (int n = TrafficLightCount() - 1; n >= 0; --n) {
    TrafficLight& light = trafficLights_[n];
    if (light.position >= end)
      light.position += delta;
    else if (light.position > newLength)
      trafficLights_.erase(trafficLights_.begin() + n);
  }
}

// ---- Lane detectors --------------------------------------------------------------------

int KDConfig::LaneDetectorCount() const { return static_cast<int>(laneDetectors_.size()); }

bool KDConfig::CheckLaneDetectorNo(const char* operation, int n) const {
  if (n >= 0 && n < LaneDetectorCount()) return true;
  ProgramError(Format("KDConfig::%s: bad LaneDetectorNo=%d allowed range is 0..%d", operation, n,
                      LaneDetectorCount() - 1));
  return false;
}

bool KDConfig::LaneDetectorValid(const std::string& controller, int position, int length,
                                 int lane) const {
  return length > 0 && static_cast<std::int64_t>(position) - length >= 0 && position <= Length() &&
         ValidLightLane(lane) && ValidControllerName(controller);
}

void KDConfig::AddLaneDetector(const std::string& controller, int position, int length, int lane,
                               int number) {
  if (!LaneDetectorValid(controller, position, length, lane)) {
    ProgramError(
        Format("KDConfig::AddLaneDetector: Controller=\"%s\", Position=%d, Length=%d, Lane=%d",
               controller.c_str(), position, length, lane));
    return;
  }
  laneDetectors_.push_back(
      LaneDetector{controller, position, length, lane, number, LANEDETECTOR_FREE});
  Touch();
}

std::string KDConfig::LaneDetectorController(int n) const {
  if (!CheckLaneDetectorNo("LaneDetectorController", n)) return std::string();
  return laneDetectors_[n].controller;
}

int KDConfig::LaneDetectorPosition(int n) const {
  return CheckLaneDetectorNo("LaneDetectorPosition", n) ? laneDetectors_[n].position : -1;
}

int KDConfig::LaneDetectorLength(int n) const {
  return CheckLaneDetectorNo("LaneDetectorLength", n) ? laneDetectors_[n].length : -1;
}

int KDConfig::LaneDetectorLane(int n) const {
  return CheckLaneDetectorNo("LaneDetectorLane", n) ? laneDetectors_[n].lane : -1;
}

int KDConfig::LaneDetectorNumber(int n) const {
  return CheckLaneDetectorNo("LaneDetectorNumber", n) ? laneDetectors_[n].number : -1;
}

int KDConfig::LaneDetectorState(int n) const {
  return CheckLaneDetectorNo("LaneDetectorState", n) ? laneDetectors_[n].state : -1;
}

void KDConfig::SetLaneDetectorState(int n, int state) const {
  if (n < 0 || n >= LaneDetectorCount() ||
      (state != LANEDETECTOR_FREE && state != LANEDETECTOR_OCCUPIED)) {
    ProgramError(
        Format("KDConfig::SetLaneDetectorState: bad LaneDetectorNo=%d or Newstate=%d", n, state));
    return;
  }
  laneDetectors_[n].state = state;
}

// ---- Temporarily closed lane -----------------------------------------------------------

KDConfig::TempClosedAreaInfo KDConfig::TempClosedArea() const { return tempClosedArea_; }

bool KDConfig::TempClosedAreaValid(const TempClosedAreaInfo& area) const {
  if (area.end == 0) return true;
  return area.lane >= 0 && area.lane < MAX_KAVROLANE &&
         static_cast<std::int64_t>(area.end) - area.length - area.voluntaryLength >= 0 &&
         area.end <= Length() && area.length >= 0 && area.voluntaryLength >= 0 && area.t1 >= 0 &&
         area.t1 < area.t2 && area.t2 < area.t3;
}

void KDConfig::SetTempClosedArea(int lane, int end, int length, int voluntaryLength, int t1, int t2,
                                 int t3) {
  // The kernel turns the area into a lane change area of this lane, so an area the road cannot
  // hold is refused here as well as by the readers.
  const TempClosedAreaInfo area{lane, end, length, voluntaryLength, t1, t2, t3};
  if (!TempClosedAreaValid(area)) {
    ProgramError(
        Format("KDConfig::SetTempClosedArea: bad Lane=%d, End=%d, Length=%d, VoluntaryLength=%d, "
               "T1=%d, T2=%d, T3=%d",
               lane, end, length, voluntaryLength, t1, t2, t3));
    return;
  }
  tempClosedArea_ = area;
  Touch();
}

// ---- Road end --------------------------------------------------------------------------

void KDConfig::PurgeDetectorsBeyondLength() {
  // Detector 0 is the most downstream one.
  while (!detectors_.empty() && detectors_.front() >= Length()) {
    detectors_.erase(detectors_.begin());
    detectorAreas_.erase(detectorAreas_.begin());
  }
  // What a shorter road can no longer hold goes with the detectors: lights and lane detectors
  // beyond the road end and a closure that ends beyond it (a saved file with them would not
  // read back).
  std::erase_if(trafficLights_, [&](const TrafficLight& l) { return l.position > Length(); });
  std::erase_if(laneDetectors_, [&](const LaneDetector& d) { return d.position > Length(); });
  if (tempClosedArea_.end > Length()) tempClosedArea_ = TempClosedAreaInfo();
}
