#pragma once

#include <cstdint>
#include <vector>

#include "roadview/RoadColors.h"

// A picture as 32-bit words 0xffRRGGBB, row by row from the top: the trajectory and contour
// layers are drawn here without a display, and the window shows the words as its image.
class PixelRaster {
 public:
  PixelRaster() = default;
  PixelRaster(int width, int height, RgbColor fill);

  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::uint32_t* Data() const { return pixels_.data(); }
  std::uint32_t* Data() { return pixels_.data(); }

  static std::uint32_t Word(RgbColor color) {
    return 0xff000000u | (std::uint32_t(color.r) << 16) | (std::uint32_t(color.g) << 8) | color.b;
  }
  RgbColor Pixel(int x, int y) const;
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  void Fill(RgbColor color);
  /// Sets the pixels from (x1, y1) to (x2, y2), both ends included; pixels outside are skipped.
  void Line(int x1, int y1, int x2, int y2, std::uint32_t word);
  /// The rectangle from (left, top) up to, not including, (right, bottom).
  void FillRect(int left, int top, int right, int bottom, std::uint32_t word);

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};
