#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "config/ConfigRW.h"
#include "config/ConfigTestFiles.h"
#include "config/KDConfig.h"
#include "config/RoadTypes.h"
#include "support/FileText.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

namespace {

const char* const kDate = "Mon Jan  5 09:00:00 2026\n";

std::unique_ptr<KDConfig> Reload(KDConfig& config) {
  std::unique_ptr<KDConfig> loaded;
  ConfigReadResult result = LoadConfigText("again.kav", KavroConfigText(config, kDate), loaded);
  EXPECT_TRUE(result.ok) << result.error.line << ": " << result.error.message << "\n"
                         << result.error.lineText;
  return loaded;
}

// A fresh folder for one test's files.
std::string TestFolder(const std::string& name) { return FreshTestFolder(name).string(); }

}  // namespace

TEST(KavroConfigWrite, SecondWriteEqualsTheFirst) {
  std::unique_ptr<KDConfig> first;
  ASSERT_TRUE(LoadConfigText("base.kav", JoinLines(BaseConfigLines()), first).ok);
  std::unique_ptr<KDConfig> second = Reload(*first);
  ASSERT_TRUE(second);
  EXPECT_EQ(KavroConfigText(*second, kDate), KavroConfigText(*first, kDate));
}

TEST(KavroConfigWrite, StartsWithTheDateAndVersionLines) {
  KDConfig config;
  std::string text = KavroConfigText(config, kDate);
  EXPECT_EQ(text.rfind("#KAVRO configuration file written Mon Jan  5 09:00:00 2026\nversion: ", 0),
            0u);
  EXPECT_EQ(text.substr(text.size() - 14), "\nend of file:\n");
}

TEST(KavroConfigWrite, SlopesAndSpeedSuppressionsSurviveASaveAndReload) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 1, PP_SLOPE, 0.05f, false);
  config.SetPhysicalSectionProperty(0, 2, PP_SLOPE, 0.0125f, false);
  config.SetPhysicalSectionProperty(0, 0, PP_SPEEDSUPPRESSION, 0.85f, false);
  std::string text = KavroConfigText(config, kDate);
  EXPECT_NE(text.find("\nlane  0: 1,0,0.85,120.0,0.000,0\nlane  1: 0,0,1.0,120.0,0.050,0\n"
                      "lane  2: 2,0,1.0,120.0,0.0125,0\n"),
            std::string::npos);
  std::unique_ptr<KDConfig> loaded = Reload(config);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->PhysicalSectionProperty(0, 1, PP_SLOPE), 0.05f);
  EXPECT_EQ(loaded->PhysicalSectionProperty(0, 2, PP_SLOPE), 0.0125f);
  EXPECT_EQ(loaded->PhysicalSectionProperty(0, 0, PP_SPEEDSUPPRESSION), 0.85f);
}

TEST(KavroConfigWrite, ParameterValuesKeepTheirDigits) {
  KDConfig config;
  config.SetVDCParam(VDC_KAVRO, 2, 9, 0.0045f);  // z3 [s²/m] has steps of 0.0005
  config.SetKavroGeneralParam(0, 2.25f);
  std::string text = KavroConfigText(config, kDate);
  EXPECT_NE(text.find("\nvehicle specific param  9  2:  0.0045 z3\n"), std::string::npos);
  EXPECT_NE(text.find("\nvehicle general param  0: 2.25 lane change T\n"), std::string::npos);
  std::unique_ptr<KDConfig> loaded = Reload(config);
  ASSERT_TRUE(loaded);
  float value = 0;
  loaded->GetVDCParam(VDC_KAVRO, 2, 9, &value);
  EXPECT_EQ(value, 0.0045f);
  EXPECT_EQ(loaded->GetKavroGeneralParam(0), 2.25f);
}

TEST(KavroConfigWrite, LaneChangeAreasKeepTheirOrderAndRouteChoice) {
  KDConfig config;
  ASSERT_EQ(config.SinkCount(), 1);
  config.AddLaneChangeArea(0, 2, 4000, 300, 200, true);
  config.AddLaneChangeArea(0, 0, 3000, 500, 0, false);
  config.SetLaneChangeAreaProbability(0, 0, -1, 0.25f, 2);
  config.SetLaneChangeAreaProbability(0, 0, 4, 1.0f, 2);
  std::string text = KavroConfigText(config, kDate);
  // The list's last area is written first, as file rank 0.
  EXPECT_NE(text.find("\nlane change  0  0:  2 L  4000   300   200 0\n"
                      "lane change  0  1:  0 R  3000   500     0 2 0.25 0.25 0.25 0.25 1.00\n"),
            std::string::npos);
  std::unique_ptr<KDConfig> loaded = Reload(config);
  ASSERT_TRUE(loaded);
  ASSERT_EQ(loaded->LaneChangeAreaCount(0), 2);
  EXPECT_EQ(loaded->LaneChangeAreaPosition(0, 0), 3000);
  EXPECT_EQ(loaded->LaneChangeAreaRouteChoiceGroup(0, 0), 2);
  EXPECT_FLOAT_EQ(loaded->LaneChangeAreaProbability(0, 0, 1), 0.25f);
  EXPECT_FALSE(loaded->LaneChangeAreaMergeLeft(0, 0));
  EXPECT_TRUE(loaded->LaneChangeAreaMergeLeft(0, 1));
}

TEST(KavroConfigWrite, ClosedLaneAndControllerLightsReadBack) {
  KDConfig config;
  config.SetTempClosedArea(2, 4000, 300, 200, 600, 1200, 1800);
  config.AddTrafficLight("meter", 2500, 2, 7, 0, 0, 0, 0);
  std::string text = KavroConfigText(config, kDate);
  EXPECT_NE(text.find("\ntemp closed lane: 2 4000 300 200 600 1200 1800\n"), std::string::npos);
  EXPECT_NE(text.find("\ntraffic light  0: meter 2500 2 7 0 0 0 0\n"), std::string::npos);
  std::unique_ptr<KDConfig> loaded = Reload(config);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->TempClosedArea().t2, 1200);
  EXPECT_EQ(loaded->TrafficLightController(0), "meter");
  EXPECT_EQ(loaded->TrafficLightNumber(0), 7);
}

TEST(KavroConfigWrite, TeleportLinksReadBack) {
  KDConfig config;
  // Lane 3 leaves the road through a teleport entrance in the upstream section and comes
  // back through an exit in the downstream one.
  config.InsertBoundary(2000);
  config.InsertBoundary(3000);
  config.SetPhysicalSectionProperty(2, 3, PP_LANETYPE, TELEPORTIN, false);
  config.SetPhysicalSectionProperty(0, 3, PP_LANETYPE, TELEPORTOUT, false);
  ASSERT_EQ(config.TeleportCount(true), 1);
  ASSERT_EQ(config.TeleportCount(false), 1);
  config.SetTeleportCounterPart(true, 0, 4);
  config.SetTeleportCounterPart(false, 0, 4);
  for (int o = 0; o < config.SourceCount(); o++)
    for (int d = 0; d < config.SinkCount(); d++) config.SetODProbability(o, d, -1, 1.0f);
  std::string text = KavroConfigText(config, kDate);
  EXPECT_NE(text.find("\nteleport entrance 0: 4\n"), std::string::npos);
  std::unique_ptr<KDConfig> loaded = Reload(config);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->TeleportCounterPart(true, 0), 4);
  EXPECT_EQ(loaded->TeleportCounterPart(false, 0), 4);
}

TEST(KavroConfigSave, ReplacesTheFileKeepingItsPermissions) {
  std::string folder = TestFolder("save");
  std::string path = folder + "/road.kav";
  std::ofstream(path) << "old";
  ::chmod(path.c_str(), 0640);
  KDConfig config;
  std::string error;
  ASSERT_TRUE(WriteKavroConfig(config, path, &error)) << error;
  std::string text = ReadWholeFile(path);
  std::string expected = KavroConfigText(config, "\n");
  EXPECT_EQ(text.substr(text.find('\n')), expected.substr(expected.find('\n')));
  struct stat status;
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
  // Nothing but the file itself is left in the folder.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) files += entry.exists();
  EXPECT_EQ(files, 1);
}

TEST(KavroConfigSave, AFailedSaveLeavesTheOldFileAndGivesTheSystemText) {
  std::string folder = TestFolder("fail");
  KDConfig config;
  std::string error;
  EXPECT_FALSE(WriteKavroConfig(config, folder + "/missing/road.kav", &error));
  EXPECT_EQ(error, "No such file or directory");
  // A folder in the way of the file: the rename fails after everything was written.
  std::filesystem::create_directories(folder + "/road.kav/inside");
  error.clear();
  EXPECT_FALSE(WriteKavroConfig(config, folder + "/road.kav", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(std::filesystem::exists(folder + "/road.kav/inside"));
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) entries += entry.exists();
  EXPECT_EQ(entries, 1);
}

TEST(KavroConfigOpen, ReplacesTheCurrentConfigurationOnlyOnSuccess) {
  std::string folder = TestFolder("open");
  auto current = std::make_unique<KDConfig>();
  KDConfig* before = current.get();
  int stamp = current->ChangeStamp();
  {
    ReportCapture capture;
    EXPECT_FALSE(ReadConfig(folder + "/none.kav", current));
    EXPECT_EQ(capture.OnlyText(), "Cannot open file \"" + folder +
                                      "/none.kav\" for reading: No such file or directory");
    EXPECT_EQ(capture.Reports()[0].caption, "Error");
  }
  std::ofstream(folder + "/bad.kav") << EditedConfigText({{29, {"vehicle probabilities  1: 2"}}});
  {
    ReportCapture capture;
    EXPECT_FALSE(ReadConfig(folder + "/bad.kav", current));
    EXPECT_EQ(capture.OnlyText(), folder +
                                      "/bad.kav(line 29)\r\nvehicle probabilities  1: 2\r\n"
                                      "Bad probability");
    EXPECT_EQ(capture.Reports()[0].caption, "Error in Kavro configuration file");
  }
  EXPECT_EQ(current.get(), before);
  EXPECT_EQ(current->ChangeStamp(), stamp);
  std::ofstream(folder + "/good.kav") << JoinLines(BaseConfigLines());
  ReportCapture capture;
  EXPECT_TRUE(ReadConfig(folder + "/good.kav", current));
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(current->SourceName(1), "Oprit");
}
