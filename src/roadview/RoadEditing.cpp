#include "roadview/RoadEditing.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "config/KDConfig.h"
#include "config/ProgramError.h"

namespace {

constexpr int kTaperBits = LANE_TAPERON | LANE_TAPEROFF;

const LaneTypeCommandInfo kCommands[kLaneTypeCommands] = {
    {"BitBtnG", "ItemG", "&Unpaved", "Unpaved", LANETYPE_UNPAVED},
    {"BitBtnSS", "ItemSS", "&No lane change allowed", "Paved, no lane change allowed",
     LANETYPE_NOCHANGE},
    {"BitBtnSD", "ItemSD", "Lane change to &right allowed", "Paved, lane change to right allowed",
     LANETYPE_CHANGERIGHT},
    {"BitBtnDS", "ItemDS", "Lane change to &left allowed", "Paved, lane change to left allowed",
     LANETYPE_CHANGELEFT},
    {"BitBtnDD", "ItemDD", "Any lane change allowed", "Paved, any lane change allowed",
     LANETYPE_ANYCHANGE},
    {"BitBtnFR", "ItemFR", "&Force right", "Paved, traffic must merge right", LANETYPE_MERGERIGHT},
    {"BitBtnFL", "ItemFL", "F&orce left", "Paved, traffic must merge left", LANETYPE_MERGELEFT},
    {"BitBtnBL", "ItemBL", "&Blocked", "Paved, driving not permitted", LANETYPE_BLOCKED},
    {"BitBtnB", "ItemPavedAllVehiclesAllowed", "Paved, all vehicles allowed",
     "Paved, all vehicles allowed", LANETYPE_DOVEL_PAVED},
    {"BitBtnICC", "ItemPavedICCFacilitated", "Paved, ICC facilitated", "Paved, ICC vehicle lane",
     LANETYPE_DOVEL_ICC},
    {"BitBtnTaperedOnRamp", "ItemTaperedOnRamp", "Tapered on ramp", "Tapered on ramp",
     LANETYPE_TAPERON},
    {"BitBtnTaperedOffRamp", "ItemTaperedOffRamp", "Tapered off ramp", "Tapered off ramp",
     LANETYPE_TAPEROFF},
    {"BitBtnTPIn", "ItemTPIn", "Teleport entrance", "Entrance of teleport", LANETYPE_TELEPORTIN},
    {"BitBtnTPOut", "ItemTPOut", "Teleport exit", "Exit of teleport", LANETYPE_TELEPORTOUT},
};

int Index(LaneTypeCommand command) { return static_cast<int>(command); }

bool DovelOnly(LaneTypeCommand command) {
  return command == LaneTypeCommand::PavedAllVehicles || command == LaneTypeCommand::PavedIcc;
}

bool OfferedInDovel(LaneTypeCommand command) {
  return command == LaneTypeCommand::Unpaved || DovelOnly(command);
}

int LaneTypeOf(const KDConfig& config, int section, int lane) {
  return config.IntPhysicalSectionProperty(section, lane, PP_LANETYPE);
}

}  // namespace

RoadSelection RoadEditSelection::Drawn() const {
  RoadSelection drawn;
  if (sectionFrom >= 0 && sectionTo >= 0) {
    drawn.upstreamSection = std::max(sectionFrom, sectionTo);
    drawn.downstreamSection = std::min(sectionFrom, sectionTo);
  }
  if (laneFrom >= 0 && laneTo >= 0) {
    drawn.firstLane = std::min(laneFrom, laneTo);
    drawn.lastLane = std::max(laneFrom, laneTo);
  }
  return drawn;
}

int PixelToPosition(const RoadViewport& view, int x) {
  return static_cast<int>(std::floor(PositionUnderPixel(view, x) + 0.5));
}

int LaneAtY(int y) {
  if (y <= 4) return -1;
  const int lane = (y - 5) / LANE_HEIGHT;
  return lane >= MaxLane() ? -1 : lane;
}

void OrderSelection(RoadEditSelection& s) {
  if (s.laneFrom > s.laneTo) std::swap(s.laneFrom, s.laneTo);
  if (s.laneFrom < 0) s.laneTo = -1;
  if (s.sectionFrom < s.sectionTo) std::swap(s.sectionFrom, s.sectionTo);
  if (s.sectionTo < 0) s.sectionFrom = -1;
}

std::string SelectionDebugLine(const RoadEditSelection& s) {
  return Format("Section=%d..%d, lane=%d..%d", s.sectionFrom, s.sectionTo, s.laneFrom, s.laneTo);
}

SelectedRange SelectedCells(const KDConfig& config, const RoadEditSelection& s) {
  SelectedRange range{0, MaxLane() - 1, 0, config.Boundaries()};
  if (s.laneFrom >= 0 && s.laneTo >= 0) {
    range.laneLo = std::min(s.laneFrom, s.laneTo);
    range.laneHi = std::min(std::max(s.laneFrom, s.laneTo), MaxLane() - 1);
  }
  if (s.sectionFrom >= 0 && s.sectionTo >= 0) {
    range.sectionLo = std::min(std::min(s.sectionFrom, s.sectionTo), config.Boundaries());
    range.sectionHi = std::min(std::max(s.sectionFrom, s.sectionTo), config.Boundaries());
  }
  return range;
}

const LaneTypeCommandInfo& LaneTypeCommandOf(LaneTypeCommand command) {
  return kCommands[Index(command)];
}

bool LaneTypeButtonVisible(LaneTypeCommand command, int programMode) {
  // The teleport buttons are never shown; their menu entries are.
  if (command == LaneTypeCommand::TeleportIn || command == LaneTypeCommand::TeleportOut)
    return false;
  return programMode == DOVEL ? OfferedInDovel(command) : !DovelOnly(command);
}

bool LaneTypeItemVisible(LaneTypeCommand command, int programMode) {
  return programMode == DOVEL ? OfferedInDovel(command) : !DovelOnly(command);
}

std::array<bool, kLaneTypeCommands> LaneTypeAvailability(const KDConfig& config,
                                                         RoadEditSelection& selection) {
  using C = LaneTypeCommand;
  std::array<bool, kLaneTypeCommands> on{};
  on.fill(true);
  auto off = [&on](C command) { on[Index(command)] = false; };
  const int boundaries = config.Boundaries();
  const int last = MaxLane() - 1;

  int lo = 0;
  int hi = last;
  if (selection.laneFrom >= 0 && selection.laneTo >= 0) {
    lo = std::min(selection.laneFrom, selection.laneTo);
    hi = std::min(std::max(selection.laneFrom, selection.laneTo), last);
  }
  int sLo = 0;
  int sHi = boundaries;
  if (selection.sectionFrom >= 0 && selection.sectionTo >= 0) {
    if (selection.sectionFrom > boundaries || selection.sectionTo > boundaries) {
      // The road lost sections since the selection was made.
      sHi = 0;
      selection.sectionFrom = selection.sectionTo = boundaries;
    } else {
      sLo = std::min(selection.sectionFrom, selection.sectionTo);
      sHi = std::max(selection.sectionFrom, selection.sectionTo);
    }
  }
  if (sHi - sLo + 1 > 2) {
    off(C::TeleportIn);
    off(C::TeleportOut);
  }
  for (int i = lo; i <= hi; ++i) {
    for (int j = sLo; j <= sHi; ++j) {
      if (j == 0) off(C::TeleportIn);
      if (j == boundaries) off(C::TeleportOut);
      if (i == 0 || !config.IsNormalLane(j, i - 1)) {
        off(C::ChangeLeft);
        off(C::AnyChange);
      }
      if (i == 0 || !config.LaneConnects(j, i - 1, WHENCE_BEGIN)) off(C::ForceLeft);
      if (i == last || !config.IsNormalLane(j, i + 1)) {
        off(C::ChangeRight);
        off(C::AnyChange);
      }
      if (i == last || !config.LaneConnects(j, i + 1, WHENCE_BEGIN)) off(C::ForceRight);
      if (i < last && (LaneTypeOf(config, j, i + 1) & kTaperBits)) {
        off(C::ForceRight);
        off(C::ForceLeft);
        off(C::Blocked);
        if (!(LaneTypeOf(config, j, i) & kTaperBits)) {
          off(C::TeleportIn);
          off(C::TeleportOut);
          off(C::Unpaved);
        }
      }
    }
  }
  bool taper = hi == lo + 1 && lo > 0;
  for (int j = sLo; taper && j <= sHi; ++j) taper = config.IsNormalLane(j, lo - 1);
  on[Index(C::TaperedOnRamp)] = taper;
  on[Index(C::TaperedOffRamp)] = taper;
  on[Index(C::PavedAllVehicles)] = true;
  on[Index(C::PavedIcc)] = true;
  return on;
}

namespace {

// The steps of the road edits. Each asks the configuration first, so that an edit the road
// cannot take ends with its reason instead of reaching one of the configuration's stops.
std::string SetLaneType(KDConfig& config, int section, int lane, float value) {
  std::string why = config.LaneTypeRefusal(section, lane, value);
  if (why.empty()) config.SetPhysicalSectionProperty(section, lane, PP_LANETYPE, value);
  return why;
}

std::string InsertBoundary(KDConfig& config, int distance) {
  std::string why = config.InsertBoundaryRefusal(distance);
  if (why.empty()) config.InsertBoundary(distance);
  return why;
}

std::string DeleteBoundary(KDConfig& config, int section) {
  std::string why = config.DeleteBoundaryRefusal(section);
  if (why.empty()) config.DeleteBoundary(section);
  return why;
}

std::string Unpave(KDConfig& config, int section, int laneLo, int laneHi) {
  for (int lane = laneLo; lane <= laneHi; ++lane) {
    std::string why = SetLaneType(config, section, lane, 0.0f);
    if (!why.empty()) return why;
  }
  return "";
}

}  // namespace

std::string SetSelectionLaneType(KDConfig& config, const RoadEditSelection& selection, int value) {
  const SelectedRange r = SelectedCells(config, selection);
  const bool on = (value & LANE_TAPERON) != 0;
  const bool off = (value & LANE_TAPEROFF) != 0;
  if (on || off) {
    if (r.laneHi != r.laneLo + 1 || r.laneLo < 1)
      return "A tapered ramp is a pair of two lanes right of a through lane";
    for (int s = r.sectionLo; s <= r.sectionHi; ++s) {
      std::string why = SetLaneType(config, s, r.laneLo, on ? 332.0f : 588.0f);
      if (why.empty()) why = SetLaneType(config, s, r.laneHi, on ? 326.0f : 579.0f);
      if (!why.empty()) return why;
    }
    return "";
  }
  for (int s = r.sectionLo; s <= r.sectionHi; ++s)
    for (int lane = r.laneLo; lane <= r.laneHi; ++lane) {
      std::string why = SetLaneType(config, s, lane, static_cast<float>(value));
      if (!why.empty()) return why;
    }
  return "";
}

int SplitPosition(const KDConfig& config, int item, int clicked) {
  const int s = config.Boundaries() - item;
  int p = clicked;
  if (p >= config.SectionPos(s, WHENCE_END)) p = config.SectionPos(s, WHENCE_END) - 1;
  if (item > 0 && config.SectionPos(s + 1, WHENCE_END) >= p)
    p = config.SectionPos(s + 1, WHENCE_END) + 1;
  return std::max(p, 1);
}

std::string SplitSection(KDConfig& config, int item, int clicked) {
  return InsertBoundary(config, SplitPosition(config, item, clicked));
}

std::string DeleteSection(KDConfig& config, int item) {
  return DeleteBoundary(config, config.Boundaries() - item);
}

void ShiftSelectionForHeader(RoadEditSelection& selection, int boundaries, int item, int shift) {
  for (int* end : {&selection.sectionFrom, &selection.sectionTo})
    if (*end >= 0 && *end >= boundaries - item) *end = std::max(*end + shift, 0);
}

int ResizePosition(const KDConfig& config, int section, int position) {
  int p = std::max(position, 1);
  if (section < config.Boundaries() && p <= config.SectionPos(section, WHENCE_BEGIN))
    p = config.SectionPos(section, WHENCE_BEGIN) + 1;
  if (section > 0 && p >= config.SectionPos(section - 1, WHENCE_END))
    p = config.SectionPos(section - 1, WHENCE_END) - 1;
  // The road end only moves through the length commands.
  if (section == 0) p = std::min(p, config.Length());
  return p;
}

std::string CopySelection(const KDConfig& config, const RoadEditSelection& selection) {
  const SelectedRange r = SelectedCells(config, selection);
  return config.AreaToText(r.laneLo, r.laneHi, r.sectionLo, r.sectionHi);
}

bool WholeCrossSection(const KDConfig& config, const RoadEditSelection& selection) {
  const SelectedRange r = SelectedCells(config, selection);
  for (int s = r.sectionLo; s <= r.sectionHi; ++s)
    for (int lane = 0; lane < MaxLane(); ++lane)
      if ((lane < r.laneLo || lane > r.laneHi) && (LaneTypeOf(config, s, lane) & LANE_PAVED))
        return false;
  return true;
}

std::string CutSelection(KDConfig& config, RoadEditSelection& selection, bool wholeCrossSection) {
  const SelectedRange r = SelectedCells(config, selection);
  if (!wholeCrossSection) {
    for (int s = r.sectionLo; s <= r.sectionHi; ++s) {
      std::string why = Unpave(config, s, r.laneLo, r.laneHi);
      if (!why.empty()) return why;
    }
    return "";
  }
  // Merge the sections into the most downstream one, which takes over their stretch.
  int s = r.sectionHi;
  for (int n = r.sectionHi - r.sectionLo; n > 0 && config.Boundaries() > 0; --n) {
    std::string why = DeleteBoundary(config, s);
    if (!why.empty()) return why;
    s = std::max(s - 1, 0);
  }
  if (selection.sectionFrom >= 0) selection.sectionFrom = selection.sectionTo = s;
  return Unpave(config, s, 0, MaxLane() - 1);
}

std::string PasteSelection(KDConfig& config, RoadEditSelection& selection, const std::string& text,
                           PasteKind kind) {
  const int count = KDConfig::CheckAreaText(text);
  if (count <= 0) return "The clipboard does not hold a piece of road";
  const int lane = std::max(selection.laneFrom, 0);
  const bool sections = selection.sectionFrom >= 0 && selection.sectionTo >= 0;
  if (ProgramMode() == DOVEL && kind != PasteKind::Replace && config.Boundaries() + 1 >= 19)
    return "Cannot insert another boundary";
  int target = 0;
  switch (kind) {
    case PasteKind::Before: {
      const int s =
          sections ? std::min(selection.sectionFrom, config.Boundaries()) : config.Boundaries();
      config.SetSectionLength(s, config.SectionLength(s) + 1);
      std::string why = InsertBoundary(config, config.SectionPos(s, WHENCE_BEGIN) + 1);
      target = s + 1;
      if (why.empty()) why = Unpave(config, target, 0, MaxLane() - 1);
      if (!why.empty()) return why;
      break;
    }
    case PasteKind::After: {
      const int s = sections ? std::min(selection.sectionTo, config.Boundaries()) : 0;
      config.SetSectionLength(s, config.SectionLength(s) + 1);
      std::string why = InsertBoundary(config, config.SectionPos(s, WHENCE_END) - 1);
      target = s;
      if (why.empty()) why = Unpave(config, target, 0, MaxLane() - 1);
      if (!why.empty()) return why;
      break;
    }
    case PasteKind::Replace: {
      const SelectedRange r = SelectedCells(config, selection);
      int from = r.sectionHi;
      for (int t = r.sectionLo + 1; t <= from && config.Boundaries() > 0;) {
        std::string why = DeleteBoundary(config, t);
        if (!why.empty()) return why;
        if (from > 0) --from;
      }
      target = std::max(std::min(from, r.sectionLo), 0);
      std::string why = Unpave(config, target, r.laneLo, r.laneHi);
      if (!why.empty()) return why;
      break;
    }
  }
  const std::string problem = config.AreaTextProblem(text, target, lane);
  if (!problem.empty()) return problem;
  config.TextToArea(text, target, lane);
  if (sections) {
    if (kind == PasteKind::After) {
      selection.sectionFrom += count;
      selection.sectionTo += count;
    } else if (kind == PasteKind::Replace) {
      selection.sectionTo = target;
      selection.sectionFrom = target + count - 1;
    }
  }
  return "";
}

std::string RefusalOnCopy(const KDConfig& config, const RoadEditSelection& selection,
                          const std::function<std::string(KDConfig&, RoadEditSelection&)>& edit) {
  std::unique_ptr<KDConfig> trial = config.Duplicate(false);
  if (!trial) return "Out of memory";
  RoadEditSelection trialSelection = selection;
  return edit(*trial, trialSelection);
}
