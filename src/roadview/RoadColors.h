#pragma once

#include <cstdint>
#include <string>

// Colours of the road picture and of the traffic on it, as (red, green, blue).
struct RgbColor {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const RgbColor&) const = default;
};

namespace RoadColor {
constexpr RgbColor Green{0, 128, 0};       // background: verges and unpaved lanes
constexpr RgbColor Black{0, 0, 0};         // paved lane
constexpr RgbColor Navy{0, 0, 128};        // lane for ICC vehicles
constexpr RgbColor Gray{128, 128, 128};    // lane every vehicle must leave (behaviour page)
constexpr RgbColor White{255, 255, 255};   // markings, hatching, scale, glyph outlines
constexpr RgbColor Silver{192, 192, 192};  // detector lines
constexpr RgbColor Red{255, 0, 0};         // highlighted object
constexpr RgbColor Yellow{255, 255, 0};    // detector labels, lane change areas
constexpr RgbColor Lime{0, 255, 0};
constexpr RgbColor Aqua{0, 255, 255};
constexpr RgbColor Fuchsia{255, 0, 255};
constexpr RgbColor Brown{149, 79, 0};
constexpr RgbColor Orange{255, 159, 64};
}  // namespace RoadColor

/// The speed scale from red (0) over yellow (0.5) to lime (1); x outside 0 .. 1 reads as
/// its nearest end.
RgbColor ContourColor(double x);

/// The colour of destination `destination` (from 0) among `count`: from blue over aqua, lime
/// and yellow to red.
RgbColor DestinationColor(int destination, int count);

// The colour schemes of the traffic animation, in the order of their list.
enum class ColorScheme {
  Speed = 0,
  Acceleration = 1,
  FollowState = 2,
  VehicleType = 3,
  Destination = 4,
  RouteChoice = 5,
  IccEquipped = 6,
};

/// Speed scheme: speeds [km/h] from 0 to 150 and above.
RgbColor SpeedColor(double speedKmh);

/// Acceleration scheme: accelerating, constant speed, stationary, passive or active braking.
/// `acceleration` and `passiveDeceleration` [m/s^2] (the latter negative); `speed` in the
/// unit the caller compares with 0.1 (m/s in KAVRO mode, km/h for the external model).
enum class AccelerationState {
  Accelerating,
  ConstantSpeed,
  Stationary,
  PassiveBraking,
  ActiveBraking
};
AccelerationState ClassifyAcceleration(double acceleration, double speed,
                                       double passiveDeceleration);
RgbColor AccelerationColor(AccelerationState state);

/// Follow state: sufficient when the gap [m] covers the desired distance
/// z1 + z2 v + z3 v^2 (v [m/s]) within 0.1 m.
bool FollowGapSufficient(double gap, double speed, double z1, double z2, double z3);
RgbColor FollowStateColor(bool sufficient);

/// Vehicle type scheme: types 1 .. 8; any other type is white.
RgbColor VehicleTypeColor(int type);

/// Route choice read from a vehicle's status text: the last word before the final blank
/// holds a number and a side ("1 L" = left route chosen).
enum class RouteChoice { None, Left, Right };
RouteChoice RouteChoiceFromStatus(const std::string& status);
RgbColor RouteChoiceColor(RouteChoice choice);

/// Speed legend: the swatches show these speeds [km/h].
constexpr int SPEED_LEGEND_STEPS[4] = {0, 40, 80, 120};

/// Destination legend: up to four rows; where swatch i goes in a legend of the given size.
struct LegendCell {
  int left;
  int top;
  int labelWidth;
};
LegendCell DestinationLegendCell(int index, int count, int legendWidth, int legendHeight);
