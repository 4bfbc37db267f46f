// Thousands of damaged configuration files: the reader must refuse each bad one with a
// reading error, never stop the program, and leave the current configuration alone. A file
// it accepts must save and open again, and the kernel must set up and start a run of it
// without a stop unless the start-of-run check names a reason. KAVRO_FUZZ_ROUNDS sets the
// number of files (default 2000) for a longer search by hand.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "config/ConfigRW.h"
#include "config/ConfigRoundTripCheck.h"
#include "config/ConfigTestFiles.h"
#include "config/KDConfig.h"
#include "config/RunSetUpCheck.h"
#include "kernel/Kernel.h"
#include "support/LineMutator.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::vector<std::vector<std::string>> Seeds() {
  std::vector<std::vector<std::string>> seeds = {BaseConfigLines()};
  for (const char* file :
       {"examples/weaving.kav", "examples/off-ramp.kav", "examples/ramp-metering.kav",
        "examples/on-ramp-taper.kav", "examples/lane-drop.kav",
        "tests/golden/config-every-keyword.kav", "tests/golden/flow-morning-peak.kav",
        "tests/golden/road-gestures.kav", "tests/golden/old-style-exit-junction.kav"}) {
    std::ifstream in(std::string(KAVRO_SOURCE_DIR) + "/" + file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    seeds.push_back(SplitLines(text.str()));
  }
  return seeds;
}

constexpr int kShortRunSteps = 300;

int Rounds() {
  const char* text = std::getenv("KAVRO_FUZZ_ROUNDS");
  int rounds = text ? std::atoi(text) : 0;
  return rounds > 0 ? rounds : 2000;
}

// An accepted file: it saves and opens again as the same configuration, and its run is refused
// with a reason or set up and started without a stop.
void CheckAccepted(KDConfig& config, int round) {
  ExpectSavesAndReadsBack(config, "round " + std::to_string(round));
  if (!RunSetUpProblem(config).empty()) return;
  ReportCapture capture;
  Kernel kernel;
  // A short run as well: the first vehicles enter, follow, change lanes and meet teleports.
  if (kernel.KAV_setup(config, 1, ""))
    for (int step = 0; step < kShortRunSteps && kernel.SimulateStep(); ++step) continue;
  for (const Report& report : capture.Reports())
    ASSERT_FALSE(report.stop) << "round " << round << ": " << report.text;
}

}  // namespace

TEST(KavroConfigFuzz, DamagedFilesNeverStopTheProgram) {
  std::filesystem::path folder = FreshTestFolder("fuzz");
  std::string path = (folder / "fuzz.kav").string();
  std::vector<std::vector<std::string>> seeds = Seeds();
  auto current = std::make_unique<KDConfig>();
  const KDConfig* original = current.get();
  int stamp = current->ChangeStamp();
  LineMutator mutator(0x5eed1234abcdULL);
  int refused = 0;
  const int rounds = Rounds();
  for (int round = 0; round < rounds; round++) {
    std::vector<std::string> lines = seeds[round % seeds.size()];
    for (int m = 1 + mutator.Below(3); m > 0; m--) mutator.Mutate(lines);
    std::ofstream(path, std::ios::binary) << JoinLines(lines);
    ReportCapture capture;
    bool ok = ReadConfig(path, current);
    ASSERT_FALSE(TerminateRequested()) << "round " << round << ": " << capture.Reports()[0].text;
    int errors = 0;
    for (const Report& report : capture.Reports()) {
      ASSERT_FALSE(report.stop) << "round " << round << ": " << report.text;
      if (report.caption == "Error in Kavro configuration file") {
        errors++;
      } else {
        ASSERT_EQ(report.caption, "Warning") << "round " << round << ": " << report.text;
      }
    }
    if (ok) {
      // A damage the format tolerates: start the next round from a default again.
      EXPECT_EQ(errors, 0);
      CheckAccepted(*current, round);
      current = std::make_unique<KDConfig>();
      original = current.get();
      stamp = current->ChangeStamp();
      continue;
    }
    refused++;
    ASSERT_EQ(errors, 1) << "round " << round;
    ASSERT_EQ(current.get(), original);
    ASSERT_EQ(current->ChangeStamp(), stamp);
  }
  // Most damage must be noticed.
  EXPECT_GT(refused, rounds / 2);
}

// Files of 100,000 sections, detectors or positions: each is read or refused with a reading
// error like any other, damaged or not.
TEST(KavroConfigFuzz, HugeFilesAreReadOrRefused) {
  std::vector<std::string> base = BaseConfigLines();
  std::string positions;
  for (int p = 1; p <= 100000; p++) positions += " " + std::to_string(p);
  std::string groups;
  for (int s = 0; s < 100000; s++) groups += " 1,0,1.0,120.0,0.000,0";
  std::vector<std::vector<std::string>> files;
  files.push_back(base);
  files.back()[2] = "sections:" + positions;
  files.push_back(files.back());
  for (int lane = 0; lane < 12; lane++)
    files.back()[3 + lane] = "lane " + std::to_string(lane) + ":" + groups;
  files.push_back(base);
  files.back()[2] = "sections:  2000  200000";
  files.back()[21] = "detector positions:" + positions;
  files.push_back(base);
  files.back()[25] = "flow  0:" + std::string(100000, ' ') + "0|01000";
  LineMutator mutator(0x4447e5ULL);
  const int damaged = static_cast<int>(files.size()) * 3;
  for (int i = 0; i < damaged; i++) {
    files.push_back(files[i % 4]);
    mutator.Mutate(files.back());
  }
  for (size_t i = 0; i < files.size(); i++) {
    SCOPED_TRACE(i);
    ReportCapture capture;
    std::unique_ptr<KDConfig> loaded;
    ConfigReadResult result = LoadConfigText("huge.kav", JoinLines(files[i]), loaded);
    for (const Report& report : capture.Reports()) ASSERT_FALSE(report.stop) << report.text;
    if (result.ok)
      CheckAccepted(*loaded, static_cast<int>(i));
    else
      EXPECT_FALSE(result.error.message.empty());
  }
}
