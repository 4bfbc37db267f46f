#include "shell/ScreenDumpFiles.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>

#include "config/FileReplace.h"
#include "config/ProgramError.h"

namespace {

// Index of the extension's "." in `name`, or npos when the last path component has none.
std::string::size_type ExtensionStart(const std::string& name) {
  const auto dot = name.rfind('.');
  const auto slash = name.find_last_of("/\\");
  if (dot == std::string::npos) return dot;
  if (slash != std::string::npos && dot < slash) return std::string::npos;
  return dot;
}

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

bool PictureValid(const RgbPicture& picture, std::string& error) {
  if (picture.Width < 1 || picture.Height < 1 ||
      picture.Pixels.size() != static_cast<std::size_t>(picture.Width) * picture.Height * 3) {
    error = "empty picture";
    return false;
  }
  return true;
}

// libjpeg's own error handler ends the process; a failed dump must only fail the dump.
struct JpegErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf escape;
  char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info) {
  auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->escape, 1);
}

}  // namespace

std::string ScreenDumpFileName(const std::string& pattern, int stepCount, int redrawEvery) {
  const auto dot = ExtensionStart(pattern);
  const std::string stem = dot == std::string::npos ? pattern : pattern.substr(0, dot);
  const std::string extension = dot == std::string::npos ? "" : pattern.substr(dot);
  const int number = redrawEvery > 0 ? stepCount / redrawEvery : stepCount;
  return stem + Format("%05d", number) + extension;
}

std::string ScreenDumpCaption(const std::string& fileName, const std::string& colorCaption,
                              const std::string& schemeName, const std::string& timeCaption,
                              const std::string& simulatorTime) {
  return fileName + "   " + colorCaption + ": " + schemeName + "  " + timeCaption + " " +
         simulatorTime + "s";
}

bool ScreenDumpIsBitmap(const std::string& pattern) {
  const auto dot = ExtensionStart(pattern);
  return dot != std::string::npos && pattern.compare(dot, std::string::npos, ".bmp") == 0;
}

bool WriteBitmapFile(const std::string& path, const RgbPicture& picture, std::string& error) {
  if (!PictureValid(picture, error)) return false;
  const std::uint32_t rowBytes = (static_cast<std::uint32_t>(picture.Width) * 3 + 3) & ~3u;
  const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(picture.Height);
  std::vector<std::uint8_t> data;
  data.reserve(54 + imageBytes);
  data.push_back('B');
  data.push_back('M');
  PutLittleEndian(data, 54 + imageBytes, 4);  // file size
  PutLittleEndian(data, 0, 4);                // reserved
  PutLittleEndian(data, 54, 4);               // offset of the pixels
  PutLittleEndian(data, 40, 4);               // size of the information header
  PutLittleEndian(data, static_cast<std::uint32_t>(picture.Width), 4);
  PutLittleEndian(data, static_cast<std::uint32_t>(picture.Height), 4);  // rows bottom-up
  PutLittleEndian(data, 1, 2);                                           // planes
  PutLittleEndian(data, 24, 2);                                          // bits per pixel
  PutLittleEndian(data, 0, 4);                                           // no compression
  PutLittleEndian(data, imageBytes, 4);
  PutLittleEndian(data, 2835, 4);  // 72 dots per inch, as pixels per metre
  PutLittleEndian(data, 2835, 4);
  PutLittleEndian(data, 0, 4);
  PutLittleEndian(data, 0, 4);
  for (int y = picture.Height - 1; y >= 0; --y) {
    const std::uint8_t* row = &picture.Pixels[static_cast<std::size_t>(y) * picture.Width * 3];
    for (int x = 0; x < picture.Width; ++x) {
      data.push_back(row[3 * x + 2]);  // bitmaps store blue, green, red
      data.push_back(row[3 * x + 1]);
      data.push_back(row[3 * x]);
    }
    for (std::uint32_t pad = static_cast<std::uint32_t>(picture.Width) * 3; pad < rowBytes; ++pad)
      data.push_back(0);
  }
  // A picture is complete or not there: written beside its name and renamed when whole.
  return ReplaceFileContents(path, std::string(data.begin(), data.end()), error);
}

bool WriteJpegFile(const std::string& path, const RgbPicture& picture, int quality,
                   std::string& error) {
  if (!PictureValid(picture, error)) return false;
  FileReplacement file;
  if (!file.Open(path)) {
    error = file.Error();
    return false;
  }
  jpeg_compress_struct info;
  JpegErrorManager manager;
  info.err = jpeg_std_error(&manager.base);
  manager.base.error_exit = JpegErrorExit;
  if (setjmp(manager.escape)) {
    jpeg_destroy_compress(&info);
    error = manager.message;
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file.File());
  info.image_width = static_cast<JDIMENSION>(picture.Width);
  info.image_height = static_cast<JDIMENSION>(picture.Height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(
        &picture.Pixels[static_cast<std::size_t>(info.next_scanline) * picture.Width * 3]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  if (!file.Commit()) {
    error = file.Error();
    return false;
  }
  return true;
}

bool WriteScreenDumpFile(const std::string& pattern, const std::string& path,
                         const RgbPicture& picture, std::string& error) {
  // The quality of the image library's default.
  return ScreenDumpIsBitmap(pattern) ? WriteBitmapFile(path, picture, error)
                                     : WriteJpegFile(path, picture, 75, error);
}
