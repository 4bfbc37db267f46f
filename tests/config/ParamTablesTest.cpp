#include <gtest/gtest.h>

#include <map>
#include <string>

#include "config/fg_params.h"
#include "config/fs_params.h"

namespace {

struct FSRow {
  const char* key;
  const char* displayName;
  const char* fileName;
  float low, high;
  int steps;
  const char* format;
  const char* description;
  float newDefault;
  float defaults[5];
};

// The rows as the parameter editor and the configuration files know them ("\xB2" and "\xB3"
// are the Windows-1252 superscripts two and three).
// clang-format off
const FSRow kFSRows[] = {
    {"FS_max_delta_a", "max delta a", "max delta a", 0.1f, 10, 99, "%4.1f m/s\xB3",
     "Maximum positive acceleration jump per second", 0.6f, {1, 0.6f, 0.6f, 0.5f, 0.4f}},
    {"FS_z2", "z2", "z2", 0.1f, 10, 99, "%6.2f s", "linear follow factor", 1,
     {0.56f, 0.72f, 1.28f, 2.08f, 2.23f}},
    {"FS_max_a", "max a", "max a", 0.1f, 8, 79, "%4.1f m/s\xB2", "Maximum acceleration", 2.4f,
     {4, 2.4f, 2.4f, 1, 0.4f}},
    {"FS_passive_d", "passive d", "passive d", -2, 0, 20, "%4.1f m/s\xB2",
     "Passive deceleration", -0.5f, {-0.5f, -0.5f, -0.5f, -0.5f, -0.5f}},
    {"FS_lane_change_d", "lane change d", "lane change d", -8, 0, 80, "%4.1f m/s\xB2",
     "Lane change deceleration", -2.4f, {-3, -2.4f, -2.4f, -2, -1.6f}},
    {"FS_max_d", "max d", "max d", -8, -3, 50, "%4.1f m/s\xB2", "Maximum deceleration", -7,
     {-7, -7, -7, -6, -6}},
    {"FS_preferred_v", "preferred v (120)", "preferred v", 75, 200, 125, "%5.1f km/h",
     "Preferred speed when speedlimit is 120 km/h", 100, {125, 115, 100, 95, 85}},
    {"FS_length", "length", "length", 3, 18, 150, "%4.1f m", "Vehicle length", 4,
     {4.5f, 4, 4, 8, 14}},
    {"FS_z1", "z1", "z1", 0.1f, 8, 90, "%3.1f m", "Stationary follow factor", 3,
     {3, 3, 3, 3, 3}},
    {"FS_z3", "z3", "z3", 0, 0.02f, 40, "%6.4f s\xB2/m", "Quadratic follow factor", 0.005f,
     {0.005f, 0.005f, 0.005f, 0.005f, 0.005f}},
    {"FS_prefV70", "preferred v (70)", "prefV70", 75, 100, 25, "%4.2f km/h",
     "Preferred  speed when speedlimit is 70 km/h", 75, {95, 85, 75, 75, 75}},
    {"FS_specific_power", "specific power avg", "specific power", 5, 100, 95, "%d kW/ton",
     "Average of specific power distribution", 10, {80, 50, 35, 12, 9}},
    {"FS_std_dev_spec_pwr", "specific power sdev", "std dev spec pwr", 0, 10, 100,
     "%3.1f kW/ton", "Standard deviation of specific power distribution", 5, {0, 0, 0, 5, 5}},
    {"FS_air_resistance_coeff", "air resistance coeff", "air resistance coeff", 0.1f, 1, 9,
     "%3.1f /km", "Air resistance coefficient", 0.2f, {0.6f, 0.5f, 0.4f, 0.2f, 0.1f}},
    {"FS_a_traffic_light", "a traffic light", "a traffic light", -5, -1, 41, "%3.1f m/s\xB2",
     "Maximum deceleration for traffic light", -3, {-3.5f, -3.5f, -3, -3, -2.5f}},
};
// clang-format on

// clang-format off
const FSRow kFGRows[] = {
    {"FG_lane_change_T", "Lane change T", "lane change T", 1, 5, 8, "%3.1f s", "Lane change time",
     3, {}},
    {"FG_Treac_a", "Treac(a)", "Treac a", 0, 2, 20, "%3.1f s", "Time delay for acceleration",
     0.3f, {}},
    {"FG_Treac_d", "Treac(d)", "Treac d", 0, 2, 20, "%3.1f s", "Time delay for deceleration",
     0.2f, {}},
};
// clang-format on

void ExpectRow(const VDCEntry& entry, const FSRow& row) {
  EXPECT_EQ(entry.key, row.key);
  EXPECT_EQ(entry.displayName, row.displayName);
  EXPECT_EQ(entry.fileName, row.fileName);
  EXPECT_FLOAT_EQ(entry.low, row.low);
  EXPECT_FLOAT_EQ(entry.high, row.high);
  EXPECT_EQ(entry.steps, row.steps);
  EXPECT_EQ(entry.format, row.format);
  EXPECT_EQ(entry.description, row.description);
  EXPECT_FLOAT_EQ(entry.newDefault, row.newDefault);
}

// Puts the tables back as they were, whatever a test did to them.
class TableRestorer {
 public:
  TableRestorer() {
    for (const VDCEntry& e : FSParams()) Remember(e);
    for (const VDCEntry& e : FGParams()) Remember(e);
  }
  ~TableRestorer() {
    SetupParamTables([this](const std::string& label) -> std::optional<std::string> {
      return texts_.at(label);
    });
  }

 private:
  void Remember(const VDCEntry& e) {
    texts_[e.nameLabel] = e.displayName;
    texts_[e.hintLabel] = e.description;
  }
  std::map<std::string, std::string> texts_;
};

}  // namespace

TEST(FSParamTable, EveryRowMatchesTheParameterTable) {
  ASSERT_EQ(std::size(kFSRows), static_cast<size_t>(FS_COUNT));
  for (int p = 0; p < FS_COUNT; ++p) {
    SCOPED_TRACE(kFSRows[p].key);
    ExpectRow(FSParam(p), kFSRows[p]);
    for (int t = 0; t < FS_BUILTIN_TYPES; ++t) {
      SCOPED_TRACE(t);
      EXPECT_FLOAT_EQ(FSParam(p).defaults[t], kFSRows[p].defaults[t]);
      EXPECT_FLOAT_EQ(FSDefault(p, t), kFSRows[p].defaults[t]);
    }
    EXPECT_FLOAT_EQ(FSDefault(p, 5), kFSRows[p].newDefault);
    EXPECT_FLOAT_EQ(FSDefault(p, 7), kFSRows[p].newDefault);
  }
}

TEST(FSParamTable, KeysAreTheParameterNumbers) {
  const std::pair<int, const char*> keys[] = {
      {FS_max_delta_a, "FS_max_delta_a"},
      {FS_z2, "FS_z2"},
      {FS_max_a, "FS_max_a"},
      {FS_passive_d, "FS_passive_d"},
      {FS_lane_change_d, "FS_lane_change_d"},
      {FS_max_d, "FS_max_d"},
      {FS_preferred_v, "FS_preferred_v"},
      {FS_length, "FS_length"},
      {FS_z1, "FS_z1"},
      {FS_z3, "FS_z3"},
      {FS_prefV70, "FS_prefV70"},
      {FS_specific_power, "FS_specific_power"},
      {FS_std_dev_spec_pwr, "FS_std_dev_spec_pwr"},
      {FS_air_resistance_coeff, "FS_air_resistance_coeff"},
      {FS_a_traffic_light, "FS_a_traffic_light"},
  };
  for (const auto& [number, key] : keys) EXPECT_EQ(FSParam(number).key, key);
  EXPECT_EQ(FGParam(FG_lane_change_T).key, "FG_lane_change_T");
  EXPECT_EQ(FGParam(FG_Treac_a).key, "FG_Treac_a");
  EXPECT_EQ(FGParam(FG_Treac_d).key, "FG_Treac_d");
}

TEST(FGParamTable, EveryRowMatchesTheParameterTable) {
  for (int n = 0; n < FG_COUNT; ++n) {
    SCOPED_TRACE(kFGRows[n].key);
    ExpectRow(FGParam(n), kFGRows[n]);
  }
}

TEST(FGParamTable, LabelsOfTheMainWindow) {
  const char* labels[][2] = {{"LabelLaneChangeT", "LabelLaneChangeTime"},
                             {"LabelTReacA", "LabelTimeDelayForAcceleration"},
                             {"LabelTReacD", "LabelTimeDelayForDeceleration"}};
  for (int n = 0; n < FG_COUNT; ++n) {
    EXPECT_EQ(FGParam(n).nameLabel, labels[n][0]);
    EXPECT_EQ(FGParam(n).hintLabel, labels[n][1]);
  }
  EXPECT_EQ(FSParam(0).nameLabel, "Label0Name");
  EXPECT_EQ(FSParam(14).hintLabel, "Label14Hint");
}

TEST(SetupParamTables, CaptionsReplaceNamesAndDescriptionsButNotFileNames) {
  TableRestorer restore;
  const std::map<std::string, std::string> captions = {
      {"Label0Name", "max delta a (de)"}, {"Label0Hint", "Ruck"}, {"Label6Name", "Wunschgeschw."},
      {"LabelTReacA", "Reaktion(a)"},     {"Label1Name", ""},  // an empty caption falls back to the
                                                               // key
  };
  SetupParamTables([&](const std::string& label) -> std::optional<std::string> {
    auto it = captions.find(label);
    if (it == captions.end()) return std::nullopt;
    return it->second;
  });
  EXPECT_EQ(FSParam(0).displayName, "max delta a (de)");
  EXPECT_EQ(FSParam(0).description, "Ruck");
  EXPECT_EQ(FSParam(6).displayName, "Wunschgeschw.");
  EXPECT_EQ(FSParam(1).displayName, "FS z2");
  EXPECT_EQ(FSParam(2).displayName, "max a");  // no such label: the table's own text stays
  EXPECT_EQ(FGParam(1).displayName, "Reaktion(a)");
  EXPECT_EQ(FSParam(6).fileName, "preferred v");
  EXPECT_EQ(FSParam(1).fileName, "z2");
  EXPECT_EQ(FGParam(1).fileName, "Treac a");
}

TEST(FixVDCEntry, DerivesFileNamesAndMissingDisplayNamesFromTheKey) {
  VDCEntry rows[3];
  rows[0].key = "FS_std_dev_spec_pwr";
  rows[1].key = "FG_lane_change_T";
  rows[1].displayName = "Lane change T";
  rows[2].key = "plain_key";
  FixVDCEntry(rows);
  EXPECT_EQ(rows[0].fileName, "std dev spec pwr");
  EXPECT_EQ(rows[0].displayName, "FS std dev spec pwr");
  EXPECT_EQ(rows[1].fileName, "lane change T");
  EXPECT_EQ(rows[1].displayName, "Lane change T");
  EXPECT_EQ(rows[2].fileName, "plain key");
}

TEST(FindVDCEntryByFileName, MatchesFileNamesRegardlessOfCase) {
  const std::pair<const char*, int> cases[] = {{"max delta a", FS_max_delta_a},
                                               {"PREFV70", FS_prefV70},
                                               {"Std Dev Spec Pwr", FS_std_dev_spec_pwr},
                                               {"preferred v (120)", -1},
                                               {"preferred v", FS_preferred_v},
                                               {"", -1},
                                               {"length ", -1}};
  for (const auto& [name, expected] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(FindVDCEntryByFileName(FSParams(), name), expected);
  }
  EXPECT_EQ(FindVDCEntryByFileName(FGParams(), "treac D"), FG_Treac_d);
  EXPECT_EQ(FindVDCEntryByFileName(FGParams(), "Lane change T"), FG_lane_change_T);
}

TEST(NumericFormat, TakesTheTextFromThePercentUpToTheFirstBlank) {
  EXPECT_EQ(NumericFormat(FSParam(FS_max_delta_a)), "%4.1f");
  EXPECT_EQ(NumericFormat(FSParam(FS_z3)), "%6.4f");
  EXPECT_EQ(NumericFormat(FSParam(FS_specific_power)), "%d");
  EXPECT_EQ(NumericFormat(FGParam(FG_Treac_a)), "%3.1f");
  VDCEntry bare;
  bare.format = "x%5.2f";
  EXPECT_EQ(NumericFormat(bare), "%5.2f");
  bare.format = "none";
  EXPECT_EQ(NumericFormat(bare), "");
}
