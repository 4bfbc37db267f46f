#include "roadview/ui/RoadPainter.h"

#include <QPolygon>
#include <algorithm>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/RoadMarkings.h"
#include "roadview/ui/RoadCanvas.h"

namespace {

constexpr int kTaperBits = LANE_TAPERON | LANE_TAPEROFF;

// Hatching of one paved lane rectangle: single pixels on 45 degree lines 4 pixels apart.
void HatchLane(RoadCanvas& canvas, Hatching hatching, int x0, int left, int right, int top,
               int bottom) {
  QPolygon points;
  const int from = std::max(left, 0);
  const int to = std::min(right, canvas.Width() - 1);
  for (int y = top; y < bottom; ++y)
    for (int x = from; x <= to; ++x)
      if (OnHatching(hatching, x0, top, x, y)) points << QPoint(x, y);
  canvas.Painter().setPen(ToQColor(RoadColor::White));
  canvas.Painter().drawPoints(points);
}

void DrawTaperFigure(RoadCanvas& canvas, const TaperFigure& figure, RgbColor brush) {
  const int l = figure.left, r = figure.right, y = figure.top;
  QPainter& painter = canvas.Painter();
  painter.setPen(ToQColor(brush));
  painter.setBrush(ToQColor(brush));
  painter.drawPolygon(QPolygon({QPoint(l, y), QPoint(r, y), QPoint(r, y + figure.rightDepth),
                                QPoint(l, y + figure.leftDepth)}));
  painter.setBrush(Qt::NoBrush);
  canvas.Line({l, y + figure.leftDepth}, {r, y + figure.rightDepth}, 3, RoadColor::White);
  for (size_t i = 0; i < figure.dividerDashes.size(); ++i)
    canvas.HLine(figure.dividerDashes[i].x1, figure.dividerDashes[i].x2, figure.dividerRows[i],
                 RoadColor::White);
}

void FillLane(const KDConfig& config, RoadCanvas& canvas, const RoadViewport& view,
              std::uint32_t flags, int section, int lane, PixelRange columns) {
  const int type = config.IntPhysicalSectionProperty(section, lane, PP_LANETYPE);
  const bool gray = (flags & RDF_SHOW_ALL_LANE_CHANGE) &&
                    config.IntPhysicalSectionProperty(section, lane, PP_ALLLANECHANGE) == 1;
  const RgbColor brush = gray ? RoadColor::Gray : RoadColor::Black;
  const bool drawTapers = (flags & RDF_DRAW_TAPERS) != 0;
  if ((type & LANE_PAVED) && (!(type & kTaperBits) || !drawTapers)) {
    const int top = LaneTop(static_cast<float>(lane));
    const int bottom = LaneTop(static_cast<float>(lane + 1));
    canvas.Fill(columns.left, top, columns.right + 1, bottom,
                (type & LANE_ICC) ? RoadColor::Navy : brush);
    const Hatching hatching = HatchingOf(type);
    if (hatching.rising || hatching.falling)
      HatchLane(canvas, hatching, PositionToPixel(view, 0.0f), columns.left, columns.right, top,
                bottom);
    return;
  }
  TaperFigure figure;
  if (drawTapers && TaperFigureAt(config, view, section, lane, figure))
    DrawTaperFigure(canvas, figure, brush);
}

void DrawMarkings(const KDConfig& config, RoadCanvas& canvas, const RoadViewport& view,
                  std::uint32_t flags, int section, int lane, PixelRange columns) {
  const int x0 = PositionToPixel(view, 0.0f);
  for (const MarkingLine& line :
       LaneMarkings(config, section, lane, columns, (flags & RDF_DRAW_TAPERS) != 0)) {
    if (line.solid) {
      canvas.Fill(line.x1, line.y - 1, line.x2, line.y + 2, RoadColor::White);
    } else {
      for (const Dash& dash : DashesBetween(x0, line.x1, line.x2))
        canvas.HLine(dash.x1, dash.x2, line.y, RoadColor::White);
    }
  }
}

}  // namespace

void DrawDetectorLines(const KDConfig& config, RoadCanvas& canvas, const RoadViewport& view) {
  const int bottom = RowsBelowRoad(MaxLane()).detectorLineBottom;
  for (int i = 0; i < config.DetectorCount(); ++i) {
    const int x = PositionToPixel(view, static_cast<float>(config.DetectorPosition(i)));
    canvas.VLine(x, 0, bottom, RoadColor::Silver);
  }
}

void DrawDistanceScale(RoadCanvas& canvas, const RoadViewport& view) {
  const int step = ScaleStep(view, canvas.TextWidth(std::to_string(view.roadLength)));
  const int h = canvas.TextHeight("Xy");
  const int ys = RowsBelowRoad(MaxLane()).scaleTop;
  for (const int p : ScaleLabelPositions(view, step)) {
    const std::string text = std::to_string(p);
    const int tw = canvas.TextWidth(text);
    const int x = PositionToPixel(view, static_cast<float>(p));
    canvas.RoundBox(x - tw / 2 - 2, ys - 2, x + tw / 2 + 2, ys + h + 2, RoadColor::White,
                    RoadColor::Green);
    canvas.Text(x - tw / 2, ys, text, RoadColor::Black);
    canvas.VLine(x, ys - 2, ys - 5, RoadColor::White);
  }
}

void DrawLanes(const KDConfig& config, RoadCanvas& canvas, const RoadViewport& view,
               std::uint32_t flags) {
  const int lanes = MaxLane();
  for (int s = 0; s <= config.Boundaries(); ++s) {
    const PixelRange columns = SectionPixelRange(config, view, s);
    for (int l = 0; l < lanes; ++l) FillLane(config, canvas, view, flags, s, l, columns);
    for (int l = 0; l < lanes; ++l) DrawMarkings(config, canvas, view, flags, s, l, columns);
  }
}

void DrawRoadLayout(const KDConfig& config, QImage& bitmap, std::vector<HeaderItem>* header,
                    std::uint32_t flags, int zoomIndex, int scroll, RoadDisplayAreas* areas,
                    const std::vector<SurfaceDetailView>* details) {
  if (bitmap.width() <= 0 || bitmap.height() <= 0) return;
  const RoadViewport view{bitmap.width(), config.Length(), zoomIndex, scroll};
  RoadCanvas canvas(bitmap);
  canvas.Fill(0, 0, bitmap.width(), bitmap.height(), RoadColor::Green);
  DrawDetectorLines(config, canvas, view);
  DrawDistanceScale(canvas, view);
  if (header) LayoutSectionHeader(config, view, *header);
  DrawLanes(config, canvas, view, flags);
  DrawTeleports(config, canvas, view, flags);
  DrawOriginsAndDestinations(config, canvas, view, flags, areas);
  if (flags & RDF_SHOW_AREAS) DrawLaneChangeAreas(config, canvas, view, flags);
  DrawPropertyLabels(config, canvas, view, flags, details);
  DrawDetectorLabels(config, canvas, view, flags, areas);
  DrawTrafficLightsAndLaneDetectors(config, canvas, view, flags);
}
