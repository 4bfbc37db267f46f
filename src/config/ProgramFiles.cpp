#include "config/ProgramFiles.h"

#include <filesystem>
#include <system_error>

namespace {

bool IsRegularFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

std::string Folder(const std::string& programDirectory) {
  return programDirectory.empty() ? std::string("./") : programDirectory;
}

}  // namespace

std::string InstalledFolder(ProgramFileKind kind) {
  // The install rules of the build use the same folders (KAVRO_INSTALL_*_DIR).
  return std::string(kind == ProgramFileKind::Library ? KAVRO_INSTALL_LIBRARY_DIR
                                                      : KAVRO_INSTALL_DATA_DIR) +
         "/";
}

std::vector<std::string> ProgramFileCandidates(const std::string& programDirectory,
                                               const std::string& fileName, ProgramFileKind kind) {
  std::string folder = Folder(programDirectory);
  return {folder + fileName, folder + "../" + InstalledFolder(kind) + fileName};
}

std::string FindProgramFile(const std::string& programDirectory, const std::string& fileName,
                            ProgramFileKind kind) {
  std::vector<std::string> candidates = ProgramFileCandidates(programDirectory, fileName, kind);
  for (const std::string& candidate : candidates)
    if (IsRegularFile(candidate)) return candidate;
  return candidates.front();
}

std::string FindFirstProgramFile(const std::string& programDirectory,
                                 const std::vector<std::string>& fileNames, ProgramFileKind kind) {
  for (size_t place = 0; place < 2; ++place)
    for (const std::string& name : fileNames) {
      std::string candidate = ProgramFileCandidates(programDirectory, name, kind)[place];
      if (IsRegularFile(candidate)) return candidate;
    }
  return "";
}
