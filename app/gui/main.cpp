#include <QApplication>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/HeadlessPlatform.h"
#include "shell/ui/DesktopProgram.h"

int main(int argc, char** argv) {
  // An unattended batch also runs where there is no display: the windows are drawn off screen.
  std::vector<std::string> parameters(argv + 1, argv + argc);
  if (NeedsOffscreenPlatform(parameters, std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                             std::getenv("QT_QPA_PLATFORM")))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  return RunDesktopProgram(argc, argv);
}
