#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/GoldenFile.h"

// What the real kavro-batch answered: its exit status and what it printed.
struct ExeResult {
  int status;
  std::string out;
  std::string err;
};

// Runs kavro-batch with `arguments` (each single-quoted for the shell); its output passes
// through files in `scratch`.
inline ExeResult RunKavroBatch(const std::vector<std::string>& arguments,
                               const std::filesystem::path& scratch) {
  std::string command = std::string("'") + KAVRO_BATCH_EXE + "'";
  for (const std::string& argument : arguments) command += " '" + argument + "'";
  const std::filesystem::path out = scratch / "stdout.txt";
  const std::filesystem::path err = scratch / "stderr.txt";
  command += " >'" + out.string() + "' 2>'" + err.string() + "'";
  int raw = std::system(command.c_str());
  ExeResult result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWholeFile(out.string()),
                   ReadWholeFile(err.string())};
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return result;
}
