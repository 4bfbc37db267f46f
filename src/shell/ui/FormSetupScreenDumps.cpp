#include "shell/ui/FormSetupScreenDumps.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "patches/ui/PatchForm.h"
#include "shell/RunSettings.h"
#include "shell/ui/QtText.h"

namespace {

// "JPEG files (*.jpg)|*.jpg|..." as Qt's filter list "JPEG files (*.jpg);;...".
QString QtFilter(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList names;
  for (int i = 0; i < parts.size(); i += 2) names << parts[i];
  return names.join(";;");
}

std::optional<std::string> ShowSaveDialog(QWidget* parent, const QString& caption,
                                          const QString& filter, const QString& extension) {
  QFileDialog dialog(parent, caption, QString(), QtFilter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(extension.startsWith('.') ? extension.mid(1) : extension);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return ToText(dialog.selectedFiles().first());
}

}  // namespace

TFormSetupScreenDumps::TFormSetupScreenDumps(QWidget* parent) : QDialog(parent) {
  setObjectName("FormSetupScreenDumps");
  setWindowTitle("Screen dumps");
  // Texts the interface text patches may replace.
  auto* texts = new QWidget(this);
  texts->setVisible(false);
  auto addText = [&](const char* name, const char* text) {
    auto* label = new QLabel(text, texts);
    label->setObjectName(name);
  };
  addText("LabelGraphicsFilter",
          "JPEG files (*.jpg)|*.jpg|Bitmap files (*.bmp)|*.bmp|All files (*.*)|*.*");
  addText("LabelFormCaption", "Screen dumps");

  EditInterval = new QLineEdit("120", this);
  EditInterval->setObjectName("EditInterval");
  LabelPattern = new QLabel(this);
  LabelPattern->setObjectName("LabelPattern");
  BitBtnPattern = new QPushButton("File name pattern ...", this);
  BitBtnPattern->setObjectName("BitBtnPattern");
  BitBtnOK = new QPushButton("OK", this);
  BitBtnOK->setObjectName("BitBtnOK");
  BitBtnOK->setDefault(true);
  BitBtnCancel = new QPushButton("Cancel", this);
  BitBtnCancel->setObjectName("BitBtnCancel");

  auto* grid = new QGridLayout(this);
  auto* every = new QLabel("Every", this);
  every->setObjectName("LabelEvery");
  auto* unit = new QLabel("simulation steps", this);
  unit->setObjectName("LabelUnit");
  grid->addWidget(every, 0, 0);
  grid->addWidget(EditInterval, 0, 1);
  grid->addWidget(unit, 0, 2);
  grid->addWidget(LabelPattern, 1, 0, 1, 3);
  grid->addWidget(BitBtnPattern, 2, 0);
  grid->addWidget(BitBtnOK, 2, 1);
  grid->addWidget(BitBtnCancel, 2, 2);
  connect(BitBtnPattern, &QPushButton::clicked, this, &TFormSetupScreenDumps::BitBtnPatternClick);
  connect(BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::string TFormSetupScreenDumps::LabelText(const char* name) const {
  const auto* label = findChild<QLabel*>(name);
  return label ? ToText(label->text()) : std::string();
}

void TFormSetupScreenDumps::BitBtnPatternClick() {
  const QString filter = FromText(LabelText("LabelGraphicsFilter"));
  const std::optional<std::string> chosen =
      saveDialog_ ? saveDialog_(windowTitle(), filter, ".jpg")
                  : ShowSaveDialog(this, windowTitle(), filter, ".jpg");
  if (chosen && !chosen->empty()) {
    pattern_ = *chosen;
  } else {
    const std::string directory =
        currentDirectory_ ? currentDirectory_() : ToText(QDir::currentPath());
    pattern_ = directory + "/.bmp";
  }
  LabelPattern->setText(FromText(pattern_));
}

bool TFormSetupScreenDumps::Execute() {
  if (firstShow_) {
    firstShow_ = false;
    // The caption comes from a text label: the interface text patches go first.
    PatchForm(this);
    setWindowTitle(FromText(LabelText("LabelFormCaption")));
  }
  BitBtnPatternClick();
  return exec() == QDialog::Accepted;
}

int TFormSetupScreenDumps::Interval() const {
  // A negative interval would never come due: dumps stay off.
  return std::max(ScanInteger(ToText(EditInterval->text())).value_or(0), 0);
}

int ToggleScreenDumps(int screenDumpEvery, TFormSetupScreenDumps& dialog, std::string& pattern) {
  if (screenDumpEvery > 0) return 0;
  if (!dialog.Execute()) return 0;
  pattern = dialog.Pattern();
  return dialog.Interval();
}
