#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/VehicleTrack.h"
#include "views/DiagramMapping.h"
#include "views/PixelRaster.h"
#include "views/TrajectoryDrawing.h"

class QCheckBox;
class QLabel;
class QMenuBar;
class QScrollBar;
class QSlider;
class QStatusBar;
class QTimer;
class TDiagramImage;

// What a diagram shows: the tracks of the current run and the run's dimensions.
struct DiagramData {
  const std::vector<VehicleTrack>* tracks = nullptr;
  int stepsPerSecond = 1;
  int stepCount = 0;
  double length = 1;   // the road length [m]
  double maxTime = 1;  // the stop time [s]
  int laneCount = 1;   // lanes used
};
using DiagramSource = std::function<DiagramData()>;

// The position-time window the trajectory and contour diagrams share: a frame layer with axes
// and labels, a contents layer over the plot drawn on a deferred, interruptible redraw, zoom
// track bars and scroll bars, rectangle zoom with the right button, a read-out on a left click,
// one check box per lane, and File > "Save picture as ...".
class TFormDiagram : public QWidget {
  Q_OBJECT

 public:
  explicit TFormDiagram(QWidget* parent = nullptr);
  ~TFormDiagram() override;

  void SetSource(DiagramSource source) { source_ = std::move(source); }
  /// Draws the frame and restarts the countdown: on showing, resizing, zoom and scroll changes
  /// and at the set-up of every run.
  void DrawFrame();
  /// Draws the contents layer now (the countdown does this after one second of quiet).
  void DrawContents();
  /// A step or change: the contents are drawn one second after the last one.
  void SetRedrawCountdown(int ticks);
  int RedrawCountdown() const { return countdown_; }
  /// One tick of the 100 ms timer.
  void TimerStartDrawContentsTimer();
  /// The contents layer is shown (drawn completely for the current view).
  bool ContentsVisible() const { return contentsVisible_; }
  /// The picture as shown: frame, contents and the read-out panel left out.
  QImage Picture() const;
  /// Writes the picture as PNG or, for a name ending in ".svg", as SVG; false with a message.
  bool SavePicture(const std::string& fileName);
  using FileChooser = std::function<bool(const std::string& filter, std::string& name)>;
  void SetFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
  void ItemSavePictureAsClick();

  const DiagramMapping* Mapping() const { return mapping_.get(); }
  const LaneFilter& Lanes() const { return lanes_; }
  /// The frame bitmap's pixel at (x, y), contents included where shown.
  QRgb PixelAt(int x, int y) const;
  /// The text of a label of the window, as patched.
  std::string Text(const char* label) const;

  QSlider* TrackBarZoomX = nullptr;
  QSlider* TrackBarZoomY = nullptr;
  QScrollBar* ScrollBarScrollX = nullptr;
  QScrollBar* ScrollBarScrollY = nullptr;
  QWidget* PanelCheckBoxes = nullptr;
  std::vector<QCheckBox*> CheckBoxLanes;
  QLabel* PanelCursorPos = nullptr;
  QLabel* ImageBusy = nullptr;
  QLabel* ImageTimeOut = nullptr;
  QStatusBar* StatusBar = nullptr;
  QTimer* TimerStartDrawContents = nullptr;
  /// The frame bitmap with the contents layer over the plot.
  QWidget* ImageFrame = nullptr;
  QMenuBar* MainMenu = nullptr;

  // Mouse handling of the frame image (frame coordinates).
  void ImageMouseDown(Qt::MouseButton button, QPoint at);
  void ImageMouseMove(Qt::MouseButtons buttons, QPoint at);
  void ImageMouseUp(Qt::MouseButton button, QPoint at);
  /// The selection rectangle being drawn, in frame coordinates; empty when none.
  QRect Selection() const;
  const QImage& FrameBitmap() const { return frame_; }
  const QImage& ContentsBitmap() const { return contents_; }

 protected:
  /// Draws the contents over the plot into `layer` (x = 0 at the left margin); false when
  /// abandoned. `progress` lets events run and tells whether to go on.
  virtual bool DrawLayer(const DiagramData& data, PixelRaster& layer,
                         const DrawingProgress& progress) = 0;
  /// The read-out at a position [m] and time [s].
  virtual std::string Readout(double position, double time) const;
  /// The lane boxes carry a disc in the lane colour.
  virtual bool LaneDiscs() const { return true; }
  virtual std::string LaneHint() const { return Text("LabelHintIndividual"); }
  /// Called when drawing starts and when it ends, for the window's own status bar legend.
  virtual void DrawingStarted() {}
  virtual void DrawingFinished(const DiagramData&) {}
  /// Whether the frame may be drawn (the contour window needs its type letter).
  virtual bool FrameAllowed() const { return true; }
  void AddText(const char* name, const char* text);
  void SetStatusText(const QString& text);

  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ControlsChanged();
  void LaneBoxClicked(int lane, bool checked);
  void BuildLaneBoxes(int laneCount);
  void PositionLaneBoxes();
  DiagramView CurrentView() const;
  void ApplyView(const DiagramView& view);
  void EndDrawing();

  DiagramSource source_;
  FileChooser chooser_;
  std::unique_ptr<DiagramMapping> mapping_;
  DiagramMargins margins_;
  bool marginsMeasured_ = false;
  LaneFilter lanes_;
  int countdown_ = 0;
  bool inFrame_ = false;
  bool busy_ = false;
  bool contentsVisible_ = false;
  bool applyingView_ = false;
  bool selecting_ = false;
  QPoint selectionStart_;
  QPoint selectionEnd_;
  QImage frame_;
  QImage contents_;
  PixelRaster layer_;
  QWidget* texts_ = nullptr;

  friend class TDiagramImage;
};
