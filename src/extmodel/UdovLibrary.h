#pragma once

#include <memory>
#include <string>

#include "extmodel/UdovInterface.h"

// The call table of the external vehicle model library, each call typed as the model exports
// it. Every entry is set after a successful Load.
struct UdovCalls {
  UdovPrepareSimulationFn PrepareSimulation = nullptr;  // ordinal 1
  UdovNextVehicleFn NextVehicle = nullptr;              // ordinal 3
  UdovGetParamInfoFn GetParamInfo = nullptr;            // ordinal 4
  UdovParamValueFn GetParamValue = nullptr;             // ordinal 5
  UdovReadConfigFn ReadConfig = nullptr;                // ordinal 6
  UdovResetSimulationFn ResetSimulation = nullptr;      // ordinal 7
  UdovSetErrorHandlerFn SetErrorHandler = nullptr;      // ordinal 9
  UdovParamValueFn SetParamValue = nullptr;             // ordinal 10
  UdovOpenTestFileFn OpenTestFile = nullptr;            // ordinal 11
  UdovSimulateStepFn SimulateStep = nullptr;            // ordinal 12
  UdovWriteConfigFn WriteConfig = nullptr;              // ordinal 13
  UdovAfterStepFn AfterStep = nullptr;                  // ordinal 14
  UdovAfterStepFn AfterStepDetectors = nullptr;         // ordinal 15
};

/// The exported name of each call, with its ordinal.
struct UdovCallName {
  int Ordinal;
  const char* Symbol;
};
extern const UdovCallName kUdovCallNames[13];

// A loaded external model library; unloaded when destroyed.
class UdovLibrary {
 public:
  /// Loads the library at `path` and resolves every call. On failure returns null and sets
  /// `error` to a message for the user; nothing stays loaded.
  static std::unique_ptr<UdovLibrary> Load(const std::string& path, std::string& error);

  ~UdovLibrary();
  UdovLibrary(const UdovLibrary&) = delete;
  UdovLibrary& operator=(const UdovLibrary&) = delete;

  const UdovCalls& Calls() const { return calls_; }
  const std::string& Path() const { return path_; }

  /// One simulation step with its after-step calls: result 1 is followed by ordinal 14, result 2
  /// by ordinal 14 and then 15. Returns the step's result.
  int32_t SimulateOneStep();

 private:
  UdovLibrary(void* handle, std::string path) : handle_(handle), path_(std::move(path)) {}

  void* handle_;
  std::string path_;
  UdovCalls calls_;
};

/// The file name of the library: next to the executable in `programDirectory`, or in the
/// installed library folder beside it (../lib/kavro/); next to the executable when neither
/// exists.
std::string UdovLibraryPath(const std::string& programDirectory);
