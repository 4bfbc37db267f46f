#pragma once

#include "kernel/RoadObject.h"

class SuperSource;

// A lane source of an origin: it owes vehicles as the origin's demand accumulates.
class SourceInfo : public RoadObjectExtras {
 public:
  SourceInfo(RoadObject* owner, int lane, int origin)
      : RoadObjectExtras(owner), lane(lane), origin(origin) {}
  int generated = 0;   // vehicles created so far
  float expected = 0;  // vehicles owed so far (fractional)
  int drawnType = -1;  // type of the next vehicle; -1 = not drawn yet
  int drawnDestination = -1;
  SuperSource* superSource = nullptr;
  int lane = 0;
  int origin = 0;
};

// One origin: the lane sources that carry its demand. The kernel owns it and drops it when
// its last lane source is gone.
class SuperSource {
 public:
  SuperSource(Kernel& kernel, int origin) : kernel_(kernel), origin_(origin) {}
  SuperSource(const SuperSource&) = delete;
  SuperSource& operator=(const SuperSource&) = delete;

  int Origin() const { return origin_; }
  /// Takes a source object as the origin's source of its lane; the lane must be free.
  bool Register(RoadObject* source);
  /// Releases the source of its lane; returns whether the lane held that source.
  bool Unregister(RoadObject* source);
  RoadObject* SubSource(int lane) const { return subsources_[lane]; }
  int LaneCount() const;

 private:
  Kernel& kernel_;
  int origin_;
  RoadObject* subsources_[MAX_KAVROLANE] = {};
};
