#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The screen dumps of a run: a picture of the road view every so many steps, saved under a
// numbered name made from a file name pattern.

// A picture as 8-bit red, green and blue bytes per pixel, rows from the top.
struct RgbPicture {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;  // Width * Height * 3 bytes
};

/// The name of the dump at `stepCount`: the pattern without its extension, then the step count
/// divided by the redraw rate (integer division) in five digits, then the pattern's extension.
/// "run.jpg" at step 240 with redraw every 10 steps gives "run00024.jpg".
std::string ScreenDumpFileName(const std::string& pattern, int stepCount, int redrawEvery);

/// The text line above the road in a dump: the file name, "   ", the colour caption ("Color
/// identifies"), ": ", the colour scheme, "  ", the time caption ("Simulator time:"), " ", the
/// shown simulator time and "s".
std::string ScreenDumpCaption(const std::string& fileName, const std::string& colorCaption,
                              const std::string& schemeName, const std::string& timeCaption,
                              const std::string& simulatorTime);

/// Only a pattern ending exactly in ".bmp" makes bitmaps; every other pattern makes JPEG images.
bool ScreenDumpIsBitmap(const std::string& pattern);

/// Writes a 24-bit uncompressed bitmap file; false with `error` set when it cannot be written.
bool WriteBitmapFile(const std::string& path, const RgbPicture& picture, std::string& error);

/// Writes a JPEG file at `quality` (1 .. 100); false with `error` set when it cannot be
/// written (the file cannot be created, or the image library refused the picture).
bool WriteJpegFile(const std::string& path, const RgbPicture& picture, int quality,
                   std::string& error);

/// Writes the dump in the format the pattern asks for.
bool WriteScreenDumpFile(const std::string& pattern, const std::string& path,
                         const RgbPicture& picture, std::string& error);
