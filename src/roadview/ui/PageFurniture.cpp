#include "roadview/ui/PageFurniture.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "shell/ui/QtText.h"

namespace {

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

QLineEdit* AddEdit(QWidget* parent, const char* name, int maxLength, const QString& text) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(name);
  edit->setMaxLength(maxLength);
  edit->setMaximumWidth(80);
  return edit;
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

// ---- Detectors -------------------------------------------------------------------------------

TPageDetectors::TPageDetectors(QWidget* parent) : QWidget(parent) {
  setObjectName("PageDetectors");
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(AddLabel(this, "LabelCurrentDetector", "Detector:"), 0, 0);
  ComboBoxCurrentDetector = new QComboBox(this);
  ComboBoxCurrentDetector->setObjectName("ComboBoxCurrentDetector");
  ComboBoxCurrentDetector->setMinimumWidth(120);
  layout->addWidget(ComboBoxCurrentDetector, 0, 1);
  layout->addWidget(AddLabel(this, "LabelDetectorPosition", "Position:"), 0, 2);
  EditDetectorPosition = AddEdit(this, "EditDetectorPosition", 8, QString());
  layout->addWidget(EditDetectorPosition, 0, 3);
  layout->addWidget(AddLabel(this, "LabelDetectorPositionUnit", "m"), 0, 4);
  BitBtnMoveDetector = AddButton(this, "BitBtnMoveDetector", "&Move to new location");
  layout->addWidget(BitBtnMoveDetector, 0, 5);
  BitBtnNewDetector = AddButton(this, "BitBtnNewDetector", "Ne&w");
  BitBtnRemoveDetector = AddButton(this, "BitBtnRemoveDetector", "&Remove");
  BitBtnDeleteAllDetectors = AddButton(this, "BitBtnDeleteAllDetectors", "Delete &All");
  layout->addWidget(BitBtnNewDetector, 1, 1);
  layout->addWidget(BitBtnRemoveDetector, 1, 2, 1, 2);
  layout->addWidget(BitBtnDeleteAllDetectors, 1, 5);
  BitBtnEveryN = AddButton(this, "BitBtnEveryN", "&Insert every");
  layout->addWidget(BitBtnEveryN, 2, 1);
  EditEvery = AddEdit(this, "EditEvery", 8, "500");
  layout->addWidget(EditEvery, 2, 3);
  layout->addWidget(AddLabel(this, "LabelEveryUnit", "m"), 2, 4);
  BitBtnCenteredInSections =
      AddButton(this, "BitBtnCenteredInSections", "Add &centered in sections");
  layout->addWidget(BitBtnCenteredInSections, 2, 5);
  layout->setColumnStretch(6, 1);
  BitBtnMoveDetector->hide();

  connect(ComboBoxCurrentDetector, &QComboBox::activated, this,
          [this](int d) { emit DetectorChosen(d); });
  connect(EditDetectorPosition, &QLineEdit::textEdited, this, &TPageDetectors::PositionChange);
  connect(EditDetectorPosition, &QLineEdit::returnPressed, this, [this] {
    if (BitBtnMoveDetector->isVisible()) BitBtnMoveDetector->click();
  });
  connect(EditEvery, &QLineEdit::textChanged, this, &TPageDetectors::EveryChange);
  connect(BitBtnNewDetector, &QPushButton::clicked, this, [this] { emit NewClick(); });
  connect(BitBtnRemoveDetector, &QPushButton::clicked, this, [this] { emit RemoveClick(); });
  connect(BitBtnDeleteAllDetectors, &QPushButton::clicked, this, [this] { emit DeleteAllClick(); });
  connect(BitBtnMoveDetector, &QPushButton::clicked, this, [this] {
    int p = 0;
    if (!config_ || !DetectorPositionUsable(config_(), ToText(EditDetectorPosition->text()), p))
      return;
    emit MoveClick(p);
  });
  connect(BitBtnEveryN, &QPushButton::clicked, this, [this] {
    int n = 0;
    if (config_ && EveryDistanceUsable(config_(), ToText(EditEvery->text()), n)) emit EveryClick(n);
  });
  connect(BitBtnCenteredInSections, &QPushButton::clicked, this, [this] { emit CentredClick(); });
}

void TPageDetectors::SetProgramMode(int programMode) {
  BitBtnCenteredInSections->setVisible(programMode == DOVEL);
}

int TPageDetectors::Chosen() const { return ComboBoxCurrentDetector->currentIndex(); }

void TPageDetectors::RebuildList() {
  if (!config_) return;
  const KDConfig& config = config_();
  const int chosen = Chosen();
  const QSignalBlocker block(ComboBoxCurrentDetector);
  ComboBoxCurrentDetector->clear();
  for (int d = 0; d < config.DetectorCount(); ++d)
    ComboBoxCurrentDetector->addItem(QString("Detector %1").arg(d + 1));
  ComboBoxCurrentDetector->setCurrentIndex(std::min(chosen, config.DetectorCount() - 1));
}

void TPageDetectors::ShowDetector(int d) {
  if (!config_) return;
  const KDConfig& config = config_();
  RebuildList();
  if (d >= config.DetectorCount()) d = config.DetectorCount() - 1;
  ComboBoxCurrentDetector->setCurrentIndex(d);
  EditDetectorPosition->setText(d >= 0 ? QString::number(config.DetectorPosition(d)) : QString());
  BitBtnRemoveDetector->setEnabled(d >= 0);
  BitBtnDeleteAllDetectors->setEnabled(config.DetectorCount() > 0);
  BitBtnMoveDetector->hide();
  EveryChange();
}

void TPageDetectors::PositionChange() {
  int p = 0;
  BitBtnMoveDetector->setVisible(
      config_ && Chosen() >= 0 &&
      DetectorPositionUsable(config_(), ToText(EditDetectorPosition->text()), p));
}

void TPageDetectors::EveryChange() {
  int n = 0;
  BitBtnEveryN->setEnabled(config_ && EveryDistanceUsable(config_(), ToText(EditEvery->text()), n));
}

// ---- Traffic control -------------------------------------------------------------------------

TPageTrafficControl::TPageTrafficControl(QWidget* parent) : QWidget(parent) {
  setObjectName("PageTrafficControl");
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(AddLabel(this, "LabelCurrentTrafficLight", "Traffic light:"), 0, 0);
  ComboBoxCurrentTrafficLight = new QComboBox(this);
  ComboBoxCurrentTrafficLight->setObjectName("ComboBoxCurrentTrafficLight");
  ComboBoxCurrentTrafficLight->setMinimumWidth(220);
  layout->addWidget(ComboBoxCurrentTrafficLight, 0, 1, 1, 3);
  layout->addWidget(AddLabel(this, "LabelTrafficLightPosition", "Position:"), 1, 0);
  EditTrafficLightPosition = AddEdit(this, "EditTrafficLightPosition", 6, QString());
  layout->addWidget(EditTrafficLightPosition, 1, 1);
  layout->addWidget(AddLabel(this, "LabelTrafficLightPositionUnit", "m"), 1, 2);
  ComboBoxTrafficLightLane = new QComboBox(this);
  ComboBoxTrafficLightLane->setObjectName("ComboBoxTrafficLightLane");
  for (int lane = 1; lane <= 12; ++lane)
    ComboBoxTrafficLightLane->addItem(QString("Lane %1").arg(lane));
  ComboBoxTrafficLightLane->setCurrentIndex(0);
  layout->addWidget(ComboBoxTrafficLightLane, 1, 3);
  const char* const names[4][3] = {{"EditTrafficLightCycleTime", "Cycle time:", "90"},
                                   {"EditTrafficLightGreenTime", "Green time:", "30"},
                                   {"EditTrafficLightYellowTime", "Yellow time:", "3"},
                                   {"EditTrafficLightStartOffset", "Offset:", "0"}};
  QLineEdit** edits[4] = {&EditTrafficLightCycleTime, &EditTrafficLightGreenTime,
                          &EditTrafficLightYellowTime, &EditTrafficLightStartOffset};
  for (int i = 0; i < 4; ++i) {
    layout->addWidget(new QLabel(names[i][1], this), 2 + i, 0);
    *edits[i] = AddEdit(this, names[i][0], i == 3 ? 5 : 3, names[i][2]);
    layout->addWidget(*edits[i], 2 + i, 1);
    layout->addWidget(new QLabel("s", this), 2 + i, 2);
    connect(*edits[i], &QLineEdit::textChanged, this, [this] {
      if (!filling_) TrafficLightChange();
    });
  }
  BitBtnTrafficLightNew = AddButton(this, "BitBtnTrafficLightNew", "&New");
  BitBtnTrafficLightDelete = AddButton(this, "BitBtnTrafficLightDelete", "&Remove");
  BitBtnTrafficLightDeleteAll = AddButton(this, "BitBtnTrafficLightDeleteAll", "Delete all");
  BitBtnTrafficLightApply = AddButton(this, "BitBtnTrafficLightApply", "Apply");
  BitBtnTrafficLightApply->setEnabled(false);
  layout->addWidget(BitBtnTrafficLightNew, 0, 4);
  layout->addWidget(BitBtnTrafficLightDelete, 1, 4);
  layout->addWidget(BitBtnTrafficLightDeleteAll, 2, 4);
  layout->addWidget(BitBtnTrafficLightApply, 3, 4);
  layout->setColumnStretch(5, 1);

  connect(ComboBoxCurrentTrafficLight, &QComboBox::activated, this,
          [this](int n) { emit LightChosen(n); });
  connect(EditTrafficLightPosition, &QLineEdit::textChanged, this, [this] {
    if (!filling_) TrafficLightChange();
  });
  connect(ComboBoxTrafficLightLane, &QComboBox::activated, this, [this] { TrafficLightChange(); });
  connect(BitBtnTrafficLightNew, &QPushButton::clicked, this, [this] { emit NewClick(); });
  connect(BitBtnTrafficLightApply, &QPushButton::clicked, this, [this] { emit ApplyClick(); });
  connect(BitBtnTrafficLightDelete, &QPushButton::clicked, this, [this] { emit RemoveClick(); });
  connect(BitBtnTrafficLightDeleteAll, &QPushButton::clicked, this,
          [this] { emit DeleteAllClick(); });
}

int TPageTrafficControl::Chosen() const { return ComboBoxCurrentTrafficLight->currentIndex(); }

void TPageTrafficControl::RebuildList() {
  if (!config_) return;
  const KDConfig& config = config_();
  const int chosen = Chosen();
  const QSignalBlocker block(ComboBoxCurrentTrafficLight);
  ComboBoxCurrentTrafficLight->clear();
  for (int n = 0; n < config.TrafficLightCount(); ++n)
    ComboBoxCurrentTrafficLight->addItem(FromText(LightListEntry(config, n)));
  ComboBoxCurrentTrafficLight->setCurrentIndex(chosen < config.TrafficLightCount() ? chosen : -1);
}

void TPageTrafficControl::ShowLight(int n) {
  if (!config_) return;
  const KDConfig& config = config_();
  RebuildList();
  if (n >= config.TrafficLightCount()) n = -1;
  ComboBoxCurrentTrafficLight->setCurrentIndex(n);
  if (n < 0) {
    filling_ = true;
    for (QLineEdit* edit :
         {EditTrafficLightPosition, EditTrafficLightCycleTime, EditTrafficLightGreenTime,
          EditTrafficLightYellowTime, EditTrafficLightStartOffset})
      edit->clear();
    filling_ = false;
  } else {
    WriteFields(LightFieldsOf(config, n));
  }
  TrafficLightChange();
}

bool TPageTrafficControl::ReadFields(LightFields& fields) const {
  LightFields f;
  f.lane = ComboBoxTrafficLightLane->currentIndex();
  return ScanPosition(ToText(EditTrafficLightPosition->text()), f.position) &&
         ScanPosition(ToText(EditTrafficLightCycleTime->text()), f.cycle) &&
         ScanPosition(ToText(EditTrafficLightGreenTime->text()), f.green) &&
         ScanPosition(ToText(EditTrafficLightYellowTime->text()), f.yellow) &&
         ScanPosition(ToText(EditTrafficLightStartOffset->text()), f.offset) && (fields = f, true);
}

void TPageTrafficControl::WriteFields(const LightFields& f) {
  filling_ = true;
  EditTrafficLightPosition->setText(QString::number(f.position));
  ComboBoxTrafficLightLane->setCurrentIndex(f.lane);
  EditTrafficLightCycleTime->setText(QString::number(f.cycle));
  EditTrafficLightGreenTime->setText(QString::number(f.green));
  EditTrafficLightYellowTime->setText(QString::number(f.yellow));
  EditTrafficLightStartOffset->setText(QString::number(f.offset));
  filling_ = false;
}

void TPageTrafficControl::TrafficLightChange() {
  BitBtnTrafficLightApply->setEnabled(false);
  if (!config_) return;
  const KDConfig& config = config_();
  const int n = std::min(Chosen(), config.TrafficLightCount() - 1);
  BitBtnTrafficLightDelete->setEnabled(n >= 0);
  BitBtnTrafficLightDeleteAll->setEnabled(config.TrafficLightCount() > 0);
  if (n < 0) return;
  LightFields fields;
  if (!ReadFields(fields)) return;
  if (!LightFieldsProblem(config, n, fields).empty()) return;
  BitBtnTrafficLightApply->setEnabled(LightFieldsDiffer(config, n, fields));
}
