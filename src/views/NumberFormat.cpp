#include "views/NumberFormat.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

bool OneFloatConversion(const std::string& format) {
  int conversions = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    if (i + 1 < format.size() && format[i + 1] == '%') {
      ++i;
      continue;
    }
    size_t j = i + 1;
    while (j < format.size() && std::string("-+ #0123456789.").find(format[j]) != std::string::npos)
      ++j;
    if (j >= format.size() || std::string("fFeEgG").find(format[j]) == std::string::npos)
      return false;
    ++conversions;
    i = j;
  }
  return conversions == 1;
}

std::string FormatOneNumber(const std::string& format, double value, const char* fallback) {
  char buffer[256];
  if (OneFloatConversion(format))
    std::snprintf(buffer, sizeof buffer, format.c_str(), value);
  else
    std::snprintf(buffer, sizeof buffer, fallback, value);
  return buffer;
}
