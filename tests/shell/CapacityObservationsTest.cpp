// The capacity observations file: its text, bad files named by file and line, and the join of
// the parts of one batch.

#include <gtest/gtest.h>

#include "shell/CapacityObservations.h"
#include "shell/GoldenFile.h"

namespace {

CapacityObservationsFile SampleFile() {
  CapacityObservationsFile file;
  file.FirstRun = 1;
  file.LastRun = 3;
  file.Runs = 3;
  file.Configuration = "0f1e2d3c4b5a6978";
  file.Batch = "3,0,1,40,1,12";
  file.Observations = {
      {1, 101, 300, 1800, false}, {1, 101, 600, 3600, true}, {3, 105, 300, 2400, false}};
  file.HeldBackRuns = {2};
  file.HeldBackOrigins = {"on-ramp"};
  return file;
}

const char kHead[] =
    "# kavro-batch capacity observations: runs 1-3 of 3, configuration 0f1e2d3c4b5a6978, "
    "batch=3,0,1,40,1,12\nrun\tseed\ttime\tflow\tbreakdown\n";

TEST(CapacityObservationsFile, GoldenText) {
  ExpectGolden("capacity-observations.tsv", CapacityObservationsText(SampleFile()));
}

TEST(CapacityObservationsFile, ReadsWhatItWrites) {
  CapacityObservationsFile read;
  std::string error;
  ASSERT_TRUE(
      ParseCapacityObservations("obs.tsv", CapacityObservationsText(SampleFile()), read, error))
      << error;
  EXPECT_EQ(read.Observations.size(), 3u);
  EXPECT_TRUE(read.Observations[1].Breakdown);
  EXPECT_EQ(read.Observations[2].Seed, 105);
  ASSERT_EQ(read.HeldBackRuns.size(), 1u);
  EXPECT_EQ(read.HeldBackOrigins[0], "on-ramp");
  EXPECT_EQ(read.Batch, "3,0,1,40,1,12");
}

// Origin names that a plain quoted text would not hold read back whole.
TEST(CapacityObservationsFile, ReadsBackEveryOriginName) {
  for (const std::string& origin :
       {std::string("ramp \"north\""), std::string(300, 'o'), std::string("a\tb\\c\nd\x01\xe9")}) {
    SCOPED_TRACE(origin);
    CapacityObservationsFile file = SampleFile();
    file.HeldBackOrigins = {origin};
    CapacityObservationsFile read;
    std::string error;
    ASSERT_TRUE(ParseCapacityObservations("obs.tsv", CapacityObservationsText(file), read, error))
        << error;
    EXPECT_EQ(read.HeldBackOrigins, file.HeldBackOrigins);
  }
}

TEST(CapacityObservationsFile, ReadsCrLfLines) {
  std::string text = CapacityObservationsText(SampleFile());
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  CapacityObservationsFile read;
  std::string error;
  EXPECT_TRUE(ParseCapacityObservations("obs.tsv", crlf, read, error)) << error;
}

TEST(CapacityObservationsFile, BadFilesNameFileAndLine) {
  struct Case {
    std::string text;
    std::string error;
  };
  const std::string head = kHead;
  // The rest of a file after its first line.
  const std::string rest = "\nrun\tseed\ttime\tflow\tbreakdown\n# end: 0 observations\n";
  const Case cases[] = {
      {"", "obs.tsv:1: the file is empty"},
      {"Run\tSeed\tStarted\tFinished\tStatus\n",
       "obs.tsv:1: not a capacity observations file of kavro-batch (its first line is \"# "
       "kavro-batch capacity observations: runs A-B of N, configuration ..., batch=...\")"},
      {std::string(kHead).substr(0, std::string(kHead).find('\n') + 1) + "run\tseed\n",
       "obs.tsv:2: the header line \"run\\tseed\\ttime\\tflow\\tbreakdown\" is missing"},
      {head + "1\t101\t300\t1800\t0\n",
       "obs.tsv:3: the file ends without its end line (truncated?)"},
      {head + "1\t101\t300\t1800\n# end: 1 observations\n",
       "obs.tsv:3: 4 fields where run, seed, time, flow and breakdown are expected"},
      {head + "4\t101\t300\t1800\t0\n# end: 1 observations\n",
       "obs.tsv:3: run \"4\" is not one of runs 1-3"},
      {head + "1\t101\t300\t18x0\t0\n# end: 1 observations\n", "obs.tsv:3: bad flow \"18x0\""},
      {head + "1\t101\t300\t" + std::string(100, '9') + "x\t0\n# end: 1 observations\n",
       "obs.tsv:3: bad flow \"" + std::string(80, '9') + "...\""},
      {head + "1\t101\t300\t1800\t2\n# end: 1 observations\n",
       "obs.tsv:3: breakdown \"2\" is neither 0 nor 1"},
      {head + "2\t103\t300\t1800\t0\n1\t101\t300\t1800\t0\n# end: 2 observations\n",
       "obs.tsv:4: runs out of order"},
      {head + "1\t101\t300\t1800\t1\n1\t101\t600\t1900\t0\n# end: 2 observations\n",
       "obs.tsv:4: run 1 goes on after its breakdown"},
      {head + "1\t101\t300\t1800\t0\n# end: 2 observations\n",
       "obs.tsv:4: the end line counts 2 observations, the file holds 1"},
      {head + "# end: 0 observations\n1\t101\t300\t1800\t0\n",
       "obs.tsv:4: text after the end line"},
      {head + "# something else\n# end: 0 observations\n", "obs.tsv:3: unknown comment line"},
      {head + "# run 2: origin \"a\"b\" held vehicles back for longer than one detector "
              "period\n# end: 0 observations\n",
       "obs.tsv:3: unknown comment line"},
      // The same period of a run twice, or back in time.
      {head + "1\t101\t300\t1800\t0\n1\t101\t300\t1800\t0\n# end: 2 observations\n",
       "obs.tsv:4: time 300 of run 1 does not follow its time 300"},
      {head + "1\t101\t600\t1800\t0\n1\t101\t300\t1800\t1\n# end: 2 observations\n",
       "obs.tsv:4: time 300 of run 1 does not follow its time 600"},
      // A first line that does not fit the batch it names.
      {"# kavro-batch capacity observations: runs 1-2 of 2, configuration 0f1e2d3c4b5a6978, "
       "batch=4,0,1,40,1,12" +
           rest,
       "obs.tsv:1: \"of 2\", but batch=4,0,1,40,1,12 makes 4 runs"},
      {"# kavro-batch capacity observations: runs 1-2 of 4294967298, configuration "
       "0f1e2d3c4b5a6978, batch=4294967298,0,1,40,1,12" +
           rest,
       "obs.tsv:1: 4294967298 runs are not a batch of 1 to 10000 runs"},
      {"# kavro-batch capacity observations: runs 1-2 of 4, configuration 0f1e2d3c4b5a697, "
       "batch=4,0,1,40,1,12" +
           rest,
       "obs.tsv:1: the configuration fingerprint \"0f1e2d3c4b5a697\" is not 16 hexadecimal "
       "digits"},
      {"# kavro-batch capacity observations: runs 1-2 of 4, configuration 0f1e2d3c4b5a69781, "
       "batch=4,0,1,40,1,12" +
           rest,
       "obs.tsv:1: the configuration fingerprint \"0f1e2d3c4b5a69781\" is not 16 hexadecimal "
       "digits"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CapacityObservationsFile read;
    std::string error;
    EXPECT_FALSE(ParseCapacityObservations("obs.tsv", c.text, read, error));
    EXPECT_EQ(error, c.error);
  }
}

TEST(CapacityObservationsJoin, PartsInAnyOrderGiveTheWhole) {
  CapacityObservationsFile first = SampleFile();
  first.LastRun = 2;
  first.Observations.pop_back();
  CapacityObservationsFile second = SampleFile();
  second.FirstRun = second.LastRun = 3;
  second.Observations = {SampleFile().Observations[2]};
  second.HeldBackRuns.clear();
  second.HeldBackOrigins.clear();
  CapacityObservationsFile joined;
  std::string error;
  ASSERT_TRUE(JoinCapacityObservations({"b.tsv", "a.tsv"}, {second, first}, joined, error));
  EXPECT_EQ(CapacityObservationsText(joined), CapacityObservationsText(SampleFile()));
}

TEST(CapacityObservationsJoin, RefusesOtherBatchesAndOverlaps) {
  CapacityObservationsFile other = SampleFile();
  other.Configuration = "1111111111111111";
  CapacityObservationsFile joined;
  std::string error;
  EXPECT_FALSE(JoinCapacityObservations({"a.tsv", "b.tsv"}, {SampleFile(), other}, joined, error));
  EXPECT_EQ(error, "b.tsv:1: observations of another configuration or batch than a.tsv");
  EXPECT_FALSE(
      JoinCapacityObservations({"a.tsv", "b.tsv"}, {SampleFile(), SampleFile()}, joined, error));
  EXPECT_EQ(error, "b.tsv:1: runs 1-3 overlap runs of another file");
}

}  // namespace
