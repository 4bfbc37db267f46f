#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <deque>
#include <filesystem>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "roadview/ui/RoadView.h"
#include "shell/PageCatalogue.h"
#include "shell/PageChange.h"
#include "shell/ui/FormMain.h"
#include "support/ReportCapture.h"

namespace {

namespace fs = std::filesystem;

void ClickStatusBar(TFormMain& form, Qt::KeyboardModifiers modifiers) {
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                    Qt::LeftButton, modifiers);
  QApplication::sendEvent(form.statusBar(), &press);
}

// Every test keeps its settings in a fresh folder of its own.
class FormMainFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    savedDir = QDir::currentPath();
  }
  void TearDown() override {
    QDir::setCurrent(savedDir);
    SetProgramMode(KAVRO);
  }

  std::unique_ptr<TFormMain> MakeForm(const char* program = "/opt/kavro/kavro",
                                      std::vector<std::string> parameters = {}) {
    auto form = std::make_unique<TFormMain>(StartupInfo{program, "/unused/", parameters});
    form->SetQuestionAsker([this](const Question& question) {
      asked.push_back(question);
      Answer answer = answers.empty() ? Answer::Cancel : answers.front();
      if (!answers.empty()) answers.pop_front();
      return answer;
    });
    form->SetFileChooser([this](const FileDialogRequest&, std::string& name) {
      if (files.empty()) return false;
      name = files.front();
      files.pop_front();
      return true;
    });
    return form;
  }
  std::string File(const char* name) const {
    return (fs::path(workDir.path().toStdString()) / name).string();
  }
  static QStringList LastFileCaptions(TFormMain& form) {
    QStringList captions;
    for (QAction* entry : form.LastFileEntries()) captions << entry->text();
    return captions;
  }

  QTemporaryDir settingsDir;
  QTemporaryDir workDir;
  QString savedDir;
  std::deque<Answer> answers;
  std::deque<std::string> files;
  std::vector<Question> asked;
};

TEST_F(FormMainFileTest, NewEditSaveAsAndReopenGiveTheSameConfiguration) {
  auto form = MakeForm();
  form->show();
  form->findChild<QAction*>("ItemNew")->trigger();
  EXPECT_EQ(form->windowTitle().toStdString(), ModeBanner(KAVRO) + " - U-KA-DOV");

  form->Config().SetLength(6500);
  form->Config().InsertBoundary(2000);
  form->ConfigurationChanged();
  EXPECT_EQ(form->windowTitle(), "KAVRO (unnamed configuration) (modified) - U-KA-DOV");

  files = {File("road.kav")};
  form->findChild<QAction*>("ItemSaveAs")->trigger();
  EXPECT_EQ(form->windowTitle().toStdString(), "KAVRO: " + File("road.kav") + " - U-KA-DOV");
  std::string saved = KavroConfigText(form->Config(), "date\n");

  form->findChild<QAction*>("ItemNew")->trigger();
  EXPECT_TRUE(asked.empty()) << "a saved configuration is not questioned";
  EXPECT_EQ(form->Config().Boundaries(), 0);

  files = {File("road.kav")};
  form->findChild<QAction*>("ItemOpen")->trigger();
  EXPECT_EQ(KavroConfigText(form->Config(), "date\n"), saved);
  EXPECT_EQ(form->statusBar()->currentMessage().toStdString(), "Loaded file " + File("road.kav"));
  // Open shows the ticked page of the Simulate menu again.
  EXPECT_EQ(form->CurrentPage(), 21);
  EXPECT_TRUE(form->RoadView()->isVisible());
}

TEST_F(FormMainFileTest, CancelOnTheSaveQuestionKeepsTheWindowOpen) {
  auto form = MakeForm();
  form->show();
  form->Config().SetLength(6000);
  form->ConfigurationChanged();
  answers = {Answer::Cancel};
  EXPECT_FALSE(form->close());
  EXPECT_TRUE(form->isVisible());
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].Text, "Save modified configuration ?");
  EXPECT_EQ(asked[0].Buttons, QuestionButtons::YesNoCancel);
  EXPECT_EQ(form->Config().Length(), 6000);

  answers = {Answer::No};
  EXPECT_TRUE(form->close());
}

TEST_F(FormMainFileTest, LastUsedFilesKeepOrderAndLengthAcrossRestarts) {
  std::vector<std::string> names;
  {
    auto form = MakeForm();
    form->show();
    for (const char* name : {"1.kav", "2.kav", "3.kav", "4.kav", "5.kav", "6.kav", "7.kav"}) {
      files = {File(name)};
      form->ItemSaveAsClick();
    }
    EXPECT_EQ(form->LastFileEntries().size(), 6u);
    form->ItemFileClick();
    int shown = 0;
    for (QAction* entry : form->LastFileEntries()) shown += entry->isVisible();
    EXPECT_EQ(shown, 4) << "the open file is hidden and at most four are shown";
    EXPECT_FALSE(form->LastFileEntries()[0]->isVisible());
    EXPECT_TRUE(form->close());
  }
  QSettings stored(
      QSettings::NativeFormat, QSettings::UserScope, "Marvenk",
      QString("kavro%1.%2").arg(BuiltProgramVersion().Major).arg(BuiltProgramVersion().Minor));
  EXPECT_EQ(stored.value("LastFile_0").toString().toStdString(), File("7.kav"));
  EXPECT_TRUE(stored.contains("Width"));
  {
    auto form = MakeForm();
    form->show();
    EXPECT_EQ(LastFileCaptions(*form),
              (QStringList{File("7.kav").c_str(), File("6.kav").c_str(), File("5.kav").c_str(),
                           File("4.kav").c_str(), File("3.kav").c_str()}));
    // A last used entry opens its file.
    form->LastFileEntries()[2]->trigger();
    EXPECT_EQ(form->CurrentFileName(), File("5.kav"));
    EXPECT_EQ(LastFileCaptions(*form).first().toStdString(), File("5.kav"));
    EXPECT_EQ(LastFileCaptions(*form).size(), 5);
  }
}

TEST_F(FormMainFileTest, FailedOpenKeepsTheCurrentConfigurationAndName) {
  auto form = MakeForm();
  files = {File("a.kav")};
  form->ItemSaveAsClick();
  KDConfig* before = &form->Config();
  QString caption = form->windowTitle();
  ReportCapture capture;
  files = {File("missing.kav")};
  form->ItemOpenClick();
  EXPECT_EQ(
      capture.OnlyText().rfind("Cannot open file \"" + File("missing.kav") + "\" for reading: ", 0),
      0u);
  EXPECT_EQ(&form->Config(), before);
  EXPECT_EQ(form->CurrentFileName(), File("a.kav"));
  EXPECT_EQ(form->windowTitle(), caption);
}

TEST_F(FormMainFileTest, CommandLineConfigurationOpensAtStartUp) {
  {
    std::unique_ptr<KDConfig> config = std::make_unique<KDConfig>();
    config->SetLength(4321);
    ASSERT_TRUE(WriteKavroConfig(*config, File("start.kav")));
  }
  auto form = MakeForm("/opt/kavro/kavro", {File("start.kav")});
  EXPECT_EQ(form->Config().Length(), 4321);
  EXPECT_EQ(form->CurrentFileName(), File("start.kav"));
  EXPECT_EQ(form->windowTitle().toStdString(), "KAVRO: " + File("start.kav") + " - U-KA-DOV");
}

// Next and Previous walk the visible entries of both modes, crossing menus.
TEST_F(FormMainFileTest, NextAndPreviousWalkTheVisibleEntriesOfBothModes) {
  fs::path dir = fs::path(workDir.path().toStdString());
  fs::create_symlink(FAKE_UDOV_LIBRARY, dir / "libudov.so");
  struct Case {
    std::string program;
    std::vector<std::string> entries;
  } cases[] = {
      {"/opt/kavro/kavro",
       {"ItemPhysicalRoadLayout", "ItemODNames", "ItemKAVROSurfaceDetails", "ItemTrafficControl",
        "ItemLaneChangeBehavior", "ItemEditLaneChangeAreas", "ItemDetectors", "ItemComposition",
        "ItemFlowPerOrigin", "ItemOriginDestinationMatrix", "ItemVehicleDriverProperties",
        "ItemSettings", "ItemRun", "ItemBatch"}},
      {(dir / "dovel").string(),
       {"ItemPhysicalRoadLayout", "ItemODNames", "ItemEditLaneChangeAreas", "ItemDetectors",
        "ItemSpeedLimit", "ItemDOVELSurfaceDetails", "ItemComposition", "ItemVehicleProperties",
        "ItemDriverProperties", "ItemGeneration", "ItemVehicleDriverFrequencies",
        "ItemICCParameters", "ItemSettingsDOVEL", "ItemRun"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program);
    auto form = MakeForm(c.program.c_str());
    ReportCapture capture;
    auto* next = form->findChild<QPushButton*>("BitBtnNext");
    auto* previous = form->findChild<QPushButton*>("BitBtnPrev");
    std::vector<std::string> walked{form->CurrentPageItem()->objectName().toStdString()};
    EXPECT_FALSE(previous->isEnabled());
    while (next->isEnabled() && walked.size() < 30) {
      next->click();
      walked.push_back(form->CurrentPageItem()->objectName().toStdString());
    }
    EXPECT_EQ(walked, c.entries);
    std::vector<std::string> back{walked.back()};
    while (previous->isEnabled() && back.size() < 30) {
      previous->click();
      back.push_back(form->CurrentPageItem()->objectName().toStdString());
    }
    EXPECT_EQ(std::vector<std::string>(back.rbegin(), back.rend()), c.entries);
    EXPECT_TRUE(capture.Empty());
  }
}

// A run the page navigation can stop; counts what it was asked.
class FakeRun : public PageRunControl {
 public:
  int steps = 0;
  int stopped = 0;
  int stops = 0;
  int resets = 0;
  int StepCount() const override { return steps; }
  void StopRunning() override { ++stopped; }
  void Stop() override { ++stops; }
  void ResetModelRun() override {
    ++resets;
    steps = 0;
  }
  void RefreshStepCount() override {}
  bool BatchResumable() const override { return false; }
  void ConfigurationReplaced(const KDConfig&) override {}
};

TEST_F(FormMainFileTest, PageChangesStopTheRunAndDovelAsksBeforeLeavingIt) {
  fs::path dir = fs::path(workDir.path().toStdString());
  fs::create_symlink(FAKE_UDOV_LIBRARY, dir / "libudov.so");
  auto form = MakeForm((dir / "dovel").string().c_str());
  FakeRun run;
  form->SetRunControl(&run);
  form->PageItem("ItemRun")->trigger();
  EXPECT_GE(run.stopped, 1);
  run.steps = 10;
  answers = {Answer::Cancel};
  form->PageItem("ItemComposition")->trigger();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].Text, "This requires terminating the current simulation\r\nProceed ?");
  EXPECT_EQ(asked[0].Buttons, QuestionButtons::OkCancel);
  EXPECT_EQ(form->CurrentPage(), kRunPage);
  EXPECT_EQ(run.steps, 10);

  answers = {Answer::Ok};
  form->PageItem("ItemComposition")->trigger();
  EXPECT_EQ(form->CurrentPage(), 11);
  EXPECT_EQ(run.resets, 1);
  form->SetRunControl(nullptr);
}

TEST_F(FormMainFileTest, AltClickOnTheStatusBarShowsTheDebugMenu) {
  auto form = MakeForm();
  form->show();
  QAction* debug = form->DebugMenu()->menuAction();
  EXPECT_FALSE(debug->isVisible());
  ClickStatusBar(*form, Qt::AltModifier);
  EXPECT_TRUE(debug->isVisible());
  ClickStatusBar(*form, Qt::NoModifier);
  EXPECT_TRUE(debug->isVisible()) << "a plain click does nothing";
  form->findChild<QAction*>("ItemDebugToggle")->trigger();
  EXPECT_TRUE(form->DebugOutput()->isVisible());
  form->DebugWrite("line");
  form->findChild<QAction*>("ItemDebugClear")->trigger();
  EXPECT_TRUE(form->DebugOutput()->toPlainText().isEmpty());
}

}  // namespace

namespace {

// Not part of the suite: writes pictures of the main window in both modes for a look by eye.
//   QT_QPA_PLATFORM=offscreen KAVRO_SCREENSHOT_DIR=/tmp build/tests/kavro_ui_tests
//     --gtest_also_run_disabled_tests --gtest_filter='*Screenshot*'
TEST(FormMainScreenshot, DISABLED_WritesBothModes) {
  QTemporaryDir settingsDir;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
  QByteArray target = qgetenv("KAVRO_SCREENSHOT_DIR");
  fs::path out = target.isEmpty() ? fs::temp_directory_path() : fs::path(target.toStdString());
  QTemporaryDir programDir;
  fs::path dir(programDir.path().toStdString());
  fs::create_symlink(FAKE_UDOV_LIBRARY, dir / "libudov.so");
  std::string example = std::string(KAVRO_SOURCE_DIR) + "/examples/on-ramp-taper.kav";
  for (const char* program : {"kavro", "dovel"}) {
    std::vector<std::string> parameters;
    if (std::string(program) == "kavro") parameters.push_back(example);
    TFormMain form(StartupInfo{(dir / program).string(), "/unused/", parameters});
    form.resize(1000, 640);
    form.show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    fs::path file = out / (std::string("kavro-screenshot-") + program + ".png");
    EXPECT_TRUE(form.grab().save(QString::fromStdString(file.string())));
    SetProgramMode(KAVRO);
  }
}

}  // namespace
