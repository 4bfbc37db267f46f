#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <set>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "roadview/RoadColors.h"
#include "roadview/RoadGeometry.h"
#include "roadview/ui/RoadView.h"
#include "shell/KernelSimulation.h"
#include "shell/PageCatalogue.h"
#include "shell/RunController.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/FormMessages.h"
#include "shell/ui/FormSetupScreenDumps.h"
#include "shell/ui/PageRun.h"
#include "shell/ui/PageSettings.h"
#include "shell/ui/RunLegends.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

namespace {

const std::string kExample = std::string(KAVRO_SOURCE_DIR) + "/examples/on-ramp-taper.kav";

// Calls `action` (from the event loop, as a user would act between two steps) once the run
// first reaches step `at`.
struct ActAtStep : RunObserver {
  int at = 0;
  QObject* context = nullptr;  // the action is dropped with it
  std::function<void()> action;
  bool done = false;
  void StepCountChanged(int n) override {
    if (n != at || done) return;
    done = true;
    QTimer::singleShot(0, context, action);
  }
};

// The on-ramp example open in a shown main window.
class FormMainRun : public ::testing::Test {
 protected:
  FormMainRun() : form(StartupInfo{"/x/kavro", "/unused/", {kExample}}) {
    form.resize(1200, 800);
    form.show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    page = form.RunPage();
    settings = form.SettingsPage();
  }
  ~FormMainRun() override { SetProgramMode(KAVRO); }

  void ShowPage(const char* item) { form.ItemSetModeClick(form.PageItem(item)); }
  // Types a stop time [s] into the settings page.
  void SetStopTime(int seconds) {
    ShowPage("ItemSettings");
    settings->EditStopAt->setText(QString::number(seconds));
    settings->EditStopAtChange(settings->EditStopAt->text());
    ShowPage("ItemRun");
  }
  void SetRedraw(int entry) {
    page->ComboBoxRedraw->setCurrentIndex(entry);
    page->ComboBoxRedrawChange(entry);
  }
  void SetScheme(int scheme) {
    page->ComboBoxColorDenotes->setCurrentIndex(scheme);
    page->ComboBoxColorDenotesChange(scheme);
  }
  int StepCount() { return form.Run().State().StepCount; }
  // Pixels of `color` on the lane rows of the shown traffic layer.
  int PixelsOnRoad(RgbColor color) {
    const QImage& traffic = form.RoadView()->TrafficBitmap();
    const int bottom =
        std::min(traffic.height(), LaneTop(static_cast<float>(form.Config().LanesUsed())));
    int count = 0;
    for (int y = LaneTop(0.0f); y < bottom; ++y)
      for (int x = 0; x < traffic.width(); ++x)
        if (traffic.pixelColor(x, y) == QColor(color.r, color.g, color.b)) ++count;
    return count;
  }

  ReportCapture capture;
  TFormMain form;
  TPageRun* page = nullptr;
  TPageSettings* settings = nullptr;
};

TEST_F(FormMainRun, HostsTheRunAndSettingsPages) {
  ASSERT_TRUE(page && settings);
  ShowPage("ItemRun");
  EXPECT_EQ(form.CurrentPage(), kRunPage);
  EXPECT_TRUE(page->isVisible());
  EXPECT_FALSE(settings->isVisible());
  ShowPage("ItemSettings");
  EXPECT_TRUE(settings->isVisible());
  EXPECT_EQ(settings->EditStopAt->text().toInt(), form.Config().MaxTime());
  EXPECT_EQ(form.Run().Configuration(), &form.Config());
  EXPECT_TRUE(capture.Empty());
}

// Run to the stop time, then Step is refused; Reset returns to an empty road.
TEST_F(FormMainRun, RunsToTheStopTimeShowingTheTraffic) {
  SetStopTime(60);  // two steps per second: 120 steps
  SetRedraw(1);
  SetScheme(static_cast<int>(ColorScheme::VehicleType));
  page->BitBtnRun->click();
  EXPECT_EQ(StepCount(), 120);
  EXPECT_EQ(page->LabelSimulatorTime->text(), "60.0");
  EXPECT_FALSE(page->BitBtnRun->isEnabled());
  EXPECT_FALSE(page->BitBtnStep->isEnabled());
  EXPECT_TRUE(page->BitBtnReset->isEnabled());
  EXPECT_FALSE(page->BitBtnStop->isVisible());
  const int vehicles = page->LabelVehicleCount->text().toInt();
  EXPECT_GT(vehicles, 5);
  EXPECT_TRUE(form.RoadView()->ImageRoad()->TrafficVisible());
  // Every vehicle is a bar of at least 3 pixels in its type's colour.
  int typePixels = 0;
  for (int type = 1; type <= 8; ++type) typePixels += PixelsOnRoad(VehicleTypeColor(type));
  EXPECT_GE(typePixels, 3 * vehicles);

  page->BitBtnReset->click();
  EXPECT_EQ(StepCount(), 0);
  EXPECT_EQ(page->LabelSimulatorTime->text(), "0.0");
  EXPECT_EQ(page->LabelVehicleCount->text(), "0");
  EXPECT_FALSE(form.RoadView()->ImageRoad()->TrafficVisible());
  EXPECT_TRUE(page->BitBtnRun->isEnabled());
  EXPECT_TRUE(capture.Empty());
}

// A later stop time enables Run again; the edit makes the run start anew from time 0.
TEST_F(FormMainRun, LongerStopTimeAfterTheEndRunsAgainFromTheStart) {
  SetStopTime(30);
  page->BitBtnRun->click();
  ASSERT_EQ(StepCount(), 60);
  ASSERT_FALSE(page->BitBtnRun->isEnabled());
  SetStopTime(40);
  EXPECT_TRUE(page->BitBtnRun->isEnabled());
  EXPECT_TRUE(page->BitBtnStep->isEnabled());
  struct Steps : RunObserver {
    std::vector<int> seen;
    void StepCountChanged(int n) override { seen.push_back(n); }
  } steps;
  page->SetNextObserver(&steps);
  page->BitBtnRun->click();
  page->SetNextObserver(nullptr);
  EXPECT_EQ(StepCount(), 80);
  EXPECT_EQ(page->LabelSimulatorTime->text(), "40.0");
  ASSERT_GE(steps.seen.size(), 2u);
  EXPECT_EQ(steps.seen[0], 0);  // set up anew
  EXPECT_EQ(steps.seen[1], 1);
}

// Stop arrives through the event loop the run keeps turning; Step continues the same run.
TEST_F(FormMainRun, StopThroughTheEventLoopThenStepAndReset) {
  SetStopTime(600);
  ActAtStep stopper;
  stopper.at = 50;
  stopper.context = page;
  stopper.action = [this] { page->BitBtnStop->click(); };
  page->SetNextObserver(&stopper);
  page->BitBtnRun->click();
  EXPECT_EQ(StepCount(), 50);
  EXPECT_EQ(page->LabelSimulatorTime->text(), "25.0");
  EXPECT_TRUE(page->BitBtnRun->isVisible() && page->BitBtnRun->isEnabled());
  EXPECT_TRUE(page->BitBtnReset->isEnabled());

  page->BitBtnStep->click();
  EXPECT_EQ(StepCount(), 51);
  EXPECT_EQ(page->LabelSimulatorTime->text(), "25.5");
  EXPECT_EQ(
      page->LabelVehicleCount->text().toInt(),
      static_cast<int>(form.Run().Simulation().Vehicles(form.Config().LanesUsed(), false).size()));

  page->BitBtnReset->click();
  EXPECT_EQ(StepCount(), 0);
  page->BitBtnStep->click();  // a new run
  EXPECT_EQ(StepCount(), 1);
  page->SetNextObserver(nullptr);
  EXPECT_TRUE(capture.Empty());
}

// At full speed drawing every 100 steps, the traffic is drawn once per 100 steps.
TEST_F(FormMainRun, RedrawEveryHundredStepsDrawsOncePerHundred) {
  SetStopTime(150);  // 300 steps
  ASSERT_EQ(page->ComboBoxSimulationSpeed->currentText(), "Maximum");
  SetRedraw(2);
  const int before = form.TrafficRedrawCount();
  page->BitBtnRun->click();
  EXPECT_EQ(StepCount(), 300);
  EXPECT_EQ(form.TrafficRedrawCount() - before, 3);
}

TEST_F(FormMainRun, ChoosingASchemeShowsExactlyItsLegends) {
  ShowPage("ItemRun");
  const std::vector<std::pair<int, std::set<std::string>>> cases = {
      {0, {"PanelLegendSpeed"}},       {1, {"PanelLegendAcceleration"}},
      {2, {"PanelLegendFollowState"}}, {3, {"PanelLegendVehicleType"}},
      {4, {"PanelLegendDestination"}}, {5, {"PanelLegendRouteChoice"}}};
  QStringList entries;
  for (int i = 0; i < page->ComboBoxColorDenotes->count(); ++i)
    entries << page->ComboBoxColorDenotes->itemText(i);
  EXPECT_EQ(entries, (QStringList{"speed", "acceleration", "follow state", "vehicle type",
                                  "destination", "route choice"}));
  for (const auto& [scheme, expected] : cases) {
    SCOPED_TRACE(scheme);
    SetScheme(scheme);
    std::set<std::string> shown;
    for (QWidget* panel : page->Legends->Panels())
      if (panel->isVisibleTo(page->Legends)) shown.insert(panel->objectName().toStdString());
    EXPECT_EQ(shown, expected);
    // KAVRO_SCREENSHOT_DIR=<folder>: the page with each legend, to look at.
    if (const char* dir = std::getenv("KAVRO_SCREENSHOT_DIR"))
      page->grab().save(QString("%1/legend%2.png").arg(dir).arg(scheme));
  }
  // The follow state legend of the kernel: sufficient and want more distance, no merging.
  SetScheme(2);
  EXPECT_TRUE(
      page->Legends->findChild<QWidget*>("PanelFollowColorRed")->isVisibleTo(page->Legends));
  EXPECT_FALSE(page->Legends->findChild<QWidget*>("PanelMergeLeft")->isVisibleTo(page->Legends));
}

TEST_F(FormMainRun, DestinationLegendHasOneSwatchPerDestination) {
  ShowPage("ItemRun");
  const int count = form.Config().SinkCount();
  ASSERT_EQ(count, 2);
  QWidget* legend = page->Legends->PanelDestinations();
  int swatches = 0;
  for (const QFrame* frame : legend->findChildren<QFrame*>())
    if (frame->objectName().startsWith("PanelDestinationColor")) ++swatches;
  ASSERT_EQ(swatches, count);
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE(i);
    auto* swatch = legend->findChild<QFrame*>(QString("PanelDestinationColor%1").arg(i + 1));
    ASSERT_TRUE(swatch);
    const RgbColor expected = DestinationColor(i, count);
    EXPECT_EQ(swatch->palette().color(QPalette::Window),
              QColor(expected.r, expected.g, expected.b));
    auto* name = legend->findChild<QLabel*>(QString("LabelDestinationColor%1").arg(i + 1));
    ASSERT_TRUE(name);
    EXPECT_EQ(name->text().toStdString(), form.Config().SinkName(i));
    EXPECT_EQ(swatch->size(), QSize(13, 13));
  }
  // Blue for the first of two, red for the last.
  EXPECT_EQ(DestinationColor(0, 2), (RgbColor{0, 0, 255}));
  EXPECT_EQ(DestinationColor(1, 2), (RgbColor{255, 0, 0}));
}

// The vehicles take the colour of their legend swatch as it is when they are drawn.
TEST_F(FormMainRun, VehiclesTakeTheirLegendSwatchColour) {
  SetStopTime(40);
  SetScheme(static_cast<int>(ColorScheme::Acceleration));
  const RgbColor marker{1, 2, 3};
  for (const char* name : {"PanelAccelerationColorGreen", "PanelAccelerationColorWhite"}) {
    auto* swatch = page->Legends->findChild<QFrame*>(name);
    ASSERT_TRUE(swatch);
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, QColor(marker.r, marker.g, marker.b));
    swatch->setPalette(palette);
  }
  page->BitBtnRun->click();
  ASSERT_EQ(StepCount(), 80);
  EXPECT_GT(PixelsOnRoad(marker), 0);
  EXPECT_EQ(PixelsOnRoad(RoadColor::Lime), 0);
}

// Destination colours count the destinations recorded when the run page was shown: of the
// example's two, every vehicle heads for the first, which is blue.
TEST_F(FormMainRun, DestinationSchemeDrawsTheDestinationColour) {
  SetStopTime(200);
  SetRedraw(2);
  SetScheme(static_cast<int>(ColorScheme::Destination));
  page->BitBtnRun->click();
  ASSERT_EQ(StepCount(), 400);
  const int vehicles = page->LabelVehicleCount->text().toInt();
  ASSERT_GT(vehicles, 5);
  EXPECT_GE(PixelsOnRoad(RgbColor{0, 0, 255}), 3 * vehicles);
  EXPECT_EQ(PixelsOnRoad(RgbColor{255, 0, 0}), 0);  // the second destination: nobody
}

TEST_F(FormMainRun, SeedAndStopTimeFromTheSettingsPageReachTheRun) {
  auto positions = [this] {
    std::vector<float> at;
    for (const VehicleSnapshot& v :
         form.Run().Simulation().Vehicles(form.Config().LanesUsed(), false))
      at.push_back(v.Position);
    return at;
  };
  auto setSeed = [this](const char* seed) {
    ShowPage("ItemSettings");
    settings->EditRandomSeed->setText(seed);
    settings->EditRandomSeedChange(seed);
    ShowPage("ItemRun");
  };
  SetStopTime(100);
  setSeed("1001");
  EXPECT_EQ(form.Config().Seed(), 1001);
  page->BitBtnRun->click();
  ASSERT_EQ(StepCount(), 200);
  const std::vector<float> first = positions();
  ASSERT_FALSE(first.empty());

  setSeed("4321");
  page->BitBtnReset->click();
  page->BitBtnRun->click();
  ASSERT_EQ(StepCount(), 200);
  EXPECT_NE(positions(), first);

  setSeed("1001");
  page->BitBtnReset->click();
  page->BitBtnRun->click();
  EXPECT_EQ(positions(), first);
  EXPECT_TRUE(capture.Empty());
}

// A seed changed while paused: the next Step starts the run again at time 0.
TEST_F(FormMainRun, SeedChangedWhilePausedRestartsTheRun) {
  for (int i = 0; i < 10; ++i) page->BitBtnStep->click();
  ASSERT_EQ(StepCount(), 10);
  ShowPage("ItemSettings");
  EXPECT_TRUE(form.RoadView()->ImageRoad()->TrafficVisible());  // the settings page shows it
  settings->EditRandomSeed->setText("77");
  settings->EditRandomSeedChange("77");
  ShowPage("ItemRun");
  page->BitBtnStep->click();
  EXPECT_EQ(StepCount(), 1);
}

TEST_F(FormMainRun, ChoosingAnotherPageStopsTheRun) {
  SetStopTime(600);
  ActAtStep changer;
  changer.at = 30;
  changer.context = page;
  changer.action = [this] { ShowPage("ItemPhysicalRoadLayout"); };
  page->SetNextObserver(&changer);
  ShowPage("ItemRun");
  page->BitBtnRun->click();
  page->SetNextObserver(nullptr);
  EXPECT_EQ(StepCount(), 30);
  EXPECT_EQ(form.CurrentPage(), kPhysicalRoadLayoutPage);
  // No traffic over the road on an editing page; back on the run page it shows again.
  EXPECT_FALSE(form.RoadView()->ImageRoad()->TrafficVisible());
  ShowPage("ItemRun");
  EXPECT_TRUE(form.RoadView()->ImageRoad()->TrafficVisible());
  page->BitBtnStep->click();
  EXPECT_EQ(StepCount(), 31);
}

TEST_F(FormMainRun, NewConfigurationReturnsTheRunToIdle) {
  for (int i = 0; i < 5; ++i) page->BitBtnStep->click();
  ASSERT_EQ(StepCount(), 5);
  form.SetQuestionAsker([](const Question&) { return Answer::No; });
  form.ItemNewClick();
  EXPECT_EQ(StepCount(), 0);
  EXPECT_EQ(form.Run().Configuration(), &form.Config());
  EXPECT_EQ(page->LabelVehicleCount->text(), "0");
  EXPECT_FALSE(form.RoadView()->ImageRoad()->TrafficVisible());
}

// The calibration question comes once per configuration, through the window's question box.
TEST_F(FormMainRun, StepsPerSecondAsksTheCalibrationQuestion) {
  std::vector<Question> asked;
  form.SetQuestionAsker([&asked](const Question& q) {
    asked.push_back(q);
    return Answer::Ok;
  });
  ShowPage("ItemSettings");
  settings->ComboBoxStepsPerSecond->setCurrentIndex(0);
  settings->ComboBoxStepsPerSecondChange(0);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].Caption, "Are you sure ?");
  EXPECT_EQ(asked[0].Text,
            "Only the original values are calibrated and validated.\r\n"
            "Changing these values is not recommended.\r\nDo you want to continue ?");
  EXPECT_EQ(asked[0].Buttons, QuestionButtons::OkCancel);
  EXPECT_FLOAT_EQ(form.Config().TimeStep(), 1.0f);
  EXPECT_NE(form.windowTitle().indexOf("(modified)"), -1);
  settings->ComboBoxStepsPerSecond->setCurrentIndex(1);
  settings->ComboBoxStepsPerSecondChange(1);
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_FLOAT_EQ(form.Config().TimeStep(), 0.5f);
}

class FormMainScreenDumps : public FormMainRun {
 protected:
  void SetUp() override { dir = FreshTestFolder("form-dumps"); }
  // Turns dumps on through the File menu entry and its dialog.
  void TurnOn(const std::string& pattern, int interval) {
    TFormSetupScreenDumps* dialog = form.SetupScreenDumps();
    dialog->SetSaveDialog([pattern](const QString&, const QString&, const QString&) {
      return std::optional<std::string>(pattern);
    });
    dialog->EditInterval->setText(QString::number(interval));
    QTimer::singleShot(0, dialog, [dialog] { dialog->BitBtnOK->click(); });
    form.ItemWriteScreenDumpFilesClick();
  }
  QAction* Entry() { return form.findChild<QAction*>("ItemWriteScreenDumpFiles"); }
  void ExpectDump(const std::string& name, const char* format) {
    SCOPED_TRACE(name);
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString((dir / name).string()), format));
    const QImage road = form.RoadView()->RoadBitmap();
    EXPECT_EQ(image.width(), road.width());
    EXPECT_EQ(image.height(), road.height() + page->fontMetrics().height() + 6);
  }
  std::filesystem::path dir;
};

TEST_F(FormMainScreenDumps, RunWritesNumberedJpegAndBitmapDumps) {
  SetStopTime(20);  // 40 steps
  TurnOn((dir / "run.jpg").string(), 20);
  EXPECT_EQ(form.Run().State().ScreenDumpEvery, 20);
  EXPECT_TRUE(Entry()->isChecked());
  page->BitBtnRun->click();
  ASSERT_EQ(StepCount(), 40);
  ExpectDump("run00020.jpg", "JPEG");
  ExpectDump("run00040.jpg", "JPEG");

  // The entry turns them off, and on again with a bitmap pattern.
  form.ItemWriteScreenDumpFilesClick();
  EXPECT_EQ(form.Run().State().ScreenDumpEvery, 0);
  EXPECT_FALSE(Entry()->isChecked());
  TurnOn((dir / "shot.bmp").string(), 20);
  SetRedraw(1);  // numbered by redraws: every 10 steps
  page->BitBtnReset->click();
  page->BitBtnRun->click();
  ExpectDump("shot00002.bmp", "BMP");
  ExpectDump("shot00004.bmp", "BMP");
  EXPECT_FALSE(std::filesystem::exists(dir / "shot00020.bmp"));
  EXPECT_TRUE(capture.Empty());
}

TEST_F(FormMainScreenDumps, CancelledDialogLeavesDumpsOff) {
  TFormSetupScreenDumps* dialog = form.SetupScreenDumps();
  dialog->SetSaveDialog(
      [](const QString&, const QString&, const QString&) { return std::optional<std::string>(); });
  QTimer::singleShot(0, dialog, [dialog] { dialog->BitBtnCancel->click(); });
  form.ItemWriteScreenDumpFilesClick();
  EXPECT_EQ(form.Run().State().ScreenDumpEvery, 0);
  EXPECT_FALSE(Entry()->isChecked());
}

}  // namespace

namespace {

// A kernel warning (congestion reaching a source, about 850 s into the example) appears in the
// messages window, which shows itself; no box halts the run and the status bar stays clear.
TEST_F(FormMainRun, KernelWarningsAppearInTheMessagesWindowWithoutHaltingTheRun) {
  TFormMessages* messages = form.Messages();
  ASSERT_NE(messages, nullptr);
  EXPECT_FALSE(messages->isVisible());
  SetStopTime(1000);
  SetRedraw(2);
  page->BitBtnRun->click();
  EXPECT_EQ(StepCount(), 2000);
  EXPECT_TRUE(capture.Empty());
  EXPECT_TRUE(messages->isVisible());
  EXPECT_EQ(messages->windowTitle().toStdString(), "KAVRO messages");
  const std::vector<std::string> lines = form.MessageLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].rfind("Time ", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find("Kavro Simulator Warning in DoSource: Downstream congestion reaches "
                          "traffic source"),
            std::string::npos);
  EXPECT_EQ(messages->MemoMessages->toPlainText().split('\n').first().toStdString(), lines[0]);
  EXPECT_EQ(form.statusBar()->currentMessage().toStdString().find("Downstream"), std::string::npos);

  // Erasing empties the window; the next run's warnings come again.
  messages->BitBtnErase->click();
  EXPECT_TRUE(form.MessageLines().empty());
}

}  // namespace

namespace {

// The letters that Alt opens or presses, in lower case, of the given captions.
std::set<QChar> Mnemonics(const QStringList& captions) {
  std::set<QChar> letters;
  for (const QString& caption : captions) {
    const int amp = caption.indexOf('&');
    if (amp >= 0 && amp + 1 < caption.size()) letters.insert(caption[amp + 1].toLower());
  }
  return letters;
}

}  // namespace

TEST_F(FormMainRun, RunButtonsTakeAltLettersOfTheirOwn) {
  QStringList window;
  for (QAction* menu : form.menuBar()->actions()) window << menu->text();
  for (const char* name : {"BitBtnPrev", "BitBtnNext"})
    window << form.findChild<QPushButton*>(name)->text();
  const QStringList buttons{page->BitBtnRun->text(), page->BitBtnStep->text(),
                            page->BitBtnStop->text(), page->BitBtnReset->text()};
  const std::set<QChar> taken = Mnemonics(window);
  const std::set<QChar> own = Mnemonics(buttons);
  EXPECT_EQ(own.size(), 4u) << buttons.join(" ").toStdString();
  for (QChar letter : own) EXPECT_EQ(taken.count(letter), 0u) << QString(letter).toStdString();
  // The edit menu, when the road editor adds it, opens with Alt+E.
  EXPECT_EQ(own.count('e'), 0u);
}

TEST_F(FormMainRun, StepKeepsTheKeyboardFocus) {
  ShowPage("ItemRun");
  form.activateWindow();
  for (int i = 0; i < 10; ++i) QApplication::processEvents();
  page->BitBtnStep->setFocus();
  ASSERT_TRUE(page->BitBtnStep->hasFocus());
  page->BitBtnStep->click();
  EXPECT_EQ(StepCount(), 1);
  EXPECT_TRUE(page->BitBtnStep->hasFocus());
  EXPECT_FALSE(page->ComboBoxSimulationSpeed->hasFocus());
}

TEST_F(FormMainRun, ResetAndANewRunClearTheStatusBarAndShowTheStopTime) {
  ShowPage("ItemRun");
  page->BitBtnStep->click();
  form.statusBar()->showMessage("KAVRO Simulator Warning: an earlier run");
  settings->EditStopAt->setText("12");
  page->BitBtnReset->click();
  EXPECT_EQ(form.statusBar()->currentMessage(), "");
  EXPECT_EQ(settings->EditStopAt->text(), QString::number(form.Config().MaxTime()));
  form.statusBar()->showMessage("KAVRO Simulator Warning: an earlier run");
  page->BitBtnStep->click();
  EXPECT_EQ(StepCount(), 1);
  EXPECT_EQ(form.statusBar()->currentMessage(), "");
}

// The ramp metering example's light (cycle 10 s: green 2 s, yellow 1 s, red 7 s) shows its
// lamp on the run page: stepping through one cycle lights green, then yellow, then red, and
// every state of the kernel reaches the picture at the step it begins.
TEST(FormMainRunLights, LampChangesColourOverOneCycle) {
  ReportCapture capture;
  TFormMain form(StartupInfo{
      "/x/kavro", "/unused/", {std::string(KAVRO_SOURCE_DIR) + "/examples/ramp-metering.kav"}});
  form.resize(1200, 800);
  form.show();
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
  form.ItemSetModeClick(form.PageItem("ItemRun"));
  TPageRun* page = form.RunPage();
  ASSERT_TRUE(page);
  ASSERT_EQ(form.Config().TrafficLightCount(), 1);
  page->ComboBoxRedraw->setCurrentIndex(0);  // every step
  page->ComboBoxRedrawChange(0);

  const KDConfig& config = form.Config();
  // The lamp lit in the light's capsule: its colour in the capsule's column.
  auto lampShown = [&]() -> char {
    const QImage& traffic = form.RoadView()->TrafficBitmap();
    const int x = PositionToPixel(form.RoadView()->Viewport(),
                                  static_cast<float>(config.TrafficLightPosition(0)));
    const int top = LaneTop(static_cast<float>(config.TrafficLightLane(0)));
    int red = 0, yellow = 0, green = 0;
    for (int y = top; y < top + 24 && y < traffic.height(); ++y) {
      const QColor c = traffic.pixelColor(x, y);
      red += c == QColor(255, 0, 0);
      yellow += c == QColor(255, 255, 0);
      green += c == QColor(0, 255, 0);
    }
    if (red > yellow && red > green) return 'R';
    if (yellow > red && yellow > green) return 'Y';
    if (green > red && green > yellow) return 'G';
    return '-';
  };
  std::string lamps;
  std::string states;
  for (int step = 0; step < 20; ++step) {
    page->BitBtnStep->click();
    lamps += lampShown();
    const int state = config.TrafficLightState(0);
    states += state == KDConfig::TRAFFICLIGHT_RED      ? 'R'
              : state == KDConfig::TRAFFICLIGHT_YELLOW ? 'Y'
              : state == KDConfig::TRAFFICLIGHT_GREEN  ? 'G'
                                                       : '-';
  }
  // Two steps per second; the first second is green.
  EXPECT_EQ(states, "GGGGYYRRRRRRRRRRRRRR");
  EXPECT_EQ(lamps, states);
  // Reset returns the light to idle: the lamp goes out.
  page->BitBtnReset->click();
  EXPECT_EQ(config.TrafficLightState(0), KDConfig::TRAFFICLIGHT_IDLE);
  EXPECT_TRUE(capture.Empty());
}
