#include "roadview/ui/PageSurfaceDetails.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <algorithm>
#include <cmath>

#include "config/DovelLink.h"
#include "config/KDConfig.h"
#include "shell/ui/QtText.h"

namespace {

// Marks a field the program fills, so that its change handler leaves it alone.
class FillingScope {
 public:
  explicit FillingScope(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
  ~FillingScope() { flag_ = before_; }

 private:
  bool& flag_;
  bool before_;
};

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

// ---- KAVRO surface details -------------------------------------------------------------------

TPageKAVROSurfaceDetails::TPageKAVROSurfaceDetails(TrafficPageHost host,
                                                   std::vector<SurfaceDetailRow> rows,
                                                   QWidget* parent)
    : QWidget(parent), host_(std::move(host)), rows_(std::move(rows)) {
  setObjectName("PageKAVROSurfaceDetails");
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* hint = AddLabel(this, "LabelKAVROSurfaceDetailsHint",
                        "Drag over the road to select sections and lanes, then type a value or "
                        "right-click the selection to choose one.");
  hint->setWordWrap(true);
  layout->addWidget(hint, 0, 0, 1, 4);
  layout->addWidget(AddLabel(this, "LabelSurfaceDetails", "Detail:"), 1, 0);
  ComboBoxSurfaceDetails = new QComboBox(this);
  ComboBoxSurfaceDetails->setObjectName("ComboBoxSurfaceDetails");
  for (const SurfaceDetailRow& row : rows_) ComboBoxSurfaceDetails->addItem(FromText(row.name));
  layout->addWidget(ComboBoxSurfaceDetails, 1, 1, 1, 3);
  layout->addWidget(AddLabel(this, "LabelKAVROSurfaceDetailsValue", "Value:"), 2, 0);
  EditKAVROSurfaceDetailsValue = new QLineEdit(this);
  EditKAVROSurfaceDetailsValue->setObjectName("EditKAVROSurfaceDetailsValue");
  EditKAVROSurfaceDetailsValue->setMaxLength(3);
  EditKAVROSurfaceDetailsValue->setMaximumWidth(60);
  layout->addWidget(EditKAVROSurfaceDetailsValue, 2, 1);
  LabelKAVROSurfaceDetailsUnit = AddLabel(this, "LabelKAVROSurfaceDetailsUnit", QString());
  layout->addWidget(LabelKAVROSurfaceDetailsUnit, 2, 2);
  CheckBoxKAVROSurfaceDetail = new QCheckBox(this);
  CheckBoxKAVROSurfaceDetail->setObjectName("CheckBoxKAVROSurfaceDetail");
  layout->addWidget(CheckBoxKAVROSurfaceDetail, 3, 1, 1, 3);
  layout->setColumnStretch(3, 1);

  PopupMenuKAVROSurfaceDetails = new QMenu(this);
  PopupMenuKAVROSurfaceDetails->setObjectName("PopupMenuKAVROSurfaceDetails");
  ItemOtherP = PopupMenuKAVROSurfaceDetails->addAction("&Other");
  ItemOtherP->setObjectName("ItemOtherP");
  ItemOtherP->setCheckable(true);

  // Another detail: the road shows it.
  connect(ComboBoxSurfaceDetails, &QComboBox::activated, this, [this](int) { host_.redraw(); });
  connect(EditKAVROSurfaceDetailsValue, &QLineEdit::textChanged, this,
          &TPageKAVROSurfaceDetails::EditValueChange);
  connect(CheckBoxKAVROSurfaceDetail, &QCheckBox::clicked, this,
          [this](bool checked) { ApplyValue(checked ? 1 : 0); });
  connect(ItemOtherP, &QAction::triggered, this, &TPageKAVROSurfaceDetails::OtherClick);
}

void TPageKAVROSurfaceDetails::ApplyValue(int value) {
  const SurfaceDetailRow& row = Row();
  if (!SurfaceValueAllowed(row, value)) return;
  host_.recordUndo(host_.text("LabelSetKAVROSurfaceDetail"));
  SetSurfaceValue(host_.config(), row, host_.selection(), value);
  host_.changed();
}

void TPageKAVROSurfaceDetails::OtherClick() {
  const SurfaceDetailRow row = Row();
  int current = 0;
  ScanFieldNumber(ToText(EditKAVROSurfaceDetailsValue->text()), current);
  int sx = 0;
  int sy = 0;
  host_.pointer(sx, sy);
  int value = 0;
  if (!host_.askValue(sx, sy, current, static_cast<int>(std::trunc(row.low)),
                      static_cast<int>(std::trunc(row.high)), "Enter new value",
                      SurfaceOtherCaption(row), value))
    return;
  ApplyValue(value);
}

bool TPageKAVROSurfaceDetails::RoadContextMenu(QPoint screen) {
  if (!SelectionHoldsOpenLane(host_.config(), host_.selection())) return true;
  host_.redraw();  // the entries follow the selection
  PreparePopup();
  PopupMenuKAVROSurfaceDetails->popup(screen);
  return true;
}

const SurfaceDetailRow& TPageKAVROSurfaceDetails::Row() const {
  static const SurfaceDetailRow none = KavroSurfaceRow(-1, "");
  const int index = ComboBoxSurfaceDetails->currentIndex();
  return index >= 0 && index < static_cast<int>(rows_.size()) ? rows_[index] : none;
}

bool TPageKAVROSurfaceDetails::Refresh(const KDConfig& config, const RoadEditSelection& selection) {
  FillingScope filling(filling_);
  const bool open = SelectionHoldsOpenLane(config, selection);
  EditKAVROSurfaceDetailsValue->setEnabled(open);
  CheckBoxKAVROSurfaceDetail->setEnabled(open);
  if (ComboBoxSurfaceDetails->currentIndex() < 0 && ComboBoxSurfaceDetails->count() > 0)
    ComboBoxSurfaceDetails->setCurrentIndex(0);
  const SurfaceDetailRow& row = Row();
  ShownCell cell = ShownSurfaceCell(selection);
  cell.section = std::min(cell.section, config.Boundaries());
  cell.lane = std::min(cell.lane, MaxLane() - 1);
  const int value = SurfaceFieldValue(config, row, cell.section, cell.lane);
  EditKAVROSurfaceDetailsValue->setText(QString::number(value));
  LabelKAVROSurfaceDetailsUnit->setText(FromText(row.unit));

  for (QAction* entry : entries_) {
    PopupMenuKAVROSurfaceDetails->removeAction(entry);
    delete entry;
  }
  entries_.clear();
  entryValues_ = SurfaceMenuEntries(row);
  auto* group = new QActionGroup(PopupMenuKAVROSurfaceDetails);
  group->addAction(ItemOtherP);
  for (const ValueMenuEntry& entry : entryValues_) {
    auto* item = new QAction(FromText(entry.caption), PopupMenuKAVROSurfaceDetails);
    item->setCheckable(true);
    group->addAction(item);
    const int v = entry.value;
    connect(item, &QAction::triggered, this, [this, v] { ApplyValue(v); });
    PopupMenuKAVROSurfaceDetails->insertAction(ItemOtherP, item);
    entries_.push_back(item);
  }
  const bool yesNo = row.YesNo();
  CheckBoxKAVROSurfaceDetail->setVisible(yesNo);
  EditKAVROSurfaceDetailsValue->setVisible(!yesNo);
  ItemOtherP->setVisible(!yesNo);
  if (yesNo) {
    CheckBoxKAVROSurfaceDetail->setChecked(value == 1);
    CheckBoxKAVROSurfaceDetail->setText(FromText(row.name));
    LabelKAVROSurfaceDetailsUnit->setText(QString());
  }
  const int index = ComboBoxSurfaceDetails->currentIndex();
  const bool changed = index != shownRow_;
  shownRow_ = index;
  return changed;
}

void TPageKAVROSurfaceDetails::PreparePopup() {
  int value = 0;
  const bool number = ScanFieldNumber(ToText(EditKAVROSurfaceDetailsValue->text()), value);
  const int ticked = number ? TickedMenuEntry(entryValues_, value) : -1;
  if (ticked >= 0 && ticked < static_cast<int>(entries_.size()))
    entries_[ticked]->setChecked(true);
  else
    ItemOtherP->setChecked(true);
}

void TPageKAVROSurfaceDetails::EditValueChange(const QString& text) {
  if (filling_) return;
  int value = 0;
  if (!ScanFieldNumber(ToText(text), value)) return;
  if (!SurfaceValueAllowed(Row(), value)) return;  // kept until the next refresh
  ApplyValue(value);
}

// ---- DOVEL speed limit -------------------------------------------------------------------------

TPageSpeedLimit::TPageSpeedLimit(TrafficPageHost host, QWidget* parent)
    : QWidget(parent), host_(std::move(host)) {
  setObjectName("PageSpeedLimit");
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* hint = AddLabel(this, "LabelSpeedLimitHint",
                        "Drag over the road to select sections, then type a speed limit or "
                        "right-click the selection to choose one.");
  hint->setWordWrap(true);
  layout->addWidget(hint, 0, 0, 1, 4);
  layout->addWidget(AddLabel(this, "LabelSpeedLimit", "Speed limit:"), 1, 0);
  EditSpeedLimit = new QLineEdit(this);
  EditSpeedLimit->setObjectName("EditSpeedLimit");
  EditSpeedLimit->setMaxLength(3);
  EditSpeedLimit->setMaximumWidth(60);
  layout->addWidget(EditSpeedLimit, 1, 1);
  LabelSpeedLimitUnit = AddLabel(this, "LabelSpeedLimitUnit", "km/h");
  layout->addWidget(LabelSpeedLimitUnit, 1, 2);
  layout->setColumnStretch(3, 1);

  PopupMenuSpeedLimit = new QMenu(this);
  PopupMenuSpeedLimit->setObjectName("PopupMenuSpeedLimit");
  auto* group = new QActionGroup(PopupMenuSpeedLimit);
  for (const ValueMenuEntry& entry : SpeedLimitMenuEntries()) {
    QAction* item = PopupMenuSpeedLimit->addAction(FromText(entry.caption));
    item->setCheckable(true);
    group->addAction(item);
    const int v = entry.value;
    connect(item, &QAction::triggered, this, [this, v] { ApplySpeedLimit(v); });
    entries_.push_back(item);
  }
  ItemOtherS = PopupMenuSpeedLimit->addAction("&Other");
  ItemOtherS->setObjectName("ItemOtherS");
  ItemOtherS->setCheckable(true);
  group->addAction(ItemOtherS);
  connect(ItemOtherS, &QAction::triggered, this, &TPageSpeedLimit::OtherClick);

  connect(EditSpeedLimit, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (filling_) return;
    int value = 0;
    int low = 0;
    int high = 0;
    if (!ScanFieldNumber(ToText(text), value) || !range_ || !range_(low, high)) return;
    if (value < low || value > high) return;
    ApplySpeedLimit(value);
  });
}

void TPageSpeedLimit::ApplySpeedLimit(int limit) {
  if (limit < 1) return;
  host_.recordUndo("set speed limit");
  SetSectionSpeedLimit(host_.config(), host_.selection(), limit);
  host_.changed();
}

void TPageSpeedLimit::OtherClick() {
  int current = 0;
  ScanFieldNumber(ToText(EditSpeedLimit->text()), current);
  int sx = 0;
  int sy = 0;
  host_.pointer(sx, sy);
  int value = 0;
  // The dialog's range, not the model's.
  if (!host_.askValue(sx, sy, current, 1, 100, "Enter new value ", "Set Speed Limit Value", value))
    return;
  if (value < 1 || value > 100) return;
  ApplySpeedLimit(value);
}

bool TPageSpeedLimit::RoadContextMenu(QPoint screen) {
  if (!SelectionHoldsOpenLane(host_.config(), host_.selection())) return true;
  host_.redraw();  // the entries follow the selection
  PreparePopup();
  PopupMenuSpeedLimit->popup(screen);
  return true;
}

void TPageSpeedLimit::ShowSpeedLimit(int limit) {
  FillingScope filling(filling_);
  EditSpeedLimit->setText(QString::number(limit));
}

void TPageSpeedLimit::PreparePopup() {
  int value = 0;
  const std::vector<ValueMenuEntry> values = SpeedLimitMenuEntries();
  const int ticked =
      ScanFieldNumber(ToText(EditSpeedLimit->text()), value) ? TickedMenuEntry(values, value) : -1;
  if (ticked >= 0)
    entries_[ticked]->setChecked(true);
  else
    ItemOtherS->setChecked(true);
}

// ---- DOVEL surface details ---------------------------------------------------------------------

TPageDOVELSurfaceDetails::TPageDOVELSurfaceDetails(TrafficPageHost host, QWidget* parent)
    : QWidget(parent), host_(std::move(host)) {
  setObjectName("PageDOVELSurfaceDetails");
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* hint = AddLabel(this, "LabelDOVELSurfaceDetailsHint",
                        "Drag over the road to select a section (and lanes), choose a detail, "
                        "then move the slider.");
  hint->setWordWrap(true);
  layout->addWidget(hint, 0, 0, 1, 3);
  layout->addWidget(AddLabel(this, "LabelSurfaceDetail", "Detail:"), 1, 0);
  ComboBoxSurfaceDetail = new QComboBox(this);
  ComboBoxSurfaceDetail->setObjectName("ComboBoxSurfaceDetail");
  for (int d = 0; d < DOVEL_SURFACE_DETAILS; ++d)
    ComboBoxSurfaceDetail->addItem(FromText(DovelSurfaceDetailCaption(d)));
  ComboBoxSurfaceDetail->setCurrentIndex(0);
  layout->addWidget(ComboBoxSurfaceDetail, 1, 1);
  LabelSurfaceDetailDescription = AddLabel(this, "LabelSurfaceDetailDescription", QString());
  LabelSurfaceDetailDescription->setWordWrap(true);
  layout->addWidget(LabelSurfaceDetailDescription, 2, 0, 1, 3);
  TrackBarSurfaceDetail = new QSlider(Qt::Horizontal, this);
  TrackBarSurfaceDetail->setObjectName("TrackBarSurfaceDetail");
  TrackBarSurfaceDetail->setMinimum(0);
  TrackBarSurfaceDetail->setTickPosition(QSlider::TicksBelow);
  TrackBarSurfaceDetail->setMinimumWidth(240);
  layout->addWidget(TrackBarSurfaceDetail, 3, 0, 1, 2);
  LabelSurfaceDetailsValue = AddLabel(this, "LabelSurfaceDetailsValue", QString());
  LabelSurfaceDetailsValue->setMinimumWidth(80);
  layout->addWidget(LabelSurfaceDetailsValue, 3, 2);
  LabelPerLaneComment = AddLabel(this, "LabelPerLaneComment", QString());
  layout->addWidget(LabelPerLaneComment, 4, 0, 1, 3);
  layout->setColumnStretch(1, 1);

  // Another detail: the road shows it.
  connect(ComboBoxSurfaceDetail, &QComboBox::activated, this, [this](int) { host_.redraw(); });
  connect(TrackBarSurfaceDetail, &QSlider::valueChanged, this, [this](int position) {
    if (!filling_) SliderMoved(position);
  });
}

void TPageDOVELSurfaceDetails::SliderMoved(int position) {
  const int detail = Detail();
  SurfaceDetailInfo info;
  KDConfig::GetSurfaceDetailInfo(detail, info);
  // Without the model's range nothing could be stored that the model accepts.
  if (info.type < 0) return;
  host_.recordUndo("surface detail change");
  SetDetailValue(host_.config(), host_.selection(), detail, info.perLane,
                 DetailSliderValue(info, position));
  host_.changed();
}

int TPageDOVELSurfaceDetails::Detail() const {
  return std::clamp(ComboBoxSurfaceDetail->currentIndex(), 0, DOVEL_SURFACE_DETAILS - 1);
}

void TPageDOVELSurfaceDetails::Refresh(const KDConfig& config, const RoadEditSelection& selection) {
  FillingScope filling(filling_);
  const int d = Detail();
  SurfaceDetailInfo info;
  KDConfig::GetSurfaceDetailInfo(d, info);
  LabelSurfaceDetailDescription->setText(FromText(info.description));
  const int steps = DetailSliderMaximum(info);
  TrackBarSurfaceDetail->setMaximum(steps);
  TrackBarSurfaceDetail->setPageStep(std::max(1, steps / 10));
  TrackBarSurfaceDetail->setTickInterval(std::max(1, steps / 10));
  const float value = ShownDetailValue(config, selection, d, info.perLane);
  LabelSurfaceDetailsValue->setText(FromText(DetailValueText(info, value)));
  TrackBarSurfaceDetail->setValue(DetailSliderPosition(info, value));
  LabelPerLaneComment->setText(FromText(DetailPerLaneComment(info)));
}
