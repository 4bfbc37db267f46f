#pragma once

#include <gtest/gtest.h>

#include <string>

#include "config/ProgramError.h"
#include "support/ReportCapture.h"

// A rejected call reports once and changes nothing. `snapshot` reads everything the call could
// have touched (any value with ==); it must read the same before and after the call.

/// Runs `call` and expects exactly one report, a "Program Error" stop with `text`.
template <typename Snapshot, typename Call>
void ExpectRejected(const std::string& text, Snapshot snapshot, Call call) {
  const auto before = snapshot();
  ReportCapture capture;
  call();
  ASSERT_EQ(capture.Reports().size(), 1u);
  const Report& report = capture.Reports()[0];
  EXPECT_EQ(report.kind, ReportKind::ProgramError);
  EXPECT_EQ(report.caption, "Program Error");
  EXPECT_EQ(report.text, text);
  EXPECT_TRUE(report.stop);
  EXPECT_TRUE(snapshot() == before);
}

/// Runs `call` and expects exactly one report, the failed internal condition `condition`.
template <typename Snapshot, typename Call>
void ExpectAssertion(const std::string& condition, Snapshot snapshot, Call call) {
  const auto before = snapshot();
  ReportCapture capture;
  call();
  ASSERT_EQ(capture.Reports().size(), 1u);
  const Report& report = capture.Reports()[0];
  EXPECT_EQ(report.kind, ReportKind::Assertion);
  EXPECT_EQ(report.text.rfind(condition + " (", 0), 0u) << report.text;
  EXPECT_TRUE(snapshot() == before);
}
