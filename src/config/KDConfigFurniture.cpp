#include "config/KDConfig.h"

void KDConfig::InitFurniture() {}
