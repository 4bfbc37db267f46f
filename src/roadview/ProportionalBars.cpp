#include "roadview/ProportionalBars.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "config/TextChars.h"

std::string FormatBarText(const std::string& format, const std::string& rowName,
                          const std::string& columnName, float share) {
  std::string out;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      out += format[i];
      continue;
    }
    size_t j = i + 1;
    std::string width;
    while (j < format.size() && (IsDigit(format[j]) || format[j] == '.')) width += format[j++];
    if (j >= format.size()) break;
    const char letter = format[j];
    i = j;
    if (letter == '%') {
      out += '%';
    } else if (letter == 'C' || letter == 'R') {
      const std::string& name = letter == 'C' ? columnName : rowName;
      const int minWidth = width.empty() ? 0 : std::atoi(width.c_str());
      if (static_cast<int>(name.size()) < minWidth) out.append(minWidth - name.size(), ' ');
      out += name;
    } else if (letter == 'P') {
      // Only the width counts: a share is always shown with one decimal.
      const int minWidth = width.empty() ? 0 : std::atoi(width.c_str());
      char text[64];
      std::snprintf(text, sizeof text, "%*.1f", minWidth, static_cast<double>(share) * 100);
      out += text;
    }
  }
  return out;
}

std::string BarRowHeader(const BarEditorSource& source, int row) {
  if (source.rowHeaderFormat.empty()) return source.rowName ? source.rowName(row) : "";
  char text[64];
  std::snprintf(text, sizeof text, source.rowHeaderFormat.c_str(), row + 1);
  return text;
}

std::vector<BarSegment> LayoutBars(const BarEditorSource& source, int width) {
  std::vector<BarSegment> segments;
  for (int r = 0; r < source.rows; ++r) {
    float cumulative = 0;
    int left = 0;
    for (int c = 0; c < source.columns; ++c) {
      cumulative += source.get(r, c, false);
      BarSegment segment;
      segment.row = r;
      segment.column = c;
      segment.left = left;
      segment.right = c == source.columns - 1
                          ? width
                          : static_cast<int>(static_cast<float>(width) * cumulative + 0.01f);
      segment.right = std::clamp(segment.right, left, width);
      segment.first = c == 0;
      segment.last = c == source.columns - 1;
      left = segment.right;
      segments.push_back(segment);
    }
  }
  return segments;
}

bool OnDraggableBorder(int x, int width, bool first, bool last) {
  return (x <= 2 && !first) || (x >= width - 3 && !last);
}

BarDrag StartBarDrag(int x, int width, bool first, bool last, float previousShare, float nextShare,
                     int barWidth) {
  BarDrag drag;
  const float w = static_cast<float>(barWidth);
  if (first && last) return drag;
  if (x <= 2 && !first) {
    drag.kind = BarDragKind::LeftBorder;
    drag.low = x - static_cast<int>(previousShare * w + 0.5f);
    drag.high = x + width;
  } else if (x >= width - 3 && !last) {
    drag.kind = BarDragKind::RightBorder;
    drag.low = x - width;
    drag.high = x + static_cast<int>(nextShare * w + 0.5f);
  } else if (!first && !last) {
    drag.kind = BarDragKind::Whole;
    drag.low = x - static_cast<int>(previousShare * w);
    drag.high = x + static_cast<int>(nextShare * w + 0.5f);
  }
  return drag;
}

float BarDragDelta(const BarDrag& drag, int pressX, int x, int barWidth) {
  if (barWidth <= 0) return 0;
  x = std::clamp(x, drag.low, drag.high);
  float delta = static_cast<float>(x - pressX) * 100.0f / static_cast<float>(barWidth);
  // Away from zero, so that a whole number of percent is not rounded down by float noise.
  delta += delta < 0 ? -0.0001f : 0.0001f;
  return delta;
}

int ShownDragShare(BarDragKind kind, float share, float delta) {
  const int s = std::max(0, static_cast<int>(share * 100 + 0.05f));
  switch (kind) {
    case BarDragKind::LeftBorder:
      return static_cast<int>(static_cast<float>(s) - delta + 0.0004f);
    case BarDragKind::RightBorder:
      return static_cast<int>(static_cast<float>(s) + delta + 0.0004f);
    default:
      return s;
  }
}

void ApplyBarDrag(const BarEditorSource& source, int row, int column, BarDragKind kind,
                  float delta) {
  const float d = delta / 100.0f;
  auto p = [&](int c) { return source.get(row, c, true); };
  // The neighbour that gives up its share loses d, down to 0; the other one gains d.
  auto shrink = [&](int c) {
    if (delta > 0)
      source.set(row, c, p(c) <= d ? 0.0f : p(c) - d);
    else
      source.set(row, c, p(c) - d);
  };
  switch (kind) {
    case BarDragKind::LeftBorder:
      if (delta > 0) source.set(row, column, p(column) * 100 <= delta ? 0.0f : p(column) - d);
      source.set(row, column - 1, p(column - 1) + d);
      if (delta < 0) source.set(row, column, p(column) - d);
      break;
    case BarDragKind::RightBorder:
      if (delta > 0) shrink(column + 1);
      source.set(row, column, p(column) + d);
      if (delta < 0) shrink(column + 1);
      break;
    case BarDragKind::Whole:
      if (delta > 0) shrink(column + 1);
      source.set(row, column - 1, p(column - 1) + d);
      if (delta < 0) shrink(column + 1);
      break;
    case BarDragKind::None:
      break;
  }
}
