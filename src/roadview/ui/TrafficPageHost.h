#pragma once

#include <cstdint>
#include <functional>
#include <string>

class KDConfig;

// What the road design and traffic pages ask of the main window. Undo replaces the
// configuration object, so the pages fetch it through `config` whenever they need it.
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
};
