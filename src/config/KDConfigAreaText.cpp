// The clipboard text of road pieces: a rectangle of sections and lanes written as text, and
// pasted back at another place of the road.
//
//   text          = section group, one or more, without separators
//   section group = "(" length in whole metres, lane group per lane ")"
//   lane group    = "(" the lane's properties 9 .. 17, each "%f", separated by "," ")"
//
// The fifth number of a lane group is the lane type, a whole number 0 .. 4095; the eighth (the
// section's distance) is carried but not used when pasting.

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/TextChars.h"

namespace {

constexpr int kLaneGroupValues = 9;  // properties 9 .. 17
constexpr int kLaneTypeValue = PP_LANETYPE - PP_SPARE9;
// The longest road a configuration file may describe [m]; a paste must stay within it.
constexpr long long kMaxRoadLength = 16777216;

bool IsSeparator(char c) { return c == '(' || c == ')' || c == ','; }

// The text of one number: everything up to the next bracket or comma.
std::string_view NumberToken(std::string_view text, size_t& at) {
  const size_t begin = at;
  while (at < text.size() && !IsSeparator(text[at])) ++at;
  return text.substr(begin, at - begin);
}

// A finite number written plainly, with nothing before or after it.
bool ToDouble(std::string_view token, double& value) {
  if (token.empty()) return false;
  const char* begin = token.data();
  if (*begin == '+') ++begin;  // "%f" never writes one, but people do
  const char* end = token.data() + token.size();
  auto [last, error] = std::from_chars(begin, end, value);
  return error == std::errc() && last == end && std::isfinite(value);
}

bool WholeLaneType(std::string_view token) {
  double value = 0;
  return ToDouble(token, value) && value >= 0 && value <= LANEMASK_ALL &&
         value == std::floor(value);
}

// One pasted section: its length and its lanes' nine values, as written.
struct PieceSection {
  long long length = 0;  // [m]; saturates far beyond any road
  std::vector<std::array<std::string_view, kLaneGroupValues>> lanes;
};

// Walks the text; false on any deviation from the layout.
bool ParseStructure(std::string_view text, std::vector<PieceSection>* sections) {
  size_t at = 0;
  int groups = 0;
  while (at < text.size()) {
    if (text[at] != '(') return false;
    ++at;
    PieceSection section;
    if (at >= text.size() || !IsDigit(text[at])) return false;
    for (; at < text.size() && IsDigit(text[at]); ++at)
      section.length = std::min(section.length * 10 + (text[at] - '0'), kMaxRoadLength * 10);
    while (at < text.size() && text[at] == '(') {
      ++at;
      std::array<std::string_view, kLaneGroupValues> values;
      for (int v = 0; v < kLaneGroupValues; ++v) {
        if (v > 0) {
          if (at >= text.size() || text[at] != ',') return false;
          ++at;
        }
        values[v] = NumberToken(text, at);
        if (values[v].empty()) return false;
      }
      if (at >= text.size() || text[at] != ')') return false;
      ++at;
      if (!WholeLaneType(values[kLaneTypeValue])) return false;
      section.lanes.push_back(values);
    }
    if (at >= text.size() || text[at] != ')') return false;
    ++at;
    ++groups;
    if (sections) sections->push_back(std::move(section));
  }
  return groups > 0;
}

// The nine values of a lane group as numbers; empty text when they convert, else the
// conversion message for the first one that does not.
std::string ConvertLane(const std::array<std::string_view, kLaneGroupValues>& tokens,
                        std::string_view text, float values[kLaneGroupValues]) {
  for (int v = 0; v < kLaneGroupValues; ++v) {
    double value = 0;
    if (!ToDouble(tokens[v], value) || std::fabs(value) > std::numeric_limits<float>::max()) {
      // The message quotes the text from the bad number on.
      const size_t from = static_cast<size_t>(tokens[v].data() - text.data());
      const std::string rest(text.substr(from, 20));
      return Format("Cannot convert floating point value from clipboard (\"%.20s\")", rest.c_str());
    }
    values[v] = static_cast<float>(value);
  }
  return "";
}

// Why a lane's values cannot be stored in `lane`; empty when they can.
std::string LaneValuesProblem(const float values[kLaneGroupValues], int lane) {
  auto value = [&](int property) { return values[property - PP_SPARE9]; };
  for (int property : {PP_NOOVERTAKINGTRUCKS, PP_ALLLANECHANGE})
    if (value(property) != 0.0f && value(property) != 1.0f)
      return Format("lane %d: %s must be 0 or 1", lane + 1,
                    property == PP_NOOVERTAKINGTRUCKS ? "closed for overtaking trucks"
                                                      : "all lane change required");
  if (!(value(PP_SPEEDLIMIT) >= 0.0f && value(PP_SPEEDLIMIT) <= 1000.0f))
    return Format("lane %d: speed limit %g km/h is not in 0 .. 1000", lane + 1,
                  value(PP_SPEEDLIMIT));
  if (!(value(PP_SLOPE) >= 0.0f && value(PP_SLOPE) <= 0.070001f))
    return Format("lane %d: slope %g is not in 0 .. 0.07", lane + 1, value(PP_SLOPE));
  if (!(value(PP_SPEEDSUPPRESSION) >= 0.0f && value(PP_SPEEDSUPPRESSION) <= 1.0f))
    return Format("lane %d: speed suppression %g is not in 0 .. 1", lane + 1,
                  value(PP_SPEEDSUPPRESSION));
  const int laneType = static_cast<int>(value(PP_LANETYPE));
  if (lane == 0 && (laneType & (LANE_TAPERON | LANE_TAPEROFF)))
    return "a tapered ramp cannot lie on the leftmost lane";
  return "";
}

}  // namespace

std::string KDConfig::AreaToText(int fromLane, int toLane, int toSection, int fromSection) const {
  if (!(fromLane >= 0 && fromLane <= toLane && toLane < MaxLane() && toSection >= 0 &&
        toSection <= fromSection && fromSection <= Boundaries())) {
    ProgramError(Format("KDConfig::AreaToText: %s=%d%s=%d%s=%d%s=%d", "\r\nFromLane", fromLane,
                        "\r\nToLane", toLane, "\r\nToSection", toSection, "\r\nFromSection",
                        fromSection));
    return "";
  }
  std::string text;
  // Upstream to downstream, as the road is read.
  for (int s = fromSection; s >= toSection; --s) {
    text += "(" + std::to_string(SectionLength(s));
    for (int lane = fromLane; lane <= toLane; ++lane) {
      text += "(";
      for (int property = PP_SPARE9; property <= PP_SPARE17; ++property) {
        if (property > PP_SPARE9) text += ",";
        text += Format("%f", PhysicalSectionProperty(s, lane, property));
      }
      text += ")";
    }
    text += ")";
  }
  return text;
}

int KDConfig::CheckAreaText(const std::string& text) {
  if (text.empty()) return 0;
  std::vector<PieceSection> sections;
  if (!ParseStructure(text, &sections)) return -1;
  return static_cast<int>(sections.size());
}

std::string KDConfig::AreaTextProblem(const std::string& text, int section, int lane) const {
  std::vector<PieceSection> sections;
  if (!ParseStructure(text, &sections)) return "The clipboard does not hold a piece of road";
  if (section < 0 || section > Boundaries() || lane < 0 || lane >= MaxLane())
    return "There is no lane to paste into";
  long long newLength = Length() - SectionLength(section);
  for (const PieceSection& piece : sections) {
    float values[kLaneGroupValues];
    for (int l = 0; l < static_cast<int>(piece.lanes.size()); ++l) {
      std::string problem = ConvertLane(piece.lanes[l], text, values);
      if (!problem.empty()) return problem;
      if (lane + l >= MaxLane())
        return Format("The road piece has %d lanes; from lane %d on the road has only %d",
                      static_cast<int>(piece.lanes.size()), lane + 1, MaxLane() - lane);
      problem = LaneValuesProblem(values, lane + l);
      if (!problem.empty()) return "The road piece does not fit here: " + problem;
    }
    if (piece.length < 1) return "The road piece does not fit here: a section of 0 m";
    newLength += piece.length;
  }
  if (newLength > kMaxRoadLength)
    return Format("The road piece does not fit here: the road would be longer than %lld m",
                  kMaxRoadLength);
  if (ProgramMode() == DOVEL && Boundaries() + static_cast<int>(sections.size()) > 19)
    return "Cannot insert another boundary";

  // The rules of the lane types decide the rest: paste into a copy first, and refuse what
  // would reach one of the configuration's stops there or leave a lane type a file cannot
  // hold.
  std::string refused;
  {
    ThreadReportRedirect redirect([&refused](const Report& report) {
      if (refused.empty()) refused = report.text;
    });
    std::unique_ptr<KDConfig> trial = Duplicate(false);
    if (!trial) return "Out of memory";
    trial->PasteArea(text, section, lane);
    for (int s = 0; refused.empty() && s <= trial->Boundaries(); ++s)
      for (int l = 0; refused.empty() && l < MaxLane(); ++l) trial->OldPhysSectionType(s, l);
  }
  if (!refused.empty()) return "The road piece does not fit here: " + refused;
  return "";
}

bool KDConfig::TextToArea(const std::string& text, int section, int lane) {
  if (CheckAreaText(text) <= 0 || lane < 0 || lane >= MaxLane() || section < 0 ||
      section > Boundaries()) {
    ProgramError(Format("KDConfig::TextToArea: \r\nbad Text (%s) or Section (%d) or Lane (%d)",
                        text.c_str(), section, lane));
    return false;
  }
  const std::string problem = AreaTextProblem(text, section, lane);
  if (!problem.empty()) {
    UserMessage(ReportKind::Warning, "Warning", problem);
    return false;
  }
  PasteArea(text, section, lane);
  return true;
}

// Pastes a text that AreaTextProblem accepted for this place.
void KDConfig::PasteArea(const std::string& text, int section, int lane) {
  std::vector<PieceSection> sections;
  ParseStructure(text, &sections);
  const int p = section;
  for (size_t g = 0; g < sections.size(); ++g) {
    const PieceSection& piece = sections[g];
    const int count = static_cast<int>(piece.lanes.size());
    for (int l = 0; l < count; ++l) {
      float values[kLaneGroupValues];
      ConvertLane(piece.lanes[l], text, values);
      SetPhysicalSectionProperty(p, lane + l, PP_LANETYPE, values[kLaneTypeValue], true);
      for (int property = PP_SPARE9; property <= PP_SPARE17; ++property) {
        if (property == PP_LANETYPE || property == PP_DISTANCE) continue;
        SetPhysicalSectionProperty(p, lane + l, property, values[property - PP_SPARE9]);
      }
    }
    // The outer lanes of the piece meet the lanes beside it: their lane change bits adapt.
    if (count > 0) {
      SetPhysicalSectionProperty(p, lane, PP_LANETYPE,
                                 PhysicalSectionProperty(p, lane, PP_LANETYPE));
      SetPhysicalSectionProperty(p, lane + count - 1, PP_LANETYPE,
                                 PhysicalSectionProperty(p, lane + count - 1, PP_LANETYPE));
    }
    const int length = static_cast<int>(piece.length);
    if (g + 1 < sections.size()) {
      // Split off 1 m at the downstream end: the upstream part keeps the pasted values with
      // their length, the 1 m part (still section p) takes the next group.
      SetSectionLength(p, length + 1);
      InsertBoundary(SectionPos(p, WHENCE_END) - 1);
    } else {
      SetSectionLength(p, length);
    }
  }
}
