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

  // ---- Road layout (private) -----------------------------------------------------------


  // ---- Origins, destinations and demand (private) --------------------------------------


  // ---- Lane change areas (private) -----------------------------------------------------


  // ---- Detectors, traffic lights, lane detectors, teleports, closed lane (private) -----


  // ---- Vehicle and driver parameters (private) -----------------------------------------


};
