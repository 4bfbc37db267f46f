#pragma once

#include <functional>
#include <string>
#include <vector>

// The proportional bar editor without a window: one horizontal bar per row, cut into segments
// whose widths are the shares of the columns (vehicle types, classes or destinations). The
// user drags the border between two segments, or a middle segment as a whole; the shares of
// the neighbours change by the same amount.

struct BarEditorSource {
  int rows = 0;
  int columns = 0;
  std::function<std::string(int row)> rowName;
  std::function<std::string(int column)> columnName;
  std::string rowHeaderFormat;  // "%d"-style, filled with row + 1; empty: the row name
  std::string captionFormat;
  std::string hintFormat;
  std::function<bool(int row, int column)> warn;  // drawn red (OD: unreachable)
  std::function<float(int row, int column, bool normalised)> get;
  std::function<void(int row, int column, float share)> set;
};

/// Fills a caption or hint format: "%C" column name, "%R" row name, "%P" the share in percent
/// with one decimal (digits and dots before the letter give a width), "%%" a percent sign; an
/// unknown letter prints nothing.
std::string FormatBarText(const std::string& format, const std::string& rowName,
                          const std::string& columnName, float share);

/// The text of the row's header cell.
std::string BarRowHeader(const BarEditorSource& source, int row);

struct BarSegment {
  int row = 0;
  int column = 0;
  int left = 0;   // [px] within the bar area
  int right = 0;  // [px], exclusive
  bool first = false;
  bool last = false;
};

/// The segments of every row over a bar area `width` pixels wide, from the raw shares.
std::vector<BarSegment> LayoutBars(const BarEditorSource& source, int width);

enum class BarDragKind { None = 0, LeftBorder = 1, RightBorder = 2, Whole = 3 };

struct BarDrag {
  BarDragKind kind = BarDragKind::None;
  int low = 0;  // allowed mouse x within the segment [px]
  int high = 0;
};

/// Which drag a left-button press at x within a segment `width` pixels wide starts; the
/// neighbours' shares (0 .. 1) limit how far it may go in an area `barWidth` pixels wide.
BarDrag StartBarDrag(int x, int width, bool first, bool last, float previousShare, float nextShare,
                     int barWidth);

/// Whether x within a segment lies on a border that can be dragged.
bool OnDraggableBorder(int x, int width, bool first, bool last);

/// The share change [%] of a drag from pressX to x (limited to the drag's range).
float BarDragDelta(const BarDrag& drag, int pressX, int x, int barWidth);

/// The share [%] the status bar shows for the dragged segment while dragging.
int ShownDragShare(BarDragKind kind, float share, float delta);

/// Stores the shares of the dragged segment (row, column) and its neighbours after a drag of
/// `delta` percent; each neighbour's share is read normalised just before it changes.
void ApplyBarDrag(const BarEditorSource& source, int row, int column, BarDragKind kind,
                  float delta);
