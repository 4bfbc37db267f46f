#pragma once

#include <string>
#include <vector>

// Checks of printf formats that come from outside the program's own code (patched texts, the
// external model's display formats), so that they are only filled with the values they take.

/// The printf conversions of `format` in order, each with its length modifier ("d", "s", "ld";
/// "*" for a width or precision taken from the values). "%%" is none; a "%" that starts no
/// conversion counts as an empty one.
std::vector<std::string> PrintfConversions(const std::string& format);

/// True when `format` takes exactly one value, converted by one of the letters `kinds`
/// ("fFeEgG" for a double, "dixX" for an int) without a length modifier, with a width and a
/// precision of at most three digits each.
bool SingleConversion(const std::string& format, const char* kinds);
