// kavro-batch --capacity and --capacity-report on the on-ramp example with short runs: the
// observations do not depend on --jobs, parts join into the whole batch's estimate, and bad
// files are named with their line.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "shell/GoldenFile.h"
#include "shell/RunTestSupport.h"
#include "support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

struct ExeResult {
  int status;
  std::string out;
  std::string err;
};

fs::path ScratchRoot() { return TestFolderPath("capacity-exe"); }

ExeResult RunKavroBatch(const std::vector<std::string>& arguments) {
  std::string command = std::string("'") + KAVRO_BATCH_EXE + "'";
  for (const std::string& argument : arguments) command += " '" + argument + "'";
  const fs::path out = ScratchRoot() / "stdout.txt";
  const fs::path err = ScratchRoot() / "stderr.txt";
  command += " >'" + out.string() + "' 2>'" + err.string() + "'";
  int raw = std::system(command.c_str());
  ExeResult result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWholeFile(out.string()),
                   ReadWholeFile(err.string())};
  fs::remove(out);
  fs::remove(err);
  return result;
}

// The on-ramp example with a stop time of 900 s as ramp.kav in a folder of its own.
fs::path ExampleFolder(const std::string& name) {
  fs::path folder = ScratchRoot() / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::unique_ptr<KDConfig> config = LoadOnRampExample();
  config->SetMaxTime(900);
  EXPECT_TRUE(WriteKavroConfig(*config, (folder / "ramp.kav").string()));
  return folder;
}

// What kavro-batch prints after "Capacity observations: FILE".
std::string SummaryPart(const std::string& out) {
  size_t at = out.find("Capacity observations: ");
  if (at == std::string::npos) return "";
  return out.substr(out.find('\n', at) + 1);
}

// A drop speed of 80 km/h makes breakdowns within the short runs; others stay censored.
const char kBatch[] = "batch=6,0,1,80";

TEST(CapacityExecutable, ObservationsDoNotDependOnJobs) {
  std::string observations[2];
  std::string out[2];
  const char* jobs[2] = {"1", "2"};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(jobs[i]);
    fs::path folder = ExampleFolder(std::string("jobs-") + jobs[i]);
    const std::string obs = (folder / "obs.tsv").string();
    ExeResult result = RunKavroBatch(
        {(folder / "ramp.kav").string(), kBatch, "--jobs", jobs[i], "--capacity", obs});
    ASSERT_EQ(result.status, 0) << result.err;
    observations[i] = ReadWholeFile(obs);
    out[i] = SummaryPart(result.out);
  }
  // The configuration files differ in their date line only; the observations must not differ.
  auto afterFirstLine = [](const std::string& text) { return text.substr(text.find('\n')); };
  EXPECT_EQ(afterFirstLine(observations[0]), afterFirstLine(observations[1]));
  EXPECT_EQ(out[0], out[1]);
  EXPECT_EQ(observations[0].find("# kavro-batch capacity observations: runs 1-6 of 6, "), 0u);
  EXPECT_NE(observations[0].find("\nrun\tseed\ttime\tflow\tbreakdown\n1\t12345\t"),
            std::string::npos)
      << observations[0];
  EXPECT_EQ(out[0].find("runs\t6\nbreakdowns\t"), 0u) << out[0];
  EXPECT_NE(out[0].find("\n\nflow\tat_risk\tbreakdowns\tdistribution\n"), std::string::npos);
  fs::remove_all(ScratchRoot());
}

TEST(CapacityExecutable, PartsJoinIntoTheWholeBatchEstimate) {
  fs::path folder = ExampleFolder("parts");
  const std::string config = (folder / "ramp.kav").string();
  const std::string obs = (folder / "obs.tsv").string();
  ExeResult whole = RunKavroBatch({config, kBatch, "--capacity", obs});
  ASSERT_EQ(whole.status, 0) << whole.err;
  ExeResult second = RunKavroBatch({config, kBatch, "--runs", "4-6", "--capacity", obs});
  ASSERT_EQ(second.status, 0) << second.err;
  ExeResult first = RunKavroBatch({config, kBatch, "--runs", "1-3", "--capacity", obs});
  ASSERT_EQ(first.status, 0) << first.err;
  ExeResult report = RunKavroBatch({"--capacity-report", (folder / "obs.runs4-6.tsv").string(),
                                    (folder / "obs.runs1-3.tsv").string()});
  ASSERT_EQ(report.status, 0) << report.err;
  EXPECT_EQ(report.out, SummaryPart(whole.out));
  ExeResult again = RunKavroBatch({"--capacity-report", obs});
  EXPECT_EQ(again.out, SummaryPart(whole.out));

  // One part twice overlaps; a batch results file is no observations file.
  ExeResult twice = RunKavroBatch({"--capacity-report", (folder / "obs.runs1-3.tsv").string(),
                                   (folder / "obs.runs1-3.tsv").string()});
  EXPECT_EQ(twice.status, 1);
  EXPECT_EQ(twice.out, "");
  EXPECT_NE(twice.err.find("obs.runs1-3.tsv:1: runs 1-3 overlap"), std::string::npos) << twice.err;
  ExeResult foreign = RunKavroBatch({"--capacity-report", (folder / "ramp.kbr").string()});
  EXPECT_EQ(foreign.status, 1);
  EXPECT_NE(foreign.err.find("ramp.kbr:1: not a capacity observations file"), std::string::npos)
      << foreign.err;
  fs::remove_all(ScratchRoot());
}

TEST(CapacityExecutable, TruncatedFileIsRefusedWithItsLine) {
  fs::path folder = ExampleFolder("truncated");
  const std::string obs = (folder / "obs.tsv").string();
  ExeResult whole = RunKavroBatch({(folder / "ramp.kav").string(), kBatch, "--capacity", obs});
  ASSERT_EQ(whole.status, 0) << whole.err;
  std::string text = ReadWholeFile(obs);
  text.resize(text.rfind("# end"));
  std::ofstream(obs, std::ios::binary) << text;
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  ExeResult report = RunKavroBatch({"--capacity-report", obs});
  EXPECT_EQ(report.status, 1);
  EXPECT_EQ(report.err, "Error: " + obs + ":" + std::to_string(lines) +
                            ": the file ends without its end line (truncated?)\n");
  ExeResult missing = RunKavroBatch({"--capacity-report", (folder / "none.tsv").string()});
  EXPECT_EQ(missing.status, 1);
  fs::remove_all(ScratchRoot());
}

}  // namespace
