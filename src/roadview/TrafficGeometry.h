#pragma once

#include <string>
#include <utility>
#include <vector>

#include "roadview/RoadColors.h"
#include "roadview/RoadGeometry.h"
#include "roadview/RoadGlyphs.h"

class KDConfig;

// Geometry and colours of the moving traffic drawn over the road picture.

/// How a vehicle's lateral motion is shown.
struct VehicleRowInput {
  int lane = 0;
  float position = 0;          // [m]
  int laneChangeState = 0;     // the kernel's state; its last digit counts the steps done,
                               // its sign the direction (negative: to the left)
  int laneChangeProgress = 0;  // the steps done, also beyond the 9 the state's digit holds
  float timeStep = 0.5f;       // [s]
  float laneChangeTime = 3;    // [s]
  bool drawTapers = false;     // tapers are drawn as tapers
};
/// The row of a vehicle's bar: its lane's centre, drifting towards the through lane along a
/// taper and sliding from its old lane into the new one during a lane change.
int VehicleRowY(const KDConfig& config, const VehicleRowInput& vehicle);

/// The columns of a vehicle's bar, at least one pixel long: rear .. front-1.
struct VehicleBar {
  int rear;
  int front;
  bool visible;
};
VehicleBar VehicleBarAt(const RoadViewport& view, float position, float length);

/// What a vehicle's colour may depend on.
struct VehicleLook {
  double speed = 0;         // [m/s]
  double acceleration = 0;  // [m/s^2]
  double gap = 0;           // [m] to the leader's rear
  int type = 1;             // 1 .. 8
  int destination = 0;      // from 0
  int destinationCount = 1;
  std::string status;  // the vehicle's status text
  // Parameters of the vehicle's type.
  double passiveDeceleration = 0;  // [m/s^2], negative
  double z1 = 0, z2 = 0, z3 = 0;   // desired distance z1 + z2 v + z3 v^2 [m]
};
RgbColor VehicleColor(ColorScheme scheme, const VehicleLook& vehicle);

/// Markers of the temporarily closed lane: every 500 m from the area's start, green arrow
/// heads while the lane is open, a white arrow and red crosses while it is closed.
struct ClosedLaneMarker {
  enum class Kind { OpenArrow, ClosedArrow, Cross } kind;
  std::vector<std::pair<PixelPoint, PixelPoint>> strokes;
};
struct ClosedLaneInput {
  int lane = 0;
  int end = 0;     // [m]; 0 = no closed lane
  int length = 0;  // [m]
  bool closed = false;
};
std::vector<ClosedLaneMarker> ClosedLaneMarkers(const RoadViewport& view,
                                                const ClosedLaneInput& area);
