#pragma once

#include <cstdint>

// The position-time plane of the trajectory and contour diagrams: position along the road [m]
// to the right, simulated time [s] upwards. Coordinates are bitmap pixels of the frame, x to
// the right, y downwards.

/// Track bar and scroll bar ranges of both diagrams.
constexpr int DIAGRAM_ZOOM_X_MAX = 24;      // TrackBarZoomX 0 .. 24
constexpr int DIAGRAM_ZOOM_Y_MAX = 36;      // TrackBarZoomY 0 .. 36, 36 = no zoom
constexpr int DIAGRAM_SCROLL_X_MAX = 1000;  // ScrollBarScrollX
constexpr int DIAGRAM_SCROLL_Y_MAX = 4320;  // ScrollBarScrollY: the maximum shows time 0

/// The margins around the plot, measured once from the window's font.
struct DiagramMargins {
  int left = 0;    // width of "00000" + 6
  int right = 0;   // width of "x [m]" + 4
  int top = 0;     // 1.5 x height of "Xy"
  int bottom = 0;  // height of "Xy" + 4
  /// Margins from the text extents of "00000", "x [m]" and "Xy".
  static DiagramMargins FromTextExtents(int zerosWidth, int captionWidth, int textHeight);
};

/// The controls' positions.
struct DiagramView {
  int zoomX = 0;                       // TrackBarZoomX position
  int zoomY = DIAGRAM_ZOOM_Y_MAX;      // TrackBarZoomY position
  int scrollX = 0;                     // ScrollBarScrollX position
  int scrollY = DIAGRAM_SCROLL_Y_MAX;  // ScrollBarScrollY position
};

class DiagramMapping {
 public:
  /// `length` the road length [m], `maxTime` the stop time [s], the frame bitmap's size.
  DiagramMapping(double length, double maxTime, int bitmapWidth, int bitmapHeight,
                 const DiagramMargins& margins, const DiagramView& view);

  double Length() const { return length_; }
  double MaxTime() const { return maxTime_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  const DiagramMargins& Margins() const { return margins_; }
  const DiagramView& View() const { return view_; }
  double ZoomX() const { return zx_; }
  double ZoomY() const { return zy_; }
  /// The x unit [m] and the time unit [s] that round the plot's size.
  double UnitX() const { return a_; }
  double UnitT() const { return b_; }
  /// The plot's pixel width Q and height P.
  double PlotWidth() const { return q_; }
  double PlotHeight() const { return p_; }
  /// The bottom row of the plot (the time axis).
  int AxisY() const { return height_ - margins_.bottom; }

  int X(double position) const;
  int Y(double time) const;
  /// Unrounded mappings, for the pixel size of one step.
  double XExact(double position) const;
  double YExact(double time) const;
  double PositionAt(double x) const;
  double TimeAt(double y) const;

  /// The positions [m] and times [s] of the label ticks: the step grows until one step is wider
  /// (taller) in pixels than the given text extent.
  double PositionLabelStep(int labelWidth) const;
  double TimeLabelStep(int labelHeight) const;

  /// The large change of a scroll bar: 90% of the visible span in scroll units.
  int LargeChangeX() const;
  int LargeChangeY() const;

 private:
  double length_;
  double maxTime_;
  int width_;
  int height_;
  DiagramMargins margins_;
  DiagramView view_;
  double zx_ = 1;
  double zy_ = 1;
  double a_ = 100;
  double b_ = 1;
  double q_ = 0;
  double p_ = 0;
};

/// The x unit: the first of 100, 200, 500, 1000, 2000, 5000, ... m with plotWidth × a ≥ length.
double DiagramUnitX(double length, int plotWidth);
/// The time unit: the first of 1200000, 600000, 300000, 120000, 60000, ... s not above maxTime
/// (1 when that comes to 0).
double DiagramUnitT(double maxTime);

/// Zooming into a rectangle on one axis: `start` and `selected` the selected range's start and
/// extent in axis units, `range` the axis range. Gives the zoom table index (0 .. 36) and the
/// start of the visible span after centring.
struct AxisZoom {
  int index = 0;
  double start = 0;
};
AxisZoom ZoomIntoSpan(double start, double selected, double range);
/// The controls' positions that show the rectangle from (p1, t1) to (p2, t2).
DiagramView ZoomIntoRectangle(double p1, double t1, double p2, double t2, double length,
                              double maxTime);
