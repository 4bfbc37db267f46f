// The injection file check before a DOVEL run: syntax and lanes with line numbers, and damaged
// files that must be refused with a message rather than reach the model.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "shell/InjectionFile.h"
#include "support/TestFolder.h"
#include "support/XorShiftRandom.h"

namespace {

class InjectionFileCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramMode(DOVEL);
    config = std::make_unique<KDConfig>();
    folder = FreshTestFolder("injection");
    // The leftmost paved lane of the most upstream section is lane index 2: lanes 1 .. 4.
    for (int lane = 5; lane >= 2; --lane)
      config->SetPhysicalSectionProperty(config->Boundaries(), lane, PP_LANETYPE,
                                         LANETYPE_DOVEL_PAVED);
    for (int lane = 1; lane >= 0; --lane)
      config->SetPhysicalSectionProperty(config->Boundaries(), lane, PP_LANETYPE, 0);
    config->SetInjectionFileName("cars.inj");
  }
  void TearDown() override { SetProgramMode(KAVRO); }
  InjectionFileProblem Check(const std::string& text) {
    std::ofstream((folder / "cars.inj").string(), std::ios::binary) << text;
    return ProblemInInjectionFile(*config, (folder / "road.dov").string());
  }

  std::unique_ptr<KDConfig> config;
  std::filesystem::path folder;
};

TEST_F(InjectionFileCheck, GoodFileFromTheConfigurationsFolderPasses) {
  EXPECT_TRUE(Check("0 80 0 1\n1.5 90 100 4\r\n2e1 0 0 0\n3 0 0 -2\n").ok());
}

TEST_F(InjectionFileCheck, LaneBeyondTheLeftmostPavedLaneIsRefused) {
  InjectionFileProblem problem = Check("0 80 0 1\n1 80 0 5\n");
  EXPECT_EQ(problem.caption, "Error");
  EXPECT_EQ(problem.text, "Unpaved lane specified in injectionfile\r\ncars.inj(2): 1 80 0 5");
}

TEST_F(InjectionFileCheck, BadLinesAreNamedWithTheirNumber) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"0 80 0 1\n\n", "cars.inj(2): bad format\r\n\"\""},
      {"0 80 1\n", "cars.inj(1): bad format\r\n\"0 80 1\""},
      {"0 80 0 1.5\n", "cars.inj(1): bad format\r\n\"0 80 0 1.5\""},
      {"# header\n", "cars.inj(1): bad format\r\n\"# header\""},
      {"0 80 0 1 extra\n", "cars.inj(1): bad format\r\n\"0 80 0 1 extra\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    InjectionFileProblem problem = Check(c.text);
    EXPECT_EQ(problem.caption, "Format error in injectionfile");
    EXPECT_EQ(problem.text, c.message);
  }
}

TEST_F(InjectionFileCheck, MissingFileOrAPipeSaysWhy) {
  // A pipe would wait for a writer that never comes.
  ASSERT_EQ(::mkfifo((folder / "pipe.inj").c_str(), 0600), 0);
  const struct {
    const char* name;
    const char* start;
  } cases[] = {
      {"nowhere.inj", "Cannot open injection file \"nowhere.inj\"\r\nError code: 2 "},
      {"pipe.inj", "Cannot open injection file \"pipe.inj\"\r\nit is not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    config->SetInjectionFileName(c.name);
    InjectionFileProblem problem = ProblemInInjectionFile(*config, (folder / "road.dov").string());
    EXPECT_EQ(problem.caption, "Error");
    EXPECT_EQ(problem.text.rfind(c.start, 0), 0u) << problem.text;
  }
}

TEST_F(InjectionFileCheck, DamagedFilesAreRefusedWithALineNumberOrPass) {
  XorShiftRandom random(25);
  const char alphabet[] = "0123456789 .-+e\tx\n\r\0";
  for (int round = 0; round < 500; ++round) {
    std::string text;
    const int length = random.Below(80);
    for (int i = 0; i < length; ++i) text += alphabet[random.Below(sizeof alphabet)];
    SCOPED_TRACE(round);
    InjectionFileProblem problem = Check(text);
    if (problem.ok()) continue;
    EXPECT_EQ(problem.text.find("cars.inj("), problem.text.find("cars.inj")) << problem.text;
  }
}

}  // namespace
