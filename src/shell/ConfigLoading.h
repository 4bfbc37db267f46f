#pragma once

#include <memory>
#include <string>

#include "config/ConfigRW.h"

class KDConfig;

// Opening a configuration the way the programs do: an old-style file has no lane change
// areas, so they are generated from its road with the standard lengths; the configuration then
// runs, and saves to a .kav file that runs, without a trip to the lane change page.

/// Completes `config` after a successful reading of the configuration text whose first line is
/// `firstLine`, when that marks an old-style file; nothing otherwise.
void CompleteOldStyleConfig(const ConfigReadResult& result, const std::string& firstLine,
                            KDConfig* config);

/// LoadConfig and LoadConfigText, completed.
ConfigReadResult LoadCompleteConfig(const std::string& fileName, std::unique_ptr<KDConfig>& loaded);
ConfigReadResult LoadCompleteConfigText(const std::string& name, const std::string& text,
                                        std::unique_ptr<KDConfig>& loaded);

/// ReadConfig, completed: on success `current` is replaced; problems are shown. `text` receives
/// the file's bytes as they were read.
bool ReadCompleteConfig(const std::string& fileName, std::unique_ptr<KDConfig>& current);
bool ReadCompleteConfig(const std::string& fileName, std::unique_ptr<KDConfig>& current,
                        std::string& text);
