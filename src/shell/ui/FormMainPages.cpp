// The pages of the main window: choosing a page, the area below the page area, and the hidden
// Debug menu with its output area.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QVBoxLayout>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "extmodel/DovelCalls.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/ui/RoadView.h"
#include "shell/PageCatalogue.h"
#include "shell/PageChange.h"
#include "shell/RunController.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/PageBatch.h"
#include "shell/ui/PageGeneration.h"
#include "shell/ui/PageRun.h"
#include "shell/ui/PageSettings.h"
#include "shell/ui/QtText.h"
#include "views/ui/FormCapacity.h"

namespace {

const char* const kPageProperty = "page";

QWidget* PlaceholderPanel(const char* name, const char* title) {
  auto* panel = new QWidget;
  panel->setObjectName(name);
  auto* layout = new QVBoxLayout(panel);
  layout->addWidget(new QLabel(title, panel));
  layout->addStretch();
  return panel;
}

}  // namespace

// Below the page area: the road view, the parameter grid or the batch grid; the debug output
// sits at the right of the page area, hidden until the Debug menu shows it.
void TFormMain::CreateLowerArea() {
  auto* layout = qobject_cast<QVBoxLayout*>(centralWidget()->layout());
  if (!KAVRO_ASSERT(layout != nullptr)) return;
  auto* top = new QWidget(centralWidget());
  top->setObjectName("PanelPages");
  auto* row = new QHBoxLayout(top);
  row->setContentsMargins(0, 0, 0, 0);
  delete layout->replaceWidget(PageControl, top);  // the layout item of the page control
  row->addWidget(PageControl, 1);
  MemoDebug = new QPlainTextEdit(top);
  MemoDebug->setObjectName("MemoDebug");
  MemoDebug->setReadOnly(true);
  MemoDebug->setVisible(false);
  row->addWidget(MemoDebug);
  layout->setStretchFactor(top, 0);

  PanelLower = new QStackedWidget(centralWidget());
  PanelLower->setObjectName("PanelLower");
  RoadViewMain = new TRoadView(PanelLower);
  RoadViewMain->setObjectName("RoadView");
  RoadViewMain->SetDrawFlags(RDF_DRAW_TAPERS);
  PanelParameterGrid = PlaceholderPanel("PanelParameterGrid", "Vehicle and driver parameters");
  PanelBatchGrid = PlaceholderPanel("PanelBatchGrid", "Batch runs");
  PanelLower->addWidget(RoadViewMain);
  PanelLower->addWidget(PanelParameterGrid);
  PanelLower->addWidget(PanelBatchGrid);
  layout->addWidget(PanelLower, 1);
  statusBar()->installEventFilter(this);
}

void TFormMain::CreateDebugMenu() {
  MenuDebug = menuBar()->addMenu("Debu&g");
  MenuDebug->setObjectName("MenuDebug");
  MenuDebug->menuAction()->setVisible(false);
  QAction* clear = MenuDebug->addAction("&Clear");
  clear->setObjectName("ItemDebugClear");
  connect(clear, &QAction::triggered, this, [this] { MemoDebug->clear(); });
  ItemDebugToggle = MenuDebug->addAction("Toggle visibility");
  ItemDebugToggle->setObjectName("ItemDebugToggle");
  ItemDebugToggle->setCheckable(true);
  connect(ItemDebugToggle, &QAction::toggled, this,
          [this](bool shown) { MemoDebug->setVisible(shown); });
  ItemDovelCalls = MenuDebug->addAction("&DOVEL DLL calls");
  ItemDovelCalls->setObjectName("ItemDovelCalls");
  ItemDovelCalls->setCheckable(true);
  // While ticked, every call into the external model is logged into the debug output.
  connect(ItemDovelCalls, &QAction::toggled, this, [this](bool logging) {
    if (logging && mode_ == DOVEL)
      Dovel::SetLogSink([this](const std::string& line) { DebugWrite(line); });
    else
      Dovel::SetLogSink(nullptr);
  });
  ItemDrawTapers = MenuDebug->addAction("&Draw tapers");
  ItemDrawTapers->setObjectName("ItemDrawTapers");
  ItemDrawTapers->setCheckable(true);
  ItemDrawTapers->setChecked(true);
  connect(ItemDrawTapers, &QAction::toggled, this, [this] { RedrawRoad(); });
}

bool TFormMain::ModelCallLogging() const {
  return ItemDovelCalls && mode_ == DOVEL && ItemDovelCalls->isChecked();
}

void TFormMain::DebugWrite(const std::string& text) {
  if (MemoDebug) MemoDebug->appendPlainText(FromText(text));
}

// A click on the status bar with Alt held shows or hides the Debug menu.
bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == statusBar() && event->type() == QEvent::MouseButtonPress &&
      (static_cast<QMouseEvent*>(event)->modifiers() & Qt::AltModifier)) {
    QAction* menu = MenuDebug->menuAction();
    menu->setVisible(!menu->isVisible());
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TFormMain::AttachConfiguration() {
  // Only the current configuration forwards its changes to the external model.
  document_->Config().SetMirrored(true);
  if (RoadViewMain) {
    RoadViewMain->SetConfig(&document_->Config());
    RedrawRoad();
  }
  if (runControl_) runControl_->ConfigurationReplaced(document_->Config());
  if (run_) run_->SetCurrentFileName(document_->CurrentFileName());
  if (PageSettings) PageSettings->SetConfig(&document_->Config());
  if (PageGeneration) PageGeneration->SetConfig(&document_->Config());
  if (PageRun) PageRun->ConfigurationReplaced();
}

void TFormMain::ConfigurationSwapped() {
  document_->Config().PushAllToModel();
  AttachConfiguration();
}

// A new configuration shows the physical road layout page; an opened one chooses the ticked
// entry of the Simulate menu again, so its page shows the new values.
void TFormMain::DocumentReplaced(bool opened) {
  ClearUndoHistory();
  AttachConfiguration();
  if (PageBatch) PageBatch->ConfigurationReplaced();
  TrafficConfigurationReplaced();
  if (FormCapacity) FormCapacity->hide();
  if (mode_ == 0) return;
  // A new road starts with no selection.
  selection_ = RoadEditSelection();
  if (!opened) {
    ItemSetModeClick(EntryAction(InitialEntry(PageMenu::RoadDesign, mode_)));
  } else if (QAction* ticked = pageGroups_[static_cast<int>(PageMenu::Simulate)]->checkedAction()) {
    ItemSetModeClick(ticked);
  }
}

void TFormMain::ItemSetModeClick(QAction* entry) {
  if (!entry) return;
  int stepCount = runControl_ ? runControl_->StepCount() : 0;
  PageChangePlan plan = PlanPageChange(mode_, CurrentPage(), entry->property(kPageProperty).toInt(),
                                       entry != currentPageItem_, stepCount);
  if (plan.AskToTerminate &&
      Ask({"Warning", kTerminateSimulationQuestion, QuestionButtons::OkCancel}) != Answer::Ok) {
    // The menu ticked the entry already; the shown page keeps its tick.
    if (currentPageItem_) currentPageItem_->setChecked(true);
    return;
  }

  currentPageItem_ = entry;
  entry->setChecked(true);
  int current = FindPageEntry(entry->objectName().toStdString());
  BitBtnNext->setEnabled(NextEnabled(current, mode_));
  BitBtnPrev->setEnabled(PreviousEnabled(current, mode_));
  PanelNextPrev->setVisible(BitBtnNext->isEnabled() || BitBtnPrev->isEnabled());
  statusBar()->clearMessage();
  currentSelection_ = 0;

  int page = entry->property(kPageProperty).toInt();
  for (int i = PageControl->count() - 1; i >= 0; --i) {
    if (PageControl->widget(i)->property(kPageProperty).toInt() != page) continue;
    if (plan.StopFirst && runControl_) runControl_->Stop();
    PageControl->setCurrentIndex(i);
    ShowPageValues(page);
    break;
  }
  if (plan.ResetModelRun && runControl_) runControl_->ResetModelRun();

  if (PanelLower) {
    switch (plan.Lower) {
      case LowerArea::RoadView:
        PanelLower->setCurrentWidget(RoadViewMain);
        RoadViewMain->SetHeaderEnabled(current >= 0 &&
                                       kPageEntries[current].Menu == PageMenu::RoadDesign);
        RedrawRoad();
        break;
      case LowerArea::ParameterGrid:
        PanelLower->setCurrentWidget(PanelParameterGrid);
        statusBar()->clearMessage();
        break;
      case LowerArea::BatchGrid:
        PanelLower->setCurrentWidget(PanelBatchGrid);
        statusBar()->clearMessage();
        break;
    }
  }
  // Any page change stops a running simulation between two steps.
  if (runControl_) runControl_->StopRunning();
  if (plan.RefreshStepCount && runControl_) runControl_->RefreshStepCount();
}
