#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <filesystem>

#include "config/ProgramMode.h"
#include "roadview/RoadColors.h"
#include "shell/FakeSimulation.h"
#include "shell/RunSettings.h"
#include "shell/RunTestSupport.h"
#include "shell/TextTable.h"
#include "shell/ui/PageRun.h"
#include "shell/ui/RunLegends.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

namespace {

// The run page over a run controller of the on-ramp example with a stand-in simulation.
struct RunPage {
  FakeRun run{60, 0, 0};
  TextTable texts;
  TPageRun page{run.run, texts};
  int trafficDrawn = 0;
  int roadDrawn = 0;
  std::vector<int> drawnAt;

  RunPage() {
    page.SetTrafficDrawer([this] {
      ++trafficDrawn;
      drawnAt.push_back(run.run.State().StepCount);
      return 7;
    });
    page.SetRoadDrawer([this] { ++roadDrawn; });
    page.SetRoadPicture([] {
      QImage road(120, 40, QImage::Format_RGB32);
      road.fill(Qt::darkGray);
      return road;
    });
    page.SetColorSchemeName([] { return std::string("Speed"); });
  }
  // Presses Stop while the simulation makes step `step`; that step still completes.
  void StopAt(int step) {
    run.simulation->onStep = [this, step](int n, FakeSimulation&) {
      if (n == step) page.BitBtnStop->click();
    };
  }
};

std::filesystem::path TempDir(const char* name) { return FreshTestFolder(name); }

}  // namespace

TEST(PageRun, RunStopStepAndResetDriveTheRun) {
  RunPage p;
  p.StopAt(25);
  p.page.BitBtnRun->click();
  EXPECT_EQ(p.run.run.State().StepCount, 25);
  EXPECT_FALSE(p.run.run.State().Running);
  EXPECT_TRUE(p.page.BitBtnRun->isVisibleTo(&p.page));
  EXPECT_FALSE(p.page.BitBtnStop->isVisibleTo(&p.page));
  EXPECT_EQ(p.page.LabelSimulatorTime->text(), "25.0");
  EXPECT_EQ(p.page.LabelVehicleCount->text(), "7");
  EXPECT_TRUE(p.page.BitBtnReset->isEnabled());
  EXPECT_EQ(p.run.simulation->setups, 1);

  p.page.BitBtnStep->click();  // continues the same run
  EXPECT_EQ(p.run.run.State().StepCount, 26);
  EXPECT_EQ(p.run.simulation->setups, 1);
  EXPECT_EQ(p.page.LabelSimulatorTime->text(), "26.0");

  p.page.BitBtnReset->click();
  EXPECT_EQ(p.run.run.State().StepCount, 0);
  EXPECT_EQ(p.page.LabelVehicleCount->text(), "0");
  EXPECT_EQ(p.page.LabelSimulatorTime->text(), "0.0");
  EXPECT_EQ(p.roadDrawn, 1);
  EXPECT_FALSE(p.page.BitBtnReset->isEnabled());
  p.page.BitBtnStep->click();  // a new run starts
  EXPECT_EQ(p.run.simulation->setups, 2);
}

TEST(PageRun, ARunEndsAtTheStopTimeAndDisablesRunAndStep) {
  RunPage p;
  p.page.BitBtnRun->click();
  EXPECT_EQ(p.run.run.State().StepCount, 60);
  EXPECT_FALSE(p.page.BitBtnRun->isEnabled());
  EXPECT_FALSE(p.page.BitBtnStep->isEnabled());
  EXPECT_TRUE(p.page.BitBtnReset->isEnabled());
  EXPECT_EQ(p.page.LabelSimulatorTime->text(), "60.0");
}

TEST(PageRun, RunRefusesToBeEnteredAgainWhileRunning) {
  RunPage p;
  int nested = 0;
  p.run.simulation->onStep = [&](int n, FakeSimulation&) {
    if (n == 3) {
      p.page.BitBtnRun->setVisible(true);  // even a visible Run button must not nest a loop
      p.page.BitBtnRun->click();
      ++nested;
    }
    if (n == 10) p.page.BitBtnStop->click();
  };
  p.page.BitBtnRun->click();
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(p.run.run.State().StepCount, 10);
  EXPECT_EQ(p.run.simulation->steps, 10);
}

TEST(PageRun, RedrawRateSkipsDrawingAndSlowSpeedsDrawEveryStep) {
  RunPage p;
  p.page.ComboBoxRedraw->setCurrentIndex(1);
  p.page.ComboBoxRedrawChange(1);
  p.StopAt(35);
  p.page.BitBtnRun->click();
  // Every tenth step, then once more when Stop redraws (pressed while step 35 is made).
  EXPECT_EQ(p.drawnAt, (std::vector<int>{10, 20, 30, 34}));

  p.page.ComboBoxSimulationSpeed->setCurrentIndex(0);
  p.page.ComboBoxSimulationSpeedChange(0);
  EXPECT_FLOAT_EQ(p.run.run.State().SpeedDelay, 10);
  EXPECT_EQ(p.run.run.State().RedrawEvery, 1);
  EXPECT_EQ(p.page.ComboBoxRedraw->currentIndex(), 0);
  EXPECT_FALSE(p.page.ComboBoxRedraw->isEnabled());
  p.page.ComboBoxSimulationSpeed->setCurrentIndex(kMaximumSpeedEntry);
  p.page.ComboBoxSimulationSpeedChange(kMaximumSpeedEntry);
  EXPECT_EQ(p.run.run.State().SpeedDelay, 0);
  EXPECT_TRUE(p.page.ComboBoxRedraw->isEnabled());
}

TEST(PageRunScreenDumps, AreNumberedByRedrawsAndReadable) {
  struct Case {
    const char* pattern;
    int redrawEntry;
    int every;
    std::vector<const char*> files;
    const char* format;
  } cases[] = {
      {"run.jpg", 0, 20, {"run00020.jpg", "run00040.jpg", "run00060.jpg"}, "JPEG"},
      {"run.jpg", 1, 20, {"run00002.jpg", "run00004.jpg", "run00006.jpg"}, "JPEG"},
      {"run.bmp", 0, 30, {"run00030.bmp", "run00060.bmp"}, "BMP"},
      {"run.BMP", 0, 30, {"run00030.BMP", "run00060.BMP"}, "JPEG"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    const auto dir = TempDir("kavro-page-dumps");
    RunPage p;
    p.run.run.SetCurrentFileName("/examples/on-ramp-taper.kav");
    p.page.ComboBoxRedrawChange(c.redrawEntry);
    p.page.SetScreenDumpPattern((dir / c.pattern).string());
    p.run.run.SetScreenDumpEvery(c.every);
    p.page.BitBtnRun->click();
    std::vector<std::string> written;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      written.push_back(entry.path().filename().string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, std::vector<std::string>(c.files.begin(), c.files.end()));
    for (const char* file : c.files) {
      QImage image;
      ASSERT_TRUE(image.load(QString::fromStdString((dir / file).string()), c.format)) << file;
      EXPECT_EQ(image.width(), 120);
      EXPECT_EQ(image.height(), 40 + QFontMetrics(p.page.font()).height() + 6);
      // The road sits below the caption line.
      const QColor road = image.pixelColor(60, image.height() - 5);
      EXPECT_NEAR(road.red(), QColor(Qt::darkGray).red(), 12);
    }
  }
}

TEST(PageRunScreenDumps, AnUnwritableFolderIsReportedAndTheRunGoesOn) {
  RunPage p;
  ReportCapture capture;
  p.page.SetScreenDumpPattern("/nonexistent-kavro-dir/run.bmp");
  p.run.run.SetScreenDumpEvery(30);
  p.page.BitBtnRun->click();
  EXPECT_EQ(p.run.run.State().StepCount, 60);
  ASSERT_EQ(capture.Reports().size(), 2u);
  EXPECT_EQ(capture.Reports()[0].text,
            "Cannot write to file \"/nonexistent-kavro-dir/run00030.bmp\": No such file or "
            "directory.");
}

// The external model's colour list: merge intention third, "ICC equipped" last; its legends:
// the merge intention sub-panel instead of the follow state, ICC states instead of
// destinations, and "Type >= 8".
TEST(PageRunColorSchemes, ExternalModelListAndLegends) {
  RunPage fixture;
  TPageRun& page = fixture.page;
  page.SetProgramMode(DOVEL);
  QStringList entries;
  for (int i = 0; i < page.ComboBoxColorDenotes->count(); ++i)
    entries << page.ComboBoxColorDenotes->itemText(i);
  EXPECT_EQ(entries, (QStringList{"speed", "acceleration", "Merge intention", "vehicle type",
                                  "destination", "route choice", "ICC equipped"}));
  auto shown = [&page](const char* name) {
    return page.Legends->findChild<QWidget*>(name)->isVisibleTo(page.Legends);
  };
  struct Case {
    int scheme;
    std::vector<const char*> visible;
    std::vector<const char*> hidden;
  };
  const Case cases[] = {
      {2, {"PanelLegendFollowState", "PanelMergeLeft", "PanelStayInLane"}, {"PanelFollowColorRed"}},
      {4, {"PanelLegendICC", "PanelICCOn"}, {"PanelLegendDestination"}},
      {6, {}, {"PanelLegendSpeed", "PanelLegendICC", "PanelLegendRouteChoice"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scheme);
    page.ComboBoxColorDenotes->setCurrentIndex(c.scheme);
    page.ComboBoxColorDenotesChange(c.scheme);
    for (const char* name : c.visible) EXPECT_TRUE(shown(name)) << name;
    for (const char* name : c.hidden) EXPECT_FALSE(shown(name)) << name;
  }
  EXPECT_EQ(page.Legends->findChild<QLabel*>("PanelVDCTypeColorSilverCaption")->text(),
            "Type >= 8");
  // A scheme change redraws the road (and with it the traffic).
  EXPECT_EQ(fixture.roadDrawn, 3);
  page.SetProgramMode(KAVRO);
  EXPECT_EQ(page.ComboBoxColorDenotes->count(), 6);
  EXPECT_EQ(page.Legends->findChild<QLabel*>("PanelVDCTypeColorSilverCaption")->text(), "Type 8");
}

// The swatch colours handed to the traffic drawing: the scheme's own colour paired with the
// swatch's, only for the schemes whose vehicles take their legend's colours.
TEST(PageRunColorSchemes, SwatchColoursOfTheLegendSchemes) {
  RunPage fixture;
  const TRunLegends& legends = *fixture.page.Legends;
  EXPECT_TRUE(legends.SwatchColors(0).empty());
  EXPECT_TRUE(legends.SwatchColors(4).empty());
  EXPECT_EQ(legends.SwatchColors(1).size(), 5u);
  EXPECT_EQ(legends.SwatchColors(2).size(), 2u);
  EXPECT_EQ(legends.SwatchColors(5).size(), 3u);
  const auto types = legends.SwatchColors(3);
  ASSERT_EQ(types.size(), 8u);
  for (int type = 1; type <= 8; ++type) {
    SCOPED_TRACE(type);
    const RgbColor own = VehicleTypeColor(type);
    const auto found = std::find_if(types.begin(), types.end(),
                                    [own](const auto& pair) { return pair.first == own; });
    ASSERT_NE(found, types.end());
    EXPECT_EQ(found->second, own);  // as built, every swatch shows its scheme colour
  }
}
