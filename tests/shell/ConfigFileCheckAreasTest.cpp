#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "roadview/LaneChangeGeneration.h"
#include "shell/BatchProgram.h"
#include "support/FileText.h"
#include "support/TestFolder.h"

namespace {

const std::string kExamples = std::string(KAVRO_SOURCE_DIR) + "/examples/";

}  // namespace

TEST(ConfigFileCheckAreas, EveryExampleMatchesItsRoad) {
  for (const char* file : {"motorway-3lane.kav", "on-ramp-taper.kav", "off-ramp.kav", "weaving.kav",
                           "lane-drop.kav", "ramp-metering.kav", "bench-motorway.kav"}) {
    SCOPED_TRACE(file);
    std::ostringstream out, err;
    EXPECT_EQ(RunBatchProgram({kExamples + file, "--check"}, out, err), 0);
    EXPECT_EQ(err.str(), "");
  }
}

TEST(ConfigFileCheckAreas, AMissingAreaIsReportedWithTheRunControlsMessage) {
  std::string text = ReadWholeFile(kExamples + "lane-drop.kav");
  const std::string area = "lane change  0  0:  2 L  2000   600   600 0\n";
  const size_t at = text.find(area);
  ASSERT_NE(at, std::string::npos);
  text.erase(at, area.size());
  const std::filesystem::path folder = FreshTestFolder("check-areas");
  const std::string path = (folder / "stale.kav").string();
  std::ofstream(path, std::ios::binary) << text;
  std::ostringstream out, err;
  EXPECT_EQ(RunBatchProgram({path, "--check"}, out, err), 1);
  EXPECT_EQ(err.str(), std::string(kLaneChangeAreasMismatch) + "\n");
  EXPECT_EQ(out.str(), "");
}

// A teleport entrance whose link was removed: the file reads, but no run of it can start.
TEST(ConfigFileCheckRun, ARunTheKernelCannotSetUpIsReportedNotStopped) {
  std::string text =
      ReadWholeFile(std::string(KAVRO_SOURCE_DIR) + "/tests/golden/config-every-keyword.kav");
  const std::string link = "\nteleport entrance 0: 1\n";
  const size_t at = text.find(link);
  ASSERT_NE(at, std::string::npos);
  text.replace(at, link.size(), "\nteleport entrance 0: -1\n");
  const std::filesystem::path folder = FreshTestFolder("check-run");
  const std::string path = (folder / "unlinked.kav").string();
  std::ofstream(path, std::ios::binary) << text;
  const std::string problem =
      "Teleport entrance 1 (section 3, lane 4-4) is not linked to a teleport exit";
  {
    std::ostringstream out, err;
    EXPECT_EQ(RunBatchProgram({path, "--check"}, out, err), 1);
    EXPECT_EQ(err.str(), problem + "\n");
  }
  {
    std::ostringstream out, err;
    EXPECT_EQ(RunBatchProgram({path, "batch=1,0,0,0"}, out, err), 1);
    EXPECT_NE(err.str().find("Error: " + problem + "\n"), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("Program Error"), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("Assertion"), std::string::npos) << err.str();
  }
}
