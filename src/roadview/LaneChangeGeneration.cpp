#include "roadview/LaneChangeGeneration.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <new>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "config/BHVSection.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/RoadTypes.h"
#include "config/SourceSink.h"

// Inconsistent section or teleport data is an internal error that names the condition.

namespace {

constexpr int kLanes = MAX_KAVROLANE;

// LaneMarks bits of one (section, lane).
constexpr std::uint8_t MARK_MERGELEFT = 1;   // a merge to the left was generated here
constexpr std::uint8_t MARK_LEADS = 2;       // the lane leads to the destination
constexpr std::uint8_t MARK_MERGERIGHT = 4;  // a merge to the right was generated here

// One area of the destination being generated. The list index is the area's rank: new areas
// go to the front, as in the configuration's own list.
struct Area {
  int lane = 0;
  int position = 0;   // downstream end [m]
  int required = 0;   // [m]
  int voluntary = 0;  // [m]
  bool left = false;
  int group = 0;  // -1 = touched twice by the generator, cleared before the list is stored
  std::array<float, MAXVEHICLETYPE> probability = {1, 1, 1, 1, 1, 1, 1, 1};

  bool SamePlace(const Area& other) const {
    return position == other.position && lane == other.lane && left == other.left;
  }
};

using AreaList = std::vector<Area>;

// The areas of every destination, by rank, with the destination's name.
struct DestinationAreas {
  std::string name;
  AreaList areas;
};

bool ScanWholeNumber(const std::string& text, int* value) {
  char rest = 0;
  return std::sscanf(text.c_str(), "%d%c", value, &rest) == 1;
}

// Walks the road upstream from one destination at a time and builds its areas. Reads the
// road only; the caller decides what to do with the result.
class Generator {
 public:
  Generator(const KDConfig& config, const LaneChangeSettings& settings, const DebugSink& debug)
      : config_(config), settings_(settings), debug_(debug), boundaries_(config.Boundaries()) {}

  /// The marks matrix; false (reported) when memory cannot be had.
  bool Allocate();
  AreaList Generate(int sink);

 private:
  void Debug(const std::string& line) const {
    if (debug_) debug_(line);
  }
  int LaneType(int section, int lane) const;
  bool AllLaneChange(int section, int lane) const;
  std::uint8_t& Mark(int section, int lane) { return marks_[section][lane]; }
  std::uint8_t MarkAt(int section, int lane) const;
  void AddArea(int lane, int position, int required, int voluntary, bool left);

  void ExploreSection(int s, int lo, int hi);
  bool MarkLeadingLanes(int s, int lo, int hi);
  bool FindFeedingLanes(int s, int lo, int hi, bool* feeds, bool generate);
  void ExploreTeleport(const TeleportRecord& exit);
  void MergeTowardsRight(int q, int hi, bool* feeds, bool generate);
  void MergeTowardsLeft(int q, int lo, bool* feeds, bool generate);
  void ExploreUpstream(int q, const bool* feeds);
  void MergeArea(int q, int from, int to);
  void MakeMergeArea(int lane, int position, bool left, int add, int voluntary, int required);
  bool RestrictByTaperOff(int lane, int k, bool left, int* position);
  int LanesToCross(int lane, int position, bool left, int* extra) const;
  int RoomUpstream(int lane, int k, int position, bool left) const;
  bool KeepOrReplace(int lane, int position, bool left, int required, bool* replaced);

  void PairRouteChoices();
  void SpreadRouteChoice(int rank, bool left, int group, std::set<std::pair<int, bool>>* visited);
  int LastRankAt(int lane, int position) const;
  bool MakesOwnChange(const Area& area) const;
  void JoinClosedStretches();
  std::string MarksLine() const;

  const KDConfig& config_;
  const LaneChangeSettings settings_;
  const DebugSink& debug_;
  const int boundaries_;
  // LaneMarks: (Boundaries + 1) rows of 12 lanes, rebuilt for every destination.
  std::vector<std::array<std::uint8_t, kLanes>> marks_;
  AreaList areas_;
  int sink_ = 0;
  // Every (section, from lane, to lane) explored for the current destination: teleport links
  // may lead back to a stretch explored already, and each is explored once.
  std::set<std::tuple<int, int, int>> explored_;
};

bool Generator::Allocate() {
  try {
    marks_.assign(static_cast<size_t>(boundaries_) + 1, {});
  } catch (const std::bad_alloc&) {
    UserMessage(ReportKind::Error, "Error", "Out of memory");
    return false;
  }
  return true;
}

int Generator::LaneType(int section, int lane) const {
  if (section < 0 || section > boundaries_ || lane < 0 || lane >= MaxLane()) return 0;
  return config_.IntPhysicalSectionProperty(section, lane, PP_LANETYPE);
}

bool Generator::AllLaneChange(int section, int lane) const {
  if (section < 0 || section > boundaries_ || lane < 0 || lane >= MaxLane()) return false;
  return config_.IntPhysicalSectionProperty(section, lane, PP_ALLLANECHANGE) == 1;
}

std::uint8_t Generator::MarkAt(int section, int lane) const {
  if (section < 0 || section > boundaries_ || lane < 0 || lane >= kLanes) return 0;
  return marks_[section][lane];
}

void Generator::AddArea(int lane, int position, int required, int voluntary, bool left) {
  Area area;
  area.lane = lane;
  area.position = position;
  area.required = std::max(0, required);
  area.voluntary = std::max(0, voluntary);
  area.left = left;
  areas_.insert(areas_.begin(), area);
}

AreaList Generator::Generate(int sink) {
  sink_ = sink;
  for (auto& row : marks_) row.fill(0);
  areas_.clear();
  explored_.clear();
  Debug("Sink " + std::to_string(sink) + " " + config_.SinkName(sink));
  const int sinkSection = config_.SinkSection(sink);
  ExploreSection(sinkSection == 0 ? 0 : sinkSection - 1, config_.SinkFromLane(sink),
                 config_.SinkToLane(sink));
  PairRouteChoices();
  // Areas the generator met twice and that took no part in a route choice apply to everyone.
  for (Area& area : areas_) {
    if (area.group != -1) continue;
    area.group = 0;
    area.probability[0] = 0.0f;
  }
  JoinClosedStretches();
  // Most downstream first, equal positions by lane; stable like the configuration's own sort.
  std::stable_sort(areas_.begin(), areas_.end(), [](const Area& a, const Area& b) {
    if (a.position != b.position) return a.position > b.position;
    return a.lane < b.lane;
  });
  Debug(MarksLine());
  return std::move(areas_);
}

std::string Generator::MarksLine() const {
  std::string line;
  for (const auto& row : marks_) {
    for (std::uint8_t mark : row) line += static_cast<char>('0' + mark);
    line += ' ';
  }
  return line;
}

// ---- The upstream walk -------------------------------------------------------------------

// Lanes lo .. hi of section s lead to the destination; q = s + 1 is the section upstream.
// Teleport links and lane groups that split and join again reach some stretches more than
// once: the areas of a stretch are generated on its first visit only, while a later visit
// that adds marks passes them on upstream (route choice reads them).
void Generator::ExploreSection(int s, int lo, int hi) {
  if (!KAVRO_ASSERT(s >= 0 && s <= boundaries_)) return;
  if (lo < 0 || hi >= kLanes || lo > hi) return;
  const bool marked = MarkLeadingLanes(s, lo, hi);
  const bool first = explored_.insert({s, lo, hi}).second;
  if (!first && !marked) return;
  bool feeds[kLanes] = {};
  if (!FindFeedingLanes(s, lo, hi, feeds, first)) return;
  const int q = s + 1;
  MergeTowardsRight(q, hi, feeds, first);
  MergeTowardsLeft(q, lo, feeds, first);
  ExploreUpstream(q, feeds);
}

// Sets the "leads to the destination" mark of the normal lanes among lo .. hi that continue
// marked lanes downstream (or end the road, or lie beside the destination); true when a mark
// was new.
bool Generator::MarkLeadingLanes(int s, int lo, int hi) {
  const int sinkSection = config_.SinkSection(sink_);
  bool changed = false;
  for (int i = lo; i <= hi; ++i) {
    if (!config_.IsNormalLane(s, i)) continue;
    const bool downstreamLeads = s > 0 && MarkAt(s - 1, i) != 0;
    const bool besideSink =
        sinkSection == s - 1 && config_.SinkFromLane(sink_) <= i && i <= config_.SinkToLane(sink_);
    if (!(s == 0 || downstreamLeads || besideSink) || (Mark(s, i) & MARK_LEADS)) continue;
    Mark(s, i) |= MARK_LEADS;
    changed = true;
  }
  return changed;
}

// feeds[j]: lane j of section q continues into lane j of section s. False when the lanes
// start at an origin here, which ends the walk.
bool Generator::FindFeedingLanes(int s, int lo, int hi, bool* feeds, bool generate) {
  const int q = s + 1;
  for (int j = lo; j <= hi; ++j) {
    feeds[j] = q <= boundaries_ && config_.IsNormalLane(q, j);
    if (feeds[j]) continue;
    for (int o = config_.SourceCount() - 1; o >= 0; --o) {
      if (config_.SourceSection(o) == s && config_.SourceFromLane(o) == j) {
        if (generate) Debug("Reachable from " + config_.SourceName(o));
        return false;
      }
    }
    for (int r = config_.TeleportCount(false) - 1; r >= 0; --r) {
      const TeleportRecord exit = config_.TeleportRecord(false, r);
      if (exit.section != q || exit.fromLane != j) continue;
      ExploreTeleport(exit);
      j = exit.toLane;
      break;
    }
  }
  return true;
}

// Lanes fed by a teleport exit are reached through the linked entrance. An exit that is not
// linked (yet), or whose link names no entrance, leads nowhere: the walk ends there instead
// of following an unrelated unlinked entrance or stopping the program over a file's links.
void Generator::ExploreTeleport(const TeleportRecord& exit) {
  if (exit.counterpart < 0) return;
  for (int r = config_.TeleportCount(true) - 1; r >= 0; --r) {
    const TeleportRecord entrance = config_.TeleportRecord(true, r);
    if (entrance.counterpart != exit.counterpart) continue;
    ExploreSection(entrance.section, entrance.fromLane, entrance.toLane);
    return;
  }
}

// Lanes to the right of the feeding lanes that can change left into them merge left; a lane
// that cannot, while traffic may stray into it, is closed for the destination's traffic.
void Generator::MergeTowardsRight(int q, int hi, bool* feeds, bool generate) {
  for (int pos = hi; pos <= kLanes - 2; ++pos) {
    if (!feeds[pos] || feeds[pos + 1]) continue;
    if (config_.IsNormalLane(q, pos + 1) && config_.CanMoveLeft(q, pos + 1)) {
      feeds[pos + 1] = true;
      if (generate) MergeArea(q, pos + 1, hi);
    } else if (generate && config_.IsNormalLane(q, pos + 1) && config_.CanMoveRight(q, pos) &&
               !(MarkAt(q, pos + 1) & MARK_MERGELEFT) && !(LaneType(q, pos) & LANE_TAPERON)) {
      Mark(q, pos + 1) |= MARK_MERGELEFT;
      Debug(Format("Closed; merge left in section %d lane %d", q, pos + 1));
      AddArea(pos + 1, config_.SectionPos(q, WHENCE_END), config_.SectionLength(q), 0, true);
    }
  }
}

void Generator::MergeTowardsLeft(int q, int lo, bool* feeds, bool generate) {
  for (int pos = lo; pos >= 1; --pos) {
    if (!feeds[pos] || feeds[pos - 1]) continue;
    if (config_.IsNormalLane(q, pos - 1) && config_.CanMoveRight(q, pos - 1)) {
      feeds[pos - 1] = true;
      if (generate) MergeArea(q, pos - 1, lo);
    } else if (generate && config_.IsNormalLane(q, pos - 1) && config_.CanMoveLeft(q, pos) &&
               !(MarkAt(q, pos - 1) & MARK_MERGERIGHT)) {
      Mark(q, pos - 1) |= MARK_MERGERIGHT;
      Debug(Format("Closed; merge right in section %d lane %d", q, pos - 1));
      AddArea(pos - 1, config_.SectionPos(q, WHENCE_END), config_.SectionLength(q), 0, false);
    }
  }
}

// Each group of feeding lanes linked by lane changes in section q is walked on upstream. A
// group is explored wherever it ends, also when it reaches the rightmost lane.
void Generator::ExploreUpstream(int q, const bool* feeds) {
  int k = 0;
  while (k < kLanes) {
    if (!feeds[k]) {
      ++k;
      continue;
    }
    int m = k + 1;
    while (m < kLanes && feeds[m] && (config_.CanMoveRight(q, m - 1) || config_.CanMoveLeft(q, m)))
      ++m;
    ExploreSection(q, k, m - 1);
    k = m;
  }
}

void Generator::MergeArea(int q, int from, int to) {
  Debug(Format("Merge from lane %d to lane %d in section %d", from, to, q));
  const bool left = to < from;
  MakeMergeArea(from, config_.SectionPos(q, WHENCE_END), left, settings_.additional,
                settings_.voluntary, settings_.required);
  Mark(q, from) |= left ? MARK_MERGELEFT : MARK_MERGERIGHT;
}

// ---- One merge area ----------------------------------------------------------------------

// The number of lanes the lane's traffic crosses: the next lane counts once more for every
// area there that covers `position`; `extra` [m] is how far the last such area reaches past it.
int Generator::LanesToCross(int lane, int position, bool left, int* extra) const {
  const int step = left ? -1 : 1;
  int count = 1;
  int next = lane + step;
  *extra = 0;
  for (const Area& a : areas_) {
    if (a.lane == next && a.position >= position &&
        a.position - a.required - a.voluntary < position) {
      ++count;
      next += step;
      *extra = std::max(0, a.required - a.position + position);
    }
  }
  return count;
}

// A lane of a tapered off-ramp pair. Leaving it to the left: the taper itself is one required
// area and the merge area proper ends where the taper begins (`position` moves there). Leaving
// the lane left of the pair to the right: the taper section is the whole area. True when the
// merge is complete.
bool Generator::RestrictByTaperOff(int lane, int k, bool left, int* position) {
  if (left && (LaneType(k, lane) & LANE_TAPEROFF)) {
    int m = k;
    while (m + 1 <= boundaries_ && (LaneType(m + 1, lane) & LANE_TAPEROFF)) ++m;
    const int begin = config_.SectionPos(m, WHENCE_BEGIN);
    AddArea(lane, *position, *position - begin, 0, true);
    *position = begin;
    return false;
  }
  if (!left && lane < kLanes - 1 && (LaneType(k, lane + 1) & LANE_TAPEROFF) &&
      !(LaneType(k, lane) & LANE_TAPEROFF)) {
    int m = k;
    while (m + 1 <= boundaries_ && (LaneType(m + 1, lane) & LANE_TAPEROFF)) ++m;
    AddArea(lane, *position, *position - config_.SectionPos(m, WHENCE_BEGIN), 0, false);
    return true;
  }
  return false;
}

// How far upstream of `position` [m] the lane keeps allowing the change, starting with the
// section above k (section k itself allows it: that is why the merge is made there).
int Generator::RoomUpstream(int lane, int k, int position, bool left) const {
  int m = k + 1;
  while (m <= boundaries_ && config_.IsNormalLane(m, lane) &&
         (left ? config_.CanMoveLeft(m, lane) : config_.CanMoveRight(m, lane)))
    ++m;
  const int room = m > boundaries_ ? position : position - config_.SectionPos(m, WHENCE_END);
  return std::max(0, room);
}

// An area at the same place and in the same direction: a longer one is kept (and the new one
// not made); shorter or equal ones are replaced. True when the new area is to be made.
bool Generator::KeepOrReplace(int lane, int position, bool left, int required, bool* replaced) {
  *replaced = false;
  for (int r = static_cast<int>(areas_.size()) - 1; r >= 0; --r) {
    Area& a = areas_[r];
    if (a.position != position || a.lane != lane || a.left != left) continue;
    if (a.required > required) {
      Debug(Format("Not  creating merge at lane %d position %d", lane, position));
      a.probability[0] = 1.0f;
      a.group = -1;
      return false;
    }
    Debug(Format("Replacing merge at lane %d position %d", lane, position));
    areas_.erase(areas_.begin() + r);
    *replaced = true;
  }
  return true;
}

// The area that makes the lane's traffic change one lane towards `left` before `position`.
void Generator::MakeMergeArea(int lane, int position, bool left, int add, int voluntary,
                              int required) {
  int extra = 0;
  const int count = LanesToCross(lane, position, left, &extra);
  const int k = config_.SectionAt(static_cast<float>(position)) + 1;
  if (RestrictByTaperOff(lane, k, left, &position)) return;
  if (count >= 2) {
    required = required + add * (count - 2) + extra;
  } else if (k == 0 || !AllLaneChange(k - 1, lane)) {
    // Upstream stretches where every vehicle must leave the lane lengthen the obligation.
    for (int m = k; m <= boundaries_ && AllLaneChange(m, lane); ++m)
      required += config_.SectionLength(m);
  }
  required = std::max(0, required);
  if (k > 0 && (LaneType(k - 1, lane) & LANE_TAPERON)) {
    // The lane runs into a tapered on-ramp, whose own lane drop does the merging.
    voluntary = required = 0;
    if (lane > 0 && (LaneType(k - 1, lane - 1) & LANE_TAPERON))
      MakeMergeArea(lane - 1, position, false, 0, 0, 0);
  }
  const int room = RoomUpstream(lane, k, position, left);
  required = std::min(required, room);
  voluntary = std::max(0, std::min(voluntary, room - required));
  bool replaced = false;
  if (!KeepOrReplace(lane, position, left, required, &replaced)) return;
  AddArea(lane, position, required, voluntary, left);
  if (replaced) {
    areas_[0].probability[0] = 1.0f;
    areas_[0].group = -1;
  }
}

// ---- Route choice and closed stretches ---------------------------------------------------

// A lane merging right beside the next lane merging left at the same place: the traffic there
// may take either way, so both become one route choice group with an even split.
void Generator::PairRouteChoices() {
  int group = 0;
  const int n = static_cast<int>(areas_.size());
  for (int t = n - 1; t >= 0; --t) {
    if (areas_[t].left) continue;
    for (int v = n - 1; v >= 0; --v) {
      if (!areas_[v].left) continue;
      if (areas_[v].lane != areas_[t].lane + 1 || areas_[v].position != areas_[t].position)
        continue;
      ++group;
      std::set<std::pair<int, bool>> visited;
      SpreadRouteChoice(t, false, group, &visited);
      SpreadRouteChoice(v, true, group, &visited);
    }
  }
}

int Generator::LastRankAt(int lane, int position) const {
  for (int r = static_cast<int>(areas_.size()) - 1; r >= 0; --r)
    if (areas_[r].lane == lane && areas_[r].position == position) return r;
  return -1;
}

// Gives the area and the areas that continue it (the next lane merging the same way at the
// same place, the same lane upstream) the route choice group.
void Generator::SpreadRouteChoice(int rank, bool left, int group,
                                  std::set<std::pair<int, bool>>* visited) {
  if (rank < 0 || !visited->insert({rank, left}).second) return;
  Area& area = areas_[rank];
  const int position = area.position;
  const int x = area.lane;
  const int ps = config_.SectionAt(static_cast<float>(position) - 0.5f);
  if (!KAVRO_ASSERT(ps >= 0 && ps <= boundaries_)) return;
  const std::uint8_t mark = MarkAt(ps, x);
  if (mark < 3 || mark == MARK_MERGERIGHT) return;
  area.probability.fill(0.5f);
  area.group = group;
  const int y = left ? x + 1 : x - 1;
  if (y >= 0 && y < kLanes && (MarkAt(ps, y) & (left ? MARK_MERGELEFT : MARK_MERGERIGHT)))
    SpreadRouteChoice(LastRankAt(y, position), left, group, visited);
  if (ps < boundaries_)
    SpreadRouteChoice(LastRankAt(x, config_.SectionPos(ps, WHENCE_BEGIN)), left, group, visited);
}

bool Generator::MakesOwnChange(const Area& area) const {
  const int ps = config_.SectionAt(static_cast<float>(area.position) - 0.5f);
  return area.left ? config_.CanMoveLeft(ps, area.lane) : config_.CanMoveRight(ps, area.lane);
}

// Closed areas of one lane in consecutive sections become one area. Only areas of the same
// lane and direction are joined: joining another lane's area would lose that lane's rule.
void Generator::JoinClosedStretches() {
  for (int r = static_cast<int>(areas_.size()) - 1; r >= 0; --r) {
    if (MakesOwnChange(areas_[r])) continue;
    for (int s = static_cast<int>(areas_.size()) - 1; s >= 0; --s) {
      if (s == r || MakesOwnChange(areas_[s])) continue;
      Area& a = areas_[r];
      const Area& b = areas_[s];
      if (a.position - a.required != b.position || a.lane != b.lane || a.left != b.left) continue;
      a.required += b.required;
      areas_.erase(areas_.begin() + s);
      if (s < r) --r;
    }
  }
}

// ---- Storing and comparing ---------------------------------------------------------------

AreaList StoredAreas(const KDConfig& config, int sink) {
  AreaList list;
  for (const BHVSection* a = config.LaneChangeArea(sink, 0); a; a = a->Next.get()) {
    Area area;
    area.lane = a->Lane;
    area.position = a->Position;
    area.required = a->LengthRequired;
    area.voluntary = a->LengthVoluntary;
    area.left = a->MergeLeft;
    area.group = a->RouteChoiceGroup;
    std::copy(std::begin(a->Probability), std::end(a->Probability), area.probability.begin());
    list.push_back(area);
  }
  return list;
}

// Replaces the destination's areas by `list`, rank for rank.
void StoreAreas(KDConfig& config, int sink, const AreaList& list) {
  while (config.LaneChangeAreaCount(sink) > 0) config.DeleteLaneChangeArea(sink, 0);
  for (auto it = list.rbegin(); it != list.rend(); ++it)
    config.AddLaneChangeArea(sink, it->lane, it->position, it->required, it->voluntary, it->left);
  for (int rank = 0; rank < static_cast<int>(list.size()); ++rank) {
    const Area& area = list[rank];
    const bool plain =
        area.group == 0 && std::all_of(area.probability.begin(), area.probability.end(),
                                       [](float p) { return p == 1.0f; });
    if (plain) continue;
    for (int t = 0; t < MAXVEHICLETYPE; ++t)
      config.SetLaneChangeAreaProbability(sink, rank, t, area.probability[t], area.group);
  }
}

// Generates the areas of every destination without changing the configuration; false when
// the working memory cannot be had.
bool GenerateAll(const KDConfig& config, const LaneChangeSettings& settings, const DebugSink& debug,
                 std::vector<DestinationAreas>* result) {
  Generator generator(config, settings, debug);
  if (!generator.Allocate()) return false;
  const int sinks = config.SinkCount();
  result->clear();
  for (int d = 0; d < sinks; ++d) result->push_back({config.SinkName(d), generator.Generate(d)});
  return true;
}

}  // namespace

LaneChangeSettings LaneChangeSettingsFromText(const std::string& required,
                                              const std::string& voluntary,
                                              const std::string& additional) {
  auto read = [](const std::string& text, int fallback) {
    int value = 0;
    return ScanWholeNumber(text, &value) && value >= 0 ? value : fallback;
  };
  LaneChangeSettings settings;
  settings.required = read(required, kFallbackRequiredLength);
  settings.voluntary = read(voluntary, kFallbackVoluntaryLength);
  settings.additional = read(additional, kFallbackAdditionalLength);
  return settings;
}

bool LaneChangeSettingKeyRefused(const std::string& text, char key) {
  double value = 0;
  const std::string typed = text + key;
  return std::sscanf(typed.c_str(), "%lf", &value) == 1 && value > 9999;
}

bool LaneChangeRebuildAllowed(const std::string& required, const std::string& voluntary) {
  double r = 0;
  double v = 0;
  return std::sscanf(required.c_str(), "%lf", &r) == 1 && r >= 0 &&
         std::sscanf(voluntary.c_str(), "%lf", &v) == 1 && v >= 0;
}

bool GenerateLaneChangeAreas(KDConfig& config, const LaneChangeSettings& settings,
                             const DebugSink& debug) {
  std::vector<DestinationAreas> generated;
  if (!GenerateAll(config, settings, debug, &generated)) return false;
  for (int d = 0; d < static_cast<int>(generated.size()); ++d)
    StoreAreas(config, d, generated[d].areas);
  return true;
}

bool UpdateLaneChangeAreas(KDConfig& config, const LaneChangeSettings& settings,
                           const DebugSink& debug) {
  std::vector<DestinationAreas> old;
  for (int d = 0; d < config.SinkCount(); ++d)
    old.push_back({config.SinkName(d), StoredAreas(config, d)});
  std::vector<DestinationAreas> generated;
  if (!GenerateAll(config, settings, debug, &generated)) return false;
  for (int d = static_cast<int>(generated.size()) - 1; d >= 0; --d) {
    auto before = std::find_if(old.rbegin(), old.rend(), [&](const DestinationAreas& o) {
      return o.name == generated[d].name;
    });
    AreaList& areas = generated[d].areas;
    for (int r = static_cast<int>(areas.size()) - 1; before != old.rend() && r >= 0; --r) {
      const AreaList& previous = before->areas;
      auto match = std::find_if(previous.rbegin(), previous.rend(),
                                [&](const Area& o) { return o.SamePlace(areas[r]); });
      if (match == previous.rend()) continue;
      areas[r].required = match->required;
      areas[r].voluntary = match->voluntary;
    }
    StoreAreas(config, d, areas);
  }
  return true;
}

bool CheckLaneChangeAreas(const KDConfig& config, const LaneChangeSettings& settings,
                          const DebugSink& debug) {
  std::vector<DestinationAreas> generated;
  if (!GenerateAll(config, settings, debug, &generated)) return false;
  if (static_cast<int>(generated.size()) != config.SinkCount()) return false;
  for (int d = 0; d < static_cast<int>(generated.size()); ++d) {
    const AreaList stored = StoredAreas(config, d);
    const AreaList& fresh = generated[d].areas;
    if (stored.size() != fresh.size()) return false;
    for (const Area& area : stored) {
      auto same = [&](const Area& g) { return g.SamePlace(area); };
      if (std::none_of(fresh.begin(), fresh.end(), same)) return false;
    }
  }
  return true;
}
