#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "kernel/KernelTypes.h"

class Kernel;
class RoadObject;
class VehicleInfo;
class SourceInfo;
class DetectorInfo;

// The per-kind extra record of a road object; owned by its object and destroyed with it.
class RoadObjectExtras {
 public:
  explicit RoadObjectExtras(RoadObject* owner) : owner_(owner) {}
  virtual ~RoadObjectExtras() = default;
  RoadObjectExtras(const RoadObjectExtras&) = delete;
  RoadObjectExtras& operator=(const RoadObjectExtras&) = delete;
  RoadObject* Owner() const { return owner_; }

 private:
  RoadObject* owner_;
};

// Teleports and reverse teleports come in pairs pointing at each other: a vehicle reaching
// the teleport continues from the reverse teleport.
class TeleportInfo : public RoadObjectExtras {
 public:
  using RoadObjectExtras::RoadObjectExtras;
  ~TeleportInfo() override;
  RoadObject* OtherEnd() const { return otherEnd_; }
  void NewOtherEnd(RoadObject* other) { otherEnd_ = other; }

 private:
  RoadObject* otherEnd_ = nullptr;
};

// What a lane of a physical section allows and imposes, from the boundary at its upstream
// end down to the next boundary.
struct PhysicalLane {
  uint8_t canMoveLeft = 0;
  uint8_t canMoveRight = 0;
  uint8_t notUsable = 1;
  float speedSuppression = 0;  // factor 0..1 on the aim speed
  uint8_t noOvertakingTrucks = 0;
  float slope = 0;       // fraction, positive uphill
  float speedLimit = 0;  // [m/s]
};

class PhysicalLaneInfo : public RoadObjectExtras {
 public:
  using RoadObjectExtras::RoadObjectExtras;
  /// Fills one lane; a lane outside 0..11 is a program error and changes nothing.
  bool SetPhysicalLaneInfo(int lane, bool canMoveLeft, bool canMoveRight, bool notUsable,
                           float speedSuppression, bool noOvertakingTrucks, float slope,
                           float speedLimit);
  const PhysicalLane& Lane(int lane) const { return lanes_[lane]; }

 private:
  PhysicalLane lanes_[MAX_KAVROLANE];
};

// A fixed-time light cycles green, yellow, red from its start offset on. A light driven by an
// outside controller has all times 0: it has no cycle of its own and stays as it is.
class TrafficLightInfo : public RoadObjectExtras {
 public:
  using RoadObjectExtras::RoadObjectExtras;
  bool FixedTime() const { return cycleTime > 0; }
  int lane = 0;
  int cycleTime = 0;    // [s]
  int greenTime = 0;    // [s]
  int yellowTime = 0;   // [s]
  int startOffset = 0;  // [s]
  int state = TL_GREEN;
  int seenState = TL_GREEN;  // what drivers react to; lags the state by a reaction time
  int countdown = 0;         // [steps] until the drivers see the state
};

class LaneDetectorInfo : public RoadObjectExtras {
 public:
  using RoadObjectExtras::RoadObjectExtras;
  int downstreamEnd = 0;  // [m]
  int count = 0;          // vehicles whose front touched the zone in the current step
  int lane = 0;           // the real lane; the object itself sits in the pseudo-lane
};

// Everything that exists on the road during a run. All objects are in one list ordered by
// position, and each is also linked to its neighbours with the same lane value, so that the
// object in front of or behind a vehicle in any lane is a link or a short walk away.
// Objects are created and destroyed by their Kernel only.
class RoadObject {
 public:
  ~RoadObject();
  RoadObject(const RoadObject&) = delete;
  RoadObject& operator=(const RoadObject&) = delete;

  int Type() const { return type_; }
  int Lane() const { return lane_; }
  float Position() const { return position_; }  // [m] from the upstream end of the road
  int Number() const { return number_; }
  bool IsVehicle() const { return ISVEHICLE(type_); }
  Kernel& Owner() const { return *kernel_; }

  // A free slot: the pair number of taper teleports, or what the user interface attaches.
  std::intptr_t UserData() const { return userData_; }
  void SetUserData(std::intptr_t data) { userData_ = data; }

  RoadObject* Next() const { return next_; }          // downstream in the global list
  RoadObject* Previous() const { return previous_; }  // upstream in the global list
  RoadObject* LaneLeader() const { return laneLeader_; }
  RoadObject* LaneFollower() const { return laneFollower_; }

  /// The object ahead in `lane`, seen through teleports into the lane where a vehicle
  /// would reappear. Without a lane: the object's own lane.
  RoadObject* LeaderInLane() const { return LeaderInLane(lane_); }
  RoadObject* LeaderInLane(int lane) const {
    // The own lane's link, unless it is a teleport to look through.
    if (lane == lane_ && inLane_ && (laneLeader_ == nullptr || laneLeader_->type_ != RO_TELEPORT))
      return laneLeader_;
    return SearchLeaderInLane(lane);
  }
  /// The object behind in `lane`, seen back through reverse teleports.
  RoadObject* FollowerInLane() const { return FollowerInLane(lane_); }
  RoadObject* FollowerInLane(int lane) const;
  /// The nearest object downstream / upstream with this lane value; no teleport look-through.
  RoadObject* NextWithLane(int lane) const;
  RoadObject* PreviousWithLane(int lane) const;

  /// The physical boundary whose section holds the object's position.
  RoadObject* GetSection() const;
  /// Moves a vehicle sideways by one or two lanes at its current place in the list.
  bool ChangeLane(int lane);
  std::string Describe() const;

  // Driving (vehicles only).
  /// The speed the driver aims at in the section the vehicle is in [m/s]. Inline (in
  /// Kernel.h) for the remembered value, which the step asks for many times per vehicle.
  inline float AimSpeed() const;
  /// How far ahead the driver looks at `other`: 2 s when the two cooperate in a lane
  /// change, else 4 s.
  int GetAnticipationTime(const RoadObject* other) const;
  /// Moves a vehicle downstream to `position` [m] with `speed` [m/s] and `acceleration`
  /// [m/s2], past the objects it overtakes; false (and nothing moved) for an invalid move.
  bool MoveVehicle(float position, float speed, float acceleration);

  /// The extras record; reports a program error for kinds without extras.
  RoadObjectExtras* GetExtras() const;
  // Typed extras; none when the object is of another kind. Inline: the step asks for them
  // many times per vehicle.
  inline VehicleInfo* Vehicle() const;  // defined in VehicleInfo.h
  SourceInfo* Source() const;
  DetectorInfo* Detector() const;
  TeleportInfo* Teleport() const {
    return type_ == RO_TELEPORT || type_ == RO_REVERSETELEPORT
               ? static_cast<TeleportInfo*>(extras_.get())
               : nullptr;
  }
  PhysicalLaneInfo* PhysicalLanes() const {
    return type_ == RO_PHYSBOUNDARY ? static_cast<PhysicalLaneInfo*>(extras_.get()) : nullptr;
  }
  TrafficLightInfo* TrafficLight() const {
    return type_ == RO_TRAFFICLIGHT ? static_cast<TrafficLightInfo*>(extras_.get()) : nullptr;
  }
  LaneDetectorInfo* LaneDetector() const {
    return type_ == RO_LANEDETECTOR ? static_cast<LaneDetectorInfo*>(extras_.get()) : nullptr;
  }

  // List maintenance for vehicle motion. A vehicle is cut from its lane links, may take a new
  // lane value and place in the global list while cut, and is then linked into its lane.
  void SetPosition(float position) { position_ = position; }
  void SetNumber(int number) { number_ = number; }
  void CutFromLane();
  void SetLaneWhileCut(int lane);
  void LinkIntoLane();
  /// Takes the object out of the global list and puts it right after `anchor`
  /// (at the head when `anchor` is none). Lane links are not touched.
  void MoveAfter(RoadObject* anchor);

 private:
  // A failed KAVRO_ASSERT here stops the kernel that owns this object.
  void AssertionFailed(const char* condition, const char* file, int line) const;
  friend class Kernel;
  RoadObject(Kernel& kernel, int lane, int type, float position, int number);
  void UnlinkGlobal();
  void LinkGlobalAfter(RoadObject* anchor);
  /// Whether `other` comes after this object in the global list.
  bool Precedes(const RoadObject* other) const;
  /// The neighbours of a vehicle in another real lane, found from the object of that lane it
  /// met last time instead of walking the global list; false when there is no such object.
  bool NeighboursFromHint(int lane, RoadObject** before, RoadObject** after) const;
  void RememberHint(int lane, RoadObject* object) const;
  RoadObject* SearchLeaderInLane(int lane) const;
  /// AimSpeed() when the remembered value does not hold.
  float WorkOutAimSpeed() const;

  Kernel* kernel_;
  uint8_t type_;
  int8_t lane_;
  int32_t number_;
  std::intptr_t userData_ = 0;
  float position_;
  std::unique_ptr<RoadObjectExtras> extras_;
  RoadObject* laneFollower_ = nullptr;
  RoadObject* laneLeader_ = nullptr;
  RoadObject* previous_ = nullptr;
  RoadObject* next_ = nullptr;
  bool inLane_ = false;   // linked into its lane's links
  bool retired_ = false;  // destroyed; kept by the kernel until its retired objects go
  std::size_t slot_ = 0;  // index in the kernel's object store
};

// The vehicle extras and RoadObject::Vehicle(), so that every user of road objects has it.
#include "kernel/VehicleInfo.h"
