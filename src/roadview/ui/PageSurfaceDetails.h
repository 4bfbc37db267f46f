#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "roadview/SurfaceDetailEditing.h"
#include "roadview/ui/RoadPageGestures.h"
#include "roadview/ui/TrafficPageHost.h"

class KDConfig;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;

// Page 4, the KAVRO surface details: one detail of the selected cells at a time, chosen in the
// detail list. The page shows the first selected cell's value and offers values in its pop-up
// menu over the selection; every accepted value records the undo point, is written into every
// selected cell and redraws the road (which refreshes this page).
class TPageKAVROSurfaceDetails : public QWidget, public RoadPageGestures {
  Q_OBJECT

 public:
  /// `rows`: the details the list offers, in order.
  TPageKAVROSurfaceDetails(TrafficPageHost host, std::vector<SurfaceDetailRow> rows,
                           QWidget* parent = nullptr);

  /// Shows the chosen detail of the selection's first cell and rebuilds the pop-up menu.
  /// Returns true when the chosen detail differs from the one shown before (the road then
  /// shows another property).
  bool Refresh(const KDConfig& config, const RoadEditSelection& selection);
  /// The chosen detail.
  const SurfaceDetailRow& Row() const;
  /// Ticks the entry of the value field's number, "&Other" when none is offered.
  void PreparePopup();
  /// The value menu, over a selection that holds an open lane.
  bool RoadContextMenu(QPoint screen) override;

  QComboBox* ComboBoxSurfaceDetails = nullptr;
  QLineEdit* EditKAVROSurfaceDetailsValue = nullptr;
  QLabel* LabelKAVROSurfaceDetailsUnit = nullptr;
  QCheckBox* CheckBoxKAVROSurfaceDetail = nullptr;
  QMenu* PopupMenuKAVROSurfaceDetails = nullptr;
  QAction* ItemOtherP = nullptr;

 private:
  void EditValueChange(const QString& text);
  /// A value (as shown) for every selected cell.
  void ApplyValue(int value);
  /// "&Other": asks for a value in the detail's range.
  void OtherClick();

  TrafficPageHost host_;
  std::vector<SurfaceDetailRow> rows_;
  std::vector<QAction*> entries_;
  std::vector<ValueMenuEntry> entryValues_;
  int shownRow_ = -1;
  bool filling_ = false;  // the program is filling the fields
};

// Page 9, the DOVEL speed limit of the selected sections, committed like the surface details.
class TPageSpeedLimit : public QWidget, public RoadPageGestures {
  Q_OBJECT

 public:
  explicit TPageSpeedLimit(TrafficPageHost host, QWidget* parent = nullptr);
  /// Shows the limit [km/h] of the first selected section.
  void ShowSpeedLimit(int limit);
  /// The range the external model accepts for a typed limit; without it nothing typed is set.
  void SetRange(std::function<bool(int&, int&)> range) { range_ = std::move(range); }
  void PreparePopup();
  /// The limit menu, over a selection that holds an open lane.
  bool RoadContextMenu(QPoint screen) override;

  QLineEdit* EditSpeedLimit = nullptr;
  QLabel* LabelSpeedLimitUnit = nullptr;
  QMenu* PopupMenuSpeedLimit = nullptr;
  QAction* ItemOtherS = nullptr;

 private:
  void ApplySpeedLimit(int limit);
  void OtherClick();

  TrafficPageHost host_;
  std::vector<QAction*> entries_;
  std::function<bool(int&, int&)> range_;
  bool filling_ = false;
};

class QSlider;

// Page 10, the external model's surface details: one detail at a time, chosen in the detail
// list, shown for the selection's first cell on a slider of the model's steps. A user's move of
// the slider records the undo point, writes the selected cells and redraws (refreshing this
// page).
class TPageDOVELSurfaceDetails : public QWidget {
  Q_OBJECT

 public:
  explicit TPageDOVELSurfaceDetails(TrafficPageHost host, QWidget* parent = nullptr);

  /// The chosen detail, 0 .. 8.
  int Detail() const;
  /// Shows the chosen detail of the selection's first cell, as the model describes it.
  void Refresh(const KDConfig& config, const RoadEditSelection& selection);

  QComboBox* ComboBoxSurfaceDetail = nullptr;
  QSlider* TrackBarSurfaceDetail = nullptr;
  QLabel* LabelSurfaceDetailsValue = nullptr;
  QLabel* LabelSurfaceDetailDescription = nullptr;
  QLabel* LabelPerLaneComment = nullptr;

 private:
  /// The user moved the slider to `position`.
  void SliderMoved(int position);

  TrafficPageHost host_;
  bool filling_ = false;  // the program is setting the slider
};
