#include "roadview/RoadGlyphs.h"

#include <algorithm>
#include <cstdlib>

#include "config/KDConfig.h"

int OriginGlyphX(const RoadViewport& view, int sectionBegin, bool mostUpstream) {
  const int x = PositionToPixel(view, static_cast<float>(sectionBegin));
  if (mostUpstream) return x;
  return std::clamp(x, -21, view.bitmapWidth + 21);
}

std::vector<PixelPoint> OriginArrow(int x, int middle) {
  static constexpr PixelPoint kMoves[] = {{-8, -8}, {0, 3}, {-9, 0}, {0, 11},
                                          {9, 0},   {0, 3}, {8, -8}, {0, -1}};
  std::vector<PixelPoint> points{{x - 1, middle}};
  for (const PixelPoint& move : kMoves)
    points.push_back({points.back().x + move.x, points.back().y + move.y});
  return points;
}

std::vector<PixelPoint> DestinationBracket(int x, int top, int bottom) {
  const int middle = (top + bottom) / 2;
  return {{x - 3, middle + 6}, {x - 3, bottom - 3}, {x + 2, bottom - 3},
          {x + 2, top + 3},    {x - 3, top + 3},    {x - 3, middle - 5}};
}

LaneChangeAreaShape LaneChangeAreaGeometry(const RoadViewport& view, int lane, int position,
                                           int lengthRequired, int lengthVoluntary, bool mergeLeft,
                                           int routeChoiceGroup, int percentWidth) {
  LaneChangeAreaShape shape;
  const int laneTop = LaneTop(static_cast<float>(lane));
  shape.right = PositionToPixel(view, static_cast<float>(position)) - 1;
  shape.divider = PositionToPixel(view, static_cast<float>(position - lengthRequired));
  shape.left =
      PositionToPixel(view, static_cast<float>(position - lengthRequired - lengthVoluntary)) + 1;
  shape.top = laneTop + 3;
  shape.bottom = laneTop + 21;
  const int x = (shape.right + shape.left + percentWidth) / 2;
  const int y = laneTop + 12;
  // Towards the left lane the arrow points up, towards the right lane down.
  const int dir = mergeLeft ? -1 : 1;
  shape.stroke = {{x - 6, y}, {x + 6, y + dir * 8}};
  shape.head = {{x + 2, y + dir * 8}, {x + 6, y + dir * 8}, {x + 6, y + dir * 4}};
  shape.percent = routeChoiceGroup != 0;
  shape.percentCentre = {(shape.right + shape.left - 12) / 2, y};
  return shape;
}

TeleportGlyph TeleportGlyphAt(const KDConfig& config, const RoadViewport& view, bool entrance,
                              int section, int fromLane, int toLane) {
  const PixelRange range = SectionPixelRange(config, view, section);
  TeleportGlyph glyph;
  glyph.x = entrance ? range.left + 2 : range.right - 3;
  glyph.yFirst = LaneTop(static_cast<float>(fromLane)) + 12;
  glyph.yLast = LaneTop(static_cast<float>(toLane)) + 12;
  glyph.arcCentreX = entrance ? glyph.x - 12 : glyph.x + 12;
  return glyph;
}

bool TrafficLightLamp(int state, int x, int top, int halfWidth, PixelPoint& centre) {
  switch (state) {
    case 201:
      centre = {x, top + 1 + halfWidth};
      return true;  // red at the top
    case 202:
      centre = {x, top + 23 - halfWidth};
      return true;  // green at the bottom
    case 203:
      centre = {x, top + 12};
      return true;  // amber in the middle
    default:
      return false;
  }
}

bool TrafficLightPicked(const RoadViewport& view, int position, int lane, int x, int y) {
  const int lx = PositionToPixel(view, static_cast<float>(position));
  const int top = LaneTop(static_cast<float>(lane));
  return std::abs(x - lx) <= TRAFFIC_LIGHT_PICK_HALF_WIDTH && y > top && y < top + LANE_HEIGHT - 1;
}

int OriginGlyphAt(const RoadDisplayAreas& areas, int x, int y) {
  for (size_t i = 0; i < areas.origins.size(); ++i) {
    const GlyphArea& a = areas.origins[i];
    if (a.top < y && y < a.bottom && a.x - 18 < x && x < a.x) return static_cast<int>(i);
  }
  return -1;
}

int DestinationGlyphAt(const RoadDisplayAreas& areas, int x, int y) {
  for (size_t i = 0; i < areas.destinations.size(); ++i) {
    const GlyphArea& a = areas.destinations[i];
    if (a.top < y && y < a.bottom && a.x < x && x < a.x + 21) return static_cast<int>(i);
  }
  return -1;
}

int DetectorLabelAt(const RoadDisplayAreas& areas, int lanes, int x, int y) {
  if (y < RowsBelowRoad(lanes).detectorLineBottom) return -1;
  for (int d = static_cast<int>(areas.detectorLabels.size()) - 1; d >= 0; --d) {
    const DetectorLabelArea& area = areas.detectorLabels[d];
    if (area.halfWidth >= 0 && std::abs(x - area.x) <= area.halfWidth) return d;
  }
  return -1;
}
