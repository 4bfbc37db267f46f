#include "shell/ui/FormValue.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QVBoxLayout>
#include <cstdio>

#include "shell/ui/QtText.h"

bool ValueFieldAccepts(const std::string& text, int minimum, int maximum, int* value) {
  // One number and nothing but blanks after it ("%d %s" yields exactly one item).
  int scanned = 0;
  char rest[8] = {};
  if (text.size() > 64 || std::sscanf(text.c_str(), "%d %7s", &scanned, rest) != 1) return false;
  if (value) *value = scanned;
  return scanned >= minimum && scanned <= maximum;
}

TFormValue::TFormValue(QWidget* parent) : QDialog(parent) {
  setObjectName("FormValue");
  setModal(true);
  LabelPrompt = new QLabel(this);
  LabelPrompt->setObjectName("LabelPrompt");
  LabelRange = new QLabel(this);
  LabelRange->setObjectName("LabelRange");
  MaskEditValue = new QLineEdit(this);
  MaskEditValue->setObjectName("MaskEditValue");
  // Up to six digits, as the edit mask "!999999;0; " allows.
  MaskEditValue->setMaxLength(6);
  MaskEditValue->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[0-9 ]{0,6}"), MaskEditValue));
  BitBtnOK = new QPushButton("OK", this);
  BitBtnOK->setObjectName("BitBtnOK");
  BitBtnOK->setDefault(true);
  BitBtnCancel = new QPushButton("Cancel", this);
  BitBtnCancel->setObjectName("BitBtnCancel");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BitBtnOK);
  buttons->addWidget(BitBtnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(LabelPrompt);
  layout->addWidget(MaskEditValue);
  layout->addWidget(LabelRange);
  layout->addLayout(buttons);
  connect(MaskEditValue, &QLineEdit::textChanged, this, &TFormValue::MaskEditValueChange);
  connect(BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormValue::Prepare(int x, int y, int current, int minimum, int maximum,
                         const std::string& prompt, const std::string& caption) {
  minimum_ = minimum;
  maximum_ = maximum;
  value_ = current;
  setWindowTitle(FromText(caption));
  LabelPrompt->setText(FromText(prompt));
  LabelRange->setText(QString("Allowed range: %1..%2").arg(minimum).arg(maximum));
  MaskEditValue->setText(QString::number(current));
  MaskEditValue->selectAll();
  MaskEditValueChange(MaskEditValue->text());
  adjustSize();
  // Flush with the right screen edge when it would not fit.
  if (const QScreen* screen = QGuiApplication::screenAt(QPoint(x, y))) {
    const int right = screen->availableGeometry().right();
    if (x + width() > right) x = right - width();
  }
  move(x, y);
  MaskEditValue->setFocus();
}

void TFormValue::MaskEditValueChange(const QString& text) {
  int value = 0;
  const bool ok = ValueFieldAccepts(ToText(text), minimum_, maximum_, &value);
  if (ok) value_ = value;
  BitBtnOK->setEnabled(ok);
}

bool AskValue(QWidget* parent, int x, int y, int current, int minimum, int maximum,
              const std::string& prompt, const std::string& caption, int& value) {
  TFormValue dialog(parent);
  dialog.Prepare(x, y, current, minimum, maximum, prompt, caption);
  if (dialog.exec() != QDialog::Accepted) return false;
  value = dialog.Value();
  return true;
}
