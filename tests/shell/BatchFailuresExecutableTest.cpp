// The real kavro-batch where an output cannot be written or an argument is wrong: every such
// failure names its file or argument and ends with a non-zero exit status, and what was there
// before stays as it was.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "shell/BatchExecutable.h"
#include "shell/GoldenFile.h"
#include "shell/RunTestSupport.h"
#include "support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

fs::path ScratchRoot() { return TestFolderPath("failures-exe"); }

ExeResult RunKavroBatch(const std::vector<std::string>& arguments) {
  return ::RunKavroBatch(arguments, ScratchRoot());
}

// A folder holding the on-ramp example with a stop time of 120 s as ramp.kav, changed by `edit`.
fs::path ExampleFolder(const std::string& name, void (*edit)(KDConfig&) = nullptr) {
  fs::path folder = ScratchRoot() / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::unique_ptr<KDConfig> config = LoadOnRampExample();
  config->SetMaxTime(120);
  if (edit) edit(*config);
  EXPECT_TRUE(WriteKavroConfig(*config, (folder / "ramp.kav").string()));
  return folder;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// No temporary file of a save is left behind.
void ExpectNoTemporaryFiles(const fs::path& folder) {
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
    EXPECT_NE(entry.path().extension(), ".kavro-tmp") << entry.path();
}

class BatchFailuresExecutable : public testing::Test {
 protected:
  void TearDown() override { fs::remove_all(ScratchRoot()); }
};

}  // namespace

TEST_F(BatchFailuresExecutable, AFolderInPlaceOfTheResultsFails) {
  fs::path folder = ExampleFolder("results-folder");
  fs::create_directory(folder / "out.ksr");
  ExeResult result = RunKavroBatch(
      {(folder / "ramp.kav").string(), "simulationresults=" + (folder / "out.ksr").string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(Contains(result.err, "Cannot write to file \"" + (folder / "out.ksr").string() +
                                       "\": it is a folder."))
      << result.err;
  EXPECT_TRUE(fs::is_directory(folder / "out.ksr"));
  // The batch results still say which run lost which file.
  EXPECT_TRUE(Contains(ReadWholeFile((folder / "ramp.kbr").string()),
                       "files not written: " + (folder / "out.ksr").string()));
  ExpectNoTemporaryFiles(folder);
}

TEST_F(BatchFailuresExecutable, AFolderInPlaceOfTheVehicleTraceFails) {
  fs::path folder = ExampleFolder("vehicle-folder");
  fs::create_directory(folder / "veh");
  ExeResult result = RunKavroBatch({(folder / "ramp.kav").string(), "vehicletrace=veh,5"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(Contains(
      result.err, "Cannot write to file \"" + (folder / "veh").string() + "\": it is a folder."))
      << result.err;
  EXPECT_TRUE(fs::is_directory(folder / "veh"));
}

TEST_F(BatchFailuresExecutable, ADeviceForResultsAndTracesFailsAndStaysADevice) {
  fs::path folder = ExampleFolder("device");
  ExeResult result = RunKavroBatch(
      {(folder / "ramp.kav").string(), "simulationresults=/dev/full", "detectiontrace=/dev/full"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(Contains(result.err, "Cannot write to file \"/dev/full\": it is not a regular file."))
      << result.err;
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

// One run of a batch cannot write its file: the batch goes on, its results record the run's
// status, and the exit status says that not everything was written.
TEST_F(BatchFailuresExecutable, ARunThatLostAFileIsRecordedAndTheBatchGoesOn) {
  fs::path folder = ExampleFolder("per-run");
  fs::create_directory(folder / "r0002.ksr");
  ExeResult result = RunKavroBatch({(folder / "ramp.kav").string(), "simulationresults=r%04d.ksr",
                                    "batch=3,0,0,40", "--jobs", "2"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(Contains(result.err, "kavro-batch: 1 run could not write all its files"))
      << result.err;
  EXPECT_TRUE(fs::is_regular_file(folder / "r0001.ksr"));
  EXPECT_TRUE(fs::is_regular_file(folder / "r0003.ksr"));
  const std::string results = ReadWholeFile((folder / "ramp.kbr").string());
  EXPECT_EQ(std::count(results.begin(), results.end(), '\n'), 4) << results;
  EXPECT_TRUE(Contains(results, "files not written: " + (folder / "r0002.ksr").string() + "\n"))
      << results;
  EXPECT_EQ(results.find("not written"), results.rfind("not written")) << "only run 2 lost a file";
  ExpectNoTemporaryFiles(folder);
}

// A demand no lane can carry stops every run in the kernel: the batch still ends and saves its
// results, which name the error, but the exit status says the runs measured nothing.
TEST_F(BatchFailuresExecutable, RunsThatEndInAnErrorFailTheBatch) {
  fs::path folder = ExampleFolder("flow", [](KDConfig& config) {
    for (int origin = 0; origin < config.SourceCount(); ++origin) config.SetOFlow(origin, 0, 99999);
  });
  ExeResult result = RunKavroBatch({(folder / "ramp.kav").string(), "batch=2,0,0,40"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(Contains(result.err, "kavro-batch: 2 runs ended in an error")) << result.err;
  const std::string results = ReadWholeFile((folder / "ramp.kbr").string());
  EXPECT_TRUE(Contains(results, "Requested flow too high")) << results;
}

TEST_F(BatchFailuresExecutable, AFifoIsNeverReplacedByWriteConfig) {
  fs::path folder = ExampleFolder("fifo");
  ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
  ExeResult result =
      RunKavroBatch({(folder / "ramp.kav").string(), "--write-config", (folder / "pipe").string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "Cannot write to file \"" + (folder / "pipe").string() +
                            "\": it is not a regular file.\n");
  EXPECT_TRUE(fs::is_fifo(folder / "pipe"));
  ExpectNoTemporaryFiles(folder);
}

TEST_F(BatchFailuresExecutable, BadArgumentsEndWithTheirMessageAndWriteNothing) {
  fs::path folder = ExampleFolder("arguments");
  const std::string config = (folder / "ramp.kav").string();
  struct Case {
    std::vector<std::string> arguments;
    const char* err;
  };
  const Case cases[] = {
      {{""}, "Error: Bad program argument: \"\"\n"},
      {{"batch=0,0,0,0"},
       "Error: Bad program argument: \"0,0,0,0\": The valid range is 1..10000\n"},
      {{"batch=10002,0,0,0"},
       "Error: Bad program argument: \"10002,0,0,0\": The valid range is 1..10000\n"},
      {{"batch=-1,0,0,0"},
       "Error: Bad program argument: \"-1,0,0,0\": The valid range is 1..10000\n"},
      {{"batch=1,0,0,0,1,12,99xyz"}, "Error: Bad program argument: \"1,0,0,0,1,12,99xyz\"\n"},
      // An option in place of a value: the value was forgotten.
      {{"--capacity", "batch=5,0,1,40"},
       "Error: Bad program argument: \"--capacity\": it needs a value, but \"batch=5,0,1,40\" "
       "is an option\n"},
      {{"batch=2,0,0,40", "--jobs", "--runs", "1-2"},
       "Error: Bad program argument: \"--jobs\": it needs a value, but \"--runs\" is an option\n"},
      {{"detectiontrace=t%0999d.trc"},
       "Error: Bad program argument: \"detectiontrace=t%0999d.trc\": a run number can be at most "
       "255 characters wide: a file name holds no more\n"},
      {{"simulationresults=r%2147483648d.ksr"},
       "Error: Bad program argument: \"simulationresults=r%2147483648d.ksr\": a run number can be "
       "at most 255 characters wide: a file name holds no more\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.err);
    std::vector<std::string> arguments{config};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    ExeResult result = RunKavroBatch(arguments);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
        << "nothing but the configuration";
  }
}

// Two files of one batch that are one file would lose one of them, or the configuration.
TEST_F(BatchFailuresExecutable, OutputsThatAreOneFileAreRefusedNamingBoth) {
  fs::path folder = ExampleFolder("one-file");
  const std::string config = (folder / "ramp.kav").string();
  const std::string before = ReadWholeFile(config);
  fs::create_symlink("ramp.kav", folder / "link.kav");
  const std::string f = folder.string();
  struct Case {
    std::vector<std::string> arguments;
    std::string err;
  };
  const Case cases[] = {
      {{"simulationresults=ramp.kav"},
       "\"simulationresults=ramp.kav\": its file \"" + f + "/ramp.kav\" is also the configuration"},
      {{"simulationresults=./ramp.kav"},
       "\"simulationresults=./ramp.kav\": its file \"" + f +
           "/./ramp.kav\" is also the configuration"},
      {{"extendedresults=link.kav"},
       "\"extendedresults=link.kav\": its file \"" + f + "/link.kav\" is also the configuration"},
      {{"detectiontrace=out.txt", "simulationresults=out.txt"},
       "\"simulationresults=out.txt\": its file \"" + f +
           "/out.txt\" is also the file of \"detectiontrace=out.txt\""},
      {{"simulationresults=ramp.kbr"},
       "\"simulationresults=ramp.kbr\": its file \"" + f +
           "/ramp.kbr\" is also the batch results file"},
      {{"lanechangetrace=ramp.log"},
       "\"lanechangetrace=ramp.log\": its file \"" + f + "/ramp.log\" is also the log"},
      {{"--capacity", f + "/ramp.kbr"},
       "\"--capacity " + f + "/ramp.kbr\": its file \"" + f +
           "/ramp.kbr\" is also the batch results file"},
      // The trace of run 2 is the file the detection trace writes in every run.
      {{"batch=3,0,0,40", "vehicletrace=t%d.txt", "detectiontrace=t2.txt"},
       "\"detectiontrace=t2.txt\": its file \"" + f +
           "/t2.txt\" is also the file of \"vehicletrace=t%d.txt\""},
      {{"batch=3,0,0,40", "simulationresults=r%d.x", "extendedresults=r%1d.x"},
       "\"extendedresults=r%1d.x\": its file \"" + f +
           "/r1.x\" in run 1 is also the file of \"simulationresults=r%d.x\""},
      {{"batch=3,0,0,40", "--runs", "2-3", "simulationresults=r%d.x", "extendedresults=r3.x"},
       "\"extendedresults=r3.x\": its file \"" + f +
           "/r3.x\" is also the file of \"simulationresults=r%d.x\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.err);
    std::vector<std::string> arguments{config};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    ExeResult result = RunKavroBatch(arguments);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Error: Bad program argument: " + c.err + "\n");
    EXPECT_TRUE(ReadWholeFile(config) == before) << "the configuration stays as it was";
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2)
        << "nothing but the configuration and its link";
  }
}

// Every file read must be a regular file of at most 256 MB: a pipe would wait for a writer
// forever, a device such as /dev/zero would never end.
TEST_F(BatchFailuresExecutable, InputsThatAreNoRegularFileOrTooLargeAreRefused) {
  fs::path folder = ExampleFolder("inputs");
  const std::string f = folder.string();
  ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
  std::ofstream(folder / "big").close();
  fs::resize_file(folder / "big", (std::uintmax_t{256} << 20) + 1);  // sparse: takes no space
  const std::string pipe = f + "/pipe";
  const std::string big = f + "/big";
  const std::string out = f + "/out.kbr";
  struct Case {
    std::vector<std::string> arguments;
    std::string err;
  };
  const Case cases[] = {
      {{pipe}, "Error: Cannot open file \"" + pipe + "\" for reading: it is not a regular file\n"},
      {{"/dev/zero", "batch=1,0,0,40"},
       "Error: Cannot open file \"/dev/zero\" for reading: it is not a regular file\n"},
      {{big}, "Error: Cannot open file \"" + big + "\" for reading: it is larger than 256 MB\n"},
      {{f, "--check"}, "Cannot open file \"" + f + "\" for reading: it is a folder\n"},
      {{pipe, "--write-config", out},
       "Cannot open file \"" + pipe + "\" for reading: it is not a regular file\n"},
      {{"--merge", out, pipe},
       "Error: --merge: cannot read \"" + pipe + "\": it is not a regular file\n"},
      {{"--merge", out, big},
       "Error: --merge: cannot read \"" + big + "\": it is larger than 256 MB\n"},
      {{"--capacity-report", pipe},
       "Error: cannot read \"" + pipe + "\": it is not a regular file\n"},
      {{"--capacity-report", "/dev/zero"},
       "Error: cannot read \"/dev/zero\": it is not a regular file\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.err);
    ExeResult result = RunKavroBatch(c.arguments);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(Contains(result.err, c.err)) << result.err;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_TRUE(fs::is_fifo(folder / "pipe"));
  }
}

TEST_F(BatchFailuresExecutable, SeedsBeyondTheRangeAreRefusedNamingTheLargestBaseSeed) {
  fs::path folder = ExampleFolder("seed", [](KDConfig& config) { config.SetSeed(2147483647); });
  ExeResult result = RunKavroBatch({(folder / "ramp.kav").string(), "batch=2,0,0,40"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(Contains(result.err, "The largest random seed for 2 runs is 2147483645."))
      << result.err;
  EXPECT_FALSE(fs::exists(folder / "ramp.kbr"));
  // One run with that seed is fine.
  ExeResult one = RunKavroBatch({(folder / "ramp.kav").string(), "batch=1,0,0,40"});
  EXPECT_EQ(one.status, 0) << one.err;
}

TEST_F(BatchFailuresExecutable, ABatchWithoutDetectorsIsRefusedUpFront) {
  fs::path folder = ExampleFolder("no-detector", [](KDConfig& config) {
    while (config.DetectorCount() > 0) config.DeleteDetector(0);
  });
  const std::string config = (folder / "ramp.kav").string();
  ExeResult check = RunKavroBatch({config, "--check"});
  EXPECT_EQ(check.status, 0);
  EXPECT_EQ(check.err, "Warning: At least one detector must be created for batch operation.\n");
  ExeResult batch = RunKavroBatch({config, "batch=3,0,0,40", "simulationresults=r%d.ksr"});
  EXPECT_EQ(batch.status, 1);
  EXPECT_TRUE(Contains(batch.err, "At least one detector must be created for batch operation."))
      << batch.err;
  EXPECT_FALSE(Contains(batch.err, "Do you want")) << "nobody can answer here";
  EXPECT_FALSE(fs::exists(folder / "r1.ksr"));
}

TEST_F(BatchFailuresExecutable, MergeRefusesACutOffPartAndWritesNothing) {
  fs::path folder = ExampleFolder("merge-cut");
  const std::string config = (folder / "ramp.kav").string();
  ASSERT_EQ(RunKavroBatch({config, "batch=2,0,0,40", "--runs", "1-1"}).status, 0);
  ASSERT_EQ(RunKavroBatch({config, "batch=2,0,0,40", "--runs", "2-2"}).status, 0);
  const std::string second = (folder / "ramp.runs2-2.kbr").string();
  std::string text = ReadWholeFile(second);
  fs::resize_file(second, text.size() - 1);
  const std::string merged = (folder / "merged.kbr").string();
  ExeResult merge =
      RunKavroBatch({"--merge", merged, (folder / "ramp.runs1-1.kbr").string(), second});
  EXPECT_EQ(merge.status, 1);
  EXPECT_EQ(merge.err, "Error: --merge: the last line of \"" + second +
                           "\" is incomplete: the file was cut off\n");
  EXPECT_FALSE(fs::exists(merged));
}

namespace {

// Starts kavro-batch with `arguments`, waits for its first line on the standard output (the
// first run has ended) and kills it.
void KillAfterFirstRun(const std::vector<std::string>& arguments) {
  int pipeEnds[2];
  ASSERT_EQ(::pipe(pipeEnds), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::dup2(pipeEnds[1], STDOUT_FILENO);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    std::vector<char*> argv{const_cast<char*>(KAVRO_BATCH_EXE)};
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(KAVRO_BATCH_EXE, argv.data());
    ::_exit(127);
  }
  ::close(pipeEnds[1]);
  char c = 0;
  while (::read(pipeEnds[0], &c, 1) == 1 && c != '\n') {
  }
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  ::close(pipeEnds[0]);
  EXPECT_TRUE(WIFSIGNALED(status)) << "the batch ended before it was killed";
}

}  // namespace

// A batch killed while it runs leaves each of its files either as it was before or complete.
TEST_F(BatchFailuresExecutable, AKilledBatchLeavesEveryOlderFileWhole) {
  const std::vector<std::string> outputs = {"simulationresults=r%d.ksr",
                                            "detectiontrace=d%d.trc",
                                            "vehicletrace=v%d.txt,10",
                                            "batch=4,0,0,40",
                                            "--jobs",
                                            "1"};
  auto edit = [](KDConfig& config) { config.SetMaxTime(900); };
  fs::path complete = ExampleFolder("kill-complete", edit);
  std::vector<std::string> arguments{(complete / "ramp.kav").string()};
  arguments.insert(arguments.end(), outputs.begin(), outputs.end());
  ASSERT_EQ(RunKavroBatch(arguments).status, 0);

  fs::path folder = ExampleFolder("kill", edit);
  std::vector<std::string> names{"ramp.kbr"};
  for (int run = 1; run <= 4; ++run)
    for (const char* pattern : {"r%d.ksr", "d%d.trc", "v%d.txt"})
      names.push_back(Format(pattern, run));
  for (const std::string& name : names) std::ofstream(folder / name) << "older\n";
  arguments[0] = (folder / "ramp.kav").string();
  KillAfterFirstRun(arguments);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::string text = ReadWholeFile((folder / name).string());
    if (text != "older\n") {
      EXPECT_TRUE(text == ReadWholeFile((complete / name).string())) << "a file cut short";
    }
  }
  EXPECT_NE(ReadWholeFile((folder / "r1.ksr").string()), "older\n") << "run 1 was complete";
  EXPECT_EQ(ReadWholeFile((folder / "ramp.kbr").string()), "older\n");

  // The batch made again replaces every file and leaves no temporary file behind.
  ASSERT_EQ(RunKavroBatch(arguments).status, 0);
  for (const std::string& name : names) {
    if (name == "ramp.kbr") continue;
    SCOPED_TRACE(name);
    EXPECT_TRUE(ReadWholeFile((folder / name).string()) ==
                ReadWholeFile((complete / name).string()));
  }
  ExpectNoTemporaryFiles(folder);
}
