// Edit > Undo and Edit > Redo of the main window, chosen through the menu with the keyboard as
// a user does: the configuration goes back and forth, the captions name the edits, and New and
// Open start a new history.

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <filesystem>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "roadview/ui/RoadView.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/PageSettings.h"
#include "support/ReportCapture.h"

namespace {

namespace fs = std::filesystem;

std::string Saved(KDConfig& config) {
  return KavroConfigText(config, "Mon Jan  5 09:00:00 2026\n");
}

class FormMainEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    form = std::make_unique<TFormMain>(StartupInfo{"/opt/kavro/kavro", "/unused/", {}});
    form->SetQuestionAsker([](const Question&) { return Answer::No; });
    form->SetFileChooser([this](const FileDialogRequest&, std::string& name) {
      name = openName;
      return !name.empty();
    });
    form->show();
  }
  void TearDown() override { SetProgramMode(KAVRO); }

  // Opens the Edit menu and presses the entry's underlined letter.
  void ChooseFromEditMenu(Qt::Key key) {
    QMenu* edit = form->EditMenu();
    edit->popup(form->mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(edit));
    QTest::keyClick(edit, key);
  }
  QAction* Entry(const char* item) const {
    for (QAction* action : form->EditMenu()->actions())
      if (action->objectName() == item) return action;
    return nullptr;
  }

  // An edit the way the pages make one: the undo point, then the change.
  void Edit(const std::string& label, int detector) {
    form->RecordUndo(label);
    form->Config().AddDetector(detector);
  }

  QTemporaryDir settingsDir;
  std::unique_ptr<TFormMain> form;
  std::string openName;
};

TEST_F(FormMainEditTest, UndoAndRedoThroughTheMenuRestoreTheConfiguration) {
  const std::string original = Saved(form->Config());
  Edit("new detector", 100);
  const std::string afterFirst = Saved(form->Config());
  form->RecordUndo("random seed");
  form->Config().SetSeed(9);
  const std::string afterSecond = Saved(form->Config());
  EXPECT_EQ(Entry("ItemUndo")->text(), "&Undo random seed");
  EXPECT_FALSE(Entry("ItemRedo")->isEnabled());

  ChooseFromEditMenu(Qt::Key_U);
  EXPECT_EQ(Saved(form->Config()), afterFirst);
  EXPECT_EQ(Entry("ItemUndo")->text(), "&Undo new detector");
  EXPECT_EQ(Entry("ItemRedo")->text(), "&Redo random seed");
  ChooseFromEditMenu(Qt::Key_U);
  EXPECT_EQ(Saved(form->Config()), original);
  EXPECT_FALSE(Entry("ItemUndo")->isEnabled());
  EXPECT_EQ(Entry("ItemUndo")->text(), "&Undo");
  EXPECT_EQ(Entry("ItemRedo")->text(), "&Redo new detector");

  ChooseFromEditMenu(Qt::Key_R);
  ChooseFromEditMenu(Qt::Key_R);
  EXPECT_EQ(Saved(form->Config()), afterSecond);
  EXPECT_FALSE(Entry("ItemRedo")->isEnabled());
  EXPECT_EQ(Entry("ItemRedo")->text(), "&Redo");
}

TEST_F(FormMainEditTest, ShortcutsWorkAndTheSettingsPageRecordsItsEdits) {
  form->ItemSetModeClick(form->PageItem("ItemSettings"));
  const int seed = form->Config().Seed();
  QLineEdit* field = form->SettingsPage()->EditRandomSeed;
  field->selectAll();
  QTest::keyClicks(field, "13");
  EXPECT_EQ(form->Config().Seed(), 13);
  EXPECT_EQ(Entry("ItemUndo")->text(), "&Undo random seed");
  // In a text field Ctrl+Z takes back typing; on the road page it is Edit > Undo.
  form->ItemSetModeClick(form->PageItem("ItemPhysicalRoadLayout"));
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  form->RoadView()->setFocus();
  QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(form->Config().Seed(), seed);
  QTest::keyClick(form.get(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(form->Config().Seed(), 13);
}

TEST_F(FormMainEditTest, NewAndOpenStartWithAnEmptyHistory) {
  Edit("new detector", 100);
  Edit("new detector", 200);
  ChooseFromEditMenu(Qt::Key_U);
  ASSERT_TRUE(Entry("ItemRedo")->isEnabled());
  form->ItemNewClick();
  EXPECT_FALSE(Entry("ItemUndo")->isEnabled());
  EXPECT_FALSE(Entry("ItemRedo")->isEnabled());
  EXPECT_EQ(form->Config().DetectorCount(), 0);

  Edit("new detector", 300);
  openName = std::string(KAVRO_SOURCE_DIR) + "/examples/weaving.kav";
  form->ItemOpenClick();
  EXPECT_FALSE(Entry("ItemUndo")->isEnabled());
  EXPECT_EQ(Entry("ItemUndo")->text(), "&Undo");
}

TEST_F(FormMainEditTest, UndoWithNothingToUndoSaysSoAndKeepsRunning) {
  ReportCapture capture;
  form->ItemUndoClick();
  form->ItemRedoClick();
  ASSERT_EQ(capture.Reports().size(), 2u);
  EXPECT_EQ(capture.Reports()[0].text, "Can't undo");
  EXPECT_EQ(capture.Reports()[0].caption, "Program Error");
  EXPECT_EQ(capture.Reports()[1].text, "Nothing to redo");
  EXPECT_FALSE(TerminateRequested());
}

}  // namespace
