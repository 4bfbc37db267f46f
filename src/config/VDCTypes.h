#pragma once

#include <functional>
#include <string>

// Parameter kinds: a vehicle driver combination (VDC) type is one vehicle type with its
// parameter set, and the sets are addressed by kind. VDC_KAVRO holds the built-in model's
// FS_ parameters; the other kinds mirror the external model's parameter sets.
constexpr int VDC_DOVELGENERAL = 1;        // one set, no types
constexpr int VDC_DOVELVEHICLE = 3;        // per DOVEL vehicle type
constexpr int VDC_DOVELDRIVER = 4;         // per DOVEL driver type
constexpr int VDC_DOVELICC = 6;            // one set, no types
constexpr int VDC_KAVRO = 100;             // per KAVRO vehicle type
constexpr int VDC_DOVELVEHICLESUB = 101;   // per DOVEL vehicle type, a variable count
constexpr int VDC_DOVELVEHICLEDIST = 102;  // per DOVEL vehicle type, a distribution of three

// Storage of the parameter blocks: slots per type, some of them spare.
constexpr int KAVRO_PARAM_SLOTS = 20;
constexpr int MAXDOVELTYPE = 20;
constexpr int DOVEL_GENERAL_PARAMS = 23;
constexpr int DOVEL_VEHICLE_PARAMS = 34;
constexpr int DOVEL_VEHICLE_SLOTS = 37;
constexpr int DOVEL_DRIVER_PARAMS = 9;
constexpr int DOVEL_DRIVER_SLOTS = 10;
constexpr int DOVEL_ICC_PARAMS = 5;
constexpr int DOVEL_VEHICLESUB_SLOTS = 20;
constexpr int DOVEL_VEHICLEDIST_PARAMS = 3;
// In the external model's general set: the time step [s] and the simulation time [min].
constexpr int DOVEL_GENERAL_TIMESTEP = 16;
constexpr int DOVEL_GENERAL_MAXTIME = 11;

// What the editor and the file formats need to know about one parameter besides its value.
struct VDCParamInfo {
  std::string displayName;
  std::string fileName;
  float low = 0;
  float high = 0;
  int steps = 0;
  std::string format;
  std::string description;
  float defaultValue = 0;
};

// The external model's own description of one of its parameters.
struct ModelParamInfo {
  float minimum = 0;
  float maximum = 0;
  float step = 0;
  std::string name;
  std::string description;
  std::string format;
  int type = -1;  // 1 real, 2 integer, 3 unsigned, 4 text
};

/// Asks the external model about parameter (class, id); false when it has no such parameter.
using ModelParamInfoSource = std::function<bool(int cls, int id, ModelParamInfo& info)>;

/// Installed once at start-up in DOVEL mode by the external model layer; returns the previous
/// source. Without a source the DOVEL parameters have no name and the limits 0 .. 100.
ModelParamInfoSource SetModelParamInfoSource(ModelParamInfoSource source);
/// Asks the installed source; false (info untouched) without one or for an unknown parameter.
bool AskModelParamInfo(int cls, int id, ModelParamInfo& info);

/// The external model's (class, id) of parameter `param` of kind `kind`; false for kind 100
/// and unknown kinds.
bool DovelParamAddress(int kind, int param, int& cls, int& id);
