#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/FileText.h"

// Compares a text with a checked-in golden file byte for byte. With KAVRO_UPDATE_GOLDEN set in
// the environment the golden file is written instead, to be reviewed in the diff.
inline void ExpectGolden(const std::string& name, const std::string& actual) {
  const std::string path = std::string(KAVRO_GOLDEN_DIR) + "/" + name;
  if (std::getenv("KAVRO_UPDATE_GOLDEN")) {
    std::ofstream(path, std::ios::binary) << actual;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "missing golden file " << path;
  std::stringstream expected;
  expected << in.rdbuf();
  EXPECT_EQ(expected.str(), actual) << "differs from " << path;
}
