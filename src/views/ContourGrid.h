#pragma once

#include <optional>
#include <string>
#include <vector>

#include "shell/VehicleTrack.h"
#include "views/DiagramMapping.h"
#include "views/PixelRaster.h"
#include "views/TrajectoryDrawing.h"

// The speed contour diagram's cells: the plot cut into cells 4 pixels wide and at least 4
// pixels (one step) tall; each cell sums the distance travelled inside it and the time spent
// there, and shows distance / time on the red-yellow-lime speed scale.
struct ContourCell {
  float distance = 0;  // [m]
  float time = 0;      // [s]
};

class ContourGrid {
 public:
  static constexpr float kCellWidth = 4.0f;  // [pixels]

  /// The geometry of a contents layer of `width` × `height` pixels under `mapping` (its x = 0
  /// at the frame's left margin); the cells are all empty.
  void Layout(const DiagramMapping& mapping, int width, int height, int stepsPerSecond);

  int XBuckets() const { return xBuckets_; }
  int TBuckets() const { return tBuckets_; }
  float BucketHeight() const { return bucketHeight_; }
  double X0() const { return x0_; }
  double Dx() const { return dx_; }
  double T0() const { return t0_; }
  double DT() const { return dT_; }
  const VisibleSteps& Steps() const { return steps_; }
  const ContourCell& Cell(int column, int row) const {
    return cells_[static_cast<size_t>(row) * xBuckets_ + column];
  }
  /// Mean speed [m/s] of a cell that holds time; none for an empty cell or one outside.
  std::optional<double> CellSpeed(int column, int row) const;
  /// The cell at a position [m] and time [s].
  std::optional<double> SpeedAt(double position, double time) const;

  /// Adds one step pair (samples of steps `step` and `step` + 1, positions [m]); false when the
  /// pair's row lies above the grid, which ends the track. Pairs implying more than 100 m/s
  /// inside a cell (a jump through a teleport) are left out.
  bool AddPair(int step, double x, double nextX);

  /// Adds every visible step pair of the tracks whose first sample lies in an included lane.
  /// Returns false when `progress` stopped it.
  bool AddTracks(const std::vector<VehicleTrack>& tracks, const LaneFilter& lanes, int stepCount,
                 double roadLength, const DrawingProgress& progress = {});

  /// Paints the cells holding time onto the layer (ContourColor of the speed as a fraction of
  /// 150 km/h); empty cells keep the layer's colour.
  void Paint(PixelRaster& layer) const;
  long long Updates() const { return updates_; }

 private:
  int xBuckets_ = 0;
  int tBuckets_ = 0;
  float bucketHeight_ = 4;
  double x0_ = 0, dx_ = 1, t0_ = 0, dT_ = 1, dt_ = 1;
  int stepsPerSecond_ = 1;
  VisibleSteps steps_;
  std::vector<ContourCell> cells_;
  long long updates_ = 0;
};

/// The read-out of the contour diagram: "position, time" rounded, then the cell speed when
/// known: `vIs` (", v ="), a blank and the speed [km/h] formatted with `format` ("%6.1f km/h")
/// with one leading blank dropped.
std::string ContourReadout(double position, double time, std::optional<double> speedKmh,
                           const std::string& vIs, const std::string& format);
