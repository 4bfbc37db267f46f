#include "extmodel/UdovLibrary.h"

#include <dlfcn.h>

#include "config/ProgramError.h"
#include "config/ProgramFiles.h"

const UdovCallName kUdovCallNames[13] = {
    {1, "Prepare_simulation"},    {3, "Next_vehicle"},     {4, "Get_param_info"},
    {5, "Get_param_value"},       {6, "Read_config"},      {7, "Reset_simulation"},
    {9, "Set_errorhandler"},      {10, "Set_param_value"}, {11, "Open_test_file"},
    {12, "Simulate_step"},        {13, "Write_config"},    {14, "After_step"},
    {15, "After_step_detectors"},
};

namespace {

template <typename Fn>
bool Resolve(void* handle, const char* symbol, Fn& target) {
  void* address = dlsym(handle, symbol);
  if (!address) return false;
  target = reinterpret_cast<Fn>(address);
  return true;
}

// Resolves the call of `ordinal` into its slot of the table.
bool ResolveCall(void* handle, const UdovCallName& name, UdovCalls& calls) {
  switch (name.Ordinal) {
    case 1:
      return Resolve(handle, name.Symbol, calls.PrepareSimulation);
    case 3:
      return Resolve(handle, name.Symbol, calls.NextVehicle);
    case 4:
      return Resolve(handle, name.Symbol, calls.GetParamInfo);
    case 5:
      return Resolve(handle, name.Symbol, calls.GetParamValue);
    case 6:
      return Resolve(handle, name.Symbol, calls.ReadConfig);
    case 7:
      return Resolve(handle, name.Symbol, calls.ResetSimulation);
    case 9:
      return Resolve(handle, name.Symbol, calls.SetErrorHandler);
    case 10:
      return Resolve(handle, name.Symbol, calls.SetParamValue);
    case 11:
      return Resolve(handle, name.Symbol, calls.OpenTestFile);
    case 12:
      return Resolve(handle, name.Symbol, calls.SimulateStep);
    case 13:
      return Resolve(handle, name.Symbol, calls.WriteConfig);
    case 14:
      return Resolve(handle, name.Symbol, calls.AfterStep);
    case 15:
      return Resolve(handle, name.Symbol, calls.AfterStepDetectors);
  }
  return false;
}

}  // namespace

std::unique_ptr<UdovLibrary> UdovLibrary::Load(const std::string& path, std::string& error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* reason = dlerror();
    error = Format("Cannot load the external vehicle model library \"%s\": %s", path.c_str(),
                   reason ? reason : "unknown reason");
    return nullptr;
  }
  std::unique_ptr<UdovLibrary> library(new UdovLibrary(handle, path));
  for (const UdovCallName& name : kUdovCallNames) {
    if (!ResolveCall(handle, name, library->calls_)) {
      error = Format("The external vehicle model library \"%s\" has no call \"%s\" (ordinal %d)",
                     path.c_str(), name.Symbol, name.Ordinal);
      return nullptr;
    }
  }
  error.clear();
  return library;
}

UdovLibrary::~UdovLibrary() {
  if (handle_) dlclose(handle_);
}

int32_t UdovLibrary::SimulateOneStep() {
  int32_t one = 1;
  int32_t result = calls_.SimulateStep(&one);
  if (result == 1 || result == 2) calls_.AfterStep(0);
  if (result == 2) calls_.AfterStepDetectors(0);
  return result;
}

std::string UdovLibraryPath(const std::string& programDirectory) {
  // Always a path: dlopen would search the library path for a bare name, and the library
  // belongs to the program.
  return FindProgramFile(programDirectory, "libudov.so", ProgramFileKind::Library);
}
