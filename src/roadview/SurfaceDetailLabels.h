#pragma once

#include <string>

// Labels of the external model's surface details on the road picture.

/// How one surface detail is shown: per lane or one value per section, real or whole
/// numbers, and the model's format text for it.
struct SurfaceDetailView {
  bool perLane = true;
  bool real = true;
  std::string format;  // e.g. "%5.1f m" or "friction %4.2f"
};

/// The part of a format text from its first "%" up to and including the first letter after
/// it, when that is a conversion for the detail's kind of number; otherwise "%g" (real) or
/// "%d". The model's text never reaches printf unchecked.
std::string DetailDisplayFormat(const std::string& format, bool real);

/// The label of one value.
std::string FormatDetailValue(const SurfaceDetailView& view, float value);

/// The whole format text applied to one value ("%.1f %%" gives "0.5 %"), when it holds
/// exactly one conversion for the detail's kind of number and nothing else but "%%";
/// otherwise FormatDetailValue.
std::string FormatDetailText(const SurfaceDetailView& view, float value);
