#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <string>

#include "shell/RunController.h"

class QComboBox;
class QLabel;
class QPushButton;
class TextTable;
class TRunLegends;
struct TrafficDrawSettings;

// The run page: Run, Step, Stop and Reset, the simulation speed and redraw rate, the simulator
// time and the number of vehicles on the road. It follows the run controller as its observer
// and passes the hooks it does not serve itself on to the main window's observer.
class TPageRun : public QWidget, public RunObserver {
  Q_OBJECT

 public:
  TPageRun(RunController& run, const TextTable& texts, QWidget* parent = nullptr);
  ~TPageRun() override;

  /// Where the hooks the page does not serve go (detector graphs, trajectories, ...).
  void SetNextObserver(RunObserver* next) { next_ = next; }
  /// Draws the run's traffic over the road and returns the number of vehicles, or -1 when
  /// there is no run to draw.
  void SetTrafficDrawer(std::function<int()> draw) { drawTraffic_ = std::move(draw); }
  /// Redraws the road, and the traffic over it while a run is shown (Reset, a scheme change).
  void SetRoadDrawer(std::function<void()> draw) { drawRoad_ = std::move(draw); }
  /// The road view as shown, traffic included: the body of a screen dump.
  void SetRoadPicture(std::function<QImage()> picture) { roadPicture_ = std::move(picture); }
  /// Shows the stop time [s] where the settings page shows it.
  void SetTerminateTimeShower(std::function<void(int)> show) {
    showTerminateTime_ = std::move(show);
  }
  /// Clears the status bar, where the kernel's latest message stays (Reset, run set-up).
  void SetStatusClearer(std::function<void()> clear) { clearStatus_ = std::move(clear); }
  /// The name of the colour scheme the traffic is coloured by.
  void SetColorSchemeName(std::function<std::string()> name) { schemeName_ = std::move(name); }

  /// The screen dump file name pattern; dumps are on while the run state's interval is > 0.
  void SetScreenDumpPattern(const std::string& pattern) { dumpPattern_ = pattern; }
  const std::string& ScreenDumpPattern() const { return dumpPattern_; }
  /// The image a screen dump at the current step holds.
  QImage ScreenDumpImage() const;

  /// Refreshes buttons and time from the run state (showing the page, a new configuration).
  void RefreshControls();
  /// The page is shown: the destination colours follow the destinations as they are now, and
  /// the keyboard starts the run from here (the space bar presses Run).
  void ShowValues(const KDConfig& config);
  /// A new configuration: no vehicles are on its road yet.
  void ConfigurationReplaced();
  /// The colouring of the traffic the chosen scheme and the legends make.
  void TrafficColors(TrafficDrawSettings& settings) const;

  /// The colour scheme list and legends of the program mode: the external model's third
  /// scheme is its merge intention, and it has a seventh, "ICC equipped".
  void SetProgramMode(int mode);
  /// The chosen colour scheme (index in ComboBoxColorDenotes).
  int ColorScheme() const;
  std::string ColorSchemeName() const;

  QPushButton* BitBtnRun = nullptr;
  QPushButton* BitBtnStep = nullptr;
  QPushButton* BitBtnStop = nullptr;
  QPushButton* BitBtnReset = nullptr;
  QComboBox* ComboBoxSimulationSpeed = nullptr;
  QComboBox* ComboBoxRedraw = nullptr;
  QLabel* LabelSimulatorTime = nullptr;
  QLabel* LabelVehicleCount = nullptr;
  QComboBox* ComboBoxColorDenotes = nullptr;
  TRunLegends* Legends = nullptr;

 public slots:
  void BitBtnRunClick();
  void BitBtnStepClick();
  void BitBtnStopClick();
  void BitBtnResetClick();
  void ComboBoxSimulationSpeedChange(int index);
  void ComboBoxRedrawChange(int index);
  /// Shows the legends of the chosen scheme and redraws the road with its traffic.
  void ComboBoxColorDenotesChange(int index);

 public:
  // RunObserver
  void StepCountChanged(int stepCount) override;
  void ShowTerminateTime(int seconds) override;
  void BatchProgress(int batchRun) override;
  void DetectorsSetUp(int numDetectors) override;
  void RunStarted() override;
  void RedrawVehicles() override;
  void WriteScreenDump(int stepCount) override;
  void VehiclesSampled(int stepCount) override;
  void DetectorsSampled(int periodCount) override;
  void ProcessEvents() override;
  double WallClock() override;

 private:
  bool ListOpen() const;

  RunController& run_;
  const TextTable& texts_;
  RunObserver* next_ = nullptr;
  std::function<int()> drawTraffic_;
  std::function<void()> drawRoad_;
  std::function<QImage()> roadPicture_;
  std::function<std::string()> schemeName_;
  std::function<void()> clearStatus_;
  std::function<void(int)> showTerminateTime_;
  std::string dumpPattern_;
  bool processing_ = false;
};
