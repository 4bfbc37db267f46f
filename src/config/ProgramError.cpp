#include "config/ProgramError.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "config/TerminateScope.h"

namespace {

std::mutex hookMutex;
ReportHook currentHook;
// The terminate request of the current TerminateScope, or the process's own outside every scope.
std::atomic<bool> processTerminateRequest{false};
std::atomic<std::atomic<bool>*> currentTerminateRequest{&processTerminateRequest};
// Held while the hook runs; recursive because a hook may itself report (a message box that
// lets events run).
std::recursive_mutex deliverMutex;
thread_local ReportHook* threadHook = nullptr;

void PrintToStderr(const Report& report) {
  std::fprintf(stderr, "%s: %s\n", report.caption.c_str(), report.text.c_str());
}

}  // namespace

ReportHook SetReportHook(ReportHook hook) {
  std::lock_guard<std::mutex> lock(hookMutex);
  ReportHook previous = std::move(currentHook);
  currentHook = std::move(hook);
  return previous;
}

ThreadReportRedirect::ThreadReportRedirect(ReportHook hook)
    : hook_(std::move(hook)), previous_(threadHook) {
  threadHook = &hook_;
}

ThreadReportRedirect::~ThreadReportRedirect() { threadHook = previous_; }

void Deliver(const Report& report) {
  if (threadHook != nullptr && *threadHook) {
    (*threadHook)(report);
    return;
  }
  if (report.stop) currentTerminateRequest.load()->store(true);
  std::lock_guard<std::recursive_mutex> serial(deliverMutex);
  ReportHook hook;
  {
    std::lock_guard<std::mutex> lock(hookMutex);
    hook = currentHook;
  }
  if (hook)
    hook(report);
  else
    PrintToStderr(report);
}

void ProgramError(const std::string& text) {
  Deliver({ReportKind::ProgramError, "Program Error", text, true});
}

void FatalError(const std::string& text) {
  Deliver({ReportKind::FatalError, "Fatal Error", text, true});
}

void AssertionFailed(const char* condition, const char* file, int line) {
  Deliver({ReportKind::Assertion, "Assertion failed",
           Format("%s (%s, line %d)", condition, file, line), true});
}

void UserMessage(ReportKind kind, const std::string& caption, const std::string& text) {
  Deliver({kind, caption, text, false});
}

TerminateScope::TerminateScope() : enclosing_(currentTerminateRequest.exchange(&requested_)) {}

TerminateScope::~TerminateScope() { currentTerminateRequest.store(enclosing_); }

bool TerminateRequested() { return currentTerminateRequest.load()->load(); }

void ClearTerminateRequest() { currentTerminateRequest.load()->store(false); }

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string result(size > 0 ? size : 0, '\0');
  if (size > 0) std::vsnprintf(result.data(), result.size() + 1, format, args);
  va_end(args);
  return result;
}
