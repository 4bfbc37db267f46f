#pragma once

/// An ASCII digit. Unlike std::isdigit it takes any char and ignores the locale, which the
/// desktop program sets from the environment.
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
