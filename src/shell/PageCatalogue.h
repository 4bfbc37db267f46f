#pragma once

#include <string>

// The pages of the main window and the menu entries that choose them. The entries of the menus
// "&Road design", "&Traffic" and "&Simulate" are listed in menu order; Next and Previous walk
// through the visible ones.

enum class PageMenu { RoadDesign = 0, Traffic = 1, Simulate = 2 };

struct PageEntry {
  PageMenu Menu;
  const char* Item;  // object name of the menu entry
  const char* Caption;
  int Page;      // entries with the same number show the same page
  bool InKavro;  // shown in KAVRO mode
  bool InDovel;  // shown in DOVEL mode
};

constexpr int kPageEntryCount = 23;
extern const PageEntry kPageEntries[kPageEntryCount];

/// Page numbers of the pages other code switches to or asks for.
constexpr int kPhysicalRoadLayoutPage = 1;
constexpr int kODNamesPage = 2;
constexpr int kSurfaceDetailsPage = 4;
constexpr int kTrafficControlPage = 5;
constexpr int kLaneChangeBehaviorPage = 6;
constexpr int kLaneChangeAreasPage = 7;
constexpr int kDetectorsPage = 8;
constexpr int kSpeedLimitPage = 9;
constexpr int kDovelSurfaceDetailsPage = 10;
constexpr int kCompositionPage = 11;
constexpr int kFlowPerOriginPage = 12;
constexpr int kODMatrixPage = 13;
constexpr int kParameterPage = 14;
constexpr int kGenerationPage = 16;
constexpr int kSettingsPage = 21;
constexpr int kRunPage = 22;
constexpr int kBatchPage = 23;

bool EntryVisible(int entry, int programMode);

/// Index of the entry with object name `item`, or -1.
int FindPageEntry(const std::string& item);

/// The entry Next chooses after `current`: the first visible entry after it in its menu, else
/// the first visible entry of a following menu; -1 when there is none.
int NextPageEntry(int current, int programMode);
/// The entry Previous chooses: the last visible entry before `current`, also across menus; -1
/// when there is none.
int PreviousPageEntry(int current, int programMode);

/// Next is enabled when a visible entry follows in the menu of `current`, or that menu is not
/// Simulate; Previous when one precedes, or the menu is not Road design.
bool NextEnabled(int current, int programMode);
bool PreviousEnabled(int current, int programMode);

/// The entries ticked at start-up in each menu for `programMode`.
int InitialEntry(PageMenu menu, int programMode);

/// The title of page `page`; "" for a number no page carries.
std::string PageTitle(int page);

/// Every page number that has a page, in ascending order, ended by 0.
extern const int kPageNumbers[];
