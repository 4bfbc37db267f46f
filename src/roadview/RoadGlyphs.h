#pragma once

#include <vector>

#include "roadview/RoadGeometry.h"

// Geometry of the symbols drawn over the road: origins, destinations, lane change areas,
// teleports, traffic lights and the no-overtaking sign.

struct PixelPoint {
  int x;
  int y;
  bool operator==(const PixelPoint&) const = default;
};

/// Origin glyph column: the begin of the origin's section, kept within 21 pixels of the
/// bitmap unless the origin lies in the most upstream section.
int OriginGlyphX(const RoadViewport& view, int sectionBegin, bool mostUpstream);

/// Outline of the origin arrow, 18 pixels long, pointing downstream with its tip at x - 1.
std::vector<PixelPoint> OriginArrow(int x, int middle);
/// The narrow box of a destination around the arrow tip at x (= destination x + 18), open
/// where the arrow enters.
std::vector<PixelPoint> DestinationBracket(int x, int top, int bottom);

/// Where the origin's name and arrow are drawn for a glyph at x.
inline bool OriginNameVisible(int x, int bitmapWidth) { return x >= -18 && x <= bitmapWidth; }
inline bool OriginArrowVisible(int x, int bitmapWidth) { return x >= 0 && x <= bitmapWidth + 18; }
inline bool DestinationVisible(int x, int bitmapWidth) { return x >= -21 && x <= bitmapWidth; }

/// A lane change area: a box over its lane from the voluntary begin to the end, a divider
/// where the required part starts, an arrow towards the target lane and a "%" for areas of
/// a route choice group.
struct LaneChangeAreaShape {
  int left;
  int right;
  int divider;
  int top;
  int bottom;
  std::vector<PixelPoint> stroke;  // 2 points
  std::vector<PixelPoint> head;    // 3 points
  bool percent;
  PixelPoint percentCentre;
};
LaneChangeAreaShape LaneChangeAreaGeometry(const RoadViewport& view, int lane, int position,
                                           int lengthRequired, int lengthVoluntary, bool mergeLeft,
                                           int routeChoiceGroup, int percentWidth);

/// A teleport: a vertical line between the centres of its first and last lane, ending in
/// quarter circles of radius 12 that bend left (entrance) or right (exit).
struct TeleportGlyph {
  int x;
  int yFirst;
  int yLast;
  int arcCentreX;  // 12 pixels beside the line
};
TeleportGlyph TeleportGlyphAt(const KDConfig& config, const RoadViewport& view, bool entrance,
                              int section, int fromLane, int toLane);

/// The lamp a traffic light in `state` shows (its centre), for a light at x in the lane row
/// starting at top; false when no lamp is lit. The capsule is 2 * halfWidth wide.
bool TrafficLightLamp(int state, int x, int top, int halfWidth, PixelPoint& centre);

// ---- Picking with the mouse ------------------------------------------------------------------

/// A press picks a traffic light within 8 pixels of its column, strictly inside the rows of its
/// capsule (the lane row from top + 1 to top + 22).
constexpr int TRAFFIC_LIGHT_PICK_HALF_WIDTH = 8;
bool TrafficLightPicked(const RoadViewport& view, int position, int lane, int x, int y);

// Where the glyph of an origin or destination lies on the road picture, for picking it with
// the mouse: its column and the rows of its lanes.
struct GlyphArea {
  int x = 0;
  int top = 0;
  int bottom = 0;
};

// Where the drawing put a detector's label: centre x and half width [pixel]; half width -1
// when the label is out of view.
struct DetectorLabelArea {
  int x = 0;
  int halfWidth = -1;
};

// What the last drawing of the road put where, by rank: drawing state of the road view, never
// part of the configuration.
struct RoadDisplayAreas {
  std::vector<GlyphArea> origins;
  std::vector<GlyphArea> destinations;
  std::vector<DetectorLabelArea> detectorLabels;  // by detector number
};

/// The rank of the origin whose arrow (the 18 columns left of its x) lies strictly around
/// (x, y), searched from the first; -1 when there is none.
int OriginGlyphAt(const RoadDisplayAreas& areas, int x, int y);
/// The rank of the destination whose bracket (the 21 columns right of its x) lies strictly
/// around (x, y), searched from the first; -1 when there is none.
int DestinationGlyphAt(const RoadDisplayAreas& areas, int x, int y);
/// The detector whose label lies under column x, searched from the last; -1 for none. The
/// labels are picked from the end of the detector lines down, under a road of `lanes` lanes.
int DetectorLabelAt(const RoadDisplayAreas& areas, int lanes, int x, int y);
