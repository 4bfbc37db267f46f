#pragma once

#include <string>

// The program's own identity, decided once at start-up: its version and, from the name of the
// executable, its mode (KAVRO: the built-in simulation kernel, DOVEL: the user interface of the
// external vehicle model).

struct ProgramVersion {
  int Major = -1;
  int Minor = -1;
  int Build = -1;
};

/// Reads a file version text "major.minor.patch.build"; the third number is not kept. When no
/// build number can be read, reports "Cannot determine version info\r\nassuming BuildNumber == 0"
/// (caption "Error") and sets Build to 0.
ProgramVersion ParseFileVersion(const std::string& fileVersion);

/// The version this program was built as.
ProgramVersion BuiltProgramVersion();

struct ModeDecision {
  int Mode = 0;                  // KAVRO, DOVEL, or 0 when the name is neither
  std::string ProgramName;       // file name without directory and ".exe", case kept
  std::string ProgramDirectory;  // up to and including the last separator, may be empty
};

/// The directory part of a path: up to and including the last "/" or "\", or the drive ("C:")
/// followed by "\" when the path has no separator after it; empty when there is none.
std::string DirectoryPart(const std::string& path);

/// Decides the mode from the executable's path: "kavro" or "dovel" in any letter case, with or
/// without a trailing ".exe".
ModeDecision DecideProgramMode(const std::string& executablePath);

/// The message shown when the executable has any other name (caption "Error").
inline constexpr const char* kRenameMessage =
    "Please rename the EXE-file to Kavro.exe or Dovel.exe";

/// The help file of the program named `programName` in `programDirectory`: "NAME.html", else
/// "kavro.html", next to the program or in the installed data folder beside it; "kavro.html"
/// next to the program when none exists.
std::string FindHelpFile(const std::string& programDirectory, const std::string& programName);

/// The folder of the running program, ending with "/": the folder part of `executablePath`
/// (argv[0]) when it has one, as the desktop program takes it, else the folder of the
/// executable the system started (found through /proc/self/exe); empty when neither is known.
std::string RunningProgramDirectory(const std::string& executablePath);
