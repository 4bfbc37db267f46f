#pragma once

#include <string>
#include <vector>

// Parts of a batch: a large batch split over several processes (--runs A-B) writes one batch
// results file per part; --merge joins them into the file the whole batch would have written.
//
// A part file starts with a line naming its runs and its batch, then holds the header row and
// the rows of its runs as the whole batch's file does:
//   # kavro-batch part: runs 3-4 of 10, configuration 0f1e2d3c4b5a6978, batch=10,0,1,40,1,12

struct BatchPart {
  int First = 0;  // runs First to Last of a batch of Runs runs
  int Last = 0;
  int Runs = 0;
  std::string Configuration;  // fingerprint of the configuration file's contents
  std::string Batch;          // the batch request "runs,stop,report,speed,first lane,last lane"
};

/// The first line of a part file.
std::string BatchPartLine(const BatchPart& part);
/// Reads the first line of a part file; false when `line` is none. With `problem`, what is
/// wrong with a line that starts as a part's first line does (empty when it does not).
bool ParseBatchPartLine(const std::string& line, BatchPart& part, std::string* problem = nullptr);
/// Reads "runs A-B of N, configuration F, batch=R,S,D,V,F,L", the runs and batch of a part or
/// of a capacity observations file: A to B within the batch's N runs, N the R of its batch
/// request, F 16 hexadecimal digits. False with what is wrong in `problem`.
bool ParseBatchRunRange(const std::string& text, BatchPart& part, std::string& problem);

/// 16 hexadecimal digits that tell configuration files apart (FNV-1a over their bytes).
std::string ConfigurationFingerprint(const std::string& bytes);

/// The name of a file of a part: `path` with its extension replaced by ".runsA-B" + `extension`.
std::string BatchPartFileName(const std::string& path, int first, int last,
                              const std::string& extension);

/// Joins the part files `parts` (in any order) into the batch results file `outName`. Every
/// run of the batch must be in exactly one part, and all parts must come from the same batch
/// of the same configuration. On any problem the problem is reported, nothing is written and
/// an existing `outName` stays as it was; the file is written under a temporary name and then
/// renamed.
bool MergeBatchResults(const std::string& outName, const std::vector<std::string>& parts);
