#include <string>
#include <utility>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/RoadTypes.h"
#include "config/SourceSink.h"
#include "config/Units.h"
#include "config/VDCTypes.h"
#include "config/fs_params.h"

// Origins, destinations and the demand: the rebuild of the origin and destination lists from
// the lane types lives in KDConfigDemandLists.cpp; this file holds the accessors, the flow
// graphs and the probability tables.

namespace {

const char* const kSetODText =
    "KDConfig::SetODProbability: bad Origin (%d valid range 0..%d) or Destination (%d valid "
    "range 0..%d), VehicleType (%d valid range -1..%d)";

// A name starts with a printable, non-blank character (Windows-1252).
bool IsPrintableNameStart(unsigned char c) {
  if (c <= 0x20 || c == 0x7F || c == 0xA0) return false;
  return c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D;
}

// The characters the file readers drop at the end of a line.
bool IsBlankByte(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The names a list is renamed through so that names can be exchanged: a blank and a rank.
bool IsTemporaryName(const std::string& name) {
  return name.size() >= 2 && name.size() <= 3 && name[0] == ' ' &&
         name.find_first_not_of("0123456789", 1) == std::string::npos;
}

// A refused name as a message can show it: control characters as \ooo.
std::string PrintableName(const std::string& name) {
  std::string text;
  for (char c : name) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F)
      text += Format("\\%03o", byte);
    else
      text += c;
  }
  return text;
}

}  // namespace

void KDConfig::InitDemand() {
  // Every flow graph starts as the single point (0 s, 0 veh/h); the lists are built on the
  // first request.
  for (auto& graph : oflow_)
    for (auto& point : graph) point = FlowPoint{};
  supersourcecount_ = 0;
  supersinkcount_ = 0;
}

void KDConfig::UpdateListsIfDirty() const {
  // The lists are a cache of the lane types; rebuilding them does not change the
  // configuration as the user sees it.
  if (listsDirty_) const_cast<KDConfig*>(this)->UpdateLists();
}

int KDConfig::SourceCount() const {
  UpdateListsIfDirty();
  return supersourcecount_;
}

int KDConfig::SinkCount() const {
  UpdateListsIfDirty();
  return supersinkcount_;
}

SourceSink* KDConfig::Source(int rank) const {
  UpdateListsIfDirty();
  return rank >= 0 && rank < MAXSOURCE ? sourcelist_[rank].get() : nullptr;
}

SourceSink* KDConfig::Sink(int rank) const {
  UpdateListsIfDirty();
  return rank >= 0 && rank < MAXSINK ? sinklist_[rank].get() : nullptr;
}

std::string KDConfig::SourceName(int rank) const {
  const SourceSink* source = Source(rank);
  return source ? source->Name() : std::string();
}

std::string KDConfig::SinkName(int rank) const {
  const SourceSink* sink = Sink(rank);
  return sink ? sink->Name() : std::string();
}

int KDConfig::SourceSection(int rank) const {
  const SourceSink* source = Source(rank);
  return source ? source->Section() : -1;
}

int KDConfig::SourceFromLane(int rank) const {
  const SourceSink* source = Source(rank);
  return source ? source->FromLane() : -1;
}

int KDConfig::SourceToLane(int rank) const {
  const SourceSink* source = Source(rank);
  return source ? source->ToLane() : -1;
}

int KDConfig::SinkSection(int rank) const {
  const SourceSink* sink = Sink(rank);
  return sink ? sink->Section() : -1;
}

int KDConfig::SinkFromLane(int rank) const {
  const SourceSink* sink = Sink(rank);
  return sink ? sink->FromLane() : -1;
}

int KDConfig::SinkToLane(int rank) const {
  const SourceSink* sink = Sink(rank);
  return sink ? sink->ToLane() : -1;
}

bool KDConfig::ValidSourceSinkName(const std::string& name) {
  if (name.empty() || !IsPrintableNameStart(static_cast<unsigned char>(name[0]))) return false;
  if (IsBlankByte(name.back())) return false;
  return name.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

void KDConfig::SetSourceName(int rank, const std::string& name) {
  SourceSink* source = Source(rank);
  if (!source) {
    ProgramError(Format("KDConfig::SetSourceName: bad SourceNo: %d", rank));
    return;
  }
  if (!ValidSourceSinkName(name) && !IsTemporaryName(name)) {
    ProgramError(Format("KDConfig::SetSourceName: bad name for SourceNo %d: \"%s\"", rank,
                        PrintableName(name).c_str()));
    return;
  }
  if (source->SetName(name, sourcelist_, MAXSOURCE)) Touch();
}

void KDConfig::SetSinkName(int rank, const std::string& name) {
  SourceSink* sink = Sink(rank);
  if (!sink) {
    ProgramError(Format("KDConfig::SetSinkName: bad SinkNo: %d", rank));
    return;
  }
  if (!ValidSourceSinkName(name) && !IsTemporaryName(name)) {
    ProgramError(Format("KDConfig::SetSinkName: bad name for SinkNo %d: \"%s\"", rank,
                        PrintableName(name).c_str()));
    return;
  }
  if (sink->SetName(name, sinklist_, MAXSINK)) Touch();
}

void KDConfig::SetOFlow(int origin, int time, int flow) {
  if (origin < 0 || origin >= SourceCount() || time < 0 ||
      !(flow >= 0 || (flow == -1 && time != 0))) {
    ProgramError(Format("KDConfig::SetOFlow: bad Origin (%d) or Time (%d), or Flow (%d)", origin,
                        time, flow));
    return;
  }
  FlowPoint* points = oflow_[origin];
  for (int i = 0; i < MAXFLOWPOINT; i++) {
    bool atEnd = i > 0 && points[i].time == 0;
    if (time == points[i].time && !atEnd) {
      if (flow == -1) {
        for (int k = i; k < MAXFLOWPOINT - 1; k++) points[k] = points[k + 1];
        points[MAXFLOWPOINT - 1] = FlowPoint{};
      } else {
        points[i].flow = flow;
      }
      Touch();
      return;
    }
    if (time < points[i].time || atEnd) {
      // Deleting a time the graph does not have leaves it as it is.
      if (flow == -1) return;
      for (int k = MAXFLOWPOINT - 1; k > i; k--) points[k] = points[k - 1];
      points[i] = FlowPoint{time, flow};
      Touch();
      return;
    }
  }
  // The graph is full and the time lies beyond its last point: there is no room for it.
}

int KDConfig::OFlowTime(int origin, int point) const {
  if (origin < 0 || origin >= MAXSOURCE || point < 0 || point >= MAXFLOWPOINT) return -1;
  int time = oflow_[origin][point].time;
  return point == 0 || time != 0 ? time : -1;
}

int KDConfig::OFlowValue(int origin, int point) const {
  if (origin < 0 || origin >= MAXSOURCE || point < 0 || point >= MAXFLOWPOINT) return 0;
  return oflow_[origin][point].flow;
}

void KDConfig::SetOVProbability(int origin, int vehicleType, float probability) {
  float p = ClampProbability(probability);
  if (origin < 0 || origin >= SourceCount() || vehicleType < 0 || vehicleType >= MAXVEHICLETYPE ||
      !(p >= 0 && p <= 1)) {
    ProgramError(Format(
        "KDConfig::SetOVProbability: bad Origin (%d) or VehicleType (%d), or Probability (%f)",
        origin, vehicleType, p));
    return;
  }
  if (!sourcelist_[origin]->SetVDProbability(vehicleType, p)) return;
  // The external model receives each vehicle-driver frequency times origin 0's share of the
  // vehicle type, so a new share means every row again.
  if (ProgramMode() == DOVEL && origin == 0)
    for (int v = 0; v < VDCTypeCount(VDC_DOVELVEHICLE); v++) SendVDRowToModel(v);
  Touch();
}

float KDConfig::OVProbability(int origin, int vehicleType, bool raw) const {
  if (origin < 0 || origin >= SourceCount() || vehicleType < 0 || vehicleType >= MAXVEHICLETYPE)
    return 0;
  return sourcelist_[origin]->GetVDProbability(vehicleType, raw);
}

void KDConfig::SetODProbability(int origin, int destination, int vehicleType, float probability) {
  int sources = SourceCount();
  int sinks = SinkCount();
  int types = DemandVehicleTypeCount();
  if (origin < 0 || origin >= sources || destination < 0 || destination >= sinks ||
      vehicleType < -1 || vehicleType >= types) {
    ProgramError(
        Format(kSetODText, origin, sources - 1, destination, sinks - 1, vehicleType, types));
    return;
  }
  if (sourcelist_[origin]->SetODProbability(destination, vehicleType, probability)) Touch();
}

float KDConfig::ODProbability(int origin, int destination, int vehicleType, bool raw) const {
  if (origin < 0 || origin >= SourceCount() || destination < 0 || destination >= SinkCount() ||
      vehicleType < -1 || vehicleType >= DemandVehicleTypeCount())
    return 0;
  return sourcelist_[origin]->GetODProbability(destination, vehicleType, raw);
}

float KDConfig::MaxSourceFlow(int origin) const {
  if (origin < 0 || origin >= SourceCount()) return 0;
  float s1 = 0, s2 = 0, s3 = 0, sl = 0, v = 0;
  // Only existing types take part: a deleted type may still have a stale share at the origin.
  for (int t = DemandVehicleTypeCount() - 1; t >= 0; t--) {
    float p = OVProbability(origin, t, false);
    if (p == 0) continue;
    float z1 = 0, z2 = 0, z3 = 0, length = 0, preferred = 0;
    GetVDCParam(VDC_KAVRO, t, FS_z1, &z1);
    GetVDCParam(VDC_KAVRO, t, FS_z2, &z2);
    GetVDCParam(VDC_KAVRO, t, FS_z3, &z3);
    GetVDCParam(VDC_KAVRO, t, FS_length, &length);
    GetVDCParam(VDC_KAVRO, t, FS_preferred_v, &preferred);
    s1 += p * z1;        // [m]
    s2 += p * z2;        // [s]
    s3 += p * z3;        // [s²/m]
    sl += p * length;    // [m]
    v += p * preferred;  // [km/h]
  }
  v = KmhToMs(v);
  if (v <= 0) return 0;
  const SourceSink* source = sourcelist_[origin].get();
  int lanes = source->ToLane() - source->FromLane() + 1;
  // The time gap a vehicle needs at the preferred speed gives the flow per lane.
  return lanes * 3600 / ((s1 + sl) / v + s2 + v * s3);
}

int KDConfig::DemandVehicleTypeCount() const {
  if (ProgramMode() == DOVEL) {
    int count = VDCTypeCount(VDC_DOVELVEHICLE);
    return count < 0 ? 0 : (count > MAXVEHICLETYPE ? MAXVEHICLETYPE : count);
  }
  return VDCTypeCount(VDC_KAVRO);
}

void KDConfig::MoveSourceToRank(int rank, int section, int fromLane, int toLane) {
  UpdateListsIfDirty();
  MoveToRank(sourcelist_, rank, section, fromLane, toLane);
}

void KDConfig::MoveSinkToRank(int rank, int section, int fromLane, int toLane) {
  UpdateListsIfDirty();
  MoveToRank(sinklist_, rank, section, fromLane, toLane);
}

void KDConfig::MoveToRank(SourceSinkPtr* list, int rank, int section, int fromLane, int toLane) {
  if (!KAVRO_ASSERT(rank >= 0 && rank < MAXSOURCE && list[rank])) return;
  for (int i = rank; i >= 0; i--) {
    const SourceSink* record = list[i].get();
    if (!record || record->Section() != section || record->FromLane() != fromLane ||
        record->ToLane() != toLane)
      continue;
    if (i != rank) {
      std::swap(list[i], list[rank]);
      Touch();
    }
    return;
  }
  const bool recordFound = false;
  KAVRO_ASSERT(recordFound);
}
