// The .dov format of the udov model: round trips, the shipped default file, refused lines with
// their line numbers, and damaged files that must never be half read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "UdovModel.h"
#include "support/TestFolder.h"
#include "support/XorShiftRandom.h"

namespace {

std::string ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Parse(const std::string& text, udov::ConfigData& config, std::string& error) {
  std::istringstream in(text);
  return udov::ParseDov(in, "t.dov", config, error);
}

TEST(UdovDovFile, DefaultFileIsWhatTheModelWritesForItsDefaults) {
  const std::string shipped = ReadAll(KAVRO_SOURCE_DIR "/udov/New.dov");
  udov::ConfigData config;
  std::string error;
  ASSERT_TRUE(Parse(shipped, config, error)) << error;
  EXPECT_EQ(udov::SerialiseDov(config), shipped);
}

TEST(UdovDovFile, ExamplesReadAndWriteBackUnchanged) {
  for (const char* name : {"two-lane-icc.dov", "injection.dov"}) {
    SCOPED_TRACE(name);
    const std::string text = ReadAll(std::string(KAVRO_SOURCE_DIR "/examples/") + name);
    udov::ConfigData config;
    std::string error;
    ASSERT_TRUE(Parse(text, config, error)) << error;
    EXPECT_EQ(udov::SerialiseDov(config), text);
  }
}

TEST(UdovDovFile, SaveOpenSaveIsByteIdentical) {
  auto folder = FreshTestFolder("udov-roundtrip");
  udov::Model model;
  udov::ConfigData& c = model.Config();
  c.links = 3;
  c.link[1].lanes = 4;
  c.link[1].laneType[3] = 2;
  c.link[2].detectors = 2;
  c.link[2].detectorOffset[1] = 250;
  c.flow = 1234.5f;
  c.general[udov::kTimeStep] = 0.2f;  // not exact in binary
  c.injectionFile = "with blanks .inj";
  std::string error;
  const std::string first = (folder / "a.dov").string();
  const std::string second = (folder / "b.dov").string();
  ASSERT_TRUE(model.WriteFile(first, error)) << error;
  udov::Model reopened;
  ASSERT_TRUE(reopened.ReadFile(first, error)) << error;
  ASSERT_TRUE(reopened.WriteFile(second, error)) << error;
  EXPECT_EQ(ReadAll(first), ReadAll(second));
  EXPECT_EQ(reopened.Config().general[udov::kTimeStep], 0.2f);
  EXPECT_EQ(reopened.Config().injectionFile, "with blanks .inj");
}

TEST(UdovDovFile, BadLinesAreRefusedWithTheirLineNumber) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"", "t.dov(1): not a udov configuration file (first line must be \"UDOV 1\")"},
      {"KAV 1\n", "t.dov(1): not a udov configuration file (first line must be \"UDOV 1\")"},
      {"UDOV 2\n", "t.dov(1): format version 2 is not supported (this library reads 1)"},
      {"UDOV 1\nseed 1\nwhatever 3\n", "t.dov(3): unknown keyword \"whatever\""},
      {"# x\nUDOV 1\n\nflow abc\n", "t.dov(4): bad number \"abc\""},
      {"UDOV 1\nflow 10001\n", "t.dov(2): value out of range (0 .. 10000)"},
      {"UDOV 1\nflow nan\n", "t.dov(2): bad number \"nan\""},
      {"UDOV 1\nlength 3 100\n",
       "t.dov(2): index out of range (the count line must come before it)"},
      {"UDOV 1\nlinks 2\nlanes 2 7\n", "t.dov(3): value out of range (1 .. 6)"},
      {"UDOV 1\nlanes 1\n", "t.dov(2): \"lanes\" needs a value"},
      {"UDOV 1\nseed 1 2\n", "t.dov(2): unexpected \"2\" after the value"},
      {"UDOV 1\nseed -1\n", "t.dov(2): value out of range (0 .. 4.29497e+09)"},
      {"UDOV 1\nlinks 1.5\n", "t.dov(2): bad whole number \"1.5\""},
      {"UDOV 1\r\nlanetype 1 1 3\r\n", "t.dov(2): value out of range (1 .. 2)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    udov::ConfigData config;
    config.flow = 77;
    std::string error;
    EXPECT_FALSE(Parse(c.text, config, error));
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(config.flow, 77.0f);  // nothing of a refused file is taken
  }
}

TEST(UdovDovFile, RefusedFileLeavesTheModelUnchanged) {
  auto folder = FreshTestFolder("udov-refused");
  const std::string name = (folder / "bad.dov").string();
  std::ofstream(name) << "UDOV 1\nflow 100\nlinks 99\n";
  udov::Model model;
  model.Config().flow = 555;
  std::string error;
  EXPECT_FALSE(model.ReadFile(name, error));
  EXPECT_EQ(error, name + "(3): value out of range (1 .. 32)");
  EXPECT_EQ(model.Config().flow, 555.0f);
}

TEST(UdovDovFile, WriteRefusesToReplaceAFolderAndLeavesNoTemporaryFile) {
  auto folder = FreshTestFolder("udov-write");
  std::filesystem::create_directory(folder / "x.dov");
  udov::Model model;
  std::string error;
  EXPECT_FALSE(model.WriteFile((folder / "x.dov").string(), error));
  EXPECT_NE(error.find("not a regular file"), std::string::npos);
  EXPECT_FALSE(model.WriteFile((folder / "missing" / "y.dov").string(), error));
  int entries = 0;
  for (auto& entry : std::filesystem::directory_iterator(folder)) entries += !entry.is_directory();
  EXPECT_EQ(entries, 0);
}

// Thousands of damaged files: each is refused with "t.dov(N): " or read; a file that is read
// writes back text that reads to the same configuration.
TEST(UdovDovFile, DamagedFilesAreRefusedOrReadConsistently) {
  const std::string shipped = ReadAll(KAVRO_SOURCE_DIR "/udov/New.dov");
  std::vector<std::string> lines;
  std::istringstream in(shipped);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  static const char* const tokens[] = {"-1", "0",  "99999999999", "1e30",     "nan",
                                       " ",  "\t", "7",           "links 40", "lanes 1 0",
                                       "#",  "\r", "2147483648",  "\xe9"};
  int rounds =
      std::getenv("KAVRO_FUZZ_ROUNDS") ? std::atoi(std::getenv("KAVRO_FUZZ_ROUNDS")) : 2000;
  XorShiftRandom random(2026);
  int accepted = 0;
  for (int round = 0; round < rounds; round++) {
    std::vector<std::string> damaged = lines;
    for (int m = 0; m <= random.Below(3); m++) {
      int n = random.Below(static_cast<int>(damaged.size()));
      std::string& line = damaged[n];
      switch (random.Below(5)) {
        case 0:
          damaged.erase(damaged.begin() + n);
          break;
        case 1:
          std::swap(line, damaged[random.Below(static_cast<int>(damaged.size()))]);
          break;
        case 2:
          if (!line.empty())
            line[random.Below(static_cast<int>(line.size()))] = static_cast<char>(random.Next());
          break;
        default:
          line.insert(line.empty() ? 0 : random.Below(static_cast<int>(line.size())),
                      tokens[random.Below(sizeof tokens / sizeof tokens[0])]);
      }
    }
    std::string text;
    for (const std::string& line : damaged) text += line + "\n";
    SCOPED_TRACE(round);
    udov::ConfigData config;
    std::string error;
    if (!Parse(text, config, error)) {
      ASSERT_EQ(error.rfind("t.dov(", 0), 0u) << error;
      continue;
    }
    accepted++;
    const std::string written = udov::SerialiseDov(config);
    udov::ConfigData again;
    ASSERT_TRUE(Parse(written, again, error)) << error;
    ASSERT_EQ(udov::SerialiseDov(again), written);
  }
  EXPECT_GT(accepted, 0);
}

}  // namespace
