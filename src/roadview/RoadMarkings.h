#pragma once

#include <vector>

#include "roadview/RoadGeometry.h"

class KDConfig;

// The lane markings of the road picture: solid and dashed lines along the lane edges,
// hatching of merge lanes and the figures of tapered ramps.

/// Two lanes disagree on their common edge when the lower lane's left-side change bits differ
/// from the upper lane's right-side bits; each then draws its own line 2 pixels inside.
bool LanesDisagree(int upperType, int lowerType);

struct MarkingLine {
  bool solid;  // solid: 3 pixels thick, centred on y; dashed: 1 pixel, the 3-in-12 pattern
  int y;
  int x1;  // first column
  int x2;  // one past the last column
};
/// The lines lane `lane` of `section` draws over the columns left .. right of its section.
std::vector<MarkingLine> LaneMarkings(const KDConfig& config, int section, int lane,
                                      PixelRange columns, bool drawTapers);

/// Hatching of a paved lane: lines rising to the right (merge left), falling to the right
/// (merge right), or both (blocked).
struct Hatching {
  bool rising = false;
  bool falling = false;
};
Hatching HatchingOf(int laneType);
/// Whether pixel (x, y) lies on the hatching of a lane whose top row is `top`; the lines are
/// 4 pixels apart along the lane's edge, in phase with x0 (the column of position 0).
bool OnHatching(Hatching hatching, int x0, int top, int x, int y);

/// The figure of a tapered ramp, drawn once per run of taper sections from its upper lane
/// and most downstream section.
struct TaperFigure {
  bool onRamp;     // two lanes narrowing to one; otherwise one lane widening to two
  int left;        // column of the begin of the run's most upstream section
  int right;       // column of the end of the run's most downstream section
  int top;         // LaneTop of the upper taper lane
  int rightDepth;  // the figure's height at `right` [pixels]
  int leftDepth;   // its height at `left`
  std::vector<Dash> dividerDashes;  // horizontal dashes of the divider
  std::vector<int> dividerRows;     // the row of each dash
};
/// Whether (section, lane) draws a taper figure, and which.
bool TaperFigureAt(const KDConfig& config, const RoadViewport& view, int section, int lane,
                   TaperFigure& figure);
