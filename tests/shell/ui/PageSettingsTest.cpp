#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

#include "config/KDConfig.h"
#include "shell/ui/PageSettings.h"
#include "support/ReportCapture.h"

namespace {

// The settings page over a fresh configuration, counting beeps, undo points and questions.
struct SettingsPage {
  KDConfig config;
  TPageSettings page;
  std::vector<std::string> undo;
  int beeps = 0;
  int questions = 0;
  bool answer = true;

  SettingsPage() {
    config.SetSeed(11);
    config.SetMaxTime(3600);
    config.SetDetectorTimes(300, 60);
    config.SetTimeStep(1.0f);
    page.SetUndoRecorder([this](const std::string& label) { undo.push_back(label); });
    page.SetBeep([this] { ++beeps; });
    page.SetCalibrationQuestion([this] {
      ++questions;
      return answer;
    });
    page.SetConfig(&config);
  }
  // What typing into a field does: the text changes and the page hears of the edit.
  static void Type(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    emit edit->textEdited(text);
  }
};

}  // namespace

TEST(PageSettings, ShowsTheConfigurationsValues) {
  SettingsPage s;
  EXPECT_EQ(s.page.EditRandomSeed->text(), "11");
  EXPECT_EQ(s.page.EditStopAt->text(), "3600");
  EXPECT_EQ(s.page.ComboBoxDetectorStart->currentText(), "300");
  EXPECT_EQ(s.page.ComboBoxDetectorRepeat->currentText(), "60");
  EXPECT_EQ(s.page.ComboBoxStepsPerSecond->currentIndex(), 0);
}

TEST(PageSettingsStopAt, KeepsDigitsBeepsAndStoresAChangedValue) {
  struct Case {
    const char* typed;
    const char* shown;
    int beeps;
    int maxTime;
  } cases[] = {
      {"12a3", "12", 1, 12},     {"123456", "12345", 1, 12345},
      {"3600", "3600", 0, 3600}, {"0", "0", 0, 3600},
      {"", "", 0, 3600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    SettingsPage s;
    const int stamp = s.config.ChangeStamp();
    SettingsPage::Type(s.page.EditStopAt, c.typed);
    EXPECT_EQ(s.page.EditStopAt->text(), c.shown);
    EXPECT_EQ(s.beeps, c.beeps);
    EXPECT_EQ(s.config.MaxTime(), c.maxTime);
    const bool changed = c.maxTime != 3600;
    EXPECT_EQ(s.config.ChangeStamp() != stamp, changed);
    EXPECT_EQ(s.undo, changed ? std::vector<std::string>{"stop simulation time"}
                              : std::vector<std::string>{});
  }
}

TEST(PageSettingsSeed, StoresAnOddSeedWhileTyping) {
  SettingsPage s;
  SettingsPage::Type(s.page.EditRandomSeed, "1");
  SettingsPage::Type(s.page.EditRandomSeed, "12");
  EXPECT_EQ(s.config.Seed(), 1);
  SettingsPage::Type(s.page.EditRandomSeed, "123x");
  EXPECT_EQ(s.page.EditRandomSeed->text(), "123");
  EXPECT_EQ(s.beeps, 1);
  EXPECT_EQ(s.config.Seed(), 123);
  EXPECT_EQ(s.undo, (std::vector<std::string>{"random seed", "random seed"}));
}

TEST(PageSettingsSeed, LeavingAnEvenSeedPutsTheSeedBackWithAMessage) {
  SettingsPage s;
  SettingsPage::Type(s.page.EditRandomSeed, "12");
  const int stamp = s.config.ChangeStamp();
  ReportCapture capture;
  s.page.EditRandomSeedExit();
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].caption, "Error");
  EXPECT_EQ(capture.OnlyText(), "Random seed must be an odd number\r\nRandom seed adjusted to 11.");
  EXPECT_EQ(s.page.EditRandomSeed->text(), "11");
  EXPECT_EQ(s.config.Seed(), 11);
  EXPECT_EQ(s.config.ChangeStamp(), stamp);
  EXPECT_EQ(s.beeps, 1);
  capture.Clear();
  s.page.EditRandomSeedExit();  // an odd seed is left quietly
  EXPECT_TRUE(capture.Empty());
}

TEST(PageSettingsStepsPerSecond, AsksTheCalibrationQuestionOnce) {
  SettingsPage s;
  s.answer = false;
  const int stamp = s.config.ChangeStamp();
  s.page.ComboBoxStepsPerSecond->setCurrentIndex(1);
  s.page.ComboBoxStepsPerSecondChange(1);
  EXPECT_EQ(s.questions, 1);
  EXPECT_EQ(s.page.ComboBoxStepsPerSecond->currentIndex(), 0);  // Cancel shows the old value
  EXPECT_EQ(s.config.ChangeStamp(), stamp);

  s.answer = true;
  s.page.ComboBoxStepsPerSecond->setCurrentIndex(1);
  s.page.ComboBoxStepsPerSecondChange(1);
  EXPECT_FLOAT_EQ(s.config.TimeStep(), 0.5f);
  s.page.ComboBoxStepsPerSecondChange(0);
  EXPECT_FLOAT_EQ(s.config.TimeStep(), 1.0f);
  EXPECT_EQ(s.questions, 2);
  EXPECT_EQ(s.undo, (std::vector<std::string>{"simulation steps per second",
                                              "simulation steps per second"}));

  s.page.SetConfig(&s.config);  // an opened configuration asks again
  s.page.ComboBoxStepsPerSecondChange(1);
  EXPECT_EQ(s.questions, 3);
}

TEST(PageSettingsDetectorTimes, StoresBothTimesAndCutsNonDigits) {
  SettingsPage s;
  QLineEdit* start = s.page.ComboBoxDetectorStart->lineEdit();
  SettingsPage::Type(start, "6x0");
  EXPECT_EQ(start->text(), "6");
  EXPECT_EQ(s.beeps, 1);
  EXPECT_EQ(s.config.DetectorTime(0), 6);
  EXPECT_EQ(s.config.DetectorTime(1), 66);
  SettingsPage::Type(start, "");  // keeps the configuration's first time
  EXPECT_EQ(s.config.DetectorTime(0), 6);
  s.page.ComboBoxDetectorRepeat->setCurrentIndex(11);
  s.page.ComboBoxDetectorChange();
  EXPECT_EQ(s.config.DetectorTime(1), 3606);
  EXPECT_EQ(s.undo, (std::vector<std::string>{"detector time", "detector time"}));
}
