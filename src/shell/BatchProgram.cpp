#include "shell/BatchProgram.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <sstream>
#include <system_error>

#include "config/ConfigRW.h"
#include "config/FileRead.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "config/TerminateScope.h"
#include "kernel/Kernel.h"
#include "shell/BatchRunsMerge.h"
#include "shell/CapacityObservations.h"
#include "shell/ConfigFileCommands.h"
#include "shell/ConfigLoading.h"
#include "shell/KernelSimulation.h"
#include "shell/ModelMessages.h"
#include "shell/ProgramIdentity.h"
#include "shell/ProgramOptions.h"
#include "shell/TextTable.h"
#include "shell/UnattendedBatch.h"

namespace {

// The program around the command-line machine when there is no window: messages are collected
// for the log, the current directory comes from the process.
class HeadlessHost : public CommandLineHost, public ModelMessageView {
 public:
  explicit HeadlessHost(std::string currentFileName)
      : currentFileName_(std::move(currentFileName)) {}

  std::string CurrentFileName() const override { return currentFileName_; }
  void SetCurrentFileName(const std::string& name) override { currentFileName_ = name; }
  std::string CurrentDirectory() const override {
    std::error_code error;
    std::filesystem::path path = std::filesystem::current_path(error);
    return error ? std::string(".") : path.string();
  }
  std::vector<std::string> MessageLines() const override { return lines_; }
  void Terminate() override { terminated_ = true; }
  void AppendMessageLine(const std::string& line) override { lines_.push_back(line); }
  void FatalStop() override { fatal_ = true; }

  bool Terminated() const { return terminated_ && !fatal_; }
  bool Fatal() const { return fatal_; }

 private:
  std::string currentFileName_;
  std::vector<std::string> lines_;
  bool terminated_ = false;
  bool fatal_ = false;
};

// The batch machine advances a step per call; this bounds the loop should an engine never
// finish its steps.
constexpr int kMaxIdleCalls = 100;

// kavro-batch --merge OUT.kbr PART.kbr ...
int RunMerge(const std::vector<std::string>& parameters, std::ostream& err) {
  if (parameters.size() < 3) {
    err << "Error: --merge needs the output file and at least one part: "
           "kavro-batch --merge OUT.kbr PART.kbr ...\n";
    return 2;
  }
  if (IsProgramOptionWord(parameters[1])) {
    err << "Error: Bad program argument: \"--merge\": it needs a value, but \"" << parameters[1]
        << "\" is an option\n";
    return 2;
  }
  TerminateScope terminate;
  ReportHook previous = SetReportHook(
      [&err](const Report& report) { err << report.caption << ": " << report.text << '\n'; });
  bool merged = MergeBatchResults(parameters[1], {parameters.begin() + 2, parameters.end()});
  SetReportHook(std::move(previous));
  return merged ? 0 : 1;
}

// kavro-batch --capacity-report OBS.tsv [OBS.tsv ...]
int RunCapacityReport(const std::vector<std::string>& parameters, std::ostream& out,
                      std::ostream& err) {
  if (parameters.size() < 2) {
    err << "Error: --capacity-report needs at least one observations file: "
           "kavro-batch --capacity-report OBS.tsv ...\n";
    return 2;
  }
  std::vector<std::string> names(parameters.begin() + 1, parameters.end());
  std::vector<CapacityObservationsFile> files(names.size());
  int runs = 0;
  for (size_t i = 0; i < names.size(); ++i) {
    std::string text;
    std::string error;
    if (!ReadInputFile(names[i], text, error)) {
      err << "Error: cannot read \"" << names[i] << "\": " << error << '\n';
      return 1;
    }
    if (!ParseCapacityObservations(names[i], text, files[i], error)) {
      err << "Error: " << error << '\n';
      return 1;
    }
    runs += files[i].LastRun - files[i].FirstRun + 1;
  }
  CapacityObservationsFile joined;
  std::string error;
  if (!JoinCapacityObservations(names, files, joined, error)) {
    err << "Error: " << error << '\n';
    return 1;
  }
  for (size_t i = 0; i < joined.HeldBackRuns.size(); ++i)
    err << "Warning: " << HeldBackText(joined.HeldBackRuns[i], joined.HeldBackOrigins[i]) << '\n';
  if (runs < joined.Runs)
    err << Format("Warning: the files hold %d of the %d runs of the batch\n", runs, joined.Runs);
  CapacitySummary summary = SummarizeCapacity(joined.Observations, runs);
  out << CapacitySummaryText(summary);
  if (!summary.Fit.Converged && !summary.Fit.Failure.empty())
    err << "Warning: the Weibull fit did not converge: " << summary.Fit.Failure << '\n';
  return 0;
}

}  // namespace

std::vector<std::string> DescribeBatch(const std::string& configuration,
                                       const BatchRequest& request,
                                       const OutputFileSettings& outputs) {
  std::vector<std::string> lines;
  lines.push_back("Configuration: " + configuration);
  std::string stop = request.StopDetector == 0 ? std::string("any detector")
                                               : Format("detector %d", request.StopDetector);
  std::string report = request.ReportDetector == 0 ? std::string("no detector")
                                                   : Format("detector %d", request.ReportDetector);
  lines.push_back(
      Format("Batch: %d runs, a run stops when the speed at %s over lanes %d to %d "
             "drops below %d km/h; highest flow reported at %s",
             request.Runs, stop.c_str(), request.FirstLane, request.LastLane, request.DropSpeed,
             report.c_str()));
  const std::pair<const char*, const std::string*> files[] = {
      {"Vehicle trace", &outputs.VehicleTraceFile},
      {"Detection trace", &outputs.DetectionTraceFile},
      {"Detector to detector travel time trace", &outputs.TravelTimeTraceFile},
      {"OD travel time trace", &outputs.ODTravelTimeTraceFile},
      {"Lane change trace", &outputs.LaneChangeTraceFile},
      {"Simulation results", &outputs.SimulationResultsFile},
      {"Extended results", &outputs.ExtendedResultsFile},
  };
  for (const auto& [what, name] : files) {
    if (name->empty()) continue;
    std::string line = std::string(what) + ": " + ResolveOutputFileName(*name, configuration, 1);
    if (name == &outputs.VehicleTraceFile)
      line += Format(" (every %d steps)", outputs.VehicleTraceInterval);
    lines.push_back(line);
  }
  return lines;
}

int RunBatchProgram(const std::vector<std::string>& parameters, std::ostream& out,
                    std::ostream& err, BatchEngine* batch) {
  if (parameters.empty()) {
    err << UsageText(ProgramKind::Batch);
    return 2;
  }
  if (parameters[0] == "--version") {
    ProgramVersion version = BuiltProgramVersion();
    out << Format("kavro-batch %d.%d build %d", version.Major, version.Minor, version.Build)
        << '\n';
    return 0;
  }
  if (parameters[0] == "--help") {
    out << UsageText(ProgramKind::Batch);
    return 0;
  }
  if (parameters[0] == "--merge") return RunMerge(parameters, err);
  if (parameters[0] == "--capacity-report") return RunCapacityReport(parameters, out, err);
  if (IsConfigFileCommand(parameters)) return RunConfigFileCommand(parameters, out, err);
  TerminateScope terminate;
  ReportHook previous = SetReportHook(
      [&err](const Report& report) { err << report.caption << ": " << report.text << '\n'; });
  SetProgramMode(KAVRO);
  TextTable texts;
  OutputFileSettings outputs;
  HeadlessHost host(parameters[0]);
  // The progress bar only makes sense on a terminal.
  std::ostream* progress = &err == &std::cerr && isatty(STDERR_FILENO) ? &err : nullptr;
  UnattendedBatch unattended(
      outputs, host, &out, progress,
      [](KernelMessageSink& messages) {
        auto simulation = std::make_unique<KernelSimulation>();
        simulation->GetKernel().SetMessageSink(&messages);
        return std::unique_ptr<RunSimulation>(std::move(simulation));
      },
      [&host](const std::string& line) { host.AppendMessageLine(line); });
  CommandLineIdle machine(parameters, KAVRO, texts, outputs, host, batch ? batch : &unattended);
  machine.OnIdle();
  // A batch on a configuration that could not be read would run the default road instead. The
  // batch runs the configuration read here.
  std::unique_ptr<KDConfig> config;
  std::string text;
  bool readable = !TerminateRequested() && ReadCompleteConfig(host.CurrentFileName(), config, text);
  if (readable && !batch)
    unattended.UseConfiguration(host.CurrentFileName(), std::move(text), std::move(config));
  if (!readable) {
    SetReportHook(std::move(previous));
    return 1;
  }
  // Without a window there is no interactive use: a configuration alone is one unattended run.
  if (outputs.BatchSpecification.empty()) outputs.BatchSpecification = "1,0,0,0";
  for (int call = 0; call < kMaxIdleCalls && !TerminateRequested() && !host.Terminated() &&
                     !host.Fatal() && machine.WantsIdle();
       ++call)
    machine.OnIdle();
  bool success = host.Terminated() && !TerminateRequested();
  BatchEngine* engine = batch ? batch : &unattended;
  if (!machine.Installed())
    err << (engine->BatchFinished() ? "kavro-batch: the batch results were not saved\n"
                                    : "kavro-batch: the batch did not finish\n");
  // Runs that lost a file, or whose simulation ended in an error (the batch went on), fail
  // the batch; their status in the batch results says why.
  auto failRuns = [&](int runs, const char* one, const char* several) {
    if (runs <= 0) return;
    err << Format(runs == 1 ? one : several, runs);
    success = false;
  };
  failRuns(engine->RunsWithFilesLost(),
           "kavro-batch: %d run could not write all its files; its status in the batch results "
           "names them\n",
           "kavro-batch: %d runs could not write all their files; their status in the batch "
           "results names them\n");
  failRuns(engine->RunsFailed(),
           "kavro-batch: %d run ended in an error; its status in the batch results names it\n",
           "kavro-batch: %d runs ended in an error; their status in the batch results names "
           "it\n");
  SetReportHook(std::move(previous));
  return success ? 0 : 1;
}
