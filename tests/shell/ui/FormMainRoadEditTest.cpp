// Road editing on the physical road layout page, driven with real mouse and key events: drags
// over the road select, the lane type buttons change the selected lanes, the section header's
// pop-up menu splits and places sections, and every change is one undo point.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "config/RoadTestSupport.h"
#include "roadview/LaneChangeGeneration.h"
#include "roadview/RoadColors.h"
#include "roadview/ui/PageFlowPerOrigin.h"
#include "roadview/ui/PageODNames.h"
#include "roadview/ui/PageRoadLayout.h"
#include "roadview/ui/RoadPainter.h"
#include "roadview/ui/RoadView.h"
#include "shell/GoldenFile.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/FormValue.h"
#include "support/ReportCapture.h"
#include "support/ui/FormMainWindowTest.h"

namespace {

namespace fs = std::filesystem;

class FormMainRoadEditTest : public FormMainWindowTest {
 protected:
  FormMainRoadEditTest() : FormMainWindowTest({}, 720) {}
  void SetUp() override {
    FormMainWindowTest::SetUp();
    form->RedrawRoad();
  }
  void Press(LaneTypeCommand command) {
    QPushButton* button = form->RoadLayoutPage()->Button(command);
    ASSERT_TRUE(button->isVisible());
    ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
  }
  // Clicks the section header over road position `position` and chooses an entry of its
  // pop-up menu by its underlined letter.
  void HeaderCommand(int position, Qt::Key key) {
    TSectionHeader* header = form->RoadView()->HeaderControl();
    QTest::mouseClick(header, Qt::LeftButton, Qt::NoModifier,
                      QPoint(X(position), header->height() / 2));
    QMenu* menu = form->HeaderPopupMenu();
    ASSERT_TRUE(menu->isVisible());
    QTest::keyClick(menu, key);
  }
  // The next value dialog gets `text` typed and OK (or Cancel) pressed.
  void AnswerValueDialog(const QString& text, bool ok = true) {
    QTimer::singleShot(0, [text, ok] {
      auto* dialog = qobject_cast<TFormValue*>(QApplication::activeModalWidget());
      if (!dialog) return;
      dialog->MaskEditValue->selectAll();
      QTest::keyClicks(dialog->MaskEditValue, text);
      QTest::mouseClick(
          ok && dialog->BitBtnOK->isEnabled() ? dialog->BitBtnOK : dialog->BitBtnCancel,
          Qt::LeftButton);
    });
  }
  QRgb PixelAt(int position, int lane) {
    return form->RoadView()->RoadBitmap().pixel(X(position), Y(lane));
  }
};

TEST_F(FormMainRoadEditTest, DragSelectsAndALaneTypeButtonChangesTheSelectedLanes) {
  Drag(3000, 2, 1000, 1);  // right to left, lower to upper lane
  EXPECT_EQ(form->Selection(), (RoadEditSelection{1, 2, 0, 0}));
  Press(LaneTypeCommand::Blocked);
  EXPECT_EQ(Config().IntPhysicalSectionProperty(0, 1, PP_LANETYPE) & LANE_MERGEBOTH,
            LANE_MERGEBOTH);
  EXPECT_EQ(Config().IntPhysicalSectionProperty(0, 2, PP_LANETYPE) & LANE_MERGEBOTH,
            LANE_MERGEBOTH);
  EXPECT_EQ(UndoCaption(), "&Undo set lane surface type");

  Drag(2500, 2, 2500, 2);
  Press(LaneTypeCommand::Unpaved);
  EXPECT_EQ(Config().IntPhysicalSectionProperty(0, 2, PP_LANETYPE), 0);
  // The redraw shows an unpaved lane as the green verge.
  const QRgb green = qRgb(0, 128, 0);
  EXPECT_EQ(PixelAt(2500, 2), green);
  EXPECT_NE(PixelAt(2500, 1), green);
}

TEST_F(FormMainRoadEditTest, LaneNumberSelectsTheLaneOverTheWholeRoad) {
  QTest::mouseClick(form->RoadView()->LaneLabel(1), Qt::LeftButton);
  EXPECT_EQ(form->Selection(), (RoadEditSelection{1, 1, -1, -1}));
}

TEST_F(FormMainRoadEditTest, HeaderSplitsAndTheValueDialogPlacesTheBoundary) {
  HeaderCommand(2000, Qt::Key_S);
  ASSERT_EQ(Config().Boundaries(), 1);
  EXPECT_EQ(UndoCaption(), "&Undo insert section boundary");
  AnswerValueDialog("1234");
  HeaderCommand(500, Qt::Key_E);
  EXPECT_EQ(Config().SectionPos(1, WHENCE_END), 1234);
  EXPECT_EQ(UndoCaption(), "&Undo set end of section");
  // A length the road cannot hold keeps OK disabled: nothing changes.
  AnswerValueDialog("0");
  HeaderCommand(500, Qt::Key_L);
  EXPECT_EQ(Config().SectionLength(1), 1234);
  AnswerValueDialog("800");
  HeaderCommand(500, Qt::Key_L);
  EXPECT_EQ(Config().SectionLength(1), 800);
  EXPECT_EQ(Config().Length(), 5000 - 434);
  HeaderCommand(500, Qt::Key_D);
  EXPECT_EQ(Config().Boundaries(), 0);
  EXPECT_EQ(UndoCaption(), "&Undo delete section boundary");
  form->ItemUndoClick();
  EXPECT_EQ(Config().Boundaries(), 1);
}

TEST_F(FormMainRoadEditTest, ValueDialogAcceptsOnlyAllowedWholeNumbers) {
  EXPECT_TRUE(ValueFieldAccepts("12 ", 1, 100));
  EXPECT_FALSE(ValueFieldAccepts("12x", 1, 100));
  EXPECT_FALSE(ValueFieldAccepts("0", 1, 100));
  EXPECT_FALSE(ValueFieldAccepts("", 1, 100));
  TFormValue dialog;
  dialog.Prepare(0, 0, 5, 1, 1000000, "Enter new length for section 1", "Edit section length");
  dialog.MaskEditValue->selectAll();
  QTest::keyClicks(dialog.MaskEditValue, "12345678");
  EXPECT_EQ(dialog.MaskEditValue->text(), "123456");  // six digits at most
  EXPECT_TRUE(dialog.BitBtnOK->isEnabled());
  dialog.MaskEditValue->clear();
  EXPECT_FALSE(dialog.BitBtnOK->isEnabled());
}

TEST_F(FormMainRoadEditTest, CopyAndPasteAfterThroughTheEditMenu) {
  Drag(1000, -1, 1000, -1);  // above the lanes: all lanes of section 0
  form->SetSelection(RoadEditSelection{-1, -1, 0, 0});
  QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(KDConfig::CheckAreaText(QApplication::clipboard()->text().toStdString()), 1);
  form->ItemEditClick();
  form->ItemPasteAfterClick();
  EXPECT_EQ(Config().Boundaries(), 1);
  EXPECT_EQ(Config().Length(), 10000);
  EXPECT_EQ(UndoCaption(), "&Undo paste");

  // Text that is not a road piece leaves the paste entries disabled.
  QApplication::clipboard()->setText("(hello)");
  form->ItemEditClick();
  for (QAction* action : form->EditMenu()->actions())
    if (action->objectName().startsWith("ItemPaste")) {
      EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
    }
}

TEST_F(FormMainRoadEditTest, PieceThatDoesNotFitIsRefusedAndTheRoadStays) {
  const std::string before = KavroConfigText(Config(), "x\n");
  QApplication::clipboard()->setText("(100(0,0,0,120,0.5,76,1,0,0))");  // slope 0.5
  form->SetSelection(RoadEditSelection{1, 1, 0, 0});
  ReportCapture capture;
  form->ItemPasteBeforeClick();
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_FALSE(capture.Reports()[0].stop);
  EXPECT_EQ(KavroConfigText(Config(), "x\n"), before);
  EXPECT_EQ(UndoCaption(), "&Undo");
}

TEST_F(FormMainRoadEditTest, LaneTypeTheRoadCannotTakeIsRefusedWithItsReason) {
  AlternatingRoad(Config(), 11);  // 99 origins: another lane of its own is one too many
  form->RedrawRoad();
  const std::string before = KavroConfigText(Config(), "x\n");
  form->SetSelection(RoadEditSelection{0, 11, 0, 0});
  ReportCapture capture;
  Press(LaneTypeCommand::NoChange);
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].text, "Too many origins (100, at most 99)");
  EXPECT_FALSE(capture.Reports()[0].stop);
  EXPECT_EQ(KavroConfigText(Config(), "x\n"), before);
  EXPECT_EQ(UndoCaption(), "&Undo");
}

// A road with an on-ramp and a lane drop, made from the default road by gestures alone.
TEST_F(FormMainRoadEditTest, OnRampAndLaneDropFromGesturesSaveTheGoldenFile) {
  // Sections 0 .. 2000, 2000 .. 3500, 3500 .. 4500 and 4500 .. 5000.
  HeaderCommand(1000, Qt::Key_S);
  AnswerValueDialog("2000");
  HeaderCommand(500, Qt::Key_E);
  HeaderCommand(3000, Qt::Key_S);
  AnswerValueDialog("3500");
  HeaderCommand(2500, Qt::Key_E);
  HeaderCommand(4200, Qt::Key_S);
  AnswerValueDialog("4500");
  HeaderCommand(3700, Qt::Key_E);
  ASSERT_EQ(Config().Boundaries(), 3);
  // The ramp lane enters beside the right lane and tapers into it.
  Drag(1000, 3, 1000, 3);
  Press(LaneTypeCommand::ChangeLeft);
  Drag(2700, 2, 2700, 3);
  Press(LaneTypeCommand::TaperedOnRamp);
  // The right lane must merge left and ends.
  Drag(4000, 2, 4000, 2);
  Press(LaneTypeCommand::ForceLeft);
  Drag(4700, 2, 4700, 2);
  Press(LaneTypeCommand::Unpaved);

  // The lane change areas follow from the road; the generation page is not part of this test.
  form->RecordUndo("rebuild lane change areas");
  ASSERT_TRUE(GenerateLaneChangeAreas(Config(), LaneChangeSettings{}));
  // A batch needs a detector; the detectors page is not part of this test either.
  form->RecordUndo("new detector");
  Config().AddDetector(4000);

  const fs::path folder = fs::path(settingsDir.path().toStdString());
  const std::string file = (folder / "gestures.kav").string();
  const std::string text = KavroConfigText(Config(), "Mon Jan  5 09:00:00 2026\n");
  std::ofstream(file, std::ios::binary) << text;
  ExpectGolden("road-gestures.kav", text);
  for (const char* option : {"--check", "simulationresults=gestures.ksr"}) {
    const std::string command = std::string("'") + KAVRO_BATCH_EXE + "' '" + file + "' " + option +
                                " >'" + (folder / "out.txt").string() + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << option << "\n"
                                               << ReadWholeFile((folder / "out.txt").string());
  }
}

}  // namespace

TEST_F(FormMainRoadEditTest, RoadPopupMenuSetsTheLaneTypeOfTheSelection) {
  Drag(1000, 1, 3000, 1);
  const QPoint at(X(2000), Y(1));
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, Image()->mapToGlobal(at));
  QApplication::sendEvent(Image(), &event);
  QMenu* menu = form->RoadPopupMenu();
  ASSERT_TRUE(menu->isVisible());
  for (QAction* item : menu->actions()) {
    if (item->objectName() == "ItemBL") {
      EXPECT_TRUE(item->isEnabled());
    }
  }
  QTest::keyClick(menu, Qt::Key_B);  // "&Blocked"
  EXPECT_FALSE(menu->isVisible());
  EXPECT_EQ(Config().IntPhysicalSectionProperty(0, 1, PP_LANETYPE) & LANE_MERGEBOTH,
            LANE_MERGEBOTH);
  EXPECT_EQ(UndoCaption(), "&Undo set lane surface type");
  // The redraw shows the blocked lane hatched: not plain black any more at every pixel.
  int white = 0;
  for (int x = X(1500); x < X(2500); ++x)
    white += form->RoadView()->RoadBitmap().pixel(x, Y(1)) == qRgb(255, 255, 255);
  EXPECT_GT(white, 5);
}

TEST_F(FormMainRoadEditTest, StatusBarNamesTheOriginAndDestinationUnderTheMouse) {
  const RoadDisplayAreas& areas = form->RoadView()->DisplayAreas();
  ASSERT_FALSE(areas.origins.empty());
  ASSERT_FALSE(areas.destinations.empty());
  const GlyphArea origin = areas.origins[0];
  const GlyphArea destination = areas.destinations[0];
  QTest::mouseMove(Image(), QPoint(origin.x - 9, (origin.top + origin.bottom) / 2));
  const std::string overOrigin = form->statusBar()->currentMessage().toStdString();
  EXPECT_NE(overOrigin.find(", source " + Config().SourceName(0)), std::string::npos) << overOrigin;
  QTest::mouseMove(Image(), QPoint(destination.x + 10, (destination.top + destination.bottom) / 2));
  const std::string overDestination = form->statusBar()->currentMessage().toStdString();
  EXPECT_NE(overDestination.find(", destination " + Config().SinkName(0)), std::string::npos)
      << overDestination;
  // Between the glyphs neither is named.
  QTest::mouseMove(Image(), QPoint(X(2000), Y(0)));
  const std::string between = form->statusBar()->currentMessage().toStdString();
  EXPECT_EQ(between.find("source"), std::string::npos) << between;
  EXPECT_EQ(between.find("destination"), std::string::npos) << between;
}

TEST_F(FormMainRoadEditTest, GlyphClickOnTheNamesPageSelectsTheRow) {
  form->ItemSetModeClick(form->PageItem("ItemODNames"));
  TPageODNames* names = form->ODNamesPage();
  ASSERT_TRUE(names && names->isVisible());
  names->StringGridSinkNames->setCurrentCell(-1, -1);
  names->StringGridSourceNames->setCurrentCell(-1, -1);
  const RoadDisplayAreas& areas = form->RoadView()->DisplayAreas();
  const GlyphArea destination = areas.destinations[0];
  QTest::mouseClick(Image(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(destination.x + 10, (destination.top + destination.bottom) / 2));
  EXPECT_EQ(names->StringGridSinkNames->currentRow(), 0);
  EXPECT_EQ(names->StringGridSinkNames->currentColumn(), 1);
  const GlyphArea origin = areas.origins[0];
  QTest::mouseClick(Image(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(origin.x - 9, (origin.top + origin.bottom) / 2));
  EXPECT_EQ(names->StringGridSourceNames->currentRow(), 0);
}

TEST_F(FormMainRoadEditTest, OriginGlyphClickOnTheFlowPageSelectsItsRow) {
  form->ItemSetModeClick(form->PageItem("ItemFlowPerOrigin"));
  TPageFlowPerOrigin* flows = form->FlowPerOriginPage();
  ASSERT_TRUE(flows && flows->isVisible());
  flows->StringGridOF->setCurrentCell(0, 0);
  const GlyphArea origin = form->RoadView()->DisplayAreas().origins[0];
  QTest::mouseClick(Image(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(origin.x - 9, (origin.top + origin.bottom) / 2));
  EXPECT_EQ(flows->StringGridOF->currentRow(), 1);  // row 0 holds the times
  EXPECT_EQ(flows->StringGridOF->currentColumn(), 1);
}
