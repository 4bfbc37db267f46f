// The udov traffic model.
//
// Car following: the Intelligent Driver Model,
//   M. Treiber, A. Hennecke, D. Helbing, "Congested traffic states in empirical observations
//   and microscopic simulations", Physical Review E 62, 1805-1824 (2000),
// with the free-road term above the desired speed of the improved IDM and the ballistic
// position update, both from
//   M. Treiber, A. Kesting, "Traffic Flow Dynamics", Springer (2013), sections 11.3 and 11.3.7.
// ICC-equipped vehicles whose cruise control is on follow the adaptive cruise control model
//   A. Kesting, M. Treiber, D. Helbing, "Enhanced intelligent driver model to access the
//   impact of driving strategies on traffic capacity", Phil. Trans. R. Soc. A 368, 4585-4605
//   (2010),
// that blends the IDM with the constant-acceleration heuristic (coolness factor c), using the
// link's ICC reference speed as desired speed, its ICC headway tau as time gap and seeing a
// leader only within the link's pre-warning distance.
// Lane changes: MOBIL,
//   A. Kesting, M. Treiber, D. Helbing, "General lane-changing model MOBIL for car-following
//   models", Transportation Research Record 1999, 86-94 (2007),
// with its safety criterion (b_safe), politeness p, threshold and a bias towards the right lane.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "UdovModel.h"

namespace udov {

namespace {

constexpr float kGravity = 9.81f;     // [m/s^2]
constexpr float kHorizon = 1000.0f;   // lane ends farther away are not seen [m]
constexpr float kLaneEndPush = 3.0f;  // strongest wish to leave an ending lane [m/s^2]
constexpr float kSmall = 0.01f;

float Idm(float v, float v0, float T, float s0, float a, float b, float delta, bool hasLeader,
          float s, float dv) {
  float free;
  if (v <= v0) {
    free = a * (1 - std::pow(v / v0, delta));
  } else {
    // Above the desired speed (a lower speed limit ahead): brake towards it at about b.
    free = -b * (1 - std::pow(v0 / v, a * delta / b));
  }
  if (!hasLeader) return free;
  float sStar = s0 + std::max(0.0f, v * T + v * dv / (2 * std::sqrt(a * b)));
  float ratio = sStar / std::max(s, kSmall);
  return free - a * ratio * ratio;
}

// The constant-acceleration heuristic of the ACC model.
float Cah(float v, float vl, float al, float a, float s) {
  float alTilde = std::min(al, a);
  s = std::max(s, kSmall);
  if (vl * (v - vl) <= -2 * s * alTilde) return v * v * alTilde / (vl * vl - 2 * s * alTilde);
  float dv = std::max(0.0f, v - vl);
  return alTilde - dv * dv / (2 * s);
}

}  // namespace

Model::Model() : lanes_(kMaxLanes) {}

void Model::Report(int severity, const std::string& text, bool withTime) const {
  if (sink_) sink_(severity, text, withTime ? static_cast<float>(time_) : -1.0f);
}

float Model::LinkStart(int link) const {
  float start = 0;
  for (int q = 1; q < link && q <= config_.links; q++) start += config_.link[q - 1].length;
  return start;
}

float Model::RoadLength() const { return LinkStart(config_.links + 1); }

int Model::LinkAt(float x, float* linkStart) const {
  float start = 0;
  for (int q = 1; q <= config_.links; q++) {
    float end = start + config_.link[q - 1].length;
    if (x < end || q == config_.links) {
      if (linkStart) *linkStart = start;
      return q;
    }
    start = end;
  }
  if (linkStart) *linkStart = 0;
  return 1;
}

bool Model::LaneExists(int lane, float x) const {
  return lane >= 1 && lane <= config_.link[LinkAt(x) - 1].lanes;
}

float Model::LaneEnd(int lane, float x) const {
  float start = 0;
  int q = LinkAt(x, &start);
  for (; q < config_.links; q++) {
    start += config_.link[q - 1].length;
    if (start - x > kHorizon) break;
    if (config_.link[q].lanes < lane) return start;
  }
  return 1e9f;
}

bool Model::LaneAllowed(const Vehicle& v, int lane, float x) const {
  if (!LaneExists(lane, x)) return false;
  // Not into a lane that ends before the vehicle could stop in it.
  return LaneEnd(lane, x) - x > 2 * v.s0 + v.v * v.T;
}

// The vehicle's acceleration in `lane` behind `leader` (none = free road), with the road's
// details where it is and its cruise control when that is on.
float Model::Acceleration(const Vehicle& v, int lane, const Vehicle* leader) const {
  if (v.stopped) return v.v > 0 ? -v.bMax : 0.0f;
  const LinkData& link = config_.link[LinkAt(v.x) - 1];
  const int slot = std::clamp(lane + link.laneOffset, 1, kWidthSlots) - 1;
  const float widthFactor = std::clamp(link.width[slot] / 3.5f, 0.8f, 1.0f);
  const float headWind =
      link.detail[kWindSpeed] * std::cos(link.detail[kWindAngle] * 3.14159265f / 180.0f);
  const float grip = link.detail[kBottom];
  float v0 = std::min(v.v0, link.speedLimit / 3.6f * config_.driver[v.driver][kLimitFactor]);
  float T = v.T;
  float a = v.aMax * grip;
  float b = v.b * grip;
  const bool icc = v.iccOn;
  if (icc) {
    v0 = link.detail[kIccSpeed] / 3.6f;
    T = link.detail[kIccTau];
    a = config_.icc[kIccAcceleration] * grip;
    b = config_.icc[kIccDeceleration] * grip;
  }
  v0 = std::max(1.0f, v0 * widthFactor);
  // A grade and a head wind take part of the engine's force.
  a = std::max(0.1f * a, a - kGravity * link.detail[kSlope] / 100.0f -
                             0.001f * headWind * std::fabs(headWind));

  bool hasLeader = leader != nullptr;
  float s = 0, vl = 0, al = 0;
  if (leader) {
    s = leader->x - leader->length - v.x;
    vl = leader->v;
    al = leader->a;
  }
  const float end = LaneEnd(lane, v.x);
  if (end - v.x < kHorizon && (!hasLeader || end - v.x < s)) {
    hasLeader = true;  // the end of the lane stands like a stopped vehicle
    s = end - v.x;
    vl = 0;
    al = 0;
  }
  if (icc && hasLeader && s > link.detail[kPrewarn] && leader && end - v.x >= kHorizon)
    hasLeader = false;  // beyond the sensor's range
  float acc = Idm(v.v, v0, T, v.s0, a, b, v.delta, hasLeader, s, v.v - vl);
  if (icc && hasLeader) {
    float cah = Cah(v.v, vl, al, a, s);
    if (acc < cah) {
      float c = config_.icc[kIccCoolness];
      acc = (1 - c) * acc + c * (cah + b * std::tanh((acc - cah) / b));
    }
  }
  return std::max(acc, -v.bMax);
}

void Model::BuildLanes() {
  for (auto& lane : lanes_) lane.clear();
  for (int i = 0; i < static_cast<int>(vehicles_.size()); i++)
    lanes_[vehicles_[i].lane - 1].push_back(i);
  for (auto& lane : lanes_)
    std::sort(lane.begin(), lane.end(), [this](int p, int q) {
      return vehicles_[p].x != vehicles_[q].x ? vehicles_[p].x > vehicles_[q].x : p < q;
    });
}

int Model::LeaderIndex(int lane, float x, int self) const {
  const std::vector<int>& list = lanes_[lane - 1];
  int found = -1;
  for (auto it = std::partition_point(list.begin(), list.end(),
                                      [&](int i) { return vehicles_[i].x > x; });
       it != list.begin();) {
    --it;
    if (*it != self) return *it;
  }
  return found;
}

// A vehicle level with x counts as the follower, so a lane change beside it is refused.
int Model::FollowerIndex(int lane, float x, int self) const {
  const std::vector<int>& list = lanes_[lane - 1];
  for (auto it = std::partition_point(list.begin(), list.end(),
                                      [&](int i) { return vehicles_[i].x > x; });
       it != list.end(); ++it)
    if (*it != self) return *it;
  return -1;
}

double Model::Random() {
  // xorshift64*: the model's own generator, reproducible from the seed.
  random_ ^= random_ >> 12;
  random_ ^= random_ << 25;
  random_ ^= random_ >> 27;
  return static_cast<double>((random_ * 2685821657736338717ULL) >> 11) / 9007199254740992.0;
}

void Model::PickTypes(int& type, int& driver) {
  double total = 0;
  for (int v = 0; v < config_.vehicleTypes; v++)
    for (int d = 0; d < config_.driverTypes; d++) total += config_.frequency[v][d];
  type = 0, driver = 0;
  if (total <= 0) return;
  double r = Random() * total;
  for (int v = 0; v < config_.vehicleTypes; v++)
    for (int d = 0; d < config_.driverTypes; d++) {
      type = v, driver = d;
      r -= config_.frequency[v][d];
      if (r < 0) return;
    }
}

int Model::PickLane(int type, bool) {
  const int n = config_.link[0].lanes;
  if (n == 1) return 1;
  const float* share = config_.vehicleDist[type];
  double total = share[0] + share[1] + share[2];
  double r = Random() * (total > 0 ? total : 1);
  if (total <= 0 || r < share[0]) return 1;
  if (r < share[0] + share[1] && n > 2) return 2 + static_cast<int>(Random() * (n - 2));
  return n;
}

void Model::MakeVehicle(Vehicle& v, int type, int driver) {
  const float* p = config_.vehicle[type];
  const float* d = config_.driver[driver];
  v.type = type;
  v.driver = driver;
  v.length = p[kLength];
  float factor = 1;
  int classes = std::min(config_.speedClasses[type], kSubSlots);
  if (classes > 0) factor = config_.vehicleSub[type][static_cast<int>(Random() * classes)];
  v.v0 = p[kDesiredSpeed] / 3.6f * factor * d[kSpeedFactor];
  v.aMax = p[kAcceleration] * d[kAccelerationFactor];
  v.b = p[kDeceleration];
  v.T = p[kHeadway] * d[kHeadwayFactor];
  v.s0 = p[kMinGap];
  v.delta = p[kExponent];
  v.politeness = p[kPoliteness] * d[kPolitenessFactor];
  v.threshold = p[kThreshold];
  v.bSafe = p[kSafeDeceleration];
  v.bias = p[kKeepRightBias];
  v.bMax = std::max(p[kMaxDeceleration], p[kDeceleration]);
  v.iccEquipped = Random() < p[kIccShare];
}

int Model::AddVehicle(int type, int driver, int lane, float x, float speed, float desiredSpeed,
                      bool stopped) {
  if (type < 0 || type >= config_.vehicleTypes || driver < 0 || driver >= config_.driverTypes ||
      !LaneExists(lane, x))
    return 0;
  Vehicle v;
  MakeVehicle(v, type, driver);
  if (desiredSpeed > 0) v.v0 = desiredSpeed / 3.6f;
  v.stopped = stopped;
  v.x = x;
  v.v = std::max(0.0f, speed);
  v.lane = v.fromLane = lane;
  v.number = nextNumber_++;
  vehicles_.push_back(v);
  BuildLanes();
  return v.number;
}

bool Model::TryEnter(int type, int driver, int lane, float speed, float desiredSpeed) {
  Vehicle v;
  MakeVehicle(v, type, driver);
  if (desiredSpeed > 0) v.v0 = desiredSpeed / 3.6f;
  v.lane = v.fromLane = lane;
  v.x = 0;
  v.v = speed > 0 ? speed / 3.6f : v.v0 * config_.general[kEntrySpeedFactor];
  int last = lanes_[lane - 1].empty() ? -1 : lanes_[lane - 1].back();
  if (last >= 0) {
    const Vehicle& leader = vehicles_[last];
    float gap = leader.x - leader.length;
    if (gap < v.s0 + 1) return false;
    // Enter no faster than the IDM's braking at the comfortable deceleration allows.
    if (Acceleration(v, lane, &leader) < -v.b) v.v = std::min(v.v, leader.v);
    if (Acceleration(v, lane, &leader) < -v.b) return false;
  }
  v.number = nextNumber_++;
  vehicles_.push_back(v);
  lanes_[lane - 1].push_back(static_cast<int>(vehicles_.size()) - 1);
  entered_++;
  return true;
}

void Model::Generate() {
  if (config_.useInjection) {
    while (nextInjection_ < injections_.size() && injections_[nextInjection_].time <= time_) {
      const Injection& in = injections_[nextInjection_];
      int type = 0, driver = 0;
      PickTypes(type, driver);
      int lane = in.lane >= 1 ? in.lane : PickLane(type, false);
      if (!TryEnter(type, driver, lane, in.speed, in.desiredSpeed)) break;  // waits for room
      nextInjection_++;
    }
    return;
  }
  if (config_.flow <= 0) return;
  while (nextArrival_ <= time_) {
    queued_++;
    nextArrival_ += -std::log(1 - Random()) * 3600.0 / config_.flow;
  }
  while (queued_ > 0) {
    int type = 0, driver = 0;
    PickTypes(type, driver);
    if (!TryEnter(type, driver, PickLane(type, false), 0, 0)) break;
    queued_--;
  }
}

void Model::ChangeLanes() {
  const float duration = config_.general[kLaneChangeDuration];
  const float anticipation = config_.general[kLaneEndAnticipation];
  for (int i = 0; i < static_cast<int>(vehicles_.size()); i++) {
    Vehicle& me = vehicles_[i];
    me.mergeWish = 0;
    if (me.stopped || me.changeLeft > 0 || me.x < me.length) continue;
    const LinkData& link = config_.link[LinkAt(me.x) - 1];
    int leader = LeaderIndex(me.lane, me.x, i);
    const Vehicle* lead = leader >= 0 ? &vehicles_[leader] : nullptr;
    float aMe = Acceleration(me, me.lane, lead);
    int oldFollower = FollowerIndex(me.lane, me.x, i);
    float ownEnd = LaneEnd(me.lane, me.x) - me.x;
    float best = me.threshold * link.detail[kCrossPoint];
    int bestLane = 0;
    for (int dir : {-1, 1}) {
      int target = me.lane + dir;
      if (!LaneAllowed(me, target, me.x)) continue;
      int nl = LeaderIndex(target, me.x, i);
      int nf = FollowerIndex(target, me.x, i);
      const Vehicle* newLead = nl >= 0 ? &vehicles_[nl] : nullptr;
      float incentive = Acceleration(me, target, newLead) - aMe;
      bool safe = !newLead || newLead->x - newLead->length - me.x > 0.5f;
      if (nf >= 0) {
        const Vehicle& f = vehicles_[nf];
        if (me.x - me.length - f.x < 0.5f) safe = false;
        float after = Acceleration(f, target, &me);
        if (after < -me.bSafe) safe = false;
        incentive += me.politeness * (after - Acceleration(f, target, newLead));
      }
      if (oldFollower >= 0) {
        const Vehicle& f = vehicles_[oldFollower];
        float freed = Acceleration(f, me.lane, lead);
        // Leaving must not unmask a stopped queue to a fast follower either.
        if (freed < -me.bSafe) safe = false;
        incentive += me.politeness * (freed - Acceleration(f, me.lane, &me));
      }
      incentive += dir < 0 ? me.bias : -me.bias;
      if (ownEnd < anticipation) incentive += kLaneEndPush * (1 - ownEnd / anticipation);
      float targetEnd = LaneEnd(target, me.x) - me.x;
      if (targetEnd < anticipation && ownEnd >= anticipation)
        incentive -= kLaneEndPush * (1 - targetEnd / anticipation);
      if (me.iccEquipped) {
        // Equipped vehicles prefer the lanes their cruise control works on.
        bool toIcc = link.laneType[target - 1] == 2, fromIcc = link.laneType[me.lane - 1] == 2;
        if (toIcc != fromIcc) incentive += toIcc ? me.bias : -me.bias;
      }
      if (incentive <= best) continue;
      if (!safe) {
        me.mergeWish = dir;
        continue;
      }
      best = incentive;
      bestLane = target;
    }
    if (me.cooldown > 0 || bestLane == 0) continue;
    // Move it into the target lane's list at its place.
    auto& from = lanes_[me.lane - 1];
    from.erase(std::find(from.begin(), from.end(), i));
    auto& to = lanes_[bestLane - 1];
    to.insert(
        std::partition_point(to.begin(), to.end(), [&](int j) { return vehicles_[j].x > me.x; }),
        i);
    me.fromLane = me.lane;
    me.lane = bestLane;
    me.mergeWish = 0;
    me.changeLeft = duration;
    me.cooldown = duration + config_.general[kLaneChangeCooldown];
  }
}

void Model::Move() {
  const float dt = config_.general[kTimeStep];
  const float switchOff = config_.icc[kIccSwitchOff] / 3.6f;
  // Accelerations first, from one state of the road, then every vehicle moves.
  for (auto& list : lanes_) {
    for (size_t k = 0; k < list.size(); k++) {
      Vehicle& me = vehicles_[list[k]];
      const LinkData& link = config_.link[LinkAt(me.x) - 1];
      me.iccOn = me.iccEquipped && !me.stopped && me.v >= switchOff &&
                 (link.laneType[me.lane - 1] == 2 || config_.icc[kIccAnyLane] != 0);
      const Vehicle* leader = k > 0 ? &vehicles_[list[k - 1]] : nullptr;
      me.a = Acceleration(me, me.lane, leader);
      me.activeBraking = me.a < -(me.iccOn ? config_.icc[kIccDeceleration] : me.b);
    }
  }
  const float length = RoadLength();
  for (Vehicle& me : vehicles_) {
    const float old = me.x;
    if (me.v + me.a * dt < 0) {
      me.x -= 0.5f * me.v * me.v / me.a;  // stops within the step
      me.v = 0;
    } else {
      me.x += me.v * dt + 0.5f * me.a * dt * dt;
      me.v += me.a * dt;
    }
    me.changeLeft = std::max(0.0f, me.changeLeft - dt);
    me.cooldown = std::max(0.0f, me.cooldown - dt);
    // Detectors the front passed in this step.
    float start = 0;
    for (int q = 1; q <= config_.links; q++) {
      const LinkData& link = config_.link[q - 1];
      float end = start + link.length;
      for (int d = 0; d < link.detectors && d < kMaxDetectors; d++) {
        float at = end - link.detectorOffset[d];
        if (old < at && me.x >= at && me.lane <= kMaxLanes) {
          detCount_[q - 1][d][me.lane - 1]++;
          detSpeed_[q - 1][d][me.lane - 1] += me.v * 3.6f;
          minuteCount_++;
        }
      }
      start = end;
    }
  }
  // Vehicles whose front passed the road's end leave it.
  size_t kept = 0;
  for (Vehicle& me : vehicles_) {
    if (me.x >= length) {
      exited_++;
      continue;
    }
    vehicles_[kept++] = me;
  }
  vehicles_.resize(kept);
  BuildLanes();
  for (auto& list : lanes_)
    for (size_t k = 1; k < list.size(); k++) {
      const Vehicle& lead = vehicles_[list[k - 1]];
      Vehicle& me = vehicles_[list[k]];
      if (lead.x - lead.length - me.x < -0.001f && me.collidedWith != lead.number) {
        collisions_++;
        char text[160];
        std::snprintf(text, sizeof text, "collision: vehicle %d ran into vehicle %d in lane %d",
                      me.number, lead.number, me.lane);
        Report(2, text);
        me.collidedWith = lead.number;  // reported once
      }
    }
}

bool Model::LoadInjections(std::string& error) {
  injections_.clear();
  nextInjection_ = 0;
  if (!config_.useInjection) return true;
  std::string name = config_.injectionFile;
  if (!name.empty() && name[0] != '/' && !folder_.empty()) {
    std::ifstream probe(name);
    if (!probe) name = folder_ + "/" + name;
  }
  std::ifstream in(name);
  if (!in) {
    error = "cannot open the injection file \"" + config_.injectionFile + "\"";
    return false;
  }
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    number++;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream fields(line);
    Injection inj;
    std::string extra;
    if (!(fields >> inj.time >> inj.speed >> inj.desiredSpeed >> inj.lane) || (fields >> extra) ||
        !std::isfinite(inj.time) || !std::isfinite(inj.speed) || !std::isfinite(inj.desiredSpeed) ||
        inj.speed < 0 || inj.desiredSpeed < 0) {
      error = config_.injectionFile + "(" + std::to_string(number) + "): bad line \"" + line + "\"";
      return false;
    }
    if (inj.lane > config_.link[0].lanes) {
      error = config_.injectionFile + "(" + std::to_string(number) + "): lane " +
              std::to_string(inj.lane) + " does not exist on the first link";
      return false;
    }
    inj.line = number;
    injections_.push_back(inj);
  }
  std::stable_sort(injections_.begin(), injections_.end(),
                   [](const Injection& p, const Injection& q) { return p.time < q.time; });
  return true;
}

bool Model::Prepare() {
  std::string error;
  if (!LoadInjections(error)) {
    // The program asks again every turn of its run loop: say it once.
    if (error != lastPrepareError_) Report(3, error, false);
    lastPrepareError_ = error;
    prepared_ = false;
    return false;
  }
  lastPrepareError_.clear();
  prepared_ = true;
  char text[256];
  if (config_.useInjection)
    std::snprintf(text, sizeof text, "ready: %d links, %.0f m, %zu vehicles from \"%s\"",
                  config_.links, RoadLength(), injections_.size(), config_.injectionFile.c_str());
  else
    std::snprintf(text, sizeof text, "ready: %d links, %.0f m, fixed flow %.0f veh/h",
                  config_.links, RoadLength(), config_.flow);
  Report(2, text, false);
  return true;
}

void Model::Reset() {
  time_ = 0;
  steps_ = 0;
  vehicles_.clear();
  for (auto& lane : lanes_) lane.clear();
  nextNumber_ = 1;
  random_ = 0x9E3779B97F4A7C15ULL ^ (static_cast<uint64_t>(config_.seed) * 0x2545F4914F6CDD1DULL);
  if (random_ == 0) random_ = 1;
  nextArrival_ = 0;
  queued_ = 0;
  nextInjection_ = 0;
  collisions_ = exited_ = entered_ = 0;
  nextReport_ = config_.general[kReportInterval];
  minuteCount_ = 0;
  for (auto& link : detCount_)
    for (auto& det : link)
      for (auto& c : det) c = 0;
  for (auto& link : detSpeed_)
    for (auto& det : link)
      for (auto& s : det) s = 0;
}

int Model::Step() {
  if (!prepared_) return 0;
  Generate();
  ChangeLanes();
  Move();
  steps_++;
  const double dt = config_.general[kTimeStep];
  time_ = steps_ * dt;
  // A step that completes a whole minute also closes the minute's detector count.
  return std::floor(time_ / 60 + 1e-9) > std::floor((time_ - dt) / 60 + 1e-9) ? 2 : 1;
}

void Model::AfterStep() {
  const float interval = config_.general[kReportInterval];
  if (interval <= 0 || time_ + 1e-9 < nextReport_) return;
  while (nextReport_ <= time_ + 1e-9) nextReport_ += interval;
  char text[160];
  std::snprintf(
      text, sizeof text, "%zu vehicles on the road, %d entered, %d left, %d waiting",
      vehicles_.size(), entered_, exited_,
      config_.useInjection ? static_cast<int>(injections_.size() - nextInjection_) : queued_);
  Report(2, text);
}

void Model::AfterStepDetectors() {
  char text[96];
  std::snprintf(text, sizeof text, "%u detector passages in the last minute", minuteCount_);
  if (minuteCount_ > 0 && config_.general[kReportInterval] > 0) Report(2, text);
  minuteCount_ = 0;
}

int Model::NextVehicle(int previous) const {
  auto it = std::upper_bound(vehicles_.begin(), vehicles_.end(), previous,
                             [](int p, const Vehicle& v) { return p < v.number; });
  return it == vehicles_.end() ? 0 : it->number;
}

const Vehicle* Model::FindVehicle(int number) const {
  auto it = std::lower_bound(vehicles_.begin(), vehicles_.end(), number,
                             [](const Vehicle& v, int n) { return v.number < n; });
  return it != vehicles_.end() && it->number == number ? &*it : nullptr;
}

int Model::RunTimeValue(const ParamDef& def, int count, const int32_t* indices, void* value) const {
  if (count < def.indices || !indices) return UDOV_BAD_INDEX;
  auto put = [&](double x) {
    switch (def.type) {
      case UDOV_TYPE_REAL:
        *static_cast<float*>(value) = static_cast<float>(x);
        break;
      case UDOV_TYPE_INTEGER:
        *static_cast<int32_t*>(value) = static_cast<int32_t>(x);
        break;
      case UDOV_TYPE_UNSIGNED:
        *static_cast<uint32_t*>(value) = static_cast<uint32_t>(x);
        break;
    }
    return UDOV_OK;
  };
  if (def.cls == 11) {
    int q = indices[0], d = indices[1], l = indices[2];
    if (q < 1 || q > config_.links || d < 1 || d > kMaxDetectors || l < 1 || l > kMaxLanes)
      return UDOV_BAD_INDEX;
    if (def.id == 1) return put(detCount_[q - 1][d - 1][l - 1]);
    return put(detSpeed_[q - 1][d - 1][l - 1]);
  }
  const Vehicle* v = FindVehicle(indices[0]);
  if (!v) return UDOV_NO_VEHICLE;
  float start = 0;
  int link = LinkAt(v->x, &start);
  switch (def.cls * 100 + def.id) {
    case 801:
      return put(v->type + 1);
    case 802:
      return put(v->driver + 1);
    case 803:
      return put(v->length);
    case 804:
      return put(v->v0 * 3.6f);
    case 812:
      return put(v->iccEquipped ? 1 : 0);
    case 901:
      return put(link);
    case 902:
      return put(v->lane);
    case 903:
      return put(v->x - start);
    case 904:
      return put(v->v * 3.6f);
    case 905:
      return put(v->a);
    case 908:
      return put(v->activeBraking ? 1 : 0);
    case 913: {
      float duration = config_.general[kLaneChangeDuration];
      float share = v->changeLeft > 0 && duration > 0 ? v->changeLeft / duration : 0;
      return put(v->lane + (v->fromLane - v->lane) * share);
    }
    case 1001:
      return put(v->mergeWish != 0 ? 1 : 0);
    case 1002:
      return put(v->mergeWish >= 0 ? 1 : -1);
    case 1010:
      return put(v->iccOn ? 1 : 0);
  }
  return UDOV_NO_PARAMETER;
}

}  // namespace udov
