#pragma once

#include <QWidget>
#include <functional>

#include "roadview/FurnitureEditing.h"

class KDConfig;
class QComboBox;
class QLineEdit;
class QPushButton;

// Page 8, the detectors: the list of cross-section detectors, the chosen one's position and the
// placement commands. The page validates its fields against the configuration the main window
// names; the commands reach the main window as signals, which records the undo point, changes
// the configuration and redraws (refreshing this page).
class TPageDetectors : public QWidget {
  Q_OBJECT

 public:
  explicit TPageDetectors(QWidget* parent = nullptr);
  void SetConfigSource(std::function<const KDConfig&()> config) { config_ = std::move(config); }
  /// DOVEL mode offers "Add &centered in sections".
  void SetProgramMode(int programMode);
  /// Rebuilds the list keeping the chosen detector (by number, at most the last).
  void RebuildList();
  /// Chooses detector d (-1 for none) and shows its position; hides Move.
  void ShowDetector(int d);
  int Chosen() const;

  QComboBox* ComboBoxCurrentDetector = nullptr;
  QLineEdit* EditDetectorPosition = nullptr;
  QPushButton* BitBtnNewDetector = nullptr;
  QPushButton* BitBtnRemoveDetector = nullptr;
  QPushButton* BitBtnDeleteAllDetectors = nullptr;
  QPushButton* BitBtnMoveDetector = nullptr;
  QLineEdit* EditEvery = nullptr;
  QPushButton* BitBtnEveryN = nullptr;
  QPushButton* BitBtnCenteredInSections = nullptr;

 signals:
  void DetectorChosen(int d);
  void NewClick();
  void RemoveClick();
  void DeleteAllClick();
  void MoveClick(int position);
  void EveryClick(int distance);
  void CentredClick();

 private:
  void PositionChange();
  void EveryChange();

  std::function<const KDConfig&()> config_;
};

// Page 5, the traffic control: fixed-time traffic lights.
class TPageTrafficControl : public QWidget {
  Q_OBJECT

 public:
  explicit TPageTrafficControl(QWidget* parent = nullptr);
  void SetConfigSource(std::function<const KDConfig&()> config) { config_ = std::move(config); }
  /// Rebuilds the list keeping the chosen light when it still exists.
  void RebuildList();
  /// Chooses light n (-1 for none) and fills the fields from it.
  void ShowLight(int n);
  int Chosen() const;
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

 signals:
  void LightChosen(int n);
  void NewClick();
  void ApplyClick();
  void RemoveClick();
  void DeleteAllClick();

 private:
  std::function<const KDConfig&()> config_;
  bool filling_ = false;
};
