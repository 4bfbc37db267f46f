#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/RoadTypes.h"

// Teleport entrances and exits. Vehicles driving into an entrance (a group of adjacent
// TELEPORTIN lanes at the upstream end of a section) reappear at the downstream end of the
// exit linked to it. The lists follow the lane types; only the links (counterparts) are data
// of their own, carried from the old lists to the new ones by section and first lane.

namespace {

const char* TeleportKind(bool entrance) { return entrance ? "entrance" : "exit"; }

}  // namespace

int KDConfig::TeleportCount(bool entrance) const {
  UpdateListsIfDirty();
  return entrance ? teleportincount_ : teleportoutcount_;
}

::TeleportRecord KDConfig::TeleportRecord(bool entrance, int rank) const {
  const int count = TeleportCount(entrance);
  if (rank < 0 || rank >= count) return ::TeleportRecord();
  return entrance ? teleportin_[rank] : teleportout_[rank];
}

int KDConfig::TeleportCounterPart(bool entrance, int rank) const {
  return TeleportRecord(entrance, rank).counterpart;
}

void KDConfig::SetTeleportCounterPart(bool entrance, int rank, int counterpart) {
  const int count = TeleportCount(entrance);
  if (rank < 0 || rank >= count) {
    ProgramError(Format("KDConfig::SetTeleportCounterPart: bad %s rank=%d allowed range is 0..%d",
                        TeleportKind(entrance), rank, count - 1));
    return;
  }
  (entrance ? teleportin_ : teleportout_)[rank].counterpart = counterpart;
}

void KDConfig::RebuildTeleportLists() {
  // A lane cannot be an entrance and an exit at once; the scan passes over such a lane.
  for (int section = Boundaries(); section >= 0; --section)
    for (int lane = 0; lane < MaxLane(); ++lane) {
      const int sectiontype =
          IntPhysicalSectionProperty(section, lane, PP_LANETYPE) & (TELEPORTIN | TELEPORTOUT);
      KAVRO_ASSERT(sectiontype != (TELEPORTIN | TELEPORTOUT));
    }
  ::TeleportRecord found[2][MAXTELEPORT];  // [0] entrances, [1] exits
  int foundCount[2] = {0, 0};
  // Upstream first, and within a section from left to right: that is the rank order.
  ScanTeleports(LaneTypes(0, Boundaries()), 0, Boundaries(),
                [&](bool entrance, const LaneGroup& group) {
                  int* counter = &foundCount[entrance ? 0 : 1];
                  if (KAVRO_ASSERT(*counter < MAXTELEPORT)) {
                    found[entrance ? 0 : 1][*counter] =
                        ::TeleportRecord{group.section, group.fromLane, group.toLane, -1};
                    ++*counter;
                  }
                });
  ::TeleportRecord* lists[2] = {teleportin_, teleportout_};
  int* counts[2] = {&teleportincount_, &teleportoutcount_};
  for (int kind = 0; kind < 2; ++kind) {
    for (int i = 0; i < foundCount[kind]; ++i) {
      for (int old = 0; old < *counts[kind]; ++old) {
        const ::TeleportRecord& o = lists[kind][old];
        if (o.section == found[kind][i].section && o.fromLane == found[kind][i].fromLane) {
          found[kind][i].counterpart = o.counterpart;
          break;
        }
      }
    }
    for (int i = 0; i < MAXTELEPORT; ++i) lists[kind][i] = found[kind][i];
    *counts[kind] = foundCount[kind];
  }
}

void KDConfig::TeleportSectionsInserted(int r) {
  // The split section r-1 keeps its old index for the downstream part and the new section r
  // is its upstream part; every section upstream of it moves up one index. An entrance lies
  // at the upstream end of its section, so an entrance of the split section now belongs to
  // section r; an exit stays with the downstream part. Renumbering section r as well (the old
  // section r, directly upstream of the split) keeps its link.
  for (int i = 0; i < teleportincount_; ++i)
    if (teleportin_[i].section >= r - 1) ++teleportin_[i].section;
  for (int i = 0; i < teleportoutcount_; ++i)
    if (teleportout_[i].section >= r) ++teleportout_[i].section;
}

void KDConfig::DeleteTeleportsInSection(::TeleportRecord* list, int* count, int section) {
  int kept = 0;
  for (int i = 0; i < *count; ++i) {
    if (list[i].section == section) continue;
    list[kept++] = list[i];
  }
  for (int i = kept; i < *count; ++i) list[i] = ::TeleportRecord();
  *count = kept;
}

void KDConfig::TeleportSectionsDeleted(int section) {
  // The teleports of the removed section are gone; their links must not pass to a teleport
  // of the section that takes over the index.
  DeleteTeleportsInSection(teleportin_, &teleportincount_, section);
  DeleteTeleportsInSection(teleportout_, &teleportoutcount_, section);
  for (int i = 0; i < teleportincount_; ++i)
    if (teleportin_[i].section > section) --teleportin_[i].section;
  for (int i = 0; i < teleportoutcount_; ++i)
    if (teleportout_[i].section > section) --teleportout_[i].section;
}
