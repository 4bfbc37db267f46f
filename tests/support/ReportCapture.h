#pragma once

#include <string>
#include <vector>

#include "config/ProgramError.h"
#include "config/TerminateScope.h"

// Captures every report while alive, so a test can assert on the exact text of a stop
// and check that the rejected call changed nothing. Stops raise the capture's own terminate
// request, which ends with it.
class ReportCapture {
 public:
  ReportCapture();
  ~ReportCapture();
  ReportCapture(const ReportCapture&) = delete;
  ReportCapture& operator=(const ReportCapture&) = delete;

  const std::vector<Report>& Reports() const { return reports_; }
  bool Empty() const { return reports_.empty(); }
  /// The text of the only report; fails the test when there is not exactly one.
  std::string OnlyText() const;
  void Clear() { reports_.clear(); }

 private:
  TerminateScope terminate_;
  std::vector<Report> reports_;
  ReportHook previous_;
};
