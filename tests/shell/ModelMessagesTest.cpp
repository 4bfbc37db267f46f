#include <gtest/gtest.h>

#include "shell/ModelMessages.h"
#include "support/ReportCapture.h"

namespace {

class FakeView : public ModelMessageView {
 public:
  void AppendMessageLine(const std::string& line) override { lines.push_back(line); }
  void SetStatusText(const std::string& text) override { status.push_back(text); }
  void ProcessEvents() override { ++processed; }
  bool DebugMenuVisible() const override { return debugVisible; }
  void OfferSaveDebugOutput(const std::string& filter) override { offered.push_back(filter); }
  void FatalStop() override { ++terminated; }

  std::vector<std::string> lines;
  std::vector<std::string> status;
  int processed = 0;
  bool debugVisible = false;
  std::vector<std::string> offered;
  int terminated = 0;
};

TEST(ReportModelMessageRouting, BySeverity) {
  struct Case {
    int severity;
    bool debugVisible;
    const char* status;  // null: status bar untouched
    bool box;
    bool offer;
    bool terminate;
  };
  const Case cases[] = {
      {0, false, "", false, false, false},
      {1, false, "Message severity 1: lane closed", false, false, false},
      {2, false, nullptr, false, false, false},
      {3, true, nullptr, true, false, false},
      {4, false, nullptr, true, false, false},
      {4, true, nullptr, true, true, false},
      {999, false, nullptr, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.severity);
    ReportCapture capture;
    FakeView view;
    view.debugVisible = c.debugVisible;
    ReportModelMessage(view, c.severity, "lane closed\r\n\t",
                       "Message severity " + std::to_string(c.severity));
    EXPECT_EQ(view.lines, std::vector<std::string>{"lane closed"});
    if (c.status) {
      EXPECT_EQ(view.status, std::vector<std::string>{c.status});
      EXPECT_EQ(view.processed, 1);
    } else {
      EXPECT_TRUE(view.status.empty());
      EXPECT_EQ(view.processed, 0);
    }
    ASSERT_EQ(capture.Reports().size(), c.box ? 1u : 0u);
    if (c.box) {
      EXPECT_EQ(capture.Reports()[0].text, "lane closed");
      EXPECT_EQ(capture.Reports()[0].caption, "Message severity " + std::to_string(c.severity));
      EXPECT_EQ(capture.Reports()[0].kind, ReportKind::Warning);
    }
    EXPECT_EQ(view.offered.size(), c.offer ? 1u : 0u);
    if (c.offer) {
      EXPECT_EQ(view.offered[0], "U-KA-DOV log files (*.log)|*.LOG|All files (*.*)|*.*");
    }
    EXPECT_EQ(view.terminated, c.terminate ? 1 : 0);
  }
}

TEST(ReportModelMessageText, StripsOnlyTrailingNonPrintables) {
  EXPECT_EQ(StripTrailingNonPrintable("a\tb \n\r\x7f"), "a\tb ");
  EXPECT_EQ(StripTrailingNonPrintable("caf\xe9\n"), "caf\xe9");
  EXPECT_EQ(StripTrailingNonPrintable("\n\n"), "");
}

}  // namespace
