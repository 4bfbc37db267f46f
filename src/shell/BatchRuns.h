#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "config/ProgramMode.h"
#include "shell/CapacityEstimate.h"
#include "shell/ConfigDocument.h"
#include "shell/RunController.h"

// One row of the batch grid.
struct BatchRow {
  int Run = 0;
  std::int32_t Seed = 0;
  std::string Started;  // local time of day "hh:mm:ss"
  std::string Finished;
  std::string Status;
  bool FilesLost = false;     // an output file of the run could not be written (named in Status)
  bool Failed = false;        // the simulation ended in an error (its text is the Status)
  CapacityRunFlows Capacity;  // the flows of a finished run, for the capacity estimate
};

// The choices of the batch page. Detector entries count from 1; 0 = any detector (stop) or
// no detector (report).
struct BatchSettings {
  int NumberOfRuns = 10;
  int StopDetector = 0;    // entry of the stop speed list: 0 = any detector, k = detector k
  int ReportDetector = 0;  // 0 = no highest flow reported, k = detector k
  int DropSpeed = 40;      // [km/h]
  int FromLane = 1;        // lanes count from 1
  int UpToLane = MAX_KAVROLANE;
};

// Where a batch shows itself; the desktop program's batch page, or the lines of kavro-batch.
class BatchObserver {
 public:
  virtual ~BatchObserver() = default;
  virtual void RowChanged(int /*row*/) {}
  virtual void RowsRebuilt() {}
  /// A run ended (finished, failed or stopped) with its row's status.
  virtual void RunEnded(const BatchRow& /*row*/) {}
};

// The batch runs of a configuration: many runs with their own seeds, each ended early when
// the speed at a detector drops below a limit, reporting the highest flow seen before that.
class BatchRunner : public RunBatchHooks {
 public:
  explicit BatchRunner(RunController& run);
  ~BatchRunner() override;

  BatchSettings& Settings() { return settings_; }
  const std::vector<BatchRow>& Rows() const { return rows_; }
  void SetObserver(BatchObserver* observer) { observer_ = observer ? observer : &noObserver_; }
  /// The local time of day as "hh:mm:ss"; tests give a fixed clock.
  void SetClock(std::function<std::string()> clock) { clock_ = std::move(clock); }

  /// Rows for the number of runs: all rows anew, or only the rows added since the last call.
  void SetNumberOfRuns(int runs, bool refillAll);
  /// Start makes only runs `first` to `last` of the batch (a part of a batch split over several
  /// processes); the seeds stay those of the whole batch. 0, 0 = every run.
  void SetRunRange(int first, int last);
  int FirstRun() const;
  int LastRun() const;
  /// Puts the row of a run made elsewhere (by a parallel batch) into the grid.
  void SetRow(const BatchRow& row);
  /// Where the batch asks whether to place detectors when there are none: `host` asks, and
  /// `showDetectorsPage` follows a Yes. Without a host (headless) the missing detector is an
  /// error message.
  void SetQuestionHost(DocumentHost* host, std::function<void()> showDetectorsPage) {
    questionHost_ = host;
    showDetectorsPage_ = std::move(showDetectorsPage);
  }
  /// The batch can start: a detector exists, the lane range is sound and every run's seed
  /// fits (reported otherwise).
  bool CanStart() const;
  /// Starts a batch and runs it to its end or until it is stopped. False when it could not
  /// start (no detector, bad lane range: reported).
  bool Start();
  /// Continues the interrupted run of a stopped batch.
  bool Resume();
  /// Stop inside a batch: the current run is marked aborted.
  void Stop();
  /// Resume is offered while the configuration is unchanged and runs are left.
  bool CanResume() const;
  bool Active() const { return active_; }

  /// Writes the batch results file; reports and returns false when it cannot be created.
  /// With a run range the file is a part: its first line is `partLine`, then the header row and
  /// the rows of the range.
  bool SaveResults(const std::string& fileName, const std::string& partLine = "") const;
  /// The proposed name: the configuration file's name with the extension "kbr".
  std::string ProposedResultsName() const;

  // RunBatchHooks
  void StartBatchRun() override;
  std::int32_t BatchRunSeed() const override;
  void FinishBatchRun() override;
  void FailBatchRun(const std::string& errorText) override;
  void TestBatchAbort() override;

 private:
  BatchRow* CurrentRow();
  void RowChanged(int run);
  void ReportHighestFlow(BatchRow& row);
  void TestSpeedDrop(BatchRow& row);
  void WatchOriginSupply();
  void MeasureCapacityFlows(BatchRow& row);

  RunController& run_;
  BatchSettings settings_;
  std::vector<BatchRow> rows_;
  bool rowsFilledOnce_ = false;
  int firstRun_ = 0;
  int lastRun_ = 0;
  bool active_ = false;
  BatchObserver noObserver_;
  BatchObserver* observer_ = &noObserver_;
  std::function<std::string()> clock_;
  DocumentHost* questionHost_ = nullptr;
  std::function<void()> showDetectorsPage_;
  // The demand guard of the current run: what each origin owed at the last detector output.
  std::vector<int> owedAtLastOutput_;
  std::string heldBackOrigin_;
  int breakdownPeriod_ = -1;
};

/// Why a batch of `settings` cannot start on `config`; none when it can.
enum class BatchStartProblem { None, NoDetector, BadLaneRange, SeedsOutOfRange };
BatchStartProblem CheckBatchStart(const KDConfig& config, const BatchSettings& settings);
/// The message of a problem. Without detectors: the headless text, or with `question` the
/// question that offers to place them.
std::string BatchStartProblemText(BatchStartProblem problem, const KDConfig& config,
                                  const BatchSettings& settings, bool question = false);
/// The largest base seed whose batch of `runs` runs keeps every seed (base + 2 x (run - 1))
/// within the range of seeds.
std::int32_t LargestBaseSeed(int runs);

/// A batch status as a line of the batch results file: a status with a flow report gets the
/// flow as a column of its own.
std::string BatchStatusColumns(const std::string& status);

/// The local time of day "hh:mm:ss".
std::string LocalTimeOfDay();
