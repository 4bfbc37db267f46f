#pragma once

#include <functional>
#include <string>

// One reporting hook carries every stop and every user message of the program.
// The desktop program shows a message box (and ends on stops), kavro-batch prints to
// stderr and exits non-zero on stops, tests capture the reports.

enum class ReportKind {
  ProgramError,  // a caller broke an operation's rules; caption "Program Error"
  FatalError,    // e.g. "Out of memory"; caption "Fatal Error"
  Assertion,     // an internal consistency condition failed; the text is the condition
  Error,         // user message, caption "Error", exclamation icon
  Warning,       // user message, caption "Warning", exclamation icon
  Information,   // user message without a stop
};

struct Report {
  ReportKind kind = ReportKind::Information;
  std::string caption;
  std::string text;
  bool stop = false;  // the application is asked to terminate
};

using ReportHook = std::function<void(const Report&)>;

/// Installs the hook and returns the previous one. An empty hook restores the default
/// (print to stderr).
ReportHook SetReportHook(ReportHook hook);

/// Delivers a report to the installed hook; stops also set the terminate request. Calls of the
/// hook are serialised: reports from several threads never interleave.
void Deliver(const Report& report);

/// While alive, reports made on the thread that created it go to `hook` instead of the
/// installed hook, and stops do not set the terminate request: a batch run on a worker thread
/// collects its reports, and the batch delivers them in run order on its own thread.
class ThreadReportRedirect {
 public:
  explicit ThreadReportRedirect(ReportHook hook);
  ~ThreadReportRedirect();
  ThreadReportRedirect(const ThreadReportRedirect&) = delete;
  ThreadReportRedirect& operator=(const ThreadReportRedirect&) = delete;

 private:
  ReportHook hook_;
  ReportHook* previous_;
};

/// A rejected call: reports `text` with caption "Program Error" and asks to terminate.
/// The caller returns without changing anything.
void ProgramError(const std::string& text);

/// Reports `text` with caption "Fatal Error" and asks to terminate.
void FatalError(const std::string& text);

/// An internal consistency condition failed; reports the condition text and asks to terminate.
void AssertionFailed(const char* condition, const char* file, int line);

/// A message for the user: caption "Error", "Warning" or another; no stop.
void UserMessage(ReportKind kind, const std::string& caption, const std::string& text);

/// True once a stop was reported (the desktop program terminates, a batch exits non-zero).
bool TerminateRequested();
void ClearTerminateRequest();

/// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Usage: if (!KAVRO_ASSERT(value >= 0)) return;  The check stays on in release builds, and the
// report quotes the condition as written. The call is unqualified on purpose: a class whose
// failed checks must also change its own state (the kernel stops being ready) declares a member
// AssertionFailed(condition, file, line) that does so and calls ::AssertionFailed.
#define KAVRO_ASSERT(condition) \
  ((condition) ? true : (AssertionFailed(#condition, __FILE__, __LINE__), false))
