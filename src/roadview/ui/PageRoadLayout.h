#pragma once

#include <QWidget>
#include <array>

#include "roadview/RoadEditing.h"

class QPushButton;

// Page 1, the physical road layout: the lane type buttons. The road view below the page is
// the editor itself: selections, the section header and the pop-up menus live in the main
// window, which enables the buttons after every redraw.
class TPageRoadLayout : public QWidget {
  Q_OBJECT

 public:
  explicit TPageRoadLayout(QWidget* parent = nullptr);
  /// Hides the buttons the program mode does not offer.
  void SetProgramMode(int programMode);
  /// Enables the buttons as the selection allows.
  void SetAvailability(const std::array<bool, kLaneTypeCommands>& enabled);
  QPushButton* Button(LaneTypeCommand command) const { return buttons_[static_cast<int>(command)]; }

 signals:
  void SetLaneTypeClick(LaneTypeCommand command);

 private:
  std::array<QPushButton*, kLaneTypeCommands> buttons_{};
};
