// Independent copies of a configuration, for the undo history and for the lane change area
// editor's comparisons.

#include <algorithm>
#include <iterator>
#include <new>

#include "config/BHVSection.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/SourceSink.h"

namespace {

// A copy of one origin or destination, owned by `owner`, with its demand data or its lane
// change areas.
SourceSinkPtr CopyRecord(const SourceSink& from, KDConfig& owner) {
  return SourceSinkPtr(new SourceSink(from.IsSource(), owner, from.Section(), from.FromLane(),
                                      from.ToLane(), from.Name()));
}

std::unique_ptr<BHVSection> CopyAreaList(const BHVSection* from) {
  std::unique_ptr<BHVSection> head;
  std::unique_ptr<BHVSection>* tail = &head;
  for (; from; from = from->Next.get()) {
    auto area = std::make_unique<BHVSection>();
    area->Lane = from->Lane;
    area->Position = from->Position;
    area->LengthRequired = from->LengthRequired;
    area->LengthVoluntary = from->LengthVoluntary;
    area->MergeLeft = from->MergeLeft;
    area->RouteChoiceGroup = from->RouteChoiceGroup;
    for (int t = 0; t < MAXVEHICLETYPE; ++t) area->Probability[t] = from->Probability[t];
    *tail = std::move(area);
    tail = &(*tail)->Next;
  }
  return head;
}

}  // namespace

std::unique_ptr<KDConfig> KDConfig::Duplicate(bool sendToModel) const {
  // The lists are a cache of the lane types: bring them up to date so the copy holds the
  // same origins and destinations in the same ranks.
  UpdateListsIfDirty();
  std::unique_ptr<KDConfig> copy;
  try {
    copy = std::make_unique<KDConfig>();
    copy->CopyFrom(*this);
  } catch (const std::bad_alloc&) {
    FatalError("Out of memory");
    return nullptr;
  }
  if (sendToModel && ProgramMode() == DOVEL) copy->SendWholeConfigurationToModel();
  return copy;
}

// Member by member: the copy holds the same values as the original without replaying the
// editing operations, so nothing is normalised or rebuilt on the way and the original is not
// touched. Every member of the configuration must be handled here; the spare lane properties,
// the drawing's detector label areas and the run-time states of lights and lane detectors are
// left at their defaults, and the copy takes a change stamp of its own.
void KDConfig::CopyFrom(const KDConfig& from) {
  // Road.
  sections_ = from.sections_;
  for (PhysSection& sec : sections_) {
    for (int lane = 0; lane <= MAX_KAVROLANE; ++lane) {
      sec.value[lane][PP_SPARE9] = 0.0f;
      sec.value[lane][PP_SPARE17] = 0.0f;
    }
  }
  lastChangedSection_ = from.lastChangedSection_;
  boundariesAtLastChange_ = from.boundariesAtLastChange_;
  listsDirty_ = from.listsDirty_;

  // Origins, destinations and demand.
  for (int rank = 0; rank < MAXSOURCE; ++rank) {
    sourcelist_[rank].reset();
    if (const SourceSink* source = from.sourcelist_[rank].get()) {
      sourcelist_[rank] = CopyRecord(*source, *this);
      if (source->odInfo_) *sourcelist_[rank]->odInfo_ = *source->odInfo_;
    }
  }
  for (int rank = 0; rank < MAXSINK; ++rank) {
    sinklist_[rank].reset();
    if (const SourceSink* sink = from.sinklist_[rank].get()) {
      sinklist_[rank] = CopyRecord(*sink, *this);
      sinklist_[rank]->areas_ = CopyAreaList(sink->areas_.get());
    }
  }
  supersourcecount_ = from.supersourcecount_;
  supersinkcount_ = from.supersinkcount_;
  for (int o = 0; o < MAXSOURCE; ++o)
    for (int p = 0; p < MAXFLOWPOINT; ++p) oflow_[o][p] = from.oflow_[o][p];
  temporaryNameCounter_ = from.temporaryNameCounter_;

  // Detectors, traffic lights, lane detectors, teleports, the closed lane.
  detectors_ = from.detectors_;
  detectorFirstTime_ = from.detectorFirstTime_;
  detectorInterval_ = from.detectorInterval_;
  trafficLights_ = from.trafficLights_;
  for (TrafficLight& light : trafficLights_) light.state = TRAFFICLIGHT_IDLE;
  laneDetectors_ = from.laneDetectors_;
  for (LaneDetector& detector : laneDetectors_) detector.state = LANEDETECTOR_FREE;
  tempClosedArea_ = from.tempClosedArea_;
  for (int i = 0; i < MAXTELEPORT; ++i) {
    teleportin_[i] = from.teleportin_[i];
    teleportout_[i] = from.teleportout_[i];
  }
  teleportincount_ = from.teleportincount_;
  teleportoutcount_ = from.teleportoutcount_;

  // Vehicle and driver parameters, run settings.
  static_assert(sizeof kavroParams_ == sizeof from.kavroParams_);
  std::copy(&from.kavroParams_[0][0],
            &from.kavroParams_[0][0] + sizeof kavroParams_ / sizeof(float), &kavroParams_[0][0]);
  std::copy(std::begin(from.kavroGeneral_), std::end(from.kavroGeneral_), kavroGeneral_);
  std::copy(std::begin(from.dovelGeneral_), std::end(from.dovelGeneral_), dovelGeneral_);
  std::copy(&from.dovelVehicle_[0][0],
            &from.dovelVehicle_[0][0] + sizeof dovelVehicle_ / sizeof(float), &dovelVehicle_[0][0]);
  std::copy(&from.dovelDriver_[0][0],
            &from.dovelDriver_[0][0] + sizeof dovelDriver_ / sizeof(float), &dovelDriver_[0][0]);
  std::copy(std::begin(from.dovelIcc_), std::end(from.dovelIcc_), dovelIcc_);
  std::copy(&from.dovelVehicleSub_[0][0],
            &from.dovelVehicleSub_[0][0] + sizeof dovelVehicleSub_ / sizeof(float),
            &dovelVehicleSub_[0][0]);
  std::copy(&from.dovelVehicleDist_[0][0],
            &from.dovelVehicleDist_[0][0] + sizeof dovelVehicleDist_ / sizeof(float),
            &dovelVehicleDist_[0][0]);
  dovelVehicleCount_ = from.dovelVehicleCount_;
  dovelDriverCount_ = from.dovelDriverCount_;
  std::copy(&from.vdFrequency_[0][0],
            &from.vdFrequency_[0][0] + sizeof vdFrequency_ / sizeof(float), &vdFrequency_[0][0]);
  seed_ = from.seed_;
  timeStep_ = from.timeStep_;
  maxTime_ = from.maxTime_;
  Touch();
}

std::size_t KDConfig::MemoryBytes() const {
  std::size_t bytes = sizeof *this + sections_.capacity() * sizeof(PhysSection) +
                      detectors_.capacity() * sizeof(int) +
                      trafficLights_.capacity() * sizeof(TrafficLight) +
                      laneDetectors_.capacity() * sizeof(LaneDetector);
  for (const SourceSinkPtr& source : sourcelist_)
    if (source) bytes += sizeof(SourceSink) + sizeof(ODInfo) + source->Name().capacity();
  for (const SourceSinkPtr& sink : sinklist_) {
    if (!sink) continue;
    bytes += sizeof(SourceSink) + sink->Name().capacity();
    for (const BHVSection* area = sink->Areas(); area; area = area->Next.get())
      bytes += sizeof(BHVSection);
  }
  return bytes;
}

// The copy becomes the external model's configuration: every part the model keeps is sent.
void KDConfig::SendWholeConfigurationToModel() {
  SendSectionsToModel();
  SendDetectorsToModel();
  SendSeedToModel();
}
