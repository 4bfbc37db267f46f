#include "shell/BatchRuns.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>
#include <vector>

#include "config/FileReplace.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "shell/ProgramIdentity.h"
#include "shell/ResultsFile.h"
#include "shell/TextEscape.h"

namespace {

const char kFilesNotWritten[] = "files not written: ";

}  // namespace

std::string LocalTimeOfDay() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  return text;
}

std::string BatchStatusColumns(const std::string& status) {
  // Only the program's own text is searched for the flow report: the names of unwritten files
  // come last and may hold a "Q" and a "=" themselves.
  const size_t names = status.find(kFilesNotWritten);
  size_t q = status.find('Q');
  if (q >= names) q = std::string::npos;
  size_t equals = q == std::string::npos ? std::string::npos : status.find('=', q);
  if (equals == std::string::npos) return status;
  std::string after = status.substr(equals + 1);
  size_t blank = after.find(' ');
  std::string number = after.substr(0, blank);
  std::string rest = blank == std::string::npos ? std::string() : after.substr(blank + 1);
  return status.substr(0, equals) + "=\t " + number + "\t " + rest;
}

namespace {

// A run whose output files could not all be written says so in its status, so that it can be
// made again. The names are escaped: a tab or a line end in one would break the batch results
// file's columns and lines.
void NoteUnwrittenFiles(BatchRow& row, const std::vector<std::string>& names) {
  if (names.empty()) return;
  row.FilesLost = true;
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + EscapeName(name);
  row.Status += (row.Status.empty() ? "" : ", ") + std::string(kFilesNotWritten) + list;
}

}  // namespace

BatchRunner::BatchRunner(RunController& run) : run_(run), clock_(LocalTimeOfDay) {
  run_.SetBatchHooks(this);
}

BatchRunner::~BatchRunner() { run_.SetBatchHooks(nullptr); }

void BatchRunner::SetNumberOfRuns(int runs, bool refillAll) {
  runs = std::clamp(runs, 0, kMaxBatchRuns);
  const size_t kept = refillAll || !rowsFilledOnce_ ? 0 : std::min<size_t>(rows_.size(), runs);
  rows_.resize(runs);
  const int seed = run_.Configuration() ? run_.Configuration()->Seed() : 1;
  for (size_t i = kept; i < rows_.size(); ++i) {
    // Seeds two apart keep every seed of the batch odd when the base seed is. Seeds beyond
    // the range wrap here without fault; such a batch does not start (CanStart).
    const std::int64_t wide = static_cast<std::int64_t>(seed) + 2 * static_cast<std::int64_t>(i);
    const std::int32_t runSeed = static_cast<std::int32_t>(static_cast<std::uint32_t>(wide));
    rows_[i] = BatchRow{static_cast<int>(i) + 1, runSeed, "", "", "", false, false, {}};
  }
  rowsFilledOnce_ = true;
  observer_->RowsRebuilt();
}

void BatchRunner::SetRunRange(int first, int last) {
  if (first < 1 || last < first) first = last = 0;
  firstRun_ = first;
  lastRun_ = last;
}

int BatchRunner::FirstRun() const { return firstRun_ > 0 ? firstRun_ : 1; }

int BatchRunner::LastRun() const {
  return lastRun_ > 0 ? std::min(lastRun_, settings_.NumberOfRuns) : settings_.NumberOfRuns;
}

void BatchRunner::SetRow(const BatchRow& row) {
  if (row.Run < 1 || row.Run > static_cast<int>(rows_.size())) return;
  rows_[row.Run - 1] = row;
  RowChanged(row.Run);
}

std::int32_t LargestBaseSeed(int runs) {
  return static_cast<std::int32_t>(INT32_MAX -
                                   2 * static_cast<std::int64_t>(std::max(runs, 1) - 1));
}

BatchStartProblem CheckBatchStart(const KDConfig& config, const BatchSettings& settings) {
  if (config.DetectorCount() == 0) return BatchStartProblem::NoDetector;
  if (settings.UpToLane < settings.FromLane) return BatchStartProblem::BadLaneRange;
  if (config.Seed() > LargestBaseSeed(settings.NumberOfRuns))
    return BatchStartProblem::SeedsOutOfRange;
  return BatchStartProblem::None;
}

std::string BatchStartProblemText(BatchStartProblem problem, const KDConfig& config,
                                  const BatchSettings& settings, bool question) {
  switch (problem) {
    case BatchStartProblem::None:
      return "";
    case BatchStartProblem::NoDetector:
      return question ? "At least one detector must be created for batch operation.\r\n"
                        "Do you want to place detectors now ?"
                      : "At least one detector must be created for batch operation.";
    case BatchStartProblem::BadLaneRange:
      return "Bad lane range selected";
    case BatchStartProblem::SeedsOutOfRange:
      break;
  }
  const int runs = settings.NumberOfRuns;
  return Format(
      "The random seed %d is too large for a batch of %d runs: the seed of run %d would "
      "exceed %d. The largest random seed for %d runs is %d.",
      config.Seed(), runs, runs, INT32_MAX, runs, static_cast<int>(LargestBaseSeed(runs)));
}

bool BatchRunner::CanStart() const {
  const KDConfig* config = run_.Configuration();
  if (config == nullptr) return false;
  const BatchStartProblem problem = CheckBatchStart(*config, settings_);
  if (problem == BatchStartProblem::None) return true;
  if (problem == BatchStartProblem::NoDetector && questionHost_ != nullptr) {
    Question question{"Error", BatchStartProblemText(problem, *config, settings_, true),
                      QuestionButtons::YesNo};
    if (questionHost_->Ask(question) == Answer::Yes && showDetectorsPage_) showDetectorsPage_();
    return false;
  }
  UserMessage(ReportKind::Error, "Error", BatchStartProblemText(problem, *config, settings_));
  return false;
}

BatchRow* BatchRunner::CurrentRow() {
  int run = run_.State().BatchRun;
  if (run < 1 || run > static_cast<int>(rows_.size())) return nullptr;
  return &rows_[run - 1];
}

void BatchRunner::RowChanged(int run) { observer_->RowChanged(run); }

bool BatchRunner::Start() {
  if (active_ || !CanStart()) return false;
  active_ = true;
  SetNumberOfRuns(settings_.NumberOfRuns, true);
  const int first = FirstRun();
  run_.StartBatchRun(first);
  if (LastRun() >= first) run_.RunLoop();
  const RunState& s = run_.State();
  if (!s.Running && !s.BatchFinished && s.StepCount < 1) {
    // The first step of the run was never made: nothing of this batch remains to resume.
    int run = s.BatchRun;
    run_.LeaveBatch();
    if (run == first && run <= static_cast<int>(rows_.size())) {
      rows_[run - 1].Started.clear();
      rows_[run - 1].Status.clear();
      RowChanged(run);
    }
  }
  run_.Halt();
  active_ = false;
  run_.SetStepCount(s.StepCount);
  return true;
}

bool BatchRunner::Resume() {
  if (active_ || !CanResume()) return false;
  active_ = true;
  run_.Continue();
  if (BatchRow* row = CurrentRow()) {
    row->Finished.clear();
    row->Status = "Resumed ...";
    RowChanged(row->Run);
  }
  run_.RunLoop();
  run_.Halt();
  active_ = false;
  run_.SetStepCount(run_.State().StepCount);
  return true;
}

void BatchRunner::Stop() {
  // Outside a batch run the run stops as the run page's Stop does.
  run_.Stop();
  if (run_.State().BatchRun == 0) return;
  if (BatchRow* row = CurrentRow()) {
    row->Finished = clock_();
    row->Status = "Aborted by user";
    RowChanged(row->Run);
    observer_->RunEnded(*row);
  }
}

bool BatchRunner::CanResume() const {
  const RunState& s = run_.State();
  const KDConfig* config = run_.Configuration();
  return config && config->ChangeStamp() == s.RunChangeStamp && s.BatchRun >= 1 &&
         LastRun() >= s.BatchRun;
}

void BatchRunner::StartBatchRun() {
  owedAtLastOutput_.clear();
  heldBackOrigin_.clear();
  breakdownPeriod_ = -1;
  if (BatchRow* row = CurrentRow()) {
    row->Capacity = CapacityRunFlows();
    row->Failed = false;
    row->Started = clock_();
    row->Status = "Running ...";
    RowChanged(row->Run);
  }
}

std::int32_t BatchRunner::BatchRunSeed() const {
  int run = run_.State().BatchRun;
  if (run < 1 || run > static_cast<int>(rows_.size())) return 0;
  return rows_[run - 1].Seed;
}

void BatchRunner::FinishBatchRun() {
  const RunState& s = run_.State();
  if (BatchRow* row = CurrentRow()) {
    row->Finished = clock_();
    if (s.AbortPeriod < 0)
      row->Status = "Maximum simulation time reached";
    else if (s.AbortPeriod != s.PeriodCount)
      row->Status += ", maximum simulation time reached";
    MeasureCapacityFlows(*row);
    RowChanged(row->Run);
  }
  const KDConfig& config = *run_.Configuration();
  const OutputFileSettings& outputs = run_.Outputs();
  const std::string& current = run_.CurrentFileName();
  std::vector<std::string> unwritten = run_.TakeUnwrittenFiles();
  for (const auto& [name, extended] : {std::pair{&outputs.SimulationResultsFile, false},
                                       std::pair{&outputs.ExtendedResultsFile, true}}) {
    if (name->empty()) continue;
    const std::string resolved = ResolveOutputFileName(*name, current, s.BatchRun);
    if (!WriteSimulationResults(resolved, extended, config, run_.Samples(), &run_.Simulation()))
      unwritten.push_back(resolved);
  }
  if (BatchRow* row = CurrentRow()) {
    if (!unwritten.empty()) {
      NoteUnwrittenFiles(*row, unwritten);
      RowChanged(row->Run);
    }
    observer_->RunEnded(*row);
  }
  run_.FinishBatchRun(LastRun());
}

void BatchRunner::FailBatchRun(const std::string& errorText) {
  if (BatchRow* row = CurrentRow()) {
    row->Finished = clock_();
    row->Status = errorText;
    row->Failed = true;
    NoteUnwrittenFiles(*row, run_.TakeUnwrittenFiles());
    RowChanged(row->Run);
    observer_->RunEnded(*row);
  }
  run_.SkipBatchRun(LastRun());
}

void BatchRunner::TestBatchAbort() {
  BatchRow* row = CurrentRow();
  if (row == nullptr) return;
  WatchOriginSupply();
  if (run_.State().AbortPeriod >= 0)
    ReportHighestFlow(*row);
  else
    TestSpeedDrop(*row);
  RowChanged(row->Run);
}

void BatchRunner::ReportHighestFlow(BatchRow& row) {
  const RunState& s = run_.State();
  const DetectorSampleStore& store = run_.Samples();
  const int detector = settings_.ReportDetector - 1;
  int best = 0;
  int bestPeriod = 0;
  std::string lanes;
  for (int p = s.PeriodCount - 1; p >= 0; --p) {
    const DetectorSample* record = store.Record(p, detector);
    if (record == nullptr) continue;
    const int length = std::max(p == 0 ? s.DetectorStart : s.DetectorRepeat, 1);  // [s]
    int total = 0;
    for (int lane = 0; lane < MAX_KAVROLANE; ++lane) total += record->Count[lane];
    const int flow = total * 3600 / length;  // [veh/h]
    if (flow <= best) continue;              // on equal flows the later period wins
    best = flow;
    bestPeriod = p;
    lanes = " {";
    for (int lane = 0; lane < MAX_KAVROLANE; ++lane)
      lanes += Format(lane == 0 ? "%d" : ", %d", record->Count[lane] * 3600 / length);
  }
  row.Status += Format(", Time %d: Q[%d]=%d veh/h", run_.Configuration()->DetectorTime(bestPeriod),
                       detector + 1, best) +
                lanes + "}";
}

void BatchRunner::TestSpeedDrop(BatchRow& row) {
  const RunState& s = run_.State();
  const DetectorSampleStore& store = run_.Samples();
  int first = 0;
  int last = s.NumDetectors - 1;
  if (settings_.StopDetector >= 1) first = last = settings_.StopDetector - 1;
  for (int d = first; d <= last; ++d) {
    const DetectorSample* record = store.Record(s.PeriodCount - 1, d);
    if (record == nullptr) continue;
    double n = 0;
    double w = 0;
    for (int lane = std::max(settings_.FromLane - 1, 0);
         lane <= std::min(settings_.UpToLane - 1, MAX_KAVROLANE - 1); ++lane) {
      if (record->Speed[lane] <= 0) continue;
      n += record->Count[lane];
      w += record->Count[lane] / static_cast<double>(record->Speed[lane]);
    }
    if (w > 0 && n / w < settings_.DropSpeed) {
      row.Status = Format("Time %d: U[%d]=%4.1f km/h", s.NextDetectorOutput, d + 1, n / w);
      breakdownPeriod_ = s.PeriodCount - 1;
      // With a report detector the run goes on for one more period, whose flow counts too.
      run_.EndBatchRunAtPeriod(settings_.ReportDetector >= 1 ? s.PeriodCount + 1 : s.PeriodCount);
      return;
    }
  }
}

void BatchRunner::WatchOriginSupply() {
  // A vehicle owed at the previous output and still not inserted now waited at its origin for
  // longer than a detector period: the origin, not the road, limits the flow.
  std::vector<OriginSupply> supplies = run_.Simulation().OriginSupplies();
  if (owedAtLastOutput_.size() == supplies.size() && heldBackOrigin_.empty()) {
    for (size_t i = 0; i < supplies.size(); ++i) {
      if (supplies[i].Generated < owedAtLastOutput_[i]) {
        heldBackOrigin_ = supplies[i].Name;
        break;
      }
    }
  }
  owedAtLastOutput_.resize(supplies.size());
  for (size_t i = 0; i < supplies.size(); ++i) owedAtLastOutput_[i] = supplies[i].Owed;
}

void BatchRunner::MeasureCapacityFlows(BatchRow& row) {
  // The flows are taken where the highest flow is reported, else where the drop is watched.
  const int detector =
      (settings_.ReportDetector >= 1 ? settings_.ReportDetector : settings_.StopDetector) - 1;
  CapacityRunFlows& flows = row.Capacity;
  flows = CapacityRunFlows();
  flows.HeldBackOrigin = heldBackOrigin_;
  if (detector < 0) return;
  const RunState& s = run_.State();
  const DetectorSampleStore& store = run_.Samples();
  for (int p = 0; p < s.PeriodCount; ++p) {
    const DetectorSample* record = store.Record(p, detector);
    if (record == nullptr) break;
    const int length = std::max(p == 0 ? s.DetectorStart : s.DetectorRepeat, 1);  // [s]
    int total = 0;
    for (int lane = 0; lane < MAX_KAVROLANE; ++lane) total += record->Count[lane];
    flows.Times.push_back(run_.Configuration()->DetectorTime(p));
    flows.Flows.push_back(total * 3600 / length);
  }
  flows.BreakdownPeriod = breakdownPeriod_;
  flows.Measured = true;
}

bool BatchRunner::SaveResults(const std::string& fileName, const std::string& partLine) const {
  FileReplacement replacement;
  if (!replacement.Open(fileName)) {
    UserMessage(ReportKind::Error, "Error",
                Format("Cannot open file \"%s\" for writing, error code: %s.", fileName.c_str(),
                       replacement.Error().c_str()));
    return false;
  }
  std::FILE* file = replacement.File();
  if (!partLine.empty()) std::fprintf(file, "%s\n", partLine.c_str());
  std::fputs("Run\tSeed\tStarted\tFinished\tStatus\n", file);
  const int rows = static_cast<int>(rows_.size());
  const int last = partLine.empty() ? rows : std::min(LastRun(), rows);
  for (int run = partLine.empty() ? 1 : FirstRun(); run <= last; ++run) {
    const BatchRow& row = rows_[run - 1];
    std::fprintf(file, "%d\t%d\t%s\t%s\t%s\n", row.Run, static_cast<int>(row.Seed),
                 row.Started.c_str(), row.Finished.c_str(), BatchStatusColumns(row.Status).c_str());
  }
  if (!replacement.Commit()) {
    UserMessage(
        ReportKind::Error, "Error",
        Format("Cannot write to file \"%s\": %s.", fileName.c_str(), replacement.Error().c_str()));
    return false;
  }
  return true;
}

std::string BatchRunner::ProposedResultsName() const {
  const std::string& name = run_.CurrentFileName();
  // Only a dot in the file's own name starts an extension, not one in a folder name.
  size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || dot < DirectoryPart(name).size()) return "";
  return name.substr(0, dot + 1) + "kbr";
}
