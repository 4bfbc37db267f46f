#include <QApplication>

#include "shell/ui/FormMain.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TFormMain form;
  form.show();
  return app.exec();
}
