#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "shell/ScreenDumpFiles.h"
#include "support/TestFolder.h"

namespace {

std::filesystem::path TempDir() {
  return FreshTestFolder(std::string("dumps-") +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

// A 5 x 3 picture: red top row, green middle row, blue bottom row; 5 pixels make a row of 15
// bytes, so bitmap rows need one padding byte.
RgbPicture Stripes() {
  RgbPicture picture{5, 3, {}};
  const std::uint8_t colors[3][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      picture.Pixels.insert(picture.Pixels.end(), colors[y], colors[y] + 3);
  return picture;
}

// 32 x 32: red over blue, halves of whole 16-pixel blocks so compression keeps the colours.
RgbPicture RedOverBlue() {
  RgbPicture picture{32, 32, {}};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const std::uint8_t pixel[3] = {static_cast<std::uint8_t>(y < 16 ? 255 : 0), 0,
                                     static_cast<std::uint8_t>(y < 16 ? 0 : 255)};
      picture.Pixels.insert(picture.Pixels.end(), pixel, pixel + 3);
    }
  return picture;
}

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t Le(const std::vector<std::uint8_t>& d, int at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | d[at + i];
  return v;
}

}  // namespace

TEST(ScreenDumpFileName, NumbersByRedrawCountInFiveDigits) {
  struct Case {
    const char* pattern;
    int step;
    int redrawEvery;
    const char* expected;
  } cases[] = {
      {"run.jpg", 120, 1, "run00120.jpg"},
      {"run.jpg", 240, 1, "run00240.jpg"},
      {"run.jpg", 120, 10, "run00012.jpg"},
      {"run.jpg", 125, 10, "run00012.jpg"},
      {"/data/out/run.bmp", 100, 100, "/data/out/run00001.bmp"},
      {"/data/out/.bmp", 1, 1, "/data/out/00001.bmp"},
      {"/data/v1.2/run", 7, 1, "/data/v1.2/run00007"},
      {"a.b.jpeg", 3, 1, "a.b00003.jpeg"},
      {"run.jpg", 1234567, 1, "run1234567.jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(ScreenDumpFileName(c.pattern, c.step, c.redrawEvery), c.expected);
  }
}

TEST(ScreenDumpFileName, OnlyLowerCaseBmpMakesBitmaps) {
  EXPECT_TRUE(ScreenDumpIsBitmap("run.bmp"));
  EXPECT_TRUE(ScreenDumpIsBitmap("/tmp/.bmp"));
  EXPECT_FALSE(ScreenDumpIsBitmap("run.BMP"));
  EXPECT_FALSE(ScreenDumpIsBitmap("run.jpg"));
  EXPECT_FALSE(ScreenDumpIsBitmap("run.bmpx"));
  EXPECT_FALSE(ScreenDumpIsBitmap("/dir.bmp/run"));
}

TEST(ScreenDumpCaption, JoinsTheFieldsWithTheirSeparators) {
  EXPECT_EQ(
      ScreenDumpCaption("/x/ramp.kav", "Color identifies", "Speed", "Simulator time:", "60.0"),
      "/x/ramp.kav   Color identifies: Speed  Simulator time: 60.0s");
}

TEST(ScreenDumpBitmap, WritesBottomUpBgrRowsWithPadding) {
  const auto path = TempDir() / "stripes.bmp";
  std::string error;
  ASSERT_TRUE(WriteBitmapFile(path.string(), Stripes(), error)) << error;
  const std::vector<std::uint8_t> d = ReadAll(path);
  ASSERT_EQ(d.size(), 54u + 3 * 16);
  EXPECT_EQ(d[0], 'B');
  EXPECT_EQ(d[1], 'M');
  EXPECT_EQ(Le(d, 2, 4), d.size());
  EXPECT_EQ(Le(d, 10, 4), 54u);
  EXPECT_EQ(Le(d, 18, 4), 5u);
  EXPECT_EQ(Le(d, 22, 4), 3u);
  EXPECT_EQ(Le(d, 28, 2), 24u);
  // First stored row is the bottom (blue) row, as blue-green-red bytes, then one pad byte.
  EXPECT_EQ(d[54], 255);
  EXPECT_EQ(d[55], 0);
  EXPECT_EQ(d[56], 0);
  EXPECT_EQ(d[54 + 15], 0);
  // The last row is the top (red) row.
  EXPECT_EQ(d[54 + 32 + 2], 255);
  EXPECT_EQ(d[54 + 32 + 0], 0);
}

TEST(ScreenDumpJpeg, WritesAPictureTheImageLibraryReadsBack) {
  const auto path = TempDir() / "stripes.jpg";
  std::string error;
  ASSERT_TRUE(WriteJpegFile(path.string(), RedOverBlue(), 90, error)) << error;
  std::FILE* file = std::fopen(path.string().c_str(), "rb");
  ASSERT_NE(file, nullptr);
  jpeg_decompress_struct info;
  jpeg_error_mgr err;
  info.err = jpeg_std_error(&err);
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  ASSERT_EQ(jpeg_read_header(&info, TRUE), JPEG_HEADER_OK);
  jpeg_start_decompress(&info);
  EXPECT_EQ(info.output_width, 32u);
  EXPECT_EQ(info.output_height, 32u);
  std::vector<std::uint8_t> row(32 * 3);
  JSAMPROW rowPointer = row.data();
  jpeg_read_scanlines(&info, &rowPointer, 1);
  EXPECT_GT(row[0], 200);  // the top row is still red
  EXPECT_LT(row[2], 60);
  jpeg_abort_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
}

TEST(ScreenDumpWriters, ReportAnUnwritableFileAndAnEmptyPicture) {
  const auto missing = TempDir() / "no-such-dir" / "x.bmp";
  for (bool bitmap : {true, false}) {
    SCOPED_TRACE(bitmap ? "bitmap" : "jpeg");
    std::string error;
    const bool ok = bitmap ? WriteBitmapFile(missing.string(), Stripes(), error)
                           : WriteJpegFile(missing.string(), Stripes(), 75, error);
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, "No such file or directory");
    error.clear();
    const auto path = (missing.parent_path().parent_path() / "empty").string();
    EXPECT_FALSE(bitmap ? WriteBitmapFile(path, RgbPicture{}, error)
                        : WriteJpegFile(path, RgbPicture{}, 75, error));
    EXPECT_EQ(error, "empty picture");
  }
}

TEST(ScreenDumpWriters, PatternChoosesTheFormat) {
  const auto dir = TempDir();
  std::string error;
  const std::string bmp = (dir / "a00001.bmp").string();
  const std::string upper = (dir / "a00001.BMP").string();
  ASSERT_TRUE(WriteScreenDumpFile("a.bmp", bmp, Stripes(), error));
  ASSERT_TRUE(WriteScreenDumpFile("a.BMP", upper, Stripes(), error));
  EXPECT_EQ(ReadAll(bmp)[0], 'B');
  const std::vector<std::uint8_t> jpeg = ReadAll(upper);
  EXPECT_EQ(jpeg[0], 0xFF);  // JPEG start of image
  EXPECT_EQ(jpeg[1], 0xD8);
}

TEST(ScreenDumpWriters, NeverReplaceAFolderAndLeaveNoTemporaryFile) {
  const auto dir = TempDir() / "dump-folder";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "a00001.bmp");
  std::filesystem::create_directories(dir / "a00001.jpg");
  for (bool bitmap : {true, false}) {
    SCOPED_TRACE(bitmap ? "bitmap" : "jpeg");
    const std::string path = (dir / (bitmap ? "a00001.bmp" : "a00001.jpg")).string();
    std::string error;
    EXPECT_FALSE(bitmap ? WriteBitmapFile(path, Stripes(), error)
                        : WriteJpegFile(path, Stripes(), 75, error));
    EXPECT_EQ(error, "it is a folder");
    EXPECT_TRUE(std::filesystem::is_directory(path));
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                          std::filesystem::directory_iterator()),
            2);
  std::filesystem::remove_all(dir);
}
