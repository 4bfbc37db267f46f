#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "kernel/KernelMessages.h"
#include "shell/RunSimulation.h"

class Kernel;

// Kernel reports meant for the messages window become lines (the log of an unattended batch);
// the others go to the reporting hook as usual.
class LineKernelMessageSink : public KernelMessageSink {
 public:
  explicit LineKernelMessageSink(std::function<void(const std::string&)> addLine)
      : addLine_(std::move(addLine)) {}
  void Show(const KernelReport& report) override;

 private:
  std::function<void(const std::string&)> addLine_;
};

// The built-in kernel as the run controller drives it. Each instance owns its own kernel.
class KernelSimulation : public RunSimulation {
 public:
  KernelSimulation();
  ~KernelSimulation() override;

  Kernel& GetKernel() { return *kernel_; }

  bool Setup(const KDConfig& config, std::int32_t seed, const std::string& label) override;
  void SetRandomState(std::int32_t seed) override;
  bool Step() override;
  std::string ErrorText() const override;
  const DetectorQueries* Detector(int number) const override;
  std::vector<VehicleSnapshot> Vehicles(int lanesUsed, bool withNames) const override;
  void SetTraceSinks(const RunTraceFiles& sinks) override;
  std::vector<OriginSupply> OriginSupplies() const override;

 private:
  class DetectorView;
  std::unique_ptr<Kernel> kernel_;
  // Views of the detectors of the current run, made on first request.
  mutable std::map<int, std::unique_ptr<DetectorView>> detectors_;
  mutable std::size_t lastVehicleCount_ = 0;  // the last walk's size, to reserve the next
};
