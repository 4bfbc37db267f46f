#pragma once

#include <QWidget>
#include <utility>
#include <vector>

#include "roadview/RoadColors.h"

class KDConfig;
class QLabel;

// The legends of the traffic colours beside the road on the run page: one panel per colour
// scheme, tagged with the scheme's index in the colour list; only the panels of the chosen
// scheme are shown. The swatches of the acceleration, follow state, vehicle type and route
// choice legends are the colours the vehicles are drawn in.
class TRunLegends : public QWidget {
  Q_OBJECT

 public:
  explicit TRunLegends(QWidget* parent = nullptr);

  /// KAVRO or DOVEL: the external model's merge intention, ICC states and vehicle types.
  void SetProgramMode(int mode);
  /// Shows the panels whose tag is `scheme`, hides the others.
  void ShowScheme(int scheme);
  int Scheme() const { return scheme_; }

  /// Builds the destination legend anew: a swatch in the destination colour and the name of
  /// every destination of `config`, in a grid of four rows.
  void RebuildDestinations(const KDConfig& config);
  /// The number of destinations of the last rebuild: the destination colours use it.
  int DestinationCount() const { return destinationCount_; }

  /// The scheme colours paired with the colours of their swatches, for the schemes whose
  /// vehicles take the colour of their legend (acceleration, follow state, vehicle type and
  /// route choice); empty for the others.
  std::vector<std::pair<RgbColor, RgbColor>> SwatchColors(int scheme) const;

  /// The panels of one scheme (tests look at what is shown).
  std::vector<QWidget*> Panels() const { return panels_; }
  QWidget* PanelDestinations() const { return destinations_; }

 private:
  QWidget* AddPanel(const char* name, int tag);
  QWidget* AddSwatch(QWidget* panel, const char* name, RgbColor color, const QString& caption,
                     int row);
  void BuildPanels();

  int mode_ = 0;
  int scheme_ = 0;
  int destinationCount_ = 1;
  std::vector<QWidget*> panels_;
  QWidget* follow_ = nullptr;          // the follow state swatches
  QWidget* mergeIntention_ = nullptr;  // the external model's sub-panel of the follow state
  QWidget* destinations_ = nullptr;
  QWidget* icc_ = nullptr;
  QLabel* lastTypeCaption_ = nullptr;
};
