#include <string>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/RoadTypes.h"
#include "config/RunSetUpCheck.h"
#include "config/Units.h"
#include "config/VDCTypes.h"
#include "config/fs_params.h"
#include "kernel/Kernel.h"
#include "kernel/KernelMath.h"

namespace {

constexpr int kMinimumTaperLength = 100;  // [m]
constexpr int kTaperFlags = LANE_TAPERON | LANE_TAPEROFF;

int LaneType(const KDConfig& config, int section, int lane) {
  return config.IntPhysicalSectionProperty(section, lane, PP_LANETYPE);
}
int Start(const KDConfig& config, int section) { return config.SectionPos(section, WHENCE_BEGIN); }
int End(const KDConfig& config, int section) { return config.SectionPos(section, WHENCE_END); }

// A lane change area for every destination, with the default probabilities of its strength.
KernelBHVSection AllDestinationsArea(int lane, int end, int required, bool mergeLeft,
                                     bool fullStrength) {
  KernelBHVSection area;
  area.lane = lane;
  area.end = static_cast<float>(end);
  area.requiredLength = static_cast<float>(required);
  area.mergeLeft = mergeLeft;
  area.fullStrength = fullStrength;
  for (float& p : area.probability) p = fullStrength ? 1.0f : 0.5f;
  return area;
}

}  // namespace

void Kernel::Reset() {
  DestroyAllObjects();
  currentPhysSection_ = nullptr;
  ready_ = true;
  firstError_.reset();
  stepCount_ = 0;
  arrivedCount_ = 0;
  paramSets_.clear();
  for (auto& lane : areas_) lane.clear();
  ++areasVersion_;
  superSources_.clear();
  KAVRO_ASSERT(endOfRoad_ == nullptr);
}

bool Kernel::KAV_setup(const KDConfig* config, int32_t seed, const std::string& label) {
  runLabel_ = label;
  seed_ = seed;
  Reset();
  stepCount_ = -1;  // reports during set-up go to a message box
  config_ = config;
  if (config == nullptr) return false;
  // The run control refuses these configurations before it gets here; any other caller gets
  // the same reason as a configuration error instead of meeting the consistency checks below.
  if (std::string problem = RunSetUpProblem(*config); !problem.empty()) {
    KernelMessage(KernelCause::ConfigurationError, "KAV_setup", "%s", problem.c_str());
    return false;
  }
  vehicleIdCounter_ = 0;
  congestionWarned_ = false;
  dummyCounter_ = 0;
  taperPairCounter_ = 0;
  if (!ComputeRunValues(*config)) return false;
  randomState_ = seed;

  CreateObject(LANE_BOUNDARIES, RO_ENDOFROAD, static_cast<float>(config->Length()), 0);
  CreateBoundaries(*config);
  if (!CreateRouteAreas(*config)) return false;
  if (!CreateTapersAndForcedLanes(*config)) return false;
  CreateClosedArea(*config);
  CreateSourcesAndSinks(*config);
  if (!CreateConfiguredTeleports(*config)) return false;
  CreateDetectors(*config);
  CreateLaneEndDummies(*config);
  CreateLaneDetectors(*config);
  CreateParamSets(*config);
  if (!CreateTrafficLights(*config)) return false;
  stepCount_ = 0;
  return ready_;
}

bool Kernel::ComputeRunValues(const KDConfig& config) {
  float timeStep = config.TimeStep();  // [s]
  if (!KAVRO_ASSERT(timeStep > 0)) return false;
  stepsPerSecond_ = Truncate(1 / timeStep + 0.01);
  laneChangeTime_ = config.GetKavroGeneralParam(0);
  reactionDelayAcc_ = config.GetKavroGeneralParam(1);
  reactionDelayDec_ = config.GetKavroGeneralParam(2);
  laneChangeSteps_ = Truncate(laneChangeTime_ * stepsPerSecond_ + 0.01);
  detectorFirstPeriodEnd_ = config.DetectorTime(0) * stepsPerSecond_;
  detectorPeriodLength_ = (config.DetectorTime(1) - config.DetectorTime(0)) * stepsPerSecond_;
  return true;
}

void Kernel::CreateBoundaries(const KDConfig& config) {
  int lanes = config.LanesUsed();
  for (int s = config.Boundaries(); s >= 0; --s) {
    RoadObject* boundary =
        CreateObject(LANE_BOUNDARIES, RO_PHYSBOUNDARY, static_cast<float>(Start(config, s)), s);
    if (boundary == nullptr) return;
    PhysicalLaneInfo* info = boundary->PhysicalLanes();
    for (int lane = lanes - 1; lane >= 0; --lane) {
      int type = LaneType(config, s, lane);
      int leftType = lane > 0 ? LaneType(config, s, lane - 1) : 0;
      int rightType = LaneType(config, s, lane + 1);
      // Vehicles do not change to the left between the two lanes of a taper. The outer lane
      // of an on-ramp pair narrows away and its vehicles are moved over at its end, so nobody
      // keeps right into it, nor enters an on-ramp taper from the side. The outer lane of an
      // off-ramp pair is the ramp itself: vehicles leave into it.
      bool left =
          config.CanMoveLeft(s, lane) && !((type & kTaperFlags) && (leftType & kTaperFlags));
      bool right = config.CanMoveRight(s, lane) && !(rightType & LANE_TAPERON);
      info->SetPhysicalLaneInfo(
          lane, left, right, !config.IsNormalLane(s, lane),
          config.PhysicalSectionProperty(s, lane, PP_SPEEDSUPPRESSION),
          config.IntPhysicalSectionProperty(s, lane, PP_NOOVERTAKINGTRUCKS) == 1,
          config.PhysicalSectionProperty(s, lane, PP_SLOPE),
          KmhToMsInDouble(config.PhysicalSectionProperty(s, lane, PP_SPEEDLIMIT)));
    }
  }
}

bool Kernel::CreateRouteAreas(const KDConfig& config) {
  for (int sink = 0; sink < config.SinkCount(); ++sink) {
    for (int rank = 0; rank < config.LaneChangeAreaCount(sink); ++rank) {
      int required = config.LaneChangeAreaLengthRequired(sink, rank);
      int voluntary = config.LaneChangeAreaLengthVoluntary(sink, rank);
      if (required + voluntary == 0) continue;
      KernelBHVSection area;
      area.destination = sink;
      area.lane = config.LaneChangeAreaLane(sink, rank);
      area.end = static_cast<float>(config.LaneChangeAreaPosition(sink, rank));
      area.requiredLength = static_cast<float>(required);
      area.voluntaryLength = static_cast<float>(voluntary);
      area.mergeLeft = config.LaneChangeAreaMergeLeft(sink, rank);
      area.routeChoiceGroup = config.LaneChangeAreaRouteChoiceGroup(sink, rank);
      if (!KAVRO_ASSERT(area.lane >= 0 && area.lane < MAX_KAVROLANE) ||
          !KAVRO_ASSERT(area.routeChoiceGroup >= 0))
        return false;
      for (int type = 0; type < MAXVEHICLETYPE; ++type) {
        float p = config.LaneChangeAreaProbability(sink, rank, type);
        if (p == -1) p = 1.0f;  // -1: not set, the area applies to every vehicle
        if (!KAVRO_ASSERT(p >= 0 && p <= 1)) return false;
        area.probability[type] = p;
      }
      AddArea(area);
    }
  }
  return true;
}

bool Kernel::CreateTapersAndForcedLanes(const KDConfig& config) {
  for (int s = config.Boundaries(); s >= 0; --s) {
    for (int lane = config.LanesUsed() - 1; lane >= 0; --lane) {
      int type = LaneType(config, s, lane);
      bool plain = config.IsNormalLane(s, lane);
      if (plain && (type & LANE_TAPERON)) {
        if (!CreateTaper(config, s, lane, LANE_TAPERON)) return false;
      } else if (plain && (type & LANE_TAPEROFF)) {
        if (!CreateTaper(config, s, lane, LANE_TAPEROFF)) return false;
      } else if (!plain) {
        // A forced or blocked lane must be left within its section.
        int end = End(config, s);
        int required = end - Start(config, s);
        if (config.CanMoveLeft(s, lane))
          AddArea(AllDestinationsArea(lane, end, required, true, true));
        else if (config.CanMoveRight(s, lane))
          AddArea(AllDestinationsArea(lane, end, required, false, true));
      }
    }
  }
  return true;
}

// One lane of a tapered ramp, handled in the most downstream section of its run of sections.
bool Kernel::CreateTaper(const KDConfig& config, int section, int lane, int flag) {
  if (!KAVRO_ASSERT(lane > 0)) return false;
  if (section > 0 && (LaneType(config, section - 1, lane) & flag)) return true;
  int upstream = section;
  while (upstream < config.Boundaries() && (LaneType(config, upstream + 1, lane) & flag))
    ++upstream;
  int end = End(config, section);
  int length = end - Start(config, upstream);  // [m]
  if (length < kMinimumTaperLength) {
    KernelMessage(KernelCause::ConfigurationError, "KAV_setup", texts_.taperTooShort.c_str(),
                  kMinimumTaperLength);
    return false;
  }
  bool leftTapered = LaneType(config, section, lane - 1) & flag;
  if (flag == LANE_TAPERON && !leftTapered) {
    // The lane ends: its vehicles merge left over the taper, urgently over the last 150 m,
    // and a dummy closes the lane just before the end.
    KernelBHVSection merge = AllDestinationsArea(lane, end - 151, length - 151, true, false);
    merge.laneDrop = true;
    AddArea(merge);
    KernelBHVSection last = AllDestinationsArea(lane, end - 1, 150, true, true);
    last.laneDrop = true;
    AddArea(last);
    CreateDummy(lane, static_cast<float>(end - 1));
  } else if (flag == LANE_TAPERON) {
    // The right lane of a two-lane taper continues in the lane to its left.
    CreateTaperTeleports(lane, lane - 1, static_cast<float>(end - 1));
  } else if (!leftTapered) {
    // Vehicles in the left lane of an off-ramp taper continue in the ramp's right lane.
    CreateTaperTeleports(lane, lane + 1, static_cast<float>(Start(config, section)));
  }
  return true;
}

void Kernel::CreateTaperTeleports(int fromLane, int toLane, float position) {
  RoadObject* teleport = CreateObject(fromLane, RO_TELEPORT, position, 0);
  RoadObject* reverse = CreateObject(toLane, RO_REVERSETELEPORT, position, 0);
  if (teleport == nullptr || reverse == nullptr) return;
  LinkTeleports(teleport, reverse);
  teleport->SetUserData(taperPairCounter_);
  reverse->SetUserData(taperPairCounter_);
  ++taperPairCounter_;
}

void Kernel::CreateClosedArea(const KDConfig& config) {
  KDConfig::TempClosedAreaInfo closed = config.TempClosedArea();
  if (closed.end <= 0) return;
  KernelBHVSection area = AllDestinationsArea(closed.lane, closed.end, closed.length, false, true);
  area.voluntaryLength = static_cast<float>(closed.voluntaryLength);
  area.timeWindow[0] = closed.t1;
  area.timeWindow[1] = closed.t2;
  area.timeWindow[2] = closed.t3;
  AddArea(area);
}

void Kernel::CreateSourcesAndSinks(const KDConfig& config) {
  for (int origin = config.SourceCount() - 1; origin >= 0; --origin) {
    superSources_.push_back(std::make_unique<SuperSource>(*this, origin));
    SuperSource& superSource = *superSources_.back();
    float position = static_cast<float>(Start(config, config.SourceSection(origin)));
    for (int lane = config.SourceFromLane(origin); lane <= config.SourceToLane(origin); ++lane) {
      RoadObject* source = CreateObject(lane, RO_SOURCE, position, origin);
      if (source != nullptr) superSource.Register(source);
    }
  }
  for (int sink = config.SinkCount() - 1; sink >= 0; --sink) {
    float position = static_cast<float>(End(config, config.SinkSection(sink)));
    for (int lane = config.SinkFromLane(sink); lane <= config.SinkToLane(sink); ++lane)
      CreateObject(lane, RO_SINK, position, sink);
  }
}

bool Kernel::CreateConfiguredTeleports(const KDConfig& constConfig) {
  // The teleport lists are rebuilt from the lane types on the first request after a road
  // change; that does not change the configuration.
  KDConfig& config = const_cast<KDConfig&>(constConfig);
  for (int in = config.TeleportCount(true) - 1; in >= 0; --in) {
    ::TeleportRecord entrance = config.TeleportRecord(true, in);
    int counterpart = config.TeleportCounterPart(true, in);
    if (!KAVRO_ASSERT(counterpart >= 0)) return false;
    int out = config.TeleportCount(false) - 1;
    while (out >= 0 && config.TeleportCounterPart(false, out) != counterpart) --out;
    if (!KAVRO_ASSERT(out >= 0)) return false;
    ::TeleportRecord exit = config.TeleportRecord(false, out);
    float from = static_cast<float>(Start(config, entrance.section));
    float to = static_cast<float>(End(config, exit.section));
    for (int lane = entrance.fromLane; lane <= entrance.toLane; ++lane) {
      RoadObject* teleport = CreateObject(lane, RO_TELEPORT, from, 0);
      RoadObject* reverse =
          CreateObject(exit.fromLane + lane - entrance.fromLane, RO_REVERSETELEPORT, to, 0);
      if (teleport == nullptr || reverse == nullptr) return false;
      LinkTeleports(teleport, reverse);
    }
  }
  return true;
}

void Kernel::CreateDetectors(const KDConfig& config) {
  for (int i = config.DetectorCount() - 1; i >= 0; --i)
    CreateObject(LANE_DETECTORS, RO_DETECTOR, static_cast<float>(config.DetectorPosition(i)), i);
}

void Kernel::CreateLaneDetectors(const KDConfig& config) {
  for (int i = 0; i < config.LaneDetectorCount(); ++i) {
    int end = config.LaneDetectorPosition(i);  // downstream end [m]
    RoadObject* detector = CreateObject(config.LaneDetectorLane(i), RO_LANEDETECTOR,
                                        static_cast<float>(end - config.LaneDetectorLength(i)), i);
    if (detector != nullptr) detector->LaneDetector()->downstreamEnd = end;
  }
}

bool Kernel::CreateTrafficLights(const KDConfig& config) {
  for (int i = 0; i < config.TrafficLightCount(); ++i) {
    int lane = config.TrafficLightLane(i);
    int cycle = config.TrafficLightCycleTime(i);
    int green = config.TrafficLightGreenTime(i);
    int yellow = config.TrafficLightYellowTime(i);
    int offset = config.TrafficLightStartOffset(i);
    // A light driven by an outside controller has no cycle of its own (all times 0).
    if (config.TrafficLightController(i).empty()) {
      if (!KAVRO_ASSERT(cycle > green + yellow) || !KAVRO_ASSERT(green > 0) ||
          !KAVRO_ASSERT(yellow > 0) || !KAVRO_ASSERT(offset >= 0))
        return false;
    }
    if (!KAVRO_ASSERT(lane >= 0 && lane < MAX_KAVROLANE)) return false;
    RoadObject* light = CreateObject(LANE_TRAFFICLIGHTS, RO_TRAFFICLIGHT,
                                     static_cast<float>(config.TrafficLightPosition(i)), i);
    if (light == nullptr) return false;
    TrafficLightInfo* info = light->TrafficLight();
    info->lane = lane;
    info->cycleTime = cycle;
    info->greenTime = green;
    info->yellowTime = yellow;
    info->startOffset = offset;
    if (observer_ != nullptr) observer_->TrafficLightState(i, TL_NOSTATE);
  }
  return true;
}

RoadObject* Kernel::CreateDummy(int lane, float position) {
  return CreateObject(lane, RO_DUMMY, position, dummyCounter_++);
}

void Kernel::CreateLaneEndDummies(const KDConfig& config) {
  // A lane that stops at a boundary without a destination there is closed by a dummy.
  for (int s = config.Boundaries() - 1; s >= 0; --s) {
    for (int lane = 0; lane < config.LanesUsed(); ++lane) {
      if (config.LaneConnects(s + 1, lane, WHENCE_BEGIN) &&
          !config.LaneConnects(s, lane, WHENCE_BEGIN) && !HasSinkAt(config, s + 1, lane))
        CreateDummy(lane, static_cast<float>(Start(config, s)));
    }
  }
  // Forced and blocked lanes end at the road end.
  for (int lane = 0; lane < config.LanesUsed(); ++lane)
    if (LaneType(config, 0, lane) & LANE_MERGEBOTH)
      CreateDummy(lane, static_cast<float>(End(config, 0)));
}

bool Kernel::HasSinkAt(const KDConfig& config, int section, int lane) const {
  for (int sink = 0; sink < config.SinkCount(); ++sink)
    if (config.SinkSection(sink) == section && config.SinkFromLane(sink) <= lane &&
        lane <= config.SinkToLane(sink))
      return true;
  return false;
}

void Kernel::CreateParamSets(const KDConfig& config) {
  for (int type = 0; type < config.VDCTypeCount(VDC_KAVRO); ++type) {
    float p[FS_COUNT] = {};
    for (int i = 0; i < FS_COUNT; ++i) config.GetVDCParam(VDC_KAVRO, type, i, &p[i]);
    auto params = std::make_unique<VehicleParams>();
    params->name = Format("veh type %d", type + 1);
    params->length = p[FS_length];
    params->preferredSpeed = KmhToMs(p[FS_preferred_v]);
    params->maxAcceleration = p[FS_max_a];
    params->maxDeceleration = p[FS_max_d];
    params->passiveDeceleration = p[FS_passive_d];
    params->laneChangeDeceleration = p[FS_lane_change_d];
    params->maxAccelerationJump = p[FS_max_delta_a];
    params->z1 = p[FS_z1];
    params->z2 = p[FS_z2];
    params->z3 = p[FS_z3];
    params->specificPower = p[FS_specific_power];
    params->specificPowerStdDev = p[FS_std_dev_spec_pwr];
    params->airResistance = p[FS_air_resistance_coeff];
    params->preferredSpeed70 = KmhToMsInDouble(p[FS_prefV70]);
    params->trafficLightDeceleration = p[FS_a_traffic_light];
    paramSets_.push_back(std::move(params));
  }
}
