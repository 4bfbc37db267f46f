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
