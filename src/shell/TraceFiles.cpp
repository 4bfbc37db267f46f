#include "shell/TraceFiles.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "config/ProgramError.h"

namespace {

const char kCannotWrite[] = "Cannot write to file \"%s\": %s.";

// A trace continued by appending must still be a file; a folder or device put in its place
// is not written into.
bool IsRegularFileOrMissing(const std::string& name, std::string& error) {
  struct stat status;
  if (::stat(name.c_str(), &status) != 0 || S_ISREG(status.st_mode)) return true;
  error = S_ISDIR(status.st_mode) ? "it is a folder" : "it is not a regular file";
  return false;
}

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
    // Within a batch run a file that failed is not tried again at every step.
    if (batchRun > 0 && failedRuns_[t] == batchRun && name == previousNames_[t]) continue;
    std::string error;
    if (name == previousNames_[t]) {
      // The file this program wrote last for this trace is continued.
      if (!IsRegularFileOrMissing(name, error) ||
          (files_[t] = std::fopen(name.c_str(), "a")) == nullptr) {
        if (error.empty()) error = std::strerror(errno);
      }
    } else {
      auto replacement = std::make_unique<FileReplacement>();
      if (replacement->Open(name)) {
        files_[t] = replacement->File();
        replacements_[t] = std::move(replacement);
      } else {
        error = replacement->Error();
      }
    }
    if (files_[t] == nullptr) {
      UserMessage(ReportKind::Error, "Error", Format(kCannotWrite, name.c_str(), error.c_str()));
      unwritten_.push_back(name);
      // A batch tries again with its next run, whose file may well be written; elsewhere the
      // trace is off from now on.
      if (batchRun > 0)
        failedRuns_[t] = batchRun;
      else
        setting.clear();
    }
    openNames_[t] = name;
    previousNames_[t] = name;
  }
}

void KernelTraceFiles::Close(Trace trace) {
  if (files_[trace] == nullptr) return;
  std::string error;
  if (replacements_[trace]) {
    if (!replacements_[trace]->Commit()) error = replacements_[trace]->Error();
    replacements_[trace].reset();
  } else {
    bool failed = std::ferror(files_[trace]) != 0;
    int code = errno;
    if (std::fclose(files_[trace]) != 0 && !failed) {
      failed = true;
      code = errno;
    }
    if (failed) error = code != 0 ? std::strerror(code) : "write error";
  }
  files_[trace] = nullptr;
  if (!error.empty()) {
    UserMessage(ReportKind::Error, "Error",
                Format(kCannotWrite, openNames_[trace].c_str(), error.c_str()));
    unwritten_.push_back(openNames_[trace]);
  }
}

void KernelTraceFiles::CloseAll() {
  for (int t = 0; t < Count; ++t) Close(static_cast<Trace>(t));
}

std::vector<std::string> KernelTraceFiles::TakeUnwrittenFiles() {
  std::vector<std::string> names;
  names.swap(unwritten_);
  return names;
}

RunTraceFiles KernelTraceFiles::Sinks() const {
  return {files_[Detection], files_[TravelTime], files_[ODTravelTime], files_[LaneChange]};
}

void VehicleTraceFile::OpenForStep(const std::string& resolvedName, int stepCount, int interval) {
  writing_ = false;
  if (stepCount <= 1 || resolvedName != name_) {
    Finish();
    name_ = resolvedName;
    auto replacement = std::make_unique<FileReplacement>();
    if (!replacement->Open(resolvedName)) {
      UserMessage(ReportKind::Error, "Error",
                  Format(kCannotWrite, resolvedName.c_str(), replacement->Error().c_str()));
      unwritten_.push_back(resolvedName);
      return;
    }
    replacement_ = std::move(replacement);
    std::fputs("#time\tID\ttype\torigin\tdest.\tlane\tpos.\tspeed\n", replacement_->File());
  }
  writing_ = replacement_ != nullptr && interval >= 1 && stepCount % interval == 0;
}

void VehicleTraceFile::WriteVehicle(float time, const VehicleSnapshot& vehicle) {
  if (!IsOpen()) return;
  std::fprintf(replacement_->File(), "%7.1f\t%d\t%d\t%s\t%s\t%d\t%7.1f\t%7.3f\n", time,
               vehicle.Number, vehicle.Type + 1, vehicle.Origin.c_str(),
               vehicle.Destination.c_str(), vehicle.Lane + 1, vehicle.Position, vehicle.Speed);
}

void VehicleTraceFile::Finish() {
  writing_ = false;
  if (!replacement_) return;
  if (!replacement_->Commit()) {
    UserMessage(ReportKind::Error, "Error",
                Format(kCannotWrite, name_.c_str(), replacement_->Error().c_str()));
    unwritten_.push_back(name_);
  }
  replacement_.reset();
}

std::vector<std::string> VehicleTraceFile::TakeUnwrittenFiles() {
  std::vector<std::string> names;
  names.swap(unwritten_);
  return names;
}
