#include "shell/UnattendedBatch.h"

#include <ostream>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"

namespace {

constexpr int kBarWidth = 30;

}  // namespace

UnattendedBatch::UnattendedBatch(OutputFileSettings& outputs, CommandLineHost& host,
                                 std::ostream* out, std::ostream* progress,
                                 std::function<std::unique_ptr<RunSimulation>()> makeSimulation)
    : outputs_(outputs),
      host_(host),
      out_(out),
      progress_(progress),
      makeSimulation_(std::move(makeSimulation)) {}

UnattendedBatch::~UnattendedBatch() = default;

void UnattendedBatch::StartBatch(const BatchRequest& request) {
  batch_.reset();
  run_.reset();
  config_.reset();
  const std::string fileName = host_.CurrentFileName();
  ConfigReadResult read = LoadConfig(fileName, config_);
  if (!read.ok) {
    UserMessage(ReportKind::Error, "Error in Kavro configuration file", ConfigErrorText(read.error));
    return;
  }
  run_ = std::make_unique<RunController>(makeSimulation_(), outputs_);
  run_->SetConfiguration(config_.get());
  run_->SetCurrentFileName(fileName);
  run_->SetObserver(this);
  batch_ = std::make_unique<BatchRunner>(*run_);
  batch_->SetObserver(this);
  BatchSettings& settings = batch_->Settings();
  const int detectors = config_->DetectorCount();
  settings.NumberOfRuns = request.Runs;
  // A detector beyond the lists selects nothing: stop at any detector, report no flow.
  settings.StopDetector = request.StopDetector <= detectors ? request.StopDetector : 0;
  settings.ReportDetector = request.ReportDetector <= detectors ? request.ReportDetector : 0;
  settings.DropSpeed = request.DropSpeed;
  settings.FromLane = request.FirstLane;
  settings.UpToLane = request.LastLane;
  batch_->Start();
  if (progress_ && shownPercent_ >= 0) *progress_ << '\n' << std::flush;
}

bool UnattendedBatch::BatchFinished() const {
  return run_ && run_->State().BatchFinished;
}

bool UnattendedBatch::SaveBatchResultsUnattended() {
  if (!batch_) return false;
  std::string name = batch_->ProposedResultsName();
  if (name.empty()) name = host_.CurrentFileName() + ".kbr";
  if (!batch_->SaveResults(name)) return false;
  if (out_) *out_ << "Batch results: " << name << '\n';
  return true;
}

void UnattendedBatch::RunEnded(const BatchRow& row) {
  if (progress_ && shownPercent_ >= 0) {
    *progress_ << "\r" << std::string(kBarWidth + 24, ' ') << "\r" << std::flush;
    shownPercent_ = -1;
  }
  if (!out_) return;
  *out_ << Format("%d\t%d\t%s", row.Run, static_cast<int>(row.Seed), row.Status.c_str()) << '\n'
       << std::flush;
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
