#include "config/RoadLists.h"

#include "config/KDConfig.h"
#include "config/ProgramError.h"

namespace {

constexpr int kMergeBits = LANE_MERGELEFT | LANE_MERGERIGHT;
constexpr int kTeleportBits = TELEPORTIN | TELEPORTOUT;

}  // namespace

bool LaneTypeIsNormal(int type) { return (type & (LANE_PAVED | LANE_MERGEBOTH)) == LANE_PAVED; }

bool LaneTypeConnects(int type, int left, int whence) {
  // The right lane of an on-ramp taper ends in it, that of an off-ramp taper begins in it.
  if (whence == WHENCE_END && (type & LANE_TAPERON) && (left & LANE_TAPERON)) return false;
  if (whence == WHENCE_BEGIN && (type & LANE_TAPEROFF) && (left & LANE_TAPEROFF)) return false;
  if (whence == WHENCE_BEGIN && (type & TELEPORTIN)) return true;
  if (whence == WHENCE_END && (type & TELEPORTOUT)) return true;
  return (type & LANE_PAVED) && (type & LANE_MERGEBOTH) != LANE_MERGEBOTH;
}

bool LaneTypeMovesLeft(int type, int left, int lane) {
  if (lane < 1 || !LaneTypeConnects(type, left, WHENCE_BEGIN)) return false;
  return (type & LANE_MERGEBOTH) == LANE_MERGELEFT || (type & LANE_CHANGELEFT);
}

bool LaneTypeMovesRight(int type, int left, int lane, int laneCount) {
  if (lane > laneCount - 2 || !LaneTypeConnects(type, left, WHENCE_BEGIN)) return false;
  return (type & LANE_MERGEBOTH) == LANE_MERGERIGHT || (type & LANE_CHANGERIGHT);
}

// ---- The grid ----------------------------------------------------------------------------

LaneTypeGrid::LaneTypeGrid(int boundaries, int laneCount, int first, int last)
    : boundaries_(boundaries), laneCount_(laneCount), first_(first) {
  if (last >= first) types_.assign(static_cast<size_t>(last - first + 1) * laneCount, 0);
}

bool LaneTypeGrid::InRoad(int section, int lane) const {
  return section >= 0 && section <= boundaries_ && lane >= 0 && lane < laneCount_;
}

// -1 for a place outside the road or the window.
int LaneTypeGrid::Index(int section, int lane) const {
  if (!InRoad(section, lane)) return -1;
  const long index = static_cast<long>(section - first_) * laneCount_ + lane;
  return index >= 0 && index < static_cast<long>(types_.size()) ? static_cast<int>(index) : -1;
}

int LaneTypeGrid::Type(int section, int lane) const {
  const int index = Index(section, lane);
  return index >= 0 ? types_[index] : 0;
}

void LaneTypeGrid::SetType(int section, int lane, int type) {
  const int index = Index(section, lane);
  if (index >= 0) types_[index] = type;
}

void LaneTypeGrid::InsertSection(int section) {
  types_.insert(types_.begin() + static_cast<std::ptrdiff_t>(section) * laneCount_, laneCount_, 0);
  ++boundaries_;
}

void LaneTypeGrid::EraseSection(int section) {
  auto begin = types_.begin() + static_cast<std::ptrdiff_t>(section) * laneCount_;
  types_.erase(begin, begin + laneCount_);
  --boundaries_;
}

bool LaneTypeGrid::IsNormalLane(int section, int lane) const {
  return InRoad(section, lane) && LaneTypeIsNormal(Type(section, lane));
}

bool LaneTypeGrid::LaneConnects(int section, int lane, int whence) const {
  return InRoad(section, lane) &&
         LaneTypeConnects(Type(section, lane), Type(section, lane - 1), whence);
}

bool LaneTypeGrid::CanMoveLeft(int section, int lane) const {
  return InRoad(section, lane) &&
         LaneTypeMovesLeft(Type(section, lane), Type(section, lane - 1), lane);
}

bool LaneTypeGrid::CanMoveRight(int section, int lane) const {
  return InRoad(section, lane) &&
         LaneTypeMovesRight(Type(section, lane), Type(section, lane - 1), lane, laneCount_);
}

// ---- The scans ---------------------------------------------------------------------------

void ScanOrigins(const LaneTypeGrid& road, int first, int last,
                 const std::function<void(const LaneGroup&)>& found) {
  const int laneCount = road.LaneCount();
  for (int i = first; i <= last; i++) {
    for (int l = 0; l < laneCount; l++) {
      // A lane starts an origin when no normal lane or teleport exit feeds it from upstream
      // and traffic cannot reach it from its left neighbour. A teleport exit may carry stray
      // lane change bits from the neighbour rules; it still feeds the lane.
      if (!road.IsNormalLane(i, l) || road.IsNormalLane(i + 1, l)) continue;
      if (road.Type(i + 1, l) & TELEPORTOUT) continue;
      if ((l > 0 && road.IsNormalLane(i, l - 1) && road.CanMoveRight(i, l - 1)) ||
          road.CanMoveLeft(i, l))
        continue;
      // Lanes to the right linked to it belong to the same origin, unless one of them
      // carries traffic from upstream: then the new lanes merely widen the road.
      int m = l + 1;
      bool joinsTraffic = false;
      while (m < laneCount && road.IsNormalLane(i, m) &&
             (road.CanMoveLeft(i, m) || road.CanMoveRight(i, m - 1))) {
        if (road.LaneConnects(i + 1, m, WHENCE_END)) {
          joinsTraffic = true;
          break;
        }
        m++;
      }
      if (joinsTraffic) continue;
      found(LaneGroup{i, l, m - 1});
      l = m - 1;
    }
  }
}

void ScanDestinations(const LaneTypeGrid& road, int first, int last,
                      const std::function<void(const LaneGroup&)>& found) {
  const int laneCount = road.LaneCount();
  for (int j = first; j <= last; j++) {
    auto continuesDownstream = [&](int lane) {
      return road.LaneConnects(j - 1, lane, WHENCE_BEGIN);
    };
    for (int k = 0; k < laneCount; k++) {
      // Traffic leaves the road where a lane ends without continuation, unless it had to
      // merge away already or the lane runs into a blocked lane.
      if (!road.LaneConnects(j, k, WHENCE_END) || continuesDownstream(k)) continue;
      const int merge = road.Type(j, k) & kMergeBits;
      if (merge == LANE_MERGELEFT || merge == LANE_MERGERIGHT) continue;
      if ((road.Type(j - 1, k) & kMergeBits) == kMergeBits) continue;
      int m = k + 1;
      while (m < laneCount && road.LaneConnects(j, m, WHENCE_END) &&
             (road.CanMoveRight(j, m - 1) || road.CanMoveLeft(j, m)) &&
             (road.Type(j, m) & kMergeBits) == 0 && !continuesDownstream(m))
        m++;
      found(LaneGroup{j, k, m - 1});
      k = m - 1;
    }
  }
}

void ScanTeleports(const LaneTypeGrid& road, int first, int last,
                   const std::function<void(bool entrance, const LaneGroup&)>& found) {
  const int laneCount = road.LaneCount();
  for (int section = last; section >= first; --section) {
    int lane = 0;
    while (lane < laneCount) {
      const int kind = road.Type(section, lane) & kTeleportBits;
      // A lane cannot be an entrance and an exit at once.
      if (kind == 0 || kind == kTeleportBits) {
        ++lane;
        continue;
      }
      const bool entrance = kind == TELEPORTIN;
      // Adjacent teleport lanes form one group when the traffic that reaches them (from
      // upstream for an entrance, leaving downstream for an exit) may change between them.
      const int neighbour = entrance ? section + 1 : section - 1;
      int end = lane;
      while (end + 1 < laneCount && (road.Type(section, end + 1) & kTeleportBits) == kind &&
             (road.CanMoveRight(neighbour, end) || road.CanMoveLeft(neighbour, end + 1)))
        ++end;
      found(entrance, LaneGroup{section, lane, end});
      lane = end + 1;
    }
  }
}

// ---- Counting ----------------------------------------------------------------------------

bool RoadListCounts::WithinLimits() const {
  return origins <= MAXSOURCE && destinations <= MAXSINK && entrances <= MAXTELEPORT &&
         exits <= MAXTELEPORT;
}

std::string RoadListCounts::LimitText() const {
  const char* what = nullptr;
  int count = 0;
  int limit = 0;
  if (origins > MAXSOURCE)
    what = "origins", count = origins, limit = MAXSOURCE;
  else if (destinations > MAXSINK)
    what = "destinations", count = destinations, limit = MAXSINK;
  else if (entrances > MAXTELEPORT)
    what = "teleport entrances", count = entrances, limit = MAXTELEPORT;
  else if (exits > MAXTELEPORT)
    what = "teleport exits", count = exits, limit = MAXTELEPORT;
  if (what == nullptr) return "";
  return Format("Too many %s (%d, at most %d)", what, count, limit);
}

RoadListCounts& RoadListCounts::operator+=(const RoadListCounts& other) {
  origins += other.origins;
  destinations += other.destinations;
  entrances += other.entrances;
  exits += other.exits;
  return *this;
}

RoadListCounts& RoadListCounts::operator-=(const RoadListCounts& other) {
  origins -= other.origins;
  destinations -= other.destinations;
  entrances -= other.entrances;
  exits -= other.exits;
  return *this;
}

RoadListCounts CountRoadLists(const LaneTypeGrid& road, int first, int last) {
  RoadListCounts counts;
  ScanOrigins(road, first, last, [&](const LaneGroup&) { counts.origins++; });
  ScanDestinations(road, first, last, [&](const LaneGroup&) { counts.destinations++; });
  ScanTeleports(road, first, last, [&](bool entrance, const LaneGroup&) {
    (entrance ? counts.entrances : counts.exits)++;
  });
  return counts;
}
