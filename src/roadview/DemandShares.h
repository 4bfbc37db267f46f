#pragma once

#include <string>
#include <vector>

class KDConfig;

// The demand side of the configuration as the traffic pages edit it: origin and destination
// names, the vehicle type shares per origin (per type or as passenger car and truck classes)
// and the destination shares per origin and vehicle type. Shares are fractions 0 .. 1; the
// setters store whole percentages so that what the bars show is what the file holds.

/// Makes the names of a grid unique: a name equal to an earlier row's becomes name + "_" + n
/// with the smallest n >= 1 that no row holds. True when a name was changed.
bool AdjustDuplicateNames(std::vector<std::string>& names);

/// The first column of a name grid: "Section %d, lane %d-%d", counting from 1.
std::string SourceSinkLocationText(int section, int fromLane, int toLane);

/// A vehicle type is a truck when it is longer than 6 m.
bool IsTruckType(const KDConfig& config, int type);
/// Number of existing vehicle types of a class: 0 passenger cars, 1 trucks.
int ClassTypeCount(const KDConfig& config, int vehicleClass);

/// The share of a class (0 passenger cars, 1 trucks) at an origin: the sum of its types'
/// normalised shares.
float ClassShare(const KDConfig& config, int origin, int vehicleClass);
/// Spreads a class share evenly over the types of the class, as whole percentages.
void SetClassShare(KDConfig& config, int origin, int vehicleClass, float share);

/// Stores a vehicle type's share as a whole percentage; the types before the last one with a
/// share are rounded to whole percentages too, and that last type takes the remainder, so the
/// origin's shares add up to 100 %.
void SetTypeShareWithRemainder(KDConfig& config, int origin, int type, float share);

/// Stores the share of a destination for one vehicle type as a whole percentage; nothing for
/// vehicle type -1 (all types shown together).
void SetDestinationShare(KDConfig& config, int origin, int destination, int vehicleType,
                         float share);

/// Whether some lane of the origin leads to a lane of the destination, following lane
/// connections downstream and lane changes sideways.
bool DestinationReachable(const KDConfig& config, int origin, int destination);
