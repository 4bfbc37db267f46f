#pragma once

#include <QWidget>
#include <functional>

#include "roadview/FurnitureEditing.h"
#include "roadview/ui/RoadPageGestures.h"
#include "roadview/ui/TrafficPageHost.h"

class KDConfig;
class QComboBox;
class QLineEdit;
class QPushButton;

// Page 8, the detectors: the list of cross-section detectors, the chosen one's position and the
// placement commands. The page validates its fields against the host's configuration; every
// command records its undo point, changes the configuration through its setters and redraws
// the road, which refreshes the list. On the road a press on a detector label chooses it and
// starts a drag (left) or asks for its position (right).
class TPageDetectors : public QWidget, public RoadPageGestures {
  Q_OBJECT

 public:
  explicit TPageDetectors(TrafficPageHost host, QWidget* parent = nullptr);
  /// DOVEL mode offers "Add &centered in sections".
  void SetProgramMode(int programMode);
  /// Rebuilds the list keeping the chosen detector (by number, at most the last).
  void RebuildList();
  /// Chooses detector d (-1 for none) and shows its position; hides Move.
  void ShowDetector(int d);
  int Chosen() const;
  /// Chooses detector d (at most the last), highlights it on the road and redraws.
  void ChooseDetector(int d);
  /// Moves the chosen detector to `position` [m] when that is free and inside the road.
  void MoveTo(int position);

  bool RoadMouseDown(int x, int y, Qt::MouseButton button, QPoint screen) override;
  bool RoadMouseDrag(int x) override;
  bool RoadMouseUp(int x) override;

  QComboBox* ComboBoxCurrentDetector = nullptr;
  QLineEdit* EditDetectorPosition = nullptr;
  QPushButton* BitBtnNewDetector = nullptr;
  QPushButton* BitBtnRemoveDetector = nullptr;
  QPushButton* BitBtnDeleteAllDetectors = nullptr;
  QPushButton* BitBtnMoveDetector = nullptr;
  QLineEdit* EditEvery = nullptr;
  QPushButton* BitBtnEveryN = nullptr;
  QPushButton* BitBtnCenteredInSections = nullptr;

 private:
  void PositionChange();
  void EveryChange();
  void NewClick();
  /// One command over the whole list, as one undo point; then `chosen` is chosen.
  void ListCommand(const std::string& undoLabel, const std::function<void(KDConfig&)>& change,
                   const std::function<int()>& chosen);
  int DraggedPosition(int x) const;

  TrafficPageHost host_;
  bool dragging_ = false;
  int dragDetector_ = -1;
  int downX_ = 0;  // where the drag started [pixel]
};

// Page 5, the traffic control: fixed-time traffic lights. Like the detectors page it commits
// its own commands through the host; a press on the road picks the light under it.
class TPageTrafficControl : public QWidget, public RoadPageGestures {
  Q_OBJECT

 public:
  explicit TPageTrafficControl(TrafficPageHost host, QWidget* parent = nullptr);
  /// Rebuilds the list keeping the chosen light when it still exists.
  void RebuildList();
  /// Chooses light n (-1 for none) and fills the fields from it.
  void ShowLight(int n);
  int Chosen() const;
  /// Chooses light n (-1 for none), highlights it on the road and redraws.
  void ChooseLight(int n);
  /// Reads the six fields; false when one is not a whole number.
  bool ReadFields(LightFields& fields) const;
  void WriteFields(const LightFields& fields);
  /// Validates the fields: Apply is enabled exactly when they are valid and differ from the
  /// chosen light.
  void TrafficLightChange();

  QComboBox* ComboBoxCurrentTrafficLight = nullptr;
  QLineEdit* EditTrafficLightPosition = nullptr;
  QComboBox* ComboBoxTrafficLightLane = nullptr;
  QLineEdit* EditTrafficLightCycleTime = nullptr;
  QLineEdit* EditTrafficLightGreenTime = nullptr;
  QLineEdit* EditTrafficLightYellowTime = nullptr;
  QLineEdit* EditTrafficLightStartOffset = nullptr;
  QPushButton* BitBtnTrafficLightNew = nullptr;
  QPushButton* BitBtnTrafficLightDelete = nullptr;
  QPushButton* BitBtnTrafficLightDeleteAll = nullptr;
  QPushButton* BitBtnTrafficLightApply = nullptr;

  bool RoadMouseDown(int x, int y, Qt::MouseButton button, QPoint screen) override;

 private:
  void NewClick();
  void ApplyClick();
  void RemoveClick();
  void DeleteAllClick();

  TrafficPageHost host_;
  bool filling_ = false;
};
