#include <gtest/gtest.h>

#include "Version.h"
#include "config/ProgramMode.h"
#include "shell/ProgramIdentity.h"
#include "support/ReportCapture.h"

namespace {

TEST(ProgramModeByName, DecidesFromTheExecutableName) {
  struct Case {
    const char* path;
    int mode;
    const char* name;
    const char* directory;
  };
  const Case cases[] = {
      {"/usr/bin/kavro", KAVRO, "kavro", "/usr/bin/"},
      {"/opt/k/kavro.EXE", KAVRO, "kavro", "/opt/k/"},
      {"Kavro.exe", KAVRO, "Kavro", ""},
      {"./build/dovel", DOVEL, "dovel", "./build/"},
      {"/x/Dovel", DOVEL, "Dovel", "/x/"},
      {"C:\\Program Files\\DOVEL.EXE", DOVEL, "DOVEL", "C:\\Program Files\\"},
      {"/x/other", 0, "other", "/x/"},
      {"/x/kavro-batch", 0, "kavro-batch", "/x/"},
      {"/x/kavro.sh", 0, "kavro.sh", "/x/"},
      {"/x/kavroexe", 0, "kavroexe", "/x/"},
      {"/x/.exe", 0, ".exe", "/x/"},
      {"", 0, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    ModeDecision decision = DecideProgramMode(c.path);
    EXPECT_EQ(decision.Mode, c.mode);
    EXPECT_EQ(decision.ProgramName, c.name);
    EXPECT_EQ(decision.ProgramDirectory, c.directory);
  }
}

TEST(ProgramDirectoryPart, SeparatorsAndDrives) {
  EXPECT_EQ(DirectoryPart("/a/b/c.kav"), "/a/b/");
  EXPECT_EQ(DirectoryPart("a\\b.kav"), "a\\");
  EXPECT_EQ(DirectoryPart("C:b.kav"), "C:\\");
  EXPECT_EQ(DirectoryPart("b.kav"), "");
}

TEST(ProgramVersionText, ScansFourNumbersKeepingMajorMinorAndBuild) {
  ReportCapture capture;
  ProgramVersion version = ParseFileVersion("2.3.9.417");
  EXPECT_EQ(version.Major, 2);
  EXPECT_EQ(version.Minor, 3);
  EXPECT_EQ(version.Build, 417);
  EXPECT_TRUE(capture.Empty());
}

TEST(ProgramVersionText, MissingBuildReportsAndAssumesZero) {
  struct Case {
    const char* text;
    int major;
    int minor;
  };
  const Case cases[] = {{"", -1, -1}, {"1.2", 1, 2}, {"1.2.3", 1, 2}, {"x", -1, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ReportCapture capture;
    ProgramVersion version = ParseFileVersion(c.text);
    EXPECT_EQ(version.Major, c.major);
    EXPECT_EQ(version.Minor, c.minor);
    EXPECT_EQ(version.Build, 0);
    ASSERT_EQ(capture.Reports().size(), 1u);
    EXPECT_EQ(capture.Reports()[0].caption, "Error");
    EXPECT_EQ(capture.Reports()[0].text,
              "Cannot determine version info\r\nassuming BuildNumber == 0");
    EXPECT_FALSE(capture.Reports()[0].stop);
  }
}

TEST(ProgramVersionText, BuiltVersionMatchesTheBuild) {
  ProgramVersion version = BuiltProgramVersion();
  EXPECT_EQ(version.Major, KAVRO_VERSION_MAJOR);
  EXPECT_EQ(version.Minor, KAVRO_VERSION_MINOR);
  EXPECT_EQ(version.Build, KAVRO_VERSION_BUILD);
}

}  // namespace
