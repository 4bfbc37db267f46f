#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Version.h"
#include "config/ProgramError.h"
#include "shell/BatchProgram.h"
#include "support/FakeHosts.h"
#include "support/TestFolder.h"

namespace {

// A configuration that reads; kavro-batch refuses to run on one that does not.
const std::string kExample = std::string(KAVRO_SOURCE_DIR) + "/examples/motorway-3lane.kav";
const std::string kExampleFolder = std::string(KAVRO_SOURCE_DIR) + "/examples/";

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result RunBatch(const std::vector<std::string>& parameters, BatchEngine* batch = nullptr) {
  std::ostringstream out, err;
  int status = RunBatchProgram(parameters, out, err, batch);
  return {status, out.str(), err.str()};
}

TEST(BatchProgramArguments, BadArgumentsArePrintedAndFail) {
  Result result = RunBatch({"model.kav", "foo=1", "vehicletrace=v.txt,x"});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("Bad program argument: \"foo=1\"\n"), std::string::npos);
  EXPECT_NE(result.err.find("Bad program argument: \"vehicletrace=v.txt,x\"\n"), std::string::npos);
  EXPECT_EQ(result.out, "");
  EXPECT_FALSE(TerminateRequested()) << "the program's own state is not left behind";
}

// The output's name was forgotten: no file named like an option is written.
TEST(BatchProgramArguments, AnOptionWhereAnOutputNameBelongsIsRefused) {
  const struct {
    std::vector<std::string> parameters;
    const char* err;
  } cases[] = {
      {{"--merge", "--capacity", "part.kbr"},
       "Error: Bad program argument: \"--merge\": it needs a value, but \"--capacity\" is an "
       "option\n"},
      {{kExample, "--write-config", "--check"},
       "Error: Bad program argument: \"--write-config\": it needs a value, but \"--check\" is "
       "an option\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.err);
    Result result = RunBatch(c.parameters);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, c.err);
    EXPECT_FALSE(std::filesystem::exists(c.parameters[1]));
  }
}

TEST(BatchProgramArguments, VersionUsageAndMissingConfiguration) {
  Result version = RunBatch({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "kavro-batch " + std::to_string(KAVRO_VERSION_MAJOR) + "." +
                             std::to_string(KAVRO_VERSION_MINOR) + " build " +
                             std::to_string(KAVRO_VERSION_BUILD) + "\n");
  Result none = RunBatch({});
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("Usage: kavro-batch CONFIG"), std::string::npos);
}

TEST(BatchProgramArguments, UnreadableConfigurationFailsBeforeTheBatch) {
  FakeBatchEngine batch;
  Result result = RunBatch({"/nonexistent-kavro-dir/model.kav", "batch=2,0,0,0"}, &batch);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(batch.started.Runs, 0);
  EXPECT_NE(result.err.find("/nonexistent-kavro-dir/model.kav"), std::string::npos) << result.err;
  EXPECT_EQ(result.out, "");
}

TEST(BatchProgramRun, ConfigurationAloneMakesOneRunAndSucceeds) {
  FakeBatchEngine batch;
  Result result = RunBatch({kExample}, &batch);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(batch.started.Runs, 1);
}

TEST(BatchProgramRun, UnsavedResultsFail) {
  FakeBatchEngine batch;
  batch.saveOk = false;
  Result result = RunBatch({kExample, "batch=3,0,0,0"}, &batch);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(batch.started.Runs, 3);
  EXPECT_NE(result.err.find("Warning: BatchMode switched off"), std::string::npos);
}

// Runs the built executable; returns its exit status and what it wrote to stderr.
Result RunExecutable(const std::string& arguments) {
  std::filesystem::path errFile = FreshTestFolder("batch-exe") / "stderr.txt";
  std::string command =
      std::string(KAVRO_BATCH_EXE) + " " + arguments + " 2>" + errFile.string() + " >/dev/null";
  int raw = std::system(command.c_str());
  std::ifstream in(errFile);
  std::stringstream err;
  err << in.rdbuf();
  std::filesystem::remove(errFile);
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, "", err.str()};
}

TEST(BatchProgramExecutable, BadArgumentMessageAndExitStatus) {
  Result result = RunExecutable("model.kav 'foo=1'");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "Error: Bad program argument: \"foo=1\"\n");
}

}  // namespace

// The kernel's trace lines reach the files named on the command line, each file starting with
// its header line.
TEST(BatchProgramExecutable, WritesTheKernelTraceFilesNamedOnTheCommandLine) {
  namespace fs = std::filesystem;
  fs::path folder = FreshTestFolder("batch-traces");
  fs::copy_file(fs::path(KAVRO_SOURCE_DIR) / "examples/on-ramp-taper.kav",
                folder / "on-ramp-taper.kav");
  Result result = RunExecutable((folder / "on-ramp-taper.kav").string() +
                                " detectiontrace=d.trc lanechangetrace=l.lct"
                                " odtraveltimetrace=o.odt detectortodetectortraveltimetrace=t.ddt"
                                " batch=1,0,1,40");
  EXPECT_EQ(result.status, 0) << result.err;
  const std::pair<const char*, const char*> expected[] = {
      {"d.trc", "pos (m)\tlane\tt (s)\tv (m/s)\ttype\tid\tdest"},
      {"l.lct", "t (s)\tfromln\ttolane\tpos (m)\tttype\tid"},
      {"o.odt", "t (s)\torigin\tdest\ttt (s)\tv (m/s)\ttype\tid"},
      {"t.ddt", "pos (m)\tlane\tt (s)\tdt (s)\tv (m/s)\ttype\tid\tdest"}};
  for (const auto& [name, header] : expected) {
    SCOPED_TRACE(name);
    std::ifstream in(folder / name);
    std::string first, second;
    std::getline(in, first);
    std::getline(in, second);
    EXPECT_EQ(first, header);
    EXPECT_FALSE(second.empty());
  }
  fs::remove_all(folder);
}
