#pragma once

#include "config/ProgramMode.h"

// Switches the program mode for one test and restores the previous mode afterwards.
class ScopedProgramMode {
 public:
  explicit ScopedProgramMode(int mode) : previous_(ProgramMode()) { SetProgramMode(mode); }
  ~ScopedProgramMode() { SetProgramMode(previous_); }
  ScopedProgramMode(const ScopedProgramMode&) = delete;
  ScopedProgramMode& operator=(const ScopedProgramMode&) = delete;

 private:
  int previous_;
};
