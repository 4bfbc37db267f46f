#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/ProgramError.h"
#include "shell/BatchRuns.h"
#include "shell/CommandLine.h"
#include "shell/RunSimulation.h"

class KernelMessageSink;

/// Builds the simulation of one run; kernel reports meant for the messages window go to
/// `messages`. Called on the thread that makes the run.
using BatchSimulationFactory =
    std::function<std::unique_ptr<RunSimulation>(KernelMessageSink& messages)>;

// What one run of a parallel batch left behind; the batch hands it on in run order.
struct BatchRunOutcome {
  BatchRow Row;
  bool Ended = false;           // the run finished or its simulation failed: its row is final
  bool Stopped = false;         // a stop was reported during the run (program error, out of memory)
  std::vector<Report> Reports;  // made during the run, in the order they were made
  std::vector<std::string> MessageLines;  // lines for the messages window (the log)
};

// Everything the runs of a parallel batch share. It is only read while the runs are made:
// each run reads its own copy of the configuration and has its own kernel, run controller,
// output settings and files.
struct ParallelBatchJob {
  std::string ConfigurationText;  // the configuration file's contents
  std::string CurrentFileName;    // the configuration file; relative output names start there
  OutputFileSettings Outputs;     // every file name set must hold a run number directive
  BatchSettings Settings;
  BatchSimulationFactory MakeSimulation;
  std::function<std::string()> Clock;  // the time of day of Started and Finished; none = local
};

/// Makes runs `first` to `last` of a batch on `jobs` threads. `deliver` is called on the
/// calling thread for each run, in run order, as soon as that run and every run before it are
/// done, so rows, reports and lines come out as a batch on one thread gives them. A run during
/// which a stop was reported, or that could not be set up, ends the batch: it is the last run
/// delivered, runs after it are not started or are cut short. Returns true when every run ended.
bool RunParallelBatch(const ParallelBatchJob& job, int first, int last, int jobs,
                      const std::function<void(const BatchRunOutcome&)>& deliver);

/// The number of runs made at once by default: the machine's processor cores.
int DefaultBatchJobs();
