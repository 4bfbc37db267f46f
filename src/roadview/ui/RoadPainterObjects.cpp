#include <QPen>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/ui/RoadCanvas.h"
#include "roadview/ui/RoadPainter.h"

// The objects drawn over the lanes: teleports, origins, destinations, lane change areas,
// property labels, detector labels, traffic lights and lane detectors.

namespace {

void DrawQuarterArc(QPainter& painter, int cx, int cy, int startDegrees) {
  // Qt counts angles anticlockwise from three o'clock, in sixteenths of a degree.
  painter.drawArc(QRect(cx - 12, cy - 12, 24, 24), startDegrees * 16, 90 * 16);
}

void DrawTeleportGlyph(RoadCanvas& canvas, const TeleportGlyph& glyph, bool entrance,
                       RgbColor color) {
  canvas.Line({glyph.x, glyph.yFirst}, {glyph.x, glyph.yLast}, 3, color);
  QPainter& painter = canvas.Painter();
  painter.setBrush(Qt::NoBrush);
  // An entrance bends back to the left (up at its first lane, down at its last), an exit to
  // the right.
  DrawQuarterArc(painter, glyph.arcCentreX, glyph.yFirst, entrance ? 0 : 90);
  DrawQuarterArc(painter, glyph.arcCentreX, glyph.yLast, entrance ? 270 : 180);
}

// The name and arrow of an origin, also used by destinations (shifted 18 pixels right).
void DrawOriginGlyph(RoadCanvas& canvas, int x, int top, int bottom, const std::string& name,
                     bool selected) {
  const int middle = (top + bottom) / 2;
  if (OriginNameVisible(x, canvas.Width())) {
    if (selected) canvas.Fill(x - 18, top + 2, x, bottom - 1, RoadColor::Red);
    canvas.ClippedText(x - 17, middle - canvas.TextHeight(name) / 2, name, RoadColor::White, x - 18,
                       top + 2, x, bottom - 2);
  }
  if (OriginArrowVisible(x, canvas.Width()))
    canvas.Polyline(OriginArrow(x, middle), 1, RoadColor::White);
}

void DrawDestinationGlyph(RoadCanvas& canvas, int x, int top, int bottom, const std::string& name,
                          bool selected) {
  if (!DestinationVisible(x, canvas.Width())) return;
  if (selected) canvas.Fill(x, top + 2, x + 21, bottom - 1, RoadColor::Red);
  DrawOriginGlyph(canvas, x + 18, top, bottom, name, false);
  canvas.Polyline(DestinationBracket(x + 18, top, bottom), 1, RoadColor::White);
}

void DrawLaneChangeArea(const KDConfig& config, RoadCanvas& canvas, const RoadViewport& view,
                        int sink, int rank, RgbColor pen) {
  const LaneChangeAreaShape shape = LaneChangeAreaGeometry(
      view, config.LaneChangeAreaLane(sink, rank), config.LaneChangeAreaPosition(sink, rank),
      config.LaneChangeAreaLengthRequired(sink, rank),
      config.LaneChangeAreaLengthVoluntary(sink, rank), config.LaneChangeAreaMergeLeft(sink, rank),
      config.LaneChangeAreaRouteChoiceGroup(sink, rank), canvas.TextWidth("%"));
  canvas.Outline(shape.left, shape.top, shape.right, shape.bottom, 1, pen);
  canvas.VLine(shape.divider, shape.top, shape.bottom, pen);
  const RgbColor arrow = pen == RoadColor::Red ? RoadColor::Red : RoadColor::White;
  canvas.Line(shape.stroke[0], shape.stroke[1], 2, arrow);
  canvas.Polyline(shape.head, 2, arrow);
  if (shape.percent)
    canvas.CentredText(shape.percentCentre.x, shape.percentCentre.y, "%", RoadColor::White);
}

// The no-overtaking-for-trucks sign centred on (x, y).
void DrawNoOvertakingSign(RoadCanvas& canvas, int x, int y) {
  QPainter& painter = canvas.Painter();
  QPen rim(ToQColor(RoadColor::Red));
  rim.setWidth(3);
  painter.setPen(rim);
  painter.setBrush(ToQColor(RoadColor::White));
  painter.drawEllipse(QRect(x - 8, y - 8, 16, 16));
  painter.setBrush(Qt::NoBrush);
  canvas.Fill(x - 4, y - 4, x, y + 1, RoadColor::Red);
  canvas.Fill(x - 4, y + 2, x, y + 4, RoadColor::Red);
  canvas.Fill(x + 1, y, x + 4, y + 4, RoadColor::Black);
}

// The label of one lane for the property view of `kind`; empty for none.
std::string PropertyLabel(const KDConfig& config, std::uint32_t flags, int section, int lane,
                          const std::vector<SurfaceDetailView>* details) {
  const RoadDrawKind kind = DrawKind(flags);
  const int type = config.IntPhysicalSectionProperty(section, lane, PP_LANETYPE);
  if (!(type & LANE_PAVED)) return {};
  if (kind == RoadDrawKind::SurfaceDetail) {
    const int detail = DrawValue(flags) - 1;
    if (!details || detail < 0 || detail > PP_SURFACEDETAIL_LAST ||
        detail >= static_cast<int>(details->size()))
      return {};
    // A detail of the whole section is kept at lane 0.
    const SurfaceDetailView& shown = (*details)[detail];
    return FormatDetailValue(
        shown, config.PhysicalSectionProperty(section, shown.perLane ? lane : 0, detail));
  }
  const bool blocked = (type & LANE_MERGEBOTH) == LANE_MERGEBOTH;
  const float suppression = config.PhysicalSectionProperty(section, lane, PP_SPEEDSUPPRESSION);
  // In DOVEL mode the speed limit belongs to the section and is kept at lane 0.
  const float limit =
      config.PhysicalSectionProperty(section, ProgramMode() == DOVEL ? 0 : lane, PP_SPEEDLIMIT);
  switch (kind) {
    case RoadDrawKind::SpeedSuppression:
      return suppression != 1.0f ? Format("%4.2f", suppression) : std::string();
    case RoadDrawKind::SpeedLimit:
      if (blocked) return {};
      return Format(suppression != 1.0f ? "(%.0f)" : "%.0f", limit);
    default:
      return {};
  }
}

}  // namespace

void DrawTeleports(const KDConfig& config, RoadCanvas& canvas, const RoadViewport& view,
                   std::uint32_t flags) {
  const int selected = DrawKind(flags) == RoadDrawKind::Teleport ? DrawValue(flags) - 2 : -1;
  const int entrances = config.TeleportCount(true);
  // Only a linked entrance has partners: an unlinked one must not light up unlinked exits.
  const int pair =
      selected >= 0 && selected < entrances ? config.TeleportCounterPart(true, selected) : -1;
  for (int i = entrances - 1; i >= 0; --i) {
    const TeleportRecord record = config.TeleportRecord(true, i);
    const RgbColor color = i == selected ? RoadColor::Red : RoadColor::White;
    DrawTeleportGlyph(
        canvas, TeleportGlyphAt(config, view, true, record.section, record.fromLane, record.toLane),
        true, color);
  }
  for (int i = config.TeleportCount(false) - 1; i >= 0; --i) {
    const TeleportRecord record = config.TeleportRecord(false, i);
    const RgbColor color =
        pair != -1 && record.counterpart == pair ? RoadColor::Red : RoadColor::White;
    DrawTeleportGlyph(
        canvas,
        TeleportGlyphAt(config, view, false, record.section, record.fromLane, record.toLane), false,
        color);
  }
}

void DrawOriginsAndDestinations(const KDConfig& config, RoadCanvas& canvas,
                                const RoadViewport& view, std::uint32_t flags,
                                RoadDisplayAreas* areas) {
  if (areas) {
    areas->origins.clear();
    areas->destinations.clear();
  }
  const RoadDrawKind kind = DrawKind(flags);
  for (int i = 0; i < MAXSOURCE && config.Source(i) != nullptr; ++i) {
    const int section = config.SourceSection(i);
    const GlyphArea area{OriginGlyphX(view, config.SectionPos(section, WHENCE_BEGIN),
                                      section == config.Boundaries()),
                         LaneTop(static_cast<float>(config.SourceFromLane(i))),
                         LaneTop(static_cast<float>(config.SourceToLane(i) + 1))};
    if (areas) areas->origins.push_back(area);
    DrawOriginGlyph(canvas, area.x, area.top, area.bottom, config.SourceName(i),
                    kind == RoadDrawKind::Origin && DrawValue(flags) == i + 1);
  }
  for (int i = 0; i < MAXSINK && config.Sink(i) != nullptr; ++i) {
    const GlyphArea area{PositionToPixel(view, static_cast<float>(config.SectionPos(
                                                   config.SinkSection(i), WHENCE_END))),
                         LaneTop(static_cast<float>(config.SinkFromLane(i))),
                         LaneTop(static_cast<float>(config.SinkToLane(i) + 1))};
    if (areas) areas->destinations.push_back(area);
    DrawDestinationGlyph(canvas, area.x, area.top, area.bottom, config.SinkName(i),
                         kind == RoadDrawKind::Destination && SelectedDestination(flags) == i);
  }
}

void DrawLaneChangeAreas(const KDConfig& config, RoadCanvas& canvas, const RoadViewport& view,
                         std::uint32_t flags) {
  const int sink = SelectedDestination(flags);
  if (sink < 0 || config.Sink(sink) == nullptr) return;
  for (int rank = config.LaneChangeAreaCount(sink) - 1; rank >= 0; --rank)
    DrawLaneChangeArea(config, canvas, view, sink, rank, RoadColor::Yellow);
  const int selected = SelectedAreaRank(flags);
  if (selected >= 0 && selected < config.LaneChangeAreaCount(sink))
    DrawLaneChangeArea(config, canvas, view, sink, selected, RoadColor::Red);
}

void DrawPropertyLabels(const KDConfig& config, RoadCanvas& canvas, const RoadViewport& view,
                        std::uint32_t flags, const std::vector<SurfaceDetailView>* details) {
  const RoadDrawKind kind = DrawKind(flags);
  if (kind != RoadDrawKind::SpeedSuppression && kind != RoadDrawKind::SpeedLimit &&
      kind != RoadDrawKind::NoOvertakingTrucks && kind != RoadDrawKind::SurfaceDetail)
    return;
  for (int s = 0; s <= config.Boundaries(); ++s) {
    const PixelRange columns = SectionPixelRange(config, view, s);
    if (columns.right < 18 || columns.left > view.bitmapWidth - 21) continue;
    const int x = (columns.left + columns.right) / 2;
    for (int l = 0; l < MaxLane(); ++l) {
      const int y = LaneTop(static_cast<float>(l)) + 12;
      if (kind == RoadDrawKind::NoOvertakingTrucks) {
        const int type = config.IntPhysicalSectionProperty(s, l, PP_LANETYPE);
        if ((type & LANE_PAVED) && (type & LANE_MERGEBOTH) != LANE_MERGEBOTH &&
            config.IntPhysicalSectionProperty(s, l, PP_NOOVERTAKINGTRUCKS) == 1)
          DrawNoOvertakingSign(canvas, x, y);
        continue;
      }
      const std::string label = PropertyLabel(config, flags, s, l, details);
      if (!label.empty()) canvas.CentredText(x, y, label, RoadColor::White);
    }
  }
}

void DrawDetectorLabels(const KDConfig& config, RoadCanvas& canvas, const RoadViewport& view,
                        std::uint32_t flags, RoadDisplayAreas* areas) {
  if (areas) areas->detectorLabels.assign(config.DetectorCount(), DetectorLabelArea());
  const BelowRoadRows rows = RowsBelowRoad(MaxLane());
  const int selected = DrawKind(flags) == RoadDrawKind::Detector ? DrawValue(flags) - 1 : -1;
  const int textHeight = canvas.TextHeight("0");
  for (int i = 0; i < config.DetectorCount(); ++i) {
    const std::string number = std::to_string(i + 1);
    const int x = PositionToPixel(view, static_cast<float>(config.DetectorPosition(i)));
    const int hw = (canvas.TextWidth(number) + 4) / 2;
    if (x < -hw || x > view.bitmapWidth + hw) {
      continue;  // out of view: the area stays unpickable
    }
    const RgbColor box = i == selected ? RoadColor::Red : RoadColor::Yellow;
    canvas.VLine(x, rows.labelBoxTop, rows.labelTickTop, RoadColor::White);
    canvas.RoundBox(x - hw - 2, rows.labelBoxTop, x + hw + 2, rows.labelBoxBottomBase + textHeight,
                    RoadColor::White, box);
    canvas.Text(x - hw + 2, rows.labelTextTop, number, RoadColor::Black, box);
    if (areas) areas->detectorLabels[i] = DetectorLabelArea{x, hw};
  }
}

void DrawTrafficLightsAndLaneDetectors(const KDConfig& config, RoadCanvas& canvas,
                                       const RoadViewport& view, std::uint32_t flags) {
  const int selected = DrawKind(flags) == RoadDrawKind::TrafficLight ? DrawValue(flags) - 1 : -1;
  QPainter& painter = canvas.Painter();
  for (int i = 0; i < config.TrafficLightCount(); ++i) {
    const std::string number = std::to_string(i + 1);
    const int x = PositionToPixel(view, static_cast<float>(config.TrafficLightPosition(i)));
    const int t = LaneTop(static_cast<float>(config.TrafficLightLane(i)));
    const int hw = (canvas.TextWidth(number) + 4) / 2;
    // A capsule: two half discs of diameter 2 hw joined by a rectangle.
    painter.setPen(ToQColor(RoadColor::White));
    painter.setBrush(ToQColor(RoadColor::Black));
    painter.drawRoundedRect(QRect(x - hw, t + 1, 2 * hw - 1, 21), hw, hw);
    painter.setBrush(Qt::NoBrush);
    if (flags & RDF_LIGHT_STATES) {
      PixelPoint lamp{0, 0};
      const int state = config.TrafficLightState(i);
      if (TrafficLightLamp(state, x, t, hw, lamp)) {
        const RgbColor color = state == 201   ? RoadColor::Red
                               : state == 202 ? RoadColor::Lime
                                              : RoadColor::Yellow;
        painter.setPen(ToQColor(color));
        painter.setBrush(ToQColor(color));
        painter.drawEllipse(QRect(lamp.x - 4, lamp.y - 4, 8, 8));
        painter.setBrush(Qt::NoBrush);
      }
    } else {
      const RgbColor background = i == selected ? RoadColor::Red : RoadColor::Black;
      canvas.Text(x - canvas.TextWidth(number) / 2, t + 12 - canvas.TextHeight(number) / 2, number,
                  RoadColor::White, background);
    }
  }
  for (int i = 0; i < config.LaneDetectorCount(); ++i) {
    const int state = config.LaneDetectorState(i);
    if (state != 300 && state != 301) {
      ProgramError("Bad lane detector state");
      return;
    }
    const int position = config.LaneDetectorPosition(i);
    const int t = LaneTop(static_cast<float>(config.LaneDetectorLane(i)));
    canvas.Outline(
        PositionToPixel(view, static_cast<float>(position - config.LaneDetectorLength(i))), t + 4,
        PositionToPixel(view, static_cast<float>(position)), t + 20, 2,
        state == 300 ? RoadColor::Gray : RoadColor::Yellow);
  }
}
