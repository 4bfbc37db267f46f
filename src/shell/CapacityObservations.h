#pragma once

#include <string>
#include <vector>

#include "shell/CapacityEstimate.h"

// The capacity observations file (kavro-batch --capacity OBS.tsv): tab-separated, one line per
// observation in run order, the times of a run increasing.
//   # kavro-batch capacity observations: runs 1-10 of 10, configuration F, batch=10,0,1,40,1,12
//   run  seed  time  flow  breakdown        (the columns separated by tabs)
//   1    101   300   1800  0
//   # run 4: origin "on-ramp" held vehicles back for longer than one detector period
//   # end: 57 observations
// The first line names the runs, the configuration and the batch, so that parts of one batch
// can be joined and files of different batches are refused. A run whose origin could not
// insert its demand measures the entrance rather than the road; a comment line says so, with
// the origin's name escaped (shell/TextEscape.h). The last line makes a truncated file
// recognisable.

struct CapacityObservationsFile {
  int FirstRun = 0;  // runs FirstRun to LastRun of a batch of Runs runs
  int LastRun = 0;
  int Runs = 0;
  std::string Configuration;  // fingerprint of the configuration file's contents
  std::string Batch;          // "runs,stop,report,speed,first lane,last lane"
  std::vector<CapacityObservation> Observations;
  std::vector<int> HeldBackRuns;             // runs whose demand was held back at an origin
  std::vector<std::string> HeldBackOrigins;  // the origin of each of them
};

/// The text of the file; the observations must be in run order.
std::string CapacityObservationsText(const CapacityObservationsFile& file);

/// The line that a run whose origin held vehicles back gets in the file and in the log.
std::string HeldBackText(int run, const std::string& origin);

/// Reads the text of a file named `fileName`; false with "FILE:LINE: what is wrong" in `error`.
bool ParseCapacityObservations(const std::string& fileName, const std::string& text,
                               CapacityObservationsFile& file, std::string& error);

/// Joins the files of the parts of one batch: same configuration and batch, no run twice.
/// False with the reason in `error`, naming the file.
bool JoinCapacityObservations(const std::vector<std::string>& fileNames,
                              const std::vector<CapacityObservationsFile>& files,
                              CapacityObservationsFile& joined, std::string& error);
