#include "views/ui/FormTrajectories.h"

#include <QLabel>
#include <QStatusBar>

#include "roadview/RoadColors.h"
#include "shell/ui/QtText.h"

TFormTrajectories::TFormTrajectories(QWidget* parent) : TFormDiagram(parent) {
  setObjectName("FormTrajectories");
  AddText("LabelFormCaption", "Trajectories");
  AddText("LabelHintIndividual", "Show or hide trajectories for lane");
  AddText("LabelWantMoreDistance", "Want more distance");
  AddText("LabelSufficient", "Sufficient");
  setWindowTitle(FromText(Text("LabelFormCaption")));

  auto swatch = [this](const char* name, RgbColor color, const char* caption) {
    auto* label = new QLabel(FromText(Text(caption)), this);
    label->setObjectName(name);
    label->setStyleSheet(QString("QLabel { border-left: 14px solid rgb(%1,%2,%3); padding-left: "
                                 "4px; }")
                             .arg(color.r)
                             .arg(color.g)
                             .arg(color.b));
    label->hide();
    StatusBar->addWidget(label);
    return label;
  };
  PanelColorFollowStateBlocked =
      swatch("PanelColorFollowStateBlocked", FollowStateColor(false), "LabelWantMoreDistance");
  PanelColorFollowStateFree =
      swatch("PanelColorFollowStateFree", FollowStateColor(true), "LabelSufficient");
}

void TFormTrajectories::ShowLegend(bool shown) {
  PanelColorFollowStateBlocked->setVisible(shown);
  PanelColorFollowStateFree->setVisible(shown);
}

void TFormTrajectories::DrawingStarted() { ShowLegend(false); }

void TFormTrajectories::DrawingFinished(const DiagramData& data) {
  ShowLegend(Lanes().CountShown(data.laneCount) == 1);
}

bool TFormTrajectories::DrawLayer(const DiagramData& data, PixelRaster& layer,
                                  const DrawingProgress& progress) {
  TrajectoryDrawResult result =
      DrawTrajectoryLines(*data.tracks, *Mapping(), Lanes(), data.laneCount, data.stepsPerSecond,
                          data.stepCount, layer, progress);
  points_ = result.points;
  return result.complete;
}
