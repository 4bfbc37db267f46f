#include "roadview/ui/PageParameters.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QVBoxLayout>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "config/VDCTypes.h"
#include "shell/ui/QtText.h"

namespace {

constexpr int kSliderColumn = 4;
constexpr int kValueColumn = 3;

const char* const kCalibrationQuestion =
    "Only the original values are calibrated and validated.\r\n"
    "Changing these values is not recommended.\r\n"
    "Do you want to continue ?";

bool HasTypes(int kind) { return kind == VDC_KAVRO || KDConfig::MaxVDCTypes(kind) > 0; }

}  // namespace

TPageParameters::TPageParameters(TrafficPageHost host, QWidget* parent)
    : QWidget(parent), host_(std::move(host)) {
  setObjectName("TabSheetParameters");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  LabelVDCType = new QLabel("Vehicle/Driver type", this);
  LabelVDCType->setObjectName("LabelVDCType");
  ComboBoxVDCType = new QComboBox(this);
  ComboBoxVDCType->setObjectName("ComboBoxVDCType");
  LabelVDCType->setBuddy(ComboBoxVDCType);
  BitBtnNewVDCType = new QPushButton("New", this);
  BitBtnNewVDCType->setObjectName("BitBtnNewVDCType");
  BitBtnDeleteVDCType = new QPushButton("Delete", this);
  BitBtnDeleteVDCType->setObjectName("BitBtnDeleteVDCType");
  BitBtnResetAll = new QPushButton("&Reset All", this);
  BitBtnResetAll->setObjectName("BitBtnResetAll");
  RadioButtonIndividual = new QRadioButton("Individual parameters", this);
  RadioButtonIndividual->setObjectName("RadioButtonIndividual");
  RadioButtonIndividual->setChecked(true);
  RadioButtonGeneral = new QRadioButton("General parameters", this);
  RadioButtonGeneral->setObjectName("RadioButtonGeneral");
  RadioButtonGearRatios = new QRadioButton("Gear ratios", this);
  RadioButtonGearRatios->setObjectName("RadioButtonGearRatios");
  RadioButtonFuel = new QRadioButton("Fuel", this);
  RadioButtonFuel->setObjectName("RadioButtonFuel");
  auto* radios = new QVBoxLayout;
  for (QRadioButton* radio :
       {RadioButtonIndividual, RadioButtonGeneral, RadioButtonGearRatios, RadioButtonFuel}) {
    radios->addWidget(radio);
    connect(radio, &QRadioButton::toggled, this, [this](bool on) {
      if (on) RebuildParamGrid();
    });
  }
  auto* types = new QGridLayout;
  types->addWidget(LabelVDCType, 0, 0);
  types->addWidget(ComboBoxVDCType, 0, 1);
  types->addWidget(BitBtnNewVDCType, 1, 0);
  types->addWidget(BitBtnDeleteVDCType, 1, 1);
  types->addWidget(BitBtnResetAll, 2, 0, 1, 2);
  layout->addLayout(radios);
  layout->addLayout(types);
  layout->addStretch();
  connect(ComboBoxVDCType, &QComboBox::activated, this, [this] { RebuildParamGrid(); });
  connect(BitBtnNewVDCType, &QPushButton::clicked, this, &TPageParameters::BitBtnNewVDCTypeClick);
  connect(BitBtnDeleteVDCType, &QPushButton::clicked, this,
          &TPageParameters::BitBtnDeleteVDCTypeClick);
  connect(BitBtnResetAll, &QPushButton::clicked, this, &TPageParameters::BitBtnResetAllClick);

  PanelParameterGrid = new QWidget;
  PanelParameterGrid->setObjectName("PanelParameterGrid");
  auto* gridLayout = new QVBoxLayout(PanelParameterGrid);
  gridLayout->setContentsMargins(0, 0, 0, 0);
  StringGridVDC = new QTableWidget(0, 5, PanelParameterGrid);
  StringGridVDC->setObjectName("StringGridVDC");
  StringGridVDC->setHorizontalHeaderLabels({"Parameter", "Low limit", "High limit", "Value", ""});
  StringGridVDC->verticalHeader()->hide();
  StringGridVDC->horizontalHeader()->setStretchLastSection(true);
  StringGridVDC->setSelectionMode(QAbstractItemView::NoSelection);
  StringGridVDC->setEditTriggers(QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
  StringGridVDC->setMouseTracking(true);
  StringGridVDC->viewport()->installEventFilter(this);
  gridLayout->addWidget(StringGridVDC);
  connect(StringGridVDC, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    // After the edit has finished: the rebuild replaces the edited item.
    if (!rebuilding_ && item->column() == kValueColumn)
      QMetaObject::invokeMethod(
          this,
          [this, row = item->row(), text = ToText(item->text())] {
            StringGridVDCValueEdited(row, text);
          },
          Qt::QueuedConnection);
  });
}

void TPageParameters::SetEntry(const std::string& entry, int programMode) {
  entry_ = entry;
  mode_ = programMode;
  if (entry_ == "ItemVehicleProperties" && !RadioButtonGearRatios->isChecked() &&
      !RadioButtonFuel->isChecked()) {
    const QSignalBlocker block(RadioButtonGeneral);
    RadioButtonGeneral->setChecked(true);
  }
}

int TPageParameters::Kind() const {
  if (entry_ == "ItemVehicleDriverProperties")
    return RadioButtonGeneral->isChecked() ? kGeneralParamKind : VDC_KAVRO;
  if (entry_ == "ItemVehicleProperties") {
    if (RadioButtonGearRatios->isChecked()) return VDC_DOVELVEHICLESUB;
    if (RadioButtonFuel->isChecked()) return VDC_DOVELVEHICLEDIST;
    return VDC_DOVELVEHICLE;
  }
  if (entry_ == "ItemDriverProperties") return VDC_DOVELDRIVER;
  if (entry_ == "ItemSettingsDOVEL") return VDC_DOVELGENERAL;
  if (entry_ == "ItemICCParameters") return VDC_DOVELICC;
  return -1;
}

std::string TPageParameters::Title() const {
  if (entry_ == "ItemVehicleDriverProperties") return "Traffic: Vehicle Driver properties";
  if (entry_ == "ItemVehicleProperties") return "Traffic: Vehicle properties";
  if (entry_ == "ItemDriverProperties") return "Traffic: Driver properties";
  if (entry_ == "ItemSettingsDOVEL") return "Simulate: Settings";
  if (entry_ == "ItemICCParameters") return "Traffic: ICC parameters";
  return {};
}

int TPageParameters::ChosenType() const {
  const int kind = Kind();
  if (kind < 0 || kind == kGeneralParamKind || !HasTypes(kind)) return -1;
  return ComboBoxVDCType->currentIndex();
}

bool TPageParameters::IndividualRows() const { return Kind() != kGeneralParamKind; }

QSlider* TPageParameters::TrackBar(int row) const {
  return qobject_cast<QSlider*>(StringGridVDC->cellWidget(row, kSliderColumn));
}

void TPageParameters::RebuildParamGrid() {
  const int kind = Kind();
  if (kind < 0 || rebuilding_) return;
  rebuilding_ = true;
  KDConfig& config = host_.config();
  const bool kavro = mode_ != DOVEL;
  // Step 1: the controls of the entry.
  const bool typed = kind != kGeneralParamKind && HasTypes(kind);
  LabelVDCType->setText(entry_ == "ItemDriverProperties"    ? "Driver type"
                        : entry_ == "ItemVehicleProperties" ? "Vehicle type"
                                                            : "Vehicle/Driver type");
  LabelVDCType->setVisible(typed);
  ComboBoxVDCType->setVisible(typed);
  const int typeKind =
      kind == VDC_DOVELVEHICLESUB || kind == VDC_DOVELVEHICLEDIST ? VDC_DOVELVEHICLE : kind;
  const bool newDelete = typed && (typeKind == VDC_KAVRO || typeKind == VDC_DOVELVEHICLE ||
                                   typeKind == VDC_DOVELDRIVER);
  BitBtnNewVDCType->setVisible(newDelete);
  BitBtnDeleteVDCType->setVisible(newDelete);
  BitBtnResetAll->setVisible(kavro);
  RadioButtonIndividual->setVisible(entry_ == "ItemVehicleDriverProperties");
  RadioButtonGeneral->setVisible(entry_ == "ItemVehicleDriverProperties" ||
                                 entry_ == "ItemVehicleProperties");
  RadioButtonGearRatios->setVisible(entry_ == "ItemVehicleProperties");
  RadioButtonFuel->setVisible(entry_ == "ItemVehicleProperties");
  // Step 2: the type list.
  if (typed) {
    const int count = std::max(0, config.VDCTypeCount(typeKind));
    const int chosen = ComboBoxVDCType->currentIndex();
    ComboBoxVDCType->clear();
    for (int t = 1; t <= count; ++t) ComboBoxVDCType->addItem(QString::number(t));
    ComboBoxVDCType->setCurrentIndex(chosen >= 0 && chosen < count ? chosen : 0);
    BitBtnNewVDCType->setEnabled(count < KDConfig::MaxVDCTypes(typeKind));
    BitBtnDeleteVDCType->setEnabled(count > 1);
  }
  // Steps 3 to 5: the rows.
  rows_ = BuildParamGridRows(config, kind, typed ? ChosenType() : -1);
  StringGridVDC->setColumnWidth(0, kavro ? 110 : 160);
  StringGridVDC->setRowCount(static_cast<int>(rows_.size()));
  for (int r = 0; r < static_cast<int>(rows_.size()); ++r) SetParamGridRow(r, rows_[r]);
  rebuilding_ = false;
  host_.changed();
}

void TPageParameters::SetParamGridRow(int row, const ParamGridRow& data) {
  if (ParamFormatType(data.format) == ParamValueType::Unknown) {
    ProgramError("SetParamGridRow: Cannot determine type of variable");
    return;
  }
  if (data.steps <= 0) {
    ProgramError("SetParamGridRow: Non-positive StepCount");
    return;
  }
  const QString texts[4] = {FromText(data.name), FromText(data.LowText()),
                            FromText(data.HighText()), FromText(data.ValueText())};
  for (int c = 0; c < 4; ++c) {
    auto* item = new QTableWidgetItem(texts[c]);
    item->setTextAlignment((c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    item->setToolTip(FromText(data.description));
    if (c != kValueColumn) item->setFlags(Qt::ItemIsEnabled);
    StringGridVDC->setItem(row, c, item);
  }
  QSlider* slider = TrackBar(row);
  if (!slider) {
    slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(QString("TrackBar%1").arg(row));
    slider->setTracking(false);
    StringGridVDC->setCellWidget(row, kSliderColumn, slider);
    connect(slider, &QSlider::valueChanged, this,
            [this, row](int position) { SliderChange(row, position); });
  }
  const QSignalBlocker block(slider);
  slider->setToolTip(FromText(data.description));
  slider->setMaximum(data.steps);
  slider->setPageStep(SliderPageSize(data.steps));
  slider->setTickInterval(SliderPageSize(data.steps));
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setValue(SliderPosition(data.low, data.high, data.steps, data.value));
}

bool TPageParameters::AskCalibrationWarning() {
  if (mode_ == DOVEL || calibrationAccepted_) return false;
  if (!host_.ask("Are you sure ?", kCalibrationQuestion, false)) {
    RebuildParamGrid();
    return true;
  }
  calibrationAccepted_ = true;
  return false;
}

void TPageParameters::SliderChange(int row, int position) {
  if (changing_ || rebuilding_ || row < 0 || row >= static_cast<int>(rows_.size())) return;
  changing_ = true;
  const int kind = Kind();
  if (kind != kGeneralParamKind && HasTypes(kind) && ChosenType() < 0) {
    changing_ = false;
    return;
  }
  if (AskCalibrationWarning()) {
    changing_ = false;
    return;
  }
  host_.recordUndo(mode_ == DOVEL ? "parameter change" : "change vehicle driver parameter");
  const ParamGridRow& data = rows_[row];
  StoreParamValue(host_.config(), kind, ChosenType(), row,
                  SliderValue(data.low, data.high, data.steps, position));
  changing_ = false;
  RebuildParamGrid();
}

void TPageParameters::StringGridVDCValueEdited(int row, const std::string& text) {
  if (changing_ || row < 0 || row >= static_cast<int>(rows_.size())) return;
  const ParamGridRow data = rows_[row];
  float value = 0;
  std::string message;
  if (!ParseParamValue(data, text, value, message)) {
    UserMessage(ReportKind::Error, "Error", message);
    RebuildParamGrid();
    return;
  }
  if (value == data.value) {
    RebuildParamGrid();
    return;
  }
  changing_ = true;
  if (AskCalibrationWarning()) {
    changing_ = false;
    return;
  }
  host_.recordUndo(mode_ == DOVEL ? "parameter change" : "change vehicle driver parameter");
  StoreParamValue(host_.config(), Kind(), ChosenType(), row, value);
  changing_ = false;
  RebuildParamGrid();
}

std::string TPageParameters::AddLabel() const {
  if (mode_ != DOVEL) return "add vehicle driver combination";
  return Kind() == VDC_DOVELDRIVER ? "add driver type" : "add vehicle type";
}

std::string TPageParameters::DeleteLabel() const {
  if (mode_ != DOVEL) return "delete vehicle driver combination";
  return Kind() == VDC_DOVELDRIVER ? "delete driver type" : "delete vehicle type";
}

void TPageParameters::BitBtnNewVDCTypeClick() {
  const int kind =
      Kind() == VDC_DOVELVEHICLESUB || Kind() == VDC_DOVELVEHICLEDIST ? VDC_DOVELVEHICLE : Kind();
  KDConfig& config = host_.config();
  if (config.VDCTypeCount(kind) >= KDConfig::MaxVDCTypes(kind) || AskCalibrationWarning()) return;
  host_.recordUndo(AddLabel());
  const int count = host_.config().AddVDCType(kind);
  RebuildParamGrid();
  if (count > 0) ComboBoxVDCType->setCurrentIndex(count - 1);
  RebuildParamGrid();
}

void TPageParameters::BitBtnDeleteVDCTypeClick() {
  const int kind =
      Kind() == VDC_DOVELVEHICLESUB || Kind() == VDC_DOVELVEHICLEDIST ? VDC_DOVELVEHICLE : Kind();
  const int type = ChosenType();
  if (type < 0 || host_.config().VDCTypeCount(kind) <= 1 || AskCalibrationWarning()) return;
  host_.recordUndo(DeleteLabel());
  host_.config().DeleteVDCType(kind, type);
  RebuildParamGrid();
}

void TPageParameters::BitBtnResetAllClick() {
  if (!host_.ask("Are you sure ?", "Reset ALL Vehicle Driver Parameters ?", true)) return;
  host_.recordUndo("reset all vehicle driver parameters");
  host_.config().SetDefaultParams();
  calibrationAccepted_ = false;
  RebuildParamGrid();
}

bool TPageParameters::eventFilter(QObject* watched, QEvent* event) {
  if (watched == StringGridVDC->viewport() && event->type() == QEvent::MouseMove) {
    const int row =
        StringGridVDC->rowAt(static_cast<QMouseEvent*>(event)->position().toPoint().y());
    host_.status(row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row].description : "");
  }
  return QWidget::eventFilter(watched, event);
}
