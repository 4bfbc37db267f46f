#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "shell/BatchProgram.h"
#include "shell/GoldenFile.h"
#include "shell/RunTestSupport.h"
#include "shell/UnattendedBatch.h"
#include "support/TestFolder.h"

namespace {

// The on-ramp example with a 10-minute stop time, in a folder of its own.
std::string ShortExample(const std::string& folder) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::unique_ptr<KDConfig> config = LoadOnRampExample();
  config->SetMaxTime(600);
  std::string name = folder + "/ramp.kav";
  EXPECT_TRUE(WriteKavroConfig(*config, name));
  return name;
}

int RunBatch(const std::vector<std::string>& parameters, std::string& out, std::string& err) {
  std::ostringstream outStream, errStream;
  int status = RunBatchProgram(parameters, outStream, errStream);
  out = outStream.str();
  err = errStream.str();
  return status;
}

}  // namespace

TEST(UnattendedBatchProgram, RunsTheBatchAndSavesResultsTwiceAlike) {
  std::string folder = FreshTestFolder("unattended").string() + "/unattended";
  std::string config = ShortExample(folder);
  std::string out, err;
  ASSERT_EQ(0, RunBatch({config, "simulationresults=out%d.ksr", "batch=2,0,1,40"}, out, err))
      << err;
  EXPECT_EQ(0u, out.find("1\t12345\t"));
  EXPECT_NE(std::string::npos, out.find("\n2\t12347\t"));
  EXPECT_NE(std::string::npos, out.find("Batch results: " + folder + "/ramp.kbr\n"));
  std::string kbr = ReadWholeFile(folder + "/ramp.kbr");
  EXPECT_EQ(0u, kbr.find("Run\tSeed\tStarted\tFinished\tStatus\n1\t12345\t"));
  std::string first = ReadWholeFile(folder + "/out1.ksr");
  std::string second = ReadWholeFile(folder + "/out2.ksr");
  EXPECT_EQ(0u, first.find("t\tD\txquktv\t1..4\t1\t2\t3\t4\n"));
  EXPECT_NE(first, second);  // each run has its own seed

  ASSERT_EQ(0, RunBatch({config, "simulationresults=out%d.ksr", "batch=2,0,1,40"}, out, err));
  EXPECT_EQ(first, ReadWholeFile(folder + "/out1.ksr"));
  EXPECT_EQ(second, ReadWholeFile(folder + "/out2.ksr"));
  std::filesystem::remove_all(folder);
}

// A typed detector number the road does not have would quietly stop at any detector or
// report no flow; the batch page's lists cannot offer such a number.
TEST(UnattendedBatchProgram, DetectorBeyondTheRoadIsABadArgument) {
  std::string folder = FreshTestFolder("unattended-range").string() + "/unattended-range";
  std::string config = ShortExample(folder);
  const struct {
    const char* batch;
    const char* err;
  } cases[] = {
      {"batch=1,9,0,200",
       "Error: Bad program argument: \"1,9,0,200\": detector 9 is beyond the "
       "road's 4 detectors\n"},
      {"batch=1,0,5,200",
       "Error: Bad program argument: \"1,0,5,200\": detector 5 is beyond the "
       "road's 4 detectors\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.batch);
    std::string out, err;
    EXPECT_EQ(1, RunBatch({config, c.batch}, out, err));
    EXPECT_EQ(err, c.err);
    EXPECT_FALSE(std::filesystem::exists(folder + "/ramp.kbr"));
  }
  std::string out, err;
  ASSERT_EQ(0, RunBatch({config, "batch=1,4,4,200"}, out, err)) << err;
  std::filesystem::remove_all(folder);
}
