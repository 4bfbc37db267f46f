// The detectors and traffic control pages driven through their widgets: each command is one
// undo point, the lists follow the configuration and the road highlights the chosen object.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/ui/PageFurniture.h"
#include "roadview/ui/RoadView.h"
#include "shell/ui/FormMain.h"
#include "support/ReportCapture.h"
#include "support/ui/FormMainWindowTest.h"

namespace {

class FormMainFurnitureTest : public FormMainWindowTest {
 protected:
  void SetUp() override {
    FormMainWindowTest::SetUp();
    detectors = form->DetectorsPage();
    lights = form->TrafficControlPage();
    ASSERT_TRUE(detectors && lights);
  }
  ReportCapture capture;
  TPageDetectors* detectors = nullptr;
  TPageTrafficControl* lights = nullptr;
};

TEST_F(FormMainFurnitureTest, NewDetectorThenTypedPositionMovesIt) {
  ShowPage("ItemDetectors");
  ASSERT_TRUE(detectors->isVisible());
  const int before = Config().DetectorCount();
  Click(detectors->BitBtnNewDetector);
  ASSERT_EQ(Config().DetectorCount(), before + 1);
  EXPECT_EQ(UndoCaption(), "&Undo new detector");
  const int d = detectors->Chosen();
  ASSERT_GE(d, 0);
  EXPECT_EQ(Config().DetectorPosition(d), 1);
  EXPECT_EQ(detectors->ComboBoxCurrentDetector->count(), Config().DetectorCount());
  EXPECT_TRUE(detectors->EditDetectorPosition->hasFocus());
  // The chosen detector is highlighted on the road.
  EXPECT_EQ(DrawKind(form->RoadView()->DrawFlags()), RoadDrawKind::Detector);

  Type(detectors->EditDetectorPosition, "99999999");  // beyond the road
  EXPECT_FALSE(detectors->BitBtnMoveDetector->isVisible());
  Type(detectors->EditDetectorPosition, "x");
  EXPECT_FALSE(detectors->BitBtnMoveDetector->isVisible());
  Type(detectors->EditDetectorPosition, "1234");
  Click(detectors->BitBtnMoveDetector);
  EXPECT_EQ(UndoCaption(), "&Undo move detector");
  EXPECT_EQ(Config().DetectorPosition(detectors->Chosen()), 1234);
  EXPECT_EQ(detectors->EditDetectorPosition->text(), "1234");
  EXPECT_FALSE(detectors->BitBtnMoveDetector->isVisible());

  // A position another detector holds keeps Move hidden.
  Click(detectors->BitBtnNewDetector);
  Type(detectors->EditDetectorPosition, "1234");
  EXPECT_FALSE(detectors->BitBtnMoveDetector->isVisible());

  Click(detectors->BitBtnRemoveDetector);
  EXPECT_EQ(UndoCaption(), "&Undo remove detector");
  EXPECT_EQ(Config().DetectorCount(), before + 1);
  form->ItemUndoClick();
  EXPECT_EQ(form->Config().DetectorCount(), before + 2);
  EXPECT_TRUE(capture.Empty());
}

TEST_F(FormMainFurnitureTest, InsertEveryAndDeleteAll) {
  ShowPage("ItemDetectors");
  Click(detectors->BitBtnNewDetector);
  Click(detectors->BitBtnDeleteAllDetectors);
  EXPECT_EQ(UndoCaption(), "&Undo delete all detectors");
  EXPECT_EQ(Config().DetectorCount(), 0);
  EXPECT_FALSE(detectors->BitBtnDeleteAllDetectors->isEnabled());
  EXPECT_FALSE(detectors->BitBtnCenteredInSections->isVisible());  // DOVEL mode only
  Type(detectors->EditEvery, "9");
  EXPECT_FALSE(detectors->BitBtnEveryN->isEnabled());
  Type(detectors->EditEvery, "1000");
  Click(detectors->BitBtnEveryN);
  EXPECT_EQ(UndoCaption(), "&Undo add detectors");
  EXPECT_EQ(Config().DetectorCount(), (Config().Length() - 1) / 1000);
  EXPECT_EQ(detectors->ComboBoxCurrentDetector->count(), Config().DetectorCount());
  EXPECT_TRUE(capture.Empty());
}

TEST_F(FormMainFurnitureTest, NewLightThenApplyChecksTheTimes) {
  ShowPage("ItemTrafficControl");
  ASSERT_TRUE(lights->isVisible());
  EXPECT_FALSE(lights->BitBtnTrafficLightApply->isEnabled());
  lights->ComboBoxTrafficLightLane->setCurrentIndex(1);
  Click(lights->BitBtnTrafficLightNew);
  ASSERT_EQ(Config().TrafficLightCount(), 1);
  EXPECT_EQ(UndoCaption(), "&Undo new traffic light");
  EXPECT_EQ(Config().TrafficLightLane(0), 1);
  EXPECT_EQ(Config().TrafficLightCycleTime(0), 90);
  EXPECT_EQ(lights->ComboBoxCurrentTrafficLight->currentText(), "1: position 1m lane 2");
  EXPECT_EQ(DrawKind(form->RoadView()->DrawFlags()), RoadDrawKind::TrafficLight);

  Type(lights->EditTrafficLightPosition, "1500");
  EXPECT_TRUE(lights->BitBtnTrafficLightApply->isEnabled());
  Type(lights->EditTrafficLightCycleTime, "33");  // 30 + 3 is not below 33
  EXPECT_FALSE(lights->BitBtnTrafficLightApply->isEnabled());
  Type(lights->EditTrafficLightCycleTime, "abc");
  EXPECT_FALSE(lights->BitBtnTrafficLightApply->isEnabled());
  Type(lights->EditTrafficLightCycleTime, "34");
  Click(lights->BitBtnTrafficLightApply);
  EXPECT_EQ(UndoCaption(), "&Undo change traffic light");
  EXPECT_EQ(Config().TrafficLightPosition(0), 1500);
  EXPECT_EQ(Config().TrafficLightCycleTime(0), 34);
  EXPECT_FALSE(lights->BitBtnTrafficLightApply->isEnabled());
  EXPECT_EQ(lights->ComboBoxCurrentTrafficLight->currentText(), "1: position 1500m lane 2");

  Click(lights->BitBtnTrafficLightDelete);
  EXPECT_EQ(Config().TrafficLightCount(), 0);
  EXPECT_EQ(UndoCaption(), "&Undo delete traffic light");
  form->ItemUndoClick();
  EXPECT_EQ(form->Config().TrafficLightCount(), 1);
  EXPECT_TRUE(capture.Empty());
}

}  // namespace
