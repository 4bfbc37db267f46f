#pragma once

#include <cstdio>
#include <string>

#include "shell/CommandLine.h"
#include "shell/RunSimulation.h"

// The four trace files the kernel writes during a run. Each stays open from the first step of
// a run to its end. A run that resolves to the same name as the previous opening continues
// that file; another name (a new batch run number) starts a new file.
class KernelTraceFiles {
 public:
  enum Trace { Detection, TravelTime, ODTravelTime, LaneChange, Count };

  KernelTraceFiles() = default;
  ~KernelTraceFiles();
  KernelTraceFiles(const KernelTraceFiles&) = delete;
  KernelTraceFiles& operator=(const KernelTraceFiles&) = delete;

  /// Opens every trace that is set in `settings` but not open, under its name resolved for
  /// `batchRun`. A trace that cannot be opened is reported and switched off in `settings`.
  void OpenSet(OutputFileSettings& settings, const std::string& currentFileName, int batchRun);
  /// Closes the open files; the names of their last openings are kept.
  void CloseAll();
  /// Closes one trace (its menu tick removed).
  void Close(Trace trace);

  bool IsOpen(Trace trace) const { return files_[trace] != nullptr; }
  const std::string& PreviousName(Trace trace) const { return previousNames_[trace]; }
  RunTraceFiles Sinks() const;

  /// The setting of a trace in `settings`.
  static std::string& Setting(OutputFileSettings& settings, Trace trace);

 private:
  std::FILE* files_[Count] = {};
  std::string previousNames_[Count];
};

// The vehicle trace: reopened at every sampled step, created anew at step 1.
class VehicleTraceFile {
 public:
  VehicleTraceFile() = default;
  ~VehicleTraceFile() { Close(); }
  VehicleTraceFile(const VehicleTraceFile&) = delete;
  VehicleTraceFile& operator=(const VehicleTraceFile&) = delete;

  /// Opens the resolved name for step `stepCount` (created with its header at step 1) and
  /// keeps it open only when the step is a multiple of `interval`. A file that cannot be
  /// opened is skipped silently for this step.
  void OpenForStep(const std::string& resolvedName, int stepCount, int interval);
  bool IsOpen() const { return file_ != nullptr; }
  /// One line for a vehicle at simulated time `time` [s].
  void WriteVehicle(float time, const VehicleSnapshot& vehicle);
  void Close();

 private:
  std::FILE* file_ = nullptr;
};
