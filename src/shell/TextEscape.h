#pragma once

#include <string>
#include <string_view>

// Names (file names, origin names) inside the program's tab-separated files and quoted
// comments are written with C-style escapes, so that a tab, a line end or a double quote in a
// name cannot add a column, a line or end the quotes: \t tab, \r carriage return, \n line
// feed, \" double quote, \\ backslash, and \xHH (two hexadecimal digits) for the other control
// characters (below 32, and 127). Every other byte, Windows-1252 letters included, stays as it
// is, so a name without such characters is written unchanged.

/// The name as it is written into a file.
std::string EscapeName(std::string_view name);
/// The name that `escaped` was written for; false for a backslash that starts no escape above.
bool UnescapeName(std::string_view escaped, std::string& name);
