#include "views/TrajectoryDrawing.h"

#include <algorithm>
#include <cmath>

#include "views/LaneColors.h"

VisibleSteps DiagramVisibleSteps(const DiagramMapping& mapping, int stepsPerSecond, int stepCount) {
  VisibleSteps steps;
  double low = mapping.TimeAt(mapping.AxisY());
  double high = mapping.TimeAt(0);
  steps.first = static_cast<int>(std::max(0.0, std::trunc(low * stepsPerSecond)));
  double last = std::trunc(high * stepsPerSecond);
  steps.last = static_cast<int>(std::min(last, static_cast<double>(stepCount)));
  return steps;
}

int LaneFilter::CountShown(int laneCount) const {
  int n = 0;
  for (int lane = 0; lane < laneCount && lane < 16; ++lane) n += shown[lane] ? 1 : 0;
  return n;
}

TrajectoryDrawResult DrawTrajectoryLines(const std::vector<VehicleTrack>& tracks,
                                         const DiagramMapping& mapping, const LaneFilter& lanes,
                                         int laneCount, int stepsPerSecond, int stepCount,
                                         PixelRaster& layer, const DrawingProgress& progress) {
  TrajectoryDrawResult result;
  if (stepsPerSecond <= 0) stepsPerSecond = 1;
  const VisibleSteps steps = DiagramVisibleSteps(mapping, stepsPerSecond, stepCount);
  const bool followColours = lanes.CountShown(laneCount) == 1;
  std::uint32_t laneWords[16];
  for (int lane = 0; lane < 16; ++lane) laneWords[lane] = PixelRaster::Word(LaneSeriesColor(lane));
  const std::uint32_t sufficient = PixelRaster::Word(FollowStateColor(true));
  const std::uint32_t wantsDistance = PixelRaster::Word(FollowStateColor(false));

  // x(p) - left = k·p - c and y(t) = the frame mapping, both precomputed as linear functions.
  const int left = mapping.Margins().left;
  const double xScale = mapping.XExact(1) - mapping.XExact(0);
  const double xOffset = mapping.XExact(0) - left;
  const double yScale = (mapping.YExact(1) - mapping.YExact(0)) / stepsPerSecond;
  const double yOffset = mapping.YExact(0);
  const int width = layer.Width();

  for (const VehicleTrack& track : tracks) {
    if (progress && !progress(result.points)) return result;
    if (track.LastIndex < 0) continue;
    int from = std::max(steps.first, track.FirstStep);
    int to = std::min(steps.last, track.FirstStep + track.LastIndex);
    bool inLine = false;
    int px = 0, py = 0;
    for (int step = from; step <= to; ++step) {
      const std::uint32_t sample = track.Samples[static_cast<size_t>(step - track.FirstStep)];
      const int lane = SampleLane(sample);
      const double xd = std::trunc(SamplePosition(sample) * xScale + xOffset + left) - left;
      if (!lanes.Shown(lane) || xd < 0) {
        inLine = false;  // a hidden lane or the left edge breaks the line
        continue;
      }
      if (xd > width) break;  // the rest of the track lies right of the plot
      const int x = static_cast<int>(xd);
      const int y = static_cast<int>(std::clamp(std::trunc(step * yScale + yOffset), -1e8, 1e8));
      ++result.points;
      if (!inLine) {
        inLine = true;
      } else if (x != px || y != py) {
        std::uint32_t word = followColours
                                 ? (SampleKeepsDistance(sample) ? sufficient : wantsDistance)
                                 : laneWords[lane];
        layer.Line(px, py, x, y, word);
      }
      px = x;
      py = y;
    }
  }
  result.complete = true;
  return result;
}
