#include <gtest/gtest.h>

#include "kernel/Kernel.h"
#include "kernel/KernelTestSupport.h"
#include "support/ReportCapture.h"

namespace {

// A kernel in an (empty) run with a label and a clock, reporting into `sink`.
void StartRun(Kernel& kernel, RecordingSink& sink, const std::string& label, int step,
              int stepsPerSecond) {
  kernel.SetMessageSink(&sink);
  kernel.KAV_setup(nullptr, 1, label);
  kernel.SetClock(step, stepsPerSecond);
}

}  // namespace

TEST(KernelMessageText, TimePrefixShowsSecondsAndTenths) {
  struct Case {
    int step, stepsPerSecond;
    const char* expected;
  } cases[] = {
      {123, 10, "Time 12.3: Kavro Simulator Warning in DoSource: x"},
      {5, 2, "Time 2.5: Kavro Simulator Warning in DoSource: x"},
      {7, 3, "Time 2.3: Kavro Simulator Warning in DoSource: x"},
      {0, 10, "Time 0.0: Kavro Simulator Warning in DoSource: x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    Kernel kernel;
    RecordingSink sink;
    StartRun(kernel, sink, "", c.step, c.stepsPerSecond);
    EXPECT_EQ(kernel.KernelMessage(KernelCause::SimulatorWarning, "DoSource", "x"), 0);
    ASSERT_EQ(sink.reports.size(), 1u);
    EXPECT_EQ(sink.reports[0].text, c.expected);
    EXPECT_EQ(sink.reports[0].caption, "Kavro Simulator Warning");
  }
}

TEST(KernelMessageText, DuringSetUpHasNoTimeAndAlwaysUsesABox) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  kernel.KAV_setup(nullptr, 1, "Batch 2");  // leaves the step counter at -1
  kernel.KernelMessage(KernelCause::SimulatorWarning, "KAV_setup", "%s %d", "a", 3);
  ASSERT_EQ(sink.reports.size(), 1u);
  EXPECT_EQ(sink.reports[0].route, KernelRoute::MessageBox);
  EXPECT_EQ(sink.reports[0].text, "Kavro Simulator Warning in KAV_setup: a 3");
}

TEST(KernelMessageRouting, FollowsCauseAndRunLabel) {
  struct Case {
    KernelCause cause;
    const char* label;
    bool shown;
    KernelRoute route;
    const char* text;
  } cases[] = {
      {KernelCause::ProgramError, "", true, KernelRoute::MessageBox,
       "Time 1.0: Program Error in W: m"},
      {KernelCause::ProgramError, "Run 4", true, KernelRoute::MessageBox,
       "Time 1.0: Program Error in W: m"},
      {KernelCause::Error, "Run 4", true, KernelRoute::MessageBox, "Time 1.0: Error in W: m"},
      {KernelCause::ConfigurationError, "", true, KernelRoute::MessageBox,
       "Time 1.0: Kavro Configuration Error in W: m"},
      {KernelCause::ConfigurationError, "Run 4", false, KernelRoute::MessageBox, ""},
      {KernelCause::SimulatorError, "", true, KernelRoute::MessagesWindow,
       "Time 1.0: Kavro Simulator Error in W: m"},
      {KernelCause::SimulatorError, "Run 4", true, KernelRoute::MessagesWindow,
       "Run 4: Time 1.0: Kavro Simulator Error in W: m"},
      {KernelCause::SimulatorWarning, "Run 4", true, KernelRoute::MessagesWindow,
       "Run 4: Time 1.0: Kavro Simulator Warning in W: m"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.cause));
    SCOPED_TRACE(c.label);
    Kernel kernel;
    RecordingSink sink;
    StartRun(kernel, sink, c.label, 10, 10);
    kernel.KernelMessage(c.cause, "W", "m");
    ASSERT_EQ(sink.reports.size(), c.shown ? 1u : 0u);
    if (!c.shown) continue;
    EXPECT_EQ(sink.reports[0].route, c.route);
    EXPECT_EQ(sink.reports[0].cause, c.cause);
    EXPECT_EQ(sink.reports[0].text, c.text);
  }
}

TEST(KernelMessageState, ErrorsStopTheKernelWarningsDoNot) {
  Kernel kernel;
  RecordingSink sink;
  EXPECT_FALSE(kernel.Ready());  // not ready before the first set-up
  StartRun(kernel, sink, "", 3, 2);
  EXPECT_TRUE(kernel.Ready());
  kernel.KernelMessage(KernelCause::SimulatorWarning, "DoSource", "warned");
  EXPECT_TRUE(kernel.Ready());
  EXPECT_FALSE(kernel.ErrorText().has_value());
  for (KernelCause cause : {KernelCause::ProgramError, KernelCause::Error,
                            KernelCause::ConfigurationError, KernelCause::SimulatorError}) {
    SCOPED_TRACE(static_cast<int>(cause));
    StartRun(kernel, sink, "Run 1", 3, 2);
    kernel.KernelMessage(cause, "SimulateStep", "first %d", 1);
    kernel.KernelMessage(cause, "SimulateStep", "second");
    EXPECT_FALSE(kernel.Ready());
    ASSERT_TRUE(kernel.ErrorText().has_value());
    EXPECT_EQ(*kernel.ErrorText(), "first 1");
  }
  kernel.KAV_setup(nullptr, 1, "");
  EXPECT_TRUE(kernel.Ready());
  EXPECT_FALSE(kernel.ErrorText().has_value());
}

TEST(KernelMessageState, BatchConfigurationErrorIsSilentButRecorded) {
  Kernel kernel;
  RecordingSink sink;
  StartRun(kernel, sink, "Capacity 7", 40, 10);
  kernel.KernelMessage(KernelCause::ConfigurationError, "SuperSource::Flow", "%s",
                       kernel.Texts().flowLimitExceeded.c_str());
  EXPECT_TRUE(sink.reports.empty());
  EXPECT_FALSE(kernel.Ready());
  EXPECT_EQ(kernel.ErrorText().value_or(""), "Requested flow too high");
}

TEST(KernelMessageHeadless, ReportsGoToTheHookWithCaptions) {
  struct Case {
    KernelCause cause;
    ReportKind kind;
    bool stop;
  } cases[] = {
      {KernelCause::ProgramError, ReportKind::ProgramError, true},
      {KernelCause::Error, ReportKind::Error, false},
      {KernelCause::ConfigurationError, ReportKind::Error, false},
      {KernelCause::SimulatorError, ReportKind::Error, false},
      {KernelCause::SimulatorWarning, ReportKind::Warning, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.cause));
    ReportCapture capture;
    Kernel kernel;
    kernel.KAV_setup(nullptr, 1, "");
    kernel.SetClock(0, 10);
    kernel.KernelMessage(c.cause, "W", "m");
    ASSERT_EQ(capture.Reports().size(), 1u);
    const Report& report = capture.Reports()[0];
    EXPECT_EQ(report.kind, c.kind);
    EXPECT_EQ(report.stop, c.stop);
    EXPECT_EQ(report.caption, kernel.Texts().KAV_error_types[static_cast<int>(c.cause)]);
    EXPECT_EQ(report.text, "Time 0.0: " + report.caption + " in W: m");
    EXPECT_EQ(TerminateRequested(), c.stop);
  }
}

TEST(KernelMessageHeadless, CauseOutOfRangeIsAnAssertion) {
  ReportCapture capture;
  Kernel kernel;
  kernel.KAV_setup(nullptr, 1, "");
  EXPECT_EQ(kernel.KernelMessage(static_cast<KernelCause>(5), "W", "m"), 0);
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].kind, ReportKind::Assertion);
  EXPECT_EQ(capture.Reports()[0].text.rfind("index >= 0 && index < kCauseCount", 0), 0u);
  EXPECT_FALSE(kernel.Ready());
}

TEST(KernelTexts, LabelsReplaceCaptionsAndFormats) {
  KernelTexts texts;
  EXPECT_TRUE(texts.SetByLabel("LabelKernelKavroSimulatorWarning", "Waarschuwing"));
  EXPECT_TRUE(texts.SetByLabel("LabelKernelTime", "Tijd"));
  EXPECT_TRUE(texts.SetByLabel("LabelKernelTaperTooShort", "Invoegstrook korter dan %dm"));
  EXPECT_EQ(texts.taperTooShort, "Invoegstrook korter dan %dm");

  Kernel kernel;
  RecordingSink sink;
  kernel.SetTexts(texts);
  StartRun(kernel, sink, "", 25, 10);
  kernel.KernelMessage(KernelCause::SimulatorWarning, "DoSource", "x");
  ASSERT_EQ(sink.reports.size(), 1u);
  EXPECT_EQ(sink.reports[0].caption, "Waarschuwing");
  EXPECT_EQ(sink.reports[0].text, "Tijd 2.5: Waarschuwing in DoSource: x");
}

TEST(KernelTexts, RejectsFormatsThatTakeOtherArguments) {
  struct Case {
    const char* label;
    const char* caption;
    bool accepted;
  } cases[] = {
      {"LabelKernelTaperTooShort", "too short: %s", false},
      {"LabelKernelTaperTooShort", "too short", false},
      {"LabelKernelTaperTooShort", "100%% wrong, %5dm needed", true},
      {"LabelKernelDestinationNotReached", "%d: %s, not %s", true},
      {"LabelKernelDestinationNotReached", "%d: %s, not %d", false},
      {"LabelKernelDeficitLimitExceeded", "Stau bis %s %n", false},
      {"LabelKernelFlowLimitExceeded", "Zu viel", true},
      {"LabelKernelNoSuchText", "x", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    KernelTexts texts;
    KernelTexts before = texts;
    EXPECT_EQ(texts.SetByLabel(c.label, c.caption), c.accepted);
    if (!c.accepted) {
      EXPECT_EQ(texts.taperTooShort, before.taperTooShort);
      EXPECT_EQ(texts.destinationNotReached, before.destinationNotReached);
      EXPECT_EQ(texts.deficitLimitExceeded, before.deficitLimitExceeded);
    }
  }
}

TEST(KernelMessageState, TwoKernelsKeepTheirOwnState) {
  Kernel first, second;
  RecordingSink firstSink, secondSink;
  StartRun(first, firstSink, "Run 1", 10, 10);
  StartRun(second, secondSink, "", 20, 10);
  first.KernelMessage(KernelCause::SimulatorError, "SimulateStep", "broken");
  EXPECT_FALSE(first.Ready());
  EXPECT_TRUE(second.Ready());
  EXPECT_FALSE(second.ErrorText().has_value());
  EXPECT_TRUE(secondSink.reports.empty());
  ASSERT_EQ(firstSink.reports.size(), 1u);
  EXPECT_EQ(firstSink.reports[0].text,
            "Run 1: Time 1.0: Kavro Simulator Error in SimulateStep: broken");
}
