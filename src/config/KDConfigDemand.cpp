#include "config/KDConfig.h"

void KDConfig::InitDemand() {}
