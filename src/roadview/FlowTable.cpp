#include "roadview/FlowTable.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>

#include "config/KDConfig.h"
#include "config/TextChars.h"

namespace {

constexpr size_t kMaxPasteText = 9999;
constexpr int kMaxDigits = 9;  // keeps every pasted number within int

bool IsBlank(char c) { return c == ' '; }

std::string Trimmed(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

// One graph as the table or the configuration has it: (time, flow) in time order.
using Points = std::vector<std::pair<int, int>>;

Points TablePoints(const FlowGrid& grid, int row) {
  Points points;
  for (int c = 1; c < grid.Columns(); ++c) {
    int flow = 0;
    const int time = grid.Time(c);
    if (ScanWholeNumber(grid.Cell(c, row), flow) && flow >= 0)
      points.emplace_back(time, flow);
    else if (time == 0)
      points.emplace_back(0, 0);
  }
  return points;
}

Points ConfigPoints(const KDConfig& config, int origin) {
  Points points;
  for (int i = 0; i < kMaxFlowPoints; ++i) {
    const int time = config.OFlowTime(origin, i);
    if (time < 0) break;
    points.emplace_back(time, config.OFlowValue(origin, i));
  }
  return points;
}

std::string Message(const char* format, int line, int value) {
  char text[256];
  std::snprintf(text, sizeof text, format, line, value);
  return text;
}

// One field of a pasted line.
enum class Token { Empty, Number, Decimal, Text, TooLong };

Token ReadToken(const std::string& field, int& value) {
  const std::string text = Trimmed(field);
  if (text.empty()) return Token::Empty;
  size_t i = 0;
  if (text[0] == '-') ++i;
  const size_t digitsFrom = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  const size_t digits = i - digitsFrom;
  if (digits == 0) return Token::Text;
  if (i < text.size()) {
    const bool decimal = (text[i] == ',' || text[i] == '.') && i + 1 < text.size() &&
                         std::all_of(text.begin() + static_cast<long>(i) + 1, text.end(),
                                     [](char c) { return IsDigit(c); });
    return decimal ? Token::Decimal : Token::Text;
  }
  if (digits > kMaxDigits) return Token::TooLong;
  value = std::stoi(text);
  return Token::Number;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.push_back(line);
      line.clear();
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += text[i];
    }
  }
  if (!line.empty()) lines.push_back(line);
  // Spreadsheets end a copied block with a line break; blank lines at the end carry nothing.
  while (!lines.empty() && Trimmed(lines.back()).empty()) lines.pop_back();
  return lines;
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  size_t from = 0;
  for (;;) {
    const size_t tab = line.find('\t', from);
    fields.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
    if (tab == std::string::npos) break;
    from = tab + 1;
  }
  return fields;
}

// Reads one field as a number and explains why it is none.
bool FieldNumber(const std::string& field, int line, int value, bool allowEmpty, bool& empty,
                 int& number, std::string& message) {
  empty = false;
  switch (ReadToken(field, number)) {
    case Token::Number:
      return true;
    case Token::Empty:
      if (allowEmpty) {
        empty = true;
        return true;
      }
      message = Message("Line %d, value %d is empty", line, value);
      return false;
    case Token::Decimal:
      message = Message("Line %d, value %d: \"", line, value) + Trimmed(field) +
                "\" has a decimal part; times and flows are whole numbers";
      return false;
    case Token::TooLong:
      message = Message("Line %d, value %d: \"", line, value) + Trimmed(field) + "\" is too large";
      return false;
    case Token::Text:
      break;
  }
  message =
      Message("Line %d, value %d: \"", line, value) + Trimmed(field) + "\" is not a whole number";
  return false;
}

FlowPasteResult Refuse(std::string message) { return {false, std::move(message)}; }

int InsertTimeColumn(FlowGrid& grid, int time) {
  int c = 1;
  while (c < grid.Columns() && grid.Time(c) < time) ++c;
  if (c < grid.Columns() && grid.Time(c) == time) return c;
  grid.InsertColumn(c);
  grid.Cell(c, 0) = std::to_string(time);
  return c;
}

// Lines of "time<TAB>flow" replace the graph of the origin in `row`.
FlowPasteResult PasteGraph(FlowGrid& grid, int row, const std::vector<std::string>& lines) {
  if (static_cast<int>(lines.size()) > kMaxFlowPoints)
    return Refuse(Message("%d lines: a flow graph holds at most %d points",
                          static_cast<int>(lines.size()), kMaxFlowPoints));
  Points points;
  for (size_t i = 0; i < lines.size(); ++i) {
    const int line = static_cast<int>(i) + 1;
    const std::vector<std::string> fields = SplitFields(lines[i]);
    if (fields.size() != 2)
      return Refuse(
          Message("Line %d holds %d values; each line holds a time and a flow, "
                  "separated by a tab",
                  line, static_cast<int>(fields.size())));
    int time = 0, flow = 0;
    bool empty = false;
    std::string message;
    if (!FieldNumber(fields[0], line, 1, false, empty, time, message) ||
        !FieldNumber(fields[1], line, 2, false, empty, flow, message))
      return Refuse(message);
    if (time < 0) return Refuse(Message("Line %d, value %d: times cannot be negative", line, 1));
    if (flow < 0) return Refuse(Message("Line %d, value %d: flows cannot be negative", line, 2));
    if (i == 0 && time != 0)
      return Refuse(Message("Line %d, value %d: the first time must be 0", line, 1));
    if (i > 0 && time <= points.back().first)
      return Refuse(
          Message("Line %d, value %d: the times must increase from line to line", line, 1));
    points.emplace_back(time, flow);
  }
  for (int c = 1; c < grid.Columns(); ++c) grid.Cell(c, row).clear();
  for (const auto& [time, flow] : points)
    grid.Cell(InsertTimeColumn(grid, time), row) = std::to_string(flow);
  return {true, {}};
}

FlowPasteResult PasteRows(FlowGrid& grid, int column, int row,
                          const std::vector<std::string>& lines) {
  size_t first = 0;
  if (row == 0) {
    // A row of times from the current column to the right.
    const std::vector<std::string> fields = SplitFields(lines[0]);
    int previous = column > 1 ? grid.Time(column - 1) : -1;
    for (size_t k = 0; k < fields.size(); ++k) {
      const int value = static_cast<int>(k) + 1;
      const int c = column + static_cast<int>(k);
      int time = 0;
      bool empty = false;
      std::string message;
      if (!FieldNumber(fields[k], 1, value, false, empty, time, message)) return Refuse(message);
      if (time < 0) return Refuse(Message("Line %d, value %d: times cannot be negative", 1, value));
      if (c == 1 && time != 0)
        return Refuse(Message("Line %d, value %d: the first column holds time 0", 1, value));
      if (c > 1 && time <= previous)
        return Refuse(
            Message("Line %d, value %d: the times must increase from left to right", 1, value));
      if (c >= grid.Columns()) {
        if (c > kMaxFlowPoints)
          return Refuse(Message("Line %d, value %d: a flow graph holds at most ", 1, value) +
                        std::to_string(kMaxFlowPoints) + " points");
        grid.InsertColumn(grid.Columns());
      }
      grid.Cell(c, 0) = std::to_string(time);
      previous = time;
    }
    const int next = column + static_cast<int>(fields.size());
    if (next < grid.Columns() && previous >= grid.Time(next))
      return Refuse(
          Message("Line %d, value %d: the last time must be below the time of the "
                  "next column",
                  1, static_cast<int>(fields.size())));
    first = 1;
    row = 1;
    column = std::max(column, 1);
  }
  for (size_t i = first; i < lines.size(); ++i, ++row) {
    const int line = static_cast<int>(i) + 1;
    if (row >= grid.Rows())
      return Refuse(Message("Line %d: the table has no origin for this line (%d origins)", line,
                            grid.Rows() - 1));
    if (Trimmed(lines[i]).empty())
      return Refuse(Message("Line %d is empty; every line holds the flows of one origin", line, 0));
    const std::vector<std::string> fields = SplitFields(lines[i]);
    for (size_t k = 0; k < fields.size(); ++k) {
      const int value = static_cast<int>(k) + 1;
      const int c = column + static_cast<int>(k);
      int flow = 0;
      bool empty = false;
      std::string message;
      if (!FieldNumber(fields[k], line, value, true, empty, flow, message)) return Refuse(message);
      if (empty) continue;
      if (flow < 0)
        return Refuse(Message("Line %d, value %d: flows cannot be negative", line, value));
      if (c >= grid.Columns())
        return Refuse(Message("Line %d, value %d lies beyond the last time column", line, value));
      grid.Cell(c, row) = std::to_string(flow);
    }
  }
  return {true, {}};
}

}  // namespace

FlowGrid::FlowGrid(int origins)
    : rows_(origins + 1), columns_(1, std::vector<std::string>(rows_)) {}

void FlowGrid::InsertColumn(int column) {
  columns_.insert(columns_.begin() + column, std::vector<std::string>(rows_));
}

void FlowGrid::DeleteColumn(int column) { columns_.erase(columns_.begin() + column); }

void FlowGrid::MoveColumn(int from, int to) {
  std::vector<std::string> moved = std::move(columns_[from]);
  columns_.erase(columns_.begin() + from);
  columns_.insert(columns_.begin() + to, std::move(moved));
}

int FlowGrid::Time(int column) const {
  int time = -1;
  return column >= 1 && column < Columns() && ScanWholeNumber(columns_[column][0], time) ? time
                                                                                         : -1;
}

bool ScanWholeNumber(const std::string& text, int& value) {
  int number = 0;
  if (ReadToken(text, number) != Token::Number) return false;
  value = number;
  return true;
}

FlowGrid BuildFlowGrid(const KDConfig& config) {
  const int origins = config.SourceCount();
  FlowGrid grid(origins);
  grid.Cell(0, 0) = "Origin \\\\ Time";
  for (int o = 0; o < origins; ++o) grid.Cell(0, o + 1) = config.SourceName(o);
  for (int o = origins - 1; o >= 0; --o) {
    for (const auto& [time, flow] : ConfigPoints(config, o))
      grid.Cell(InsertTimeColumn(grid, time), o + 1) = std::to_string(flow);
  }
  return grid;
}

bool FlowGridDiffers(const FlowGrid& grid, const KDConfig& config) {
  const int origins = config.SourceCount();
  if (grid.Rows() != origins + 1) return true;
  for (int o = 0; o < origins; ++o)
    if (TablePoints(grid, o + 1) != ConfigPoints(config, o)) return true;
  return false;
}

void WriteFlowGrid(const FlowGrid& grid, KDConfig& config) {
  const int origins = std::min(config.SourceCount(), grid.Rows() - 1);
  for (int o = 0; o < origins; ++o) {
    while (config.OFlowTime(o, 1) > 0) config.SetOFlow(o, config.OFlowTime(o, 1), -1);
    for (const auto& [time, flow] : TablePoints(grid, o + 1))
      if (time >= 0) config.SetOFlow(o, time, flow);
  }
}

int AddFlowColumn(FlowGrid& grid, int column) {
  column = std::max(column, 1);
  if (column >= grid.Columns() || grid.Columns() - 1 >= kMaxFlowPoints) return -1;
  const bool last = column == grid.Columns() - 1;
  const int time = last ? grid.Time(column) + 1800
                        : grid.Time(column) + (grid.Time(column + 1) - grid.Time(column)) / 2;
  // Neighbours one second apart leave no time between them.
  if (!last && time <= grid.Time(column)) return -1;
  grid.InsertColumn(column + 1);
  for (int r = 1; r < grid.Rows(); ++r) grid.Cell(column + 1, r) = grid.Cell(column, r);
  grid.Cell(column + 1, 0) = std::to_string(time);
  return last ? column + 1 : column;
}

bool DeleteFlowColumn(FlowGrid& grid, int column) {
  if (column < 2 || column >= grid.Columns()) return false;
  grid.DeleteColumn(column);
  return true;
}

FlowTimeEdit SetFlowColumnTime(FlowGrid& grid, int& column, int time) {
  if (grid.Time(column) == time) return FlowTimeEdit::Unchanged;
  for (int c = 1; c < grid.Columns(); ++c)
    if (c != column && grid.Time(c) == time) return FlowTimeEdit::Duplicate;
  grid.Cell(column, 0) = std::to_string(time);
  int to = 1;
  for (int c = 1; c < grid.Columns(); ++c)
    if (c != column && grid.Time(c) < time) ++to;
  grid.MoveColumn(column, to);
  column = to;
  return FlowTimeEdit::Moved;
}

FlowPasteResult PasteFlowValues(FlowGrid& grid, int column, int row, const std::string& text,
                                bool apply) {
  if (text.size() > kMaxPasteText)
    return Refuse(
        "The clipboard text is too long for the flow table (more than 9999 "
        "characters)");
  if (row < 0 || row >= grid.Rows() || column < 0 || column >= grid.Columns() ||
      (column == 0 && row == 0))
    return Refuse("Choose a cell of the flow table first: a time, a flow or an origin's name");
  const std::vector<std::string> lines = SplitLines(text);
  if (lines.empty()) return Refuse("The clipboard holds no values");
  FlowGrid copy = grid;
  FlowPasteResult result =
      column == 0 ? PasteGraph(copy, row, lines) : PasteRows(copy, column, row, lines);
  if (result.fits && apply) grid = std::move(copy);
  return result;
}
