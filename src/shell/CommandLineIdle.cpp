#include "shell/CommandLineIdle.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>
#include <utility>

#include "config/FileReplace.h"
#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "shell/BatchRunsMerge.h"
#include "shell/ProgramIdentity.h"
#include "shell/TextTable.h"

namespace {

// Set when saving the batch results failed or the batch did not finish: the next call switches
// batch mode off.
constexpr int kSwitchOffStep = 999;

// One file an unattended batch reads or writes, and how a collision names it.
struct BatchFile {
  std::string Argument;   // the option that names it; empty for the files the program names
  std::string Subject;    // "the batch results file", "its file"
  std::string Object;     // "the batch results file", "the file of \"detectiontrace=x\""
  std::string Name;       // for the run outputs as given, before ResolveOutputFileName
  bool Resolved = false;  // a run output: its name is resolved with the run number
  bool PerRun = false;    // a run output with a run number directive: one file per run
};

// Two names of one file give the same key. An existing file is known by its device and inode;
// a name still to be created by its folder, links followed, and its own name. A folder or a
// device gives no key: nothing is written there (each output says so when it is opened), so
// nothing can be lost.
std::string FileKey(const std::string& name, std::map<std::string, std::string>& folders) {
  namespace fs = std::filesystem;
  const std::string target = SaveTarget(name);
  struct stat status;
  if (::stat(target.c_str(), &status) == 0) {
    if (!S_ISREG(status.st_mode)) return "";
    return Format("file %llu:%llu", static_cast<unsigned long long>(status.st_dev),
                  static_cast<unsigned long long>(status.st_ino));
  }
  std::error_code error;
  fs::path path = fs::absolute(fs::path(target), error);
  if (error) path = fs::path(target);
  const std::string folder = path.parent_path().string();
  auto found = folders.find(folder);
  if (found == folders.end()) {
    fs::path canonical = fs::weakly_canonical(path.parent_path(), error);
    found = folders.emplace(folder, error ? folder : canonical.string()).first;
  }
  return "name " + (fs::path(found->second) / path.filename()).string();
}

}  // namespace

std::string UnattendedResultsFileName(const std::string& current,
                                      const OutputFileSettings& outputs) {
  return outputs.LastRun > 0 ? BatchPartFileName(current, outputs.FirstRun, outputs.LastRun, ".kbr")
                             : ReplaceExtension(current, ".kbr");
}

std::string UnattendedLogFileName(const std::string& configuration,
                                  const OutputFileSettings& outputs) {
  // The parts of a batch split with --runs keep their logs apart.
  return outputs.LastRun > 0
             ? BatchPartFileName(configuration, outputs.FirstRun, outputs.LastRun, ".log")
             : ReplaceExtension(configuration, ".log");
}

std::string UnattendedCapacityFileName(const OutputFileSettings& outputs) {
  const std::string& name = outputs.CapacityFile;
  if (name.empty() || outputs.LastRun <= 0) return name;
  const std::string extension = name.substr(ReplaceExtension(name, "").size());
  return BatchPartFileName(name, outputs.FirstRun, outputs.LastRun, extension);
}

bool FindOutputCollision(const std::string& configuration, const std::string& current,
                         const OutputFileSettings& outputs, int firstRun, int lastRun,
                         std::string& argument, std::string& reason) {
  std::vector<BatchFile> files = {
      {"", "the configuration", "the configuration", current},
      {"", "the batch results file", "the batch results file",
       UnattendedResultsFileName(current, outputs)},
      {"", "the log", "the log", UnattendedLogFileName(configuration, outputs)},
  };
  if (!outputs.CapacityFile.empty()) {
    const std::string option = "--capacity " + outputs.CapacityFile;
    files.push_back({option, "its file", "the file of \"" + option + "\"",
                     UnattendedCapacityFileName(outputs)});
  }
  const std::pair<const char*, const std::string*> options[] = {
      {"vehicletrace=", &outputs.VehicleTraceFile},
      {"detectiontrace=", &outputs.DetectionTraceFile},
      {"detectortodetectortraveltimetrace=", &outputs.TravelTimeTraceFile},
      {"odtraveltimetrace=", &outputs.ODTravelTimeTraceFile},
      {"lanechangetrace=", &outputs.LaneChangeTraceFile},
      {"simulationresults=", &outputs.SimulationResultsFile},
      {"extendedresults=", &outputs.ExtendedResultsFile},
  };
  for (const auto& [prefix, name] : options) {
    if (name->empty()) continue;
    const std::string option = prefix + *name;
    files.push_back({option, "its file", "the file of \"" + option + "\"", *name, true,
                     HasRunNumberDirective(*name)});
  }
  std::map<std::string, std::string> folders;
  std::map<std::string, size_t> owners;  // file key -> index in `files`
  for (size_t i = 0; i < files.size(); ++i) {
    const BatchFile& file = files[i];
    const int last = file.PerRun ? lastRun : firstRun;
    for (int run = firstRun; run <= last; ++run) {
      const std::string name =
          file.Resolved ? ResolveOutputFileName(file.Name, current, run) : file.Name;
      const std::string key = FileKey(name, folders);
      if (key.empty()) continue;
      auto [owner, added] = owners.emplace(key, i);
      if (added || owner->second == i) continue;
      argument = file.Argument.empty() ? configuration : file.Argument;
      reason = file.Subject + " \"" + name + "\"" +
               (file.PerRun ? Format(" in run %d", run) : std::string()) + " is also " +
               files[owner->second].Object;
      return true;
    }
  }
  return false;
}

bool SaveTextLines(const std::string& fileName, const std::vector<std::string>& lines,
                   std::string* error) {
  std::string text;
  for (const std::string& line : lines) text += line + '\n';
  std::string reason;
  bool ok = ReplaceFileContents(fileName, text, reason);
  if (!ok && error != nullptr) *error = reason;
  return ok;
}

CommandLineIdle::CommandLineIdle(std::vector<std::string> parameters, int programMode,
                                 const TextTable& texts, OutputFileSettings& outputs,
                                 CommandLineHost& host, BatchEngine* batch)
    : parameters_(std::move(parameters)),
      programMode_(programMode),
      texts_(texts),
      outputs_(outputs),
      host_(host),
      batch_(batch) {}

bool CommandLineIdle::WantsIdle() const {
  if (!started_) return true;
  return installed_ && !ended_ && !outputs_.BatchSpecification.empty();
}

void CommandLineIdle::OnIdle() {
  if (!installed_ || ended_) return;
  if (!started_) {
    FirstIdle();
    return;
  }
  if (outputs_.BatchSpecification.empty()) return;
  RunStep(step_++);
}

void CommandLineIdle::FirstIdle() {
  host_.HideSplash();
  started_ = true;
  std::string current = host_.CurrentFileName();
  if (!current.empty() && DirectoryPart(current).empty()) {
    current = host_.CurrentDirectory() + "/" + current;
    host_.SetCurrentFileName(current);
  }
  if (!current.empty()) host_.AddLastUsedFile(current);
  if (programMode_ == DOVEL) return;
  if (parameters_.size() >= 2) outputs_.BatchSpecification = "1,0,0,0";
  for (size_t i = 1; i < parameters_.size();) {
    if (parameters_[i].empty()) {
      BadArgument("");
      ++i;
      continue;
    }
    std::string bad;
    std::string reason;
    i += ApplyProgramOptionAt(parameters_, i, outputs_, bad, &reason);
    if (!bad.empty()) BadArgument(bad, reason);
  }
}

void CommandLineIdle::BadArgument(const std::string& argument, const std::string& reason) {
  std::string text = FillStringDirectives(texts_.Text("LabelBadArgument"), {argument});
  if (!reason.empty()) text += ": " + reason;
  Deliver({ReportKind::Error, texts_.Text("LabelError"), text, true});
  ended_ = true;
}

bool CommandLineIdle::CheckBatchOptions(const BatchRequest& request) {
  const OutputFileSettings& o = outputs_;
  if (o.LastRun > 0 && o.LastRun > request.Runs) {
    BadArgument(
        Format("--runs %d-%d", o.FirstRun, o.LastRun),
        Format(request.Runs == 1 ? "the batch has %d run" : "the batch has %d runs", request.Runs));
    return false;
  }
  // A typed detector number beyond the road would quietly select no detector.
  const int detectors = batch_ ? batch_->DetectorCount() : -1;
  if (detectors > 0) {
    for (int detector : {request.StopDetector, request.ReportDetector}) {
      if (detector <= detectors) continue;
      BadArgument(o.BatchSpecification,
                  Format(detectors == 1 ? "detector %d is beyond the road's %d detector"
                                        : "detector %d is beyond the road's %d detectors",
                         detector, detectors));
      return false;
    }
  }
  const int runs = o.LastRun > 0 ? o.LastRun - o.FirstRun + 1 : request.Runs;
  // Parallel runs cannot write one file together; without --jobs such a batch runs on one job.
  const std::string shared = SharedOutputFile(o);
  if (o.BatchJobs > 1 && runs > 1 && !shared.empty()) {
    BadArgument(Format("--jobs %d", o.BatchJobs),
                "the runs would share the file \"" + shared +
                    "\"; give it a run number (%d) or use --jobs 1");
    return false;
  }
  const int firstRun = o.LastRun > 0 ? o.FirstRun : 1;
  const int lastRun = o.LastRun > 0 ? o.LastRun : request.Runs;
  std::string argument;
  std::string reason;
  if (FindOutputCollision(parameters_.empty() ? host_.CurrentFileName() : parameters_[0],
                          host_.CurrentFileName(), o, firstRun, lastRun, argument, reason)) {
    BadArgument(argument, reason);
    return false;
  }
  return true;
}

void CommandLineIdle::RunStep(int step) {
  switch (step) {
    case 0:
      if (batch_) batch_->ShowBatchPage();
      return;
    case 1: {
      BatchRequest request;
      if (!ScanBatchRequest(outputs_.BatchSpecification, request)) {
        BadArgument(outputs_.BatchSpecification);
        return;
      }
      if (request.Runs < 1 || request.Runs > kMaxBatchRuns) {
        BadArgument(outputs_.BatchSpecification, kBatchRunsRange);
        return;
      }
      if (!CheckBatchOptions(request)) return;
      if (!batch_) {
        Deliver({ReportKind::Error, texts_.Text("LabelError"), "Batch runs are not available yet",
                 true});
        ended_ = true;
        return;
      }
      batch_->StartBatch(request);
      return;
    }
    case 2:
      if (!batch_ || !batch_->BatchFinished() || !batch_->SaveBatchResultsUnattended())
        step_ = kSwitchOffStep;
      return;
    case 3:
      if (!parameters_.empty()) {
        std::vector<std::string> lines = host_.MessageLines();
        // The parts of a batch split with --runs keep their logs apart.
        std::string logName = UnattendedLogFileName(parameters_[0], outputs_);
        std::string error;
        if (!lines.empty() && !SaveTextLines(logName, lines, &error))
          Deliver({ReportKind::Error, texts_.Text("LabelError"),
                   FillStringDirectives(texts_.Text("LabelCannotWrite"), {logName, error}), true});
      }
      ended_ = true;
      host_.Terminate();
      return;
    default:
      SwitchOff();
      return;
  }
}

void CommandLineIdle::SwitchOff() {
  UserMessage(ReportKind::Warning, "Warning", texts_.Text("LabelBatchOff"));
  installed_ = false;
}
