#include "roadview/ui/PageDemandBars.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "config/VDCTypes.h"
#include "roadview/DemandShares.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/ui/BarEditor.h"

namespace {

const char* const kCaptionFormat = "%C: %P%%";

int VehicleTypes(const KDConfig& config) { return std::max(0, config.VDCTypeCount(VDC_KAVRO)); }

// A drag of the composition or OD bars: one undo point, the shares, the caption.
void ConnectDrops(TBarEditor* editor, const TrafficPageHost& host) {
  editor->Dropped = [editor, host](int row, int column, BarDragKind kind, float delta) {
    host.recordUndo("change probability");
    ApplyBarDrag(editor->Source(), row, column, kind, delta);
    host.changed();
  };
  editor->Status = host.status;
  editor->Debug = host.debug;
}

}  // namespace

TPageComposition::TPageComposition(TrafficPageHost host, QWidget* parent)
    : QWidget(parent), host_(std::move(host)) {
  setObjectName("TabSheetComposition");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  RadioGroupComposition = new QGroupBox("Edit:", this);
  RadioGroupComposition->setObjectName("RadioGroupComposition");
  auto* choices = new QVBoxLayout(RadioGroupComposition);
  RadioButtonTruckFraction = new QRadioButton("&Truck fraction", RadioGroupComposition);
  RadioButtonTruckFraction->setObjectName("RadioButtonTruckFraction");
  RadioButtonTruckFraction->setChecked(true);
  RadioButtonAllVehicleTypes = new QRadioButton("&All vehicle types", RadioGroupComposition);
  RadioButtonAllVehicleTypes->setObjectName("RadioButtonAllVehicleTypes");
  choices->addWidget(RadioButtonTruckFraction);
  choices->addWidget(RadioButtonAllVehicleTypes);
  choices->addStretch();
  layout->addWidget(RadioGroupComposition);
  DragPanelComposition = new TBarEditor("DragPanelComposition", this);
  DragPanelComposition->setMinimumHeight(150);
  layout->addWidget(DragPanelComposition, 1);
  ConnectDrops(DragPanelComposition, host_);
  connect(RadioButtonTruckFraction, &QRadioButton::toggled, this, [this] { ShowValues(); });
}

void TPageComposition::SetProgramMode(int programMode) {
  mode_ = programMode;
  RadioGroupComposition->setVisible(programMode != DOVEL);
}

bool TPageComposition::AllVehicleTypes() const {
  return mode_ != DOVEL && RadioButtonAllVehicleTypes->isChecked();
}

void TPageComposition::ShowValues() {
  const TrafficPageHost host = host_;
  const bool allTypes = AllVehicleTypes();
  BarEditorSource source;
  KDConfig& config = host.config();
  source.rows = mode_ == DOVEL ? 1 : config.SourceCount();
  source.columns = allTypes ? VehicleTypes(config) : 2;
  source.rowName = [host](int r) { return host.config().SourceName(r); };
  if (allTypes)
    source.columnName = [](int c) { return std::to_string(c + 1); };
  else
    source.columnName = [](int c) { return std::string(c == 0 ? "passenger cars" : "trucks"); };
  source.captionFormat = kCaptionFormat;
  source.hintFormat = "Origin %R: Vehicle type %C: %P%%";
  if (allTypes) {
    source.get = [host](int r, int c, bool normalised) {
      return host.config().OVProbability(r, c, !normalised);
    };
    source.set = [host](int r, int c, float share) {
      SetTypeShareWithRemainder(host.config(), r, c, share);
    };
  } else {
    source.get = [host](int r, int c, bool) { return ClassShare(host.config(), r, c); };
    source.set = [host](int r, int c, float share) { SetClassShare(host.config(), r, c, share); };
  }
  DragPanelComposition->SetSource(std::move(source));
  DragPanelComposition->DragPanelRebuild();
}

TPageODMatrix::TPageODMatrix(TrafficPageHost host, QWidget* parent)
    : QWidget(parent), host_(std::move(host)) {
  setObjectName("TabSheetODMatrix");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel("Vehicletype:", this);
  label->setObjectName("LabelODVehicleType");
  ComboBoxODVehicleType = new QComboBox(this);
  ComboBoxODVehicleType->setObjectName("ComboBoxODVehicleType");
  label->setBuddy(ComboBoxODVehicleType);
  row->addWidget(label);
  row->addWidget(ComboBoxODVehicleType);
  row->addStretch();
  layout->addLayout(row);
  DragPanelOD = new TBarEditor("DragPanelOD", this);
  DragPanelOD->setMinimumHeight(150);
  layout->addWidget(DragPanelOD, 1);
  ConnectDrops(DragPanelOD, host_);
  // "All" shows the types together; only one type's shares can be changed.
  DragPanelOD->Dropped = [this, drop = DragPanelOD->Dropped](int row, int column, BarDragKind kind,
                                                             float delta) {
    if (VehicleType() < 0) {
      host_.status("Choose a vehicle type to change its destination shares");
      return;
    }
    drop(row, column, kind, delta);
  };
  DragPanelOD->Pressed = [this](int r) {
    host_.highlight(MakeRoadDrawFlags(RoadDrawKind::Origin, static_cast<std::uint32_t>(r + 1)));
  };
  connect(ComboBoxODVehicleType, &QComboBox::activated, this, [this] { ShowValues(); });
}

int TPageODMatrix::VehicleType() const { return ComboBoxODVehicleType->currentIndex() - 1; }

void TPageODMatrix::ShowValues() {
  const TrafficPageHost host = host_;
  KDConfig& config = host.config();
  const int types = VehicleTypes(config);
  const int chosen = std::clamp(ComboBoxODVehicleType->currentIndex(), 0, types);
  ComboBoxODVehicleType->blockSignals(true);
  ComboBoxODVehicleType->clear();
  ComboBoxODVehicleType->addItem("All");
  for (int t = 1; t <= types; ++t) ComboBoxODVehicleType->addItem(QString::number(t));
  ComboBoxODVehicleType->setCurrentIndex(chosen);
  ComboBoxODVehicleType->blockSignals(false);
  const int type = chosen - 1;

  BarEditorSource source;
  source.rows = config.SourceCount();
  source.columns = config.SinkCount();
  source.rowName = [host](int r) { return host.config().SourceName(r); };
  source.columnName = [host](int c) { return host.config().SinkName(c); };
  source.captionFormat = kCaptionFormat;
  source.hintFormat = "Origin %R - Destination %C: %P%%";
  source.warn = [host](int r, int c) { return !DestinationReachable(host.config(), r, c); };
  source.get = [host, type](int r, int c, bool normalised) {
    return host.config().ODProbability(r, c, type, !normalised);
  };
  source.set = [host, type](int r, int c, float share) {
    SetDestinationShare(host.config(), r, c, type, share);
  };
  DragPanelOD->SetSource(std::move(source));
  DragPanelOD->DragPanelRebuild();
}
