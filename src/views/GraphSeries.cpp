#include "views/GraphSeries.h"

#include <algorithm>

#include "config/ProgramError.h"

const char* const kGraphKinds[8] = {"qk", "uq", "uk", "qt", "kt", "ut", "Tt", "vt"};

bool IsGraphKind(const std::string& kind) {
  return std::any_of(std::begin(kGraphKinds), std::end(kGraphKinds),
                     [&kind](const char* k) { return kind == k; });
}

namespace {

// The end of the time axis: 200, 500, 1000, 2000, 5000, 10000, ... not below `latest` [s].
float TimeAxisEnd(int latest) {
  double m = 200;
  const double factors[3] = {2.5, 2, 2};
  for (int i = 0; m < latest && m < 1e9; ++i) m *= factors[i % 3];
  return static_cast<float>(m);
}

float TravelTimeAxisEnd(int longest) {
  int m = std::max(60, longest);
  if (m > 3600) return 7200;
  if (m > 1800) return 3600;
  if (m > 900) return 1800;
  if (m > 300) return 900;
  if (m > 120) return 300;
  if (m > 60) return 120;
  return static_cast<float>(m);
}

}  // namespace

bool GraphAxisScale(char id, int latestTime, int longestTravelTime, GraphScale& scale) {
  switch (id) {
    case 'q':
      scale = {"q [veh/h]", 0, 4000, 1000, 200};
      return true;
    case 'k':
      scale = {"k [veh/km]", 0, 150, 50, 10};
      return true;
    case 'u':
      scale = {"u [km/h]", 0, 150, 50, 10};
      return true;
    case 'v':
      scale = {"v[km/h]", 0, 150, 50, 10};
      return true;
    case 't': {
      const float m = TimeAxisEnd(latestTime);
      scale = {"t [s]", 0, m, m / 2, m / 10};
      return true;
    }
    case 'T': {
      const float m = TravelTimeAxisEnd(longestTravelTime);
      scale = {"T[s]", 0, m, m / 2, m / 10};
      return true;
    }
    default:
      ProgramError("Bad ScaleID passed to TFormGraph::SetScale");
      return false;
  }
}

std::string GraphCaption(const std::string& detectorWord, int detector, char yId, char xId) {
  std::string y = yId == 'T' ? "travel time" : yId == 'v' ? "travel speed" : std::string(1, yId);
  std::string caption = detectorWord + " " + std::to_string(detector + 1) + " " + y;
  if (xId == 't') return caption + "(t)";
  return caption + "-" + std::string(1, xId);
}

GraphSeries BuildGraphSeries(const GraphValueSource& values, char xId, char yId, int periods,
                             int lanes) {
  GraphSeries series;
  series.Lanes = lanes;
  series.Periods = std::max(periods, 0);
  series.X.assign(lanes + 1, std::vector<float>(series.Periods, -1));
  series.Y.assign(lanes + 1, std::vector<float>(series.Periods, -1));
  std::vector<float> perLane(std::max(lanes, 1));
  for (int p = 0; p < series.Periods; ++p) {
    for (int axis = 0; axis < 2; ++axis) {
      std::vector<std::vector<float>>& target = axis == 0 ? series.X : series.Y;
      const float aggregate = values(axis == 0 ? xId : yId, p, perLane.data());
      for (int lane = 0; lane < lanes; ++lane) target[lane][p] = perLane[lane];
      target[lanes][p] = aggregate;
    }
  }
  return series;
}

int GraphMapping::PlotWidth() const {
  const int n = std::max(static_cast<int>((XScale.Max - XScale.Min) / XScale.Minor), 1);
  return (Width - Left - Right) / n * n;
}

int GraphMapping::PlotHeight() const {
  const int n = std::max(static_cast<int>((YScale.Max - YScale.Min) / YScale.Minor), 1);
  return (Height - Top - Bottom) / n * n;
}

int GraphMapping::X(float value) const {
  return static_cast<int>(PlotWidth() * (value - XScale.Min) / (XScale.Max - XScale.Min) + Left);
}

int GraphMapping::Y(float value) const {
  return static_cast<int>(Height - Bottom -
                          PlotHeight() * (value - YScale.Min) / (YScale.Max - YScale.Min));
}

float GraphMapping::XValue(int x) const {
  return XScale.Min +
         static_cast<float>(x - Left) * (XScale.Max - XScale.Min) / std::max(PlotWidth(), 1);
}

float GraphMapping::YValue(int y) const {
  return YScale.Min + static_cast<float>(Height - Bottom - y) * (YScale.Max - YScale.Min) /
                          std::max(PlotHeight(), 1);
}

void GraphGeometry(const GraphSeries& series, const GraphMapping& map,
                   const std::vector<bool>& shown, std::vector<GraphSegment>& segments,
                   std::vector<GraphMarker>& markers) {
  segments.clear();
  markers.clear();
  auto isShown = [&](int s) { return s < static_cast<int>(shown.size()) && shown[s]; };
  for (int p = 1; p < series.Periods; ++p) {
    for (int s = 0; s <= series.Lanes; ++s) {
      if (!isShown(s)) continue;
      const float x0 = series.X[s][p - 1], y0 = series.Y[s][p - 1];
      const float x1 = series.X[s][p], y1 = series.Y[s][p];
      if (x0 < 0 || y0 < 0 || x1 < 0 || y1 < 0) continue;
      segments.push_back({s, map.X(x0), map.Y(y0), map.X(x1), map.Y(y1)});
    }
  }
  for (int p = 0; p < series.Periods; ++p) {
    for (int s = 0; s <= series.Lanes; ++s) {
      if (!isShown(s)) continue;
      const float x = series.X[s][p], y = series.Y[s][p];
      if (x < 0 || y < 0) continue;
      markers.push_back({s, map.X(x), map.Y(y)});
    }
  }
}
