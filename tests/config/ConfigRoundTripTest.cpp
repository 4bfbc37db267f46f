// Every configuration the reader accepts is saved so that reading the save gives the same
// configuration, and saving that gives the same text again: times counted in steps, very
// small and very precise numbers and normalised probabilities included.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "config/ConfigRW.h"
#include "config/ConfigTestFiles.h"
#include "config/KDConfig.h"
#include "support/ReportCapture.h"

namespace {

std::string Saved(KDConfig& c) { return KavroConfigText(c, "Mon Jan  5 09:00:00 2026\n"); }

// Reads `text`, saves it, reads the save and saves again: both saves must be equal. The
// first reading is returned.
std::unique_ptr<KDConfig> RoundTrip(const std::string& text, std::string* firstSave = nullptr) {
  std::unique_ptr<KDConfig> first;
  ConfigReadResult read = LoadConfigText("first.kav", text, first);
  EXPECT_TRUE(read.ok) << read.error.line << ": " << read.error.message;
  if (!read.ok) return nullptr;
  const std::string save = Saved(*first);
  std::unique_ptr<KDConfig> second;
  read = LoadConfigText("second.kav", save, second);
  EXPECT_TRUE(read.ok) << read.error.line << ": " << read.error.message << "\n"
                       << read.error.lineText;
  if (!read.ok) return nullptr;
  EXPECT_EQ(Saved(*second), save);
  EXPECT_EQ(second->MaxTime(), first->MaxTime());
  EXPECT_EQ(second->TimeStep(), first->TimeStep());
  EXPECT_EQ(second->DetectorTime(0), first->DetectorTime(0));
  EXPECT_EQ(second->DetectorTime(1), first->DetectorTime(1));
  EXPECT_EQ(second->DetectorInterval(), first->DetectorInterval());
  if (firstSave) *firstSave = save;
  return first;
}

}  // namespace

TEST(KavroConfigRoundTrip, StopTimesSurviveEveryStepSize) {
  struct Case {
    const char* step;
    const char* maxSteps;
    int seconds;
    const char* saved;
  } cases[] = {
      {"0.50", "7", 3, "maximum simulation time: 6\n"},
      {"0.10", "999990", 99999, "maximum simulation time: 999990\n"},
      {"0.2", "18000", 3600, "maximum simulation time: 18000\n"},
      // Older files give a third of a second with two decimals.
      {"0.33", "10800", 3600, "maximum simulation time: 10800\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    std::string save;
    std::unique_ptr<KDConfig> read =
        RoundTrip(EditedConfigText({{36, {std::string("time step size: ") + c.step}},
                                    {37, {std::string("maximum simulation time: ") + c.maxSteps}}}),
                  &save);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->MaxTime(), c.seconds);
    EXPECT_NE(save.find(c.saved), std::string::npos) << save;
  }
}

TEST(KavroConfigRoundTrip, DetectorTimesAreWholeStepsOfWholeSeconds) {
  std::unique_ptr<KDConfig> read = RoundTrip(
      EditedConfigText({{21, {"detector times: 3000 1201"}}, {36, {"time step size: 0.1"}}}));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->DetectorTime(0), 300);
  EXPECT_EQ(read->DetectorTime(1), 420);
  // An interval whose first period would end beyond the largest time is kept as it is.
  read = RoundTrip(EditedConfigText(
      {{21, {"detector times: 1000000000 2000000000"}}, {36, {"time step size: 1.00"}}}));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->DetectorInterval(), 2000000000);
}

TEST(KavroConfigRoundTrip, PreciseAndTinyValuesKeepTheirValue) {
  std::string save;
  std::unique_ptr<KDConfig> read = RoundTrip(
      EditedConfigText({{4, {"lane  0: 1,0,1e-20,120.0,0.000,0 1,0,0.12345678,120.0,0.000001,0"}},
                        {28, {"vehicle probabilities  0: 0.3331 0.6669"}},
                        {30, {"source to sink  0  0: 0.123456 1.00"}},
                        {31, {"source to sink  0  1: 0.876544 0.00"}}}),
      &save);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->PhysicalSectionProperty(1, 0, PP_SPEEDSUPPRESSION), 1e-20f);
  EXPECT_EQ(read->PhysicalSectionProperty(0, 0, PP_SPEEDSUPPRESSION), 0.12345678f);
  EXPECT_EQ(read->PhysicalSectionProperty(0, 0, PP_SLOPE), 0.000001f);
  EXPECT_NE(save.find("vehicle probabilities  0: 0.3331 0.6669\n"), std::string::npos) << save;
  EXPECT_NE(save.find("source to sink  0  0: 0.123456 1.00\n"), std::string::npos) << save;
}

TEST(KavroConfigRoundTrip, ProbabilitiesThatSumToAlmostNothingAreNeverNotANumber) {
  // 1e-39 lies below the smallest normal float: its reciprocal does not fit a float.
  const std::string tiny = "0.000000000000000000000000000000000000001";
  std::string save;
  std::unique_ptr<KDConfig> read =
      RoundTrip(EditedConfigText({{28, {"vehicle probabilities  0: 1.0 " + tiny}},
                                  {30, {"source to sink  0  0: " + tiny + " 0"}},
                                  {31, {"source to sink  0  1: 0 0"}}}),
                &save);
  ASSERT_TRUE(read);
  for (const char* notANumber : {"nan", " inf ", " inf\n", " -inf"})
    EXPECT_EQ(save.find(notANumber), std::string::npos) << save;
  EXPECT_EQ(read->ODProbability(0, 0, 0, false), 1.0f);
  EXPECT_EQ(read->ODProbability(0, 1, 0, false), 0.0f);
  // Type 1 has no destination at all: every destination is as likely.
  EXPECT_EQ(read->ODProbability(0, 1, 1, false), 0.5f);
}

TEST(KavroConfigRoundTrip, EveryExampleSavesTheSameAgain) {
  const std::filesystem::path folder = std::filesystem::path(KAVRO_SOURCE_DIR) / "examples";
  int examples = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".kav") continue;
    SCOPED_TRACE(entry.path().filename().string());
    std::unique_ptr<KDConfig> loaded;
    ASSERT_TRUE(LoadConfig(entry.path().string(), loaded).ok);
    EXPECT_TRUE(RoundTrip(Saved(*loaded)));
    examples++;
  }
  EXPECT_GE(examples, 8);
}
