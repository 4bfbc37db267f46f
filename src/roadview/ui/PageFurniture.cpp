#include "roadview/ui/PageFurniture.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/RoadEditing.h"
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

TPageDetectors::TPageDetectors(TrafficPageHost host, QWidget* parent)
    : QWidget(parent), host_(std::move(host)) {
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

  connect(ComboBoxCurrentDetector, &QComboBox::activated, this, &TPageDetectors::ChooseDetector);
  connect(EditDetectorPosition, &QLineEdit::textEdited, this, &TPageDetectors::PositionChange);
  connect(EditDetectorPosition, &QLineEdit::returnPressed, this, [this] {
    if (BitBtnMoveDetector->isVisible()) BitBtnMoveDetector->click();
  });
  connect(EditEvery, &QLineEdit::textChanged, this, &TPageDetectors::EveryChange);
  connect(BitBtnNewDetector, &QPushButton::clicked, this, &TPageDetectors::NewClick);
  connect(BitBtnRemoveDetector, &QPushButton::clicked, this, [this] {
    const int d = Chosen();
    if (d < 0 || d >= host_.config().DetectorCount()) return;
    ListCommand(
        host_.text("LabelRemoveDetector"), [d](KDConfig& c) { c.DeleteDetector(d); },
        [this, d] { return std::min(d, host_.config().DetectorCount() - 1); });
  });
  connect(BitBtnDeleteAllDetectors, &QPushButton::clicked, this, [this] {
    if (host_.config().DetectorCount() == 0) return;
    ListCommand(
        host_.text("LabelDeleteAllDetectors"),
        [](KDConfig& c) {
          for (int d = c.DetectorCount() - 1; d >= 0; --d) c.DeleteDetector(d);
        },
        [] { return -1; });
  });
  connect(BitBtnMoveDetector, &QPushButton::clicked, this, [this] {
    int p = 0;
    if (!DetectorPositionUsable(host_.config(), ToText(EditDetectorPosition->text()), p)) return;
    MoveTo(p);
  });
  connect(BitBtnEveryN, &QPushButton::clicked, this, [this] {
    int n = 0;
    if (!EveryDistanceUsable(host_.config(), ToText(EditEvery->text()), n)) return;
    ListCommand(
        host_.text("LabelAddDetectors"), [n](KDConfig& c) { AddDetectorsEvery(c, n); },
        [this] { return Chosen(); });
  });
  connect(BitBtnCenteredInSections, &QPushButton::clicked, this, [this] {
    ListCommand(host_.text("LabelAddDetectors"), AddDetectorsCentred, [this] { return Chosen(); });
  });
}

void TPageDetectors::ListCommand(const std::string& undoLabel,
                                 const std::function<void(KDConfig&)>& change,
                                 const std::function<int()>& chosen) {
  host_.recordUndo(undoLabel);
  change(host_.config());
  host_.changed();
  ChooseDetector(chosen());
}

void TPageDetectors::ChooseDetector(int d) {
  const int count = host_.config().DetectorCount();
  if (d >= count) d = count - 1;
  ShowDetector(d);
  host_.highlight(d >= 0 ? MakeRoadDrawFlags(RoadDrawKind::Detector, d + 1) : 0);
}

void TPageDetectors::NewClick() {
  KDConfig& config = host_.config();
  const int p = FirstFreeDetectorPosition(config);
  if (p >= config.Length() || !config.DetectorPositionValid(p)) return;
  host_.recordUndo(host_.text("LabelNewDetector"));
  config.AddDetector(p);
  host_.changed();
  ChooseDetector(DetectorAt(host_.config(), p));
  // The user types the wanted position and presses Move.
  EditDetectorPosition->setFocus();
  EditDetectorPosition->selectAll();
}

void TPageDetectors::MoveTo(int position) {
  KDConfig& config = host_.config();
  const int d = Chosen();
  if (d < 0 || d >= config.DetectorCount()) return;
  if (position <= 0 || position >= config.Length() || DetectorAt(config, position) >= 0 ||
      !config.DetectorPositionValid(position))
    return;
  host_.recordUndo(host_.text("LabelMoveDetector"));
  const int moved = MoveDetector(config, d, position);
  host_.changed();
  if (moved >= 0) ChooseDetector(moved);
}

bool TPageDetectors::RoadMouseDown(int x, int y, Qt::MouseButton button, QPoint screen) {
  dragging_ = false;
  const KDConfig& config = host_.config();
  const int d = DetectorLabelAt(host_.areas(), MaxLane(), x, y);
  if (d < 0) return false;
  ChooseDetector(d);
  host_.status("Detector " + std::to_string(d + 1) + " -> " +
               std::to_string(config.DetectorPosition(d)) + "m");
  if (button == Qt::RightButton) {
    int value = 0;
    if (!host_.askValue(screen.x(), screen.y(), config.DetectorPosition(d), 1, config.Length(),
                        "Enter new position", "Set detector position", value))
      return true;
    const int other = DetectorAt(host_.config(), value);
    if (other >= 0 && other != d) {
      UserMessage(ReportKind::Warning, "Error",
                  "New position coincides with another detector; position unchanged");
      return true;
    }
    EditDetectorPosition->setText(QString::number(value));
    MoveTo(value);
    return true;
  }
  if (button == Qt::LeftButton) {
    dragging_ = true;
    dragDetector_ = d;
    downX_ = x;
  }
  return true;
}

// The dragged label keeps its offset from the press: the detector moves by the metres the
// mouse moved.
int TPageDetectors::DraggedPosition(int x) const {
  const RoadViewport view = host_.viewport();
  return PixelToPosition(view, x) + host_.config().DetectorPosition(dragDetector_) -
         PixelToPosition(view, downX_);
}

bool TPageDetectors::RoadMouseDrag(int x) {
  if (!dragging_) return false;
  host_.status("Detector " + std::to_string(dragDetector_ + 1) + " -> " +
               std::to_string(DraggedPosition(x)) + "m");
  return true;
}

bool TPageDetectors::RoadMouseUp(int x) {
  if (!dragging_) return false;
  dragging_ = false;
  const int p = DraggedPosition(x);
  const KDConfig& config = host_.config();
  if (p <= 0 || p >= config.Length() || DetectorAt(config, p) >= 0) return true;
  EditDetectorPosition->setText(QString::number(p));
  MoveTo(p);
  return true;
}

void TPageDetectors::SetProgramMode(int programMode) {
  BitBtnCenteredInSections->setVisible(programMode == DOVEL);
}

int TPageDetectors::Chosen() const { return ComboBoxCurrentDetector->currentIndex(); }

void TPageDetectors::RebuildList() {
  const KDConfig& config = host_.config();
  const int chosen = Chosen();
  const QSignalBlocker block(ComboBoxCurrentDetector);
  ComboBoxCurrentDetector->clear();
  for (int d = 0; d < config.DetectorCount(); ++d)
    ComboBoxCurrentDetector->addItem(QString("Detector %1").arg(d + 1));
  ComboBoxCurrentDetector->setCurrentIndex(std::min(chosen, config.DetectorCount() - 1));
}

void TPageDetectors::ShowDetector(int d) {
  const KDConfig& config = host_.config();
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
      Chosen() >= 0 &&
      DetectorPositionUsable(host_.config(), ToText(EditDetectorPosition->text()), p));
}

void TPageDetectors::EveryChange() {
  int n = 0;
  BitBtnEveryN->setEnabled(EveryDistanceUsable(host_.config(), ToText(EditEvery->text()), n));
}

// ---- Traffic control -------------------------------------------------------------------------

TPageTrafficControl::TPageTrafficControl(TrafficPageHost host, QWidget* parent)
    : QWidget(parent), host_(std::move(host)) {
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
          &TPageTrafficControl::ChooseLight);
  connect(EditTrafficLightPosition, &QLineEdit::textChanged, this, [this] {
    if (!filling_) TrafficLightChange();
  });
  connect(ComboBoxTrafficLightLane, &QComboBox::activated, this, [this] { TrafficLightChange(); });
  connect(BitBtnTrafficLightNew, &QPushButton::clicked, this, &TPageTrafficControl::NewClick);
  connect(BitBtnTrafficLightApply, &QPushButton::clicked, this, &TPageTrafficControl::ApplyClick);
  connect(BitBtnTrafficLightDelete, &QPushButton::clicked, this, &TPageTrafficControl::RemoveClick);
  connect(BitBtnTrafficLightDeleteAll, &QPushButton::clicked, this,
          &TPageTrafficControl::DeleteAllClick);
}

void TPageTrafficControl::ChooseLight(int n) {
  if (n >= host_.config().TrafficLightCount()) n = -1;
  ShowLight(n);
  host_.highlight(n >= 0 ? MakeRoadDrawFlags(RoadDrawKind::TrafficLight, n + 1) : 0);
}

void TPageTrafficControl::NewClick() {
  KDConfig& config = host_.config();
  const int i = FirstFreeLightPosition(config);
  if (i >= config.Length()) return;
  LightFields fields;
  const bool numbers = ReadFields(fields) ||
                       // the position field may be empty: only the times count here
                       (EditTrafficLightPosition->setText("1"), ReadFields(fields));
  fields.position = i;
  fields.lane = std::max(ComboBoxTrafficLightLane->currentIndex(), 0);
  if (!numbers || !LightFieldsProblem(config, -1, fields).empty()) {
    // Times that are no numbers or do not add up start from the usual ones.
    LightFields usual;
    usual.position = i;
    usual.lane = fields.lane;
    fields = usual;
  }
  if (!LightFieldsProblem(config, -1, fields).empty()) return;
  host_.recordUndo(host_.text("LabelNewTrafficLight"));
  config.AddTrafficLight("", fields.position, fields.lane, config.TrafficLightCount(), fields.cycle,
                         fields.green, fields.yellow, fields.offset);
  host_.changed();
  ChooseLight(host_.config().TrafficLightCount() - 1);
  EditTrafficLightPosition->setFocus();
  EditTrafficLightPosition->selectAll();
  BitBtnTrafficLightApply->setEnabled(false);
}

void TPageTrafficControl::ApplyClick() {
  KDConfig& config = host_.config();
  const int n = Chosen();
  if (n < 0 || n >= config.TrafficLightCount()) return;
  LightFields fields;
  if (!ReadFields(fields) || !LightFieldsProblem(config, n, fields).empty()) return;
  host_.recordUndo(host_.text("LabelChangeTrafficLight"));
  config.ModifyTrafficLight(n, config.TrafficLightController(n), fields.position, fields.lane,
                            config.TrafficLightNumber(n), fields.cycle, fields.green, fields.yellow,
                            fields.offset);
  host_.changed();
  ChooseLight(n);
  BitBtnTrafficLightApply->setEnabled(false);
}

void TPageTrafficControl::RemoveClick() {
  const int n = Chosen();
  if (n < 0 || n >= host_.config().TrafficLightCount()) return;
  host_.recordUndo(host_.text("LabelDeleteTrafficLight"));
  host_.config().DeleteTrafficLight(n);
  host_.changed();
  ChooseLight(-1);
}

void TPageTrafficControl::DeleteAllClick() {
  if (host_.config().TrafficLightCount() == 0) return;
  host_.recordUndo(host_.text("LabelDeleteTrafficLight"));
  KDConfig& config = host_.config();
  while (config.TrafficLightCount() > 0) config.DeleteTrafficLight(0);
  host_.changed();
  ChooseLight(-1);
}

// Every press on the road belongs to this page: it picks the last light drawn under it.
bool TPageTrafficControl::RoadMouseDown(int x, int y, Qt::MouseButton, QPoint) {
  const KDConfig& config = host_.config();
  const RoadViewport view = host_.viewport();
  for (int n = config.TrafficLightCount() - 1; n >= 0; --n) {
    if (TrafficLightPicked(view, config.TrafficLightPosition(n), config.TrafficLightLane(n), x,
                           y)) {
      ChooseLight(n);
      return true;
    }
  }
  return true;
}

int TPageTrafficControl::Chosen() const { return ComboBoxCurrentTrafficLight->currentIndex(); }

void TPageTrafficControl::RebuildList() {
  const KDConfig& config = host_.config();
  const int chosen = Chosen();
  const QSignalBlocker block(ComboBoxCurrentTrafficLight);
  ComboBoxCurrentTrafficLight->clear();
  for (int n = 0; n < config.TrafficLightCount(); ++n)
    ComboBoxCurrentTrafficLight->addItem(FromText(LightListEntry(config, n)));
  ComboBoxCurrentTrafficLight->setCurrentIndex(chosen < config.TrafficLightCount() ? chosen : -1);
}

void TPageTrafficControl::ShowLight(int n) {
  const KDConfig& config = host_.config();
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
  const KDConfig& config = host_.config();
  const int n = std::min(Chosen(), config.TrafficLightCount() - 1);
  BitBtnTrafficLightDelete->setEnabled(n >= 0);
  BitBtnTrafficLightDeleteAll->setEnabled(config.TrafficLightCount() > 0);
  if (n < 0) return;
  LightFields fields;
  if (!ReadFields(fields)) return;
  if (!LightFieldsProblem(config, n, fields).empty()) return;
  BitBtnTrafficLightApply->setEnabled(LightFieldsDiffer(config, n, fields));
}
