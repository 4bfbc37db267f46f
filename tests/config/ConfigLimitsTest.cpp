// Roads at the limits of the model: many sections, and lane types that give more origins,
// destinations or teleports than their lists hold. The reader refuses such a road with its
// line and the reason, never with a stop.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "config/ConfigRW.h"
#include "config/ConfigTestFiles.h"
#include "config/KDConfig.h"
#include "support/ReportCapture.h"

namespace {

// File lane type codes.
constexpr int ANY = 0, NONE = 3, OFF = 9, TELEPORT_IN = 10;

// A road of `sections` sections of 10 m; `code(s, lane)` gives the file code of section s
// counted from upstream. The file ends with a complete one-origin demand when `complete`.
std::string RoadText(int sections, const std::function<int(int, int)>& code, bool complete) {
  std::string text = "version: 1.0\nsections:";
  for (int s = 1; s <= sections; s++) text += " " + std::to_string(10 * s);
  text += "\n";
  for (int lane = 0; lane < MAX_KAVROLANE; lane++) {
    text += "lane " + std::to_string(lane) + ":";
    for (int s = 0; s < sections; s++)
      text += " " + std::to_string(code(s, lane)) + ",0,1.0,120.0,0.000,0";
    text += "\n";
  }
  if (!complete) return text + "random seed: 1\n";
  text += "source 0: " + std::to_string(sections - 1) + " 0 2 Entry\nsink 0: 0 0 2 Exit\n";
  text +=
      "vehicle types: 1\nvehicle general param 0: 3.0\nvehicle specific param 0 0: 1.0\n"
      "flow 0: 0|01000\nvehicle probabilities 0: 1.000\n"
      "source to sink 0 0: 1.00\nrandom seed: 1\ntime step size: 0.50\n"
      "maximum simulation time: 600\nend of file:\n";
  return text;
}

// Three lanes where lanes may change, the others unpaved.
int ThreeLanes(int, int lane) { return lane < 3 ? (lane == 0 ? 1 : lane == 2 ? 2 : ANY) : OFF; }

ConfigReadResult Read(const std::string& text, std::unique_ptr<KDConfig>& loaded) {
  return LoadConfigText("limits.kav", text, loaded);
}

}  // namespace

TEST(KavroConfigLimits, ARoadOfTheMostSectionsReadsAndSavesAgain) {
  ReportCapture capture;
  std::unique_ptr<KDConfig> loaded;
  ConfigReadResult result = Read(RoadText(MAXSECTIONS, ThreeLanes, true), loaded);
  ASSERT_TRUE(result.ok) << result.error.line << ": " << result.error.message;
  EXPECT_EQ(loaded->Boundaries() + 1, MAXSECTIONS);
  EXPECT_EQ(loaded->Length(), 10 * MAXSECTIONS);
  EXPECT_EQ(loaded->SectionPos(MAXSECTIONS - 1, WHENCE_END), 10);
  EXPECT_EQ(loaded->SourceCount(), 1);
  EXPECT_EQ(loaded->SinkCount(), 1);
  std::string saved = KavroConfigText(*loaded, "\n");
  std::unique_ptr<KDConfig> again;
  ASSERT_TRUE(Read(saved, again).ok);
  EXPECT_EQ(KavroConfigText(*again, "\n"), saved);
  EXPECT_TRUE(capture.Empty());
}

TEST(KavroConfigLimits, MoreSectionsAreRefusedAtTheSectionsLine) {
  for (int sections : {MAXSECTIONS + 1, 100000}) {
    SCOPED_TRACE(sections);
    ReportCapture capture;
    std::unique_ptr<KDConfig> loaded;
    ConfigReadResult result = Read(RoadText(sections, ThreeLanes, true), loaded);
    ASSERT_FALSE(result.ok);
    EXPECT_EQ(result.error.line, 2);
    EXPECT_EQ(result.error.message, "Too many sections (at most 10000)");
    EXPECT_TRUE(capture.Empty());
  }
}

TEST(KavroConfigLimits, SectionsAreGivenInOneBlock) {
  std::unique_ptr<KDConfig> loaded;
  std::string text = EditedConfigText({{3, {"sections: 2000", "sections: 5000"}}});
  ASSERT_TRUE(Read(text, loaded).ok);
  EXPECT_EQ(loaded->Length(), 5000);
  EXPECT_EQ(loaded->SectionPos(0, WHENCE_BEGIN), 2000);
  // Positions in any order cut the road at the same places.
  ASSERT_TRUE(Read(EditedConfigText({{3, {"sections: 5000 2000"}}}), loaded).ok);
  EXPECT_EQ(loaded->SectionPos(0, WHENCE_BEGIN), 2000);
  ConfigReadResult result = Read(
      EditedConfigText({{3, {"sections: 2000", "vehicle types: 2", "sections: 5000"}}}), loaded);
  EXPECT_EQ(result.error.line, 5);
  EXPECT_EQ(result.error.message, "Duplicate definition of sections");
}

TEST(KavroConfigLimits, RoadsWithTooManyOriginsDestinationsOrTeleportsAreRefused) {
  struct Case {
    const char* what;
    int sections;
    std::function<int(int, int)> code;
    const char* message;
  } cases[] = {
      // Every other section paved with lanes that nobody may leave: each lane begins an origin
      // and ends in a destination, 9 x 12 of them.
      {"alternating sections", 18, [](int s, int) { return s % 2 == 0 ? NONE : OFF; },
       "Too many origins (108, at most 99)"},
      // One lane in each of 100 sections ends where the next section has no such lane: 100
      // destinations, one origin at the upstream end.
      {"lanes ending", 200,
       [](int s, int lane) { return lane == 0                 ? 1
                                    : lane == 1 && s % 2 == 0 ? NONE
                                                              : OFF; },
       "Too many destinations (101, at most 99)"},
      {"teleport entrances", 18, [](int s, int) { return s % 2 == 0 ? TELEPORT_IN : OFF; },
       "Too many teleport entrances (108, at most 99)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReportCapture capture;
    std::unique_ptr<KDConfig> loaded;
    ConfigReadResult result = Read(RoadText(c.sections, c.code, false), loaded);
    ASSERT_FALSE(result.ok);
    EXPECT_EQ(result.error.message, c.message);
    // The road is complete with its last lane line.
    EXPECT_EQ(result.error.line, 14);
    EXPECT_EQ(result.error.lineText.substr(0, 8), "lane 11:");
    EXPECT_TRUE(capture.Empty()) << capture.Reports().front().text;
    EXPECT_FALSE(TerminateRequested());
  }
}

TEST(KavroConfigLimits, NinetyNineOriginsAreRead) {
  // Eleven lanes in nine sections.
  auto code = [](int s, int lane) { return s % 2 == 0 && lane < 11 ? NONE : OFF; };
  std::unique_ptr<KDConfig> loaded;
  std::string text = RoadText(18, code, false);
  text.replace(text.find("random seed: 1"), std::string::npos, "sink 0: 1 0 0 Away\n");
  ConfigReadResult result = Read(text, loaded);
  // The reader got past the road and the name of a destination.
  EXPECT_EQ(result.error.message, "Unexpected end of file");
}
