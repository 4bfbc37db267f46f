#include <algorithm>
#include <cstdio>
#include <cstring>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "kernel/Kernel.h"
#include "kernel/KernelMath.h"

// One time step: a sweep from the end of the road upstream, so that every vehicle decides
// after the vehicles and the furniture ahead of it were updated, then a sweep downstream that
// removes the arrived vehicles and closes the step.
bool Kernel::SimulateStep() {
  const char* where = "SimulateStep";
  if (!ready_) {
    KernelMessage(KernelCause::SimulatorError, where,
                  "KAVRO simulator kernel is not in ready state, please reset");
    return false;
  }
  if (endOfRoad_ == nullptr) {
    KernelMessage(KernelCause::ConfigurationError, where, "End of road undefined");
    return false;
  }
  if (currentPhysSection_ == nullptr) {
    RoadObject* boundary = endOfRoad_->LaneFollower();
    while (boundary != nullptr && boundary->Type() != RO_PHYSBOUNDARY)
      boundary = boundary->LaneFollower();
    currentPhysSection_ = boundary;
  }
  ResetLaneDetectors();
  std::fill(std::begin(lightRegister_), std::end(lightRegister_), nullptr);
  if (stepCount_ == 0) WriteTraceHeaders();

  inStep_ = true;
  bool completed = SweepUpstream();
  if (completed) SweepDownstream();
  inStep_ = false;
  std::fill(std::begin(lightRegister_), std::end(lightRegister_), nullptr);
  if (!completed) return false;
  ++stepCount_;

  for (RoadObject* detector = firstLaneDetector_; detector != nullptr;
       detector = detector->LaneLeader()) {
    int state = detector->LaneDetector()->count > 0 ? KDConfig::LANEDETECTOR_OCCUPIED
                                                    : KDConfig::LANEDETECTOR_FREE;
    if (observer_ != nullptr) observer_->LaneDetectorState(detector->Number(), state);
  }
  return ready_;
}

// The most downstream lane detector before the end of the road. Only objects other than
// vehicles change the order of the furniture, so the search is redone after such changes only:
// without lane detectors it walks the whole road.
RoadObject* Kernel::LastLaneDetector() {
  if (lastLaneDetectorLayout_ != layoutVersion_ || lastLaneDetectorEnd_ != endOfRoad_ ||
      !lastLaneDetectorKnown_) {
    lastLaneDetector_ = endOfRoad_ ? endOfRoad_->PreviousWithLane(LANE_LANEDETECTORS) : nullptr;
    lastLaneDetectorLayout_ = layoutVersion_;
    lastLaneDetectorEnd_ = endOfRoad_;
    lastLaneDetectorKnown_ = true;
  }
  return lastLaneDetector_;
}

void Kernel::ResetLaneDetectors() {
  RoadObject* last = LastLaneDetector();
  laneDetectorCursor_ = last;
  firstLaneDetector_ = last;
  longestLaneDetector_ = 0;
  for (RoadObject* detector = last; detector != nullptr; detector = detector->LaneFollower()) {
    LaneDetectorInfo& zone = *detector->LaneDetector();
    zone.count = 0;
    longestLaneDetector_ =
        std::max(longestLaneDetector_, zone.downstreamEnd - detector->Position());
    firstLaneDetector_ = detector;
  }
}

bool Kernel::SweepUpstream() {
  for (RoadObject* object = endOfRoad_; object != nullptr;) {
    RoadObject* upstream = object->Previous();  // taken first: the object may move
    if (object->Lane() >= 0 && currentPhysSection_ == nullptr) {
      KernelMessage(KernelCause::ConfigurationError, "SimulateStep", "CurrentPhysSection = %p",
                    static_cast<void*>(currentPhysSection_));
      return false;
    }
    switch (object->Type()) {
      case RO_SOURCE:
        DoSource(object);
        break;
      case RO_PHYSBOUNDARY:
        currentPhysSection_ = object->LaneFollower();
        break;
      case RO_TRAFFICLIGHT:
        TrafficLightStep(object);
        break;
      default:
        if (object->IsVehicle()) {
          DriveVehicle(object);
          VehicleInfo& info = *object->Vehicle();
          if (info.routeChoiceNumber != 0) {
            std::size_t used = std::strlen(info.statusText);
            std::snprintf(info.statusText + used, sizeof info.statusText - used, " %d %c",
                          info.routeChoiceNumber, info.routeChoiceLeft ? 'L' : 'R');
          }
        }
        break;
    }
    if (!ready_) return false;
    object = upstream;
  }
  return true;
}

void Kernel::SweepDownstream() {
  for (RoadObject* object = firstObject_; object != nullptr;) {
    RoadObject* downstream = object->Next();
    if (VehicleInfo* info = object->Vehicle()) {
      if (object->Number() < 0) {
        // Arrived at the sink it passed, which is now right behind it in its lane.
        RoadObject* sink = object->FollowerInLane();
        if (KAVRO_ASSERT(sink != nullptr) && KAVRO_ASSERT(sink->Type() == RO_SINK) &&
            sink->Number() != info->destination) {
          KernelMessage(KernelCause::SimulatorWarning, "Kav_step",
                        texts_.destinationNotReached.c_str(), -object->Number(),
                        DestinationName(sink->Number()).c_str(),
                        DestinationName(info->destination).c_str());
        }
        ++arrivedCount_;
        DestroyObject(object);
      } else {
        info->teleportOffset += info->stepTeleportOffset;
        info->stepTeleportOffset = 0;
        info->previousPosition = object->Position();
      }
    }
    object = downstream;
  }
}

// Fixed-time control: green at the start of each cycle (from the offset on), yellow after the
// green time, red after the yellow time. Drivers see green and yellow one second late.
void Kernel::TrafficLightStep(RoadObject* light) {
  TrafficLightInfo& info = *light->TrafficLight();
  if (info.lane >= 0 && info.lane < MAX_KAVROLANE) lightRegister_[info.lane] = light;
  if (info.countdown > 0) {
    --info.countdown;
    if (info.countdown == 0) info.seenState = info.state;
  }
  int t = stepCount_ / stepsPerSecond_;  // [s]
  if (stepCount_ % stepsPerSecond_ != 0 || t < info.startOffset || info.cycleTime <= 0) return;
  int c = (t - info.startOffset) % info.cycleTime;
  int state;
  if (c == 0)
    state = TL_GREEN;
  else if (c == info.greenTime)
    state = TL_YELLOW;
  else if (c == info.greenTime + info.yellowTime)
    state = TL_RED;
  else
    return;
  info.countdown = Truncate(stepsPerSecond_ * (state == TL_RED ? 0.0 : 1.0));
  info.state = state;
  if (info.countdown == 0) info.seenState = state;
  if (observer_ != nullptr) observer_->TrafficLightState(light->Number(), state);
}

void Kernel::StartEmptyRun(int32_t seed, int stepsPerSecond, float reactionDelayAcc,
                           float reactionDelayDec, int laneChangeSteps) {
  Reset();
  config_ = nullptr;
  std::fill(std::begin(lightRegister_), std::end(lightRegister_), nullptr);
  seed_ = seed;
  randomState_ = seed;
  stepsPerSecond_ = stepsPerSecond > 0 ? stepsPerSecond : 1;
  reactionDelayAcc_ = reactionDelayAcc;
  reactionDelayDec_ = reactionDelayDec;
  laneChangeSteps_ = laneChangeSteps;
  vehicleIdCounter_ = 0;
  congestionWarned_ = false;
  arrivedCount_ = 0;
  stepCount_ = 0;
}

const VehicleParams* Kernel::AddParamSet(const VehicleParams& params) {
  paramSets_.push_back(std::make_unique<VehicleParams>(params));
  return paramSets_.back().get();
}

SuperSource* Kernel::AddSuperSource(int origin) {
  superSources_.push_back(std::make_unique<SuperSource>(*this, origin));
  return superSources_.back().get();
}

std::string Kernel::OriginName(int origin) const {
  if (config_ != nullptr) return config_->SourceName(origin);
  return Format("%d", origin + 1);
}

std::string Kernel::DestinationName(int destination) const {
  if (config_ != nullptr) return config_->SinkName(destination);
  return Format("%d", destination + 1);
}
