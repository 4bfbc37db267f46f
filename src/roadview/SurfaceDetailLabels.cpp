#include "roadview/SurfaceDetailLabels.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "config/PrintfFormat.h"

std::string DetailDisplayFormat(const std::string& format, bool real) {
  const std::string fallback = real ? "%g" : "%d";
  const size_t percent = format.find('%');
  if (percent == std::string::npos) return fallback;
  size_t i = percent + 1;
  while (i < format.size() && !std::isalpha(static_cast<unsigned char>(format[i]))) {
    // Only flags, a width and a precision may stand between "%" and the conversion.
    if (!std::strchr("-+ #0123456789.", format[i])) return fallback;
    ++i;
  }
  if (i >= format.size() || i - percent > 8) return fallback;
  const char conversion = format[i];
  const bool fits = real ? std::strchr("feEgG", conversion) != nullptr
                         : std::strchr("dixX", conversion) != nullptr;
  return fits ? format.substr(percent, i - percent + 1) : fallback;
}

std::string FormatDetailValue(const SurfaceDetailView& view, float value) {
  const std::string format = DetailDisplayFormat(view.format, view.real);
  char text[64];
  if (view.real)
    std::snprintf(text, sizeof text, format.c_str(), static_cast<double>(value));
  else
    std::snprintf(text, sizeof text, format.c_str(), static_cast<int>(value));
  return text;
}

std::string FormatDetailText(const SurfaceDetailView& view, float value) {
  if (!SingleConversion(view.format, view.real ? "feEgG" : "dixX"))
    return FormatDetailValue(view, value);
  const char* format = view.format.c_str();
  const int size = view.real ? std::snprintf(nullptr, 0, format, static_cast<double>(value))
                             : std::snprintf(nullptr, 0, format, static_cast<int>(value));
  if (size < 0) return FormatDetailValue(view, value);
  std::string text(static_cast<size_t>(size) + 1, '\0');
  if (view.real)
    std::snprintf(text.data(), text.size(), format, static_cast<double>(value));
  else
    std::snprintf(text.data(), text.size(), format, static_cast<int>(value));
  text.resize(static_cast<size_t>(size));
  return text;
}
