#include "shell/PageCatalogue.h"

#include "config/ProgramMode.h"

const PageEntry kPageEntries[kPageEntryCount] = {
    {PageMenu::RoadDesign, "ItemPhysicalRoadLayout", "&Physical road layout", 1, true, true},
    {PageMenu::RoadDesign, "ItemODNames", "&OD names", 2, true, true},
    {PageMenu::RoadDesign, "ItemLinkTeleports", "&Link teleports", 3, false, false},
    {PageMenu::RoadDesign, "ItemKAVROSurfaceDetails", "&Surface details", 4, true, false},
    {PageMenu::RoadDesign, "ItemTrafficControl", "&Traffic control", 5, true, false},
    {PageMenu::RoadDesign, "ItemLaneChangeBehavior", "&Generate lane change behavior", 6, true,
     false},
    {PageMenu::RoadDesign, "ItemEditLaneChangeAreas", "&Edit lane change areas", 7, true, true},
    {PageMenu::RoadDesign, "ItemDetectors", "&Detectors", 8, true, true},
    {PageMenu::RoadDesign, "ItemSpeedLimit", "&Speed limit", 9, false, true},
    {PageMenu::RoadDesign, "ItemDOVELSurfaceDetails", "Surface &details", 10, false, true},
    {PageMenu::Traffic, "ItemComposition", "&Composition", 11, true, true},
    {PageMenu::Traffic, "ItemFlowPerOrigin", "&Flow per origin", 12, true, false},
    {PageMenu::Traffic, "ItemOriginDestinationMatrix", "&Origin - Destination matrix", 13, true,
     false},
    {PageMenu::Traffic, "ItemVehicleProperties", "&Vehicle properties", 14, false, true},
    {PageMenu::Traffic, "ItemDriverProperties", "&Driver properties", 14, false, true},
    {PageMenu::Traffic, "ItemGeneration", "&Generation", 16, false, true},
    {PageMenu::Traffic, "ItemVehicleDriverProperties", "&Vehicle driver properties", 14, true,
     false},
    {PageMenu::Traffic, "ItemVehicleDriverFrequencies", "Vehicle - Driver &frequencies", 15, false,
     true},
    {PageMenu::Traffic, "ItemICCParameters", "&ICC parameters", 14, false, true},
    {PageMenu::Simulate, "ItemSettings", "&Settings", 21, true, false},
    {PageMenu::Simulate, "ItemSettingsDOVEL", "Settings", 14, false, true},
    {PageMenu::Simulate, "ItemRun", "&Run", 22, true, true},
    {PageMenu::Simulate, "ItemBatch", "&Batch", 23, true, false},
};

const int kPageNumbers[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 21, 22, 23, 0};

bool EntryVisible(int entry, int programMode) {
  if (entry < 0 || entry >= kPageEntryCount) return false;
  return programMode == DOVEL ? kPageEntries[entry].InDovel : kPageEntries[entry].InKavro;
}

int FindPageEntry(const std::string& item) {
  for (int i = 0; i < kPageEntryCount; ++i)
    if (item == kPageEntries[i].Item) return i;
  return -1;
}

int NextPageEntry(int current, int programMode) {
  for (int i = current + 1; i < kPageEntryCount; ++i)
    if (EntryVisible(i, programMode)) return i;
  return -1;
}

int PreviousPageEntry(int current, int programMode) {
  for (int i = current - 1; i >= 0; --i)
    if (EntryVisible(i, programMode)) return i;
  return -1;
}

bool NextEnabled(int current, int programMode) {
  if (current < 0 || current >= kPageEntryCount) return false;
  if (kPageEntries[current].Menu != PageMenu::Simulate) return true;
  int next = NextPageEntry(current, programMode);
  return next >= 0 && kPageEntries[next].Menu == PageMenu::Simulate;
}

bool PreviousEnabled(int current, int programMode) {
  if (current < 0 || current >= kPageEntryCount) return false;
  if (kPageEntries[current].Menu != PageMenu::RoadDesign) return true;
  int previous = PreviousPageEntry(current, programMode);
  return previous >= 0 && kPageEntries[previous].Menu == PageMenu::RoadDesign;
}

int InitialEntry(PageMenu menu, int programMode) {
  switch (menu) {
    case PageMenu::RoadDesign:
      return FindPageEntry("ItemPhysicalRoadLayout");
    case PageMenu::Traffic:
      return FindPageEntry("ItemComposition");
    case PageMenu::Simulate:
      return FindPageEntry(programMode == DOVEL ? "ItemSettingsDOVEL" : "ItemSettings");
  }
  return -1;
}

std::string PageTitle(int page) {
  switch (page) {
    case 1:
      return "Road design: Physical road layout";
    case 2:
      return "Roaddesign: Origin and destination names";
    case 3:
      return "Road design: Link teleports";
    case 4:
      return "Road design: Surface details";
    case 5:
      return "Road design: Traffic control";
    case 6:
      return "Road design: Generate lane change behavior";
    case 7:
      return "Road design: Edit lane change areas";
    case 8:
      return "Road design: Detectors";
    case 9:
      return "Road design: Speed limit";
    case 10:
      return "Road design: Surface details";
    case 11:
      return "Traffic: Composition";
    case 12:
      return "Traffic: Flow per origin";
    case 13:
      return "Traffic: Origin - Destination matrix";
    case 14:
      return "Vehicle and driver parameters";
    case 16:
      return "Traffic: Generation";
    case 21:
      return "Simulate: Settings";
    case 22:
      return "Simulate: Run";
    case 23:
      return "Simulate: Batch";
  }
  return std::string();
}
