#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Every conversion of a kernel quantity to a whole number goes through here, so that all of
// them truncate towards zero in the same way. Values beyond the int range (or not a number)
// saturate instead of invoking undefined behaviour.
inline int32_t TruncateToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

// km/h to m/s, as the kernel's speed limits are converted.
constexpr double KMH_TO_MS = 0.2777777777777778;
// 70 km/h [m/s]: the speed limit at which drivers aim at their "preferred speed at 70".
constexpr double SPEED70 = 19.444444444444443;
// 120 km/h [m/s]: from this preferred speed on, the aim speed line has a fixed slope.
constexpr double SPEED120 = 33.333333333333336;

/// The upper-tail quantile of the standard normal distribution: the z with P(Z > z) = p,
/// by the rational approximation of Abramowitz and Stegun (26.2.22), |error| < 3e-3.
double NormalQuantile(double p);
