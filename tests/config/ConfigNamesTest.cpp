// Names that the configuration file holds: an origin's or destination's name is the rest of
// its line, a traffic light's controller one word of its line. The setters refuse every name
// the file cannot carry, so that a saved configuration always opens again with its names.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config/ConfigRW.h"
#include "config/ConfigTestFiles.h"
#include "config/KDConfig.h"
#include "config/RoadTypes.h"
#include "support/ReportCapture.h"

namespace {

const char* const kDate = "Mon Jan  5 09:00:00 2026\n";

// Two origins and two destinations: lanes 0-1 and the separate lane 3 of one section.
std::unique_ptr<KDConfig> TwoOfEach() {
  auto config = std::make_unique<KDConfig>();
  config->SetPhysicalSectionProperty(0, 3, PP_LANETYPE, 67, false);
  config->SetPhysicalSectionProperty(0, 2, PP_LANETYPE, 0, false);
  EXPECT_EQ(config->SourceCount(), 2);
  EXPECT_EQ(config->SinkCount(), 2);
  return config;
}

std::unique_ptr<KDConfig> SaveAndOpen(KDConfig& config) {
  std::unique_ptr<KDConfig> loaded;
  ConfigReadResult result = LoadConfigText("names.kav", KavroConfigText(config, kDate), loaded);
  EXPECT_TRUE(result.ok) << result.error.line << ": " << result.error.message << "\n"
                         << result.error.lineText;
  return loaded;
}

}  // namespace

TEST(KDConfigNames, NamesTheFileCannotHoldAreRefusedAndChangeNothing) {
  struct Case {
    std::string name;
    std::string shown;  // as the message shows it
  };
  const std::vector<Case> cases = {
      {"", ""},
      {" Main", " Main"},
      {"\tMain", "\\011Main"},
      {"Main ", "Main "},
      {"Main\t", "Main\\011"},
      {"Main\nRamp", "Main\\012Ramp"},
      {"Main\r\nRamp", "Main\\015\\012Ramp"},
      {"Ma\rin", "Ma\\015in"},
      {std::string("Ma\0in", 5), "Ma\\000in"},
      {"\xA0Main", "\xA0Main"},  // a no-break space is blank
      {" 100", " 100"},          // beyond the temporary names of ranks 0 .. 98
      {" 7x", " 7x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    EXPECT_FALSE(KDConfig::ValidSourceSinkName(c.name));
    auto config = TwoOfEach();
    config->SetSourceName(1, "Ramp");
    config->SetSinkName(0, "Exit");
    int stamp = config->ChangeStamp();
    ReportCapture capture;
    config->SetSourceName(1, c.name);
    EXPECT_EQ(capture.OnlyText(),
              "KDConfig::SetSourceName: bad name for SourceNo 1: \"" + c.shown + "\"");
    EXPECT_TRUE(capture.Reports()[0].stop);
    capture.Clear();
    config->SetSinkName(0, c.name);
    EXPECT_EQ(capture.OnlyText(),
              "KDConfig::SetSinkName: bad name for SinkNo 0: \"" + c.shown + "\"");
    EXPECT_EQ(config->SourceName(1), "Ramp");
    EXPECT_EQ(config->SinkName(0), "Exit");
    EXPECT_EQ(config->ChangeStamp(), stamp);
  }
}

TEST(KDConfigNames, UnusualButWholeNamesSurviveASaveAndOpen) {
  const std::vector<std::string> names = {
      "A",
      "Main road: north #2 | lane 1,2",
      "Ramp\twith a tab inside",
      "Stra\xDF"
      "e \xE9\x80",  // Windows-1252 letters and the euro sign
      "007",
      std::string(3000, 'x'),
  };
  for (const std::string& name : names) {
    SCOPED_TRACE(name.substr(0, 40));
    EXPECT_TRUE(KDConfig::ValidSourceSinkName(name));
    auto config = TwoOfEach();
    ReportCapture capture;
    config->SetSourceName(1, name);
    config->SetSinkName(0, name);
    ASSERT_TRUE(capture.Empty());
    std::unique_ptr<KDConfig> loaded = SaveAndOpen(*config);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->SourceName(1), name);
    EXPECT_EQ(loaded->SinkName(0), name);
    EXPECT_EQ(loaded->SourceName(0), config->SourceName(0));
  }
}

TEST(KDConfigNames, TemporaryNamesStillLetRecordsExchangeNames) {
  auto config = TwoOfEach();
  config->SetSourceName(0, "North");
  config->SetSourceName(1, "Ramp");
  ReportCapture capture;
  config->SetSourceName(0, " 0");
  config->SetSourceName(1, " 1");
  config->SetSourceName(0, "Ramp");
  config->SetSourceName(1, "North");
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(config->SourceName(0), "Ramp");
  EXPECT_EQ(config->SourceName(1), "North");
}

TEST(KavroConfigRead, SourceNameWithANulCharacterIsABadName) {
  std::vector<std::string> lines = BaseConfigLines();
  std::string text = JoinLines(lines);
  size_t at = text.find("\nsource  0: ");
  ASSERT_NE(at, std::string::npos);
  size_t end = text.find('\n', at + 1);
  text.insert(end, std::string("\0x", 2));
  std::unique_ptr<KDConfig> loaded;
  ConfigReadResult result = LoadConfigText("nul.kav", text, loaded);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error.message, "Bad source name");
}

TEST(KDConfigControllerNames, ControllersTheFileCannotHoldAreRefused) {
  const std::vector<std::string> controllers = {
      "ramp meter", "meter\n", "\tmeter", "|", std::string("me\0ter", 6), std::string(201, 'c'),
  };
  for (const std::string& controller : controllers) {
    SCOPED_TRACE(controller.substr(0, 20));
    KDConfig config;
    EXPECT_FALSE(config.TrafficLightValid(controller, 2500, 1, 0, 0, 0, 0));
    int stamp = config.ChangeStamp();
    ReportCapture capture;
    config.AddTrafficLight(controller, 2500, 1, 3, 0, 0, 0, 0);
    ASSERT_EQ(capture.Reports().size(), 1u);
    EXPECT_EQ(capture.Reports()[0].caption, "Program Error");
    EXPECT_EQ(config.TrafficLightCount(), 0);
    EXPECT_EQ(config.ChangeStamp(), stamp);
  }
}

TEST(KDConfigControllerNames, OneWordControllersSurviveASaveAndOpen) {
  for (const std::string& controller :
       {std::string("meter"), std::string("x|y"), std::string("#1:a,b"), std::string(200, 'c')}) {
    SCOPED_TRACE(controller.substr(0, 20));
    KDConfig config;
    for (int o = 0; o < config.SourceCount(); o++)
      for (int d = 0; d < config.SinkCount(); d++) config.SetODProbability(o, d, -1, 1.0f);
    config.AddTrafficLight(controller, 2500, 1, 3, 0, 0, 0, 0);
    ASSERT_EQ(config.TrafficLightCount(), 1);
    std::unique_ptr<KDConfig> loaded = SaveAndOpen(config);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->TrafficLightController(0), controller);
  }
}
