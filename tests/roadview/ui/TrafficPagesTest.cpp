// The traffic demand pages of the main window driven with real mouse and key events: names
// typed into the grids, borders of the composition and OD bars dragged, flows pasted into the
// flow table and parameters moved with their sliders. Each change is checked in the
// configuration and by its undo label.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <cmath>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "config/VDCTypes.h"
#include "config/fs_params.h"
#include "roadview/DemandShares.h"
#include "roadview/ui/BarEditor.h"
#include "roadview/ui/PageDemandBars.h"
#include "roadview/ui/PageFlowPerOrigin.h"
#include "roadview/ui/PageODNames.h"
#include "roadview/ui/PageParameters.h"
#include "shell/GoldenFile.h"
#include "shell/ui/FormMain.h"
#include "support/ReportCapture.h"

namespace {

class TrafficPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    form = std::make_unique<TFormMain>(StartupInfo{"/opt/kavro/kavro", "/unused/", {}});
    form->SetQuestionAsker([this](const Question& question) {
      questions.push_back(question.Text);
      return answer;
    });
    form->resize(1100, 760);
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Document().SetOpenDialogName(std::string(KAVRO_SOURCE_DIR) + "/examples/weaving.kav");
    form->Document().OpenConfiguration();
    ASSERT_EQ(Config().SourceCount(), 2);
  }
  void TearDown() override { SetProgramMode(KAVRO); }

  KDConfig& Config() { return form->Config(); }
  std::string UndoLabel() const { return form->Undo().CanUndo() ? form->Undo().UndoLabel() : ""; }
  void Choose(const char* item) {
    QAction* action = form->PageItem(item);
    ASSERT_NE(action, nullptr);
    action->trigger();
    QApplication::processEvents();
  }
  // Opens the cell's editor with F2, replaces its text and presses Enter.
  static void TypeIntoCell(QTableWidget* grid, int row, int column, const QString& text) {
    grid->setFocus();
    grid->setCurrentCell(row, column);
    QTest::keyClick(grid, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The editor hands its text over, then the page takes it: two rounds of posted events.
    QApplication::processEvents();
    QApplication::processEvents();
  }
  // Drags segment (row, column) of a bar editor from x within it by dx pixels.
  static void DragSegment(TBarEditor* editor, int row, int column, int x, int dx) {
    TDragSegment* segment = editor->SegmentAt(row, column);
    ASSERT_NE(segment, nullptr);
    const int y = segment->height() / 2;
    QTest::mousePress(segment, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    QTest::mouseMove(segment, QPoint(x + dx / 2, y));
    QTest::mouseMove(segment, QPoint(x + dx, y));
    QTest::mouseRelease(segment, Qt::LeftButton, Qt::NoModifier, QPoint(x + dx, y));
  }

  QTemporaryDir settingsDir;
  std::unique_ptr<TFormMain> form;
  std::vector<std::string> questions;
  Answer answer = Answer::Ok;
};

}  // namespace

TEST_F(TrafficPagesTest, TypedDuplicateNameGetsASuffixAndOneWarning) {
  Choose("ItemODNames");
  TPageODNames* page = form->ODNamesPage();
  ASSERT_TRUE(page->StringGridSinkNames->isVisible());
  EXPECT_EQ(page->StringGridSinkNames->item(1, 0)->text(), "Section 2, lane 3-3");
  ReportCapture capture;
  TypeIntoCell(page->StringGridSinkNames, 1, 1, "Through");
  page->StringGridSourceNames->setFocus();  // leaving the grid stores its names
  EXPECT_EQ(Config().SinkName(1), "Through_1");
  EXPECT_EQ(page->StringGridSinkNames->item(1, 1)->text(), "Through_1");
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].caption, "Warning");
  EXPECT_EQ(capture.Reports()[0].text, "One or more names have been adjusted to remove duplicates");
  EXPECT_EQ(UndoLabel(), "change sink name");
}

TEST_F(TrafficPagesTest, OriginNamesCanBeExchanged) {
  Choose("ItemODNames");
  TPageODNames* page = form->ODNamesPage();
  ReportCapture capture;
  TypeIntoCell(page->StringGridSourceNames, 0, 1, "Main");
  TypeIntoCell(page->StringGridSourceNames, 1, 1, "On-ramp");
  page->StringGridSinkNames->setFocus();
  EXPECT_EQ(Config().SourceName(0), "Main");
  EXPECT_EQ(Config().SourceName(1), "On-ramp");
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(UndoLabel(), "change source name");
  // An empty name is refused: the stored name comes back.
  TypeIntoCell(page->StringGridSourceNames, 0, 1, "");
  page->StringGridSinkNames->setFocus();
  EXPECT_EQ(Config().SourceName(0), "Main");
  EXPECT_EQ(page->StringGridSourceNames->item(0, 1)->text(), "Main");
}

TEST_F(TrafficPagesTest, DraggingTheTruckBorderChangesTheTruckShare) {
  Choose("ItemComposition");
  TPageComposition* page = form->CompositionPage();
  ASSERT_TRUE(page->RadioButtonTruckFraction->isChecked());
  TBarEditor* bars = page->DragPanelComposition;
  const int width = bars->Scale()->PanelWidth;
  ASSERT_GT(width, 300);
  EXPECT_NEAR(ClassShare(Config(), 1, 1), 0.17f, 1e-3);
  TDragSegment* cars = bars->SegmentAt(1, 0);
  ASSERT_NE(cars, nullptr);
  EXPECT_EQ(cars->Caption, "passenger cars: 83.0%");
  // The border between cars and trucks moves 10 % of the bar to the left: 27 % trucks.
  DragSegment(bars, 1, 0, cars->width() - 1, -width / 10);
  // Each class is stored in whole percents and read normalised: about 27 % trucks.
  EXPECT_NEAR(ClassShare(Config(), 1, 1), 0.27f, 0.02f);
  EXPECT_NEAR(Config().OVProbability(1, 3, true), Config().OVProbability(1, 4, true), 1e-6);
  EXPECT_EQ(UndoLabel(), "change probability");
  // The other origin keeps its mix; the bars show the stored shares.
  EXPECT_NEAR(ClassShare(Config(), 0, 1), 0.11f, 1e-3);
  EXPECT_EQ(bars->SegmentAt(1, 1)->Caption.left(7), "trucks:");
}

TEST_F(TrafficPagesTest, AllVehicleTypesKeepWholePercentsAddingUpToOneHundred) {
  Choose("ItemComposition");
  TPageComposition* page = form->CompositionPage();
  QTest::mouseClick(page->RadioButtonAllVehicleTypes, Qt::LeftButton);
  TBarEditor* bars = page->DragPanelComposition;
  ASSERT_NE(bars->SegmentAt(0, 4), nullptr);
  TDragSegment* second = bars->SegmentAt(0, 1);
  DragSegment(bars, 0, 1, second->width() / 2, bars->Scale()->PanelWidth / 20);
  float sum = 0;
  for (int t = 0; t < 5; ++t) {
    const float p = Config().OVProbability(0, t, true);
    EXPECT_NEAR(p * 100, std::round(p * 100), 1e-3) << t;
    sum += p;
  }
  EXPECT_NEAR(sum, 1.0f, 1e-5);
  EXPECT_EQ(UndoLabel(), "change probability");
}

TEST_F(TrafficPagesTest, OuterEdgesCannotBeDragged) {
  Choose("ItemComposition");
  TPageComposition* page = form->CompositionPage();
  QTest::mouseClick(page->RadioButtonAllVehicleTypes, Qt::LeftButton);
  // Five types: dragging the first segment's left edge does nothing either.
  const int stamp = Config().ChangeStamp();
  DragSegment(page->DragPanelComposition, 0, 0, 1, 50);
  EXPECT_EQ(Config().ChangeStamp(), stamp);
  EXPECT_EQ(UndoLabel(), "");
}

TEST_F(TrafficPagesTest, OdDragChangesTheChosenVehicleTypeOnly) {
  Choose("ItemOriginDestinationMatrix");
  TPageODMatrix* page = form->ODMatrixPage();
  ASSERT_EQ(page->ComboBoxODVehicleType->count(), 6);
  EXPECT_EQ(page->ComboBoxODVehicleType->currentText(), "All");
  TBarEditor* bars = page->DragPanelOD;
  // With "All" chosen nothing is stored.
  TDragSegment* through = bars->SegmentAt(0, 0);
  const int width = bars->Scale()->PanelWidth;
  DragSegment(bars, 0, 0, through->width() - 1, -width / 5);
  EXPECT_EQ(UndoLabel(), "");
  page->ComboBoxODVehicleType->setFocus();
  QTest::keyClick(page->ComboBoxODVehicleType, Qt::Key_Down);
  ASSERT_EQ(page->VehicleType(), 0);
  through = bars->SegmentAt(0, 0);
  DragSegment(bars, 0, 0, through->width() - 1, -width / 5);
  // Each neighbour is read normalised just before it changes: about 70 % and 30 %.
  EXPECT_NEAR(Config().ODProbability(0, 0, 0, false), 0.70f, 0.04f);
  EXPECT_NEAR(Config().ODProbability(0, 1, 0, false), 0.30f, 0.04f);
  EXPECT_FLOAT_EQ(Config().ODProbability(0, 0, 1, true), 0.9f);
  EXPECT_EQ(UndoLabel(), "change probability");
  // Both destinations lie downstream of the on-ramp: no red bar.
  EXPECT_FALSE(bars->SegmentAt(0, 1)->Warn);
}

TEST_F(TrafficPagesTest, TypedFlowIsStoredAndTheTimeEditorRefusesADuplicate) {
  Choose("ItemFlowPerOrigin");
  TPageFlowPerOrigin* page = form->FlowPerOriginPage();
  QTableWidget* grid = page->StringGridOF;
  ASSERT_EQ(grid->columnCount(), 4);
  EXPECT_EQ(grid->item(0, 0)->text(), "Origin \\\\ Time");
  TypeIntoCell(grid, 2, 2, "3900");
  EXPECT_EQ(Config().OFlowValue(1, 1), 3900);
  EXPECT_EQ(UndoLabel(), "flow change");
  // Letters never reach the cell.
  TypeIntoCell(grid, 2, 3, "x");
  EXPECT_EQ(Config().OFlowValue(1, 2), 3200);

  // A click on the header of the 900 column opens the time editor.
  const QRect header = grid->visualRect(grid->model()->index(0, 2));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, header.center());
  ASSERT_TRUE(page->EditOF->isVisible());
  ReportCapture capture;
  page->EditOF->selectAll();
  QTest::keyClicks(page->EditOF, "2700");
  QTest::keyClick(page->EditOF, Qt::Key_Return);
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].text, "All times must be distinct");
  EXPECT_TRUE(page->EditOF->isVisible());
  // A sixth digit would pass 35999 s: the key is refused.
  page->EditOF->selectAll();
  QTest::keyClicks(page->EditOF, "36000");
  EXPECT_EQ(page->EditOF->text(), "3600");
  page->EditOF->setText("3000");
  QTest::keyClick(page->EditOF, Qt::Key_Return);
  EXPECT_FALSE(page->EditOF->isVisible());
  EXPECT_EQ(Config().OFlowTime(1, 1), 2700);
  EXPECT_EQ(Config().OFlowTime(1, 2), 3000);
  EXPECT_EQ(Config().OFlowValue(1, 2), 3900);
  EXPECT_EQ(UndoLabel(), "change flow time");
}

TEST_F(TrafficPagesTest, AddAndDeleteColumns) {
  Choose("ItemFlowPerOrigin");
  TPageFlowPerOrigin* page = form->FlowPerOriginPage();
  QTableWidget* grid = page->StringGridOF;
  grid->setCurrentCell(1, 3);
  QTest::mouseClick(page->BitBtnAddPoint, Qt::LeftButton);
  ASSERT_EQ(grid->columnCount(), 5);
  EXPECT_EQ(grid->item(0, 4)->text(), "4500");
  EXPECT_EQ(Config().OFlowTime(0, 3), 4500);
  EXPECT_EQ(Config().OFlowValue(0, 3), 800);
  EXPECT_EQ(UndoLabel(), "flow change");
  grid->setCurrentCell(1, 2);
  ASSERT_TRUE(page->BitBtnDeletePoint->isEnabled());
  QTest::mouseClick(page->BitBtnDeletePoint, Qt::LeftButton);
  EXPECT_EQ(grid->columnCount(), 4);
  EXPECT_EQ(Config().OFlowTime(0, 1), 2700);
}

TEST_F(TrafficPagesTest, BadPasteShowsWhyAndChangesNothing) {
  Choose("ItemFlowPerOrigin");
  TPageFlowPerOrigin* page = form->FlowPerOriginPage();
  page->StringGridOF->setCurrentCell(1, 1);
  const std::string before = KavroConfigText(Config(), "x\n");
  for (const char* text : {"100\t-5", "100,5", "1\t2\nabc", "0\r\n\r\n5"}) {
    SCOPED_TRACE(text);
    QApplication::clipboard()->setText(text);
    ReportCapture capture;
    page->StringGridOF->setFocus();
    QTest::keyClick(page->StringGridOF, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(capture.Reports().size(), 1u);
    EXPECT_EQ(capture.Reports()[0].caption, "Error");
    EXPECT_EQ(KavroConfigText(Config(), "x\n"), before);
  }
}

// A morning peak of 24 hourly values copied from a spreadsheet's time and flow columns, pasted
// on the main origin's name, saved and opened again.
TEST_F(TrafficPagesTest, PastedMorningPeakSurvivesSavingAndOpening) {
  Choose("ItemFlowPerOrigin");
  TPageFlowPerOrigin* page = form->FlowPerOriginPage();
  const int flows[24] = {600,  400,  300,  300,  500,  1200, 2800, 4200, 4600, 3600, 2900, 2800,
                         2900, 2900, 3000, 3200, 3600, 3900, 3400, 2600, 2000, 1600, 1200, 900};
  std::string block;
  for (int h = 0; h < 24; ++h)
    block += std::to_string(h * 3600 / 2) + "\t" + std::to_string(flows[h]) + "\r\n";
  QApplication::clipboard()->setText(QString::fromStdString(block));
  QTableWidget* grid = page->StringGridOF;
  // The name cell of "Main" (row 2).
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                    grid->visualRect(grid->model()->index(2, 0)).center());
  ASSERT_EQ(page->CurrentRow(), 2);
  ASSERT_EQ(page->CurrentColumn(), 0);
  ASSERT_TRUE(page->PasteFlowValues(false));
  page->ItemPasteFlow->trigger();
  EXPECT_EQ(UndoLabel(), "flow change");
  for (int h = 0; h < 24; ++h) {
    EXPECT_EQ(Config().OFlowTime(1, h), h * 1800);
    EXPECT_EQ(Config().OFlowValue(1, h), flows[h]);
  }
  EXPECT_EQ(Config().OFlowTime(1, 24), -1);
  EXPECT_EQ(Config().OFlowTime(0, 2), 2700);  // the on-ramp keeps its graph

  const std::string text = KavroConfigText(Config(), "Mon Jan  5 09:00:00 2026\n");
  ExpectGolden("flow-morning-peak.kav", text);
  std::unique_ptr<KDConfig> reopened;
  ASSERT_TRUE(LoadConfigText("flow-morning-peak.kav", text, reopened).ok);
  for (int h = 0; h < 24; ++h) {
    EXPECT_EQ(reopened->OFlowTime(1, h), h * 1800);
    EXPECT_EQ(reopened->OFlowValue(1, h), flows[h]);
  }
}

TEST_F(TrafficPagesTest, SliderMoveAsksOnceThenStoresTheStep) {
  Choose("ItemVehicleDriverProperties");
  TPageParameters* page = form->ParametersPage();
  ASSERT_TRUE(page->StringGridVDC->isVisible());
  ASSERT_EQ(page->StringGridVDC->rowCount(), 15);
  ASSERT_EQ(page->ChosenType(), 0);
  QSlider* length = page->TrackBar(FS_length);
  ASSERT_NE(length, nullptr);
  // Cancel leaves everything as it was.
  answer = Answer::Cancel;
  length->setFocus();
  QTest::keyClick(length, Qt::Key_Right);
  EXPECT_EQ(questions.size(), 1u);
  float value = 0;
  Config().GetVDCParam(VDC_KAVRO, 0, FS_length, &value);
  EXPECT_FLOAT_EQ(value, 4.5f);
  EXPECT_EQ(UndoLabel(), "");
  answer = Answer::Ok;
  length = page->TrackBar(FS_length);
  QTest::keyClick(length, Qt::Key_Right);
  QTest::keyClick(page->TrackBar(FS_length), Qt::Key_Right);
  EXPECT_EQ(questions.size(), 2u);
  Config().GetVDCParam(VDC_KAVRO, 0, FS_length, &value);
  EXPECT_NEAR(value, 4.7f, 1e-4);
  EXPECT_EQ(UndoLabel(), "change vehicle driver parameter");
  EXPECT_EQ(page->StringGridVDC->item(FS_length, 3)->text(), " 4.7 m");
}

TEST_F(TrafficPagesTest, TypedParameterValuesAreCheckedAgainstTheLimits) {
  Choose("ItemVehicleDriverProperties");
  TPageParameters* page = form->ParametersPage();
  ReportCapture capture;
  TypeIntoCell(page->StringGridVDC, FS_length, 3, "19");
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].text, "length must be a number from 3.0 m to 18.0 m");
  EXPECT_EQ(UndoLabel(), "");
  TypeIntoCell(page->StringGridVDC, FS_length, 3, "12.5");
  float value = 0;
  Config().GetVDCParam(VDC_KAVRO, 0, FS_length, &value);
  EXPECT_FLOAT_EQ(value, 12.5f);
  EXPECT_EQ(UndoLabel(), "change vehicle driver parameter");
}

TEST_F(TrafficPagesTest, NewDeleteAndResetAllTypes) {
  Choose("ItemVehicleDriverProperties");
  TPageParameters* page = form->ParametersPage();
  for (int n = 0; n < 3; ++n) QTest::mouseClick(page->BitBtnNewVDCType, Qt::LeftButton);
  EXPECT_EQ(Config().VDCTypeCount(VDC_KAVRO), 8);
  EXPECT_FALSE(page->BitBtnNewVDCType->isEnabled());
  EXPECT_EQ(page->ComboBoxVDCType->currentText(), "8");
  EXPECT_EQ(UndoLabel(), "add vehicle driver combination");
  QTest::mouseClick(page->BitBtnDeleteVDCType, Qt::LeftButton);
  EXPECT_EQ(Config().VDCTypeCount(VDC_KAVRO), 7);
  EXPECT_EQ(UndoLabel(), "delete vehicle driver combination");
  answer = Answer::Yes;
  QTest::mouseClick(page->BitBtnResetAll, Qt::LeftButton);
  EXPECT_EQ(Config().VDCTypeCount(VDC_KAVRO), 5);
  EXPECT_EQ(UndoLabel(), "reset all vehicle driver parameters");
  EXPECT_EQ(questions.back(), "Reset ALL Vehicle Driver Parameters ?");
}

TEST_F(TrafficPagesTest, GeneralParametersHaveThreeRows) {
  Choose("ItemVehicleDriverProperties");
  TPageParameters* page = form->ParametersPage();
  QTest::mouseClick(page->RadioButtonGeneral, Qt::LeftButton);
  EXPECT_EQ(page->StringGridVDC->rowCount(), 3);
  EXPECT_FALSE(page->ComboBoxVDCType->isVisible());
  QTest::keyClick(page->TrackBar(0), Qt::Key_Right);
  EXPECT_FLOAT_EQ(Config().GetKavroGeneralParam(0), 3.5f);
  EXPECT_EQ(UndoLabel(), "change vehicle driver parameter");
}
