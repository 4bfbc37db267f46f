#include "roadview/ui/TrafficPainter.h"

#include <QPainter>
#include <algorithm>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "kernel/Kernel.h"
#include "kernel/RoadObject.h"
#include "kernel/VehicleInfo.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/TrafficGeometry.h"
#include "roadview/ui/RoadCanvas.h"
#include "roadview/ui/RoadPainter.h"

namespace {

void DrawClosedLane(const KDConfig& config, int seconds, RoadCanvas& canvas,
                    const RoadViewport& view) {
  const KDConfig::TempClosedAreaInfo area = config.TempClosedArea();
  if (!area.Exists()) return;
  const ClosedLaneInput input{area.lane, area.end, area.length, area.ClosedAt(seconds)};
  for (const ClosedLaneMarker& marker : ClosedLaneMarkers(view, input)) {
    const RgbColor color = marker.kind == ClosedLaneMarker::Kind::OpenArrow     ? RoadColor::Green
                           : marker.kind == ClosedLaneMarker::Kind::ClosedArrow ? RoadColor::White
                                                                                : RoadColor::Red;
    for (const auto& stroke : marker.strokes) canvas.Line(stroke.first, stroke.second, 3, color);
  }
}

VehicleLook LookOf(const RoadObject& object, const VehicleInfo& info, double gap,
                   const TrafficDrawSettings& settings) {
  VehicleLook look;
  look.speed = info.speed;
  look.acceleration = info.acceleration;
  look.gap = gap;
  look.type = object.Type() - RO_VEHICLE + 1;  // vehicle types are shown from 1
  look.destination = info.destination;
  look.destinationCount = settings.destinationCount;
  look.status = info.statusText;
  if (info.params) {
    look.passiveDeceleration = info.params->passiveDeceleration;
    look.z1 = info.params->z1;
    look.z2 = info.params->z2;
    look.z3 = info.params->z3;
  }
  return look;
}

// A circle around a vehicle shown in a data window, inverting what lies beneath.
void DrawMarker(RoadCanvas& canvas, int x, int y) {
  QPainter& painter = canvas.Painter();
  painter.save();
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setPen(Qt::white);
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(QRect(x - 9, y - 9, 18, 18));
  painter.restore();
}

int DrawLaneVehicles(const Kernel& kernel, const KDConfig& config, RoadCanvas& canvas,
                     const RoadViewport& view, const TrafficDrawSettings& settings, int lane) {
  const RoadObject* end = kernel.EndOfRoad();
  float leaderPosition = end->Position();
  float leaderLength = 0;
  int count = 0;
  for (const RoadObject* object = end->PreviousWithLane(lane); object;
       object = object->PreviousWithLane(lane)) {
    const VehicleInfo* info = object->IsVehicle() ? object->Vehicle() : nullptr;
    if (!info) {
      leaderLength = 0;
      leaderPosition = object->Position();
      continue;
    }
    const float length = info->params ? info->params->length : 0.0f;
    const double gap = leaderPosition - object->Position() - leaderLength;
    VehicleRowInput row;
    row.lane = object->Lane();
    row.position = object->Position();
    row.laneChangeState = info->laneChangeState;
    row.laneChangeProgress = info->laneChangeProgress;
    row.timeStep = config.TimeStep();
    row.laneChangeTime = kernel.LaneChangeTime();
    row.drawTapers = (settings.flags & RDF_DRAW_TAPERS) != 0;
    const int y = VehicleRowY(config, row);
    const RgbColor color = VehicleColor(settings.scheme, LookOf(*object, *info, gap, settings));
    DrawVehicle(canvas, view, y, SwatchColor(settings, color), object->Position(), length);
    ++count;
    if (std::find(settings.markedVehicles.begin(), settings.markedVehicles.end(),
                  object->Number()) != settings.markedVehicles.end())
      DrawMarker(canvas, PositionToPixel(view, object->Position() - length / 2), y);
    leaderLength = length;
    leaderPosition = object->Position();
  }
  return count;
}

}  // namespace

void DrawVehicle(RoadCanvas& canvas, const RoadViewport& view, int y, RgbColor color,
                 float position, float length) {
  const VehicleBar bar = VehicleBarAt(view, position, length);
  if (!bar.visible) return;
  canvas.Fill(bar.rear, y - 1, bar.front, y + 2, color);
}

RgbColor SwatchColor(const TrafficDrawSettings& settings, RgbColor color) {
  for (const auto& [own, swatch] : settings.swatchColors)
    if (own == color) return swatch;
  return color;
}

bool UsableEndOfRoad(const RoadObject* end) {
  // No end of road: no run has been set up, and there is nothing to draw.
  if (!end) return false;
  if (end->Type() != RO_ENDOFROAD) {
    UserMessage(ReportKind::Warning, "Program Error", "RedrawVehicles: Cannot find EndOfRoad");
    return false;
  }
  return true;
}

RoadViewport BeginTrafficPicture(const KDConfig& config, const QImage& road, QImage& traffic,
                                 int zoomIndex, int scroll, std::uint32_t flags, int seconds) {
  // The picture covers the lanes in use; the road image beneath shows the rest.
  const int height = std::max(1, LaneTop(static_cast<float>(config.LanesUsed())));
  traffic = road.copy(0, 0, road.width(), height);
  const RoadViewport view{traffic.width(), config.Length(), zoomIndex, scroll};
  RoadCanvas canvas(traffic);
  DrawTrafficLightsAndLaneDetectors(config, canvas, view, flags);
  DrawClosedLane(config, seconds, canvas, view);
  return view;
}

int DrawTraffic(const Kernel& kernel, const KDConfig& config, const QImage& road, QImage& traffic,
                int zoomIndex, int scroll, const TrafficDrawSettings& settings) {
  if (!UsableEndOfRoad(kernel.EndOfRoad())) return -1;
  if (road.width() <= 0) return 0;
  const int seconds =
      kernel.StepsPerSecond() > 0 ? kernel.StepCount() / kernel.StepsPerSecond() : 0;
  const RoadViewport view =
      BeginTrafficPicture(config, road, traffic, zoomIndex, scroll, settings.flags, seconds);
  RoadCanvas canvas(traffic);
  int count = 0;
  for (int lane = MAX_KAVROLANE - 1; lane >= 0; --lane)
    count += DrawLaneVehicles(kernel, config, canvas, view, settings, lane);
  return count;
}
