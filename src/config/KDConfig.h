#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/ProgramMode.h"
#include "config/RoadLists.h"
#include "config/RoadTypes.h"
#include "config/VDCTypes.h"

// The configuration: the road, the demand, the furniture on the road and the behaviour
// parameters. The program keeps one current configuration (theKDC); file readers build a
// new one and swap it in only on success; undo keeps independent copies.
//
// The class is implemented in several files, one per concern:
//   KDConfig.cpp            lifetime, change stamp, sections and boundaries
//   KDConfigLanes.cpp       per-lane road properties, lane type rules and lane queries
//   KDConfigDemand.cpp      origins, destinations, flow graphs, type shares, OD matrix
//   KDConfigAreas.cpp       lane change areas and route choice
//   KDConfigFurniture.cpp   detectors, traffic lights, lane detectors, teleports, closed lane
//   KDConfigParams.cpp      vehicle and driver parameters, seed, time step, stop time
//   KDConfigDovel.cpp       the external model's mirror: forwarding, reading .dov files

constexpr int MAXSOURCE = 99;
constexpr int MAXSINK = 99;
constexpr int MAXTELEPORT = 99;
constexpr int MAXVEHICLETYPE = 8;
// The most physical sections a road may have. Every section holds a value per lane and
// property, the kernel builds a boundary per lane from it, and the editors and copies handle
// the road as a whole; ten thousand sections are a section every 5 m on a 50 km road.
constexpr int MAXSECTIONS = 10000;
// The most detectors a road may have: each one's data is kept for every period of a run.
constexpr int MAXDETECTORS = 10000;

// A teleport entrance or exit: a group of adjacent lanes of one section. An entrance and an
// exit are linked when their counterparts are equal; -1 = not linked. Unused: section -1.
class SourceSink;
struct BHVSection;
struct SurfaceDetailInfo;
// Owns an origin or destination; the deleter lives with SourceSink, so this header does not
// need the complete type.
struct SourceSinkDeleter {
  void operator()(SourceSink* record) const;
};
using SourceSinkPtr = std::unique_ptr<SourceSink, SourceSinkDeleter>;

struct TeleportRecord {
  int section = -1;
  int fromLane = 0;
  int toLane = 0;
  int counterpart = -1;
};

class KDConfig {
 public:
  KDConfig();
  ~KDConfig();
  KDConfig(const KDConfig&) = delete;
  KDConfig& operator=(const KDConfig&) = delete;

  // ---- Road layout ---------------------------------------------------------------------
  /// 0x9d6209f1 while the object is alive, 0 once destroyed.
  std::uint32_t MagicNumber() const { return magicNumber_; }
  /// The value of the program-wide change counter after this configuration's last change.
  int ChangeStamp() const { return changeStamp_; }

  /// Road length [m]: the downstream end of section 0.
  int Length() const;
  /// Number of physical sections minus 1; section Boundaries() begins at position 0.
  int Boundaries() const { return static_cast<int>(sections_.size()) - 1; }
  /// Moves the downstream end of the road; with several sections the road can only grow.
  void SetLength(int length);
  /// Splits the section containing `distance` [m] there; both parts keep its values.
  void InsertBoundary(int distance);
  /// Removes a section; its downstream neighbour takes over its stretch (section 0: the road
  /// becomes shorter).
  void DeleteBoundary(int section);
  /// True when InsertBoundary (DeleteBoundary) would be accepted: a distance inside the road
  /// and on no boundary, at most MAXSECTIONS sections, and origins, destinations and teleports
  /// the lists have room for (RoadListCount). The editors check with these first.
  bool InsertBoundaryValid(int distance) const;
  bool DeleteBoundaryValid(int section) const;
  /// Why InsertBoundary (DeleteBoundary) would be refused, in words for the user; "" when it
  /// would be accepted.
  std::string InsertBoundaryRefusal(int distance) const;
  std::string DeleteBoundaryRefusal(int section) const;
  /// Cuts a road of one section into sections ending at `ends` [m], strictly increasing from
  /// upstream, the last one the new road length: what SetLength and InsertBoundary at every
  /// end do, in one pass. Every part keeps the section's values; a teleport entrance stays in
  /// the most upstream part only, an exit in the most downstream part only.
  void SetSectionEnds(const std::vector<int>& ends);
  /// Begin or end [m] of a section (WHENCE_BEGIN / WHENCE_END); -1 for no section.
  int SectionPos(int section, int whence) const;
  void SetSectionPos(int section, int position, int whence);
  /// -1 for no section.
  int SectionLength(int section) const;
  /// Resizes a section [m]; everything downstream (sections, lane change areas, traffic
  /// lights) shifts with its end. Ignored for no section or a length <= 0.
  void SetSectionLength(int section, int length);
  /// The section containing `position` [m] (a boundary belongs to the downstream section);
  /// -1 off the road.
  int SectionAt(float position) const;

  /// Lane MaxLane() is accepted and reads as 0.
  float PhysicalSectionProperty(int section, int lane, int property) const;
  int IntPhysicalSectionProperty(int section, int lane, int property) const;
  /// Validates, normalises and stores one value. Without `noAdjust` a lane type adapts the
  /// lane change bits at the road edges and of the neighbour lanes, and a distance must stay
  /// between the neighbouring boundaries.
  void SetPhysicalSectionProperty(int section, int lane, int property, float value,
                                  bool noAdjust = false);
  /// The file code 0 .. 11 of a lane's type.
  int OldPhysSectionType(int section, int lane) const;
  /// 1 + the highest lane paved in any section; 0 when none is.
  int LanesUsed() const;
  /// The lowest lane paved in any section; MaxLane() when none is.
  int FirstLaneUsed() const;
  /// True when SetPhysicalSectionProperty would accept the lane type: a whole number
  /// 0 .. LANEMASK_ALL, no taper pair starting at lane 0, and a road whose origins,
  /// destinations and teleports still fit their lists. The editors check with this first.
  bool LaneTypeValid(int section, int lane, float laneType, bool noAdjust = false) const;
  /// Why SetPhysicalSectionProperty would refuse the lane type, in words for the user; ""
  /// when it would store it.
  std::string LaneTypeRefusal(int section, int lane, float laneType, bool noAdjust = false) const;
  /// The origins, destinations, teleport entrances and exits the lane types give, counted
  /// without building the lists: a road being read may give more than the lists hold.
  RoadListCounts RoadListCount() const;
  /// Whether traffic can pass the begin or end (`whence`) of the lane.
  bool LaneConnects(int section, int lane, int whence) const;
  /// Paved and without merge bits.
  bool IsNormalLane(int section, int lane) const;
  /// A lane change or a forced merge towards lane-1 is possible.
  bool CanMoveLeft(int section, int lane) const;
  /// A lane change or a forced merge towards lane+1 is possible.
  bool CanMoveRight(int section, int lane) const;
  /// Deletes the detectors and lane change areas past the road end.
  void PurgeBeyondLength();

  // ---- Origins, destinations and demand ------------------------------------------------
  // Origins and destinations follow from the lane types; they are rebuilt lazily after a road
  // change, on the next request for a count or a rank. Ranks are list indices 0 .. 98.
  int SourceCount() const;
  int SinkCount() const;
  /// The origin (destination) of a rank; none for a rank outside 0 .. 98 or an empty slot.
  SourceSink* Source(int rank) const;
  SourceSink* Sink(int rank) const;
  /// Empty text, or -1, for no such rank.
  std::string SourceName(int rank) const;
  std::string SinkName(int rank) const;
  int SourceSection(int rank) const;
  int SourceFromLane(int rank) const;
  int SourceToLane(int rank) const;
  int SinkSection(int rank) const;
  int SinkFromLane(int rank) const;
  int SinkToLane(int rank) const;
  /// Renames an origin (destination); a name that `ValidSourceSinkName` refuses, or the
  /// name of another record of the list, is reported and changes nothing.
  void SetSourceName(int rank, const std::string& name);
  void SetSinkName(int rank, const std::string& name);
  /// Whether `name` can name an origin or destination. A configuration file holds the name as
  /// the rest of its line, so it starts with a printable, non-blank character, holds no line
  /// break or NUL and does not end in white space (readers drop trailing blanks).
  static bool ValidSourceSinkName(const std::string& name);

  /// Adds (new time), changes (existing time) or deletes (flow -1) one point of an origin's
  /// flow graph; times [s], flows [veh/h].
  void SetOFlow(int origin, int time, int flow);
  /// The time [s] of a flow graph point, or -1 past the last point.
  int OFlowTime(int origin, int point) const;
  /// The flow [veh/h] of a flow graph point; 0 for an invalid index.
  int OFlowValue(int origin, int point) const;

  void SetOVProbability(int origin, int vehicleType, float probability);
  /// Unless raw, the origin's shares are normalised first and stored that way.
  float OVProbability(int origin, int vehicleType, bool raw) const;
  /// Vehicle type -1 sets every vehicle type.
  void SetODProbability(int origin, int destination, int vehicleType, float probability);
  /// Vehicle type -1 combines all types weighted by their shares at the origin. Unless raw,
  /// the origin's probabilities of the type are normalised first and stored that way.
  float ODProbability(int origin, int destination, int vehicleType, bool raw) const;
  /// Estimated capacity of an origin's lanes from the mix of its vehicle types [veh/h].
  float MaxSourceFlow(int origin) const;

  /// After a rebuild, puts the origin (destination) at this location at `rank` by swapping it
  /// with the one there; used to make a copy's ranks agree with the original's.
  void MoveSourceToRank(int rank, int section, int fromLane, int toLane);
  void MoveSinkToRank(int rank, int section, int fromLane, int toLane);

  // ---- Lane change areas and route choice ----------------------------------------------
  // Each destination owns a list of lane change areas, rank 0 first. These operations read
  // the destination list as it stands; they never rebuild it.
  BHVSection* LaneChangeArea(int sink, int rank) const;
  int LaneChangeAreaCount(int sink) const;
  /// The getters give -1 (false, 0) when there is no such area.
  int LaneChangeAreaLane(int sink, int rank) const;
  int LaneChangeAreaPosition(int sink, int rank) const;
  int LaneChangeAreaLengthRequired(int sink, int rank) const;
  int LaneChangeAreaLengthVoluntary(int sink, int rank) const;
  bool LaneChangeAreaMergeLeft(int sink, int rank) const;
  int LaneChangeAreaRouteChoiceGroup(int sink, int rank) const;
  /// Vehicle type -1 reads type 0.
  float LaneChangeAreaProbability(int sink, int rank, int vehicleType) const;
  /// The new area becomes rank 0, applies to all vehicles and has probability 1 everywhere.
  void AddLaneChangeArea(int sink, int lane, int position, int lengthRequired, int lengthVoluntary,
                         bool mergeLeft);
  void DeleteLaneChangeArea(int sink, int rank);
  /// Vehicle type -1 sets all eight types; the group (>= 0, or -1) is stored as well.
  void SetLaneChangeAreaProbability(int sink, int rank, int vehicleType, float probability,
                                    int routeChoiceGroup);
  void SetLaneChangeAreaLengthRequired(int sink, int rank, int length);
  void SetLaneChangeAreaLengthVoluntary(int sink, int rank, int length);
  void SetLaneChangeAreaPosition(int sink, int rank, int position);
  /// Orders the areas most downstream first, equal positions by lane, lowest first.
  void SortLaneChangeAreas(int sink);

  // ---- Detectors, traffic lights, lane detectors, teleports, closed lane ---------------
  // Traffic light states: idle is set on every change and at run set-up; the kernel sets
  // red, green or yellow during a run.
  static constexpr int TRAFFICLIGHT_IDLE = 200;
  static constexpr int TRAFFICLIGHT_RED = 201;
  static constexpr int TRAFFICLIGHT_GREEN = 202;
  static constexpr int TRAFFICLIGHT_YELLOW = 203;
  static constexpr int LANEDETECTOR_FREE = 300;
  static constexpr int LANEDETECTOR_OCCUPIED = 301;
  // Longest controller name of a traffic light or lane detector [characters].
  static constexpr int MAXCONTROLLERNAME = 200;

  // A lane closed for a while: vehicles must leave `lane` over `length` [m] before `end` [m]
  // and may leave it over `voluntaryLength` [m] before that. The lane is closed before t1,
  // open from t1, closed again from t2 and open from t3 on [s]. end 0 = no closed area.
  struct TempClosedAreaInfo {
    int lane = 0;
    int end = 0;
    int length = 0;
    int voluntaryLength = 0;
    int t1 = 0;
    int t2 = 0;
    int t3 = 0;

    bool Exists() const { return end > 0; }
    /// True while the lane is closed at simulated time `t` [s].
    bool ClosedAt(int t) const { return Exists() && (t < t1 || (t >= t2 && t < t3)); }
  };

  // Detectors over all lanes, numbered from the downstream end: detector 0 has the largest
  // position [m].
  int DetectorCount() const;
  /// Position [m] of detector n, -1 for no such detector.
  int DetectorPosition(int n) const;
  /// True when AddDetector(position) would be accepted in KAVRO mode: inside the road, not on
  /// an existing detector and fewer than MAXDETECTORS. Input paths check with this first.
  bool DetectorPositionValid(int position) const;
  void AddDetector(int position);
  void DeleteDetector(int n);
  /// Both times [s] must be >= 0.
  void SetDetectorTimes(int firstTime, int interval);
  /// End of the n-th sampling period [s]: first + n * interval; -1 for n < 0.
  int DetectorTime(int n) const;
  /// The sampling interval [s], as set (DetectorTime stops at the largest int).
  int DetectorInterval() const { return detectorInterval_; }

  // Traffic lights. An empty controller name makes a fixed-time light, driven by its cycle,
  // green, yellow and start offset times [s]; a controller-driven light has all four at 0.
  int TrafficLightCount() const;
  /// True when ModifyTrafficLight would accept these values for an existing light. A
  /// controller name is one word of at most MAXCONTROLLERNAME characters (no white space),
  /// and not "|", which stands for no controller in the configuration file.
  bool TrafficLightValid(const std::string& controller, int position, int lane, int cycle,
                         int green, int yellow, int offset) const;
  void AddTrafficLight(const std::string& controller, int position, int lane, int number, int cycle,
                       int green, int yellow, int offset);
  void ModifyTrafficLight(int n, const std::string& controller, int position, int lane, int number,
                          int cycle, int green, int yellow, int offset);
  void DeleteTrafficLight(int n);
  /// The controller's name; empty for a fixed-time light.
  std::string TrafficLightController(int n) const;
  int TrafficLightPosition(int n) const;
  int TrafficLightLane(int n) const;
  int TrafficLightNumber(int n) const;
  int TrafficLightState(int n) const;
  int TrafficLightCycleTime(int n) const;
  int TrafficLightGreenTime(int n) const;
  int TrafficLightYellowTime(int n) const;
  int TrafficLightStartOffset(int n) const;
  /// Called by the kernel during a run and by the run control at its start: the state is
  /// shown on the road, it is no change of the configuration.
  void SetTrafficLightState(int n, int state) const;

  // Lane detectors, the inputs of traffic light controllers; a detector covers
  // position - length .. position [m] of its lane.
  int LaneDetectorCount() const;
  /// True when AddLaneDetector would accept these values.
  bool LaneDetectorValid(const std::string& controller, int position, int length, int lane) const;
  void AddLaneDetector(const std::string& controller, int position, int length, int lane,
                       int number);
  std::string LaneDetectorController(int n) const;
  int LaneDetectorPosition(int n) const;
  int LaneDetectorLength(int n) const;
  int LaneDetectorLane(int n) const;
  int LaneDetectorNumber(int n) const;
  int LaneDetectorState(int n) const;
  /// Called by the kernel during a run: no change of the configuration.
  void SetLaneDetectorState(int n, int state) const;

  // Teleport entrances (entrance true) and exits, ranked from upstream to downstream and
  // within a section from left to right. The lists follow the lane types; asking for them
  // rebuilds them first when the road changed.
  int TeleportCount(bool entrance) const;
  /// The record of one rank; an unused record (section -1) for no such rank.
  ::TeleportRecord TeleportRecord(bool entrance, int rank) const;
  /// The link number of one rank; -1 when not linked or no such rank.
  int TeleportCounterPart(bool entrance, int rank) const;
  /// Links are not a change of the road: the change stamp stays.
  void SetTeleportCounterPart(bool entrance, int rank, int counterpart);

  // The temporarily closed lane.
  TempClosedAreaInfo TempClosedArea() const;
  /// True when the seven values make an area the road can hold, or say "no area" (end 0).
  bool TempClosedAreaValid(const TempClosedAreaInfo& area) const;
  void SetTempClosedArea(int lane, int end, int length, int voluntaryLength, int t1, int t2,
                         int t3);

  // ---- Copies and clipboard text of road pieces ----------------------------------------
  /// An independent copy: nothing is shared with this configuration, and the copy has a
  /// change stamp of its own. With `sendToModel` in DOVEL mode the copy also becomes the
  /// external model's configuration. None when memory ran out (reported).
  std::unique_ptr<KDConfig> Duplicate(bool sendToModel) const;
  /// The memory this configuration holds [bytes], its own object included.
  std::size_t MemoryBytes() const;
  /// The clipboard text of lanes fromLane .. toLane of sections fromSection (upstream) down
  /// to toSection.
  std::string AreaToText(int fromLane, int toLane, int toSection, int fromSection) const;
  /// The number of sections of a clipboard text; -1 when it is not a road piece.
  static int CheckAreaText(const std::string& text);
  /// Why the road piece cannot be pasted with its first section into `section` and its first
  /// lane into `lane`; empty when it can. Input paths ask this before TextToArea.
  std::string AreaTextProblem(const std::string& text, int section, int lane) const;
  /// Pastes a road piece: `section` takes the piece's sections (upstream first), `lane` and
  /// the lanes right of it the piece's lanes. A piece that does not fit is reported as a
  /// warning and changes nothing (false).
  bool TextToArea(const std::string& text, int section, int lane);

  // ---- Vehicle and driver parameters, run settings -------------------------------------
  // Kinds are the VDC_ constants; types and parameters count from 0. Kinds 1 and 6 have no
  // types and take type -1.

  /// Existing types of a kind: for VDC_KAVRO the types from 0 up to the first one that does
  /// not exist; -1 for kinds without types and unknown kinds.
  int VDCTypeCount(int kind) const;
  /// Parameters per type (kind 101: per the type's vehicle parameter 2); -1 for unknown kinds.
  int VDCParamCount(int kind, int type = 0) const;
  /// 8 for VDC_KAVRO, 20 for the DOVEL kinds with types, -1 otherwise.
  static int MaxVDCTypes(int kind);
  /// Reads a parameter and, when `info` is given, its editor and file metadata. True when the
  /// type exists (VDC_KAVRO) or lies below the type count (DOVEL kinds).
  bool GetVDCParam(int kind, int type, int param, float* value = nullptr,
                   VDCParamInfo* info = nullptr) const;
  /// Stores a value without checking the row's limits: the editors and readers check them.
  void SetVDCParam(int kind, int type, int param, float value);
  /// Adds a type with default values; returns the new type count, or -1.
  int AddVDCType(int kind);
  /// Deletes a type, moving the later ones down one place (kinds 100, 3 and 4).
  void DeleteVDCType(int kind, int type);
  /// The FG_ general driver parameters (KAVRO mode only).
  float GetKavroGeneralParam(int n) const;
  void SetKavroGeneralParam(int n, float value);
  /// Five KAVRO vehicle types with their defaults and the default general parameters.
  void SetDefaultParams();

  int Seed() const { return seed_; }
  void SetSeed(int seed);
  /// [s]; in DOVEL mode the external model's general parameter 16.
  float TimeStep() const;
  void SetTimeStep(float dt);
  /// Stop time of a run [s]; in DOVEL mode the external model's simulation time [min] x 60.
  int MaxTime() const;
  void SetMaxTime(int t);

  // ---- External model (DOVEL mode) ----------------------------------------------------
  /// The current configuration is mirrored in the external model: its changes are forwarded.
  void SetMirrored(bool mirrored) { mirrored_ = mirrored; }
  bool Mirrored() const { return mirrored_; }
  /// Sends the whole configuration to the external model (a copy became the current one).
  void PushAllToModel();
  /// Traffic generation of the external model: injection file or fixed flow [veh/h].
  bool UseInjectionFile() const { return useInjectionFile_; }
  void SetUseInjectionFile(bool use);
  const std::string& InjectionFileName() const { return injectionFileName_; }
  void SetInjectionFileName(const std::string& name);
  float DovelFlow() const { return dovelFlow_; }
  void SetDovelFlow(float flow);
  /// Where the external model knows detector n: its link (from 1), its number in the link
  /// (from 1, counted from the link's downstream end) and its offset from that end [m].
  bool DovelDetectorAddress(int n, int& link, int& index, int& offset) const;
  /// The lanes of the external model's link of `section`: 6 - the lowest lane in use.
  int DovelLaneCount(int section) const;
  /// The external model's description of surface detail `detail` (0 .. 8) with its caption
  /// and per-lane flag; returns the number of details (9). Another detail is a program error
  /// (nothing filled). Without the model the range, step and texts stay empty, type -1.
  static int GetSurfaceDetailInfo(int detail, SurfaceDetailInfo& info);

  /// DOVEL vehicle-driver frequency of vehicle type v and driver type d; unless `raw`, the
  /// row of v is first made a distribution over the driver types and kept so.
  float VDProbability(int v, int d, bool raw = false);
  void SetVDProbability(int v, int d, float p);

 private:
  // Each concern initialises its own members for the default configuration; the
  // constructor calls them in this order.
  void InitDemand();
  void InitFurniture();
  void InitParameters();

  // Hooks the road edits call into the other concerns.
  // Lane change areas: delete those past the road end; move those at or past `end` [m]
  // by `delta` [m] when a section changes length.
  void PurgeAreasBeyondLength();
  void MoveAreasForSectionLength(int end, int delta);
  // Detectors: delete detector 0 while it lies at or beyond the road end.
  void PurgeDetectorsBeyondLength();
  // Traffic lights: when a section ending at `end` changes length by `delta`, delete those
  // pushed past the road end (delta <= 0) and move those at or past `end`.
  void MoveTrafficLightsForSectionLength(int end, int delta);
  // Teleport records follow boundary inserts (new section index r) and deletes.
  void TeleportSectionsInserted(int r);
  void TeleportSectionsDeleted(int section);
  // Rebuilds the teleport lists from the lane types (the last step of the list rebuild).
  void RebuildTeleportLists();

  // ---- Copies (private) ----------------------------------------------------------------
  // Takes every member of `from` (KDConfigCopy.cpp): a member added to this class must be
  // copied there too.
  void CopyFrom(const KDConfig& from);
  void SendWholeConfigurationToModel();
  void PasteArea(const std::string& text, int section, int lane);

  // ---- Road layout (private) -----------------------------------------------------------
  // Takes a new value of the program-wide change counter: every successful change of any
  // concern calls this once it has changed the configuration.
  void Touch();
  // Mirrors a road change into the external vehicle model (DOVEL mode): one property of one
  // lane, or every section when `section` is -1. False when the model refused the change.
  bool SendSectionsToModel(int section = -1, int lane = -1, int property = -1);
  // Applies the lane type rules to a copy of the section and stores it; false (nothing
  // changed) when an internal consistency check fails.
  bool StoreLaneType(int section, int lane, float value, bool noAdjust);
  // The section as the lane type rules make it; false when a consistency check fails, which
  // is reported when `report` is set.
  bool LaneTypeResult(int section, int lane, float value, bool noAdjust, bool report,
                      PhysSection& result) const;
  // The lane types of sections first .. last (clipped to the road), with `replaced` in place
  // of section `replacedSection` when given.
  LaneTypeGrid LaneTypes(int first, int last, int replacedSection = -1,
                         const PhysSection* replaced = nullptr) const;
  // The change of RoadListCount when section `section` becomes `replacement`.
  RoadListCounts RoadListChange(int section, const PhysSection& replacement) const;
  bool StoreDistance(int section, int lane, float value, bool noAdjust);
  void AdjustNeighbourLanes(PhysSection& sec, int lane, int laneType) const;
  bool CompleteTapers(PhysSection& sec, int lane, bool report = true) const;
  void NormaliseDovelLanes(PhysSection& sec, int lane, int laneType) const;
  int LaneType(int section, int lane) const;
  // The lane type of the lane to the left; 0 for lane 0.
  int LeftLaneType(int section, int lane) const;
  bool IsLaneInRange(int section, int lane) const;

  std::uint32_t magicNumber_ = 0;
  int changeStamp_ = 0;
  // Section s ends at value[0][PP_DISTANCE] [m]; the distances strictly decrease with s.
  std::vector<PhysSection> sections_;
  // Bookkeeping for the rebuild of the origin and destination lists: the section changed
  // last by a boundary insert or delete, and Boundaries at that change.
  int lastChangedSection_ = -1;
  int boundariesAtLastChange_ = 0;
  // Origins, destinations and teleports must be rebuilt from the lane types.
  bool listsDirty_ = true;
  // RoadListCount of the road as it is, when known: lane type changes update it, section
  // changes forget it.
  mutable RoadListCounts roadListCount_;
  mutable bool roadListCountKnown_ = false;

  // ---- Origins, destinations and demand (private) --------------------------------------
  friend class SourceSink;
  struct FlowPoint {
    int time = 0;  // [s] from the start of the simulation
    int flow = 0;  // [veh/h]
  };
  static constexpr int MAXFLOWPOINT = 99;

  // Rebuilds the lists when they are dirty. The lists are a cache of the lane types, so the
  // rebuild counts as reading: const accessors call it.
  void UpdateListsIfDirty() const;
  void UpdateLists();
  void FindNewSources(std::vector<SourceSinkPtr>& found);
  void FindNewSinks(std::vector<SourceSinkPtr>& found);
  void MatchSourceSinkLists(std::vector<SourceSinkPtr>& old, std::vector<SourceSinkPtr>& found,
                            int threshold, SourceSinkPtr* list, int& count);
  void UpdateDovelLists();
  void MoveToRank(SourceSinkPtr* list, int rank, int section, int fromLane, int toLane);
  // The number of vehicle types the demand is normalised over.
  int DemandVehicleTypeCount() const;

  SourceSinkPtr sourcelist_[MAXSOURCE];
  SourceSinkPtr sinklist_[MAXSINK];
  int supersourcecount_ = 0;
  int supersinkcount_ = 0;
  // Flow graph per origin rank; it stays with the rank when the lists are rebuilt. The points
  // are sorted by time; the list ends at the first point after point 0 with time 0.
  FlowPoint oflow_[MAXSOURCE][MAXFLOWPOINT];
  int temporaryNameCounter_ = 0;

  // ---- Lane change areas (private) -----------------------------------------------------
  BHVSection* CheckedArea(int sink, int rank) const;

  // ---- Detectors, traffic lights, lane detectors, teleports, closed lane (private) -----
  struct TrafficLight {
    std::string controller;  // empty = fixed-time light
    int position = 0;        // [m]
    int lane = 0;
    int number = 0;  // the light's number for its controller
    mutable int state = TRAFFICLIGHT_IDLE;
    int cycle = 0;   // [s]
    int green = 0;   // [s]
    int yellow = 0;  // [s]
    int offset = 0;  // [s]
  };
  struct LaneDetector {
    std::string controller;
    int position = 0;  // downstream end [m]
    int length = 0;    // [m]
    int lane = 0;
    int number = 0;
    mutable int state = LANEDETECTOR_FREE;
  };

  // Reports the standard range text of a traffic light or lane detector accessor and
  // returns false for a bad number.
  bool CheckTrafficLightNo(const char* operation, int n) const;
  bool CheckLaneDetectorNo(const char* operation, int n) const;
  void DeleteTeleportsInSection(::TeleportRecord* list, int* count, int section);
  // DOVEL mode: the external model keeps its own copy of the detectors.
  void SendDetectorsToModel();

  std::vector<int> detectors_;   // positions [m], largest first
  int detectorFirstTime_ = 300;  // [s]
  int detectorInterval_ = 300;   // [s]
  std::vector<TrafficLight> trafficLights_;
  std::vector<LaneDetector> laneDetectors_;
  TempClosedAreaInfo tempClosedArea_;
  ::TeleportRecord teleportin_[MAXTELEPORT];
  ::TeleportRecord teleportout_[MAXTELEPORT];
  int teleportincount_ = 0;
  int teleportoutcount_ = 0;

  // ---- Vehicle and driver parameters (private) -----------------------------------------
  // The external model mirrors every change of the current configuration (KDConfigDovel.cpp).
  void SendVDCValueToModel(int kind, int type, int param);
  void SendVDCTypesToModel(int kind);
  void SendSeedToModel();
  void SendVDRowToModel(int v);
  // The defaults of SetDefaultParams without a change stamp (construction).
  void SetDefaultParamValues();
  // Kind 102: after one value changed, make the three values of `type` a distribution again.
  void FixVehicleDistribution(int type, int changed);
  // The storage slot of a DOVEL parameter, nullptr for an invalid address.
  float* DovelSlot(int kind, int type, int param);
  const float* DovelSlot(int kind, int type, int param) const;

  // External model mirror: forwarding only for the current configuration (or SendToDovel).
  bool Forwarding() const;
  bool SendLaneTypes(int section);
  bool SendSurfaceDetail(int section, int lane, int detail);
  bool mirrored_ = false;
  bool useInjectionFile_ = false;
  std::string injectionFileName_;
  float dovelFlow_ = 0;  // [veh/h]

  // VDC_KAVRO: a type exists while its parameter 0 is not 0.
  float kavroParams_[MAXVEHICLETYPE][KAVRO_PARAM_SLOTS] = {};
  float kavroGeneral_[3] = {};
  float dovelGeneral_[DOVEL_GENERAL_PARAMS] = {};
  float dovelVehicle_[MAXDOVELTYPE][DOVEL_VEHICLE_SLOTS] = {};
  float dovelDriver_[MAXDOVELTYPE][DOVEL_DRIVER_SLOTS] = {};
  float dovelIcc_[DOVEL_ICC_PARAMS] = {};
  float dovelVehicleSub_[MAXDOVELTYPE][DOVEL_VEHICLESUB_SLOTS] = {};
  float dovelVehicleDist_[MAXDOVELTYPE][DOVEL_VEHICLEDIST_PARAMS] = {};
  int dovelVehicleCount_ = 0;
  int dovelDriverCount_ = 0;
  // Vehicle-driver frequencies, whole hundredths, indexed [vehicle type][driver type].
  float vdFrequency_[MAXDOVELTYPE][MAXDOVELTYPE] = {};
  int seed_ = 1;
  float timeStep_ = 0.5f;  // [s]
  int maxTime_ = 7200;     // [s]
};
