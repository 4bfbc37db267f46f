#pragma once

#include <QWidget>

#include "roadview/LaneChangeAreaEditing.h"
#include "roadview/ui/RoadPageGestures.h"
#include "roadview/ui/TrafficPageHost.h"

class KDConfig;
class QComboBox;
class QLineEdit;
class QPushButton;

// Page 7, the lane change areas of one destination: its areas in rank order, the chosen
// area's lengths and route choice probability. The destination list moves to page 6 while
// that page is shown. A length or probability is committed when its field loses the focus or
// on Enter, as one undo point. On the road of both pages a press on a destination's glyph
// chooses that destination; on this page a press commits the fields and picks the chosen
// destination's area under it.
class TPageLaneChangeAreas : public QWidget, public RoadPageGestures {
  Q_OBJECT

 public:
  explicit TPageLaneChangeAreas(TrafficPageHost host, QWidget* parent = nullptr);
  /// One of the two pages is shown (`areaPage`: this one, which also highlights the chosen
  /// area): the road shows the chosen destination and its areas.
  void Show(bool areaPage);
  /// Refreshes the lists and highlights the chosen destination (and area) on the road.
  void ShowAreas();
  /// Rebuilds the lists and fields for the chosen destination (the first when none is).
  void Refresh(const KDConfig& config);
  int Sink() const;
  int Area() const;
  /// -1 for "Any".
  int VehicleType() const;
  /// The fields as an edit; false without a destination and area or with an empty length.
  bool ReadEdit(AreaEdit& edit) const;
  void ChooseArea(int area);
  /// The destination list with its caption. The lane change behaviour page shows the same list
  /// while it is shown; ReclaimSinkList puts it back on this page.
  QWidget* SinkList() const { return sinkList_; }
  void ReclaimSinkList();
  /// The main window closes: its fields lose the focus then, which must commit nothing.
  void StopCommits() { stopped_ = true; }

  bool RoadMouseDown(int x, int y, Qt::MouseButton button, QPoint screen) override;

  QComboBox* ComboBoxCurrentSink = nullptr;
  QComboBox* ComboBoxLaneChangeArea = nullptr;
  QComboBox* ComboBoxLaneChangeVehicleType = nullptr;
  QLineEdit* EditLengthRequired = nullptr;
  QLineEdit* EditLengthVoluntary = nullptr;
  QLineEdit* EditProbability = nullptr;
  QPushButton* BitBtnApplyToAllSinks = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// Commits the fields (`toAll`: "Apply to all" destinations) when they change the area.
  void Commit(bool toAll);

  TrafficPageHost host_;
  bool areaPage_ = false;
  bool stopped_ = false;
  QWidget* sinkList_ = nullptr;
  bool filling_ = false;
};
