#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"

// One reading of an old-style (V4) configuration file. The style is positional: after the
// marker line and the line with the road length, the file is a fixed sequence of items, each
// preceded by one separator line whose content does not matter. The per-lane demand of the
// style (flows, vehicle type shares and OD percentages per origin lane and destination lane)
// is converted into the demand per origin that the program keeps. Every value is checked
// before a setter is called, so a bad file ends in a reading error, never in a program stop.
class OldConfigReader {
 public:
  OldConfigReader(const std::string& fileName, KDConfig& config);
  ConfigReadResult Read(std::istream& in);

  // The items after line 2, in file order.
  enum class Item {
    Boundaries,
    LaneTypes,
    UnusedSections,
    LaneProperties,
    UnusedCount,
    UnusedCounted,
    Detectors,
    GeneralParams,
    VehicleParams,
    RunSettings,
    UnusedRun,
    DetectorTimes,
    Flows,
    VehicleShares,
    ODPercentages,
    TrafficLightCount,
    TrafficLights,
    Unused1,
    Unused2,
    LaneDetectorCount,
    LaneDetectors,
    ExtraCount,
    Extra,
    End,
  };

 private:
  bool Fail(const std::string& detail);
  bool FailAt(int lineNo, const std::string& lineText, const std::string& detail);

  bool ReadHeader(const std::string& line);
  bool EnterItem(Item item);
  std::int64_t LinesOf(Item item) const;
  bool HandleLine(const std::string& line);

  bool HandleBoundaries(const std::string& line);
  bool HandleLaneTypes(const std::string& line);
  bool HandleLaneProperties(const std::string& line);
  bool StoreLaneGroup(int section, int lane, const std::string& group);
  bool HandleCount(const std::string& line, std::int64_t& count);
  bool HandleDetectors(const std::string& line);
  bool HandleGeneralParams(const std::string& line);
  bool HandleVehicleParams(const std::string& line);
  void DefaultVehicleParamsFrom(int param);
  bool HandleRunSettings(const std::string& line);
  bool HandleDetectorTimes(const std::string& line);
  bool RoadListsFit();
  bool CheckOriginLanes();
  bool HandleFlows(const std::string& line);
  bool HandleVehicleShares(const std::string& line);
  void ApplyVehicleShares();
  bool HandleODPercentages(const std::string& line);
  bool HandleTrafficLight(const std::string& line);
  bool HandleLaneDetector(const std::string& line);
  void Finish();

  /// The origin an origin lane index belongs to, and that origin's lane count.
  int OriginOfLane(int originLane, int* laneCount = nullptr) const;
  int DestinationOfLane(int destinationLane) const;
  int DestinationLaneCount() const;

  std::string fileName_;
  KDConfig& config_;
  ConfigReadResult result_;

  int lineNo_ = 0;
  std::string line_;
  int headerLineNo_ = 2;
  std::string headerLine_;

  Item item_ = Item::Boundaries;
  bool expectSeparator_ = true;
  bool started_ = false;          // the first item has been entered
  std::int64_t itemLines_ = 0;    // lines of the current item
  std::int64_t lineInItem_ = 0;   // lines of it read so far
  std::int64_t unusedCount_ = 0;  // N of the unused counted item
  std::int64_t trafficLights_ = 0;
  std::int64_t laneDetectors_ = 0;
  std::int64_t extraLines_ = 0;

  int originLanes_ = 0;  // S of line 2
  int vehicleTypes_ = 1;
  int stepsPerSecond_ = 1;  // of the time step, as the configuration holds it
  // The road (boundaries, lane types and lane properties) has been read completely.
  bool roadRead_ = false;
  int lastLaneTypesLineNo_ = 0;
  std::string lastLaneTypesLine_;

  // Flows: the times line waiting for its flows line.
  int timesLineNo_ = 0;
  std::string timesLine_;
  // Per origin lane: the flow at time 0 [veh/h] and the weight of each vehicle type.
  std::vector<double> baseFlow_;
  std::vector<std::vector<double>> weight_;
  // Per origin: the times [s] of its first lane, which its other lanes must repeat.
  std::vector<std::vector<int>> originTimes_;
  // Per origin, vehicle type and destination: the OD probability summed over its lanes.
  std::vector<std::vector<std::vector<double>>> od_;
};
