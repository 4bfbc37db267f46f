// Thousands of damaged old-style files: the reader refuses each bad one with a reading error
// that names a line of the file, never stops the program, and leaves the current configuration
// alone. A file it accepts gets its lane change areas, saves as a .kav file that opens again as
// the same configuration, and its run is refused with a reason or set up and started without a
// stop.
// KAVRO_FUZZ_ROUNDS sets the number of files (default 2000).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "config/ConfigRW.h"
#include "config/ConfigRoundTripCheck.h"
#include "config/KDConfig.h"
#include "config/OldConfigTestFiles.h"
#include "config/RunSetUpCheck.h"
#include "kernel/Kernel.h"
#include "roadview/LaneChangeGeneration.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"
#include "support/XorShiftRandom.h"

namespace {

// Damages old-style lines, reproducibly from its seed. The style is positional, so besides
// damaged values, lines that go missing, come twice or change places shift every item after
// them.
class OldStyleMutator : public XorShiftRandom {
 public:
  using XorShiftRandom::XorShiftRandom;

  void Mutate(std::vector<std::string>& lines) {
    if (lines.empty()) return;
    int n = Below(static_cast<int>(lines.size()));
    std::string& line = lines[n];
    static const char* const tokens[] = {
        "-1", "0", "99999999999", "1e30", "nan", "*", ",", "|", " ", "12", "7", "0.0001", "\x93",
        "9", "\t", "2147483647", "-2147483648", "1,", "100",
        // Time steps of no whole number of steps per second, and of a third of a second.
        "0.3", "0.33"};
    const int tokenCount = sizeof tokens / sizeof tokens[0];
    switch (Below(9)) {
      case 0:
        lines.erase(lines.begin() + n);
        break;
      case 1:
        lines.insert(lines.begin() + n, line);
        break;
      case 2:
        std::swap(line, lines[Below(static_cast<int>(lines.size()))]);
        break;
      case 3:
        // A Windows-1252 byte, or any other.
        if (!line.empty())
          line[Below(static_cast<int>(line.size()))] = static_cast<char>(0x80 + Below(128));
        break;
      case 4: {
        size_t at = line.empty() ? 0 : Below(static_cast<int>(line.size()));
        line.insert(at, tokens[Below(tokenCount)]);
        break;
      }
      case 5: {
        size_t at = line.find_first_of("0123456789",
                                       line.empty() ? 0 : Below(static_cast<int>(line.size())));
        if (at == std::string::npos) break;
        size_t end = line.find_first_not_of("0123456789.", at);
        line.replace(at, end == std::string::npos ? std::string::npos : end - at,
                     tokens[Below(tokenCount)]);
        break;
      }
      case 6:
        line.resize(line.empty() ? 0 : Below(static_cast<int>(line.size())));
        break;
      case 7:
        line += std::string(" ") + tokens[Below(tokenCount)];
        break;
      default:
        // The file ends early.
        lines.resize(n);
        break;
    }
  }
};

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::vector<std::vector<std::string>> Seeds() {
  std::vector<std::vector<std::string>> seeds;
  for (const char* file :
       {"examples/old-style/on-ramp-v4.kav", "examples/old-style/exit-junction-v4.kav"}) {
    std::ifstream in(std::string(KAVRO_SOURCE_DIR) + "/" + file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    seeds.push_back(SplitLines(text.str()));
  }
  OldStyleFile small;
  small.trafficLightCount = {"1"};
  small.trafficLights = {"| 2500 1 1 90 40 3 10"};
  small.laneDetectorCount = {"1"};
  small.laneDetectors = {"C1 2700 20 0 3"};
  seeds.push_back(small.Lines());
  return seeds;
}

int Rounds() {
  const char* text = std::getenv("KAVRO_FUZZ_ROUNDS");
  int rounds = text ? std::atoi(text) : 0;
  return rounds > 0 ? rounds : 2000;
}

constexpr int kShortRunSteps = 300;

// The line as the reader shows it: line end and trailing white space removed, and no more
// than its first 80 characters.
std::string Trimmed(std::string line) {
  while (!line.empty() && std::string(" \t\r\n\v\f").find(line.back()) != std::string::npos)
    line.pop_back();
  return line.size() > 80 ? line.substr(0, 80) + "..." : line;
}

void CheckAccepted(KDConfig& config, int round) {
  ReportCapture capture;
  ASSERT_TRUE(GenerateLaneChangeAreas(config, LaneChangeSettings{}));
  ExpectSavesAndReadsBack(config, "round " + std::to_string(round));
  if (RunSetUpProblem(config).empty()) {
    Kernel kernel;
    if (kernel.KAV_setup(config, 1, ""))
      for (int step = 0; step < kShortRunSteps && kernel.SimulateStep(); ++step) continue;
  }
  for (const Report& report : capture.Reports())
    ASSERT_FALSE(report.stop) << "round " << round << ": " << report.text;
}

}  // namespace

TEST(OldConfigFuzz, DamagedFilesNeverStopTheProgram) {
  std::string path = (FreshTestFolder("old-fuzz") / "fuzz.kav").string();
  std::vector<std::vector<std::string>> seeds = Seeds();
  auto current = std::make_unique<KDConfig>();
  const KDConfig* original = current.get();
  OldStyleMutator mutator(0x01d5e7a11ULL);
  int refused = 0;
  int accepted = 0;
  const int rounds = Rounds();
  for (int round = 0; round < rounds; round++) {
    std::vector<std::string> lines = seeds[round % seeds.size()];
    for (int m = 1 + mutator.Below(3); m > 0; m--) mutator.Mutate(lines);
    // The marker line stays, so that the old-style reader is the one tested.
    if (lines.empty() || lines[0].compare(0, 6, "* 1 * ") != 0)
      lines.insert(lines.begin(), "* 1 * fuzz");
    const bool crlf = mutator.Below(4) == 0;
    std::string text;
    for (const std::string& line : lines) text += line + (crlf ? "\r\n" : "\n");
    std::ofstream(path, std::ios::binary) << text;
    ReportCapture capture;
    bool ok = ReadConfig(path, current);
    ASSERT_FALSE(TerminateRequested()) << "round " << round << ": " << capture.Reports()[0].text;
    for (const Report& report : capture.Reports()) {
      ASSERT_FALSE(report.stop) << "round " << round << ": " << report.text;
      if (report.caption == "Error in Kavro configuration file") {
        // "file(line N)\r\nline\r\nmessage": the line named is a line of the file, as read.
        size_t open = report.text.find("(line ");
        ASSERT_NE(open, std::string::npos) << report.text;
        int line = std::atoi(report.text.c_str() + open + 6);
        ASSERT_GE(line, 1) << "round " << round << ": " << report.text;
        ASSERT_LE(line, static_cast<int>(lines.size())) << "round " << round;
        size_t start = report.text.find("\r\n") + 2;
        EXPECT_EQ(report.text.substr(start, report.text.find("\r\n", start) - start),
                  Trimmed(lines[line - 1]))
            << "round " << round;
      } else {
        ASSERT_EQ(report.caption, "Warning") << "round " << round << ": " << report.text;
      }
    }
    if (ok) {
      accepted++;
      CheckAccepted(*current, round);
      current = std::make_unique<KDConfig>();
      original = current.get();
    } else {
      refused++;
      EXPECT_EQ(current.get(), original);
    }
  }
  // The mutations must reach both outcomes, or the test tests nothing.
  EXPECT_GT(refused, rounds / 10);
  EXPECT_GT(accepted, rounds / 10);
}
