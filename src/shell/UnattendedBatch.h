#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "shell/BatchRuns.h"
#include "shell/CommandLineIdle.h"

class KDConfig;

// The batch engine of the command line: the batch runs on the configuration file named first,
// each finished run is printed as a line (run, seed, status) to `out` when it is given, and a
// progress bar goes to `progress` when it is given (a terminal).
class UnattendedBatch : public BatchEngine, private BatchObserver, private RunObserver {
 public:
  /// `makeSimulation` builds the simulation each batch runs on.
  UnattendedBatch(OutputFileSettings& outputs, CommandLineHost& host, std::ostream* out,
                  std::ostream* progress,
                  std::function<std::unique_ptr<RunSimulation>()> makeSimulation);
  ~UnattendedBatch() override;

  void ShowBatchPage() override {}
  void StartBatch(const BatchRequest& request) override;
  bool BatchFinished() const override;
  bool SaveBatchResultsUnattended() override;

  /// The runner of the last batch; none before one started.
  const BatchRunner* Runner() const { return batch_.get(); }

 private:
  void RunEnded(const BatchRow& row) override;
  void StepCountChanged(int stepCount) override;

  OutputFileSettings& outputs_;
  CommandLineHost& host_;
  std::ostream* out_;
  std::ostream* progress_;
  std::function<std::unique_ptr<RunSimulation>()> makeSimulation_;
  std::unique_ptr<KDConfig> config_;
  std::unique_ptr<RunController> run_;
  std::unique_ptr<BatchRunner> batch_;
  int shownPercent_ = -1;
  int shownRun_ = 0;
};
