#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "kernel/Kernel.h"

void Kernel::Reset() {
  DestroyAllObjects();
  currentPhysSection_ = nullptr;
  ready_ = true;
  firstError_.reset();
  stepCount_ = 0;
  arrivedCount_ = 0;
  paramSets_.clear();
  for (auto& lane : areas_) lane.clear();
  superSources_.clear();
  KernelAssert(endOfRoad_ == nullptr, "EndOfRoad == NULL");
}

bool Kernel::KAV_setup(const KDConfig* config, int32_t seed, const std::string& label) {
  runLabel_ = label;
  seed_ = seed;
  Reset();
  stepCount_ = -1;  // reports during set-up go to a message box
  config_ = config;
  if (config == nullptr) return false;
  vehicleIdCounter_ = 0;
  congestionWarned_ = false;
  dummyCounter_ = 0;
  taperPairCounter_ = 0;
  randomState_ = seed;
  stepCount_ = 0;
  return true;
}
