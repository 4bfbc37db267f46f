#pragma once

#include <QWidget>

#include "roadview/ui/RoadPageGestures.h"
#include "roadview/ui/TrafficPageHost.h"

class QTableWidget;

// The names of the origins and destinations: one grid each, the location in the first
// column and the name in the second. Names are stored when the user leaves a grid; duplicates
// get a suffix first, with one warning. A press on a glyph on the road chooses its row.
class TPageODNames : public QWidget, public RoadPageGestures {
  Q_OBJECT

 public:
  explicit TPageODNames(TrafficPageHost host, QWidget* parent = nullptr);
  /// Stops following the focus before the page's parts go: the application tells of focus
  /// changes while the widgets are being destroyed.
  ~TPageODNames() override;
  /// Fills both grids from the configuration (whenever the page is shown).
  void ShowValues();
  /// Stores the names of a grid that differ from the configuration's.
  void StringGridSourceSinkNamesExit(QTableWidget* grid);
  /// Stores pending edits of both grids (before saving, or when the page is left).
  void CommitPendingNames();
  bool RoadMouseDown(int x, int y, Qt::MouseButton button, QPoint screen) override;

  QTableWidget* StringGridSourceNames = nullptr;
  QTableWidget* StringGridSinkNames = nullptr;

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void FillGrid(QTableWidget* grid, bool sources);
  void CellSelected(QTableWidget* grid, int row);
  void FocusChanged(QWidget* old, QWidget* now);

  TrafficPageHost host_;
  bool filling_ = false;
};
