#include "roadview/RoadGeometry.h"

#include <algorithm>
#include <cmath>

#include "config/KDConfig.h"

const double ZoomFactors[ZOOM_FACTOR_COUNT] = {
    1.0,   1.2,   1.5,   1.8,   2.2,   2.7,   3.3,   3.9,   4.7,   5.6,   6.8,   8.2,   10.0,
    12.0,  15.0,  18.0,  22.0,  27.0,  33.0,  39.0,  47.0,  56.0,  68.0,  82.0,  100.0, 120.0,
    150.0, 180.0, 220.0, 270.0, 330.0, 390.0, 470.0, 560.0, 680.0, 820.0, 1000.0};

namespace {

// Float to pixel conversions truncate towards zero, as every other conversion in the program.
// Positions far off the picture are held within the int range, where they stay off it.
int Trunc(double value) {
  constexpr double kLimit = 1e9;
  if (!(value > -kLimit)) return static_cast<int>(-kLimit);
  if (value > kLimit) return static_cast<int>(kLimit);
  return static_cast<int>(value);
}

double RoadLengthOf(const RoadViewport& view) {
  // A road has a positive length; guard the division anyway.
  return view.roadLength > 0 ? view.roadLength : 1.0;
}

}  // namespace

int LaneTop(float lane) { return Trunc(lane * 24.0 + 5.0); }

double RoadViewport::Zoom() const {
  return ZoomFactors[std::clamp(zoomIndex, 0, ZOOM_FACTOR_COUNT - 1)];
}

int PositionToPixel(const RoadViewport& view, float position) {
  const double w = view.MappedWidth();
  const double z = view.Zoom();
  return Trunc(w * z * position / RoadLengthOf(view) - w * (z - 1) * view.scroll * 0.001 +
               ROAD_LEFT_MARGIN);
}

double PositionUnderPixel(const RoadViewport& view, int x) {
  const double w = view.MappedWidth();
  const double z = view.Zoom();
  const double length = RoadLengthOf(view);
  if (w <= 0) return 0.0;
  return ((x + 0.5 - ROAD_LEFT_MARGIN) / z / w) * length +
         length * ((z - 1) / z) * view.scroll * 0.001;
}

int PixelToSection(const KDConfig& config, const RoadViewport& view, int x) {
  const double position = std::floor(PositionUnderPixel(view, x));
  if (position < 0) return -1;
  // Unlike SectionAt, the road end itself lies beyond the road here.
  for (int s = config.Boundaries(); s >= 0; --s)
    if (config.SectionPos(s, WHENCE_END) > position) return s;
  return -1;
}

PixelRange SectionPixelRange(const KDConfig& config, const RoadViewport& view, int section) {
  PixelRange range;
  range.right =
      section == 0
          ? view.bitmapWidth + 1
          : PositionToPixel(view, static_cast<float>(config.SectionPos(section, WHENCE_END)));
  range.left =
      section == config.Boundaries()
          ? 0
          : PositionToPixel(view, static_cast<float>(config.SectionPos(section, WHENCE_BEGIN)));
  if (range.left > view.bitmapWidth) range.left = view.bitmapWidth + 1;
  if (range.left < 0) range.left = 0;
  return range;
}

BelowRoadRows RowsBelowRoad(int lanes) {
  const int roadBottom = LANE_HEIGHT * lanes;
  return {roadBottom + 29, roadBottom + 11, roadBottom + 24,
          roadBottom + 27, roadBottom + 31, roadBottom + 29};
}

std::vector<Dash> DashesBetween(int x0, int from, int to) {
  std::vector<Dash> dashes;
  if (to <= from) return dashes;
  // The first dash start at or before `from` - 3, in phase with x0.
  const int offset = ((from - 3 - x0) % 12 + 12) % 12;
  for (int x = from - 3 - offset; x < to; x += 12) {
    const int x1 = std::max(x, from);
    const int x2 = std::min(x + 3, to);
    if (x1 < x2) dashes.push_back({x1, x2, x});
  }
  return dashes;
}

int ScaleStep(const RoadViewport& view, int textWidth) {
  const double pixelsPerMetre = view.MappedWidth() * view.Zoom() / RoadLengthOf(view);
  for (const int step : {10, 100, 200, 500, 1000, 2000, 5000})
    if (pixelsPerMetre * step >= textWidth + 5) return step;
  return 10000;
}

std::vector<int> ScaleLabelPositions(const RoadViewport& view, int step) {
  std::vector<int> positions;
  if (step <= 0) return positions;
  const double pLeft = PositionUnderPixel(view, 0);
  const double pRight = PositionUnderPixel(view, view.bitmapWidth);
  const long long first = static_cast<long long>(pLeft / step) * step;
  const long long end = std::min(static_cast<long long>(pRight) + step,
                                 static_cast<long long>(view.roadLength) + step);
  for (long long p = first; p < end; p += step) positions.push_back(static_cast<int>(p));
  return positions;
}

void LayoutSectionHeader(const KDConfig& config, const RoadViewport& view,
                         std::vector<HeaderItem>& items) {
  const int boundaries = config.Boundaries();
  if (static_cast<int>(items.size()) < boundaries + 1) items.resize(boundaries + 1);
  for (size_t k = boundaries + 1; k < items.size(); ++k) items[k].width = 0;
  // The running edge walks from beyond the right edge leftwards, section 0 first.
  int edge = view.bitmapWidth + 10;
  for (int s = 0; s <= boundaries; ++s) {
    HeaderItem& item = items[boundaries - s];
    const PixelRange range = SectionPixelRange(config, view, s);
    if (range.left < 1) {
      item.width = edge;
      edge = 0;
    }
    if (range.right >= 1 && range.left <= view.bitmapWidth) {
      if (range.left >= 1) {
        item.width = edge - range.left;
        edge = range.left;
      }
      // Section 1 is the most downstream one, except for the external model, which counts
      // its links from the road start.
      const int number = ProgramMode() == DOVEL ? boundaries - s + 1 : s + 1;
      item.caption = std::to_string(number);
    } else {
      item.width = 0;
    }
  }
  if (edge >= 1) items[0].width = edge;
}

int ScrollLargeChange(int zoomIndex) {
  const double z = RoadViewport{0, 1, zoomIndex, 0}.Zoom();
  if (z <= 1.0) return 0;
  return Trunc(SCROLL_MAX / (z - 1) * 9 * 0.1);
}

PixelRect SelectionRectangle(const KDConfig& config, const RoadViewport& view, int bitmapHeight,
                             const RoadSelection& selection) {
  const int boundaries = config.Boundaries();
  const bool upstreamIsFirst =
      selection.upstreamSection < 0 || selection.upstreamSection >= boundaries;
  const int begin =
      upstreamIsFirst ? 0 : config.SectionPos(selection.upstreamSection, WHENCE_BEGIN);
  const int end = selection.downstreamSection < 0
                      ? config.Length()
                      : config.SectionPos(selection.downstreamSection, WHENCE_END);
  PixelRect rect{PositionToPixel(view, static_cast<float>(begin)), 0,
                 PositionToPixel(view, static_cast<float>(end)), bitmapHeight - 1};
  if (selection.firstLane >= 0) {
    const int last = std::max(selection.firstLane, selection.lastLane);
    rect.top = LaneTop(static_cast<float>(std::min(selection.firstLane, last))) + 1;
    rect.bottom = LaneTop(static_cast<float>(last + 1)) - 1;
  }
  return rect;
}
