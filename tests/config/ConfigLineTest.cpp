#include <gtest/gtest.h>

#include <sstream>

#include "config/ConfigLine.h"
#include "config/ff_keys.h"

TEST(ConfigLineRead, AcceptsLfAndCrLfAndTrimsTrailingBlanks) {
  std::istringstream in("a: 1\r\nb: 2  \t\nc: 3\r\n\r\n  # note\nlast");
  std::string line;
  std::vector<std::string> lines;
  while (ReadConfigLine(in, line)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"a: 1", "b: 2", "c: 3", "", "  # note", "last"}));
}

TEST(ConfigLineRead, KeepsEightBitTextAndLongLines) {
  std::string name = "Zuid\xE9\xFC";
  std::string longLine = "flow  0:" + std::string(20000, '1');
  std::istringstream in("source  0: 0 0 2 " + name + "\n" + longLine + "\n");
  std::string line;
  ASSERT_TRUE(ReadConfigLine(in, line));
  EXPECT_EQ(line, "source  0: 0 0 2 " + name);
  ASSERT_TRUE(ReadConfigLine(in, line));
  EXPECT_EQ(line.size(), longLine.size());
  EXPECT_FALSE(ReadConfigLine(in, line));
}

TEST(ConfigLineSplit, SplitsKeyIndicesAndValue) {
  struct Case {
    const char* line;
    LineKind kind;
    const char* key;
    bool hasI1, hasI2;
    int i1, i2;
    const char* value;
  };
  const Case cases[] = {
      {"version: 1.0 build 1", LineKind::Keyed, "version", false, false, -1, -1, "1.0 build 1"},
      {"lane  3: 0,0,1.0", LineKind::Keyed, "lane", true, false, 3, -1, "0,0,1.0"},
      {"source to sink  2  5: 0.50", LineKind::Keyed, "source to sink", true, true, 2, 5, "0.50"},
      {"vehicle specific param 14  7:  -2.5 a", LineKind::Keyed, "vehicle specific param", true,
       true, 14, 7, "-2.5 a"},
      {"end of file:", LineKind::Keyed, "end of file", false, false, -1, -1, ""},
      {"lane -1: x", LineKind::Keyed, "lane", true, false, -1, -1, "x"},
      {"lane 1 2 3: x", LineKind::Keyed, "lane 1", true, true, 2, 3, "x"},
      {"lane1: x", LineKind::Keyed, "lane1", false, false, -1, -1, "x"},
      {"lane 99999999999: x", LineKind::Keyed, "lane", true, false, INT_MAX, -1, "x"},
      {" lane 0: x", LineKind::Keyed, " lane", true, false, 0, -1, "x"},
      {"source 0: 1 0 2 A: B", LineKind::Keyed, "source", true, false, 0, -1, "1 0 2 A: B"},
      {"   # comment: with colon", LineKind::Comment, "", false, false, -1, -1, ""},
      {"", LineKind::NoColon, "", false, false, -1, -1, ""},
      {"random seed 1", LineKind::NoColon, "", false, false, -1, -1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    SplitLine split = SplitConfigLine(c.line);
    EXPECT_EQ(split.kind, c.kind);
    if (c.kind != LineKind::Keyed) continue;
    EXPECT_EQ(split.key, c.key);
    EXPECT_EQ(split.hasI1, c.hasI1);
    EXPECT_EQ(split.hasI2, c.hasI2);
    EXPECT_EQ(split.i1, c.i1);
    EXPECT_EQ(split.i2, c.i2);
    EXPECT_EQ(split.value, c.value);
  }
}

TEST(ConfigLineScan, RejectsWhatIsNotANumber) {
  const char* notInts[] = {"", "  ", "x", "+-1", "--1", "-", "+", "99999999999", ".5"};
  for (const char* text : notInts) {
    SCOPED_TRACE(text);
    int value = 0;
    ValueScanner scanner(text);
    EXPECT_FALSE(scanner.Int(value));
  }
  const char* notFloats[] = {"", "nan", "inf", "-inf", "1e99", "x1", ".", "-.", "+-1"};
  for (const char* text : notFloats) {
    SCOPED_TRACE(text);
    float value = 0;
    ValueScanner scanner(text);
    EXPECT_FALSE(scanner.Float(value));
  }
}

TEST(ConfigLineScan, ReadsNumbersLikeFormattedInput) {
  struct Case {
    const char* text;
    float expected;
    const char* rest;
  };
  const Case cases[] = {{" 1.5 x", 1.5f, " x"},
                        {"+2", 2.0f, ""},
                        {"-.25,", -0.25f, ","},
                        {"3e2|", 300.0f, "|"},
                        {"0.52 0.48", 0.52f, " 0.48"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ValueScanner scanner(c.text);
    float value = 0;
    ASSERT_TRUE(scanner.Float(value));
    EXPECT_EQ(value, c.expected);
    EXPECT_EQ(scanner.Rest(), c.rest);
  }
  int value = 0;
  EXPECT_TRUE(ParseWholeNumber("-17", value));
  EXPECT_EQ(value, -17);
  EXPECT_FALSE(ParseWholeNumber("12.5", value));
  EXPECT_FALSE(ParseWholeNumber(" 12", value));
  EXPECT_FALSE(ParseWholeNumber("12 13", value));
}

TEST(ConfigLineFormat, FormatsLikeFixedPointPrintf) {
  EXPECT_EQ(FormatFixed(0.5f, 3), "0.500");
  EXPECT_EQ(FormatFixed(120.0f, 1), "120.0");
  EXPECT_EQ(FormatFixed(1.0f / 3.0f, 2), "0.33");
  EXPECT_EQ(FormatFixed(0.8f, 1), "0.8");
  EXPECT_EQ(FormatRoundTripWidth(-3.5f, 7, 3), " -3.500");
}

TEST(ConfigLineFormat, RoundTripFormattingKeepsEveryValue) {
  const float values[] = {0.05f, 0.07f, 0.0125f, 0.85f, 0.0045f, 0.333f, 1.0f, 0.0f, 0.1f};
  for (float value : values) {
    SCOPED_TRACE(value);
    std::string text = FormatRoundTrip(value, 1);
    ValueScanner scanner(text);
    float back = -1;
    ASSERT_TRUE(scanner.Float(back));
    EXPECT_EQ(back, value);
  }
  // Values that fit the customary decimals keep their customary text.
  EXPECT_EQ(FormatRoundTrip(0.05f, 3), "0.050");
  EXPECT_EQ(FormatRoundTrip(0.8f, 1), "0.8");
  EXPECT_EQ(FormatRoundTrip(0.85f, 1), "0.85");
}

TEST(FileKeywords, PrerequisitesFollowTheBlockOrder) {
  FileKey key;
  ASSERT_TRUE(FindFileKey("vehicle specific param", key));
  EXPECT_EQ(key, FileKey::VehicleSpecificParam);
  EXPECT_FALSE(FindFileKey("Lane", key));
  EXPECT_FALSE(FindFileKey("lane ", key));
  // Every key's prerequisites are completion bits of keys earlier in a written file.
  EXPECT_EQ(KeywordOf(FileKey::EndOfFile).prerequisites, 0x3FFDu);
  EXPECT_EQ(FirstKeyWithBit(KeywordOf(FileKey::LaneChange).prerequisites), FileKey::Sink);
  EXPECT_EQ(FirstKeyWithBit(KeywordOf(FileKey::SourceToSink).prerequisites), FileKey::Source);
  EXPECT_EQ(FirstKeyWithBit(KeywordOf(FileKey::Lane).prerequisites), FileKey::Sections);
  for (int i = 0; i < FILEKEY_COUNT; i++) {
    FileKey found;
    ASSERT_TRUE(FindFileKey(KeyName(static_cast<FileKey>(i)), found));
    EXPECT_EQ(static_cast<int>(found), i);
  }
}
