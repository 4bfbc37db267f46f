#include <algorithm>
#include <cstdint>
#include <string>

#include "config/ConfigLine.h"
#include "config/ConfigRW.h"
#include "config/ConfigReader.h"
#include "config/KDConfig.h"
#include "config/OldConfigRW.h"
#include "config/ProgramError.h"
#include "config/RoadTypes.h"

namespace {

constexpr int FILE_LANES = MAX_KAVROLANE;

}  // namespace

ConfigReader::ConfigReader(const std::string& fileName, KDConfig& config)
    : fileName_(fileName), config_(config) {
  std::fill(std::begin(sourceRank_), std::end(sourceRank_), -1);
  std::fill(std::begin(sinkRank_), std::end(sinkRank_), -1);
}

bool ConfigReader::Fail(const std::string& message) {
  result_.ok = false;
  result_.error = {fileName_, lineNo_, line_, message};
  return false;
}

ConfigReadResult ConfigReader::Read(std::istream& in) {
  while (ReadConfigLine(in, line_)) {
    lineNo_++;
    if (lineNo_ == 1 && line_.compare(0, 6, "* 1 * ") == 0) {
      in.clear();
      in.seekg(0);
      return ReadOldConfig(fileName_, in, config_);
    }
    SplitLine split = SplitConfigLine(line_);
    if (split.kind == LineKind::Comment) continue;
    if (split.kind == LineKind::NoColon) {
      Fail("No ':' found");
      return result_;
    }
    FileKey key;
    if (!FindFileKey(split.key, key)) {
      Fail("Unknown keyword");
      return result_;
    }
    if (!HandleLine(key, split)) return result_;
    if (key == FileKey::EndOfFile) {
      result_.ok = FinishReading();
      return result_;
    }
  }
  // An empty file has no line to show; its error is put at line 1.
  if (lineNo_ == 0) lineNo_ = 1;
  Fail("Unexpected end of file");
  return result_;
}

bool ConfigReader::HandleLine(FileKey key, const SplitLine& line) {
  if (key != previousKey_) {
    if (!FinishBlock(previousKey_)) return false;
    if (key == FileKey::Source || key == FileKey::Sink) GiveTemporaryNames(key);
    previousKey_ = key;
  }
  uint32_t missing = KeywordOf(key).prerequisites & ~completed_;
  if (missing != 0) {
    return Fail(Format("Key \"%s\" must be preceded by key \"%s\"", KeyName(key),
                       KeyName(FirstKeyWithBit(missing))));
  }
  switch (key) {
    case FileKey::Version:
      return HandleVersion(line);
    case FileKey::Sections:
      return HandleSections(line);
    case FileKey::Lane:
      return HandleLane(line);
    case FileKey::Source:
      return HandleSourceSink(line, true);
    case FileKey::Sink:
      return HandleSourceSink(line, false);
    case FileKey::LaneChange:
      return HandleLaneChange(line);
    case FileKey::TrafficLight:
      return HandleTrafficLight(line);
    case FileKey::DetectorPositions:
      return HandleDetectorPositions(line);
    case FileKey::DetectorTimes:
      return HandleDetectorTimes(line);
    case FileKey::VehicleTypes:
      return HandleVehicleTypes(line);
    case FileKey::VehicleGeneralParam:
      return HandleParam(line, false);
    case FileKey::VehicleSpecificParam:
      return HandleParam(line, true);
    case FileKey::Flow:
      return HandleFlow(line);
    case FileKey::VehicleProbabilities:
      return HandleVehicleProbabilities(line);
    case FileKey::SourceToSink:
      return HandleSourceToSink(line);
    case FileKey::RandomSeed:
      return HandleSeed(line);
    case FileKey::TimeStepSize:
      return HandleTimeStep(line);
    case FileKey::MaximumSimulationTime:
      return HandleMaxTime(line);
    case FileKey::TempClosedLane:
      return HandleTempClosedLane(line);
    case FileKey::TeleportEntrance:
      return HandleTeleport(line, true);
    case FileKey::TeleportExit:
      return HandleTeleport(line, false);
    case FileKey::EndOfFile:
      return true;
  }
  return true;
}

// ---- Blocks ------------------------------------------------------------------------------

bool ConfigReader::FinishBlock(FileKey key) {
  switch (key) {
    case FileKey::Lane:
      if (!FinishLanes()) return false;
      break;
    case FileKey::Source:
    case FileKey::Sink: {
      bool isSource = key == FileKey::Source;
      int count = isSource ? config_.SourceCount() : config_.SinkCount();
      for (int r = 0; r < count; r++) {
        if (!(isSource ? originNamed_[r] : destinationNamed_[r]))
          return Fail(isSource ? "Sources not completely defined" : "Sinks not completely defined");
      }
      break;
    }
    case FileKey::Flow:
      for (int r = 0; r < config_.SourceCount(); r++)
        if (!flowRead_[r]) return Fail("Flow graphs not completely defined");
      break;
    case FileKey::VehicleProbabilities:
      for (int r = 0; r < config_.SourceCount(); r++)
        if (!distributionRead_[r]) return Fail("Vehicle distributions not completely defined");
      break;
    case FileKey::SourceToSink:
      for (int o = 0; o < config_.SourceCount(); o++)
        for (int d = 0; d < config_.SinkCount(); d++)
          if (!odRead_[o][d]) return Fail("Origin Destination matrix not completely defined");
      break;
    case FileKey::VehicleGeneralParam:
    case FileKey::VehicleSpecificParam:
      if (!warning_.empty()) result_.warnings.push_back(warning_);
      break;
    default:
      break;
  }
  completed_ |= KeywordOf(key).completionBit;
  return true;
}

bool ConfigReader::FinishLanes() {
  for (int lane = 0; lane < FILE_LANES; lane++)
    if (!laneGiven_[lane]) return Fail("Lane types not completely defined");
  for (int s = 0; s <= config_.Boundaries(); s++) {
    if (config_.IntPhysicalSectionProperty(s, 0, PP_LANETYPE) & LANE_TAPERON)
      return Fail("Taper cannot occur on left most lane");
    for (int lane = 1; lane < FILE_LANES; lane++) {
      int type = config_.IntPhysicalSectionProperty(s, lane, PP_LANETYPE);
      int left = config_.IntPhysicalSectionProperty(s, lane - 1, PP_LANETYPE);
      if ((type & LANE_TAPERON) && (left & LANE_TAPERON))
        config_.SetPhysicalSectionProperty(s, lane - 1, PP_LANETYPE, LANETYPE_TAPERON_LEFT, false);
    }
  }
  return true;
}

// Origins and destinations get names made of a space and their rank, so that the names of
// the file can be given in any order without colliding with the names they replace.
void ConfigReader::GiveTemporaryNames(FileKey key) {
  bool isSource = key == FileKey::Source;
  int count = isSource ? config_.SourceCount() : config_.SinkCount();
  for (int r = 0; r < count; r++) {
    std::string name = Format(" %d", r);
    if (isSource)
      config_.SetSourceName(r, name);
    else
      config_.SetSinkName(r, name);
  }
}

bool ConfigReader::FinishReading() {
  float step = config_.TimeStep();
  config_.SetDetectorTimes(static_cast<int>(detectorFirst_ * static_cast<double>(step)),
                           static_cast<int>(detectorInterval_ * static_cast<double>(step)));
  if (maxTimeSteps_ > 0) {
    int seconds = static_cast<int>(maxTimeSteps_ * static_cast<double>(step));
    if (seconds <= 0) {
      lineNo_ = maxTimeLine_;
      line_ = maxTimeText_;
      return Fail("Bad maximum simulation time");
    }
    config_.SetMaxTime(seconds);
  }
  return true;
}
