// The real kavro-batch on the on-ramp example with short runs: a batch made on two threads
// leaves the files one thread leaves, and a batch split in two parts and merged gives the
// batch results file of the whole batch.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "shell/BatchExecutable.h"
#include "shell/GoldenFile.h"
#include "shell/RunTestSupport.h"
#include "support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

// Folders of this test process: suites of several worktrees may run at the same time.
fs::path ScratchRoot() { return TestFolderPath("jobs-exe"); }

// A folder holding the on-ramp example with a stop time of 600 s as ramp.kav.
fs::path ExampleFolder(const std::string& name) {
  fs::path folder = ScratchRoot() / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::unique_ptr<KDConfig> config = LoadOnRampExample();
  config->SetMaxTime(600);
  EXPECT_TRUE(WriteKavroConfig(*config, (folder / "ramp.kav").string()));
  return folder;
}

// A batch results file with the clock times of the Started and Finished columns blanked.
std::string MaskClockTimes(const std::string& text) {
  std::string masked;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    size_t tab1 = line.find('\t');
    size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    size_t tab3 = tab2 == std::string::npos ? tab2 : line.find('\t', tab2 + 1);
    size_t tab4 = tab3 == std::string::npos ? tab3 : line.find('\t', tab3 + 1);
    if (tab4 != std::string::npos && line.compare(0, 4, "Run\t") != 0)
      line = line.substr(0, tab2 + 1) + "hh:mm:ss\thh:mm:ss" + line.substr(tab4);
    masked += line + (end < text.size() ? "\n" : "");
    start = end + 1;
  }
  return masked;
}

// Every file of a folder but the configuration, by name; batch results with masked clocks.
std::map<std::string, std::string> Outputs(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name == "ramp.kav") continue;
    std::string text = ReadWholeFile(entry.path().string());
    files[name] = entry.path().extension() == ".kbr" ? MaskClockTimes(text) : text;
  }
  return files;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

const std::vector<std::string> kEveryOutput = {
    "simulationresults=r%d.ksr", "extendedresults=x%02d.ksx",
    "detectiontrace=d%d.trc",    "detectortodetectortraveltimetrace=t%d.ddt",
    "odtraveltimetrace=o%d.odt", "lanechangetrace=l%d.lct",
    "vehicletrace=v%d.txt,20",   "batch=4,0,1,40"};

TEST(BatchJobsExecutable, TwoJobsWriteEveryFileOneJobWrites) {
  std::map<std::string, std::string> outputs[2];
  std::string out[2];
  std::string err[2];
  const char* jobs[2] = {"1", "2"};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(jobs[i]);
    fs::path folder = ExampleFolder(std::string("kavro-jobs-") + jobs[i]);
    std::vector<std::string> arguments{(folder / "ramp.kav").string(), "--jobs", jobs[i]};
    arguments.insert(arguments.end(), kEveryOutput.begin(), kEveryOutput.end());
    ExeResult result = RunKavroBatch(arguments, ScratchRoot());
    ASSERT_EQ(result.status, 0) << result.err;
    outputs[i] = Outputs(folder);
    out[i] = Replace(result.out, folder.string(), "FOLDER");
    err[i] = result.err;
    fs::remove_all(folder);
  }
  // Four runs, each with its own seven files, and the batch results.
  ASSERT_EQ(outputs[0].size(), 4u * 7u + 1u);
  for (const auto& [name, text] : outputs[0]) {
    SCOPED_TRACE(name);
    ASSERT_EQ(outputs[1].count(name), 1u);
    EXPECT_FALSE(text.empty());
    EXPECT_TRUE(text == outputs[1][name]) << "the file differs between --jobs 1 and --jobs 2";
  }
  EXPECT_EQ(outputs[0]
                .at("ramp.kbr")
                .find("Run\tSeed\tStarted\tFinished\tStatus\n1\t12345\t"
                      "hh:mm:ss\thh:mm:ss\t"),
            0u);
  EXPECT_EQ(out[0], out[1]);
  EXPECT_EQ(err[0], err[1]);
  EXPECT_NE(out[0].find("Batch results: FOLDER/ramp.kbr\n"), std::string::npos) << out[0];
  fs::remove_all(ScratchRoot());
}

TEST(BatchJobsExecutable, TwoPartsMergeIntoTheWholeBatch) {
  fs::path folder = ExampleFolder("kavro-split");
  const std::string config = (folder / "ramp.kav").string();
  const fs::path scratch = ScratchRoot();
  ExeResult whole = RunKavroBatch({config, "simulationresults=r%d.ksr", "batch=4,0,1,40"}, scratch);
  ASSERT_EQ(whole.status, 0) << whole.err;
  const std::string wholeResults = ReadWholeFile((folder / "r3.ksr").string());
  fs::remove(folder / "r3.ksr");
  // The second part first: the parts are independent.
  ExeResult second = RunKavroBatch(
      {config, "simulationresults=r%d.ksr", "batch=4,0,1,40", "--runs", "3-4", "--jobs", "2"},
      scratch);
  ASSERT_EQ(second.status, 0) << second.err;
  ExeResult first =
      RunKavroBatch({config, "simulationresults=r%d.ksr", "--runs=1-2", "batch=4,0,1,40"}, scratch);
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(ReadWholeFile((folder / "r3.ksr").string()), wholeResults) << "seed of run 3 kept";
  const std::string part = ReadWholeFile((folder / "ramp.runs3-4.kbr").string());
  EXPECT_EQ(part.find("# kavro-batch part: runs 3-4 of 4, configuration "), 0u) << part;

  const std::string merged = (folder / "merged.kbr").string();
  ExeResult merge = RunKavroBatch({"--merge", merged, (folder / "ramp.runs3-4.kbr").string(),
                                   (folder / "ramp.runs1-2.kbr").string()},
                                  scratch);
  ASSERT_EQ(merge.status, 0) << merge.err;
  EXPECT_EQ(merge.err, "");
  const std::string expected = MaskClockTimes(ReadWholeFile((folder / "ramp.kbr").string()));
  EXPECT_EQ(MaskClockTimes(ReadWholeFile(merged)), expected);
  EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 5);

  // Only one part: nothing is written, an existing file stays.
  ExeResult missing =
      RunKavroBatch({"--merge", merged, (folder / "ramp.runs1-2.kbr").string()}, scratch);
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "Error: --merge: runs 3-4 of 4 are in no part\n");
  EXPECT_EQ(MaskClockTimes(ReadWholeFile(merged)), expected);
  fs::remove_all(ScratchRoot());
}

TEST(BatchJobsExecutable, BadJobsAndRunsNameTheArgument) {
  fs::path folder = ExampleFolder("kavro-jobs-args");
  const std::string config = (folder / "ramp.kav").string();
  struct Case {
    std::vector<std::string> arguments;
    const char* err;
  };
  const Case cases[] = {
      {{"--jobs", "0"}, "Error: Bad program argument: \"--jobs 0\"\n"},
      {{"--jobs", "x"}, "Error: Bad program argument: \"--jobs x\"\n"},
      {{"--runs", "3-9"}, "Error: Bad program argument: \"--runs 3-9\": the batch has 4 runs\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.err);
    std::vector<std::string> arguments{config, "batch=4,0,1,40"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    ExeResult result = RunKavroBatch(arguments, ScratchRoot());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(Outputs(folder).size(), 0u) << "no batch results written";
  }
  fs::remove_all(ScratchRoot());
}

}  // namespace
