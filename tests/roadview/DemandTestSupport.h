#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"

// The weaving example: origins "On-ramp" and "Main", destinations "Through" and "Off-ramp",
// five vehicle types of which types 4 and 5 are trucks.
inline std::unique_ptr<KDConfig> LoadWeavingExample() {
  std::unique_ptr<KDConfig> config;
  const ConfigReadResult result =
      LoadConfig(std::string(KAVRO_SOURCE_DIR) + "/examples/weaving.kav", config);
  EXPECT_TRUE(result.ok);
  return config;
}
