#pragma once

#include <memory>
#include <string>
#include <vector>

class KDConfig;
class TextTable;

// The current configuration as a document: its file name, whether it was changed since it was
// last saved or opened, New, Open, Save and Save As with the question whether to save a modified
// configuration, the window caption and the list of last used files.

/// The caption suffix of every window title.
inline constexpr const char* kAppTitle = "U-KA-DOV";

/// The last used files of the File menu, newest first.
class LastUsedFiles {
 public:
  /// Entries kept: the five stored in the settings plus the one just added.
  static constexpr int kMaxEntries = 6;
  /// Entries shown in the File menu at a time.
  static constexpr int kMaxShown = 4;

  /// Puts `name` on top; an entry naming the same file (letter case aside) is removed first.
  void Add(const std::string& name);
  const std::vector<std::string>& Entries() const { return entries_; }
  /// Indexes of the entries the File menu shows while `currentFileName` is open: every entry
  /// except the open file, at most four.
  std::vector<int> ShownEntries(const std::string& currentFileName) const;
  void Clear() { entries_.clear(); }

 private:
  std::vector<std::string> entries_;
};

/// File names compare without regard to letter case (ASCII letters).
bool SameFileName(const std::string& a, const std::string& b);

/// The two banners of an untouched, unnamed configuration, by program mode.
std::string ModeBanner(int programMode);

/// The window caption: mode name, ": " and the file name or " (unnamed configuration)", then
/// " (modified)" when modified; an untouched unnamed configuration shows the mode's banner;
/// " - U-KA-DOV" ends every caption. Texts come from the text table.
std::string DocumentCaption(const TextTable& texts, int programMode, const std::string& fileName,
                            bool modified);

/// What a file dialog offers.
struct FileDialogRequest {
  bool Save = false;
  std::string Filter;            // "description|pattern|description|pattern"
  std::string DefaultExtension;  // "kav", ".kav" or "" for none
};

/// The configuration file dialogs of a program mode.
FileDialogRequest ConfigFileDialog(const TextTable& texts, int programMode, bool save);

/// A "description|pattern|..." filter as a list of (description, patterns) pairs; each pattern
/// is followed by its lower-case form when that differs, since file names on this platform are
/// case sensitive, and "*.*" stands for every file ("*").
std::vector<std::pair<std::string, std::string>> SplitDialogFilter(const std::string& filter);

/// The filter as a file dialog shows it: "description (patterns)" entries separated by ";;".
/// A description that ends in its own pattern list ("... files (*.kav)") shows the full list
/// in its place, so that the entry has one list only.
std::string DialogFilterText(const std::string& filter);

/// A question with its buttons, as a message box asks it.
enum class QuestionButtons { YesNoCancel, OkCancel, YesNo };
enum class Answer { Yes, No, Ok, Cancel };
struct Question {
  std::string Caption;
  std::string Text;
  QuestionButtons Buttons = QuestionButtons::YesNoCancel;
};

// What the document asks of the window around it.
class DocumentHost {
 public:
  virtual ~DocumentHost() = default;
  /// Asks a question with the question icon.
  virtual Answer Ask(const Question& question) = 0;
  /// Shows a file dialog starting at `name`; true with the chosen name in `name`.
  virtual bool ChooseFile(const FileDialogRequest& dialog, std::string& name) = 0;
  /// Moves the keyboard focus away from the page so a pending entry is committed.
  virtual void CommitPendingEntry() = 0;
  /// A new or opened configuration replaced the previous one: undo history, run state,
  /// selection and the windows that show the old one start anew.
  virtual void DocumentReplaced(bool opened) = 0;
  /// Undo or redo swapped the configuration object: whatever points at it follows.
  virtual void ConfigurationSwapped() {}
  virtual void ShowCaption(const std::string& caption) = 0;
  virtual void ShowStatus(const std::string& text) = 0;
  /// The last used files changed.
  virtual void LastUsedFilesChanged() = 0;
};

class ConfigDocument {
 public:
  ConfigDocument(const TextTable& texts, DocumentHost& host);
  ~ConfigDocument();

  /// The current configuration; exists from construction on.
  KDConfig& Config() { return *config_; }
  const KDConfig& Config() const { return *config_; }
  /// Replaces the configuration without asking (undo and redo); keeps the file name.
  void ReplaceConfig(std::unique_ptr<KDConfig> config);

  const std::string& CurrentFileName() const { return currentFileName_; }
  int SavedChangeStamp() const { return savedChangeStamp_; }
  bool Modified() const;
  LastUsedFiles& LastUsed() { return lastUsed_; }
  const LastUsedFiles& LastUsed() const { return lastUsed_; }
  /// The name the open dialog shows next, and OpenConfiguration reads.
  const std::string& OpenDialogName() const { return openDialogName_; }
  void SetOpenDialogName(const std::string& name) { openDialogName_ = name; }

  /// Asks "Save modified configuration ?" when modified; false when the user cancelled or the
  /// save failed, so the asking operation is not carried out.
  bool QuerySaveModified();
  /// File New: a default configuration, unnamed and unmodified.
  bool New();
  /// File Open: the open dialog, then OpenConfiguration.
  bool Open();
  /// Reads the file named by OpenDialogName. On failure the current configuration and its name
  /// stay as they were.
  bool OpenConfiguration();
  /// File Save: Save As for an unnamed configuration.
  bool Save();
  bool SaveAs();
  /// A last used file entry of the File menu.
  bool OpenLastFile(const std::string& name);

  /// Takes `name` as the file name and shows the caption; edits call it with the unchanged name
  /// so the caption follows the modified state.
  void SetDocumentName(const std::string& name);
  /// The configuration counts as saved now.
  void MarkSaved();
  void AddLastUsedFile(const std::string& name);

 private:
  const TextTable& texts_;
  DocumentHost& host_;
  std::unique_ptr<KDConfig> config_;
  std::string currentFileName_;
  std::string openDialogName_;
  int savedChangeStamp_ = 0;
  LastUsedFiles lastUsed_;
};

/// The whole factor a window picture is printed with: the largest (at least 1) for which it fits
/// the page, decided by the width when the page is relatively taller than the picture.
int PrintScale(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight);
