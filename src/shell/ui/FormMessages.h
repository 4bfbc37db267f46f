#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "shell/ConfigDocument.h"

class QPlainTextEdit;
class QPushButton;

// The messages window: kernel warnings and errors of a run (KAVRO mode) and the reports of the
// external model (DOVEL mode) collect here, one line each, until the user erases them; the
// user can save them as a log file. It is made at start-up and kept; a new line shows it.
class TFormMessages : public QWidget {
  Q_OBJECT

 public:
  explicit TFormMessages(QWidget* parent = nullptr);

  /// KAVRO mode renames the window whenever it is shown.
  void SetProgramMode(int mode) { mode_ = mode; }
  /// Appends a line and shows the window (without taking the focus from the main window).
  void AddLine(const std::string& line);
  /// The memo's lines as they stand.
  std::vector<std::string> Lines() const;

  using FileChooser = std::function<bool(const FileDialogRequest&, std::string&)>;
  /// The save dialog; tests answer it.
  void SetFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
  /// A text of the window's own labels, as patched.
  std::string Text(const char* label) const;

  QPlainTextEdit* MemoMessages = nullptr;
  QPushButton* BitBtnErase = nullptr;
  QPushButton* BitBtnSaveMessages = nullptr;

 public slots:
  void BitBtnEraseClick();
  void BitBtnSaveMessagesClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  int mode_ = 0;
  bool shownOnce_ = false;
  std::string filter_;
  std::string lastFile_;
  FileChooser chooser_;
  QWidget* texts_ = nullptr;
};
