// The traffic demand pages of the main window: origin and destination names, composition, OD
// matrix, flow per origin and the vehicle and driver parameters. The pages edit the current
// configuration through the host calls made here.

#include <QApplication>
#include <QLabel>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableWidget>

#include "config/KDConfig.h"
#include "roadview/ui/PageDemandBars.h"
#include "roadview/ui/PageFlowPerOrigin.h"
#include "roadview/ui/PageODNames.h"
#include "roadview/ui/PageParameters.h"
#include "roadview/ui/RoadView.h"
#include "shell/PageCatalogue.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/FormValue.h"
#include "shell/ui/QtText.h"

TrafficPageHost TFormMain::TrafficHost() {
  TrafficPageHost host;
  host.config = [this]() -> KDConfig& { return Config(); };
  host.recordUndo = [this](const std::string& label) { RecordUndo(label); };
  host.changed = [this] {
    ConfigurationChanged();
    RedrawRoad();
  };
  host.highlight = [this](std::uint32_t selection) {
    SetCurrentSelection(selection);
    RedrawRoad();
  };
  host.status = [this](const std::string& text) { SetStatusText(text); };
  host.ask = [this](const std::string& caption, const std::string& text, bool yesNo) {
    const Answer answer =
        Ask({caption, text, yesNo ? QuestionButtons::YesNo : QuestionButtons::OkCancel});
    return answer == Answer::Ok || answer == Answer::Yes;
  };
  host.debug = [this](const std::string& line) { DebugWrite(line); };
  host.beep = [] { QApplication::beep(); };
  host.redraw = [this] { RedrawRoad(); };
  host.pointer = [this](int& sx, int& sy) {
    sx = lastScreenPoint_.x();
    sy = lastScreenPoint_.y();
  };
  host.text = [this](const std::string& label) { return Text(label); };
  host.viewport = [this] { return RoadViewMain->Viewport(); };
  host.areas = [this]() -> const RoadDisplayAreas& { return RoadViewMain->DisplayAreas(); };
  host.selection = [this]() -> const RoadEditSelection& { return selection_; };
  host.askValue = [this](int sx, int sy, int current, int minimum, int maximum,
                         const std::string& prompt, const std::string& caption, int& value) {
    return AskValue(this, sx, sy, current, minimum, maximum, prompt, caption, value);
  };
  return host;
}

void TFormMain::CreateTrafficPages() {
  PageODNames = new TPageODNames(TrafficHost());
  HostPage(kODNamesPage, PageODNames, PageODNames);
  PageComposition = new TPageComposition(TrafficHost());
  HostPage(kCompositionPage, PageComposition);
  PageODMatrix = new TPageODMatrix(TrafficHost());
  HostPage(kODMatrixPage, PageODMatrix);
  PageFlowPerOrigin = new TPageFlowPerOrigin(TrafficHost());
  HostPage(kFlowPerOriginPage, PageFlowPerOrigin, PageFlowPerOrigin);
  PageParameters = new TPageParameters(TrafficHost());
  HostPage(kParameterPage, PageParameters);
  // The parameter grid takes the place of the placeholder below the page area.
  PanelLower->removeWidget(PanelParameterGrid);
  delete PanelParameterGrid;
  PanelParameterGrid = PageParameters->GridPanel();
  PanelLower->addWidget(PanelParameterGrid);
}

bool TFormMain::FlowPasteAvailable() {
  return CurrentPage() == kFlowPerOriginPage && PageFlowPerOrigin->PasteFlowValues(false);
}

bool TFormMain::FlowPasteClick() {
  if (CurrentPage() != kFlowPerOriginPage) return false;
  PageFlowPerOrigin->PasteFlowValues(true);
  return true;
}

void TFormMain::ShowTrafficPageValues(int page) {
  switch (page) {
    case kODNamesPage:
      PageODNames->ShowValues();
      break;
    case kCompositionPage:
      PageComposition->SetProgramMode(mode_);
      PageComposition->ShowValues();
      break;
    case kODMatrixPage:
      PageODMatrix->ShowValues();
      break;
    case kFlowPerOriginPage:
      PageFlowPerOrigin->ShowValues();
      break;
    case kParameterPage: {
      PageParameters->SetEntry(
          currentPageItem_ ? ToText(currentPageItem_->objectName()) : std::string(), mode_);
      if (auto* title = PageControl->currentWidget()->findChild<QLabel*>("LabelPageTitle14"))
        title->setText(FromText(PageParameters->Title()));
      PageParameters->RebuildParamGrid();
      break;
    }
    default:
      break;
  }
}

void TFormMain::TrafficConfigurationReplaced() {
  if (PageParameters) PageParameters->ClearCalibration();
}
