#pragma once

#include <QImage>
#include <QMainWindow>
#include <functional>
#include <string>
#include <vector>

#include "shell/CapacityEstimate.h"

class QAction;

// The capacity distribution window: the highest flows the batch runs reported, sorted and drawn
// against their cumulative probability, with mean, median and standard deviation. It reads the
// batch grid's statuses whenever it is shown, resized or refreshed (F5), and keeps nothing else.
// A menu entry, off by default, lays the estimate that counts runs without breakdown as
// censored over it: the product-limit steps and the fitted Weibull curve with its 95 % band.
class TFormCapacity : public QMainWindow {
  Q_OBJECT

 public:
  explicit TFormCapacity(QWidget* parent = nullptr);

  /// Where the statuses of the batch grid come from, in row order.
  void SetStatusSource(std::function<std::vector<std::string>()> source) {
    statuses_ = std::move(source);
  }
  /// Where the capacity observations of the batch come from (the overlay).
  void SetObservationSource(std::function<std::vector<CapacityObservation>()> source) {
    observations_ = std::move(source);
  }

  /// Reads the grid and draws the picture.
  void Redraw();
  const QImage& Picture() const { return picture_; }
  /// The overlay text under the summary; empty while the overlay is off or has no fit.
  const std::string& EstimateText() const { return estimateText_; }

  QWidget* ImageCapacity = nullptr;
  QAction* ItemRefresh = nullptr;
  QAction* ItemClose = nullptr;
  QAction* ItemCopy = nullptr;
  QAction* ItemShowEstimate = nullptr;

 public slots:
  void ItemRefreshClick() { Redraw(); }
  void ItemCopyClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void DrawEstimate(class QPainter& painter, const struct CapacityMapping& map);

  std::function<std::vector<std::string>()> statuses_;
  std::function<std::vector<CapacityObservation>()> observations_;
  QImage picture_;
  std::string estimateText_;
};
