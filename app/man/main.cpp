#include <iostream>
#include <string>

#include "config/FileReplace.h"
#include "config/ProgramError.h"
#include "shell/ProgramIdentity.h"
#include "shell/ProgramOptions.h"

// kavro-man PROGRAM OUT: writes the manual page of kavro or kavro-batch, made from the option
// table both programs print with --help. Run by the build; not installed.
int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "Usage: kavro-man kavro|kavro-batch OUT\n";
    return 2;
  }
  std::string program = argv[1];
  if (program != CommandName(ProgramKind::Desktop) && program != CommandName(ProgramKind::Batch)) {
    std::cerr << "kavro-man: no manual page for \"" << program << "\"\n";
    return 2;
  }
  ProgramVersion version = BuiltProgramVersion();
  std::string page =
      ManualPage(program == "kavro" ? ProgramKind::Desktop : ProgramKind::Batch,
                 Format("%d.%d build %d", version.Major, version.Minor, version.Build));
  std::string error;
  if (!ReplaceFileContents(argv[2], page, error)) {
    std::cerr << "kavro-man: cannot write \"" << argv[2] << "\": " << error << '\n';
    return 1;
  }
  return 0;
}
