#include "config/KDConfig.h"

KDConfig::KDConfig() {
  InitDemand();
  InitFurniture();
  InitParameters();
}

KDConfig::~KDConfig() = default;
