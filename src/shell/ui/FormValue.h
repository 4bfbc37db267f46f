#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

/// The value dialog's check: the whole text is one whole number followed by nothing but
/// blanks, within minimum .. maximum.
bool ValueFieldAccepts(const std::string& text, int minimum, int maximum, int* value = nullptr);

// The small value dialog: a prompt, the allowed range and a field of up to six digits. OK is
// enabled only while the field holds an allowed value.
class TFormValue : public QDialog {
  Q_OBJECT

 public:
  explicit TFormValue(QWidget* parent = nullptr);

  /// Prepares the dialog at screen point (x, y) with `current` selected in the field.
  void Prepare(int x, int y, int current, int minimum, int maximum, const std::string& prompt,
               const std::string& caption);
  /// The last value the field held that scanned as a number.
  int Value() const { return value_; }

  QLabel* LabelPrompt = nullptr;
  QLabel* LabelRange = nullptr;
  QLineEdit* MaskEditValue = nullptr;
  QPushButton* BitBtnOK = nullptr;
  QPushButton* BitBtnCancel = nullptr;

 public slots:
  void MaskEditValueChange(const QString& text);

 private:
  int minimum_ = 0;
  int maximum_ = 0;
  int value_ = 0;
};

/// Shows the value dialog modally; true when it ended with OK, the value in `value`.
bool AskValue(QWidget* parent, int x, int y, int current, int minimum, int maximum,
              const std::string& prompt, const std::string& caption, int& value);
