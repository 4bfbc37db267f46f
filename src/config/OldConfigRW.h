#pragma once

#include <istream>
#include <string>

#include "config/ConfigRW.h"

class KDConfig;

/// True when `firstLine`, the first line of a configuration text, marks an old-style file: it
/// starts with "* 1 * " and holds more after it (trailing blanks do not count).
bool IsOldStyleFirstLine(std::string firstLine);

/// Reads an old-style (V4) configuration file, recognised by its first line "* 1 * ...".
ConfigReadResult ReadOldConfig(const std::string& fileName, std::istream& in, KDConfig& config);
