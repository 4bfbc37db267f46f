// The run of the main window: the run and settings pages, the traffic over the road view, and
// the screen dumps with their File menu entry.

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QVBoxLayout>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "kernel/Kernel.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/ui/RoadView.h"
#include "shell/KernelSimulation.h"
#include "shell/ModelSimulation.h"
#include "shell/PageCatalogue.h"
#include "shell/PageChange.h"
#include "shell/RunController.h"
#include "shell/TextPatches.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/FormSetupScreenDumps.h"
#include "shell/ui/PageBatch.h"
#include "shell/ui/PageGeneration.h"
#include "shell/ui/PageRun.h"
#include "shell/ui/PageSettings.h"
#include "shell/ui/QtText.h"
#include "shell/ui/RunLegends.h"

namespace {

const char* const kPageProperty = "page";

const char* const kCalibrationQuestion =
    "Only the original values are calibrated and validated.\r\n"
    "Changing these values is not recommended.\r\n"
    "Do you want to continue ?";

bool RunPages(int page) { return page == kRunPage || page == kSettingsPage; }

// The kernel's light and lane detector states, written into whichever configuration the road
// view shows, so that lamps change colour and lane detectors show occupied or free. A state of
// an object the configuration no longer has (it was replaced mid-run) is dropped.
class ShownConfigFurniture : public KernelFurnitureObserver {
 public:
  explicit ShownConfigFurniture(std::function<KDConfig&()> config) : config_(std::move(config)) {}
  void TrafficLightState(int number, int state) override {
    KDConfig& config = config_();
    if (number >= 0 && number < config.TrafficLightCount())
      config.SetTrafficLightState(number, state);
  }
  void LaneDetectorState(int number, int state) override {
    KDConfig& config = config_();
    if (number >= 0 && number < config.LaneDetectorCount())
      config.SetLaneDetectorState(number, state);
  }

 private:
  std::function<KDConfig&()> config_;
};

}  // namespace

// One run controller over the program's kernel; the run page drives it and follows it.
void TFormMain::CreateRunPages() {
  // Warnings and errors of a run (causes 3 and 4) go to the messages window.
  kernelMessages_ = std::make_unique<LineKernelMessageSink>(
      [this](const std::string& line) { AppendMessageLine(line); });
  auto simulation = std::make_unique<KernelSimulation>();
  simulation->GetKernel().SetMessageSink(kernelMessages_.get());
  simulation->GetKernel().SetTexts(KernelTextsFrom(texts_));
  furniture_ = std::make_unique<ShownConfigFurniture>([this]() -> KDConfig& { return Config(); });
  simulation->GetKernel().SetFurnitureObserver(furniture_.get());
  simulation_ = simulation.get();
  run_ = std::make_unique<RunController>(std::move(simulation), outputs_);
  runPages_ = std::make_unique<RunControllerPages>(*run_);
  SetRunControl(runPages_.get());

  PageRun = new TPageRun(*run_, texts_);
  HostPage(kRunPage, PageRun);
  PageRun->SetTrafficDrawer([this] { return RedrawVehicles(); });
  PageRun->SetRoadDrawer([this] { RedrawRoad(); });
  PageRun->SetRoadPicture([this] { return RoadPicture(); });
  PageRun->SetStatusClearer([this] { statusBar()->clearMessage(); });
  PageRun->SetTerminateTimeShower([this](int seconds) { PageSettings->ShowStopTime(seconds); });

  PageSettings = new TPageSettings;
  HostPage(kSettingsPage, PageSettings);
  PageSettings->SetCalibrationQuestion([this] {
    return Ask({"Are you sure ?", kCalibrationQuestion, QuestionButtons::OkCancel}) == Answer::Ok;
  });
  PageSettings->SetChanged([this] { RunSettingChanged(); });
  PageSettings->SetUndoRecorder([this](const std::string& label) { RecordUndo(label); });

  PageGeneration = new TPageGeneration;
  HostPage(kGenerationPage, PageGeneration);
  PageGeneration->SetChanged([this] { ConfigurationChanged(); });
  PageGeneration->SetFileChooser([this](std::string& name) {
    return ChooseFile({false, "Dovel injection files (*.inj)|*.inj|All files (*.*)|*.*", ""}, name);
  });

  connect(RoadViewMain, &TRoadView::RoadRedrawn, this, &TFormMain::RoadRedrawn);
  CreateRoadEditing();

  FormSetupScreenDumps = new TFormSetupScreenDumps(this);
  FormSetupScreenDumps->SetCurrentDirectory([this] { return CurrentDirectory(); });
  ItemWriteScreenDumpFiles = new QAction("&Write Screen Dump Files ...", MenuFile);
  ItemWriteScreenDumpFiles->setObjectName("ItemWriteScreenDumpFiles");
  ItemWriteScreenDumpFiles->setCheckable(true);
  QAction* print = nullptr;
  for (QAction* action : MenuFile->actions())
    if (action->objectName() == "ItemPrint") print = action;
  MenuFile->insertAction(print, ItemWriteScreenDumpFiles);
  connect(ItemWriteScreenDumpFiles, &QAction::triggered, this,
          &TFormMain::ItemWriteScreenDumpFilesClick);
  CreateBatchPage();
}

// The page's own controls go above the stretch below the page title.
void TFormMain::HostPage(int page, QWidget* content, RoadPageGestures* gestures) {
  if (page >= 0 && page <= kBatchPage) gestures_[page] = gestures;
  for (int i = 0; i < PageControl->count(); ++i) {
    QWidget* sheet = PageControl->widget(i);
    if (sheet->property(kPageProperty).toInt() != page) continue;
    auto* layout = qobject_cast<QVBoxLayout*>(sheet->layout());
    if (!KAVRO_ASSERT(layout != nullptr)) return;
    layout->insertWidget(1, content);
    return;
  }
}

void TFormMain::ShowPageValues(int page) {
  if (page == kSettingsPage) PageSettings->ShowValues();
  if (page == kBatchPage && PageBatch) PageBatch->ShowValues();
  if (page == kGenerationPage) PageGeneration->ShowValues();
  ShowFurniturePage(page);
  ShowTrafficPageValues(page);
  if (page == kRunPage) PageRun->ShowValues(Config());
}

int TFormMain::RedrawVehicles() {
  if (!RunPages(CurrentPage())) return -1;
  ++trafficRedraws_;
  TrafficDrawSettings settings;
  PageRun->TrafficColors(settings);
  settings.flags = RoadViewMain->DrawFlags();
  if (mode_ == DOVEL) {
    // The external model's vehicles, read through the wrappers.
    ModelWrapperVehicles model;
    const RunState& state = run_->State();
    return RoadViewMain->RedrawModelVehicles(
        model, state.StepCount / std::max(state.StepsPerSecond, 1), settings);
  }
  if (!simulation_) return -1;
  return RoadViewMain->RedrawVehicles(simulation_->GetKernel(), settings);
}

void TFormMain::RoadRedrawn() {
  if (run_ && RunPages(CurrentPage()) && run_->State().StepCount >= 1)
    PageRun->RedrawVehicles();
  else
    RoadViewMain->HideVehicles();
}

QImage TFormMain::RoadPicture() const {
  QImage picture = RoadViewMain->RoadBitmap().convertToFormat(QImage::Format_RGB32);
  if (RoadViewMain->ImageRoad()->TrafficVisible()) {
    QPainter painter(&picture);
    painter.drawImage(0, 0, RoadViewMain->TrafficBitmap());
  }
  return picture;
}

void TFormMain::RunSettingChanged() {
  ConfigurationChanged();
  PageRun->RefreshControls();
}

void TFormMain::ItemWriteScreenDumpFilesClick() {
  std::string pattern = PageRun->ScreenDumpPattern();
  run_->SetScreenDumpEvery(
      ToggleScreenDumps(run_->State().ScreenDumpEvery, *FormSetupScreenDumps, pattern));
  PageRun->SetScreenDumpPattern(pattern);
  ItemWriteScreenDumpFiles->setChecked(run_->State().ScreenDumpEvery > 0);
}
