#include "shell/ConfigDocument.h"

#include <algorithm>

#include "config/ConfigRW.h"
#include "config/DovelConfig.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "shell/ConfigLoading.h"
#include "shell/TextTable.h"

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), LowerAscii);
  return text;
}

}  // namespace

// ---- Last used files ---------------------------------------------------------------------

bool SameFileName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && LowerCase(a) == LowerCase(b);
}

void LastUsedFiles::Add(const std::string& name) {
  std::erase_if(entries_, [&](const std::string& entry) { return SameFileName(entry, name); });
  while (static_cast<int>(entries_.size()) >= kMaxEntries) entries_.pop_back();
  entries_.insert(entries_.begin(), name);
}

std::vector<int> LastUsedFiles::ShownEntries(const std::string& currentFileName) const {
  std::vector<int> shown;
  for (int i = 0; i < static_cast<int>(entries_.size()); ++i) {
    if (static_cast<int>(shown.size()) >= kMaxShown) break;
    if (!SameFileName(entries_[i], currentFileName)) shown.push_back(i);
  }
  return shown;
}

// ---- Caption and dialogs -----------------------------------------------------------------

std::string ModeBanner(int programMode) {
  return programMode == DOVEL ? "DOVEL - user interface of the external vehicle model"
                              : "KAVRO - microscopic freeway traffic simulator";
}

std::string DocumentCaption(const TextTable& texts, int programMode, const std::string& fileName,
                            bool modified) {
  std::string caption;
  if (modified || !fileName.empty()) {
    caption = texts.Text(programMode == DOVEL ? "LabelDovel" : "LabelKavro");
    caption += fileName.empty() ? texts.Text("LabelUnnamedConfig") : ": " + fileName;
    if (modified) caption += texts.Text("LabelModified");
  } else {
    caption = ModeBanner(programMode);
  }
  return caption + " - " + kAppTitle;
}

FileDialogRequest ConfigFileDialog(const TextTable& texts, int programMode, bool save) {
  if (programMode == DOVEL) {
    if (save) return {true, "DOVEL configuration files (*.dov)|*.DOV|All files (*.*)|*.*", "dov"};
    return {false, "DOVEL configuration files (*.dov)|*.dov|All files (*.*)|*.*", ""};
  }
  return {save, texts.Text("LabelKavroFilter"), save ? "kav" : ".kav"};
}

std::vector<std::pair<std::string, std::string>> SplitDialogFilter(const std::string& filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= filter.size()) {
    size_t bar = filter.find('|', start);
    if (bar == std::string::npos) bar = filter.size();
    parts.push_back(filter.substr(start, bar - start));
    start = bar + 1;
  }
  std::vector<std::pair<std::string, std::string>> result;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string patterns;
    size_t from = 0;
    const std::string& list = parts[i + 1];
    while (from < list.size()) {
      size_t semicolon = list.find(';', from);
      if (semicolon == std::string::npos) semicolon = list.size();
      std::string pattern = list.substr(from, semicolon - from);
      from = semicolon + 1;
      if (pattern.empty()) continue;
      if (pattern == "*.*") pattern = "*";
      if (!patterns.empty()) patterns += ' ';
      patterns += pattern;
      std::string lower = LowerCase(pattern);
      if (lower != pattern) patterns += ' ' + lower;
    }
    result.emplace_back(parts[i], patterns);
  }
  return result;
}

std::string DialogFilterText(const std::string& filter) {
  std::string text;
  for (auto [description, patterns] : SplitDialogFilter(filter)) {
    if (!description.empty() && description.back() == ')') {
      const size_t open = description.rfind('(');
      if (open != std::string::npos) description.erase(open);
      while (!description.empty() && description.back() == ' ') description.pop_back();
    }
    if (!text.empty()) text += ";;";
    text += description + " (" + patterns + ")";
  }
  return text;
}

// ---- The document ------------------------------------------------------------------------

ConfigDocument::ConfigDocument(const TextTable& texts, DocumentHost& host)
    : texts_(texts), host_(host), config_(std::make_unique<KDConfig>()) {
  savedChangeStamp_ = config_->ChangeStamp();
}

ConfigDocument::~ConfigDocument() = default;

void ConfigDocument::ReplaceConfig(std::unique_ptr<KDConfig> config) {
  if (!KAVRO_ASSERT(config != nullptr)) return;
  config_ = std::move(config);
  host_.ConfigurationSwapped();
  SetDocumentName(currentFileName_);
}

bool ConfigDocument::Modified() const { return config_->ChangeStamp() != savedChangeStamp_; }

void ConfigDocument::MarkSaved() { savedChangeStamp_ = config_->ChangeStamp(); }

void ConfigDocument::SetDocumentName(const std::string& name) {
  currentFileName_ = name;
  host_.ShowCaption(DocumentCaption(texts_, ProgramMode(), currentFileName_, Modified()));
}

void ConfigDocument::AddLastUsedFile(const std::string& name) {
  lastUsed_.Add(name);
  host_.LastUsedFilesChanged();
}

bool ConfigDocument::QuerySaveModified() {
  host_.CommitPendingEntry();
  if (!Modified()) return true;
  switch (host_.Ask({"Warning", "Save modified configuration ?", QuestionButtons::YesNoCancel})) {
    case Answer::Yes:
      Save();
      return !Modified();
    case Answer::No:
    case Answer::Ok:
      return true;
    case Answer::Cancel:
      break;
  }
  return false;
}

bool ConfigDocument::New() {
  if (!QuerySaveModified()) return false;
  host_.CommitPendingEntry();
  config_ = NewConfiguration();
  MarkSaved();
  openDialogName_.clear();
  host_.DocumentReplaced(false);
  MarkSaved();
  SetDocumentName("");
  return true;
}

bool ConfigDocument::Open() {
  host_.CommitPendingEntry();
  std::string name = openDialogName_;
  if (!host_.ChooseFile(ConfigFileDialog(texts_, ProgramMode(), false), name)) return false;
  openDialogName_ = name;
  if (!QuerySaveModified()) return false;
  return OpenConfiguration();
}

bool ConfigDocument::OpenConfiguration() {
  const std::string name = openDialogName_;
  // The reader shows what went wrong; the current configuration is replaced only on success.
  if (!ReadCompleteConfig(name, config_)) return false;
  MarkSaved();
  host_.DocumentReplaced(true);
  MarkSaved();
  SetDocumentName(name);
  host_.ShowStatus(texts_.Text("LabelLoadedFile") + " " + name);
  AddLastUsedFile(name);
  return true;
}

bool ConfigDocument::Save() {
  if (currentFileName_.empty()) return SaveAs();
  std::string systemError;
  bool saved = WriteConfig(*config_, currentFileName_, &systemError);
  if (saved) {
    MarkSaved();
  } else {
    UserMessage(
        ReportKind::Error, "Error",
        FillStringDirectives(texts_.Text("LabelCannotWrite"), {currentFileName_, systemError}));
  }
  // A failed save still lists the file: the user meant to work with it.
  AddLastUsedFile(currentFileName_);
  SetDocumentName(currentFileName_);
  return saved;
}

bool ConfigDocument::SaveAs() {
  std::string name = currentFileName_;
  if (!host_.ChooseFile(ConfigFileDialog(texts_, ProgramMode(), true), name)) return false;
  currentFileName_ = name;
  openDialogName_ = name;
  return Save();
}

bool ConfigDocument::OpenLastFile(const std::string& name) {
  if (!QuerySaveModified()) return false;
  openDialogName_ = name;
  return OpenConfiguration();
}

int PrintScale(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0) return 1;
  // Compared crosswise in 64 bits: page height / page width > picture height / picture width.
  bool pageTaller = static_cast<long long>(pageHeight) * pictureWidth >
                    static_cast<long long>(pictureHeight) * pageWidth;
  int scale = pageTaller ? pageWidth / pictureWidth : pageHeight / pictureHeight;
  return scale < 1 ? 1 : scale;
}
