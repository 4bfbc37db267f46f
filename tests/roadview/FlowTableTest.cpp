#include <gtest/gtest.h>

#include "roadview/DemandTestSupport.h"
#include "roadview/FlowTable.h"
#include "support/LineMutator.h"
#include "support/ReportCapture.h"

namespace {

// Origin 0 has points at 0 and 1800, origin 1 at 0, 900 and 3600.
std::unique_ptr<KDConfig> TwoGraphs() {
  auto config = LoadWeavingExample();
  for (int o = 0; o < 2; ++o)
    while (config->OFlowTime(o, 1) > 0) config->SetOFlow(o, config->OFlowTime(o, 1), -1);
  config->SetOFlow(0, 0, 500);
  config->SetOFlow(0, 1800, 700);
  config->SetOFlow(1, 0, 3000);
  config->SetOFlow(1, 900, 3500);
  config->SetOFlow(1, 3600, 2000);
  return config;
}

std::vector<std::string> Row(const FlowGrid& grid, int row) {
  std::vector<std::string> cells;
  for (int c = 0; c < grid.Columns(); ++c) cells.push_back(grid.Cell(c, row));
  return cells;
}

using Cells = std::vector<std::string>;

}  // namespace

TEST(FlowGridBuild, ColumnsAreTheUnionOfAllTimes) {
  auto config = TwoGraphs();
  const FlowGrid grid = BuildFlowGrid(*config);
  EXPECT_EQ(Row(grid, 0), (Cells{"Origin \\\\ Time", "0", "900", "1800", "3600"}));
  EXPECT_EQ(Row(grid, 1), (Cells{"On-ramp", "500", "", "700", ""}));
  EXPECT_EQ(Row(grid, 2), (Cells{"Main", "3000", "3500", "", "2000"}));
  EXPECT_FALSE(FlowGridDiffers(grid, *config));
}

TEST(FlowGridWrite, ClearedCellRemovesThePointAndEditsArrive) {
  auto config = TwoGraphs();
  FlowGrid grid = BuildFlowGrid(*config);
  grid.Cell(2, 2).clear();
  grid.Cell(3, 1) = "750";
  ASSERT_TRUE(FlowGridDiffers(grid, *config));
  WriteFlowGrid(grid, *config);
  EXPECT_FALSE(FlowGridDiffers(grid, *config));
  EXPECT_EQ(config->OFlowTime(1, 1), 3600);
  EXPECT_EQ(config->OFlowValue(0, 1), 750);
}

TEST(FlowGridWrite, EmptyFirstCellMeansFlowZero) {
  auto config = TwoGraphs();
  FlowGrid grid = BuildFlowGrid(*config);
  grid.Cell(1, 1).clear();
  WriteFlowGrid(grid, *config);
  EXPECT_EQ(config->OFlowTime(0, 0), 0);
  EXPECT_EQ(config->OFlowValue(0, 0), 0);
  EXPECT_FALSE(FlowGridDiffers(BuildFlowGrid(*config), *config));
}

TEST(FlowGridColumns, AddDuplicatesTheColumn) {
  auto config = TwoGraphs();
  FlowGrid grid = BuildFlowGrid(*config);
  EXPECT_EQ(AddFlowColumn(grid, 4), 5);
  EXPECT_EQ(grid.Time(5), 5400);
  EXPECT_EQ(grid.Cell(5, 2), "2000");
  EXPECT_EQ(AddFlowColumn(grid, 2), 2);
  EXPECT_EQ(grid.Time(3), 1350);
  EXPECT_EQ(grid.Cell(3, 2), "3500");
}

TEST(FlowGridColumns, AddRefusesWithoutRoomBetweenTimes) {
  auto config = TwoGraphs();
  FlowGrid grid = BuildFlowGrid(*config);
  grid.Cell(3, 0) = "901";
  const FlowGrid before = grid;
  EXPECT_EQ(AddFlowColumn(grid, 2), -1);
  EXPECT_EQ(grid, before);
}

TEST(FlowGridColumns, DeleteKeepsTheTimeZeroColumn) {
  auto config = TwoGraphs();
  FlowGrid grid = BuildFlowGrid(*config);
  EXPECT_FALSE(DeleteFlowColumn(grid, 1));
  EXPECT_TRUE(DeleteFlowColumn(grid, 2));
  EXPECT_EQ(Row(grid, 0), (Cells{"Origin \\\\ Time", "0", "1800", "3600"}));
}

TEST(FlowGridTimes, NewTimeMovesTheColumnOrIsRefused) {
  auto config = TwoGraphs();
  FlowGrid grid = BuildFlowGrid(*config);
  int column = 2;
  EXPECT_EQ(SetFlowColumnTime(grid, column, 1800), FlowTimeEdit::Duplicate);
  EXPECT_EQ(SetFlowColumnTime(grid, column, 900), FlowTimeEdit::Unchanged);
  EXPECT_EQ(SetFlowColumnTime(grid, column, 2000), FlowTimeEdit::Moved);
  EXPECT_EQ(column, 3);
  EXPECT_EQ(Row(grid, 0), (Cells{"Origin \\\\ Time", "0", "1800", "2000", "3600"}));
  EXPECT_EQ(grid.Cell(3, 2), "3500");
}

TEST(FlowPaste, TimesAndTwoFlowRowsFromTheFirstHeaderCell) {
  auto config = TwoGraphs();
  FlowGrid grid = BuildFlowGrid(*config);
  const FlowPasteResult result =
      PasteFlowValues(grid, 1, 0, "0\t1200\r\n100\t200\r\n300\t400\r\n", true);
  ASSERT_TRUE(result.fits) << result.message;
  EXPECT_EQ(Row(grid, 0), (Cells{"Origin \\\\ Time", "0", "1200", "1800", "3600"}));
  EXPECT_EQ(Row(grid, 1)[1], "100");
  EXPECT_EQ(Row(grid, 2)[2], "400");
}

TEST(FlowPaste, TimeRowLongerThanTheTableAddsColumns) {
  auto config = TwoGraphs();
  FlowGrid grid = BuildFlowGrid(*config);
  ASSERT_TRUE(PasteFlowValues(grid, 4, 0, "4000\t5000\n1\t2\n3\t4", true).fits);
  EXPECT_EQ(grid.Columns(), 6);
  EXPECT_EQ(grid.Time(5), 5000);
  EXPECT_EQ(grid.Cell(5, 2), "4");
  WriteFlowGrid(grid, *config);
  EXPECT_EQ(config->OFlowTime(0, 2), 4000);
}

TEST(FlowPaste, EmptyFieldLeavesTheCell) {
  auto config = TwoGraphs();
  FlowGrid grid = BuildFlowGrid(*config);
  ASSERT_TRUE(PasteFlowValues(grid, 1, 2, "10\t\t30", true).fits);
  EXPECT_EQ(Row(grid, 2), (Cells{"Main", "10", "3500", "30", "2000"}));
}

TEST(FlowPaste, ColumnOfTimeAndFlowReplacesTheOriginsGraph) {
  auto config = TwoGraphs();
  FlowGrid grid = BuildFlowGrid(*config);
  ASSERT_TRUE(PasteFlowValues(grid, 0, 2, "0\t1000\n600\t4000\n1800\t2500\n", true).fits);
  WriteFlowGrid(grid, *config);
  EXPECT_EQ(config->OFlowTime(1, 1), 600);
  EXPECT_EQ(config->OFlowValue(1, 1), 4000);
  EXPECT_EQ(config->OFlowTime(1, 2), 1800);
  EXPECT_EQ(config->OFlowTime(1, 3), -1);
  // The other origin keeps its graph.
  EXPECT_EQ(config->OFlowTime(0, 1), 1800);
}

TEST(FlowPaste, BadTextIsRefusedWithItsReasonAndChangesNothing) {
  struct Case {
    int column, row;
    std::string text;
    std::string message;
  } cases[] = {
      {1, 1, "12\tabc", "Line 1, value 2: \"abc\" is not a whole number"},
      {1, 1, "12,5\t3",
       "Line 1, value 1: \"12,5\" has a decimal part; times and flows are whole numbers"},
      {1, 1, "1.5",
       "Line 1, value 1: \"1.5\" has a decimal part; times and flows are whole numbers"},
      {1, 1, "-5", "Line 1, value 1: flows cannot be negative"},
      {1, 1, "5\r\n\r\n6", "Line 2 is empty; every line holds the flows of one origin"},
      {1, 1, "5\n6\n7", "Line 3: the table has no origin for this line (2 origins)"},
      {1, 1, "1\t2\t3\t4\t5", "Line 1, value 5 lies beyond the last time column"},
      {1, 0, "100\t200", "Line 1, value 1: the first column holds time 0"},
      {2, 0, "0\t200", "Line 1, value 1: the times must increase from left to right"},
      {2, 0, "950\t3700",
       "Line 1, value 2: the last time must be below the time of the next column"},
      {1, 0, "0\t-900", "Line 1, value 2: times cannot be negative"},
      {1, 1, "99999999999", "Line 1, value 1: \"99999999999\" is too large"},
      {0, 1, "0\t100\n0\t200", "Line 2, value 1: the times must increase from line to line"},
      {0, 1, "300\t100", "Line 1, value 1: the first time must be 0"},
      {0, 1, "0 100",
       "Line 1 holds 1 values; each line holds a time and a flow, separated by a tab"},
      {0, 0, "5", "Choose a cell of the flow table first: a time, a flow or an origin's name"},
      {1, 1, "", "The clipboard holds no values"},
      {1, 1, std::string(10000, '1'),
       "The clipboard text is too long for the flow table (more than 9999 characters)"},
  };
  auto config = TwoGraphs();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    FlowGrid grid = BuildFlowGrid(*config);
    const FlowGrid before = grid;
    const FlowPasteResult result = PasteFlowValues(grid, c.column, c.row, c.text, true);
    EXPECT_FALSE(result.fits);
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(grid, before);
  }
}

TEST(FlowPaste, MoreThanNinetyNinePointsAreRefused) {
  auto config = TwoGraphs();
  FlowGrid grid = BuildFlowGrid(*config);
  std::string times = "0", column = "0\t1\n";
  for (int i = 1; i < 100; ++i) {
    times += "\t" + std::to_string(i * 60);
    column += std::to_string(i * 60) + "\t1\n";
  }
  const FlowGrid before = grid;
  FlowPasteResult result = PasteFlowValues(grid, 1, 0, times, true);
  EXPECT_EQ(result.message, "Line 1, value 100: a flow graph holds at most 99 points");
  result = PasteFlowValues(grid, 0, 1, column, true);
  EXPECT_EQ(result.message, "100 lines: a flow graph holds at most 99 points");
  EXPECT_EQ(grid, before);
}

TEST(FlowPaste, CheckingDoesNotChangeTheTable) {
  auto config = TwoGraphs();
  FlowGrid grid = BuildFlowGrid(*config);
  const FlowGrid before = grid;
  EXPECT_TRUE(PasteFlowValues(grid, 1, 1, "1\t2", false).fits);
  EXPECT_EQ(grid, before);
}

// Damaged pastes: every text either fits, and then writes a valid graph (sorted times from
// 0, at most 99 points, no negative flow) without a stop, or is refused with a reason and
// leaves the table as it was.
TEST(FlowPasteFuzz, DamagedBlocksNeverStopOrCorruptTheGraphs) {
  const std::vector<std::vector<std::string>> seeds = {
      {"0\t900\t1800\t2700", "1200\t1800\t2400\t1500", "300\t400\t500\t600"},
      {"0\t1000", "900\t3500", "1800\t4200", "2700\t3000", "3600\t2000"},
      {"100\t\t200", "7\t8"},
  };
  LineMutator mutator(0xf10a5ULL);
  int accepted = 0;
  for (int round = 0; round < 3000; ++round) {
    SCOPED_TRACE(round);
    const int which = mutator.Below(static_cast<int>(seeds.size()));
    std::vector<std::string> lines = seeds[which];
    for (int m = mutator.Below(3); m >= 0; --m) mutator.Mutate(lines);
    std::string text;
    for (const std::string& line : lines) text += line + (mutator.Below(2) ? "\r\n" : "\n");
    auto config = TwoGraphs();
    FlowGrid grid = BuildFlowGrid(*config);
    const FlowGrid before = grid;
    const int column = which == 1 ? 0 : 1 + mutator.Below(2);
    const int row = which == 1 ? 1 + mutator.Below(2) : mutator.Below(3);
    ReportCapture capture;
    const bool checked = PasteFlowValues(grid, column, row, text, false).fits;
    ASSERT_EQ(grid, before);
    const FlowPasteResult result = PasteFlowValues(grid, column, row, text, true);
    ASSERT_EQ(result.fits, checked);
    if (!result.fits) {
      ASSERT_FALSE(result.message.empty());
      ASSERT_EQ(grid, before);
      continue;
    }
    ++accepted;
    WriteFlowGrid(grid, *config);
    ASSERT_TRUE(capture.Empty()) << capture.Reports()[0].text;
    for (int o = 0; o < config->SourceCount(); ++o) {
      ASSERT_EQ(config->OFlowTime(o, 0), 0);
      for (int i = 1; i < kMaxFlowPoints && config->OFlowTime(o, i) >= 0; ++i) {
        ASSERT_GT(config->OFlowTime(o, i), config->OFlowTime(o, i - 1));
        ASSERT_GE(config->OFlowValue(o, i), 0);
      }
    }
  }
  EXPECT_GT(accepted, 100);
}
