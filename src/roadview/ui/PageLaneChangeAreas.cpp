#include "roadview/ui/PageLaneChangeAreas.h"

#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <algorithm>

#include "config/KDConfig.h"
#include "config/VDCTypes.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/RoadEditing.h"
#include "shell/ui/QtText.h"

TPageLaneChangeAreas::TPageLaneChangeAreas(TrafficPageHost host, QWidget* parent)
    : QWidget(parent), host_(std::move(host)) {
  setObjectName("PageLaneChangeAreas");
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto addCombo = [this](QWidget* parent, QGridLayout* grid, int row, const char* name,
                         const char* caption) {
    grid->addWidget(new QLabel(caption, parent), row, 0);
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setMinimumWidth(160);
    grid->addWidget(combo, row, 1);
    connect(combo, &QComboBox::activated, this, [this] {
      if (!filling_) ShowAreas();
    });
    return combo;
  };
  // The destination list and its caption travel together between pages 6 and 7; the column of
  // the captions keeps the width of the other captions here.
  sinkList_ = new QWidget(this);
  sinkList_->setObjectName("PanelCurrentSink");
  auto* sinkGrid = new QGridLayout(sinkList_);
  sinkGrid->setContentsMargins(0, 0, 0, 0);
  ComboBoxCurrentSink = addCombo(sinkList_, sinkGrid, 0, "ComboBoxCurrentSink", "Destination");
  ReclaimSinkList();
  ComboBoxLaneChangeArea = addCombo(this, layout, 1, "ComboBoxLaneChangeArea", "Lane change area");
  ComboBoxLaneChangeVehicleType =
      addCombo(this, layout, 2, "ComboBoxLaneChangeVehicleType", "Vehicle type");
  auto addEdit = [this, layout](int row, const char* name, const char* caption, const char* unit) {
    layout->addWidget(new QLabel(caption, this), row, 2);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setMaximumWidth(80);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    edit->installEventFilter(this);
    layout->addWidget(edit, row, 3);
    layout->addWidget(new QLabel(unit, this), row, 4);
    connect(edit, &QLineEdit::editingFinished, this, [this] {
      if (!filling_) Commit(false);
    });
    return edit;
  };
  EditLengthRequired = addEdit(0, "EditLengthRequired", "Required length", "m");
  EditLengthVoluntary = addEdit(1, "EditLengthVoluntary", "Voluntary length", "m");
  EditProbability = addEdit(2, "EditProbability", "Probability", "%");
  BitBtnApplyToAllSinks = new QPushButton("Apply to all", this);
  BitBtnApplyToAllSinks->setObjectName("BitBtnApplyToAllSinks");
  BitBtnApplyToAllSinks->setToolTip(
      "Copy lengths and probabilities of the selected area to the same areas for all other "
      "destinations");
  layout->addWidget(BitBtnApplyToAllSinks, 3, 3, 1, 2);
  layout->setColumnStretch(5, 1);
  connect(BitBtnApplyToAllSinks, &QPushButton::clicked, this, [this] { Commit(true); });
  connect(EditProbability, &QLineEdit::textEdited, this, [this](const QString& text) {
    const QString clean = FromText(CleanProbabilityText(ToText(text)));
    if (clean == text) return;
    const int caret = EditProbability->cursorPosition();
    EditProbability->setText(clean);
    EditProbability->setCursorPosition(std::min(caret, static_cast<int>(clean.size())));
  });
}

// Enter commits the field; editingFinished follows it as well, and a commit that changes
// nothing is ignored.
bool TPageLaneChangeAreas::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (!filling_) Commit(false);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TPageLaneChangeAreas::Show(bool areaPage) {
  areaPage_ = areaPage;
  ShowAreas();
}

void TPageLaneChangeAreas::ShowAreas() {
  Refresh(host_.config());
  const int d = Sink();
  const int a = areaPage_ ? Area() : -1;
  host_.highlight(d >= 0 ? MakeRoadDrawFlags(RoadDrawKind::Destination,
                                             static_cast<std::uint32_t>(d + 1 + 256 * (a + 1)))
                         : 0);
}

void TPageLaneChangeAreas::Commit(bool toAll) {
  if (stopped_) return;
  KDConfig& config = host_.config();
  const int d = Sink();
  const int a = Area();
  AreaEdit edit;
  if (!ReadEdit(edit)) return;
  const int types = std::clamp(config.VDCTypeCount(VDC_KAVRO), 1, MAXVEHICLETYPE);
  if (!toAll && !AreaEditChanges(config, d, a, edit, types)) return;
  if (edit.probability > 100) return;
  host_.recordUndo(host_.text("LabelEditLaneChangeArea"));
  ApplyAreaEdit(host_.config(), d, a, edit, toAll);
  host_.changed();
  ShowAreas();
}

bool TPageLaneChangeAreas::RoadMouseDown(int x, int y, Qt::MouseButton, QPoint) {
  const int destination = DestinationGlyphAt(host_.areas(), x, y);
  if (destination >= 0 && destination < ComboBoxCurrentSink->count()) {
    ComboBoxCurrentSink->setCurrentIndex(destination);
    ShowAreas();
    return true;
  }
  if (!areaPage_) return false;
  Commit(false);
  const int d = Sink();
  const int lane = LaneAtY(y);
  if (d < 0 || lane < 0) return true;
  const int a = AreaAt(host_.config(), d, lane, PixelToPosition(host_.viewport(), x));
  if (a < 0) return true;
  ChooseArea(a);
  ShowAreas();
  return true;
}

int TPageLaneChangeAreas::Sink() const { return ComboBoxCurrentSink->currentIndex(); }
int TPageLaneChangeAreas::Area() const { return ComboBoxLaneChangeArea->currentIndex(); }
int TPageLaneChangeAreas::VehicleType() const {
  return ComboBoxLaneChangeVehicleType->currentIndex() - 1;
}

void TPageLaneChangeAreas::ChooseArea(int area) { ComboBoxLaneChangeArea->setCurrentIndex(area); }

void TPageLaneChangeAreas::ReclaimSinkList() {
  auto* grid = static_cast<QGridLayout*>(layout());
  if (grid->indexOf(sinkList_) >= 0) return;
  grid->addWidget(sinkList_, 0, 0, 1, 2);
  sinkList_->show();
}

bool TPageLaneChangeAreas::ReadEdit(AreaEdit& edit) const {
  if (Sink() < 0 || Area() < 0) return false;
  bool ok1 = false;
  bool ok2 = false;
  AreaEdit e;
  e.required = EditLengthRequired->text().toInt(&ok1);
  e.voluntary = EditLengthVoluntary->text().toInt(&ok2);
  if (!ok1 || !ok2) return false;
  bool ok3 = false;
  const int p = EditProbability->text().toInt(&ok3);
  e.probability = EditProbability->isEnabled() && ok3 ? p : -1;
  e.type = VehicleType();
  edit = e;
  return true;
}

void TPageLaneChangeAreas::Refresh(const KDConfig& config) {
  filling_ = true;
  // Destinations.
  int d = Sink();
  ComboBoxCurrentSink->clear();
  for (int s = 0; s < config.SinkCount(); ++s)
    ComboBoxCurrentSink->addItem(FromText(config.SinkName(s)));
  if (d < 0 && config.SinkCount() > 0) d = 0;
  d = std::min(d, config.SinkCount() - 1);
  ComboBoxCurrentSink->setCurrentIndex(d);
  ComboBoxCurrentSink->setEnabled(config.SinkCount() > 0);
  // Areas.
  int a = Area();
  const int areas = d >= 0 ? config.LaneChangeAreaCount(d) : 0;
  ComboBoxLaneChangeArea->clear();
  for (int i = 0; i < areas; ++i) ComboBoxLaneChangeArea->addItem(QString::number(i + 1));
  if (areas > 0)
    a = std::min(std::max(a, 0), areas - 1);
  else
    a = -1;
  ComboBoxLaneChangeArea->setCurrentIndex(a);
  ComboBoxLaneChangeArea->setEnabled(areas > 0);
  // Vehicle types.
  const int types = std::clamp(config.VDCTypeCount(VDC_KAVRO), 1, MAXVEHICLETYPE);
  int t = ComboBoxLaneChangeVehicleType->currentIndex();
  ComboBoxLaneChangeVehicleType->clear();
  ComboBoxLaneChangeVehicleType->addItem("Any");
  for (int i = 1; i <= types; ++i) ComboBoxLaneChangeVehicleType->addItem(QString::number(i));
  t = a < 0 ? -1 : std::min(std::max(t, 0), types);
  ComboBoxLaneChangeVehicleType->setCurrentIndex(t);
  // Fields.
  const bool area = a >= 0;
  EditLengthRequired->setEnabled(area);
  EditLengthVoluntary->setEnabled(area);
  EditLengthRequired->setText(area ? QString::number(config.LaneChangeAreaLengthRequired(d, a))
                                   : QString());
  EditLengthVoluntary->setText(area ? QString::number(config.LaneChangeAreaLengthVoluntary(d, a))
                                    : QString());
  const bool routeChoice = area && config.LaneChangeAreaRouteChoiceGroup(d, a) != 0;
  ComboBoxLaneChangeVehicleType->setEnabled(routeChoice);
  EditProbability->setEnabled(routeChoice);
  BitBtnApplyToAllSinks->setEnabled(area);
  int p = -1;
  if (area) p = AreaProbabilityShown(config, d, a, t - 1, types);
  EditProbability->setText(p >= 0 ? QString::number(p) : QString());
  filling_ = false;
}
