#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/ConfigRW.h"
#include "config/ConfigTestFiles.h"
#include "config/KDConfig.h"
#include "shell/BatchProgram.h"
#include "shell/ConfigFileCommands.h"
#include "support/FileText.h"
#include "support/TestFolder.h"

namespace {

std::string Folder(const std::string& name) { return FreshTestFolder("cmd-" + name).string(); }

struct BatchRun {
  int status;
  std::string out;
  std::string err;
};

BatchRun Batch(const std::vector<std::string>& parameters) {
  std::ostringstream out, err;
  int status = RunBatchProgram(parameters, out, err);
  return {status, out.str(), err.str()};
}

const std::string kExamples = std::string(KAVRO_SOURCE_DIR) + "/examples/";

}  // namespace

TEST(ConfigFileCheck, AGoodFileHasNoProblems) {
  BatchRun run = Batch({kExamples + "weaving.kav", "--check"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, kExamples + "weaving.kav: no problems found\n");
}

TEST(ConfigFileCheck, ABatchThatCouldNotStartIsAWarning) {
  std::unique_ptr<KDConfig> config;
  ASSERT_TRUE(LoadConfig(kExamples + "weaving.kav", config).ok);
  while (config->DetectorCount() > 0) config->DeleteDetector(0);
  std::string path = Folder("check-batch") + "/nodetector.kav";
  ASSERT_TRUE(WriteKavroConfig(*config, path));
  BatchRun run = Batch({path, "--check"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "Warning: At least one detector must be created for batch operation.\n");
  EXPECT_EQ(run.out, path + ": no problems found\n");
}

TEST(ConfigFileCheck, ReportsTheProblemWithItsLine) {
  std::string path = Folder("check") + "/bad.kav";
  std::ofstream(path) << EditedConfigText({{24, {"vehicle general param  0: 3.0 lane changes"}},
                                           {29, {"vehicle probabilities  1: 0.50 0.45"}}});
  BatchRun run = Batch({path, "--check"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Warning: " + path + "(24): Unknown parameter \"lane changes\" (ignored)\n" +
                         "Warning: " + path +
                         "(24): Unknown parameter \"lane changes\" (ignored)\n" + path +
                         "(line 29): Sum of probabilities less than 1.0\n" +
                         "vehicle probabilities  1: 0.50 0.45\n");
}

TEST(ConfigFileCheck, AMissingFileIsReported) {
  std::string path = Folder("missing") + "/none.kav";
  BatchRun run = Batch({path, "--check"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Cannot open file \"" + path + "\" for reading: No such file or directory\n");
}

TEST(ConfigFileWrite, WritesTheFileAgainInTheProgramsFormat) {
  std::string folder = Folder("write");
  // A hand-written file: comments left out, CR LF line ends.
  std::string text;
  for (const std::string& line : BaseConfigLines()) text += line + "\r\n";
  std::ofstream(folder + "/in.kav", std::ios::binary) << text;
  BatchRun run = Batch({folder + "/in.kav", "--write-config", folder + "/out.kav"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::string written = ReadWholeFile(folder + "/out.kav");
  EXPECT_NE(written.find("\n#source locations and names"), std::string::npos);
  EXPECT_EQ(written.find('\r'), std::string::npos);
  // Writing the written file again changes nothing but the date line.
  BatchRun again = Batch({folder + "/out.kav", "--write-config", folder + "/again.kav"});
  ASSERT_EQ(again.status, 0) << again.err;
  std::string rewritten = ReadWholeFile(folder + "/again.kav");
  EXPECT_EQ(rewritten.substr(rewritten.find('\n')), written.substr(written.find('\n')));
}

TEST(ConfigFileWrite, ABadFileIsNotWritten) {
  std::string folder = Folder("nowrite");
  std::ofstream(folder + "/in.kav") << EditedConfigText({{38, {}}});
  BatchRun run = Batch({folder + "/in.kav", "--write-config", folder + "/out.kav"});
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(std::filesystem::exists(folder + "/out.kav"));
  run = Batch({kExamples + "lane-drop.kav", "--write-config", folder + "/no/out.kav"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "Cannot write to file \"" + folder + "/no/out.kav\": No such file or directory.\n");
}

TEST(ConfigFileCommand, MalformedCommandsShowTheUsage) {
  EXPECT_EQ(Batch({"a.kav", "--write-config"}).status, 2);
  EXPECT_EQ(Batch({"a.kav", "--check", "extra"}).status, 2);
}

TEST(ConfigFileCommand, ExecutableExitsWithTheCheckResult) {
  std::string folder = Folder("exe");
  std::ofstream(folder + "/bad.kav") << EditedConfigText({{3, {"sections:  2000  -5"}}});
  std::string command = std::string(KAVRO_BATCH_EXE) + " " + folder + "/bad.kav --check 2>" +
                        folder + "/err.txt >/dev/null";
  int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 1);
  EXPECT_EQ(ReadWholeFile(folder + "/err.txt"),
            folder + "/bad.kav(line 3): Bad section position\nsections:  2000  -5\n");
  command =
      std::string(KAVRO_BATCH_EXE) + " " + kExamples + "motorway-3lane.kav --check >/dev/null";
  raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 0);
}
