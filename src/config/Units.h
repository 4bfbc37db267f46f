#pragma once

// Speeds are entered, saved and shown in km/h and simulated in m/s. Every conversion goes
// through these functions. The results depend on the rounding of each conversion (the golden
// traces check it), so the two precisions the program has always used are kept apart: a
// product in double precision rounds differently from one in single precision for about half
// of the whole numbers of km/h.

/// km/h -> m/s in single precision: the vehicle types' preferred speeds, speed steps.
constexpr float KmhToMs(float kmh) { return kmh * static_cast<float>(1 / 3.6); }

/// km/h -> m/s in double precision, rounded once to float: the road's speed limits and the
/// preferred speed at a 70 km/h limit.
constexpr float KmhToMsInDouble(double kmh) { return static_cast<float>(kmh * (1 / 3.6)); }

/// m/s -> km/h in single precision: detector speeds.
constexpr float MsToKmh(float ms) { return ms * 3.6f; }

/// m/s -> km/h in double precision: speeds shown in colours and tables.
constexpr double MsToKmhInDouble(double ms) { return ms * 3.6; }
