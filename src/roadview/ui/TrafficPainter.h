#pragma once

#include <QImage>
#include <cstdint>
#include <utility>
#include <vector>

#include "roadview/RoadColors.h"
#include "roadview/RoadGeometry.h"

class Kernel;
class KDConfig;
class RoadObject;
class RoadCanvas;

struct TrafficDrawSettings {
  ColorScheme scheme = ColorScheme::Speed;
  /// The number of destinations when the run page was last shown: the destination colours.
  int destinationCount = 1;
  /// Vehicles shown in vehicle data windows: they get a marker circle.
  std::vector<int> markedVehicles;
  /// The road drawing flags (traffic lights show their state on the simulation pages).
  std::uint32_t flags = 0;
  /// The legend swatches as (the scheme's own colour, the swatch's colour): a vehicle of the
  /// acceleration, follow state, vehicle type or route choice scheme takes the colour of its
  /// legend's swatch, so legend and vehicles agree. Empty: the scheme's own colours.
  std::vector<std::pair<RgbColor, RgbColor>> swatchColors;
};

/// Draws the traffic of the kernel's run over a copy of the road picture: traffic lights,
/// lane detectors, the temporarily closed lane and every vehicle. `traffic` takes the road's
/// width and the height of the used lanes. Returns the number of vehicles drawn, or -1 when
/// the kernel has no road (then `traffic` is left as it was).
int DrawTraffic(const Kernel& kernel, const KDConfig& config, const QImage& road, QImage& traffic,
                int zoomIndex, int scroll, const TrafficDrawSettings& settings);

/// The colour of the legend swatch that stands for `color`, when the caller gave swatches.
RgbColor SwatchColor(const TrafficDrawSettings& settings, RgbColor color);

/// Whether the kernel's end of road object can start the walk over the vehicles: false for
/// none (no run), false with the message "RedrawVehicles: Cannot find EndOfRoad" for an object
/// of another kind.
bool UsableEndOfRoad(const RoadObject* end);

/// The first steps of every traffic picture: `traffic` becomes a copy of the top of the road
/// picture, as high as the lanes in use, with the traffic lights, the lane detectors and the
/// temporarily closed lane at simulated time `seconds` [s] drawn over it. Returns the mapping.
RoadViewport BeginTrafficPicture(const KDConfig& config, const QImage& road, QImage& traffic,
                                 int zoomIndex, int scroll, std::uint32_t flags, int seconds);

/// One vehicle: a 3-pixel bar from its rear to its front in row y.
void DrawVehicle(RoadCanvas& canvas, const RoadViewport& view, int y, RgbColor color,
                 float position, float length);
