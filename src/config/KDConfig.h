#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/ProgramMode.h"

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
