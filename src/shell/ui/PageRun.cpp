#include "shell/ui/PageRun.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <chrono>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "roadview/ui/TrafficPainter.h"
#include "shell/RunSettings.h"
#include "shell/ScreenDumpFiles.h"
#include "shell/TextTable.h"
#include "shell/ui/QtText.h"
#include "shell/ui/RunLegends.h"

namespace {

QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

RgbPicture ToRgbPicture(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  RgbPicture picture{rgb.width(), rgb.height(), {}};
  picture.Pixels.reserve(static_cast<std::size_t>(rgb.width()) * rgb.height() * 3);
  for (int y = 0; y < rgb.height(); ++y) {
    const uchar* row = rgb.constScanLine(y);
    picture.Pixels.insert(picture.Pixels.end(), row, row + rgb.width() * 3);
  }
  return picture;
}

}  // namespace

TPageRun::TPageRun(RunController& run, const TextTable& texts, QWidget* parent)
    : QWidget(parent), run_(run), texts_(texts) {
  setObjectName("PageRun");
  // Alt with F, R, T, S, V, H, G and E opens the menus of the menu bar and Alt with P and N
  // turns the pages: the buttons take other letters.
  BitBtnRun = MakeButton("BitBtnRun", "R&un", this);
  BitBtnStep = MakeButton("BitBtnStep", "Sing&le step", this);
  BitBtnStop = MakeButton("BitBtnStop", "St&op", this);
  BitBtnReset = MakeButton("BitBtnReset", "Re&wind", this);
  BitBtnStop->setVisible(false);

  ComboBoxSimulationSpeed = new QComboBox(this);
  ComboBoxSimulationSpeed->setObjectName("ComboBoxSimulationSpeed");
  for (const std::string& entry :
       SimulationSpeedEntries(texts_.Text("LabelMaximumSimulationSpeed")))
    ComboBoxSimulationSpeed->addItem(FromText(entry));
  ComboBoxSimulationSpeed->setCurrentIndex(kMaximumSpeedEntry);
  ComboBoxRedraw = new QComboBox(this);
  ComboBoxRedraw->setObjectName("ComboBoxRedraw");
  for (const std::string& entry :
       RedrawRateEntries(texts_.Text("LabelEveryStep"), texts_.Text("LabelEveryNSteps")))
    ComboBoxRedraw->addItem(FromText(entry));

  LabelSimulatorTime = new QLabel("0.0", this);
  LabelSimulatorTime->setObjectName("LabelSimulatorTime");
  LabelVehicleCount = new QLabel("0", this);
  LabelVehicleCount->setObjectName("LabelVehicleCount");

  ComboBoxColorDenotes = new QComboBox(this);
  ComboBoxColorDenotes->setObjectName("ComboBoxColorDenotes");
  Legends = new TRunLegends(this);

  auto* outer = new QHBoxLayout(this);
  auto* grid = new QGridLayout;
  outer->addLayout(grid);
  outer->addSpacing(12);
  outer->addWidget(Legends, 0, Qt::AlignTop);
  outer->addStretch(1);
  grid->addWidget(BitBtnRun, 0, 0);
  grid->addWidget(BitBtnStop, 0, 0);
  grid->addWidget(BitBtnStep, 0, 1);
  grid->addWidget(BitBtnReset, 0, 2);
  auto addRow = [&](int row, const char* name, const QString& caption, QWidget* field) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1, 1, 2);
  };
  addRow(1, "LabelSimulationSpeed", "Simulation speed", ComboBoxSimulationSpeed);
  addRow(2, "LabelRedraw", "Redraw", ComboBoxRedraw);
  addRow(3, "LabelCurrentTimeCaption", FromText(texts_.Text("LabelCurrentTime")),
         LabelSimulatorTime);
  addRow(4, "LabelVehicles", "Vehicles", LabelVehicleCount);
  addRow(5, "LabelColorDenotes", FromText(texts_.Text("LabelColorDenotes")), ComboBoxColorDenotes);
  grid->setRowStretch(6, 1);

  connect(BitBtnRun, &QPushButton::clicked, this, &TPageRun::BitBtnRunClick);
  connect(BitBtnStep, &QPushButton::clicked, this, &TPageRun::BitBtnStepClick);
  connect(BitBtnStop, &QPushButton::clicked, this, &TPageRun::BitBtnStopClick);
  connect(BitBtnReset, &QPushButton::clicked, this, &TPageRun::BitBtnResetClick);
  connect(ComboBoxSimulationSpeed, &QComboBox::activated, this,
          &TPageRun::ComboBoxSimulationSpeedChange);
  connect(ComboBoxRedraw, &QComboBox::activated, this, &TPageRun::ComboBoxRedrawChange);
  connect(ComboBoxColorDenotes, &QComboBox::activated, this, &TPageRun::ComboBoxColorDenotesChange);
  SetProgramMode(KAVRO);
  run_.SetObserver(this);
  RefreshControls();
}

TPageRun::~TPageRun() {
  run_.Halt();
  run_.SetObserver(nullptr);
}

void TPageRun::ShowValues(const KDConfig& config) {
  Legends->RebuildDestinations(config);
  BitBtnRun->setFocus();
}

void TPageRun::ConfigurationReplaced() { LabelVehicleCount->setText("0"); }

void TPageRun::TrafficColors(TrafficDrawSettings& settings) const {
  const int scheme = ColorScheme();
  settings.scheme = static_cast<::ColorScheme>(scheme);
  settings.destinationCount = Legends->DestinationCount();
  settings.swatchColors = Legends->SwatchColors(scheme);
}

void TPageRun::RefreshControls() {
  const RunState& state = run_.State();
  const KDConfig* config = run_.Configuration();
  RunButtons buttons;
  if (config) buttons = RunButtonsFor(state, *config);
  BitBtnRun->setVisible(buttons.RunVisible);
  BitBtnRun->setEnabled(buttons.RunEnabled);
  BitBtnStep->setEnabled(buttons.StepEnabled);
  BitBtnReset->setEnabled(buttons.ResetEnabled);
  LabelSimulatorTime->setText(FromText(SimulatorTimeText(state.StepCount, state.StepsPerSecond)));
}

void TPageRun::BitBtnRunClick() {
  if (run_.LoopActive()) return;
  BitBtnRun->setVisible(false);
  BitBtnStop->setVisible(true);
  BitBtnStop->setFocus();
  run_.Run();
  BitBtnStop->setVisible(false);
  RefreshControls();
}

void TPageRun::BitBtnStepClick() {
  if (run_.State().Running) return;
  run_.Step();
  // The button is disabled while its step runs, which moves the focus on; the keyboard
  // stays with Step.
  if (BitBtnStep->isEnabled() && isVisible()) BitBtnStep->setFocus();
}

void TPageRun::BitBtnStopClick() { run_.Stop(); }

void TPageRun::BitBtnResetClick() {
  if (clearStatus_) clearStatus_();
  run_.Reset();
  LabelVehicleCount->setText("0");
  if (drawRoad_) drawRoad_();
}

void TPageRun::ComboBoxSimulationSpeedChange(int index) {
  run_.SetSpeedDelay(SpeedDelayForEntry(index));
  // Slowed down, every step is worth seeing.
  const bool maximum = index == kMaximumSpeedEntry;
  if (!maximum) {
    ComboBoxRedraw->setCurrentIndex(0);
    run_.SetRedrawEvery(1);
  }
  ComboBoxRedraw->setEnabled(maximum);
}

void TPageRun::ComboBoxRedrawChange(int index) { run_.SetRedrawEvery(RedrawEveryForEntry(index)); }

void TPageRun::SetProgramMode(int mode) {
  const int chosen = std::max(ComboBoxColorDenotes->currentIndex(), 0);
  ComboBoxColorDenotes->clear();
  for (const char* label :
       {"LabelSchemeSpeed", "LabelSchemeAcceleration",
        mode == DOVEL ? "LabelSchemeMergeIntention" : "LabelSchemeFollowState",
        "LabelSchemeVehicleType", "LabelSchemeDestination", "LabelSchemeRouteChoice"})
    ComboBoxColorDenotes->addItem(FromText(texts_.Text(label)));
  if (mode == DOVEL) ComboBoxColorDenotes->addItem(FromText(texts_.Text("LabelSchemeIccEquipped")));
  ComboBoxColorDenotes->setCurrentIndex(std::min(chosen, ComboBoxColorDenotes->count() - 1));
  Legends->SetProgramMode(mode);
  Legends->ShowScheme(ComboBoxColorDenotes->currentIndex());
}

int TPageRun::ColorScheme() const { return std::max(ComboBoxColorDenotes->currentIndex(), 0); }

std::string TPageRun::ColorSchemeName() const {
  return ToText(ComboBoxColorDenotes->currentText());
}

void TPageRun::ComboBoxColorDenotesChange(int index) {
  Legends->ShowScheme(index);
  if (drawRoad_) drawRoad_();
}

void TPageRun::StepCountChanged(int stepCount) {
  RefreshControls();
  if (next_) next_->StepCountChanged(stepCount);
}

void TPageRun::ShowTerminateTime(int seconds) {
  if (showTerminateTime_) showTerminateTime_(seconds);
  if (next_) next_->ShowTerminateTime(seconds);
}

void TPageRun::BatchProgress(int batchRun) {
  if (next_) next_->BatchProgress(batchRun);
}

void TPageRun::DetectorsSetUp(int numDetectors) {
  // A new run: the messages of the previous one leave the status bar.
  if (clearStatus_) clearStatus_();
  if (next_) next_->DetectorsSetUp(numDetectors);
}

void TPageRun::RunStarted() {
  if (next_) next_->RunStarted();
}

void TPageRun::RedrawVehicles() {
  if (drawTraffic_) {
    const int count = drawTraffic_();
    if (count >= 0) LabelVehicleCount->setText(QString::number(count));
  }
  if (next_) next_->RedrawVehicles();
}

QImage TPageRun::ScreenDumpImage() const {
  const QImage road = roadPicture_ ? roadPicture_() : QImage();
  const QFontMetrics metrics(font());
  const int textHeight = metrics.height();
  QImage image(std::max(road.width(), 1), road.height() + textHeight + 6, QImage::Format_RGB32);
  image.fill(palette().window().color());
  QPainter painter(&image);
  painter.setFont(font());
  painter.setPen(palette().windowText().color());
  const RunState& state = run_.State();
  const std::string caption = ScreenDumpCaption(
      run_.CurrentFileName(), texts_.Text("LabelColorDenotes"),
      schemeName_ ? schemeName_() : ColorSchemeName(), texts_.Text("LabelCurrentTime"),
      SimulatorTimeText(state.StepCount, state.StepsPerSecond));
  painter.drawText(6, 3 + metrics.ascent(), FromText(caption));
  if (!road.isNull()) painter.drawImage(0, textHeight + 6, road);
  return image;
}

void TPageRun::WriteScreenDump(int stepCount) {
  if (dumpPattern_.empty()) return;
  const std::string name = ScreenDumpFileName(dumpPattern_, stepCount, run_.State().RedrawEvery);
  std::string error;
  if (!WriteScreenDumpFile(dumpPattern_, name, ToRgbPicture(ScreenDumpImage()), error))
    UserMessage(ReportKind::Error, "Error",
                FillStringDirectives(texts_.Text("LabelCannotWrite"), {name, error}));
}

void TPageRun::VehiclesSampled(int stepCount) {
  if (next_) next_->VehiclesSampled(stepCount);
}

void TPageRun::DetectorsSampled(int periodCount) {
  if (next_) next_->DetectorsSampled(periodCount);
}

bool TPageRun::ListOpen() const {
  return ComboBoxSimulationSpeed->view()->isVisible() || ComboBoxRedraw->view()->isVisible();
}

void TPageRun::ProcessEvents() {
  if (processing_) return;
  processing_ = true;
  QCoreApplication::processEvents();
  // The kernel does not run while the user is choosing a speed or redraw rate.
  while (ListOpen()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  processing_ = false;
}

double TPageRun::WallClock() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}
