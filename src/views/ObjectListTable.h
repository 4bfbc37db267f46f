#pragma once

#include <string>
#include <utility>
#include <vector>

#include "views/NumberFormat.h"

class Kernel;
class RoadObject;

// The object list: one row per road object of the kernel, in road order, with 12 columns.
constexpr int OBJECT_LIST_COLUMNS = 12;
enum ObjectListColumn {
  OL_NUMBER = 0,
  OL_TYPE,
  OL_LEADER,
  OL_FOLLOWER,
  OL_LANE,
  OL_DESTINATION,
  OL_STATE,
  OL_POSITION,
  OL_SPEED,
  OL_ACCELERATION,
  OL_PREV_POS,
  OL_PREV_SPEED,
};
using ObjectListRow = std::vector<std::string>;

/// The rows of every object from the first downstream, the header not included.
std::vector<ObjectListRow> ObjectListRows(const Kernel& kernel);

/// The rows as a tab-separated text, each row ended by "\n".
std::string ObjectListText(const std::vector<ObjectListRow>& rows);

/// A row is a vehicle row when its speed cell is not empty.
bool IsVehicleRow(const ObjectListRow& row);

/// The row of the nearest object downstream (leader) or upstream (follower) of row `row` whose
/// lane cell has the same value; -1 when the row's leader (follower) cell is empty or none is
/// found. `firstDataRow` is the first row that holds an object (1 below a header row).
int GotoLeaderRow(const std::vector<ObjectListRow>& rows, int row);
int GotoFollowerRow(const std::vector<ObjectListRow>& rows, int row, int firstDataRow);

/// The smallest and largest vehicle number of the rows (both 0 without vehicle rows).
std::pair<int, int> VehicleNumberRange(const std::vector<ObjectListRow>& rows);
/// The first vehicle row of vehicle `number`; -1 when there is none.
int FindVehicleRow(const std::vector<ObjectListRow>& rows, int number);

/// "%05d.lst" filled with the step count.
std::string ObjectListFileName(int stepCount);

/// The vehicle data window's rows: (name, value) from the label captions "name|format" in
/// row order (vehicle type, lane, position, speed, acceleration, specific power, destination,
/// merge).
std::vector<std::pair<std::string, std::string>> VehicleDataRows(
    const RoadObject& vehicle, const std::vector<std::string>& captions);
