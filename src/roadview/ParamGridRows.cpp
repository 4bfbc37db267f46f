#include "roadview/ParamGridRows.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "config/TextChars.h"
#include "config/VDCTypes.h"
#include "config/fg_params.h"

namespace {

constexpr int kShownParams = 15;

std::string Trimmed(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
  return text.substr(b, e - b);
}

}  // namespace

ParamValueType ParamFormatType(const std::string& format) {
  const size_t percent = format.find('%');
  if (percent == std::string::npos) return ParamValueType::Unknown;
  size_t i = percent + 1;
  while (i < format.size() && (IsDigit(format[i]) || format[i] == '.')) ++i;
  if (i >= format.size()) return ParamValueType::Unknown;
  if (format[i] == 'u' || format[i] == 'd') return ParamValueType::Integer;
  // The external model describes some of its parameters with "%g".
  if (format[i] == 'f' || format[i] == 'g' || format[i] == 'e') return ParamValueType::Real;
  return ParamValueType::Unknown;
}

std::string FormatParamValue(const std::string& format, float value) {
  char text[128];
  switch (ParamFormatType(format)) {
    case ParamValueType::Integer:
      std::snprintf(text, sizeof text, format.c_str(), static_cast<int>(value));
      return text;
    case ParamValueType::Real:
      std::snprintf(text, sizeof text, format.c_str(), static_cast<double>(value));
      return text;
    case ParamValueType::Unknown:
      break;
  }
  return {};
}

int SliderPageSize(int steps) {
  if (steps > 500000) return 100000;
  if (steps > 50000) return 10000;
  if (steps > 5000) return 1000;
  if (steps > 500) return 100;
  if (steps <= 50) return 2;
  return 10;
}

int SliderPosition(float low, float high, int steps, float value) {
  if (steps <= 0 || high == low) return 0;
  const float position = ((high - low) / static_cast<float>(steps) * 0.5f + (value - low)) *
                         static_cast<float>(steps) / (high - low);
  return static_cast<int>(position);
}

float SliderValue(float low, float high, int steps, int position) {
  if (steps <= 0) return low;
  return low + static_cast<float>(position) * (high - low) / static_cast<float>(steps);
}

std::vector<ParamGridRow> BuildParamGridRows(const KDConfig& config, int kind, int type) {
  std::vector<ParamGridRow> rows;
  if (kind == kGeneralParamKind) {
    if (ProgramMode() != KAVRO) return rows;
    for (int n = 0; n < FG_COUNT; ++n) {
      const VDCEntry& entry = FGParam(n);
      rows.push_back({entry.displayName + " ", entry.description, entry.format, entry.low,
                      entry.high, entry.steps, config.GetKavroGeneralParam(n)});
    }
    return rows;
  }
  // A kind with types shows nothing until a type exists and is chosen.
  const bool typed = kind == VDC_KAVRO || KDConfig::MaxVDCTypes(kind) > 0;
  if (typed && type < 0) return rows;
  const int count = config.VDCParamCount(kind, type);
  for (int p = 0; p < count && p < kShownParams; ++p) {
    float value = 0;
    VDCParamInfo info;
    config.GetVDCParam(kind, type, p, &value, &info);
    // The external model describes its own parameters; one it leaves without a usable format
    // is shown as a plain number rather than stopping the program.
    if (kind != VDC_KAVRO && ParamFormatType(info.format) == ParamValueType::Unknown)
      info.format = "%g";
    std::string name = info.displayName;
    if (kind == VDC_DOVELVEHICLESUB || kind == VDC_DOVELVEHICLEDIST)
      name += " " + std::to_string(p + 1);
    rows.push_back(
        {name + " ", info.description, info.format, info.low, info.high, info.steps, value});
  }
  return rows;
}

bool ParseParamValue(const ParamGridRow& row, const std::string& text, float& value,
                     std::string& message) {
  const std::string trimmed = Trimmed(text);
  const bool integer = ParamFormatType(row.format) == ParamValueType::Integer;
  char* end = nullptr;
  const double number = trimmed.empty() ? 0 : std::strtod(trimmed.c_str(), &end);
  const bool numeric = !trimmed.empty() && end && *end == '\0' && std::isfinite(number) &&
                       (!integer || number == std::floor(number));
  if (numeric && number >= row.low - 1e-6 && number <= row.high + 1e-6) {
    value = static_cast<float>(number);
    return true;
  }
  message = Trimmed(row.name) + " must be " + (integer ? "a whole number" : "a number") + " from " +
            Trimmed(row.LowText()) + " to " + Trimmed(row.HighText());
  return false;
}

void StoreParamValue(KDConfig& config, int kind, int type, int param, float value) {
  if (kind == kGeneralParamKind) {
    const VDCEntry& entry = FGParam(param);
    config.SetKavroGeneralParam(param, std::clamp(value, entry.low, entry.high));
  } else {
    config.SetVDCParam(kind, type, param, value);
  }
}
