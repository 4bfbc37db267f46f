#pragma once

#include <cstdio>
#include <string>

// Where the kernel's trace lines go. The run control opens the files, hands them to the
// kernel for the run and closes them afterwards; tests collect the lines in memory.
class TraceSink {
 public:
  virtual ~TraceSink() = default;
  /// Takes one whole line, ending in "\n".
  virtual void WriteLine(const std::string& line) = 0;
};

// Writes into a C stream opened (and later closed) by the caller.
class FileTraceSink : public TraceSink {
 public:
  explicit FileTraceSink(std::FILE* file = nullptr) : file_(file) {}
  void WriteLine(const std::string& line) override {
    if (file_ != nullptr) std::fwrite(line.data(), 1, line.size(), file_);
  }

 private:
  std::FILE* file_;
};

// Collects the lines in a string.
class StringTraceSink : public TraceSink {
 public:
  void WriteLine(const std::string& line) override { text += line; }
  std::string text;
};

// The four traces the kernel writes, one line per event.
enum class KernelTrace : int {
  Detection = 0,           // every detector passage
  DetectorTravelTime = 1,  // every detector passage after the vehicle's first
  ODTravelTime = 2,        // every arrival at a sink
  LaneChange = 3,          // every lane change, in the step it is made
};
constexpr int KERNEL_TRACE_COUNT = 4;

/// The header line of a trace, written in the first step of a run.
const char* KernelTraceHeader(KernelTrace trace);

// The open traces of one kernel; none open by default.
struct KernelTraceSet {
  TraceSink* sink[KERNEL_TRACE_COUNT] = {};
  TraceSink* operator[](KernelTrace trace) const { return sink[static_cast<int>(trace)]; }
};
