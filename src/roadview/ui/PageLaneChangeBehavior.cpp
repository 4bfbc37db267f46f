#include "roadview/ui/PageLaneChangeBehavior.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "roadview/RoadEditing.h"
#include "shell/ui/QtText.h"

namespace {

QLineEdit* AddField(QWidget* parent, QGridLayout* layout, int row, const char* name,
                    const char* caption, const char* unit, const char* value) {
  layout->addWidget(new QLabel(caption, parent), row, 0);
  auto* edit = new QLineEdit(value, parent);
  edit->setObjectName(name);
  edit->setMaximumWidth(80);
  layout->addWidget(edit, row, 1);
  layout->addWidget(new QLabel(unit, parent), row, 2);
  return edit;
}

}  // namespace

TPageLaneChangeBehavior::TPageLaneChangeBehavior(TrafficPageHost host, QWidget* parent)
    : QWidget(parent), host_(std::move(host)) {
  setObjectName("PageLaneChangeBehavior");
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  EditLaneChangeRequired = AddField(this, layout, 0, "EditLaneChangeRequired",
                                    "Required lane change length", "m", "600");
  EditLaneChangeVoluntary = AddField(this, layout, 1, "EditLaneChangeVoluntary",
                                     "Voluntary lane change length", "m", "600");
  EditAddtionalRequiredLength =
      AddField(this, layout, 2, "EditAddtionalRequiredLength",
               "Additional required lane change length", "m / lane", "200");
  BitBtnRebuildLaneChangeAreas = new QPushButton("Rebuild lane change areas", this);
  BitBtnRebuildLaneChangeAreas->setObjectName("BitBtnRebuildLaneChangeAreas");
  BitBtnUpdateLaneChangeAreas = new QPushButton("Update lane change areas", this);
  BitBtnUpdateLaneChangeAreas->setObjectName("BitBtnUpdateLaneChangeAreas");
  layout->addWidget(BitBtnRebuildLaneChangeAreas, 0, 3);
  layout->addWidget(BitBtnUpdateLaneChangeAreas, 1, 3);
  layout->setColumnStretch(4, 1);
  for (QLineEdit* edit :
       {EditLaneChangeRequired, EditLaneChangeVoluntary, EditAddtionalRequiredLength}) {
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textChanged, this, &TPageLaneChangeBehavior::FieldsChange);
  }
  connect(BitBtnRebuildLaneChangeAreas, &QPushButton::clicked, this, [this] { Regenerate(false); });
  connect(BitBtnUpdateLaneChangeAreas, &QPushButton::clicked, this, [this] { Regenerate(true); });
}

void TPageLaneChangeBehavior::Regenerate(bool keepLengths) {
  host_.recordUndo(host_.text("LabelRebuildLaneChangeAreas"));
  const LaneChangeSettings settings = Settings();
  const DebugSink debug = host_.debug;
  if (keepLengths)
    UpdateLaneChangeAreas(host_.config(), settings, debug);
  else
    GenerateLaneChangeAreas(host_.config(), settings, debug);
  host_.changed();
}

void TPageLaneChangeBehavior::ToggleAllLaneChange(int pressSection, int pressLane) {
  KDConfig& config = host_.config();
  const int section = std::min(std::max(pressSection, 0), config.Boundaries());
  const int lane = std::min(std::max(pressLane, 0), MaxLane() - 1);
  const float v = 1.0f - config.PhysicalSectionProperty(section, lane, PP_ALLLANECHANGE);
  host_.recordUndo(host_.text("LabelChangeAllLaneChangeRequired"));
  const SelectedRange r = SelectedCells(config, host_.selection());
  for (int s = r.sectionLo; s <= r.sectionHi; ++s)
    for (int l = r.laneLo; l <= r.laneHi; ++l)
      config.SetPhysicalSectionProperty(s, l, PP_ALLLANECHANGE, v);
  host_.changed();
}

void TPageLaneChangeBehavior::HostSinkList(QWidget* list) {
  auto* grid = static_cast<QGridLayout*>(layout());
  if (grid->indexOf(list) >= 0) return;
  grid->addWidget(list, 3, 0, 1, 2);
  list->show();
}

LaneChangeSettings TPageLaneChangeBehavior::Settings() const {
  return LaneChangeSettingsFromText(ToText(EditLaneChangeRequired->text()),
                                    ToText(EditLaneChangeVoluntary->text()),
                                    ToText(EditAddtionalRequiredLength->text()));
}

// A length above 9999 m cannot be typed; Enter stays in the field.
bool TPageLaneChangeBehavior::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (!edit || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) return true;
  const QString text = key->text();
  if (text.size() == 1 && text[0].isPrint() && !edit->hasSelectedText() &&
      LaneChangeSettingKeyRefused(ToText(edit->text()), text[0].toLatin1())) {
    QApplication::beep();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TPageLaneChangeBehavior::FieldsChange() {
  BitBtnRebuildLaneChangeAreas->setEnabled(LaneChangeRebuildAllowed(
      ToText(EditLaneChangeRequired->text()), ToText(EditLaneChangeVoluntary->text())));
}
