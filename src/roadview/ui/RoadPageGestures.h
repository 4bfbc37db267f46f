#pragma once

#include <QPoint>
#include <Qt>

// What a page does with the mouse on the road picture while it is shown. The main window
// routes the road view's presses to the shown page first; a page that takes a press returns
// true and the main window does nothing more with it (no selection drag). Coordinates are
// bitmap pixels, `screen` the global point for dialogs and menus.
class RoadPageGestures {
 public:
  virtual ~RoadPageGestures() = default;
  virtual bool RoadMouseDown(int x, int y, Qt::MouseButton button, QPoint screen) {
    (void)x, (void)y, (void)button, (void)screen;
    return false;
  }
  /// A move with the left button held.
  virtual bool RoadMouseDrag(int x) {
    (void)x;
    return false;
  }
  virtual bool RoadMouseUp(int x) {
    (void)x;
    return false;
  }
  /// The context menu asked for over the road; true when the page answered it.
  virtual bool RoadContextMenu(QPoint screen) {
    (void)screen;
    return false;
  }
};
