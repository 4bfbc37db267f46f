#include "config/ProgramMode.h"

#include <atomic>

namespace {
std::atomic<int> currentMode{KAVRO};
}

int ProgramMode() { return currentMode; }
void SetProgramMode(int mode) { currentMode = mode; }
int MaxLane() { return currentMode == DOVEL ? MAX_DOVELLANE : MAX_KAVROLANE; }
