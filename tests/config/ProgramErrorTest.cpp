#include <gtest/gtest.h>

#include "config/ProgramError.h"
#include "support/ReportCapture.h"

TEST(ProgramErrorHook, StopsCarryCaptionTextAndTerminateRequest) {
  ReportCapture capture;
  ProgramError("KDConfig::SetLength: Bad Length");
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].caption, "Program Error");
  EXPECT_EQ(capture.Reports()[0].text, "KDConfig::SetLength: Bad Length");
  EXPECT_TRUE(TerminateRequested());
}

TEST(ProgramErrorHook, UserMessagesDoNotStop) {
  ReportCapture capture;
  UserMessage(ReportKind::Warning, "Warning", "BatchMode switched off");
  EXPECT_FALSE(TerminateRequested());
  EXPECT_EQ(capture.OnlyText(), "BatchMode switched off");
}

TEST(ProgramErrorHook, AssertionReportsTheConditionAndYieldsFalse) {
  ReportCapture capture;
  int value = -1;
  EXPECT_FALSE(KAVRO_ASSERT(value >= 0));
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_NE(capture.Reports()[0].text.find("value >= 0"), std::string::npos);
}

TEST(Format, FormatsLongTexts) {
  std::string longText(3000, 'x');
  EXPECT_EQ(Format("%s=%d", longText.c_str(), 7), longText + "=7");
}
