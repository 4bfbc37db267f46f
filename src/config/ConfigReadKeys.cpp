// The handling of each keyed line of a .kav file. Every value is checked before a setter
// is called, so that user input never reaches a program stop.

#include <cstdint>
#include <string>

#include "config/ConfigParamRows.h"
#include "config/ConfigReader.h"
#include "config/ConfigValueRules.h"
#include "config/ProgramError.h"
#include "config/RoadTypes.h"

namespace {

constexpr int FILE_LANES = MAX_KAVROLANE;

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ';
}

// Splits the value text into its blank-separated groups.
std::vector<std::string> Groups(const std::string& text) {
  std::vector<std::string> groups;
  ValueScanner scanner(text);
  std::string group;
  while (scanner.Word(group)) groups.push_back(group);
  return groups;
}

}  // namespace

bool ConfigReader::HandleVersion(const SplitLine& line) {
  ValueScanner scanner(line.value);
  int major = 0;
  int minor = 0;
  if (!scanner.Int(major) || !scanner.Literal('.') || !scanner.Int(minor))
    return Fail("Cannot read version info");
  return true;
}

bool ConfigReader::HandleSections(const SplitLine& line) {
  if (line.hasI1) return Fail("Bad section boundary specification");
  // The road is cut once, when the block ends: one boundary at a time would move every
  // section behind it for each one.
  if (completed_ & KeywordOf(FileKey::Sections).completionBit)
    return Fail("Duplicate definition of sections");
  for (const std::string& group : Groups(line.value)) {
    int position = 0;
    if (!ParseWholeNumber(group, position) || position <= 0 || position > kMaxRoadLength)
      return Fail("Bad section position");
    // A boundary must not fall on the road end or on another boundary.
    if (!sectionEnds_.insert(position).second) return Fail("Bad section position");
    if (static_cast<int>(sectionEnds_.size()) > MAXSECTIONS)
      return Fail(Format("Too many sections (at most %d)", MAXSECTIONS));
  }
  return true;
}

bool ConfigReader::HandleLane(const SplitLine& line) {
  if (!line.hasI1 || line.hasI2 || line.i1 < 0 || line.i1 >= FILE_LANES)
    return Fail("Bad (or no) lane specified");
  int lane = line.i1;
  if (laneGiven_[lane]) return Fail("Lane re-specified");
  laneGiven_[lane] = true;
  lastLaneLine_ = lineNo_;
  lastLaneText_ = line_;
  std::vector<std::string> groups = Groups(line.value);
  int sections = config_.Boundaries() + 1;
  for (int g = 0; g < static_cast<int>(groups.size()); g++) {
    if (g >= sections) return Fail("Too many physical section specifications");
    // Groups run from the most upstream section to section 0.
    if (!StoreLaneGroup(config_.Boundaries() - g, lane, groups[g])) return false;
  }
  if (static_cast<int>(groups.size()) < sections)
    return Fail("Too few physical section specifications");
  return true;
}

bool ConfigReader::StoreLaneGroup(int section, int lane, const std::string& group) {
  ValueScanner scanner(group);
  int code = 0;
  int noOvertaking = 0;
  int allLaneChange = 0;
  float suppression = 0;
  float speedLimit = 0;
  float slope = 0;
  if (!scanner.Int(code) || !scanner.Literal(',') || !scanner.Int(noOvertaking) ||
      !scanner.Literal(',') || !scanner.Float(suppression) || !scanner.Literal(',') ||
      !scanner.Float(speedLimit) || !scanner.Literal(',') || !scanner.Float(slope) ||
      !scanner.Literal(',') || !scanner.Int(allLaneChange) || !scanner.AtEnd())
    return Fail("Bad physical section specification");
  int type = LaneTypeFromCode(code);
  if (type < 0) return Fail("Bad section type");
  // A tapered ramp is a pair of lanes right of a through lane; it cannot start at lane 0.
  if (lane == 0 && (type & (LANE_TAPERON | LANE_TAPEROFF)))
    return Fail("Taper cannot occur on left most lane");
  if (noOvertaking != 0 && noOvertaking != 1)
    return Fail("Bad no-overtaking-trucks value (must be 0 or 1)");
  if (allLaneChange != 0 && allLaneChange != 1)
    return Fail("Bad all-lane-change-required value (must be 0 or 1)");
  if (!SpeedSuppressionValid(suppression))
    return Fail("Bad speed suppression (must lie in 0 .. 1)");
  if (!SpeedLimitValid(speedLimit))
    return Fail(Format("Bad speed limit (must lie in 0 .. %g km/h)", kMaxSpeedLimit));
  if (!SlopeValid(slope)) return Fail("Bad slope (must lie in 0 .. 0.07)");

  config_.SetPhysicalSectionProperty(section, lane, PP_LANETYPE, static_cast<float>(type), true);
  config_.SetPhysicalSectionProperty(section, lane, PP_NOOVERTAKINGTRUCKS,
                                     static_cast<float>(noOvertaking), false);
  config_.SetPhysicalSectionProperty(section, lane, PP_SPEEDSUPPRESSION, suppression, false);
  config_.SetPhysicalSectionProperty(section, lane, PP_SPEEDLIMIT, speedLimit, false);
  config_.SetPhysicalSectionProperty(section, lane, PP_SLOPE, slope, false);
  config_.SetPhysicalSectionProperty(section, lane, PP_ALLLANECHANGE,
                                     static_cast<float>(allLaneChange), false);
  return true;
}

bool ConfigReader::HandleSourceSink(const SplitLine& line, bool isSource) {
  int count = isSource ? config_.SourceCount() : config_.SinkCount();
  if (!line.hasI1 || line.hasI2 || line.i1 < 0 || line.i1 >= count)
    return Fail(isSource ? "Bad source rank number" : "Bad sink rank number");
  ValueScanner scanner(line.value);
  int section = 0;
  int fromLane = 0;
  int toLane = 0;
  if (!scanner.Int(section) || !scanner.Int(fromLane) || !scanner.Int(toLane))
    return Fail(isSource ? "Bad source specification" : "Bad sink specification");
  std::string_view rest = scanner.Rest();
  // One blank separates the location from the name, which is the rest of the line.
  if (rest.size() < 2 || (rest[0] != ' ' && rest[0] != '\t') ||
      !KDConfig::ValidSourceSinkName(std::string(rest.substr(1))))
    return Fail(isSource ? "Bad source name" : "Bad sink name");
  std::string name(rest.substr(1));
  int* fileRanks = isSource ? sourceRank_ : sinkRank_;
  bool* named = isSource ? originNamed_ : destinationNamed_;
  if (fileRanks[line.i1] != -1) return Fail(isSource ? "Duplicate source" : "Duplicate sink");
  int found = -1;
  for (int r = 0; r < count && found < 0; r++) {
    bool match =
        isSource ? config_.SourceSection(r) == section && config_.SourceFromLane(r) == fromLane &&
                       config_.SourceToLane(r) == toLane
                 : config_.SinkSection(r) == section && config_.SinkFromLane(r) == fromLane &&
                       config_.SinkToLane(r) == toLane;
    if (match) found = r;
  }
  if (found < 0) return Fail(isSource ? "Invalid source" : "Invalid sink");
  if (named[found]) return Fail(isSource ? "Duplicate source" : "Duplicate sink");
  for (int r = 0; r < count; r++) {
    const std::string other = isSource ? config_.SourceName(r) : config_.SinkName(r);
    if (r != found && other == name)
      return Fail(isSource ? "Duplicate source name" : "Duplicate sink name");
  }
  if (isSource)
    config_.SetSourceName(found, name);
  else
    config_.SetSinkName(found, name);
  fileRanks[line.i1] = found;
  named[found] = true;
  return true;
}

bool ConfigReader::HandleLaneChange(const SplitLine& line) {
  int sinks = config_.SinkCount();
  if (!line.hasI1 || !line.hasI2 || line.i1 < 0 || line.i1 >= sinks || line.i2 < 0 ||
      sinkRank_[line.i1] < 0 || sinkRank_[line.i1] >= sinks)
    return Fail("Bad sink and/or rank");
  if (line.i2 != areasRead_[line.i1]) return Fail("Lane change areas must be ordered by rank");
  int destination = sinkRank_[line.i1];
  ValueScanner scanner(line.value);
  int lane = 0;
  char direction = 0;
  int end = 0;
  int required = 0;
  int voluntary = 0;
  int group = 0;
  bool read = scanner.Int(lane) && scanner.Char(direction) && scanner.Int(end) &&
              scanner.Int(required) && scanner.Int(voluntary) && scanner.Int(group);
  if (!read || end < 0 || end > config_.Length() || required < 0 || voluntary < 0 ||
      int64_t{end} - required - voluntary < 0 || (direction != 'L' && direction != 'R') ||
      group < 0 || lane < 0 || lane >= FILE_LANES)
    return Fail("Bad lane change area definition");
  int types = config_.VDCTypeCount(VDC_KAVRO);
  float probabilities[MAXVEHICLETYPE] = {};
  int count = 0;
  if (group == 0) {
    if (!scanner.AtEnd()) return Fail("Nothing should follow route choice group 0");
  } else {
    float p = 0;
    while (scanner.Float(p)) {
      if (p < 0 || p > 1) return Fail("Bad probability");
      if (count >= types) return Fail("Too many probability values specified");
      probabilities[count++] = p;
    }
    if (!scanner.AtEnd()) return Fail("Bad probability");
    if (count != types) return Fail("Wrong number of probabilities specified");
  }
  config_.AddLaneChangeArea(destination, lane, end, required, voluntary, direction == 'L');
  for (int t = 0; t < count; t++)
    config_.SetLaneChangeAreaProbability(destination, 0, t, probabilities[t], group);
  areasRead_[line.i1]++;
  return true;
}

bool ConfigReader::HandleTrafficLight(const SplitLine& line, ValueScanner& values) {
  if (!line.hasI1 || line.hasI2 || line.i1 != trafficLightsRead_)
    return Fail("Traffic lights must be defined by rank order");
  std::string controller;
  int position = 0, lane = 0, number = 0, cycle = 0, green = 0, yellow = 0, offset = 0;
  bool read = values.Word(controller) && values.IntWord(position) && values.IntWord(lane) &&
              values.IntWord(number) && values.IntWord(cycle) && values.IntWord(green) &&
              values.IntWord(yellow) && values.IntWord(offset);
  if (!read || position < 0 || position >= config_.Length() || lane < 0 || lane >= FILE_LANES)
    return Fail("Bad traffic light definition");
  if (controller == "|") controller.clear();
  if (controller.size() > static_cast<std::size_t>(KDConfig::MAXCONTROLLERNAME) ||
      controller.find('\0') != std::string::npos)
    return Fail("Bad traffic light definition");
  // A controller drives its light itself (all times 0); a fixed-time light needs a cycle that
  // holds its green and yellow times [s].
  if (!config_.TrafficLightValid(controller, position, lane, cycle, green, yellow, offset))
    return Fail("Bad traffic light times");
  config_.AddTrafficLight(controller, position, lane, number, cycle, green, yellow, offset);
  trafficLightsRead_++;
  return true;
}

bool ConfigReader::HandleDetectorPositions(const SplitLine& line) {
  for (const std::string& group : Groups(line.value)) {
    int position = 0;
    if (!ParseWholeNumber(group, position) || position < 0 || position > config_.Length())
      return Fail("Bad detector position");
    if (config_.DetectorCount() >= MAXDETECTORS)
      return Fail(Format("Too many detectors (at most %d)", MAXDETECTORS));
    // A detector lies inside the road, at most one per position.
    if (!config_.DetectorPositionValid(position)) return Fail("Bad detector position");
    config_.AddDetector(position);
  }
  return true;
}

bool ConfigReader::HandleDetectorTimes(const SplitLine& line, ValueScanner& values) {
  if (line.hasI1) return Fail("Bad format (value BEFORE the ':')");
  int first = 0;
  int interval = 0;
  if (!values.IntWord(first) || !values.IntWord(interval) || first < 0 || interval < 0)
    return Fail("Bad times");
  detectorFirst_ = first;
  detectorInterval_ = interval;
  return true;
}

bool ConfigReader::HandleVehicleTypes(const SplitLine& line, ValueScanner& values) {
  if (line.hasI1) return Fail("Bad format (value BEFORE the ':')");
  if (vehicleTypes_ != 0) return Fail("Duplicate definition of number of vehicle types");
  int count = 0;
  if (!values.IntWord(count) || count < 1 || count > MAXVEHICLETYPE)
    return Fail("Bad number of vehicle types");
  vehicleTypes_ = count;
  while (config_.VDCTypeCount(VDC_KAVRO) > count)
    config_.DeleteVDCType(VDC_KAVRO, config_.VDCTypeCount(VDC_KAVRO) - 1);
  while (config_.VDCTypeCount(VDC_KAVRO) < count) config_.AddVDCType(VDC_KAVRO);
  return true;
}

bool ConfigReader::HandleParam(const SplitLine& line, ValueScanner& values, bool specific) {
  int types = config_.VDCTypeCount(VDC_KAVRO);
  int rows = ParamRowCount(specific);
  bool indicesOk = specific ? line.hasI1 && line.hasI2 && line.i1 >= 0 && line.i1 < rows &&
                                  line.i2 >= 0 && line.i2 < types
                            : line.hasI1 && !line.hasI2 && line.i1 >= 0 && line.i1 < rows;
  if (!indicesOk) return Fail("Bad parameter index/indices");
  bool& read = specific ? specificRead_[line.i1][line.i2] : generalRead_[line.i1];
  if (read) return Fail("Duplicate specification");
  read = true;
  float value = 0;
  if (!values.Float(value)) return Fail("Cannot convert value");
  values.SkipBlanks();
  std::string_view rest = values.Rest();
  size_t length = 0;
  while (length < rest.size() && IsNameChar(rest[length])) length++;
  std::string name(rest.substr(0, length));
  values.Skip(length);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  int row = line.i1;
  if (!name.empty()) {
    row = FindParamRow(specific, name);
    if (row < 0) {
      warning_ = Format("%s(%d): Unknown parameter \"%s\" (ignored)", fileName_.c_str(), lineNo_,
                        QuotedLine(name).c_str());
      // The line is skipped as a whole.
      values.Skip(rest.size());
      return true;
    }
  }
  if (!(value >= ParamLow(specific, row) && value <= ParamHigh(specific, row)))
    return Fail("Value out of range");
  if (specific)
    config_.SetVDCParam(VDC_KAVRO, line.i2, row, value);
  else
    config_.SetKavroGeneralParam(row, value);
  return true;
}

int ConfigReader::OriginOfFileRank(const SplitLine& line) const {
  if (!line.hasI1 || line.i1 < 0 || line.i1 >= MAXSOURCE) return -1;
  int origin = sourceRank_[line.i1];
  return origin < config_.SourceCount() ? origin : -1;
}

bool ConfigReader::HandleFlow(const SplitLine& line) {
  int origin = OriginOfFileRank(line);
  if (origin < 0 || line.hasI2) return Fail("Bad source rank number");
  if (flowRead_[origin]) return Fail("Redefinition of flow graph");
  flowRead_[origin] = true;
  std::vector<std::string> groups = Groups(line.value);
  if (groups.empty()) return Fail("No flowtime|flowvalue pairs specified");
  int times[99];
  int flows[99];
  int count = 0;
  for (const std::string& group : groups) {
    ValueScanner scanner(group);
    int time = 0;
    int flow = 0;
    if (!scanner.Int(time) || !scanner.Literal('|') || !scanner.Int(flow) || !scanner.AtEnd() ||
        time < 0 || flow < 0 || (count > 0 && time <= times[count - 1]))
      return Fail("Bad flowtime|flowvalue pair");
    if (count >= FlowPointRoom(count > 0 ? times[0] : time)) return Fail("Too many flow points");
    times[count] = time;
    flows[count++] = flow;
  }
  for (int i = 0; i < count; i++) config_.SetOFlow(origin, times[i], flows[i]);
  return true;
}

bool ConfigReader::HandleVehicleProbabilities(const SplitLine& line) {
  int origin = OriginOfFileRank(line);
  if (origin < 0 || line.hasI2) return Fail("Bad source rank number");
  if (distributionRead_[origin]) return Fail("Duplicate vehicle probability distribution");
  distributionRead_[origin] = true;
  int types = config_.VDCTypeCount(VDC_KAVRO);
  float values[MAXVEHICLETYPE] = {};
  int count = 0;
  float sum = 0;
  ValueScanner scanner(line.value);
  float p = 0;
  while (!scanner.AtEnd()) {
    if (!scanner.Float(p) || p < 0 || p > 1) return Fail("Bad probability");
    if (count >= types) return Fail("Too many probability values specified");
    sum += p;
    if (sum > 1.04) return Fail("Sum of probabilities exceeds 1.0");
    values[count++] = p;
  }
  if (sum < 0.96) return Fail("Sum of probabilities less than 1.0");
  if (count != types) return Fail("Wrong number of probabilities specified");
  for (int t = 0; t < count; t++) config_.SetOVProbability(origin, t, values[t]);
  return true;
}

bool ConfigReader::HandleSourceToSink(const SplitLine& line) {
  int sources = config_.SourceCount();
  int sinks = config_.SinkCount();
  if (!line.hasI1 || !line.hasI2 || line.i1 < 0 || line.i1 >= sources || line.i2 < 0 ||
      line.i2 >= sinks || sourceRank_[line.i1] < 0 || sourceRank_[line.i1] >= sources ||
      sinkRank_[line.i2] < 0 || sinkRank_[line.i2] >= sinks)
    return Fail("Bad source or sink rank number");
  int origin = sourceRank_[line.i1];
  int destination = sinkRank_[line.i2];
  if (odRead_[origin][destination]) return Fail("Duplicate source/sink pair");
  odRead_[origin][destination] = true;
  int types = config_.VDCTypeCount(VDC_KAVRO);
  float values[MAXVEHICLETYPE] = {};
  int count = 0;
  ValueScanner scanner(line.value);
  float p = 0;
  while (!scanner.AtEnd()) {
    if (!scanner.Float(p) || p < 0 || p > 1) return Fail("Bad probability value");
    if (count >= types) return Fail("Too many probabilities specified");
    values[count++] = p;
  }
  if (count < types) return Fail("Too few probabilities specified");
  for (int t = 0; t < count; t++) config_.SetODProbability(origin, destination, t, values[t]);
  return true;
}

bool ConfigReader::HandleSeed(const SplitLine& line, ValueScanner& values) {
  if (line.hasI1) return Fail("Bad format (value BEFORE the ':')");
  if (seed_ != -1) return Fail("Duplicate definition of seed");
  int seed = 0;
  if (!values.IntWord(seed) || !SeedValid(seed)) return Fail("Bad seed value");
  seed_ = seed;
  config_.SetSeed(seed);
  return true;
}

bool ConfigReader::HandleTimeStep(const SplitLine& line, ValueScanner& values) {
  if (line.hasI1) return Fail("Bad format (value BEFORE the ':')");
  if (timeStep_ != 0) return Fail("Duplicate definition of time step size");
  float step = 0;
  if (!values.FloatWord(step)) return Fail("Bad time step size value");
  int stepsPerSecond = StepsPerSecondOf(step);
  if (stepsPerSecond == 0) return Fail("Bad time step size value");
  timeStep_ = TimeStepOf(stepsPerSecond);
  stepsPerSecond_ = stepsPerSecond;
  config_.SetTimeStep(timeStep_);
  return true;
}

bool ConfigReader::HandleMaxTime(const SplitLine& line, ValueScanner& values) {
  if (line.hasI1) return Fail("Bad format (value BEFORE the ':')");
  if (maxTimeSteps_ != 0) return Fail("Duplicate definition of maximum simulation time");
  int steps = 0;
  if (!values.IntWord(steps) || steps <= 0) return Fail("Bad maximum simulation time");
  maxTimeSteps_ = steps;
  maxTimeLine_ = lineNo_;
  maxTimeText_ = line_;
  return true;
}

bool ConfigReader::HandleTempClosedLane(const SplitLine& line, ValueScanner& values) {
  if (line.hasI1) return Fail("Bad format (value BEFORE the ':')");
  int v[7] = {};
  bool ok = true;
  for (int i = 0; ok && i < 7; i++) ok = values.IntWord(v[i]);
  // lane, end [m], length [m], voluntary length [m], open, close, reopen [s]
  ok = ok && v[0] >= 0 && v[0] < FILE_LANES && int64_t{v[1]} - v[2] - v[3] >= 0 &&
       v[1] <= config_.Length() && v[2] >= 0 && v[3] >= 0 && v[4] >= 0 && v[4] < v[5] &&
       v[5] < v[6];
  if (!ok || !config_.TempClosedAreaValid({v[0], v[1], v[2], v[3], v[4], v[5], v[6]}))
    return Fail("Bad format (expected 7 positive numbers)");
  config_.SetTempClosedArea(v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
  return true;
}

bool ConfigReader::HandleTeleport(const SplitLine& line, ValueScanner& values, bool entrance) {
  int count = config_.TeleportCount(entrance);
  int counterpart = 0;
  if (!line.hasI1 || line.hasI2 || line.i1 < 0 || line.i1 >= count || !values.IntWord(counterpart))
    return Fail("Bad teleport number");
  config_.SetTeleportCounterPart(entrance, line.i1, counterpart);
  return true;
}
