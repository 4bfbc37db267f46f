// The old-style examples: each opens as the programs open it (its lane change areas generated
// from the road), becomes the .kav file in tests/golden, and that file is a configuration
// kavro-batch finds no problem in and that runs.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/RunSetUpCheck.h"
#include "roadview/LaneChangeGeneration.h"
#include "shell/BatchProgram.h"
#include "shell/ConfigDocument.h"
#include "shell/ConfigLoading.h"
#include "shell/GoldenFile.h"
#include "shell/TextTable.h"
#include "support/FakeHosts.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

namespace {

const char* const kDate = "Mon Jan  5 09:00:00 2026\n";

struct OldExample {
  const char* file;
  const char* golden;
  int laneDetectors;
};

const OldExample kOldExamples[] = {
    {"on-ramp-v4.kav", "old-style-on-ramp.kav", 0},
    {"exit-junction-v4.kav", "old-style-exit-junction.kav", 1},
};

std::string ExamplePath(const OldExample& example) {
  return std::string(KAVRO_SOURCE_DIR) + "/examples/old-style/" + example.file;
}

// The saved text without its version line, which follows the program's version.
std::string WithoutVersion(const std::string& text) {
  size_t first = text.find('\n');
  size_t second = first == std::string::npos ? first : text.find('\n', first + 1);
  if (second == std::string::npos) return text;
  return text.substr(0, first + 1) + text.substr(second + 1);
}

}  // namespace

TEST(OldStyleExamples, BecomeTheirGoldenKavFiles) {
  for (const OldExample& example : kOldExamples) {
    SCOPED_TRACE(example.file);
    ReportCapture capture;
    std::unique_ptr<KDConfig> config;
    ConfigReadResult result = LoadCompleteConfig(ExamplePath(example), config);
    ASSERT_TRUE(result.ok) << result.error.line << ": " << result.error.message;
    EXPECT_EQ(static_cast<int>(result.warnings.size()), example.laneDetectors ? 1 : 0);
    EXPECT_EQ(config->LaneDetectorCount(), example.laneDetectors);
    EXPECT_TRUE(CheckLaneChangeAreas(*config));
    EXPECT_EQ(RunSetUpProblem(*config), "");
    EXPECT_TRUE(capture.Empty());
    ExpectGolden(example.golden, WithoutVersion(KavroConfigText(*config, kDate)));
  }
}

TEST(OldStyleExamples, GoldenFilesPassTheCheck) {
  for (const OldExample& example : kOldExamples) {
    SCOPED_TRACE(example.file);
    std::string golden = std::string(KAVRO_GOLDEN_DIR) + "/" + example.golden;
    std::ostringstream out, err;
    EXPECT_EQ(RunBatchProgram({golden, "--check"}, out, err), 0) << err.str();
    EXPECT_EQ(out.str(), golden + ": no problems found\n");
    EXPECT_EQ(err.str(), "");
    // The old file itself checks the same way; only the lane detector warning differs.
    std::ostringstream oldOut, oldErr;
    EXPECT_EQ(RunBatchProgram({ExamplePath(example), "--check"}, oldOut, oldErr), 0)
        << oldErr.str();
  }
}

TEST(OldStyleExamples, OpenAndSaveAsTheCurrentFormat) {
  std::filesystem::path folder = FreshTestFolder("old-style-save");
  for (const OldExample& example : kOldExamples) {
    SCOPED_TRACE(example.file);
    std::string saved = (folder / example.golden).string();
    ScriptedDocumentHost host;
    host.otherAnswer = Answer::No;
    host.otherFile = saved;
    TextTable texts;
    ConfigDocument document(texts, host);
    ReportCapture capture;
    document.SetOpenDialogName(ExamplePath(example));
    ASSERT_TRUE(document.OpenConfiguration());
    EXPECT_FALSE(document.Modified());
    ASSERT_TRUE(document.SaveAs());
    EXPECT_EQ(document.CurrentFileName(), saved);
    // Saved as written, apart from the date line.
    std::string text = ReadWholeFile(saved);
    std::string golden = ReadWholeFile(std::string(KAVRO_GOLDEN_DIR) + "/" + example.golden);
    EXPECT_EQ(WithoutVersion(text).substr(text.find('\n')), golden.substr(golden.find('\n')));
    // The saved file opens again as a .kav file.
    document.SetOpenDialogName(saved);
    ASSERT_TRUE(document.OpenConfiguration());
  }
}
