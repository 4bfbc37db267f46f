#pragma once

#include <string>

class KDConfig;

// The detector and traffic control pages without a window: which positions and times the
// fields may hold, and the placement commands. The main window records the undo point before
// any change and redraws after.

/// The detector at `position` [m], -1 for none.
int DetectorAt(const KDConfig& config, int position);
/// The smallest whole position from 1 up without a detector; the road length when every
/// position below it holds one.
int FirstFreeDetectorPosition(const KDConfig& config);
/// The whole text is one whole number followed by nothing but blanks.
bool ScanPosition(const std::string& text, int& value);
/// A position a detector may move to or be added at: inside the road and free.
bool DetectorPositionUsable(const KDConfig& config, const std::string& text, int& position);
/// "&Insert every": a distance 9 < n < the road length.
bool EveryDistanceUsable(const KDConfig& config, const std::string& text, int& distance);
/// Adds a detector at n, 2n, ... below the road length where none is; returns how many.
int AddDetectorsEvery(KDConfig& config, int distance);
/// Adds a detector in the middle of every section where none is; returns how many.
int AddDetectorsCentred(KDConfig& config);
/// Moves detector n to `position`; returns the number of the detector now there, -1 when the
/// position is not usable (nothing changes then).
int MoveDetector(KDConfig& config, int n, int position);

/// The six fields of the traffic control page.
struct LightFields {
  int position = 0;
  int lane = 0;
  int cycle = 90;
  int green = 30;
  int yellow = 3;
  int offset = 0;
};
/// The fields of light n.
LightFields LightFieldsOf(const KDConfig& config, int n);
/// Why the fields cannot be applied to light n (-1: a new light); empty when they can: a
/// fixed-time light inside the road, no
/// other light at the same position and lane, green > 0, yellow > 0, green + yellow below the
/// cycle, offset >= 0.
std::string LightFieldsProblem(const KDConfig& config, int n, const LightFields& fields);
/// Some field differs from light n.
bool LightFieldsDiffer(const KDConfig& config, int n, const LightFields& fields);
/// The smallest whole position from 1 up without a lane 0 light; the road length when none.
int FirstFreeLightPosition(const KDConfig& config);
/// "%d: position %dm lane %d" for light n (number and lane from 1).
std::string LightListEntry(const KDConfig& config, int n);
