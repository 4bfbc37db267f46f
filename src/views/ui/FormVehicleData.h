#pragma once

#include <QWidget>
#include <string>

class QTableWidget;
class RoadObject;

// Follows one vehicle of the run: its type, lane, position, speed, acceleration, specific
// power, destination and merge state, refreshed after every step. It stays on top; closing
// hides it and lets go of the vehicle.
class TFormVehicleData : public QWidget {
  Q_OBJECT

 public:
  explicit TFormVehicleData(QWidget* parent = nullptr);

  /// Fills the window with `vehicle` at `time` [s].
  void ShowVehicleData(const RoadObject& vehicle, double time);
  /// The number of the vehicle shown; -1 once the window was closed.
  int VehicleNumber() const { return vehicle_; }
  std::string Text(const char* label) const;

  QTableWidget* StringGridValues = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  int vehicle_ = -1;
  bool filled_ = false;
  QWidget* texts_ = nullptr;
};
