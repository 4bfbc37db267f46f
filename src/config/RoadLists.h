#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/ProgramMode.h"
#include "config/RoadTypes.h"

// Origins, destinations and teleports follow from the lane types alone. This file holds the
// scans that find them, over a copy of the lane types that an edit can be tried on before the
// configuration is changed, and the lane queries the scans and the configuration share.

// The lane queries on lane type bits: `type` is the lane's own type, `left` that of the lane
// to its left (0 for lane 0).
bool LaneTypeIsNormal(int type);
bool LaneTypeConnects(int type, int left, int whence);
bool LaneTypeMovesLeft(int type, int left, int lane);
bool LaneTypeMovesRight(int type, int left, int lane, int laneCount);

// The lane types of a road of `Boundaries() + 1` sections, section 0 the most downstream one,
// or of a window of its sections `first` .. `last`. Sections and lanes outside the road read
// as unpaved; so do sections outside the window, which the scans must not reach.
class LaneTypeGrid {
 public:
  /// A road of unpaved lanes.
  LaneTypeGrid(int boundaries, int laneCount)
      : LaneTypeGrid(boundaries, laneCount, 0, boundaries) {}
  LaneTypeGrid(int boundaries, int laneCount, int first, int last);

  int Boundaries() const { return boundaries_; }
  int LaneCount() const { return laneCount_; }
  int Type(int section, int lane) const;
  void SetType(int section, int lane, int type);
  /// Inserts a section of unpaved lanes at `section`; the sections from there on move up one.
  /// Whole roads only, as EraseSection.
  void InsertSection(int section);
  void EraseSection(int section);

  bool IsNormalLane(int section, int lane) const;
  bool LaneConnects(int section, int lane, int whence) const;
  bool CanMoveLeft(int section, int lane) const;
  bool CanMoveRight(int section, int lane) const;

 private:
  bool InRoad(int section, int lane) const;
  int Index(int section, int lane) const;

  int boundaries_;
  int laneCount_;
  int first_;               // the first section held
  std::vector<int> types_;  // [(section - first_) * laneCount_ + lane]
};

// A group of adjacent lanes of one section that the scans found.
struct LaneGroup {
  int section = 0;
  int fromLane = 0;
  int toLane = 0;
};

/// The origins the lane types give in sections `first` .. `last`, in rank order: downstream
/// sections first, within a section from left to right. An origin in section s depends on the
/// lane types of sections s and s+1 only.
void ScanOrigins(const LaneTypeGrid& road, int first, int last,
                 const std::function<void(const LaneGroup&)>& found);
/// The destinations, in rank order as the origins; a destination in section s depends on
/// sections s and s-1 only.
void ScanDestinations(const LaneTypeGrid& road, int first, int last,
                      const std::function<void(const LaneGroup&)>& found);
/// The teleport entrances (entrance true) and exits, in rank order: upstream sections first,
/// within a section from left to right. A teleport in section s depends on sections s-1 .. s+1.
void ScanTeleports(const LaneTypeGrid& road, int first, int last,
                   const std::function<void(bool entrance, const LaneGroup&)>& found);

// How many origins, destinations, teleport entrances and exits the lane types give.
struct RoadListCounts {
  int origins = 0;
  int destinations = 0;
  int entrances = 0;
  int exits = 0;

  /// True when the lists of the configuration have room for all of them.
  bool WithinLimits() const;
  /// Why they do not fit: "Too many origins (120, at most 99)"; empty when they fit.
  std::string LimitText() const;
  RoadListCounts& operator+=(const RoadListCounts& other);
  RoadListCounts& operator-=(const RoadListCounts& other);
};

/// Counts what the lane types of sections `first` .. `last` give.
RoadListCounts CountRoadLists(const LaneTypeGrid& road, int first, int last);
