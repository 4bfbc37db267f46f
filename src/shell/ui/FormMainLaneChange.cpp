// The lane change behaviour page: Rebuild and Update regenerate the lane change areas of every
// destination from the road, each as one undo point; a drag over the road toggles the lanes
// every vehicle must leave.

#include <algorithm>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "roadview/LaneChangeGeneration.h"
#include "roadview/ui/PageLaneChangeBehavior.h"
#include "shell/ui/FormMain.h"

namespace {

constexpr int kLaneChangeBehaviorPage = 6;

}  // namespace

void TFormMain::CreateLaneChangePages() {
  PageLaneChangeBehavior = new TPageLaneChangeBehavior;
  HostPage(kLaneChangeBehaviorPage, PageLaneChangeBehavior);
  connect(PageLaneChangeBehavior, &TPageLaneChangeBehavior::RebuildClick, this,
          [this] { RegenerateLaneChangeAreas(false); });
  connect(PageLaneChangeBehavior, &TPageLaneChangeBehavior::UpdateClick, this,
          [this] { RegenerateLaneChangeAreas(true); });
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
