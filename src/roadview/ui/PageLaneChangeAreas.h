#pragma once

#include <QWidget>

#include "roadview/LaneChangeAreaEditing.h"

class KDConfig;
class QComboBox;
class QLineEdit;
class QPushButton;

// Page 7, the lane change areas of one destination: its areas in rank order, the chosen
// area's lengths and route choice probability. The destination list moves to page 6 while
// that page is shown. A length or probability is committed when its
// field loses the focus or on Enter; the main window records the undo point and applies it.
class TPageLaneChangeAreas : public QWidget {
  Q_OBJECT

 public:
  explicit TPageLaneChangeAreas(QWidget* parent = nullptr);
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

  QComboBox* ComboBoxCurrentSink = nullptr;
  QComboBox* ComboBoxLaneChangeArea = nullptr;
  QComboBox* ComboBoxLaneChangeVehicleType = nullptr;
  QLineEdit* EditLengthRequired = nullptr;
  QLineEdit* EditLengthVoluntary = nullptr;
  QLineEdit* EditProbability = nullptr;
  QPushButton* BitBtnApplyToAllSinks = nullptr;

 signals:
  /// Another destination, area or vehicle type was chosen.
  void ChoiceChanged();
  /// The fields are to be committed (`toAll`: "Apply to all").
  void Commit(bool toAll);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* sinkList_ = nullptr;
  bool filling_ = false;
};
