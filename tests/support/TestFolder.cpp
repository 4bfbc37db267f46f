#include "TestFolder.h"

#include <unistd.h>

std::filesystem::path FreshTestFolder(const std::string& name) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("kavro-" + std::to_string(::getpid()) + "-" + name);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}
