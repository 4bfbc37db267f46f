// Thousands of damaged road pieces pasted into the examples: a piece is pasted whole or
// refused with a message; no stop, and a refusal changes nothing. KAVRO_FUZZ_ROUNDS sets the
// number of pieces (default 2000).

#include <gtest/gtest.h>

#include <cstdlib>

#include "config/ConfigCopyTestSupport.h"
#include "support/ReportCapture.h"
#include "support/XorShiftRandom.h"

namespace {

int Rounds() {
  const char* text = std::getenv("KAVRO_FUZZ_ROUNDS");
  const int rounds = text ? std::atoi(text) : 0;
  return rounds > 0 ? rounds : 2000;
}

class PieceMutator : public XorShiftRandom {
 public:
  using XorShiftRandom::XorShiftRandom;

  void Mutate(std::string& text) {
    static const char* const tokens[] = {
        "-1",   "0",  "99999999999", "1e30", "nan",  "inf", "(",   ")",     ",",          " ",
        "\r\n", "\n", "12",          "326",  "4095", "64",  "0.5", "1e-45", "2147483648", ""};
    const int at = text.empty() ? 0 : Below(static_cast<int>(text.size()));
    switch (Below(6)) {
      case 0:
        if (!text.empty()) text[at] = static_cast<char>(Next());
        break;
      case 1:
        text.insert(at, tokens[Below(sizeof tokens / sizeof tokens[0])]);
        break;
      case 2: {
        // Replace one number by another.
        const size_t begin = text.find_first_of("0123456789", at);
        if (begin == std::string::npos) break;
        const size_t end = text.find_first_of("(),", begin);
        text.replace(begin, end == std::string::npos ? std::string::npos : end - begin,
                     tokens[Below(sizeof tokens / sizeof tokens[0])]);
        break;
      }
      case 3:
        text.resize(at);
        break;
      case 4:
        text.erase(at, 1 + Below(8));
        break;
      default:
        text += text.substr(at);
        break;
    }
  }
};

TEST(AreaTextFuzz, DamagedPiecesArePastedOrRefusedWithoutAStop) {
  const char* const files[] = {"examples/on-ramp-taper.kav", "examples/weaving.kav",
                               "examples/lane-drop.kav", "tests/golden/config-every-keyword.kav"};
  std::vector<std::unique_ptr<KDConfig>> examples;
  std::vector<std::string> pieces;
  for (const char* file : files) {
    examples.push_back(LoadSourceConfig(file));
    ASSERT_NE(examples.back(), nullptr) << file;
    KDConfig& c = *examples.back();
    pieces.push_back(c.AreaToText(0, MaxLane() - 1, 0, c.Boundaries()));
    pieces.push_back(c.AreaToText(1, 2, 0, 0));
  }
  PieceMutator random(0xa4ea7e57ULL);
  int pasted = 0;
  int refused = 0;
  for (int round = 0; round < Rounds(); ++round) {
    std::string text = pieces[random.Below(static_cast<int>(pieces.size()))];
    for (int m = 1 + random.Below(3); m > 0; --m) random.Mutate(text);
    const int groups = KDConfig::CheckAreaText(text);
    if (groups <= 0) continue;
    std::unique_ptr<KDConfig> target =
        examples[random.Below(static_cast<int>(examples.size()))]->Duplicate(false);
    const int section = random.Below(target->Boundaries() + 1);
    const int lane = random.Below(MaxLane());
    const std::string before = SavedText(*target);
    ReportCapture capture;
    const bool ok = target->TextToArea(text, section, lane);
    for (const Report& report : capture.Reports())
      ASSERT_FALSE(report.stop) << "round " << round << ": " << report.text << "\n" << text;
    ASSERT_FALSE(TerminateRequested()) << "round " << round;
    if (!ok) {
      ++refused;
      ASSERT_EQ(capture.Reports().size(), 1u) << "round " << round;
      ASSERT_EQ(SavedText(*target), before) << "round " << round << "\n" << text;
      continue;
    }
    ++pasted;
    ASSERT_TRUE(capture.Empty()) << "round " << round << ": " << capture.Reports()[0].text;
    // A pasted piece saves, and the file reads back.
    std::unique_ptr<KDConfig> again;
    ConfigReadResult result = LoadConfigText("again.kav", SavedText(*target), again);
    ASSERT_TRUE(result.ok) << "round " << round << ": " << result.error.message << "\n" << text;
    ASSERT_TRUE(capture.Empty()) << "round " << round << ": " << capture.Reports()[0].text;
  }
  EXPECT_GT(pasted, 10);
  EXPECT_GT(refused, 10);
}

}  // namespace
