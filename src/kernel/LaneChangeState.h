#pragma once

// The lane change state of a vehicle: 0 none; +-1..+-9 a voluntary change in progress and
// +-11..+-19 a required one (negative: towards the median, lane - 1); +-10 a required change
// just completed; 20 a neighbour asked the vehicle to make room.
constexpr int LCS_NONE = 0;
constexpr int LCS_COMPLETED = 10;
constexpr int LCS_COOPERATE = 20;

// The side of a lane change: Left is towards the median (lane - 1), Right away from it.
enum class LaneSide { None, Left, Right };

/// A manoeuvre is in progress: the vehicle is between two lanes.
inline bool InLaneChange(int state) {
  return state != LCS_NONE && state != LCS_COMPLETED && state != -LCS_COMPLETED &&
         state != LCS_COOPERATE;
}
