#include "shell/ui/PageSettings.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "shell/RunSettings.h"
#include "shell/ui/QtText.h"

namespace {

QComboBox* MakeCombo(const char* name, const std::vector<std::string>& entries, bool editable,
                     QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  for (const std::string& entry : entries) combo->addItem(FromText(entry));
  combo->setEditable(editable);
  if (editable) combo->setInsertPolicy(QComboBox::NoInsert);
  return combo;
}

// Puts the filtered text back into a line edit with the caret at its end.
void ApplyFilter(QLineEdit* edit, const FilteredField& field) {
  edit->setText(FromText(field.Text));
  edit->setCursorPosition(static_cast<int>(field.Text.size()));
}

bool AskCalibrationBox(QWidget* parent) {
  return QMessageBox::question(parent, "Are you sure ?",
                               "Only the original values are calibrated and validated.\n"
                               "Changing these values is not recommended.\n"
                               "Do you want to continue ?",
                               QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

}  // namespace

TPageSettings::TPageSettings(QWidget* parent) : QWidget(parent) {
  setObjectName("PageSettings");
  ComboBoxStepsPerSecond = MakeCombo("ComboBoxStepsPerSecond", kStepsPerSecondEntries, false, this);
  EditRandomSeed = new QLineEdit(this);
  EditRandomSeed->setObjectName("EditRandomSeed");
  EditRandomSeed->installEventFilter(this);
  ComboBoxDetectorStart = MakeCombo("ComboBoxDetectorStart", kDetectorStartEntries, true, this);
  ComboBoxDetectorRepeat = MakeCombo("ComboBoxDetectorRepeat", kDetectorRepeatEntries, true, this);
  EditStopAt = new QLineEdit(this);
  EditStopAt->setObjectName("EditStopAt");

  auto* form = new QFormLayout(this);
  auto addRow = [&](const char* name, const char* caption, QWidget* field, const char* unit) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    auto* row = new QWidget(this);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->addWidget(field);
    if (*unit) rowLayout->addWidget(new QLabel(unit, row));
    rowLayout->addStretch();
    form->addRow(label, row);
  };
  addRow("LabelStepsPerSecond", "Simulation steps per second", ComboBoxStepsPerSecond, "");
  addRow("LabelRandomSeed", "Random seed", EditRandomSeed, "");
  addRow("LabelDetectorStart", "First detector output at", ComboBoxDetectorStart, "s");
  addRow("LabelDetectorRepeat", "Detector output every", ComboBoxDetectorRepeat, "s");
  addRow("LabelStopAt", "Stop simulation at", EditStopAt, "s");

  connect(ComboBoxStepsPerSecond, &QComboBox::activated, this,
          &TPageSettings::ComboBoxStepsPerSecondChange);
  connect(EditRandomSeed, &QLineEdit::textEdited, this, &TPageSettings::EditRandomSeedChange);
  connect(EditStopAt, &QLineEdit::textEdited, this, &TPageSettings::EditStopAtChange);
  for (QComboBox* combo : {ComboBoxDetectorStart, ComboBoxDetectorRepeat}) {
    connect(combo, &QComboBox::activated, this, &TPageSettings::ComboBoxDetectorChange);
    connect(combo->lineEdit(), &QLineEdit::textEdited, this,
            &TPageSettings::ComboBoxDetectorChange);
  }
}

void TPageSettings::SetConfig(KDConfig* config) {
  config_ = config;
  calibrationAccepted_ = false;
  ShowValues();
}

void TPageSettings::ShowValues() {
  if (!config_) return;
  showing_ = true;
  ComboBoxStepsPerSecond->setCurrentIndex(StepsPerSecondEntry(config_->TimeStep()));
  EditRandomSeed->setText(QString::number(config_->Seed()));
  ComboBoxDetectorStart->setEditText(QString::number(config_->DetectorTime(0)));
  ComboBoxDetectorRepeat->setEditText(QString::number(ShownDetectorRepeat(*config_)));
  EditStopAt->setText(QString::number(config_->MaxTime()));
  showing_ = false;
}

void TPageSettings::ShowStopTime(int seconds) {
  showing_ = true;
  EditStopAt->setText(QString::number(seconds));
  showing_ = false;
}

void TPageSettings::Changed(const std::string& undoLabel) {
  if (recordUndo_) recordUndo_(undoLabel);
}

void TPageSettings::Beep() {
  if (beep_)
    beep_();
  else
    QApplication::beep();
}

void TPageSettings::ComboBoxStepsPerSecondChange(int index) {
  if (!config_ || showing_ || index < 0) return;
  if (!calibrationAccepted_) {
    const bool ok = askCalibration_ ? askCalibration_() : AskCalibrationBox(this);
    if (!ok) {
      ShowValues();
      return;
    }
    calibrationAccepted_ = true;
  }
  const float timeStep = 1.0f / (index + 1);
  if (timeStep == config_->TimeStep()) return;
  Changed("simulation steps per second");
  config_->SetTimeStep(timeStep);
  if (changed_) changed_();
}

void TPageSettings::EditRandomSeedChange(const QString& text) {
  if (!config_ || showing_) return;
  const FilteredField field = KeepLeadingDigits(ToText(text));
  if (field.Refused) {
    Beep();
    ApplyFilter(EditRandomSeed, field);
  }
  if (const std::optional<int> seed = SeedToStore(field.Text, config_->Seed())) {
    Changed("random seed");
    config_->SetSeed(*seed);
    if (changed_) changed_();
  }
}

void TPageSettings::EditRandomSeedExit() {
  if (!config_ || SeedFieldAcceptable(ToText(EditRandomSeed->text()))) return;
  EditRandomSeed->setText(QString::number(config_->Seed()));
  Beep();
  UserMessage(ReportKind::Error, "Error", SeedAdjustedMessage(config_->Seed()));
  EditRandomSeed->setFocus();
}

void TPageSettings::ComboBoxDetectorChange() {
  if (!config_ || showing_) return;
  for (QComboBox* combo : {ComboBoxDetectorStart, ComboBoxDetectorRepeat}) {
    const FilteredField field = KeepLeadingDigits(ToText(combo->currentText()));
    if (!field.Refused) continue;
    Beep();
    ApplyFilter(combo->lineEdit(), field);
  }
  const std::optional<DetectorTimes> times =
      DetectorTimesToStore(ToText(ComboBoxDetectorStart->currentText()),
                           ToText(ComboBoxDetectorRepeat->currentText()), *config_);
  if (!times) return;
  Changed("detector time");
  config_->SetDetectorTimes(times->First, times->Repeat);
  if (changed_) changed_();
}

void TPageSettings::EditStopAtChange(const QString& text) {
  if (!config_ || showing_) return;
  const FilteredField field = FilterStopTime(ToText(text));
  if (field.Refused) {
    Beep();
    ApplyFilter(EditStopAt, field);
  }
  if (const std::optional<int> time = StopTimeToStore(field.Text, *config_)) {
    Changed("stop simulation time");
    config_->SetMaxTime(*time);
    if (changed_) changed_();
  }
}

bool TPageSettings::eventFilter(QObject* watched, QEvent* event) {
  if (watched == EditRandomSeed && event->type() == QEvent::FocusOut) EditRandomSeedExit();
  return QWidget::eventFilter(watched, event);
}
