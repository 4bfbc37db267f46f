#pragma once

#include <cmath>
#include <limits>

// The one conversion from floating point to integer in the kernel: towards zero. Values
// without an integer (not a number, beyond the int range) give 0 or the nearest limit
// instead of undefined behaviour.
inline int Truncate(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int>::max()))
    return std::numeric_limits<int>::max();
  if (value <= static_cast<double>(std::numeric_limits<int>::min()))
    return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

// 70 km/h [m/s]: the speed limit at which drivers aim at their "preferred speed at 70".
constexpr double SPEED70 = 19.444444444444443;
// 120 km/h [m/s]: from this preferred speed on, the aim speed line has a fixed slope.
constexpr double SPEED120 = 33.333333333333336;

/// The upper-tail quantile of the standard normal distribution: the z with P(Z > z) = p,
/// by the rational approximation of Abramowitz and Stegun (26.2.22), |error| < 3e-3.
double NormalQuantile(double p);
