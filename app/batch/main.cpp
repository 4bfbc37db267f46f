#include <cstdio>
#include <cstring>

#include "Version.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("kavro-batch %d.%d build %d\n", KAVRO_VERSION_MAJOR, KAVRO_VERSION_MINOR,
                KAVRO_VERSION_BUILD);
    return 0;
  }
  std::fprintf(stderr, "kavro-batch: batch runs are not available yet\n");
  return 1;
}
