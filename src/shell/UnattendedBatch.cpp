#include "shell/UnattendedBatch.h"

#include <cerrno>
#include <cstring>
#include <ostream>
#include <sstream>

#include "config/ConfigRW.h"
#include "config/FileRead.h"
#include "config/FileReplace.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "shell/BatchRunsMerge.h"
#include "shell/CapacityObservations.h"
#include "shell/ConfigLoading.h"
#include "shell/KernelSimulation.h"

namespace {

constexpr int kBarWidth = 30;

}  // namespace

UnattendedBatch::UnattendedBatch(OutputFileSettings& outputs, CommandLineHost& host,
                                 std::ostream* out, std::ostream* progress,
                                 BatchSimulationFactory makeSimulation,
                                 std::function<void(const std::string&)> addMessageLine)
    : outputs_(outputs),
      host_(host),
      out_(out),
      progress_(progress),
      makeSimulation_(std::move(makeSimulation)),
      addMessageLine_(std::move(addMessageLine)) {}

UnattendedBatch::~UnattendedBatch() = default;

void UnattendedBatch::UseConfiguration(const std::string& fileName, std::string text,
                                       std::unique_ptr<KDConfig> config) {
  readFileName_ = fileName;
  readText_ = std::move(text);
  readConfig_ = std::move(config);
}

void UnattendedBatch::StartBatch(const BatchRequest& request) {
  batch_.reset();
  run_.reset();
  config_.reset();
  finished_ = false;
  jobsUsed_ = 0;
  request_ = request;
  const std::string fileName = host_.CurrentFileName();
  std::string systemError;
  ConfigReadResult read;
  if (readConfig_ && readFileName_ == fileName) {
    configurationText_ = std::move(readText_);
    config_ = std::move(readConfig_);
    read.ok = true;
  } else if (ReadInputFile(fileName, configurationText_, systemError)) {
    read = LoadCompleteConfigText(fileName, configurationText_, config_);
  } else {
    read.error = {
        fileName, 0, "",
        Format("Cannot open file \"%s\" for reading: %s", fileName.c_str(), systemError.c_str())};
  }
  if (!read.ok) {
    UserMessage(ReportKind::Error, "Error in Kavro configuration file",
                ConfigErrorText(read.error));
    return;
  }
  messages_ = std::make_unique<LineKernelMessageSink>([this](const std::string& line) {
    if (addMessageLine_) addMessageLine_(line);
  });
  run_ = std::make_unique<RunController>(makeSimulation_(*messages_), outputs_);
  run_->SetConfiguration(config_.get());
  run_->SetCurrentFileName(fileName);
  run_->SetObserver(this);
  batch_ = std::make_unique<BatchRunner>(*run_);
  batch_->SetObserver(this);
  if (clock_) batch_->SetClock(clock_);
  batch_->SetQuestionHost(questionHost_, showDetectorsPage_);
  BatchSettings& settings = batch_->Settings();
  const int detectors = config_->DetectorCount();
  settings.NumberOfRuns = request.Runs;
  // A detector beyond the lists selects nothing: stop at any detector, report no flow.
  settings.StopDetector = request.StopDetector <= detectors ? request.StopDetector : 0;
  settings.ReportDetector = request.ReportDetector <= detectors ? request.ReportDetector : 0;
  settings.DropSpeed = request.DropSpeed;
  settings.FromLane = request.FirstLane;
  settings.UpToLane = request.LastLane;
  batch_->SetRunRange(outputs_.FirstRun, outputs_.LastRun);
  const int jobs = JobsFor(batch_->LastRun() - batch_->FirstRun() + 1);
  jobsUsed_ = jobs;
  if (jobs > 1) {
    RunInParallel(jobs);
  } else {
    batch_->Start();
    // Every run done, also when the last one failed in the kernel: its error is its status.
    finished_ = run_->State().BatchRun > batch_->LastRun();
  }
  if (progress_ && shownPercent_ >= 0) *progress_ << '\n' << std::flush;
}

int UnattendedBatch::JobsFor(int runs) const {
  // Runs that write the same file go one after the other, in run order.
  if (!SharedOutputFile(outputs_).empty()) return 1;
  const int jobs = outputs_.BatchJobs > 0 ? outputs_.BatchJobs : DefaultBatchJobs();
  return std::max(std::min(jobs, runs), 1);
}

void UnattendedBatch::RunInParallel(int jobs) {
  if (!batch_->CanStart()) return;
  batch_->SetNumberOfRuns(batch_->Settings().NumberOfRuns, true);
  ParallelBatchJob job;
  job.ConfigurationText = configurationText_;
  job.CurrentFileName = host_.CurrentFileName();
  job.Outputs = outputs_;
  job.Settings = batch_->Settings();
  job.MakeSimulation = makeSimulation_;
  job.Clock = clock_;
  shownRun_ = 0;
  ShowRunsDone(0);
  finished_ = RunParallelBatch(job, batch_->FirstRun(), batch_->LastRun(), jobs,
                               [this](const BatchRunOutcome& outcome) { Deliver(outcome); });
}

void UnattendedBatch::Deliver(const BatchRunOutcome& outcome) {
  for (const Report& report : outcome.Reports) ::Deliver(report);
  if (addMessageLine_)
    for (const std::string& line : outcome.MessageLines) addMessageLine_(line);
  if (!outcome.Ended) return;
  batch_->SetRow(outcome.Row);
  RunEnded(outcome.Row);
  ShowRunsDone(++shownRun_);
}

bool UnattendedBatch::BatchFinished() const {
  // A run that reported a stop leaves the batch unfinished even when it was the last one.
  return run_ && finished_ && !TerminateRequested();
}

namespace {

// The batch= argument of a request as both part files record it: runs, stop and report
// detector, drop speed and lane range.
std::string BatchArgument(const BatchRequest& request) {
  return Format("%d,%d,%d,%d,%d,%d", request.Runs, request.StopDetector, request.ReportDetector,
                request.DropSpeed, request.FirstLane, request.LastLane);
}

}  // namespace

bool UnattendedBatch::SaveBatchResultsUnattended() {
  if (!batch_) return false;
  std::string partLine;
  // Parts of one batch made side by side in one folder must not overwrite each other.
  const std::string name = UnattendedResultsFileName(host_.CurrentFileName(), outputs_);
  if (outputs_.LastRun > 0) {
    BatchPart part;
    part.First = batch_->FirstRun();
    part.Last = batch_->LastRun();
    part.Runs = request_.Runs;
    part.Configuration = ConfigurationFingerprint(configurationText_);
    part.Batch = BatchArgument(request_);
    partLine = BatchPartLine(part);
  }
  if (!batch_->SaveResults(name, partLine)) return false;
  if (out_) *out_ << "Batch results: " << name << '\n';
  return outputs_.CapacityFile.empty() || SaveCapacityObservations();
}

bool UnattendedBatch::SaveCapacityObservations() {
  CapacityObservationsFile file;
  file.FirstRun = batch_->FirstRun();
  file.LastRun = batch_->LastRun();
  file.Runs = request_.Runs;
  file.Configuration = ConfigurationFingerprint(configurationText_);
  file.Batch = BatchArgument(request_);
  const std::vector<BatchRow>& rows = batch_->Rows();
  for (int run = file.FirstRun; run <= file.LastRun && run <= static_cast<int>(rows.size());
       ++run) {
    const BatchRow& row = rows[run - 1];
    AppendRunObservations(row.Run, row.Seed, row.Capacity, file.Observations);
    if (!row.Capacity.HeldBackOrigin.empty()) {
      file.HeldBackRuns.push_back(row.Run);
      file.HeldBackOrigins.push_back(row.Capacity.HeldBackOrigin);
    }
  }
  const std::string name = UnattendedCapacityFileName(outputs_);
  std::string error;
  if (!ReplaceFileContents(name, CapacityObservationsText(file), error)) {
    UserMessage(ReportKind::Error, "Error",
                Format("Cannot write to file \"%s\": %s.", name.c_str(), error.c_str()));
    return false;
  }
  const CapacitySummary summary =
      SummarizeCapacity(file.Observations, file.LastRun - file.FirstRun + 1);
  if (out_)
    *out_ << "Capacity observations: " << name << '\n'
          << CapacitySummaryText(summary) << std::flush;
  if (!summary.Fit.Converged && !summary.Fit.Failure.empty())
    UserMessage(ReportKind::Warning, "Warning",
                "the Weibull fit did not converge: " + summary.Fit.Failure);
  return true;
}

int UnattendedBatch::RunsWithFilesLost() const {
  if (!batch_) return 0;
  int lost = 0;
  for (const BatchRow& row : batch_->Rows()) lost += row.FilesLost ? 1 : 0;
  return lost;
}

int UnattendedBatch::DetectorCount() const {
  return readConfig_ && readFileName_ == host_.CurrentFileName() ? readConfig_->DetectorCount()
                                                                 : -1;
}

int UnattendedBatch::RunsFailed() const {
  if (!batch_) return 0;
  int failed = 0;
  for (const BatchRow& row : batch_->Rows()) failed += row.Failed ? 1 : 0;
  return failed;
}

void UnattendedBatch::RunEnded(const BatchRow& row) {
  if (progress_ && shownPercent_ >= 0) {
    *progress_ << "\r" << std::string(kBarWidth + 24, ' ') << "\r" << std::flush;
    shownPercent_ = -1;
  }
  if (!out_) return;
  *out_ << Format("%d\t%d\t%s", row.Run, static_cast<int>(row.Seed), row.Status.c_str());
  // Such a run measures the entrance, not the road.
  if (!row.Capacity.HeldBackOrigin.empty())
    *out_ << "\t" << HeldBackText(row.Run, row.Capacity.HeldBackOrigin);
  *out_ << '\n' << std::flush;
}

void UnattendedBatch::ProcessEvents() {
  // After a stop (a program error) no further step is made: the batch ends unfinished.
  if (run_ && TerminateRequested()) run_->Halt();
}

void UnattendedBatch::StepCountChanged(int stepCount) {
  if (!progress_ || !run_ || !batch_) return;
  const RunState& s = run_->State();
  if (s.BatchRun < 1 || s.TotalSteps < 1) return;
  const int percent = static_cast<int>(100LL * stepCount / s.TotalSteps);
  if (percent == shownPercent_ && s.BatchRun == shownRun_) return;
  shownPercent_ = percent;
  shownRun_ = s.BatchRun;
  const int filled = percent * kBarWidth / 100;
  *progress_ << Format("\rRun %d/%d [%s%s] %3d%%", s.BatchRun, batch_->Settings().NumberOfRuns,
                       std::string(filled, '#').c_str(),
                       std::string(kBarWidth - filled, ' ').c_str(), percent)
             << std::flush;
}

void UnattendedBatch::ShowRunsDone(int done) {
  if (!progress_ || !batch_) return;
  const int runs = batch_->LastRun() - batch_->FirstRun() + 1;
  const int percent = runs > 0 ? static_cast<int>(100LL * done / runs) : 100;
  const int filled = percent * kBarWidth / 100;
  *progress_ << Format("\rRuns done %d/%d [%s%s] %3d%%", done, runs,
                       std::string(filled, '#').c_str(),
                       std::string(kBarWidth - filled, ' ').c_str(), percent)
             << std::flush;
  shownPercent_ = percent;
}
