#pragma once

#include <istream>
#include <string>
#include <string_view>

// Line-level pieces of the .kav reader and writer: reading lines, splitting a keyed line
// into key, indices and value text, scanning numbers out of the value text, and formatting
// numbers so that they read back unchanged. Numbers are read and written independently of
// the C locale, so a desktop locale with a decimal comma does not change the files.

/// Reads the next line of `in` into `line`, accepting LF and CR LF ends, with trailing
/// white space removed. False at the end of the input.
bool ReadConfigLine(std::istream& in, std::string& line);

/// A line read by ReadConfigLine that still holds a carriage return: the text had a CR
/// without LF, which ends no line of ours. `before` receives the text up to that CR.
bool HasLoneCarriageReturn(const std::string& line, std::string* before = nullptr);

/// The reading error for such a line.
extern const char* const kLoneCarriageReturnMessage;

enum class LineKind {
  Comment,  // first non-blank character "#"
  Keyed,    // "key [I1 [I2]]: value"
  NoColon,  // anything else, a blank line included
};

struct SplitLine {
  LineKind kind = LineKind::NoColon;
  std::string key;     // the text before ":" without the trailing indices and blanks
  bool hasI1 = false;  // an index was given before the ":"
  bool hasI2 = false;
  int i1 = -1;  // the indices, -1 when absent
  int i2 = -1;
  std::string value;  // the text after ":", leading blanks skipped
};

/// Splits one line (trailing white space already removed).
SplitLine SplitConfigLine(const std::string& line);

// Reads the value text the way C's formatted input does for the formats the file uses:
// conversions skip leading blanks, literal characters ("," "|") must follow immediately.
// Whole numbers that do not fit an int and numbers that are not finite are not numbers.
class ValueScanner {
 public:
  explicit ValueScanner(std::string_view text) : text_(text) {}

  bool Int(int& value);
  bool Float(float& value);
  /// One character after blanks (" %c").
  bool Char(char& value);
  /// A run of non-blank characters after blanks ("%s").
  bool Word(std::string& value);
  /// The next run of non-blank characters as a whole number, or as a number, all of it.
  bool IntWord(int& value);
  bool FloatWord(float& value);
  /// Moves on by `count` characters (at most to the end).
  void Skip(size_t count);
  /// The character `c` at the current position, without skipping blanks.
  bool Literal(char c);
  /// Skips blanks and returns true when nothing is left.
  bool AtEnd();
  void SkipBlanks();
  /// The text not read yet.
  std::string_view Rest() const { return text_.substr(pos_); }

 private:
  size_t NumberStart(size_t& parseFrom) const;

  std::string_view text_;
  size_t pos_ = 0;
};

/// True when `text` is exactly one whole number (optional sign, digits) that fits an int.
bool ParseWholeNumber(std::string_view text, int& value);

/// Formats `value` as "%.Nf" does with N = `decimals`, independently of the C locale.
std::string FormatFixed(float value, int decimals);

/// As FormatFixed, with more decimals where `decimals` would not read back as the same
/// float, so that a value survives a save and reload.
std::string FormatRoundTrip(float value, int decimals);

/// As FormatRoundTrip, right-aligned in a field of `width` characters ("%W.Nf").
std::string FormatRoundTripWidth(float value, int width, int decimals);
