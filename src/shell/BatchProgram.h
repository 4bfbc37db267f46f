#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "shell/CommandLine.h"
#include "shell/CommandLineIdle.h"

// kavro-batch: runs the batch of a configuration headless, driven by the same command-line
// machine as the desktop program. Usage: kavro-batch CONFIG [options].

/// Runs kavro-batch with the parameters after the program name; reports go to `err`. Returns
/// the exit status: 0 when the batch ran and its results and log were saved.
/// `batch` is the engine to run; null while batch runs are not available.
int RunBatchProgram(const std::vector<std::string>& parameters, std::ostream& out,
                    std::ostream& err, BatchEngine* batch = nullptr);

/// A short description of what a batch request would run, one line per item.
std::vector<std::string> DescribeBatch(const std::string& configuration,
                                       const BatchRequest& request,
                                       const OutputFileSettings& outputs);
