#include "config/ConfigRW.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sstream>

#include "config/ConfigReader.h"
#include "config/DovelConfig.h"
#include "config/DovelLink.h"
#include "config/FileRead.h"
#include "config/FileReplace.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "config/RoadTypes.h"

namespace {

const char* const ERROR_CAPTION = "Error in Kavro configuration file";

// The configuration a reading starts from: the default one without any lane, so that the
// file's lanes are the only ones.
std::unique_ptr<KDConfig> EmptyRoadConfig() {
  auto config = std::make_unique<KDConfig>();
  for (int lane = 0; lane < MaxLane(); lane++)
    config->SetPhysicalSectionProperty(0, lane, PP_LANETYPE, 0, false);
  return config;
}

void ShowReading(const ConfigReadResult& result) {
  for (const std::string& warning : result.warnings)
    UserMessage(ReportKind::Information, "Warning", warning);
  if (result.ok) return;
  if (result.error.line == 0)
    UserMessage(ReportKind::Error, "Error", result.error.message);
  else
    ConfigError(result.error.fileName, result.error.line, result.error.lineText,
                result.error.message);
}

std::string LocalDateLine() {
  std::time_t now = std::time(nullptr);
  char buffer[64];
  if (::ctime_r(&now, buffer) == nullptr) return "\n";
  return buffer;
}

}  // namespace

ConfigReadResult ParseKavroConfig(const std::string& fileName, std::istream& in, KDConfig& config) {
  ConfigReader reader(fileName, config);
  return reader.Read(in);
}

bool ReadKavroConfig(const std::string& fileName, std::istream& in, KDConfig& config) {
  ConfigReadResult result = ParseKavroConfig(fileName, in, config);
  ShowReading(result);
  return result.ok;
}

ConfigReadResult LoadConfig(const std::string& name, std::istream& in,
                            std::unique_ptr<KDConfig>& loaded) {
  ConfigReadResult result;
  if (ProgramMode() != KAVRO) {
    result.error = {name, 0, "", "DOVEL configuration files are read by the external model"};
    return result;
  }
  std::unique_ptr<KDConfig> config = EmptyRoadConfig();
  result = ParseKavroConfig(name, in, *config);
  if (result.ok) loaded = std::move(config);
  return result;
}

ConfigReadResult LoadConfigText(const std::string& name, const std::string& text,
                                std::unique_ptr<KDConfig>& loaded) {
  std::istringstream in(text);
  return LoadConfig(name, in, loaded);
}

ConfigReadResult LoadConfig(const std::string& fileName, std::unique_ptr<KDConfig>& loaded,
                            std::string& text) {
  std::string systemError;
  if (!ReadInputFile(fileName, text, systemError)) {
    ConfigReadResult result;
    result.error = {
        fileName, 0, "",
        Format("Cannot open file \"%s\" for reading: %s", fileName.c_str(), systemError.c_str())};
    return result;
  }
  return LoadConfigText(fileName, text, loaded);
}

ConfigReadResult LoadConfig(const std::string& fileName, std::unique_ptr<KDConfig>& loaded) {
  std::string text;
  return LoadConfig(fileName, loaded, text);
}

bool ReadConfig(const std::string& fileName, std::unique_ptr<KDConfig>& current) {
  std::string text;
  return ReadConfig(fileName, current, text);
}

bool ReadConfig(const std::string& fileName, std::unique_ptr<KDConfig>& current,
                std::string& text) {
  if (ProgramMode() == DOVEL) {
    std::string systemError;
    // The model reads the file itself; a file that cannot be opened is said so first.
    if (!ReadInputFile(fileName, text, systemError)) {
      UserMessage(
          ReportKind::Error, "Error",
          Format("Cannot open file \"%s\" for reading: %s", fileName.c_str(), systemError.c_str()));
      return false;
    }
    std::unique_ptr<KDConfig> loaded = std::make_unique<KDConfig>();
    if (!ReadDovelConfig(fileName, *loaded, &LastDovelReadMessage())) return false;
    current = std::move(loaded);
    return true;
  }
  std::unique_ptr<KDConfig> loaded;
  text.clear();
  ConfigReadResult result = LoadConfig(fileName, loaded, text);
  ShowReading(result);
  if (!result.ok) return false;
  current = std::move(loaded);
  return true;
}

std::string ConfigErrorText(const ConfigReadError& error) {
  return Format("%s(line %d)\r\n%s\r\n%s", error.fileName.c_str(), error.line,
                error.lineText.c_str(), error.message.c_str());
}

bool ConfigError(const std::string& fileName, int line, const std::string& lineText,
                 const std::string& message) {
  UserMessage(ReportKind::Warning, ERROR_CAPTION,
              ConfigErrorText({fileName, line, lineText, message}));
  return false;
}

bool WriteKavroConfig(KDConfig& config, const std::string& fileName, std::string* systemError) {
  std::string error;
  bool ok = ReplaceFileContents(fileName, KavroConfigText(config, LocalDateLine()), error);
  if (!ok && systemError != nullptr) *systemError = error;
  return ok;
}

bool WriteConfig(KDConfig& config, const std::string& fileName, std::string* systemError) {
  if (ProgramMode() != KAVRO) {
    // The external model writes the file from its own copy, which forwarding keeps equal.
    DovelModelLink* link = CurrentDovelModelLink();
    if (link != nullptr && link->WriteConfig(fileName) == 0) return true;
    if (systemError != nullptr)
      *systemError =
          link ? "the external model could not write the file" : "no external model is loaded";
    return false;
  }
  return WriteKavroConfig(config, fileName, systemError);
}
