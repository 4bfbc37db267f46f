#pragma once

#include <cstdint>
#include <string_view>

// The keywords of the .kav configuration file. Each key has a completion bit that is set
// once a block of its lines has been read completely, and the completion bits that must be
// set before its first line may appear. The values are the keys' indices in the table.
enum class FileKey : int {
  Version = 0,
  Sections = 1,
  Lane = 2,
  Source = 3,
  Sink = 4,
  LaneChange = 5,
  TrafficLight = 6,
  DetectorPositions = 7,
  DetectorTimes = 8,
  VehicleTypes = 9,
  VehicleGeneralParam = 10,
  VehicleSpecificParam = 11,
  Flow = 12,
  VehicleProbabilities = 13,
  SourceToSink = 14,
  RandomSeed = 15,
  TimeStepSize = 16,
  MaximumSimulationTime = 17,
  TempClosedLane = 18,
  TeleportEntrance = 19,
  TeleportExit = 20,
  EndOfFile = 21,
};

constexpr int FILEKEY_COUNT = 22;

struct FileKeyword {
  const char* name;        // the keyword as written in the file; case matters
  uint32_t completionBit;  // 0 for optional keys
  uint32_t prerequisites;  // completion bits that must be set before the first line
  // The value text holds a fixed set of values, and nothing may follow them. Keys with a
  // list of values (sections, lanes, flows, probabilities) read it up to the line's end, and
  // the text after a version number or a location is a build or a name.
  bool fixedValues;
};

/// The keyword table, indexed by FileKey.
const FileKeyword& KeywordOf(FileKey key);

/// The keyword text of a key, e.g. "vehicle specific param".
const char* KeyName(FileKey key);

/// The key whose keyword equals `text` exactly; false when there is none.
bool FindFileKey(std::string_view text, FileKey& key);

/// The first key, in table order, whose completion bit is in `missing`; used to name the
/// missing prerequisite of a key.
FileKey FirstKeyWithBit(uint32_t missing);
