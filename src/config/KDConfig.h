#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/ProgramMode.h"
#include "config/RoadTypes.h"

// The configuration: the road, the demand, the furniture on the road and the behaviour
// parameters. The program keeps one current configuration (theKDC); file readers build a
// new one and swap it in only on success; undo keeps independent copies.
//
// The class is implemented in several files, one per concern:
//   KDConfig.cpp            lifetime, change stamp, road layout and lane queries
//   KDConfigDemand.cpp      origins, destinations, flow graphs, type shares, OD matrix
//   KDConfigAreas.cpp       lane change areas and route choice
//   KDConfigFurniture.cpp   detectors, traffic lights, lane detectors, teleports, closed lane
//   KDConfigParams.cpp      vehicle and driver parameters, seed, time step, stop time

constexpr int MAXSOURCE = 99;
constexpr int MAXSINK = 99;
constexpr int MAXTELEPORT = 99;
constexpr int MAXVEHICLETYPE = 8;

// A teleport entrance or exit: a group of adjacent lanes of one section. An entrance and an
// exit are linked when their counterparts are equal; -1 = not linked. Unused: section -1.
struct TeleportRecord {
  int section = -1;
  int fromLane = 0;
  int toLane = 0;
  int counterpart = -1;
};

class KDConfig {
 public:
  KDConfig();
  ~KDConfig();
  KDConfig(const KDConfig&) = delete;
  KDConfig& operator=(const KDConfig&) = delete;

  // ---- Road layout ---------------------------------------------------------------------
  /// 0x9d6209f1 while the object is alive, 0 once destroyed.
  std::uint32_t MagicNumber() const { return magicNumber_; }
  /// The value of the program-wide change counter after this configuration's last change.
  int ChangeStamp() const { return changeStamp_; }

  /// Road length [m]: the downstream end of section 0.
  int Length() const;
  /// Number of physical sections minus 1; section Boundaries() begins at position 0.
  int Boundaries() const { return static_cast<int>(sections_.size()) - 1; }
  /// Moves the downstream end of the road; with several sections the road can only grow.
  void SetLength(int length);
  /// Splits the section containing `distance` [m] there; both parts keep its values.
  void InsertBoundary(int distance);
  /// Removes a section; its downstream neighbour takes over its stretch (section 0: the road
  /// becomes shorter).
  void DeleteBoundary(int section);
  /// Begin or end [m] of a section (WHENCE_BEGIN / WHENCE_END); -1 for no section.
  int SectionPos(int section, int whence) const;
  void SetSectionPos(int section, int position, int whence);
  /// -1 for no section.
  int SectionLength(int section) const;
  /// Resizes a section [m]; everything downstream (sections, lane change areas, traffic
  /// lights) shifts with its end. Ignored for no section or a length <= 0.
  void SetSectionLength(int section, int length);
  /// The section containing `position` [m] (a boundary belongs to the downstream section);
  /// -1 off the road.
  int SectionAt(float position) const;

  /// Lane MaxLane() is accepted and reads as 0.
  float PhysicalSectionProperty(int section, int lane, int property) const;
  int IntPhysicalSectionProperty(int section, int lane, int property) const;
  /// Validates, normalises and stores one value. Without `noAdjust` a lane type adapts the
  /// lane change bits at the road edges and of the neighbour lanes, and a distance must stay
  /// between the neighbouring boundaries.
  void SetPhysicalSectionProperty(int section, int lane, int property, float value,
                                  bool noAdjust = false);
  /// The file code 0 .. 11 of a lane's type.
  int OldPhysSectionType(int section, int lane) const;
  /// 1 + the highest lane paved in any section; 0 when none is.
  int LanesUsed() const;
  /// The lowest lane paved in any section; MaxLane() when none is.
  int FirstLaneUsed() const;
  /// Whether traffic can pass the begin or end (`whence`) of the lane.
  bool LaneConnects(int section, int lane, int whence) const;
  /// Paved and without merge bits.
  bool IsNormalLane(int section, int lane) const;
  /// A lane change or a forced merge towards lane-1 is possible.
  bool CanMoveLeft(int section, int lane) const;
  /// A lane change or a forced merge towards lane+1 is possible.
  bool CanMoveRight(int section, int lane) const;
  /// Deletes the detectors and lane change areas past the road end.
  void PurgeBeyondLength();

  // ---- Origins, destinations and demand ------------------------------------------------


  // ---- Lane change areas and route choice ----------------------------------------------


  // ---- Detectors, traffic lights, lane detectors, teleports, closed lane ---------------


  // ---- Vehicle and driver parameters, run settings -------------------------------------


 private:
  // Each concern initialises its own members for the default configuration; the
  // constructor calls them in this order.
  void InitDemand();
  void InitFurniture();
  void InitParameters();

  // Hooks the road edits call into the other concerns.
  // Lane change areas: delete those past the road end; move those at or past `end` [m]
  // by `delta` [m] when a section changes length.
  void PurgeAreasBeyondLength();
  void MoveAreasForSectionLength(int end, int delta);
  // Detectors: delete detector 0 while it lies at or beyond the road end.
  void PurgeDetectorsBeyondLength();
  // Traffic lights: when a section ending at `end` changes length by `delta`, delete those
  // pushed past the road end (delta <= 0) and move those at or past `end`.
  void MoveTrafficLightsForSectionLength(int end, int delta);
  // Teleport records follow boundary inserts (new section index r) and deletes.
  void TeleportSectionsInserted(int r);
  void TeleportSectionsDeleted(int section);
  // Rebuilds the teleport lists from the lane types (the last step of the list rebuild).
  void RebuildTeleportLists();

  // ---- Road layout (private) -----------------------------------------------------------
  // Takes a new value of the program-wide change counter: every successful change of any
  // concern calls this once it has changed the configuration.
  void Touch();
  // Mirrors a road change into the external vehicle model (DOVEL mode): one property of one
  // lane, or every section when `section` is -1. False when the model refused the change.
  bool SendSectionsToModel(int section = -1, int lane = -1, int property = -1);
  // Applies the lane type rules to a copy of the section and stores it; false (nothing
  // changed) when an internal consistency check fails.
  bool StoreLaneType(int section, int lane, float value, bool noAdjust);
  bool StoreDistance(int section, int lane, float value, bool noAdjust);
  void AdjustNeighbourLanes(PhysSection& sec, int lane, int laneType) const;
  bool CompleteTapers(PhysSection& sec, int lane) const;
  void NormaliseDovelLanes(PhysSection& sec, int lane, int laneType) const;
  int LaneType(int section, int lane) const;
  bool IsLaneInRange(int section, int lane) const;

  std::uint32_t magicNumber_ = 0;
  int changeStamp_ = 0;
  // Section s ends at value[0][PP_DISTANCE] [m]; the distances strictly decrease with s.
  std::vector<PhysSection> sections_;
  // Bookkeeping for the rebuild of the origin and destination lists: the section changed
  // last by a boundary insert or delete, and Boundaries at that change.
  int lastChangedSection_ = -1;
  int boundariesAtLastChange_ = 0;
  // Origins, destinations and teleports must be rebuilt from the lane types.
  bool listsDirty_ = true;


  // ---- Origins, destinations and demand (private) --------------------------------------


  // ---- Lane change areas (private) -----------------------------------------------------


  // ---- Detectors, traffic lights, lane detectors, teleports, closed lane (private) -----
  TeleportRecord teleportin_[MAXTELEPORT];
  TeleportRecord teleportout_[MAXTELEPORT];
  int teleportincount_ = 0;
  int teleportoutcount_ = 0;


  // ---- Vehicle and driver parameters (private) -----------------------------------------


};
