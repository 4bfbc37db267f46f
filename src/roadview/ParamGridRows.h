#pragma once

#include <string>
#include <vector>

class KDConfig;

// The rows of the vehicle and driver parameter grid without a window: what each row shows,
// where its slider stands, and the value a slider position or a typed text stands for.

/// The kind the grid shows for the built-in model's three general parameters (no VDC kind).
constexpr int kGeneralParamKind = 0;

enum class ParamValueType { Integer, Real, Unknown };
/// After the first "%" and any digits and dots: "u" or "d" integer, "f", "g" or "e" real.
ParamValueType ParamFormatType(const std::string& format);
/// The value printed with the parameter's display format (integers after truncation).
std::string FormatParamValue(const std::string& format, float value);

/// Page step of a slider with `steps` positions.
int SliderPageSize(int steps);
/// The slider position nearest to `value`.
int SliderPosition(float low, float high, int steps, float value);
/// The value of slider position `position`.
float SliderValue(float low, float high, int steps, int position);

struct ParamGridRow {
  std::string name;  // with a blank at the end
  std::string description;
  std::string format;
  float low = 0;
  float high = 0;
  int steps = 0;
  float value = 0;
  std::string LowText() const { return FormatParamValue(format, low); }
  std::string HighText() const { return FormatParamValue(format, high); }
  std::string ValueText() const { return FormatParamValue(format, value); }
};

/// The rows of a kind: the parameters of `type` (VDC kinds), or the general parameters
/// (kGeneralParamKind). Only the first 15 parameters of a kind get a row.
std::vector<ParamGridRow> BuildParamGridRows(const KDConfig& config, int kind, int type);

/// A value typed into the grid: a number within the row's limits (a whole number for integer
/// parameters). False with a message naming the parameter and its limits otherwise.
bool ParseParamValue(const ParamGridRow& row, const std::string& text, float& value,
                     std::string& message);

/// Stores a value for row `param` of the kind (the caller records the undo point).
void StoreParamValue(KDConfig& config, int kind, int type, int param, float value);
