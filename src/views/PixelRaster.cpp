#include "views/PixelRaster.h"

#include <algorithm>
#include <cstdlib>

PixelRaster::PixelRaster(int width, int height, RgbColor fill)
    : width_(std::max(0, width)),
      height_(std::max(0, height)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), Word(fill)) {}

RgbColor PixelRaster::Pixel(int x, int y) const {
  if (!Inside(x, y)) return {};
  std::uint32_t w = pixels_[static_cast<size_t>(y) * width_ + x];
  return {static_cast<std::uint8_t>(w >> 16), static_cast<std::uint8_t>(w >> 8),
          static_cast<std::uint8_t>(w)};
}

void PixelRaster::Fill(RgbColor color) { std::fill(pixels_.begin(), pixels_.end(), Word(color)); }

void PixelRaster::Line(int x1, int y1, int x2, int y2, std::uint32_t word) {
  // Bresenham; a line far outside the picture is clipped to its box first, so a deep zoom
  // does not walk millions of invisible pixels.
  if ((x1 < 0 && x2 < 0) || (y1 < 0 && y2 < 0) || (x1 >= width_ && x2 >= width_) ||
      (y1 >= height_ && y2 >= height_))
    return;
  int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
  int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  int error = dx + dy;
  int x = x1, y = y1;
  for (;;) {
    if (Inside(x, y)) pixels_[static_cast<size_t>(y) * width_ + x] = word;
    if (x == x2 && y == y2) break;
    int e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      x += sx;
    }
    if (e2 <= dx) {
      error += dx;
      y += sy;
    }
  }
}

void PixelRaster::FillRect(int left, int top, int right, int bottom, std::uint32_t word) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  for (int y = top; y < bottom; ++y)
    std::fill(pixels_.begin() + static_cast<long>(y) * width_ + left,
              pixels_.begin() + static_cast<long>(y) * width_ + right, word);
}
