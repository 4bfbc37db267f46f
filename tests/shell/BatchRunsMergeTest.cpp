#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "shell/BatchRunsMerge.h"
#include "shell/GoldenFile.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

const char kHeader[] = "Run\tSeed\tStarted\tFinished\tStatus\n";

std::string Row(int run) {
  return std::to_string(run) + "\t" + std::to_string(101 + 2 * (run - 1)) +
         "\t10:00:00\t10:00:01\tMaximum simulation time reached\n";
}

BatchPart Part(int first, int last, int runs = 5, const std::string& batch = "5,0,1,40,1,12") {
  BatchPart part;
  part.First = first;
  part.Last = last;
  part.Runs = runs;
  part.Configuration = ConfigurationFingerprint("ramp");
  part.Batch = batch;
  return part;
}

// A part file as kavro-batch --runs writes it.
std::string PartText(const BatchPart& part) {
  std::string text = BatchPartLine(part) + "\n" + kHeader;
  for (int run = part.First; run <= part.Last; ++run) text += Row(run);
  return text;
}

class BatchMerge : public testing::Test {
 protected:
  void SetUp() override { folder_ = FreshTestFolder("merge"); }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Write(const std::string& name, const std::string& text) {
    std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  fs::path folder_;
};

TEST_F(BatchMerge, PartsInAnyOrderGiveTheWholeBatchsFile) {
  std::string whole = kHeader;
  for (int run = 1; run <= 5; ++run) whole += Row(run);
  std::string second = PartText(Part(3, 5));
  // A part that went through a Windows editor reads the same.
  std::string crlf;
  for (char c : PartText(Part(1, 2))) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ReportCapture reports;
  ASSERT_TRUE(MergeBatchResults(Path("out.kbr"), {Write("b.kbr", second), Write("a.kbr", crlf)}));
  EXPECT_TRUE(reports.Empty());
  EXPECT_EQ(ReadWholeFile(Path("out.kbr")), whole);
  // Only the merged file and the parts: the temporary file is gone.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 3);
}

TEST_F(BatchMerge, ProblemsAreReportedAndNothingIsWritten) {
  const std::string a = Write("a.kbr", PartText(Part(1, 2)));
  const std::string b = Write("b.kbr", PartText(Part(3, 5)));
  const std::string overlap = Write("o.kbr", PartText(Part(2, 3)));
  const std::string tail = Write("t.kbr", PartText(Part(4, 5)));
  const std::string whole = Write("whole.kbr", std::string(kHeader) + Row(1) + Row(2));
  const std::string otherBatch = Write("x.kbr", PartText(Part(3, 5, 5, "5,0,1,50,1,12")));
  BatchPart otherConfiguration = Part(3, 5);
  otherConfiguration.Configuration = ConfigurationFingerprint("ramp2");
  const std::string otherConfig = Write("y.kbr", PartText(otherConfiguration));
  const std::string shortRows =
      Write("s.kbr", BatchPartLine(Part(3, 5)) + "\n" + kHeader + Row(3) + Row(4));
  const std::string swapped =
      Write("w.kbr", BatchPartLine(Part(3, 5)) + "\n" + kHeader + Row(3) + Row(5) + Row(4));
  const std::string longer = Write("l.kbr", PartText(Part(3, 5)) + Row(5));
  const std::string missing = Path("none.kbr");
  struct Case {
    std::vector<std::string> parts;
    std::string text;
  } cases[] = {
      {{}, "--merge: no part files given"},
      {{a, missing}, "--merge: cannot read \"" + missing + "\": No such file or directory"},
      {{a, whole}, "--merge: \"" + whole + "\" is not a part of a batch (written with --runs)"},
      {{a, shortRows},
       "--merge: \"" + shortRows +
           "\" line 5: the file ends before the row of run 5 (the part holds runs 3-5)"},
      {{a, swapped},
       "--merge: \"" + swapped +
           "\" line 4: the row of run 4 is expected (the part holds runs 3-5)"},
      {{a, longer},
       "--merge: \"" + longer + "\" line 6: a line after the row of run 5, the last of the part"},
      {{a, otherBatch},
       "--merge: \"" + a + "\" and \"" + otherBatch +
           "\" are parts of different batches (5,0,1,40,1,12, 5 runs, configuration " +
           ConfigurationFingerprint("ramp") + "; 5,0,1,50,1,12, 5 runs, configuration " +
           ConfigurationFingerprint("ramp") + ")"},
      {{otherConfig, a},
       "--merge: \"" + a + "\" and \"" + otherConfig +
           "\" are parts of different batches (5,0,1,40,1,12, 5 runs, configuration " +
           ConfigurationFingerprint("ramp") + "; 5,0,1,40,1,12, 5 runs, configuration " +
           ConfigurationFingerprint("ramp2") + ")"},
      {{a, overlap, b},
       "--merge: \"" + a + "\" (runs 1-2) and \"" + overlap + "\" (runs 2-3) overlap"},
      {{a, tail}, "--merge: runs 3-3 of 5 are in no part"},
      {{b}, "--merge: runs 1-2 of 5 are in no part"},
      {{a}, "--merge: runs 3-5 of 5 are in no part"},
  };
  const std::string out = Write("out.kbr", "earlier results\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ReportCapture reports;
    EXPECT_FALSE(MergeBatchResults(out, c.parts));
    EXPECT_EQ(reports.OnlyText(), c.text);
    EXPECT_EQ(ReadWholeFile(out), "earlier results\n");
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 11);
}

TEST_F(BatchMerge, CutOffOrMalformedPartsAreRefusedAndNothingIsWritten) {
  const std::string a = Write("a.kbr", PartText(Part(1, 2)));
  std::string full = PartText(Part(3, 5));
  const std::string cut = Write("cut.kbr", full.substr(0, full.size() - 1));
  const std::string cutInRow = Write("cutrow.kbr", full.substr(0, full.size() - 12));
  std::string fewer =
      BatchPartLine(Part(3, 5)) + "\n" + kHeader + Row(3) + "4\t107\t10:00:00\n" + Row(5);
  const std::string fewerColumns = Write("few.kbr", fewer);
  std::string more = BatchPartLine(Part(3, 5)) + "\n" + kHeader + Row(3) + Row(4) +
                     "5\t109\t10:00:00\t10:00:01\tTime 600: Q[1]=\t 4100\n";
  const std::string moreColumns = Write("more.kbr", more);
  struct Case {
    std::vector<std::string> parts;
    std::string text;
  } cases[] = {
      {{a, cut}, "--merge: the last line of \"" + cut + "\" is incomplete: the file was cut off"},
      {{cutInRow, a},
       "--merge: the last line of \"" + cutInRow + "\" is incomplete: the file was cut off"},
      {{a, fewerColumns},
       "--merge: \"" + fewerColumns + "\" line 4: a row of the batch results has 5 or 7 columns"},
      {{a, moreColumns},
       "--merge: \"" + moreColumns + "\" line 5: a row of the batch results has 5 or 7 columns"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ReportCapture reports;
    EXPECT_FALSE(MergeBatchResults(Path("out.kbr"), c.parts));
    EXPECT_EQ(reports.OnlyText(), c.text);
    EXPECT_FALSE(fs::exists(Path("out.kbr")));
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 5);
}

// A first line that does not fit the batch it names: refused with the file and line.
TEST_F(BatchMerge, PartLinesMustFitTheirBatch) {
  const std::string f = ConfigurationFingerprint("ramp");
  struct Case {
    std::string line;
    std::string problem;
  } cases[] = {
      {"runs 1-2 of 2, configuration " + f + ", batch=4,0,1,40,1,12",
       "\"of 2\", but batch=4,0,1,40,1,12 makes 4 runs"},
      {"runs 1-2 of 4294967298, configuration " + f + ", batch=4294967298,0,1,40,1,12",
       "4294967298 runs are not a batch of 1 to 10000 runs"},
      {"runs 4294967297-2 of 4, configuration " + f + ", batch=4,0,1,40,1,12",
       "runs 4294967297-2 are not runs of a batch of 4 runs"},
      {"runs 1-2 of 4, configuration " + f.substr(1) + ", batch=4,0,1,40,1,12",
       "the configuration fingerprint \"" + f.substr(1) + "\" is not 16 hexadecimal digits"},
      {"runs 1-2 of 4, configuration " + f + "0, batch=4,0,1,40,1,12",
       "the configuration fingerprint \"" + f + "0\" is not 16 hexadecimal digits"},
      {"runs 1-2 of 4, configuration " + f + ", batch=4,0,1",
       "it does not read \"runs A-B of N, configuration F, batch=R,S,D,V,F,L\" with whole "
       "numbers"},
  };
  const std::string out = Write("out.kbr", "earlier results\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const std::string part =
        Write("p.kbr", "# kavro-batch part: " + c.line + "\n" + kHeader + Row(1) + Row(2));
    ReportCapture reports;
    EXPECT_FALSE(MergeBatchResults(out, {part}));
    EXPECT_EQ(reports.OnlyText(), "--merge: \"" + part + "\" line 1: " + c.problem);
    EXPECT_EQ(ReadWholeFile(out), "earlier results\n");
  }
}

TEST(BatchPartLine, ReadsWhatItWritesAndNothingElse) {
  BatchPart part = Part(3, 4, 10, "10,0,1,40,1,12");
  const std::string line = BatchPartLine(part);
  EXPECT_EQ(line, "# kavro-batch part: runs 3-4 of 10, configuration " +
                      ConfigurationFingerprint("ramp") + ", batch=10,0,1,40,1,12");
  BatchPart read;
  ASSERT_TRUE(ParseBatchPartLine(line, read));
  EXPECT_EQ(read.First, 3);
  EXPECT_EQ(read.Last, 4);
  EXPECT_EQ(read.Runs, 10);
  EXPECT_EQ(read.Configuration, part.Configuration);
  EXPECT_EQ(read.Batch, part.Batch);
  for (const char* bad :
       {"Run\tSeed\tStarted\tFinished\tStatus",
        "# kavro-batch part: runs 4-3 of 10, configuration 0123456789abcdef, batch=1",
        "# kavro-batch part: runs 3-12 of 10, configuration 0123456789abcdef, batch=1",
        "# kavro-batch part: runs 1-2 of 10, configuration 0123, batch=1",
        "# kavro-batch part: runs 1-2 of 10, configuration 0123456789abcdef, batch="}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseBatchPartLine(bad, read));
  }
  EXPECT_NE(ConfigurationFingerprint("a"), ConfigurationFingerprint("b"));
  EXPECT_EQ(ConfigurationFingerprint("").size(), 16u);
}

TEST(BatchPartFileName, PartsOfOneConfigurationGetNamesOfTheirOwn) {
  EXPECT_EQ(BatchPartFileName("/cases/ramp.kav", 3, 4, ".kbr"), "/cases/ramp.runs3-4.kbr");
  EXPECT_EQ(BatchPartFileName("/cases.v2/ramp", 1, 10, ".log"), "/cases.v2/ramp.runs1-10.log");
}

}  // namespace
