#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "roadview/RoadGeometry.h"
#include "roadview/ui/RoadPainter.h"
#include "roadview/ui/TrafficPainter.h"

class Kernel;
class KDConfig;
class ModelVehicleSource;
class QScrollBar;
class QSlider;
class QLabel;

// The row of section numbers above the road picture; items are laid out by the road drawing.
// Dragging the right edge of an item resizes it (track while dragging, resize at each step);
// a press and release elsewhere on an item is a click on it.
class TSectionHeader : public QWidget {
  Q_OBJECT

 public:
  explicit TSectionHeader(QWidget* parent = nullptr);
  std::vector<HeaderItem>& Items() { return items_; }
  const std::vector<HeaderItem>& Items() const { return items_; }
  /// The left edge of item k [pixel].
  int ItemLeft(int item) const;

 signals:
  void MouseDown(int x, int y, QPoint screen);
  void MouseUp();
  /// The right edge of `item` is dragged to make it `width` pixels wide.
  void SectionTrack(int item, int width);
  void SectionResize(int item, int width);
  void SectionClick(int item);
  void MouseMove(QPoint screen);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int ItemAt(int x) const;
  int EdgeAt(int x) const;

  std::vector<HeaderItem> items_;
  int dragItem_ = -1;
  int pressItem_ = -1;
};

// Shows the road picture; paintEvent only copies the finished off-screen image.
class TRoadImage : public QWidget {
  Q_OBJECT

 public:
  explicit TRoadImage(QWidget* parent = nullptr);
  void SetPicture(const QImage& picture);
  const QImage& Picture() const { return picture_; }
  /// The traffic layer over the top of the picture (ImageVehicles); hidden when not running.
  void SetTraffic(const QImage& traffic);
  void HideTraffic();
  bool TrafficVisible() const { return trafficVisible_; }

 signals:
  void MouseDown(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                 QPoint screen);
  void MouseMove(int x, int y, Qt::MouseButtons buttons, QPoint screen);
  void MouseUp(int x, int y, Qt::MouseButton button, QPoint screen);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 signals:
  void Resized();

 private:
  QImage picture_;
  QImage traffic_;
  bool trafficVisible_ = false;
};

// The road view of the main window: section header, road picture, lane numbers, zoom and
// scroll controls. The main window composes the drawing flags from its page and selection
// and calls RedrawRoad after every change; zooming, scrolling and resizing redraw by
// themselves.
class TRoadView : public QWidget {
  Q_OBJECT

 public:
  explicit TRoadView(QWidget* parent = nullptr);

  /// The configuration shown; not owned, read only (the drawing records display areas).
  void SetConfig(const KDConfig* config);
  /// A RoadDrawFlags word; takes effect with the next RedrawRoad.
  void SetDrawFlags(std::uint32_t flags) { flags_ = flags; }
  std::uint32_t DrawFlags() const { return flags_; }
  /// The selection rectangle drawn over the picture; none when `show` is false.
  void SetSelection(const RoadSelection& selection, bool show);

  int ZoomIndex() const;
  int ScrollPosition() const;
  void SetZoomIndex(int index);
  void SetScrollPosition(int position);
  /// How the external model's surface details are shown in their view (kind 7).
  void SetSurfaceDetails(const std::vector<SurfaceDetailView>& details) { details_ = details; }
  /// The header follows the mouse only while a road design page is open.
  void SetHeaderEnabled(bool enabled);

  /// Redraws the road picture completely from the configuration.
  void RedrawRoad();
  /// Draws the run's vehicles over the road picture and shows them; returns the number of
  /// vehicles, or -1 when the kernel has no road (nothing changes then).
  int RedrawVehicles(const Kernel& kernel, const TrafficDrawSettings& settings);
  /// DOVEL mode: draws the external model's vehicles, with the closed lane as at simulated
  /// time `seconds` [s], and shows them; returns the number of vehicles.
  int RedrawModelVehicles(ModelVehicleSource& model, int seconds,
                          const TrafficDrawSettings& settings);
  /// Shows the road without traffic (no run shown).
  void HideVehicles();
  const QImage& TrafficBitmap() const { return traffic_; }

  /// The picture as last drawn (also what the screen shows).
  const QImage& RoadBitmap() const { return bitmap_; }
  const RoadDisplayAreas& DisplayAreas() const { return areas_; }
  /// The mapping of the current picture, for vehicle drawing and mouse gestures.
  RoadViewport Viewport() const;
  TRoadImage* ImageRoad() const { return image_; }
  TSectionHeader* HeaderControl() const { return header_; }
  QSlider* TrackBarZoom() const { return zoom_; }
  QScrollBar* ScrollBarScroll() const { return scroll_; }
  /// The lane number label of a lane row.
  QLabel* LaneLabel(int lane) const { return laneLabels_[lane]; }

 signals:
  /// After every redraw: the main window refreshes its object lists and the traffic.
  void RoadRedrawn();
  /// A lane number label beside the road was pressed.
  void LaneLabelPressed(int lane);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateLaneLabels();
  TrafficDrawSettings WithViewSwitches(const TrafficDrawSettings& settings) const;

  const KDConfig* config_ = nullptr;
  std::uint32_t flags_ = 0;
  RoadSelection selection_;
  bool showSelection_ = false;
  QImage bitmap_;
  QImage traffic_;
  RoadDisplayAreas areas_;
  std::vector<SurfaceDetailView> details_;
  TSectionHeader* header_;
  TRoadImage* image_;
  QWidget* laneIds_;
  std::vector<QLabel*> laneLabels_;
  QSlider* zoom_;
  QScrollBar* scroll_;
};
