#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

// The screen dump set-up dialog: how often a dump is written and the file name pattern of the
// dumps. Each showing starts by asking for the pattern.
class TFormSetupScreenDumps : public QDialog {
  Q_OBJECT

 public:
  /// The save dialog: (caption, filter, default extension) -> the chosen name, none on cancel.
  using SaveDialog =
      std::function<std::optional<std::string>(const QString&, const QString&, const QString&)>;

  explicit TFormSetupScreenDumps(QWidget* parent = nullptr);

  /// Replaces the save dialog (tests).
  void SetSaveDialog(SaveDialog dialog) { saveDialog_ = std::move(dialog); }
  /// The folder an empty pattern falls back to (the working directory).
  void SetCurrentDirectory(std::function<std::string()> directory) {
    currentDirectory_ = std::move(directory);
  }

  /// Asks for the pattern, then shows the dialog modally; true for OK.
  bool Execute();
  /// The interval in steps; 0 when the field does not hold an integer.
  int Interval() const;
  const std::string& Pattern() const { return pattern_; }

  QLineEdit* EditInterval = nullptr;
  QLabel* LabelPattern = nullptr;
  QPushButton* BitBtnPattern = nullptr;
  QPushButton* BitBtnOK = nullptr;
  QPushButton* BitBtnCancel = nullptr;

 public slots:
  /// Chooses the pattern; a cancelled choice dumps into the working directory as 00001.bmp ...
  void BitBtnPatternClick();

 private:
  std::string LabelText(const char* name) const;

  std::string pattern_;
  bool firstShow_ = true;
  SaveDialog saveDialog_;
  std::function<std::string()> currentDirectory_;
};

/// The File menu entry "&Write Screen Dump Files ...": turns dumps on through the dialog, or
/// off when they are on. Returns the new interval (0 = off) and keeps `pattern` up to date.
int ToggleScreenDumps(int screenDumpEvery, TFormSetupScreenDumps& dialog, std::string& pattern);
