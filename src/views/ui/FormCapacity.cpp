#include "views/ui/FormCapacity.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <algorithm>

#include "config/ProgramError.h"
#include "views/CapacityPicture.h"

namespace {

const QColor kGray(128, 128, 128);
const QColor kNavy(0, 0, 128);
const QColor kStepColor(0, 128, 0);
const QColor kCurveColor(192, 0, 0);
const QColor kBandColor(255, 192, 192, 128);

// Shows the picture; the window draws it whenever it changes size.
class CapacityImage : public QWidget {
 public:
  CapacityImage(const QImage& picture, QWidget* parent) : QWidget(parent), picture_(picture) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
  }

 private:
  const QImage& picture_;
};

// Text with its top-left corner at (x, top).
void TextAt(QPainter& painter, int x, int top, const QString& text) {
  painter.drawText(x, top + painter.fontMetrics().ascent(), text);
}

}  // namespace

TFormCapacity::TFormCapacity(QWidget* parent) : QMainWindow(parent) {
  setObjectName("FormCapacity");
  setWindowTitle("Capacity distribution");
  ImageCapacity = new CapacityImage(picture_, this);
  ImageCapacity->setObjectName("ImageCapacity");
  setCentralWidget(ImageCapacity);
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("MenuFile");
  ItemRefresh = file->addAction("&Refresh");
  ItemRefresh->setObjectName("ItemRefresh");
  ItemRefresh->setShortcut(Qt::Key_F5);
  ItemClose = file->addAction("&Close");
  ItemClose->setObjectName("ItemClose");
  QMenu* edit = menuBar()->addMenu("&Edit");
  edit->setObjectName("MenuEdit");
  ItemCopy = edit->addAction("&Copy");
  ItemCopy->setObjectName("ItemCopy");
  ItemCopy->setShortcut(QKeySequence::Copy);
  QMenu* view = menuBar()->addMenu("&View");
  view->setObjectName("MenuView");
  ItemShowEstimate = view->addAction("&Estimate with runs without breakdown");
  ItemShowEstimate->setObjectName("ItemShowEstimate");
  ItemShowEstimate->setCheckable(true);
  ItemShowEstimate->setChecked(false);
  connect(ItemRefresh, &QAction::triggered, this, &TFormCapacity::ItemRefreshClick);
  connect(ItemClose, &QAction::triggered, this, &QWidget::close);
  connect(ItemCopy, &QAction::triggered, this, &TFormCapacity::ItemCopyClick);
  connect(ItemShowEstimate, &QAction::toggled, this, [this] { Redraw(); });
  resize(640, 480);
}

void TFormCapacity::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  Redraw();
}

void TFormCapacity::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Redraw();
}

void TFormCapacity::ItemCopyClick() { QApplication::clipboard()->setImage(picture_); }

void TFormCapacity::Redraw() {
  CapacityFlows flows = ReadCapacityFlows(statuses_ ? statuses_() : std::vector<std::string>());
  const int width = std::max(ImageCapacity->width(), 1);
  const int height = std::max(ImageCapacity->height(), 1);
  picture_ = QImage(width, height, QImage::Format_RGB32);
  picture_.fill(Qt::white);
  QPainter painter(&picture_);
  painter.setFont(font());
  painter.setPen(Qt::black);
  const QFontMetrics metrics = painter.fontMetrics();
  CapacityMapping map{width, height, flows.Min, flows.Max};
  const int hp = map.PlotHeight();
  const int right = width - 25;

  const int labelWidth = metrics.horizontalAdvance(QString::asprintf("%d ", flows.Max));
  const int fit = std::max((width - 65) / std::max(labelWidth, 1), 2);
  const int step = FlowTickStep(flows.Min, flows.Max, fit);
  for (std::int32_t v : FlowTicks(flows.Min, flows.Max, step)) {
    const int x = map.X(v);
    painter.setPen(kGray);
    painter.drawLine(x, 20, x, hp + 20);
    painter.setPen(Qt::black);
    painter.drawLine(x, hp + 20, x, hp + 25);
    const QString label = QString::number(v);
    TextAt(painter, x - metrics.horizontalAdvance(label) / 2, hp + 25, label);
  }
  for (int k = 0; k <= 10; ++k) {
    const double f = k * 0.1;
    const int y = map.Y(f);
    painter.setPen(kGray);
    painter.drawLine(right, y, 40, y);
    painter.setPen(Qt::black);
    painter.drawLine(40, y, 35, y);
    const QString label = QString::asprintf("%.1f ", f);
    TextAt(painter, 35 - metrics.horizontalAdvance(label), y - metrics.height() / 2, label);
  }
  // The axes over the grid: the grid lines at 0 and at the first flow end on them.
  painter.setPen(Qt::black);
  painter.drawLine(40, 20, 40, hp + 20);
  painter.drawLine(40, hp + 20, right, hp + 20);
  const int h = metrics.boundingRect("Xy").height();
  const QString flowCaption = "Maximum observed flow [veh/h]";
  TextAt(painter, right - metrics.horizontalAdvance(flowCaption), 3 * h / 2 + hp + 25, flowCaption);
  TextAt(painter, map.X(flows.Min + 2), 20 - h - 4, "Probability");

  estimateText_.clear();
  // The estimate goes under the runs' own points, which stay as they always were.
  if (ItemShowEstimate->isChecked()) DrawEstimate(painter, map);
  std::vector<std::int32_t> sorted = flows.Flows;
  std::sort(sorted.begin(), sorted.end());
  const int n = static_cast<int>(sorted.size());
  if (n > 0) {
    QPoint last(map.X(sorted[0]), map.Y(1.0 / (n + 1)));
    for (int i = 0; i < n; ++i) {
      const QPoint point(map.X(sorted[i]), map.Y(static_cast<double>(i + 1) / (n + 1)));
      painter.drawLine(last, point);
      last = point;
    }
    painter.setPen(kNavy);
    painter.setBrush(kNavy);
    for (int i = 0; i < n; ++i) {
      const int x = map.X(sorted[i]);
      const int y = map.Y(static_cast<double>(i + 1) / (n + 1));
      painter.drawRoundedRect(QRect(QPoint(x - 4, y - 4), QPoint(x + 4, y + 4)), 2, 2);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::black);
  }
  if (n > 1) {
    const CapacityStatistics s = FlowStatistics(sorted, flows.Sum, flows.SumOfSquares);
    const QString summary =
        QString::asprintf("Mean: %d veh/h, median %d veh/h standard deviation %d veh/h", s.Mean,
                          s.Median, s.StandardDeviation);
    TextAt(painter, right - metrics.horizontalAdvance(summary), 20 - h - 4, summary);
  }
  TextAt(painter, 40, 3 * h / 2 + hp + 25, QString::asprintf("Number of simulations: %d", n));
  painter.end();
  ImageCapacity->update();
}

// The estimate that counts runs without breakdown as censored: product-limit steps, the fitted
// Weibull curve in its 95 % band, and the median with its interval under the summary.
void TFormCapacity::DrawEstimate(QPainter& painter, const CapacityMapping& map) {
  const std::vector<CapacityObservation> observations =
      observations_ ? observations_() : std::vector<CapacityObservation>();
  const std::vector<ProductLimitStep> steps = ProductLimitEstimate(observations);
  const WeibullFit fit = FitWeibull(observations);
  const int right = map.Width - 25;
  painter.save();
  painter.setClipRect(QRect(QPoint(40, 20), QPoint(right, map.PlotHeight() + 20)));
  if (fit.Converged) {
    QPolygonF upper;
    QPolygonF lower;
    QPolygonF curve;
    for (int x = 40; x <= right; ++x) {
      const double flow =
          map.Min + static_cast<double>(x - 40) * (map.Max - map.Min) / (map.Width - 65);
      double low = 0;
      double high = 0;
      fit.DistributionBand(flow, low, high);
      curve << QPointF(x, map.Y(fit.Distribution(flow)));
      lower << QPointF(x, map.Y(low));
      upper << QPointF(x, map.Y(high));
    }
    QPolygonF band = upper;
    for (auto it = lower.rbegin(); it != lower.rend(); ++it) band << *it;
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBandColor);
    painter.drawPolygon(band);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kCurveColor, 2));
    painter.drawPolyline(curve);
  }
  if (!steps.empty()) {
    painter.setPen(QPen(kStepColor, 2));
    double previous = 0;
    int x = 40;
    for (const ProductLimitStep& step : steps) {
      const int stepX = map.X(step.Flow);
      painter.drawLine(x, map.Y(previous), stepX, map.Y(previous));
      painter.drawLine(stepX, map.Y(previous), stepX, map.Y(step.Distribution));
      previous = step.Distribution;
      x = stepX;
    }
    painter.drawLine(x, map.Y(previous), right, map.Y(previous));
  }
  painter.restore();
  int breakdowns = 0;
  for (const CapacityObservation& o : observations) breakdowns += o.Breakdown ? 1 : 0;
  if (fit.Converged)
    estimateText_ = Format("Median capacity %.0f veh/h, 95 %% interval %.0f .. %.0f veh/h",
                           fit.Median, fit.MedianLow95, fit.MedianHigh95);
  else if (breakdowns == 0)
    estimateText_ = "Median capacity: no run broke down";
  else
    estimateText_ = "Median capacity: the Weibull fit did not converge (" + fit.Failure + ")";
  estimateText_ += " (" + std::to_string(breakdowns) + " breakdowns, " +
                   std::to_string(observations.size() - breakdowns) + " censored periods)";
  const QString text = QString::fromStdString(estimateText_);
  painter.setPen(kCurveColor);
  TextAt(painter, right - painter.fontMetrics().horizontalAdvance(text), 20 + 2, text);
  painter.setPen(Qt::black);
}
