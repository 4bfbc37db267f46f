#include "config/OldConfigRW.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "config/ConfigLine.h"
#include "config/ConfigParamRows.h"
#include "config/ConfigValueRules.h"
#include "config/KDConfig.h"
#include "config/OldConfigReader.h"
#include "config/ProgramError.h"
#include "config/RoadTypes.h"
#include "config/fs_params.h"

namespace {

using Item = OldConfigReader::Item;

const char* const kNotOldStyle =
    "This does not look like an old style (V4) kavro configuration file";

// Sections are inserted one by one, each insert moving the sections behind it; a thousand
// sections is far more than a road of the old style ever had.
constexpr int kMaxBoundaries = 999;
// The old style keeps a working table of 99 origin lanes.
constexpr int kMaxOriginLanes = 99;
constexpr int kMaxFlowPoints = 99;
// Vehicle parameter lines that may end with a "*" line: from parameter 10 on.
constexpr int kFirstOptionalParam = 10;
// OD probabilities summed over an origin's lanes may exceed 1 by rounding only.
constexpr double kODSlack = 0.001;

std::string BadFormat(const std::string& detail) { return "bad format (" + detail + ")"; }

// The lane type of an old-style lane type code; -1 for a code the style does not have
// (tapers and teleports came later).
int OldLaneType(int code) {
  switch (code) {
    case 0:
      return LANETYPE_ANYCHANGE;
    case 1:
      return LANETYPE_CHANGERIGHT;
    case 2:
      return LANETYPE_CHANGELEFT;
    case 3:
      return LANETYPE_NOCHANGE;
    case 4:
      return LANETYPE_MERGERIGHT;
    case 5:
      return LANETYPE_MERGELEFT;
    case 6:
      return LANETYPE_BLOCKED;
    case 9:
      return LANETYPE_UNPAVED;
    default:
      return -1;
  }
}

Item NextItem(Item item) {
  return item == Item::End ? Item::End : static_cast<Item>(static_cast<int>(item) + 1);
}

char FirstNonBlank(const std::string& line) {
  size_t at = line.find_first_not_of(" \t");
  return at == std::string::npos ? '\0' : line[at];
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

// The flow [veh/h] an origin's graph has at `time` [s]; 0 when it has no point there.
int FlowAt(const KDConfig& config, int origin, int time) {
  for (int p = 0; p < kMaxFlowPoints; p++) {
    int t = config.OFlowTime(origin, p);
    if (t < 0) break;
    if (t == time) return config.OFlowValue(origin, p);
  }
  return 0;
}

}  // namespace

OldConfigReader::OldConfigReader(const std::string& fileName, KDConfig& config)
    : fileName_(fileName), config_(config), stepsPerSecond_(StepsPerSecondOf(config.TimeStep())) {}

bool OldConfigReader::Fail(const std::string& message) { return FailAt(lineNo_, line_, message); }

bool OldConfigReader::FailAt(int lineNo, const std::string& lineText, const std::string& message) {
  result_.ok = false;
  result_.error = {fileName_, lineNo, QuotedLine(lineText), message};
  return false;
}

ConfigReadResult OldConfigReader::Read(std::istream& in) {
  // The last line stays in `line_` at the end of the file, where an incomplete file is
  // refused.
  std::string next;
  while (ReadConfigLine(in, next)) {
    line_ = std::move(next);
    lineNo_++;
    std::string beforeCR;
    if (HasLoneCarriageReturn(line_, &beforeCR)) {
      FailAt(lineNo_, beforeCR, kLoneCarriageReturnMessage);
      return result_;
    }
    if (lineNo_ == 1) {
      if (!IsOldStyleFirstLine(line_)) {
        Fail(kNotOldStyle);
        return result_;
      }
      continue;
    }
    if (lineNo_ == 2) {
      if (!ReadHeader(line_)) return result_;
      continue;
    }
    if (!HandleLine(line_)) return result_;
    if (item_ == Item::End) break;
  }
  if (lineNo_ == 0) {
    lineNo_ = 1;
    Fail(kNotOldStyle);
    return result_;
  }
  // The end of the file ends the reading wherever it comes after the road; what the file does
  // not give keeps its default. A file cut before that is no road at all.
  if (!roadRead_) {
    Fail(
        BadFormat("the file ends before its road: the boundaries, lane types and lane properties"));
    return result_;
  }
  Finish();
  return result_;
}

bool OldConfigReader::ReadHeader(const std::string& line) {
  headerLineNo_ = lineNo_;
  headerLine_ = line;
  ValueScanner scanner(line);
  int length = 0;
  int unused = 0;
  int originLanes = 0;
  if (!scanner.Int(length) || !scanner.Int(unused) || !scanner.Int(originLanes) ||
      !scanner.Int(unused))
    return Fail(BadFormat("expected four whole numbers: road length, -, origin lanes, -"));
  if (length <= 0 || length > kMaxRoadLength)
    return Fail(BadFormat(Format("road length %d m outside 1 .. %d m", length, kMaxRoadLength)));
  if (originLanes < 0 || originLanes > kMaxOriginLanes)
    return Fail(BadFormat(
        Format("%d origin lanes; the style holds 0 .. %d", originLanes, kMaxOriginLanes)));
  originLanes_ = originLanes;
  config_.SetLength(length);
  return true;
}

std::int64_t OldConfigReader::LinesOf(Item item) const {
  const std::int64_t sections = config_.Boundaries() + 1;
  switch (item) {
    case Item::LaneTypes:
    case Item::LaneProperties:
      return sections;
    case Item::UnusedSections:
      return 2 * sections;
    case Item::UnusedCounted:
      return 2 * unusedCount_ + 2;
    case Item::VehicleParams:
      return FS_COUNT;
    case Item::Flows:
      return 2 * static_cast<std::int64_t>(originLanes_);
    case Item::VehicleShares:
    case Item::ODPercentages:
      return originLanes_;
    case Item::TrafficLights:
      return trafficLights_;
    case Item::LaneDetectors:
      return laneDetectors_;
    case Item::Extra:
      return extraLines_;
    case Item::End:
      return 0;
    default:
      return 1;
  }
}

bool OldConfigReader::EnterItem(Item item) {
  item_ = item;
  lineInItem_ = 0;
  if (item == Item::Flows && !CheckOriginLanes()) return false;
  itemLines_ = LinesOf(item);
  if (itemLines_ > 0) {
    expectSeparator_ = false;
  } else if (NextItem(item) == Item::End) {
    // Nothing follows the last item.
    item_ = Item::End;
  } else {
    // An item without lines: the next line separates the item after it.
    expectSeparator_ = true;
  }
  return true;
}

bool OldConfigReader::HandleLine(const std::string& line) {
  if (expectSeparator_) {
    Item next = started_ ? NextItem(item_) : Item::Boundaries;
    started_ = true;
    return EnterItem(next);
  }
  const int k = static_cast<int>(std::min<std::int64_t>(lineInItem_, INT_MAX));
  if (item_ == Item::VehicleParams && FirstNonBlank(line) == '*') {
    if (k < kFirstOptionalParam)
      return Fail(
          BadFormat(Format("parameters 1 to %d must be given before \"*\"", kFirstOptionalParam)));
    DefaultVehicleParamsFrom(k);
    // The "*" line also separates the next item.
    return EnterItem(NextItem(item_));
  }
  bool ok = true;
  switch (item_) {
    case Item::Boundaries:
      ok = HandleBoundaries(line);
      break;
    case Item::LaneTypes:
      ok = HandleLaneTypes(line);
      break;
    case Item::LaneProperties:
      ok = HandleLaneProperties(line);
      break;
    case Item::UnusedCount:
      ok = HandleCount(line, unusedCount_);
      break;
    case Item::Detectors:
      ok = HandleDetectors(line);
      break;
    case Item::GeneralParams:
      ok = HandleGeneralParams(line);
      break;
    case Item::VehicleParams:
      ok = HandleVehicleParams(line);
      break;
    case Item::RunSettings:
      ok = HandleRunSettings(line);
      break;
    case Item::DetectorTimes:
      ok = HandleDetectorTimes(line);
      break;
    case Item::Flows:
      if (k % 2 == 0) {
        timesLineNo_ = lineNo_;
        timesLine_ = line;
      } else {
        ok = HandleFlows(line);
      }
      break;
    case Item::VehicleShares:
      ok = HandleVehicleShares(line);
      break;
    case Item::ODPercentages:
      ok = HandleODPercentages(line);
      break;
    case Item::TrafficLightCount:
      ok = HandleCount(line, trafficLights_);
      break;
    case Item::TrafficLights:
      ok = HandleTrafficLight(line);
      break;
    case Item::LaneDetectorCount:
      ok = HandleCount(line, laneDetectors_);
      break;
    case Item::LaneDetectors:
      ok = HandleLaneDetector(line);
      break;
    case Item::ExtraCount:
      ok = HandleCount(line, extraLines_);
      break;
    default:
      // Items the program does not use: read and ignored.
      break;
  }
  if (!ok) return false;
  if (item_ == Item::LaneTypes) {
    lastLaneTypesLineNo_ = lineNo_;
    lastLaneTypesLine_ = line;
  }
  if (++lineInItem_ >= itemLines_) {
    if (item_ == Item::LaneProperties) roadRead_ = true;
    if (NextItem(item_) == Item::End)
      item_ = Item::End;
    else
      expectSeparator_ = true;
  }
  return true;
}

// ---- Road ----------------------------------------------------------------------------------

bool OldConfigReader::HandleCount(const std::string& line, std::int64_t& count) {
  ValueScanner scanner(line);
  int value = 0;
  if (!scanner.Int(value) || value < 0)
    return Fail(BadFormat("a count must be a whole number of at least 0"));
  count = value;
  return true;
}

bool OldConfigReader::HandleBoundaries(const std::string& line) {
  ValueScanner scanner(line);
  int count = 0;
  if (!scanner.Int(count) || count < 0)
    return Fail(BadFormat("a count must be a whole number of at least 0"));
  while (!scanner.AtEnd()) {
    int position = 0;
    if (!scanner.Int(position)) return Fail(BadFormat("a boundary is a whole number of metres"));
    int length = config_.Length();
    if (position <= 0 || position >= length)
      return Fail(BadFormat(
          Format("boundary at %d m lies outside the road, 1 .. %d m", position, length - 1)));
    for (int s = 0; s <= config_.Boundaries(); s++)
      if (config_.SectionPos(s, WHENCE_END) == position)
        return Fail(BadFormat(Format("two boundaries at %d m", position)));
    if (config_.Boundaries() >= kMaxBoundaries)
      return Fail(BadFormat(Format("more than %d boundaries", kMaxBoundaries)));
    config_.InsertBoundary(position);
  }
  return true;
}

bool OldConfigReader::HandleLaneTypes(const std::string& line) {
  const int section = static_cast<int>(lineInItem_);
  ValueScanner scanner(line);
  int lane = 0;
  while (!scanner.AtEnd()) {
    int code = 0;
    if (!scanner.Int(code)) return Fail(BadFormat("a lane type code is a whole number"));
    if (lane >= MAX_KAVROLANE) return Fail(BadFormat(Format("more than %d lanes", MAX_KAVROLANE)));
    int type = OldLaneType(code);
    if (type < 0) return Fail("bad lane type");
    config_.SetPhysicalSectionProperty(section, lane, PP_LANETYPE, static_cast<float>(type), true);
    lane++;
  }
  return true;
}

bool OldConfigReader::HandleLaneProperties(const std::string& line) {
  const int section = static_cast<int>(lineInItem_);
  ValueScanner scanner(line);
  std::string group;
  int lane = 0;
  while (scanner.Word(group)) {
    if (lane >= MAX_KAVROLANE) return Fail(BadFormat(Format("more than %d lanes", MAX_KAVROLANE)));
    if (!StoreLaneGroup(section, lane, group)) return false;
    lane++;
  }
  return true;
}

// A lane's group: speed suppression [,no overtaking for trucks [,speed limit [,slope]]].
bool OldConfigReader::StoreLaneGroup(int section, int lane, const std::string& group) {
  ValueScanner scanner(group);
  float suppression = 0;
  int noOvertaking = -1;
  float speedLimit = 0;
  float slope = 0;
  bool hasLimit = false;
  bool hasSlope = false;
  const std::string where = Format("lane %d: %s", lane + 1, QuotedLine(group).c_str());
  if (!scanner.Float(suppression))
    return Fail(BadFormat(where + "; expected suppression[,trucks[,limit[,slope]]]"));
  if (scanner.Literal(',')) {
    if (!scanner.Int(noOvertaking) || (noOvertaking != 0 && noOvertaking != 1))
      return Fail(BadFormat(where + "; no overtaking for trucks is 0 or 1"));
    if (scanner.Literal(',')) {
      if (!scanner.Float(speedLimit) || !SpeedLimitValid(speedLimit))
        return Fail(
            BadFormat(where + Format("; the speed limit lies in 0 .. %g km/h", kMaxSpeedLimit)));
      hasLimit = true;
      if (scanner.Literal(',')) {
        if (!scanner.Float(slope) || !SlopeValid(slope))
          return Fail(BadFormat(where + "; the slope lies in 0 .. 0.07"));
        hasSlope = true;
      }
    }
  }
  if (!scanner.AtEnd())
    return Fail(BadFormat(where + "; expected suppression[,trucks[,limit[,slope]]]"));
  if (!SpeedSuppressionValid(suppression))
    return Fail(BadFormat(where + "; the speed suppression lies in 0 .. 1"));

  config_.SetPhysicalSectionProperty(section, lane, PP_SPEEDSUPPRESSION, suppression);
  if (noOvertaking >= 0)
    config_.SetPhysicalSectionProperty(section, lane, PP_NOOVERTAKINGTRUCKS,
                                       static_cast<float>(noOvertaking));
  // The default limit is not stored: it would reset the lane's speed suppression.
  const float defaultLimit =
      ProgramMode() == DOVEL ? DEFAULT_DOVEL_SPEEDLIMIT : DEFAULT_KAVRO_SPEEDLIMIT;
  if (hasLimit && speedLimit != defaultLimit)
    config_.SetPhysicalSectionProperty(section, lane, PP_SPEEDLIMIT, speedLimit);
  if (hasSlope) config_.SetPhysicalSectionProperty(section, lane, PP_SLOPE, slope);
  return true;
}

bool OldConfigReader::HandleDetectors(const std::string& line) {
  ValueScanner scanner(line);
  int count = 0;
  if (!scanner.Int(count) || count < 0)
    return Fail(BadFormat("a count must be a whole number of at least 0"));
  while (!scanner.AtEnd()) {
    int position = 0;
    if (!scanner.Int(position)) return Fail(BadFormat("a detector is a whole number of metres"));
    // A detector lies inside the road, at most one per position.
    if (position < 0 || position > config_.Length() || !config_.DetectorPositionValid(position))
      return Fail(BadFormat(Format("no detector can be placed at %d m", position)));
    config_.AddDetector(position);
  }
  return true;
}

// ---- Parameters and run settings -----------------------------------------------------------

bool OldConfigReader::HandleGeneralParams(const std::string& line) {
  ValueScanner scanner(line);
  float values[3] = {};
  for (float& value : values)
    if (!scanner.Float(value)) return Fail(BadFormat("expected three general parameters"));
  for (int n = 0; n < 3; n++) {
    if (!(values[n] >= ParamLow(false, n) && values[n] <= ParamHigh(false, n)))
      return Fail(BadFormat(Format("%s = %g lies outside %g .. %g", ParamFileName(false, n).c_str(),
                                   values[n], ParamLow(false, n), ParamHigh(false, n))));
  }
  for (int n = 0; n < 3; n++) config_.SetKavroGeneralParam(n, values[n]);
  return true;
}

bool OldConfigReader::HandleVehicleParams(const std::string& line) {
  const int param = static_cast<int>(lineInItem_);
  if (param == 0) {
    while (config_.VDCTypeCount(VDC_KAVRO) > 1)
      config_.DeleteVDCType(VDC_KAVRO, config_.VDCTypeCount(VDC_KAVRO) - 1);
  }
  ValueScanner scanner(line);
  int type = 0;
  while (!scanner.AtEnd()) {
    float value = 0;
    if (!scanner.Float(value))
      return Fail(BadFormat(
          Format("%s: expected a number per vehicle type", ParamFileName(true, param).c_str())));
    if (type >= MAXVEHICLETYPE)
      return Fail(BadFormat(Format("more than %d vehicle types", MAXVEHICLETYPE)));
    if (!(value >= ParamLow(true, param) && value <= ParamHigh(true, param)))
      return Fail(BadFormat(Format("%s of vehicle type %d = %g lies outside %g .. %g",
                                   ParamFileName(true, param).c_str(), type + 1, value,
                                   ParamLow(true, param), ParamHigh(true, param))));
    if (type >= config_.VDCTypeCount(VDC_KAVRO)) config_.AddVDCType(VDC_KAVRO);
    config_.SetVDCParam(VDC_KAVRO, type, param, value);
    type++;
  }
  if (type == 0)
    return Fail(BadFormat(Format("%s: no value given", ParamFileName(true, param).c_str())));
  vehicleTypes_ = config_.VDCTypeCount(VDC_KAVRO);
  return true;
}

void OldConfigReader::DefaultVehicleParamsFrom(int param) {
  for (int p = param; p < FS_COUNT; p++)
    for (int t = 0; t < config_.VDCTypeCount(VDC_KAVRO); t++)
      config_.SetVDCParam(VDC_KAVRO, t, p, FSDefault(p, t));
}

bool OldConfigReader::HandleRunSettings(const std::string& line) {
  ValueScanner scanner(line);
  int seed = 0;
  float step = 0;
  int steps = 0;
  if (!scanner.Int(seed) || !scanner.Float(step) || !scanner.Int(steps))
    return Fail(BadFormat("expected seed, time step [s] and simulation time [steps]"));
  if (!SeedValid(seed))
    return Fail(BadFormat(Format("seed %d; a seed is a positive odd whole number", seed)));
  const int stepsPerSecond = StepsPerSecondOf(step);
  if (stepsPerSecond == 0)
    return Fail(BadFormat(Format(
        "time step %g s; a second must be a whole number of steps, 1 to 10 (1, 0.5, 0.33 .. 0.1 s)",
        step)));
  const int seconds = StepsToSeconds(steps, stepsPerSecond);
  if (steps <= 0 || seconds < 1)
    return Fail(BadFormat(Format("simulation time of %d steps", steps)));
  stepsPerSecond_ = stepsPerSecond;
  config_.SetSeed(seed);
  config_.SetTimeStep(TimeStepOf(stepsPerSecond));
  config_.SetMaxTime(seconds);
  return true;
}

bool OldConfigReader::HandleDetectorTimes(const std::string& line) {
  ValueScanner scanner(line);
  int count = 0;
  if (!scanner.Int(count) || count < 0)
    return Fail(BadFormat("a count must be a whole number of at least 0"));
  if (scanner.AtEnd()) {
    config_.SetDetectorTimes(0, 0);
    return true;
  }
  int first = 0;
  if (!scanner.Int(first) || first < 0)
    return Fail(BadFormat("a sample time is a whole number of steps, at least 0"));
  int next = first;
  if (!scanner.AtEnd() && (!scanner.Int(next) || next <= first))
    return Fail(BadFormat("the second sample time must come after the first"));
  config_.SetDetectorTimes(StepsToSeconds(first, stepsPerSecond_),
                           StepsToSeconds(next - first, stepsPerSecond_));
  return true;
}

// ---- Demand ------------------------------------------------------------------------------

int OldConfigReader::OriginOfLane(int originLane, int* laneCount) const {
  int first = 0;
  for (int o = 0; o < config_.SourceCount(); o++) {
    int lanes = config_.SourceToLane(o) - config_.SourceFromLane(o) + 1;
    if (originLane < first + lanes) {
      if (laneCount) *laneCount = lanes;
      return o;
    }
    first += lanes;
  }
  return -1;
}

int OldConfigReader::DestinationOfLane(int destinationLane) const {
  int first = 0;
  for (int d = 0; d < config_.SinkCount(); d++) {
    int lanes = config_.SinkToLane(d) - config_.SinkFromLane(d) + 1;
    if (destinationLane < first + lanes) return d;
    first += lanes;
  }
  return -1;
}

int OldConfigReader::DestinationLaneCount() const {
  int lanes = 0;
  for (int d = 0; d < config_.SinkCount(); d++)
    lanes += config_.SinkToLane(d) - config_.SinkFromLane(d) + 1;
  return lanes;
}

bool OldConfigReader::RoadListsFit() {
  // The lists of origins and destinations are built from the lane types on the first
  // request; a road with more of them than the lists hold is reported there.
  bool fits = true;
  {
    ThreadReportRedirect redirect([&fits](const Report&) { fits = false; });
    config_.SourceCount();
  }
  return fits;
}

bool OldConfigReader::CheckOriginLanes() {
  if (!RoadListsFit())
    return FailAt(
        headerLineNo_, headerLine_,
        BadFormat(Format("the road has more than %d origins or destinations", MAXSOURCE)));
  int lanes = 0;
  for (int o = 0; o < config_.SourceCount(); o++)
    lanes += config_.SourceToLane(o) - config_.SourceFromLane(o) + 1;
  if (lanes != originLanes_)
    return FailAt(headerLineNo_, headerLine_,
                  BadFormat(Format("%d origin lanes given; the road of this file has %d",
                                   originLanes_, lanes)));
  baseFlow_.assign(originLanes_, 0.0);
  weight_.assign(originLanes_, std::vector<double>(MAXVEHICLETYPE, 0.0));
  originTimes_.assign(config_.SourceCount(), {});
  return true;
}

bool OldConfigReader::HandleFlows(const std::string& line) {
  const int lane = static_cast<int>(lineInItem_ / 2);
  int lanes = 0;
  const int origin = OriginOfLane(lane, &lanes);
  const bool firstLaneOfOrigin = lane == 0 || OriginOfLane(lane - 1) != origin;
  auto badTime = [this](const std::string& detail) {
    return FailAt(timesLineNo_, timesLine_, BadFormat(detail));
  };
  ValueScanner times(timesLine_);
  ValueScanner flows(line);
  int count = 0;
  if (!times.Int(count) || count < 0)
    return badTime("a count must be a whole number of at least 0");
  std::vector<int> seconds;
  std::vector<int> values;
  for (;;) {
    bool timesDone = times.AtEnd();
    bool flowsDone = flows.AtEnd();
    if (timesDone && flowsDone) break;
    if (flowsDone) return badTime("more times than flows on the next line");
    if (timesDone) return Fail(BadFormat("more flows than times on the line before"));
    int time = 0;
    int flow = 0;
    if (!times.Int(time) || time < 0)
      return badTime("a time is a whole number of steps, at least 0");
    if (!flows.Int(flow) || flow < 0)
      return Fail(BadFormat("a flow is a whole number of vehicles per hour, at least 0"));
    // Times are whole seconds in the configuration.
    const int at = StepsToSeconds(time, stepsPerSecond_);
    if (!seconds.empty() && at <= seconds.back())
      return badTime("times must increase by at least one second");
    const int room = FlowPointRoom(seconds.empty() ? at : seconds.front());
    if (static_cast<int>(seconds.size()) >= room)
      return badTime(Format("more than %d times", room));
    if (time == 0) baseFlow_[lane] = flow;
    seconds.push_back(at);
    values.push_back(flow);
  }
  // An origin's flow graph is the sum of its lanes' graphs, so its lanes share the times.
  if (firstLaneOfOrigin)
    originTimes_[origin] = seconds;
  else if (seconds != originTimes_[origin])
    return badTime("every lane of an origin must list the same times");
  for (size_t i = 0; i < seconds.size(); i++) {
    std::int64_t sum = static_cast<std::int64_t>(FlowAt(config_, origin, seconds[i])) + values[i];
    if (sum > INT_MAX) return Fail(BadFormat("the flows of an origin add up to too much"));
    config_.SetOFlow(origin, seconds[i], static_cast<int>(sum));
  }
  return true;
}

bool OldConfigReader::HandleVehicleShares(const std::string& line) {
  const int lane = static_cast<int>(lineInItem_);
  if (lane == 0) {
    for (int o = 0; o < config_.SourceCount(); o++)
      for (int t = 0; t < vehicleTypes_; t++)
        config_.SetOVProbability(o, t, 1.0f / static_cast<float>(vehicleTypes_));
  }
  ValueScanner scanner(line);
  int type = 0;
  while (!scanner.AtEnd()) {
    float percentage = 0;
    if (!scanner.Float(percentage) || percentage < 0)
      return Fail(BadFormat("a percentage is a number of at least 0"));
    if (type >= vehicleTypes_)
      return Fail(BadFormat(Format("more percentages than the %d vehicle types", vehicleTypes_)));
    weight_[lane][type] = baseFlow_[lane] * percentage * 0.01;
    type++;
  }
  return true;
}

// The vehicle type shares of each origin follow from the weights of its lanes.
void OldConfigReader::ApplyVehicleShares() {
  int lane = 0;
  for (int o = 0; o < config_.SourceCount(); o++) {
    int lanes = config_.SourceToLane(o) - config_.SourceFromLane(o) + 1;
    double perType[MAXVEHICLETYPE] = {};
    double total = 0;
    for (int l = lane; l < lane + lanes; l++) {
      for (int t = 0; t < vehicleTypes_; t++) {
        perType[t] += weight_[l][t];
        total += weight_[l][t];
      }
    }
    if (!(total > 0)) total = 1;
    for (int t = 0; t < vehicleTypes_; t++)
      config_.SetOVProbability(o, t, static_cast<float>(perType[t] / total));
    lane += lanes;
  }
}

bool OldConfigReader::HandleODPercentages(const std::string& line) {
  const int lane = static_cast<int>(lineInItem_);
  const int sources = config_.SourceCount();
  const int sinks = config_.SinkCount();
  if (lane == 0) {
    ApplyVehicleShares();
    for (int o = 0; o < sources; o++)
      for (int d = 0; d < sinks; d++) config_.SetODProbability(o, d, -1, 0);
    od_.assign(sources,
               std::vector<std::vector<double>>(vehicleTypes_, std::vector<double>(sinks, 0.0)));
  }
  int lanes = 1;
  const int origin = OriginOfLane(lane, &lanes);
  const int destinationLanes = DestinationLaneCount();
  // The first group holds for every vehicle type; a further group after "," replaces it for
  // vehicle type 1, the next for type 2, and so on.
  std::vector<std::string> groups = SplitAt(line, ',');
  if (static_cast<int>(groups.size()) - 1 > vehicleTypes_)
    return Fail(BadFormat(Format("more groups than 1 + the %d vehicle types", vehicleTypes_)));
  std::vector<std::vector<double>> percentages;
  for (const std::string& group : groups) {
    ValueScanner scanner(group);
    std::vector<double> values;
    while (!scanner.AtEnd()) {
      float q = 0;
      if (!scanner.Float(q) || q < 0)
        return Fail(BadFormat("a percentage is a number of at least 0"));
      if (static_cast<int>(values.size()) >= destinationLanes)
        return Fail(
            BadFormat(Format("more percentages than the %d destination lanes", destinationLanes)));
      values.push_back(q);
    }
    percentages.push_back(std::move(values));
  }
  for (int t = 0; t < vehicleTypes_; t++) {
    const size_t g = static_cast<size_t>(t) + 1 < percentages.size() ? t + 1 : 0;
    for (size_t i = 0; i < percentages[g].size(); i++) {
      double& p = od_[origin][t][DestinationOfLane(static_cast<int>(i))];
      p += percentages[g][i] * 0.01 / lanes;
      if (p > 1 + kODSlack)
        return Fail(BadFormat(Format("the OD percentages of origin %s add up to more than 100",
                                     config_.SourceName(origin).c_str())));
    }
  }
  for (int t = 0; t < vehicleTypes_; t++)
    for (int d = 0; d < sinks; d++)
      config_.SetODProbability(origin, d, t, static_cast<float>(std::min(od_[origin][t][d], 1.0)));
  return true;
}

// ---- Traffic lights and lane detectors -----------------------------------------------------

bool OldConfigReader::HandleTrafficLight(const std::string& line) {
  ValueScanner scanner(line);
  std::string controller;
  int position = 0, lane = 0, number = 0, cycle = 0, green = 0, yellow = 0, offset = 0;
  bool read = scanner.Word(controller) && scanner.Int(position) && scanner.Int(lane) &&
              scanner.Int(number) && scanner.Int(cycle) && scanner.Int(green) &&
              scanner.Int(yellow) && scanner.Int(offset);
  if (!read)
    return Fail(BadFormat(
        "expected controller, position, lane, number, cycle, green, yellow and start offset"));
  if (controller == "|") controller.clear();
  if (position < 0 || position >= config_.Length() || lane < 0 || lane >= MAX_KAVROLANE ||
      controller.size() > static_cast<size_t>(KDConfig::MAXCONTROLLERNAME) ||
      !config_.TrafficLightValid(controller, position, lane, cycle, green, yellow, offset))
    return Fail(BadFormat("this traffic light does not fit the road or its times do not fit"));
  config_.AddTrafficLight(controller, position, lane, number, cycle, green, yellow, offset);
  return true;
}

bool OldConfigReader::HandleLaneDetector(const std::string& line) {
  ValueScanner scanner(line);
  std::string controller;
  int position = 0, length = 0, lane = 0, number = 0;
  bool read = scanner.Word(controller) && scanner.Int(position) && scanner.Int(length) &&
              scanner.Int(lane) && scanner.Int(number);
  if (!read) return Fail(BadFormat("expected controller, position, length, lane and number"));
  if (!config_.LaneDetectorValid(controller, position, length, lane))
    return Fail(BadFormat("this lane detector does not fit the road"));
  config_.AddLaneDetector(controller, position, length, lane, number);
  return true;
}

void OldConfigReader::Finish() {
  if (!RoadListsFit()) {
    FailAt(headerLineNo_, headerLine_,
           BadFormat(Format("the road has more than %d origins or destinations", MAXSOURCE)));
    return;
  }
  // A road without an origin or a destination has no traffic, and the saved configuration
  // could not be read again.
  if (config_.SourceCount() == 0 || config_.SinkCount() == 0) {
    FailAt(lastLaneTypesLineNo_, lastLaneTypesLine_,
           BadFormat(config_.SourceCount() == 0 ? "the road of this file has no origin"
                                                : "the road of this file has no destination"));
    return;
  }
  result_.ok = true;
  // The keyed format has no place for lane detectors.
  if (config_.LaneDetectorCount() > 0)
    result_.warnings.push_back(
        Format("%s: lane detectors are not kept when the configuration is saved (%d in this file)",
               fileName_.c_str(), config_.LaneDetectorCount()));
}

bool IsOldStyleFirstLine(std::string firstLine) {
  while (!firstLine.empty() &&
         std::string(" \t\r\n\v\f").find(firstLine.back()) != std::string::npos)
    firstLine.pop_back();
  return firstLine.size() > 6 && firstLine.compare(0, 6, "* 1 * ") == 0;
}

ConfigReadResult ReadOldConfig(const std::string& fileName, std::istream& in, KDConfig& config) {
  OldConfigReader reader(fileName, config);
  return reader.Read(in);
}
