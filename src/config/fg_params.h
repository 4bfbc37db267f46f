#pragma once

#include <span>

#include "config/VDCEntry.h"

// General driver parameters of the built-in model, shared by all vehicle types.
constexpr int FG_lane_change_T = 0;  // duration of a lane change [s]
constexpr int FG_Treac_a = 1;        // reaction delay before accelerating [s]
constexpr int FG_Treac_d = 2;        // reaction delay before decelerating [s]

constexpr int FG_COUNT = 3;

/// The FG_ rows, indexed by parameter number; the default is `newDefault`.
std::span<const VDCEntry, FG_COUNT> FGParams();
/// The row of parameter `p` (0 .. FG_COUNT-1).
const VDCEntry& FGParam(int p);

/// For SetupParamTables only.
std::span<VDCEntry, FG_COUNT> MutableFGParams();
