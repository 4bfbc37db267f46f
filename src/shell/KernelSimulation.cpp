#include "shell/KernelSimulation.h"

#include "kernel/Kernel.h"
#include "kernel/SourceInfo.h"

// The accumulators of a kernel detector, read the way result files and graphs need them.
class KernelSimulation::DetectorView : public DetectorQueries {
 public:
  explicit DetectorView(const DetectorInfo& info) : info_(info) {}

  int VehicleCount(int period, int lane, int type) const override {
    return info_.VehicleCount(period, lane, type);
  }
  float HarmonicSpeed(int period, int lane, int type) const override {
    if (!Valid(period, lane)) return -1;
    int count = 0;
    float inverse = 0;  // [s/km]
    ForEach(period, lane, type, [&](const DetectorPeriod& p, int l, int k) {
      if (p.count[l][k] <= 0) return;
      count += p.count[l][k];
      inverse += p.inverseSpeedSum[l][k];
    });
    return count > 0 && inverse > 0 ? count * 3600.0f / inverse : -1;
  }
  float TravelTimeSum(int period, int lane, int type) const override {
    if (period > info_.highestPeriod) return -1;
    float sum = 0;
    ForEach(period, lane, type,
            [&](const DetectorPeriod& p, int l, int k) { sum += p.travelTimeSum[l][k]; });
    return sum;
  }
  int TravelTimeCount(int period, int lane, int type) const override {
    int count = 0;
    ForEach(period, lane, type,
            [&](const DetectorPeriod& p, int l, int k) { count += p.travelTimeCount[l][k]; });
    return count;
  }
  int LaneChanges(int period) const override {
    return Valid(period, -1) ? info_.periods[period].laneChanges : 0;
  }
  int LaneChangesLeft(int period) const override {
    return Valid(period, -1) ? info_.periods[period].laneChangesLeft : 0;
  }
  int LaneChangesRight(int period) const override {
    return Valid(period, -1) ? info_.periods[period].laneChangesRight : 0;
  }

 private:
  bool Valid(int period, int lane) const {
    return period >= 0 && period <= info_.highestPeriod &&
           period < static_cast<int>(info_.periods.size()) && lane >= -1 && lane < MAX_KAVROLANE;
  }
  template <typename F>
  void ForEach(int period, int lane, int type, F add) const {
    if (!Valid(period, lane)) return;
    const DetectorPeriod& p = info_.periods[period];
    for (int l = 0; l < MAX_KAVROLANE; ++l)
      for (int k = 0; k < MAXVEHICLETYPE; ++k)
        if ((lane == -1 || l == lane) && (type == -1 || k == type)) add(p, l, k);
  }

  const DetectorInfo& info_;
};

void LineKernelMessageSink::Show(const KernelReport& report) {
  if (report.route == KernelRoute::MessagesWindow && addLine_)
    addLine_(report.text);
  else
    HookKernelMessageSink::Instance().Show(report);
}

KernelSimulation::KernelSimulation() : kernel_(std::make_unique<Kernel>()) {}

KernelSimulation::~KernelSimulation() = default;

bool KernelSimulation::Setup(const KDConfig& config, std::int32_t seed, const std::string& label) {
  detectors_.clear();
  return kernel_->KAV_setup(config, seed, label);
}

void KernelSimulation::SetRandomState(std::int32_t seed) { kernel_->SetRandomState(seed); }

bool KernelSimulation::Step() { return kernel_->SimulateStep(); }

std::string KernelSimulation::ErrorText() const {
  return kernel_->ErrorText().value_or(std::string());
}

const DetectorQueries* KernelSimulation::Detector(int number) const {
  auto found = detectors_.find(number);
  if (found != detectors_.end()) return found->second.get();
  const DetectorInfo* info = kernel_->FindDetector(number);
  if (info == nullptr) return nullptr;
  auto view = std::make_unique<DetectorView>(*info);
  const DetectorQueries* result = view.get();
  detectors_.emplace(number, std::move(view));
  return result;
}

std::vector<VehicleSnapshot> KernelSimulation::Vehicles(int lanesUsed, bool withNames) const {
  std::vector<VehicleSnapshot> vehicles;
  vehicles.reserve(lastVehicleCount_);
  RoadObject* end = kernel_->EndOfRoad();
  if (end == nullptr) return vehicles;
  for (int lane = lanesUsed - 1; lane >= 0; --lane) {
    float aheadPosition = 1e9f;  // [m]; nothing ahead of the first object of a lane
    float aheadLength = 0;       // [m]
    for (RoadObject* object = end->PreviousWithLane(lane); object != nullptr;
         object = object->PreviousWithLane(lane)) {
      const VehicleInfo* info = object->IsVehicle() ? object->Vehicle() : nullptr;
      if (info == nullptr || info->params == nullptr) {
        aheadPosition = object->Position();
        aheadLength = 0;
        continue;
      }
      const VehicleParams& params = *info->params;
      VehicleSnapshot vehicle;
      vehicle.Number = object->Number();
      vehicle.Type = object->Type() - RO_VEHICLE;
      vehicle.Lane = lane;
      vehicle.Position = object->Position();
      vehicle.Speed = info->speed;
      vehicle.KeepsDistance = KeepsDesiredDistance(aheadPosition, aheadLength, vehicle.Position,
                                                   info->speed, params.z1, params.z2, params.z3);
      if (withNames) {
        vehicle.Origin = kernel_->OriginName(info->origin);
        vehicle.Destination = kernel_->DestinationName(info->destination);
      }
      vehicles.push_back(std::move(vehicle));
      aheadPosition = object->Position();
      aheadLength = params.length;
    }
  }
  lastVehicleCount_ = vehicles.size();
  return vehicles;
}

void KernelSimulation::SetTraceSinks(const RunTraceFiles& files) {
  // The kernel writes its trace lines straight into the files the run control opened.
  kernel_->SetTraceFiles(files.Detection, files.TravelTime, files.ODTravelTime, files.LaneChange);
}

std::vector<OriginSupply> KernelSimulation::OriginSupplies() const {
  std::vector<OriginSupply> supplies;
  for (const auto& origin : kernel_->SuperSources()) {
    OriginSupply supply;
    supply.Name = kernel_->OriginName(origin->Origin());
    float expected = 0;
    for (int lane = 0; lane < MAX_KAVROLANE; ++lane) {
      const RoadObject* object = origin->SubSource(lane);
      const SourceInfo* source = object ? object->Source() : nullptr;
      if (source == nullptr) continue;
      expected += source->expected;
      supply.Generated += source->generated;
    }
    supply.Owed = static_cast<int>(expected);
    supplies.push_back(supply);
  }
  return supplies;
}
