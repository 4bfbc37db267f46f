#include "shell/RunController.h"

#include <algorithm>
#include <string>
#include <utility>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "config/RunSetUpCheck.h"
#include "kernel/KernelMath.h"
#include "roadview/LaneChangeGeneration.h"

RunController::RunController(std::unique_ptr<RunSimulation> simulation, OutputFileSettings& outputs)
    : simulation_(std::move(simulation)),
      outputs_(outputs),
      laneChangeCheck_([](const KDConfig& config) { return CheckLaneChangeAreas(config); }) {}

RunController::~RunController() = default;

void RunController::SetConfiguration(const KDConfig* config) {
  config_ = config;
  state_.Running = false;
  state_.BatchRun = 0;
  CloseOutputFiles();
  SetStepCount(0);
}

void RunController::SetStepCount(int n) {
  state_.StepCount = n;
  observer_->StepCountChanged(n);
  if (n != 0 || !config_) return;
  observer_->ShowTerminateTime(config_->MaxTime());
  // The lights wait for the next run and the lane detectors are free; what is so already is
  // left untouched.
  for (int light = 0; light < config_->TrafficLightCount(); ++light)
    if (config_->TrafficLightState(light) != KDConfig::TRAFFICLIGHT_IDLE)
      config_->SetTrafficLightState(light, KDConfig::TRAFFICLIGHT_IDLE);
  for (int detector = 0; detector < config_->LaneDetectorCount(); ++detector)
    if (config_->LaneDetectorState(detector) != KDConfig::LANEDETECTOR_FREE)
      config_->SetLaneDetectorState(detector, KDConfig::LANEDETECTOR_FREE);
}

float RunController::SimulatedTime() const {
  return static_cast<float>(state_.StepCount) / std::max(state_.StepsPerSecond, 1);
}

void RunController::Run() {
  if (loopActive_) return;
  state_.Running = true;
  state_.BatchRun = 0;
  RunLoop();
  SetStepCount(state_.StepCount);
}

void RunController::Step() {
  if (state_.Running) return;
  state_.Running = true;
  state_.BatchRun = 0;
  RunOneStep();
  state_.Running = false;
  SetStepCount(state_.StepCount);
  observer_->RedrawVehicles();
}

void RunController::Stop() {
  state_.Running = false;
  if (state_.BatchRun == 0) observer_->RedrawVehicles();
}

void RunController::Reset() { SetStepCount(0); }

void RunController::Halt() { state_.Running = false; }

void RunController::Continue() { state_.Running = true; }

void RunController::SetSpeedDelay(float stepDurations) { state_.SpeedDelay = stepDurations; }

void RunController::SetRedrawEvery(int steps) { state_.RedrawEvery = steps; }

void RunController::SetScreenDumpEvery(int steps) { state_.ScreenDumpEvery = steps; }

void RunController::StartBatchRun(int run) {
  state_.Running = true;
  state_.BatchRun = run;
  state_.BatchFinished = false;
  SetStepCount(0);
}

void RunController::FinishBatchRun(int lastRun) {
  const int finished = state_.BatchRun++;
  if (finished < lastRun) {
    SetStepCount(0);
  } else {
    state_.Running = false;
    state_.BatchFinished = true;
  }
}

void RunController::SkipBatchRun(int lastRun) {
  ++state_.BatchRun;
  if (lastRun >= state_.BatchRun)
    SetStepCount(0);
  else
    state_.Running = false;
}

void RunController::EndBatchRunAtPeriod(int period) { state_.AbortPeriod = period; }

void RunController::LeaveBatch() {
  state_.BatchRun = 0;
  Stop();
}

void RunController::RunLoop() {
  if (loopActive_) return;
  loopActive_ = true;
  double last = observer_->WallClock();
  while (state_.Running) {
    observer_->ProcessEvents();
    if (state_.SpeedDelay > 0 && state_.BatchRun == 0) {
      // The wait runs from the end of the previous wait, so a step's own time counts.
      double now = observer_->WallClock();
      while (state_.Running && (now - last) * state_.StepsPerSecond < state_.SpeedDelay) {
        observer_->ProcessEvents();
        now = observer_->WallClock();
      }
      last = now;
    }
    RunOneStep();
  }
  loopActive_ = false;
}

// The run's length, step rate and detector output times, from the configuration.
void RunController::ScheduleRun() {
  const KDConfig& config = *config_;
  const double timeStep = config.TimeStep();
  state_.TotalSteps = Truncate(config.MaxTime() / timeStep + 0.1);
  state_.StepsPerSecond = Truncate(1 / timeStep + 0.0001);
  observer_->BatchProgress(state_.BatchRun);
  state_.RunChangeStamp = config.ChangeStamp();
  state_.DetectorStart = config.DetectorTime(0);
  state_.DetectorRepeat = config.DetectorTime(1) - config.DetectorTime(0);
  state_.NextDetectorOutput = state_.DetectorStart >= 1 ? state_.DetectorStart : kNoDetectorOutput;
  state_.PeriodCount = 0;
  state_.NumDetectors = config.DetectorCount();
  observer_->DetectorsSetUp(state_.NumDetectors);
  state_.AbortPeriod = -1;
}

// Checks the configuration and builds the simulation of a new run with its seed.
bool RunController::SetUpSimulation() {
  const KDConfig& config = *config_;
  if (state_.BatchRun > 0 && batch_) batch_->StartBatchRun();
  // The external model has its own entrance and exit; the checks below are the kernel's.
  const bool kernel = ProgramMode() == KAVRO;
  if (kernel && (config.SinkCount() == 0 || config.SourceCount() == 0)) {
    UserMessage(ReportKind::Error, "Error", "Bad Configuration");
    state_.Running = false;
    return false;
  }
  // What the kernel's set-up would meet as a broken precondition (and end the program over)
  // is refused here with the reason.
  if (std::string problem = ProgramMode() == KAVRO ? RunSetUpProblem(config) : "";
      !problem.empty()) {
    UserMessage(ReportKind::Error, "Error", problem);
    state_.Running = false;
    return false;
  }
  if (kernel && laneChangeCheck_ && !laneChangeCheck_(config)) {
    UserMessage(ReportKind::Error, "Error", kLaneChangeAreasMismatch);
    state_.Running = false;
    return false;
  }
  state_.RunChangeStamp = config.ChangeStamp();
  std::string label = state_.BatchRun > 0 ? Format("Batch run %d", state_.BatchRun) : "";
  if (!simulation_->Setup(config, config.Seed(), label)) {
    state_.Running = false;
    return false;
  }
  if (state_.BatchRun > 0 && batch_) simulation_->SetRandomState(batch_->BatchRunSeed());
  observer_->RunStarted();
  return true;
}

void RunController::RunOneStep() {
  if (!config_) return;
  RunState& s = state_;
  if (s.StepCount > 0 && config_->ChangeStamp() != s.RunChangeStamp) {
    // The configuration was edited during the run: the run starts anew.
    SetStepCount(0);
    s.RunChangeStamp = config_->ChangeStamp();
  }
  if (s.StepCount == 0) ScheduleRun();
  const bool complete = s.StepCount >= s.TotalSteps || s.AbortPeriod == s.PeriodCount;
  if (s.StepCount == 0 || complete) CloseOutputFiles();
  if (complete) {
    if (s.BatchRun > 0 && batch_)
      batch_->FinishBatchRun();
    else
      s.Running = false;
    return;
  }
  if (!s.Running) return;
  if (s.StepCount == 0 && !SetUpSimulation()) return;

  traces_.OpenSet(outputs_, currentFileName_, s.BatchRun);
  simulation_->SetTraceSinks(traces_.Sinks());
  if (!simulation_->Step()) {
    if (s.BatchRun > 0 && batch_) {
      CloseOutputFiles();
      batch_->FailBatchRun(simulation_->ErrorText());
      return;
    }
    UserMessage(ReportKind::Error, "Error", "Error in KAVRO kernel - do not simulate any further!");
    s.Running = false;
    observer_->RedrawVehicles();
    return;
  }
  SetStepCount(s.StepCount + 1);
  const bool inBatch = s.BatchRun > 0;
  const bool dumpDue = s.ScreenDumpEvery > 0 && s.StepCount % s.ScreenDumpEvery == 0;
  if (!inBatch && (s.StepCount % std::max(s.RedrawEvery, 1) == 0 || dumpDue)) {
    observer_->RedrawVehicles();
    if (dumpDue) observer_->WriteScreenDump(s.StepCount);
  }
  SampleVehicles();
  observer_->VehiclesSampled(s.StepCount);
  if (s.StepCount * static_cast<double>(config_->TimeStep()) >= s.NextDetectorOutput &&
      s.NumDetectors >= 1) {
    if (!SampleDetectors()) return;
    if (inBatch && batch_) batch_->TestBatchAbort();
    s.NextDetectorOutput =
        s.DetectorRepeat < 1 ? kNoDetectorOutput : s.NextDetectorOutput + s.DetectorRepeat;
  }
}

void RunController::CloseOutputFiles() {
  traces_.CloseAll();
  simulation_->SetTraceSinks({});
  vehicleTrace_.Finish();
}

std::vector<std::string> RunController::TakeUnwrittenFiles() {
  std::vector<std::string> names = traces_.TakeUnwrittenFiles();
  for (std::string& name : vehicleTrace_.TakeUnwrittenFiles()) names.push_back(std::move(name));
  return names;
}

bool RunController::SampleDetectors() {
  RunState& s = state_;
  if (s.PeriodCount == 0) samples_.StartRun(s.NumDetectors);
  if (!samples_.AddPeriod()) {
    UserMessage(ReportKind::Error, "Error", "SampleDetectors: Out of Memory");
    s.Running = false;
    s.NextDetectorOutput = kNoDetectorOutput;
    return false;
  }
  ++s.PeriodCount;
  const int period = s.PeriodCount - 1;
  for (int k = 0; k < s.NumDetectors; ++k) {
    const DetectorQueries* detector = simulation_->Detector(k);
    if (detector == nullptr) continue;  // a detector the simulation lacks keeps a zero record
    DetectorSample& record = *samples_.Record(period, k);
    record.LaneChanges = detector->LaneChanges(period);
    for (int lane = 0; lane < MAX_KAVROLANE; ++lane) {
      record.Count[lane] = detector->VehicleCount(period, lane, -1);
      record.Speed[lane] = detector->HarmonicSpeed(period, lane, -1);
      record.TravelTimeCount[lane] = detector->TravelTimeCount(period, lane, -1);
      // Beyond the recorded periods the sum reads -1; the record holds no travel times then.
      record.TravelTimeSum[lane] =
          record.TravelTimeCount[lane] > 0 ? detector->TravelTimeSum(period, lane, -1) : 0;
    }
  }
  observer_->DetectorsSampled(s.PeriodCount);
  return true;
}

void RunController::SampleVehicles() {
  RunState& s = state_;
  if (s.StepCount == 1) {
    tracks_.Clear();
    lastSampledStep_ = 0;
  }
  if (s.StepCount != lastSampledStep_ + 1) return;
  const bool tracing = !outputs_.VehicleTraceFile.empty();
  if (s.BatchRun > 0 && !tracing) return;
  lastSampledStep_ = s.StepCount;
  if (tracing)
    vehicleTrace_.OpenForStep(
        ResolveOutputFileName(outputs_.VehicleTraceFile, currentFileName_, s.BatchRun), s.StepCount,
        outputs_.VehicleTraceInterval);
  const float time = SimulatedTime();
  for (const VehicleSnapshot& vehicle :
       simulation_->Vehicles(config_->LanesUsed(), vehicleTrace_.IsOpen())) {
    if (!tracks_.Add(s.StepCount, vehicle.Number, vehicle.Type, vehicle.Position,
                     vehicle.KeepsDistance, vehicle.Lane)) {
      vehicleTrace_.Close();
      Deliver({ReportKind::Error, "Error", "SampleVehicles: Out of memory", true});
      s.Running = false;
      return;
    }
    vehicleTrace_.WriteVehicle(time, vehicle);
  }
  vehicleTrace_.Close();
}
