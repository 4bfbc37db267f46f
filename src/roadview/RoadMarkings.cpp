#include "roadview/RoadMarkings.h"

#include <algorithm>

#include "config/KDConfig.h"

namespace {

constexpr int kTaperBits = LANE_TAPERON | LANE_TAPEROFF;
constexpr int kLeftBits = LANE_NOCHANGELEFT | LANE_CHANGELEFT;
constexpr int kRightBits = LANE_NOCHANGERIGHT | LANE_CHANGERIGHT;

int TypeOf(const KDConfig& config, int section, int lane) {
  if (section < 0 || section > config.Boundaries() || lane < 0 || lane >= MaxLane()) return 0;
  return config.IntPhysicalSectionProperty(section, lane, PP_LANETYPE);
}

bool Paved(int type) { return (type & LANE_PAVED) != 0; }

// One edge: the no-change bit alone gives a solid line, the change bit alone a dashed one.
void AddEdge(std::vector<MarkingLine>& lines, int bits, int noChangeBit, int changeBit, int y,
             PixelRange columns) {
  if (bits == noChangeBit) lines.push_back({true, y, columns.left + 1, columns.right - 1});
  if (bits == changeBit) lines.push_back({false, y, columns.left, columns.right + 1});
}

}  // namespace

bool LanesDisagree(int upperType, int lowerType) {
  const bool noChange = (lowerType & LANE_NOCHANGELEFT) != 0;
  const bool change = (lowerType & LANE_CHANGELEFT) != 0;
  return noChange != ((upperType & LANE_NOCHANGERIGHT) != 0) ||
         change != ((upperType & LANE_CHANGERIGHT) != 0);
}

std::vector<MarkingLine> LaneMarkings(const KDConfig& config, int section, int lane,
                                      PixelRange columns, bool drawTapers) {
  std::vector<MarkingLine> lines;
  const int lanes = MaxLane();
  const int type = TypeOf(config, section, lane);
  const int above = lane >= 1 ? TypeOf(config, section, lane - 1) : 0;
  const int below = lane < lanes - 1 ? TypeOf(config, section, lane + 1) : 0;
  const int upperOffset = lane >= 1 && Paved(above) && LanesDisagree(above, type) ? 2 : 0;
  const int lowerOffset = lane < lanes - 1 && Paved(below) && LanesDisagree(type, below) ? -2 : 0;
  const bool taper = (type & kTaperBits) != 0;
  const int top = LaneTop(static_cast<float>(lane)) + upperOffset;
  // The outer edge of a taper pair is always marked dashed along its top.
  if (taper && lane >= 1 && (above & kTaperBits) == 0)
    lines.push_back({false, top, columns.left, columns.right + 1});
  if (taper && drawTapers) return lines;
  AddEdge(lines, type & kLeftBits, LANE_NOCHANGELEFT, LANE_CHANGELEFT, top, columns);
  AddEdge(lines, type & kRightBits, LANE_NOCHANGERIGHT, LANE_CHANGERIGHT,
          LaneTop(static_cast<float>(lane + 1)) + lowerOffset, columns);
  return lines;
}

Hatching HatchingOf(int laneType) {
  return {(laneType & LANE_MERGELEFT) != 0, (laneType & LANE_MERGERIGHT) != 0};
}

bool OnHatching(Hatching hatching, int x0, int top, int x, int y) {
  auto mod4 = [](int v) { return ((v % 4) + 4) % 4; };
  const int dy = y - top;
  return (hatching.rising && mod4(x - x0 + dy) == 0) ||
         (hatching.falling && mod4(x - x0 - dy) == 0);
}

bool TaperFigureAt(const KDConfig& config, const RoadViewport& view, int section, int lane,
                   TaperFigure& figure) {
  const int type = TypeOf(config, section, lane);
  if ((type & kTaperBits) == 0) return false;
  // Drawn from the figure's most downstream section and upper lane only.
  if (section > 0 && (TypeOf(config, section - 1, lane) & kTaperBits) != 0) return false;
  if (lane >= 1 && (TypeOf(config, section, lane - 1) & kTaperBits) != 0) return false;
  int upstream = section;
  while (upstream < config.Boundaries() && (TypeOf(config, upstream + 1, lane) & kTaperBits) != 0)
    ++upstream;
  figure.onRamp = (type & LANE_TAPERON) != 0;
  figure.left =
      PositionToPixel(view, static_cast<float>(config.SectionPos(upstream, WHENCE_BEGIN)));
  figure.right = PositionToPixel(view, static_cast<float>(config.SectionPos(section, WHENCE_END)));
  figure.top = LaneTop(static_cast<float>(lane));
  figure.rightDepth = figure.onRamp ? 24 : 48;
  figure.leftDepth = figure.onRamp ? 48 : 24;
  figure.dividerDashes.clear();
  figure.dividerRows.clear();
  const int l = figure.left;
  const int r = figure.right;
  if (l == r) return true;
  const int x0 = PositionToPixel(view, 0.0f);
  for (const Dash& dash : DashesBetween(x0, l, r)) {
    // The dash's own start column decides its row, also when clipped at the left.
    const int x = dash.start;
    figure.dividerDashes.push_back(dash);
    figure.dividerRows.push_back(figure.top +
                                 (figure.onRamp ? 24 * (r - x) / (r - l) : 24 * (x - l) / (r - l)));
  }
  return true;
}
