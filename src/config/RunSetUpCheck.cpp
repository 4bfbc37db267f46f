#include "config/RunSetUpCheck.h"

#include "config/BHVSection.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/RoadTypes.h"

// Messages show sections, lanes and ranks counting from 1, as the road editor does.

namespace {

constexpr int kTaperFlags = LANE_TAPERON | LANE_TAPEROFF;

// A tapered ramp is a pair of lanes right of a through lane. The kernel merges an on-ramp
// taper into the lane to its left, which lane 0 does not have, and passes the traffic of a
// lone off-ramp taper lane on to the lane to its right, which the rightmost lane lacks.
std::string TaperProblem(const KDConfig& config) {
  constexpr int last = MAX_KAVROLANE - 1;
  for (int s = config.Boundaries(); s >= 0; --s) {
    int type = config.IntPhysicalSectionProperty(s, 0, PP_LANETYPE);
    if (config.IsNormalLane(s, 0) && (type & kTaperFlags))
      return Format("Taper cannot occur on left most lane (section %d)", s + 1);
    type = config.IntPhysicalSectionProperty(s, last, PP_LANETYPE);
    int left = config.IntPhysicalSectionProperty(s, last - 1, PP_LANETYPE);
    if (config.IsNormalLane(s, last) && (type & kTaperFlags) == LANE_TAPEROFF &&
        !(left & LANE_TAPEROFF))
      return Format("Taper cannot occur on right most lane (section %d)", s + 1);
  }
  return "";
}

// Vehicles reaching an entrance continue at the exit linked to it, lane by lane from the
// exit's first lane; the lanes of a wide entrance must still be lanes of the road there.
std::string TeleportProblem(const KDConfig& config) {
  const int exits = config.TeleportCount(false);
  for (int in = 0; in < config.TeleportCount(true); ++in) {
    const TeleportRecord entrance = config.TeleportRecord(true, in);
    const int width = entrance.toLane - entrance.fromLane + 1;
    if (entrance.counterpart < 0)
      return Format(
          "Teleport entrance %d (section %d, lane %d-%d) is not linked to a teleport exit", in + 1,
          entrance.section + 1, entrance.fromLane + 1, entrance.toLane + 1);
    int out = exits - 1;
    while (out >= 0 && config.TeleportCounterPart(false, out) != entrance.counterpart) --out;
    if (out < 0)
      return Format(
          "Teleport entrance %d (section %d, lane %d-%d) is linked to no teleport exit "
          "(link %d)",
          in + 1, entrance.section + 1, entrance.fromLane + 1, entrance.toLane + 1,
          entrance.counterpart);
    const TeleportRecord exit = config.TeleportRecord(false, out);
    if (exit.fromLane + width > MAX_KAVROLANE)
      return Format(
          "Teleport entrance %d (section %d, lane %d-%d) has more lanes than fit from "
          "the first lane of its teleport exit %d (section %d, lane %d-%d)",
          in + 1, entrance.section + 1, entrance.fromLane + 1, entrance.toLane + 1, out + 1,
          exit.section + 1, exit.fromLane + 1, exit.toLane + 1);
  }
  return "";
}

// The kernel builds an area from every stored lane change area that has a length.
std::string AreaProblem(const KDConfig& config) {
  for (int sink = 0; sink < config.SinkCount(); ++sink) {
    for (int rank = 0; rank < config.LaneChangeAreaCount(sink); ++rank) {
      if (config.LaneChangeAreaLengthRequired(sink, rank) +
              config.LaneChangeAreaLengthVoluntary(sink, rank) ==
          0)
        continue;
      const int lane = config.LaneChangeAreaLane(sink, rank);
      const int group = config.LaneChangeAreaRouteChoiceGroup(sink, rank);
      bool probabilitiesOk = true;
      for (int type = 0; type < MAXVEHICLETYPE; ++type) {
        float p = config.LaneChangeAreaProbability(sink, rank, type);
        if (!(p == -1 || (p >= 0 && p <= 1))) probabilitiesOk = false;
      }
      const char* what = nullptr;
      if (lane < 0 || lane >= MAX_KAVROLANE)
        what = "lies in no lane of the road";
      else if (group < 0)
        what = "has no route choice group";
      else if (!probabilitiesOk)
        what = "has a probability outside 0 .. 1";
      if (what != nullptr)
        return Format(
            "Lane change area %d of destination %s (lane %d, end %d m) %s; please "
            "re-generate the lane change areas",
            rank + 1, config.SinkName(sink).c_str(), lane + 1,
            config.LaneChangeAreaPosition(sink, rank), what);
    }
  }
  return "";
}

}  // namespace

std::string RunSetUpProblem(const KDConfig& config) {
  for (auto check : {TaperProblem, TeleportProblem, AreaProblem}) {
    std::string problem = check(config);
    if (!problem.empty()) return problem;
  }
  return "";
}
