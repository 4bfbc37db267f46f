#include <gtest/gtest.h>

#include <memory>

#include "config/ConfigRW.h"
#include "config/ConfigTestFiles.h"
#include "config/KDConfig.h"
#include "config/RoadTypes.h"
#include "support/ReportCapture.h"

TEST(KavroConfigRead, BaseFileGivesTheRoadAndDemandItDescribes) {
  std::unique_ptr<KDConfig> c;
  ConfigReadResult result = LoadConfigText("base.kav", JoinLines(BaseConfigLines()), c);
  ASSERT_TRUE(result.ok) << result.error.line << ": " << result.error.message;
  EXPECT_EQ(c->Length(), 5000);
  EXPECT_EQ(c->Boundaries(), 1);
  EXPECT_EQ(c->SectionPos(1, WHENCE_END), 2000);
  EXPECT_EQ(c->OldPhysSectionType(1, 3), 3);
  EXPECT_EQ(c->OldPhysSectionType(0, 3), 9);
  EXPECT_EQ(c->PhysicalSectionProperty(0, 1, PP_SPEEDLIMIT), 100.0f);
  EXPECT_EQ(c->PhysicalSectionProperty(0, 2, PP_SPEEDSUPPRESSION), 0.8f);
  EXPECT_EQ(c->PhysicalSectionProperty(0, 2, PP_SLOPE), 0.02f);
  EXPECT_EQ(c->IntPhysicalSectionProperty(0, 2, PP_NOOVERTAKINGTRUCKS), 1);
  ASSERT_EQ(c->SourceCount(), 2);
  ASSERT_EQ(c->SinkCount(), 2);
  EXPECT_EQ(c->SourceName(0), "Noord");
  EXPECT_EQ(c->SourceName(1), "Oprit");
  EXPECT_EQ(c->SinkName(0), "Zuid");
  EXPECT_EQ(c->SinkName(1), "Afrit");
  EXPECT_EQ(c->OFlowTime(0, 1), 3600);
  EXPECT_EQ(c->OFlowValue(0, 1), 2000);
  EXPECT_FLOAT_EQ(c->OVProbability(0, 1, true), 0.1f);
  EXPECT_EQ(c->VDCTypeCount(VDC_KAVRO), 2);
  EXPECT_EQ(c->TrafficLightCount(), 1);
  EXPECT_EQ(c->TrafficLightController(0), "");
  EXPECT_EQ(c->DetectorCount(), 2);
  EXPECT_EQ(c->DetectorPosition(0), 4000);
  EXPECT_EQ(c->LaneChangeAreaCount(0), 1);
  EXPECT_TRUE(c->LaneChangeAreaMergeLeft(0, 0));
  // Times in steps of 0.5 s.
  EXPECT_EQ(c->DetectorTime(0), 300);
  EXPECT_EQ(c->DetectorTime(1), 600);
  EXPECT_EQ(c->MaxTime(), 7200);
}

TEST(KavroConfigRead, AcceptsCrLfAndAFileWithoutVersion) {
  std::vector<std::string> lines = BaseConfigLines();
  lines.erase(lines.begin() + 1);
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  std::unique_ptr<KDConfig> c;
  ConfigReadResult result = LoadConfigText("crlf.kav", text, c);
  ASSERT_TRUE(result.ok) << result.error.line << ": " << result.error.message;
  EXPECT_EQ(c->SourceName(1), "Oprit");
}

TEST(KavroConfigRead, NamesMayComeInAnyRankOrder) {
  // The file ranks swap the two origins; names may also swap with the default names.
  std::string text = EditedConfigText({{16, {"source  1: 1 3 3 1"}},
                                       {17, {"source  0: 1 0 2 2"}},
                                       {26, {"flow  1:     0|01000  3600|02000"}},
                                       {27, {"flow  0:     0|00300"}}});
  std::unique_ptr<KDConfig> c;
  ConfigReadResult result = LoadConfigText("ranks.kav", text, c);
  ASSERT_TRUE(result.ok) << result.error.line << ": " << result.error.message;
  EXPECT_EQ(c->SourceName(0), "2");
  EXPECT_EQ(c->SourceName(1), "1");
  // File rank 1 stands for the origin named on its "source" line: the ramp.
  EXPECT_EQ(c->OFlowValue(1, 1), 2000);
  EXPECT_EQ(c->OFlowValue(0, 0), 300);
}

TEST(KavroConfigRead, LinesAfterEndOfFileAreNotRead) {
  std::unique_ptr<KDConfig> c;
  ConfigReadResult result =
      LoadConfigText("tail.kav", EditedConfigText({{39, {"garbage", ""}}}), c);
  EXPECT_TRUE(result.ok);
}

TEST(KavroConfigRead, ProbabilitySumsWithinFourPercentAreAccepted) {
  std::unique_ptr<KDConfig> c;
  ConfigReadResult result = LoadConfigText(
      "sum.kav", EditedConfigText({{29, {"vehicle probabilities  1: 0.52 0.52"}}}), c);
  ASSERT_TRUE(result.ok) << result.error.message;
  EXPECT_FLOAT_EQ(c->OVProbability(1, 0, false), 0.5f);
}

TEST(KavroConfigRead, EightVehicleTypesAreRead) {
  std::string eight = " 0.125 0.125 0.125 0.125 0.125 0.125 0.125 0.125";
  std::string ones = " 1 1 1 1 1 1 1 1";
  std::string zeros = " 0 0 0 0 0 0 0 0";
  std::string text = EditedConfigText({{23, {"vehicle types: 8"}},
                                       {28, {"vehicle probabilities  0:" + eight}},
                                       {29, {"vehicle probabilities  1:" + eight}},
                                       {30, {"source to sink  0  0:" + ones}},
                                       {31, {"source to sink  0  1:" + zeros}},
                                       {32, {"source to sink  1  0:" + ones}},
                                       {33, {"source to sink  1  1:" + zeros}}});
  std::unique_ptr<KDConfig> c;
  ConfigReadResult result = LoadConfigText("eight.kav", text, c);
  ASSERT_TRUE(result.ok) << result.error.line << ": " << result.error.message;
  EXPECT_EQ(c->VDCTypeCount(VDC_KAVRO), 8);
  EXPECT_NE(KavroConfigText(*c, "\n").find("\nvehicle types: 8\n"), std::string::npos);
}

TEST(KavroConfigRead, SimulationAndDetectorTimesFollowTheTimeStep) {
  std::unique_ptr<KDConfig> c;
  std::string text = EditedConfigText({{21, {}}, {36, {"time step size: 0.25"}}});
  ConfigReadResult result = LoadConfigText("times.kav", text, c);
  ASSERT_TRUE(result.ok) << result.error.message;
  // Without a "detector times" line both times are 0.
  EXPECT_EQ(c->DetectorTime(0), 0);
  EXPECT_EQ(c->DetectorTime(1), 0);
  EXPECT_EQ(c->MaxTime(), 3600);
}

TEST(KavroConfigReadWarnings, UnknownParameterIsIgnoredWithOneWarningPerBlock) {
  std::string text = EditedConfigText(
      {{24,
        {"vehicle general param  0: 3.0 lane change T", "vehicle general param  1: 1.5 Treac x",
         "vehicle general param  2: 0.5 treac D"}}});
  std::unique_ptr<KDConfig> c;
  ConfigReadResult result = LoadConfigText("warn.kav", text, c);
  ASSERT_TRUE(result.ok) << result.error.message;
  // The stored warning is shown when the general block ends and again when the specific
  // block ends, which stores none of its own.
  const std::string warning = "warn.kav(25): Unknown parameter \"Treac x\" (ignored)";
  EXPECT_EQ(result.warnings, (std::vector<std::string>{warning, warning}));
  EXPECT_FLOAT_EQ(c->GetKavroGeneralParam(1), 0.3f);
  EXPECT_FLOAT_EQ(c->GetKavroGeneralParam(2), 0.5f);
}

TEST(KavroConfigReadWarnings, ReadKavroConfigShowsWarningsAndTheError) {
  std::string text = EditedConfigText({{24, {"vehicle general param  0: 3.0 lane changing"}},
                                       {29, {"vehicle probabilities  1: 0.5"}}});
  KDConfig config;
  ReportCapture capture;
  std::istringstream in(text);
  EXPECT_FALSE(ReadKavroConfig("w.kav", in, config));
  ASSERT_EQ(capture.Reports().size(), 3u);
  EXPECT_EQ(capture.Reports()[0].caption, "Warning");
  EXPECT_EQ(capture.Reports()[0].kind, ReportKind::Information);
  EXPECT_EQ(capture.Reports()[2].caption, "Error in Kavro configuration file");
  EXPECT_EQ(
      capture.Reports()[2].text,
      "w.kav(line 29)\r\nvehicle probabilities  1: 0.5\r\nSum of probabilities less than 1.0");
  EXPECT_FALSE(capture.Reports()[2].stop);
}

TEST(KavroConfigRead, OldStyleFilesGoToTheOldStyleReader) {
  std::unique_ptr<KDConfig> c;
  // The old-style reader says what an old-style file that ends after its second line lacks.
  ConfigReadResult result = LoadConfigText("old.kav", "* 1 * KAVRO V4\n 5000 0 0 0\n", c);
  ASSERT_FALSE(result.ok);
  EXPECT_EQ(result.error.line, 2);
  EXPECT_EQ(result.error.lineText, " 5000 0 0 0");
  EXPECT_EQ(result.error.message.substr(0, 41), "bad format (the file ends before its road");
  // Only the marker, without anything after its last blank, is a keyed line.
  result = LoadConfigText("marker.kav", "* 1 *   \n", c);
  EXPECT_EQ(result.error.message, "No ':' found");
}

TEST(KavroConfigRead, RoadUpTo2To24MetresKeepsItsBoundariesApart) {
  std::vector<std::string> lines = BaseConfigLines();
  lines[2] = "sections:  16777215  16777216";
  std::unique_ptr<KDConfig> c;
  ConfigReadResult result = LoadConfigText("long.kav", JoinLines(lines), c);
  ASSERT_TRUE(result.ok) << result.error.line << ": " << result.error.message;
  EXPECT_EQ(c->Length(), 16777216);
  EXPECT_EQ(c->SectionPos(1, WHENCE_END), 16777215);
}
