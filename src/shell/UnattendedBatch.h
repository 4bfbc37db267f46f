#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "shell/BatchRuns.h"
#include "shell/BatchRunsParallel.h"
#include "shell/CommandLineIdle.h"

class KDConfig;

// The batch engine of the command line: the batch runs on the configuration file named first,
// each finished run is printed as a line (run, seed, status) to `out` when it is given, and a
// progress bar goes to `progress` when it is given (a terminal).
//
// With --jobs N (default: one per core) the runs are made on N threads, each run with its own
// configuration copy, kernel and files; rows, lines, reports and log lines still come out in
// run order, so the results are those of a batch on one thread. A batch whose output files are
// shared by its runs (a name without a run number) runs on one thread. With --runs A-B only
// those runs are made and the batch results file is a part, to be joined with --merge.
class UnattendedBatch : public BatchEngine, private BatchObserver, private RunObserver {
 public:
  /// `makeSimulation` builds the simulation of a run; `addMessageLine` appends a line to the
  /// messages window (the log).
  UnattendedBatch(OutputFileSettings& outputs, CommandLineHost& host, std::ostream* out,
                  std::ostream* progress, BatchSimulationFactory makeSimulation,
                  std::function<void(const std::string&)> addMessageLine);
  ~UnattendedBatch() override;

  /// The configuration the program already read from `fileName`, with the file's text: the next
  /// batch on that file runs it instead of reading the file again.
  void UseConfiguration(const std::string& fileName, std::string text,
                        std::unique_ptr<KDConfig> config);

  void ShowBatchPage() override {}
  void StartBatch(const BatchRequest& request) override;
  bool BatchFinished() const override;
  bool SaveBatchResultsUnattended() override;
  int RunsWithFilesLost() const override;
  int RunsFailed() const override;
  /// The detectors of the configuration given by UseConfiguration; -1 before.
  int DetectorCount() const override;

  /// The runner of the last batch; none before one started.
  const BatchRunner* Runner() const { return batch_.get(); }
  /// The number of runs the last batch made at once.
  int JobsUsed() const { return jobsUsed_; }
  /// Where a batch without detectors asks whether to place them (the desktop program); see
  /// BatchRunner::SetQuestionHost. Headless, the missing detector is an error message.
  void SetQuestionHost(DocumentHost* host, std::function<void()> showDetectorsPage) {
    questionHost_ = host;
    showDetectorsPage_ = std::move(showDetectorsPage);
  }
  /// The time of day of Started and Finished; tests give a fixed clock.
  void SetClock(std::function<std::string()> clock) { clock_ = std::move(clock); }

 private:
  int JobsFor(int runs) const;
  void RunInParallel(int jobs);
  void Deliver(const BatchRunOutcome& outcome);
  void RunEnded(const BatchRow& row) override;
  void StepCountChanged(int stepCount) override;
  void ProcessEvents() override;
  void ShowRunsDone(int done);
  /// Writes the capacity observations (--capacity) and prints their summary.
  bool SaveCapacityObservations();

  OutputFileSettings& outputs_;
  CommandLineHost& host_;
  std::ostream* out_;
  std::ostream* progress_;
  BatchSimulationFactory makeSimulation_;
  std::function<void(const std::string&)> addMessageLine_;
  std::function<std::string()> clock_;
  DocumentHost* questionHost_ = nullptr;
  std::function<void()> showDetectorsPage_;
  std::string readFileName_;  // the file of a configuration given by UseConfiguration
  std::string readText_;
  std::unique_ptr<KDConfig> readConfig_;
  std::string configurationText_;
  BatchRequest request_;
  std::unique_ptr<KernelMessageSink> messages_;
  std::unique_ptr<KDConfig> config_;
  std::unique_ptr<RunController> run_;
  std::unique_ptr<BatchRunner> batch_;
  bool finished_ = false;
  int jobsUsed_ = 0;
  int shownPercent_ = -1;
  int shownRun_ = 0;
};
