#pragma once

#include <istream>
#include <string>
#include <vector>

// Interface text patches: a plain text file next to the executable (the program's name with
// ".tre") replaces captions and hints of the program's windows and moves controls sideways, for
// a translation or a site's own wording. The file holds sections, "[" + a window name + "]";
// a section applies to every window whose name begins with the section's name, in any letter
// case. The lines of a section that applies are patch lines:
//
//   /FormTrajectories/LabelXM:Caption=Distance [km]
//   /FormMain/BitBtnRun:Hint=Start or continue the run
//   /FormMain/BitBtnRun:Left=-20
//
// a "/" and the window's name, one or more "/" component name steps, then ":" property "="
// value. The value is the rest of the line as it stands. Lines before the first section, and
// in sections that apply to no window, are not read. Blank lines and lines starting with ";"
// are skipped.
//
// This part reads the file and takes patch lines apart; the desktop program looks the
// components up by their object names and applies the patches.

/// One patch line with its line number in the file (counted from 1).
struct PatchLine {
  int LineNo = 0;
  std::string Text;
};

class Tree {
 public:
  /// Lines longer than this are read as several lines, the rest of a line continuing as the
  /// next one.
  static constexpr std::size_t kMaxPiece = 9998;

  /// Reads a patch file; false when it cannot be opened (no file means no patches).
  bool ReadFile(const std::string& fileName);
  /// Reads patches from a stream (tests, and ReadFile).
  void Read(std::istream& in);

  /// The patch lines of every section that applies to the window named `window`, in file order.
  std::vector<PatchLine> LinesFor(const std::string& window) const;

  /// True when a section named `section` applies to the window named `window`.
  static bool SectionApplies(const std::string& section, const std::string& window);

 private:
  struct Section {
    bool Valid = false;  // "[" alone names no window
    std::string Name;
    std::vector<PatchLine> Lines;
  };
  std::vector<Section> sections_;
};

enum class PatchProperty { Left, Hint, Caption };

// A patch line taken apart. Looking up the components comes between the path and the
// property, so that a missing component is reported before a malformed property.
struct ParsedPatch {
  std::vector<std::string> Path;  // component names after the window
  std::string PathError;          // empty when the path could be read
  PatchProperty Property = PatchProperty::Caption;
  std::string Value;          // everything after the first "=" of the property
  int Left = 0;               // the number of a Left patch [pixels]
  std::string PropertyError;  // empty when the property and its value could be read
};

/// Takes one patch line apart; errors are the messages the user sees, naming the line.
ParsedPatch ParsePatchLine(const std::string& line);

/// "PatchObject: Cannot find NAME specified in LINE".
std::string MissingComponentMessage(const std::string& name, const std::string& line);

/// True when a patched text takes the same printf values as the text it replaces: the same
/// conversions ("%d", "%s", "%5.1f" all count by their kind and length modifier) in the same
/// order. The program fills its formats with the values of its own texts, so "%s" where a
/// number is passed would read memory it must not.
bool PatchedFormatFits(const std::string& original, const std::string& patched);

/// A Windows-1252 text (the file's code page) as UTF-8.
std::string Windows1252ToUtf8(const std::string& text);

/// The message shown for a caption a component of its kind cannot take.
inline constexpr const char* kPatchRefused = "What's this ?";
