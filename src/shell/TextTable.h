#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

// The text table: nearly every user-visible text (messages, captions, format strings, dialog
// filters) is kept under the name of an invisible label of the main window, so interface text
// patches can replace it. Code fetches texts by label name; the table starts with the program's
// own default texts. The desktop program shows each entry as a hidden label of the same object
// name and copies patched captions back here.
class TextTable {
 public:
  TextTable();

  /// The text of `label`; an unknown label is a program error and gives "".
  const std::string& Text(const std::string& label) const;
  bool Has(const std::string& label) const { return texts_.count(label) != 0; }

  /// Replaces the text of a known label (interface text patches); unknown labels are rejected.
  void SetText(const std::string& label, const std::string& text);

  /// All entries in label name order.
  std::vector<std::pair<std::string, std::string>> Entries() const;

 private:
  std::map<std::string, std::string> texts_;
};

/// Fills the "%s" directives of a text-table format with `values` in order; "%%" gives "%". Any
/// other directive, and any "%s" beyond the values, is copied as it stands, so a patched text can
/// never make the formatting read a missing argument.
std::string FillStringDirectives(const std::string& format, const std::vector<std::string>& values);
