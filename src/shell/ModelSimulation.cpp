#include "shell/ModelSimulation.h"

#include <array>

#include "config/KDConfig.h"
#include "config/Units.h"
#include "extmodel/DovelCalls.h"
#include "kernel/KernelMath.h"
#include "shell/InjectionFile.h"

namespace {

// Run-time parameters of the model, by vehicle number or detector.
constexpr int kVehicleClass = 8, kVehicleType = 1;
constexpr int kPlaceClass = 9, kLink = 1, kLane = 2, kLinkPosition = 3, kSpeed = 4;
constexpr int kDetectorClass = 11, kDetectorCount = 1, kDetectorSpeedTotal = 2;

}  // namespace

// One detector: the model counts since the start of the run; a period is the difference of
// the totals at its end and at the end of the period before.
class ModelSimulation::DetectorView : public DetectorQueries {
 public:
  DetectorView(int link, int index, std::vector<int> lanes, int firstLane)
      : link_(link), index_(index), lanes_(std::move(lanes)), firstLane_(firstLane) {}

  int VehicleCount(int period, int lane, int type) const override {
    const Period* p = Get(period);
    if (!p || type >= 0) return 0;
    if (lane < 0) {
      int all = 0;
      for (int n : p->count) all += n;
      return all;
    }
    return lane < MAX_KAVROLANE ? p->count[lane] : 0;
  }
  float HarmonicSpeed(int period, int lane, int type) const override {
    const Period* p = Get(period);
    if (!p || type >= 0 || lane < 0 || lane >= MAX_KAVROLANE || p->count[lane] < 1) return -1;
    // The model gives speed totals: the period's speed is their arithmetic mean.
    return p->speed[lane] / static_cast<float>(p->count[lane]);
  }
  float TravelTimeSum(int, int, int) const override { return 0; }
  int TravelTimeCount(int, int, int) const override { return 0; }
  int LaneChanges(int) const override { return 0; }
  int LaneChangesLeft(int) const override { return 0; }
  int LaneChangesRight(int) const override { return 0; }

 private:
  struct Period {
    std::array<int, MAX_KAVROLANE> count{};
    std::array<float, MAX_KAVROLANE> speed{};
  };

  // The periods are asked for in order, each once at its end: a new one reads the model.
  const Period* Get(int period) const {
    if (period < 0 || period > static_cast<int>(periods_.size())) return nullptr;
    if (period == static_cast<int>(periods_.size())) {
      Period now;
      std::array<float, MAX_KAVROLANE> totalCount{}, totalSpeed{};
      for (int lane : lanes_) {
        const int record = lane - firstLane_;
        if (record < 0 || record >= MAX_KAVROLANE) continue;
        const int modelLane = MAX_DOVELLANE - lane;
        totalCount[record] =
            Dovel::Get_param_realvalue(kDetectorClass, kDetectorCount, link_, index_, modelLane);
        totalSpeed[record] = Dovel::Get_param_realvalue(kDetectorClass, kDetectorSpeedTotal, link_,
                                                        index_, modelLane);
      }
      for (int l = 0; l < MAX_KAVROLANE; ++l) {
        now.count[l] = Truncate(totalCount[l] - lastCount_[l]);
        now.speed[l] = totalSpeed[l] - lastSpeed_[l];
      }
      lastCount_ = totalCount;
      lastSpeed_ = totalSpeed;
      periods_.push_back(now);
    }
    return &periods_[period];
  }

  int link_;
  int index_;
  std::vector<int> lanes_;  // program lanes paved at the detector
  int firstLane_;
  mutable std::vector<Period> periods_;
  mutable std::array<float, MAX_KAVROLANE> lastCount_{}, lastSpeed_{};
};

ModelSimulation::ModelSimulation(std::function<std::string()> currentFile)
    : currentFile_(std::move(currentFile)) {}

ModelSimulation::~ModelSimulation() = default;

bool ModelSimulation::Setup(const KDConfig& config, std::int32_t, const std::string&) {
  config_ = &config;
  detectors_.clear();
  const std::string file = currentFile_ ? currentFile_() : "";
  if (config.UseInjectionFile() && !CheckInjectionFile(config, file)) return false;
  // A model that is not ready has said why through its messages.
  if (Dovel::Prepare_simulation() != 0) return false;
  Dovel::Reset_simulation();
  firstLane_ = config.FirstLaneUsed();
  for (int n = 0; n < config.DetectorCount(); ++n) {
    int link = 0, index = 0, offset = 0;
    if (!config.DovelDetectorAddress(n, link, index, offset)) {
      detectors_.push_back(nullptr);
      continue;
    }
    const int section = config.Boundaries() + 1 - link;
    std::vector<int> lanes;
    for (int lane = 0; lane < MAX_DOVELLANE; ++lane)
      if (config.IntPhysicalSectionProperty(section, lane, PP_LANETYPE) & LANE_PAVED)
        lanes.push_back(lane);
    detectors_.push_back(std::make_unique<DetectorView>(link, index, lanes, firstLane_));
  }
  return true;
}

bool ModelSimulation::Step() {
  Dovel::Simulate_step();
  return true;
}

const DetectorQueries* ModelSimulation::Detector(int number) const {
  if (number < 0 || number >= static_cast<int>(detectors_.size())) return nullptr;
  return detectors_[number].get();
}

std::vector<VehicleSnapshot> ModelSimulation::Vehicles(int, bool) const {
  std::vector<VehicleSnapshot> vehicles;
  if (!config_) return vehicles;
  for (int k = Dovel::Next_vehicle(0); k >= 1; k = Dovel::Next_vehicle(k)) {
    const int link = Truncate(Dovel::Get_param_realvalue(kPlaceClass, kLink, k, -1, -1));
    const int section = config_->Boundaries() + 1 - link;
    if (section < 0 || section > config_->Boundaries()) continue;
    VehicleSnapshot v;
    v.Number = k;
    v.Position = static_cast<float>(config_->SectionPos(section, WHENCE_BEGIN)) +
                 Dovel::Get_param_realvalue(kPlaceClass, kLinkPosition, k, -1, -1);
    if (v.Position < 0) continue;
    v.Lane = MAX_DOVELLANE - Truncate(Dovel::Get_param_realvalue(kPlaceClass, kLane, k, -1, -1)) -
             firstLane_;
    v.Type = Truncate(Dovel::Get_param_realvalue(kVehicleClass, kVehicleType, k, -1, -1)) - 1;
    v.Speed = KmhToMs(Dovel::Get_param_realvalue(kPlaceClass, kSpeed, k, -1, -1));
    vehicles.push_back(v);
  }
  return vehicles;
}

int ModelWrapperVehicles::NextVehicle(int previous) { return Dovel::Next_vehicle(previous); }

float ModelWrapperVehicles::RealValue(int paramClass, int paramId, int vehicle) {
  return Dovel::Get_param_realvalue(paramClass, paramId, vehicle, -1, -1);
}
