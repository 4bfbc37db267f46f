#pragma once

#include <string>
#include <vector>

#include "shell/CommandLine.h"

class TextTable;

// The batch runs as the command line drives them. The desktop program implements this with its
// batch page; kavro-batch with the same engine headless.
class BatchEngine {
 public:
  virtual ~BatchEngine() = default;
  /// Shows the batch page, as if the user had chosen it.
  virtual void ShowBatchPage() = 0;
  /// Sets the batch page to `request` as a user would and runs the whole batch.
  virtual void StartBatch(const BatchRequest& request) = 0;
  /// True when all runs of the batch were done.
  virtual bool BatchFinished() const = 0;
  /// Saves the batch results under the proposed name without asking; false when saving failed.
  virtual bool SaveBatchResultsUnattended() = 0;
  /// The runs of the last batch that could not write all their output files.
  virtual int RunsWithFilesLost() const { return 0; }
  /// The runs of the last batch whose simulation ended in an error.
  virtual int RunsFailed() const { return 0; }
  /// The detectors of the configuration the batch will run; -1 while that is not known.
  virtual int DetectorCount() const { return -1; }
};

// What the command-line machine needs from the program around it.
class CommandLineHost {
 public:
  virtual ~CommandLineHost() = default;
  virtual void HideSplash() {}
  virtual std::string CurrentFileName() const = 0;
  virtual void SetCurrentFileName(const std::string& name) = 0;
  virtual std::string CurrentDirectory() const = 0;
  /// Puts a file at the top of the last-used file list.
  virtual void AddLastUsedFile(const std::string&) {}
  /// The lines of the messages window, saved as the log of an unattended batch.
  virtual std::vector<std::string> MessageLines() const = 0;
  /// Ends the program normally once the current handler has returned.
  virtual void Terminate() = 0;
};

/// Writes `lines` as a text file, each ended by "\n"; false (with the reason in `error` when
/// given) when the file cannot be written. The old file stays whole when saving fails.
bool SaveTextLines(const std::string& fileName, const std::vector<std::string>& lines,
                   std::string* error = nullptr);

/// The batch results file of an unattended batch of the configuration file `current`: its
/// name with the extension .kbr, or .runsA-B.kbr for the part of --runs A-B.
std::string UnattendedResultsFileName(const std::string& current,
                                      const OutputFileSettings& outputs);
/// The log of an unattended batch: the configuration's name with .log (.runsA-B.log).
std::string UnattendedLogFileName(const std::string& configuration,
                                  const OutputFileSettings& outputs);
/// The capacity observations file of --capacity OBS.tsv (OBS.runsA-B.tsv for a part); empty
/// without --capacity.
std::string UnattendedCapacityFileName(const OutputFileSettings& outputs);

/// Looks for two files of an unattended batch of runs `firstRun` to `lastRun` that are one
/// file: the configuration `current` (given on the command line as `configuration`), the batch
/// results, the log, the capacity observations and every run's output files, each named as
/// the batch will open it (ResolveOutputFileName with the run number). Files that exist are
/// compared as files, so a symbolic link or a "./" spelling is the same file; a name to be
/// created is compared in its folder with links followed. True when two collide, with the
/// later one's argument in `argument` and both named in `reason`.
bool FindOutputCollision(const std::string& configuration, const std::string& current,
                         const OutputFileSettings& outputs, int firstRun, int lastRun,
                         std::string& argument, std::string& reason);

// The idle-time machine of the command line. Its first call hides the start-up window and reads
// the options after the configuration file name; when a batch was requested, each later call
// performs one step: 0 shows the batch page, 1 runs the batch, 2 saves its results, 3 saves the
// messages as a log and ends the program. A batch that did not finish or whose results could not
// be saved ends in "BatchMode switched off": the program stays open for interactive use.
class CommandLineIdle {
 public:
  /// `parameters` are the command-line parameters after the program name; the first one is the
  /// configuration file. `batch` may be null while no batch engine is available.
  CommandLineIdle(std::vector<std::string> parameters, int programMode, const TextTable& texts,
                  OutputFileSettings& outputs, CommandLineHost& host, BatchEngine* batch);

  /// The batch engine, once it exists.
  void SetBatchEngine(BatchEngine* batch) { batch_ = batch; }

  /// One idle notification.
  void OnIdle();

  /// False once there is nothing more to do on idle: no batch requested, the machine ended, or
  /// it switched itself off.
  bool WantsIdle() const;
  /// False after "BatchMode switched off": the idle handler is removed.
  bool Installed() const { return installed_; }
  bool Started() const { return started_; }
  int Step() const { return step_; }

 private:
  void FirstIdle();
  void BadArgument(const std::string& argument, const std::string& reason = "");
  /// --runs within the batch, and no file shared by parallel runs; reports a bad argument.
  bool CheckBatchOptions(const BatchRequest& request);
  void RunStep(int step);
  void SwitchOff();

  std::vector<std::string> parameters_;
  int programMode_;
  const TextTable& texts_;
  OutputFileSettings& outputs_;
  CommandLineHost& host_;
  BatchEngine* batch_;
  bool started_ = false;  // CommandLineStarted
  int step_ = 0;          // CommandLineStep
  bool installed_ = true;
  bool ended_ = false;
};
