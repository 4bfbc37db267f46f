#pragma once

#include <QWidget>
#include <string>

#include "roadview/ParamGridRows.h"
#include "roadview/ui/TrafficPageHost.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTableWidget;

// The vehicle and driver parameters: the type list with New, Delete and Reset All on the page,
// and below it the grid with one slider per parameter. Every slider move or typed value is
// one undo point; the first change after a new or opened configuration asks whether to leave
// the calibrated values.
class TPageParameters : public QWidget {
  Q_OBJECT

 public:
  explicit TPageParameters(TrafficPageHost host, QWidget* parent = nullptr);
  /// The grid shown in the main window's lower area; owned by the caller's layout.
  QWidget* GridPanel() const { return PanelParameterGrid; }
  /// Chooses what the grid shows from the page entry ("ItemVehicleDriverProperties", ...).
  void SetEntry(const std::string& entry, int programMode);
  /// Rebuilds the type list and the grid from the configuration.
  void RebuildParamGrid();
  /// New and Open: the calibration question is asked again at the next change.
  void ClearCalibration() { calibrationAccepted_ = false; }
  /// The page's title for the chosen entry.
  std::string Title() const;
  /// The parameter kind shown, -1 for none.
  int Kind() const;
  /// The type chosen in the list, -1 for kinds without types.
  int ChosenType() const;

  QLabel* LabelVDCType = nullptr;
  QComboBox* ComboBoxVDCType = nullptr;
  QPushButton* BitBtnNewVDCType = nullptr;
  QPushButton* BitBtnDeleteVDCType = nullptr;
  QPushButton* BitBtnResetAll = nullptr;
  QRadioButton* RadioButtonIndividual = nullptr;
  QRadioButton* RadioButtonGeneral = nullptr;
  QRadioButton* RadioButtonGearRatios = nullptr;
  QRadioButton* RadioButtonFuel = nullptr;
  QWidget* PanelParameterGrid = nullptr;
  QTableWidget* StringGridVDC = nullptr;
  QSlider* TrackBar(int row) const;

  void SliderChange(int row, int position);
  void StringGridVDCValueEdited(int row, const std::string& text);
  void BitBtnNewVDCTypeClick();
  void BitBtnDeleteVDCTypeClick();
  void BitBtnResetAllClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// True when the change must be cancelled.
  bool AskCalibrationWarning();
  void SetParamGridRow(int row, const ParamGridRow& data);
  std::string AddLabel() const;
  std::string DeleteLabel() const;
  bool IndividualRows() const;

  TrafficPageHost host_;
  std::string entry_;
  int mode_ = 1;
  bool calibrationAccepted_ = false;
  bool changing_ = false;  // a slider change is being handled
  bool rebuilding_ = false;
  std::vector<ParamGridRow> rows_;
};
