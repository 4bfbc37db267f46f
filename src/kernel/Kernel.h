#pragma once

#include <cstdarg>
#include <cstdint>
#include <memory>
#include <optional>
#include <source_location>
#include <string>
#include <vector>

#include "kernel/DetectorInfo.h"
#include "kernel/KernelBHVSection.h"
#include "kernel/KernelMessages.h"
#include "kernel/KernelTypes.h"
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
  /// Reports a failed internal condition with its text and stops the kernel.
  bool KernelAssert(bool ok, const char* condition,
                    std::source_location where = std::source_location::current());
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
  RoadObject* CreateObject(int lane, int type, float position, int number, float speed = 0,
                           const VehicleParams* params = nullptr, int destination = 0,
                           int origin = 0);
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
  bool CongestionWarned() const { return congestionWarned_; }

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

 private:
  // Messages
  void RecordError(const std::string& message);
  std::string TimePrefix() const;

  // Objects
  bool ValidateObject(int lane, int type, float position, float speed);
  void CreateExtras(RoadObject& object, float speed, const VehicleParams* params, int destination,
                    int origin);
  void ReleaseExtras(RoadObject& object);
  void LinkIntoGlobalList(RoadObject& object);

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
  RoadObject* firstObject_ = nullptr;
  RoadObject* endOfRoad_ = nullptr;
  RoadObject* currentPhysSection_ = nullptr;

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
  std::vector<std::unique_ptr<SuperSource>> superSources_;
};
