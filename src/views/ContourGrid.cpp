#include "views/ContourGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "config/ProgramError.h"
#include "roadview/RoadColors.h"
#include "views/NumberFormat.h"

void ContourGrid::Layout(const DiagramMapping& mapping, int width, int height, int stepsPerSecond) {
  stepsPerSecond_ = stepsPerSecond > 0 ? stepsPerSecond : 1;
  dt_ = 1.0 / stepsPerSecond_;
  double stepHeight = mapping.YExact(0) - mapping.YExact(dt_);
  bucketHeight_ = static_cast<float>(std::max(4.0, stepHeight));
  xBuckets_ = static_cast<int>(width / kCellWidth + 1);
  tBuckets_ = static_cast<int>(height / bucketHeight_ + 1);
  cells_.assign(static_cast<size_t>(xBuckets_) * static_cast<size_t>(tBuckets_), ContourCell{});
  const int left = mapping.Margins().left;
  x0_ = mapping.PositionAt(left);
  dx_ = mapping.PositionAt(left + kCellWidth) - x0_;
  t0_ = mapping.TimeAt(mapping.AxisY());
  dT_ = mapping.TimeAt(mapping.AxisY() - bucketHeight_) - t0_;
  steps_.first = static_cast<int>(std::max(0.0, std::trunc(t0_ * stepsPerSecond_)));
  steps_.last = static_cast<int>(std::trunc(mapping.TimeAt(0) * stepsPerSecond_));
  updates_ = 0;
}

std::optional<double> ContourGrid::CellSpeed(int column, int row) const {
  if (column < 0 || row < 0 || column >= xBuckets_ || row >= tBuckets_) return std::nullopt;
  const ContourCell& cell = Cell(column, row);
  if (!(cell.time > 0)) return std::nullopt;
  return static_cast<double>(cell.distance) / cell.time;
}

std::optional<double> ContourGrid::SpeedAt(double position, double time) const {
  if (dx_ == 0 || dT_ == 0) return std::nullopt;
  double column = std::trunc((position - x0_) / dx_);
  double row = std::trunc((time - t0_) / dT_);
  if (column < 0 || row < 0 || column >= xBuckets_ || row >= tBuckets_) return std::nullopt;
  return CellSpeed(static_cast<int>(column), static_cast<int>(row));
}

bool ContourGrid::AddPair(int step, double x, double nextX) {
  if (nextX < x0_) return true;
  double rowValue = std::trunc((step * dt_ - t0_) / dT_);
  if (rowValue >= tBuckets_) return false;
  if (rowValue < 0) return true;
  const int row = static_cast<int>(rowValue);
  const double startValue = std::trunc((x - x0_) / dx_);
  const double endValue = std::min(std::trunc((nextX - x0_) / dx_), double(xBuckets_ - 1));
  if (endValue < 0 || startValue > endValue) return true;
  const int startX = static_cast<int>(std::max(startValue, -1.0));
  const int endX = static_cast<int>(endValue);
  const double moved = nextX - x;
  auto share = [&](int k, double& d, double& s) {
    d = dx_;
    if (k == startX) d -= x - x0_ - k * dx_;
    if (k == endX) d -= (k + 1) * dx_ - (nextX - x0_);
    s = dt_;
    if (k != startX) s -= (k * dx_ - (x - x0_)) / moved * dt_;
    if (k != endX) s -= ((nextX - x0_) - (k + 1) * dx_) / moved * dt_;
  };
  // A share above 100 m/s in any cell is a jump (through a teleport), not driving: the whole
  // pair stays out of the diagram.
  double d = 0, s = 0;
  for (int k = std::max(startX, 0); k <= endX; ++k) {
    share(k, d, s);
    if (s != 0 && d / s > 100) return true;
  }
  ContourCell* row0 = &cells_[static_cast<size_t>(row) * xBuckets_];
  for (int k = std::max(startX, 0); k <= endX; ++k) {
    share(k, d, s);
    row0[k].distance += static_cast<float>(d);
    row0[k].time += static_cast<float>(s);
    ++updates_;
  }
  return true;
}

bool ContourGrid::AddTracks(const std::vector<VehicleTrack>& tracks, const LaneFilter& lanes,
                            int stepCount, double roadLength, const DrawingProgress& progress) {
  const int first = steps_.first;
  const int last = std::min(steps_.last, stepCount);
  for (const VehicleTrack& track : tracks) {
    if (progress && !progress(updates_)) return false;
    if (track.FirstStep > last || track.FirstStep + track.LastIndex < first) continue;
    const int end = std::min(last, track.FirstStep + track.LastIndex);
    for (int k = std::max(track.FirstStep, first); k < end; ++k) {
      const size_t i = static_cast<size_t>(k - track.FirstStep);
      const std::uint32_t sample = track.Samples[i];
      if (!lanes.Shown(SampleLane(sample))) continue;
      const double x = SamplePosition(sample);
      const double nextX = SamplePosition(track.Samples[i + 1]);
      if (nextX > roadLength + 100) {
        ProgramError("TFormContours::DrawContents: NextX too big");
        return false;
      }
      if (!AddPair(k, x, nextX)) break;
    }
  }
  return true;
}

void ContourGrid::Paint(PixelRaster& layer) const {
  const int height = layer.Height();
  for (int j = 0; j < tBuckets_; ++j) {
    const int top = static_cast<int>(height - (j + 1) * bucketHeight_);
    const int bottom = static_cast<int>(height - j * bucketHeight_);
    for (int i = 0; i < xBuckets_; ++i) {
      const ContourCell& cell = Cell(i, j);
      if (!(cell.time > 0)) continue;
      RgbColor color = ContourColor(static_cast<double>(cell.distance) / cell.time * 0.024);
      layer.FillRect(static_cast<int>(i * kCellWidth), top, static_cast<int>((i + 1) * kCellWidth),
                     bottom, PixelRaster::Word(color));
    }
  }
}

std::string ContourReadout(double position, double time, std::optional<double> speedKmh,
                           const std::string& vIs, const std::string& format) {
  std::string text = Format("%d, %d", static_cast<int>(std::trunc(position + 0.5)),
                            static_cast<int>(std::trunc(time + 0.5)));
  if (!speedKmh) return text;
  // The format is a patchable text with one floating-point conversion.
  std::string speed = FormatOneNumber(format, *speedKmh, "%6.1f km/h");
  if (!speed.empty() && speed[0] == ' ') speed.erase(0, 1);
  return text + vIs + " " + speed;
}
