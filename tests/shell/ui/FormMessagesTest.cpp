#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/ProgramMode.h"
#include "shell/ui/FormMessages.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

namespace {

std::string Contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class FormMessagesTest : public ::testing::Test {
 protected:
  FormMessagesTest() : dir(FreshTestFolder("form-messages")) {}
  ~FormMessagesTest() override { std::filesystem::remove_all(dir); }
  // Answers the save dialog with `name` and remembers what it was asked.
  void AnswerSave(const std::filesystem::path& name) {
    window.SetFileChooser([this, name](const FileDialogRequest& request, std::string& chosen) {
      asked = request;
      chosen = name.string();
      return true;
    });
  }
  std::filesystem::path dir;
  TFormMessages window;
  FileDialogRequest asked;
  ReportCapture capture;
};

TEST_F(FormMessagesTest, ALineShowsTheWindowNamedAfterTheMode) {
  EXPECT_FALSE(window.isVisible());
  window.AddLine("Time 1.0: first");
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle().toStdString(), "DOVEL messages");
  window.hide();
  window.SetProgramMode(KAVRO);
  window.AddLine("Time 2.0: second");
  EXPECT_EQ(window.windowTitle().toStdString(), "KAVRO messages");
  EXPECT_EQ(window.Lines(), (std::vector<std::string>{"Time 1.0: first", "Time 2.0: second"}));
}

TEST_F(FormMessagesTest, EraseEmptiesTheMemo) {
  EXPECT_TRUE(window.Lines().empty());
  window.AddLine("one");
  window.BitBtnErase->click();
  EXPECT_TRUE(window.Lines().empty());
  window.AddLine("two");
  EXPECT_EQ(window.Lines(), std::vector<std::string>{"two"});
}

TEST_F(FormMessagesTest, SaveWritesEveryLineAsText) {
  window.AddLine("Time 12.3: Kavro Simulator Warning in DoSource: congestion");
  window.AddLine("caf\xe9 line");  // Windows-1252 survives the memo
  AnswerSave(dir / "run.log");
  window.BitBtnSaveMessages->click();
  EXPECT_TRUE(capture.Empty());
  EXPECT_TRUE(asked.Save);
  EXPECT_EQ(asked.DefaultExtension, "log");
  EXPECT_EQ(asked.Filter, "Log files (*.log)|*.log|All files (*.*)|*.*");
  EXPECT_EQ(Contents(dir / "run.log"),
            "Time 12.3: Kavro Simulator Warning in DoSource: congestion\ncaf\xe9 line\n");
}

TEST_F(FormMessagesTest, ReadOnlyFileIsRefusedAndKept) {
  std::ofstream(dir / "old.log") << "old\n";
  std::filesystem::permissions(dir / "old.log", std::filesystem::perms::owner_read);
  window.AddLine("new");
  AnswerSave(dir / "old.log");
  window.BitBtnSaveMessages->click();
  if (::geteuid() != 0) {
    ASSERT_EQ(capture.Reports().size(), 1u);
    EXPECT_EQ(capture.Reports()[0].caption, "Error");
    EXPECT_NE(capture.Reports()[0].text.find((dir / "old.log").string()), std::string::npos);
    EXPECT_EQ(Contents(dir / "old.log"), "old\n");
  }
}

TEST_F(FormMessagesTest, AFolderIsNeverReplaced) {
  std::filesystem::create_directory(dir / "folder.log");
  window.AddLine("new");
  AnswerSave(dir / "folder.log");
  window.BitBtnSaveMessages->click();
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.log"));
}

TEST_F(FormMessagesTest, CancelledDialogWritesNothing) {
  window.AddLine("new");
  window.SetFileChooser([](const FileDialogRequest&, std::string&) { return false; });
  window.BitBtnSaveMessages->click();
  EXPECT_TRUE(capture.Empty());
  EXPECT_TRUE(std::filesystem::is_empty(dir));
}

}  // namespace
