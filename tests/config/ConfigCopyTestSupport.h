#pragma once

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"

// The saved bytes of a configuration, with a fixed date line: two configurations are the same
// to the user exactly when these are equal.
inline std::string SavedText(KDConfig& config) {
  return KavroConfigText(config, "Mon Jan  5 09:00:00 2026\n");
}

inline std::string SourceFileText(const std::string& relative) {
  std::ifstream in(std::string(KAVRO_SOURCE_DIR) + "/" + relative, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

/// A configuration read from a file of the source tree (examples/..., tests/golden/...).
inline std::unique_ptr<KDConfig> LoadSourceConfig(const std::string& relative) {
  std::unique_ptr<KDConfig> config;
  ConfigReadResult result = LoadConfigText(relative, SourceFileText(relative), config);
  return result.ok ? std::move(config) : nullptr;
}
