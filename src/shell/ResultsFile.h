#pragma once

#include <cstdio>
#include <string>

#include "shell/DetectorSample.h"

class KDConfig;
class RunSimulation;

/// Writes the simulation results of the collected detector periods to `name`: per period and
/// detector the lane changes, flow, speed, density and, except for the most upstream detector,
/// travel time and travel speed; the extended results add the lane changes to either side and
/// flow and speed per vehicle type, read from the simulation's detectors of the last run. The
/// detector times come from `config` as it is now. Reports and returns false when the file
/// cannot be created.
bool WriteSimulationResults(const std::string& name, bool extended, const KDConfig& config,
                            const DetectorSampleStore& store, const RunSimulation* simulation);

/// The same into an open file (tests and tools).
void WriteSimulationResults(std::FILE* file, bool extended, const KDConfig& config,
                            const DetectorSampleStore& store, const RunSimulation* simulation);
