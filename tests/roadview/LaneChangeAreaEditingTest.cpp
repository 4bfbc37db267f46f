// Edits of lane change areas without a window.

#include <gtest/gtest.h>

#include <memory>

#include "config/KDConfig.h"
#include "roadview/LaneChangeAreaEditing.h"
#include "support/ReportCapture.h"

namespace {

TEST(LaneChangeAreaText, ProbabilityFieldIsCleaned) {
  EXPECT_EQ(CleanProbabilityText("0050"), "50");
  EXPECT_EQ(CleanProbabilityText("0"), "0");
  EXPECT_EQ(CleanProbabilityText("000"), "0");
  EXPECT_EQ(CleanProbabilityText("101"), "100");
  EXPECT_EQ(CleanProbabilityText("1000"), "100");
  EXPECT_EQ(CleanProbabilityText("100"), "100");
  EXPECT_EQ(CleanProbabilityText(""), "");
}

TEST(LaneChangeAreaEdit, RefusesWhatCannotBeStored) {
  ReportCapture capture;
  KDConfig c;
  const int stamp = c.ChangeStamp();
  EXPECT_FALSE(ApplyAreaEdit(c, 0, 0, AreaEdit{100, 100, -1, -1}, false));  // no such area
  EXPECT_FALSE(ApplyAreaEdit(c, -1, 0, AreaEdit{100, 100, -1, -1}, true));
  EXPECT_EQ(c.ChangeStamp(), stamp);
  EXPECT_TRUE(capture.Empty());
}

}  // namespace
