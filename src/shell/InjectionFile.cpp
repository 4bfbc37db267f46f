#include "shell/InjectionFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "config/KDConfig.h"
#include "config/ProgramError.h"

namespace {

constexpr size_t kMaxInjectionLine = 1000;

// The highest lane number (counted from the right) the most upstream section drives on.
int HighestAllowedLane(const KDConfig& config) {
  for (int lane = 0; lane < MAX_DOVELLANE; ++lane)
    if (config.IntPhysicalSectionProperty(config.Boundaries(), lane, PP_LANETYPE) &
        (LANE_MERGELEFT | LANE_MERGERIGHT | LANE_PAVED))
      return MAX_DOVELLANE - lane;
  return 0;
}

// One line as "%g %g %g %d", nothing after it but blanks; the lane number in `lane`.
bool ScanLine(const std::string& line, int& lane) {
  double a = 0, b = 0, c = 0;
  int consumed = 0;
  if (std::sscanf(line.c_str(), "%lf %lf %lf %d%n", &a, &b, &c, &lane, &consumed) != 4)
    return false;
  return line.find_first_not_of(" \t", static_cast<size_t>(consumed)) == std::string::npos;
}

}  // namespace

std::string InjectionFilePath(const std::string& name, const std::string& configFileName) {
  // Looked up without opening it: opening a pipe would wait for a writer.
  if (name.empty() || name[0] == '/' || ::access(name.c_str(), F_OK) == 0) return name;
  const size_t slash = configFileName.rfind('/');
  if (slash == std::string::npos) return name;
  return configFileName.substr(0, slash + 1) + name;
}

InjectionFileProblem ProblemInInjectionFile(const KDConfig& config,
                                            const std::string& configFileName) {
  const int highest = HighestAllowedLane(config);
  const std::string& name = config.InjectionFileName();
  const std::string path = InjectionFilePath(name, configFileName);
  // A pipe or a device would be waited for, or read without end.
  struct stat status;
  if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
    return {"Error",
            Format("Cannot open injection file \"%s\"\r\n%s", name.c_str(),
                   S_ISDIR(status.st_mode) ? "it is a folder" : "it is not a regular file")};
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    const int error = errno;
    return {"Error", Format("Cannot open injection file \"%s\"\r\nError code: %d %s", name.c_str(),
                            error, std::strerror(error))};
  }
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > kMaxInjectionLine) line.resize(kMaxInjectionLine);
    int lane = 0;
    if (line.find('\0') != std::string::npos || !ScanLine(line, lane))
      return {"Format error in injectionfile",
              Format("%s(%d): bad format\r\n\"%s\"", name.c_str(), number, line.c_str())};
    if (lane > highest)
      return {"Error", Format("Unpaved lane specified in injectionfile\r\n%s(%d): %s", name.c_str(),
                              number, line.c_str())};
  }
  return {};
}

bool CheckInjectionFile(const KDConfig& config, const std::string& configFileName) {
  InjectionFileProblem problem = ProblemInInjectionFile(config, configFileName);
  if (problem.ok()) return true;
  UserMessage(ReportKind::Error, problem.caption, problem.text);
  return false;
}
