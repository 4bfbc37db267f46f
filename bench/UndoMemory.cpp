// Memory of a full undo history: the eleven copies of a configuration the history keeps at
// its limit, here of the largest example (or the configuration named on the command line).
// Prints the bytes the copies hold and the growth of the resident set size.

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "shell/UndoHistory.h"

namespace {

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string file =
      argc > 1 ? argv[1] : std::string(KAVRO_SOURCE_DIR) + "/examples/bench-motorway-50km.kav";
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::unique_ptr<KDConfig> config;
  if (!LoadConfigText(file, text.str(), config).ok) {
    std::fprintf(stderr, "cannot read %s\n", file.c_str());
    return 1;
  }
  const long before = ResidentKilobytes();
  UndoHistory history;
  // More edits than the history holds: the oldest points are dropped, the slots stay full.
  for (int edit = 0; edit < 2 * UndoHistory::kSlots; ++edit) {
    history.Record("random seed", *config);
    config->SetSeed(2 * edit + 3);
  }
  const long after = ResidentKilobytes();
  std::printf("%s\nconfiguration: %zu bytes; history of %d copies: %zu bytes; RSS growth %ld kB\n",
              file.c_str(), config->MemoryBytes(), history.Top() + 1, history.MemoryBytes(),
              after - before);
  return 0;
}
