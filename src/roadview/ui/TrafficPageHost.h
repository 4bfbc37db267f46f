#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "roadview/RoadEditing.h"
#include "roadview/RoadGeometry.h"
#include "roadview/RoadGlyphs.h"

class KDConfig;

// What the road design and traffic pages ask of the main window: the document, the undo
// recorder, the road view and the status bar. Undo replaces the configuration object, so the
// pages fetch it through `config` whenever they need it. A page keeps the host it was made
// with; the main window only creates the pages and routes the road view's gestures and the
// page changes to them.
struct TrafficPageHost {
  std::function<KDConfig&()> config;
  /// Records an undo point with its label before a change.
  std::function<void(const std::string&)> recordUndo;
  /// After a change: the caption shows the modification, the road is redrawn.
  std::function<void()> changed;
  /// Highlights an object on the road (a RoadDrawFlags selection word) and redraws it.
  std::function<void(std::uint32_t)> highlight;
  std::function<void(const std::string&)> status;
  /// Asks an OK/Cancel (or Yes/No) question with the question icon; true for OK (Yes).
  std::function<bool(const std::string& caption, const std::string& text, bool yesNo)> ask;
  std::function<void(const std::string&)> debug;
  std::function<void()> beep;
  /// Redraws the road (the drawing follows the page's choice of what to show).
  std::function<void()> redraw;
  /// A text of the program's text table by its label, as patched (the undo labels).
  std::function<std::string(const std::string&)> text;
  /// The road view: what it shows, and what its last drawing put where.
  std::function<RoadViewport()> viewport;
  std::function<const RoadDisplayAreas&()> areas;
  /// The selected cells of the road pages.
  std::function<const RoadEditSelection&()> selection;
  /// The screen point of the last mouse event over the road view, where value dialogs open.
  std::function<void(int& sx, int& sy)> pointer;
  /// Asks for a whole number in minimum .. maximum with the value dialog at the screen point
  /// (sx, sy), starting from `current`; false when cancelled.
  std::function<bool(int sx, int sy, int current, int minimum, int maximum,
                     const std::string& prompt, const std::string& caption, int& value)>
      askValue;
};
