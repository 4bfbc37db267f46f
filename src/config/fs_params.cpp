#include "config/fs_params.h"

#include <array>

#include "config/ProgramError.h"

namespace {

// Texts are Windows-1252: "\xB2" is the superscript two, "\xB3" the superscript three.
std::array<VDCEntry, FS_COUNT> BuildTable() {
  // clang-format off
  std::array<VDCEntry, FS_COUNT> table = {{
      {"FS_max_delta_a", "max delta a", "", 0.1f, 10, 99, "%4.1f m/s\xB3",
       "Maximum positive acceleration jump per second", 0.6f, {1, 0.6f, 0.6f, 0.5f, 0.4f}, "",
       ""},
      {"FS_z2", "z2", "", 0.1f, 10, 99, "%6.2f s", "linear follow factor", 1,
       {0.56f, 0.72f, 1.28f, 2.08f, 2.23f}, "", ""},
      {"FS_max_a", "max a", "", 0.1f, 8, 79, "%4.1f m/s\xB2", "Maximum acceleration", 2.4f,
       {4, 2.4f, 2.4f, 1, 0.4f}, "", ""},
      {"FS_passive_d", "passive d", "", -2, 0, 20, "%4.1f m/s\xB2", "Passive deceleration",
       -0.5f, {-0.5f, -0.5f, -0.5f, -0.5f, -0.5f}, "", ""},
      {"FS_lane_change_d", "lane change d", "", -8, 0, 80, "%4.1f m/s\xB2",
       "Lane change deceleration", -2.4f, {-3, -2.4f, -2.4f, -2, -1.6f}, "", ""},
      {"FS_max_d", "max d", "", -8, -3, 50, "%4.1f m/s\xB2", "Maximum deceleration", -7,
       {-7, -7, -7, -6, -6}, "", ""},
      {"FS_preferred_v", "preferred v (120)", "", 75, 200, 125, "%5.1f km/h",
       "Preferred speed when speedlimit is 120 km/h", 100, {125, 115, 100, 95, 85}, "", ""},
      {"FS_length", "length", "", 3, 18, 150, "%4.1f m", "Vehicle length", 4,
       {4.5f, 4, 4, 8, 14}, "", ""},
      {"FS_z1", "z1", "", 0.1f, 8, 90, "%3.1f m", "Stationary follow factor", 3,
       {3, 3, 3, 3, 3}, "", ""},
      {"FS_z3", "z3", "", 0, 0.02f, 40, "%6.4f s\xB2/m", "Quadratic follow factor", 0.005f,
       {0.005f, 0.005f, 0.005f, 0.005f, 0.005f}, "", ""},
      {"FS_prefV70", "preferred v (70)", "", 75, 100, 25, "%4.2f km/h",
       "Preferred  speed when speedlimit is 70 km/h", 75, {95, 85, 75, 75, 75}, "", ""},
      {"FS_specific_power", "specific power avg", "", 5, 100, 95, "%d kW/ton",
       "Average of specific power distribution", 10, {80, 50, 35, 12, 9}, "", ""},
      {"FS_std_dev_spec_pwr", "specific power sdev", "", 0, 10, 100, "%3.1f kW/ton",
       "Standard deviation of specific power distribution", 5, {0, 0, 0, 5, 5}, "", ""},
      {"FS_air_resistance_coeff", "air resistance coeff", "", 0.1f, 1, 9, "%3.1f /km",
       "Air resistance coefficient", 0.2f, {0.6f, 0.5f, 0.4f, 0.2f, 0.1f}, "", ""},
      {"FS_a_traffic_light", "a traffic light", "", -5, -1, 41, "%3.1f m/s\xB2",
       "Maximum deceleration for traffic light", -3, {-3.5f, -3.5f, -3, -3, -2.5f}, "", ""},
  }};
  // clang-format on
  for (int p = 0; p < FS_COUNT; ++p) {
    table[p].nameLabel = Format("Label%dName", p);
    table[p].hintLabel = Format("Label%dHint", p);
  }
  FixVDCEntry(table);
  return table;
}

std::array<VDCEntry, FS_COUNT>& Table() {
  static std::array<VDCEntry, FS_COUNT> table = BuildTable();
  return table;
}

}  // namespace

std::span<const VDCEntry, FS_COUNT> FSParams() { return Table(); }

std::span<VDCEntry, FS_COUNT> MutableFSParams() { return Table(); }

const VDCEntry& FSParam(int p) {
  if (!KAVRO_ASSERT(p >= 0 && p < FS_COUNT)) return Table()[0];
  return Table()[p];
}

float FSDefault(int p, int type) {
  const VDCEntry& row = FSParam(p);
  return type >= 0 && type < FS_BUILTIN_TYPES ? row.defaults[type] : row.newDefault;
}
