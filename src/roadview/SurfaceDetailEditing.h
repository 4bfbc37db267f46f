#pragma once

#include <string>
#include <vector>

#include "roadview/RoadDrawFlags.h"
#include "roadview/RoadEditing.h"

class KDConfig;

// The surface detail and speed limit pages without a window: the detail rows, the values a
// page shows and offers, and the writes into the selected cells. The main window records the
// undo point before any write and redraws after.

/// One editable detail of the KAVRO surface details page. The page shows the stored property
/// times `factor`, within low .. high, offering steps + 1 values in its pop-up menu.
struct SurfaceDetailRow {
  std::string name;
  std::string unit;
  float factor = 1.0f;
  float low = 0.0f;
  float high = 1.0f;
  int steps = 1;
  int property = 0;  // PP_...
  RoadDrawKind aspect = RoadDrawKind::None;

  /// A yes/no detail, edited with a check box.
  bool YesNo() const { return steps == 1 && low == 0.0f && high == 1.0f; }
  /// A unit in tenths of a percent, shown as a percentage with one decimal.
  bool PerMille() const;
};

constexpr int kKavroSurfaceRows = 3;
/// Row `index` (0 speed suppression, 1 closed for overtaking trucks, 2 speed limit) named by
/// `caption` "name|unit"; an index outside the rows gives a row that edits nothing.
SurfaceDetailRow KavroSurfaceRow(int index, const std::string& caption);

/// The shown value of one cell: the stored property times the row's factor.
float SurfaceValue(const KDConfig& config, const SurfaceDetailRow& row, int section, int lane);
/// Whole number the value field shows for the cell (trunc(value + 0.01)).
int SurfaceFieldValue(const KDConfig& config, const SurfaceDetailRow& row, int section, int lane);
/// The cell the page shows: the first selected section and lane (0 when all are selected).
struct ShownCell {
  int section;
  int lane;
};
ShownCell ShownSurfaceCell(const RoadEditSelection& selection);

/// Some selected cell is a paved lane that is not blocked.
bool SelectionHoldsOpenLane(const KDConfig& config, const RoadEditSelection& selection);
/// Whether `value` (as shown) is within the row's range and storable.
bool SurfaceValueAllowed(const SurfaceDetailRow& row, int value);
/// Stores `value` (as shown) into every selected cell; false, changing nothing, when the value
/// is outside the row's range.
bool SetSurfaceValue(KDConfig& config, const SurfaceDetailRow& row,
                     const RoadEditSelection& selection, int value);

/// One entry of a value pop-up menu, top to bottom.
struct ValueMenuEntry {
  int value;
  std::string caption;
};
/// The generated entries of the KAVRO page's pop-up menu, highest value on top; "&Other"
/// follows them for a list row.
std::vector<ValueMenuEntry> SurfaceMenuEntries(const SurfaceDetailRow& row);
/// The entries of the DOVEL speed limit pop-up menu, 20 .. 150 km/h.
std::vector<ValueMenuEntry> SpeedLimitMenuEntries();
/// The entry ticked when a menu opens over a field holding `fieldValue`: the first within 1
/// of it; -1 for "&Other".
int TickedMenuEntry(const std::vector<ValueMenuEntry>& entries, int fieldValue);
/// The caption of the row's "&Other" dialog, "Set speed limit [km/h]".
std::string SurfaceOtherCaption(const SurfaceDetailRow& row);

/// The whole text is one whole number (an optional sign and digits, nothing else).
bool ScanFieldNumber(const std::string& text, int& value);

/// DOVEL speed limit field: the limit of the first selected section (lane 0), rounded.
int SectionSpeedLimit(const KDConfig& config, const RoadEditSelection& selection);
/// DOVEL mode: the speed limit belongs to the section; stores `limit` [km/h] into lane 0 of
/// every selected section.
void SetSectionSpeedLimit(KDConfig& config, const RoadEditSelection& selection, int limit);

// ---- DOVEL surface details ------------------------------------------------------------------
// One external model detail d (0 .. 8) at a time, edited with a slider of whole steps from the
// model's minimum. A per-lane detail is kept per lane; any other is one value of the section,
// kept at lane 0.

struct SurfaceDetailInfo;

/// The slider's last position: trunc((maximum - minimum) / step + 0.1); 0 for a detail
/// without a usable step or range.
int DetailSliderMaximum(const SurfaceDetailInfo& info);
/// The position showing `value`: trunc((value - minimum) / step + 0.4), within the slider.
int DetailSliderPosition(const SurfaceDetailInfo& info, float value);
/// The value a position stands for: position x step + minimum, at most the maximum.
float DetailSliderValue(const SurfaceDetailInfo& info, int position);
/// The value label: the model's format applied to the value (real details) or to its whole
/// part; a format the value cannot safely fill falls back to a plain number.
std::string DetailValueText(const SurfaceDetailInfo& info, float value);
/// Empty for a per-lane detail; otherwise caption + " affects all lanes at once".
std::string DetailPerLaneComment(const SurfaceDetailInfo& info);
/// The value the page shows: the first selected section's, for a per-lane detail in the
/// first selected lane that is paved (the first selected lane when none is).
float ShownDetailValue(const KDConfig& config, const RoadEditSelection& selection, int detail,
                       bool perLane);
/// The cells one slider move writes: only the first selected section; lanes from the first
/// selected to the last (all lanes without a lane selection) for a per-lane detail, else lane 0
/// holding the section's single value.
SelectedRange DetailCells(const KDConfig& config, const RoadEditSelection& selection, bool perLane);
/// Stores `value` into detail `detail` of those cells.
void SetDetailValue(KDConfig& config, const RoadEditSelection& selection, int detail, bool perLane,
                    float value);
