#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/CommandLine.h"
#include "shell/DetectorSample.h"
#include "shell/RunSimulation.h"
#include "shell/TraceFiles.h"
#include "shell/VehicleTrack.h"

class KDConfig;

// The simulated time of the next detector output when there is none [s].
constexpr int kNoDetectorOutput = 999999999;

// The state of the current run.
struct RunState {
  bool Running = false;  // the run loop is to continue
  int StepCount = 0;     // steps done; 0 = the next step sets a new run up
  int StepsPerSecond = 1;
  int TotalSteps = 0;
  int RunChangeStamp = 0;      // the configuration's change stamp when the run was set up
  int BatchRun = 0;            // number of the current batch run, 0 outside a batch
  bool BatchFinished = false;  // all runs of the last batch completed
  float SpeedDelay = 0;        // wall-clock step durations to wait per step, 0 = none
  int RedrawEvery = 1;         // redraw the traffic every this many steps
  int ScreenDumpEvery = 0;     // write a screen dump every this many steps, 0 = off
  int DetectorStart = 0;       // end of the first detector period [s]
  int DetectorRepeat = 0;      // length of the later detector periods [s]
  int NextDetectorOutput = kNoDetectorOutput;  // [s]
  int PeriodCount = 0;
  int NumDetectors = 0;
  int AbortPeriod = -1;  // period at which a batch run ends early, -1 = none
};

// Where the desktop program follows a run: it redraws, dumps the screen and updates its
// windows. Every hook has an empty default; a batch without a window needs none.
class RunObserver {
 public:
  virtual ~RunObserver() = default;
  virtual void StepCountChanged(int /*stepCount*/) {}
  /// The run is back at its start: the stop time of the configuration [s] is shown again.
  virtual void ShowTerminateTime(int /*seconds*/) {}
  /// The batch progress "Run: %d".
  virtual void BatchProgress(int /*batchRun*/) {}
  /// A run is being set up with this many detectors: open detector graphs start anew.
  virtual void DetectorsSetUp(int /*numDetectors*/) {}
  /// The road of a new run is built: the trajectory and contour windows start anew.
  virtual void RunStarted() {}
  virtual void RedrawVehicles() {}
  virtual void WriteScreenDump(int /*stepCount*/) {}
  /// After every step: vehicle data, trajectory and contour windows.
  virtual void VehiclesSampled(int /*stepCount*/) {}
  virtual void DetectorsSampled(int /*periodCount*/) {}
  /// Lets the user interface handle its pending events.
  virtual void ProcessEvents() {}
  /// Wall-clock time for pacing [s].
  virtual double WallClock() { return 0; }
};

// The batch engine's part in every step of a batch run.
class RunBatchHooks {
 public:
  virtual ~RunBatchHooks() = default;
  /// Start time and "Running ..." of the current run.
  virtual void StartBatchRun() = 0;
  /// The seed of the current run.
  virtual std::int32_t BatchRunSeed() const = 0;
  /// The run is complete: status, result files, and on to the next run or the end.
  virtual void FinishBatchRun() = 0;
  /// The simulation failed: its error text is the run's status; on to the next run.
  virtual void FailBatchRun(const std::string& errorText) = 0;
  /// After each detector output: ends the run early when the speed dropped.
  virtual void TestBatchAbort() = 0;
};

// Runs the simulation of one configuration step by step, with its detector samples, vehicle
// tracks and trace files. It owns its simulation; several controllers may run side by side.
class RunController {
 public:
  RunController(std::unique_ptr<RunSimulation> simulation, OutputFileSettings& outputs);
  ~RunController();

  /// A new or opened configuration: the controller returns to idle, batch run 0.
  void SetConfiguration(const KDConfig* config);
  const KDConfig* Configuration() const { return config_; }
  void SetCurrentFileName(const std::string& name) { currentFileName_ = name; }
  const std::string& CurrentFileName() const { return currentFileName_; }
  void SetObserver(RunObserver* observer) { observer_ = observer ? observer : &noObserver_; }
  void SetBatchHooks(RunBatchHooks* hooks) { batch_ = hooks; }
  /// The check that the lane change areas still match the road (by default that a fresh
  /// generation gives the stored areas); none accepts every road.
  void SetLaneChangeAreaCheck(std::function<bool(const KDConfig&)> check) {
    laneChangeCheck_ = std::move(check);
  }

  /// Another simulation (the external model in DOVEL mode); the controller returns to idle.
  void SetSimulation(std::unique_ptr<RunSimulation> simulation) {
    simulation_ = std::move(simulation);
    SetStepCount(0);
  }

  /// The state of the current run; it changes only through the operations below.
  const RunState& State() const { return state_; }
  const DetectorSampleStore& Samples() const { return samples_; }
  const VehicleTrackList& Tracks() const { return tracks_; }
  const RunSimulation& Simulation() const { return *simulation_; }
  OutputFileSettings& Outputs() { return outputs_; }
  KernelTraceFiles& TraceFiles() { return traces_; }

  void SetStepCount(int n);
  /// One step of the run; sets a run up first when the step count is 0, and ends it at the
  /// stop time or when a batch run aborts.
  void RunOneStep();
  /// Steps while Running, letting the user interface work in between; refuses nesting.
  void RunLoop();
  bool LoopActive() const { return loopActive_; }

  /// Run, Step, Stop and Reset as the run page offers them.
  void Run();
  void Step();
  void Stop();
  void Reset();
  /// Ends the run loop before its next step, without redrawing: a page change, a closing
  /// window, a stop reported in the run.
  void Halt();
  /// Lets RunOneStep make steps; tests drive the run step by step this way.
  void Continue();

  /// The pacing of a run with a window: wall-clock step durations to wait per step (0 = none),
  /// redraw every this many steps, a screen dump every this many steps (0 = none).
  void SetSpeedDelay(float stepDurations);
  void SetRedrawEvery(int steps);
  void SetScreenDumpEvery(int steps);

  // The batch runner's operations on the run.
  /// Starts batch run `run` at step 0 and lets the loop run.
  void StartBatchRun(int run);
  /// The current batch run is complete: batch run `lastRun` ends the batch, finished; an
  /// earlier one goes on to the next run.
  void FinishBatchRun(int lastRun);
  /// The current batch run failed: batch run `lastRun` ends the batch, unfinished; an earlier
  /// one goes on to the next run.
  void SkipBatchRun(int lastRun);
  /// The current batch run ends when detector period `period` is complete.
  void EndBatchRunAtPeriod(int period);
  /// Leaves the batch: batch run 0, stopped.
  void LeaveBatch();

  /// The simulated time of the current step [s].
  float SimulatedTime() const;

  /// The trace files that could not be written completely since the last call.
  std::vector<std::string> TakeUnwrittenFiles();

 private:
  void ScheduleRun();
  bool SetUpSimulation();
  bool SampleDetectors();
  void SampleVehicles();
  /// Ends the trace files of the run: they take their names.
  void CloseOutputFiles();

  std::unique_ptr<RunSimulation> simulation_;
  OutputFileSettings& outputs_;
  const KDConfig* config_ = nullptr;
  std::string currentFileName_;
  RunObserver noObserver_;
  RunObserver* observer_ = &noObserver_;
  RunBatchHooks* batch_ = nullptr;
  std::function<bool(const KDConfig&)> laneChangeCheck_;
  RunState state_;
  DetectorSampleStore samples_;
  VehicleTrackList tracks_;
  int lastSampledStep_ = 0;
  KernelTraceFiles traces_;
  VehicleTraceFile vehicleTrace_;
  bool loopActive_ = false;
};
