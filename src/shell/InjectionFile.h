#pragma once

#include <string>

class KDConfig;

// The injection file of the external vehicle model (DOVEL mode): one vehicle per line, three
// numbers and a lane number counted from the right (1 = the rightmost of the six lanes).

/// Why the injection file cannot be used, empty when it can.
struct InjectionFileProblem {
  std::string caption;
  std::string text;
  bool ok() const { return text.empty(); }
};

/// The name the injection file is opened by: a relative name is taken from the folder of the
/// configuration file `configFileName` when it is not found in the working folder.
std::string InjectionFilePath(const std::string& name, const std::string& configFileName);

/// Checks every line of the injection file: four fields "%g %g %g %d", and a lane that the
/// most upstream section of `config` paves. Lines are counted from 1.
InjectionFileProblem ProblemInInjectionFile(const KDConfig& config,
                                            const std::string& configFileName);

/// As ProblemInInjectionFile, showing the problem; false when the run must not start.
bool CheckInjectionFile(const KDConfig& config, const std::string& configFileName);
