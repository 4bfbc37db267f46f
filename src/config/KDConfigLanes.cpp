// Per-lane road properties of the physical sections: the property setter with its lane type
// rules, and the lane queries the kernel set-up, the list rebuild and the road view use.
#include <algorithm>
#include <cmath>
#include <source_location>

#include "config/DovelLink.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"

namespace {

// A tapered on-ramp lane counts as paved for the lane change rules.
bool IsPavedType(int laneType) { return (laneType & (LANE_PAVED | LANE_TAPERON)) != 0; }

// The external model also drives on its ICC lanes.
bool IsDovelPavedType(int laneType) { return (laneType & (LANE_PAVED | LANE_ICC)) != 0; }

int TypeOf(const PhysSection& sec, int lane) {
  return static_cast<int>(sec.value[lane][PP_LANETYPE]);
}

void SetTypeOf(PhysSection& sec, int lane, int laneType) {
  sec.value[lane][PP_LANETYPE] = static_cast<float>(laneType);
}

constexpr int kLeftBits = LANE_CHANGELEFT | LANE_NOCHANGELEFT;
constexpr int kRightBits = LANE_CHANGERIGHT | LANE_NOCHANGERIGHT;
// The largest float below 2^31: distances [m] beyond it cannot be converted to int.
constexpr float kMaxWholeDistance = 2147483520.0f;

}  // namespace

void KDConfig::SetPhysicalSectionProperty(int section, int lane, int property, float value,
                                          bool noAdjust) {
  if (section < 0 || section > Boundaries() || lane < 0 || lane > MaxLane() || property < 0 ||
      property >= PP_COUNT) {
    ProgramError(Format("%s=%d%s=%d%s=%d", "KDConfig::SetPhysicalSectionProperty: PhysSection",
                        section, "\r\nLane", lane, "\r\nProperty", property));
    return;
  }
  const bool dovel = ProgramMode() == DOVEL;
  // The rightmost lane of the external model always exists.
  if (dovel && property == PP_LANETYPE && lane == MAX_DOVELLANE - 1 && value == 0.0f)
    value = static_cast<float>(LANE_PAVED);
  // The row MaxLane() stands for the absent lane right of the road; it keeps reading as 0.
  if (lane == MaxLane() && property != PP_DISTANCE) return;
  float* row = sections_[section].value[lane];
  switch (property) {
    case PP_NOOVERTAKINGTRUCKS:
    case PP_ALLLANECHANGE:
      if (value != 0.0f && value != 1.0f) {
        ProgramError(
            Format("KDConfig::SetPhysicalSectionProperty\r\nBad NewValue (%f) for Property %d",
                   value, property));
        return;
      }
      row[property] = value;
      break;
    case PP_SPEEDLIMIT:
      // A lane has either a speed limit or a speed suppression, never both.
      row[PP_SPEEDLIMIT] = value;
      if (!dovel && value != DEFAULT_KAVRO_SPEEDLIMIT) row[PP_SPEEDSUPPRESSION] = 1.0f;
      break;
    case PP_SLOPE:
      if (!(value >= 0.0f && static_cast<double>(value) <= 0.070001)) {
        ProgramError(
            Format("KDConfig::SetPhysicalSectionProperty\r\nBad NewValue (%f) for slope", value));
        return;
      }
      row[PP_SLOPE] = value;
      break;
    case PP_LANETYPE: {
      PhysSection sec;
      if (!LaneTypeResult(section, lane, value, noAdjust, true, sec)) return;
      // An edit must not give the road more origins, destinations or teleports than their
      // lists hold. Readers store the lanes unadjusted and check the whole road afterwards.
      const bool known = roadListCountKnown_;
      RoadListCounts counts;
      if (!dovel && (known || !noAdjust)) {
        counts = RoadListCount();
        counts += RoadListChange(section, sec);
      }
      if (!dovel && !noAdjust && !counts.WithinLimits()) {
        ProgramError(Format(
            "%s=%d%s=%d%s=%d (%s)", "KDConfig::SetPhysicalSectionProperty: PhysSection", section,
            "\r\nLane", lane, "\r\nLaneType", static_cast<int>(value), counts.LimitText().c_str()));
        return;
      }
      if (!dovel && (known || !noAdjust)) roadListCount_ = counts;
      if (dovel) roadListCountKnown_ = false;
      sections_[section] = sec;
      break;
    }
    case PP_SPEEDSUPPRESSION:
      if (!KAVRO_ASSERT(value >= 0.0f && value <= 1.0f)) return;
      row[PP_SPEEDSUPPRESSION] = value;
      if (!dovel && value != 1.0f) row[PP_SPEEDLIMIT] = DEFAULT_KAVRO_SPEEDLIMIT;
      break;
    case PP_DISTANCE:
      if (!StoreDistance(section, lane, value, noAdjust)) return;
      break;
    default:
      // Surface details of the external model and the spare values. A surface detail must lie
      // in the range the external model gives it, or the model would refuse it.
      if (dovel && property <= PP_SURFACEDETAIL_LAST && CurrentDovelModelLink()) {
        float low = 0, high = 0;
        if (CurrentDovelModelLink()->Range(2, DovelSurfaceDetailId(property), low, high) &&
            !(value >= low && value <= high)) {
          ProgramError(Format(
              "KDConfig::SetPhysicalSectionProperty\r\nBad NewValue (%f) for surface detail %d",
              value, property));
          return;
        }
      }
      row[property] = value;
      break;
  }
  if (dovel && !SendSectionsToModel(section, lane, property)) return;
  listsDirty_ = true;
  Touch();
}

bool KDConfig::StoreDistance(int section, int lane, float value, bool noAdjust) {
  if (!KAVRO_ASSERT(value >= 0.0f && value <= kMaxWholeDistance && value == std::trunc(value)))
    return false;
  if (lane != 0) {
    ProgramError(Format(
        "KDConfig::SetPhysicalSectionProperty\r\nBad Lane (%d) (should be 0 for Property %d)", lane,
        PP_DISTANCE));
    return false;
  }
  if (!noAdjust) {
    const bool aboveBegin = value > static_cast<float>(SectionPos(section, WHENCE_BEGIN));
    const bool belowNext =
        section == 0 || value < static_cast<float>(SectionPos(section - 1, WHENCE_END));
    if (!aboveBegin || !belowNext) {
      ProgramError(
          Format("KDConfig::SetPhysicalSectionProperty\r\nBad NewValue (%f) for distance", value));
      return false;
    }
  }
  sections_[section].value[0][PP_DISTANCE] = value;
  return true;
}

bool KDConfig::LaneTypeResult(int section, int lane, float value, bool noAdjust, bool report,
                              PhysSection& result) const {
  const bool wholeLaneType =
      value >= 0.0f && value <= static_cast<float>(LANEMASK_ALL) && value == std::trunc(value);
  if (report) KAVRO_ASSERT(wholeLaneType);
  if (!wholeLaneType) return false;
  int laneType = static_cast<int>(value);
  // Work on a copy, so that a failed check leaves the section as it was.
  PhysSection sec = sections_[section];
  const int lastLane = MaxLane() - 1;
  // Nobody changes lanes off the paved road.
  if (!noAdjust && IsPavedType(laneType)) {
    if (lane == 0 || !IsPavedType(TypeOf(sec, lane - 1)))
      laneType = (laneType | LANE_NOCHANGELEFT) & ~LANE_CHANGELEFT;
    if (lane == lastLane || !IsPavedType(TypeOf(sec, lane + 1)))
      laneType = (laneType | LANE_NOCHANGERIGHT) & ~LANE_CHANGERIGHT;
  }
  if (ProgramMode() != DOVEL && !noAdjust) AdjustNeighbourLanes(sec, lane, laneType);
  SetTypeOf(sec, lane, laneType);
  if (!CompleteTapers(sec, lane, report)) return false;
  if (ProgramMode() == DOVEL) NormaliseDovelLanes(sec, lane, TypeOf(sec, lane));
  result = sec;
  return true;
}

bool KDConfig::StoreLaneType(int section, int lane, float value, bool noAdjust) {
  PhysSection sec;
  if (!LaneTypeResult(section, lane, value, noAdjust, true, sec)) return false;
  if (roadListCountKnown_) roadListCount_ += RoadListChange(section, sec);
  sections_[section] = sec;
  return true;
}

bool KDConfig::LaneTypeValid(int section, int lane, float laneType, bool noAdjust) const {
  return LaneTypeRefusal(section, lane, laneType, noAdjust).empty();
}

std::string KDConfig::LaneTypeRefusal(int section, int lane, float laneType, bool noAdjust) const {
  if (section < 0 || section > Boundaries() || lane < 0 || lane >= MaxLane())
    return Format("There is no lane %d in section %d", lane + 1, section + 1);
  PhysSection sec;
  if (!LaneTypeResult(section, lane, laneType, noAdjust, false, sec))
    return Format("Lane %d of section %d cannot take lane type %g", lane + 1, section + 1,
                  static_cast<double>(laneType));
  // The external model has one origin and one destination whatever the lanes are.
  if (ProgramMode() == DOVEL) return "";
  RoadListCounts counts = RoadListCount();
  counts += RoadListChange(section, sec);
  return counts.LimitText();
}

RoadListCounts KDConfig::RoadListCount() const {
  if (!roadListCountKnown_) {
    roadListCount_ = CountRoadLists(LaneTypes(0, Boundaries()), 0, Boundaries());
    roadListCountKnown_ = true;
  }
  return roadListCount_;
}

LaneTypeGrid KDConfig::LaneTypes(int first, int last, int replacedSection,
                                 const PhysSection* replaced) const {
  first = std::max(first, 0);
  last = std::min(last, Boundaries());
  LaneTypeGrid grid(Boundaries(), MaxLane(), first, last);
  for (int s = first; s <= last; ++s) {
    const PhysSection& sec = s == replacedSection && replaced ? *replaced : sections_[s];
    for (int lane = 0; lane < MaxLane(); ++lane) grid.SetType(s, lane, TypeOf(sec, lane));
  }
  return grid;
}

// A section's lane types reach the origins of its own and the downstream section, the
// destinations of its own and the upstream section, and the teleports of both neighbours;
// each of those looks one section further.
RoadListCounts KDConfig::RoadListChange(int section, const PhysSection& replacement) const {
  const RoadListCounts before =
      CountRoadLists(LaneTypes(section - 2, section + 2), section - 1, section + 1);
  RoadListCounts change = CountRoadLists(LaneTypes(section - 2, section + 2, section, &replacement),
                                         section - 1, section + 1);
  change -= before;
  return change;
}

// The neighbours only lose lane change permissions towards the changed lane, never gain them.
void KDConfig::AdjustNeighbourLanes(PhysSection& sec, int lane, int laneType) const {
  const bool paved = IsPavedType(laneType);
  const bool merges = (laneType & LANE_MERGEBOTH) != 0;
  if (lane > 0) {
    int left = TypeOf(sec, lane - 1);
    const bool leftPaved = IsPavedType(left);
    if ((paved && !leftPaved) || (!paved && leftPaved) || (paved && merges && leftPaved))
      left = (left & ~LANE_CHANGERIGHT) | LANE_NOCHANGERIGHT;
    else if (!paved && !leftPaved)
      left &= ~kRightBits;
    SetTypeOf(sec, lane - 1, left);
  }
  if (lane < MaxLane() - 1) {
    int right = TypeOf(sec, lane + 1);
    const bool rightPaved = IsPavedType(right);
    if (laneType & (LANE_TAPERON | LANE_TAPEROFF)) {
      // The taper's own partner lane is completed afterwards.
      if (!rightPaved) right &= ~kLeftBits;
    } else if ((paved && !rightPaved) || (!paved && rightPaved) ||
               (paved && merges && rightPaved)) {
      right = (right & ~LANE_CHANGELEFT) | LANE_NOCHANGELEFT;
    } else if (!paved && !rightPaved) {
      right &= ~kLeftBits;
    }
    SetTypeOf(sec, lane + 1, right);
  }
}

// A taper is a pair of lanes: on an on-ramp the right lane of the pair must merge into the
// left one, on an off-ramp traffic leaves through the left lane of the pair into the right.
bool KDConfig::CompleteTapers(PhysSection& sec, int lane, bool report) const {
  for (const int taperBit : {LANE_TAPERON, LANE_TAPEROFF}) {
    if (!(TypeOf(sec, lane) & taperBit)) continue;
    int fromlane = lane;
    while (fromlane > 0 && (TypeOf(sec, fromlane - 1) & taperBit)) --fromlane;
    int tolane = lane;
    while (tolane < MaxLane() - 1 && (TypeOf(sec, tolane + 1) & taperBit)) ++tolane;
    if (tolane - fromlane != 1) continue;
    if (fromlane == 0) {
      if (report) KAVRO_ASSERT(fromlane > 0);
      return false;
    }
    if (taperBit == LANE_TAPERON) {
      SetTypeOf(sec, fromlane, 0x14C);
      SetTypeOf(sec, fromlane + 1, 0x143);
    } else {
      const int left = TypeOf(sec, fromlane - 1);
      SetTypeOf(sec, fromlane - 1, (left & (LANE_NOCHANGELEFT | LANE_CHANGELEFT)) | 0x48);
      SetTypeOf(sec, fromlane, 0x24C);
      SetTypeOf(sec, fromlane + 1, 0x243);
    }
  }
  return true;
}

// The external model's lanes form one block that ends at the rightmost lane.
void KDConfig::NormaliseDovelLanes(PhysSection& sec, int lane, int laneType) const {
  constexpr int lastLane = MAX_DOVELLANE - 1;
  constexpr int kDriveBits = LANE_PAVED | LANE_MERGEBOTH;
  if (laneType != 0) {
    int first = 0;
    while (first < lastLane && !(TypeOf(sec, first) & kDriveBits)) ++first;
    for (int l = first + 1; l < lastLane; ++l)
      if (!(TypeOf(sec, l) & kDriveBits)) SetTypeOf(sec, l, TypeOf(sec, l) | LANE_PAVED);
  } else {
    for (int l = lane; l >= 0; --l) SetTypeOf(sec, l, 0);
  }
  for (int l = 0; l <= lastLane; ++l) {
    int t = TypeOf(sec, l) & ~(kLeftBits | kRightBits);
    if (IsDovelPavedType(t)) {
      t |= (l == 0 || !IsDovelPavedType(TypeOf(sec, l - 1))) ? LANE_NOCHANGELEFT : LANE_CHANGELEFT;
      t |= (l == lastLane || !IsDovelPavedType(TypeOf(sec, l + 1))) ? LANE_NOCHANGERIGHT
                                                                    : LANE_CHANGERIGHT;
    }
    SetTypeOf(sec, l, t);
  }
}

// ---- Reading ------------------------------------------------------------------------

float KDConfig::PhysicalSectionProperty(int section, int lane, int property) const {
  if (!KAVRO_ASSERT(section >= 0 && section <= Boundaries() && lane >= 0 && lane <= MaxLane() &&
                    property >= 0 && property < PP_COUNT))
    return 0.0f;
  if (lane == MaxLane()) return 0.0f;
  return sections_[section].value[lane][property];
}

int KDConfig::IntPhysicalSectionProperty(int section, int lane, int property) const {
  const float floatvalue = PhysicalSectionProperty(section, lane, property);
  const bool representable = std::fabs(floatvalue) <= kMaxWholeDistance;
  const int intvalue = representable ? static_cast<int>(floatvalue) : 0;
  KAVRO_ASSERT(representable && floatvalue == static_cast<float>(intvalue));
  return intvalue;
}

int KDConfig::LaneType(int section, int lane) const {
  return IntPhysicalSectionProperty(section, lane, PP_LANETYPE);
}

bool KDConfig::IsLaneInRange(int section, int lane) const {
  return section >= 0 && section <= Boundaries() && lane >= 0 && lane < MaxLane();
}

// ---- Lane queries ------------------------------------------------------------------------

int KDConfig::OldPhysSectionType(int section, int lane) const {
  if (!KAVRO_ASSERT(IsLaneInRange(section, lane))) return -1;
  const int t = LaneType(section, lane);
  if (t & TELEPORTIN) return 10;
  if (t & TELEPORTOUT) return 11;
  if (!(t & LANE_PAVED)) return 9;
  if (t & LANE_TAPERON) return 7;
  if (t & LANE_TAPEROFF) return 8;
  if ((t & LANE_MERGEBOTH) == LANE_MERGEBOTH) return 6;
  if (t & LANE_MERGELEFT) return 5;
  if (t & LANE_MERGERIGHT) return 4;
  if ((t & (LANE_CHANGELEFT | LANE_CHANGERIGHT)) == (LANE_CHANGELEFT | LANE_CHANGERIGHT)) return 0;
  if (t & LANE_CHANGELEFT) return 2;
  if (t & LANE_CHANGERIGHT) return 1;
  if ((t & (LANE_NOCHANGELEFT | LANE_NOCHANGERIGHT)) == (LANE_NOCHANGELEFT | LANE_NOCHANGERIGHT))
    return 3;
  ProgramError("OldPhysSectionType: Can't reconstruct lanetype");
  return -1;
}

int KDConfig::LanesUsed() const {
  for (int lane = MaxLane() - 1; lane >= 0; --lane)
    for (int s = 0; s <= Boundaries(); ++s)
      if (LaneType(s, lane) & LANE_PAVED) return lane + 1;
  return 0;
}

int KDConfig::FirstLaneUsed() const {
  for (int lane = 0; lane < MaxLane(); ++lane)
    for (int s = 0; s <= Boundaries(); ++s)
      if (LaneType(s, lane) & LANE_PAVED) return lane;
  return MaxLane();
}

int KDConfig::LeftLaneType(int section, int lane) const {
  return lane > 0 ? LaneType(section, lane - 1) : 0;
}

bool KDConfig::LaneConnects(int section, int lane, int whence) const {
  if (!IsLaneInRange(section, lane)) return false;
  return LaneTypeConnects(LaneType(section, lane), LeftLaneType(section, lane), whence);
}

bool KDConfig::IsNormalLane(int section, int lane) const {
  return IsLaneInRange(section, lane) && LaneTypeIsNormal(LaneType(section, lane));
}

bool KDConfig::CanMoveLeft(int section, int lane) const {
  if (!IsLaneInRange(section, lane)) return false;
  return LaneTypeMovesLeft(LaneType(section, lane), LeftLaneType(section, lane), lane);
}

bool KDConfig::CanMoveRight(int section, int lane) const {
  if (!IsLaneInRange(section, lane)) return false;
  return LaneTypeMovesRight(LaneType(section, lane), LeftLaneType(section, lane), lane, MaxLane());
}
