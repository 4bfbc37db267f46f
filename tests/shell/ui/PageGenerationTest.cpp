#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "shell/ui/PageGeneration.h"

namespace {

// The generation page over a DOVEL configuration, recording undo points and dialog requests.
struct GenerationPage {
  KDConfig config;
  TPageGeneration page;
  std::vector<std::string> undo;
  std::string chosen;  // what the open dialog returns; empty = cancelled
  int dialogs = 0;

  GenerationPage() {
    config.SetInjectionFileName("old.inj");
    config.SetDovelFlow(1500);
    page.SetUndoRecorder([this](const std::string& label) { undo.push_back(label); });
    page.SetFileChooser([this](std::string& name) {
      ++dialogs;
      if (chosen.empty()) return false;
      name = chosen;
      return true;
    });
    page.SetConfig(&config);
    page.ShowValues();
    page.show();
  }
};

class PageGenerationTest : public ::testing::Test {
 protected:
  void SetUp() override { SetProgramMode(DOVEL); }
  void TearDown() override { SetProgramMode(KAVRO); }
};

TEST_F(PageGenerationTest, ShowsTheFixedFlowWithItsScrollBar) {
  GenerationPage g;
  EXPECT_TRUE(g.page.RadioButtonFixedFlow->isChecked());
  EXPECT_TRUE(g.page.ScrollBarCurrentFlow->isVisible());
  EXPECT_FALSE(g.page.LabelInjectionFileName->isVisible());
  EXPECT_EQ(g.page.ScrollBarCurrentFlow->value(), 150);
  EXPECT_EQ(g.page.LabelCurrentFlow->text(), "1500 veh/h");
  EXPECT_TRUE(g.undo.empty());
}

TEST_F(PageGenerationTest, ScrollBarEndSetsTenThousandVehiclesPerHour) {
  GenerationPage g;
  g.page.ScrollBarCurrentFlow->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(g.config.DovelFlow(), 10000.0f);
  EXPECT_EQ(g.page.LabelCurrentFlow->text(), "10000 veh/h");
  EXPECT_EQ(g.undo, (std::vector<std::string>{"change flow"}));
}

TEST_F(PageGenerationTest, SwitchingBackAndForthRecordsEachChange) {
  GenerationPage g;
  g.chosen = "new.inj";
  g.page.RadioButtonInjectionFile->click();
  EXPECT_TRUE(g.config.UseInjectionFile());
  EXPECT_EQ(g.config.InjectionFileName(), "new.inj");
  EXPECT_EQ(g.page.LabelInjectionFileName->text(), "new.inj");
  EXPECT_FALSE(g.page.ScrollBarCurrentFlow->isVisible());
  g.page.RadioButtonFixedFlow->click();
  EXPECT_FALSE(g.config.UseInjectionFile());
  EXPECT_EQ(g.dialogs, 1);  // the fixed flow asks for no file
  EXPECT_EQ(g.undo,
            (std::vector<std::string>{"change use of injection file", "change injection file name",
                                      "change use of injection file"}));
}

TEST_F(PageGenerationTest, CancelledDialogKeepsTheFileName) {
  GenerationPage g;
  g.config.SetUseInjectionFile(true);
  g.page.ShowValues();
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(g.page.LabelInjectionFileName, &release);
  EXPECT_EQ(g.dialogs, 1);
  EXPECT_EQ(g.config.InjectionFileName(), "old.inj");
  EXPECT_TRUE(g.undo.empty());
}

}  // namespace
