#include <iostream>
#include <string>
#include <vector>

#include "shell/BatchProgram.h"

int main(int argc, char** argv) {
  std::vector<std::string> parameters(argv + 1, argv + argc);
  return RunBatchProgram(parameters, std::cout, std::cerr);
}
