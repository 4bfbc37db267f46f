#pragma once

#include <map>
#include <string>
#include <vector>

// A small but complete .kav text for reader tests: a 5 km road of two sections with a
// three-lane main carriageway and a one-lane ramp in the upstream section (two origins, two
// destinations), a traffic light, two detectors, two vehicle types and a lane change area.
std::vector<std::string> BaseConfigLines();

/// The base text with some lines replaced: line number (from 1) -> replacement lines; an
/// empty replacement deletes the line, several insert lines.
std::string EditedConfigText(const std::map<int, std::vector<std::string>>& edits);

/// Joins lines with "\n" after each.
std::string JoinLines(const std::vector<std::string>& lines);
