#include "roadview/ui/PageFlowPerOrigin.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "roadview/FlowChart.h"
#include "roadview/RoadDrawFlags.h"
#include "shell/ui/QtText.h"

namespace {

// Flow cells take digits only: flows are whole, non-negative vehicles per hour.
class FlowCellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      line->setObjectName("EditOFCell");
      line->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,6}"), line));
    }
    return editor;
  }
};

QTableWidgetItem* FixedItem(const QString& text, const QPalette& palette) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  item->setBackground(palette.color(QPalette::Button));
  return item;
}

}  // namespace

// ---- Chart ---------------------------------------------------------------------------------

TFlowChart::TFlowChart(QWidget* parent) : QWidget(parent) {
  setObjectName("ImageOF");
  setMouseTracking(true);
  setMinimumSize(200, 150);
}

void TFlowChart::SetPicture(QImage picture) {
  picture_ = std::move(picture);
  update();
}

void TFlowChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.drawImage(0, 0, picture_);
}

void TFlowChart::mouseMoveEvent(QMouseEvent* event) {
  if (MouseMoved) MouseMoved(event->position().toPoint().x(), event->position().toPoint().y());
}

void TFlowChart::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (Resized) Resized();
}

void DrawFlowChart(QImage& picture, const KDConfig& config, int currentOrigin) {
  const int width = picture.width();
  const int height = picture.height();
  const FlowChartScale scale = MakeFlowChartScale(config, currentOrigin, width, height);
  QPainter painter(&picture);
  painter.fillRect(picture.rect(), Qt::white);
  const QFontMetrics metrics = painter.fontMetrics();
  const int axisY = height - 16;
  painter.setPen(Qt::black);
  painter.drawLine(width - 1, axisY, 35, axisY);
  painter.drawLine(35, axisY, 35, 0);

  const int timeStep = FlowChartTimeStep(scale, metrics.horizontalAdvance("00000 "));
  for (int t = (scale.timeRange / timeStep) * timeStep; t >= 0; t -= timeStep) {
    const int x = scale.TimeX(t);
    if (x >= width) continue;
    painter.drawLine(x, axisY, x, axisY + 3);
    const QString label = QString::number(t);
    painter.drawText(x - metrics.horizontalAdvance(label) / 2, height - 2, label);
  }
  const int flowStep = FlowChartFlowStep(scale, metrics.height());
  for (int q = 0; q <= scale.flowRange; q += flowStep) {
    const int y = scale.FlowY(q);
    painter.drawLine(32, y, 35, y);
    const QString label = QString::number(q);
    painter.drawText(QRect(0, y - metrics.height() / 2, 31, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, label);
  }
  painter.setPen(Qt::red);
  const int capacityY = scale.FlowY(scale.capacity);
  painter.drawLine(35, capacityY, width - 1, capacityY);
  painter.setPen(Qt::black);
  painter.drawText(40, metrics.ascent(), "q [veh/h]");
  const QString timeLabel = "t [s]";
  painter.drawText(width - metrics.horizontalAdvance(timeLabel) - 2, axisY - 3, timeLabel);

  auto drawGraph = [&](int origin) {
    const std::vector<ChartPoint> line = FlowChartLine(config, origin, scale);
    for (size_t i = 1; i < line.size(); ++i)
      painter.drawLine(line[i - 1].x, line[i - 1].y, line[i].x, line[i].y);
  };
  painter.setPen(QPen(QColor(128, 128, 128), 1));
  for (int o = 0; o < config.SourceCount(); ++o) drawGraph(o);
  if (currentOrigin >= 0 && currentOrigin < config.SourceCount()) {
    painter.setPen(QPen(Qt::black, 2));
    drawGraph(currentOrigin);
  }
}

// ---- Page ----------------------------------------------------------------------------------

TPageFlowPerOrigin::TPageFlowPerOrigin(TrafficPageHost host, QWidget* parent)
    : QWidget(parent), host_(std::move(host)) {
  setObjectName("TabSheetFlowPerOrigin");
  clipboard_ = [] { return ToText(QApplication::clipboard()->text()); };
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* left = new QVBoxLayout;
  StringGridOF = new QTableWidget(this);
  StringGridOF->setObjectName("StringGridOF");
  StringGridOF->horizontalHeader()->hide();
  StringGridOF->verticalHeader()->hide();
  StringGridOF->setItemDelegate(new FlowCellDelegate(StringGridOF));
  StringGridOF->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGridOF->setEditTriggers(QAbstractItemView::AnyKeyPressed |
                                QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed);
  StringGridOF->setContextMenuPolicy(Qt::CustomContextMenu);
  StringGridOF->installEventFilter(this);
  StringGridOF->viewport()->installEventFilter(this);
  left->addWidget(StringGridOF, 1);
  auto* buttons = new QHBoxLayout;
  BitBtnAddPoint = new QPushButton("Add", this);
  BitBtnAddPoint->setObjectName("BitBtnAddPoint");
  BitBtnAddPoint->setToolTip("Add a time column after the current one");
  BitBtnDeletePoint = new QPushButton("Delete", this);
  BitBtnDeletePoint->setObjectName("BitBtnDeletePoint");
  BitBtnDeletePoint->setToolTip("Delete the current time column");
  buttons->addWidget(BitBtnAddPoint);
  buttons->addWidget(BitBtnDeletePoint);
  buttons->addStretch();
  left->addLayout(buttons);
  layout->addLayout(left, 3);
  PanelOFGraph = new QWidget(this);
  PanelOFGraph->setObjectName("PanelOFGraph");
  auto* chartLayout = new QVBoxLayout(PanelOFGraph);
  chartLayout->setContentsMargins(0, 0, 0, 0);
  ImageOF = new TFlowChart(PanelOFGraph);
  chartLayout->addWidget(ImageOF);
  layout->addWidget(PanelOFGraph, 2);
  setMinimumHeight(220);

  EditOF = new QLineEdit(StringGridOF->viewport());
  EditOF->setObjectName("EditOF");
  EditOF->hide();
  EditOF->installEventFilter(this);
  connect(EditOF, &QLineEdit::textEdited, this, [this] { timeTyped_ = true; });

  PopupMenuOF = new QMenu(this);
  PopupMenuOF->setObjectName("PopupMenuOF");
  ItemAddColumn = PopupMenuOF->addAction("&Add Column");
  ItemAddColumn->setObjectName("ItemAddColumn");
  ItemDeleteColumn = PopupMenuOF->addAction("&Delete Column");
  ItemDeleteColumn->setObjectName("ItemDeleteColumn");
  ItemPasteFlow = PopupMenuOF->addAction("&Paste");
  ItemPasteFlow->setObjectName("ItemPasteFlow");
  connect(ItemAddColumn, &QAction::triggered, this, &TPageFlowPerOrigin::BitBtnAddPointClick);
  connect(ItemDeleteColumn, &QAction::triggered, this, &TPageFlowPerOrigin::BitBtnDeletePointClick);
  connect(ItemPasteFlow, &QAction::triggered, this, &TPageFlowPerOrigin::ItemPasteFlowClick);
  connect(StringGridOF, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    PopupMenuOFPopup();
    PopupMenuOF->popup(StringGridOF->viewport()->mapToGlobal(at));
  });
  connect(PopupMenuOF, &QMenu::aboutToShow, this, &TPageFlowPerOrigin::PopupMenuOFPopup);

  connect(BitBtnAddPoint, &QPushButton::clicked, this, &TPageFlowPerOrigin::BitBtnAddPointClick);
  connect(BitBtnDeletePoint, &QPushButton::clicked, this,
          &TPageFlowPerOrigin::BitBtnDeletePointClick);
  connect(StringGridOF, &QTableWidget::currentCellChanged, this,
          [this](int row, int column) { CellSelected(row, column); });
  // A finished cell edit is written back at once: the table never holds values the
  // configuration lacks for longer than one edit.
  connect(StringGridOF, &QTableWidget::itemChanged, this, [this] {
    // After the edit has finished: the rebuild replaces the edited item.
    if (!rebuilding_)
      QMetaObject::invokeMethod(
          this, [this] { StringGridOFExit(); }, Qt::QueuedConnection);
  });
  ImageOF->Resized = [this] { RedrawChart(); };
  ImageOF->MouseMoved = [this](int x, int y) {
    const FlowChartScale scale =
        MakeFlowChartScale(host_.config(), currentRow_ - 1, ImageOF->width(), ImageOF->height());
    host_.status("Time " + std::to_string(scale.TimeAt(x)) + ", Flow " +
                 std::to_string(scale.FlowAt(y)));
  };
}

FlowGrid TPageFlowPerOrigin::TableGrid() const {
  FlowGrid grid(std::max(0, StringGridOF->rowCount() - 1));
  for (int c = 1; c < StringGridOF->columnCount(); ++c) grid.InsertColumn(c);
  for (int c = 0; c < StringGridOF->columnCount(); ++c)
    for (int r = 0; r < StringGridOF->rowCount(); ++r)
      if (QTableWidgetItem* item = StringGridOF->item(r, c)) grid.Cell(c, r) = ToText(item->text());
  return grid;
}

void TPageFlowPerOrigin::ShowGrid(const FlowGrid& grid) {
  const bool wasRebuilding = rebuilding_;
  rebuilding_ = true;
  StringGridOF->setRowCount(grid.Rows());
  StringGridOF->setColumnCount(grid.Columns());
  const QPalette& colors = palette();
  for (int c = 0; c < grid.Columns(); ++c) {
    for (int r = 0; r < grid.Rows(); ++r) {
      const QString text = FromText(grid.Cell(c, r));
      if (c == 0 || r == 0) {
        QTableWidgetItem* item = FixedItem(text, colors);
        if (r == 0) item->setTextAlignment(Qt::AlignCenter);
        StringGridOF->setItem(r, c, item);
      } else {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        StringGridOF->setItem(r, c, item);
      }
    }
  }
  StringGridOF->setColumnWidth(0, 100);
  for (int c = 1; c < grid.Columns(); ++c) StringGridOF->setColumnWidth(c, 56);
  currentColumn_ = std::min(currentColumn_, grid.Columns() - 1);
  currentRow_ = std::min(currentRow_, grid.Rows() - 1);
  if (currentColumn_ >= 0 && currentRow_ >= 0)
    StringGridOF->setCurrentCell(currentRow_, currentColumn_);
  rebuilding_ = wasRebuilding;
}

void TPageFlowPerOrigin::RedrawChart() {
  if (ImageOF->width() < 100) return;
  QImage picture(ImageOF->size(), QImage::Format_RGB32);
  DrawFlowChart(picture, host_.config(), currentRow_ - 1);
  ImageOF->SetPicture(std::move(picture));
}

void TPageFlowPerOrigin::RebuildFlowPage() {
  if (rebuilding_) return;
  rebuilding_ = true;
  ShowGrid(BuildFlowGrid(host_.config()));
  rebuilding_ = false;
  RedrawChart();
  BitBtnDeletePoint->setEnabled(currentColumn_ > 1);
}

void TPageFlowPerOrigin::WriteBack(const FlowGrid& grid, const std::string& undoLabel) {
  host_.debug("SendToKDC");
  host_.recordUndo(undoLabel);
  WriteFlowGrid(grid, host_.config());
  host_.changed();
}

void TPageFlowPerOrigin::StringGridOFExit() {
  host_.debug("StringGridOFExit");
  const FlowGrid grid = TableGrid();
  if (FlowGridDiffers(grid, host_.config())) WriteBack(grid, "flow change");
  RebuildFlowPage();
}

void TPageFlowPerOrigin::CellSelected(int row, int column) {
  if (rebuilding_ || row < 0 || column < 0) return;
  host_.debug("OFSelectCell(" + std::to_string(column) + "," + std::to_string(row) + ")");
  currentColumn_ = column;
  currentRow_ = row;
  if (row >= 1)
    host_.highlight(MakeRoadDrawFlags(RoadDrawKind::Origin, static_cast<std::uint32_t>(row)));
  RedrawChart();
  BitBtnDeletePoint->setEnabled(column > 1);
}

void TPageFlowPerOrigin::BitBtnAddPointClick() {
  FlowGrid grid = TableGrid();
  const int column = AddFlowColumn(grid, currentColumn_);
  if (column < 0) {
    host_.beep();
    host_.status(grid.Columns() - 1 >= kMaxFlowPoints
                     ? "A flow graph holds at most 99 points"
                     : "No whole second lies between this time and the next");
    return;
  }
  currentColumn_ = column;
  WriteBack(grid, "flow change");
  RebuildFlowPage();
}

void TPageFlowPerOrigin::BitBtnDeletePointClick() {
  FlowGrid grid = TableGrid();
  if (!DeleteFlowColumn(grid, currentColumn_)) return;
  currentColumn_ = std::min(currentColumn_, grid.Columns() - 1);
  WriteBack(grid, "flow change");
  RebuildFlowPage();
}

bool TPageFlowPerOrigin::PasteFlowValues(bool apply) {
  FlowGrid grid = TableGrid();
  const FlowPasteResult result =
      ::PasteFlowValues(grid, currentColumn_, currentRow_, clipboard_(), apply);
  if (!apply) return result.fits;
  if (!result.fits) {
    UserMessage(ReportKind::Error, "Error",
                "The clipboard text cannot be pasted here.\r\n" + result.message);
    return false;
  }
  if (FlowGridDiffers(grid, host_.config())) WriteBack(grid, "flow change");
  RebuildFlowPage();
  return true;
}

void TPageFlowPerOrigin::ItemPasteFlowClick() {
  EditOF->hide();
  StringGridOFExit();
  PasteFlowValues(true);
}

void TPageFlowPerOrigin::PopupMenuOFPopup() {
  const int columns = StringGridOF->columnCount();
  const FlowGrid grid = TableGrid();
  ItemAddColumn->setEnabled(currentColumn_ >= 1 &&
                            (currentColumn_ == columns - 1 ||
                             grid.Time(currentColumn_ + 1) - grid.Time(currentColumn_) >= 2));
  ItemDeleteColumn->setEnabled(currentColumn_ > 1);
  ItemPasteFlow->setEnabled(!clipboard_().empty());
}

void TPageFlowPerOrigin::OpenTimeEditor() {
  if (currentColumn_ <= 1 || currentColumn_ >= StringGridOF->columnCount()) {
    host_.beep();
    return;
  }
  const QRect cell = StringGridOF->visualRect(StringGridOF->model()->index(0, currentColumn_));
  EditOF->setGeometry(cell);
  EditOF->setText(StringGridOF->item(0, currentColumn_)->text());
  timeTyped_ = false;
  EditOF->show();
  EditOF->selectAll();
  EditOF->setFocus();
}

void TPageFlowPerOrigin::TimeEditorAccept() {
  int time = 0;
  if (!ScanWholeNumber(ToText(EditOF->text()), time) || time <= 0) return;
  FlowGrid grid = TableGrid();
  int column = currentColumn_;
  switch (SetFlowColumnTime(grid, column, time)) {
    case FlowTimeEdit::Unchanged:
      break;
    case FlowTimeEdit::Duplicate:
      UserMessage(ReportKind::Error, "Error", "All times must be distinct");
      return;
    case FlowTimeEdit::Moved:
      currentColumn_ = column;
      WriteBack(grid, "change flow time");
      break;
  }
  timeTyped_ = false;
  EditOF->hide();
  StringGridOF->setFocus();
  RebuildFlowPage();
}

// Keys of the time editor: Escape closes it, Enter takes the time, and no key may make the
// time larger than the editor takes.
bool TPageFlowPerOrigin::TimeEditorKey(int key, const QString& typed) {
  if (key == Qt::Key_Escape) {
    EditOF->hide();
    timeTyped_ = false;
    StringGridOF->setFocus();
    return true;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    TimeEditorAccept();
    return true;
  }
  if (typed.isEmpty() || !typed[0].isPrint()) return false;
  if (!typed[0].isDigit()) {
    host_.beep();
    return true;
  }
  QString text = EditOF->text();
  text.replace(EditOF->selectionStart() >= 0 ? EditOF->selectionStart() : EditOF->cursorPosition(),
               EditOF->selectedText().size(), typed);
  if (text.toLongLong() > kMaxFlowTime) {
    host_.beep();
    return true;
  }
  return false;
}

void TPageFlowPerOrigin::TableEnter() {
  const int column = currentColumn_;
  const int row = currentRow_;
  StringGridOFExit();
  if (column < 1 && row < 1) return;
  int nextRow = row + 1, nextColumn = column;
  if (nextRow >= StringGridOF->rowCount()) {
    nextRow = 1;
    ++nextColumn;
  }
  if (nextColumn >= StringGridOF->columnCount()) return;
  StringGridOF->setCurrentCell(nextRow, std::max(1, nextColumn));
}

bool TPageFlowPerOrigin::eventFilter(QObject* watched, QEvent* event) {
  if (watched == EditOF) {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      return TimeEditorKey(key->key(), key->text());
    }
    if (event->type() == QEvent::FocusOut && EditOF->isVisible()) {
      if (timeTyped_) TimeEditorAccept();
      EditOF->hide();
      StringGridOFExit();
    }
    return false;
  }
  if (watched == StringGridOF && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    // Enter in an open cell editor reaches the table too; the editor keeps it.
    const bool editing = QApplication::focusWidget() != StringGridOF;
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !editing) {
      TableEnter();
      return true;
    }
    if (key->matches(QKeySequence::Paste)) {
      ItemPasteFlowClick();
      return true;
    }
  }
  if (watched == StringGridOF->viewport() && event->type() == QEvent::MouseButtonRelease) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QModelIndex index = StringGridOF->indexAt(mouse->position().toPoint());
    if (index.isValid() && mouse->button() == Qt::LeftButton) {
      currentColumn_ = index.column();
      currentRow_ = index.row();
      BitBtnDeletePoint->setEnabled(currentColumn_ > 1);
      if (index.row() == 0 && index.column() > 1)
        OpenTimeEditor();
      else if (index.row() == 0 || index.column() == 0)
        host_.beep();
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TPageFlowPerOrigin::ShowValues() {
  RebuildFlowPage();
  StringGridOF->setFocus();
}

bool TPageFlowPerOrigin::RoadMouseDown(int x, int y, Qt::MouseButton, QPoint) {
  const int origin = OriginGlyphAt(host_.areas(), x, y);
  // Row 0 of the flow table holds the times; origin r is row r + 1.
  if (origin < 0 || origin + 1 >= StringGridOF->rowCount()) return false;
  StringGridOF->setFocus();
  StringGridOF->setCurrentCell(origin + 1, std::max(StringGridOF->currentColumn(), 1));
  return true;
}
