#include "patches/Tree.h"

#include <cctype>
#include <charconv>
#include <sstream>
#include <string>

#include "config/FileRead.h"
#include "config/PrintfFormat.h"

namespace {

bool StartsWithNoCase(const std::string& text, std::size_t at, const char* word) {
  for (std::size_t i = 0; word[i] != '\0'; ++i) {
    if (at + i >= text.size()) return false;
    if (std::tolower(static_cast<unsigned char>(text[at + i])) !=
        std::tolower(static_cast<unsigned char>(word[i])))
      return false;
  }
  return true;
}

// A patch line ends at its first carriage return or line feed.
std::string CutAtLineEnd(const std::string& text) {
  std::size_t end = text.find_first_of("\r\n");
  return end == std::string::npos ? text : text.substr(0, end);
}

}  // namespace

bool PatchedFormatFits(const std::string& original, const std::string& patched) {
  return PrintfConversions(original) == PrintfConversions(patched);
}

bool Tree::ReadFile(const std::string& fileName) {
  // A pipe or a device in the patch file's place is no patch file: it must not hold up the
  // start of the program.
  std::string text;
  std::string error;
  if (!ReadInputFile(fileName, text, error)) return false;
  std::istringstream in(text);
  Read(in);
  return true;
}

void Tree::Read(std::istream& in) {
  sections_.clear();
  int lineNo = 0;
  bool continued = false;
  for (;;) {
    // The file is read in pieces of at most kMaxPiece characters; a longer line goes on in
    // the next piece.
    std::string piece;
    bool any = false;
    bool atLineFeed = false;
    while (piece.size() < kMaxPiece) {
      int c = in.get();
      if (c == std::char_traits<char>::eof()) break;
      any = true;
      if (c == '\n') {
        atLineFeed = true;
        break;
      }
      piece += static_cast<char>(c);
    }
    if (!any) break;
    if (!continued) ++lineNo;
    continued = !atLineFeed && piece.size() == kMaxPiece;
    std::string line = CutAtLineEnd(piece);
    if (!line.empty() && line[0] == '[') {
      // The name lies between "[" and the line's last character, normally "]".
      std::size_t last = line.find_last_not_of(" \t");
      line.resize(last + 1);
      Section section;
      section.Valid = line.size() >= 2;
      if (section.Valid) section.Name = line.substr(1, line.size() - 2);
      sections_.push_back(std::move(section));
      continue;
    }
    if (sections_.empty()) continue;
    if (line.find_first_not_of(" \t") == std::string::npos || line[0] == ';') continue;
    sections_.back().Lines.push_back({lineNo, line});
  }
}

bool Tree::SectionApplies(const std::string& section, const std::string& window) {
  if (section.size() > window.size()) return false;
  for (std::size_t i = 0; i < section.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(section[i])) !=
        std::tolower(static_cast<unsigned char>(window[i])))
      return false;
  return true;
}

std::vector<PatchLine> Tree::LinesFor(const std::string& window) const {
  std::vector<PatchLine> lines;
  for (const Section& section : sections_)
    if (section.Valid && SectionApplies(section.Name, window))
      lines.insert(lines.end(), section.Lines.begin(), section.Lines.end());
  return lines;
}

std::string MissingComponentMessage(const std::string& name, const std::string& line) {
  return "PatchObject: Cannot find " + name + " specified in " + line;
}

ParsedPatch ParsePatchLine(const std::string& line) {
  ParsedPatch patch;
  // The text before the second "/" names the window; it is not examined.
  std::size_t at = line.size() > 1 ? line.find('/', 1) : std::string::npos;
  if (at == std::string::npos) {
    patch.PathError = "PatchObject: Cannot find 2nd '/' in " + line;
    return patch;
  }
  while (at < line.size() && line[at] == '/') {
    std::size_t end = line.find_first_of("/:", at + 1);
    if (end == std::string::npos) {
      patch.PathError = "PatchObject: Cannot find '/' or ':' in " + line;
      return patch;
    }
    patch.Path.push_back(line.substr(at + 1, end - at - 1));
    at = end;
  }
  // line[at] is ":".
  std::size_t equals = line.find('=', at + 1);
  if (equals == std::string::npos) {
    patch.PropertyError = "PatchObject: Cannot find '=' in " + line;
    return patch;
  }
  patch.Value = line.substr(equals + 1);
  const std::size_t property = at + 1;
  if (StartsWithNoCase(line, property, "Left")) {
    patch.Property = PatchProperty::Left;
    // A whole number after optional blanks; what follows it does not matter.
    std::size_t start = patch.Value.find_first_not_of(" \t");
    const char* first =
        patch.Value.data() + (start == std::string::npos ? patch.Value.size() : start);
    const char* last = patch.Value.data() + patch.Value.size();
    if (first < last && *first == '+') ++first;
    auto [end, error] = std::from_chars(first, last, patch.Left);
    if (error != std::errc() || end == first)
      patch.PropertyError = "PatchObject: Cannot convert number in " + line;
  } else if (StartsWithNoCase(line, property, "Hint")) {
    patch.Property = PatchProperty::Hint;
  } else if (StartsWithNoCase(line, property, "Caption")) {
    patch.Property = PatchProperty::Caption;
  } else {
    patch.PropertyError = "PatchObject: Unknown property in " + line;
  }
  return patch;
}

std::string Windows1252ToUtf8(const std::string& text) {
  // Unicode of the bytes 0x80 to 0x9F; the five bytes the code page leaves undefined map to
  // the C1 control of the same value, so every byte survives a round trip.
  static const char16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    char32_t code = byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
    if (code < 0x80) {
      result += static_cast<char>(code);
    } else if (code < 0x800) {
      result += static_cast<char>(0xC0 | (code >> 6));
      result += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      result += static_cast<char>(0xE0 | (code >> 12));
      result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      result += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return result;
}
