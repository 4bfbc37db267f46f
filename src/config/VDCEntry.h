#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>

// One row of a behaviour parameter table: what the parameter editor shows and what the
// configuration file calls it. The display name and description follow the main window's
// language (see SetupParamTables); the file name never changes, so files stay readable.
struct VDCEntry {
  std::string key;          // "FS_max_delta_a"
  std::string displayName;  // "max delta a"
  std::string fileName;     // "max delta a", derived from the key
  float low = 0;            // lower limit, in the parameter's unit
  float high = 0;           // upper limit
  int steps = 0;            // slider positions of the editor between the limits
  std::string format;       // display format for one number and its unit, "%4.1f m/s³"
  std::string description;
  float newDefault = 0;    // default for a type beyond the built-in ones (FG_: the default)
  float defaults[5] = {};  // defaults of the five built-in vehicle types (FS_ only)
  std::string nameLabel;   // main window label whose caption replaces the display name
  std::string hintLabel;   // main window label whose caption replaces the description
};

/// Gives rows without a display name one made from the key, and derives every file name from
/// the key ("FS_std_dev_spec_pwr" -> "std dev spec pwr").
void FixVDCEntry(std::span<VDCEntry> table);

/// The row whose file name equals `name` regardless of letter case (ASCII), or -1.
int FindVDCEntryByFileName(std::span<const VDCEntry> table, const std::string& name);

/// The number part of a row's display format, from the first "%" up to the first blank:
/// "%4.1f m/s\xB2" gives "%4.1f". Files write values with it.
std::string NumericFormat(const VDCEntry& row);

/// The caption of a main window label by its name; nullopt when the window has no such label.
using LabelCaptionLookup = std::function<std::optional<std::string>(const std::string& label)>;

/// Start-up: replaces the display names and descriptions of the FS_ and FG_ tables by the
/// captions of the main window's labels, so that they follow the window's language.
void SetupParamTables(const LabelCaptionLookup& caption);
