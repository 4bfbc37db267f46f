#pragma once

// What choosing a page of the main window does around the page itself: a confirmation in DOVEL
// mode, stopping a run, resetting the external model's run, and which area shows below the
// page area.

class KDConfig;
class RunController;

// The run as the page navigation sees it.
class PageRunControl {
 public:
  virtual ~PageRunControl() = default;
  virtual int StepCount() const = 0;
  /// Clears the running flag: a running simulation stops between two steps.
  virtual void StopRunning() = 0;
  /// The Stop button: stops the run or the batch.
  virtual void Stop() = 0;
  /// DOVEL mode: the external model drops its run; the step count returns to 0.
  virtual void ResetModelRun() = 0;
  /// Shows the step count again (run and batch pages).
  virtual void RefreshStepCount() = 0;
  /// True when an interrupted batch can go on: the configuration is unchanged since the run was
  /// set up, a batch run was started and runs remain.
  virtual bool BatchResumable() const = 0;
  /// A new or opened configuration: the run returns to idle with step 0 and batch run 0.
  virtual void ConfigurationReplaced(const KDConfig& config) = 0;
};

/// The run controller as the page navigation sees it. It knows no batch: the batch page's
/// navigation (BatchAwarePages) answers whether a batch can resume.
class RunControllerPages : public PageRunControl {
 public:
  explicit RunControllerPages(RunController& controller);
  int StepCount() const override;
  void StopRunning() override;
  void Stop() override;
  void ResetModelRun() override;
  void RefreshStepCount() override;
  bool BatchResumable() const override;
  void ConfigurationReplaced(const KDConfig& config) override;

 private:
  RunController& controller_;
};

enum class LowerArea { RoadView, ParameterGrid, BatchGrid };
enum class RoadPopup { None, LaneTypes, SpeedLimits };

struct PageChangePlan {
  bool AskToTerminate = false;  // "This requires terminating the current simulation ..."
  bool StopFirst = false;       // leaving the batch page stops the batch
  bool ResetModelRun = false;   // DOVEL: a page away from running drops the model's run
  bool RefreshStepCount = false;
  LowerArea Lower = LowerArea::RoadView;
  RoadPopup Popup = RoadPopup::None;
};

/// The plan for choosing a page: `shownPage` is the page shown now (0 = none), `newPage` the
/// page of the chosen entry (a number no page carries keeps `shownPage`), `otherEntry` whether
/// the chosen entry differs from the current one, `stepCount` the steps of the current run.
PageChangePlan PlanPageChange(int programMode, int shownPage, int newPage, bool otherEntry,
                              int stepCount);

/// The question asked before leaving a DOVEL run (caption "Warning", OK and Cancel).
inline constexpr const char* kTerminateSimulationQuestion =
    "This requires terminating the current simulation\r\nProceed ?";
