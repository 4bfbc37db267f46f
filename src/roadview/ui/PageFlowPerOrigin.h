#pragma once

#include <QImage>
#include <QWidget>

#include "roadview/FlowTable.h"
#include "roadview/ui/RoadPageGestures.h"
#include "roadview/ui/TrafficPageHost.h"

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;

// The chart beside the flow table: every origin's flow graph, the current one in black, and
// the current origin's capacity estimate as a red line.
class TFlowChart : public QWidget {
  Q_OBJECT

 public:
  explicit TFlowChart(QWidget* parent = nullptr);
  void SetPicture(QImage picture);
  const QImage& Picture() const { return picture_; }
  std::function<void(int x, int y)> MouseMoved;
  std::function<void()> Resized;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage picture_;
};

/// Draws the flow chart of the configuration into `picture`; `currentOrigin` -1 for none.
void DrawFlowChart(QImage& picture, const class KDConfig& config, int currentOrigin);

// The flow per origin page: a table with one row per origin and one column per time, edited
// as a working copy that goes back to the configuration when a cell is committed, and the
// chart of the graphs beside it.
class TPageFlowPerOrigin : public QWidget, public RoadPageGestures {
  Q_OBJECT

 public:
  explicit TPageFlowPerOrigin(TrafficPageHost host, QWidget* parent = nullptr);
  /// Rebuilds table and chart from the configuration (whenever the page is shown).
  void RebuildFlowPage();
  /// The page is shown: rebuilt, with the keyboard in the table.
  void ShowValues();
  /// A press on an origin's glyph on the road chooses its row.
  bool RoadMouseDown(int x, int y, Qt::MouseButton button, QPoint screen) override;
  /// Writes the table back when it differs from the configuration.
  void StringGridOFExit();
  /// Checks (apply false) or pastes (apply true) the clipboard text at the current cell; a
  /// refused paste shows why and changes nothing.
  bool PasteFlowValues(bool apply);
  /// Paste of the table's pop-up menu (commits first) and of the Edit menu.
  void ItemPasteFlowClick();
  void BitBtnAddPointClick();
  void BitBtnDeletePointClick();
  /// Opens the time editor over the header of the current column (above 1).
  void OpenTimeEditor();
  /// The working copy as the table shows it.
  FlowGrid TableGrid() const;
  int CurrentColumn() const { return currentColumn_; }
  int CurrentRow() const { return currentRow_; }
  /// Replaces the clipboard (tests).
  void SetClipboardText(std::function<std::string()> read) { clipboard_ = std::move(read); }

  QTableWidget* StringGridOF = nullptr;
  QLineEdit* EditOF = nullptr;
  TFlowChart* ImageOF = nullptr;
  QWidget* PanelOFGraph = nullptr;
  QPushButton* BitBtnAddPoint = nullptr;
  QPushButton* BitBtnDeletePoint = nullptr;
  QMenu* PopupMenuOF = nullptr;
  QAction* ItemAddColumn = nullptr;
  QAction* ItemDeleteColumn = nullptr;
  QAction* ItemPasteFlow = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowGrid(const FlowGrid& grid);
  void RedrawChart();
  void CellSelected(int row, int column);
  void WriteBack(const FlowGrid& grid, const std::string& undoLabel);
  bool TimeEditorKey(int key, const QString& text);
  void TimeEditorAccept();
  void PopupMenuOFPopup();
  void TableEnter();

  TrafficPageHost host_;
  std::function<std::string()> clipboard_;
  int currentColumn_ = 0;
  int currentRow_ = 0;
  bool rebuilding_ = false;
  bool timeTyped_ = false;
};
