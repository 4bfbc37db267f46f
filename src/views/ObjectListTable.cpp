#include "views/ObjectListTable.h"

#include <cstdio>
#include <cstdlib>

#include "config/ProgramError.h"
#include "config/Units.h"
#include "kernel/Kernel.h"
#include "kernel/RoadObject.h"
#include "shell/TextTable.h"

namespace {

std::string Number(const RoadObject* object) {
  return object ? std::to_string(object->Number()) : std::string();
}

}  // namespace

std::vector<ObjectListRow> ObjectListRows(const Kernel& kernel) {
  std::vector<ObjectListRow> rows;
  for (const RoadObject* object = kernel.FirstObject(); object; object = object->Next()) {
    ObjectListRow row(OBJECT_LIST_COLUMNS);
    row[OL_NUMBER] = std::to_string(object->Number());
    row[OL_TYPE] = object->Describe();
    row[OL_LEADER] = Number(object->LeaderInLane());
    row[OL_FOLLOWER] = Number(object->FollowerInLane());
    const LaneDetectorInfo* laneDetector = object->LaneDetector();
    row[OL_LANE] = std::to_string((laneDetector ? laneDetector->lane : object->Lane()) + 1);
    row[OL_POSITION] = GeneralFormat(object->Position());
    if (const VehicleInfo* vehicle = object->Vehicle()) {
      row[OL_DESTINATION] = kernel.DestinationName(vehicle->destination);
      row[OL_STATE] = std::to_string(vehicle->laneChangeState);
      row[OL_SPEED] = GeneralFormat(vehicle->speed);
      row[OL_ACCELERATION] = GeneralFormat(vehicle->acceleration);
      row[OL_PREV_POS] = Format("%10.4f m", vehicle->previousPosition);
      row[OL_PREV_SPEED] = Format("%8.5f m/s", vehicle->previousSpeed);
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string ObjectListText(const std::vector<ObjectListRow>& rows) {
  std::string text;
  for (const ObjectListRow& row : rows) {
    for (size_t i = 0; i < row.size(); ++i) {
      if (i > 0) text += '\t';
      text += row[i];
    }
    text += '\n';
  }
  return text;
}

bool IsVehicleRow(const ObjectListRow& row) {
  return row.size() > OL_SPEED && !row[OL_SPEED].empty();
}

int GotoLeaderRow(const std::vector<ObjectListRow>& rows, int row) {
  if (row < 0 || row >= static_cast<int>(rows.size()) || rows[row][OL_LEADER].empty()) return -1;
  const int lane = std::atoi(rows[row][OL_LANE].c_str());
  for (int r = row + 1; r < static_cast<int>(rows.size()); ++r)
    if (std::atoi(rows[r][OL_LANE].c_str()) == lane) return r;
  return -1;
}

int GotoFollowerRow(const std::vector<ObjectListRow>& rows, int row, int firstDataRow) {
  if (row < 0 || row >= static_cast<int>(rows.size()) || rows[row][OL_FOLLOWER].empty()) return -1;
  const int lane = std::atoi(rows[row][OL_LANE].c_str());
  for (int r = row - 1; r >= firstDataRow; --r)
    if (std::atoi(rows[r][OL_LANE].c_str()) == lane) return r;
  return -1;
}

std::pair<int, int> VehicleNumberRange(const std::vector<ObjectListRow>& rows) {
  bool any = false;
  int low = 0, high = 0;
  for (const ObjectListRow& row : rows) {
    if (!IsVehicleRow(row)) continue;
    int n = std::atoi(row[OL_NUMBER].c_str());
    low = any ? std::min(low, n) : n;
    high = any ? std::max(high, n) : n;
    any = true;
  }
  return {low, high};
}

int FindVehicleRow(const std::vector<ObjectListRow>& rows, int number) {
  const std::string text = std::to_string(number);
  for (size_t r = 0; r < rows.size(); ++r)
    if (IsVehicleRow(rows[r]) && rows[r][OL_NUMBER] == text) return static_cast<int>(r);
  return -1;
}

std::string ObjectListFileName(int stepCount) { return Format("%05d.lst", stepCount); }

std::vector<std::pair<std::string, std::string>> VehicleDataRows(
    const RoadObject& object, const std::vector<std::string>& captions) {
  static const char* const kDefaults[8] = {"Vehicle type|%1.0f",
                                           "Lane|%1.0f",
                                           "Position|%4.1fm",
                                           "Speed|%4.1f km/h",
                                           "Acceleration|%4.2f m/s\xb2",
                                           "Specific power|%5.2f kW/ton",
                                           "Destination|%s",
                                           "Merge|%s %d%%"};
  std::vector<std::pair<std::string, std::string>> rows;
  const VehicleInfo* vehicle = object.Vehicle();
  if (!vehicle) return rows;
  const double numbers[6] = {static_cast<double>(object.Type() - 99),
                             static_cast<double>(object.Lane() + 1),
                             object.Position(),
                             MsToKmhInDouble(vehicle->speed),
                             vehicle->acceleration,
                             vehicle->specificPower};
  for (int i = 0; i < 8; ++i) {
    const std::string caption = i < static_cast<int>(captions.size()) ? captions[i] : kDefaults[i];
    const std::string fallback = kDefaults[i];
    size_t bar = caption.find('|');
    std::string name = bar == std::string::npos ? caption : caption.substr(0, bar);
    std::string format = bar == std::string::npos ? std::string() : caption.substr(bar + 1);
    std::string fallbackFormat = fallback.substr(fallback.find('|') + 1);
    std::string value;
    if (i < 6)
      value = FormatOneNumber(format, numbers[i], fallbackFormat.c_str());
    else if (i == 6)
      value = FillStringDirectives(format, {object.Owner().DestinationName(vehicle->destination)});
    else
      value = vehicle->statusText;  // the status text as it stands
    rows.emplace_back(name, value);
  }
  return rows;
}
