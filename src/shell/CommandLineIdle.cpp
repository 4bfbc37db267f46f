#include "shell/CommandLineIdle.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
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

}  // namespace

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
    i += ApplyProgramOptionAt(parameters_, i, outputs_, bad);
    if (!bad.empty()) BadArgument(bad);
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
  const int runs = o.LastRun > 0 ? o.LastRun - o.FirstRun + 1 : request.Runs;
  // Parallel runs cannot write one file together; without --jobs such a batch runs on one job.
  const std::string shared = SharedOutputFile(o);
  if (o.BatchJobs > 1 && runs > 1 && !shared.empty()) {
    BadArgument(Format("--jobs %d", o.BatchJobs),
                "the runs would share the file \"" + shared +
                    "\"; give it a run number (%d) or use --jobs 1");
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
        std::string logName =
            outputs_.LastRun > 0
                ? BatchPartFileName(parameters_[0], outputs_.FirstRun, outputs_.LastRun, ".log")
                : ReplaceExtension(parameters_[0], ".log");
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
