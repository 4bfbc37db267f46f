#pragma once

#include <cstdint>
#include <string>
#include <vector>

class KDConfig;

// Pixel geometry of the road picture. The road runs from left (position 0, upstream) to right
// (the road end); every lane is a row 24 pixels high. Coordinates are bitmap pixels, x to the
// right, y downwards.

/// The zoom factors: the E12 series from 1 to 1000.
constexpr int ZOOM_FACTOR_COUNT = 37;
extern const double ZoomFactors[ZOOM_FACTOR_COUNT];
/// The zoom control offers the factors 1 .. 100.
constexpr int ZOOM_INDEX_MAX = 24;
/// The scroll bar runs from the road start (0) to its end (1000).
constexpr int SCROLL_MAX = 1000;

/// Pixels left of position 0 at scroll position 0, and the margins of the mapped width.
constexpr int ROAD_LEFT_MARGIN = 18;
constexpr int ROAD_WIDTH_MARGIN = 39;
constexpr int LANE_HEIGHT = 24;

/// Top row of lane `lane` (fractions allowed): lane 0 starts 5 pixels below the top.
int LaneTop(float lane);

/// What the picture shows: the bitmap's width, the road length [m], the zoom index and the
/// scroll position.
struct RoadViewport {
  int bitmapWidth = 0;
  int roadLength = 1;  // [m]
  int zoomIndex = 0;
  int scroll = 0;

  /// The zoom factor; an index outside the table reads as its nearest end.
  double Zoom() const;
  /// The pixels the whole road takes at zoom 1.
  double MappedWidth() const { return bitmapWidth - ROAD_WIDTH_MARGIN; }
};

/// The x of position `position` [m].
int PositionToPixel(const RoadViewport& view, float position);
/// The position [m] under the centre of pixel column x.
double PositionUnderPixel(const RoadViewport& view, int x);
/// The section under pixel column x: -1 left of the road or right of its end.
int PixelToSection(const KDConfig& config, const RoadViewport& view, int x);

struct PixelRange {
  int left = 0;
  int right = 0;
};
/// The columns a section covers; the outer sections extend to the bitmap edges.
PixelRange SectionPixelRange(const KDConfig& config, const RoadViewport& view, int section);

/// Rows of the parts under the lanes of a mode with `lanes` lane rows.
struct BelowRoadRows {
  int detectorLineBottom;  // silver detector lines run from 0 to here
  int scaleTop;            // top of the distance scale's labels
  int labelTickTop;        // detector label tick runs from labelBoxTop up to here
  int labelBoxTop;
  int labelBoxBottomBase;  // plus the text height
  int labelTextTop;
};
BelowRoadRows RowsBelowRoad(int lanes);

/// The start columns of the 3-in-12 dashes, phased with `x0` (the column of position 0),
/// that touch the columns from..to-1, with each dash clipped to that stretch.
struct Dash {
  int x1;     // first column
  int x2;     // one past the last column
  int start;  // the unclipped dash's first column
};
std::vector<Dash> DashesBetween(int x0, int from, int to);

/// Distance scale: the label step [m] for labels `textWidth` pixels wide.
int ScaleStep(const RoadViewport& view, int textWidth);
/// The positions [m] of the scale labels under the bitmap.
std::vector<int> ScaleLabelPositions(const RoadViewport& view, int step);

/// One item of the section header above the road.
struct HeaderItem {
  int width = 0;
  std::string caption;
};
/// Sets the header's items for the picture: at least one per section, the leftmost for the
/// most upstream section; sections out of view get width 0.
void LayoutSectionHeader(const KDConfig& config, const RoadViewport& view,
                         std::vector<HeaderItem>& items);

/// The scroll bar's page step at a zoom index above 0.
int ScrollLargeChange(int zoomIndex);

/// Selection rectangle of the road pages: the selected sections (-1 none) and lanes (-1 none).
struct RoadSelection {
  int upstreamSection = -1;    // the higher-numbered selected section
  int downstreamSection = -1;  // the lower-numbered selected section
  int firstLane = -1;
  int lastLane = -1;
  bool Any() const { return upstreamSection >= 0 || downstreamSection >= 0 || firstLane >= 0; }
};
struct PixelRect {
  int left;
  int top;
  int right;   // inclusive
  int bottom;  // inclusive
};
PixelRect SelectionRectangle(const KDConfig& config, const RoadViewport& view, int bitmapHeight,
                             const RoadSelection& selection);
