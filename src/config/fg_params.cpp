#include "config/fg_params.h"

#include <array>

#include "config/ProgramError.h"

namespace {

std::array<VDCEntry, FG_COUNT> BuildTable() {
  // clang-format off
  std::array<VDCEntry, FG_COUNT> table = {{
      {"FG_lane_change_T", "Lane change T", "", 1, 5, 8, "%3.1f s", "Lane change time", 3, {},
       "LabelLaneChangeT", "LabelLaneChangeTime"},
      {"FG_Treac_a", "Treac(a)", "", 0, 2, 20, "%3.1f s", "Time delay for acceleration", 0.3f,
       {}, "LabelTReacA", "LabelTimeDelayForAcceleration"},
      {"FG_Treac_d", "Treac(d)", "", 0, 2, 20, "%3.1f s", "Time delay for deceleration", 0.2f,
       {}, "LabelTReacD", "LabelTimeDelayForDeceleration"},
  }};
  // clang-format on
  FixVDCEntry(table);
  return table;
}

std::array<VDCEntry, FG_COUNT>& Table() {
  static std::array<VDCEntry, FG_COUNT> table = BuildTable();
  return table;
}

}  // namespace

std::span<const VDCEntry, FG_COUNT> FGParams() { return Table(); }

std::span<VDCEntry, FG_COUNT> MutableFGParams() { return Table(); }

const VDCEntry& FGParam(int p) {
  if (!KAVRO_ASSERT(p >= 0 && p < FG_COUNT)) return Table()[0];
  return Table()[p];
}
