#pragma once

#include <string>

#include "config/VDCTypes.h"

// The link between the configuration and the external vehicle model (DOVEL mode). The model
// keeps its own copy of the configuration; the current configuration forwards every change to
// it through this link. The external model layer installs the link at start-up; without one
// nothing is forwarded and DOVEL files cannot be read or written.
class DovelModelLink {
 public:
  virtual ~DovelModelLink() = default;
  /// The type the model gives parameter (class, id): 1 real, 2 integer, 3 unsigned, 4 text;
  /// -1 when it has no such parameter.
  virtual int ParamType(int cls, int id) = 0;
  /// Sends a number: as a float to a real parameter, as its whole part to the others.
  /// Indices count from 1; -1 = not used. False when the model refused it.
  virtual bool SendValue(int cls, int id, int index1, int index2, double value) = 0;
  virtual bool SendText(int cls, int id, const std::string& text) = 0;
  /// A parameter as a real number.
  virtual float RealValue(int cls, int id, int index1, int index2, int index3) = 0;
  virtual std::string TextValue(int cls, int id) = 0;
  /// The model's range of parameter (class, id); false when it has none.
  virtual bool Range(int cls, int id, float& minimum, float& maximum) = 0;
  /// The model reads its configuration file; false when it refused it.
  virtual bool ReadConfig(const std::string& fileName) = 0;
  /// The model writes its configuration file; the model's result, 0 = written.
  virtual int WriteConfig(const std::string& fileName) = 0;
  /// While quiet, the model's own messages are not shown (a default file is being read).
  virtual void SetQuiet(bool) {}
  /// Logs a line of the model call log (when it is on).
  virtual void Log(const std::string&) {}
};

/// Installs the link (none = nothing forwarded); returns the previous one.
DovelModelLink* SetDovelModelLink(DovelModelLink* link);
DovelModelLink* CurrentDovelModelLink();

/// While set, every configuration forwards its changes, not only the current one (a copy
/// that becomes current is being made).
void SetSendToDovel(bool send);
bool SendToDovel();

/// What the model reported while it read its last file (its reason for refusing it).
std::string& LastDovelReadMessage();

/// The model file New reads in DOVEL mode ("New.dov" in the program's folder).
void SetDovelDefaultFile(const std::string& fileName);
const std::string& DovelDefaultFile();

/// The external model's parameter id of surface detail d (0 .. 8) and whether it is per lane.
int DovelSurfaceDetailId(int detail);
bool DovelSurfaceDetailPerLane(int detail);
/// The caption of surface detail d (0 .. 8).
const char* DovelSurfaceDetailCaption(int detail);
constexpr int DOVEL_SURFACE_DETAILS = 9;

/// What the external model says about one surface detail (type -1 when it says nothing), with
/// the detail's caption and per-lane flag from the table above.
struct SurfaceDetailInfo : ModelParamInfo {
  std::string caption;
  bool perLane = false;
};
