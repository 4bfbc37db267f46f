#pragma once

#include <cstdint>

#include "config/ProgramMode.h"

// Kinds of road objects. The codes are fixed: they order objects at equal positions (higher
// codes first) and appear in messages and the object list.
constexpr int RO_SINK = 11;
constexpr int RO_SOURCE = 22;
constexpr int RO_DETECTOR = 50;
constexpr int RO_TELEPORT = 60;
constexpr int RO_REVERSETELEPORT = 61;
constexpr int RO_PHYSBOUNDARY = 80;
constexpr int RO_TRAFFICLIGHT = 96;
constexpr int RO_LANEDETECTOR = 97;
constexpr int RO_ENDOFROAD = 98;
constexpr int RO_DUMMY = 99;
// Vehicles have the codes RO_VEHICLE + vehicle type index (0..7).
constexpr int RO_VEHICLE = 100;
constexpr int RO_VEHICLE_END = RO_VEHICLE + 8;

/// A vehicle of any type.
constexpr bool ISVEHICLE(int type) { return type >= RO_VEHICLE; }
/// A vehicle or a dummy: what car following treats as an obstacle with a rear end.
constexpr bool ISOBSTACLE(int type) { return type >= RO_DUMMY; }

// Pseudo-lanes keep the furniture that spans all lanes out of the real lanes' lists.
constexpr int LANE_DETECTORS = -1;      // every detector
constexpr int LANE_BOUNDARIES = -2;     // physical boundaries and the end of road
constexpr int LANE_LANEDETECTORS = -4;  // every lane detector (real lane in its extras)
constexpr int LANE_TRAFFICLIGHTS = -5;  // every traffic light
constexpr int LOWEST_LANE_VALUE = -5;

// Traffic light states as the configuration and the drivers know them.
constexpr int TL_NOSTATE = 200;
constexpr int TL_RED = 201;
constexpr int TL_GREEN = 202;
constexpr int TL_YELLOW = 203;

// The five causes of kernel reports; the values index KAV_error_types.
enum class KernelCause : int {
  ProgramError = 0,        // the application is ended
  Error = 1,               // the kernel stops
  ConfigurationError = 2,  // the kernel stops; a batch records it silently
  SimulatorError = 3,      // the kernel stops
  SimulatorWarning = 4,    // nothing changes
};
