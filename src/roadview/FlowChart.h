#pragma once

#include <vector>

class KDConfig;

// Geometry of the chart beside the flow table: time [s] to the right from x = 35, flow [veh/h]
// up from 16 pixels above the bottom edge, whole-number pixel arithmetic throughout.

struct FlowChartScale {
  int width = 0;
  int height = 0;
  int timeRange = 1800;  // T [s]: the time at the right end of the plot
  int flowRange = 1000;  // Q [veh/h]: the flow at the top
  int capacity = 1000;   // C [veh/h]: the capacity estimate of the current origin
  int plotWidth = 0;     // U [px]
  int TimeX(int time) const;
  int FlowY(int flow) const;
  /// The read-out under the mouse.
  int TimeAt(int x) const;
  int FlowAt(int y) const;
};

/// The chart's ranges for the configuration's graphs; `currentOrigin` -1 for none.
FlowChartScale MakeFlowChartScale(const KDConfig& config, int currentOrigin, int width, int height);

/// Seconds between time labels: from 1800, halved once when twice `labelWidth` fits into one
/// interval, otherwise doubled until `labelWidth` fits.
int FlowChartTimeStep(const FlowChartScale& scale, int labelWidth);
/// Vehicles per hour between flow labels: from 500, doubled until `labelHeight` fits.
int FlowChartFlowStep(const FlowChartScale& scale, int labelHeight);

struct ChartPoint {
  int x;
  int y;
};
/// An origin's graph as a line through its points, continued at the last flow to the right
/// edge.
std::vector<ChartPoint> FlowChartLine(const KDConfig& config, int origin,
                                      const FlowChartScale& scale);
