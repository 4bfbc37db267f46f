#include "config/ConfigLine.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>

#include "config/TextChars.h"

namespace {

// The characters C's formatted input treats as white space.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

void TrimTrailingBlanks(std::string& text) {
  size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) end--;
  text.resize(end);
}

// Removes one trailing blank-separated whole number from `text`; false when the text does
// not end in one.
bool TakeTrailingNumber(std::string& text, int& value) {
  size_t end = text.size();
  size_t start = end;
  while (start > 0 && !IsBlank(text[start - 1])) start--;
  if (start == 0 || start == end) return false;
  int number = 0;
  std::string_view token(text.data() + start, end - start);
  if (!ParseWholeNumber(token, number)) {
    // A run of digits too long for an int is still an index, just an impossible one.
    size_t digits = (token[0] == '-' || token[0] == '+') ? 1 : 0;
    if (digits >= token.size()) return false;
    for (size_t i = digits; i < token.size(); i++)
      if (!IsDigit(token[i])) return false;
    number = token[0] == '-' ? INT_MIN : INT_MAX;
  }
  value = number;
  text.resize(start);
  TrimTrailingBlanks(text);
  return true;
}

}  // namespace

bool ReadConfigLine(std::istream& in, std::string& line) {
  line.clear();
  if (!std::getline(in, line)) {
    if (line.empty()) return false;
  }
  TrimTrailingBlanks(line);
  return true;
}

const char* const kLoneCarriageReturnMessage =
    "Line break by a carriage return alone (CR): lines must end with LF or CR LF";

bool HasLoneCarriageReturn(const std::string& line, std::string* before) {
  size_t at = line.find('\r');
  if (at == std::string::npos) return false;
  if (before != nullptr) *before = line.substr(0, at);
  return true;
}

SplitLine SplitConfigLine(const std::string& line) {
  SplitLine result;
  size_t first = 0;
  while (first < line.size() && IsBlank(line[first])) first++;
  if (first < line.size() && line[first] == '#') {
    result.kind = LineKind::Comment;
    return result;
  }
  size_t colon = line.find(':');
  if (colon == std::string::npos) return result;
  result.kind = LineKind::Keyed;

  std::string key = line.substr(0, colon);
  TrimTrailingBlanks(key);
  int last = -1;
  if (TakeTrailingNumber(key, last)) {
    int before = -1;
    if (TakeTrailingNumber(key, before)) {
      result.hasI1 = result.hasI2 = true;
      result.i1 = before;
      result.i2 = last;
    } else {
      result.hasI1 = true;
      result.i1 = last;
    }
  }
  result.key = std::move(key);

  size_t value = colon + 1;
  while (value < line.size() && IsBlank(line[value])) value++;
  result.value = line.substr(value);
  return result;
}

bool ParseWholeNumber(std::string_view text, int& value) {
  ValueScanner scanner(text);
  int number = 0;
  if (text.empty() || IsBlank(text[0]) || !scanner.Int(number) || !scanner.Rest().empty())
    return false;
  value = number;
  return true;
}

void ValueScanner::SkipBlanks() {
  while (pos_ < text_.size() && IsBlank(text_[pos_])) pos_++;
}

// Where a number starts after an optional sign: the position of its first digit (or
// point), or npos when no sign-and-digit prefix follows. "+" is skipped for from_chars.
size_t ValueScanner::NumberStart(size_t& parseFrom) const {
  size_t pos = pos_;
  parseFrom = pos;
  if (pos < text_.size() && text_[pos] == '+')
    parseFrom = ++pos;
  else if (pos < text_.size() && text_[pos] == '-')
    pos++;
  return pos < text_.size() ? pos : std::string_view::npos;
}

bool ValueScanner::Int(int& value) {
  SkipBlanks();
  size_t from = 0;
  size_t digit = NumberStart(from);
  if (digit == std::string_view::npos || !IsDigit(text_[digit])) return false;
  int number = 0;
  auto [end, ec] = std::from_chars(text_.data() + from, text_.data() + text_.size(), number);
  if (ec != std::errc()) return false;
  value = number;
  pos_ = end - text_.data();
  return true;
}

bool ValueScanner::Float(float& value) {
  SkipBlanks();
  size_t from = 0;
  size_t digit = NumberStart(from);
  if (digit == std::string_view::npos) return false;
  bool point = text_[digit] == '.' && digit + 1 < text_.size() && IsDigit(text_[digit + 1]);
  if (!IsDigit(text_[digit]) && !point) return false;
  float number = 0;
  auto [end, ec] = std::from_chars(text_.data() + from, text_.data() + text_.size(), number,
                                   std::chars_format::general);
  if (ec != std::errc() || !std::isfinite(number)) return false;
  value = number;
  pos_ = end - text_.data();
  return true;
}

bool ValueScanner::Char(char& value) {
  SkipBlanks();
  if (pos_ >= text_.size()) return false;
  value = text_[pos_++];
  return true;
}

bool ValueScanner::Word(std::string& value) {
  SkipBlanks();
  size_t start = pos_;
  while (pos_ < text_.size() && !IsBlank(text_[pos_])) pos_++;
  value.assign(text_.substr(start, pos_ - start));
  return pos_ > start;
}

bool ValueScanner::IntWord(int& value) {
  std::string word;
  return Word(word) && ParseWholeNumber(word, value);
}

bool ValueScanner::FloatWord(float& value) {
  std::string word;
  if (!Word(word)) return false;
  ValueScanner scanner(word);
  float number = 0;
  if (!scanner.Float(number) || !scanner.Rest().empty()) return false;
  value = number;
  return true;
}

void ValueScanner::Skip(size_t count) { pos_ = std::min(text_.size(), pos_ + count); }

bool ValueScanner::Literal(char c) {
  if (pos_ >= text_.size() || text_[pos_] != c) return false;
  pos_++;
  return true;
}

bool ValueScanner::AtEnd() {
  SkipBlanks();
  return pos_ >= text_.size();
}

std::string FormatFixed(float value, int decimals) {
  char buffer[400];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                 std::chars_format::fixed, decimals);
  if (ec != std::errc()) return "0";
  return std::string(buffer, end);
}

std::string FormatRoundTrip(float value, int decimals) {
  // Fixed decimals as long as they are readable; a very small value that twelve decimals do
  // not hold gets the shortest text that reads back as it, in exponent form if need be.
  for (int digits = decimals; digits <= std::max(decimals, 12); digits++) {
    std::string text = FormatFixed(value, digits);
    float back = 0;
    std::from_chars(text.data(), text.data() + text.size(), back);
    if (back == value) return text;
  }
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (ec != std::errc()) return FormatFixed(value, decimals);
  return std::string(buffer, end);
}

std::string FormatRoundTripWidth(float value, int width, int decimals) {
  std::string text = FormatRoundTrip(value, decimals);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}
