#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The command lines of the two programs, kept in one table: `--help` prints it and the manual
// pages kavro(1) and kavro-batch(1) are generated from it when the programs are built, so the
// two cannot tell different stories.

enum class ProgramKind { Desktop, Batch };

struct ProgramOption {
  const char* Synopsis;  // as typed, with its values in capitals: "vehicletrace=FILE[,N]"
  const char* Text;      // what it does, one paragraph
  bool Desktop;          // read by kavro
  bool Batch;            // read by kavro-batch
};

/// Every option of either program, in the order they are listed.
const std::vector<ProgramOption>& ProgramOptionTable();

/// The options `program` reads.
std::vector<ProgramOption> OptionsOf(ProgramKind program);

/// The text `--help` prints: usage lines, what the program does, its options and notes, in
/// lines of at most 79 characters.
std::string UsageText(ProgramKind program);

/// The manual page of `program` in the man(7) format; `version` goes into its footer
/// ("1.0 build 1").
std::string ManualPage(ProgramKind program, const std::string& version);

/// The command's name: "kavro" or "kavro-batch".
std::string CommandName(ProgramKind program);

/// The text of a manual page: backslashes, minus signs and line starts that would be read as
/// requests are escaped.
std::string RoffEscape(const std::string& text);

/// Answers `kavro --help` and `kavro --version` (the only parameter) on `out` before any
/// window exists; --help ends with the help file the program would open. False, printing
/// nothing, for any other command line.
bool AnswerDesktopInformationRequest(const std::vector<std::string>& parameters,
                                     const std::string& executablePath, std::ostream& out);
