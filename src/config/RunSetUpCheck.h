#pragma once

#include <string>

class KDConfig;

/// Why the simulation kernel cannot build a run of this configuration, as a message for the
/// user, or an empty text when it can. These are states that editing passes through on the
/// way to a finished road, and that a saved file may therefore hold: a teleport entrance not
/// (or no longer) linked to an exit, a lone tapered lane at the median, a lane change area
/// left without a route choice group. The run refuses to start with this message instead of
/// meeting the kernel's own consistency checks, which would end the program.
std::string RunSetUpProblem(const KDConfig& config);
