#pragma once

#include <span>

#include "config/VDCEntry.h"

// Vehicle and driver parameters of the built-in model, one set per vehicle type. The numbers
// are the parameter numbers of the configuration, the editor and the files.
constexpr int FS_max_delta_a = 0;            // acceleration jump limit [m/s³]
constexpr int FS_z2 = 1;                     // linear follow factor [s]
constexpr int FS_max_a = 2;                  // maximum acceleration [m/s²]
constexpr int FS_passive_d = 3;              // passive deceleration, negative [m/s²]
constexpr int FS_lane_change_d = 4;          // lane change deceleration, negative [m/s²]
constexpr int FS_max_d = 5;                  // maximum deceleration, negative [m/s²]
constexpr int FS_preferred_v = 6;            // preferred speed at a 120 km/h limit [km/h]
constexpr int FS_length = 7;                 // vehicle length [m]
constexpr int FS_z1 = 8;                     // stationary follow factor [m]
constexpr int FS_z3 = 9;                     // quadratic follow factor [s²/m]
constexpr int FS_prefV70 = 10;               // preferred speed at a 70 km/h limit [km/h]
constexpr int FS_specific_power = 11;        // mean specific power [kW/ton]
constexpr int FS_std_dev_spec_pwr = 12;      // standard deviation of specific power [kW/ton]
constexpr int FS_air_resistance_coeff = 13;  // [1/km]
constexpr int FS_a_traffic_light = 14;       // deceleration for a red light, negative [m/s²]

constexpr int FS_COUNT = 15;
// Vehicle types with their own defaults; further types get the new-type defaults.
constexpr int FS_BUILTIN_TYPES = 5;

/// The FS_ rows, indexed by parameter number.
std::span<const VDCEntry, FS_COUNT> FSParams();
/// The row of parameter `p` (0 .. FS_COUNT-1).
const VDCEntry& FSParam(int p);
/// The default of parameter `p` for vehicle type `type` (0-based): the built-in type's own
/// default for types 0 .. 4, the new-type default otherwise.
float FSDefault(int p, int type);

/// For SetupParamTables only.
std::span<VDCEntry, FS_COUNT> MutableFSParams();
