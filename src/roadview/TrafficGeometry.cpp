#include "roadview/TrafficGeometry.h"

#include <algorithm>
#include <cstdlib>

#include "config/KDConfig.h"
#include "config/Units.h"
#include "roadview/RoadGlyphs.h"

namespace {

constexpr int kTaperBits = LANE_TAPERON | LANE_TAPEROFF;

int TypeOf(const KDConfig& config, int section, int lane) {
  if (section < 0 || section > config.Boundaries() || lane < 0 || lane >= MaxLane()) return 0;
  return config.IntPhysicalSectionProperty(section, lane, PP_LANETYPE);
}

// The stretch [m] of the run of sections around `section` whose lane carries `bits`:
// from the begin of its most upstream to the end of its most downstream section.
struct Stretch {
  double begin;
  double end;
};
Stretch RunOf(const KDConfig& config, int section, int lane, int bits) {
  int downstream = section;
  while (downstream > 0 && (TypeOf(config, downstream - 1, lane) & bits)) --downstream;
  int upstream = section;
  while (upstream < config.Boundaries() && (TypeOf(config, upstream + 1, lane) & bits)) ++upstream;
  return {static_cast<double>(config.SectionPos(upstream, WHENCE_BEGIN)),
          static_cast<double>(config.SectionPos(downstream, WHENCE_END))};
}

}  // namespace

int VehicleRowY(const KDConfig& config, const VehicleRowInput& v) {
  int y = LaneTop(static_cast<float>(v.lane)) + 12;
  const int s = config.SectionAt(v.position);
  if (s < 0) return y;
  const int type = TypeOf(config, s, v.lane);
  const double p = v.position;
  if ((type & kTaperBits) && p < config.SectionPos(s, WHENCE_END) - 1 && v.drawTapers) {
    // The drift runs over the whole taper: the run of sections whose lane carries the same
    // taper bit as this one, so that a ramp over several sections does not jump at their
    // boundaries.
    const Stretch run = RunOf(config, s, v.lane, type & kTaperBits);
    if (run.end > run.begin) {
      const int m =
          static_cast<int>((type & LANE_TAPERON) ? 24 * (p - run.begin) / (run.end - run.begin)
                                                 : 24 * (run.end - p) / (run.end - run.begin));
      y -= (TypeOf(config, s, v.lane - 1) & kTaperBits) ? m : m / 2;
    }
  }
  int f = v.laneChangeState % 10;
  if (f == 0) return y;
  // With short time steps a manoeuvre lasts more than the 9 steps the state can count; the
  // bar then keeps sliding with the kernel's own count of the steps done.
  if (v.laneChangeProgress > 9) f = f > 0 ? v.laneChangeProgress : -v.laneChangeProgress;
  int o = v.laneChangeTime > 0
              ? static_cast<int>(
                    (1 - static_cast<double>(v.timeStep) * std::abs(f) / v.laneChangeTime) * 24)
              : 0;
  if (f >= 1) o = -o;
  const bool belowTaper = v.lane < MaxLane() - 1 && (TypeOf(config, s, v.lane + 1) & kTaperBits);
  if ((!(type & kTaperBits) && !belowTaper) || !v.drawTapers) return y + o;
  const Stretch run = RunOf(config, s, v.lane, kTaperBits);
  const double d = run.end - run.begin;
  if (d <= 0) return y + o;
  if (TypeOf(config, s, v.lane + 1) & LANE_TAPERON)
    return y + static_cast<int>(o * (2 * run.end - run.begin - p) / (2 * d));
  return y + static_cast<int>(o * (p + run.end - 2 * run.begin) / (2 * d));
}

VehicleBar VehicleBarAt(const RoadViewport& view, float position, float length) {
  VehicleBar bar;
  bar.front = PositionToPixel(view, position);
  bar.rear = PositionToPixel(view, position - length);
  if (bar.rear == bar.front) bar.rear = bar.front - 1;
  bar.visible = !(bar.front < -1 || bar.rear > view.bitmapWidth);
  return bar;
}

RgbColor VehicleColor(ColorScheme scheme, const VehicleLook& v) {
  switch (scheme) {
    case ColorScheme::Speed:
      return SpeedColor(MsToKmhInDouble(v.speed));
    case ColorScheme::Acceleration:
      return AccelerationColor(
          ClassifyAcceleration(v.acceleration, v.speed, v.passiveDeceleration));
    case ColorScheme::FollowState:
      return FollowStateColor(FollowGapSufficient(v.gap, v.speed, v.z1, v.z2, v.z3));
    case ColorScheme::VehicleType:
      return VehicleTypeColor(v.type);
    case ColorScheme::Destination:
      return DestinationColor(v.destination, v.destinationCount);
    case ColorScheme::RouteChoice:
      return RouteChoiceColor(RouteChoiceFromStatus(v.status));
    case ColorScheme::IccEquipped:
      return RoadColor::White;
  }
  return RoadColor::White;
}

std::vector<ClosedLaneMarker> ClosedLaneMarkers(const RoadViewport& view,
                                                const ClosedLaneInput& area) {
  std::vector<ClosedLaneMarker> markers;
  if (area.end <= 0) return markers;
  const int first = PositionToPixel(view, static_cast<float>(area.end - area.length));
  const int last = PositionToPixel(view, static_cast<float>(area.end));
  // When 500 m take less than a pixel the markers would pile up: one pixel apart at least.
  const int spacing = std::max(1, last - PositionToPixel(view, static_cast<float>(area.end - 500)));
  const int top = LaneTop(static_cast<float>(area.lane)) + 6;
  const int bottom = LaneTop(static_cast<float>(area.lane + 1)) - 6;
  const int h = bottom - top;
  const int mid = (top + bottom) / 2;
  // Only the markers that can touch the bitmap: a long area at a high zoom spans far more
  // columns than it shows.
  const int lastShown = std::min(last, view.bitmapWidth);
  int i = first + h >= 0 ? 0 : (-h - first) / spacing;
  for (int x = first + i * spacing; x <= lastShown; ++i, x = first + i * spacing) {
    ClosedLaneMarker marker;
    if (!area.closed) {
      marker.kind = ClosedLaneMarker::Kind::OpenArrow;
      marker.strokes = {{{x, mid}, {x + h / 2, top}},
                        {{x, mid}, {x + h / 2, bottom}},
                        {{x + h / 2, mid}, {x, mid}}};
    } else if (i == 0) {
      marker.kind = ClosedLaneMarker::Kind::ClosedArrow;
      marker.strokes = {
          {{x + h, top}, {x, bottom}}, {{x, bottom}, {x, mid}}, {{x, bottom}, {x + h / 2, bottom}}};
    } else {
      marker.kind = ClosedLaneMarker::Kind::Cross;
      marker.strokes = {{{x, top}, {x + h, bottom}}, {{x, bottom}, {x + h, top}}};
    }
    markers.push_back(marker);
  }
  return markers;
}
