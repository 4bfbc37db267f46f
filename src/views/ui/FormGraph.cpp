#include "views/ui/FormGraph.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "config/ProgramMode.h"
#include "roadview/ui/QtColor.h"
#include "views/LaneColors.h"

namespace {

// Shows the graph's picture.
class GraphPanel : public QWidget {
 public:
  GraphPanel(const QImage& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    setMouseTracking(false);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
  }

 private:
  const QImage& picture_;
};

QColor LaneColor(int lane) { return ToQColor(LaneSeriesColor(lane % MAX_KAVROLANE)); }

}  // namespace

TFormGraph::TFormGraph(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
  setObjectName("FormGraph");
  PanelGraph = new GraphPanel(picture_, this);
  PanelGraph->setObjectName("PanelGraph");
  PanelGraph->installEventFilter(this);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(PanelGraph);

  CheckBoxAggregate = new QCheckBox("*", PanelGraph);
  CheckBoxAggregate->setObjectName("CheckBoxAggregate");
  CheckBoxAggregate->setChecked(false);
  CheckBoxAggregate->setToolTip("Show or hide the aggregate over all lanes");
  connect(CheckBoxAggregate, &QCheckBox::clicked, this, &TFormGraph::CheckBoxAggregateClick);

  PanelAverage = new QWidget(PanelGraph);
  PanelAverage->setObjectName("PanelAverage");
  SpeedButtonMinus = new QToolButton(PanelAverage);
  SpeedButtonMinus->setObjectName("SpeedButtonMinus");
  SpeedButtonMinus->setText("-");
  SpeedButtonPlus = new QToolButton(PanelAverage);
  SpeedButtonPlus->setObjectName("SpeedButtonPlus");
  SpeedButtonPlus->setText("+");
  LabelDivisor = new QLabel("1", PanelAverage);
  LabelDivisor->setObjectName("LabelDivisor");
  LabelDivisor->setAlignment(Qt::AlignCenter);
  auto* average = new QHBoxLayout(PanelAverage);
  average->setContentsMargins(0, 0, 0, 0);
  average->setSpacing(1);
  average->addWidget(SpeedButtonMinus);
  average->addWidget(LabelDivisor);
  average->addWidget(SpeedButtonPlus);
  PanelAverage->adjustSize();
  PanelAverage->setVisible(false);
  connect(SpeedButtonMinus, &QToolButton::clicked, this, [this] { SpeedButtonClick(-1); });
  connect(SpeedButtonPlus, &QToolButton::clicked, this, [this] { SpeedButtonClick(1); });

  PanelCursorPos = new QLabel(PanelGraph);
  PanelCursorPos->setObjectName("PanelCursorPos");
  PanelCursorPos->setAutoFillBackground(true);
  PanelCursorPos->setFrameShape(QFrame::Box);
  PanelCursorPos->setVisible(false);
  resize(420, 300);
}

void TFormGraph::SetupGraph(int lanes, int detector, int interval, int firstTime, char xId,
                            char yId) {
  detector_ = detector;
  const bool lanesChanged = lanes != lanes_;
  if (lanesChanged) divisor_ = std::max(lanes, 1);
  SpeedButtonMinus->setEnabled(divisor_ > 1);
  SpeedButtonPlus->setEnabled(divisor_ < lanes);
  LabelDivisor->setText(QString::number(divisor_));
  while (static_cast<int>(LaneBoxes.size()) > lanes) {
    delete LaneBoxes.back();
    LaneBoxes.pop_back();
  }
  while (static_cast<int>(LaneBoxes.size()) < lanes) {
    const int lane = static_cast<int>(LaneBoxes.size());
    auto* box = new QCheckBox(QString::number(lane + 1), PanelGraph);
    box->setObjectName(QString("CheckBoxLane%1").arg(lane + 1));
    box->setChecked(true);
    box->setToolTip(QString("Show or hide data for lane %1").arg(lane + 1));
    box->setStyleSheet("background: white");
    connect(box, &QCheckBox::clicked, this, [this] { DrawGraph(periods_); });
    box->show();
    LaneBoxes.push_back(box);
  }
  CheckBoxAggregate->setStyleSheet("background: white");
  interval_ = interval;
  firstTime_ = firstTime;
  xId_ = xId;
  yId_ = yId;
  setWindowTitle(QString::fromStdString(GraphCaption("Detector", detector, yId, xId)));
  const bool qOrK = xId == 'q' || xId == 'k' || yId == 'q' || yId == 'k';
  PanelAverage->setVisible(aggregateShown_ && qOrK);
  lanes_ = lanes;
  PanelCursorPos->setVisible(false);
  if (isVisible())
    DrawGraph(periods_);
  else if (lanesChanged)
    show();
}

int TFormGraph::LongestTravelTime(int periods) const {
  int longest = 0;
  if (!store_) return 0;
  for (int p = 0; p < periods; ++p) {
    const DetectorSample* record = store_->Record(p, detector_);
    if (!record) continue;
    for (int lane = 0; lane < lanes_ && lane < MAX_KAVROLANE; ++lane)
      if (record->TravelTimeCount[lane] > 0)
        longest = std::max(
            longest, static_cast<int>(record->TravelTimeSum[lane] / record->TravelTimeCount[lane]));
  }
  return longest;
}

void TFormGraph::DrawGraph(int periods) {
  periods_ = std::max(periods, 0);
  const QSize size = PanelGraph->size();
  picture_ = QImage(std::max(size.width(), 1), std::max(size.height(), 1), QImage::Format_RGB32);
  QPainter painter(&picture_);
  painter.setFont(font());
  const QFontMetrics metrics = painter.fontMetrics();
  const int hXy = metrics.boundingRect("Xy").height();
  if (!marginsSet_) {
    left_ = metrics.horizontalAdvance("0000") + 6;
    right_ = metrics.horizontalAdvance("k [veh/km]") + 4;
    top_ = hXy / 2;
    bottom_ = hXy + 4;
    marginsSet_ = true;
  }
  const int width = picture_.width();
  const int height = picture_.height();
  const DetectorValueContext context = context_ ? context_(detector_) : DetectorValueContext{};
  // The time of the latest period drawn: at the set-up of a run the time axis starts short.
  const int latest = (periods_ - 1) * interval_ + firstTime_;
  mapping_ = GraphMapping{width, height, left_, right_, top_, bottom_, {}, {}};
  GraphAxisScale(xId_, latest, LongestTravelTime(periods_), mapping_.XScale);
  GraphAxisScale(yId_, latest, LongestTravelTime(periods_), mapping_.YScale);
  const int periodsToDraw = store_ ? std::min(periods_, store_->PeriodCount()) : 0;
  series_ = BuildGraphSeries(
      [&](char id, int period, float* perLane) {
        const int length = period == 0 ? context.FirstTime : context.Interval;
        return ComputeDetectorValues(*store_, id, period, detector_, perLane, divisor_, lanes_,
                                     length, context);
      },
      xId_, yId_, periodsToDraw, lanes_);
  if (width < 10) {
    PanelGraph->update();
    return;
  }
  picture_.fill(Qt::white);
  painter.setPen(Qt::black);
  const GraphMapping& map = mapping_;
  const int x0 = map.X(map.XScale.Min);
  const int y0 = map.Y(map.YScale.Min);
  painter.drawLine(width, y0, x0, y0);
  painter.drawLine(x0, y0, x0, 0);
  const int digitHeight = metrics.boundingRect("0").height();
  for (float v = map.XScale.Min; v <= map.XScale.Max + 0.001f; v += map.XScale.Major) {
    const int x = map.X(v);
    painter.drawLine(x, y0 + 2, x, y0);
    const QString label = QString::asprintf("%d", static_cast<int>(v));
    painter.drawText(x - metrics.horizontalAdvance(label) / 2,
                     y0 + digitHeight / 2 - 3 + metrics.ascent(), label);
  }
  const QString xCaption = QString::fromStdString(map.XScale.Caption);
  painter.drawText(width - metrics.horizontalAdvance(xCaption) - 3,
                   y0 - metrics.height() - 1 + metrics.ascent(), xCaption);
  for (float v = map.YScale.Min; v <= map.YScale.Max + 0.001f; v += map.YScale.Major) {
    const int y = map.Y(v);
    painter.drawLine(x0 - 2, y, x0, y);
    const QString label = QString::asprintf("%d", static_cast<int>(v));
    painter.drawText(x0 - 4 - metrics.horizontalAdvance(label),
                     y - metrics.height() / 2 + metrics.ascent(), label);
  }
  painter.drawText(x0 + 2, metrics.ascent(), QString::fromStdString(map.YScale.Caption));

  PlaceBoxes();
  // Discs left of the boxes in the series colours.
  painter.setPen(Qt::black);
  for (int lane = 0; lane < lanes_; ++lane) {
    const QRect box = LaneBoxes[lane]->geometry();
    painter.setBrush(LaneColor(lane));
    painter.drawEllipse(QPoint(box.left() - 8, box.center().y()), 4, 4);
  }
  painter.setBrush(Qt::black);
  const QRect aggregate = CheckBoxAggregate->geometry();
  painter.drawEllipse(QPoint(aggregate.left() - 8, aggregate.center().y()), 4, 4);

  std::vector<bool> shown(lanes_ + 1);
  for (int lane = 0; lane < lanes_; ++lane) shown[lane] = LaneBoxes[lane]->isChecked();
  shown[lanes_] = aggregateShown_;
  std::vector<GraphSegment> segments;
  std::vector<GraphMarker> markers;
  GraphGeometry(series_, map, shown, segments, markers);
  painter.setPen(Qt::black);
  for (const GraphSegment& s : segments) painter.drawLine(s.X0, s.Y0, s.X1, s.Y1);
  for (const GraphMarker& m : markers) {
    painter.setBrush(m.Series < lanes_ ? LaneColor(m.Series) : QColor(Qt::black));
    painter.drawEllipse(QPoint(m.X, m.Y), 4, 4);
  }
  painter.end();
  PanelGraph->update();
}

void TFormGraph::PlaceBoxes() {
  const int height = PanelGraph->height();
  const int width = PanelGraph->width();
  const int hXy = fontMetrics().boundingRect("Xy").height();
  const int boxWidth = std::max(right_ - 16, 24);
  const int span = height - bottom_ - hXy - PanelAverage->sizeHint().height() - 20;
  for (int lane = 0; lane < lanes_; ++lane)
    LaneBoxes[lane]->setGeometry(width - boxWidth, lane * span / std::max(lanes_, 1), boxWidth,
                                 LaneBoxes[lane]->sizeHint().height());
  CheckBoxAggregate->setGeometry(width - boxWidth, span, boxWidth,
                                 CheckBoxAggregate->sizeHint().height());
  PanelAverage->move(width - PanelAverage->sizeHint().width(),
                     span + CheckBoxAggregate->sizeHint().height());
  PanelAverage->resize(PanelAverage->sizeHint());
}

void TFormGraph::CheckBoxAggregateClick() {
  aggregateShown_ = !aggregateShown_;
  CheckBoxAggregate->setChecked(aggregateShown_);
  const bool qOrK = xId_ == 'q' || xId_ == 'k' || yId_ == 'q' || yId_ == 'k';
  PanelAverage->setVisible(aggregateShown_ && qOrK);
  DrawGraph(periods_);
}

void TFormGraph::SpeedButtonClick(int tag) {
  divisor_ = std::clamp(divisor_ + tag, 1, std::max(lanes_, 1));
  SpeedButtonMinus->setEnabled(divisor_ > 1);
  SpeedButtonPlus->setEnabled(divisor_ < lanes_);
  LabelDivisor->setText(QString::number(divisor_));
  DrawGraph(periods_);
}

void TFormGraph::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PanelCursorPos->setVisible(false);
  DrawGraph(periods_);
}

void TFormGraph::ShowCursorValue(const QPoint& at) {
  const GraphMapping& map = mapping_;
  const bool inside = at.x() >= map.X(map.XScale.Min) && at.x() <= map.Width - map.Right &&
                      at.y() >= map.Top && at.y() <= map.Y(map.YScale.Min);
  PanelGraph->setCursor(inside ? Qt::CrossCursor : Qt::ArrowCursor);
  if (!inside) {
    PanelCursorPos->setVisible(false);
    return;
  }
  PanelCursorPos->setText(
      QString("%1, %2").arg(std::lround(map.XValue(at.x()))).arg(std::lround(map.YValue(at.y()))));
  PanelCursorPos->adjustSize();
  int x = at.x();
  if (x > PanelCursorPos->width()) x -= PanelCursorPos->width();
  PanelCursorPos->move(x, at.y());
  PanelCursorPos->setVisible(true);
  PanelCursorPos->raise();
}

bool TFormGraph::eventFilter(QObject* watched, QEvent* event) {
  if (watched == PanelGraph) {
    if (event->type() == QEvent::MouseButtonPress) {
      ShowCursorValue(static_cast<QMouseEvent*>(event)->pos());
      return true;
    }
    if (event->type() == QEvent::MouseMove &&
        static_cast<QMouseEvent*>(event)->buttons() != Qt::NoButton) {
      ShowCursorValue(static_cast<QMouseEvent*>(event)->pos());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
