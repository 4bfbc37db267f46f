#include <algorithm>
#include <cstdint>
#include <string>

#include "config/ConfigLine.h"
#include "config/ConfigRW.h"
#include "config/ConfigReader.h"
#include "config/ConfigValueRules.h"
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
  result_.error = {fileName_, lineNo_, QuotedLine(line_), message};
  return false;
}

bool ConfigReader::FailAt(int lineNo, const std::string& line, const std::string& message) {
  lineNo_ = lineNo;
  line_ = line;
  return Fail(message);
}

ConfigReadResult ConfigReader::Read(std::istream& in) {
  while (ReadConfigLine(in, line_)) {
    lineNo_++;
    std::string beforeCR;
    if (HasLoneCarriageReturn(line_, &beforeCR)) {
      FailAt(lineNo_, beforeCR, kLoneCarriageReturnMessage);
      return result_;
    }
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
  // A key with a fixed set of values reads them from `values`; what its handler leaves is
  // refused alike for all of them, never dropped.
  ValueScanner values(line.value);
  if (!HandleKey(key, line, values)) return false;
  if (KeywordOf(key).fixedValues && !values.AtEnd())
    return Fail(
        Format("Unexpected text after the values: \"%s\"", QuotedLine(values.Rest()).c_str()));
  return true;
}

bool ConfigReader::HandleKey(FileKey key, const SplitLine& line, ValueScanner& values) {
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
      return HandleTrafficLight(line, values);
    case FileKey::DetectorPositions:
      return HandleDetectorPositions(line);
    case FileKey::DetectorTimes:
      return HandleDetectorTimes(line, values);
    case FileKey::VehicleTypes:
      return HandleVehicleTypes(line, values);
    case FileKey::VehicleGeneralParam:
      return HandleParam(line, values, false);
    case FileKey::VehicleSpecificParam:
      return HandleParam(line, values, true);
    case FileKey::Flow:
      return HandleFlow(line);
    case FileKey::VehicleProbabilities:
      return HandleVehicleProbabilities(line);
    case FileKey::SourceToSink:
      return HandleSourceToSink(line);
    case FileKey::RandomSeed:
      return HandleSeed(line, values);
    case FileKey::TimeStepSize:
      return HandleTimeStep(line, values);
    case FileKey::MaximumSimulationTime:
      return HandleMaxTime(line, values);
    case FileKey::TempClosedLane:
      return HandleTempClosedLane(line, values);
    case FileKey::TeleportEntrance:
      return HandleTeleport(line, values, true);
    case FileKey::TeleportExit:
      return HandleTeleport(line, values, false);
    case FileKey::EndOfFile:
      return true;
  }
  return true;
}

// ---- Blocks ------------------------------------------------------------------------------

bool ConfigReader::FinishBlock(FileKey key) {
  switch (key) {
    case FileKey::Sections:
      if (!FinishSections()) return false;
      break;
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

bool ConfigReader::FinishSections() {
  if (sectionEnds_.empty()) return true;
  config_.SetSectionEnds(std::vector<int>(sectionEnds_.begin(), sectionEnds_.end()));
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
      if (!(type & LANE_TAPERON) || !(left & LANE_TAPERON)) continue;
      if (!config_.LaneTypeValid(s, lane - 1, LANETYPE_TAPERON_LEFT))
        return FailAt(lastLaneLine_, lastLaneText_, config_.RoadListCount().LimitText());
      config_.SetPhysicalSectionProperty(s, lane - 1, PP_LANETYPE, LANETYPE_TAPERON_LEFT, false);
    }
  }
  // Origins, destinations and teleports follow from the lanes; their lists have room for
  // MAXSOURCE, MAXSINK and MAXTELEPORT of them. An error of the road as a whole belongs to
  // the line that completed it.
  std::string limit = config_.RoadListCount().LimitText();
  if (!limit.empty()) return FailAt(lastLaneLine_, lastLaneText_, limit);
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
  // Whole steps become seconds exactly; a part of a second that the configuration cannot
  // hold is dropped.
  const int perSecond = std::max(stepsPerSecond_, 1);
  config_.SetDetectorTimes(StepsToSeconds(detectorFirst_, perSecond),
                           StepsToSeconds(detectorInterval_, perSecond));
  if (maxTimeSteps_ > 0) {
    int seconds = StepsToSeconds(maxTimeSteps_, perSecond);
    if (seconds <= 0) return FailAt(maxTimeLine_, maxTimeText_, "Bad maximum simulation time");
    config_.SetMaxTime(seconds);
  }
  return true;
}
