#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "roadview/ModelVehicles.h"
#include "shell/RunSimulation.h"

// The external vehicle model (DOVEL mode) as the run controller drives it, through the
// program's wrappers of the model library. Detector data are the model's totals since the
// start, split into periods here; vehicles are walked with Next_vehicle.
class ModelSimulation : public RunSimulation {
 public:
  /// `currentFile` names the configuration file (relative injection file names start there).
  explicit ModelSimulation(std::function<std::string()> currentFile);
  ~ModelSimulation() override;

  bool Setup(const KDConfig& config, std::int32_t seed, const std::string& label) override;
  void SetRandomState(std::int32_t) override {}
  bool Step() override;
  std::string ErrorText() const override { return ""; }
  const DetectorQueries* Detector(int number) const override;
  std::vector<VehicleSnapshot> Vehicles(int lanesUsed, bool withNames) const override;
  void SetTraceSinks(const RunTraceFiles&) override {}

 private:
  class DetectorView;
  std::function<std::string()> currentFile_;
  const KDConfig* config_ = nullptr;
  int firstLane_ = 0;
  std::vector<std::unique_ptr<DetectorView>> detectors_;
};

// The model's vehicles as the traffic drawing reads them, through the wrappers.
class ModelWrapperVehicles : public ModelVehicleSource {
 public:
  int NextVehicle(int previous) override;
  float RealValue(int paramClass, int paramId, int vehicle) override;
};
