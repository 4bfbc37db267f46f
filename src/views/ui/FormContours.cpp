#include "views/ui/FormContours.h"

#include <cmath>

#include "config/Units.h"
#include "shell/ui/QtText.h"

TFormContours::TFormContours(QWidget* parent) : TFormDiagram(parent) {
  setObjectName("FormContours");
  AddText("LabelFormType", "U contour graph");
  AddText("LabelHintIndividual", "Include or exclude data of lane");
  AddText("LabelVIs", ", v =");
  AddText("LabelFmtKmH", "%6.1f km/h");
  setWindowTitle(FromText(Text("LabelFormType")));
}

bool TFormContours::DrawLayer(const DiagramData& data, PixelRaster& layer,
                              const DrawingProgress& progress) {
  const DiagramMapping mapping = *Mapping();
  grid_.Layout(mapping, layer.Width(), layer.Height(), data.stepsPerSecond);
  if (!grid_.AddTracks(*data.tracks, Lanes(), data.stepCount, data.length, progress)) return false;
  grid_.Paint(layer);
  return true;
}

std::string TFormContours::Readout(double position, double time) const {
  std::optional<double> speed = grid_.SpeedAt(position, time);
  if (speed) *speed = MsToKmhInDouble(*speed);
  return ContourReadout(position, time, speed, Text("LabelVIs"), Text("LabelFmtKmH"));
}
