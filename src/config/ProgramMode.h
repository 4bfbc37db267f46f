#pragma once

// The program mode is decided once at start-up from the executable's name and never
// changes afterwards; everything before that decision runs under KAVRO rules.
constexpr int KAVRO = 1;
constexpr int DOVEL = 2;

constexpr int MAX_KAVROLANE = 12;
constexpr int MAX_DOVELLANE = 6;

int ProgramMode();
void SetProgramMode(int mode);

/// The lane count of the current mode: 12 in KAVRO mode, 6 in DOVEL mode.
int MaxLane();
