#include <gtest/gtest.h>

#include "config/ProgramMode.h"
#include "shell/PageCatalogue.h"

namespace {

int Entry(const char* item) { return FindPageEntry(item); }

TEST(PageCatalogueNavigation, NextCrossesMenusAndStopsAtTheEnd) {
  struct Case {
    int mode;
    const char* from;
    const char* next;  // null: none
  };
  const Case cases[] = {
      {KAVRO, "ItemPhysicalRoadLayout", "ItemODNames"},
      {KAVRO, "ItemODNames", "ItemKAVROSurfaceDetails"},  // teleport page is never shown
      {KAVRO, "ItemDetectors", "ItemComposition"},
      {KAVRO, "ItemVehicleDriverProperties", "ItemSettings"},
      {KAVRO, "ItemRun", "ItemBatch"},
      {KAVRO, "ItemBatch", nullptr},
      {DOVEL, "ItemODNames", "ItemEditLaneChangeAreas"},
      {DOVEL, "ItemDOVELSurfaceDetails", "ItemComposition"},
      {DOVEL, "ItemICCParameters", "ItemSettingsDOVEL"},
      {DOVEL, "ItemRun", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.from) + (c.mode == DOVEL ? " DOVEL" : " KAVRO"));
    EXPECT_EQ(NextPageEntry(Entry(c.from), c.mode), c.next ? Entry(c.next) : -1);
    if (c.next) {
      EXPECT_EQ(PreviousPageEntry(Entry(c.next), c.mode), Entry(c.from));
    }
  }
}

TEST(PageCatalogueNavigation, ButtonsEnabledAtTheEnds) {
  EXPECT_FALSE(PreviousEnabled(Entry("ItemPhysicalRoadLayout"), KAVRO));
  EXPECT_TRUE(NextEnabled(Entry("ItemPhysicalRoadLayout"), KAVRO));
  EXPECT_TRUE(NextEnabled(Entry("ItemVehicleDriverProperties"), KAVRO));
  EXPECT_TRUE(PreviousEnabled(Entry("ItemComposition"), KAVRO));
  EXPECT_FALSE(NextEnabled(Entry("ItemBatch"), KAVRO));
  EXPECT_TRUE(NextEnabled(Entry("ItemRun"), KAVRO));
  EXPECT_FALSE(NextEnabled(Entry("ItemRun"), DOVEL));
  EXPECT_TRUE(PreviousEnabled(Entry("ItemSettings"), KAVRO));
}

TEST(PageCatalogueEntries, InitialTicksAndModes) {
  EXPECT_EQ(InitialEntry(PageMenu::Simulate, KAVRO), Entry("ItemSettings"));
  EXPECT_EQ(InitialEntry(PageMenu::Simulate, DOVEL), Entry("ItemSettingsDOVEL"));
  for (PageMenu menu : {PageMenu::RoadDesign, PageMenu::Traffic, PageMenu::Simulate})
    for (int mode : {KAVRO, DOVEL}) {
      int entry = InitialEntry(menu, mode);
      EXPECT_TRUE(EntryVisible(entry, mode));
      EXPECT_EQ(kPageEntries[entry].Menu, menu);
    }
  EXPECT_FALSE(EntryVisible(Entry("ItemLinkTeleports"), KAVRO));
  EXPECT_FALSE(EntryVisible(Entry("ItemLinkTeleports"), DOVEL));
  EXPECT_EQ(PageTitle(15), "") << "no page carries number 15";
  // A page's title names its menu; both surface detail pages carry the same title.
  EXPECT_EQ(PageTitle(4), "Road design: Surface details");
  EXPECT_EQ(PageTitle(10), PageTitle(4));
  EXPECT_EQ(PageTitle(2), "Roaddesign: Origin and destination names");
  EXPECT_EQ(PageTitle(12), "Traffic: Flow per origin");
}

}  // namespace
