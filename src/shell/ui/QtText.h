#pragma once

#include <QString>
#include <string>

// The program's texts are Windows-1252 bytes; Qt works in Unicode.

/// A Windows-1252 text as a QString.
QString FromText(const std::string& text);
/// A QString as Windows-1252; characters the code page lacks become "?".
std::string ToText(const QString& text);
