#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <vector>

#include "shell/DetectorValues.h"
#include "views/GraphSeries.h"

class QCheckBox;
class QLabel;
class QToolButton;

// A detector graph: for one detector, a fundamental diagram (q-k, u-q, u-k) or a time series
// (q, k, u, travel time, travel speed against t) over the collected detector periods, one
// coloured series per lane and an optional aggregate over all lanes. A small window on top of
// the main window; it reads the detector sample store, never the kernel.
class TFormGraph : public QWidget {
  Q_OBJECT

 public:
  explicit TFormGraph(QWidget* parent = nullptr);

  /// The store the graph reads and the detector times and distances of the configuration.
  void SetSource(const DetectorSampleStore* store,
                 std::function<DetectorValueContext(int detector)> context) {
    store_ = store;
    context_ = std::move(context);
  }

  /// A graph of `lanes` lanes of `detector` (from 0) with y over x.
  void SetupGraph(int lanes, int detector, int interval, int firstTime, char xId, char yId);
  /// Redraws with `periods` collected periods.
  void DrawGraph(int periods);

  int Detector() const { return detector_; }
  char XId() const { return xId_; }
  char YId() const { return yId_; }
  int Divisor() const { return divisor_; }
  const QImage& Picture() const { return picture_; }
  const GraphSeries& Series() const { return series_; }
  const GraphMapping& Mapping() const { return mapping_; }

  QWidget* PanelGraph = nullptr;
  QWidget* PanelAverage = nullptr;
  QToolButton* SpeedButtonMinus = nullptr;
  QToolButton* SpeedButtonPlus = nullptr;
  QLabel* LabelDivisor = nullptr;
  QLabel* PanelCursorPos = nullptr;
  std::vector<QCheckBox*> LaneBoxes;
  QCheckBox* CheckBoxAggregate = nullptr;

 public slots:
  void CheckBoxAggregateClick();
  void SpeedButtonClick(int tag);

 protected:
  void resizeEvent(class QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PlaceBoxes();
  void ShowCursorValue(const QPoint& at);
  int LongestTravelTime(int periods) const;

  const DetectorSampleStore* store_ = nullptr;
  std::function<DetectorValueContext(int)> context_;
  int detector_ = 0;
  int lanes_ = 0;
  int periods_ = 0;
  int interval_ = 0;
  int firstTime_ = 0;
  char xId_ = 'k';
  char yId_ = 'q';
  int divisor_ = 1;
  bool aggregateShown_ = false;
  bool marginsSet_ = false;
  int left_ = 0, right_ = 0, top_ = 0, bottom_ = 0;
  QImage picture_;
  GraphSeries series_;
  GraphMapping mapping_;
};
