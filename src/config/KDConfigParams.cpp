#include "config/KDConfig.h"

void KDConfig::InitParameters() {}
