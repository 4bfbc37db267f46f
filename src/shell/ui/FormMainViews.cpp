// The View menu of the main window and the analysis windows it opens: the trajectory and
// contour diagrams, the object lists and the detector graph entries.

#include <QAction>
#include <QMenu>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "kernel/Kernel.h"
#include "kernel/RoadObject.h"
#include "roadview/TrafficGeometry.h"
#include "roadview/ui/RoadView.h"
#include "shell/KernelSimulation.h"
#include "shell/PageCatalogue.h"
#include "shell/RunController.h"
#include "shell/RunObserverFanOut.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/PageRun.h"
#include "shell/ui/QtText.h"
#include "shell/ui/ViewsRunObserver.h"
#include "views/ui/FormContours.h"
#include "views/ui/FormObjectList.h"
#include "views/ui/FormTrajectories.h"
#include "views/ui/FormVehicleData.h"

QAction* TFormMain::ViewItem(const char* name) const {
  for (QAction* action : MenuView->actions())
    if (action->objectName() == name) return action;
  return nullptr;
}

void TFormMain::CreateViewWindows() {
  auto chooser = [this](const std::string& filter, std::string& name) {
    FileDialogRequest request;
    request.Save = true;
    request.Filter = filter;
    request.DefaultExtension = "png";
    return ChooseFile(request, name);
  };
  FormTrajectories = new TFormTrajectories(this);
  FormTrajectories->SetSource([this] { return DiagramRunData(); });
  FormTrajectories->SetFileChooser(chooser);
  pictureChooser_ = chooser;

  connect(ViewItem("ItemTrajectories"), &QAction::triggered, this,
          &TFormMain::ItemTrajectoriesClick);
  connect(ViewItem("ItemUContourGraph"), &QAction::triggered, this,
          &TFormMain::ItemUContourGraphClick);
  connect(ViewItem("ItemListObjects"), &QAction::triggered, this, &TFormMain::ItemListObjectsClick);
  connect(ViewItem("ItemCapacityDistribution"), &QAction::triggered, this,
          &TFormMain::ItemCapacityDistributionClick);
  connect(ViewItem("ItemDeleteAllDetectorGraphs"), &QAction::triggered, this,
          &TFormMain::ItemDeleteAllDetectorGraphsClick);
  separatorDetectorGraphs_ = MenuView->addSeparator();
  separatorDetectorGraphs_->setObjectName("SeparatorDetectorGraphs");
  viewMenuBaseCount_ = static_cast<int>(MenuView->actions().size());
  connect(MenuView, &QMenu::aboutToShow, this, &TFormMain::ViewMenuOpened);
  ViewMenuOpened();

  connect(RoadViewMain->ImageRoad(), &TRoadImage::MouseDown, this,
          [this](int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers) {
            RoadViewMouseDownForViews(x, y, button);
          });
  viewsObserver_ = std::make_unique<ViewsRunObserver>(*this);
  runFollowers_->Add(viewsObserver_.get());
}

DiagramData TFormMain::DiagramRunData() const {
  DiagramData data;
  const RunState& state = run_->State();
  const KDConfig& config = document_->Config();
  data.tracks = &run_->Tracks().Tracks();
  data.stepsPerSecond = state.StepsPerSecond;
  data.stepCount = state.StepCount;
  data.length = config.Length();
  data.maxTime = config.MaxTime();
  data.laneCount = config.LanesUsed() - (mode_ == DOVEL ? config.FirstLaneUsed() : 0);
  return data;
}

void TFormMain::ViewMenuOpened() {
  const bool batchPage = CurrentPage() == kBatchPage;
  ViewItem("ItemTrajectories")->setEnabled(!batchPage);
  ViewItem("ItemUContourGraph")->setEnabled(!batchPage);
  ViewItem("ItemListObjects")->setEnabled(true);
  ViewItem("ItemListObjects")->setVisible(mode_ != DOVEL);
  ViewItem("ItemCapacityDistribution")
      ->setEnabled(capacityAvailable_ ? capacityAvailable_() : false);
  const bool graphs = !DetectorGraphEntries().empty();
  separatorDetectorGraphs_->setVisible(graphs);
  ViewItem("ItemDeleteAllDetectorGraphs")->setVisible(graphs);
  ViewItem("ItemDeleteAllDetectorGraphs")->setEnabled(graphs);
}

void TFormMain::ItemTrajectoriesClick() {
  FormTrajectories->show();
  FormTrajectories->raise();
}

void TFormMain::ItemUContourGraphClick() {
  if (!FormContours) {
    FormContours = new TFormContours(this);
    FormContours->SetSource([this] { return DiagramRunData(); });
    FormContours->SetFileChooser(pictureChooser_);
    // The type letter: the caption's first character that is not "&", lower-cased.
    const QString caption = ViewItem("ItemUContourGraph")->text();
    for (QChar c : caption)
      if (c != '&') {
        FormContours->SetDiagramType(static_cast<char>(c.toLower().toLatin1()));
        break;
      }
  }
  FormContours->show();
  FormContours->raise();
}

void TFormMain::ItemCapacityDistributionClick() {
  // Hiding and showing rebuilds the window from the batch grid as it stands.
  if (!capacityWindow_) return;
  capacityWindow_->hide();
  capacityWindow_->show();
  capacityWindow_->raise();
}

std::vector<QAction*> TFormMain::DetectorGraphEntries() const {
  const QList<QAction*> actions = MenuView->actions();
  std::vector<QAction*> entries;
  for (int i = viewMenuBaseCount_; i < actions.size(); ++i) entries.push_back(actions[i]);
  return entries;
}

QAction* TFormMain::AddDetectorGraphEntry(QWidget* window) {
  auto* entry = new QAction(window->windowTitle(), MenuView);
  entry->setObjectName("ItemDetectorGraph");
  MenuView->addAction(entry);
  connect(entry, &QAction::triggered, window, [window] {
    window->show();
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
  });
  // The entry goes with its window.
  connect(window, &QObject::destroyed, entry, &QObject::deleteLater);
  entry->setProperty("window", QVariant::fromValue(static_cast<QObject*>(window)));
  return entry;
}

void TFormMain::RemoveDetectorGraphEntry(QAction* entry) {
  QObject* window = entry->property("window").value<QObject*>();
  MenuView->removeAction(entry);
  entry->deleteLater();
  if (auto* widget = qobject_cast<QWidget*>(window)) widget->hide();
  if (window) window->deleteLater();
}

void TFormMain::ItemDeleteAllDetectorGraphsClick() {
  for (QAction* entry : DetectorGraphEntries()) RemoveDetectorGraphEntry(entry);
}

void TFormMain::RunStartedForViews() {
  FormTrajectories->DrawFrame();
  if (FormContours) FormContours->DrawFrame();
}

void TFormMain::VehiclesSampledForViews(int stepCount) {
  RefreshVehicleData(stepCount);
  FormTrajectories->SetRedrawCountdown(10);
  if (FormContours) FormContours->SetRedrawCountdown(10);
}

void TFormMain::ItemListObjectsClick() {
  const RunState& state = run_->State();
  auto* list =
      new TFormObjectList(simulation_->GetKernel(), state.StepCount, state.StepsPerSecond, this);
  list->SetFileChooser([this](const std::string& filter, std::string& name) {
    FileDialogRequest request;
    request.Save = true;
    request.Filter = filter;
    request.DefaultExtension = "lst";
    return ChooseFile(request, name);
  });
  objectLists_.push_back(list);
  list->show();
}

TFormVehicleData* TFormMain::VehicleDataWindow(int vehicle) const {
  for (auto it = vehicleForms_.rbegin(); it != vehicleForms_.rend(); ++it)
    if ((*it)->VehicleNumber() == vehicle) return *it;
  return nullptr;
}

void TFormMain::OpenVehicleData(RoadObject& vehicle) {
  if (TFormVehicleData* window = VehicleDataWindow(vehicle.Number())) {
    window->show();
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    return;
  }
  auto* window = new TFormVehicleData(this);
  const RunState& state = run_->State();
  window->ShowVehicleData(vehicle,
                          static_cast<double>(state.StepCount) / std::max(state.StepsPerSecond, 1));
  window->show();
  vehicle.SetUserData(reinterpret_cast<std::intptr_t>(window));
  vehicleForms_.push_back(window);
  RedrawVehicles();
}

RoadObject* TFormMain::VehicleAtPoint(int x, int y) const {
  if (mode_ != KAVRO || run_->State().StepCount <= 0) return nullptr;
  const KDConfig& config = document_->Config();
  const RoadViewport view = RoadViewMain->Viewport();
  RoadObject* found = nullptr;
  for (RoadObject* object = simulation_->GetKernel().FirstObject(); object;
       object = object->Next()) {
    const VehicleInfo* vehicle = object->Vehicle();
    if (!vehicle) continue;
    const float length = vehicle->params ? vehicle->params->length : 0;
    if (x < PositionToPixel(view, object->Position() - length) - 1 ||
        x > PositionToPixel(view, object->Position()) + 1)
      continue;
    VehicleRowInput row;
    row.lane = object->Lane();
    row.position = object->Position();
    row.laneChangeState = vehicle->laneChangeState;
    row.laneChangeProgress = vehicle->laneChangeProgress;
    row.timeStep = config.TimeStep();
    if (std::abs(y - VehicleRowY(config, row)) <= 2) found = object;
  }
  return found;
}

void TFormMain::RoadViewMouseDownForViews(int x, int y, Qt::MouseButton button) {
  if (button != Qt::RightButton) return;
  const int page = CurrentPage();
  if (page != kRunPage && page != kSettingsPage) return;
  if (RoadObject* vehicle = VehicleAtPoint(x, y)) OpenVehicleData(*vehicle);
}

void TFormMain::RefreshVehicleData(int stepCount) {
  if (stepCount == 1) {
    // A new run: the windows of the last one go.
    for (TFormVehicleData* window : vehicleForms_) window->deleteLater();
    vehicleForms_.clear();
    return;
  }
  if (run_->State().BatchRun > 0) return;
  bool anyVisible = false;
  for (TFormVehicleData* window : vehicleForms_)
    anyVisible = anyVisible || (window->isVisible() && window->VehicleNumber() >= 0);
  if (!anyVisible) return;
  const double time = static_cast<double>(stepCount) / std::max(run_->State().StepsPerSecond, 1);
  for (RoadObject* object = simulation_->GetKernel().FirstObject(); object;
       object = object->Next()) {
    if (!object->IsVehicle()) continue;
    TFormVehicleData* window = VehicleDataWindow(object->Number());
    if (window && window->isVisible()) window->ShowVehicleData(*object, time);
  }
}
