#include "roadview/ui/BarEditor.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "shell/ui/QtText.h"

namespace {

constexpr int kNameWidth = 140;  // [px] the row name column
constexpr int kScaleHeight = 22;

}  // namespace

TDragSegment::TDragSegment(TBarEditor* editor, QWidget* parent) : QWidget(parent), editor_(editor) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TDragSegment::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor face = Warn ? QColor(255, 0, 0) : palette().color(QPalette::Button);
  painter.fillRect(rect(), face);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.setPen(palette().color(QPalette::ButtonText));
  // A caption wider than its segment starts at the left edge and is cut at the right.
  const QRect text = rect().adjusted(3, 0, -3, 0);
  const bool fits = painter.fontMetrics().horizontalAdvance(Caption) <= text.width();
  painter.setClipRect(text);
  painter.drawText(text, (fits ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter, Caption);
}

void TDragSegment::mousePressEvent(QMouseEvent* event) { editor_->SegmentMouseDown(this, event); }
void TDragSegment::mouseMoveEvent(QMouseEvent* event) { editor_->SegmentMouseMove(this, event); }
void TDragSegment::mouseReleaseEvent(QMouseEvent* event) { editor_->SegmentMouseUp(this, event); }

TBarScale::TBarScale(QWidget* parent) : QWidget(parent) {
  setObjectName("ImageScale");
  setFixedHeight(kScaleHeight);
}

void TBarScale::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Button));
  painter.setPen(palette().color(QPalette::ButtonText));
  const QFontMetrics metrics(font());
  for (int i = 0; i <= 100; ++i) {
    const int x = PanelLeft + PanelWidth * i / 100;
    const int tick = i % 5 == 0 ? 4 : 2;
    painter.drawLine(x, height() - tick, x, height() - 1);
    if (i % 10 != 0) continue;
    const QString label = QString::number(i);
    const int w = metrics.horizontalAdvance(label);
    const int left = std::clamp(x - w / 2, 0, std::max(0, width() - w));
    painter.drawText(left, metrics.ascent(), label);
  }
  painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
  for (int x : {GuideLeft, GuideRight})
    if (x >= 0) painter.drawLine(x, 0, x, height());
}

TBarEditor::TBarEditor(const QString& name, QWidget* parent) : QWidget(parent) {
  setObjectName(name);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  ImageScale = new TBarScale(this);
  layout->addWidget(ImageScale);
  ScrollBars = new QScrollArea(this);
  ScrollBars->setObjectName("ScrollBoxBars");
  ScrollBars->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ScrollBars->setWidgetResizable(true);
  ScrollBars->verticalScrollBar()->setSingleStep(kRowHeight / 2);
  layout->addWidget(ScrollBars, 1);
  content_ = new QWidget;
  auto* row = new QHBoxLayout(content_);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  StringGridRows = new QTableWidget(content_);
  StringGridRows->setObjectName(name + "Rows");
  StringGridRows->setColumnCount(1);
  StringGridRows->horizontalHeader()->hide();
  StringGridRows->verticalHeader()->hide();
  StringGridRows->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGridRows->setSelectionMode(QAbstractItemView::NoSelection);
  StringGridRows->setFocusPolicy(Qt::NoFocus);
  StringGridRows->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGridRows->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGridRows->setFixedWidth(kNameWidth);
  StringGridRows->setColumnWidth(0, kNameWidth);
  StringGridRows->verticalHeader()->setMinimumSectionSize(1);
  StringGridRows->verticalHeader()->setDefaultSectionSize(kRowHeight);
  row->addWidget(StringGridRows, 0, Qt::AlignTop);
  PanelDrag = new QWidget(content_);
  PanelDrag->setObjectName("PanelDrag");
  row->addWidget(PanelDrag, 1, Qt::AlignTop);
  ScrollBars->setWidget(content_);
}

float TBarEditor::Share(int row, int column) const {
  return column >= 0 && column < source_.columns ? source_.get(row, column, true) : 0.0f;
}

void TBarEditor::DragPanelRebuild() {
  if (rebuilding_ || !source_.get) return;
  rebuilding_ = true;
  const int rows = source_.rows;
  content_->setMinimumHeight(rows * kRowHeight);
  StringGridRows->setRowCount(rows);
  StringGridRows->setFixedHeight(std::max(1, rows * kRowHeight));
  for (int r = 0; r < rows; ++r) {
    auto* item = new QTableWidgetItem(FromText(BarRowHeader(source_, r)));
    StringGridRows->setItem(r, 0, item);
    StringGridRows->setRowHeight(r, kRowHeight);
  }
  PanelDrag->setFixedHeight(std::max(1, rows * kRowHeight));
  const int width = std::max(1, ScrollBars->viewport()->width() - kNameWidth);
  for (TDragSegment* segment : segments_) segment->hide();
  const std::vector<BarSegment> layout = LayoutBars(source_, width);
  for (size_t i = 0; i < layout.size(); ++i) {
    if (i >= segments_.size()) segments_.push_back(new TDragSegment(this, PanelDrag));
    TDragSegment* segment = segments_[i];
    const BarSegment& s = layout[i];
    segment->Segment = s;
    segment->setObjectName(QString("DragSegment_%1_%2").arg(s.row).arg(s.column));
    const float share = source_.get(s.row, s.column, true);
    const std::string rowName = source_.rowName ? source_.rowName(s.row) : "";
    const std::string columnName = source_.columnName ? source_.columnName(s.column) : "";
    segment->Caption = FromText(FormatBarText(source_.captionFormat, rowName, columnName, share));
    segment->Hint = FromText(FormatBarText(source_.hintFormat, rowName, columnName, share));
    segment->setToolTip(segment->Hint);
    segment->Warn = source_.warn && source_.warn(s.row, s.column);
    segment->setGeometry(s.left, s.row * kRowHeight, s.right - s.left, kRowHeight);
    segment->setVisible(s.right > s.left);
    segment->update();
  }
  ImageScale->PanelLeft = kNameWidth + ScrollBars->frameWidth();
  ImageScale->PanelWidth = width;
  ImageScale->GuideLeft = ImageScale->GuideRight = -1;
  ImageScale->update();
  rebuilding_ = false;
}

TDragSegment* TBarEditor::SegmentAt(int row, int column) const {
  for (TDragSegment* segment : segments_)
    if (segment->isVisible() && segment->Segment.row == row && segment->Segment.column == column)
      return segment;
  return nullptr;
}

void TBarEditor::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  DragPanelRebuild();
}

void TBarEditor::SegmentMouseDown(TDragSegment* segment, QMouseEvent* event) {
  const BarSegment& s = segment->Segment;
  if (Pressed) Pressed(s.row);
  if (event->button() != Qt::LeftButton) return;
  const int x = event->position().toPoint().x();
  drag_ = StartBarDrag(x, segment->width(), s.first, s.last, Share(s.row, s.column - 1),
                       Share(s.row, s.column + 1), ImageScale->PanelWidth);
  dragged_ = drag_.kind == BarDragKind::None ? nullptr : segment;
  pressX_ = x;
  delta_ = 0;
  if (Debug)
    Debug("DragKind = " + std::to_string(static_cast<int>(drag_.kind)) + " Range = (" +
          std::to_string(drag_.low) + "," + std::to_string(drag_.high) + ")");
  SegmentMouseMove(segment, event);
}

void TBarEditor::SegmentMouseMove(TDragSegment* segment, QMouseEvent* event) {
  const BarSegment& s = segment->Segment;
  const int x = event->position().toPoint().x();
  segment->setCursor(OnDraggableBorder(x, segment->width(), s.first, s.last) || dragged_
                         ? Qt::SizeHorCursor
                         : Qt::ArrowCursor);
  std::string status = ToText(segment->Hint);
  if (segment == dragged_ && (event->buttons() & Qt::LeftButton)) {
    const int limited = std::clamp(x, drag_.low, drag_.high);
    delta_ = BarDragDelta(drag_, pressX_, limited, ImageScale->PanelWidth);
    const int shown = ShownDragShare(drag_.kind, Share(s.row, s.column), delta_);
    status += " -> " + std::to_string(shown) + "%";
    const int moved = limited - pressX_;
    const int left = ImageScale->PanelLeft + segment->x();
    ImageScale->GuideLeft = drag_.kind != BarDragKind::RightBorder ? left + moved : -1;
    ImageScale->GuideRight =
        drag_.kind != BarDragKind::LeftBorder ? left + segment->width() + moved : -1;
    ImageScale->update();
  }
  if (Status) Status(status);
}

void TBarEditor::SegmentMouseUp(TDragSegment* segment, QMouseEvent* event) {
  ImageScale->GuideLeft = ImageScale->GuideRight = -1;
  ImageScale->update();
  if (segment != dragged_ || event->button() != Qt::LeftButton) return;
  const BarSegment s = segment->Segment;
  const BarDragKind kind = drag_.kind;
  const int x = std::clamp(event->position().toPoint().x(), drag_.low, drag_.high);
  const float delta = BarDragDelta(drag_, pressX_, x, ImageScale->PanelWidth);
  dragged_ = nullptr;
  drag_ = BarDrag{};
  // A click without a move changes nothing.
  if (x != pressX_ && Dropped) Dropped(s.row, s.column, kind, delta);
  DragPanelRebuild();
}
