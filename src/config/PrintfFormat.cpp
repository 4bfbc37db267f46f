#include "config/PrintfFormat.h"

#include <cctype>
#include <cstring>

#include "config/TextChars.h"

namespace {

// Whether `c` is one of the letters of `set` (a zero byte never is).
bool OneOf(const char* set, char c) { return c != '\0' && std::strchr(set, c) != nullptr; }

}  // namespace

std::vector<std::string> PrintfConversions(const std::string& format) {
  std::vector<std::string> result;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    ++i;
    if (i < format.size() && format[i] == '%') continue;
    std::string conversion;
    for (; i < format.size(); ++i) {
      const char c = format[i];
      if (c == '*') {
        result.push_back("*");
      } else if (OneOf("hlLqjzt", c)) {
        conversion += c;
      } else if (OneOf("diouxXeEfFgGaAcspn", c)) {
        conversion += c;
        break;
      } else if (!OneOf("0123456789.-+ #'", c)) {
        // Not a conversion after all; the letter is text.
        break;
      }
    }
    result.push_back(conversion);
  }
  return result;
}

bool SingleConversion(const std::string& format, const char* kinds) {
  const std::vector<std::string> conversions = PrintfConversions(format);
  if (conversions.size() != 1 || conversions[0].size() != 1 || !OneOf(kinds, conversions[0][0]))
    return false;
  // The conversion's width and precision: at most three digits each.
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    if (i + 1 < format.size() && format[i + 1] == '%') {
      ++i;
      continue;
    }
    int digits = 0;
    for (++i; i < format.size() && !OneOf(kinds, format[i]); ++i) {
      digits = IsDigit(format[i]) ? digits + 1 : 0;
      if (digits > 3) return false;
    }
  }
  return true;
}
