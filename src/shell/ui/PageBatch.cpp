#include "shell/ui/PageBatch.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "shell/ui/QtText.h"

namespace {

QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

QComboBox* MakeList(const char* name, QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  return list;
}

// A number field reads as a number only while it holds digits; anything else reads as 0.
int FieldNumber(const QLineEdit* edit) {
  bool ok = false;
  const int value = edit->text().toInt(&ok);
  return ok ? value : 0;
}

enum Column { kRun, kSeed, kStarted, kFinished, kStatus, kColumns };

}  // namespace

TPageBatch::TPageBatch(RunController& run, QWidget* parent)
    : QWidget(parent), run_(run), runner_(std::make_unique<BatchRunner>(run)) {
  setObjectName("PageBatch");
  EditNumberOfRuns = new QLineEdit("10", this);
  EditNumberOfRuns->setObjectName("EditNumberOfRuns");
  ComboBoxStopSpeed = MakeList("ComboBoxStopSpeed", this);
  ComboBoxStopSpeed->addItem("any detector");
  ComboBoxFromLane = MakeList("ComboBoxFromLane", this);
  ComboBoxUpToLane = MakeList("ComboBoxUpToLane", this);
  for (int lane = 1; lane <= MAX_KAVROLANE; ++lane) {
    ComboBoxFromLane->addItem(QString::number(lane));
    ComboBoxUpToLane->addItem(QString::number(lane));
  }
  ComboBoxFromLane->setCurrentIndex(0);
  ComboBoxUpToLane->setCurrentIndex(MAX_KAVROLANE - 1);
  EditDropSpeedLimit = new QLineEdit("40", this);
  EditDropSpeedLimit->setObjectName("EditDropSpeedLimit");
  EditDropSpeedLimit->installEventFilter(this);
  ComboBoxReportFlowAt = MakeList("ComboBoxReportFlowAt", this);

  BitBtnStart = MakeButton("BitBtnStart", "St&art", this);
  BitBtnBatchStop = MakeButton("BitBtnBatchStop", "&Stop", this);
  BitBtnResume = MakeButton("BitBtnResume", "Res&ume", this);
  BitBtnBatchStop->setVisible(false);
  BitBtnResume->setVisible(false);
  PanelProgress = new QWidget(this);
  PanelProgress->setObjectName("PanelProgress");
  LabelBatchRun = new QLabel("Run: 1", PanelProgress);
  LabelBatchRun->setObjectName("LabelBatchRun");
  LabelBatchTime = new QLabel("Time: 0", PanelProgress);
  LabelBatchTime->setObjectName("LabelBatchTime");
  auto* progress = new QHBoxLayout(PanelProgress);
  progress->setContentsMargins(0, 0, 0, 0);
  progress->addWidget(LabelBatchRun);
  progress->addSpacing(16);
  progress->addWidget(LabelBatchTime);
  PanelProgress->setVisible(false);

  auto* grid = new QGridLayout;
  auto addRow = [&](int row, const char* name, const char* caption, QWidget* field, int span = 1) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1, 1, span);
  };
  addRow(0, "LabelNumberOfRuns", "Number of runs", EditNumberOfRuns);
  addRow(1, "LabelStopSpeed", "Stop when the speed at", ComboBoxStopSpeed);
  auto* lanes = new QWidget(this);
  auto* lanesRow = new QHBoxLayout(lanes);
  lanesRow->setContentsMargins(0, 0, 0, 0);
  lanesRow->addWidget(ComboBoxFromLane);
  auto* upTo = new QLabel("up to lane", lanes);
  upTo->setObjectName("LabelUpToLane");
  lanesRow->addWidget(upTo);
  lanesRow->addWidget(ComboBoxUpToLane);
  addRow(2, "LabelFromLane", "over lanes from lane", lanes);
  addRow(3, "LabelDropSpeedLimit", "drops below [km/h]", EditDropSpeedLimit);
  addRow(4, "LabelReportFlowAt", "Report the highest flow at", ComboBoxReportFlowAt);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BitBtnStart);
  buttons->addWidget(BitBtnBatchStop);
  buttons->addWidget(BitBtnResume);
  buttons->addWidget(PanelProgress);
  buttons->addStretch(1);
  grid->addLayout(buttons, 5, 0, 1, 3);
  grid->setColumnStretch(2, 1);
  auto* outer = new QHBoxLayout(this);
  outer->addLayout(grid);
  outer->addStretch(1);

  StringGridBatch = new QTableWidget(0, kColumns);
  StringGridBatch->setObjectName("StringGridBatch");
  StringGridBatch->setHorizontalHeaderLabels({"Run", "Seed", "Started", "Finished", "Status"});
  StringGridBatch->verticalHeader()->setVisible(false);
  StringGridBatch->setSelectionMode(QAbstractItemView::NoSelection);
  StringGridBatch->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGridBatch->setFocusPolicy(Qt::NoFocus);
  StringGridBatch->setColumnWidth(kStatus, 530);
  StringGridBatch->horizontalHeader()->setStretchLastSection(true);

  connect(EditNumberOfRuns, &QLineEdit::textEdited, this, [this] { EditNumberOfRunsChange(true); });
  connect(BitBtnStart, &QPushButton::clicked, this, &TPageBatch::BitBtnStartClick);
  connect(BitBtnBatchStop, &QPushButton::clicked, this, &TPageBatch::BitBtnStopClick);
  connect(BitBtnResume, &QPushButton::clicked, this, &TPageBatch::BitBtnResumeClick);

  runner_->SetObserver(this);
  runner_->Settings().NumberOfRuns = 10;
  runner_->SetNumberOfRuns(10, true);
}

TPageBatch::~TPageBatch() {
  runner_->SetObserver(nullptr);
  if (!StringGridBatch->parent()) delete StringGridBatch;
}

// Only digits, Ctrl+C, Ctrl+V and Backspace reach the drop speed; Enter is swallowed.
bool TPageBatch::eventFilter(QObject* watched, QEvent* event) {
  if (watched == EditDropSpeedLimit && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste)) return false;
    if (key->key() == Qt::Key_Backspace) return false;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) return true;
    const QString text = key->text();
    if (text.size() == 1 && text[0].isDigit()) return false;
    // Moving the caret and deleting leave the text's digits as they are.
    if (text.isEmpty() && key->key() != Qt::Key_unknown) return false;
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

int TPageBatch::NumberOfRuns() const { return FieldNumber(EditNumberOfRuns); }

void TPageBatch::EditNumberOfRunsChange(bool typed) {
  if (typed) {
    const QString text = EditNumberOfRuns->text();
    int digits = 0;
    while (digits < text.size() && text[digits].isDigit()) ++digits;
    if (digits < text.size()) {
      QApplication::beep();
      EditNumberOfRuns->setText(text.left(digits));
      EditNumberOfRuns->setCursorPosition(digits);
      return;
    }
    if (text.isEmpty()) return;
    if (text.size() > 5 || text.toInt() > kMaxBatchRuns) {
      UserMessage(ReportKind::Error, "Error", "The valid range is 1..10000");
      EditNumberOfRuns->setText("10000");
      EditNumberOfRunsChange(true);
      return;
    }
    const int runs = text.toInt();
    runner_->Settings().NumberOfRuns = runs;
    runner_->SetNumberOfRuns(runs, false);
  } else {
    runner_->SetNumberOfRuns(static_cast<int>(runner_->Rows().size()), true);
  }
  BitBtnResume->setVisible(false);
}

void TPageBatch::ShowValues() {
  const KDConfig* config = run_.Configuration();
  const int detectors = config ? config->DetectorCount() : 0;
  // The stop list has "any detector" first; both lists name the detectors from 1.
  auto follow = [detectors](QComboBox* list, int fixed) {
    while (list->count() > fixed + detectors) list->removeItem(list->count() - 1);
    while (list->count() < fixed + detectors)
      list->addItem(QString("detector %1").arg(list->count() - fixed + 1));
    if (list->currentIndex() < 0 && list->count() > 0) list->setCurrentIndex(0);
  };
  follow(ComboBoxStopSpeed, 1);
  follow(ComboBoxReportFlowAt, 0);
  const int runs = NumberOfRuns();
  if (runs != static_cast<int>(runner_->Rows().size()) && runs > 0) {
    runner_->Settings().NumberOfRuns = runs;
    runner_->SetNumberOfRuns(runs, false);
  }
  RefreshResume();
}

void TPageBatch::RefreshResume() {
  runner_->Settings().NumberOfRuns = NumberOfRuns();
  BitBtnResume->setVisible(!runner_->Active() && runner_->CanResume());
}

void TPageBatch::ReadSettings() {
  BatchSettings& s = runner_->Settings();
  s.NumberOfRuns = NumberOfRuns();
  s.StopDetector = std::max(ComboBoxStopSpeed->currentIndex(), 0);
  s.ReportDetector = ComboBoxReportFlowAt->currentIndex() + 1;  // no entry: no report
  s.DropSpeed = FieldNumber(EditDropSpeedLimit);
  s.FromLane = ComboBoxFromLane->currentIndex() + 1;
  s.UpToLane = ComboBoxUpToLane->currentIndex() + 1;
}

void TPageBatch::BitBtnStartClick() {
  if (runner_->Active()) return;
  if (run_.Configuration() == nullptr) return;
  ReadSettings();
  if (!runner_->CanStart()) return;
  BitBtnBatchStop->setVisible(true);
  BitBtnBatchStop->setFocus();
  BitBtnStart->setVisible(false);
  BitBtnResume->setVisible(false);
  PanelProgress->setVisible(true);
  LabelBatchRun->setText("Run: 1");
  if (starting_) starting_();
  runner_->Start();
  AfterRun();
}

void TPageBatch::BitBtnResumeClick() {
  if (runner_->Active() || resuming_) return;
  resuming_ = true;
  ReadSettings();
  BitBtnBatchStop->setVisible(true);
  BitBtnBatchStop->setFocus();
  BitBtnResume->setVisible(false);
  BitBtnStart->setVisible(false);
  PanelProgress->setVisible(true);
  runner_->Resume();
  resuming_ = false;
  AfterRun();
}

void TPageBatch::AfterRun() {
  PanelProgress->setVisible(false);
  BitBtnBatchStop->setVisible(false);
  BitBtnStart->setVisible(true);
  RefreshResume();
}

void TPageBatch::BitBtnStopClick() {
  runner_->Stop();
  RefreshResume();
  // While the loop still runs, Resume appears once it has ended (AfterRun).
  if (runner_->Active()) BitBtnResume->setVisible(false);
}

void TPageBatch::ConfigurationReplaced() {
  if (run_.State().BatchRun != 0) run_.LeaveBatch();
  EditNumberOfRunsChange(false);
}

void TPageBatch::StepCountChanged(int stepCount) {
  if (run_.State().BatchRun < 1) return;
  const int perSecond = std::max(run_.State().StepsPerSecond, 1);
  LabelBatchTime->setText(QString("Time: %1").arg(stepCount / perSecond));
}

void TPageBatch::BatchProgress(int batchRun) {
  if (batchRun >= 1) LabelBatchRun->setText(QString("Run: %1").arg(batchRun));
}

void TPageBatch::ShowRow(int row) {
  const std::vector<BatchRow>& rows = runner_->Rows();
  if (row < 1 || row > static_cast<int>(rows.size()) || row > StringGridBatch->rowCount()) return;
  const BatchRow& r = rows[row - 1];
  const QString cells[kColumns] = {QString::number(r.Run), QString::number(r.Seed),
                                   FromText(r.Started), FromText(r.Finished),
                                   " " + FromText(r.Status)};
  for (int c = 0; c < kColumns; ++c) {
    QTableWidgetItem* item = StringGridBatch->item(row - 1, c);
    if (item == nullptr) {
      item = new QTableWidgetItem;
      // The time columns are centred, the status left-aligned after a blank, the rest right.
      item->setTextAlignment(c == kStarted || c == kFinished ? Qt::AlignCenter
                             : c == kStatus                  ? Qt::AlignLeft | Qt::AlignVCenter
                                                             : Qt::AlignRight | Qt::AlignVCenter);
      StringGridBatch->setItem(row - 1, c, item);
    }
    if (item->text() != cells[c]) item->setText(cells[c]);
  }
}

void TPageBatch::RowChanged(int row) { ShowRow(row); }

void TPageBatch::RowsRebuilt() {
  const int rows = static_cast<int>(runner_->Rows().size());
  StringGridBatch->setRowCount(rows);
  for (int row = 1; row <= rows; ++row) ShowRow(row);
}

std::vector<std::string> TPageBatch::Statuses() const {
  std::vector<std::string> statuses;
  for (const BatchRow& row : runner_->Rows()) statuses.push_back(row.Status);
  return statuses;
}

std::vector<CapacityObservation> TPageBatch::Observations() const {
  std::vector<CapacityObservation> observations;
  for (const BatchRow& row : runner_->Rows())
    AppendRunObservations(row.Run, row.Seed, row.Capacity, observations);
  return observations;
}
