#include "views/NumberFormat.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/PrintfFormat.h"

std::string GeneralFormat(double value) {
  char buffer[64];
  for (int precision = 1; precision <= 15; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
    // Plain decimals while they hold the value; the exponent form only beyond them.
    if (std::strtod(buffer, nullptr) == value && !std::strchr(buffer, 'e')) return buffer;
  }
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

std::string FormatOneNumber(const std::string& format, double value, const char* fallback) {
  char buffer[256];
  if (SingleConversion(format, "fFeEgG"))
    std::snprintf(buffer, sizeof buffer, format.c_str(), value);
  else
    std::snprintf(buffer, sizeof buffer, fallback, value);
  return buffer;
}
