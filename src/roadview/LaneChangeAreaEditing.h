#pragma once

#include <string>

class KDConfig;

// The lane change area page without a window: what its fields show for an area and how an
// edit of the lengths and the route choice probability is applied.

/// The probability field of area `area` of destination `sink` in percent (trunc(p x 100 +
/// 0.001)): of vehicle type `type`, or for -1 ("Any") the probability all `typeCount` types
/// share; -1 when they differ.
int AreaProbabilityShown(const KDConfig& config, int sink, int area, int type, int typeCount);

/// One edit of the page's fields: lengths [m] and, when `probability` >= 0, a probability [%]
/// for vehicle type `type` (-1: all types).
struct AreaEdit {
  int required = 0;
  int voluntary = 0;
  int probability = -1;
  int type = -1;
};
/// Whether the edit differs from what area (sink, area) holds (the probability as shown).
bool AreaEditChanges(const KDConfig& config, int sink, int area, const AreaEdit& edit,
                     int typeCount);
/// False, changing nothing, when the values cannot be stored (negative lengths, a probability
/// above 100 %, no such area). Otherwise sets the lengths of area (sink, area), or with `toAll`
/// of every area of every destination ending at the same position in the same lane; a given
/// probability goes to every area of that destination with the same route choice group and
/// direction.
bool ApplyAreaEdit(KDConfig& config, int sink, int area, const AreaEdit& edit, bool toAll);
/// The probability field after a change: above 100 becomes "100", leading zeros go (a single
/// "0" stays).
std::string CleanProbabilityText(const std::string& text);
/// The area of destination `sink` drawn over road position `position` [m] in `lane`, searched
/// from the last rank; -1 for none.
int AreaAt(const KDConfig& config, int sink, int lane, int position);
