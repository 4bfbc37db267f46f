#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "extmodel/UdovLibrary.h"
#include "shell/PageCatalogue.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/FormSplash.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

namespace {

StartupInfo Startup(const std::string& path, std::vector<std::string> parameters = {}) {
  return {path, "/unused/", std::move(parameters)};
}

// Lets the event loop reach its idle moments until `done` holds (bounded).
template <typename Condition>
void RunIdle(Condition done) {
  for (int i = 0; i < 100 && !done(); ++i) QApplication::processEvents();
}

class FormMainTest : public ::testing::Test {
 protected:
  void TearDown() override { SetProgramMode(KAVRO); }
};

TEST_F(FormMainTest, KavroModeBuildsMenusAndShowsTheFirstPage) {
  ReportCapture capture;
  TFormMain form(Startup("/opt/kavro/kavro.EXE"));
  form.show();
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(form.Mode(), KAVRO);
  EXPECT_EQ(ProgramMode(), KAVRO);
  EXPECT_EQ(QCoreApplication::applicationName(), "kavro");
  QStringList titles;
  for (QAction* menu : form.menuBar()->actions()) titles << menu->text();
  EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&Road design", "&Traffic", "&Simulate", "&View",
                                 "&Help", "Debu&g"}));
  // The external model's call log is an entry of DOVEL mode only.
  EXPECT_FALSE(form.findChild<QAction*>("ItemDovelCalls")->isVisible());
  EXPECT_EQ(form.CurrentPage(), kPhysicalRoadLayoutPage);
  EXPECT_TRUE(form.PageItem("ItemPhysicalRoadLayout")->isChecked());
  EXPECT_TRUE(form.PageItem("ItemComposition")->isChecked());
  EXPECT_TRUE(form.PageItem("ItemSettings")->isChecked());
  EXPECT_FALSE(form.PageItem("ItemSpeedLimit")->isVisible());
  EXPECT_FALSE(form.PageItem("ItemLinkTeleports")->isVisible());
  EXPECT_TRUE(form.PageItem("ItemBatch")->isVisible());
  EXPECT_EQ(form.HelpFileName(), "/opt/kavro/kavro.html");
  EXPECT_EQ(form.ModelLibrary(), nullptr);
}

TEST_F(FormMainTest, NextWalksEveryVisiblePageUpToBatch) {
  TFormMain form(Startup("/x/kavro"));
  auto* next = form.findChild<QPushButton*>("BitBtnNext");
  auto* previous = form.findChild<QPushButton*>("BitBtnPrev");
  ASSERT_TRUE(next && previous);
  EXPECT_FALSE(previous->isEnabled());
  std::vector<int> pages{form.CurrentPage()};
  while (next->isEnabled() && pages.size() < 30) {
    next->click();
    pages.push_back(form.CurrentPage());
  }
  EXPECT_EQ(pages, (std::vector<int>{1, 2, 4, 5, 6, 7, 8, 11, 12, 13, 14, 21, 22, 23}));
  EXPECT_EQ(form.CurrentPageItem(), form.PageItem("ItemBatch"));
  previous->click();
  EXPECT_EQ(form.CurrentPage(), kRunPage);
}

TEST_F(FormMainTest, WrongExecutableNameIsReportedAndEnds) {
  ReportCapture capture;
  TFormMain form(Startup("/x/other"));
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].text, "Please rename the EXE-file to Kavro.exe or Dovel.exe");
  EXPECT_EQ(capture.Reports()[0].caption, "Error");
  EXPECT_TRUE(TerminateRequested());
  EXPECT_EQ(form.Mode(), 0);
}

TEST_F(FormMainTest, DovelWithoutModelLibraryIsReportedAndEnds) {
  ReportCapture capture;
  TFormMain form(Startup("/nonexistent-kavro-dir/Dovel"));
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].text.rfind("Cannot load the external vehicle model library "
                                            "\"/nonexistent-kavro-dir/libudov.so\"",
                                            0),
            0u);
  EXPECT_TRUE(capture.Reports()[0].stop);
  EXPECT_EQ(form.ModelLibrary(), nullptr);
}

TEST_F(FormMainTest, DovelModeLoadsTheModelNextToTheProgram) {
  std::filesystem::path dir = FreshTestFolder("dovel-ui");
  std::filesystem::remove(dir / "libudov.so");
  std::filesystem::create_symlink(FAKE_UDOV_LIBRARY, dir / "libudov.so");
  ReportCapture capture;
  {
    TFormMain form(Startup((dir / "dovel").string(), {"model.dov", "foo=1"}));
    // The configuration named first is opened in both modes; this one does not exist.
    EXPECT_EQ(capture.OnlyText().rfind("Cannot open file \"model.dov\" for reading: ", 0), 0u);
    capture.Clear();
    EXPECT_EQ(form.Mode(), DOVEL);
    ASSERT_NE(form.ModelLibrary(), nullptr);
    EXPECT_TRUE(form.PageItem("ItemSpeedLimit")->isVisible());
    EXPECT_FALSE(form.PageItem("ItemBatch")->isVisible());
    EXPECT_TRUE(form.PageItem("ItemSettingsDOVEL")->isChecked());
    EXPECT_EQ(form.HelpFileName(), "");
    // The handler is registered after the test file was opened, so only later messages arrive;
    // the stand-in model reports each test file it opens.
    EXPECT_TRUE(form.MessageLines().empty());
    form.ModelLibrary()->Calls().OpenTestFile("/later.txt");
    EXPECT_EQ(form.MessageLines(), std::vector<std::string>{"time 1.5 s: /later.txt"});
    RunIdle([&] { return form.CommandLine().Started(); });
    EXPECT_TRUE(capture.Empty()) << "options are not read in DOVEL mode";
  }
  std::filesystem::remove_all(dir);
}

TEST_F(FormMainTest, InstalledProgramFindsItsHelpAndModelBesideBin) {
  // PREFIX/bin holds the programs, PREFIX/share/kavro the help, PREFIX/lib/kavro the model.
  std::filesystem::path prefix = FreshTestFolder("installed-ui");
  std::filesystem::create_directories(prefix / "bin");
  std::filesystem::create_directories(prefix / "share/kavro");
  std::filesystem::create_directories(prefix / "lib/kavro");
  std::ofstream(prefix / "share/kavro/kavro.html") << "<html>\n";
  std::filesystem::create_symlink(FAKE_UDOV_LIBRARY, prefix / "lib/kavro/libudov.so");
  const std::string bin = (prefix / "bin").string() + "/";
  ReportCapture capture;
  {
    TFormMain form(Startup(bin + "kavro"));
    EXPECT_EQ(form.HelpFileName(), bin + "../share/kavro/kavro.html");
  }
  {
    TFormMain form(Startup(bin + "dovel"));
    EXPECT_TRUE(capture.Empty()) << capture.OnlyText();
    EXPECT_EQ(form.Mode(), DOVEL);
    EXPECT_NE(form.ModelLibrary(), nullptr);
  }
  std::filesystem::remove_all(prefix);
}

TEST_F(FormMainTest, BadCommandLineArgumentIsReportedAtTheFirstIdleMoment) {
  // The configuration is named relative to the working directory.
  QTemporaryDir dir;
  QString previous = QDir::currentPath();
  QDir::setCurrent(dir.path());
  std::unique_ptr<KDConfig> config = std::make_unique<KDConfig>();
  ASSERT_TRUE(WriteKavroConfig(*config, "model.kav"));
  ReportCapture capture;
  TFormMain form(Startup("/x/kavro", {"model.kav", "foo=1"}));
  QDir::setCurrent(previous);
  EXPECT_TRUE(capture.Empty());
  RunIdle([&] { return form.CommandLine().Started(); });
  EXPECT_EQ(capture.OnlyText(), "Bad program argument: \"foo=1\"");
  EXPECT_TRUE(TerminateRequested());
  EXPECT_EQ(form.CurrentFileName().back(), 'v');
  EXPECT_NE(form.CurrentFileName().find("/model.kav"), std::string::npos);
}

TEST_F(FormMainTest, TextTableLabelsAreHiddenNamedLabels) {
  TFormMain form(Startup("/x/kavro"));
  auto* label = form.findChild<QLabel*>("LabelBadArgument");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "Bad program argument: \"%s\"");
  EXPECT_FALSE(label->isVisibleTo(&form));
  EXPECT_EQ(form.Text("LabelBatchOff"), "BatchMode switched off");
}

TEST_F(FormMainTest, HelpContentsOpensTheHelpFileAndAboutShowsModally) {
  // As the program starts: the start-up window exists before the main window.
  TFormSplash splash;
  TFormMain form(Startup("/opt/kavro/kavro"), &splash);
  std::vector<QUrl> opened;
  form.SetHelpOpener([&](const QUrl& url) {
    opened.push_back(url);
    return true;
  });
  form.findChild<QAction*>("ItemContents")->trigger();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], QUrl::fromLocalFile("/opt/kavro/kavro.html"));

  bool sawModal = false;
  QWidget* parent = nullptr;
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    sawModal = modal && modal->objectName() == "FormSplash";
    if (modal) parent = modal->parentWidget();
    if (modal) modal->close();
  });
  form.findChild<QAction*>("ItemAbout")->trigger();
  EXPECT_TRUE(sawModal);
  // Over the main window, also without a window manager to raise it.
  EXPECT_EQ(parent, &form);
}

TEST_F(FormMainTest, HelpContentsNamesTheHelpFileWhenNoBrowserStarts) {
  TFormMain form(Startup("/opt/kavro/kavro"));
  form.SetHelpOpener([](const QUrl&) { return false; });
  ReportCapture capture;
  form.findChild<QAction*>("ItemContents")->trigger();
  EXPECT_NE(capture.OnlyText().find("/opt/kavro/kavro.html"), std::string::npos);
  EXPECT_FALSE(TerminateRequested());
}

}  // namespace
