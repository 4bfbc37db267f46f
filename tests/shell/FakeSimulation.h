#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "config/ProgramMode.h"
#include "shell/RunSimulation.h"

// A detector with hand-set accumulators, like the kernel's: counts, inverse speed sums [s/km]
// and travel times per period, lane and vehicle type.
class FakeDetector : public DetectorQueries {
 public:
  struct Period {
    int count[MAX_KAVROLANE][8] = {};
    float inverseSpeedSum[MAX_KAVROLANE][8] = {};
    float travelTimeSum[MAX_KAVROLANE][8] = {};
    int travelTimeCount[MAX_KAVROLANE][8] = {};
    int left = 0;
    int right = 0;
  };
  std::vector<Period> periods;

  Period& At(int period) {
    if (static_cast<int>(periods.size()) <= period) periods.resize(period + 1);
    return periods[period];
  }
  /// Adds `n` vehicles of a type in a lane at `speed` [km/h], `travelTime` [s] each (0 = none).
  void Pass(int period, int lane, int type, int n, float speed, float travelTime = 0) {
    Period& p = At(period);
    p.count[lane][type] += n;
    p.inverseSpeedSum[lane][type] += n * 3600.0f / speed;
    if (travelTime > 0) {
      p.travelTimeCount[lane][type] += n;
      p.travelTimeSum[lane][type] += n * travelTime;
    }
  }

  template <typename F>
  void Sum(int period, int lane, int type, F add) const {
    if (period < 0 || period >= static_cast<int>(periods.size())) return;
    for (int l = 0; l < MAX_KAVROLANE; ++l)
      for (int k = 0; k < 8; ++k)
        if ((lane == -1 || l == lane) && (type == -1 || k == type)) add(periods[period], l, k);
  }
  int VehicleCount(int period, int lane, int type) const override {
    int n = 0;
    Sum(period, lane, type, [&](const Period& p, int l, int k) { n += p.count[l][k]; });
    return n;
  }
  float HarmonicSpeed(int period, int lane, int type) const override {
    int n = 0;
    float inverse = 0;
    Sum(period, lane, type, [&](const Period& p, int l, int k) {
      n += p.count[l][k];
      inverse += p.inverseSpeedSum[l][k];
    });
    return n > 0 ? n * 3600.0f / inverse : -1;
  }
  float TravelTimeSum(int period, int lane, int type) const override {
    if (period >= static_cast<int>(periods.size())) return -1;
    float sum = 0;
    Sum(period, lane, type, [&](const Period& p, int l, int k) { sum += p.travelTimeSum[l][k]; });
    return sum;
  }
  int TravelTimeCount(int period, int lane, int type) const override {
    int n = 0;
    Sum(period, lane, type, [&](const Period& p, int l, int k) { n += p.travelTimeCount[l][k]; });
    return n;
  }
  int LaneChanges(int period) const override {
    return period < static_cast<int>(periods.size()) ? periods[period].left + periods[period].right
                                                     : 0;
  }
  int LaneChangesLeft(int period) const override {
    return period < static_cast<int>(periods.size()) ? periods[period].left : 0;
  }
  int LaneChangesRight(int period) const override {
    return period < static_cast<int>(periods.size()) ? periods[period].right : 0;
  }
};

// A simulation that only counts its steps; tests script what the detectors and vehicles show.
class FakeSimulation : public RunSimulation {
 public:
  bool setupResult = true;
  int failAtStep = -1;  // Step() fails when it would make this step
  int steps = 0;
  int setups = 0;
  std::int32_t seed = 0;
  std::int32_t randomState = 0;
  std::string label;
  std::string errorText = "Vehicle 3 left the road";
  std::map<int, FakeDetector> detectors;
  std::vector<VehicleSnapshot> vehicles;
  RunTraceFiles sinks;
  // Called after every successful step with its number.
  std::function<void(int, FakeSimulation&)> onStep;

  bool Setup(const KDConfig&, std::int32_t s, const std::string& l) override {
    ++setups;
    seed = s;
    randomState = s;
    label = l;
    steps = 0;
    detectors.clear();
    return setupResult;
  }
  void SetRandomState(std::int32_t s) override { randomState = s; }
  bool Step() override {
    if (steps + 1 == failAtStep) return false;
    ++steps;
    if (sinks.Detection) std::fprintf(sinks.Detection, "step %d\n", steps);
    if (onStep) onStep(steps, *this);
    return true;
  }
  std::string ErrorText() const override { return errorText; }
  const DetectorQueries* Detector(int number) const override {
    auto found = detectors.find(number);
    return found == detectors.end() ? nullptr : &found->second;
  }
  std::vector<VehicleSnapshot> Vehicles(int, bool) const override { return vehicles; }
  void SetTraceSinks(const RunTraceFiles& s) override { sinks = s; }
};
