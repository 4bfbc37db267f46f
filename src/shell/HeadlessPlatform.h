#pragma once

#include <string>
#include <vector>

/// True when the desktop program, started with these parameters (after the program name),
/// should draw off screen: it was asked for an unattended batch (a configuration and at least
/// one option) and there is no display to show its windows on.
bool NeedsOffscreenPlatform(const std::vector<std::string>& parameters, const char* display,
                            const char* waylandDisplay, const char* platform);
