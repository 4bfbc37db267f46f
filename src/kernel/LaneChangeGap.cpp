#include "kernel/LaneChangeGap.h"

#include <algorithm>

// The symbols of the gap acceptance model: q the new leader, r the new follower, lq and pq the
// leader's length and start position [m], Tq and Tr their anticipation times [s], o the hardest
// braking accepted, A what the leader allows the vehicle, B what the follower can do behind
// it, ti what the follower assumes the vehicle does [m/s2].
GapVerdict AcceptGap(const GapRequest& request, const ReactionDelays& delays, float dt) {
  GapVerdict verdict;
  const FollowerState& self = request.self;
  const float passive = self.params->passiveDeceleration;
  const float o = request.acceptable;
  float A = request.startAcceleration;
  if (request.leader.kind != ObstacleKind::None) {
    const ObstacleState& q = request.leader;
    bool vehicle = q.kind == ObstacleKind::Vehicle;
    float lq = vehicle ? q.length : 0;
    float pq = vehicle ? q.startPosition : q.position;
    float Tq = request.leaderAnticipation;
    A = SafeAcceleration(self, q, Tq, Tq - dt, request.leaderAssumed, delays, dt);
    // A long look ahead may be too pessimistic for a leader that brakes now; 2 s decide then.
    if (A < passive && Tq > 2)
      A = std::min(A, SafeAcceleration(self, q, 2, 2 - dt, request.leaderAssumed, delays, dt));
    verdict.leaderBlocks = A < o || self.position > pq - lq;
  }
  verdict.leaderAcceleration = A;
  verdict.plannedAcceleration = verdict.leaderBlocks ? passive : std::min(passive, A);

  if (request.follower != nullptr) {
    const FollowerState& r = *request.follower;
    float Tr = request.followerAnticipation;
    float ti = verdict.plannedAcceleration;
    float B = SafeAcceleration(r, request.selfAsObstacle, Tr, Tr, ti, delays, dt);
    if (B < passive && Tr > 2)
      B = std::min(B, SafeAcceleration(r, request.selfAsObstacle, 2, 2, ti, delays, dt));
    verdict.followerBlocks = !(B >= o && r.position <= self.position - request.length);
  }
  return verdict;
}
