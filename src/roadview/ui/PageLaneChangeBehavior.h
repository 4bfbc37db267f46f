#pragma once

#include <QWidget>

#include "roadview/LaneChangeGeneration.h"
#include "roadview/ui/TrafficPageHost.h"

class QLineEdit;
class QPushButton;

// Page 6, the lane change behaviour: the three lengths the generator gives new merge areas and
// the buttons that regenerate the areas of every destination (Rebuild) or regenerate them
// keeping the lengths of areas that existed before (Update), each as one undo point. While the
// page is shown it also holds the destination list of the lane change area page.
class TPageLaneChangeBehavior : public QWidget {
  Q_OBJECT

 public:
  explicit TPageLaneChangeBehavior(TrafficPageHost host, QWidget* parent = nullptr);
  /// The settings of the three fields (300, 300 and 0 for a field without a number).
  LaneChangeSettings Settings() const;
  /// Shows the destination list of the lane change area page below the buttons; the road
  /// shows the chosen destination's areas.
  void HostSinkList(QWidget* list);
  /// After a selection drag over the road: the selected lanes get the opposite of the "all
  /// lane change required" value of the cell where the drag started.
  void ToggleAllLaneChange(int pressSection, int pressLane);

  QLineEdit* EditLaneChangeRequired = nullptr;
  QLineEdit* EditLaneChangeVoluntary = nullptr;
  QLineEdit* EditAddtionalRequiredLength = nullptr;
  QPushButton* BitBtnRebuildLaneChangeAreas = nullptr;
  QPushButton* BitBtnUpdateLaneChangeAreas = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FieldsChange();
  /// Rebuild (and Update, which keeps the lengths of the areas that existed before).
  void Regenerate(bool keepLengths);

  TrafficPageHost host_;
};
