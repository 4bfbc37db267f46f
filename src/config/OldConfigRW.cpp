#include "config/OldConfigRW.h"

// Old-style files are positional; their reader is not part of this program yet, so such a
// file is refused at its first line instead of being misread as a keyed file.
ConfigReadResult ReadOldConfig(const std::string& fileName, std::istream& in, KDConfig&) {
  std::string first;
  std::getline(in, first);
  while (!first.empty() && (first.back() == '\r' || first.back() == ' ' || first.back() == '\t'))
    first.pop_back();
  ConfigReadResult result;
  result.error = {fileName, 1, first, "Old-style (V4) configuration files are not supported yet"};
  return result;
}
