#include <algorithm>
#include <cmath>
#include <new>

#include "config/ProgramError.h"
#include "config/VDCTypes.h"
#include "kernel/Kernel.h"
#include "kernel/KernelMath.h"

// ---- Demand of an origin over its lanes -------------------------------------------------

SuperSource::SuperSource(Kernel& kernel, int origin) : kernel_(kernel), origin_(origin) {
  if (kernel.Config() != nullptr) ReadDemand(*kernel.Config(), kernel.StepsPerSecond());
}

void SuperSource::ReadDemand(const KDConfig& config, int stepsPerSecond) {
  OriginDemand demand;
  try {
    demand.name = config.SourceName(origin_);
    // The graph ends at the first point after the first whose time is not positive.
    demand.flowTime = {config.OFlowTime(origin_, 0) * stepsPerSecond};
    demand.flowValue = {static_cast<float>(config.OFlowValue(origin_, 0))};
    for (int point = 1; point < 99; ++point) {      // a flow graph has at most 99 points
      int time = config.OFlowTime(origin_, point);  // [s]
      if (time <= 0) break;
      demand.flowTime.push_back(time * stepsPerSecond);
      demand.flowValue.push_back(static_cast<float>(config.OFlowValue(origin_, point)));
    }
  } catch (const std::bad_alloc&) {
    kernel_.KernelMessage(KernelCause::Error, "SuperSource::SuperSource", "Out of memory");
    return;
  }
  int types = std::min(config.VDCTypeCount(VDC_KAVRO), MAXVEHICLETYPE);
  int sinks = std::min(config.SinkCount(), MAXSINK);
  for (int type = 0; type < types; ++type) {
    demand.typeShare[type] = config.OVProbability(origin_, type, false);
    for (int sink = 0; sink < sinks; ++sink)
      demand.destinationProbability[type][sink] = config.ODProbability(origin_, sink, type, false);
  }
  SetDemand(demand);
}

float SuperSource::TotalFlow(int step) const {
  const std::vector<int>& time = demand_.flowTime;
  const std::vector<float>& flow = demand_.flowValue;
  std::size_t count = std::min(time.size(), flow.size());
  if (count == 0) return 0;
  std::size_t k = 0;
  while (k < count && time[k] <= step) ++k;
  if (k == count) return flow[count - 1];  // after the last point its flow holds
  if (k == 0) return flow[0];
  if (time[k] == time[k - 1]) return flow[k - 1];
  return flow[k - 1] + (flow[k] - flow[k - 1]) * static_cast<float>(step - time[k - 1]) /
                           static_cast<float>(time[k] - time[k - 1]);
}

// The vehicle types up to the last one with a share, slowest preferred speed first (of equal
// speeds the higher type index first). Returns their number.
int SuperSource::TypesBySpeed(int order[MAXVEHICLETYPE]) const {
  int count = 0;
  for (int type = 0; type < MAXVEHICLETYPE; ++type)
    if (demand_.typeShare[type] > 0) count = type + 1;
  for (int type = 0; type < count; ++type) {
    if (!KAVRO_ASSERT(kernel_.ParamSet(type) != nullptr)) return 0;
    order[type] = type;
  }
  std::sort(order, order + count, [&](int left, int right) {
    float leftSpeed = kernel_.ParamSet(left)->preferredSpeed;
    float rightSpeed = kernel_.ParamSet(right)->preferredSpeed;
    if (leftSpeed != rightSpeed) return leftSpeed < rightSpeed;
    return left > right;
  });
  return count;
}

// Fills the lanes from the right with the slow types first, each lane up to the capacity of
// a lane of the type (at the speed of the slowest traffic in the lane). A type that does not
// fit continues in the next lane to the left. False when the leftmost lane overflows.
bool SuperSource::FillLanes(const float demand[MAXVEHICLETYPE], const int order[], int count,
                            float capacity[MAXVEHICLETYPE], int* currentLane, float* freeFraction,
                            float* used) {
  int lane = MAX_KAVROLANE - 1;
  while (lane >= 0 && subsources_[lane] == nullptr) --lane;
  if (!KAVRO_ASSERT(lane >= 0)) return false;
  float f = 1;
  float g = count > 0 ? kernel_.ParamSet(order[0])->preferredSpeed : 0;  // speed cap [m/s]
  float sum = 0;
  bool ok = true;
  for (int k = 0; k < count && ok; ++k) {
    int type = order[k];
    const VehicleParams& p = *kernel_.ParamSet(type);
    float remaining = demand[type];
    for (;;) {
      float B = std::sqrt((p.z1 + p.length) / p.z3);
      if (!(B <= g)) B = g;
      float C = 3600 / ((p.z1 + p.length) / B + p.z2 + p.z3 * B);  // [veh/h]
      capacity[type] = C;
      float h = remaining / C;
      if (f >= h) {
        f = f - h;
        laneFlow_[lane][type] += remaining;
        sum = sum + h;
        break;
      }
      laneFlow_[lane][type] += f * C;
      remaining = remaining - f * C;
      sum = sum + f;
      f = 1;
      --lane;
      if (lane < 0 || subsources_[lane] == nullptr) {
        kernel_.KernelMessage(KernelCause::ConfigurationError, "SuperSource::Flow", "%s",
                              kernel_.Texts().flowLimitExceeded.c_str());
        ok = false;
        break;
      }
      g = p.preferredSpeed;
    }
  }
  *currentLane = lane;
  *freeFraction = f;
  *used = sum;
  return ok;
}

// Spreads some flow from each lane to its left neighbour, from the leftmost pair on with
// shrinking budgets, the fastest types first, so that the left lanes are not left empty
// while there is spare capacity.
void SuperSource::MoveFlowLeft(const int order[], int count, const float capacity[MAXVEHICLETYPE],
                               float amount) {
  int A = 0;
  while (A < MAX_KAVROLANE && subsources_[A] == nullptr) ++A;
  for (int u = 0; A < MAX_KAVROLANE - 1 && subsources_[A + 1] != nullptr; ++u, ++A) {
    float D = amount / (u + 3);  // budget [lanes]
    for (int k = count - 1; k >= 0; --k) {
      int type = order[k];
      float moved = std::min(D * capacity[type], laneFlow_[A + 1][type]);
      if (moved == 0) continue;
      D = D - moved / capacity[type];
      laneFlow_[A][type] += moved;
      laneFlow_[A + 1][type] -= moved;
    }
  }
}

void SuperSource::Flow(int step) {
  if (step == lastStep_) return;
  int lanes = LaneCount();
  if (!KAVRO_ASSERT(lanes > 0)) return;
  for (auto& lane : laneFlow_) std::fill(std::begin(lane), std::end(lane), 0.0f);
  float Q = TotalFlow(step);
  int order[MAXVEHICLETYPE] = {};
  int count = TypesBySpeed(order);
  float demand[MAXVEHICLETYPE] = {};
  for (int type = 0; type < count; ++type) demand[type] = demand_.typeShare[type] * Q;
  float capacity[MAXVEHICLETYPE] = {};
  int lane = -1;
  float f = 1, used = 0;
  FillLanes(demand, order, count, capacity, &lane, &f, &used);
  int lanesLeft = 0;
  for (int left = 0; left < lane; ++left)
    if (subsources_[left] != nullptr) ++lanesLeft;
  float S = f + lanesLeft;  // spare capacity [lanes]
  if (S > 0.5) MoveFlowLeft(order, count, capacity, std::min({S, 1.0f, used}));
  lastStep_ = step;
}

float SuperSource::LaneFlow(int step, int lane) {
  Flow(step);
  if (lane < 0 || lane >= MAX_KAVROLANE) return 0;
  float total = 0;
  for (int type = 0; type < MAXVEHICLETYPE; ++type) total += laneFlow_[lane][type];
  return total;
}

float SuperSource::TypeShare(int step, int lane, int type) {
  float total = LaneFlow(step, lane);
  if (total == 0 || type < 0 || type >= MAXVEHICLETYPE) return 0;
  return laneFlow_[lane][type] / total;
}

// ---- Creating vehicles at a lane source --------------------------------------------------

namespace {

// The aim speed of a driver preferring P [m/s] (P70 at a 70 km/h limit) on a lane limited to
// L [m/s] when P exceeds L: a straight line through P70 at 70 km/h that reaches P at
// 120 km/h for fast drivers, and at P itself for drivers preferring less than 120 km/h.
float LimitedSpeed(float P, float P70, float L) {
  if (P >= SPEED120) return P70 + (L - SPEED70) * (P - P70) * 0.072;
  return P70 + (L - SPEED70) * (P - P70) / (P - SPEED70);
}

}  // namespace

float AimSpeedOnLane(const VehicleParams& params, const PhysicalLane& lane) {
  float P = params.preferredSpeed;
  float c = P <= lane.speedLimit ? P : LimitedSpeed(P, params.preferredSpeed70, lane.speedLimit);
  return lane.speedSuppression * c;
}

int SourceInfo::GetVehicleType() {
  if (drawnType < 0 && !Draw()) return -1;
  return drawnType;
}

int SourceInfo::GetDestination() {
  if (drawnType < 0 && !Draw()) return -1;
  return drawnDestination;
}

// The type by the shares of the types in the lane's demand now, then the destination by the
// origin's destination probabilities of that type.
bool SourceInfo::Draw() {
  Kernel& kernel = Owner()->Owner();
  const int step = kernel.StepCount();
  double r = kernel.Random();
  int type = -1;
  for (int i = 0; i < MAXVEHICLETYPE; ++i) {
    double s = superSource->TypeShare(step, lane, i);
    if (r - s <= 0) {
      type = i;
      break;
    }
    r = r - s;
  }
  if (type < 0) {
    if (r > 0.001) {
      kernel.KernelMessage(KernelCause::ProgramError, "SourceInfo::GetVehicleType",
                           "Sum of vehprobabilities < 0.9990");
      return false;
    }
    type = 0;
  }
  const float* probability = superSource->Demand().destinationProbability[type];
  r = kernel.Random();
  int destination = -1;
  for (int j = 0; j < MAXSINK; ++j) {
    if (r - probability[j] <= 0) {
      destination = j;
      break;
    }
    r = r - probability[j];
  }
  if (destination < 0) {
    if (r > 0.001) {
      kernel.KernelMessage(KernelCause::ProgramError, "SourceInfo::GetDestination",
                           "Sum of destprobabilities < 0.9990");
      return false;
    }
    destination = 0;
    for (int j = MAXSINK - 1; j >= 0; --j) {
      if (probability[j] > 0) {
        destination = j;
        break;
      }
    }
  }
  drawnType = type;
  drawnDestination = destination;
  return true;
}

// Unlike a driving vehicle, a new one ignores the limit under speed suppression.
float Kernel::SourceAimSpeed(const RoadObject* source, const VehicleParams& params) const {
  RoadObject* section = currentPhysSection_ ? currentPhysSection_ : source->GetSection();
  if (section == nullptr || section->PhysicalLanes() == nullptr) return 0;
  const PhysicalLane& lane = section->PhysicalLanes()->Lane(source->Lane());
  float P = params.preferredSpeed;
  if (lane.speedSuppression >= 1) {
    if (P > lane.speedLimit) return LimitedSpeed(P, params.preferredSpeed70, lane.speedLimit);
    return P;
  }
  return lane.speedSuppression * P;
}

// Places a new vehicle behind the obstacle ahead of the source: the leader is predicted
// over six seconds, during which the new vehicle may brake gently; the new vehicle gets the
// speed at which it keeps its desired gap, and its position follows from how long it has
// been overdue, or else it goes exactly at its desired gap behind the leader.
void Kernel::PlaceBehindLeader(const RoadObject* source, const RoadObject* leader,
                               const VehicleParams& params, float deficit, float overdue,
                               float laneFlow, float* position, float* speed) {
  const float T = 6;      // [s]
  const float C = -0.5f;  // [m/s2]
  const float V = *speed;
  float pl = leader->Position(), ll = 0, wl = 0, vl = 0, a = 0, unlimited = 0;
  if (const VehicleInfo* info = leader->Vehicle()) {
    ll = info->params->length;
    wl = leader->AimSpeed();
    vl = info->speed;
    unlimited = info->acceleration;
    a = std::min(unlimited, 0.5f);
  }
  float PT = pl + vl * T + a * T * T / 2;
  float vT = vl + a * T;
  if (vT < 0) {
    float s = -vl / a;
    PT = pl + vl * s + a * s * s / 2;
    vT = 0;
  }
  if (vT > wl && vl <= wl) {
    float s = (wl - vl) / unlimited;
    PT = pl + vl * s + a * s * s / 2 + wl * (T - s);
    vT = wl;
  }

  const float z1 = params.z1, z2 = params.z2, z3 = params.z3;
  const float x0 = source->Position();
  float R = PT - x0 - C * T * T / 2 - z1 - z2 * C * T - z3 * C * C * T * T - ll;
  float F = -overdue - T - z2 - 2 * z3 * C * T;
  float G = -z3;
  float K = 0;
  if (G == 0) {
    // Without the quadratic gap term the condition is linear in the speed.
    float root = -R / F;
    K = root >= 0 ? root : 0;
  } else {
    float disc = F * F - 4 * G * R;
    if (!KAVRO_ASSERT(disc >= 0)) disc = 0;
    float r1 = (std::sqrt(disc) - F) / (2 * G);
    float r2 = (-std::sqrt(disc) - F) / (2 * G);
    bool first = r1 >= 0, second = r2 >= 0;
    if (first != second) K = first ? r1 : r2;
  }
  K = std::min(K, V);

  float N = (PT - pl - C * T * T / 2 - z2 * C * T - z3 * C * C * T * T - ll) / (T + 2 * z3 * C * T);
  N = std::min(std::max(N, 0.0f), V);
  float gN = z1 + z2 * N + z3 * N * N;  // desired gap at N [m]

  float d = deficit * K * 3600 / laneFlow;  // [m] travelled since it was due
  float U = pl - x0 - ll;                   // free space ahead of the source [m]
  if (U - gN >= d) {
    *position = x0 + d;
    *speed = K;
  } else {
    *position = x0 + U - gN;
    *speed = N;
  }
}

void Kernel::DoSource(RoadObject* sourceObject) {
  SourceInfo* source = sourceObject ? sourceObject->Source() : nullptr;
  if (!KAVRO_ASSERT(source != nullptr && source->superSource != nullptr)) return;
  SuperSource& origin = *source->superSource;
  float laneFlow = origin.LaneFlow(stepCount_, source->lane);  // [veh/h]
  source->expected += laneFlow / stepsPerSecond_ / 3600;
  float deficit = source->expected - source->generated;
  if (deficit <= 0) return;
  if (deficit > 20 && !congestionWarned_) {
    KernelMessage(KernelCause::SimulatorWarning, "DoSource", texts_.deficitLimitExceeded.c_str(),
                  OriginName(source->origin).c_str());
    congestionWarned_ = true;
  }
  // Vehicles still owed while the lane has no demand left wait until it has some again:
  // there is no type share to draw from, and no rate to tell how overdue they are.
  if (!(laneFlow > 0)) return;
  int type = source->GetVehicleType();
  if (type < 0) return;
  int destination = source->GetDestination();
  const VehicleParams* params = ParamSet(type);
  if (!KAVRO_ASSERT(params != nullptr)) return;

  const float x0 = sourceObject->Position();
  float speed = SourceAimSpeed(sourceObject, *params);
  float overdue = deficit * 3600 / laneFlow;  // [s] since the vehicle was due
  float position = x0 + overdue * speed;
  RoadObject* leader = sourceObject->LeaderInLane();
  if (leader != nullptr && ISOBSTACLE(leader->Type()))
    PlaceBehindLeader(sourceObject, leader, *params, deficit, overdue, laneFlow, &position, &speed);
  if (!(position > x0) || !(speed > 0)) return;
  position = std::min(position, x0 + 100);

  // The source lies upstream of its new vehicle: the vehicle's place is searched from there.
  RoadObject* vehicle = CreateObject(source->lane, RO_VEHICLE + type, position, ++vehicleIdCounter_,
                                     speed, params, destination, source->origin, sourceObject);
  if (vehicle == nullptr) return;
  vehicle->Vehicle()->creationTime =
      static_cast<float>(stepCount_) / stepsPerSecond_ - (position - x0) / speed;
  source->generated += 1;
  source->drawnType = -1;
}
