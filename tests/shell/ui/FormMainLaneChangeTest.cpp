// The lane change behaviour page driven through its widgets: Rebuild and Update regenerate the
// areas as one undo point each, Update keeps edited lengths, the length fields refuse what the
// generator cannot use, a drag over the road toggles the lanes every vehicle must leave, and
// the road shows the areas of the destination chosen in the page's destination list.

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
#include "roadview/LaneChangeGeneration.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/ui/PageLaneChangeAreas.h"
#include "roadview/ui/PageLaneChangeBehavior.h"
#include "roadview/ui/RoadPainter.h"
#include "roadview/ui/RoadView.h"
#include "shell/ui/FormMain.h"
#include "support/ReportCapture.h"
#include "support/ui/FormMainWindowTest.h"

namespace {

const std::string kExample = std::string(KAVRO_SOURCE_DIR) + "/examples/off-ramp.kav";

class FormMainLaneChangeTest : public FormMainWindowTest {
 protected:
  FormMainLaneChangeTest() : FormMainWindowTest({kExample}) {}
  void SetUp() override {
    FormMainWindowTest::SetUp();
    form->ItemSetModeClick(form->PageItem("ItemLaneChangeBehavior"));
    page = form->LaneChangeBehaviorPage();
    ASSERT_TRUE(page && page->isVisible());
  }
  ReportCapture capture;
  TPageLaneChangeBehavior* page = nullptr;
};

TEST_F(FormMainLaneChangeTest, RebuildMakesTheAreasMatchTheRoadAgain) {
  ASSERT_TRUE(CheckLaneChangeAreas(Config()));
  Config().DeleteLaneChangeArea(0, 0);  // as if the road had changed
  ASSERT_FALSE(CheckLaneChangeAreas(Config()));
  QTest::mouseClick(page->BitBtnRebuildLaneChangeAreas, Qt::LeftButton);
  EXPECT_EQ(UndoCaption(), "&Undo rebuild lane change areas");
  EXPECT_TRUE(CheckLaneChangeAreas(Config()));
  form->ItemUndoClick();
  EXPECT_FALSE(CheckLaneChangeAreas(form->Config()));
  EXPECT_TRUE(capture.Empty());
}

TEST_F(FormMainLaneChangeTest, UpdateKeepsAnEditedLengthRebuildDoesNot) {
  ASSERT_GE(Config().LaneChangeAreaCount(0), 1);
  const int lane = Config().LaneChangeAreaLane(0, 0);
  const int position = Config().LaneChangeAreaPosition(0, 0);
  auto requiredOfArea = [&]() {
    for (int r = 0; r < form->Config().LaneChangeAreaCount(0); ++r)
      if (form->Config().LaneChangeAreaLane(0, r) == lane &&
          form->Config().LaneChangeAreaPosition(0, r) == position)
        return form->Config().LaneChangeAreaLengthRequired(0, r);
    return -1;
  };
  Config().SetLaneChangeAreaLengthRequired(0, 0, 17);
  QTest::mouseClick(page->BitBtnUpdateLaneChangeAreas, Qt::LeftButton);
  EXPECT_EQ(UndoCaption(), "&Undo rebuild lane change areas");
  EXPECT_EQ(requiredOfArea(), 17);
  QTest::mouseClick(page->BitBtnRebuildLaneChangeAreas, Qt::LeftButton);
  EXPECT_NE(requiredOfArea(), 17);
  EXPECT_TRUE(capture.Empty());
}

TEST_F(FormMainLaneChangeTest, LengthFieldsRefuseMoreThanFourDigitsAndNonNumbers) {
  QLineEdit* required = page->EditLaneChangeRequired;
  Type(required, "12345");
  EXPECT_EQ(required->text(), "1234");
  Type(required, "abc");
  EXPECT_FALSE(page->BitBtnRebuildLaneChangeAreas->isEnabled());
  Type(required, "800");
  EXPECT_TRUE(page->BitBtnRebuildLaneChangeAreas->isEnabled());
  EXPECT_EQ(page->Settings().required, 800);
  EXPECT_EQ(page->Settings().voluntary, 600);
  EXPECT_EQ(page->Settings().additional, 200);
}

TEST_F(FormMainLaneChangeTest, DragTogglesAllLaneChangeRequired) {
  const int section = Config().SectionAt(200.0f);
  ASSERT_EQ(Config().IntPhysicalSectionProperty(section, 0, PP_ALLLANECHANGE), 0);
  TRoadImage* image = form->RoadView()->ImageRoad();
  QTest::mousePress(image, Qt::LeftButton, Qt::NoModifier, QPoint(X(200), Y(0)));
  QTest::mouseMove(image, QPoint(X(250), Y(1)));
  QTest::mouseRelease(image, Qt::LeftButton, Qt::NoModifier, QPoint(X(250), Y(1)));
  EXPECT_EQ(Config().IntPhysicalSectionProperty(section, 0, PP_ALLLANECHANGE), 1);
  EXPECT_EQ(Config().IntPhysicalSectionProperty(section, 1, PP_ALLLANECHANGE), 1);
  EXPECT_EQ(UndoCaption(), "&Undo change all lane change required area");
  EXPECT_TRUE(capture.Empty());
}

// Pixels of the road picture in `rgb`.
int CountPixels(const QImage& image, QRgb rgb) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == rgb;
  return count;
}

// The destination list of the area page moves onto this page; the road draws the chosen
// destination's areas, none of them highlighted, and follows another destination from the list
// or from a click on its glyph.
TEST_F(FormMainLaneChangeTest, DestinationListChoosesTheAreasTheRoadShows) {
  ASSERT_GE(Config().SinkCount(), 2);
  ASSERT_GE(Config().LaneChangeAreaCount(0), 1);
  ASSERT_GE(Config().LaneChangeAreaCount(1), 1);
  TPageLaneChangeAreas* areas = form->LaneChangeAreasPage();
  QComboBox* sinks = areas->ComboBoxCurrentSink;
  EXPECT_TRUE(page->isAncestorOf(sinks));
  EXPECT_TRUE(sinks->isVisible());
  EXPECT_EQ(sinks->count(), Config().SinkCount());
  const std::uint32_t flags = form->RoadView()->DrawFlags();
  EXPECT_EQ(SelectedDestination(flags), 0);
  EXPECT_EQ(SelectedAreaRank(flags), -1);
  EXPECT_NE(flags & RDF_SHOW_AREAS, 0u);
  const QImage first = form->RoadView()->RoadBitmap();
  EXPECT_GT(CountPixels(first, qRgb(255, 255, 0)), 0);  // yellow outlines

  sinks->setFocus();
  QTest::keyClick(sinks, Qt::Key_Down);
  EXPECT_EQ(SelectedDestination(form->RoadView()->DrawFlags()), 1);
  const QImage second = form->RoadView()->RoadBitmap();
  EXPECT_NE(second, first);

  const GlyphArea glyph = form->RoadView()->DisplayAreas().destinations[0];
  const QPoint at(glyph.x + 10, (glyph.top + glyph.bottom) / 2);
  const QString undo = UndoCaption();
  QTest::mouseClick(Image(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(sinks->currentIndex(), 0);
  EXPECT_EQ(UndoCaption(), undo);  // a pick, not a drag that toggles lanes
  EXPECT_EQ(SelectedDestination(form->RoadView()->DrawFlags()), 0);

  // The area page takes its list back, with the same destination chosen.
  QTest::keyClick(sinks, Qt::Key_Down);
  ShowPage("ItemEditLaneChangeAreas");
  EXPECT_TRUE(areas->isAncestorOf(sinks));
  EXPECT_TRUE(sinks->isVisible());
  EXPECT_EQ(areas->Sink(), 1);
  EXPECT_EQ(SelectedDestination(form->RoadView()->DrawFlags()), 1);
  EXPECT_EQ(SelectedAreaRank(form->RoadView()->DrawFlags()), areas->Area());
  // Only there is the chosen area drawn red, besides the destination's glyph.
  EXPECT_GT(CountPixels(form->RoadView()->RoadBitmap(), qRgb(255, 0, 0)),
            CountPixels(second, qRgb(255, 0, 0)));
  ShowPage("ItemLaneChangeBehavior");
  EXPECT_TRUE(page->isAncestorOf(sinks));
  EXPECT_EQ(SelectedAreaRank(form->RoadView()->DrawFlags()), -1);
  EXPECT_TRUE(capture.Empty());
}

}  // namespace

namespace {

// The lane change area page of the off-ramp example.
class FormMainLaneChangeAreasTest : public FormMainLaneChangeTest {
 protected:
  void SetUp() override {
    FormMainLaneChangeTest::SetUp();
    form->ItemSetModeClick(form->PageItem("ItemEditLaneChangeAreas"));
    areas = form->LaneChangeAreasPage();
    ASSERT_TRUE(areas && areas->isVisible());
  }
  TPageLaneChangeAreas* areas = nullptr;
};

TEST_F(FormMainLaneChangeAreasTest, ShowsTheFirstDestinationsAreasAndCommitsALength) {
  EXPECT_EQ(areas->Sink(), 0);
  ASSERT_EQ(areas->ComboBoxLaneChangeArea->count(), Config().LaneChangeAreaCount(0));
  ASSERT_GE(areas->Area(), 0);
  EXPECT_EQ(SelectedDestination(form->RoadView()->DrawFlags()), 0);
  EXPECT_EQ(SelectedAreaRank(form->RoadView()->DrawFlags()), areas->Area());
  const int a = areas->Area();
  EXPECT_EQ(areas->EditLengthRequired->text().toInt(), Config().LaneChangeAreaLengthRequired(0, a));
  const int stamp = Config().ChangeStamp();
  QTest::keyClick(areas->EditLengthRequired, Qt::Key_Return);  // nothing changed
  EXPECT_EQ(Config().ChangeStamp(), stamp);
  areas->EditLengthRequired->setFocus();
  areas->EditLengthRequired->selectAll();
  QTest::keyClicks(areas->EditLengthRequired, "4x5-0");  // only digits are taken
  EXPECT_EQ(areas->EditLengthRequired->text(), "450");
  QTest::keyClick(areas->EditLengthRequired, Qt::Key_Return);
  EXPECT_EQ(Config().LaneChangeAreaLengthRequired(0, a), 450);
  EXPECT_EQ(UndoCaption(), "&Undo edit lane change area");
  EXPECT_TRUE(capture.Empty());
}

TEST_F(FormMainLaneChangeAreasTest, ClickOnADestinationGlyphChoosesThatDestination) {
  ASSERT_GE(Config().SinkCount(), 2);
  EXPECT_EQ(areas->Sink(), 0);
  const GlyphArea glyph = form->RoadView()->DisplayAreas().destinations[1];
  const QPoint at(glyph.x + 10, (glyph.top + glyph.bottom) / 2);
  QWidget* image = form->RoadView()->ImageRoad();
  QTest::mousePress(image, Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseRelease(image, Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(areas->Sink(), 1);
  EXPECT_EQ(SelectedDestination(form->RoadView()->DrawFlags()), 1);
  EXPECT_TRUE(capture.Empty());
}

TEST_F(FormMainLaneChangeAreasTest, ProbabilityAboveAHundredBecomesAHundred) {
  areas->EditProbability->setEnabled(true);
  areas->EditProbability->clear();
  QTest::keyClicks(areas->EditProbability, "0250");
  EXPECT_EQ(areas->EditProbability->text(), "100");
}

}  // namespace
