#pragma once

#include <QWidget>
#include <functional>
#include <string>

class KDConfig;
class QComboBox;
class QLineEdit;

// The settings page of the run: steps per second, random seed, detector output times and stop
// time. Every accepted change records an undo point and goes through the configuration's
// setters; the fields refuse keys the value cannot hold.
class TPageSettings : public QWidget {
  Q_OBJECT

 public:
  explicit TPageSettings(QWidget* parent = nullptr);

  /// The configuration edited; not owned. A new or opened configuration asks the calibration
  /// question again at the first change of the steps per second.
  void SetConfig(KDConfig* config);
  /// Shows the configuration's values (whenever the page is opened).
  void ShowValues();
  /// Shows the stop time [s] (the run is back at its start).
  void ShowStopTime(int seconds);

  /// Records an undo point with its label before a change.
  void SetUndoRecorder(std::function<void(const std::string&)> record) {
    recordUndo_ = std::move(record);
  }
  /// Asks the calibration question; true for OK.
  void SetCalibrationQuestion(std::function<bool()> ask) { askCalibration_ = std::move(ask); }
  /// After every accepted change (the window caption shows the modification).
  void SetChanged(std::function<void()> changed) { changed_ = std::move(changed); }
  /// The sound of a refused key.
  void SetBeep(std::function<void()> beep) { beep_ = std::move(beep); }

  QComboBox* ComboBoxStepsPerSecond = nullptr;
  QLineEdit* EditRandomSeed = nullptr;
  QComboBox* ComboBoxDetectorStart = nullptr;
  QComboBox* ComboBoxDetectorRepeat = nullptr;
  QLineEdit* EditStopAt = nullptr;

 public slots:
  void ComboBoxStepsPerSecondChange(int index);
  void EditRandomSeedChange(const QString& text);
  /// Leaving the seed field: a field without an odd number gets the configuration's seed back.
  void EditRandomSeedExit();
  void ComboBoxDetectorChange();
  void EditStopAtChange(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Changed(const std::string& undoLabel);
  void Beep();

  KDConfig* config_ = nullptr;
  bool calibrationAccepted_ = false;
  bool showing_ = false;  // the page fills its fields: no change handling
  std::function<void(const std::string&)> recordUndo_;
  std::function<bool()> askCalibration_;
  std::function<void()> changed_;
  std::function<void()> beep_;
};
