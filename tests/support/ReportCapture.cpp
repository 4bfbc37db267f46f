#include "support/ReportCapture.h"

#include <gtest/gtest.h>

ReportCapture::ReportCapture() {
  previous_ = SetReportHook([this](const Report& report) { reports_.push_back(report); });
}

ReportCapture::~ReportCapture() { SetReportHook(std::move(previous_)); }

std::string ReportCapture::OnlyText() const {
  EXPECT_EQ(reports_.size(), 1u);
  return reports_.empty() ? std::string() : reports_.front().text;
}
