#pragma once

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <string>
#include <vector>

#include "roadview/RoadColors.h"
#include "roadview/RoadGlyphs.h"
#include "roadview/ui/QtColor.h"

// Drawing primitives over an off-screen image with exact pixel rules: rectangles and lines
// cover their first column and row and stop before the last one, as the geometry of the road
// picture counts them. No anti-aliasing anywhere.
class RoadCanvas {
 public:
  explicit RoadCanvas(QImage& image);

  QPainter& Painter() { return painter_; }
  int Width() const { return width_; }

  /// Fills columns x1 .. x2-1 and rows y1 .. y2-1.
  void Fill(int x1, int y1, int x2, int y2, RgbColor color);
  /// A 1-pixel horizontal line over columns x1 .. x2-1.
  void HLine(int x1, int x2, int y, RgbColor color) { Fill(x1, y, x2, y + 1, color); }
  /// A 1-pixel vertical line from row y1 towards y2, y2 excluded.
  void VLine(int x, int y1, int y2, RgbColor color);
  /// A line of the given width through both end points.
  void Line(PixelPoint from, PixelPoint to, int width, RgbColor color);
  void Polyline(const std::vector<PixelPoint>& points, int width, RgbColor color);
  /// An outline `width` pixels wide inside columns x1 .. x2-1 and rows y1 .. y2-1.
  void Outline(int x1, int y1, int x2, int y2, int width, RgbColor color);
  /// A box over columns x1 .. x2-1 and rows y1 .. y2-1 with a 1-pixel outline and
  /// slightly rounded corners.
  void RoundBox(int x1, int y1, int x2, int y2, RgbColor outline, RgbColor fill);

  int TextWidth(const std::string& text) const;
  int TextHeight(const std::string& text) const;
  /// Text with its top left corner at (x, y); transparent background unless given.
  void Text(int x, int y, const std::string& text, RgbColor color);
  void Text(int x, int y, const std::string& text, RgbColor color, RgbColor background);
  /// Text centred on (x, y), clipped to nothing.
  void CentredText(int x, int y, const std::string& text, RgbColor color);
  /// Text clipped to columns x1 .. x2-1 and rows y1 .. y2-1.
  void ClippedText(int x, int y, const std::string& text, RgbColor color, int x1, int y1, int x2,
                   int y2);

 private:
  QPainter painter_;
  QFontMetrics metrics_;
  int width_;
};
