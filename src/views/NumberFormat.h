#pragma once

#include <string>

/// The shortest decimal text of `value` with at most 15 significant digits.
std::string GeneralFormat(double value);

/// Formats `value` with a patchable text's one floating-point conversion; a text that does not
/// hold exactly one such conversion is formatted with `fallback`.
std::string FormatOneNumber(const std::string& format, double value, const char* fallback);
