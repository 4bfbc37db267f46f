#include "shell/ui/PageGeneration.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

#include "config/KDConfig.h"
#include "shell/ui/QtText.h"

TPageGeneration::TPageGeneration(QWidget* parent) : QWidget(parent) {
  setObjectName("PageGeneration");
  auto* grid = new QGridLayout(this);
  RadioButtonInjectionFile = new QRadioButton("Use injection file", this);
  RadioButtonInjectionFile->setObjectName("RadioButtonInjectionFile");
  RadioButtonFixedFlow = new QRadioButton("Insert fixed traffic flow", this);
  RadioButtonFixedFlow->setObjectName("RadioButtonFixedFlow");
  LabelInjectionFileName = new QLabel(this);
  LabelInjectionFileName->setObjectName("LabelInjectionFileName");
  LabelInjectionFileName->setCursor(Qt::PointingHandCursor);
  LabelInjectionFileName->setToolTip("Click to choose another injection file");
  LabelInjectionFileName->installEventFilter(this);
  LabelCurrentFlow = new QLabel(this);
  LabelCurrentFlow->setObjectName("LabelCurrentFlow");
  ScrollBarCurrentFlow = new QScrollBar(Qt::Horizontal, this);
  ScrollBarCurrentFlow->setObjectName("ScrollBarCurrentFlow");
  ScrollBarCurrentFlow->setRange(0, 1000);  // 10 veh/h per position
  ScrollBarCurrentFlow->setMinimumWidth(300);
  grid->addWidget(RadioButtonInjectionFile, 0, 0);
  grid->addWidget(LabelInjectionFileName, 0, 1, 1, 2);
  grid->addWidget(RadioButtonFixedFlow, 1, 0);
  grid->addWidget(ScrollBarCurrentFlow, 1, 1);
  grid->addWidget(LabelCurrentFlow, 1, 2);
  grid->setColumnStretch(3, 1);
  connect(RadioButtonInjectionFile, &QRadioButton::clicked, this,
          [this] { RadioButtonInjectionFileClick(RadioButtonInjectionFile); });
  connect(RadioButtonFixedFlow, &QRadioButton::clicked, this,
          [this] { RadioButtonInjectionFileClick(RadioButtonFixedFlow); });
  connect(ScrollBarCurrentFlow, &QScrollBar::valueChanged, this,
          &TPageGeneration::ScrollBarCurrentFlowChange);
}

void TPageGeneration::ShowValues() {
  if (!config_) return;
  showing_ = true;
  const bool file = config_->UseInjectionFile();
  LabelInjectionFileName->setText(FromText(config_->InjectionFileName()));
  RadioButtonInjectionFile->setChecked(file);
  RadioButtonFixedFlow->setChecked(!file);
  LabelInjectionFileName->setVisible(file);
  LabelCurrentFlow->setVisible(!file);
  ScrollBarCurrentFlow->setVisible(!file);
  ScrollBarCurrentFlow->setValue(static_cast<int>(config_->DovelFlow() * 0.1f));
  LabelCurrentFlow->setText(QString::number(static_cast<double>(config_->DovelFlow())) + " veh/h");
  showing_ = false;
}

void TPageGeneration::Record(const std::string& label) {
  if (recordUndo_) recordUndo_(label);
}

void TPageGeneration::RadioButtonInjectionFileClick(QObject* sender) {
  if (!config_ || showing_) return;
  const bool file = RadioButtonInjectionFile->isChecked();
  if (file != config_->UseInjectionFile()) {
    Record("change use of injection file");
    config_->SetUseInjectionFile(file);
    if (changed_) changed_();
  }
  ShowValues();
  if (sender == RadioButtonFixedFlow) return;
  std::string name = config_->InjectionFileName();
  if (!choose_ || !choose_(name)) return;
  Record("change injection file name");
  config_->SetInjectionFileName(name);
  LabelInjectionFileName->setText(FromText(name));
  if (changed_) changed_();
}

void TPageGeneration::ScrollBarCurrentFlowChange(int position) {
  if (!config_ || showing_) return;
  const float flow = static_cast<float>(position) * 10;
  LabelCurrentFlow->setText(QString::number(static_cast<double>(flow)) + " veh/h");
  if (flow == config_->DovelFlow()) return;
  Record("change flow");
  config_->SetDovelFlow(flow);
  if (changed_) changed_();
}

bool TPageGeneration::eventFilter(QObject* watched, QEvent* event) {
  if (watched == LabelInjectionFileName && event->type() == QEvent::MouseButtonRelease) {
    RadioButtonInjectionFileClick(LabelInjectionFileName);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}
