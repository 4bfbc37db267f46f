#pragma once

#include <istream>
#include <memory>
#include <string>
#include <vector>

// The .kav configuration file: a line-oriented text of keyed lines and comment lines.
// Readers build into a fresh configuration and report the first error with its line;
// the current configuration is replaced only when a reading succeeds.

class KDConfig;

/// Where a reading stopped and why.
struct ConfigReadError {
  std::string fileName;
  int line = 0;          // counted from 1; 0 when the file could not be opened at all
  std::string lineText;  // the line as read, trailing blanks removed
  std::string message;
};

struct ConfigReadResult {
  bool ok = false;
  ConfigReadError error;              // meaningful when !ok
  std::vector<std::string> warnings;  // unknown-parameter warnings, in the order shown
};

/// Reads a .kav text into `config` (built by the caller) without showing anything. A first
/// line starting with "* 1 * " hands the text to the old-style reader.
ConfigReadResult ParseKavroConfig(const std::string& fileName, std::istream& in, KDConfig& config);

/// As ParseKavroConfig, showing the warnings and the error (ConfigError).
bool ReadKavroConfig(const std::string& fileName, std::istream& in, KDConfig& config);

/// Builds a new configuration from a file, a stream or a text (paste). On success `loaded`
/// holds it; nothing is shown.
ConfigReadResult LoadConfig(const std::string& fileName, std::unique_ptr<KDConfig>& loaded);
ConfigReadResult LoadConfig(const std::string& name, std::istream& in,
                            std::unique_ptr<KDConfig>& loaded);
ConfigReadResult LoadConfigText(const std::string& name, const std::string& text,
                                std::unique_ptr<KDConfig>& loaded);
/// As LoadConfig from a file; `text` receives the file's bytes (empty when it cannot be read:
/// not a regular file, larger than kMaxInputFileBytes, ...).
ConfigReadResult LoadConfig(const std::string& fileName, std::unique_ptr<KDConfig>& loaded,
                            std::string& text);

/// Opens a configuration file: on success the new configuration replaces `current` (the old
/// one is destroyed); on failure the problem is shown and `current` stays as it was.
bool ReadConfig(const std::string& fileName, std::unique_ptr<KDConfig>& current);
/// As ReadConfig; `text` receives the file's bytes as they were read, so that copies of the
/// configuration (parallel batch runs) are made from the same text.
bool ReadConfig(const std::string& fileName, std::unique_ptr<KDConfig>& current, std::string& text);

/// Shows an error in a configuration file ("%s(line %d)\r\n%s\r\n%s", caption "Error in
/// Kavro configuration file") and returns false.
bool ConfigError(const std::string& fileName, int line, const std::string& lineText,
                 const std::string& message);

/// The text ConfigError shows for `error`.
std::string ConfigErrorText(const ConfigReadError& error);

/// The whole file text the writer produces; `dateLine` is the local time in C's ctime form,
/// ending with a line break.
std::string KavroConfigText(KDConfig& config, const std::string& dateLine);

/// Writes `config` to `fileName` in the .kav format. The previous file is replaced only
/// after the new text was written and closed completely; on failure it is untouched and
/// `systemError` (when given) receives the system's text for the failure.
bool WriteKavroConfig(KDConfig& config, const std::string& fileName,
                      std::string* systemError = nullptr);

/// Saves in the format of the program mode.
bool WriteConfig(KDConfig& config, const std::string& fileName, std::string* systemError = nullptr);
