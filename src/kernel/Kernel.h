#pragma once

#include <cstdarg>
#include <cstdint>
#include <memory>
#include <optional>
#include <source_location>
#include <string>
#include <vector>

#include "kernel/CarFollowing.h"
#include "kernel/DetectorInfo.h"
#include "kernel/KernelBHVSection.h"
#include "kernel/KernelMessages.h"
#include "kernel/KernelTraces.h"
#include "kernel/KernelTypes.h"
#include "kernel/LaneChangeState.h"
#include "kernel/RoadObject.h"
#include "kernel/SourceInfo.h"
#include "kernel/VehicleInfo.h"

// Receives the states of traffic lights and lane detectors, so that the road view can show
// them. The desktop program writes them into its current configuration; parallel batch runs
// leave it unset.
class KernelFurnitureObserver {
 public:
  virtual ~KernelFurnitureObserver() = default;
  virtual void TrafficLightState(int number, int state) = 0;
  virtual void LaneDetectorState(int number, int state) = 0;
};

// Writes the states into a configuration, as the road view shows them.
class ConfigFurnitureWriter : public KernelFurnitureObserver {
 public:
  explicit ConfigFurnitureWriter(KDConfig& config) : config_(config) {}
  void TrafficLightState(int number, int state) override {
    config_.SetTrafficLightState(number, state);
  }
  void LaneDetectorState(int number, int state) override {
    config_.SetLaneDetectorState(number, state);
  }

 private:
  KDConfig& config_;
};

// The simulation kernel: everything that exists on the road during one run, and the state
// of the run. Independent instances may run side by side (one per thread).
//
// The class is implemented in several files, one per concern:
//   KernelMessages.cpp   reports, their texts and routing, the ready state
//   KernelObjects.cpp    creating, destroying and listing road objects
//   RoadObject.cpp       lookups along the lists, lane changes, descriptions, extras
//   KernelSetup.cpp      building the road of a run from the configuration
//   KernelRandom.cpp     the random generator and the draws made from it
//   KernelGeneration.cpp demand per lane and vehicle type, creating vehicles at sources
//   CarFollowing.cpp     the car-following models, free of road objects
//   KernelDriving.cpp    aim speed, power, anticipation and each vehicle's decision
//   KernelAreas.cpp      lane change areas and route choice as drivers see them
//   KernelMotion.cpp     applying an acceleration and moving a vehicle along the lists
//   KernelStep.cpp       one time step over the whole road, traffic lights
//   KernelLaneChange.cpp deciding and making lane changes, asking others for room
//   KernelLaneWishes.cpp overtaking and keep-right wishes, the state of a manoeuvre
//   LaneChangeGap.cpp    gap acceptance, free of road objects
//   DetectorQueries.cpp  what the detectors recorded
//   KernelTraces.cpp     the detection, travel time and lane change traces
class Kernel {
 public:
  Kernel();
  ~Kernel();
  Kernel(const Kernel&) = delete;
  Kernel& operator=(const Kernel&) = delete;

  // ---- Messages ------------------------------------------------------------------------
  /// Formats, routes and records a report (see KernelCause); always returns 0, the value
  /// failing callers return.
  int KernelMessage(KernelCause cause, const char* where, const char* format, ...)
      __attribute__((format(printf, 4, 5)));
  int KernelMessageV(KernelCause cause, const char* where, const char* format, va_list args);
  /// A failed KAVRO_ASSERT in the kernel: the kernel is not ready until the next set-up, and
  /// the condition goes to the reporting hook. The macro's unqualified call finds this member
  /// inside the kernel and the forwarding members of the kernel's own objects.
  void AssertionFailed(const char* condition, const char* file, int line);
  /// False from creation until a set-up resets the kernel, and after every error report.
  bool Ready() const { return ready_; }
  /// The message part of the first error since the last set-up, or none.
  const std::optional<std::string>& ErrorText() const { return firstError_; }
  const std::string& RunLabel() const { return runLabel_; }
  const KernelTexts& Texts() const { return texts_; }
  void SetTexts(const KernelTexts& texts) { texts_ = texts; }
  /// Where shown reports go; none restores the reporting hook.
  void SetMessageSink(KernelMessageSink* sink);
  void SetFurnitureObserver(KernelFurnitureObserver* observer) { observer_ = observer; }
  KernelFurnitureObserver* FurnitureObserver() const { return observer_; }

  // ---- Road objects --------------------------------------------------------------------
  /// Validates, creates, links into the global and lane lists and creates the extras.
  /// A rejected object is reported as a program error and not created (result none).
  /// `upstream`, when given, is an object of the global list upstream of the new one: the
  /// search for the new object's place starts there instead of at the first object.
  RoadObject* CreateObject(int lane, int type, float position, int number, float speed = 0,
                           const VehicleParams* params = nullptr, int destination = 0,
                           int origin = 0, RoadObject* upstream = nullptr);
  /// Unlinks and destroys an object with its extras.
  void DestroyObject(RoadObject* object);
  void DestroyAllObjects();
  /// The extras of `object`; reports a program error for none or a kind without extras.
  RoadObjectExtras* GetExtras(const RoadObject* object);
  /// Makes a teleport and a reverse teleport point at each other.
  bool LinkTeleports(RoadObject* teleport, RoadObject* reverseTeleport);
  /// The extras of the detector with this configuration number, or none.
  DetectorInfo* FindDetector(int number) const;

  RoadObject* FirstObject() const { return firstObject_; }
  RoadObject* EndOfRoad() const { return endOfRoad_; }
  RoadObject* CurrentPhysSection() const { return currentPhysSection_; }
  /// Counts changes to the road's furniture and section rules (objects other than vehicles
  /// created or destroyed, lane rules set), so that what was derived from them is redone.
  unsigned LayoutVersion() const { return layoutVersion_; }
  /// How many objects the search for the place of the latest created object passed.
  int LastPlacementWalk() const { return lastPlacementWalk_; }
  void NoteLayoutChange() { ++layoutVersion_; }
  void SetCurrentPhysSection(RoadObject* boundary) { currentPhysSection_ = boundary; }
  std::size_t ObjectCount() const { return objects_.size(); }

  /// One line per object from the head: "description\tlane\tposition\tnumber".
  std::string DumpObjects() const;
  /// Checks the order of the global list and every lane link; empty when all is well,
  /// otherwise a description of the first fault.
  std::string CheckObjectLists() const;

  // ---- Set-up --------------------------------------------------------------------------
  /// Discards the previous run and builds the road of `config`. Without a configuration,
  /// or after a configuration error, returns false. The label prefixes the messages of a
  /// batch run (empty for an interactive run).
  bool KAV_setup(const KDConfig* config, int32_t seed, const std::string& label);
  bool KAV_setup(const KDConfig& config, int32_t seed, const std::string& label) {
    return KAV_setup(&config, seed, label);
  }
  void SetRandomState(int32_t seed) { randomState_ = seed; }
  int32_t RandomState() const { return randomState_; }
  int32_t Seed() const { return seed_; }
  /// The configuration of the current run; none before a set-up.
  const KDConfig* Config() const { return config_; }

  int StepCount() const { return stepCount_; }
  /// Places the kernel at a step of a run with the given time step without simulating;
  /// for tests and tools that need a clock.
  void SetClock(int stepCount, int stepsPerSecond) {
    stepCount_ = stepCount;
    stepsPerSecond_ = stepsPerSecond;
  }
  int StepsPerSecond() const { return stepsPerSecond_; }
  float LaneChangeTime() const { return laneChangeTime_; }  // [s]
  int LaneChangeSteps() const { return laneChangeSteps_; }
  float ReactionDelayAcceleration() const { return reactionDelayAcc_; }   // [s]
  float ReactionDelayDeceleration() const { return reactionDelayDec_; }   // [s]
  int DetectorFirstPeriodEnd() const { return detectorFirstPeriodEnd_; }  // [steps]
  int DetectorPeriodLength() const { return detectorPeriodLength_; }      // [steps]
  int VehicleIdCounter() const { return vehicleIdCounter_; }

  /// The parameter set of a vehicle type, or none beyond the configured types.
  const VehicleParams* ParamSet(int type) const;
  int ParamSetCount() const { return static_cast<int>(paramSets_.size()); }
  /// The lane change areas of a lane in ascending order of their end.
  const std::vector<std::unique_ptr<KernelBHVSection>>& Areas(int lane) const {
    return areas_[lane];
  }
  /// Adds an area after the areas of its lane that end at or before it.
  KernelBHVSection* AddArea(const KernelBHVSection& area);
  const std::vector<std::unique_ptr<SuperSource>>& SuperSources() const { return superSources_; }

  // ---- Generation, car following, motion and the step ---------------------------------
  /// The next number of the kernel's generator: uniform in [0, 1) for a positive state,
  /// always 0.5 for the state 0.
  double Random();
  /// Advances the road by one time step; false when the kernel is not ready afterwards.
  bool SimulateStep();
  /// Accumulates the demand of a lane source and creates at most one vehicle there.
  void DoSource(RoadObject* source);
  /// One vehicle's decision of its acceleration for this step, and its move.
  void DriveVehicle(RoadObject* vehicle);
  /// Turns a chosen acceleration [m/s2] into this step's move of the vehicle.
  void ApplyAcceleration(RoadObject* vehicle, float acceleration, bool constrained);
  /// The highest acceleration the vehicle's power allows now [m/s2].
  float MaxAcceleration(const RoadObject* vehicle);
  /// `follow` and `SafeAcceleration` for road objects; see CarFollowing.h.
  float follow(const RoadObject* vehicle, float T, const RoadObject* leader, float Tprime);
  float SafeAcceleration(const RoadObject* vehicle, float T, const RoadObject* other, float Tprime,
                         float assumed);
  /// When [s] and how fast [m/s] the vehicle passed `position` during its last move.
  bool FindPassingTimeAndSpeed(const RoadObject* vehicle, float position, float* time,
                               float* speed) const;
  /// The state car following sees of a vehicle, and of any object as an obstacle.
  FollowerState FollowerOf(const RoadObject* vehicle) const;
  ObstacleState ObstacleOf(const RoadObject* object) const;
  ReactionDelays Delays() const { return {reactionDelayAcc_, reactionDelayDec_}; }
  /// The length of a time step [s] and the simulated time at the start of the step [s].
  float TimeStepLength() const { return static_cast<float>(1.0 / stepsPerSecond_); }
  float Now() const { return static_cast<float>(stepCount_) / stepsPerSecond_; }
  /// The lane change logic's request to slow down, valid during one vehicle's decision
  /// [m/s2]; 0.03 and above mean no request.
  float LaneChangeSlowDown() const { return laneChangeSlowDown_; }
  void SetLaneChangeSlowDown(float value) { laneChangeSlowDown_ = value; }
  /// Vehicles that reached a sink and were removed in this run.
  int ArrivedCount() const { return arrivedCount_; }
  /// The traffic light that drivers in `lane` see ahead during this step, or none.
  RoadObject* RegisteredTrafficLight(int lane) const;

  // Lane change areas as drivers see them.
  /// The first area of `lane` from `start` on (or from the lane's first area) that ends at or
  /// beyond `position` and applies to `destination`; none outside the real lanes.
  const KernelBHVSection* FindArea(int lane, int destination, const KernelBHVSection* start,
                                   float position);
  /// The area the vehicle is in now; remembered as the start of its next search.
  const KernelBHVSection* CurrentArea(const RoadObject* vehicle);
  // Whether the vehicle is in the zone of `area` (none: never) where it should leave its lane
  // to that side. Inline for the common case of no area.
  bool InRequiredLeft(const RoadObject* vehicle, const KernelBHVSection* area) {
    return area != nullptr && InRequiredLeftIn(vehicle, area);
  }
  bool InRequiredRight(const RoadObject* vehicle, const KernelBHVSection* area) {
    return area != nullptr && InRequiredRightIn(vehicle, area);
  }
  bool InVoluntaryLeft(const RoadObject* vehicle, const KernelBHVSection* area) {
    return area != nullptr && InVoluntaryLeftIn(vehicle, area);
  }
  bool InVoluntaryRight(const RoadObject* vehicle, const KernelBHVSection* area) {
    return area != nullptr && InVoluntaryRightIn(vehicle, area);
  }
  static float RequiredUrgency(const KernelBHVSection* area, float position);
  static float VoluntaryUrgency(const KernelBHVSection* area, float position);
  /// The vehicle's single draw for a route choice group: true with probability p.
  bool RouteChoice(const RoadObject* vehicle, int group, float p);

  // Lane changing hooks: the gap acceptance decides and moves the vehicle; the state of a
  // manoeuvre in progress advances once per decision.
  bool TryLaneChange(RoadObject* vehicle, RoadObject* leader);
  void AdvanceLaneChangeState(RoadObject* vehicle);
  /// The overtaking wish towards the lane to the left, behind `leader`.
  bool WantsLeft(RoadObject* vehicle, RoadObject* leader);
  /// The wish to keep right.
  bool WantsRight(RoadObject* vehicle);

  // ---- Traces ----------------------------------------------------------------------------
  /// Opens (or with none closes) a trace for the kernel; the caller owns the sink. Headers
  /// are written in the first step of a run.
  void SetTraceSink(KernelTrace trace, TraceSink* sink);
  TraceSink* TraceSinkOf(KernelTrace trace) const { return traces_[trace]; }
  /// Opens the traces on C streams the caller opened and will close; none = not written.
  void SetTraceFiles(std::FILE* detection, std::FILE* travelTime, std::FILE* odTravelTime,
                     std::FILE* laneChange);
  void WriteTraceHeaders();
  /// The detection and detector-to-detector lines of a vehicle passing a detector at `time`
  /// [s] with `speed` [m/s]; before its last detector time is updated.
  void TraceDetectorPassage(const RoadObject* vehicle, const RoadObject* detector, float time,
                            float speed);
  /// The nearest detector before the vehicle in the object list, or none; what
  /// `PreviousWithLane(LANE_DETECTORS)` finds, without walking back along the road.
  RoadObject* DetectorBehind(const RoadObject* vehicle);
  /// The lane change line, in the move of the step the change was made.
  void TraceLaneChange(const RoadObject* vehicle);
  /// The origin-destination travel time line of a vehicle passing its sink.
  void TraceArrival(const RoadObject* vehicle, const RoadObject* sink);

  /// Starts an empty, ready run for roads built object by object (tests and tools): no
  /// objects, the given generator state, time step and driver delays.
  void StartEmptyRun(int32_t seed, int stepsPerSecond, float reactionDelayAcc = 0,
                     float reactionDelayDec = 0, int laneChangeSteps = 1);
  /// Adds a vehicle parameter set for the next vehicle type index.
  const VehicleParams* AddParamSet(const VehicleParams& params);
  /// Adds an origin without lane sources yet; register its sources with it.
  SuperSource* AddSuperSource(int origin);
  /// The specific power of a new vehicle of this parameter set [W/kg].
  float DrawSpecificPower(const VehicleParams& params);
  /// Names of origins and destinations for messages: the configuration's, else the number.
  std::string OriginName(int origin) const;
  std::string DestinationName(int destination) const;

 private:
  // Messages
  void RecordError(const std::string& message);
  std::string TimePrefix() const;

  // Objects
  bool ValidateObject(int lane, int type, float position, float speed);
  void CreateExtras(RoadObject& object, float speed, const VehicleParams* params, int destination,
                    int origin);
  void ReleaseExtras(RoadObject& object);
  void LinkIntoGlobalList(RoadObject& object, RoadObject* upstream);

  // Set-up
  void Reset();
  bool ComputeRunValues(const KDConfig& config);
  void CreateBoundaries(const KDConfig& config);
  bool CreateRouteAreas(const KDConfig& config);
  bool CreateTapersAndForcedLanes(const KDConfig& config);
  bool CreateTaper(const KDConfig& config, int section, int lane, int flag);
  void CreateTaperTeleports(int fromLane, int toLane, float position);
  void CreateClosedArea(const KDConfig& config);
  void CreateSourcesAndSinks(const KDConfig& config);
  bool CreateConfiguredTeleports(const KDConfig& config);
  void CreateDetectors(const KDConfig& config);
  void CreateLaneEndDummies(const KDConfig& config);
  void CreateLaneDetectors(const KDConfig& config);
  bool CreateTrafficLights(const KDConfig& config);
  bool HasSinkAt(const KDConfig& config, int section, int lane) const;
  void CreateParamSets(const KDConfig& config);
  RoadObject* CreateDummy(int lane, float position);
  // Generation, driving, motion, step
  float SourceAimSpeed(const RoadObject* source, const VehicleParams& params) const;
  void PlaceBehindLeader(const RoadObject* source, const RoadObject* leader,
                         const VehicleParams& params, float deficit, float overdue, float laneFlow,
                         float* position, float* speed);
  int VehicleClass(const RoadObject* vehicle);
  float WorkOutMaxAcceleration(const RoadObject* vehicle, const RoadObject* section);
  void ReactToTrafficLight(RoadObject* vehicle, const RoadObject* leader, float* acceleration);
  RoadObject* SectionOf(const RoadObject* object) const {
    return currentPhysSection_ ? currentPhysSection_ : object->GetSection();
  }
  bool InRequiredLeftIn(const RoadObject* vehicle, const KernelBHVSection* area);
  bool InRequiredRightIn(const RoadObject* vehicle, const KernelBHVSection* area);
  bool InVoluntaryLeftIn(const RoadObject* vehicle, const KernelBHVSection* area);
  bool InVoluntaryRightIn(const RoadObject* vehicle, const KernelBHVSection* area);
  // Lane changing; the rules of a lane in the vehicle's section, inline: the decision asks
  // for them many times.
  const PhysicalLane* LaneRules(const RoadObject* vehicle, int lane) {
    if (lane < 0 || lane >= MAX_KAVROLANE) return nullptr;
    RoadObject* section = SectionOf(vehicle);
    if (section == nullptr || section->PhysicalLanes() == nullptr) return nullptr;
    return &section->PhysicalLanes()->Lane(lane);
  }
  bool ClosedForTrucks(const RoadObject* vehicle, int lane) {
    const PhysicalLane* rules = LaneRules(vehicle, lane);
    return rules != nullptr && rules->noOvertakingTrucks;
  }
  bool MayMove(const RoadObject* vehicle, int direction) {
    int lane = vehicle->Lane();
    const PhysicalLane* rules = LaneRules(vehicle, lane);
    if (rules == nullptr) return false;
    if (direction < 0) return rules->canMoveLeft && lane > 0;
    return rules->canMoveRight && lane + 1 < MAX_KAVROLANE;
  }
  bool TargetLaneSendsBack(const RoadObject* vehicle, int direction);
  /// Moves the vehicle into the lane on the `required` side (or, with none, the `voluntary`
  /// side) when the gap there is accepted. `ownWish`: the driver's own wish (state +-1)
  /// rather than a change an area or a neighbour asks for (+-11).
  bool AttemptLaneChange(RoadObject* vehicle, LaneSide required, bool ownWish, LaneSide voluntary);
  void RequestRoom(RoadObject* vehicle, RoadObject* newLeader, RoadObject* newFollower,
                   const struct GapVerdict& gap, LaneSide required, float acceptable);
  bool LightBlocksLane(const RoadObject* vehicle, int lane);
  void StartLaneChange(VehicleInfo& info, int direction, bool required);
  float OriginPosition(int origin) const;
  bool SweepUpstream();
  void SweepDownstream();
  void ResetLaneDetectors();
  RoadObject* LastLaneDetector();
  void TrafficLightStep(RoadObject* light);
  void CountLaneDetectors(RoadObject* vehicle, float from, float to);
  void PassObject(RoadObject* vehicle, RoadObject* passed);
  friend class SuperSource;
  friend class RoadObject;
  void DropSuperSource(SuperSource* superSource);

  // Messages state
  KernelTexts texts_;
  KernelMessageSink* sink_;
  KernelFurnitureObserver* observer_ = nullptr;
  bool ready_ = false;
  std::optional<std::string> firstError_;
  std::string runLabel_;

  // Objects: the store owns them; the lists link them.
  std::vector<std::unique_ptr<RoadObject>> objects_;
  // Destroyed objects are kept a while, so that a vehicle's hints at objects near it can be
  // checked (RoadObject::NeighboursFromHint); the epoch counts their releases.
  std::vector<std::unique_ptr<RoadObject>> retired_;
  unsigned retiredEpoch_ = 1;
  void ReleaseRetired();
  RoadObject* firstObject_ = nullptr;
  RoadObject* endOfRoad_ = nullptr;
  RoadObject* currentPhysSection_ = nullptr;
  unsigned layoutVersion_ = 0;
  int lastPlacementWalk_ = 0;

  // Run state
  const KDConfig* config_ = nullptr;
  int32_t seed_ = 0;
  int32_t randomState_ = 0;
  int stepCount_ = 0;
  int stepsPerSecond_ = 1;
  float laneChangeTime_ = 0;
  int laneChangeSteps_ = 0;
  float reactionDelayAcc_ = 0;
  float reactionDelayDec_ = 0;
  int detectorFirstPeriodEnd_ = 0;
  int detectorPeriodLength_ = 0;
  int vehicleIdCounter_ = 0;
  bool congestionWarned_ = false;
  int dummyCounter_ = 0;
  int taperPairCounter_ = 0;
  std::vector<std::unique_ptr<VehicleParams>> paramSets_;
  std::vector<std::unique_ptr<KernelBHVSection>> areas_[MAX_KAVROLANE];
  unsigned areasVersion_ = 1;  // counts the changes to the lists of areas
  std::vector<std::unique_ptr<SuperSource>> superSources_;

  // Step state
  float laneChangeSlowDown_ = 0.06f;
  RoadObject* lightRegister_[MAX_KAVROLANE] = {};
  RoadObject* laneDetectorCursor_ = nullptr;  // most downstream lane detector still reachable
  RoadObject* firstLaneDetector_ = nullptr;   // most upstream lane detector
  float longestLaneDetector_ = 0;             // [m]
  RoadObject* lastLaneDetector_ = nullptr;    // found for the layout and end of road below
  unsigned lastLaneDetectorLayout_ = 0;
  RoadObject* lastLaneDetectorEnd_ = nullptr;
  bool lastLaneDetectorKnown_ = false;
  bool inStep_ = false;
  int arrivedCount_ = 0;  // vehicles removed at their sinks in this run
  KernelTraceSet traces_;
  FileTraceSink traceFiles_[KERNEL_TRACE_COUNT];
};

inline float RoadObject::AimSpeed() const {
  const VehicleInfo* info = Vehicle();
  if (info != nullptr) {
    const VehicleInfo::AimSpeedMemo& memo = info->aimSpeedMemo;
    const RoadObject* start = kernel_->CurrentPhysSection();
    if (start != nullptr && memo.position == position_ && memo.lane == lane_ &&
        memo.params == info->params && memo.start == start &&
        memo.layout == kernel_->LayoutVersion())
      return memo.value;
  }
  return WorkOutAimSpeed();
}
