#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// The bytes of a file as they are on disk; empty when it cannot be read.
inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
