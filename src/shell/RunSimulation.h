#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class KDConfig;

// What a detector of the last run recorded, per period, lane (0 .. 11, -1 = all lanes) and
// vehicle type (0 .. 7, -1 = all types).
class DetectorQueries {
 public:
  virtual ~DetectorQueries() = default;
  virtual int VehicleCount(int period, int lane, int type) const = 0;
  /// Harmonic mean speed [km/h]; -1 when nothing was counted.
  virtual float HarmonicSpeed(int period, int lane, int type) const = 0;
  /// [s]; -1 beyond the recorded periods.
  virtual float TravelTimeSum(int period, int lane, int type) const = 0;
  virtual int TravelTimeCount(int period, int lane, int type) const = 0;
  virtual int LaneChanges(int period) const = 0;
  virtual int LaneChangesLeft(int period) const = 0;
  virtual int LaneChangesRight(int period) const = 0;
};

// A vehicle as the vehicle tracks and the vehicle trace see it after a step.
struct VehicleSnapshot {
  int Number = 0;
  int Type = 0;                // type index, 0 for the first vehicle type
  int Lane = 0;                // lane index, 0 = median lane
  float Position = 0;          // [m]
  float Speed = 0;             // [m/s]
  bool KeepsDistance = false;  // at least its desired distance to the object ahead
  std::string Origin;
  std::string Destination;
};

// The kernel trace files a run writes into; none = not written.
struct RunTraceFiles {
  std::FILE* Detection = nullptr;
  std::FILE* TravelTime = nullptr;  // detector to detector
  std::FILE* ODTravelTime = nullptr;
  std::FILE* LaneChange = nullptr;
};

// What an origin's demand asked for and what the origin could insert so far.
struct OriginSupply {
  std::string Name;
  int Owed = 0;       // whole vehicles due so far
  int Generated = 0;  // vehicles inserted so far
};

// The simulation a run controller drives: the built-in kernel, or a stand-in in tests.
class RunSimulation {
 public:
  virtual ~RunSimulation() = default;
  /// Builds the road of `config` for a new run; false when that failed (it reported why).
  virtual bool Setup(const KDConfig& config, std::int32_t seed, const std::string& label) = 0;
  virtual void SetRandomState(std::int32_t seed) = 0;
  /// One time step; false when the simulation failed.
  virtual bool Step() = 0;
  /// The first error text of the run, empty when none.
  virtual std::string ErrorText() const = 0;
  /// The detector with this configuration number, none when the simulation has none.
  virtual const DetectorQueries* Detector(int number) const = 0;
  /// The vehicles in walking order: lanes from the highest index down to 0, each lane from
  /// the end of the road upstream. Origin and destination names are filled only `withNames`
  /// (the vehicle trace): building them for every vehicle of every step costs more than the step.
  virtual std::vector<VehicleSnapshot> Vehicles(int lanesUsed, bool withNames) const = 0;
  /// The open trace files the next steps write into.
  virtual void SetTraceSinks(const RunTraceFiles& sinks) = 0;
  /// Per origin, in origin order: the vehicles its demand asked for so far and those it could
  /// insert. None when the simulation does not tell.
  virtual std::vector<OriginSupply> OriginSupplies() const { return {}; }
};

/// True when a vehicle at `position` [m] with `speed` [m/s] keeps at least its desired
/// distance z1 + z2 v + z3 v^2 [m] to the object ahead at `aheadPosition` [m] (its front) of
/// length `aheadLength` [m].
bool KeepsDesiredDistance(float aheadPosition, float aheadLength, float position, float speed,
                          float z1, float z2, float z3);
