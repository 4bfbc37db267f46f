#include "shell/ProgramIdentity.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "Version.h"
#include "config/ProgramError.h"
#include "config/ProgramFiles.h"
#include "config/ProgramMode.h"
#include "config/TextChars.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Reads an int at `pos` the way "%d" does (leading blanks, optional sign); false on no digits
// or overflow.
bool ReadInt(const std::string& text, size_t& pos, int& value) {
  while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
  size_t start = pos;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) ++pos;
  size_t digits = pos;
  long long number = 0;
  while (pos < text.size() && IsDigit(text[pos])) {
    number = number * 10 + (text[pos] - '0');
    if (number > 2147483648LL) return false;
    ++pos;
  }
  if (pos == digits) {
    pos = start;
    return false;
  }
  if (text[start] == '-') number = -number;
  if (number > 2147483647LL) return false;
  value = static_cast<int>(number);
  return true;
}

}  // namespace

ProgramVersion ParseFileVersion(const std::string& fileVersion) {
  ProgramVersion version;
  int numbers[4] = {-1, -1, -1, -1};
  size_t pos = 0;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (pos >= fileVersion.size() || fileVersion[pos] != '.') break;
      ++pos;
    }
    if (!ReadInt(fileVersion, pos, numbers[i])) break;
  }
  version.Major = numbers[0];
  version.Minor = numbers[1];
  version.Build = numbers[3];
  if (version.Build < 0) {
    UserMessage(ReportKind::Error, "Error",
                "Cannot determine version info\r\nassuming BuildNumber == 0");
    version.Build = 0;
  }
  return version;
}

ProgramVersion BuiltProgramVersion() { return ParseFileVersion(KAVRO_FILE_VERSION); }

std::string DirectoryPart(const std::string& path) {
  size_t separator = path.find_last_of("/\\");
  if (separator != std::string::npos) return path.substr(0, separator + 1);
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2) + "\\";
  return std::string();
}

ModeDecision DecideProgramMode(const std::string& executablePath) {
  ModeDecision decision;
  decision.ProgramDirectory = DirectoryPart(executablePath);
  size_t nameStart = executablePath.find_last_of("/\\");
  if (nameStart == std::string::npos)
    nameStart = executablePath.size() >= 2 && executablePath[1] == ':' ? 2 : 0;
  else
    ++nameStart;
  std::string name = executablePath.substr(nameStart);
  if (name.size() > 4 && Lower(name.substr(name.size() - 4)) == ".exe")
    name.resize(name.size() - 4);
  decision.ProgramName = name;
  std::string lower = Lower(name);
  if (lower == "kavro")
    decision.Mode = KAVRO;
  else if (lower == "dovel")
    decision.Mode = DOVEL;
  return decision;
}

std::string FindHelpFile(const std::string& programDirectory, const std::string& programName) {
  std::string found = FindFirstProgramFile(programDirectory, {programName + ".html", "kavro.html"},
                                           ProgramFileKind::Data);
  return found.empty() ? programDirectory + "kavro.html" : found;
}

std::string RunningProgramDirectory(const std::string& executablePath) {
  std::string directory = DirectoryPart(executablePath);
  if (!directory.empty()) return directory;
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !self.has_parent_path()) return "";
  return self.parent_path().string() + "/";
}
