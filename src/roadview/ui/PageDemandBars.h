#pragma once

#include <QWidget>

#include "roadview/ui/TrafficPageHost.h"

class QComboBox;
class QGroupBox;
class QRadioButton;
class TBarEditor;

// The traffic composition page: per origin the shares of the passenger car and truck classes
// ("&Truck fraction") or of every vehicle type ("&All vehicle types"), as proportional bars.
class TPageComposition : public QWidget {
  Q_OBJECT

 public:
  explicit TPageComposition(TrafficPageHost host, QWidget* parent = nullptr);
  /// Hides the form choice in DOVEL mode, where the truck fraction of the one origin is shown.
  void SetProgramMode(int programMode);
  /// Rebuilds the bars from the configuration (whenever the page is shown).
  void ShowValues();
  bool AllVehicleTypes() const;

  QGroupBox* RadioGroupComposition = nullptr;
  QRadioButton* RadioButtonTruckFraction = nullptr;
  QRadioButton* RadioButtonAllVehicleTypes = nullptr;
  TBarEditor* DragPanelComposition = nullptr;

 private:
  TrafficPageHost host_;
  int mode_ = 1;
};

// The origin-destination matrix page: per origin the shares of the destinations for the chosen
// vehicle type; destinations the origin cannot reach are drawn red.
class TPageODMatrix : public QWidget {
  Q_OBJECT

 public:
  explicit TPageODMatrix(TrafficPageHost host, QWidget* parent = nullptr);
  /// Rebuilds the vehicle type list and the bars (whenever the page is shown).
  void ShowValues();
  /// The vehicle type edited; -1 for all types together (shown, not editable).
  int VehicleType() const;

  QComboBox* ComboBoxODVehicleType = nullptr;
  TBarEditor* DragPanelOD = nullptr;

 private:
  TrafficPageHost host_;
};
