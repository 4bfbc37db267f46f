#pragma once

#include <istream>
#include <string>

#include "config/ConfigRW.h"

class KDConfig;

/// Reads an old-style (V4) configuration file, recognised by its first line "* 1 * ...".
ConfigReadResult ReadOldConfig(const std::string& fileName, std::istream& in, KDConfig& config);
