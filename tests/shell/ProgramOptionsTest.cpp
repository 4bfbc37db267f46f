#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Version.h"
#include "shell/BatchProgram.h"
#include "shell/ProgramOptions.h"
#include "support/TestFolder.h"

namespace {

const ProgramKind kPrograms[] = {ProgramKind::Desktop, ProgramKind::Batch};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The options a --help text lists: the lines indented by two spaces, up to the first blank.
std::vector<std::string> HelpOptions(const std::string& help) {
  std::vector<std::string> options;
  for (const std::string& line : Lines(help))
    if (line.size() > 2 && line.compare(0, 2, "  ") == 0 && line[2] != ' ')
      options.push_back(line.substr(2, line.find(' ', 2) - 2));
  return options;
}

TEST(ProgramHelp, ListsEveryOptionOfItsProgramAndNoOther) {
  for (ProgramKind program : kPrograms) {
    SCOPED_TRACE(CommandName(program));
    std::string help = UsageText(program);
    std::set<std::string> listed;
    for (const std::string& line : Lines(help))
      if (line.compare(0, 2, "  ") == 0 && line[2] != ' ') listed.insert(line.substr(2));
    for (const ProgramOption& option : ProgramOptionTable()) {
      bool reads = program == ProgramKind::Desktop ? option.Desktop : option.Batch;
      EXPECT_EQ(listed.count(option.Synopsis), reads ? 1u : 0u) << option.Synopsis;
    }
  }
}

TEST(ProgramHelp, OnlyTheBatchProgramMergesOrChecks) {
  std::vector<std::string> desktop = HelpOptions(UsageText(ProgramKind::Desktop));
  std::vector<std::string> batch = HelpOptions(UsageText(ProgramKind::Batch));
  for (const char* option :
       {"--merge", "--check", "--write-config", "--capacity", "--capacity-report"}) {
    EXPECT_EQ(std::count(desktop.begin(), desktop.end(), option), 0) << option;
    EXPECT_EQ(std::count(batch.begin(), batch.end(), option), 1) << option;
  }
}

TEST(ProgramHelp, FitsATerminal) {
  for (ProgramKind program : kPrograms)
    for (const std::string& line : Lines(UsageText(program))) EXPECT_LE(line.size(), 79u) << line;
}

TEST(ProgramHelp, BatchProgramPrintsTheTable) {
  std::ostringstream out, err;
  EXPECT_EQ(RunBatchProgram({"--help"}, out, err), 0);
  EXPECT_EQ(out.str(), UsageText(ProgramKind::Batch));
  EXPECT_EQ(err.str(), "");
}

TEST(ManualPage, HoldsEveryOptionTheHelpLists) {
  for (ProgramKind program : kPrograms) {
    SCOPED_TRACE(CommandName(program));
    std::vector<std::string> options = HelpOptions(UsageText(program));
    ASSERT_GE(options.size(), 10u);
    std::string page = ManualPage(program, "1.0 build 1");
    for (const std::string& option : options)
      EXPECT_NE(page.find("\n.B " + RoffEscape(option)), std::string::npos) << option;
  }
}

TEST(ManualPage, TextNeverStartsARequest) {
  // Only the page's own requests start a line with a dot; no text line starts with an apostrophe.
  const std::set<std::string> requests = {".TH", ".SH", ".TP", ".B", ".BR",
                                          ".I",  ".PP", ".nf", ".fi"};
  for (ProgramKind program : kPrograms)
    for (const std::string& line : Lines(ManualPage(program, "1.0 build 1"))) {
      ASSERT_FALSE(line.empty());
      EXPECT_NE(line[0], '\'') << line;
      if (line[0] == '.') {
        EXPECT_EQ(requests.count(line.substr(0, line.find(' '))), 1u) << line;
      }
    }
}

TEST(ManualPage, HeaderNamesTheCommandAndVersion) {
  std::vector<std::string> lines = Lines(ManualPage(ProgramKind::Batch, "1.0 build 1"));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], ".TH KAVRO\\-BATCH 1 \"\" \"Kavro 1.0 build 1\" \"User Commands\"");
  EXPECT_EQ(lines[2].rfind("kavro\\-batch \\- ", 0), 0u) << lines[2];
}

TEST(RoffEscape, BackslashesMinusSignsAndLeadingDots) {
  EXPECT_EQ(RoffEscape("--jobs N"), "\\-\\-jobs N");
  EXPECT_EQ(RoffEscape("C:\\runs"), "C:\\eruns");
  EXPECT_EQ(RoffEscape(".kbr files"), "\\&.kbr files");
  EXPECT_EQ(RoffEscape("'quoted'"), "\\&'quoted'");
  EXPECT_EQ(RoffEscape("a.kbr"), "a.kbr");
}

struct Answer {
  bool answered;
  std::string out;
};

Answer Ask(const std::vector<std::string>& parameters, const std::string& executable) {
  std::ostringstream out;
  bool answered = AnswerDesktopInformationRequest(parameters, executable, out);
  return {answered, out.str()};
}

TEST(DesktopInformation, HelpEndsWithTheInstalledHelpFile) {
  std::filesystem::path prefix = FreshTestFolder("DesktopHelp");
  std::filesystem::create_directories(prefix / "bin");
  std::filesystem::create_directories(prefix / "share/kavro");
  std::ofstream(prefix / "share/kavro/kavro.html") << "<html>\n";
  std::string bin = (prefix / "bin").string() + "/";
  for (const char* name : {"kavro", "dovel", "KAVRO.exe"}) {
    Answer answer = Ask({"--help"}, bin + name);
    EXPECT_TRUE(answer.answered);
    EXPECT_EQ(answer.out,
              UsageText(ProgramKind::Desktop) + "Help file: " + bin + "../share/kavro/kavro.html\n")
        << name;
  }
}

TEST(DesktopInformation, VersionCarriesTheNameStartedAs) {
  std::string version = std::to_string(KAVRO_VERSION_MAJOR) + "." +
                        std::to_string(KAVRO_VERSION_MINOR) + " build " +
                        std::to_string(KAVRO_VERSION_BUILD) + "\n";
  EXPECT_EQ(Ask({"--version"}, "/usr/bin/kavro").out, "kavro " + version);
  EXPECT_EQ(Ask({"--version"}, "/usr/bin/dovel").out, "dovel " + version);
}

TEST(DesktopInformation, AnyOtherCommandLineStartsTheProgram) {
  const std::vector<std::vector<std::string>> commandLines = {
      {}, {"road.kav"}, {"--help", "road.kav"}, {"road.kav", "--help"}, {"--HELP"}, {"-h"}};
  for (const auto& parameters : commandLines) {
    Answer answer = Ask(parameters, "/usr/bin/kavro");
    EXPECT_FALSE(answer.answered) << parameters.size();
    EXPECT_EQ(answer.out, "");
  }
}

}  // namespace
