#include <gtest/gtest.h>

#include "config/KDConfig.h"
#include "shell/RunController.h"
#include "shell/RunSettings.h"

TEST(RunSettingsFilter, StopTimeKeepsAtMostFiveLeadingDigits) {
  struct Case {
    const char* typed;
    const char* kept;
    bool refused;
  } cases[] = {
      {"3600", "3600", false}, {"12a3", "12", true}, {"123456", "12345", true}, {"", "", false},
      {"-5", "", true},        {" 60", "", true},    {"99999", "99999", false}, {"1.5", "1", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    const FilteredField field = FilterStopTime(c.typed);
    EXPECT_EQ(field.Text, c.kept);
    EXPECT_EQ(field.Refused, c.refused);
  }
}

TEST(RunSettingsFilter, SeedAndDetectorFieldsDropEverythingFromTheFirstNonDigit) {
  EXPECT_EQ(KeepLeadingDigits("1234567").Text, "1234567");
  EXPECT_FALSE(KeepLeadingDigits("1234567").Refused);
  EXPECT_EQ(KeepLeadingDigits("12x45").Text, "12");
  EXPECT_TRUE(KeepLeadingDigits("12x45").Refused);
}

TEST(RunSettingsSeed, StoresOnlyAChangedOddNumber) {
  struct Case {
    const char* typed;
    int current;
    int stored;  // 0 = nothing stored
  } cases[] = {
      {"13", 11, 13},
      {"11", 11, 0},
      {"12", 11, 0},
      {"", 11, 0},
      {"0", 11, 0},
      {"99999999999", 11, 0},  // does not fit: never reaches the setter
      {"2147483647", 11, 2147483647},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(SeedToStore(c.typed, c.current).value_or(0), c.stored);
  }
}

TEST(RunSettingsSeed, LeavingTheFieldNeedsAnOddNonNegativeNumber) {
  EXPECT_TRUE(SeedFieldAcceptable("7"));
  EXPECT_FALSE(SeedFieldAcceptable("8"));
  EXPECT_FALSE(SeedFieldAcceptable(""));
  EXPECT_FALSE(SeedFieldAcceptable("0"));
  EXPECT_EQ(SeedAdjustedMessage(11),
            "Random seed must be an odd number\r\nRandom seed adjusted to 11.");
}

TEST(RunSettingsDetectorTimes, AnUnscannableFieldKeepsTheConfigurationsValue) {
  KDConfig config;
  config.SetDetectorTimes(300, 60);
  struct Case {
    const char* first;
    const char* repeat;
    bool stored;
    int storedFirst;
    int storedRepeat;
  } cases[] = {
      {"600", "60", true, 600, 60}, {"300", "120", true, 300, 120}, {"", "120", true, 300, 120},
      {"600", "", true, 600, 60},   {"300", "60", false, 0, 0},     {"", "", false, 0, 0},
      {"0", "0", true, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.first) + "/" + c.repeat);
    const auto times = DetectorTimesToStore(c.first, c.repeat, config);
    ASSERT_EQ(times.has_value(), c.stored);
    if (!times) continue;
    EXPECT_EQ(times->First, c.storedFirst);
    EXPECT_EQ(times->Repeat, c.storedRepeat);
  }
}

TEST(RunSettingsDetectorTimes, RepeatShowsZeroWhenNoPeriodEnds) {
  KDConfig config;
  config.SetDetectorTimes(0, 0);
  EXPECT_EQ(ShownDetectorRepeat(config), 0);
  config.SetDetectorTimes(0, 60);
  EXPECT_EQ(ShownDetectorRepeat(config), 60);
  config.SetDetectorTimes(300, 0);
  EXPECT_EQ(ShownDetectorRepeat(config), 0);
}

TEST(RunSettingsStopTime, StoresAPositiveChangedValue) {
  KDConfig config;
  config.SetMaxTime(3600);
  EXPECT_EQ(StopTimeToStore("1800", config).value_or(-1), 1800);
  EXPECT_FALSE(StopTimeToStore("3600", config));
  EXPECT_FALSE(StopTimeToStore("0", config));
  EXPECT_FALSE(StopTimeToStore("", config));
}

TEST(RunSettingsLists, SpeedEntriesGiveTheirDelays) {
  const float delays[] = {10, 3, 1, 0.3f, 0.1f, 0.03f, 0.01f, 0};
  const auto entries = SimulationSpeedEntries("Maximum");
  ASSERT_EQ(entries.size(), 8u);
  EXPECT_EQ(entries[2], "100%");
  EXPECT_EQ(entries[kMaximumSpeedEntry], "Maximum");
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(entries[i]);
    EXPECT_FLOAT_EQ(SpeedDelayForEntry(i), delays[i]);
  }
}

TEST(RunSettingsLists, RedrawEntriesComeFromTheTextTable) {
  const auto entries = RedrawRateEntries("Every step", "Per %d steps");
  EXPECT_EQ(entries, (std::vector<std::string>{"Every step", "Per 10 steps", "Per 100 steps"}));
  EXPECT_EQ(RedrawEveryForEntry(0), 1);
  EXPECT_EQ(RedrawEveryForEntry(1), 10);
  EXPECT_EQ(RedrawEveryForEntry(2), 100);
  EXPECT_EQ(StepsPerSecondEntry(1.0f), 0);
  EXPECT_EQ(StepsPerSecondEntry(0.5f), 1);
}

TEST(RunSettingsButtons, FollowTheRunState) {
  KDConfig config;
  config.SetTimeStep(0.5f);
  config.SetMaxTime(10);  // 20 steps
  struct Case {
    bool running;
    int step;
    RunButtons expected;
  } cases[] = {
      {false, 0, {true, true, true, false}},   {true, 5, {false, false, false, false}},
      {false, 5, {true, true, true, true}},    {false, 19, {true, true, true, true}},
      {false, 20, {true, false, false, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    const RunState state{.Running = c.running, .StepCount = c.step};
    const RunButtons b = RunButtonsFor(state, config);
    EXPECT_EQ(b.RunVisible, c.expected.RunVisible);
    EXPECT_EQ(b.RunEnabled, c.expected.RunEnabled);
    EXPECT_EQ(b.StepEnabled, c.expected.StepEnabled);
    EXPECT_EQ(b.ResetEnabled, c.expected.ResetEnabled);
  }
}

TEST(RunSettingsTime, ShowsOneDecimalOfSimulatedSeconds) {
  EXPECT_EQ(SimulatorTimeText(7200, 2), "3600.0");
  EXPECT_EQ(SimulatorTimeText(3, 2), "1.5");
  EXPECT_EQ(SimulatorTimeText(0, 0), "0.0");
}
