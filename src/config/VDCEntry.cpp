#include "config/VDCEntry.h"

#include <new>

#include "config/ProgramError.h"
#include "config/fg_params.h"
#include "config/fs_params.h"

namespace {

std::string Underscores(std::string text) {
  for (char& c : text) {
    if (c == '_') c = ' ';
  }
  return text;
}

std::string FileNameOf(const std::string& key) {
  const bool prefixed = key.rfind("FS_", 0) == 0 || key.rfind("FG_", 0) == 0;
  return Underscores(prefixed ? key.substr(3) : key);
}

void CopyCaptions(std::span<VDCEntry> table, const LabelCaptionLookup& caption) {
  for (VDCEntry& row : table) {
    if (std::optional<std::string> name = caption(row.nameLabel)) row.displayName = *name;
    if (std::optional<std::string> hint = caption(row.hintLabel)) row.description = *hint;
  }
}

}  // namespace

void FixVDCEntry(std::span<VDCEntry> table) {
  try {
    for (VDCEntry& row : table) {
      if (row.displayName.empty()) row.displayName = Underscores(row.key);
      row.fileName = FileNameOf(row.key);
    }
  } catch (const std::bad_alloc&) {
    FatalError("Out of memory in FixVDCEntry");
  }
}

int FindVDCEntryByFileName(std::span<const VDCEntry> table, const std::string& name) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (size_t i = 0; i < table.size(); ++i) {
    const std::string& fileName = table[i].fileName;
    if (fileName.size() != name.size()) continue;
    bool equal = true;
    for (size_t k = 0; k < name.size() && equal; ++k) equal = lower(fileName[k]) == lower(name[k]);
    if (equal) return static_cast<int>(i);
  }
  return -1;
}

std::string NumericFormat(const VDCEntry& row) {
  const size_t start = row.format.find('%');
  if (start == std::string::npos) return std::string();
  const size_t blank = row.format.find(' ', start);
  return row.format.substr(start, blank == std::string::npos ? std::string::npos : blank - start);
}

void SetupParamTables(const LabelCaptionLookup& caption) {
  if (caption) {
    CopyCaptions(MutableFSParams(), caption);
    CopyCaptions(MutableFGParams(), caption);
  }
  FixVDCEntry(MutableFSParams());
  FixVDCEntry(MutableFGParams());
}
