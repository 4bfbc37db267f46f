#include "roadview/ui/PageRoadLayout.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

// Short button captions; the hints say it in full.
const char* const kButtonCaptions[kLaneTypeCommands] = {
    "Unpaved",     "No change",  "Change right", "Change left", "Any change",
    "Force right", "Force left", "Blocked",      "Paved",       "ICC lane",
    "Taper on",    "Taper off",  "Teleport in",  "Teleport out"};

}  // namespace

TPageRoadLayout::TPageRoadLayout(QWidget* parent) : QWidget(parent) {
  setObjectName("PageRoadLayout");
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* hint = new QLabel(
      "Drag over the road to select sections and lanes, then choose a lane type. Click a "
      "section number above the road to split, delete or resize the section.",
      this);
  hint->setObjectName("LabelRoadLayoutHint");
  hint->setWordWrap(true);
  layout->addWidget(hint, 0, 0, 1, 7);
  for (int i = 0; i < kLaneTypeCommands; ++i) {
    const auto command = static_cast<LaneTypeCommand>(i);
    const LaneTypeCommandInfo& info = LaneTypeCommandOf(command);
    auto* button = new QPushButton(kButtonCaptions[i], this);
    button->setObjectName(info.button);
    button->setToolTip(info.hint);
    button->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(button, 1 + i / 7, i % 7);
    connect(button, &QPushButton::clicked, this,
            [this, command] { emit SetLaneTypeClick(command); });
    buttons_[i] = button;
  }
}

void TPageRoadLayout::SetProgramMode(int programMode) {
  for (int i = 0; i < kLaneTypeCommands; ++i)
    buttons_[i]->setVisible(LaneTypeButtonVisible(static_cast<LaneTypeCommand>(i), programMode));
}

void TPageRoadLayout::SetAvailability(const std::array<bool, kLaneTypeCommands>& enabled) {
  for (int i = 0; i < kLaneTypeCommands; ++i) buttons_[i]->setEnabled(enabled[i]);
}
