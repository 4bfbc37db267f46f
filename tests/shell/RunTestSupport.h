#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "shell/FakeSimulation.h"
#include "shell/RunController.h"

// The on-ramp example: three lanes, four detectors, two origins and two destinations.
inline std::unique_ptr<KDConfig> LoadOnRampExample() {
  std::unique_ptr<KDConfig> config;
  ConfigReadResult result =
      LoadConfig(std::string(KAVRO_SOURCE_DIR) + "/examples/on-ramp-taper.kav", config);
  EXPECT_TRUE(result.ok);
  return config;
}

// A run controller over a fake simulation and the on-ramp example.
struct FakeRun {
  std::unique_ptr<KDConfig> config = LoadOnRampExample();
  OutputFileSettings outputs;
  FakeSimulation* simulation = new FakeSimulation;
  RunController run{std::unique_ptr<RunSimulation>(simulation), outputs};

  explicit FakeRun(int maxTime = 600, int firstTime = 120, int interval = 120) {
    config->SetMaxTime(maxTime);
    config->SetDetectorTimes(firstTime, interval);
    config->SetTimeStep(1.0f);
    run.SetConfiguration(config.get());
  }
  // Steps until the run stops, at most `limit` steps.
  void RunToEnd(int limit = 100000) {
    run.Continue();
    for (int i = 0; i < limit && run.State().Running; ++i) run.RunOneStep();
  }
};
