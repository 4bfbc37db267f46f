#include "roadview/RoadColors.h"

#include <algorithm>
#include <cstdio>

namespace {

std::uint8_t Channel(double value) {
  return static_cast<std::uint8_t>(std::clamp(static_cast<int>(value), 0, 255));
}

}  // namespace

RgbColor ContourColor(double x) {
  x = std::clamp(x, 0.0, 1.0);
  if (x <= 0.5) return {255, Channel(510 * x), 0};
  return {Channel(510 - 510 * x), 255, 0};
}

RgbColor DestinationColor(int destination, int count) {
  const double t = count > 1 ? static_cast<double>(destination) / (count - 1) : destination;
  if (t >= 0.5) return ContourColor(2 - 2 * t);
  // The lower half of the scale is shifted towards blue: red becomes green, green blue.
  const RgbColor c = ContourColor(1 - 2 * t);
  return {0, c.r, c.g};
}

RgbColor SpeedColor(double speedKmh) { return ContourColor(std::min(speedKmh, 150.0) / 150.0); }

AccelerationState ClassifyAcceleration(double acceleration, double speed,
                                       double passiveDeceleration) {
  // Vehicle states are single precision: compared as such, 0.2 m/s2 is constant speed and
  // -0.2 m/s2 braking, not the float nearest to them read as a double.
  const float a = static_cast<float>(acceleration);
  if (a > 0.2f) return AccelerationState::Accelerating;
  if (a > -0.2f)
    return static_cast<float>(speed) >= 0.1f ? AccelerationState::ConstantSpeed
                                             : AccelerationState::Stationary;
  return a >= static_cast<float>(passiveDeceleration) ? AccelerationState::PassiveBraking
                                                      : AccelerationState::ActiveBraking;
}

RgbColor AccelerationColor(AccelerationState state) {
  switch (state) {
    case AccelerationState::Accelerating:
      return RoadColor::Lime;
    case AccelerationState::ConstantSpeed:
      return RoadColor::White;
    case AccelerationState::Stationary:
      return RoadColor::Gray;
    case AccelerationState::PassiveBraking:
      return RoadColor::Yellow;
    case AccelerationState::ActiveBraking:
      return RoadColor::Red;
  }
  return RoadColor::White;
}

bool FollowGapSufficient(double gap, double speed, double z1, double z2, double z3) {
  return gap + 0.1 >= z1 + z2 * speed + z3 * speed * speed;
}

RgbColor FollowStateColor(bool sufficient) {
  return sufficient ? RoadColor::Yellow : RoadColor::Red;
}

RgbColor VehicleTypeColor(int type) {
  static constexpr RgbColor kTypeColors[8] = {
      RoadColor::Brown, RoadColor::Red,  RoadColor::Orange,  RoadColor::Yellow,
      RoadColor::Lime,  RoadColor::Aqua, RoadColor::Fuchsia, RoadColor::Silver};
  return type >= 1 && type <= 8 ? kTypeColors[type - 1] : RoadColor::White;
}

RouteChoice RouteChoiceFromStatus(const std::string& status) {
  const size_t blank = status.rfind(' ');
  if (blank == std::string::npos) return RouteChoice::None;
  // The number stands right before the last blank: step back over its digits, so that the
  // reading starts at the character before them (a blank or a sign) or at the text start.
  size_t start = blank > 0 ? blank - 1 : 0;
  while (start > 0 && status[start] >= '0' && status[start] <= '9') --start;
  int number = 0;
  char side = 0;
  if (std::sscanf(status.c_str() + start, "%d %c", &number, &side) != 2) return RouteChoice::None;
  if (number == 0) return RouteChoice::None;
  return side == 'L' ? RouteChoice::Left : RouteChoice::Right;
}

RgbColor RouteChoiceColor(RouteChoice choice) {
  switch (choice) {
    case RouteChoice::Left:
      return RoadColor::Red;
    case RouteChoice::Right:
      return RoadColor::Lime;
    case RouteChoice::None:
      return RoadColor::White;
  }
  return RoadColor::White;
}

LegendCell DestinationLegendCell(int index, int count, int legendWidth, int legendHeight) {
  const int columns = count > 0 ? (count - 1) / 4 + 1 : 1;
  LegendCell cell;
  cell.left = columns == 1 ? legendWidth / 2 : legendWidth * (index / 4) / columns;
  cell.top = legendHeight * (index % 4) / 4;
  cell.labelWidth = legendWidth / columns - 26;
  return cell;
}
