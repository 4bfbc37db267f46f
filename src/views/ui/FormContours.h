#pragma once

#include "views/ContourGrid.h"
#include "views/ui/FormDiagram.h"

// The speed contour diagram: the position-time plane in cells coloured by the mean speed of
// the traffic through them, with the cell speed in the read-out.
class TFormContours : public TFormDiagram {
  Q_OBJECT

 public:
  explicit TFormContours(QWidget* parent = nullptr);

  /// The diagram type: the first letter of the menu entry's caption ("u", speed). The frame is
  /// not drawn while it is unset.
  void SetDiagramType(char letter) { type_ = letter; }
  char DiagramType() const { return type_; }
  const ContourGrid& Grid() const { return grid_; }

 protected:
  bool DrawLayer(const DiagramData& data, PixelRaster& layer,
                 const DrawingProgress& progress) override;
  std::string Readout(double position, double time) const override;
  bool LaneDiscs() const override { return false; }
  bool FrameAllowed() const override { return type_ != 0; }

 private:
  char type_ = 0;
  ContourGrid grid_;
};
