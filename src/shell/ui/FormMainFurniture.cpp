// The detectors, traffic control and lane change pages: the pages commit their own commands
// through the host; the main window creates them, shows them and routes the road's presses to
// them.

#include "config/KDConfig.h"
#include "roadview/ui/PageFurniture.h"
#include "roadview/ui/PageLaneChangeAreas.h"
#include "roadview/ui/PageLaneChangeBehavior.h"
#include "shell/PageCatalogue.h"
#include "shell/ui/FormMain.h"

void TFormMain::CreateFurniturePages() {
  PageDetectors = new TPageDetectors(TrafficHost());
  HostPage(kDetectorsPage, PageDetectors, PageDetectors);
  PageTrafficControl = new TPageTrafficControl(TrafficHost());
  HostPage(kTrafficControlPage, PageTrafficControl, PageTrafficControl);
}

void TFormMain::CreateLaneChangePages() {
  PageLaneChangeAreas = new TPageLaneChangeAreas(TrafficHost());
  PageLaneChangeBehavior = new TPageLaneChangeBehavior(TrafficHost());
  // A destination glyph chooses the destination on both pages.
  HostPage(kLaneChangeBehaviorPage, PageLaneChangeBehavior, PageLaneChangeAreas);
  HostPage(kLaneChangeAreasPage, PageLaneChangeAreas, PageLaneChangeAreas);
}

void TFormMain::ShowFurniturePage(int page) {
  if (!document_) return;
  if (page == kDetectorsPage && PageDetectors) {
    PageDetectors->SetProgramMode(mode_);
    PageDetectors->ChooseDetector(PageDetectors->Chosen());
  }
  if (page == kTrafficControlPage && PageTrafficControl)
    PageTrafficControl->ChooseLight(PageTrafficControl->Chosen());
  // Both lane change pages show the destination list of the area page.
  if (page == kLaneChangeBehaviorPage && PageLaneChangeBehavior && PageLaneChangeAreas) {
    PageLaneChangeBehavior->HostSinkList(PageLaneChangeAreas->SinkList());
    PageLaneChangeAreas->Show(false);
  }
  if (page == kLaneChangeAreasPage && PageLaneChangeAreas) {
    PageLaneChangeAreas->ReclaimSinkList();
    PageLaneChangeAreas->Show(true);
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
