#include "shell/BatchRunsParallel.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <thread>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "shell/ConfigLoading.h"
#include "shell/KernelSimulation.h"
#include "shell/RunController.h"

namespace {

// Lowers `stopAt` to `run`: no run after it is started any more, and runs after it that are
// under way end at their next step.
void StopAfter(std::atomic<int>& stopAt, int run) {
  int current = stopAt.load();
  while (run < current && !stopAt.compare_exchange_weak(current, run)) {
  }
}

// Ends the run at its next step once a stop was reported in it or an earlier run ended the
// batch. The run loop asks between two steps, on the run's own thread.
class CancelObserver : public RunObserver {
 public:
  CancelObserver(RunController& run, int number, const std::atomic<int>& stopAt,
                 const bool& stopped)
      : run_(run), number_(number), stopAt_(stopAt), stopped_(stopped) {}
  void ProcessEvents() override {
    if (stopped_ || stopAt_.load() < number_) run_.Halt();
  }

 private:
  RunController& run_;
  int number_;
  const std::atomic<int>& stopAt_;
  const bool& stopped_;
};

// Takes the row of the run when it has ended.
class RowCatcher : public BatchObserver {
 public:
  explicit RowCatcher(BatchRunOutcome& outcome) : outcome_(outcome) {}
  void RunEnded(const BatchRow& row) override {
    outcome_.Row = row;
    outcome_.Ended = true;
  }

 private:
  BatchRunOutcome& outcome_;
};

void MakeRun(const ParallelBatchJob& job, int number, const std::atomic<int>& stopAt,
             BatchRunOutcome& outcome) {
  std::unique_ptr<KDConfig> config;
  ConfigReadResult read =
      LoadCompleteConfigText(job.CurrentFileName, job.ConfigurationText, config);
  if (!read.ok) {
    UserMessage(ReportKind::Error, "Error in Kavro configuration file",
                ConfigErrorText(read.error));
    return;
  }
  LineKernelMessageSink messages(
      [&outcome](const std::string& line) { outcome.MessageLines.push_back(line); });
  // A trace that cannot be opened is switched off in this run's own settings only.
  OutputFileSettings outputs = job.Outputs;
  RunController run(job.MakeSimulation(messages), outputs);
  run.SetConfiguration(config.get());
  run.SetCurrentFileName(job.CurrentFileName);
  CancelObserver cancel(run, number, stopAt, outcome.Stopped);
  run.SetObserver(&cancel);
  BatchRunner batch(run);
  batch.Settings() = job.Settings;
  if (job.Clock) batch.SetClock(job.Clock);
  batch.SetRunRange(number, number);
  RowCatcher catcher(outcome);
  batch.SetObserver(&catcher);
  batch.Start();
}

BatchRunOutcome MakeRunCollectingReports(const ParallelBatchJob& job, int number,
                                         const std::atomic<int>& stopAt) {
  BatchRunOutcome outcome;
  ThreadReportRedirect redirect([&outcome](const Report& report) {
    outcome.Reports.push_back(report);
    if (report.stop) outcome.Stopped = true;
  });
  try {
    MakeRun(job, number, stopAt, outcome);
  } catch (const std::bad_alloc&) {
    outcome.Reports.push_back({ReportKind::FatalError, "Fatal Error", "Out of memory", true});
    outcome.Stopped = true;
  } catch (const std::exception& error) {
    outcome.Reports.push_back({ReportKind::FatalError, "Fatal Error", error.what(), true});
    outcome.Stopped = true;
  }
  return outcome;
}

}  // namespace

int DefaultBatchJobs() {
  const unsigned cores = std::thread::hardware_concurrency();
  return std::clamp(static_cast<int>(cores), 1, kMaxBatchJobs);
}

bool RunParallelBatch(const ParallelBatchJob& job, int first, int last, int jobs,
                      const std::function<void(const BatchRunOutcome&)>& deliver) {
  if (last < first) return true;
  const int count = last - first + 1;
  jobs = std::clamp(jobs, 1, count);
  std::mutex mutex;
  std::condition_variable done;
  std::vector<std::optional<BatchRunOutcome>> outcomes(count);
  std::atomic<int> next{first};
  std::atomic<int> stopAt{INT_MAX};

  auto worker = [&] {
    for (;;) {
      const int number = next++;
      if (number > last || number > stopAt.load()) return;
      BatchRunOutcome outcome = MakeRunCollectingReports(job, number, stopAt);
      if (outcome.Stopped || !outcome.Ended) StopAfter(stopAt, number);
      {
        std::lock_guard<std::mutex> lock(mutex);
        outcomes[number - first] = std::move(outcome);
      }
      done.notify_one();
    }
  };

  bool complete = true;
  {
    std::vector<std::jthread> threads;
    // Should delivering throw, the runs still under way end at their next step before the
    // threads are joined.
    struct CancelOnExit {
      std::atomic<int>& stopAt;
      int first;
      ~CancelOnExit() { StopAfter(stopAt, first - 1); }
    } cancelOnExit{stopAt, first};
    for (int i = 0; i < jobs; ++i) threads.emplace_back(worker);
    for (int number = first; number <= last; ++number) {
      std::unique_lock<std::mutex> lock(mutex);
      done.wait(lock, [&] { return outcomes[number - first].has_value(); });
      BatchRunOutcome outcome = std::move(*outcomes[number - first]);
      outcomes[number - first].reset();
      lock.unlock();
      deliver(outcome);
      if (outcome.Stopped || !outcome.Ended) {
        complete = false;
        break;
      }
    }
  }
  return complete;
}
