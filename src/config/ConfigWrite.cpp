// The .kav writer. Floating point values are formatted without the C locale, with at least
// the customary number of decimals and more where those would not read back the same value.

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "Version.h"
#include "config/ConfigLine.h"
#include "config/ConfigParamRows.h"
#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/RoadTypes.h"
#include "config/SourceSink.h"
#include "config/ff_keys.h"

namespace {

const char* K(FileKey key) { return KeyName(key); }

// Formats a value with a display format's numeric part ("%3.1f", "%6.4f", "%d").
std::string FormatWithDisplayFormat(float value, const std::string& format) {
  size_t pos = 1;
  int width = 0;
  int precision = 6;
  while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9')
    width = width * 10 + (format[pos++] - '0');
  if (pos < format.size() && format[pos] == '.') {
    precision = 0;
    pos++;
    while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9')
      precision = precision * 10 + (format[pos++] - '0');
  }
  if (pos < format.size() && format[pos] == 'd')
    return Format("%*d", width, static_cast<int>(value));
  return FormatRoundTripWidth(value, width, precision);
}

// Seconds to steps of the time step, as the file counts the detector and stop times. A time
// step is a whole fraction of a second, so the count is exact.
int SecondsToSteps(int seconds, float timeStep) {
  const long long perSecond = std::max(std::lround(1.0 / static_cast<double>(timeStep)), 1L);
  const long long steps = seconds * perSecond;
  return steps >= INT_MAX ? INT_MAX : static_cast<int>(steps);
}

// Probabilities that are normalised when read: each gets the fewest decimals, from `decimals`
// on, with which the group reads back and normalises to exactly these values.
std::vector<std::string> FormatNormalised(const std::vector<float>& values, int decimals) {
  const int n = static_cast<int>(values.size());
  std::vector<std::string> texts(values.size());
  for (int digits = decimals; digits <= 12; digits++) {
    std::vector<float> back(values.size());
    for (int i = 0; i < n; i++) {
      texts[i] = FormatFixed(values[i], digits);
      ValueScanner(texts[i]).Float(back[i]);
    }
    Normalize(back.data(), n);
    if (back == values) return texts;
  }
  for (int i = 0; i < n; i++) texts[i] = FormatRoundTrip(values[i], decimals);
  return texts;
}

void WriteRoad(KDConfig& c, std::string& out) {
  for (int s = c.Boundaries(); s >= 0; s--) out += Format(" %5d", c.SectionPos(s, WHENCE_END));
  KDConfig::TempClosedAreaInfo area = c.TempClosedArea();
  if (area.Exists()) {
    out += Format(
        "\n#temporary closed area (%s: lane end length voluntarylength open close open)\n"
        "%s: %d %d %d %d %d %d %d",
        K(FileKey::TempClosedLane), K(FileKey::TempClosedLane), area.lane, area.end, area.length,
        area.voluntaryLength, area.t1, area.t2, area.t3);
  }
  out += Format(
      "\n#physical section info (%s: type,no-overtaking trucks,speed suppression,speed "
      "limit,slope,all lane change required ...)",
      K(FileKey::Lane));
  for (int l = 0; l < MAX_KAVROLANE; l++) {
    out += Format("\n%s %2d:", K(FileKey::Lane), l);
    for (int s = c.Boundaries(); s >= 0; s--) {
      out += Format(" %d,%d,", c.OldPhysSectionType(s, l),
                    c.IntPhysicalSectionProperty(s, l, PP_NOOVERTAKINGTRUCKS));
      out += FormatRoundTrip(c.PhysicalSectionProperty(s, l, PP_SPEEDSUPPRESSION), 1) + ",";
      out += FormatRoundTrip(c.PhysicalSectionProperty(s, l, PP_SPEEDLIMIT), 1) + ",";
      out += FormatRoundTrip(c.PhysicalSectionProperty(s, l, PP_SLOPE), 3) + ",";
      out += Format("%d", c.IntPhysicalSectionProperty(s, l, PP_ALLLANECHANGE));
    }
  }
}

void WriteOriginsAndDestinations(KDConfig& c, std::string& out) {
  out += Format("\n#%s locations and names (%s rank: section, from lane, until lane, name)",
                K(FileKey::Source), K(FileKey::Source));
  for (int r = 0; r < c.SourceCount(); r++) {
    out += Format("\n%s %2d: %d %d %d %s", K(FileKey::Source), r, c.SourceSection(r),
                  c.SourceFromLane(r), c.SourceToLane(r), c.SourceName(r).c_str());
  }
  out += Format("\n#%s locations and names (%s rank: section, from lane, until lane, name)",
                K(FileKey::Sink), K(FileKey::Sink));
  for (int r = 0; r < c.SinkCount(); r++) {
    out += Format("\n%s %2d: %d %d %d %s", K(FileKey::Sink), r, c.SinkSection(r), c.SinkFromLane(r),
                  c.SinkToLane(r), c.SinkName(r).c_str());
  }
}

void WriteFurniture(KDConfig& c, std::string& out) {
  out += Format(
      "\n#%ss (traffic light rank: controller, position, lane, number, cycle-time, green-time, "
      "yellow-time, start-offset)",
      K(FileKey::TrafficLight));
  for (int n = 0; n < c.TrafficLightCount(); n++) {
    std::string controller = c.TrafficLightController(n);
    out += Format("\n%s %2d: %s %d %d %d %d %d %d %d", K(FileKey::TrafficLight), n,
                  controller.empty() ? "|" : controller.c_str(), c.TrafficLightPosition(n),
                  c.TrafficLightLane(n), c.TrafficLightNumber(n), c.TrafficLightCycleTime(n),
                  c.TrafficLightGreenTime(n), c.TrafficLightYellowTime(n),
                  c.TrafficLightStartOffset(n));
  }
  int first = c.DetectorTime(0);
  int interval = c.DetectorInterval();
  out += Format("\n#traffic detector times (%s: first sample time, interval)\n%s: %d %d\n#%s\n%s:",
                K(FileKey::DetectorTimes), K(FileKey::DetectorTimes),
                SecondsToSteps(first, c.TimeStep()), SecondsToSteps(interval, c.TimeStep()),
                K(FileKey::DetectorPositions), K(FileKey::DetectorPositions));
  for (int n = c.DetectorCount() - 1; n >= 0; n--) out += Format(" %5d", c.DetectorPosition(n));
}

void WriteParameters(KDConfig& c, std::string& out) {
  int types = c.VDCTypeCount(VDC_KAVRO);
  out += Format("\n%s: %d\n#%ss (%s param_number: value, name", K(FileKey::VehicleTypes), types,
                K(FileKey::VehicleGeneralParam), K(FileKey::VehicleGeneralParam));
  for (int n = 0; n < ParamRowCount(false); n++) {
    out += Format("\n%s %2d: ", K(FileKey::VehicleGeneralParam), n);
    out += FormatWithDisplayFormat(c.GetKavroGeneralParam(n), ParamNumberFormat(false, n));
    out += " " + ParamFileName(false, n);
  }
  out += Format("\n#%ss (%s: param-number vehicle-type: value, name",
                K(FileKey::VehicleSpecificParam), K(FileKey::VehicleSpecificParam));
  for (int p = 0; p < ParamRowCount(true); p++) {
    for (int t = 0; t < types; t++) {
      float value = 0;
      c.GetVDCParam(VDC_KAVRO, t, p, &value);
      out += Format("\n%s %2d %2d: ", K(FileKey::VehicleSpecificParam), p, t);
      out += FormatRoundTripWidth(value, 7, 3) + " " + ParamFileName(true, p);
    }
  }
}

void WriteDemand(KDConfig& c, std::string& out) {
  int types = c.VDCTypeCount(VDC_KAVRO);
  out += Format("\n#%s graphs (%s sourceno: time|flow ...)", K(FileKey::Flow), K(FileKey::Flow));
  for (int r = 0; r < c.SourceCount(); r++) {
    out += Format("\n%s %2d:", K(FileKey::Flow), r);
    for (int i = 0; i < 99 && c.OFlowTime(r, i) != -1; i++)
      out += Format(" %5d|%05d", c.OFlowTime(r, i), c.OFlowValue(r, i));
  }
  out += Format("\n#vehicle type distribution (%s sourceno: probability ...)",
                K(FileKey::VehicleProbabilities));
  for (int r = 0; r < c.SourceCount(); r++) {
    out += Format("\n%s %2d:", K(FileKey::VehicleProbabilities), r);
    std::vector<float> shares(types);
    for (int t = 0; t < types; t++) shares[t] = c.OVProbability(r, t, false);
    for (const std::string& text : FormatNormalised(shares, 3)) out += " " + text;
  }
  out += Format("\n#Source sink (OD) matrix (%s source sink: list of values for each vehicle type)",
                K(FileKey::SourceToSink));
  const int sinks = c.SinkCount();
  for (int o = 0; o < c.SourceCount(); o++) {
    // The probabilities of one vehicle type over the destinations are normalised together.
    std::vector<std::vector<std::string>> byType(types);
    for (int t = 0; t < types; t++) {
      std::vector<float> probabilities(sinks);
      for (int d = 0; d < sinks; d++) probabilities[d] = c.ODProbability(o, d, t, false);
      byType[t] = FormatNormalised(probabilities, 2);
    }
    for (int d = 0; d < sinks; d++) {
      out += Format("\n%s %2d %2d:", K(FileKey::SourceToSink), o, d);
      for (int t = 0; t < types; t++) out += " " + byType[t][d];
    }
  }
}

void WriteAreasAndTeleports(KDConfig& c, std::string& out) {
  int types = c.VDCTypeCount(VDC_KAVRO);
  out += Format(
      "\n#%ss (%s sink rank: lane, mergedirection, end position, required-length, "
      "voluntarylength, type, route choice group, [probabilities (for each vehicle type)])",
      K(FileKey::LaneChange), K(FileKey::LaneChange));
  for (int d = 0; d < c.SinkCount(); d++) {
    int count = c.LaneChangeAreaCount(d);
    // The list holds the newest area first; writing from its end lets a reader that adds
    // each area at the front rebuild the same order.
    for (int rank = count - 1, fileRank = 0; rank >= 0; rank--, fileRank++) {
      int group = c.LaneChangeAreaRouteChoiceGroup(d, rank);
      out += Format("\n%s %2d %2d: %2d %c %5d %5d %5d %d", K(FileKey::LaneChange), d, fileRank,
                    c.LaneChangeAreaLane(d, rank), c.LaneChangeAreaMergeLeft(d, rank) ? 'L' : 'R',
                    c.LaneChangeAreaPosition(d, rank), c.LaneChangeAreaLengthRequired(d, rank),
                    c.LaneChangeAreaLengthVoluntary(d, rank), group);
      if (group != 0) {
        for (int t = 0; t < types; t++)
          out += " " + FormatRoundTrip(c.LaneChangeAreaProbability(d, rank, t), 2);
      }
    }
  }
  out += Format("\n#Teleport entrances (%s rank: counter-part)", K(FileKey::TeleportEntrance));
  for (int r = 0; r < c.TeleportCount(true); r++)
    out += Format("\n%s %d: %d", K(FileKey::TeleportEntrance), r, c.TeleportCounterPart(true, r));
  out += Format("\n#Teleport exits (%s rank: counter-part)", K(FileKey::TeleportExit));
  for (int r = 0; r < c.TeleportCount(false); r++)
    out += Format("\n%s %d: %d", K(FileKey::TeleportExit), r, c.TeleportCounterPart(false, r));
}

}  // namespace

std::string KavroConfigText(KDConfig& config, const std::string& dateLine) {
  std::string out =
      Format("#KAVRO configuration file written %s%s: %d.%d build %d\n%s:", dateLine.c_str(),
             K(FileKey::Version), KAVRO_VERSION_MAJOR, KAVRO_VERSION_MINOR, KAVRO_VERSION_BUILD,
             K(FileKey::Sections));
  WriteRoad(config, out);
  WriteOriginsAndDestinations(config, out);
  WriteFurniture(config, out);
  WriteParameters(config, out);
  WriteDemand(config, out);
  WriteAreasAndTeleports(config, out);
  out += Format("\n%s: %d\n%s: ", K(FileKey::RandomSeed), config.Seed(), K(FileKey::TimeStepSize));
  out += FormatRoundTrip(config.TimeStep(), 2);
  out += Format("\n%s: %d\n%s:\n", K(FileKey::MaximumSimulationTime),
                SecondsToSteps(config.MaxTime(), config.TimeStep()), K(FileKey::EndOfFile));
  return out;
}
