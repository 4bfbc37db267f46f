#pragma once

#include <array>
#include <functional>
#include <string>

#include "roadview/RoadGeometry.h"

class KDConfig;

// The road editor's selection and commands, without a window: the main window turns mouse
// gestures and menu choices into these calls, records the undo point first and redraws after.

/// The selected rectangle of the road. After a finished gesture laneFrom <= laneTo and
/// sectionFrom >= sectionTo (sectionFrom is the upstream end); -1 in laneFrom means all lanes,
/// -1 in sectionFrom all sections.
struct RoadEditSelection {
  int laneFrom = -1;
  int laneTo = -1;
  int sectionFrom = -1;
  int sectionTo = -1;

  bool operator==(const RoadEditSelection&) const = default;
  /// As the selection rectangle of the picture names it.
  RoadSelection Drawn() const;
  /// Both a lane range and a section range.
  bool Complete() const { return laneFrom >= 0 && sectionFrom >= 0; }
};

/// The road position [m] under pixel column x, in whole metres.
int PixelToPosition(const RoadViewport& view, int x);
/// The lane row under pixel row y; -1 above the lanes or below the last lane of the mode.
int LaneAtY(int y);
/// The end of a selection drag: lanes ascending, sections upstream first; releasing beside
/// the lanes selects all lanes, beside the road all sections.
void OrderSelection(RoadEditSelection& selection);
/// "Section=%d..%d, lane=%d..%d" of the debug output.
std::string SelectionDebugLine(const RoadEditSelection& selection);

/// The lane sections a command works on: all of them for -1.
struct SelectedRange {
  int laneLo;
  int laneHi;
  int sectionLo;  // downstream end
  int sectionHi;  // upstream end
};
SelectedRange SelectedCells(const KDConfig& config, const RoadEditSelection& selection);

// ---- Lane types ------------------------------------------------------------------------------

/// The lane type commands of the buttons and of the road pop-up menu, in table order.
enum class LaneTypeCommand {
  Unpaved,
  NoChange,
  ChangeRight,
  ChangeLeft,
  AnyChange,
  ForceRight,
  ForceLeft,
  Blocked,
  PavedAllVehicles,
  PavedIcc,
  TaperedOnRamp,
  TaperedOffRamp,
  TeleportIn,
  TeleportOut,
};
constexpr int kLaneTypeCommands = 14;

struct LaneTypeCommandInfo {
  const char* button;   // BitBtn...
  const char* item;     // Item...
  const char* caption;  // menu entry
  const char* hint;     // button hint
  int value;            // lane type bits
};
const LaneTypeCommandInfo& LaneTypeCommandOf(LaneTypeCommand command);
/// Whether the command is offered at all in a program mode (buttons and entries).
bool LaneTypeButtonVisible(LaneTypeCommand command, int programMode);
bool LaneTypeItemVisible(LaneTypeCommand command, int programMode);

/// Which lane type commands the selection allows. The selection is clamped to the sections
/// the road has.
std::array<bool, kLaneTypeCommands> LaneTypeAvailability(const KDConfig& config,
                                                         RoadEditSelection& selection);
/// Gives the selected lanes of the selected sections the lane type `value` (a tapered ramp:
/// the pair of two selected lanes). Returns why the road cannot take it (too many origins,
/// say), empty on success; a refusal can leave part of the selection changed, so callers try
/// the edit on a copy first (RefusalOnCopy).
std::string SetSelectionLaneType(KDConfig& config, const RoadEditSelection& selection, int value);

// ---- Section header --------------------------------------------------------------------------

/// Where "Split section" puts the boundary in the section of header item k, for a press at
/// road position `clicked` [m].
int SplitPosition(const KDConfig& config, int item, int clicked);
/// "Split section" of header item k at road position `clicked` [m]; returns why the road
/// cannot take another boundary, empty on success.
std::string SplitSection(KDConfig& config, int item, int clicked);
/// "Delete section" of header item k; returns why it cannot be deleted, empty on success.
std::string DeleteSection(KDConfig& config, int item);
/// After a boundary insert (+1) or delete (-1) through header item k: the selection stays on
/// the same stretch of road. `boundaries` is the new section count minus 1.
void ShiftSelectionForHeader(RoadEditSelection& selection, int boundaries, int item, int shift);
/// The boundary a header drag puts at x: clamped 1 m inside the neighbouring boundaries.
int ResizePosition(const KDConfig& config, int section, int position);

// ---- Road pieces -------------------------------------------------------------------------------

/// The clipboard text of the selection.
std::string CopySelection(const KDConfig& config, const RoadEditSelection& selection);
/// The selected sections hold no paved lane outside the selected lanes.
bool WholeCrossSection(const KDConfig& config, const RoadEditSelection& selection);
/// Cut after the copy: a whole cross-section merges the sections into one unpaved section,
/// else the selected lanes become unpaved. Returns why the road cannot take it, empty on
/// success; callers try it on a copy first.
std::string CutSelection(KDConfig& config, RoadEditSelection& selection, bool wholeCrossSection);

enum class PasteKind { Replace, Before, After };
/// Pastes a road piece at the selection; the selection then covers the pasted sections.
/// Returns why it cannot be pasted (nothing changed then, as far as the check of the piece
/// reaches); empty on success. Callers try it on a copy first.
std::string PasteSelection(KDConfig& config, RoadEditSelection& selection, const std::string& text,
                           PasteKind kind);

/// Runs a road edit on a scratch copy of the configuration and of the selection: why the edit
/// is refused there, empty when the real one will succeed. Every step of an edit asks the
/// configuration's checks first, so neither the copy nor the real edit reaches a program
/// error.
std::string RefusalOnCopy(const KDConfig& config, const RoadEditSelection& selection,
                          const std::function<std::string(KDConfig&, RoadEditSelection&)>& edit);
