#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/BatchRuns.h"
#include "shell/RunController.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class KDConfig;

// The batch page: the number of runs, where and when a run ends early, where the highest flow
// is reported, Start, Stop and Resume with the progress, and the grid of runs below the page
// area (`StringGridBatch`). It drives the batch runner over the program's run controller and
// shows its rows.
class TPageBatch : public QWidget, public RunObserver, private BatchObserver {
  Q_OBJECT

 public:
  explicit TPageBatch(RunController& run, QWidget* parent = nullptr);
  ~TPageBatch() override;

  BatchRunner& Runner() { return *runner_; }
  /// The grid of runs; the main window shows it below the page area.
  QTableWidget* Grid() const { return StringGridBatch; }

  /// Asks the no-detector question; Yes shows the detectors page.
  /// A batch without detectors asks `host` whether to place them; yes shows the detector page.
  void SetQuestionHost(DocumentHost* host, std::function<void()> showDetectorsPage) {
    runner_->SetQuestionHost(host, std::move(showDetectorsPage));
  }
  /// Called when a batch starts (the trajectory and contour windows hide).
  void SetBatchStarting(std::function<void()> starting) { starting_ = std::move(starting); }

  /// The page is shown: the detector lists follow the configuration, the grid the number of runs.
  void ShowValues();
  /// Resume is offered while the configuration is unchanged and runs are left.
  void RefreshResume();
  /// The number of runs typed; 0 when the field is empty.
  int NumberOfRuns() const;
  /// The status texts of the grid rows, in run order (the capacity window reads them).
  std::vector<std::string> Statuses() const;
  /// The capacity observations of the batch's finished runs, in run order.
  std::vector<CapacityObservation> Observations() const;
  /// A new or opened configuration: no batch to resume, the grid rebuilt.
  void ConfigurationReplaced();

  QLineEdit* EditNumberOfRuns = nullptr;
  QComboBox* ComboBoxStopSpeed = nullptr;
  QComboBox* ComboBoxFromLane = nullptr;
  QComboBox* ComboBoxUpToLane = nullptr;
  QLineEdit* EditDropSpeedLimit = nullptr;
  QComboBox* ComboBoxReportFlowAt = nullptr;
  QPushButton* BitBtnStart = nullptr;
  QPushButton* BitBtnBatchStop = nullptr;
  QPushButton* BitBtnResume = nullptr;
  QWidget* PanelProgress = nullptr;
  QLabel* LabelBatchRun = nullptr;
  QLabel* LabelBatchTime = nullptr;
  QTableWidget* StringGridBatch = nullptr;

 public slots:
  /// `typed` = the user typed into the field; without it only the grid is rebuilt.
  void EditNumberOfRunsChange(bool typed = true);
  void BitBtnStartClick();
  void BitBtnStopClick();
  void BitBtnResumeClick();

 public:
  // RunObserver (passed on by the run page)
  void StepCountChanged(int stepCount) override;
  void BatchProgress(int batchRun) override;

 private:
  // BatchObserver
  void RowChanged(int row) override;
  void RowsRebuilt() override;

  void ReadSettings();
  void ShowRow(int row);
  void AfterRun();
  bool eventFilter(QObject* watched, QEvent* event) override;

  RunController& run_;
  std::unique_ptr<BatchRunner> runner_;
  std::function<void()> starting_;
  bool starting_active_ = false;
  bool resuming_ = false;
};
