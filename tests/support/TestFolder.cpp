#include "TestFolder.h"

#include <unistd.h>

std::filesystem::path TestFolderPath(const std::string& name) {
  return std::filesystem::temp_directory_path() /
         ("kavro-" + std::to_string(::getpid()) + "-" + name);
}

std::filesystem::path FreshTestFolder(const std::string& name) {
  const std::filesystem::path folder = TestFolderPath(name);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}
