#include "roadview/ui/RoadView.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSlider>
#include <cstdlib>

#include "config/KDConfig.h"
#include "roadview/RoadColors.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/ui/ModelTrafficPainter.h"
#include "roadview/ui/RoadCanvas.h"

namespace {

constexpr int kLaneIdWidth = 24;  // [pixels]

// Room for the lanes, the distance scale and the detector labels below them.
int PictureHeight() { return RowsBelowRoad(MaxLane()).labelBoxBottomBase + 24; }

}  // namespace

TSectionHeader::TSectionHeader(QWidget* parent) : QWidget(parent) {
  setObjectName("HeaderControl");
  setFixedHeight(fontMetrics().height() + 6);
}

void TSectionHeader::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().button());
  int x = 0;
  for (const HeaderItem& item : items_) {
    if (item.width > 0) {
      const QRect cell(x, 0, item.width, height());
      painter.setPen(palette().mid().color());
      painter.drawRect(cell.adjusted(0, 0, -1, -1));
      painter.setPen(palette().buttonText().color());
      painter.drawText(cell, Qt::AlignCenter, QString::fromLatin1(item.caption.c_str()));
    }
    x += item.width;
  }
}

int TSectionHeader::ItemLeft(int item) const {
  int x = 0;
  for (int k = 0; k < item && k < static_cast<int>(items_.size()); ++k) x += items_[k].width;
  return x;
}

int TSectionHeader::ItemAt(int x) const {
  int left = 0;
  for (int k = 0; k < static_cast<int>(items_.size()); ++k) {
    if (items_[k].width > 0 && x >= left && x < left + items_[k].width) return k;
    left += items_[k].width;
  }
  return -1;
}

// The item whose right edge lies within 3 pixels of x; the rightmost item's edge is the end of
// the road and is not dragged.
int TSectionHeader::EdgeAt(int x) const {
  int right = 0;
  int last = -1;
  for (int k = 0; k < static_cast<int>(items_.size()); ++k)
    if (items_[k].width > 0) last = k;
  for (int k = 0; k < last; ++k) {
    right += items_[k].width;
    if (items_[k].width > 0 && std::abs(x - right) <= 3) return k;
  }
  return -1;
}

void TSectionHeader::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  emit MouseDown(at.x(), at.y(), event->globalPosition().toPoint());
  if (event->button() != Qt::LeftButton) return;
  dragItem_ = EdgeAt(at.x());
  pressItem_ = dragItem_ >= 0 ? -1 : ItemAt(at.x());
}

void TSectionHeader::mouseMoveEvent(QMouseEvent* event) {
  emit MouseMove(event->globalPosition().toPoint());
  if (dragItem_ < 0) {
    setCursor(EdgeAt(event->position().toPoint().x()) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
    return;
  }
  const int width = std::max(event->position().toPoint().x() - ItemLeft(dragItem_), 0);
  emit SectionTrack(dragItem_, width);
  emit SectionResize(dragItem_, width);
}

void TSectionHeader::mouseReleaseEvent(QMouseEvent* event) {
  const int pressed = pressItem_;
  const bool dragged = dragItem_ >= 0;
  dragItem_ = -1;
  pressItem_ = -1;
  emit MouseUp();
  if (!dragged && pressed >= 0 && ItemAt(event->position().toPoint().x()) == pressed)
    emit SectionClick(pressed);
}

TRoadImage::TRoadImage(QWidget* parent) : QWidget(parent) {
  setObjectName("ImageRoad");
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TRoadImage::SetPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void TRoadImage::SetTraffic(const QImage& traffic) {
  traffic_ = traffic;
  trafficVisible_ = true;
  update();
}

void TRoadImage::HideTraffic() {
  if (!trafficVisible_) return;
  trafficVisible_ = false;
  update();
}

void TRoadImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(RoadColor::Green));
  painter.drawImage(0, 0, picture_);
  if (trafficVisible_) painter.drawImage(0, 0, traffic_);
}

void TRoadImage::mousePressEvent(QMouseEvent* event) {
  emit MouseDown(event->position().toPoint().x(), event->position().toPoint().y(), event->button(),
                 event->modifiers(), event->globalPosition().toPoint());
}

void TRoadImage::mouseMoveEvent(QMouseEvent* event) {
  emit MouseMove(event->position().toPoint().x(), event->position().toPoint().y(), event->buttons(),
                 event->globalPosition().toPoint());
}

void TRoadImage::mouseReleaseEvent(QMouseEvent* event) {
  emit MouseUp(event->position().toPoint().x(), event->position().toPoint().y(), event->button(),
               event->globalPosition().toPoint());
}

void TRoadImage::resizeEvent(QResizeEvent*) { emit Resized(); }

TRoadView::TRoadView(QWidget* parent)
    : QWidget(parent),
      header_(new TSectionHeader(this)),
      image_(new TRoadImage(this)),
      laneIds_(new QWidget(this)),
      zoom_(new QSlider(Qt::Horizontal, this)),
      scroll_(new QScrollBar(Qt::Horizontal, this)) {
  setObjectName("RoadView");
  laneIds_->setObjectName("PanelLaneID");
  laneIds_->setFixedWidth(kLaneIdWidth);
  image_->setMinimumSize(200, PictureHeight());
  zoom_->setObjectName("TrackBarZoom");
  zoom_->setRange(0, ZOOM_INDEX_MAX);
  zoom_->setPageStep(1);
  scroll_->setObjectName("ScrollBarScroll");
  scroll_->setRange(0, SCROLL_MAX);
  scroll_->setEnabled(false);
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(header_, 0, 1);
  layout->addWidget(laneIds_, 1, 0);
  layout->addWidget(image_, 1, 1);
  layout->addWidget(scroll_, 2, 1);
  layout->addWidget(zoom_, 3, 1);
  layout->setRowStretch(1, 1);
  layout->setColumnStretch(1, 1);
  for (int lane = 0; lane < MAX_KAVROLANE; ++lane) {
    auto* label = new QLabel(laneIds_);
    label->setObjectName(QString("LabelLane%1").arg(lane + 1));
    label->setAlignment(Qt::AlignCenter);
    label->installEventFilter(this);
    laneLabels_.push_back(label);
  }
  connect(zoom_, &QSlider::valueChanged, this, [this] { RedrawRoad(); });
  connect(scroll_, &QScrollBar::valueChanged, this, [this] { RedrawRoad(); });
  connect(image_, &TRoadImage::Resized, this, [this] { RedrawRoad(); });
}

bool TRoadView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    for (int lane = 0; lane < static_cast<int>(laneLabels_.size()); ++lane) {
      if (watched != laneLabels_[lane]) continue;
      emit LaneLabelPressed(lane);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TRoadView::SetConfig(const KDConfig* config) {
  config_ = config;
  UpdateLaneLabels();
}

void TRoadView::SetSelection(const RoadSelection& selection, bool show) {
  selection_ = selection;
  showSelection_ = show;
}

int TRoadView::ZoomIndex() const { return zoom_->value(); }
int TRoadView::ScrollPosition() const { return scroll_->value(); }
void TRoadView::SetZoomIndex(int index) { zoom_->setValue(index); }
void TRoadView::SetScrollPosition(int position) { scroll_->setValue(position); }
void TRoadView::SetHeaderEnabled(bool enabled) { header_->setEnabled(enabled); }

RoadViewport TRoadView::Viewport() const {
  return RoadViewport{bitmap_.width(), config_ ? config_->Length() : 1, ZoomIndex(),
                      ScrollPosition()};
}

void TRoadView::RedrawRoad() {
  if (!config_) return;
  const QSize size(image_->width(), std::max(image_->height(), PictureHeight()));
  if (bitmap_.size() != size) bitmap_ = QImage(size, QImage::Format_RGB32);
  DrawRoadLayout(*config_, bitmap_, &header_->Items(), flags_, ZoomIndex(), ScrollPosition(),
                 &areas_, &details_);
  const int zoomIndex = ZoomIndex();
  scroll_->setEnabled(zoomIndex > 0);
  if (zoomIndex > 0) scroll_->setPageStep(ScrollLargeChange(zoomIndex));
  if (showSelection_ && selection_.Any() && bitmap_.width() > 0) {
    const PixelRect r = SelectionRectangle(*config_, Viewport(), bitmap_.height(), selection_);
    QPainter painter(&bitmap_);
    QPen pen(Qt::white);
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.drawRect(QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)));
  }
  header_->update();
  image_->SetPicture(bitmap_);
  UpdateLaneLabels();
  emit RoadRedrawn();
}

int TRoadView::RedrawVehicles(const Kernel& kernel, const TrafficDrawSettings& settings) {
  if (!config_) return -1;
  const int count = DrawTraffic(kernel, *config_, bitmap_, traffic_, ZoomIndex(), ScrollPosition(),
                                WithViewSwitches(settings));
  if (count >= 0) image_->SetTraffic(traffic_);
  return count;
}

TrafficDrawSettings TRoadView::WithViewSwitches(const TrafficDrawSettings& settings) const {
  // The traffic follows the road picture beneath: tapers drawn as tapers move the vehicles
  // on them, and the lights show their states where the picture shows them.
  TrafficDrawSettings shown = settings;
  shown.flags |= flags_ & (RDF_DRAW_TAPERS | RDF_LIGHT_STATES);
  return shown;
}

int TRoadView::RedrawModelVehicles(ModelVehicleSource& model, int seconds,
                                   const TrafficDrawSettings& settings) {
  if (!config_) return -1;
  const int count = DrawModelTraffic(model, *config_, bitmap_, traffic_, ZoomIndex(),
                                     ScrollPosition(), WithViewSwitches(settings), seconds);
  image_->SetTraffic(traffic_);
  return count;
}

void TRoadView::HideVehicles() { image_->HideTraffic(); }

void TRoadView::UpdateLaneLabels() {
  // One label per lane row; the external model numbers its lanes from the first paved one.
  const int first = ProgramMode() == DOVEL && config_ ? config_->FirstLaneUsed() : 0;
  for (int lane = 0; lane < static_cast<int>(laneLabels_.size()); ++lane) {
    QLabel* label = laneLabels_[lane];
    const bool shown = lane < MaxLane() && lane >= first;
    label->setVisible(shown);
    if (!shown) continue;
    label->setText(QString::number(lane - first + 1));
    label->setGeometry(0, LaneTop(static_cast<float>(lane)), kLaneIdWidth, LANE_HEIGHT);
  }
}
