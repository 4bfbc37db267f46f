#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"

// A configuration that a reader accepted, of either format, is saved so that reading the
// save gives the same configuration, and saving that gives the same bytes again. Times that
// the file counts in steps are compared in seconds as well, as the saved text shows steps.
inline void ExpectSavesAndReadsBack(KDConfig& config, const std::string& what) {
  const std::string date = "Mon Jan  5 09:00:00 2026\n";
  const std::string saved = KavroConfigText(config, date);
  std::unique_ptr<KDConfig> again;
  ConfigReadResult result = LoadConfigText("again.kav", saved, again);
  ASSERT_TRUE(result.ok) << what << ": line " << result.error.line << ": " << result.error.message
                         << "\n"
                         << result.error.lineText;
  EXPECT_EQ(KavroConfigText(*again, date), saved) << what;
  EXPECT_EQ(again->TimeStep(), config.TimeStep()) << what;
  EXPECT_EQ(again->MaxTime(), config.MaxTime()) << what;
  EXPECT_EQ(again->DetectorTime(0), config.DetectorTime(0)) << what;
  EXPECT_EQ(again->DetectorInterval(), config.DetectorInterval()) << what;
  EXPECT_EQ(again->Seed(), config.Seed()) << what;
}
