#include "views/ui/FormDiagram.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QSvgGenerator>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <cstdio>

#include "config/ProgramError.h"
#include "roadview/RoadColors.h"
#include "roadview/ui/QtColor.h"
#include "shell/MessageLog.h"
#include "shell/TextTable.h"
#include "shell/ui/QtText.h"
#include "views/LaneColors.h"

namespace {

const QColor kSilver(192, 192, 192);
constexpr int kMinimumWidth = 100;
// Pending events run after this many points or tracks of drawing, so a click or a scroll is
// answered within a few milliseconds while a long redraw goes on.
constexpr long long kPointsBetweenEvents = 20000;
constexpr int kTracksBetweenEvents = 500;
constexpr long long kPointsPerDot = 50000;

}  // namespace

// The frame bitmap with the contents layer over the plot and the selection rectangle.
class TDiagramImage : public QWidget {
 public:
  explicit TDiagramImage(TFormDiagram* form) : QWidget(form), form_(form) {
    setObjectName("ImageFrame");
    setMouseTracking(true);
    setMinimumSize(120, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, form_->frame_);
    if (form_->contentsVisible_ && form_->mapping_)
      painter.drawImage(form_->mapping_->Margins().left, 0, form_->contents_);
    QRect selection = form_->Selection();
    if (!selection.isEmpty()) {
      painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
      painter.setPen(Qt::white);
      painter.drawRect(selection);
    }
  }
  void mousePressEvent(QMouseEvent* e) override {
    form_->ImageMouseDown(e->button(), e->position().toPoint());
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    form_->ImageMouseMove(e->buttons(), e->position().toPoint());
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    form_->ImageMouseUp(e->button(), e->position().toPoint());
  }
  void resizeEvent(QResizeEvent*) override { form_->DrawFrame(); }

 private:
  TFormDiagram* form_;
};

TFormDiagram::TFormDiagram(QWidget* parent) : QWidget(parent, Qt::Window) {
  texts_ = new QWidget(this);
  texts_->setObjectName("PanelTexts");
  texts_->setVisible(false);
  AddText("LabelXM", "x [m]");
  AddText("LabelTS", "t [s]");
  AddText("LabelUpdatePending", "Update pending ...");
  AddText("LabelCalculating", "Calculating ...");
  AddText("LabelSavePicture", "Save picture as ...");
  AddText("LabelPictureFilter",
          "PNG pictures (*.png)|*.png|SVG drawings (*.svg)|*.svg|All files (*.*)|*.*");
  AddText("LabelCannotSavePicture", "Cannot save the picture to %s: %s");
  AddText("LabelError", "Error");

  MainMenu = new QMenuBar(this);
  MainMenu->setObjectName("MainMenu");
  QMenu* file = MainMenu->addMenu("&File");
  file->setObjectName("MenuFile");
  QAction* save = file->addAction("Save picture as ...");
  save->setObjectName("ItemSavePictureAs");
  connect(save, &QAction::triggered, this, &TFormDiagram::ItemSavePictureAsClick);
  file->addSeparator();
  QAction* close = file->addAction("&Close");
  close->setObjectName("ItemClose");
  connect(close, &QAction::triggered, this, &QWidget::close);

  ImageFrame = new TDiagramImage(this);
  TrackBarZoomX = new QSlider(Qt::Horizontal, this);
  TrackBarZoomX->setObjectName("TrackBarZoomX");
  TrackBarZoomX->setRange(0, DIAGRAM_ZOOM_X_MAX);
  TrackBarZoomX->setToolTip("Zoom position axis");
  TrackBarZoomY = new QSlider(Qt::Vertical, this);
  TrackBarZoomY->setObjectName("TrackBarZoomY");
  TrackBarZoomY->setRange(0, DIAGRAM_ZOOM_Y_MAX);
  TrackBarZoomY->setInvertedAppearance(true);  // no zoom at the bottom, the largest at the top
  TrackBarZoomY->setValue(DIAGRAM_ZOOM_Y_MAX);
  TrackBarZoomY->setToolTip("Zoom time axis");
  ScrollBarScrollX = new QScrollBar(Qt::Horizontal, this);
  ScrollBarScrollX->setObjectName("ScrollBarScrollX");
  ScrollBarScrollX->setRange(0, DIAGRAM_SCROLL_X_MAX);
  ScrollBarScrollY = new QScrollBar(Qt::Vertical, this);
  ScrollBarScrollY->setObjectName("ScrollBarScrollY");
  ScrollBarScrollY->setRange(0, DIAGRAM_SCROLL_Y_MAX);
  ScrollBarScrollY->setValue(DIAGRAM_SCROLL_Y_MAX);
  for (QAbstractSlider* control : std::initializer_list<QAbstractSlider*>{
           TrackBarZoomX, TrackBarZoomY, ScrollBarScrollX, ScrollBarScrollY})
    connect(control, &QAbstractSlider::valueChanged, this, [this] { ControlsChanged(); });

  PanelCheckBoxes = new QWidget(this);
  PanelCheckBoxes->setObjectName("PanelCheckBoxes");
  PanelCheckBoxes->setFixedWidth(52);
  PanelCursorPos = new QLabel(ImageFrame);
  PanelCursorPos->setObjectName("PanelCursorPos");
  PanelCursorPos->setAutoFillBackground(true);
  PanelCursorPos->setFrameStyle(QFrame::Panel | QFrame::Raised);
  PanelCursorPos->hide();

  StatusBar = new QStatusBar(this);
  StatusBar->setObjectName("StatusBar");
  StatusBar->setSizeGripEnabled(false);
  ImageBusy = new QLabel("\u231B", this);  // hourglass
  ImageBusy->setObjectName("ImageBusy");
  ImageBusy->setToolTip("Drawing");
  ImageBusy->hide();
  ImageTimeOut = new QLabel("\u23F1", this);  // stopwatch
  ImageTimeOut->setObjectName("ImageTimeOut");
  ImageTimeOut->setToolTip("Update pending");
  ImageTimeOut->hide();
  StatusBar->addPermanentWidget(ImageTimeOut);
  StatusBar->addPermanentWidget(ImageBusy);

  auto* grid = new QGridLayout;
  grid->setSpacing(2);
  grid->addWidget(TrackBarZoomY, 0, 0);
  grid->addWidget(ImageFrame, 0, 1);
  grid->addWidget(ScrollBarScrollY, 0, 2);
  grid->addWidget(PanelCheckBoxes, 0, 3);
  grid->addWidget(ScrollBarScrollX, 1, 1);
  grid->addWidget(TrackBarZoomX, 2, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 0);
  layout->setMenuBar(MainMenu);
  layout->addLayout(grid, 1);
  layout->addWidget(StatusBar);

  TimerStartDrawContents = new QTimer(this);
  TimerStartDrawContents->setObjectName("TimerStartDrawContents");
  TimerStartDrawContents->setInterval(100);
  connect(TimerStartDrawContents, &QTimer::timeout, this,
          &TFormDiagram::TimerStartDrawContentsTimer);
  TimerStartDrawContents->start();
  resize(760, 560);
}

TFormDiagram::~TFormDiagram() = default;

void TFormDiagram::AddText(const char* name, const char* text) {
  auto* label = new QLabel(text, texts_);
  label->setObjectName(name);
}

std::string TFormDiagram::Text(const char* label) const {
  auto* widget = texts_->findChild<QLabel*>(label);
  return widget ? ToText(widget->text()) : std::string();
}

void TFormDiagram::SetStatusText(const QString& text) { StatusBar->showMessage(text); }

void TFormDiagram::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  DrawFrame();
}

void TFormDiagram::resizeEvent(QResizeEvent* event) { QWidget::resizeEvent(event); }

DiagramView TFormDiagram::CurrentView() const {
  DiagramView view;
  view.zoomX = TrackBarZoomX->value();
  view.zoomY = TrackBarZoomY->value();
  view.scrollX = ScrollBarScrollX->value();
  view.scrollY = ScrollBarScrollY->value();
  return view;
}

void TFormDiagram::ApplyView(const DiagramView& view) {
  applyingView_ = true;
  TrackBarZoomX->setValue(view.zoomX);
  TrackBarZoomY->setValue(view.zoomY);
  ScrollBarScrollX->setValue(view.scrollX);
  ScrollBarScrollY->setValue(view.scrollY);
  applyingView_ = false;
  DrawFrame();
}

void TFormDiagram::ControlsChanged() {
  if (!applyingView_) DrawFrame();
}

void TFormDiagram::SetRedrawCountdown(int ticks) {
  countdown_ = ticks;
  ImageTimeOut->setVisible(countdown_ != 0);
}

void TFormDiagram::TimerStartDrawContentsTimer() {
  if (countdown_ > 0) {
    --countdown_;
    if (countdown_ == 0)
      DrawContents();
    else if (!busy_)
      SetStatusText(FromText(Text("LabelUpdatePending")));
  }
  ImageTimeOut->setVisible(countdown_ != 0);
}

void TFormDiagram::DrawFrame() {
  if (!FrameAllowed() || !isVisible() || ImageFrame->width() < kMinimumWidth || inFrame_) return;
  inFrame_ = true;
  SetRedrawCountdown(0);
  contentsVisible_ = false;
  DiagramData data = source_ ? source_() : DiagramData{};

  const QFontMetrics metrics(font());
  if (!marginsMeasured_) {
    margins_ = DiagramMargins::FromTextExtents(metrics.horizontalAdvance("00000"),
                                               metrics.horizontalAdvance(FromText(Text("LabelXM"))),
                                               metrics.height());
    marginsMeasured_ = true;
  }
  const int W = ImageFrame->width();
  const int H = ImageFrame->height();
  mapping_ =
      std::make_unique<DiagramMapping>(data.length, data.maxTime, W, H, margins_, CurrentView());
  const DiagramMapping& m = *mapping_;
  const int left = margins_.left;
  const int axisY = m.AxisY();

  frame_ = QImage(W, H, QImage::Format_RGB32);
  frame_.fill(Qt::white);
  QPainter painter(&frame_);
  painter.setFont(font());
  painter.fillRect(QRect(left, 0, W - left, axisY), kSilver);
  const QString xm = FromText(Text("LabelXM"));
  const QString ts = FromText(Text("LabelTS"));
  painter.setPen(Qt::black);
  painter.drawText(W - metrics.horizontalAdvance(xm) - 2, axisY - metrics.descent() - 1, xm);
  painter.drawText(left + 2, metrics.ascent(), ts);
  painter.drawLine(W, axisY, left, axisY);
  painter.drawLine(left, axisY, left, 0);

  // Position labels from the first visible multiple of the step on.
  const double positionStep = m.PositionLabelStep(metrics.horizontalAdvance("99999 "));
  double p = std::ceil(std::max(0.0, m.PositionAt(left)) / positionStep) * positionStep;
  for (; p <= m.Length(); p += positionStep) {
    const QString label = QString::number(static_cast<long long>(p));
    const int x = m.X(p);
    const int half = metrics.horizontalAdvance(label) / 2;
    if (x + half >= W) break;
    painter.drawLine(x, axisY, x, axisY + 2);
    painter.drawText(x - half, axisY + 2 + metrics.ascent(), label);
  }
  // Time labels from the lowest visible multiple up to the stop time.
  const double timeStep = m.TimeLabelStep(metrics.height() + metrics.horizontalAdvance(' '));
  double t = std::ceil(std::max(0.0, m.TimeAt(axisY)) / timeStep) * timeStep;
  for (; t <= m.MaxTime(); t += timeStep) {
    const int y = m.Y(t);
    if (y < 0) break;
    const QString label = QString::number(static_cast<long long>(t));
    painter.drawLine(left - 2, y, left, y);
    painter.drawText(left - 4 - metrics.horizontalAdvance(label),
                     y - metrics.height() / 2 + metrics.ascent(), label);
  }
  painter.end();

  BuildLaneBoxes(data.laneCount);
  ScrollBarScrollX->setEnabled(m.ZoomX() > 1);
  ScrollBarScrollY->setEnabled(m.ZoomY() > 1);
  ScrollBarScrollX->setPageStep(m.LargeChangeX());
  ScrollBarScrollY->setPageStep(m.LargeChangeY());
  ImageFrame->update();
  SetRedrawCountdown(10);
  inFrame_ = false;
}

void TFormDiagram::BuildLaneBoxes(int laneCount) {
  laneCount = std::clamp(laneCount, 0, 16);
  while (static_cast<int>(CheckBoxLanes.size()) > laneCount) {
    delete CheckBoxLanes.back();
    CheckBoxLanes.pop_back();
  }
  while (static_cast<int>(CheckBoxLanes.size()) < laneCount) {
    const int lane = static_cast<int>(CheckBoxLanes.size());
    auto* box = new QCheckBox(QString::number(lane + 1), PanelCheckBoxes);
    box->setObjectName(QString("CheckBoxLane%1").arg(lane + 1));
    box->setChecked(lanes_.shown[lane]);
    box->setToolTip(FromText(LaneHint()) + " " + QString::number(lane + 1));
    box->show();
    connect(box, &QCheckBox::clicked, this,
            [this, lane](bool checked) { LaneBoxClicked(lane, checked); });
    CheckBoxLanes.push_back(box);
  }
  PositionLaneBoxes();
}

void TFormDiagram::PositionLaneBoxes() {
  const int n = static_cast<int>(CheckBoxLanes.size());
  const int height = PanelCheckBoxes->height() - 17;
  const int width = PanelCheckBoxes->width() - 16;
  for (int lane = 0; lane < n; ++lane) {
    QCheckBox* box = CheckBoxLanes[lane];
    box->setGeometry(PanelCheckBoxes->width() - width, height * lane / n, width, 17);
    if (LaneDiscs()) {
      QPixmap disc(9, 9);
      disc.fill(Qt::transparent);
      QPainter painter(&disc);
      painter.setRenderHint(QPainter::Antialiasing);
      painter.setPen(Qt::black);
      painter.setBrush(ToQColor(LaneSeriesColor(lane)));
      painter.drawEllipse(0, 0, 8, 8);
      painter.end();
      box->setIcon(QIcon(disc));
    }
  }
}

void TFormDiagram::LaneBoxClicked(int lane, bool checked) {
  lanes_.shown[lane] = checked;
  SetRedrawCountdown(10);
}

void TFormDiagram::DrawContents() {
  if (!isVisible() || !mapping_ || frame_.width() < kMinimumWidth || busy_) return;
  busy_ = true;
  SetRedrawCountdown(0);
  ImageBusy->show();
  contentsVisible_ = false;
  ImageFrame->update();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QString status = FromText(Text("LabelCalculating"));
  SetStatusText(status);
  DrawingStarted();

  DiagramData data = source_ ? source_() : DiagramData{};
  static const std::vector<VehicleTrack> kNoTracks;
  if (!data.tracks) data.tracks = &kNoTracks;
  // The mapping may be replaced while events run: the drawing keeps its own.
  const DiagramMapping mapping = *mapping_;
  const int left = mapping.Margins().left;
  layer_ = PixelRaster(frame_.width() - left, mapping.AxisY() + 1, {192, 192, 192});
  long long nextDot = kPointsPerDot;
  long long nextEvents = kPointsBetweenEvents;
  int tracksSinceEvents = 0;
  auto progress = [&](long long points) {
    while (points >= nextDot) {
      status += '.';
      SetStatusText(status);
      nextDot += kPointsPerDot;
    }
    if (points >= nextEvents || ++tracksSinceEvents >= kTracksBetweenEvents) {
      nextEvents = points + kPointsBetweenEvents;
      tracksSinceEvents = 0;
      QCoreApplication::processEvents();
    }
    return countdown_ == 0 && isVisible();
  };
  const bool complete = DrawLayer(data, layer_, progress);
  if (!complete) {
    QApplication::restoreOverrideCursor();
    ImageBusy->hide();
    ImageTimeOut->show();
    SetStatusText(QString());
    busy_ = false;
    return;
  }
  contents_ = QImage(reinterpret_cast<const uchar*>(layer_.Data()), layer_.Width(), layer_.Height(),
                     layer_.Width() * 4, QImage::Format_RGB32)
                  .copy();
  QPainter painter(&contents_);
  painter.setFont(font());
  painter.setPen(Qt::black);
  const QFontMetrics metrics(font());
  const int w = contents_.width(), h = contents_.height();
  painter.drawLine(0, 0, 0, h - 1);
  painter.drawLine(0, h - 1, w - 1, h - 1);
  painter.drawText(2, metrics.ascent(), FromText(Text("LabelTS")));
  const QString xm = FromText(Text("LabelXM"));
  painter.drawText(w - 3 - metrics.horizontalAdvance(xm), h - 2 - metrics.descent(), xm);
  painter.end();
  contentsVisible_ = true;
  QApplication::restoreOverrideCursor();
  ImageBusy->hide();
  SetStatusText(QString());
  DrawingFinished(data);
  ImageFrame->update();
  busy_ = false;
}

QImage TFormDiagram::Picture() const {
  QImage picture = frame_.copy();
  if (contentsVisible_ && mapping_) {
    QPainter painter(&picture);
    painter.drawImage(mapping_->Margins().left, 0, contents_);
  }
  return picture;
}

QRgb TFormDiagram::PixelAt(int x, int y) const {
  if (contentsVisible_ && mapping_) {
    const int cx = x - mapping_->Margins().left;
    if (cx >= 0 && cx < contents_.width() && y >= 0 && y < contents_.height())
      return contents_.pixel(cx, y);
  }
  return frame_.valid(x, y) ? frame_.pixel(x, y) : 0;
}

bool TFormDiagram::SavePicture(const std::string& fileName) {
  const QImage picture = Picture();
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  bool ok = false;
  if (FromText(fileName).endsWith(".svg", Qt::CaseInsensitive)) {
    // A drawing at the window's size that holds the diagram's picture.
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(picture.size());
    generator.setViewBox(QRect(QPoint(0, 0), picture.size()));
    generator.setTitle(windowTitle());
    QPainter painter;
    ok = painter.begin(&generator);
    if (ok) {
      painter.drawImage(0, 0, picture);
      ok = painter.end();
    }
  } else {
    ok = picture.save(&buffer, "PNG");
  }
  std::string error;
  const QByteArray& bytes = buffer.data();
  if (ok && SaveTextFile(fileName,
                         std::string(bytes.constData(), static_cast<size_t>(bytes.size())), error))
    return true;
  UserMessage(ReportKind::Error, Text("LabelError"),
              FillStringDirectives(Text("LabelCannotSavePicture"), {fileName, error}));
  return false;
}

void TFormDiagram::ItemSavePictureAsClick() {
  std::string name;
  if (!chooser_ || !chooser_(Text("LabelPictureFilter"), name)) return;
  SavePicture(name);
}

QRect TFormDiagram::Selection() const {
  if (!selecting_ || selectionStart_ == selectionEnd_) return QRect();
  return QRect(selectionStart_, selectionEnd_).normalized();
}

std::string TFormDiagram::Readout(double position, double time) const {
  return Format("%d, %d", static_cast<int>(std::lround(position)),
                static_cast<int>(std::lround(time)));
}

void TFormDiagram::ImageMouseDown(Qt::MouseButton button, QPoint at) {
  if (countdown_ > 0) {
    SetRedrawCountdown(0);
    DrawContents();
  }
  if (!mapping_) return;
  const bool inPlot = at.x() >= mapping_->Margins().left && at.y() <= mapping_->AxisY();
  if (!inPlot) return;
  if (button == Qt::LeftButton) {
    PanelCursorPos->setText(
        FromText(Readout(mapping_->PositionAt(at.x()), mapping_->TimeAt(at.y()))));
    PanelCursorPos->adjustSize();
    int x = at.x();
    if (x - PanelCursorPos->width() >= 0) x -= PanelCursorPos->width();
    PanelCursorPos->move(x, std::max(0, at.y() - PanelCursorPos->height()));
    PanelCursorPos->show();
    PanelCursorPos->raise();
  } else if (button == Qt::RightButton) {
    selecting_ = true;
    selectionStart_ = selectionEnd_ = at;
  }
}

void TFormDiagram::ImageMouseMove(Qt::MouseButtons buttons, QPoint at) {
  const bool inPlot = mapping_ && at.x() >= mapping_->Margins().left && at.y() <= mapping_->AxisY();
  ImageFrame->setCursor(inPlot ? Qt::CrossCursor : Qt::ArrowCursor);
  if (selecting_ && (buttons & Qt::RightButton)) {
    selectionEnd_ = at;
    ImageFrame->update();
  }
}

void TFormDiagram::ImageMouseUp(Qt::MouseButton button, QPoint at) {
  if (button == Qt::LeftButton) PanelCursorPos->hide();
  if (button != Qt::RightButton || !selecting_) return;
  selectionEnd_ = at;
  const QRect selection = Selection();
  selecting_ = false;
  ImageFrame->update();
  if (selection.isEmpty() || !mapping_) return;
  const DiagramMapping& m = *mapping_;
  ApplyView(ZoomIntoRectangle(m.PositionAt(selection.left()), m.TimeAt(selection.bottom()),
                              m.PositionAt(selection.right()), m.TimeAt(selection.top()),
                              m.Length(), m.MaxTime()));
}
