#include "config/KDConfig.h"

void KDConfig::InitFurniture() {}
void KDConfig::PurgeDetectorsBeyondLength() {}
void KDConfig::MoveTrafficLightsForSectionLength(int, int) {}
void KDConfig::TeleportSectionsInserted(int) {}
void KDConfig::TeleportSectionsDeleted(int) {}
void KDConfig::RebuildTeleportLists() {}
