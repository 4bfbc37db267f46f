#include "shell/DocumentSettings.h"

#include <algorithm>

#include "shell/ConfigDocument.h"

namespace {

// Last used files kept in the store; the sixth entry of the menu is not kept.
constexpr int kStoredLastFiles = 5;

std::string LastFileValue(int i) { return "LastFile_" + std::to_string(i); }

}  // namespace

std::string SettingsApplicationName(const std::string& programName, const ProgramVersion& version) {
  return programName + std::to_string(version.Major) + "." + std::to_string(version.Minor);
}

std::string SettingsKeyPath(const std::string& programName, const ProgramVersion& version) {
  return "Software\\Marvenk\\" + SettingsApplicationName(programName, version);
}

StoredSettings ReadStoredSettings(SettingsStore& store, bool startedWithoutParameters,
                                  LastUsedFiles& lastUsed) {
  StoredSettings result;
  WindowPlacement placement;
  if (!store.ReadInteger("Left", placement.Left) || !store.ReadInteger("Top", placement.Top) ||
      !store.ReadInteger("Width", placement.Width))
    return result;
  result.HasPlacement = true;
  result.Placement = placement;
  for (int i = kStoredLastFiles - 1; i >= 0; --i) {
    std::string name;
    if (!store.ReadText(LastFileValue(i), name) || name.empty() || name == "0") continue;
    lastUsed.Add(name);
  }
  if (startedWithoutParameters) store.ReadText("CurrentDir", result.CurrentDir);
  return result;
}

bool WriteStoredSettings(SettingsStore& store, const WindowPlacement& placement,
                         const LastUsedFiles& lastUsed, bool startedWithoutParameters,
                         const std::string& currentDir) {
  store.WriteInteger("Left", placement.Left);
  store.WriteInteger("Top", placement.Top);
  store.WriteInteger("Width", placement.Width);
  const std::vector<std::string>& entries = lastUsed.Entries();
  int count = std::min(static_cast<int>(entries.size()), kStoredLastFiles);
  // Values beyond the list are emptied, so a shorter list never revives older names.
  for (int i = 0; i < kStoredLastFiles; ++i)
    store.WriteText(LastFileValue(i), i < count ? entries[i] : std::string());
  if (startedWithoutParameters) store.WriteText("CurrentDir", currentDir);
  return store.Flush();
}
