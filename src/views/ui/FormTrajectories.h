#pragma once

#include "views/ui/FormDiagram.h"

class QLabel;

// The trajectory diagram: every vehicle of the run as a line in the position-time plane,
// coloured by lane, or by follow state when one lane is shown.
class TFormTrajectories : public TFormDiagram {
  Q_OBJECT

 public:
  explicit TFormTrajectories(QWidget* parent = nullptr);

  /// The follow-state legend of the status bar (one lane shown).
  QLabel* PanelColorFollowStateBlocked = nullptr;
  QLabel* PanelColorFollowStateFree = nullptr;
  long long PointsDrawn() const { return points_; }

 protected:
  bool DrawLayer(const DiagramData& data, PixelRaster& layer,
                 const DrawingProgress& progress) override;
  void DrawingStarted() override;
  void DrawingFinished(const DiagramData& data) override;

 private:
  void ShowLegend(bool shown);
  long long points_ = 0;
};
