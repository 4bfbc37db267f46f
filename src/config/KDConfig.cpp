#include "config/KDConfig.h"

#include <atomic>
#include <new>

#include "config/ProgramError.h"

namespace {

// One counter for every configuration of the program, so that stamps are unique among them:
// equal stamps mean an unchanged configuration.
std::atomic<int> changeCounter{0};

constexpr float kDefaultLength = 5000.0f;  // [m]
// The external vehicle model takes at most this many links (sections).
constexpr int kMaxDovelSections = 19;

void SetTypeOf(PhysSection& sec, int lane, int laneType) {
  sec.value[lane][PP_LANETYPE] = static_cast<float>(laneType);
}

}  // namespace

// ---- Lifetime and change stamp ---------------------------------------------------------

KDConfig::KDConfig() {
  magicNumber_ = KDCONFIG_MAGIC;
  sections_.resize(1);
  PhysSection& sec = sections_[0];
  sec.value[0][PP_DISTANCE] = kDefaultLength;
  // A three-lane road: the left lane may change right, the middle lane both ways, the right
  // lane left.
  SetTypeOf(sec, 0, LANETYPE_CHANGERIGHT);
  SetTypeOf(sec, 1, LANETYPE_ANYCHANGE);
  SetTypeOf(sec, 2, LANETYPE_CHANGELEFT);
  const float speedLimit =
      ProgramMode() == DOVEL ? DEFAULT_DOVEL_SPEEDLIMIT : DEFAULT_KAVRO_SPEEDLIMIT;
  for (int lane = 0; lane < MaxLane(); ++lane) {
    sec.value[lane][PP_SPEEDSUPPRESSION] = 1.0f;
    sec.value[lane][PP_NOOVERTAKINGTRUCKS] = 0.0f;
    sec.value[lane][PP_SPEEDLIMIT] = speedLimit;
    sec.value[lane][PP_SLOPE] = 0.0f;
  }
  InitDemand();
  InitFurniture();
  InitParameters();
  lastChangedSection_ = -1;
  boundariesAtLastChange_ = Boundaries();
  listsDirty_ = true;
  Touch();
}

KDConfig::~KDConfig() {
  if (magicNumber_ != KDCONFIG_MAGIC) {
    ProgramError("Attempt to delete non-KDConfig or already deleted KDConfig");
    return;
  }
  // The owned parts release themselves; clearing the mark lets a second destruction of the
  // same memory be recognised.
  magicNumber_ = 0;
  std::vector<PhysSection>().swap(sections_);
}

void KDConfig::Touch() { changeStamp_ = ++changeCounter; }

// ---- Sections and boundaries -------------------------------------------------------------

int KDConfig::Length() const { return static_cast<int>(sections_[0].value[0][PP_DISTANCE]); }

void KDConfig::SetLength(int length) {
  if (length <= 0 || (Boundaries() > 0 && length <= Length())) {
    ProgramError("KDConfig::SetLength: Bad Length");
    return;
  }
  SetPhysicalSectionProperty(0, 0, PP_DISTANCE, static_cast<float>(length));
}

bool KDConfig::InsertBoundaryValid(int distance) const {
  return InsertBoundaryRefusal(distance).empty();
}

std::string KDConfig::InsertBoundaryRefusal(int distance) const {
  const int sectionLimit = ProgramMode() == DOVEL ? kMaxDovelSections : MAXSECTIONS;
  if (distance <= 0 || distance >= Length())
    return Format("No boundary can be put at %dm: the road runs from 0 to %dm", distance, Length());
  if (Boundaries() + 1 >= sectionLimit)
    return Format("Too many sections (%d, at most %d)", Boundaries() + 2, sectionLimit);
  int r = 0;
  for (; r <= Boundaries(); ++r) {
    const int end = SectionPos(r, WHENCE_END);
    if (end == distance) return Format("There is a boundary at %dm already", distance);
    if (end < distance) break;
  }
  if (ProgramMode() == DOVEL) return "";
  // Both parts keep the section's lanes; a teleport survives in one of them only.
  LaneTypeGrid road = LaneTypes(0, Boundaries());
  road.InsertSection(r);
  for (int lane = 0; lane < MaxLane(); ++lane) {
    road.SetType(r, lane, road.Type(r - 1, lane));
    if (road.Type(r - 1, lane) & TELEPORTIN) road.SetType(r - 1, lane, 0);
    if (road.Type(r, lane) & TELEPORTOUT) road.SetType(r, lane, 0);
  }
  return CountRoadLists(road, 0, road.Boundaries()).LimitText();
}

bool KDConfig::DeleteBoundaryValid(int section) const {
  return DeleteBoundaryRefusal(section).empty();
}

std::string KDConfig::DeleteBoundaryRefusal(int section) const {
  if (Boundaries() <= 0) return "The road has only one section";
  if (section < 0 || section > Boundaries()) return Format("There is no section %d", section + 1);
  if (ProgramMode() == DOVEL) return "";
  LaneTypeGrid road = LaneTypes(0, Boundaries());
  road.EraseSection(section);
  return CountRoadLists(road, 0, road.Boundaries()).LimitText();
}

void KDConfig::InsertBoundary(int distance) {
  if (distance <= 0 || distance >= Length() ||
      Boundaries() + 1 >= (ProgramMode() == DOVEL ? kMaxDovelSections : MAXSECTIONS)) {
    ProgramError(Format("KDConfig::InsertBoundary: bad Distance: %d", distance));
    return;
  }
  // r: the first section (from downstream) that ends upstream of the new boundary; the
  // section r-1 contains it.
  int r = 0;
  for (; r <= Boundaries(); ++r) {
    const int end = SectionPos(r, WHENCE_END);
    if (end == distance) {
      ProgramError(
          Format("KDConfig::InsertBoundary: Distance %d collides with boundary %d", distance, r));
      return;
    }
    if (end < distance) break;
  }
  if (!InsertBoundaryValid(distance)) {
    ProgramError(
        Format("KDConfig::InsertBoundary: Distance %d gives the road too many origins, "
               "destinations or teleports",
               distance));
    return;
  }
  try {
    sections_.insert(sections_.begin() + r, sections_[r - 1]);
  } catch (const std::bad_alloc&) {
    FatalError("Out of memory");
    return;
  }
  lastChangedSection_ = r;
  boundariesAtLastChange_ = Boundaries() - 1;
  roadListCountKnown_ = false;
  sections_[r].value[0][PP_DISTANCE] = static_cast<float>(distance);
  // A teleport entrance lies at a section's upstream end and an exit at its downstream end,
  // so only the part that keeps that end keeps the teleport. The bit is tested rather than
  // the whole type: the neighbour rules may have added "no change" bits to a teleport lane.
  for (int lane = 0; lane < MaxLane(); ++lane) {
    if (LaneType(r - 1, lane) & TELEPORTIN) StoreLaneType(r - 1, lane, 0.0f, false);
    if (LaneType(r, lane) & TELEPORTOUT) StoreLaneType(r, lane, 0.0f, false);
  }
  listsDirty_ = true;
  TeleportSectionsInserted(r);
  if (ProgramMode() == DOVEL) SendSectionsToModel();
  Touch();
}

void KDConfig::DeleteBoundary(int section) {
  if (Boundaries() <= 0 || section < 0 || section > Boundaries()) {
    ProgramError(Format("KDConfig::DeleteBoundary: %d of %d", section, Boundaries()));
    return;
  }
  if (!DeleteBoundaryValid(section)) {
    ProgramError(
        Format("KDConfig::DeleteBoundary: %d of %d gives the road too many origins, "
               "destinations or teleports",
               section, Boundaries()));
    return;
  }
  roadListCountKnown_ = false;
  lastChangedSection_ = section + 1;
  boundariesAtLastChange_ = Boundaries();
  sections_.erase(sections_.begin() + section);
  PurgeBeyondLength();
  listsDirty_ = true;
  TeleportSectionsDeleted(section);
  if (ProgramMode() == DOVEL) SendSectionsToModel();
  Touch();
}

void KDConfig::SetSectionEnds(const std::vector<int>& ends) {
  const int sectionLimit = ProgramMode() == DOVEL ? kMaxDovelSections : MAXSECTIONS;
  bool valid = Boundaries() == 0 && !ends.empty() &&
               ends.size() <= static_cast<size_t>(sectionLimit) && ends.front() > 0;
  for (size_t i = 1; valid && i < ends.size(); ++i) valid = ends[i] > ends[i - 1];
  if (!valid) {
    ProgramError(
        Format("KDConfig::SetSectionEnds: bad section ends (%d)", static_cast<int>(ends.size())));
    return;
  }
  const int count = static_cast<int>(ends.size());
  std::vector<PhysSection> parts;
  try {
    parts.assign(ends.size(), sections_[0]);
  } catch (const std::bad_alloc&) {
    FatalError("Out of memory");
    return;
  }
  // Section 0 is the most downstream part; the ends run from upstream.
  for (int s = 0; s < count; ++s) {
    PhysSection& part = parts[s];
    part.value[0][PP_DISTANCE] = static_cast<float>(ends[count - 1 - s]);
    for (int lane = 0; lane < MaxLane(); ++lane) {
      const int type = static_cast<int>(part.value[lane][PP_LANETYPE]);
      if (((type & TELEPORTIN) && s < count - 1) || ((type & TELEPORTOUT) && s > 0))
        part.value[lane][PP_LANETYPE] = 0.0f;
    }
  }
  sections_.swap(parts);
  lastChangedSection_ = -1;
  boundariesAtLastChange_ = 0;
  roadListCountKnown_ = false;
  listsDirty_ = true;
  if (ProgramMode() == DOVEL) SendSectionsToModel();
  Touch();
}

int KDConfig::SectionPos(int section, int whence) const {
  if (section < 0 || section > Boundaries()) return -1;
  if (whence == WHENCE_END) return static_cast<int>(sections_[section].value[0][PP_DISTANCE]);
  if (whence == WHENCE_BEGIN)
    return section == Boundaries() ? 0 : SectionPos(section + 1, WHENCE_END);
  return -1;
}

void KDConfig::SetSectionPos(int section, int position, int whence) {
  const bool validArgs =
      (whence == WHENCE_BEGIN || whence == WHENCE_END) && section >= 0 && section <= Boundaries();
  // t: the section whose downstream end moves.
  const int t = whence == WHENCE_END ? section : section + 1;
  const bool valid = validArgs && (t == 0 || SectionPos(t - 1, WHENCE_END) > position) &&
                     (t >= Boundaries() || SectionPos(t + 1, WHENCE_END) < position) &&
                     position > 0 && position <= Length();
  if (!valid) {
    std::string text =
        Format("%s=%d%s=%d %s", "KDConfig::SetSectionPos: Section", section, "\r\nNewPos", position,
               whence == WHENCE_END ? "Whence=END" : "Whence=BEGIN");
    if (section > 0 && section - 1 <= Boundaries())
      text += Format("%s=%d", "\r\nPrevSectionPos", SectionPos(section - 1, WHENCE_END));
    if (section >= 0 && section < Boundaries())
      text += Format("%s=%d", "\r\nNextSectionPos", SectionPos(section + 1, WHENCE_END));
    ProgramError(text);
    return;
  }
  // The property setter checks the neighbouring boundaries again and stamps the change; the
  // begin of the most upstream section is not a stored boundary and is refused there.
  SetPhysicalSectionProperty(t, 0, PP_DISTANCE, static_cast<float>(position));
}

int KDConfig::SectionLength(int section) const {
  if (section < 0 || section > Boundaries()) return -1;
  return SectionPos(section, WHENCE_END) - SectionPos(section, WHENCE_BEGIN);
}

void KDConfig::SetSectionLength(int section, int length) {
  if (section < 0 || section > Boundaries() || length <= 0) return;
  const int delta = length - SectionLength(section);  // [m]
  const int end = SectionPos(section, WHENCE_END);    // [m]
  // Shrinking: move areas and lights while the old road length still tells which of them
  // fall off the end.
  if (delta <= 0) {
    MoveAreasForSectionLength(end, delta);
    MoveTrafficLightsForSectionLength(end, delta);
  }
  for (int s = section; s >= 0; --s) {
    const double moved = static_cast<double>(SectionPos(s, WHENCE_END)) + delta;
    sections_[s].value[0][PP_DISTANCE] = static_cast<float>(moved);
  }
  if (delta > 0) {
    MoveAreasForSectionLength(end, delta);
    MoveTrafficLightsForSectionLength(end, delta);
  }
  if (ProgramMode() == DOVEL && !SendSectionsToModel(section, 0, PP_DISTANCE)) return;
  PurgeBeyondLength();
  Touch();
}

int KDConfig::SectionAt(float position) const {
  if (!(position >= 0.0f)) return -1;
  const float length = static_cast<float>(Length());
  if (position == length) return 0;
  if (position > length) return -1;
  for (int s = Boundaries(); s >= 0; --s)
    if (sections_[s].value[0][PP_DISTANCE] > position) return s;
  return -1;
}

void KDConfig::PurgeBeyondLength() {
  PurgeDetectorsBeyondLength();
  PurgeAreasBeyondLength();
}
