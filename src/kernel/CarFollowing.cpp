#include "kernel/CarFollowing.h"

#include <algorithm>

namespace {

float Square(float value) { return value * value; }
double Square(double value) { return value * value; }

// Where the leader of `follow` will be after Tprime seconds [m]: it keeps its acceleration
// until it stops or reaches its aim speed.
float PredictLeader(const ObstacleState& leader, float Tprime) {
  bool vehicle = leader.kind == ObstacleKind::Vehicle;
  float xl = leader.position;
  float wl = vehicle ? leader.aimSpeed : 0;
  float vl = vehicle ? leader.speed : 0;
  float al = vehicle ? leader.acceleration : 0;
  float e = vl + al * Tprime;
  if (e >= 0) {
    if (al == 0 || e <= wl || wl <= vl) return xl + vl * Tprime + al * Tprime * Tprime / 2;
    return xl + wl * Tprime - Square(vl - wl) / (2 * al);
  }
  return xl - vl * vl / (2 * al);
}

}  // namespace

float ReactionDelay(float wanted, float current, const ReactionDelays& delays) {
  if (wanted >= 0 && (current < 0 || (wanted > 0 && current == 0))) return delays.acceleration;
  if (wanted < 0 && current >= 0) return delays.deceleration;
  return 0;
}

float follow(const FollowerState& self, const ObstacleState& leader, float T, float Tprime,
             const ReactionDelays& delays, float dt, bool* smoothApproach) {
  const VehicleParams& p = *self.params;
  const float x = self.position, v = self.speed, a = self.acceleration, w = self.aimSpeed;
  bool vehicle = leader.kind == ObstacleKind::Vehicle;
  float Ll = vehicle ? leader.length : 0;
  float vl0 = vehicle ? leader.startSpeed : 0;
  float pl0 = vehicle ? leader.startPosition : leader.position;

  float P = PredictLeader(leader, Tprime);
  // The leader's length plus the desired gap at the current speed.
  float D0 = Ll + p.z1 + p.z2 * v + p.z3 * v * v;
  float acc = 2 * (P - D0 - x - v * T) / (T * T);

  // Closing in on a distant, slower leader: brake evenly so that the closing speed drops to
  // a small target speed when the desired distance is reached.
  float d = pl0 - x;
  float g = v - vl0;
  float c = 0;
  bool smooth = false;
  if (D0 < d && g > 0 && g >= Square(0.02 * (d - Ll - p.z1))) {
    c = Square(0.02 * (D0 - Ll - p.z1));
    float s = (g * g - c * c) / (2 * (D0 - d));
    if (s != 0 && (c - g) / s >= dt && s < acc) {
      acc = s;
      smooth = true;
    }
  }
  if (smoothApproach != nullptr) *smoothApproach = smooth;

  float r = ReactionDelay(acc, a, delays);
  if (r != 0) {
    if (smooth) {
      float m = (d - D0) - g * r;
      if (m <= 0) return p.maxDeceleration;
      acc = (c * c - g * g) / (2 * m);
    } else {
      acc = 2 * (P - D0 - x - v * T) / Square(T - r);
    }
  }

  float u = v + (T - r) * acc;
  if (u >= 0) {
    if (u <= w || w < v) return acc;
    // It would overshoot its aim speed: reach the aim speed where the distance allows.
    float m = P - D0 - x - v * r - (T - r) * w;
    if (m < 0) return -Square(v - w) / (2 * m);
    return std::min(a + p.maxAccelerationJump * dt, p.maxAcceleration);
  }
  // It would stop within T: stop at the desired distance.
  float m = P - D0 - x - v * r;
  if (m > 0) return -v * v / (2 * m);
  return p.passiveDeceleration;
}

float SafeAcceleration(const FollowerState& self, const ObstacleState& other, float T, float Tprime,
                       float assumed, const ReactionDelays& delays, float dt) {
  const VehicleParams& p = *self.params;
  const float x = self.position, v = self.speed, a = self.acceleration, w = self.aimSpeed;
  if (other.kind == ObstacleKind::None) return a + p.maxAccelerationJump * dt;

  bool vehicle = other.kind == ObstacleKind::Vehicle;
  float D = vehicle ? other.length + p.z1 : p.z1;
  float wo = vehicle ? other.aimSpeed : 0;
  float vo = vehicle ? other.speed : 0;
  float ao = vehicle ? other.acceleration : 0;
  float po = other.position;
  if (vehicle && T != Tprime) po = other.startPosition;
  if (po - D + 1 <= x) return p.maxDeceleration;

  // The other changes to `assumed` after its own reaction delay.
  float ro = ReactionDelay(assumed, ao, delays);
  float e = vo + (Tprime - ro) * assumed;
  float P;
  if (assumed == 0 || e >= 0) {
    if (assumed == 0 || e <= wo || wo <= vo)
      P = po + vo * Tprime + assumed * Square(Tprime - ro) / 2;
    else
      P = po + ro * vo + (Tprime - ro) * wo - Square(vo - wo) / (2 * assumed);
  } else {
    P = po + ro * vo - vo * vo / (2 * assumed);
  }

  float acc = 2 * (P - D - x - v * T) / (T * T);
  float r = ReactionDelay(acc, a, delays);
  if (r != 0) acc = 2 * (P - D - x - v * T) / Square(T - r);

  float u = v + (T - r) * acc;
  if (u >= 0) {
    if (u <= w || w < v) return acc;
    float m = P - D - x - v * r - (T - r) * w;
    if (m < 0) return -Square(v - w) / (2 * m);
    return p.maxAcceleration;
  }
  float m = P - D - x - v * r;
  if (m > 0) return -v * v / (2 * m);
  return p.maxDeceleration;
}
