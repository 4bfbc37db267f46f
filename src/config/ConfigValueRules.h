#pragma once

#include <string>
#include <string_view>

// The rules for values that both configuration readers apply, the .kav reader and the reader
// of old-style files, so that whatever one of them accepts is saved in a form that reads back
// as the same configuration. Each reader words its own message around a refusal.

/// The longest road a file may describe [m]: positions are kept as single-precision metres,
/// which hold every whole metre up to 2^24, so boundaries and detectors stay apart.
constexpr int kMaxRoadLength = 16777216;

/// The highest speed limit a lane may have [km/h].
constexpr float kMaxSpeedLimit = 1000;

/// The steps per second of a time step given in a file [s], or 0 when the step is not one
/// the files can hold. Files count times in steps, so a second must be a whole number of
/// steps: 1 to 10 steps per second. Files give such a step with two decimals (0.33 for a
/// third), so a step within 0.005 s of one of them is taken as it.
int StepsPerSecondOf(float step);

/// The time step [s] of `stepsPerSecond` steps per second, as the configuration holds it.
float TimeStepOf(int stepsPerSecond);

/// Whole seconds of `steps` time steps; a part of a second is dropped, so that a time saved
/// as steps reads back as the same seconds.
int StepsToSeconds(int steps, int stepsPerSecond);

/// A seed of the random generator: a positive odd whole number.
bool SeedValid(int seed);

/// Lane properties of a section: speed suppression 0 .. 1 (a fraction of the desired speed),
/// slope 0 .. 0.07 (a fraction), speed limit 0 .. kMaxSpeedLimit [km/h].
bool SpeedSuppressionValid(float suppression);
bool SlopeValid(float slope);
bool SpeedLimitValid(float speedLimit);

/// The points a flow graph read from a file may have: a graph always keeps its point at 0 s,
/// so one that starts later [s] has room for one point less.
int FlowPointRoom(int firstTime);

/// The most characters of a line that a message quotes.
constexpr size_t kQuotedLineLength = 80;

/// `line` as a message quotes it: at most its first kQuotedLineLength characters, followed by
/// "..." when there were more.
std::string QuotedLine(std::string_view line);
