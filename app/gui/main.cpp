#include <QApplication>

#include "shell/ui/DesktopProgram.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return RunDesktopProgram(argc, argv);
}
