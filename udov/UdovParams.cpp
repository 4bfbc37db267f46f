// The parameter table of the udov model: every address the program reads or writes, with its
// type, range, step, name, description and display format, and where its value is kept.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "UdovModel.h"

namespace udov {

namespace {

constexpr float kMaxUnsigned = 4294967295.0f;

// A spare parameter: kept and saved, not used by the model.
#define SPARE(cls, id, key) \
  { cls, id, UDOV_TYPE_REAL, 1, 0, 100, 1, key, "Spare", "Not used by this model", "%g" }

const ParamDef kParams[] = {
    // Class 1: seed and general parameters (id = index + 2).
    {1, 1, UDOV_TYPE_UNSIGNED, 0, 0, kMaxUnsigned, 1, "seed", "Seed",
     "Seed of the random generator", "%.0f"},
    {1, 2, UDOV_TYPE_REAL, 0, 0.5f, 10, 0.5f, "lanechangeduration", "Lane change duration",
     "Time a lane change takes from one lane to the next [s]", "%.1f s"},
    {1, 3, UDOV_TYPE_REAL, 0, 0.3f, 1, 0.05f, "entryspeedfactor", "Entry speed factor",
     "Speed of an entering vehicle as a share of its desired speed", "%.2f"},
    {1, 4, UDOV_TYPE_REAL, 0, 0, 3600, 10, "reportinterval", "Report interval",
     "Simulated time between two progress reports, 0 = none [s]", "%.0f s"},
    {1, 5, UDOV_TYPE_REAL, 0, 50, 2000, 10, "laneendanticipation", "Lane end anticipation",
     "Distance before the end of a lane at which drivers start to leave it [m]", "%.0f m"},
    {1, 6, UDOV_TYPE_REAL, 0, 0, 30, 0.5f, "lanechangecooldown", "Lane change cooldown",
     "Time after a lane change before the next may start [s]", "%.1f s"},
    {1, 7, UDOV_TYPE_REAL, 0, 0, 100, 1, "general5", "Spare", "Not used by this model", "%g"},
    {1, 8, UDOV_TYPE_REAL, 0, 0, 100, 1, "general6", "Spare", "Not used by this model", "%g"},
    {1, 9, UDOV_TYPE_REAL, 0, 0, 100, 1, "general7", "Spare", "Not used by this model", "%g"},
    {1, 10, UDOV_TYPE_REAL, 0, 0, 100, 1, "general8", "Spare", "Not used by this model", "%g"},
    {1, 11, UDOV_TYPE_REAL, 0, 0, 100, 1, "general9", "Spare", "Not used by this model", "%g"},
    {1, 12, UDOV_TYPE_REAL, 0, 0, 100, 1, "general10", "Spare", "Not used by this model", "%g"},
    {1, 13, UDOV_TYPE_REAL, 0, 1, 1440, 1, "simulationtime", "Simulation time",
     "Length of a run [min]", "%.0f min"},
    {1, 14, UDOV_TYPE_REAL, 0, 0, 100, 1, "general12", "Spare", "Not used by this model", "%g"},
    {1, 15, UDOV_TYPE_REAL, 0, 0, 100, 1, "general13", "Spare", "Not used by this model", "%g"},
    {1, 16, UDOV_TYPE_REAL, 0, 0, 100, 1, "general14", "Spare", "Not used by this model", "%g"},
    {1, 17, UDOV_TYPE_REAL, 0, 0, 100, 1, "general15", "Spare", "Not used by this model", "%g"},
    {1, 18, UDOV_TYPE_REAL, 0, 0.1f, 1, 0.1f, "timestep", "Time step",
     "Simulated time of one step [s]", "%.1f s"},
    {1, 19, UDOV_TYPE_REAL, 0, 0, 100, 1, "general17", "Spare", "Not used by this model", "%g"},
    {1, 20, UDOV_TYPE_REAL, 0, 0, 100, 1, "general18", "Spare", "Not used by this model", "%g"},
    {1, 21, UDOV_TYPE_REAL, 0, 0, 100, 1, "general19", "Spare", "Not used by this model", "%g"},
    {1, 22, UDOV_TYPE_REAL, 0, 0, 100, 1, "general20", "Spare", "Not used by this model", "%g"},
    {1, 23, UDOV_TYPE_REAL, 0, 0, 100, 1, "general21", "Spare", "Not used by this model", "%g"},
    {1, 24, UDOV_TYPE_REAL, 0, 0, 100, 1, "general22", "Spare", "Not used by this model", "%g"},
    // Class 2: the road, per link (index 1) and lane (index 2, 1 = rightmost).
    {2, 1, UDOV_TYPE_INTEGER, 0, 1, kMaxLinks, 1, "links", "Number of links",
     "Road pieces from the upstream end", "%.0f"},
    {2, 2, UDOV_TYPE_INTEGER, 1, 1, 200, 1, "speedlimit", "Speed limit",
     "Speed limit of the link [km/h]", "%.0f km/h"},
    {2, 3, UDOV_TYPE_UNSIGNED, 1, 1, 100000, 1, "length", "Length", "Length of the link [m]",
     "%.0f m"},
    {2, 4, UDOV_TYPE_INTEGER, 1, 1, kMaxLanes, 1, "lanes", "Number of lanes",
     "Lanes of the link, counted from the right", "%.0f"},
    {2, 8, UDOV_TYPE_INTEGER, 1, 0, kWidthSlots - kMaxLanes, 1, "laneoffset", "Lane offset",
     "Added to a lane's number to find its lane width slot", "%.0f"},
    {2, 9, UDOV_TYPE_REAL, 2, 2.5f, 5, 0.05f, "lanewidth", "Lane width",
     "Width of the lane; narrow lanes lower the desired speed [m]", "%.2f m"},
    {2, 10, UDOV_TYPE_INTEGER, 2, 1, 2, 1, "lanetype", "Lane type",
     "1 = normal lane, 2 = ICC lane (only ICC-equipped vehicles)", "%.0f"},
    {2, 17, UDOV_TYPE_REAL, 1, 0.3f, 1, 0.05f, "bottomfactor", "Bottom factor",
     "Road surface grip: scales acceleration and comfortable braking (1 = dry)", "%.2f"},
    {2, 18, UDOV_TYPE_REAL, 1, 0.5f, 3, 0.1f, "crosspointfactor", "Cross point factor",
     "Scales the lane change threshold: above 1 drivers change lanes less", "%.1f"},
    {2, 19, UDOV_TYPE_REAL, 1, 0, 360, 5, "windangle", "Wind angle",
     "Direction the wind blows from, 0 = straight ahead [degrees]", "%.0f deg"},
    {2, 20, UDOV_TYPE_REAL, 1, 0, 30, 0.5f, "windspeed", "Wind speed",
     "Head wind lowers the acceleration [m/s]", "%.1f m/s"},
    {2, 22, UDOV_TYPE_REAL, 1, -8, 8, 0.5f, "slope", "Slope",
     "Grade of the link, positive uphill: lowers the acceleration [%]", "%.1f %%"},
    {2, 23, UDOV_TYPE_INTEGER, 1, 0, kMaxDetectors, 1, "detectors", "Number of detectors",
     "Cross-section detectors on the link", "%.0f"},
    {2, 24, UDOV_TYPE_UNSIGNED, 2, 0, 100000, 1, "detectoroffset", "Detector offset",
     "Distance of the detector from the link's downstream end [m]", "%.0f m"},
    {2, 26, UDOV_TYPE_REAL, 1, 30, 160, 5, "iccreferencespeed", "ICC reference speed",
     "Speed the cruise control of ICC vehicles is set to on this link [km/h]", "%.0f km/h"},
    {2, 27, UDOV_TYPE_REAL, 1, 0.5f, 3, 0.1f, "iccheadwaytau", "ICC headway tau",
     "Time gap the cruise control keeps to its leader [s]", "%.1f s"},
    {2, 28, UDOV_TYPE_REAL, 1, 20, 300, 10, "prewarningdistance", "Pre warning distance",
     "Range of the cruise control's sensor: leaders beyond it are not seen [m]", "%.0f m"},
    // Class 3: vehicle types (index 1 = type).
    {3, 1, UDOV_TYPE_INTEGER, 0, 1, kMaxTypes, 1, "vehicletypes", "Number of vehicle types",
     "Vehicle types of the model", "%.0f"},
    {3, 2, UDOV_TYPE_REAL, 1, 2, 25, 0.5f, "vehiclelength", "Length", "Vehicle length [m]",
     "%.1f m"},
    {3, 3, UDOV_TYPE_REAL, 1, 20, 200, 5, "desiredspeed", "Desired speed",
     "Speed the driver wants on a free road [km/h]", "%.0f km/h"},
    {3, 4, UDOV_TYPE_INTEGER, 1, 0, kSubSlots, 1, "speedclasses", "Speed classes",
     "Number of desired speed factors a vehicle draws one from", "%.0f"},
    {3, 5, UDOV_TYPE_REAL, 2, 0.5f, 1.5f, 0.01f, "speedclassfactor", "Speed class factor",
     "One desired speed factor of the vehicle type", "%.2f"},
    {3, 6, UDOV_TYPE_REAL, 1, 0.1f, 5, 0.1f, "acceleration", "Maximum acceleration",
     "IDM acceleration a [m/s2]", "%.1f m/s2"},
    {3, 7, UDOV_TYPE_REAL, 1, 0.5f, 5, 0.1f, "deceleration", "Comfortable deceleration",
     "IDM deceleration b [m/s2]", "%.1f m/s2"},
    {3, 8, UDOV_TYPE_REAL, 1, 0.5f, 4, 0.1f, "headway", "Time headway",
     "IDM safe time headway T [s]", "%.1f s"},
    {3, 9, UDOV_TYPE_REAL, 1, 0.5f, 10, 0.5f, "mingap", "Minimum gap",
     "IDM gap s0 to the leader at a standstill [m]", "%.1f m"},
    {3, 10, UDOV_TYPE_REAL, 1, 1, 10, 1, "exponent", "Acceleration exponent", "IDM exponent delta",
     "%.0f"},
    {3, 11, UDOV_TYPE_REAL, 1, 0, 1, 0.05f, "politeness", "Politeness",
     "MOBIL politeness p: weight of the neighbours' advantage", "%.2f"},
    {3, 12, UDOV_TYPE_REAL, 1, 0, 2, 0.05f, "changethreshold", "Lane change threshold",
     "MOBIL threshold: the least advantage a lane change must bring [m/s2]", "%.2f m/s2"},
    {3, 13, UDOV_TYPE_REAL, 1, 1, 9, 0.5f, "safedeceleration", "Safe deceleration",
     "MOBIL b_safe: the hardest braking a lane change may force on the new follower [m/s2]",
     "%.1f m/s2"},
    {3, 14, UDOV_TYPE_REAL, 1, 0, 1, 0.05f, "keeprightbias", "Keep right bias",
     "MOBIL bias towards the right lane [m/s2]", "%.2f m/s2"},
    {3, 15, UDOV_TYPE_REAL, 1, 4, 12, 0.5f, "maxdeceleration", "Maximum deceleration",
     "Hardest braking the vehicle can do [m/s2]", "%.1f m/s2"},
    {3, 16, UDOV_TYPE_REAL, 1, 0, 1, 0.05f, "iccshare", "ICC equipment rate",
     "Share of the vehicles of this type with an intelligent cruise control", "%.2f"},
    SPARE(3, 17, "vehicle14"),
    SPARE(3, 18, "vehicle15"),
    SPARE(3, 19, "vehicle16"),
    SPARE(3, 20, "vehicle17"),
    SPARE(3, 21, "vehicle18"),
    SPARE(3, 22, "vehicle19"),
    SPARE(3, 23, "vehicle20"),
    SPARE(3, 24, "vehicle21"),
    SPARE(3, 25, "vehicle22"),
    {3, 26, UDOV_TYPE_REAL, 2, 0, 1, 0.01f, "lanedistribution", "Entry lane distribution",
     "Share of the type entering on the right lane, the middle lanes, the left lane", "%.2f"},
    SPARE(3, 27, "vehicle23"),
    SPARE(3, 28, "vehicle24"),
    SPARE(3, 29, "vehicle25"),
    SPARE(3, 30, "vehicle26"),
    SPARE(3, 31, "vehicle27"),
    SPARE(3, 32, "vehicle28"),
    SPARE(3, 33, "vehicle29"),
    SPARE(3, 34, "vehicle30"),
    SPARE(3, 35, "vehicle31"),
    SPARE(3, 36, "vehicle32"),
    SPARE(3, 37, "vehicle33"),
    // Class 4: driver types (index 1 = type).
    {4, 1, UDOV_TYPE_INTEGER, 0, 1, kMaxTypes, 1, "drivertypes", "Number of driver types",
     "Driver types of the model", "%.0f"},
    {4, 2, UDOV_TYPE_REAL, 1, 0.5f, 1.5f, 0.01f, "speedfactor", "Desired speed factor",
     "Scales the vehicle type's desired speed", "%.2f"},
    {4, 3, UDOV_TYPE_REAL, 1, 0.5f, 2, 0.05f, "headwayfactor", "Time headway factor",
     "Scales the vehicle type's time headway", "%.2f"},
    {4, 4, UDOV_TYPE_REAL, 1, 0.5f, 2, 0.05f, "accelerationfactor", "Acceleration factor",
     "Scales the vehicle type's acceleration", "%.2f"},
    {4, 5, UDOV_TYPE_REAL, 1, 0, 2, 0.05f, "politenessfactor", "Politeness factor",
     "Scales the vehicle type's politeness", "%.2f"},
    {4, 6, UDOV_TYPE_REAL, 1, 0.8f, 1.5f, 0.01f, "limitfactor", "Speed limit factor",
     "Highest desired speed as a share of the speed limit", "%.2f"},
    SPARE(4, 7, "driver5"),
    SPARE(4, 8, "driver6"),
    SPARE(4, 9, "driver7"),
    SPARE(4, 10, "driver8"),
    // Class 5: traffic generation.
    {5, 1, UDOV_TYPE_INTEGER, 0, 0, 1, 1, "useinjectionfile", "Use injection file",
     "1 = vehicles from the injection file, 0 = a fixed flow", "%.0f"},
    {5, 2, UDOV_TYPE_TEXT, 0, 0, 0, 0, "injectionfile", "Injection file",
     "File listing the vehicles to inject", "%s"},
    {5, 3, UDOV_TYPE_REAL, 0, 0, 10000, 10, "flow", "Fixed flow",
     "Vehicles entering per hour when no injection file is used [veh/h]", "%.0f veh/h"},
    {5, 4, UDOV_TYPE_REAL, 2, 0, 1, 0.01f, "frequency", "Vehicle-driver frequency",
     "Share of entering vehicles of a vehicle type (index 1) and driver type (index 2)", "%.3f"},
    // Class 6: the intelligent cruise control.
    {6, 1, UDOV_TYPE_REAL, 0, 0.3f, 3, 0.1f, "iccacceleration", "ICC maximum acceleration",
     "Acceleration the cruise control uses [m/s2]", "%.1f m/s2"},
    {6, 2, UDOV_TYPE_REAL, 0, 0.5f, 4, 0.1f, "iccdeceleration", "ICC comfortable deceleration",
     "Braking the cruise control prefers [m/s2]", "%.1f m/s2"},
    {6, 3, UDOV_TYPE_REAL, 0, 0, 1, 0.05f, "icccoolness", "ICC coolness factor",
     "0 = plain IDM, 1 = calm reaction to cut-ins (constant-acceleration heuristic)", "%.2f"},
    {6, 4, UDOV_TYPE_REAL, 0, 0, 100, 5, "iccswitchoff", "ICC switch-off speed",
     "Below this speed the driver takes over from the cruise control [km/h]", "%.0f km/h"},
    {6, 5, UDOV_TYPE_REAL, 0, 0, 1, 1, "iccanylane", "ICC on normal lanes",
     "1 = the cruise control also works on normal lanes, 0 = on ICC lanes only", "%.0f"},
    // Run-time values (index 1 = vehicle number; class 11: link, detector, lane).
    {8, 1, UDOV_TYPE_INTEGER, 1, 1, kMaxTypes, 1, nullptr, "Vehicle type", "", "%.0f"},
    {8, 2, UDOV_TYPE_INTEGER, 1, 1, kMaxTypes, 1, nullptr, "Driver type", "", "%.0f"},
    {8, 3, UDOV_TYPE_REAL, 1, 0, 25, 0, nullptr, "Vehicle length", "[m]", "%.1f"},
    {8, 4, UDOV_TYPE_REAL, 1, 0, 250, 0, nullptr, "Desired speed", "[km/h]", "%.0f"},
    {8, 12, UDOV_TYPE_INTEGER, 1, 0, 1, 1, nullptr, "ICC equipment", "0 = none", "%.0f"},
    {9, 1, UDOV_TYPE_INTEGER, 1, 1, kMaxLinks, 1, nullptr, "Link", "", "%.0f"},
    {9, 2, UDOV_TYPE_INTEGER, 1, 1, kMaxLanes, 1, nullptr, "Lane", "1 = rightmost", "%.0f"},
    {9, 3, UDOV_TYPE_REAL, 1, 0, 100000, 0, nullptr, "Position on link", "[m]", "%.1f"},
    {9, 4, UDOV_TYPE_REAL, 1, 0, 250, 0, nullptr, "Speed", "[km/h]", "%.1f"},
    {9, 5, UDOV_TYPE_REAL, 1, -12, 5, 0, nullptr, "Acceleration", "[m/s2]", "%.2f"},
    {9, 8, UDOV_TYPE_INTEGER, 1, 0, 1, 1, nullptr, "Active braking", "", "%.0f"},
    {9, 13, UDOV_TYPE_REAL, 1, 1, kMaxLanes, 0, nullptr, "Lateral position",
     "Lane, fractions during a lane change", "%.2f"},
    {10, 1, UDOV_TYPE_INTEGER, 1, 0, 1, 1, nullptr, "Merge wish", "", "%.0f"},
    {10, 2, UDOV_TYPE_INTEGER, 1, -1, 1, 1, nullptr, "Merge direction", ">= 0 left", "%.0f"},
    {10, 10, UDOV_TYPE_INTEGER, 1, 0, 1, 1, nullptr, "ICC switched on", "", "%.0f"},
    {11, 1, UDOV_TYPE_UNSIGNED, 3, 0, kMaxUnsigned, 1, nullptr, "Detector count",
     "Vehicles since the start (link, detector, lane)", "%.0f"},
    {11, 2, UDOV_TYPE_REAL, 3, 0, 1e9f, 0, nullptr, "Detector speed total",
     "Sum of speeds since the start (link, detector, lane) [km/h]", "%.1f"},
};
#undef SPARE

bool InRange(const ParamDef& def, double value) {
  // Values computed by the program may miss a bound by a rounding step.
  double slack = 1e-5 * (std::fabs(def.maximum) + std::fabs(def.minimum) + 1);
  return value >= def.minimum - slack && value <= def.maximum + slack;
}

// The 1-based index `i` of `indices` within 1 .. high.
bool IndexIn(const int32_t* indices, int i, int high) {
  return indices[i] >= 1 && indices[i] <= high;
}

}  // namespace

LinkData::LinkData() {
  for (float& w : width) w = 3.5f;
  for (int32_t& t : laneType) t = 1;
  const float details[kDetails] = {1, 1, 0, 0, 0, 120, 1.5f, 150};
  for (int d = 0; d < kDetails; d++) detail[d] = details[d];
}

ConfigData::ConfigData() {
  for (float& g : general) g = 0;
  general[kLaneChangeDuration] = 3;
  general[kEntrySpeedFactor] = 0.8f;
  general[kReportInterval] = 60;
  general[kLaneEndAnticipation] = 300;
  general[kLaneChangeCooldown] = 5;
  general[kSimulationTime] = 60;
  general[kTimeStep] = 0.5f;
  // Type 1 a passenger car, type 2 a truck; the other rows are the car's values.
  const float car[kVehicleParams] = {4.5f, 120,  3,    1.5f, 2,    1.2f, 2,
                                     4,    0.3f, 0.2f, 4,    0.2f, 9,    0.3f};
  const float truck[kVehicleParams] = {12, 85,   1,    0.8f, 1.5f, 1.6f, 3,
                                       4,  0.2f, 0.2f, 3,    0.3f, 7,    0};
  for (int t = 0; t < kMaxTypes; t++) {
    const float* row = t == 1 ? truck : car;
    for (int p = 0; p < kVehicleParams; p++) vehicle[t][p] = row[p];
    speedClasses[t] = t == 1 ? 1 : 3;
    for (int k = 0; k < kSubSlots; k++) vehicleSub[t][k] = 1;
    if (t != 1) vehicleSub[t][0] = 0.9f, vehicleSub[t][2] = 1.1f;
    const float dist[kDistParams] = {t == 1 ? 1.0f : 0.5f, t == 1 ? 0.0f : 0.3f,
                                     t == 1 ? 0.0f : 0.2f};
    for (int k = 0; k < kDistParams; k++) vehicleDist[t][k] = dist[k];
    const float drv[kDriverParams] = {t == 1 ? 1.1f : 0.95f, t == 1 ? 0.8f : 1.1f, 1, 1, 1.05f};
    for (int p = 0; p < kDriverParams; p++) driver[t][p] = drv[p];
    for (int d = 0; d < kMaxTypes; d++) frequency[t][d] = 0;
  }
  frequency[0][0] = 0.45f, frequency[0][1] = 0.4f;
  frequency[1][0] = 0.1f, frequency[1][1] = 0.05f;
  const float iccDefaults[kIccParams] = {1.2f, 2, 0.99f, 30, 0};
  for (int p = 0; p < kIccParams; p++) icc[p] = iccDefaults[p];
}

const ParamDef* FindParam(int cls, int id) {
  for (const ParamDef& def : kParams)
    if (def.cls == cls && def.id == id) return &def;
  return nullptr;
}

const ParamDef* FindParamByKey(const std::string& key) {
  static const std::map<std::string, const ParamDef*> byKey = [] {
    std::map<std::string, const ParamDef*> map;
    for (const ParamDef& def : kParams)
      if (def.key) map[def.key] = &def;
    return map;
  }();
  auto found = byKey.find(key);
  return found == byKey.end() ? nullptr : found->second;
}

const std::vector<const ParamDef*>& ConfigParams() {
  static const std::vector<const ParamDef*> list = [] {
    std::vector<const ParamDef*> all;
    for (const ParamDef& def : kParams)
      if (def.key) all.push_back(&def);
    return all;
  }();
  return list;
}

int ResolveSlot(ConfigData& c, const ParamDef& def, int count, const int32_t* indices, Slot& slot) {
  if (!def.key) return UDOV_READ_ONLY;
  if (count < def.indices || (def.indices > 0 && !indices)) return UDOV_BAD_INDEX;
  slot.type = def.type;
  const int i0 = def.indices > 0 ? indices[0] - 1 : 0;
  const int i1 = def.indices > 1 ? indices[1] - 1 : 0;
  switch (def.cls) {
    case 1:
      if (def.id == 1)
        slot.place = &c.seed;
      else
        slot.place = &c.general[def.id - 2];
      return UDOV_OK;
    case 2: {
      if (def.id == 1) {
        slot.place = &c.links;
        return UDOV_OK;
      }
      if (!IndexIn(indices, 0, c.links)) return UDOV_BAD_INDEX;
      LinkData& link = c.link[i0];
      switch (def.id) {
        case 2:
          slot.place = &link.speedLimit;
          return UDOV_OK;
        case 3:
          slot.place = &link.length;
          return UDOV_OK;
        case 4:
          slot.place = &link.lanes;
          return UDOV_OK;
        case 8:
          slot.place = &link.laneOffset;
          return UDOV_OK;
        case 9:
          if (!IndexIn(indices, 1, kWidthSlots)) return UDOV_BAD_INDEX;
          slot.place = &link.width[i1];
          return UDOV_OK;
        case 10:
          if (!IndexIn(indices, 1, kMaxLanes)) return UDOV_BAD_INDEX;
          slot.place = &link.laneType[i1];
          return UDOV_OK;
        case 17:
          slot.place = &link.detail[kBottom];
          return UDOV_OK;
        case 18:
          slot.place = &link.detail[kCrossPoint];
          return UDOV_OK;
        case 19:
          slot.place = &link.detail[kWindAngle];
          return UDOV_OK;
        case 20:
          slot.place = &link.detail[kWindSpeed];
          return UDOV_OK;
        case 22:
          slot.place = &link.detail[kSlope];
          return UDOV_OK;
        case 23:
          slot.place = &link.detectors;
          return UDOV_OK;
        case 24:
          if (!IndexIn(indices, 1, kMaxDetectors)) return UDOV_BAD_INDEX;
          slot.place = &link.detectorOffset[i1];
          return UDOV_OK;
        case 26:
          slot.place = &link.detail[kIccSpeed];
          return UDOV_OK;
        case 27:
          slot.place = &link.detail[kIccTau];
          return UDOV_OK;
        case 28:
          slot.place = &link.detail[kPrewarn];
          return UDOV_OK;
      }
      return UDOV_NO_PARAMETER;
    }
    case 3: {
      if (def.id == 1) {
        slot.place = &c.vehicleTypes;
        return UDOV_OK;
      }
      if (!IndexIn(indices, 0, c.vehicleTypes)) return UDOV_BAD_INDEX;
      if (def.id == 5 || def.id == 26) {
        const int high = def.id == 5 ? kSubSlots : kDistParams;
        if (!IndexIn(indices, 1, high)) return UDOV_BAD_INDEX;
        slot.place = def.id == 5 ? &c.vehicleSub[i0][i1] : &c.vehicleDist[i0][i1];
        return UDOV_OK;
      }
      // Ids 2 .. 37 without 5 and 26 are parameters 0 .. 33.
      int p = def.id - 2;
      if (def.id > 5) p--;
      if (def.id > 26) p--;
      if (p == kSpeedClasses)
        slot.place = &c.speedClasses[i0];
      else
        slot.place = &c.vehicle[i0][p];
      return UDOV_OK;
    }
    case 4:
      if (def.id == 1) {
        slot.place = &c.driverTypes;
        return UDOV_OK;
      }
      if (!IndexIn(indices, 0, c.driverTypes)) return UDOV_BAD_INDEX;
      slot.place = &c.driver[i0][def.id - 2];
      return UDOV_OK;
    case 5:
      switch (def.id) {
        case 1:
          slot.place = &c.useInjection;
          return UDOV_OK;
        case 2:
          slot.place = &c.injectionFile;
          return UDOV_OK;
        case 3:
          slot.place = &c.flow;
          return UDOV_OK;
        case 4:
          if (!IndexIn(indices, 0, c.vehicleTypes) || !IndexIn(indices, 1, c.driverTypes))
            return UDOV_BAD_INDEX;
          slot.place = &c.frequency[i0][i1];
          return UDOV_OK;
      }
      return UDOV_NO_PARAMETER;
    case 6:
      slot.place = &c.icc[def.id - 1];
      return UDOV_OK;
  }
  return UDOV_NO_PARAMETER;
}

int StoreValue(ConfigData& config, const ParamDef& def, int count, const int32_t* indices,
               const void* value) {
  Slot slot;
  int result = ResolveSlot(config, def, count, indices, slot);
  if (result != UDOV_OK) return result;
  switch (slot.type) {
    case UDOV_TYPE_REAL: {
      float v = *static_cast<const float*>(value);
      if (!std::isfinite(v) || !InRange(def, v)) return UDOV_BAD_VALUE;
      *static_cast<float*>(slot.place) = std::fmin(std::fmax(v, def.minimum), def.maximum);
      return UDOV_OK;
    }
    case UDOV_TYPE_INTEGER: {
      int32_t v = *static_cast<const int32_t*>(value);
      if (!InRange(def, v)) return UDOV_BAD_VALUE;
      *static_cast<int32_t*>(slot.place) = v;
      return UDOV_OK;
    }
    case UDOV_TYPE_UNSIGNED: {
      uint32_t v = *static_cast<const uint32_t*>(value);
      if (!InRange(def, v)) return UDOV_BAD_VALUE;
      *static_cast<uint32_t*>(slot.place) = v;
      return UDOV_OK;
    }
    case UDOV_TYPE_TEXT: {
      const char* text = static_cast<const char*>(value);
      size_t length = strnlen(text, 4096);
      if (length == 4096) return UDOV_BAD_VALUE;
      // A name must fit on one line of a .dov file.
      for (size_t i = 0; i < length; i++)
        if (static_cast<unsigned char>(text[i]) < 0x20) return UDOV_BAD_VALUE;
      *static_cast<std::string*>(slot.place) = std::string(text, length);
      return UDOV_OK;
    }
  }
  return UDOV_NO_PARAMETER;
}

std::string FloatText(float value) {
  char text[64];
  for (int precision = 6; precision <= 9; precision++) {
    std::snprintf(text, sizeof text, "%.*g", precision, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  return text;
}

}  // namespace udov
