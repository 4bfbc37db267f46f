#include "shell/ui/RunLegends.h"

#include <QFrame>
#include <QLabel>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "roadview/ui/QtColor.h"
#include "shell/ui/QtText.h"

namespace {

constexpr int kLegendWidth = 320;   // [pixels]
constexpr int kLegendHeight = 100;  // [pixels]: four rows of 25
constexpr int kSwatchSize = 13;     // [pixels]
constexpr int kRowHeight = 20;      // [pixels]
constexpr int kColumnWidth = 160;   // [pixels]
const char* const kTagProperty = "tag";
// The colour a swatch stands for in its scheme, as 0xRRGGBB.
const char* const kSchemeColorProperty = "schemeColor";

RgbColor ToRgb(const QColor& c) {
  return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
          static_cast<std::uint8_t>(c.blue())};
}

unsigned Packed(RgbColor c) { return (unsigned{c.r} << 16) | (unsigned{c.g} << 8) | c.b; }

RgbColor Unpacked(unsigned v) {
  return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v)};
}

QFrame* MakeSwatch(QWidget* parent, const QString& name, RgbColor color) {
  auto* swatch = new QFrame(parent);
  swatch->setObjectName(name);
  swatch->setFrameShape(QFrame::Box);
  swatch->setFixedSize(kSwatchSize, kSwatchSize);
  swatch->setAutoFillBackground(true);
  QPalette palette = swatch->palette();
  palette.setColor(QPalette::Window, ToQColor(color));
  swatch->setPalette(palette);
  return swatch;
}

// A caption to the right of its swatch, vertically centred on it.
QLabel* MakeCaption(QWidget* parent, const QString& name, const QString& text, int left, int top,
                    int width) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  const int height = label->fontMetrics().height();
  label->setGeometry(left + kSwatchSize + 5, top + kSwatchSize / 2 - height / 2, width, height);
  return label;
}

struct SwatchEntry {
  const char* name;
  RgbColor color;
  const char* caption;
};

}  // namespace

TRunLegends::TRunLegends(QWidget* parent) : QWidget(parent) {
  setObjectName("PanelLegends");
  setFixedSize(kLegendWidth, kLegendHeight);
  BuildPanels();
  ShowScheme(0);
}

QWidget* TRunLegends::AddPanel(const char* name, int tag) {
  auto* panel = new QWidget(this);
  panel->setObjectName(name);
  panel->setProperty(kTagProperty, tag);
  panel->setGeometry(0, 0, kLegendWidth, kLegendHeight);
  panels_.push_back(panel);
  return panel;
}

// Swatch `index` of a panel: five rows per column.
QWidget* TRunLegends::AddSwatch(QWidget* panel, const char* name, RgbColor color,
                                const QString& caption, int index) {
  QFrame* swatch = MakeSwatch(panel, name, color);
  swatch->setProperty(kSchemeColorProperty, Packed(color));
  const int left = (index / 5) * kColumnWidth;
  const int top = (index % 5) * kRowHeight + 2;
  swatch->move(left, top);
  MakeCaption(panel, QString(name) + "Caption", caption, left, top, kColumnWidth - 20);
  return swatch;
}

void TRunLegends::BuildPanels() {
  QWidget* speed = AddPanel("PanelLegendSpeed", 0);
  for (int i = 0; i < 4; ++i) {
    const int kmh = SPEED_LEGEND_STEPS[i];
    QFrame* swatch =
        MakeSwatch(speed, QString("PanelSpeedColor%1").arg(kmh), ContourColor(kmh / 150.0));
    swatch->move(0, i * kRowHeight + 2);
    MakeCaption(speed, QString("LabelSpeedColor%1").arg(kmh), QString("%1 km/h").arg(kmh), 0,
                i * kRowHeight + 2, kColumnWidth);
  }

  QWidget* acceleration = AddPanel("PanelLegendAcceleration", 1);
  const SwatchEntry accelerations[] = {
      {"PanelAccelerationColorGreen", RoadColor::Lime, "Accelerating"},
      {"PanelAccelerationColorWhite", RoadColor::White, "Constant speed"},
      {"PanelAccelerationColorGray", RoadColor::Gray, "Stationary"},
      {"PanelAccelerationColorYellow", RoadColor::Yellow, "Passive braking"},
      {"PanelAccelerationColorRed", RoadColor::Red, "Active braking"}};
  for (int i = 0; i < 5; ++i)
    AddSwatch(acceleration, accelerations[i].name, accelerations[i].color, accelerations[i].caption,
              i);

  QWidget* follow = AddPanel("PanelLegendFollowState", 2);
  follow_ = new QWidget(follow);
  follow_->setObjectName("PanelFollowStateColors");
  follow_->setGeometry(0, 0, kLegendWidth, kLegendHeight);
  AddSwatch(follow_, "PanelFollowColorYellow", RoadColor::Yellow, "Sufficient", 0);
  AddSwatch(follow_, "PanelFollowColorRed", RoadColor::Red, "Want more distance", 1);
  mergeIntention_ = new QWidget(follow);
  mergeIntention_->setObjectName("PanelMergeIntention");
  mergeIntention_->setGeometry(0, 0, kLegendWidth, kLegendHeight);
  AddSwatch(mergeIntention_, "PanelMergeLeft", RoadColor::Red, "Wants to merge left", 0);
  AddSwatch(mergeIntention_, "PanelMergeRight", RoadColor::Green, "Wants to merge right", 1);
  AddSwatch(mergeIntention_, "PanelStayInLane", RoadColor::White, "Wants to stay in lane", 2);

  QWidget* types = AddPanel("PanelLegendVehicleType", 3);
  const SwatchEntry typeColors[] = {{"PanelVDCTypeColorMaroon", RoadColor::Brown, "Type 1"},
                                    {"PanelVDCTypeColorRed", RoadColor::Red, "Type 2"},
                                    {"PanelVDCTypeColorOrange", RoadColor::Orange, "Type 3"},
                                    {"PanelVDCTypeColorYellow", RoadColor::Yellow, "Type 4"},
                                    {"PanelVDCTypeColorLime", RoadColor::Lime, "Type 5"},
                                    {"PanelVDCTypeColorAqua", RoadColor::Aqua, "Type 6"},
                                    {"PanelVDCTypeColorFuchsia", RoadColor::Fuchsia, "Type 7"},
                                    {"PanelVDCTypeColorSilver", RoadColor::Silver, "Type 8"}};
  for (int i = 0; i < 8; ++i) {
    // Two columns of four.
    QWidget* swatch = AddSwatch(types, typeColors[i].name, typeColors[i].color,
                                typeColors[i].caption, i < 4 ? i : i + 1);
    if (i == 7) lastTypeCaption_ = types->findChild<QLabel*>(swatch->objectName() + "Caption");
  }

  destinations_ = AddPanel("PanelLegendDestination", 4);
  icc_ = AddPanel("PanelLegendICC", 4);
  AddSwatch(icc_, "PanelNoICC", RoadColor::White, "No ICC equipment", 0);
  AddSwatch(icc_, "PanelICCOn", RoadColor::Aqua, "ICC switched on", 1);
  AddSwatch(icc_, "PanelICCOff", RoadColor::Yellow, "ICC switched off", 2);

  QWidget* route = AddPanel("PanelLegendRouteChoice", 5);
  AddSwatch(route, "PanelLeftRouteChosen", RoadColor::Red, "Left route chosen", 0);
  AddSwatch(route, "PanelRightRouteChosen", RoadColor::Lime, "Right route chosen", 1);
  AddSwatch(route, "PanelNoRouteChosen", RoadColor::White, "No route chosen", 2);
  SetProgramMode(KAVRO);
}

void TRunLegends::SetProgramMode(int mode) {
  mode_ = mode;
  const bool dovel = mode == DOVEL;
  // The external model's third scheme is its merge intention, which replaces the follow state.
  mergeIntention_->setVisible(dovel);
  follow_->setVisible(!dovel);
  lastTypeCaption_->setText(dovel ? "Type >= 8" : "Type 8");
  ShowScheme(scheme_);
}

void TRunLegends::ShowScheme(int scheme) {
  scheme_ = scheme;
  const bool dovel = mode_ == DOVEL;
  for (QWidget* panel : panels_) {
    bool shown = panel->property(kTagProperty).toInt() == scheme;
    // Both legends of the fifth entry carry its tag; the kernel colours by destination, the
    // external model by its ICC state.
    if (panel == destinations_) shown = shown && !dovel;
    if (panel == icc_) shown = shown && dovel;
    panel->setVisible(shown);
  }
}

void TRunLegends::RebuildDestinations(const KDConfig& config) {
  for (QWidget* child : destinations_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    delete child;
  const int count = config.SinkCount();
  destinationCount_ = count;
  for (int i = 0; i < count; ++i) {
    const LegendCell cell = DestinationLegendCell(i, count, kLegendWidth, kLegendHeight);
    QFrame* swatch = MakeSwatch(destinations_, QString("PanelDestinationColor%1").arg(i + 1),
                                DestinationColor(i, count));
    swatch->move(cell.left, cell.top);
    swatch->show();
    MakeCaption(destinations_, QString("LabelDestinationColor%1").arg(i + 1),
                FromText(config.SinkName(i)), cell.left, cell.top, std::max(cell.labelWidth, 0))
        ->show();
  }
}

std::vector<std::pair<RgbColor, RgbColor>> TRunLegends::SwatchColors(int scheme) const {
  std::vector<std::pair<RgbColor, RgbColor>> colors;
  if (scheme != 1 && scheme != 2 && scheme != 3 && scheme != 5) return colors;
  for (QWidget* panel : panels_) {
    if (panel->property(kTagProperty).toInt() != scheme) continue;
    for (const QFrame* swatch : panel->findChildren<QFrame*>()) {
      const QVariant own = swatch->property(kSchemeColorProperty);
      // Only the sub-panel of the follow state legend that the mode shows counts.
      const QWidget* owner = swatch->parentWidget();
      if (!own.isValid() || (owner == follow_ && mode_ == DOVEL) ||
          (owner == mergeIntention_ && mode_ != DOVEL))
        continue;
      colors.emplace_back(Unpacked(own.toUInt()), ToRgb(swatch->palette().color(QPalette::Window)));
    }
  }
  return colors;
}
