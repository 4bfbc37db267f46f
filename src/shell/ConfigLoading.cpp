#include "shell/ConfigLoading.h"

#include "config/KDConfig.h"
#include "roadview/LaneChangeGeneration.h"

void CompleteOldStyleConfig(const ConfigReadResult& result, KDConfig* config) {
  if (!result.ok || !result.oldStyle || config == nullptr) return;
  GenerateLaneChangeAreas(*config, LaneChangeSettings{});
}

ConfigReadResult LoadCompleteConfig(const std::string& fileName,
                                    std::unique_ptr<KDConfig>& loaded) {
  ConfigReadResult result = LoadConfig(fileName, loaded);
  CompleteOldStyleConfig(result, loaded.get());
  return result;
}

ConfigReadResult LoadCompleteConfigText(const std::string& name, const std::string& text,
                                        std::unique_ptr<KDConfig>& loaded) {
  ConfigReadResult result = LoadConfigText(name, text, loaded);
  CompleteOldStyleConfig(result, loaded.get());
  return result;
}

bool ReadCompleteConfig(const std::string& fileName, std::unique_ptr<KDConfig>& current) {
  std::unique_ptr<KDConfig> loaded;
  ConfigReadResult result = LoadCompleteConfig(fileName, loaded);
  ShowConfigReading(result);
  if (!result.ok) return false;
  current = std::move(loaded);
  return true;
}
