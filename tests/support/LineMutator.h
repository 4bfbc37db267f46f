#pragma once

#include <string>
#include <utility>
#include <vector>

#include "support/XorShiftRandom.h"

// Damages the lines of a text, reproducibly from its seed: configuration files, pasted flow
// tables and other line-based input of the fuzz tests.
class LineMutator : public XorShiftRandom {
 public:
  using XorShiftRandom::XorShiftRandom;

  // Damages one thing in the lines: a character, a number, a line's place or presence.
  void Mutate(std::vector<std::string>& lines) {
    if (lines.empty()) return;
    int n = Below(static_cast<int>(lines.size()));
    std::string& line = lines[n];
    static const char* const tokens[] = {"-1", "0", "99999999999", "1e30",      "nan", ":",
                                         "|",  ",", " ",           "12",        "7",   "0.0001",
                                         "L",  "#", "\t",          "2147483647"};
    switch (Below(8)) {
      case 0:
        lines.erase(lines.begin() + n);
        break;
      case 1:
        lines.insert(lines.begin() + n, line);
        break;
      case 2:
        std::swap(line, lines[Below(static_cast<int>(lines.size()))]);
        break;
      case 3:
        if (!line.empty()) line[Below(static_cast<int>(line.size()))] = static_cast<char>(Next());
        break;
      case 4: {
        size_t at = line.empty() ? 0 : Below(static_cast<int>(line.size()));
        line.insert(at, tokens[Below(sizeof tokens / sizeof tokens[0])]);
        break;
      }
      case 5: {
        // Replace a run of digits by another number.
        size_t at = line.find_first_of("0123456789",
                                       line.empty() ? 0 : Below(static_cast<int>(line.size())));
        if (at == std::string::npos) break;
        size_t end = line.find_first_not_of("0123456789", at);
        line.replace(at, end == std::string::npos ? std::string::npos : end - at,
                     tokens[Below(sizeof tokens / sizeof tokens[0])]);
        break;
      }
      case 6:
        line.resize(line.empty() ? 0 : Below(static_cast<int>(line.size())));
        break;
      default:
        lines.resize(n);
        break;
    }
  }
};
