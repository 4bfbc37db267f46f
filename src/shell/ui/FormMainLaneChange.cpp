// The lane change behaviour page: Rebuild and Update regenerate the lane change areas of every
// destination from the road, each as one undo point; a drag over the road toggles the lanes
// every vehicle must leave.

#include <algorithm>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "config/VDCTypes.h"
#include "roadview/LaneChangeAreaEditing.h"
#include "roadview/LaneChangeGeneration.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/RoadEditing.h"
#include "roadview/ui/PageLaneChangeAreas.h"
#include "roadview/ui/PageLaneChangeBehavior.h"
#include "roadview/ui/RoadView.h"
#include "shell/PageCatalogue.h"
#include "shell/ui/FormMain.h"

void TFormMain::CreateLaneChangePages() {
  PageLaneChangeBehavior = new TPageLaneChangeBehavior;
  HostPage(kLaneChangeBehaviorPage, PageLaneChangeBehavior);
  connect(PageLaneChangeBehavior, &TPageLaneChangeBehavior::RebuildClick, this,
          [this] { RegenerateLaneChangeAreas(false); });
  connect(PageLaneChangeBehavior, &TPageLaneChangeBehavior::UpdateClick, this,
          [this] { RegenerateLaneChangeAreas(true); });

  PageLaneChangeAreas = new TPageLaneChangeAreas;
  HostPage(kLaneChangeAreasPage, PageLaneChangeAreas);
  connect(PageLaneChangeAreas, &TPageLaneChangeAreas::ChoiceChanged, this,
          &TFormMain::ShowLaneChangeAreas);
  connect(PageLaneChangeAreas, &TPageLaneChangeAreas::Commit, this,
          &TFormMain::LaneChangeAreaCommit);
}

void TFormMain::RegenerateLaneChangeAreas(bool keepLengths) {
  RecordUndo(Text("LabelRebuildLaneChangeAreas"));
  const LaneChangeSettings settings = PageLaneChangeBehavior->Settings();
  const DebugSink debug = [this](const std::string& line) { DebugWrite(line); };
  if (keepLengths)
    UpdateLaneChangeAreas(Config(), settings, debug);
  else
    GenerateLaneChangeAreas(Config(), settings, debug);
  ConfigurationChanged();
  RedrawRoad();
}

// After a selection drag on the behaviour page: the selected lanes get the opposite of the
// "all lane change required" value of the cell where the drag started.
void TFormMain::ToggleAllLaneChange(int pressSection, int pressLane) {
  KDConfig& config = Config();
  const int section = std::min(std::max(pressSection, 0), config.Boundaries());
  const int lane = std::min(std::max(pressLane, 0), MaxLane() - 1);
  const float v = 1.0f - config.PhysicalSectionProperty(section, lane, PP_ALLLANECHANGE);
  RecordUndo(Text("LabelChangeAllLaneChangeRequired"));
  const SelectedRange r = SelectedCells(config, selection_);
  for (int s = r.sectionLo; s <= r.sectionHi; ++s)
    for (int l = r.laneLo; l <= r.laneHi; ++l)
      config.SetPhysicalSectionProperty(s, l, PP_ALLLANECHANGE, v);
  ConfigurationChanged();
  RedrawRoad();
}

// ---- Lane change areas -----------------------------------------------------------------------

// The road shows the chosen destination and its areas; on the area page the chosen area is
// highlighted as well.
void TFormMain::ShowLaneChangeAreas() {
  PageLaneChangeAreas->Refresh(Config());
  const int d = PageLaneChangeAreas->Sink();
  const int a = CurrentPage() == kLaneChangeAreasPage ? PageLaneChangeAreas->Area() : -1;
  currentSelection_ = d >= 0 ? MakeRoadDrawFlags(RoadDrawKind::Destination,
                                                 static_cast<std::uint32_t>(d + 1 + 256 * (a + 1)))
                             : 0;
  RedrawRoad();
}

void TFormMain::LaneChangeAreaCommit(bool toAll) {
  const int d = PageLaneChangeAreas->Sink();
  const int a = PageLaneChangeAreas->Area();
  AreaEdit edit;
  if (!PageLaneChangeAreas->ReadEdit(edit)) return;
  const int types = std::clamp(Config().VDCTypeCount(VDC_KAVRO), 1, MAXVEHICLETYPE);
  if (!toAll && !AreaEditChanges(Config(), d, a, edit, types)) return;
  if (edit.probability > 100) return;
  RecordUndo(Text("LabelEditLaneChangeArea"));
  ApplyAreaEdit(Config(), d, a, edit, toAll);
  ConfigurationChanged();
  ShowLaneChangeAreas();
}

// A press on the area page commits the fields and picks the chosen destination's area under
// the point.
bool TFormMain::LaneChangeAreaMouseDown(int x, int y) {
  if (CurrentPage() != kLaneChangeAreasPage) return false;
  LaneChangeAreaCommit(false);
  const int d = PageLaneChangeAreas->Sink();
  const int lane = LaneAtY(y);
  if (d < 0 || lane < 0) return true;
  const int a = AreaAt(Config(), d, lane, PixelToPosition(RoadViewMain->Viewport(), x));
  if (a < 0) return true;
  PageLaneChangeAreas->ChooseArea(a);
  ShowLaneChangeAreas();
  return true;
}
