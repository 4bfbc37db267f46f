#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "roadview/RoadColors.h"

// Support for the rendering tests of the example roads: the examples, the picture geometry
// worked out here from its definition (not with the drawing's own helpers), and pixel access.

namespace rendering {

constexpr int kWidth = 800;
constexpr int kHeight = 340;

inline const std::vector<std::string>& ExampleNames() {
  static const std::vector<std::string> names = {
      "bench-motorway.kav", "lane-drop.kav",     "motorway-3lane.kav", "off-ramp.kav",
      "on-ramp-taper.kav",  "ramp-metering.kav", "weaving.kav"};
  return names;
}

inline ::testing::AssertionResult LoadExample(const std::string& name,
                                              std::unique_ptr<KDConfig>& config) {
  const std::string path = std::string(KAVRO_SOURCE_DIR) + "/examples/" + name;
  std::ifstream in(path, std::ios::binary);
  if (!in) return ::testing::AssertionFailure() << "cannot open " << path;
  config = std::make_unique<KDConfig>();
  const ConfigReadResult result = ParseKavroConfig(path, in, *config);
  if (!result.ok) return ::testing::AssertionFailure() << name << ": " << result.error.message;
  return ::testing::AssertionSuccess();
}

// The E12 series from 1 to 100 as the zoom control offers it.
inline double Zoom(int index) {
  static const double kSeries[12] = {1.0, 1.2, 1.5, 1.8, 2.2, 2.7, 3.3, 3.9, 4.7, 5.6, 6.8, 8.2};
  return kSeries[index % 12] * std::pow(10.0, index / 12);
}

// A zoom and scroll setting of the picture.
struct Setting {
  int zoom;
  int scroll;
};
inline const std::vector<Setting>& Settings() {
  static const std::vector<Setting> settings = {{0, 0}, {5, 0}, {5, 1000}, {12, 500}, {24, 300}};
  return settings;
}

// Column of a road position [m]: the whole road over the width less 39 pixels at zoom 1,
// 18 pixels in from the left, the scroll bar shifting the zoomed road from its start to its
// end.
inline int Column(double position, int length, Setting s, int width = kWidth) {
  const double w = width - 39;
  const double z = Zoom(s.zoom);
  return static_cast<int>(w * z * static_cast<float>(position) / length -
                          w * (z - 1) * s.scroll * 0.001 + 18);
}

// Lane rows are 24 pixels high below a 5 pixel margin.
inline int Top(int lane) { return lane * 24 + 5; }

inline RgbColor At(const QImage& image, int x, int y) {
  const QColor c = image.pixelColor(x, y);
  return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
          static_cast<std::uint8_t>(c.blue())};
}

inline std::string Name(RgbColor c) {
  return "(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ")";
}

// The font metrics of text drawn on an off-screen image.
struct ImageFont {
  QImage scratch{1, 1, QImage::Format_RGB32};
  int Width(const std::string& text) {
    QPainter painter(&scratch);
    return QFontMetrics(painter.font()).horizontalAdvance(QString::fromLatin1(text.c_str()));
  }
  int Height() {
    QPainter painter(&scratch);
    return QFontMetrics(painter.font()).height();
  }
};

// Rectangles of the picture that glyphs may cover: fill checks skip them.
struct Box {
  int x1, y1, x2, y2;  // inclusive
  bool Contains(int x, int y) const { return x >= x1 && x <= x2 && y >= y1 && y <= y2; }
};

}  // namespace rendering
