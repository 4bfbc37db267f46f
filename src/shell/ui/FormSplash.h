#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
struct ProgramVersion;

// The start-up window: shown while the program starts and again, modally, as the About box,
// with the program's name, version and build.
class TFormSplash : public QDialog {
  Q_OBJECT

 public:
  explicit TFormSplash(QWidget* parent = nullptr);

  /// Shows the name and version once they are known.
  void SetProgram(const QString& programName, const ProgramVersion& version);
  /// Shows the window modally with its OK button until the user closes it.
  void ShowAbout();

 private:
  QLabel* LabelProgramName;
  QLabel* LabelVersion;
  QPushButton* BitBtnOK;
};
