// The udov vehicle model: configuration, parameters, simulation. Internal to the library; the
// exported C calls in UdovApi.cpp are thin wrappers over one Model.
#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <vector>

#include "udov.h"

namespace udov {

constexpr int kMaxLinks = 32;
constexpr int kMaxLanes = 6;       // lane 1 is the rightmost
constexpr int kWidthSlots = 12;    // lane width slots: lane + the link's lane offset
constexpr int kMaxDetectors = 10;  // per link
constexpr int kMaxTypes = 20;      // vehicle types and driver types
constexpr int kGeneralParams = 23;
constexpr int kVehicleParams = 34;
constexpr int kSubSlots = 20;
constexpr int kDistParams = 3;
constexpr int kDriverParams = 9;
constexpr int kIccParams = 5;
constexpr int kDetails = 8;  // per-link surface details

// Per-link surface details by their slot in LinkData::detail.
enum Detail { kBottom, kCrossPoint, kWindAngle, kWindSpeed, kSlope, kIccSpeed, kIccTau, kPrewarn };

// General parameters (class 1, id = index + 2) that the model uses; the others are spare.
enum General {
  kLaneChangeDuration = 0,   // [s]
  kEntrySpeedFactor = 1,     // entry speed as a share of the desired speed
  kReportInterval = 2,       // [s], 0 = no progress reports
  kLaneEndAnticipation = 3,  // [m]
  kLaneChangeCooldown = 4,   // [s]
  kSimulationTime = 11,      // [min]
  kTimeStep = 16,            // [s]
};

// Vehicle type parameters (class 3) by index; the rest are spare.
enum VehicleParam {
  kLength = 0,             // [m]
  kDesiredSpeed = 1,       // [km/h]
  kSpeedClasses = 2,       // number of desired speed factors (class 3, id 5)
  kAcceleration = 3,       // IDM a [m/s^2]
  kDeceleration = 4,       // IDM b [m/s^2]
  kHeadway = 5,            // IDM T [s]
  kMinGap = 6,             // IDM s0 [m]
  kExponent = 7,           // IDM delta
  kPoliteness = 8,         // MOBIL p
  kThreshold = 9,          // MOBIL threshold [m/s^2]
  kSafeDeceleration = 10,  // MOBIL b_safe [m/s^2]
  kKeepRightBias = 11,     // MOBIL bias towards the right lane [m/s^2]
  kMaxDeceleration = 12,   // physical limit [m/s^2]
  kIccShare = 13,          // share of vehicles with ICC equipment
};

// Driver type parameters (class 4, id = index + 2).
enum DriverParam {
  kSpeedFactor,
  kHeadwayFactor,
  kAccelerationFactor,
  kPolitenessFactor,
  kLimitFactor
};

// ICC parameters (class 6, id = index + 1).
enum IccParam { kIccAcceleration, kIccDeceleration, kIccCoolness, kIccSwitchOff, kIccAnyLane };

struct LinkData {
  int32_t speedLimit = 120;  // [km/h]
  uint32_t length = 1000;    // [m]
  int32_t lanes = 2;
  int32_t laneOffset = 0;
  float width[kWidthSlots];
  int32_t laneType[kMaxLanes];  // 1 normal, 2 ICC lane
  float detail[kDetails];
  int32_t detectors = 0;
  uint32_t detectorOffset[kMaxDetectors] = {};  // [m] from the link's downstream end
  LinkData();
};

struct ConfigData {
  uint32_t seed = 1;
  float general[kGeneralParams];
  int32_t vehicleTypes = 2;
  float vehicle[kMaxTypes][kVehicleParams];
  int32_t speedClasses[kMaxTypes] = {};
  float vehicleSub[kMaxTypes][kSubSlots];
  float vehicleDist[kMaxTypes][kDistParams];
  int32_t driverTypes = 2;
  float driver[kMaxTypes][kDriverParams];
  int32_t useInjection = 0;
  std::string injectionFile;
  float flow = 2000;  // [veh/h]
  float frequency[kMaxTypes][kMaxTypes];
  float icc[kIccParams];
  int32_t links = 1;
  LinkData link[kMaxLinks];
  ConfigData();  // the model's defaults
};

// How a parameter is addressed and described.
struct ParamDef {
  int cls;
  int id;
  int16_t type;
  int indices;  // how many indices it needs
  float minimum;
  float maximum;
  float step;
  const char* key;  // its keyword in .dov files
  const char* name;
  const char* description;
  const char* format;
};

/// The description of parameter (cls, id), null when there is none.
const ParamDef* FindParam(int cls, int id);
/// The parameter with .dov keyword `key`, null when there is none.
const ParamDef* FindParamByKey(const std::string& key);
/// Every configuration parameter in the order a .dov file lists them.
const std::vector<const ParamDef*>& ConfigParams();

// A typed place of one configuration value.
struct Slot {
  int16_t type = 0;
  void* place = nullptr;
};

/// The storage of configuration parameter `def` at `indices` in `config`, or a result code.
int ResolveSlot(ConfigData& config, const ParamDef& def, int count, const int32_t* indices,
                Slot& slot);
/// Stores `value` (of the parameter's type) after the range check; a result code.
int StoreValue(ConfigData& config, const ParamDef& def, int count, const int32_t* indices,
               const void* value);

struct Vehicle {
  int32_t number = 0;
  int type = 0;    // 0-based
  int driver = 0;  // 0-based
  float length = 4.5f;
  bool iccEquipped = false;
  bool stopped = false;  // a broken-down vehicle: brakes to a stand and stays
  float x = 0;           // front position from the road start [m]
  float v = 0;           // [m/s]
  float a = 0;           // [m/s^2]
  int lane = 1;          // 1 = rightmost
  int fromLane = 1;      // lane before the current lane change
  float changeLeft = 0;  // rest of the current lane change [s]
  float cooldown = 0;    // [s] until the next lane change may start
  bool activeBraking = false;
  bool iccOn = false;
  int mergeWish = 0;         // 1 left, -1 right, 0 none
  int32_t collidedWith = 0;  // the vehicle it last ran into, reported once
  // Personal parameters.
  float v0 = 33;  // [m/s]
  float T = 1.2f, s0 = 2, aMax = 1.5f, b = 2, delta = 4;
  float politeness = 0.3f, threshold = 0.2f, bSafe = 4, bias = 0.2f, bMax = 9;
};

// One pending vehicle of the injection file.
struct Injection {
  double time = 0;         // [s]
  float speed = 0;         // [km/h]
  float desiredSpeed = 0;  // [km/h], 0 = from the vehicle and driver type
  int lane = 0;            // 1 .. 6 from the right, below 1 = the model chooses
  int line = 0;
};

using MessageSink = std::function<void(int severity, const std::string& text, float time)>;

class Model {
 public:
  Model();

  ConfigData& Config() { return config_; }
  const ConfigData& Config() const { return config_; }
  void SetMessageSink(MessageSink sink) { sink_ = std::move(sink); }
  /// A configuration change: the next Prepare reports its problems afresh.
  void ConfigChanged() {
    prepared_ = false;
    lastPrepareError_.clear();
  }

  /// Reads a .dov file; on failure the configuration is unchanged and `error` names the line.
  bool ReadFile(const std::string& fileName, std::string& error);
  /// Writes the configuration through a temporary file renamed into place.
  bool WriteFile(const std::string& fileName, std::string& error) const;

  /// Checks the configuration and loads the injection file; false (reported) when no run can
  /// start.
  bool Prepare();
  /// Time 0, no vehicles, detectors cleared, random generator seeded.
  void Reset();
  /// One time step; 2 when the step ends a whole minute, else 1; 0 when not prepared.
  int Step();
  void AfterStep();
  void AfterStepDetectors();

  double Time() const { return time_; }
  const std::vector<Vehicle>& Vehicles() const { return vehicles_; }
  int NextVehicle(int previous) const;
  const Vehicle* FindVehicle(int number) const;
  /// Run-time values (classes 8 to 11) read as the parameter's type; a result code.
  int RunTimeValue(const ParamDef& def, int count, const int32_t* indices, void* value) const;

  // Scenario access for tests and the injection file.
  /// Puts a vehicle of `type` and `driver` on the road; its number, or 0 when the lane is not
  /// there.
  int AddVehicle(int type, int driver, int lane, float x, float v, float desiredSpeed,
                 bool stopped = false);
  int Collisions() const { return collisions_; }
  int Exited() const { return exited_; }
  float RoadLength() const;
  /// The link (1-based) at road position x and its start [m].
  int LinkAt(float x, float* linkStart = nullptr) const;
  float LinkStart(int link) const;

 private:
  struct Neighbours;
  void Report(int severity, const std::string& text, bool withTime = true) const;
  bool LoadInjections(std::string& error);
  void Generate();
  bool TryEnter(int type, int driver, int lane, float speed, float desiredSpeed);
  void MakeVehicle(Vehicle& v, int type, int driver);
  void PickTypes(int& type, int& driver);
  int PickLane(int type, bool icc);
  bool LaneExists(int lane, float x) const;
  bool LaneAllowed(const Vehicle& v, int lane, float x) const;
  float LaneEnd(int lane, float x) const;  // where the lane ends ahead of x, or a huge value
  float Acceleration(const Vehicle& v, int lane, const Vehicle* leader) const;
  void BuildLanes();
  int LeaderIndex(int lane, float x, int self) const;
  int FollowerIndex(int lane, float x, int self) const;
  void ChangeLanes();
  void Move();
  double Random();

  ConfigData config_;
  MessageSink sink_;
  bool prepared_ = false;
  double time_ = 0;
  int64_t steps_ = 0;
  std::vector<Vehicle> vehicles_;        // ascending numbers
  std::vector<std::vector<int>> lanes_;  // per lane: indices into vehicles_, front first
  int32_t nextNumber_ = 1;
  uint64_t random_ = 1;
  double nextArrival_ = 0;
  int queued_ = 0;  // fixed-flow vehicles waiting for room at the entrance
  std::vector<Injection> injections_;
  size_t nextInjection_ = 0;
  int collisions_ = 0;
  int exited_ = 0;
  int entered_ = 0;
  double nextReport_ = 0;
  // Detector totals since the start: [link][detector][lane].
  uint32_t detCount_[kMaxLinks][kMaxDetectors][kMaxLanes] = {};
  float detSpeed_[kMaxLinks][kMaxDetectors][kMaxLanes] = {};
  uint32_t minuteCount_ = 0;  // detector passages in the current minute
  std::string lastPrepareError_;
  std::string folder_;  // of the last .dov read: relative injection file names start there
};

/// Reads .dov text into `result` (untouched on failure; `error` is "name(line): why").
bool ParseDov(std::istream& in, const std::string& name, ConfigData& result, std::string& error);
/// The .dov text of `config`.
std::string SerialiseDov(const ConfigData& config);
/// Writes `text` through a temporary file renamed into place; refuses to replace what is not
/// a regular file.
bool WriteWholeFile(const std::string& fileName, const std::string& text, std::string& error);

/// Formats a float as the shortest text that reads back as the same float.
std::string FloatText(float value);

}  // namespace udov
