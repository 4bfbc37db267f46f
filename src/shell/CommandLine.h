#pragma once

#include <string>
#include <vector>

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
};

/// Reads one option ("vehicletrace=veh.txt,10", "batch=5,0,2,40", ...; prefixes in any letter
/// case) into `settings`. False when the option is a bad argument; `settings` is then unchanged.
bool ApplyProgramOption(const std::string& option, OutputFileSettings& settings);

/// The batch request of the command line. Lanes count from 1.
struct BatchRequest {
  int Runs = 0;
  int StopDetector = 0;    // 0 = any detector, k = detector k
  int ReportDetector = 0;  // 0 = no highest flow reported, k = detector k
  int DropSpeed = 0;       // [km/h]
  int FirstLane = 1;
  int LastLane = 12;
};

/// Scans a batch request of four to six comma-separated integers. False when fewer than
/// four numbers are read or the lane range is not within 1 to `maxLane`.
bool ScanBatchSpecification(const std::string& specification, BatchRequest& request,
                            int maxLane = 12);

/// The name a user-given output file name stands for: a relative name is taken relative to the
/// folder of `currentFileName`, and a first "%d"-style directive in the given name
/// ("trace%03d.trc") is filled with `batchRun` (0 outside a batch).
std::string ResolveOutputFileName(const std::string& name, const std::string& currentFileName,
                                  int batchRun);

/// `path` with its extension replaced by `extension` (".log"); appended when there is none.
std::string ReplaceExtension(const std::string& path, const std::string& extension);
