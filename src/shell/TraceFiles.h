#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "config/FileReplace.h"
#include "shell/CommandLine.h"
#include "shell/RunSimulation.h"

// The four trace files the kernel writes during a run. Each stays open from the first step of
// a run to its end. A run that resolves to the same name as the previous opening continues
// that file; another name (a new batch run number) starts a new file. A new file is written
// beside its name and takes its place when it is closed complete, so a run that is killed
// leaves an older file of that name as it was.
class KernelTraceFiles {
 public:
  enum Trace { Detection, TravelTime, ODTravelTime, LaneChange, Count };

  KernelTraceFiles() = default;
  ~KernelTraceFiles();
  KernelTraceFiles(const KernelTraceFiles&) = delete;
  KernelTraceFiles& operator=(const KernelTraceFiles&) = delete;

  /// Opens every trace that is set in `settings` but not open, under its name resolved for
  /// `batchRun`. A trace that cannot be opened is reported and switched off in `settings`;
  /// in a batch (`batchRun` > 0) it is tried again in the next run.
  void OpenSet(OutputFileSettings& settings, const std::string& currentFileName, int batchRun);
  /// Closes the open files; the names of their last openings are kept.
  void CloseAll();
  /// Closes one trace (its menu tick removed). A file that could not be written completely is
  /// reported and remembered (UnwrittenFiles).
  void Close(Trace trace);
  /// The names of the files that could not be opened or written completely since the last
  /// call; the list starts anew.
  std::vector<std::string> TakeUnwrittenFiles();

  bool IsOpen(Trace trace) const { return files_[trace] != nullptr; }
  const std::string& PreviousName(Trace trace) const { return previousNames_[trace]; }
  RunTraceFiles Sinks() const;

  /// The setting of a trace in `settings`.
  static std::string& Setting(OutputFileSettings& settings, Trace trace);

 private:
  std::FILE* files_[Count] = {};
  std::unique_ptr<FileReplacement> replacements_[Count];
  std::string openNames_[Count];
  std::string previousNames_[Count];
  int failedRuns_[Count] = {};  // the batch run whose file could not be opened
  std::vector<std::string> unwritten_;
};

// The vehicle trace: created anew at step 1 and written at every sampled step. The new file
// takes the place of an older one of its name when the run ends (Finish).
class VehicleTraceFile {
 public:
  VehicleTraceFile() = default;
  ~VehicleTraceFile() { Finish(); }
  VehicleTraceFile(const VehicleTraceFile&) = delete;
  VehicleTraceFile& operator=(const VehicleTraceFile&) = delete;

  /// Prepares step `stepCount` of the file `resolvedName` (created with its header at step 1):
  /// IsOpen() tells whether this step is written, when the step is a multiple of `interval`.
  /// A file that cannot be created is reported once.
  void OpenForStep(const std::string& resolvedName, int stepCount, int interval);
  bool IsOpen() const { return writing_ && replacement_ && replacement_->File() != nullptr; }
  /// One line for a vehicle at simulated time `time` [s].
  void WriteVehicle(float time, const VehicleSnapshot& vehicle);
  /// The end of a sampled step.
  void Close() { writing_ = false; }
  /// The end of the run: the file takes its name; a failure is reported and remembered.
  void Finish();
  /// The names of the files that could not be written since the last call.
  std::vector<std::string> TakeUnwrittenFiles();

 private:
  std::unique_ptr<FileReplacement> replacement_;
  std::string name_;
  bool writing_ = false;
  std::vector<std::string> unwritten_;
};
