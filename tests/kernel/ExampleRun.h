#pragma once

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "kernel/Kernel.h"
#include "kernel/KernelTestSupport.h"
#include "kernel/KernelTraces.h"
#include "kernel/TestRoad.h"

// A configuration from examples/ run in a kernel of its own, with all four traces collected.

inline std::string ExamplePath(const std::string& name) {
  return std::string(KAVRO_SOURCE_DIR) + "/examples/" + name;
}

/// Reads an example into `config`; false with the reader's message when it fails.
inline ::testing::AssertionResult LoadExample(const std::string& name, KDConfig& config) {
  std::ifstream in(ExamplePath(name), std::ios::binary);
  if (!in) return ::testing::AssertionFailure() << "cannot open " << name;
  ConfigReadResult result = ParseKavroConfig(ExamplePath(name), in, config);
  if (!result.ok) return ::testing::AssertionFailure() << name << ": " << result.error.message;
  return ::testing::AssertionSuccess();
}

struct ExampleRun {
  Kernel kernel;
  RecordingSink reports;
  StringTraceSink traces[KERNEL_TRACE_COUNT];

  ExampleRun() {
    kernel.SetMessageSink(&reports);
    for (int i = 0; i < KERNEL_TRACE_COUNT; ++i)
      kernel.SetTraceSink(static_cast<KernelTrace>(i), &traces[i]);
  }

  const std::string& Trace(KernelTrace trace) const { return traces[static_cast<int>(trace)].text; }

  /// Runs `seconds` of simulated time; a failure names the step and the first error.
  ::testing::AssertionResult Run(int seconds) {
    for (int step = 0; step < seconds * kernel.StepsPerSecond(); ++step) {
      if (!kernel.SimulateStep())
        return ::testing::AssertionFailure()
               << "step " << kernel.StepCount() << ": " << kernel.ErrorText().value_or("?");
    }
    return ::testing::AssertionSuccess();
  }

  /// Reports whose text contains `part`.
  int CountReports(const std::string& part) const {
    int count = 0;
    for (const KernelReport& report : reports.reports)
      if (report.text.find(part) != std::string::npos) ++count;
    return count;
  }
};

/// The lines of a trace after its header, split into tab-separated fields.
inline std::vector<std::vector<std::string>> TraceRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  std::string line;
  std::getline(lines, line);  // header
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    std::string cell;
    while (std::getline(cells, cell, '\t')) fields.push_back(cell);
    rows.push_back(fields);
  }
  return rows;
}
