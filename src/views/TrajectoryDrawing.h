#pragma once

#include <functional>
#include <vector>

#include "shell/VehicleTrack.h"
#include "views/DiagramMapping.h"
#include "views/PixelRaster.h"

// The steps the diagram shows: from the time at the plot's bottom to the time at its top,
// no further than the steps done.
struct VisibleSteps {
  int first = 0;
  int last = -1;
};
VisibleSteps DiagramVisibleSteps(const DiagramMapping& mapping, int stepsPerSecond, int stepCount);

/// The lanes a diagram shows (trajectories) or includes (contours); lanes 0 .. 15 fit a sample.
struct LaneFilter {
  bool shown[16] = {true, true, true, true, true, true, true, true,
                    true, true, true, true, true, true, true, true};
  bool Shown(int lane) const { return lane >= 0 && lane < 16 && shown[lane]; }
  int CountShown(int laneCount) const;
};

// Between tracks the drawing asks whether to go on; `points` counts the samples drawn so far.
// A false answer abandons the drawing (a newer change will draw anew).
using DrawingProgress = std::function<bool(long long points)>;

struct TrajectoryDrawResult {
  bool complete = false;
  long long points = 0;
};

/// Draws the trajectories onto the layer `layer`, whose x = 0 is the plot's left edge (the
/// frame's left margin) and whose rows are the frame's. With exactly one of `laneCount` lanes
/// shown the lines take the follow-state colours, else the lane colours.
TrajectoryDrawResult DrawTrajectoryLines(const std::vector<VehicleTrack>& tracks,
                                         const DiagramMapping& mapping, const LaneFilter& lanes,
                                         int laneCount, int stepsPerSecond, int stepCount,
                                         PixelRaster& layer, const DrawingProgress& progress = {});
