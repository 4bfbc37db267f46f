#include <charconv>
#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/RoadTypes.h"
#include "config/SourceSink.h"

// The rebuild of the origin and destination lists from the lane types. Origins and
// destinations that survive a road change keep their names, demand data and lane change
// areas; new ones are numbered after the highest numeric name.

namespace {

// True when `name` is the shortest decimal text of an integer ("7", "-3"; not "007", " 7").
bool PlainDecimal(const std::string& name, long long& value) {
  const char* begin = name.data();
  const char* end = begin + name.size();
  auto [last, error] = std::from_chars(begin, end, value);
  return error == std::errc() && last == end && std::to_string(value) == name;
}

// The name for a new record: one more than the largest numeric name in list[0 .. count-1].
std::string NextNumericName(const SourceSinkPtr* list, int count) {
  bool found = false;
  long long largest = 0;
  for (int i = 0; i < count; i++) {
    long long value = 0;
    if (!PlainDecimal(list[i]->Name(), value) || value == LLONG_MAX) continue;
    if (!found || value > largest) largest = value;
    found = true;
  }
  return found ? std::to_string(largest + 1) : std::string("1");
}

bool LanesOverlap(const SourceSink& a, const SourceSink& b) {
  return b.ToLane() >= a.FromLane() && a.ToLane() >= b.FromLane();
}

}  // namespace

void KDConfig::UpdateLists() {
  if (ProgramMode() == DOVEL) {
    UpdateDovelLists();
    return;
  }
  std::vector<SourceSinkPtr> oldSources;
  std::vector<SourceSinkPtr> oldSinks;
  for (auto& source : sourcelist_)
    if (source) oldSources.push_back(std::move(source));
  for (auto& sink : sinklist_)
    if (sink) oldSinks.push_back(std::move(sink));
  supersourcecount_ = 0;
  supersinkcount_ = 0;

  std::vector<SourceSinkPtr> newSources;
  std::vector<SourceSinkPtr> newSinks;
  FindNewSources(newSources);
  FindNewSinks(newSinks);

  // A boundary insert or delete shifts the section indices upstream of the changed section;
  // an origin begins upstream of its section's downstream end, so its threshold is one lower.
  int changed = Boundaries() == boundariesAtLastChange_ ? -1 : lastChangedSection_;
  MatchSourceSinkLists(oldSources, newSources, changed - 1, sourcelist_, supersourcecount_);
  MatchSourceSinkLists(oldSinks, newSinks, changed, sinklist_, supersinkcount_);
  lastChangedSection_ = -1;
  boundariesAtLastChange_ = Boundaries();

  RebuildTeleportLists();
  listsDirty_ = false;
}

void KDConfig::UpdateDovelLists() {
  // The external model has one entrance at the upstream end and one exit at the downstream
  // end over all its lanes; the records exist so that origin 0 can hold the demand data.
  int lastLane = MaxLane() - 1;
  if (!sourcelist_[0])
    sourcelist_[0] = SourceSinkPtr(new SourceSink(true, *this, Boundaries(), 0, lastLane, "1"));
  if (!sinklist_[0])
    sinklist_[0] = SourceSinkPtr(new SourceSink(false, *this, 0, 0, lastLane, "1"));
  sourcelist_[0]->SetLocation(Boundaries(), 0, lastLane);
  sinklist_[0]->SetLocation(0, 0, lastLane);
  supersourcecount_ = 1;
  supersinkcount_ = 1;
}

void KDConfig::FindNewSources(std::vector<SourceSinkPtr>& found) {
  bool full = false;
  ScanOrigins(LaneTypes(0, Boundaries()), 0, Boundaries(), [&](const LaneGroup& group) {
    if (full) return;
    if (!KAVRO_ASSERT(found.size() < MAXSOURCE)) {
      full = true;
      return;
    }
    found.push_back(
        SourceSinkPtr(new SourceSink(true, *this, group.section, group.fromLane, group.toLane,
                                     std::to_string(++temporaryNameCounter_))));
  });
}

void KDConfig::FindNewSinks(std::vector<SourceSinkPtr>& found) {
  bool full = false;
  ScanDestinations(LaneTypes(0, Boundaries()), 0, Boundaries(), [&](const LaneGroup& group) {
    if (full) return;
    if (!KAVRO_ASSERT(found.size() < MAXSINK)) {
      full = true;
      return;
    }
    found.push_back(
        SourceSinkPtr(new SourceSink(false, *this, group.section, group.fromLane, group.toLane,
                                     std::to_string(++temporaryNameCounter_))));
  });
}

void KDConfig::MatchSourceSinkLists(std::vector<SourceSinkPtr>& old,
                                    std::vector<SourceSinkPtr>& found, int threshold,
                                    SourceSinkPtr* list, int& count) {
  count = 0;
  int boundaries = Boundaries();
  // Downstream of the changed section indices stay; upstream of it the distance from the
  // upstream road end stays.
  auto sameSection = [&](const SourceSink& was, const SourceSink& is) {
    if (was.Section() < threshold) return is.Section() == was.Section();
    return boundaries - is.Section() == boundariesAtLastChange_ - was.Section();
  };
  auto takeOver = [&](SourceSinkPtr& was, SourceSinkPtr& is) {
    was->SetLocation(is->Section(), is->FromLane(), is->ToLane());
    is.reset();
    list[count++] = std::move(was);
  };
  for (auto& was : old) {
    for (auto& is : found) {
      if (!is || !sameSection(*was, *is) || !LanesOverlap(*was, *is)) continue;
      takeOver(was, is);
      break;
    }
  }
  for (auto& was : old) {
    if (!was) continue;
    for (auto& is : found) {
      if (!is || is->FromLane() != was->FromLane() || is->ToLane() != was->ToLane()) continue;
      takeOver(was, is);
      break;
    }
  }
  old.clear();  // origins and destinations that no longer exist, with their data
  for (auto& is : found) {
    if (!is) continue;
    is->name_ = NextNumericName(list, count);
    list[count++] = std::move(is);
  }
}
