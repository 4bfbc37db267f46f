#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "roadview/ProportionalBars.h"

class QScrollArea;
class QTableWidget;
class TBarEditor;

// One segment of a proportional bar: its caption, and the mouse gestures that drag its
// borders.
class TDragSegment : public QWidget {
  Q_OBJECT

 public:
  TDragSegment(TBarEditor* editor, QWidget* parent);
  BarSegment Segment;
  QString Caption;
  QString Hint;
  bool Warn = false;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  TBarEditor* editor_;
};

// The scale above the bars, 0 .. 100 %, with the guide lines of a drag.
class TBarScale : public QWidget {
  Q_OBJECT

 public:
  explicit TBarScale(QWidget* parent);
  int PanelLeft = 0;
  int PanelWidth = 0;
  int GuideLeft = -1;  // [px] within the scale; -1 none
  int GuideRight = -1;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// The proportional bar editor: the row names at the left, one bar per row, the scale above.
// Dragging a border between two segments moves share from one to the other; the owner stores
// the shares (`Dropped`) and rebuilds the bars.
class TBarEditor : public QWidget {
  Q_OBJECT

 public:
  explicit TBarEditor(const QString& name, QWidget* parent = nullptr);
  void SetSource(BarEditorSource source) { source_ = std::move(source); }
  const BarEditorSource& Source() const { return source_; }
  /// Lays out the bars from the current shares.
  void DragPanelRebuild();

  /// A segment was pressed (any button): row.
  std::function<void(int row)> Pressed;
  /// A drag ended with a change of `delta` percent.
  std::function<void(int row, int column, BarDragKind kind, float delta)> Dropped;
  /// The status bar text while the mouse moves over the bars.
  std::function<void(const std::string&)> Status;
  /// A line of the debug output.
  std::function<void(const std::string&)> Debug;

  /// The visible segment of (row, column); none when there is none.
  TDragSegment* SegmentAt(int row, int column) const;
  QTableWidget* RowGrid() const { return StringGridRows; }
  TBarScale* Scale() const { return ImageScale; }
  QWidget* Panel() const { return PanelDrag; }
  int RowHeight() const { return kRowHeight; }

  void SegmentMouseDown(TDragSegment* segment, QMouseEvent* event);
  void SegmentMouseMove(TDragSegment* segment, QMouseEvent* event);
  void SegmentMouseUp(TDragSegment* segment, QMouseEvent* event);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  static constexpr int kRowHeight = 22;
  float Share(int row, int column) const;

  BarEditorSource source_;
  TBarScale* ImageScale = nullptr;
  QScrollArea* ScrollBars = nullptr;
  QWidget* content_ = nullptr;
  QTableWidget* StringGridRows = nullptr;
  QWidget* PanelDrag = nullptr;
  std::vector<TDragSegment*> segments_;
  // The drag: segment, press x, range and kind, and the share change [%].
  TDragSegment* dragged_ = nullptr;
  int pressX_ = 0;
  BarDrag drag_;
  float delta_ = 0;
  bool rebuilding_ = false;
};
