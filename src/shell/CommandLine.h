#pragma once

#include <string>
#include <vector>

#include "config/ProgramMode.h"

// Command-line options of an unattended run and the output file names they set.

/// Output files of a run; an empty name means the file is not written.
struct OutputFileSettings {
  std::string VehicleTraceFile;
  std::string DetectionTraceFile;
  std::string TravelTimeTraceFile;  // detector to detector
  std::string ODTravelTimeTraceFile;
  std::string LaneChangeTraceFile;
  std::string SimulationResultsFile;
  std::string ExtendedResultsFile;
  int VehicleTraceInterval = 1;    // the vehicle trace is written every this many steps
  std::string BatchSpecification;  // "runs,stop,report,speed[,first lane[,last lane]]"
  int BatchJobs = 0;  // --jobs: batch runs at once, each on its own thread; 0 = one per core
  int FirstRun = 0;   // --runs A-B: only runs A to B of the batch are made; 0 = every run
  int LastRun = 0;
  std::string CapacityFile;  // --capacity: the capacity observations of the batch go here
};

/// The most batch runs made at once.
constexpr int kMaxBatchJobs = 1024;
/// The most runs of a batch.
constexpr int kMaxBatchRuns = 10000;
/// The message for a number of runs outside 1 to kMaxBatchRuns.
inline constexpr const char* kBatchRunsRange = "The valid range is 1..10000";

/// Reads one option ("vehicletrace=veh.txt,10", "batch=5,0,2,40", ...; prefixes in any letter
/// case) into `settings`. False when the option is a bad argument; `settings` is then unchanged.
/// Also reads "--jobs=N", "--runs=A-B" and "--capacity=FILE".
bool ApplyProgramOption(const std::string& option, OutputFileSettings& settings);

/// As ApplyProgramOption; a bad argument that needs saying why puts the reason into `reason`
/// (a run number directive wider than kMaxRunNumberWidth).
bool ApplyProgramOption(const std::string& option, OutputFileSettings& settings,
                        std::string& reason);

/// Reads the option at `parameters[index]`; "--jobs N", "--runs A-B" and "--capacity FILE" take
/// their value from the next parameter, which must not be an option itself. Returns the number
/// of parameters read (1 or 2). A bad argument leaves `settings` unchanged and puts its text as
/// typed ("--jobs 0") into `bad`, and why, when there is more to say, into `reason`.
size_t ApplyProgramOptionAt(const std::vector<std::string>& parameters, size_t index,
                            OutputFileSettings& settings, std::string& bad,
                            std::string* reason = nullptr);

/// True for a word that is an option rather than a value: it starts with "--" or with an
/// option's prefix ("batch=", "detectiontrace=", ... in any letter case).
bool IsProgramOptionWord(const std::string& word);

/// The widest run number directive a file name can hold ("%0255d"): a name in a folder has at
/// most 255 bytes.
constexpr int kMaxRunNumberWidth = 255;

/// Scans a run range "A-B" (or a single run "A"): 1 <= A <= B <= kMaxBatchRuns.
bool ScanRunRange(const std::string& text, int& first, int& last);

/// True when `name` holds a run number directive ("%d", "%03d"): each batch run gets its own file.
bool HasRunNumberDirective(const std::string& name);

/// The first output file that is set without a run number directive, so that every run of a
/// batch writes the same file; empty when there is none. Such a batch cannot run in parallel.
std::string SharedOutputFile(const OutputFileSettings& settings);

/// The batch request of the command line. Lanes count from 1.
struct BatchRequest {
  int Runs = 0;
  int StopDetector = 0;    // 0 = any detector, k = detector k
  int ReportDetector = 0;  // 0 = no highest flow reported, k = detector k
  int DropSpeed = 0;       // [km/h]
  int FirstLane = 1;
  int LastLane = MAX_KAVROLANE;
};

/// Scans a batch request of four to six comma-separated integers and nothing more. False when
/// fewer than four numbers are read, text follows them, a detector or the speed is negative or
/// the lane range is not within 1 to `maxLane`. The number of runs is not checked here (see
/// kBatchRunsRange).
bool ScanBatchRequest(const std::string& text, BatchRequest& request, int maxLane = MAX_KAVROLANE);

/// The name a user-given output file name stands for: a relative name is taken relative to the
/// folder of `currentFileName`, and a first "%d"-style directive in the given name
/// ("trace%03d.trc") is filled with `batchRun` (0 outside a batch). A width above
/// kMaxRunNumberWidth gives a name too long to be created.
std::string ResolveOutputFileName(const std::string& name, const std::string& currentFileName,
                                  int batchRun);

/// `path` with its extension replaced by `extension` (".log"); appended when there is none.
std::string ReplaceExtension(const std::string& path, const std::string& extension);
