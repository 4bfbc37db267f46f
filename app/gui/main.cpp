#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "shell/HeadlessPlatform.h"
#include "shell/ProgramOptions.h"
#include "shell/ui/DesktopProgram.h"

int main(int argc, char** argv) {
  std::vector<std::string> parameters(argv + 1, argv + argc);
  // --help and --version answer on the terminal without a window, display or not.
  if (AnswerDesktopInformationRequest(parameters, argc > 0 ? argv[0] : "", std::cout)) return 0;
  // An unattended batch also runs where there is no display: the windows are drawn off screen.
  if (NeedsOffscreenPlatform(parameters, std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                             std::getenv("QT_QPA_PLATFORM")))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  return RunDesktopProgram(argc, argv);
}
