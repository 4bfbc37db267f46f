#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "config/fg_params.h"
#include "config/fs_params.h"
#include "support/ExpectRejected.h"
#include "support/ProgramModeGuard.h"
#include "support/ReportCapture.h"

namespace {

// Every stored behaviour parameter and run setting, read through the raw accessors.
std::vector<float> Snapshot(KDConfig& config) {
  std::vector<float> values;
  for (int t = 0; t < MAXVEHICLETYPE; ++t) {
    for (int p = 0; p < FS_COUNT; ++p) {
      float v = -999;
      config.GetVDCParam(VDC_KAVRO, t, p, &v);
      values.push_back(v);
    }
  }
  for (int kind : {VDC_DOVELVEHICLE, VDC_DOVELDRIVER, VDC_DOVELVEHICLEDIST}) {
    for (int t = 0; t < MAXDOVELTYPE; ++t) {
      for (int p = 0; p < config.VDCParamCount(kind, t); ++p) {
        float v = -999;
        config.GetVDCParam(kind, t, p, &v);
        values.push_back(v);
      }
    }
  }
  for (int v = 0; v < config.VDCTypeCount(VDC_DOVELVEHICLE); ++v) {
    for (int d = 0; d < config.VDCTypeCount(VDC_DOVELDRIVER); ++d) {
      values.push_back(config.VDProbability(v, d, true));
    }
  }
  if (ProgramMode() == KAVRO) {
    for (int n = 0; n < FG_COUNT; ++n) values.push_back(config.GetKavroGeneralParam(n));
  }
  values.push_back(static_cast<float>(config.Seed()));
  values.push_back(config.TimeStep());
  values.push_back(static_cast<float>(config.MaxTime()));
  values.push_back(static_cast<float>(config.VDCTypeCount(VDC_KAVRO)));
  values.push_back(static_cast<float>(config.VDCTypeCount(VDC_DOVELVEHICLE)));
  values.push_back(static_cast<float>(config.VDCTypeCount(VDC_DOVELDRIVER)));
  return values;
}

struct Rejection {
  const char* what;
  std::function<void(KDConfig&)> call;
  std::string text;
};

void ExpectRejected(int mode, const std::vector<Rejection>& cases,
                    const std::function<void(KDConfig&)>& prepare = {}) {
  for (const Rejection& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedProgramMode guard(mode);
    KDConfig config;
    if (prepare) prepare(config);
    ::ExpectRejected(
        c.text, [&config] { return std::make_pair(config.ChangeStamp(), Snapshot(config)); },
        [&] { c.call(config); });
  }
}

void AddDovelTypes(KDConfig& config, int vehicles, int drivers) {
  for (int i = 0; i < vehicles; ++i) config.AddVDCType(VDC_DOVELVEHICLE);
  for (int i = 0; i < drivers; ++i) config.AddVDCType(VDC_DOVELDRIVER);
}

float Param(const KDConfig& config, int type, int p) {
  float value = -999;
  config.GetVDCParam(VDC_KAVRO, type, p, &value);
  return value;
}

}  // namespace

TEST(KDConfigParamDefaults, NewConfigurationHasFiveBuiltInTypes) {
  KDConfig config;
  EXPECT_EQ(config.VDCTypeCount(VDC_KAVRO), 5);
  for (int t = 0; t < MAXVEHICLETYPE; ++t) {
    SCOPED_TRACE(t);
    float value = -1;
    EXPECT_EQ(config.GetVDCParam(VDC_KAVRO, t, FS_max_delta_a, &value), t < 5);
    for (int p = 0; p < FS_COUNT; ++p) {
      SCOPED_TRACE(FSParam(p).key);
      if (t < 5) {
        EXPECT_FLOAT_EQ(Param(config, t, p), FSParam(p).defaults[t]);
      } else if (p == FS_max_delta_a) {
        EXPECT_EQ(Param(config, t, p), 0);
      }
    }
  }
}

TEST(KDConfigParamDefaults, GeneralParametersAndRunSettings) {
  KDConfig config;
  EXPECT_FLOAT_EQ(config.GetKavroGeneralParam(FG_lane_change_T), 3);
  EXPECT_FLOAT_EQ(config.GetKavroGeneralParam(FG_Treac_a), 0.3f);
  EXPECT_FLOAT_EQ(config.GetKavroGeneralParam(FG_Treac_d), 0.2f);
  EXPECT_EQ(config.Seed(), 1);
  EXPECT_FLOAT_EQ(config.TimeStep(), 0.5f);
  EXPECT_EQ(config.MaxTime(), 7200);
  EXPECT_EQ(config.VDCTypeCount(VDC_DOVELVEHICLE), 0);
  EXPECT_EQ(config.VDCTypeCount(VDC_DOVELDRIVER), 0);
}

TEST(KDConfigParamDefaults, MetadataComeFromTheTableWithTheTypesDefault) {
  KDConfig config;
  VDCParamInfo info;
  float value = 0;
  EXPECT_TRUE(config.GetVDCParam(VDC_KAVRO, 4, FS_length, &value, &info));
  EXPECT_FLOAT_EQ(value, 14);
  EXPECT_EQ(info.displayName, "length");
  EXPECT_EQ(info.fileName, "length");
  EXPECT_FLOAT_EQ(info.low, 3);
  EXPECT_FLOAT_EQ(info.high, 18);
  EXPECT_EQ(info.steps, 150);
  EXPECT_EQ(info.format, "%4.1f m");
  EXPECT_EQ(info.description, "Vehicle length");
  EXPECT_FLOAT_EQ(info.defaultValue, 14);
  // A slot without a type still describes its parameter, with the new-type default.
  EXPECT_FALSE(config.GetVDCParam(VDC_KAVRO, 6, FS_length, &value, &info));
  EXPECT_FLOAT_EQ(info.defaultValue, 4);
  // Type numbers past the storage are not an error, they just do not exist.
  value = -7;
  EXPECT_FALSE(config.GetVDCParam(VDC_KAVRO, 8, FS_length, &value, &info));
  EXPECT_FLOAT_EQ(value, -7);
}

TEST(KDConfigParamCounts, KindsTypesAndParameters) {
  KDConfig config;
  struct Row {
    int kind, maxTypes, params, types;
  };
  const Row rows[] = {{VDC_KAVRO, 8, 15, 5},
                      {VDC_DOVELGENERAL, -1, 23, -1},
                      {VDC_DOVELVEHICLE, 20, 34, 0},
                      {VDC_DOVELDRIVER, 20, 9, 0},
                      {VDC_DOVELICC, -1, 5, -1},
                      {VDC_DOVELVEHICLEDIST, 20, 3, 0},
                      {VDC_DOVELVEHICLESUB, 20, 0, 0},
                      {2, -1, -1, -1},
                      {0, -1, -1, -1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.kind);
    EXPECT_EQ(KDConfig::MaxVDCTypes(r.kind), r.maxTypes);
    EXPECT_EQ(config.VDCParamCount(r.kind, 0), r.params);
    EXPECT_EQ(config.VDCTypeCount(r.kind), r.types);
  }
}

TEST(KDConfigParamCounts, SubParameterCountFollowsVehicleParameterTwo) {
  KDConfig config;
  AddDovelTypes(config, 2, 1);
  EXPECT_EQ(config.VDCTypeCount(VDC_DOVELVEHICLESUB), 2);
  EXPECT_EQ(config.VDCTypeCount(VDC_DOVELVEHICLEDIST), 2);
  const std::pair<float, int> cases[] = {{6, 6}, {6.9f, 6}, {20, 20}, {35, 20}, {-3, 0}};
  for (const auto& [declared, count] : cases) {
    SCOPED_TRACE(declared);
    config.SetVDCParam(VDC_DOVELVEHICLE, 1, 2, declared);
    EXPECT_EQ(config.VDCParamCount(VDC_DOVELVEHICLESUB, 1), count);
    EXPECT_EQ(config.VDCParamCount(VDC_DOVELVEHICLESUB, 0), 0);
  }
}

TEST(KDConfigVDCTypes, TypesAreContiguousFromTypeZero) {
  KDConfig config;
  config.DeleteVDCType(VDC_KAVRO, 0);
  EXPECT_EQ(config.VDCTypeCount(VDC_KAVRO), 4);
  config.DeleteVDCType(VDC_KAVRO, 1);
  EXPECT_EQ(config.VDCTypeCount(VDC_KAVRO), 3);
  for (int t = 0; t < MAXVEHICLETYPE; ++t) {
    float v;
    EXPECT_EQ(config.GetVDCParam(VDC_KAVRO, t, 0, &v), t < 3);
  }
}

TEST(KDConfigVDCTypes, AddingFillsSlotsUpToEightThenRefuses) {
  KDConfig config;
  for (int expected = 6; expected <= 8; ++expected) {
    const int stamp = config.ChangeStamp();
    EXPECT_EQ(config.AddVDCType(VDC_KAVRO), expected);
    EXPECT_NE(config.ChangeStamp(), stamp);
    for (int p = 0; p < FS_COUNT; ++p) {
      EXPECT_FLOAT_EQ(Param(config, expected - 1, p), FSParam(p).newDefault);
    }
  }
  const std::vector<float> before = Snapshot(config);
  const int stamp = config.ChangeStamp();
  ReportCapture capture;
  EXPECT_EQ(config.AddVDCType(VDC_KAVRO), -1);
  EXPECT_EQ(capture.OnlyText(), "AddVDCType: array full");
  EXPECT_EQ(config.ChangeStamp(), stamp);
  EXPECT_EQ(Snapshot(config), before);
}

TEST(KDConfigVDCTypes, DeletingMovesTheLaterTypesDown) {
  KDConfig config;
  config.SetVDCParam(VDC_KAVRO, 4, FS_length, 16);
  const int stamp = config.ChangeStamp();
  config.DeleteVDCType(VDC_KAVRO, 1);
  EXPECT_NE(config.ChangeStamp(), stamp);
  EXPECT_EQ(config.VDCTypeCount(VDC_KAVRO), 4);
  const int sourceOf[] = {0, 2, 3, 4};
  for (int t = 0; t < 4; ++t) {
    for (int p = 0; p < FS_COUNT; ++p) {
      if (t == 3 && p == FS_length) continue;
      EXPECT_FLOAT_EQ(Param(config, t, p), FSParam(p).defaults[sourceOf[t]]);
    }
  }
  EXPECT_FLOAT_EQ(Param(config, 3, FS_length), 16);
}

TEST(KDConfigVDCTypes, ReAddedSlotGetsTheDefaultsOfItsSlotNumber) {
  KDConfig config;
  config.DeleteVDCType(VDC_KAVRO, 0);
  EXPECT_EQ(config.AddVDCType(VDC_KAVRO), 5);
  // Slot 4 is the fifth built-in type: its own defaults, not the old first type's.
  for (int p = 0; p < FS_COUNT; ++p) EXPECT_FLOAT_EQ(Param(config, 4, p), FSParam(p).defaults[4]);
  EXPECT_FLOAT_EQ(Param(config, 0, FS_max_a), FSParam(FS_max_a).defaults[1]);
}

TEST(KDConfigVDCTypes, DeletingDownToOneThenRefuses) {
  KDConfig config;
  while (config.VDCTypeCount(VDC_KAVRO) > 1) config.DeleteVDCType(VDC_KAVRO, 0);
  for (int p = 0; p < FS_COUNT; ++p) EXPECT_FLOAT_EQ(Param(config, 0, p), FSParam(p).defaults[4]);
  ExpectRejected(KAVRO,
                 {{"last one", [](KDConfig& c) { c.DeleteVDCType(VDC_KAVRO, 0); },
                   "DeleteVDCType: Cannot delete last one"}},
                 [](KDConfig& c) {
                   while (c.VDCTypeCount(VDC_KAVRO) > 1) c.DeleteVDCType(VDC_KAVRO, 0);
                 });
}

TEST(KDConfigVDCTypes, ResetRestoresTheFiveTypesAndRemovesTheOthers) {
  KDConfig config;
  config.AddVDCType(VDC_KAVRO);
  config.SetVDCParam(VDC_KAVRO, 0, FS_z1, 5);
  config.SetKavroGeneralParam(FG_Treac_d, 1.5f);
  const int stamp = config.ChangeStamp();
  config.SetDefaultParams();
  EXPECT_NE(config.ChangeStamp(), stamp);
  EXPECT_EQ(config.VDCTypeCount(VDC_KAVRO), 5);
  EXPECT_FLOAT_EQ(Param(config, 0, FS_z1), 3);
  EXPECT_FLOAT_EQ(config.GetKavroGeneralParam(FG_Treac_d), 0.2f);
}

TEST(KDConfigVDCTypes, DovelVehicleTypeDeleteMovesAllItsKinds) {
  ScopedProgramMode mode(DOVEL);
  KDConfig config;
  AddDovelTypes(config, 3, 2);
  for (int t = 0; t < 3; ++t) {
    config.SetVDCParam(VDC_DOVELVEHICLE, t, 0, 10.0f + t);
    config.SetVDCParam(VDC_DOVELVEHICLE, t, 2, 2.0f + t);
    for (int s = 0; s < 2 + t; ++s) config.SetVDCParam(VDC_DOVELVEHICLESUB, t, s, 100.0f * t + s);
    config.SetVDCParam(VDC_DOVELVEHICLEDIST, t, 0, 0.1f * t);
  }
  config.DeleteVDCType(VDC_DOVELVEHICLE, 0);
  EXPECT_EQ(config.VDCTypeCount(VDC_DOVELVEHICLE), 2);
  EXPECT_EQ(config.VDCTypeCount(VDC_DOVELVEHICLESUB), 2);
  float v = 0;
  for (int t = 0; t < 2; ++t) {
    SCOPED_TRACE(t);
    EXPECT_TRUE(config.GetVDCParam(VDC_DOVELVEHICLE, t, 0, &v));
    EXPECT_FLOAT_EQ(v, 11.0f + t);
    EXPECT_EQ(config.VDCParamCount(VDC_DOVELVEHICLESUB, t), 3 + t);
    for (int s = 0; s < 3 + t; ++s) {
      config.GetVDCParam(VDC_DOVELVEHICLESUB, t, s, &v);
      EXPECT_FLOAT_EQ(v, 100.0f * (t + 1) + s);
    }
    config.GetVDCParam(VDC_DOVELVEHICLEDIST, t, 0, &v);
    EXPECT_FLOAT_EQ(v, 0.1f * (t + 1));
  }
  EXPECT_FALSE(config.GetVDCParam(VDC_DOVELVEHICLE, 2, 0, &v));
  EXPECT_EQ(config.VDCTypeCount(VDC_DOVELDRIVER), 2);
}

TEST(KDConfigVDCTypes, DovelDriverTypesStopAtTwenty) {
  KDConfig config;
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(config.AddVDCType(VDC_DOVELDRIVER), i);
  ExpectRejected(KAVRO,
                 {{"21st driver", [](KDConfig& c) { c.AddVDCType(VDC_DOVELDRIVER); },
                   "AddVDCType: array full"},
                  {"21st vehicle", [](KDConfig& c) { c.AddVDCType(VDC_DOVELVEHICLESUB); },
                   "AddVDCType: array full"}},
                 [](KDConfig& c) { AddDovelTypes(c, 20, 20); });
}

TEST(KDConfigParamRejections, VDCParamAccessAndTypeEdits) {
  ExpectRejected(
      KAVRO, {
                 {"get parameter 15", [](KDConfig& c) { c.GetVDCParam(VDC_KAVRO, 0, 15); },
                  "KDConfig::GetVDCParam: Kind=100\r\nVDCType=0\r\nParamNo=15"},
                 {"get type -1", [](KDConfig& c) { c.GetVDCParam(VDC_KAVRO, -1, 0); },
                  "KDConfig::GetVDCParam: Kind=100\r\nVDCType=-1\r\nParamNo=0"},
                 {"get general set with a type", [](KDConfig& c) { c.GetVDCParam(1, 0, 0); },
                  "KDConfig::GetVDCParam: Kind=1\r\nVDCType=0\r\nParamNo=0"},
                 {"get unknown kind", [](KDConfig& c) { c.GetVDCParam(7, 0, 0); },
                  "KDConfig::GetVDCParam: Kind=7\r\nVDCType=0\r\nParamNo=0"},
                 {"get sub-parameter beyond the declared count",
                  [](KDConfig& c) { c.GetVDCParam(VDC_DOVELVEHICLESUB, 0, 0); },
                  "KDConfig::GetVDCParam: Kind=101\r\nVDCType=0\r\nParamNo=0"},
                 {"set missing type", [](KDConfig& c) { c.SetVDCParam(VDC_KAVRO, 5, 0, 1); },
                  "KDConfig::SetVDCParam: bad VDCType (5) or ParamNo (0)"},
                 {"set parameter 15", [](KDConfig& c) { c.SetVDCParam(VDC_KAVRO, 0, 15, 1); },
                  "KDConfig::SetVDCParam: bad VDCType (0) or ParamNo (15)"},
                 {"set negative type", [](KDConfig& c) { c.SetVDCParam(VDC_KAVRO, -1, 0, 1); },
                  "KDConfig::SetVDCParam: bad VDCType (-1) or ParamNo (0)"},
                 {"set general set with a type", [](KDConfig& c) { c.SetVDCParam(1, 0, 0, 1); },
                  "KDConfig::SetVDCParam: bad VDCType (0) or ParamNo (0)"},
                 {"set DOVEL vehicle without types",
                  [](KDConfig& c) { c.SetVDCParam(VDC_DOVELVEHICLE, 0, 0, 1); },
                  "KDConfig::SetVDCParam: bad VDCType (0) or ParamNo (0)"},
                 {"set unknown kind", [](KDConfig& c) { c.SetVDCParam(5, -1, 0, 1); },
                  "KDConfig::SetVDCParam: bad VDCType (-1) or ParamNo (0)"},
                 {"clear parameter 0 of a middle type",
                  [](KDConfig& c) { c.SetVDCParam(VDC_KAVRO, 2, FS_max_delta_a, 0); },
                  "KDConfig::SetVDCParam: bad VDCType (2) or ParamNo (0)"},
                 {"add unknown kind", [](KDConfig& c) { EXPECT_EQ(c.AddVDCType(6), -1); },
                  "AddVDCType: Bad Kind"},
                 {"delete kind 101", [](KDConfig& c) { c.DeleteVDCType(VDC_DOVELVEHICLESUB, 0); },
                  "DeleteVDCType: Bad Kind"},
                 {"delete missing type", [](KDConfig& c) { c.DeleteVDCType(VDC_KAVRO, 5); },
                  "DeleteVDCType: Bad VDCType (5)"},
                 {"delete negative type", [](KDConfig& c) { c.DeleteVDCType(VDC_KAVRO, -1); },
                  "DeleteVDCType: Bad VDCType (-1)"},
                 {"delete DOVEL vehicle without types",
                  [](KDConfig& c) { c.DeleteVDCType(VDC_DOVELVEHICLE, 0); },
                  "DeleteVDCType: Bad VDCType (0)"},
             });
}

TEST(KDConfigParamRejections, GeneralParametersAndRunSettingsInKavroMode) {
  ExpectRejected(
      KAVRO,
      {
          {"lane change time below 1", [](KDConfig& c) { c.SetKavroGeneralParam(0, 0.5f); },
           "KDConfig::SetKavroGeneralParam: Bad ProgramMode (1) or ParamNo (0) or Value "
           "(0.500000)"},
          {"reaction time above 2", [](KDConfig& c) { c.SetKavroGeneralParam(1, 2.5f); },
           "KDConfig::SetKavroGeneralParam: Bad ProgramMode (1) or ParamNo (1) or Value "
           "(2.500000)"},
          {"general parameter 3", [](KDConfig& c) { c.SetKavroGeneralParam(3, 1); },
           "KDConfig::SetKavroGeneralParam: Bad ProgramMode (1) or ParamNo (3) or Value "
           "(1.000000)"},
          {"get general parameter -1", [](KDConfig& c) { c.GetKavroGeneralParam(-1); },
           "KDConfig::GetKavroGeneralParam: Bad ProgramMode (1) or ParamNo (-1)"},
          {"even seed", [](KDConfig& c) { c.SetSeed(2); },
           "KDConfig::SetSeed: bad Seed (2) (must be a positive, odd, integer)"},
          {"zero seed", [](KDConfig& c) { c.SetSeed(0); },
           "KDConfig::SetSeed: bad Seed (0) (must be a positive, odd, integer)"},
          {"negative odd seed", [](KDConfig& c) { c.SetSeed(-3); },
           "KDConfig::SetSeed: bad Seed (-3) (must be a positive, odd, integer)"},
          {"time step 0.05", [](KDConfig& c) { c.SetTimeStep(0.05f); },
           "KDConfig::SetTimeStep: bad TimeStep (0.050000)"},
          {"time step 1.5", [](KDConfig& c) { c.SetTimeStep(1.5f); },
           "KDConfig::SetTimeStep: bad TimeStep (1.500000)"},
          {"time step NaN", [](KDConfig& c) { c.SetTimeStep(std::nanf("")); },
           "KDConfig::SetTimeStep: bad TimeStep (nan)"},
          {"stop time 0", [](KDConfig& c) { c.SetMaxTime(0); },
           "KDConfig::SetMaxTime: bad MaxTime (0) or ProgramMode (1)"},
          {"frequency without DOVEL types", [](KDConfig& c) { c.SetVDProbability(0, 0, 0.5f); },
           "KDConfig::SetVDProbability: bad V(ehicle type) (0) or D(river type) (0), or "
           "Probability (0.500000)"},
      });
}

TEST(KDConfigParamRejections, DovelMode) {
  ExpectRejected(
      DOVEL,
      {
          {"general parameter", [](KDConfig& c) { c.SetKavroGeneralParam(0, 3); },
           "KDConfig::SetKavroGeneralParam: Bad ProgramMode (2) or ParamNo (0) or Value "
           "(3.000000)"},
          {"get general parameter", [](KDConfig& c) { c.GetKavroGeneralParam(0); },
           "KDConfig::GetKavroGeneralParam: Bad ProgramMode (2) or ParamNo (0)"},
          {"stop time", [](KDConfig& c) { c.SetMaxTime(3600); },
           "KDConfig::SetMaxTime: bad MaxTime (3600) or ProgramMode (2)"},
          {"frequency above 1", [](KDConfig& c) { c.SetVDProbability(0, 1, 1.5f); },
           "KDConfig::SetVDProbability: bad V(ehicle type) (0) or D(river type) (1), or "
           "Probability (1.500000)"},
          {"frequency of a missing driver", [](KDConfig& c) { c.SetVDProbability(1, 2, 0.5f); },
           "KDConfig::SetVDProbability: bad V(ehicle type) (1) or D(river type) (2), or "
           "Probability (0.500000)"},
          {"vehicle type beyond the count",
           [](KDConfig& c) { c.SetVDCParam(VDC_DOVELVEHICLE, 2, 0, 1); },
           "KDConfig::SetVDCParam: bad VDCType (2) or ParamNo (0)"},
          {"driver parameter 9", [](KDConfig& c) { c.SetVDCParam(VDC_DOVELDRIVER, 0, 9, 1); },
           "KDConfig::SetVDCParam: bad VDCType (0) or ParamNo (9)"},
      },
      [](KDConfig& c) { AddDovelTypes(c, 2, 2); });
}

TEST(KDConfigParamBoundaries, LimitsThemselvesAreAccepted) {
  struct Accepted {
    const char* what;
    std::function<void(KDConfig&)> call;
    std::function<bool(KDConfig&)> stored;
  };
  const Accepted cases[] = {
      {"seed 1", [](KDConfig& c) { c.SetSeed(3), c.SetSeed(1); },
       [](KDConfig& c) { return c.Seed() == 1; }},
      {"large odd seed", [](KDConfig& c) { c.SetSeed(2147483647); },
       [](KDConfig& c) { return c.Seed() == 2147483647; }},
      {"time step 0.1", [](KDConfig& c) { c.SetTimeStep(0.1f); },
       [](KDConfig& c) { return c.TimeStep() == 0.1f; }},
      {"time step 1", [](KDConfig& c) { c.SetTimeStep(1); },
       [](KDConfig& c) { return c.TimeStep() == 1; }},
      {"stop time 1 s", [](KDConfig& c) { c.SetMaxTime(1); },
       [](KDConfig& c) { return c.MaxTime() == 1; }},
      {"lane change time 5", [](KDConfig& c) { c.SetKavroGeneralParam(0, 5); },
       [](KDConfig& c) { return c.GetKavroGeneralParam(0) == 5; }},
      {"deceleration delay 0", [](KDConfig& c) { c.SetKavroGeneralParam(2, 0); },
       [](KDConfig& c) { return c.GetKavroGeneralParam(2) == 0; }},
      {"value outside the row's limits", [](KDConfig& c) { c.SetVDCParam(100, 4, 7, 30); },
       [](KDConfig& c) { return Param(c, 4, 7) == 30; }},
  };
  for (const Accepted& a : cases) {
    SCOPED_TRACE(a.what);
    KDConfig config;
    const int stamp = config.ChangeStamp();
    ReportCapture capture;
    a.call(config);
    EXPECT_TRUE(capture.Empty());
    EXPECT_NE(config.ChangeStamp(), stamp);
    EXPECT_TRUE(a.stored(config));
  }
}

TEST(KDConfigParamBoundaries, DovelSeedNeedNotBeOdd) {
  ScopedProgramMode mode(DOVEL);
  KDConfig config;
  ReportCapture capture;
  config.SetSeed(0);
  config.SetSeed(-4);
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(config.Seed(), -4);
}

TEST(KDConfigParamDovel, TimeStepAndStopTimeComeFromTheGeneralSet) {
  ScopedProgramMode mode(DOVEL);
  KDConfig config;
  config.SetVDCParam(VDC_DOVELGENERAL, -1, 16, 0.2f);
  config.SetVDCParam(VDC_DOVELGENERAL, -1, 11, 90.7f);
  EXPECT_FLOAT_EQ(config.TimeStep(), 0.2f);
  EXPECT_EQ(config.MaxTime(), 5400);
  config.SetTimeStep(0.5f);
  EXPECT_FLOAT_EQ(config.TimeStep(), 0.2f);
}

TEST(KDConfigParamDovel, FrequenciesAreWholeHundredths) {
  KDConfig config;
  AddDovelTypes(config, 1, 3);
  const std::pair<float, float> cases[] = {{0.333f, 0.33f}, {0.335f, 0.34f}, {1.005f, 1},
                                           {-0.005f, 0},    {0, 0},          {0.999f, 1}};
  for (const auto& [given, stored] : cases) {
    SCOPED_TRACE(given);
    ReportCapture capture;
    config.SetVDProbability(0, 1, given);
    EXPECT_TRUE(capture.Empty());
    EXPECT_FLOAT_EQ(config.VDProbability(0, 1, true), stored);
  }
}

TEST(KDConfigParamDovel, ReadingARowMakesItADistribution) {
  KDConfig config;
  AddDovelTypes(config, 2, 3);
  const float row[] = {0.5f, 0.7f, 0.2f};
  for (int d = 0; d < 3; ++d) config.SetVDProbability(1, d, row[d]);
  EXPECT_FLOAT_EQ(config.VDProbability(1, 1, true), 0.7f);
  const int stamp = config.ChangeStamp();
  EXPECT_FLOAT_EQ(config.VDProbability(1, 1), 0.5f);
  EXPECT_FLOAT_EQ(config.VDProbability(1, 0, true), 0.5f);
  EXPECT_FLOAT_EQ(config.VDProbability(1, 1, true), 0.5f);
  EXPECT_FLOAT_EQ(config.VDProbability(1, 2, true), 0);
  EXPECT_EQ(config.ChangeStamp(), stamp);
  // An all-zero row gives everything to the last driver type.
  EXPECT_FLOAT_EQ(config.VDProbability(0, 2), 1);
  EXPECT_FLOAT_EQ(config.VDProbability(0, 0), 0);
  EXPECT_EQ(config.VDProbability(2, 0), 0);
  EXPECT_EQ(config.VDProbability(0, 3), 0);
  EXPECT_EQ(config.VDProbability(-1, 0), 0);
}

TEST(KDConfigParamDovel, VehicleDistributionStaysADistribution) {
  KDConfig config;
  AddDovelTypes(config, 1, 1);
  auto dist = [&config] {
    std::vector<float> values(3);
    for (int p = 0; p < 3; ++p) config.GetVDCParam(VDC_DOVELVEHICLEDIST, 0, p, &values[p]);
    return values;
  };
  // Stored one by one, a distribution arrives as given.
  config.SetVDCParam(VDC_DOVELVEHICLEDIST, 0, 0, 0.2f);
  config.SetVDCParam(VDC_DOVELVEHICLEDIST, 0, 1, 0.3f);
  config.SetVDCParam(VDC_DOVELVEHICLEDIST, 0, 2, 0.5f);
  EXPECT_EQ(dist(), (std::vector<float>{0.2f, 0.3f, 0.5f}));
  // Raising one value takes the room from the others, in order, the last one first to fill.
  config.SetVDCParam(VDC_DOVELVEHICLEDIST, 0, 1, 0.9f);
  std::vector<float> values = dist();
  EXPECT_FLOAT_EQ(values[0], 0.1f);
  EXPECT_FLOAT_EQ(values[1], 0.9f);
  EXPECT_NEAR(values[2], 0, 1e-6);
  config.SetVDCParam(VDC_DOVELVEHICLEDIST, 0, 2, 0.4f);
  values = dist();
  EXPECT_FLOAT_EQ(values[0], 0.1f);
  EXPECT_FLOAT_EQ(values[1], 0.5f);
  EXPECT_FLOAT_EQ(values[2], 0.4f);
}

TEST(KDConfigParamDovel, MetadataComeFromTheExternalModel) {
  struct Asked {
    int cls = 0, id = 0;
  } asked;
  ModelParamInfoSource previous =
      SetModelParamInfoSource([&asked](int cls, int id, ModelParamInfo& info) {
        asked = {cls, id};
        info.name = "Max speed";
        info.format = "%5.1f";
        info.minimum = id == 6 ? 5 : 0;
        info.maximum = id == 6 ? 5 : 10;
        info.step = id == 6 ? 0 : 0.5f;
        return true;
      });
  KDConfig config;
  AddDovelTypes(config, 1, 1);
  VDCParamInfo info;
  float value = -1;
  EXPECT_TRUE(config.GetVDCParam(VDC_DOVELVEHICLE, 0, 0, &value, &info));
  EXPECT_EQ(asked.cls, 3);
  EXPECT_EQ(asked.id, 2);
  EXPECT_EQ(info.displayName, "Max speed");
  EXPECT_FLOAT_EQ(info.high, 10);
  EXPECT_EQ(info.steps, 20);
  EXPECT_EQ(value, 0);
  // Without a step or a range the slider gets 100 units and 1000 positions.
  EXPECT_TRUE(config.GetVDCParam(VDC_DOVELVEHICLE, 0, 3, &value, &info));
  EXPECT_EQ(asked.id, 6);
  EXPECT_FLOAT_EQ(info.low, 5);
  EXPECT_FLOAT_EQ(info.high, 105);
  EXPECT_EQ(info.steps, 1000);
  EXPECT_FALSE(config.GetVDCParam(VDC_DOVELDRIVER, 1, 0, &value, &info));
  EXPECT_TRUE(config.GetVDCParam(VDC_DOVELICC, -1, 4, &value, &info));
  SetModelParamInfoSource(std::move(previous));
}

TEST(DovelParamAddress, KindsMapToTheModelsClassesAndIds) {
  struct Row {
    int kind, param, cls, id;
  };
  const Row rows[] = {{VDC_DOVELGENERAL, 0, 1, 2},    {VDC_DOVELGENERAL, 22, 1, 24},
                      {VDC_DOVELVEHICLE, 0, 3, 2},    {VDC_DOVELVEHICLE, 2, 3, 4},
                      {VDC_DOVELVEHICLE, 3, 3, 6},    {VDC_DOVELVEHICLE, 22, 3, 25},
                      {VDC_DOVELVEHICLE, 23, 3, 27},  {VDC_DOVELVEHICLE, 33, 3, 37},
                      {VDC_DOVELVEHICLESUB, 7, 3, 5}, {VDC_DOVELVEHICLEDIST, 2, 3, 26},
                      {VDC_DOVELDRIVER, 0, 4, 2},     {VDC_DOVELDRIVER, 8, 4, 10},
                      {VDC_DOVELICC, 0, 6, 1},        {VDC_DOVELICC, 4, 6, 5}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.kind << "/" << r.param);
    int cls = 0, id = 0;
    EXPECT_TRUE(DovelParamAddress(r.kind, r.param, cls, id));
    EXPECT_EQ(cls, r.cls);
    EXPECT_EQ(id, r.id);
  }
  int cls = 0, id = 0;
  EXPECT_FALSE(DovelParamAddress(VDC_KAVRO, 0, cls, id));
}
