#pragma once

#include <string>
#include <vector>

class KDConfig;

// The flow per origin table without a window: a working copy of every origin's flow graph.
// Column 0 holds the origin names, row 0 the times [s] of the columns in ascending order
// (column 1 is time 0); cell (column, origin + 1) holds the origin's flow [veh/h] at that time,
// or is empty when its graph has no point there.

/// Most points of one flow graph, and so most time columns of the table.
constexpr int kMaxFlowPoints = 99;
/// Largest time the time editor takes [s].
constexpr int kMaxFlowTime = 35999;

class FlowGrid {
 public:
  explicit FlowGrid(int origins = 0);
  int Columns() const { return static_cast<int>(columns_.size()); }
  int Rows() const { return rows_; }
  std::string& Cell(int column, int row) { return columns_[column][row]; }
  const std::string& Cell(int column, int row) const { return columns_[column][row]; }
  /// A new column of empty cells before `column` (Columns() appends).
  void InsertColumn(int column);
  void DeleteColumn(int column);
  /// Moves a column with its cells to another place; the columns between shift by one.
  void MoveColumn(int from, int to);
  /// The time of a column; -1 when its header is not a whole number.
  int Time(int column) const;
  bool operator==(const FlowGrid&) const = default;

 private:
  int rows_;
  std::vector<std::vector<std::string>> columns_;
};

/// Reads a cell as a whole number (blanks around it allowed); false for anything else.
bool ScanWholeNumber(const std::string& text, int& value);

/// The table of the configuration's flow graphs.
FlowGrid BuildFlowGrid(const KDConfig& config);
/// Whether the table describes other flow graphs than the configuration holds. An empty cell at
/// time 0 stands for flow 0: the first point of a graph cannot be removed.
bool FlowGridDiffers(const FlowGrid& grid, const KDConfig& config);
/// Makes every origin's flow graph what the table says; the caller records the undo point.
void WriteFlowGrid(const FlowGrid& grid, KDConfig& config);

/// "Add": duplicates column `column` (at least 1) after itself with a time 1800 s later (last
/// column) or halfway to the next one. Returns the new current column; -1 when no time fits
/// between the neighbours or the table has no room for another point.
int AddFlowColumn(FlowGrid& grid, int column);
/// "Delete": removes a column above 1; false for the time 0 column and the names.
bool DeleteFlowColumn(FlowGrid& grid, int column);

enum class FlowTimeEdit { Unchanged, Duplicate, Moved };
/// Gives column `column` (above 1) a new time and moves it where the times stay ascending;
/// `column` follows the moved column. Another column with the same time refuses.
FlowTimeEdit SetFlowColumnTime(FlowGrid& grid, int& column, int time);

struct FlowPasteResult {
  bool fits = false;
  std::string message;  // why the text does not fit; empty when it fits
};

/// Tab-separated values as a spreadsheet copies them, pasted at cell (column, row): a row of
/// times in the header row followed by flow rows, or flow rows from a flow cell. On the name cell
/// of an origin, lines of a time and a flow replace that origin's graph. With `apply` the table
/// takes the values, and only when all of them fit.
FlowPasteResult PasteFlowValues(FlowGrid& grid, int column, int row, const std::string& text,
                                bool apply);
