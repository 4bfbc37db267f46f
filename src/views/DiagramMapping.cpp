#include "views/DiagramMapping.h"

#include <algorithm>
#include <cmath>

#include "roadview/RoadGeometry.h"

namespace {

double Trunc(double v) { return std::trunc(v); }

int ToPixel(double v) {
  // Far-off positions of a deep zoom stay far off without overflowing.
  v = std::clamp(v, -1.0e8, 1.0e8);
  return static_cast<int>(v);
}

}  // namespace

DiagramMargins DiagramMargins::FromTextExtents(int zerosWidth, int captionWidth, int textHeight) {
  DiagramMargins m;
  m.left = zerosWidth + 6;
  m.right = captionWidth + 4;
  m.top = textHeight * 3 / 2;
  m.bottom = textHeight + 4;
  return m;
}

double DiagramUnitX(double length, int plotWidth) {
  static const double kFactors[3] = {2, 2.5, 2};
  double a = 100;
  for (int i = 0; plotWidth > 0 && plotWidth * a < length && a < 1e12; ++i) a *= kFactors[i % 3];
  return a;
}

double DiagramUnitT(double maxTime) {
  static const double kFactors[3] = {0.5, 0.5, 0.4};
  double b = 1200000;
  for (int i = 0; b > maxTime && b > 1e-9; ++i) b *= kFactors[i % 3];
  return b > 1e-9 && maxTime > 0 ? b : 1;
}

DiagramMapping::DiagramMapping(double length, double maxTime, int bitmapWidth, int bitmapHeight,
                               const DiagramMargins& margins, const DiagramView& view)
    : length_(length > 0 ? length : 1),
      maxTime_(maxTime > 0 ? maxTime : 1),
      width_(bitmapWidth),
      height_(bitmapHeight),
      margins_(margins),
      view_(view) {
  int zx = std::clamp(view.zoomX, 0, DIAGRAM_ZOOM_X_MAX);
  int zy = std::clamp(DIAGRAM_ZOOM_Y_MAX - view.zoomY, 0, ZOOM_FACTOR_COUNT - 1);
  zx_ = ZoomFactors[zx];
  zy_ = ZoomFactors[zy];
  int rawWidth = std::max(1, bitmapWidth - margins.left - margins.right);
  int rawHeight = std::max(1, bitmapHeight - margins.top - margins.bottom);
  a_ = DiagramUnitX(length_, rawWidth);
  b_ = DiagramUnitT(maxTime_);
  double xMultiple = length_ / a_;
  double tMultiple = maxTime_ / b_;
  q_ = xMultiple > 0 ? std::floor(rawWidth / xMultiple) * xMultiple : rawWidth;
  p_ = tMultiple > 0 ? std::floor(rawHeight / tMultiple) * tMultiple : rawHeight;
  if (q_ <= 0) q_ = rawWidth;
  if (p_ <= 0) p_ = rawHeight;
}

double DiagramMapping::XExact(double position) const {
  return q_ * zx_ * position / length_ - q_ * (zx_ - 1) * view_.scrollX / DIAGRAM_SCROLL_X_MAX +
         margins_.left;
}

double DiagramMapping::YExact(double time) const {
  return height_ - margins_.bottom - p_ * zy_ * time / maxTime_ +
         p_ * (zy_ - 1) * (DIAGRAM_SCROLL_Y_MAX - view_.scrollY) / DIAGRAM_SCROLL_Y_MAX;
}

int DiagramMapping::X(double position) const { return ToPixel(Trunc(XExact(position))); }
int DiagramMapping::Y(double time) const { return ToPixel(Trunc(YExact(time))); }

double DiagramMapping::PositionAt(double x) const {
  return (x - margins_.left + q_ * (zx_ - 1) * view_.scrollX / DIAGRAM_SCROLL_X_MAX) * length_ /
         (q_ * zx_);
}

double DiagramMapping::TimeAt(double y) const {
  return (height_ - margins_.bottom +
          p_ * (zy_ - 1) * (DIAGRAM_SCROLL_Y_MAX - view_.scrollY) / DIAGRAM_SCROLL_Y_MAX - y) *
         maxTime_ / (p_ * zy_);
}

double DiagramMapping::PositionLabelStep(int labelWidth) const {
  static const double kFactors[3] = {2, 2.5, 2};
  double step = 10;
  for (int i = 0; q_ * zx_ * step / length_ <= labelWidth && step < 1e9; ++i)
    step *= kFactors[i % 3];
  return step;
}

double DiagramMapping::TimeLabelStep(int labelHeight) const {
  static const double kFactors[3] = {2, 2, 2.5};
  double step = 3;
  for (int i = 0; p_ * zy_ * step / maxTime_ <= labelHeight && step < 1e9; ++i)
    step *= kFactors[i % 3];
  return step;
}

int DiagramMapping::LargeChangeX() const {
  // The visible span is 1/Zx of the road; the scroll bar covers the rest (1 - 1/Zx).
  if (zx_ <= 1) return DIAGRAM_SCROLL_X_MAX;
  return std::max(1, static_cast<int>(0.9 * DIAGRAM_SCROLL_X_MAX / (zx_ - 1)));
}

int DiagramMapping::LargeChangeY() const {
  if (zy_ <= 1) return DIAGRAM_SCROLL_Y_MAX;
  return std::max(1, static_cast<int>(0.9 * DIAGRAM_SCROLL_Y_MAX / (zy_ - 1)));
}

AxisZoom ZoomIntoSpan(double start, double selected, double range) {
  AxisZoom zoom;
  double span = selected + 1;
  if (span <= range / ZoomFactors[ZOOM_FACTOR_COUNT - 1]) {
    zoom.index = ZOOM_FACTOR_COUNT - 1;
  } else {
    for (int i = 0; i < ZOOM_FACTOR_COUNT; ++i)
      if (span < range / ZoomFactors[i]) zoom.index = i;
  }
  double visible = range / ZoomFactors[zoom.index];
  zoom.start = std::max(0.0, start - (visible - span) / 2);
  return zoom;
}

DiagramView ZoomIntoRectangle(double p1, double t1, double p2, double t2, double length,
                              double maxTime) {
  length = length > 0 ? length : 1;
  maxTime = maxTime > 0 ? maxTime : 1;
  DiagramView view;
  AxisZoom x = ZoomIntoSpan(std::min(p1, p2), std::fabs(p2 - p1), length);
  AxisZoom t = ZoomIntoSpan(std::min(t1, t2), std::fabs(t2 - t1), maxTime);
  view.zoomX = std::min(x.index, DIAGRAM_ZOOM_X_MAX);
  view.zoomY = DIAGRAM_ZOOM_Y_MAX - t.index;
  // The x track bar ends before the table does: centre again for the factor it gives.
  if (view.zoomX != x.index)
    x = {view.zoomX,
         std::max(0.0, std::min(p1, p2) -
                           (length / ZoomFactors[view.zoomX] - std::fabs(p2 - p1) - 1) / 2)};
  // The scroll positions whose visible span starts at the centred start: the mapping's own
  // inverse, so the selection stays in view.
  double zx = ZoomFactors[view.zoomX];
  double zy = ZoomFactors[t.index];
  double sx = zx > 1 ? std::round(DIAGRAM_SCROLL_X_MAX * x.start * zx / (length * (zx - 1))) : 0;
  double sy = zy > 1 ? std::round(DIAGRAM_SCROLL_Y_MAX * (1 - t.start * zy / (maxTime * (zy - 1))))
                     : DIAGRAM_SCROLL_Y_MAX;
  view.scrollX = static_cast<int>(std::clamp(sx, 0.0, double(DIAGRAM_SCROLL_X_MAX)));
  view.scrollY = static_cast<int>(std::clamp(sy, 0.0, double(DIAGRAM_SCROLL_Y_MAX)));
  return view;
}
