#pragma once

#include <string>

#include "shell/ProgramIdentity.h"

class LastUsedFiles;

// The per-user settings that carry the window position, the last used files and the working
// directory from one use of the program to the next. The desktop program keeps them in the
// platform's settings store under the key "Software\Marvenk\<program><major>.<minor>".

/// "Software\\Marvenk\\Kavro5.1" for version 5.1 of a program named Kavro.
std::string SettingsKeyPath(const std::string& programName, const ProgramVersion& version);
/// The last part of the key path: "Kavro5.1".
std::string SettingsApplicationName(const std::string& programName, const ProgramVersion& version);

// One open key of the settings store.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  /// False when the value is missing or not a whole number.
  virtual bool ReadInteger(const std::string& name, int& value) = 0;
  /// False when the value is missing.
  virtual bool ReadText(const std::string& name, std::string& value) = 0;
  virtual void WriteInteger(const std::string& name, int value) = 0;
  virtual void WriteText(const std::string& name, const std::string& value) = 0;
  /// False when the store could not be written.
  virtual bool Flush() = 0;
};

/// Left edge, top edge and width of the main window [px].
struct WindowPlacement {
  int Left = 0;
  int Top = 0;
  int Width = 0;
};

/// What reading the settings found.
struct StoredSettings {
  bool HasPlacement = false;
  WindowPlacement Placement;
  std::string CurrentDir;  // empty when not read
};

/// Reads "Left", "Top" and "Width"; a missing one ends the reading there (a first start keeps
/// the designed window and finds no last used files). Then "LastFile_4" down to "LastFile_0"
/// into `lastUsed` (empty and "0" skipped), and "CurrentDir" only when the program was started
/// without parameters.
StoredSettings ReadStoredSettings(SettingsStore& store, bool startedWithoutParameters,
                                  LastUsedFiles& lastUsed);

/// Writes the placement, the first up to five last used files top first, and the working
/// directory when the program was started without parameters. False when the store failed.
bool WriteStoredSettings(SettingsStore& store, const WindowPlacement& placement,
                         const LastUsedFiles& lastUsed, bool startedWithoutParameters,
                         const std::string& currentDir);

/// Shown when the settings could not be written.
inline constexpr const char* kSettingsWriteError =
    "Error: Problem saving window position or last used files in Windows Registry";
