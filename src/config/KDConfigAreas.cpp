#include "config/KDConfig.h"

void KDConfig::PurgeAreasBeyondLength() {}
void KDConfig::MoveAreasForSectionLength(int, int) {}
