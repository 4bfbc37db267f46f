// The batch page of the main window with its grid, the capacity distribution window, and the
// File menu entries of the results, the batch results and the kernel traces.

#include <QAction>
#include <QMenu>
#include <QStackedWidget>
#include <QTableWidget>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "shell/BatchRuns.h"
#include "shell/DetectorValues.h"
#include "shell/PageCatalogue.h"
#include "shell/PageChange.h"
#include "shell/ResultsFile.h"
#include "shell/RunController.h"
#include "shell/RunObserverFanOut.h"
#include "shell/TraceFiles.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/PageBatch.h"
#include "shell/ui/PageRun.h"
#include "views/GraphSeries.h"
#include "views/ui/FormCapacity.h"
#include "views/ui/FormGraph.h"

namespace {

// Leaving the batch page or pressing a Stop of the program inside a batch stops the batch run
// as its own Stop button does: the run is marked aborted and can be resumed.
class BatchAwarePages : public RunControllerPages {
 public:
  BatchAwarePages(RunController& run, TPageBatch& batch)
      : RunControllerPages(run), run_(run), batch_(batch) {}
  void Stop() override {
    if (run_.State().BatchRun > 0 && batch_.Runner().Active())
      batch_.BitBtnStopClick();
    else
      RunControllerPages::Stop();
  }
  bool BatchResumable() const override { return batch_.Runner().CanResume(); }

 private:
  RunController& run_;
  TPageBatch& batch_;
};

struct TraceEntry {
  const char* Item;
  const char* Caption;
  const char* Filter;
  const char* Extension;
  KernelTraceFiles::Trace Trace;
};

const TraceEntry kTraceEntries[] = {
    {"ItemDetectionTraceFile", "Detector Passages ...", "LabelTRCFilter", "trc",
     KernelTraceFiles::Detection},
    {"ItemTravelTimeTraceFile", "Detector to Detector Travel Times ...", "LabelDDTFilter", "ddt",
     KernelTraceFiles::TravelTime},
    {"ItemODTravelTimeTrace", "&Origin to Destination Travel Times ...", "LabelODTFilter", "odt",
     KernelTraceFiles::ODTravelTime},
    {"ItemLaneChangeTraceFile", "Lane Changes ...", "LabelLCTFilter", "lct",
     KernelTraceFiles::LaneChange},
};

// The configuration file's name cut back to its last "." (kept) + `extension`; empty without one.
std::string ProposedName(const std::string& current, const char* extension) {
  const size_t slash = current.find_last_of('/');
  const size_t dot = current.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return current.substr(0, dot + 1) + extension;
}

}  // namespace

void TFormMain::CreateBatchPage() {
  PageBatch = new TPageBatch(*run_);
  HostPage(kBatchPage, PageBatch);
  PageBatch->SetQuestionHost(this, [this] { ItemSetModeClick(PageItem("ItemDetectors")); });
  // The grid of runs takes the place of the batch grid panel below the page area.
  PanelLower->removeWidget(PanelBatchGrid);
  delete PanelBatchGrid;
  PanelBatchGrid = PageBatch->Grid();
  PanelLower->addWidget(PanelBatchGrid);

  runFollowers_ = std::make_unique<RunObserverFanOut>();
  runFollowers_->Add(PageBatch);
  PageRun->SetNextObserver(runFollowers_.get());
  runPages_ = std::make_unique<BatchAwarePages>(*run_, *PageBatch);
  SetRunControl(runPages_.get());

  FormCapacity = new TFormCapacity(this);
  FormCapacity->setWindowFlag(Qt::Window);
  FormCapacity->SetStatusSource([this] { return PageBatch->Statuses(); });
  FormCapacity->SetObservationSource([this] { return PageBatch->Observations(); });
  SetCapacityWindow(FormCapacity, [this] {
    const std::vector<std::string> statuses = PageBatch->Statuses();
    return !statuses.empty() && !statuses[0].empty();
  });
  CreateResultMenuEntries();
  CreateDetectorGraphs();
}

void TFormMain::CreateResultMenuEntries() {
  QAction* before = nullptr;
  for (QAction* action : MenuFile->actions())
    if (action->objectName() == "ItemWriteScreenDumpFiles") before = action;
  auto* results = new QMenu("Save S&imulation Results", MenuFile);
  results->setObjectName("MenuSaveSimulationResults");
  ItemSaveSimulationResults = MenuFile->insertMenu(before, results);
  ItemSaveSimulationResults->setObjectName("ItemSaveSimulationResults");
  QAction* normal = results->addAction("&Save Simulation Results As ...");
  normal->setObjectName("ItemSaveSimulationResultsAs");
  connect(normal, &QAction::triggered, this, [this] { ItemSaveSimulationResultsAsClick(false); });
  QAction* extended = results->addAction("Save &Extended Simulation Results As ...");
  extended->setObjectName("ItemSaveExtendedSimulationResultsAs");
  connect(extended, &QAction::triggered, this, [this] { ItemSaveSimulationResultsAsClick(true); });
  ItemSaveBatchResultsAs = new QAction("Save &Batch Results As ...", MenuFile);
  ItemSaveBatchResultsAs->setObjectName("ItemSaveBatchResultsAs");
  MenuFile->insertAction(before, ItemSaveBatchResultsAs);
  connect(ItemSaveBatchResultsAs, &QAction::triggered, this,
          &TFormMain::ItemSaveBatchResultsAsClick);
  for (const TraceEntry& entry : kTraceEntries) {
    auto* action = new QAction(entry.Caption, MenuFile);
    action->setObjectName(entry.Item);
    action->setCheckable(true);
    MenuFile->insertAction(before, action);
    connect(action, &QAction::triggered, this, [this, action] { ItemTraceFileClick(action); });
    traceEntries_.push_back(action);
  }
  MenuFile->insertSeparator(before)->setObjectName("SeparatorTraces");
  connect(MenuFile, &QMenu::aboutToShow, this, &TFormMain::ResultEntriesRefresh);
  // The external model has neither simulation results of this kind, batches nor these traces.
  const bool kavro = mode_ != DOVEL;
  ItemSaveSimulationResults->setVisible(kavro);
  ItemSaveBatchResultsAs->setVisible(kavro);
}

void TFormMain::ResultEntriesRefresh() {
  const RunState& state = run_->State();
  ItemSaveSimulationResults->setEnabled(state.StepCount > 0 && state.PeriodCount > 0);
  const std::vector<std::string> statuses = PageBatch->Statuses();
  ItemSaveBatchResultsAs->setEnabled(!statuses.empty() && !statuses[0].empty());
  const bool kavro = mode_ != DOVEL;
  ItemSaveSimulationResults->setVisible(kavro);
  ItemSaveBatchResultsAs->setVisible(kavro);
  for (size_t i = 0; i < traceEntries_.size(); ++i) {
    const std::string& setting = KernelTraceFiles::Setting(outputs_, kTraceEntries[i].Trace);
    traceEntries_[i]->setChecked(!setting.empty());
    // The lane change trace is the external model's as well; the detector traces are not.
    traceEntries_[i]->setVisible(kavro || kTraceEntries[i].Trace == KernelTraceFiles::LaneChange);
  }
}

void TFormMain::ItemTraceFileClick(QAction* item) {
  for (size_t i = 0; i < traceEntries_.size(); ++i) {
    if (traceEntries_[i] != item) continue;
    const TraceEntry& entry = kTraceEntries[i];
    std::string& setting = KernelTraceFiles::Setting(outputs_, entry.Trace);
    if (!setting.empty()) {
      run_->TraceFiles().Close(entry.Trace);
      setting.clear();
      item->setChecked(false);
      return;
    }
    std::string name;
    if (ChooseFile({true, Text(entry.Filter), entry.Extension}, name) && !name.empty()) {
      setting = name;
      item->setChecked(true);
    } else {
      item->setChecked(false);
    }
    return;
  }
}

void TFormMain::ItemSaveSimulationResultsAsClick(bool extended) {
  std::string name = ProposedName(CurrentFileName(), extended ? "ksx" : "ksr");
  if (!ChooseFile({true, Text(extended ? "LabelKSXFilter" : "LabelKSRFilter"), "ksr"}, name))
    return;
  WriteSimulationResults(name, extended, Config(), run_->Samples(), &run_->Simulation());
}

void TFormMain::ItemSaveBatchResultsAsClick() {
  std::string name = PageBatch->Runner().ProposedResultsName();
  if (!ChooseFile({true, Text("LabelKBRFilter"), "kbr"}, name)) return;
  PageBatch->Runner().SaveResults(name);
}

// The detector graphs follow the run: set up anew with each run, one period more at each
// detector output.
class TFormMain::GraphFollower : public RunObserver {
 public:
  explicit GraphFollower(TFormMain& form) : form_(form) {}
  void DetectorsSetUp(int numDetectors) override { form_.SetUpDetectorGraphs(numDetectors); }
  void DetectorsSampled(int periodCount) override {
    for (TFormGraph* graph : form_.DetectorGraphs()) graph->DrawGraph(periodCount);
  }

 private:
  TFormMain& form_;
};

void TFormMain::CreateDetectorGraphs() {
  graphFollower_ = std::make_unique<GraphFollower>(*this);
  runFollowers_->Add(graphFollower_.get());
  SetDetectorGraphOpener(
      [this](int detector, const std::string& kind) { ItemDetectorGraphClick(detector, kind); });
}

std::vector<TFormGraph*> TFormMain::DetectorGraphs() const {
  std::vector<TFormGraph*> graphs;
  for (QAction* entry : DetectorGraphEntries())
    if (auto* graph = qobject_cast<TFormGraph*>(entry->property("window").value<QObject*>()))
      graphs.push_back(graph);
  return graphs;
}

void TFormMain::GraphGeometry(int& lanes, int& interval, int& firstTime) const {
  const KDConfig& config = document_->Config();
  lanes = config.LanesUsed() - (mode_ == DOVEL ? config.FirstLaneUsed() : 0);
  firstTime = config.DetectorTime(0);
  interval = config.DetectorTime(1) - firstTime;
}

TFormGraph* TFormMain::ItemDetectorGraphClick(int detector, const std::string& kind) {
  if (!IsGraphKind(kind)) return nullptr;
  const char yId = kind[0];
  const char xId = kind[1];
  for (TFormGraph* graph : DetectorGraphs()) {
    if (graph->Detector() != detector || graph->XId() != xId || graph->YId() != yId) continue;
    graph->showNormal();
    graph->raise();
    return graph;
  }
  auto* graph = new TFormGraph(this);
  graph->setAttribute(Qt::WA_DeleteOnClose, false);
  graph->SetSource(&run_->Samples(),
                   [this](int d) { return DetectorContext(document_->Config(), d); });
  int lanes = 0, interval = 0, firstTime = 0;
  GraphGeometry(lanes, interval, firstTime);
  graph->SetupGraph(lanes, detector, interval, firstTime, xId, yId);
  graph->show();
  graph->DrawGraph(run_->State().StepCount > 0 ? run_->State().PeriodCount : 0);
  AddDetectorGraphEntry(graph);
  return graph;
}

void TFormMain::SetUpDetectorGraphs(int numDetectors) {
  int lanes = 0, interval = 0, firstTime = 0;
  GraphGeometry(lanes, interval, firstTime);
  for (QAction* entry : DetectorGraphEntries()) {
    auto* graph = qobject_cast<TFormGraph*>(entry->property("window").value<QObject*>());
    if (!graph) continue;
    if (graph->Detector() >= numDetectors) {
      // Its detector is gone: the window closes and its entry goes.
      RemoveDetectorGraphEntry(entry);
      continue;
    }
    graph->SetupGraph(lanes, graph->Detector(), interval, firstTime, graph->XId(), graph->YId());
    graph->DrawGraph(0);
  }
}
