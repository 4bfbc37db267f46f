#pragma once

#include <memory>
#include <string>

class KDConfig;

// DOVEL configuration files belong to the external vehicle model: the model reads and writes
// them; the program's configuration mirrors what the model read.

/// Has the model read `fileName` and fills `config` (a new configuration, not the current
/// one) from the model's parameters. On failure shows DovelConfigError, with the model's own
/// reason (`modelMessage`, when it gave one), and returns false.
bool ReadDovelConfig(const std::string& fileName, KDConfig& config,
                     std::string* modelMessage = nullptr);

/// Shows "Error in file %s: " + message, caption "Error in Dovel configuration file"; false.
bool DovelConfigError(const std::string& fileName, const std::string& message);

/// A new default configuration; in DOVEL mode the model reads its default file into it (its
/// messages are not shown meanwhile). When that file cannot be read, the reason is shown and
/// the program's own default road is kept.
std::unique_ptr<KDConfig> NewConfiguration();
