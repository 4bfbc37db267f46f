#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/ProgramFiles.h"
#include "support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

// An installation tree: PREFIX/bin for the programs, PREFIX/share/kavro and PREFIX/lib/kavro
// for what they load.
class InstalledTree : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_ = FreshTestFolder("ProgramFiles");
    fs::create_directories(prefix_ / "bin");
    fs::create_directories(prefix_ / "share/kavro");
    fs::create_directories(prefix_ / "lib/kavro");
  }
  void Put(const std::string& relative) { std::ofstream(prefix_ / relative) << "x\n"; }
  std::string Bin() const { return (prefix_ / "bin").string() + "/"; }

  fs::path prefix_;
};

TEST(ProgramFileCandidates, NextToTheProgramThenTheInstalledFolderBesideIt) {
  EXPECT_EQ(
      ProgramFileCandidates("/usr/bin/", "kavro.html", ProgramFileKind::Data),
      (std::vector<std::string>{"/usr/bin/kavro.html", "/usr/bin/../share/kavro/kavro.html"}));
  EXPECT_EQ(
      ProgramFileCandidates("/opt/k/bin/", "libudov.so", ProgramFileKind::Library),
      (std::vector<std::string>{"/opt/k/bin/libudov.so", "/opt/k/bin/../lib/kavro/libudov.so"}));
}

TEST(ProgramFileCandidates, NoFolderIsTheCurrentOne) {
  EXPECT_EQ(ProgramFileCandidates("", "kavro.html", ProgramFileKind::Data),
            (std::vector<std::string>{"./kavro.html", "./../share/kavro/kavro.html"}));
}

TEST_F(InstalledTree, InstalledFileIsFoundFromTheProgramsFolder) {
  Put("share/kavro/kavro.html");
  Put("lib/kavro/libudov.so");
  EXPECT_EQ(FindProgramFile(Bin(), "kavro.html", ProgramFileKind::Data),
            Bin() + "../share/kavro/kavro.html");
  EXPECT_EQ(FindProgramFile(Bin(), "libudov.so", ProgramFileKind::Library),
            Bin() + "../lib/kavro/libudov.so");
}

TEST_F(InstalledTree, FileNextToTheProgramWins) {
  Put("bin/kavro.html");
  Put("share/kavro/kavro.html");
  EXPECT_EQ(FindProgramFile(Bin(), "kavro.html", ProgramFileKind::Data), Bin() + "kavro.html");
}

TEST_F(InstalledTree, KindsDoNotMix) {
  // A library in the data folder is not the program's library, nor help in the library folder.
  Put("share/kavro/libudov.so");
  Put("lib/kavro/kavro.html");
  EXPECT_EQ(FindProgramFile(Bin(), "libudov.so", ProgramFileKind::Library), Bin() + "libudov.so");
  EXPECT_EQ(FindProgramFile(Bin(), "kavro.html", ProgramFileKind::Data), Bin() + "kavro.html");
}

TEST_F(InstalledTree, MissingOrFolderNamesTheFileNextToTheProgram) {
  fs::create_directories(prefix_ / "share/kavro/kavro.html");
  EXPECT_EQ(FindProgramFile(Bin(), "kavro.html", ProgramFileKind::Data), Bin() + "kavro.html");
  EXPECT_EQ(FindFirstProgramFile(Bin(), {"kavro.html"}, ProgramFileKind::Data), "");
}

TEST_F(InstalledTree, LinkToAFileCounts) {
  Put("share/kavro/real.html");
  fs::create_symlink("real.html", prefix_ / "share/kavro/kavro.html");
  EXPECT_EQ(FindProgramFile(Bin(), "kavro.html", ProgramFileKind::Data),
            Bin() + "../share/kavro/kavro.html");
}

TEST_F(InstalledTree, FirstOfSeveralNamesGoesFolderByFolder) {
  // A program renamed Kavro may have its own Kavro.html; a kavro.html beside the program still
  // comes before an installed Kavro.html.
  Put("bin/kavro.html");
  Put("share/kavro/Kavro.html");
  EXPECT_EQ(FindFirstProgramFile(Bin(), {"Kavro.html", "kavro.html"}, ProgramFileKind::Data),
            Bin() + "kavro.html");
  Put("bin/Kavro.html");
  EXPECT_EQ(FindFirstProgramFile(Bin(), {"Kavro.html", "kavro.html"}, ProgramFileKind::Data),
            Bin() + "Kavro.html");
}

}  // namespace
