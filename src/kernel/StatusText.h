#pragma once

#include <cstddef>

/// Writes "<kind> <value with two decimals>" into `text`, exactly as
/// snprintf(text, size, "%s %.2f", kind, value) does, without the cost of the C library's
/// formatting: the lane change logic writes a status for every attempt.
void FormatStatus(char* text, std::size_t size, const char* kind, float value);
