#include "shell/ui/FormSplash.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/ProgramIdentity.h"

TFormSplash::TFormSplash(QWidget* parent) : QDialog(parent) {
  setObjectName("FormSplash");
  setWindowTitle("U-KA-DOV");
  LabelProgramName = new QLabel("U-KA-DOV", this);
  LabelProgramName->setObjectName("LabelProgramName");
  QFont large = LabelProgramName->font();
  large.setPointSize(large.pointSize() * 2);
  large.setBold(true);
  LabelProgramName->setFont(large);
  LabelVersion = new QLabel(this);
  LabelVersion->setObjectName("LabelVersion");
  auto* description = new QLabel("Microscopic traffic simulation of freeway stretches", this);
  description->setObjectName("LabelDescription");
  BitBtnOK = new QPushButton("OK", this);
  BitBtnOK->setObjectName("BitBtnOK");
  BitBtnOK->setVisible(false);
  connect(BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BitBtnOK);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 24, 24, 16);
  layout->addWidget(LabelProgramName, 0, Qt::AlignHCenter);
  layout->addWidget(description, 0, Qt::AlignHCenter);
  layout->addWidget(LabelVersion, 0, Qt::AlignHCenter);
  layout->addLayout(buttons);
  SetProgram("U-KA-DOV", BuiltProgramVersion());
}

void TFormSplash::SetProgram(const QString& programName, const ProgramVersion& version) {
  LabelProgramName->setText(programName);
  LabelVersion->setText(
      QString("Version %1.%2, build %3").arg(version.Major).arg(version.Minor).arg(version.Build));
}

void TFormSplash::ShowAbout() {
  BitBtnOK->setVisible(true);
  exec();
  BitBtnOK->setVisible(false);
}
