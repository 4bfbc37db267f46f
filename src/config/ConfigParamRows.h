#pragma once

#include <string>

// The rows of the vehicle specific (FS_) and general (FG_) parameter tables as the file
// format sees them: a file name, limits and the numeric part of the display format.

/// 15 specific rows, 3 general rows.
int ParamRowCount(bool specific);

/// The row whose file name equals `name` without regard to case; -1 when none does.
int FindParamRow(bool specific, const std::string& name);

const std::string& ParamFileName(bool specific, int row);
float ParamLow(bool specific, int row);
float ParamHigh(bool specific, int row);

/// The numeric part of the row's display format: the text from the first "%" up to the
/// first blank, e.g. "%3.1f" of "%3.1f s".
std::string ParamNumberFormat(bool specific, int row);
