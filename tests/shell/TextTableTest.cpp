#include <gtest/gtest.h>

#include "shell/TextTable.h"
#include "support/ReportCapture.h"

namespace {

TEST(TextTableTexts, DefaultsAndReplacement) {
  TextTable texts;
  EXPECT_EQ(texts.Text("LabelBadArgument"), "Bad program argument: \"%s\"");
  EXPECT_EQ(texts.Text("LabelBatchOff"), "BatchMode switched off");
  texts.SetText("LabelBatchOff", "Batch aus");
  EXPECT_EQ(texts.Text("LabelBatchOff"), "Batch aus");
}

TEST(TextTableTexts, UnknownLabelIsAProgramErrorAndChangesNothing) {
  TextTable texts;
  auto before = texts.Entries();
  ReportCapture capture;
  EXPECT_EQ(texts.Text("LabelNoSuch"), "");
  texts.SetText("LabelNoSuch", "x");
  ASSERT_EQ(capture.Reports().size(), 2u);
  EXPECT_EQ(capture.Reports()[0].text, "TextTable::Text: Unknown label \"LabelNoSuch\"");
  EXPECT_EQ(capture.Reports()[1].text, "TextTable::SetText: Unknown label \"LabelNoSuch\"");
  EXPECT_EQ(capture.Reports()[1].caption, "Program Error");
  EXPECT_EQ(texts.Entries(), before);
}

TEST(TextTableFill, FillsStringDirectivesOnlyAndNeverReadsMissingValues) {
  struct Case {
    const char* format;
    std::vector<std::string> values;
    const char* expected;
  };
  const Case cases[] = {
      {"Bad program argument: \"%s\"", {"foo=1"}, "Bad program argument: \"foo=1\""},
      {"%s and %s", {"a", "b"}, "a and b"},
      {"%s and %s", {"a"}, "a and %s"},
      {"100%% %d %s", {"x"}, "100% %d x"},
      {"trailing %", {"x"}, "trailing %"},
      {"%s", {"%s%d"}, "%s%d"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(FillStringDirectives(c.format, c.values), c.expected);
  }
}

}  // namespace
