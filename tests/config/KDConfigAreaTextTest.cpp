// Road pieces as clipboard text: the exact layout, the structure check, and pastes that fit or
// are refused without changing anything.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/ConfigCopyTestSupport.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

namespace {

const std::string kDefaultLane =
    "(0.000000,0.000000,0.000000,120.000000,0.000000,76.000000,1.000000,0.000000,0.000000)";

// A lane group with the given lane type and speed limit text.
std::string Lane(const std::string& type, const std::string& speed = "120.000000") {
  return "(0.000000,0.000000,0.000000," + speed + ",0.000000," + type +
         ",1.000000,0.000000,0.000000)";
}

TEST(KDConfigAreaToText, OneSectionOneLaneHasTheExactLayout) {
  KDConfig config;
  config.SetLength(1000);
  config.SetPhysicalSectionProperty(0, 1, PP_LANETYPE, LANETYPE_ANYCHANGE);
  EXPECT_EQ(config.AreaToText(1, 1, 0, 0),
            "(1000(0.000000,0.000000,0.000000,120.000000,0.000000,76.000000,1.000000,0.000000,"
            "0.000000))");
}

TEST(KDConfigAreaToText, SectionsRunUpstreamFirst) {
  KDConfig config;
  config.InsertBoundary(1000);  // section 1: 0 .. 1000, section 0: 1000 .. 5000
  const std::string text = config.AreaToText(0, 0, 0, 1);
  EXPECT_EQ(text.rfind("(1000(", 0), 0u);
  EXPECT_NE(text.find(")(4000("), std::string::npos);
}

TEST(KDConfigAreaToText, BadRectangleStopsWithTheArguments) {
  KDConfig config;
  ReportCapture capture;
  EXPECT_EQ(config.AreaToText(2, 1, 0, 0), "");
  EXPECT_EQ(capture.OnlyText(),
            "KDConfig::AreaToText: \r\nFromLane=2\r\nToLane=1\r\nToSection=0\r\nFromSection=0");
}

TEST(KDConfigCheckAreaText, CountsSectionGroupsOrRefusesTheStructure) {
  const std::string one = "(100" + kDefaultLane + ")";
  struct Case {
    std::string text;
    int expected;
  } cases[] = {
      {one, 1},
      {one + one + one, 3},
      {"(100)", 1},  // a section without lanes
      {"", 0},
      {"(" + kDefaultLane + ")", -1},  // no length
      {"(100" + kDefaultLane, -1},     // unclosed
      {one + " ", -1},
      {one + "\r\n", -1},
      {"(100" + Lane("76.5") + ")", -1},
      {"(100" + Lane("5000.000000") + ")", -1},
      {"(100" + Lane("-1") + ")", -1},
      {"(100(1,2,3,4,5,6,7,8))", -1},  // eight numbers
      {"(100(1,2,3,4,5,6,7,8,9,10))", -1},
      {"(100(,,,,76,,,,))", -1},
      {"(100" + Lane("76.000000", "fast") + ")", 1},  // conversion is the paste's business
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(KDConfig::CheckAreaText(c.text), c.expected);
  }
}

TEST(KDConfigTextToArea, OneSectionReplacesTheTargetLengthAndLanes) {
  KDConfig source;
  source.InsertBoundary(1000);
  source.SetPhysicalSectionProperty(1, 0, PP_SPEEDLIMIT, 80);
  const std::string text = source.AreaToText(0, 2, 1, 1);

  KDConfig target;
  ASSERT_TRUE(target.TextToArea(text, 0, 0));
  EXPECT_EQ(target.Length(), 1000);
  EXPECT_EQ(target.PhysicalSectionProperty(0, 0, PP_SPEEDLIMIT), 80);
  for (int lane = 0; lane < 3; ++lane)
    EXPECT_EQ(target.IntPhysicalSectionProperty(0, lane, PP_LANETYPE),
              source.IntPhysicalSectionProperty(1, lane, PP_LANETYPE));
}

TEST(KDConfigTextToArea, ThreeSectionsIntoOneKeepTheirOrderAndLengths) {
  KDConfig source;
  source.InsertBoundary(1000);
  source.InsertBoundary(3000);  // sections 2: 0..1000, 1: 1000..3000, 0: 3000..5000
  source.SetPhysicalSectionProperty(2, 1, PP_LANETYPE, LANETYPE_BLOCKED);
  const std::string text = source.AreaToText(0, 2, 0, 2);
  ASSERT_EQ(KDConfig::CheckAreaText(text), 3);

  KDConfig target;
  target.InsertBoundary(4000);  // paste into the upstream section 1 (0 .. 4000)
  ASSERT_TRUE(target.TextToArea(text, 1, 0));
  ASSERT_EQ(target.Boundaries(), 3);
  EXPECT_EQ(target.SectionLength(3), 1000);
  EXPECT_EQ(target.SectionLength(2), 2000);
  EXPECT_EQ(target.SectionLength(1), 2000);
  EXPECT_EQ(target.SectionLength(0), 1000);  // the untouched downstream section
  EXPECT_EQ(target.IntPhysicalSectionProperty(3, 1, PP_LANETYPE) & LANE_MERGEBOTH, LANE_MERGEBOTH);
  EXPECT_EQ(target.IntPhysicalSectionProperty(2, 1, PP_LANETYPE), LANETYPE_ANYCHANGE);
}

TEST(KDConfigTextToArea, LanesOutsideThePieceKeepTheTargetValues) {
  KDConfig target;
  target.SetPhysicalSectionProperty(0, 2, PP_SLOPE, 0.03f);
  ASSERT_TRUE(target.TextToArea("(2000" + kDefaultLane + ")(1500" + kDefaultLane + ")", 0, 0));
  ASSERT_EQ(target.Boundaries(), 1);
  for (int s = 0; s <= 1; ++s)
    EXPECT_FLOAT_EQ(target.PhysicalSectionProperty(s, 2, PP_SLOPE), 0.03f);
}

// A refused paste reports and leaves the configuration exactly as it was.
void ExpectRefused(const std::string& text, int section, int lane, const std::string& message) {
  std::unique_ptr<KDConfig> target = LoadSourceConfig("examples/motorway-3lane.kav");
  ASSERT_NE(target, nullptr);
  const std::string before = SavedText(*target);
  const int stamp = target->ChangeStamp();
  ReportCapture capture;
  EXPECT_FALSE(target->TextToArea(text, section, lane));
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_FALSE(capture.Reports()[0].stop);
  EXPECT_EQ(capture.Reports()[0].text, message);
  EXPECT_EQ(target->ChangeStamp(), stamp);
  EXPECT_EQ(SavedText(*target), before);
}

TEST(KDConfigTextToArea, UnconvertibleNumberIsReportedAndNothingChanges) {
  ExpectRefused("(100" + kDefaultLane + Lane("76.000000", "fast") + ")", 0, 0,
                "Cannot convert floating point value from clipboard (\"fast,0.000000,76.000\")");
}

TEST(KDConfigTextToArea, PieceThatDoesNotFitIsRefusedWithoutChange) {
  std::string wide = "(100";
  for (int lane = 0; lane < 3; ++lane) wide += kDefaultLane;
  wide += ")";
  ExpectRefused(wide, 0, 10, "The road piece has 3 lanes; from lane 11 on the road has only 2");
  ExpectRefused("(100" + Lane("326.000000") + ")", 0, 0,
                "The road piece does not fit here: a tapered ramp cannot lie on the leftmost lane");
  ExpectRefused("(100(0,0,0,120,0.5,76,1,0,0))", 0, 1,
                "The road piece does not fit here: lane 2: slope 0.5 is not in 0 .. 0.07");
  ExpectRefused("(100(0,2,0,120,0,76,1,0,0))", 0, 1,
                "The road piece does not fit here: lane 2: closed for overtaking trucks must be 0 "
                "or 1");
  ExpectRefused("(99999999999" + kDefaultLane + ")", 0, 0,
                "The road piece does not fit here: the road would be longer than 16777216 m");
  ExpectRefused("(0" + kDefaultLane + ")", 0, 0,
                "The road piece does not fit here: a section of 0 m");
  ExpectRefused("(100(0,0,0,1e300,0,76,1,0,0))", 0, 0,
                "Cannot convert floating point value from clipboard (\"1e300,0,76,1,0,0))\")");
  // Paved with no lane change bit at all between two paved lanes: no file could hold it.
  ExpectRefused("(100(0,0,0,120,0,64,1,0,0))", 0, 1,
                "The road piece does not fit here: OldPhysSectionType: Can't reconstruct lanetype");
}

TEST(KDConfigTextToArea, BrokenTextIsAProgramErrorForCallersThatDidNotCheck) {
  KDConfig config;
  const int stamp = config.ChangeStamp();
  ReportCapture capture;
  EXPECT_FALSE(config.TextToArea("(x)", 0, 0));
  EXPECT_EQ(capture.OnlyText(),
            "KDConfig::TextToArea: \r\nbad Text ((x)) or Section (0) or Lane (0)");
  EXPECT_EQ(config.ChangeStamp(), stamp);
  ClearTerminateRequest();
}

// A ramp section of one example pasted into another: the saved file passes the batch runner's
// check.
TEST(KDConfigTextToArea, PastedRampSavesAFileTheBatchRunnerAccepts) {
  std::unique_ptr<KDConfig> source = LoadSourceConfig("examples/on-ramp-taper.kav");
  std::unique_ptr<KDConfig> target = LoadSourceConfig("examples/motorway-3lane.kav");
  ASSERT_NE(source, nullptr);
  ASSERT_NE(target, nullptr);
  // The section with the taper and everything upstream of it, over all lanes.
  int taperSection = -1;
  for (int s = 0; s <= source->Boundaries() && taperSection < 0; ++s)
    for (int lane = 0; lane < MaxLane(); ++lane)
      if (source->IntPhysicalSectionProperty(s, lane, PP_LANETYPE) & LANE_TAPERON) taperSection = s;
  ASSERT_GE(taperSection, 0);
  const std::string text = source->AreaToText(0, MaxLane() - 1, taperSection, source->Boundaries());
  ReportCapture capture;
  ASSERT_TRUE(target->TextToArea(text, target->Boundaries(), 0)) << capture.OnlyText();
  const std::filesystem::path folder = FreshTestFolder("area-paste");
  const std::string file = (folder / "pasted.kav").string();
  ASSERT_TRUE(WriteConfig(*target, file));
  const std::string command = std::string("'") + KAVRO_BATCH_EXE + "' '" + file + "' --check >'" +
                              (folder / "out.txt").string() + "' 2>&1";
  std::ifstream out(folder / "out.txt");
  std::stringstream output;
  const int status = std::system(command.c_str());
  output << out.rdbuf();
  EXPECT_EQ(status, 0) << output.str();
}

}  // namespace
