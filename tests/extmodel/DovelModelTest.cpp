// The program's side of the external model, against the real libudov.so: the typed wrappers,
// the call log, the messages, reading .dov files into the mirror, forwarding every change and
// saving through the model.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/ConfigRW.h"
#include "config/DovelConfig.h"
#include "config/DovelLink.h"
#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "extmodel/DovelCalls.h"
#include "shell/ModelSimulation.h"
#include "support/FileText.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

namespace {

struct Message {
  int severity;
  std::string text;
  std::string caption;
};

class DovelModel : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    library = UdovLibrary::Load(UDOV_LIBRARY, error);
    ASSERT_NE(library, nullptr) << error;
    SetProgramMode(DOVEL);
    Dovel::Connect(&library->Calls());
    Dovel::Set_errorhandler(
        [this](int severity, const std::string& text, const std::string& caption) {
          messages.push_back({severity, text, caption});
        });
    ASSERT_TRUE(Dovel::Read_config(Example("two-lane-icc.dov")));
  }
  void TearDown() override {
    Dovel::SetLogSink(nullptr);
    Dovel::Set_errorhandler(nullptr);
    Dovel::Connect(nullptr);
    SetProgramMode(KAVRO);
  }
  static std::string Example(const std::string& name) {
    return std::string(KAVRO_SOURCE_DIR "/examples/") + name;
  }
  // Opens a .dov file as the program does and makes it the current configuration.
  std::unique_ptr<KDConfig> Open(const std::string& name) {
    std::unique_ptr<KDConfig> config;
    if (!ReadConfig(name, config)) return nullptr;
    config->SetMirrored(true);
    return config;
  }

  std::unique_ptr<UdovLibrary> library;
  std::vector<Message> messages;
};

TEST_F(DovelModel, TypeMismatchIsRefusedBeforeTheLibraryReads) {
  float value = 12345;
  EXPECT_EQ(Dovel::Get_param_value(UDOV_REAL, 2, 1, -1, -1, &value), -999);
  EXPECT_EQ(value, 12345.0f);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].severity, 999);
  EXPECT_EQ(messages[0].caption, "Program Error");
  EXPECT_EQ(messages[0].text, "Parameter (Class=2, ParamID=1) is of type 2, not 1");
  EXPECT_EQ(Dovel::Get_param_realvalue(77, 1, -1, -1, -1), -999.0f);
  EXPECT_EQ(messages.back().text, "Nonexistent parameter");
  EXPECT_EQ(Dovel::Get_param_realvalue(5, 2, -1, -1, -1), -1.0f);
  EXPECT_EQ(messages.back().text, "Get_param_realvalue failed: can't convert to real");
}

TEST_F(DovelModel, UnsignedValuesReadAsLargePositiveNumbers) {
  uint32_t seed = 4000000000u;
  ASSERT_EQ(Dovel::Set_param_value(UDOV_UNSIGNED, 1, 1, -1, -1, &seed), 0);
  EXPECT_EQ(Dovel::Get_param_realvalue(1, 1, -1, -1, -1), 4e9f);
}

TEST_F(DovelModel, IndexCountFollowsTheLeadingIndices) {
  // Link 2 exists; an index 2 of -1 sends one index, so (2, 3) of link 2 reads its length.
  EXPECT_EQ(Dovel::Get_param_realvalue(2, 3, 2, -1, 99), 1500.0f);
  // Index 1 of -1 sends none: a link parameter then has no link and the read fails.
  Dovel::Get_param_realvalue(2, 3, -1, 5, 5);
  EXPECT_EQ(messages.back().text, "Get_param_realvalue failed");
}

TEST_F(DovelModel, CallLogWritesStartValueAndEndAsLines) {
  std::vector<std::string> lines;
  int32_t links = 0;
  Dovel::Get_param_value(UDOV_INTEGER, 2, 1, -1, -1, &links);
  EXPECT_TRUE(lines.empty());
  Dovel::SetLogSink([&](const std::string& line) { lines.push_back(line); });
  Dovel::Get_param_value(UDOV_INTEGER, 2, 1, -1, -1, &links);
  EXPECT_EQ(
      lines,
      (std::vector<std::string>{
          "Get_param_value (Type=2, Class=2, ParamID=1, Index1=-1, Index2=-1, *Value=", "3", ")"}));
}

TEST_F(DovelModel, ModelMessagesCarryTheirTime) {
  UdovMessage(2, "with time", 12.34f);
  UdovMessage(3, "no time", -1);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "time 12.3 s: with time\n");
  EXPECT_EQ(messages[0].caption, "Message severity 2");
  EXPECT_EQ(messages[1].text, "no time\n");
  SetSuppressModelMessages(true);
  UdovMessage(3, "quiet", -1);
  SetSuppressModelMessages(false);
  EXPECT_EQ(messages.size(), 2u);
}

TEST_F(DovelModel, ReadingFillsTheMirror) {
  auto config = Open(Example("two-lane-icc.dov"));
  ASSERT_NE(config, nullptr);
  // Links 2000, 1500 and 2000 m from upstream: section 2 is the first link.
  ASSERT_EQ(config->Boundaries(), 2);
  EXPECT_EQ(config->SectionLength(2), 2000);
  EXPECT_EQ(config->SectionLength(1), 1500);
  EXPECT_EQ(config->SectionLength(0), 2000);
  EXPECT_EQ(config->PhysicalSectionProperty(1, 0, PP_SPEEDLIMIT), 100.0f);
  // Two lanes: model lanes 4 and 5; lane 2 (model lane 4) is an ICC lane.
  EXPECT_EQ(config->IntPhysicalSectionProperty(2, 3, PP_LANETYPE), 0);
  EXPECT_TRUE(config->IntPhysicalSectionProperty(2, 4, PP_LANETYPE) & LANE_ICC);
  EXPECT_TRUE(config->IntPhysicalSectionProperty(2, 5, PP_LANETYPE) & LANE_PAVED);
  EXPECT_FALSE(config->IntPhysicalSectionProperty(2, 5, PP_LANETYPE) & LANE_ICC);
  // One detector 200 m before the end of each link.
  ASSERT_EQ(config->DetectorCount(), 3);
  EXPECT_EQ(config->DetectorPosition(0), 5300);
  EXPECT_EQ(config->DetectorPosition(2), 1800);
  EXPECT_EQ(config->PhysicalSectionProperty(1, 0, 5), 2.5f);  // slope of the middle link
  EXPECT_EQ(config->DovelFlow(), 3200.0f);
}

TEST_F(DovelModel, CorruptFileKeepsTheCurrentConfigurationAndNamesTheLine) {
  auto folder = FreshTestFolder("dovel-corrupt");
  const std::string name = (folder / "bad.dov").string();
  std::ofstream(name) << "UDOV 1\nlinks 2\nlength 2 -5\n";
  std::unique_ptr<KDConfig> current = std::make_unique<KDConfig>();
  KDConfig* before = current.get();
  ReportCapture reports;
  EXPECT_FALSE(ReadConfig(name, current));
  EXPECT_EQ(current.get(), before);
  ASSERT_EQ(reports.Reports().size(), 1u);
  EXPECT_EQ(reports.Reports()[0].caption, "Error in Dovel configuration file");
  EXPECT_NE(reports.Reports()[0].text.find(name + "(3): value out of range"), std::string::npos)
      << reports.Reports()[0].text;
  // The model keeps what it had.
  EXPECT_EQ(Dovel::Get_param_realvalue(2, 1, -1, -1, -1), 3.0f);
}

TEST_F(DovelModel, SavedReopenedSavedIsByteIdentical) {
  auto folder = FreshTestFolder("dovel-save");
  auto config = Open(Example("two-lane-icc.dov"));
  ASSERT_NE(config, nullptr);
  const std::string first = (folder / "a.dov").string();
  const std::string second = (folder / "b.dov").string();
  ASSERT_TRUE(WriteConfig(*config, first));
  auto reopened = Open(first);
  ASSERT_NE(reopened, nullptr);
  ASSERT_TRUE(WriteConfig(*reopened, second));
  EXPECT_EQ(ReadWholeFile(first), ReadWholeFile(second));
  EXPECT_EQ(ReadWholeFile(first), ReadWholeFile(Example("two-lane-icc.dov")));
}

TEST_F(DovelModel, EveryChangeOfTheCurrentConfigurationReachesTheModel) {
  auto config = Open(Example("two-lane-icc.dov"));
  ASSERT_NE(config, nullptr);
  ReportCapture reports;
  config->SetPhysicalSectionProperty(1, 0, PP_SPEEDLIMIT, 90);
  EXPECT_EQ(Dovel::Get_param_realvalue(2, 2, 2, -1, -1), 90.0f);
  config->SetSectionLength(0, 2500);
  EXPECT_EQ(Dovel::Get_param_realvalue(2, 3, 3, -1, -1), 2500.0f);
  // A third lane on the first link; making it an ICC lane.
  config->SetPhysicalSectionProperty(2, 3, PP_LANETYPE, LANETYPE_DOVEL_ICC);
  EXPECT_EQ(Dovel::Get_param_realvalue(2, 4, 1, -1, -1), 3.0f);
  EXPECT_EQ(Dovel::Get_param_realvalue(2, 10, 1, 3, -1), 2.0f);
  config->SetPhysicalSectionProperty(2, 4, 0, 3.25f);  // lane width of external lane 2
  EXPECT_EQ(Dovel::Get_param_realvalue(2, 9, 1, 2, -1), 3.25f);
  config->SetPhysicalSectionProperty(0, 0, 7, 1.8f);  // ICC headway tau of the last link
  EXPECT_EQ(Dovel::Get_param_realvalue(2, 27, 3, -1, -1), 1.8f);
  config->InsertBoundary(1000);
  EXPECT_EQ(Dovel::Get_param_realvalue(2, 1, -1, -1, -1), 4.0f);
  EXPECT_EQ(Dovel::Get_param_realvalue(2, 3, 1, -1, -1), 1000.0f);
  EXPECT_EQ(Dovel::Get_param_realvalue(2, 3, 2, -1, -1), 1000.0f);
  config->AddDetector(500);
  EXPECT_EQ(Dovel::Get_param_realvalue(2, 23, 1, -1, -1), 1.0f);
  EXPECT_EQ(Dovel::Get_param_realvalue(2, 24, 1, 1, -1), 500.0f);
  config->SetSeed(4711);
  EXPECT_EQ(Dovel::Get_param_realvalue(1, 1, -1, -1, -1), 4711.0f);
  config->SetVDCParam(VDC_DOVELVEHICLE, 1, 5, 1.7f);  // time headway of the truck
  EXPECT_EQ(Dovel::Get_param_realvalue(3, 8, 2, -1, -1), 1.7f);
  config->SetVDCParam(VDC_DOVELICC, -1, 2, 0.5f);
  EXPECT_EQ(Dovel::Get_param_realvalue(6, 3, -1, -1, -1), 0.5f);
  config->SetDovelFlow(1234);
  EXPECT_EQ(Dovel::Get_param_realvalue(5, 3, -1, -1, -1), 1234.0f);
  config->SetUseInjectionFile(true);
  config->SetInjectionFileName("some file.inj");
  EXPECT_EQ(Dovel::Get_param_realvalue(5, 1, -1, -1, -1), 1.0f);
  EXPECT_EQ(Dovel::ConfigLink().TextValue(5, 2), "some file.inj");
  EXPECT_TRUE(reports.Empty());
  EXPECT_TRUE(messages.empty()) << messages[0].text;
}

TEST_F(DovelModel, CopiesThatAreNotCurrentSendNothing) {
  auto config = Open(Example("two-lane-icc.dov"));
  ASSERT_NE(config, nullptr);
  config->SetMirrored(false);
  config->SetDovelFlow(50);
  EXPECT_EQ(Dovel::Get_param_realvalue(5, 3, -1, -1, -1), 3200.0f);
  // Made current again, it sends everything.
  config->PushAllToModel();
  EXPECT_EQ(Dovel::Get_param_realvalue(5, 3, -1, -1, -1), 50.0f);
}

TEST_F(DovelModel, SurfaceDetailOutsideTheModelsRangeIsRefused) {
  auto config = Open(Example("two-lane-icc.dov"));
  ASSERT_NE(config, nullptr);
  const int stamp = config->ChangeStamp();
  ReportCapture reports;
  config->SetPhysicalSectionProperty(0, 0, 1, 7.5f);  // bottom factor 0.3 .. 1
  EXPECT_EQ(reports.OnlyText(),
            "KDConfig::SetPhysicalSectionProperty\r\nBad NewValue (7.500000) for surface detail 1");
  EXPECT_EQ(config->ChangeStamp(), stamp);
  EXPECT_TRUE(messages.empty());
}

TEST_F(DovelModel, SurfaceDetailsAreDescribedByTheModel) {
  SurfaceDetailInfo info;
  EXPECT_EQ(KDConfig::GetSurfaceDetailInfo(5, info), DOVEL_SURFACE_DETAILS);
  EXPECT_EQ(info.caption, "Slope");
  EXPECT_FALSE(info.perLane);
  EXPECT_EQ(info.type, 1);
  EXPECT_FLOAT_EQ(info.minimum, -8);
  EXPECT_FLOAT_EQ(info.maximum, 8);
  EXPECT_FLOAT_EQ(info.step, 0.5f);
  EXPECT_EQ(info.format, "%.1f %%");
  EXPECT_NE(info.description.find("uphill"), std::string::npos);
  KDConfig::GetSurfaceDetailInfo(0, info);
  EXPECT_EQ(info.caption, "Lane width");
  EXPECT_TRUE(info.perLane);
  EXPECT_FLOAT_EQ(info.minimum, 2.5f);
  KDConfig::GetSurfaceDetailInfo(8, info);
  EXPECT_EQ(info.caption, "Pre warning distance");

  ReportCapture reports;
  info.caption = "kept";
  EXPECT_EQ(KDConfig::GetSurfaceDetailInfo(9, info), DOVEL_SURFACE_DETAILS);
  EXPECT_EQ(reports.OnlyText(), "KDConfig::GetSurfaceDetailInfo: PIndex=9");
  EXPECT_EQ(info.caption, "kept");
  reports.Clear();
  KDConfig::GetSurfaceDetailInfo(-1, info);
  EXPECT_EQ(reports.OnlyText(), "KDConfig::GetSurfaceDetailInfo: PIndex=-1");

  // Without the model only the program's own table answers.
  Dovel::Connect(nullptr);
  reports.Clear();
  KDConfig::GetSurfaceDetailInfo(5, info);
  EXPECT_TRUE(reports.Empty());
  EXPECT_EQ(info.caption, "Slope");
  EXPECT_EQ(info.type, -1);
  EXPECT_EQ(info.step, 0.0f);
  EXPECT_TRUE(info.format.empty());
}

TEST_F(DovelModel, RunsWalkTheModelsVehiclesAndSplitDetectorCountsIntoPeriods) {
  auto config = Open(Example("two-lane-icc.dov"));
  ASSERT_NE(config, nullptr);
  ModelSimulation simulation([] { return std::string(); });
  ASSERT_TRUE(simulation.Setup(*config, 1, ""));
  for (int step = 0; step < 2 * 180; ++step) simulation.Step();  // 3 minutes
  std::vector<VehicleSnapshot> vehicles = simulation.Vehicles(config->LanesUsed(), false);
  ASSERT_FALSE(vehicles.empty());
  for (const VehicleSnapshot& v : vehicles) {
    EXPECT_GE(v.Position, 0.0f);
    EXPECT_LE(v.Position, static_cast<float>(config->Length()));
    // Two lanes from the right: lane indices 4 and 5, minus the first lane used (4).
    EXPECT_TRUE(v.Lane == 0 || v.Lane == 1) << v.Lane;
    EXPECT_TRUE(v.Type == 0 || v.Type == 1) << v.Type;
  }
  // The most upstream detector (number 2, at 1800 m) has been passed by the first vehicles.
  const DetectorQueries* detector = simulation.Detector(2);
  ASSERT_NE(detector, nullptr);
  const int first = detector->VehicleCount(0, -1, -1);
  EXPECT_GT(first, 10);
  const float speed = detector->HarmonicSpeed(0, 1, -1);
  EXPECT_GT(speed, 30.0f);
  EXPECT_LT(speed, 160.0f);
  for (int step = 0; step < 2 * 60; ++step) simulation.Step();
  // The second period counts only what passed since the first.
  const int second = detector->VehicleCount(1, -1, -1);
  EXPECT_GT(second, 0);
  EXPECT_LT(second, first);
  EXPECT_TRUE(messages.empty() || messages[0].severity == 2);
}

}  // namespace
