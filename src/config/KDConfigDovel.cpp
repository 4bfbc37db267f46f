// The external vehicle model (DOVEL mode) keeps its own copy of the configuration. The current
// configuration forwards each change to it; a .dov file is read by the model and the mirror is
// filled from the model's parameters. Links are the model's road pieces, counted from 1 at the
// upstream end: the link of section s is Boundaries - s + 1. The model counts lanes from 1 at
// the right: model lane m is external lane 6 - m.
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "config/DovelConfig.h"
#include "config/DovelLink.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"

namespace {

constexpr int kLaneBits = LANE_MERGELEFT | LANE_MERGERIGHT | LANE_PAVED;  // 0x70

int LinkOf(const KDConfig& config, int section) { return config.Boundaries() - section + 1; }

// Sends a value the model can take. A value outside the model's range was never set by the
// user (a new lane, section or type starts empty here while the model has its defaults): the
// mirror takes the model's value instead, so the two stay equal and the model is not asked to
// store what it must refuse.
bool SendOrAdopt(DovelModelLink& link, int cls, int id, int index1, int index2, float& value) {
  float low = 0, high = 0;
  if (link.Range(cls, id, low, high) && !(value >= low && value <= high)) {
    value = link.RealValue(cls, id, index1, index2, -1);
    return true;
  }
  return link.SendValue(cls, id, index1, index2, value);
}

}  // namespace

bool KDConfig::Forwarding() const {
  return ProgramMode() == DOVEL && CurrentDovelModelLink() && (mirrored_ || SendToDovel());
}

int KDConfig::DovelLaneCount(int section) const {
  for (int m = 0; m < MAX_DOVELLANE; ++m)
    if (IntPhysicalSectionProperty(section, m, PP_LANETYPE) != 0) return MAX_DOVELLANE - m;
  return 0;
}

bool KDConfig::SendLaneTypes(int section) {
  DovelModelLink& link = *CurrentDovelModelLink();
  const int linkNo = LinkOf(*this, section);
  if (!link.SendValue(2, 4, linkNo, -1, DovelLaneCount(section))) return false;
  for (int m = 0; m < MAX_DOVELLANE; ++m) {
    const int type = IntPhysicalSectionProperty(section, m, PP_LANETYPE);
    if ((type & kLaneBits) == 0) continue;
    if (!link.SendValue(2, 10, linkNo, MAX_DOVELLANE - m, (type & LANE_ICC) ? 2 : 1)) return false;
    // A lane that was not driven before has no width here yet: it takes the model's.
    if (!SendSurfaceDetail(section, m, 0)) return false;
  }
  return true;
}

bool KDConfig::SendSurfaceDetail(int section, int lane, int detail) {
  DovelModelLink& link = *CurrentDovelModelLink();
  const int linkNo = LinkOf(*this, section);
  const int id = DovelSurfaceDetailId(detail);
  if (!DovelSurfaceDetailPerLane(detail))
    return SendOrAdopt(link, 2, id, linkNo, -1, sections_[section].value[0][detail]);
  // The lane width is kept per lane slot: the external lane plus the link's lane offset.
  const int offset = static_cast<int>(link.RealValue(2, 8, linkNo, -1, -1));
  return SendOrAdopt(link, 2, id, linkNo, MAX_DOVELLANE - lane + offset,
                     sections_[section].value[lane][detail]);
}

bool KDConfig::SendSectionsToModel(int section, int lane, int property) {
  if (!Forwarding()) return true;
  DovelModelLink& link = *CurrentDovelModelLink();
  if (section < 0) {
    // Every section again: the boundaries moved, so the links did.
    if (!link.SendValue(2, 1, -1, -1, Boundaries() + 1)) return false;
    for (int s = 0; s <= Boundaries(); ++s) {
      const int linkNo = LinkOf(*this, s);
      if (!link.SendValue(2, 2, linkNo, -1,
                          std::trunc(PhysicalSectionProperty(s, 0, PP_SPEEDLIMIT))) ||
          !link.SendValue(2, 3, linkNo, -1, SectionLength(s)) || !SendLaneTypes(s))
        return false;
      for (int d = 0; d < DOVEL_SURFACE_DETAILS; ++d) {
        if (!DovelSurfaceDetailPerLane(d)) {
          if (!SendSurfaceDetail(s, 0, d)) return false;
          continue;
        }
        for (int m = MAX_DOVELLANE - DovelLaneCount(s); m < MAX_DOVELLANE; ++m)
          if (!SendSurfaceDetail(s, m, d)) return false;
      }
    }
    SendDetectorsToModel();
    return true;
  }
  const int linkNo = LinkOf(*this, section);
  switch (property) {
    case PP_SPEEDLIMIT:
      return link.SendValue(2, 2, linkNo, -1,
                            std::trunc(PhysicalSectionProperty(section, 0, PP_SPEEDLIMIT)));
    case PP_DISTANCE:
      return link.SendValue(2, 3, linkNo, -1, SectionLength(section));
    case PP_LANETYPE:
      return SendLaneTypes(section);
    default:
      if (property >= 0 && property <= PP_SURFACEDETAIL_LAST)
        return SendSurfaceDetail(section, DovelSurfaceDetailPerLane(property) ? lane : 0, property);
      return true;  // no counterpart in the external model
  }
}

int KDConfig::GetSurfaceDetailInfo(int detail, SurfaceDetailInfo& info) {
  if (detail < 0 || detail >= DOVEL_SURFACE_DETAILS) {
    ProgramError(Format("%s=%d", "KDConfig::GetSurfaceDetailInfo: PIndex", detail));
    return DOVEL_SURFACE_DETAILS;
  }
  info = SurfaceDetailInfo();
  AskModelParamInfo(2, DovelSurfaceDetailId(detail), info);  // nothing when the model is silent
  info.caption = DovelSurfaceDetailCaption(detail);
  info.perLane = DovelSurfaceDetailPerLane(detail);
  return DOVEL_SURFACE_DETAILS;
}

namespace {

// The section a detector at `position` belongs to: one on a boundary belongs to the
// downstream section, at its upstream end.
int DetectorSection(const KDConfig& config, int position) {
  int section = config.SectionAt(static_cast<float>(position));
  while (section > 0 && position == config.SectionPos(section, WHENCE_END)) --section;
  return section;
}

}  // namespace

bool KDConfig::DovelDetectorAddress(int n, int& link, int& index, int& offset) const {
  if (n < 0 || n >= DetectorCount()) return false;
  const int position = DetectorPosition(n);
  const int section = DetectorSection(*this, position);
  if (section < 0) return false;
  link = LinkOf(*this, section);
  offset = SectionPos(section, WHENCE_END) - position;
  // Detector 0 is the most downstream: those before n in the same section lie downstream.
  index = 1;
  for (int k = 0; k < n; ++k)
    if (DetectorSection(*this, DetectorPosition(k)) == section) ++index;
  return true;
}

void KDConfig::SendDetectorsToModel() {
  if (!Forwarding()) return;
  DovelModelLink& link = *CurrentDovelModelLink();
  std::vector<int> counts(Boundaries() + 1, 0);
  for (int n = 0; n < DetectorCount(); ++n) {
    int linkNo = 0, index = 0, offset = 0;
    if (!DovelDetectorAddress(n, linkNo, index, offset) || offset < 0) {
      ProgramError(Format("KDConfig::PushDetectors: bad Distance for detector %d: %dm", n,
                          DetectorPosition(n)));
      return;
    }
    if (index > 10) continue;  // the model keeps at most 10 per link
    counts[Boundaries() + 1 - linkNo] = index;
    if (!link.SendValue(2, 23, linkNo, -1, index) || !link.SendValue(2, 24, linkNo, index, offset))
      return;
  }
  for (int s = 0; s <= Boundaries(); ++s)
    if (!link.SendValue(2, 23, LinkOf(*this, s), -1, counts[s])) return;
}

void KDConfig::SendVDCValueToModel(int kind, int type, int param) {
  if (!Forwarding()) return;
  DovelModelLink& link = *CurrentDovelModelLink();
  int cls = 0, id = 0;
  if (!DovelParamAddress(kind, param, cls, id)) return;
  const bool typed = kind != VDC_DOVELGENERAL && kind != VDC_DOVELICC;
  float value = 0;
  if (kind == VDC_DOVELVEHICLEDIST) {
    // The three values form one distribution: all of them travel together.
    for (int p = 0; p < DOVEL_VEHICLEDIST_PARAMS; ++p) {
      GetVDCParam(kind, type, p, &value);
      if (!link.SendValue(cls, id, type + 1, p + 1, value)) return;
    }
    return;
  }
  (void)value;
  float* slot = DovelSlot(kind, typed ? type : -1, param);
  if (!slot) return;
  if (kind == VDC_DOVELVEHICLESUB)
    SendOrAdopt(link, cls, id, type + 1, param + 1, *slot);
  else
    SendOrAdopt(link, cls, id, typed ? type + 1 : -1, -1, *slot);
}

void KDConfig::SendVDCTypesToModel(int kind) {
  if (!Forwarding()) return;
  DovelModelLink& link = *CurrentDovelModelLink();
  const bool vehicles = kind != VDC_DOVELDRIVER;
  const int count = VDCTypeCount(vehicles ? VDC_DOVELVEHICLE : VDC_DOVELDRIVER);
  if (!link.SendValue(vehicles ? 3 : 4, 1, -1, -1, count)) return;
  for (int t = 0; t < count; ++t) {
    if (!vehicles) {
      for (int p = 0; p < VDCParamCount(VDC_DOVELDRIVER, t); ++p)
        SendVDCValueToModel(VDC_DOVELDRIVER, t, p);
      continue;
    }
    for (int p = 0; p < VDCParamCount(VDC_DOVELVEHICLE, t); ++p)
      SendVDCValueToModel(VDC_DOVELVEHICLE, t, p);
    for (int p = 0; p < VDCParamCount(VDC_DOVELVEHICLESUB, t); ++p)
      SendVDCValueToModel(VDC_DOVELVEHICLESUB, t, p);
    SendVDCValueToModel(VDC_DOVELVEHICLEDIST, t, 0);
  }
  // The frequencies are indexed by both type counts.
  for (int v = 0; v < VDCTypeCount(VDC_DOVELVEHICLE); ++v) SendVDRowToModel(v);
}

void KDConfig::SendSeedToModel() {
  if (Forwarding()) CurrentDovelModelLink()->SendValue(1, 1, -1, -1, static_cast<unsigned>(seed_));
}

void KDConfig::SendVDRowToModel(int v) {
  if (!Forwarding()) return;
  DovelModelLink& link = *CurrentDovelModelLink();
  const float share = OVProbability(0, v, false);
  for (int d = 0; d < VDCTypeCount(VDC_DOVELDRIVER); ++d)
    if (!link.SendValue(5, 4, v + 1, d + 1, VDProbability(v, d) * share)) return;
}

void KDConfig::SetUseInjectionFile(bool use) {
  useInjectionFile_ = use;
  if (Forwarding()) CurrentDovelModelLink()->SendValue(5, 1, -1, -1, use ? 1 : 0);
  Touch();
}

void KDConfig::SetInjectionFileName(const std::string& name) {
  injectionFileName_ = name;
  if (Forwarding()) CurrentDovelModelLink()->SendText(5, 2, name);
  Touch();
}

void KDConfig::SetDovelFlow(float flow) {
  if (!(flow >= 0 && flow <= 10000)) {
    ProgramError(Format("KDConfig::SetDovelFlow: bad Flow (%f)", flow));
    return;
  }
  dovelFlow_ = flow;
  if (Forwarding()) CurrentDovelModelLink()->SendValue(5, 3, -1, -1, flow);
  Touch();
}

void KDConfig::PushAllToModel() {
  if (ProgramMode() != DOVEL || !CurrentDovelModelLink()) return;
  const bool wasMirrored = mirrored_;
  mirrored_ = true;
  DovelModelLink& link = *CurrentDovelModelLink();
  SendSectionsToModel();
  SendSeedToModel();
  for (int p = 0; p < VDCParamCount(VDC_DOVELGENERAL); ++p)
    SendVDCValueToModel(VDC_DOVELGENERAL, -1, p);
  for (int p = 0; p < VDCParamCount(VDC_DOVELICC); ++p) SendVDCValueToModel(VDC_DOVELICC, -1, p);
  SendVDCTypesToModel(VDC_DOVELDRIVER);
  SendVDCTypesToModel(VDC_DOVELVEHICLE);
  link.SendValue(5, 1, -1, -1, useInjectionFile_ ? 1 : 0);
  link.SendText(5, 2, injectionFileName_);
  link.SendValue(5, 3, -1, -1, dovelFlow_);
  mirrored_ = wasMirrored;
}

// ---- Reading a .dov file ---------------------------------------------------------------

bool DovelConfigError(const std::string& fileName, const std::string& message) {
  UserMessage(ReportKind::Warning, "Error in Dovel configuration file",
              Format("Error in file %s: ", fileName.c_str()) + message);
  return false;
}

namespace {

// Vehicle and driver types until the counts match the model's.
void MatchTypeCount(KDConfig& config, int kind, int wanted) {
  wanted = std::clamp(wanted, 1, MAXDOVELTYPE);
  while (config.VDCTypeCount(kind) < wanted) config.AddVDCType(kind);
  while (config.VDCTypeCount(kind) > wanted)
    config.DeleteVDCType(kind, config.VDCTypeCount(kind) - 1);
}

}  // namespace

bool ReadDovelConfig(const std::string& fileName, KDConfig& config, std::string* modelMessage) {
  DovelModelLink* link = CurrentDovelModelLink();
  if (!link || !link->ReadConfig(fileName)) {
    std::string message = "Dovel DLL error";
    if (modelMessage && !modelMessage->empty()) message += "\r\n" + *modelMessage;
    return DovelConfigError(fileName, message);
  }
  DovelModelLink& model = *link;
  // Only the current configuration forwards; this one is being built.
  config.SetMirrored(false);
  const int links = static_cast<int>(model.RealValue(2, 1, -1, -1, -1));
  if (links < 1 || links > 19)
    return DovelConfigError(fileName, Format("bad number of links (%d)", links));
  while (config.Boundaries() > 0) config.DeleteBoundary(1);
  // One metre per link first; then each link gets its length, the upstream one first.
  config.SetSectionLength(0, links);
  for (int b = 1; b < links; ++b) config.InsertBoundary(b);
  for (int q = 0; q < links; ++q) {
    const int linkNo = q + 1;
    const int s = links - 1 - q;
    const int length = static_cast<int>(model.RealValue(2, 3, linkNo, -1, -1));
    if (length < 1)
      return DovelConfigError(fileName, Format("Link %d: bad length (%d)", linkNo, length));
    config.SetSectionLength(s, length);
  }
  for (int q = 0; q < links; ++q) {
    const int linkNo = q + 1;
    const int s = links - 1 - q;
    const int lanes = static_cast<int>(model.RealValue(2, 4, linkNo, -1, -1));
    if (lanes < 1 || lanes > MAX_DOVELLANE)
      return DovelConfigError(fileName, Format("Link %d: bad number of lanes (%d)", linkNo, lanes));
    config.SetPhysicalSectionProperty(s, 0, PP_SPEEDLIMIT, model.RealValue(2, 2, linkNo, -1, -1));
    // Lane types first: they decide which lanes exist.
    for (int lane = 1; lane <= lanes; ++lane) {
      const int type = static_cast<int>(model.RealValue(2, 10, linkNo, lane, -1));
      if (type != 1 && type != 2)
        return DovelConfigError(fileName,
                                Format("Link %d, lane %d: bad type (%d)", linkNo, lane, type));
      config.SetPhysicalSectionProperty(s, MAX_DOVELLANE - lane, PP_LANETYPE,
                                        type == 2 ? LANETYPE_DOVEL_ICC : LANETYPE_DOVEL_PAVED);
    }
    for (int m = MAX_DOVELLANE - lanes - 1; m >= 0; --m)
      config.SetPhysicalSectionProperty(s, m, PP_LANETYPE, 0);
    const int offset = static_cast<int>(model.RealValue(2, 8, linkNo, -1, -1));
    for (int d = DOVEL_SURFACE_DETAILS - 1; d >= 0; --d) {
      const int id = DovelSurfaceDetailId(d);
      if (!DovelSurfaceDetailPerLane(d)) {
        config.SetPhysicalSectionProperty(s, 0, d, model.RealValue(2, id, linkNo, -1, -1));
        continue;
      }
      for (int lane = 1; lane <= lanes; ++lane)
        config.SetPhysicalSectionProperty(s, MAX_DOVELLANE - lane, d,
                                          model.RealValue(2, id, linkNo, lane + offset, -1));
    }
    const int detectors = static_cast<int>(model.RealValue(2, 23, linkNo, -1, -1));
    for (int k = detectors; k >= 1; --k) {
      const int position = config.SectionPos(s, WHENCE_END) -
                           static_cast<int>(model.RealValue(2, 24, linkNo, k, -1));
      if (position <= 0 || position >= config.Length() || !config.DetectorPositionValid(position))
        return DovelConfigError(fileName, Format("Link %d: bad detector %d", linkNo, k));
      config.AddDetector(position);
    }
  }
  // Vehicle and driver types with their parameters.
  MatchTypeCount(config, VDC_DOVELVEHICLE, static_cast<int>(model.RealValue(3, 1, -1, -1, -1)));
  MatchTypeCount(config, VDC_DOVELDRIVER, static_cast<int>(model.RealValue(4, 1, -1, -1, -1)));
  int cls = 0, id = 0;
  for (int v = 0; v < config.VDCTypeCount(VDC_DOVELVEHICLE); ++v) {
    for (int p = 0; p < config.VDCParamCount(VDC_DOVELVEHICLE, v); ++p) {
      DovelParamAddress(VDC_DOVELVEHICLE, p, cls, id);
      config.SetVDCParam(VDC_DOVELVEHICLE, v, p, model.RealValue(cls, id, v + 1, -1, -1));
    }
    for (int p = 0; p < config.VDCParamCount(VDC_DOVELVEHICLESUB, v); ++p)
      config.SetVDCParam(VDC_DOVELVEHICLESUB, v, p, model.RealValue(3, 5, v + 1, p + 1, -1));
    for (int p = 0; p < DOVEL_VEHICLEDIST_PARAMS; ++p)
      config.SetVDCParam(VDC_DOVELVEHICLEDIST, v, p, model.RealValue(3, 26, v + 1, p + 1, -1));
  }
  for (int d = 0; d < config.VDCTypeCount(VDC_DOVELDRIVER); ++d)
    for (int p = 0; p < config.VDCParamCount(VDC_DOVELDRIVER, d); ++p)
      config.SetVDCParam(VDC_DOVELDRIVER, d, p, model.RealValue(4, p + 2, d + 1, -1, -1));
  config.SetSeed(static_cast<int>(static_cast<unsigned>(model.RealValue(1, 1, -1, -1, -1))));
  for (int p = 0; p < config.VDCParamCount(VDC_DOVELGENERAL); ++p)
    config.SetVDCParam(VDC_DOVELGENERAL, -1, p, model.RealValue(1, p + 2, -1, -1, -1));
  // The frequencies: per vehicle type a row over the driver types, and the type's share.
  const int drivers = config.VDCTypeCount(VDC_DOVELDRIVER);
  for (int v = 0; v < config.VDCTypeCount(VDC_DOVELVEHICLE); ++v) {
    std::vector<float> row(drivers);
    float total = 0;
    for (int d = 0; d < drivers; ++d) total += row[d] = model.RealValue(5, 4, v + 1, d + 1, -1);
    for (int d = 0; d < drivers; ++d)
      config.SetVDProbability(
          v, d,
          total > 0 ? std::clamp(row[d] / total, 0.0f, 1.0f) : 1.0f / static_cast<float>(drivers));
    if (v < MAXVEHICLETYPE) config.SetOVProbability(0, v, std::clamp(total, 0.0f, 1.0f));
  }
  config.SetUseInjectionFile(model.RealValue(5, 1, -1, -1, -1) == 1);
  config.SetInjectionFileName(model.TextValue(5, 2));
  config.SetDovelFlow(std::clamp(model.RealValue(5, 3, -1, -1, -1), 0.0f, 10000.0f));
  for (int p = 0; p < config.VDCParamCount(VDC_DOVELICC); ++p)
    config.SetVDCParam(VDC_DOVELICC, -1, p, model.RealValue(6, p + 1, -1, -1, -1));
  return true;
}

std::unique_ptr<KDConfig> NewConfiguration() {
  auto config = std::make_unique<KDConfig>();
  DovelModelLink* link = CurrentDovelModelLink();
  if (ProgramMode() != DOVEL || !link) return config;
  // Without the model's default file New starts from the program's own default road.
  std::error_code error;
  if (!std::filesystem::is_regular_file(DovelDefaultFile(), error)) return config;
  link->SetQuiet(true);
  auto read = std::make_unique<KDConfig>();
  const bool ok = ReadDovelConfig(DovelDefaultFile(), *read, &LastDovelReadMessage());
  link->SetQuiet(false);
  return ok ? std::move(read) : std::move(config);
}
