#pragma once

#include <string>
#include <vector>

/// The lines of the messages window as a text file: each line ended by "\n".
std::string MessageLogText(const std::vector<std::string>& lines);

/// Writes `text` to `fileName` through a temporary file that replaces it only when complete;
/// refuses read-only files and anything that is not a regular file. False with the system's
/// error text in `systemError`; the previous file is then untouched.
bool SaveTextFile(const std::string& fileName, const std::string& text, std::string& systemError);

/// Writes the lines to `fileName` through a temporary file that replaces it only when complete.
/// False with the system's error text in `systemError` when that failed; the previous file is
/// then untouched.
bool SaveMessageLog(const std::string& fileName, const std::vector<std::string>& lines,
                    std::string& systemError);
