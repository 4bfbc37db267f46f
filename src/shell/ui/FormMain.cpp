#include "shell/ui/FormMain.h"

TFormMain::TFormMain(QWidget* parent) : QMainWindow(parent) { setObjectName("FormMain"); }
