#include "kernel/StatusText.h"

#include <cmath>
#include <cstdio>
#include <cstring>

void FormatStatus(char* text, std::size_t size, const char* kind, float value) {
  const double magnitude = std::fabs(static_cast<double>(value));
  const std::size_t kindLength = std::strlen(kind);
  // Hundredths of a float below a million fit a double exactly (at most 24 + 7 bits), so
  // rounding them to a whole number rounds as the C library does: to nearest, ties to even
  // under the default rounding mode. The text then has at most the kind, a blank, a sign,
  // seven digits, the point, two decimals and the terminator. Anything else (not a number,
  // huge values, a short buffer) goes the long way.
  if (!(magnitude < 1e6) || kindLength + 13 > size) {
    std::snprintf(text, size, "%s %.2f", kind, static_cast<double>(value));
    return;
  }
  long long hundredths = static_cast<long long>(std::nearbyint(magnitude * 100));
  char digits[16];
  int count = 0;
  // Two decimals, the point, then the whole part (at least one digit), from the right.
  digits[count++] = static_cast<char>('0' + hundredths % 10);
  hundredths /= 10;
  digits[count++] = static_cast<char>('0' + hundredths % 10);
  hundredths /= 10;
  digits[count++] = '.';
  do {
    digits[count++] = static_cast<char>('0' + hundredths % 10);
    hundredths /= 10;
  } while (hundredths > 0);
  char* out = text;
  std::memcpy(out, kind, kindLength);
  out += kindLength;
  *out++ = ' ';
  if (std::signbit(value)) *out++ = '-';  // also "-0.00", as printf writes it
  while (count > 0) *out++ = digits[--count];
  *out = '\0';
}
