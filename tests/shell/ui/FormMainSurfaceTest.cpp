// The surface details page driven through its widgets and the road view: typed values, the
// check box, the pop-up menu and "&Other" write every selected cell, each as one undo point,
// and the road shows the chosen detail.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "roadview/ui/PageSurfaceDetails.h"
#include "roadview/ui/RoadView.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/FormValue.h"
#include "support/ReportCapture.h"
#include "support/ui/FormMainWindowTest.h"

namespace {

class FormMainSurfaceTest : public FormMainWindowTest {
 protected:
  void SetUp() override {
    FormMainWindowTest::SetUp();
    // Two sections: 1 upstream of 2500 m, 0 downstream (positions count from upstream).
    Config().InsertBoundary(2500);
    form->ItemSetModeClick(form->PageItem("ItemKAVROSurfaceDetails"));
    page = form->KavroSurfaceDetailsPage();
    ASSERT_TRUE(page && page->isVisible());
  }
  void ChooseDetail(int row) {
    page->ComboBoxSurfaceDetails->setCurrentIndex(row);
    emit page->ComboBoxSurfaceDetails->activated(row);
  }
  void Type(const QString& text) {
    QLineEdit* field = page->EditKAVROSurfaceDetailsValue;
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
  }
  // Opens the pop-up menu over road position `position` in lane `lane`.
  QMenu* OpenMenu(int position, int lane) {
    const QPoint at(X(position), Y(lane));
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, Image()->mapToGlobal(at));
    QApplication::sendEvent(Image(), &event);
    return page->PopupMenuKAVROSurfaceDetails;
  }
  QAction* Entry(QMenu* menu, const QString& caption) {
    for (QAction* action : menu->actions())
      if (action->text() == caption && action->isVisible()) return action;
    return nullptr;
  }
  void AnswerValueDialog(const QString& text) {
    QTimer::singleShot(0, [text] {
      auto* dialog = qobject_cast<TFormValue*>(QApplication::activeModalWidget());
      if (!dialog) return;
      dialog->MaskEditValue->selectAll();
      QTest::keyClicks(dialog->MaskEditValue, text);
      QTest::mouseClick(dialog->BitBtnOK->isEnabled() ? dialog->BitBtnOK : dialog->BitBtnCancel,
                        Qt::LeftButton);
    });
  }
  float Cell(int section, int lane, int property) {
    return Config().PhysicalSectionProperty(section, lane, property);
  }
  // The road picture's pixels of lane `lane` across the middle of section `section`.
  QImage LaneStrip(int section, int lane) {
    const int x =
        X((Config().SectionPos(section, WHENCE_BEGIN) + Config().SectionPos(section, WHENCE_END)) /
          2);
    return form->RoadView()->RoadBitmap().copy(x - 20, LaneTop(static_cast<float>(lane)), 40, 24);
  }

  ReportCapture capture;
  TPageKAVROSurfaceDetails* page = nullptr;
};

TEST_F(FormMainSurfaceTest, TypedSpeedLimitWritesTheSelectedCellsAsOneUndoPoint) {
  Drag(1000, 1, 4000, 2);  // lanes 1 .. 2 of both sections
  ChooseDetail(2);
  EXPECT_EQ(page->LabelKAVROSurfaceDetailsUnit->text(), "km/h");
  EXPECT_EQ(page->EditKAVROSurfaceDetailsValue->text(), "120");
  const QImage before = LaneStrip(0, 1);
  Type("8");  // below the range: nothing stored yet
  EXPECT_EQ(Cell(0, 1, PP_SPEEDLIMIT), 120.0f);
  EXPECT_EQ(UndoCaption(), "&Undo");
  Type("80");
  for (int section : {0, 1})
    for (int lane : {1, 2}) EXPECT_EQ(Cell(section, lane, PP_SPEEDLIMIT), 80.0f);
  EXPECT_EQ(Cell(0, 0, PP_SPEEDLIMIT), 120.0f);
  EXPECT_EQ(Cell(0, 3, PP_SPEEDLIMIT), 120.0f);
  EXPECT_EQ(UndoCaption(), "&Undo set surface parameter");
  // The road shows the limits: the label of the changed lane is redrawn.
  EXPECT_NE(LaneStrip(0, 1), before);
  form->ItemUndoClick();
  EXPECT_EQ(form->Config().PhysicalSectionProperty(0, 1, PP_SPEEDLIMIT), 120.0f);
  EXPECT_EQ(page->EditKAVROSurfaceDetailsValue->text(), "120");
  EXPECT_TRUE(capture.Empty());
}

TEST_F(FormMainSurfaceTest, BadTextStoresNothing) {
  Drag(1000, 1, 1000, 1);
  ChooseDetail(0);
  const int stamp = Config().ChangeStamp();
  // Every prefix of a typed text counts: none of these is a whole number within 10 .. 100.
  for (const char* text : {"abc", "5", "-", "0", "1x"}) Type(text);
  EXPECT_EQ(Config().ChangeStamp(), stamp);
  EXPECT_EQ(UndoCaption(), "&Undo");
  Type("80");                                              // 8 is below 10, then 80 stores 0.8
  EXPECT_FLOAT_EQ(Cell(1, 1, PP_SPEEDSUPPRESSION), 0.8f);  // 1000 m lies in section 1
  EXPECT_TRUE(capture.Empty());
}

TEST_F(FormMainSurfaceTest, PopupMenuOffersTheStepsAndTicksTheShownValue) {
  Drag(1000, 0, 1000, 3);
  ChooseDetail(0);
  QMenu* menu = OpenMenu(1000, 1);
  ASSERT_TRUE(menu->isVisible());
  QStringList captions;
  for (QAction* action : menu->actions())
    if (action->isVisible()) captions << action->text();
  EXPECT_EQ(captions.first(), "100 %");
  EXPECT_EQ(captions.last(), "&Other");
  EXPECT_EQ(captions.size(), 11);
  EXPECT_TRUE(Entry(menu, "100 %")->isChecked());
  QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                    menu->actionGeometry(Entry(menu, "50 %")).center());
  for (int lane = 0; lane <= 3; ++lane) EXPECT_FLOAT_EQ(Cell(1, lane, PP_SPEEDSUPPRESSION), 0.5f);
  EXPECT_FLOAT_EQ(Cell(0, 0, PP_SPEEDSUPPRESSION), 1.0f);
  EXPECT_EQ(UndoCaption(), "&Undo set surface parameter");
  EXPECT_EQ(page->EditKAVROSurfaceDetailsValue->text(), "50");

  // A value the menu does not offer ticks "&Other", which asks within the row's range.
  Type("55");
  menu = OpenMenu(1000, 1);
  EXPECT_TRUE(Entry(menu, "&Other")->isChecked());
  menu->hide();
  AnswerValueDialog("5");  // refused: the dialog is cancelled
  page->ItemOtherP->trigger();
  EXPECT_FLOAT_EQ(Cell(1, 0, PP_SPEEDSUPPRESSION), 0.55f);
  AnswerValueDialog("35");
  page->ItemOtherP->trigger();
  EXPECT_FLOAT_EQ(Cell(1, 0, PP_SPEEDSUPPRESSION), 0.35f);
  EXPECT_TRUE(capture.Empty());
}

TEST_F(FormMainSurfaceTest, TrucksDetailIsACheckBoxWithTwoMenuEntries) {
  Drag(3000, 1, 3000, 1);  // lane 1 of section 0
  ChooseDetail(1);
  EXPECT_TRUE(page->CheckBoxKAVROSurfaceDetail->isVisible());
  EXPECT_FALSE(page->EditKAVROSurfaceDetailsValue->isVisible());
  EXPECT_FALSE(page->CheckBoxKAVROSurfaceDetail->isChecked());
  const QImage before = LaneStrip(0, 1);
  QCheckBox* box = page->CheckBoxKAVROSurfaceDetail;
  QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
  EXPECT_EQ(Config().IntPhysicalSectionProperty(0, 1, PP_NOOVERTAKINGTRUCKS), 1);
  EXPECT_EQ(Config().IntPhysicalSectionProperty(1, 1, PP_NOOVERTAKINGTRUCKS), 0);
  EXPECT_TRUE(page->CheckBoxKAVROSurfaceDetail->isChecked());
  EXPECT_NE(LaneStrip(0, 1), before);  // the no-overtaking sign
  QMenu* menu = OpenMenu(3000, 1);
  ASSERT_TRUE(menu->isVisible());
  EXPECT_FALSE(Entry(menu, "&Other"));
  QAction* ok = Entry(menu, "&Overtaking trucks OK");
  ASSERT_TRUE(ok);
  QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(ok).center());
  EXPECT_EQ(Config().IntPhysicalSectionProperty(0, 1, PP_NOOVERTAKINGTRUCKS), 0);
  EXPECT_EQ(LaneStrip(0, 1), before);
  EXPECT_TRUE(capture.Empty());
}

TEST_F(FormMainSurfaceTest, NoMenuOverAnUnpavedSelection) {
  const int lane = MaxLane() - 1;
  ASSERT_EQ(Config().IntPhysicalSectionProperty(0, lane, PP_LANETYPE) & LANE_PAVED, 0);
  Drag(1000, lane, 1000, lane);
  EXPECT_FALSE(page->EditKAVROSurfaceDetailsValue->isEnabled());
  EXPECT_FALSE(OpenMenu(1000, lane)->isVisible());
}

}  // namespace
