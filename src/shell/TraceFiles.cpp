#include "shell/TraceFiles.h"

#include <cerrno>
#include <cstring>

#include "config/ProgramError.h"

namespace {

const char kCannotWrite[] = "Cannot write to file \"%s\": %s.";

}  // namespace

KernelTraceFiles::~KernelTraceFiles() { CloseAll(); }

std::string& KernelTraceFiles::Setting(OutputFileSettings& settings, Trace trace) {
  switch (trace) {
    case Detection:
      return settings.DetectionTraceFile;
    case TravelTime:
      return settings.TravelTimeTraceFile;
    case ODTravelTime:
      return settings.ODTravelTimeTraceFile;
    default:
      return settings.LaneChangeTraceFile;
  }
}

void KernelTraceFiles::OpenSet(OutputFileSettings& settings, const std::string& currentFileName,
                               int batchRun) {
  for (int t = 0; t < Count; ++t) {
    std::string& setting = Setting(settings, static_cast<Trace>(t));
    if (setting.empty() || files_[t] != nullptr) continue;
    std::string name = ResolveOutputFileName(setting, currentFileName, batchRun);
    const char* mode = name == previousNames_[t] ? "a" : "w";
    files_[t] = std::fopen(name.c_str(), mode);
    if (files_[t] == nullptr) {
      UserMessage(ReportKind::Error, "Error",
                  Format(kCannotWrite, name.c_str(), std::strerror(errno)));
      setting.clear();
    }
    previousNames_[t] = name;
  }
}

void KernelTraceFiles::Close(Trace trace) {
  if (files_[trace] == nullptr) return;
  std::fclose(files_[trace]);
  files_[trace] = nullptr;
}

void KernelTraceFiles::CloseAll() {
  for (int t = 0; t < Count; ++t) Close(static_cast<Trace>(t));
}

RunTraceFiles KernelTraceFiles::Sinks() const {
  return {files_[Detection], files_[TravelTime], files_[ODTravelTime], files_[LaneChange]};
}

void VehicleTraceFile::OpenForStep(const std::string& resolvedName, int stepCount, int interval) {
  Close();
  file_ = std::fopen(resolvedName.c_str(), stepCount <= 1 ? "w" : "a");
  if (file_ == nullptr) return;
  if (stepCount <= 1) std::fputs("#time\tID\ttype\torigin\tdest.\tlane\tpos.\tspeed\n", file_);
  if (interval < 1 || stepCount % interval != 0) Close();
}

void VehicleTraceFile::WriteVehicle(float time, const VehicleSnapshot& vehicle) {
  if (file_ == nullptr) return;
  std::fprintf(file_, "%7.1f\t%d\t%d\t%s\t%s\t%d\t%7.1f\t%7.3f\n", time, vehicle.Number,
               vehicle.Type + 1, vehicle.Origin.c_str(), vehicle.Destination.c_str(),
               vehicle.Lane + 1, vehicle.Position, vehicle.Speed);
}

void VehicleTraceFile::Close() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  file_ = nullptr;
}
