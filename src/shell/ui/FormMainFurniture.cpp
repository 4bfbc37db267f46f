// The detectors page and the traffic control page: every command records its undo point,
// changes the configuration through its setters and redraws the road, which keeps the lists
// up to date.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "roadview/FurnitureEditing.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/RoadEditing.h"
#include "roadview/RoadGeometry.h"
#include "roadview/ui/PageFurniture.h"
#include "roadview/ui/PageLaneChangeAreas.h"
#include "roadview/ui/PageLaneChangeBehavior.h"
#include "roadview/ui/RoadView.h"
#include "shell/PageCatalogue.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/FormValue.h"

void TFormMain::CreateFurniturePages() {
  auto config = [this]() -> const KDConfig& { return Config(); };
  PageDetectors = new TPageDetectors;
  PageDetectors->SetConfigSource(config);
  HostPage(kDetectorsPage, PageDetectors);
  connect(PageDetectors, &TPageDetectors::DetectorChosen, this, &TFormMain::DetectorChosen);
  connect(PageDetectors, &TPageDetectors::NewClick, this, &TFormMain::NewDetectorClick);
  connect(PageDetectors, &TPageDetectors::RemoveClick, this, [this] {
    const int d = PageDetectors->Chosen();
    if (d < 0 || d >= Config().DetectorCount()) return;
    RecordUndo(Text("LabelRemoveDetector"));
    Config().DeleteDetector(d);
    ConfigurationChanged();
    DetectorChosen(std::min(d, Config().DetectorCount() - 1));
  });
  connect(PageDetectors, &TPageDetectors::DeleteAllClick, this, [this] {
    if (Config().DetectorCount() == 0) return;
    RecordUndo(Text("LabelDeleteAllDetectors"));
    for (int d = Config().DetectorCount() - 1; d >= 0; --d) Config().DeleteDetector(d);
    ConfigurationChanged();
    DetectorChosen(-1);
  });
  connect(PageDetectors, &TPageDetectors::MoveClick, this, &TFormMain::MoveDetectorTo);
  connect(PageDetectors, &TPageDetectors::EveryClick, this, [this](int distance) {
    RecordUndo(Text("LabelAddDetectors"));
    AddDetectorsEvery(Config(), distance);
    ConfigurationChanged();
    DetectorChosen(PageDetectors->Chosen());
  });
  connect(PageDetectors, &TPageDetectors::CentredClick, this, [this] {
    RecordUndo(Text("LabelAddDetectors"));
    AddDetectorsCentred(Config());
    ConfigurationChanged();
    DetectorChosen(PageDetectors->Chosen());
  });

  PageTrafficControl = new TPageTrafficControl;
  PageTrafficControl->SetConfigSource(config);
  HostPage(kTrafficControlPage, PageTrafficControl);
  connect(PageTrafficControl, &TPageTrafficControl::LightChosen, this, &TFormMain::LightChosen);
  connect(PageTrafficControl, &TPageTrafficControl::NewClick, this, &TFormMain::NewLightClick);
  connect(PageTrafficControl, &TPageTrafficControl::ApplyClick, this, &TFormMain::ApplyLightClick);
  connect(PageTrafficControl, &TPageTrafficControl::RemoveClick, this, [this] {
    const int n = PageTrafficControl->Chosen();
    if (n < 0 || n >= Config().TrafficLightCount()) return;
    RecordUndo(Text("LabelDeleteTrafficLight"));
    Config().DeleteTrafficLight(n);
    ConfigurationChanged();
    LightChosen(-1);
  });
  connect(PageTrafficControl, &TPageTrafficControl::DeleteAllClick, this, [this] {
    if (Config().TrafficLightCount() == 0) return;
    RecordUndo(Text("LabelDeleteTrafficLight"));
    while (Config().TrafficLightCount() > 0) Config().DeleteTrafficLight(0);
    ConfigurationChanged();
    LightChosen(-1);
  });
}

void TFormMain::ShowFurniturePage(int page) {
  if (!document_) return;
  if (page == kDetectorsPage && PageDetectors) {
    PageDetectors->SetProgramMode(mode_);
    DetectorChosen(PageDetectors->Chosen());
  }
  if (page == kTrafficControlPage && PageTrafficControl) LightChosen(PageTrafficControl->Chosen());
  // Both lane change pages show the destination list of the area page.
  if (page == kLaneChangeBehaviorPage && PageLaneChangeBehavior && PageLaneChangeAreas) {
    PageLaneChangeBehavior->HostSinkList(PageLaneChangeAreas->SinkList());
    ShowLaneChangeAreas();
  }
  if (page == kLaneChangeAreasPage && PageLaneChangeAreas) {
    PageLaneChangeAreas->ReclaimSinkList();
    ShowLaneChangeAreas();
  }
}

// Part of every redraw while a page is shown: the lists follow the configuration.
void TFormMain::RefreshFurnitureLists(int page) {
  if (!document_) return;
  if (page == kDetectorsPage && PageDetectors) PageDetectors->RebuildList();
  if ((page == kLaneChangeBehaviorPage || page == kLaneChangeAreasPage) && PageLaneChangeAreas)
    PageLaneChangeAreas->Refresh(Config());
  if (page == kTrafficControlPage && PageTrafficControl) {
    PageTrafficControl->RebuildList();
    PageTrafficControl->TrafficLightChange();
  }
}

// ---- Detectors -------------------------------------------------------------------------------

void TFormMain::DetectorChosen(int d) {
  if (d >= Config().DetectorCount()) d = Config().DetectorCount() - 1;
  currentSelection_ = d >= 0 ? MakeRoadDrawFlags(RoadDrawKind::Detector, d + 1) : 0;
  PageDetectors->ShowDetector(d);
  RedrawRoad();
}

void TFormMain::NewDetectorClick() {
  const int p = FirstFreeDetectorPosition(Config());
  if (p >= Config().Length() || !Config().DetectorPositionValid(p)) return;
  RecordUndo(Text("LabelNewDetector"));
  Config().AddDetector(p);
  ConfigurationChanged();
  DetectorChosen(DetectorAt(Config(), p));
  // The user types the wanted position and presses Move.
  PageDetectors->EditDetectorPosition->setFocus();
  PageDetectors->EditDetectorPosition->selectAll();
}

void TFormMain::MoveDetectorTo(int position) {
  const int d = PageDetectors->Chosen();
  if (d < 0 || d >= Config().DetectorCount()) return;
  if (position <= 0 || position >= Config().Length() || DetectorAt(Config(), position) >= 0 ||
      !Config().DetectorPositionValid(position))
    return;
  RecordUndo(Text("LabelMoveDetector"));
  const int moved = MoveDetector(Config(), d, position);
  ConfigurationChanged();
  if (moved >= 0)
    DetectorChosen(moved);
  else
    RedrawRoad();
}

// ---- Traffic lights --------------------------------------------------------------------------

void TFormMain::LightChosen(int n) {
  if (n >= Config().TrafficLightCount()) n = -1;
  currentSelection_ = n >= 0 ? MakeRoadDrawFlags(RoadDrawKind::TrafficLight, n + 1) : 0;
  PageTrafficControl->ShowLight(n);
  RedrawRoad();
}

void TFormMain::NewLightClick() {
  KDConfig& config = Config();
  const int i = FirstFreeLightPosition(config);
  if (i >= config.Length()) return;
  LightFields fields;
  const bool numbers = PageTrafficControl->ReadFields(fields) ||
                       // the position field may be empty: only the times count here
                       (PageTrafficControl->EditTrafficLightPosition->setText("1"),
                        PageTrafficControl->ReadFields(fields));
  fields.position = i;
  fields.lane = std::max(PageTrafficControl->ComboBoxTrafficLightLane->currentIndex(), 0);
  if (!numbers || !LightFieldsProblem(config, -1, fields).empty()) {
    // Times that are no numbers or do not add up start from the usual ones.
    LightFields usual;
    usual.position = i;
    usual.lane = fields.lane;
    fields = usual;
  }
  if (!LightFieldsProblem(config, -1, fields).empty()) return;
  RecordUndo(Text("LabelNewTrafficLight"));
  config.AddTrafficLight("", fields.position, fields.lane, config.TrafficLightCount(), fields.cycle,
                         fields.green, fields.yellow, fields.offset);
  ConfigurationChanged();
  LightChosen(config.TrafficLightCount() - 1);
  PageTrafficControl->EditTrafficLightPosition->setFocus();
  PageTrafficControl->EditTrafficLightPosition->selectAll();
  PageTrafficControl->BitBtnTrafficLightApply->setEnabled(false);
}

void TFormMain::ApplyLightClick() {
  KDConfig& config = Config();
  const int n = PageTrafficControl->Chosen();
  if (n < 0 || n >= config.TrafficLightCount()) return;
  LightFields fields;
  if (!PageTrafficControl->ReadFields(fields) || !LightFieldsProblem(config, n, fields).empty())
    return;
  RecordUndo(Text("LabelChangeTrafficLight"));
  config.ModifyTrafficLight(n, config.TrafficLightController(n), fields.position, fields.lane,
                            config.TrafficLightNumber(n), fields.cycle, fields.green, fields.yellow,
                            fields.offset);
  ConfigurationChanged();
  LightChosen(n);
  PageTrafficControl->BitBtnTrafficLightApply->setEnabled(false);
}

// ---- Road gestures ---------------------------------------------------------------------------

// On the traffic control page a press picks the light under it; on the detectors page a press
// on a detector label chooses it and starts a drag (left) or asks for its position (right).
bool TFormMain::FurnitureMouseDown(int x, int y, Qt::MouseButton button, QPoint screen) {
  draggingDetector_ = false;
  if (LaneChangeAreaMouseDown(x, y)) return true;
  const int page = CurrentPage();
  const KDConfig& config = Config();
  if (page == kTrafficControlPage) {
    const RoadViewport view = RoadViewMain->Viewport();
    for (int n = config.TrafficLightCount() - 1; n >= 0; --n) {
      const int lx = PositionToPixel(view, static_cast<float>(config.TrafficLightPosition(n)));
      const int top = LaneTop(static_cast<float>(config.TrafficLightLane(n)));
      if (std::abs(x - lx) <= 8 && y > top && y < top + 23) {
        LightChosen(n);
        return true;
      }
    }
    return true;
  }
  if (page != kDetectorsPage) return false;
  const int d = DetectorLabelAt(x, y);
  if (d < 0) return false;
  DetectorChosen(d);
  SetStatusText("Detector " + std::to_string(d + 1) + " -> " +
                std::to_string(config.DetectorPosition(d)) + "m");
  if (button == Qt::RightButton) {
    int value = 0;
    if (!AskValue(this, screen.x(), screen.y(), config.DetectorPosition(d), 1, config.Length(),
                  "Enter new position", "Set detector position", value))
      return true;
    const int other = DetectorAt(Config(), value);
    if (other >= 0 && other != d) {
      UserMessage(ReportKind::Warning, "Error",
                  "New position coincides with another detector; position unchanged");
      return true;
    }
    PageDetectors->EditDetectorPosition->setText(QString::number(value));
    MoveDetectorTo(value);
    return true;
  }
  if (button == Qt::LeftButton) {
    draggingDetector_ = true;
    dragDetector_ = d;
  }
  return true;
}

int TFormMain::DraggedDetectorPosition(int x) const {
  const RoadViewport view = RoadViewMain->Viewport();
  return PixelToPosition(view, x) + document_->Config().DetectorPosition(dragDetector_) -
         PixelToPosition(view, downX_);
}

bool TFormMain::FurnitureMouseMove(int x) {
  if (!draggingDetector_) return false;
  SetStatusText("Detector " + std::to_string(dragDetector_ + 1) + " -> " +
                std::to_string(DraggedDetectorPosition(x)) + "m");
  return true;
}

bool TFormMain::FurnitureMouseUp(int x) {
  if (!draggingDetector_) return false;
  draggingDetector_ = false;
  const int p = DraggedDetectorPosition(x);
  if (p <= 0 || p >= Config().Length() || DetectorAt(Config(), p) >= 0) return true;
  PageDetectors->EditDetectorPosition->setText(QString::number(p));
  MoveDetectorTo(p);
  return true;
}
