// The DOVEL road pages driven through their widgets with the real external model: the model's
// surface details on their slider and the speed limit of the selected sections. Every accepted
// value is one undo point, reaches the model and shows on the road.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QtTest/QTest>
#include <filesystem>

#include "config/KDConfig.h"
#include "extmodel/DovelCalls.h"
#include "roadview/ui/PageSurfaceDetails.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"
#include "support/ui/FormMainWindowTest.h"

namespace {

namespace fs = std::filesystem;

// New.dov: one link of 2000 m with two lanes, model lanes 4 and 5.
class FormMainDovelSurfaceTest : public FormMainWindowTest {
 protected:
  void SetUp() override {
    folder = FreshTestFolder("dovel-surface");
    fs::create_symlink(UDOV_LIBRARY, folder / "libudov.so");
    fs::create_symlink(KAVRO_SOURCE_DIR "/udov/New.dov", folder / "New.dov");
    executable_ = (folder / "dovel").string();
    directory_ = folder.string() + "/";
    FormMainWindowTest::SetUp();
    ASSERT_EQ(form->Mode(), DOVEL);
    ASSERT_EQ(Config().Length(), 2000);
  }
  void TearDown() override {
    form.reset();
    FormMainWindowTest::TearDown();
    fs::remove_all(folder);
  }

  TPageDOVELSurfaceDetails* ShowDetails() {
    ShowPage("ItemDOVELSurfaceDetails");
    TPageDOVELSurfaceDetails* page = form->DovelSurfaceDetailsPage();
    EXPECT_TRUE(page && page->isVisible());
    return page;
  }
  void ChooseDetail(TPageDOVELSurfaceDetails* page, int detail) {
    page->ComboBoxSurfaceDetail->setCurrentIndex(detail);
    emit page->ComboBoxSurfaceDetail->activated(detail);
  }
  float Cell(int section, int lane, int property) {
    return Config().PhysicalSectionProperty(section, lane, property);
  }
  // What the model holds for parameter (2, id) of the link of `section`.
  float ModelValue(int id, int section, int index2 = -1) {
    return Dovel::Get_param_realvalue(2, id, Config().Boundaries() - section + 1, index2, -1);
  }
  // The road picture's pixels of lane `lane` across the middle of section `section`.
  QImage LaneStrip(int section, int lane) {
    const int x =
        X((Config().SectionPos(section, WHENCE_BEGIN) + Config().SectionPos(section, WHENCE_END)) /
          2);
    return form->RoadView()->RoadBitmap().copy(x - 25, LaneTop(static_cast<float>(lane)), 50, 24);
  }

  fs::path folder;
  ReportCapture capture;
};

TEST_F(FormMainDovelSurfaceTest, DetailListHoldsTheNineDetailsFirstChosen) {
  TPageDOVELSurfaceDetails* page = ShowDetails();
  ASSERT_EQ(page->ComboBoxSurfaceDetail->count(), 9);
  EXPECT_EQ(page->ComboBoxSurfaceDetail->currentText(), "Lane width");
  EXPECT_EQ(page->ComboBoxSurfaceDetail->itemText(5), "Slope");
  EXPECT_EQ(page->ComboBoxSurfaceDetail->itemText(8), "Pre warning distance");
  // The model's own description of the lane width, its slider and the value of the first
  // lane that is one (lanes 0 .. 3 are not: the model keeps its lanes at the right).
  EXPECT_FALSE(page->LabelSurfaceDetailDescription->text().isEmpty());
  EXPECT_EQ(page->TrackBarSurfaceDetail->maximum(), 50);
  EXPECT_EQ(page->LabelSurfaceDetailsValue->text(), "3.50 m");
  EXPECT_EQ(page->TrackBarSurfaceDetail->value(), 20);
  EXPECT_EQ(page->LabelPerLaneComment->text(), "");
  EXPECT_TRUE(capture.Empty());
}

TEST_F(FormMainDovelSurfaceTest, SlopeSliderChangesTheFirstSelectedSectionOnly) {
  Config().InsertBoundary(1000);  // section 1 upstream of 1000 m, section 0 downstream
  TPageDOVELSurfaceDetails* page = ShowDetails();
  Drag(500, 4, 1500, 5);  // both sections: the upstream one comes first
  ChooseDetail(page, 5);
  EXPECT_EQ(page->LabelPerLaneComment->text(), "Slope affects all lanes at once");
  EXPECT_EQ(page->LabelSurfaceDetailsValue->text(), "0.0 %");
  EXPECT_EQ(page->TrackBarSurfaceDetail->maximum(), 32);
  EXPECT_EQ(page->TrackBarSurfaceDetail->value(), 16);
  EXPECT_EQ(UndoCaption(), "&Undo");
  const QImage before = LaneStrip(1, 5);

  page->TrackBarSurfaceDetail->setFocus();
  QTest::keyClick(page->TrackBarSurfaceDetail, Qt::Key_Right);
  EXPECT_EQ(Cell(1, 0, 5), 0.5f);
  EXPECT_EQ(Cell(0, 0, 5), 0.0f);
  EXPECT_EQ(ModelValue(22, 1), 0.5f);
  EXPECT_EQ(ModelValue(22, 0), 0.0f);
  EXPECT_EQ(UndoCaption(), "&Undo surface detail change");
  EXPECT_EQ(page->LabelSurfaceDetailsValue->text(), "0.5 %");
  EXPECT_EQ(page->TrackBarSurfaceDetail->value(), 17);
  // The road labels the section's slope in each of its lanes.
  EXPECT_NE(LaneStrip(1, 5), before);

  QTest::keyClick(page->TrackBarSurfaceDetail, Qt::Key_End);
  EXPECT_EQ(Cell(1, 0, 5), 8.0f);
  EXPECT_EQ(page->LabelSurfaceDetailsValue->text(), "8.0 %");

  form->ItemUndoClick();
  form->ItemUndoClick();
  EXPECT_EQ(Cell(1, 0, 5), 0.0f);
  EXPECT_EQ(ModelValue(22, 1), 0.0f);
  EXPECT_EQ(page->TrackBarSurfaceDetail->value(), 16);
  EXPECT_EQ(page->LabelSurfaceDetailsValue->text(), "0.0 %");
  EXPECT_EQ(LaneStrip(1, 5), before);
  EXPECT_TRUE(capture.Empty());
}

TEST_F(FormMainDovelSurfaceTest, LaneWidthSliderChangesTheDraggedLanesOnly) {
  Config().SetPhysicalSectionProperty(0, 3, PP_LANETYPE, 76.0f);  // a third lane
  ASSERT_EQ(ModelValue(4, 0), 3.0f);
  TPageDOVELSurfaceDetails* page = ShowDetails();
  ChooseDetail(page, 0);
  const float third = Cell(0, 3, 0);
  Drag(1000, 4, 1000, 5);
  EXPECT_EQ(page->LabelSurfaceDetailsValue->text(), "3.50 m");
  page->TrackBarSurfaceDetail->setFocus();
  QTest::keyClick(page->TrackBarSurfaceDetail, Qt::Key_Right);
  EXPECT_FLOAT_EQ(Cell(0, 4, 0), 3.55f);
  EXPECT_FLOAT_EQ(Cell(0, 5, 0), 3.55f);
  EXPECT_EQ(Cell(0, 3, 0), third);
  // External lanes count from 1 at the right: model lane 5 is lane 1.
  EXPECT_FLOAT_EQ(ModelValue(9, 0, 1), 3.55f);
  EXPECT_FLOAT_EQ(ModelValue(9, 0, 2), 3.55f);
  EXPECT_EQ(UndoCaption(), "&Undo surface detail change");
  EXPECT_EQ(page->LabelSurfaceDetailsValue->text(), "3.55 m");

  // Another lane shows its own width.
  Drag(1000, 3, 1000, 3);
  EXPECT_EQ(page->LabelSurfaceDetailsValue->text(), QString::asprintf("%.2f m", third));
  EXPECT_TRUE(capture.Empty());
}

class FormMainDovelSpeedLimitTest : public FormMainDovelSurfaceTest {
 protected:
  void SetUp() override {
    FormMainDovelSurfaceTest::SetUp();
    Config().InsertBoundary(1000);
    ShowPage("ItemSpeedLimit");
    page = form->SpeedLimitPage();
    ASSERT_TRUE(page && page->isVisible());
    Drag(500, 5, 1500, 5);
    ASSERT_EQ(page->EditSpeedLimit->text(), "120");
  }
  TPageSpeedLimit* page = nullptr;
};

TEST_F(FormMainDovelSpeedLimitTest, TypedLimitWithinTheModelsRangeSetsEverySelectedSection) {
  QLineEdit* field = page->EditSpeedLimit;
  const QImage before = LaneStrip(0, 5);
  field->setFocus();
  field->setSelection(1, 1);  // "120": the 2 becomes a 0
  QTest::keyClick(field, Qt::Key_0);
  ASSERT_EQ(field->text(), "100");
  for (int section : {0, 1}) {
    EXPECT_EQ(Cell(section, 0, PP_SPEEDLIMIT), 100.0f) << section;
    EXPECT_EQ(ModelValue(2, section), 100.0f) << section;
  }
  EXPECT_EQ(UndoCaption(), "&Undo set speed limit");
  // The road's label shows the section's limit on every lane.
  EXPECT_NE(LaneStrip(0, 5), before);
  form->ItemUndoClick();  // one undo point for both sections
  EXPECT_EQ(LaneStrip(0, 5), before);
  for (int section : {0, 1}) EXPECT_EQ(Cell(section, 0, PP_SPEEDLIMIT), 120.0f) << section;
  EXPECT_EQ(field->text(), "120");
  EXPECT_TRUE(capture.Empty());
}

TEST_F(FormMainDovelSpeedLimitTest, TypedLimitOutsideTheModelsRangeStoresNothing) {
  const int stamp = Config().ChangeStamp();
  // The model takes 1 .. 200 km/h; none of these texts (nor their prefixes) is one of them.
  Type(page->EditSpeedLimit, "0");
  Type(page->EditSpeedLimit, "-5");
  Type(page->EditSpeedLimit, "x");
  page->EditSpeedLimit->setText("250");
  EXPECT_EQ(Config().ChangeStamp(), stamp);
  EXPECT_EQ(Cell(1, 0, PP_SPEEDLIMIT), 120.0f);
  EXPECT_EQ(ModelValue(2, 1), 120.0f);
  EXPECT_EQ(UndoCaption(), "&Undo");
  EXPECT_TRUE(capture.Empty());
}

TEST_F(FormMainDovelSpeedLimitTest, PopupEntrySetsTheLimit) {
  const QPoint at(X(500), Y(5));
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, Image()->mapToGlobal(at));
  QApplication::sendEvent(Image(), &event);
  QMenu* menu = page->PopupMenuSpeedLimit;
  ASSERT_TRUE(menu->isVisible());
  QAction* entry = nullptr;
  for (QAction* action : menu->actions())
    if (action->text() == "&80 km/h") entry = action;
  ASSERT_NE(entry, nullptr);
  QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(entry).center());
  for (int section : {0, 1}) {
    EXPECT_EQ(Cell(section, 0, PP_SPEEDLIMIT), 80.0f) << section;
    EXPECT_EQ(ModelValue(2, section), 80.0f) << section;
  }
  EXPECT_EQ(page->EditSpeedLimit->text(), "80");
  EXPECT_EQ(UndoCaption(), "&Undo set speed limit");
  EXPECT_TRUE(capture.Empty());
}

}  // namespace
