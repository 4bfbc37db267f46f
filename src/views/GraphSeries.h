#pragma once

#include <functional>
#include <string>
#include <vector>

// The series of a detector graph: for each detector period a value on each axis, per lane and
// for the aggregate over all lanes, and how they map onto the picture. Axis ids: q flow
// [veh/h], k density [veh/km], u speed [km/h], v travel speed [km/h], t time [s], T travel
// time [s]. Values below 0 mean "no data" and are not drawn.

/// The graph kinds: y id followed by x id.
extern const char* const kGraphKinds[8];
/// True for "qk", "uq", "uk", "qt", "kt", "ut", "Tt" and "vt".
bool IsGraphKind(const std::string& kind);

struct GraphScale {
  std::string Caption;
  float Min = 0;
  float Max = 0;
  float Major = 0;
  float Minor = 0;
};

/// The scale of an axis. `latestTime` [s] is the time of the latest collected period (t axis),
/// `longestTravelTime` [s] the largest mean travel time of any lane in any period (T axis).
/// False for an unknown id (reported as a program error).
bool GraphAxisScale(char id, int latestTime, int longestTravelTime, GraphScale& scale);

/// The window caption: "Detector 3 q-k", "Detector 3 u(t)", "Detector 3 travel time(t)".
std::string GraphCaption(const std::string& detectorWord, int detector, char yId, char xId);

/// The value of quantity `id` in `period`: fills perLane[0 .. lanes-1] and returns the
/// aggregate.
using GraphValueSource = std::function<float(char id, int period, float* perLane)>;

struct GraphSeries {
  int Lanes = 0;
  int Periods = 0;
  // [lane][period]; the aggregate follows the lanes as index Lanes.
  std::vector<std::vector<float>> X;
  std::vector<std::vector<float>> Y;
};

GraphSeries BuildGraphSeries(const GraphValueSource& values, char xId, char yId, int periods,
                             int lanes);

// Plot geometry: minor ticks fall on whole pixels.
struct GraphMapping {
  int Width = 0;
  int Height = 0;
  int Left = 0;
  int Right = 0;
  int Top = 0;
  int Bottom = 0;
  GraphScale XScale;
  GraphScale YScale;
  int PlotWidth() const;   // Q
  int PlotHeight() const;  // P
  int X(float value) const;
  int Y(float value) const;
  /// The values under a pixel (cursor read-out).
  float XValue(int x) const;
  float YValue(int y) const;
};

/// The line segments and markers of a series in pixels, for the lanes that are shown
/// (`shown[lane]`, the aggregate at index Lanes).
struct GraphSegment {
  int Series = 0;  // lane, or Lanes for the aggregate
  int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
};
struct GraphMarker {
  int Series = 0;
  int X = 0, Y = 0;
};
void GraphGeometry(const GraphSeries& series, const GraphMapping& map,
                   const std::vector<bool>& shown, std::vector<GraphSegment>& segments,
                   std::vector<GraphMarker>& markers);
