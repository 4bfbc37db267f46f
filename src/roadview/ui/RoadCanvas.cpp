#include "roadview/ui/RoadCanvas.h"

#include <QPen>
#include <QPolygon>
#include <algorithm>

namespace {

QString ToQString(const std::string& text) { return QString::fromLatin1(text.c_str()); }

}  // namespace

RoadCanvas::RoadCanvas(QImage& image)
    : painter_(&image), metrics_(painter_.font()), width_(image.width()) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, false);
}

void RoadCanvas::Fill(int x1, int y1, int x2, int y2, RgbColor color) {
  if (x2 <= x1 || y2 <= y1) return;
  painter_.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), ToQColor(color));
}

void RoadCanvas::VLine(int x, int y1, int y2, RgbColor color) {
  if (y1 <= y2)
    Fill(x, y1, x + 1, y2, color);
  else
    Fill(x, y2 + 1, x + 1, y1 + 1, color);
}

void RoadCanvas::Line(PixelPoint from, PixelPoint to, int width, RgbColor color) {
  QPen pen(ToQColor(color));
  pen.setWidth(width);
  pen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::SquareCap);
  painter_.setPen(pen);
  painter_.drawLine(from.x, from.y, to.x, to.y);
}

void RoadCanvas::Polyline(const std::vector<PixelPoint>& points, int width, RgbColor color) {
  QPolygon polygon;
  for (const PixelPoint& p : points) polygon << QPoint(p.x, p.y);
  QPen pen(ToQColor(color));
  pen.setWidth(width);
  painter_.setPen(pen);
  painter_.setBrush(Qt::NoBrush);
  painter_.drawPolyline(polygon);
}

void RoadCanvas::Outline(int x1, int y1, int x2, int y2, int width, RgbColor color) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  for (int i = 0; i < width; ++i) {
    const int l = x1 + i, t = y1 + i, r = x2 - i, b = y2 - i;
    if (r <= l || b <= t) return;
    HLine(l, r, t, color);
    HLine(l, r, b - 1, color);
    Fill(l, t, l + 1, b, color);
    Fill(r - 1, t, r, b, color);
  }
}

void RoadCanvas::RoundBox(int x1, int y1, int x2, int y2, RgbColor outline, RgbColor fill) {
  if (x2 - x1 < 3 || y2 - y1 < 3) return;
  Fill(x1 + 1, y1 + 1, x2 - 1, y2 - 1, fill);
  // The outline leaves out the four corner pixels.
  HLine(x1 + 1, x2 - 1, y1, outline);
  HLine(x1 + 1, x2 - 1, y2 - 1, outline);
  Fill(x1, y1 + 1, x1 + 1, y2 - 1, outline);
  Fill(x2 - 1, y1 + 1, x2, y2 - 1, outline);
}

int RoadCanvas::TextWidth(const std::string& text) const {
  return metrics_.horizontalAdvance(ToQString(text));
}

int RoadCanvas::TextHeight(const std::string&) const { return metrics_.height(); }

void RoadCanvas::Text(int x, int y, const std::string& text, RgbColor color) {
  painter_.setPen(ToQColor(color));
  painter_.setBackgroundMode(Qt::TransparentMode);
  painter_.drawText(x, y + metrics_.ascent(), ToQString(text));
}

void RoadCanvas::Text(int x, int y, const std::string& text, RgbColor color, RgbColor background) {
  Fill(x, y, x + TextWidth(text), y + TextHeight(text), background);
  Text(x, y, text, color);
}

void RoadCanvas::CentredText(int x, int y, const std::string& text, RgbColor color) {
  Text(x - TextWidth(text) / 2, y - TextHeight(text) / 2, text, color);
}

void RoadCanvas::ClippedText(int x, int y, const std::string& text, RgbColor color, int x1, int y1,
                             int x2, int y2) {
  if (x2 <= x1 || y2 <= y1) return;
  painter_.save();
  painter_.setClipRect(QRect(x1, y1, x2 - x1, y2 - y1));
  Text(x, y, text, color);
  painter_.restore();
}
