#pragma once

#include <QMainWindow>

// The main window: menus, pages and the road view.
class TFormMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit TFormMain(QWidget* parent = nullptr);
};
