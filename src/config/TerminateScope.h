#pragma once

#include <atomic>

// The terminate request of one piece of work: a kavro-batch command, the desktop program, a
// test. While a scope is alive, stops reported anywhere (Deliver in config/ProgramError.h) raise
// its request and TerminateRequested() reads it; when it ends, the enclosing scope is current
// again with its own request untouched, so a stop never outlives the work it ended and no entry
// point has to clear anything. Outside every scope, stops raise the process's request. Scopes
// nest like the blocks that hold them.
class TerminateScope {
 public:
  TerminateScope();
  ~TerminateScope();
  TerminateScope(const TerminateScope&) = delete;
  TerminateScope& operator=(const TerminateScope&) = delete;

  /// A stop was reported while this scope was current.
  bool Requested() const { return requested_.load(); }

 private:
  std::atomic<bool> requested_{false};
  std::atomic<bool>* enclosing_;
};
