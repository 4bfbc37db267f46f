#include "shell/ConfigLoading.h"

#include "config/KDConfig.h"
#include "config/OldConfigRW.h"
#include "roadview/LaneChangeGeneration.h"

namespace {

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace

void CompleteOldStyleConfig(const ConfigReadResult& result, const std::string& firstLine,
                            KDConfig* config) {
  if (!result.ok || config == nullptr || !IsOldStyleFirstLine(firstLine)) return;
  GenerateLaneChangeAreas(*config, LaneChangeSettings{});
}

ConfigReadResult LoadCompleteConfig(const std::string& fileName,
                                    std::unique_ptr<KDConfig>& loaded) {
  // The file is read once: a second opening could find another file, or wait on a pipe.
  std::string text;
  ConfigReadResult result = LoadConfig(fileName, loaded, text);
  CompleteOldStyleConfig(result, FirstLine(text), loaded.get());
  return result;
}

ConfigReadResult LoadCompleteConfigText(const std::string& name, const std::string& text,
                                        std::unique_ptr<KDConfig>& loaded) {
  ConfigReadResult result = LoadConfigText(name, text, loaded);
  CompleteOldStyleConfig(result, FirstLine(text), loaded.get());
  return result;
}

bool ReadCompleteConfig(const std::string& fileName, std::unique_ptr<KDConfig>& current,
                        std::string& text) {
  if (!ReadConfig(fileName, current, text)) return false;
  ConfigReadResult read;
  read.ok = true;
  CompleteOldStyleConfig(read, FirstLine(text), current.get());
  return true;
}

bool ReadCompleteConfig(const std::string& fileName, std::unique_ptr<KDConfig>& current) {
  std::string text;
  return ReadCompleteConfig(fileName, current, text);
}
