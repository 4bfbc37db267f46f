#include <gtest/gtest.h>

#include <vector>

#include "shell/FakeSimulation.h"
#include "shell/RunController.h"
#include "shell/RunTestSupport.h"
#include "support/ReportCapture.h"

TEST(RunControllerSetUp, TotalStepsAndStepsPerSecondFollowTheTimeStep) {
  FakeRun fake(3600);
  fake.config->SetTimeStep(0.5f);
  fake.run.Continue();
  fake.run.RunOneStep();
  EXPECT_EQ(7200, fake.run.State().TotalSteps);
  EXPECT_EQ(2, fake.run.State().StepsPerSecond);
  fake.RunToEnd();
  EXPECT_EQ(7200, fake.run.State().StepCount);
  EXPECT_EQ(7200, fake.simulation->steps);
  EXPECT_FLOAT_EQ(3600.0f, fake.run.SimulatedTime());
}

TEST(RunControllerDetectorOutput, OutputTimesGivePeriods) {
  struct Case {
    int first;
    int repeat;
    int maxTime;
    int periods;
  } cases[] = {
      {120, 120, 600, 5},                    // outputs at 120, 240, ... 600
      {300, 300, 600, 2}, {0, 300, 600, 0},  // a first time of 0 switches detector output off
      {300, 0, 1200, 1},                     // a repeat of 0 gives exactly one period
      {120, 120, 599, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.first << " " << c.repeat << " " << c.maxTime);
    FakeRun fake(c.maxTime, c.first, c.repeat);
    fake.RunToEnd();
    EXPECT_EQ(c.periods, fake.run.State().PeriodCount);
    EXPECT_EQ(c.periods, fake.run.Samples().PeriodCount());
  }
}

TEST(RunControllerDetectorOutput, FirstOutputTimeZeroDisablesOutput) {
  FakeRun fake(600, 0, 300);
  fake.run.Continue();
  fake.run.RunOneStep();
  EXPECT_EQ(kNoDetectorOutput, fake.run.State().NextDetectorOutput);
}

TEST(RunControllerDetectorOutput, SamplesCopyTheKernelPeriodOfEachDetector) {
  FakeRun fake(240);
  fake.simulation->onStep = [](int step, FakeSimulation& sim) {
    if (step == 10) sim.detectors[1].Pass(0, 2, 0, 4, 90.0f, 30.0f);
    if (step == 130) {
      sim.detectors[1].Pass(1, 0, 1, 3, 60.0f);
      sim.detectors[1].At(1).left = 2;
    }
  };
  fake.RunToEnd();
  const DetectorSampleStore& store = fake.run.Samples();
  ASSERT_EQ(2, store.PeriodCount());
  ASSERT_EQ(4, store.NumDetectors());
  const DetectorSample& first = *store.Record(0, 1);
  EXPECT_EQ(4, first.Count[2]);
  EXPECT_FLOAT_EQ(90.0f, first.Speed[2]);
  EXPECT_FLOAT_EQ(120.0f, first.TravelTimeSum[2]);
  EXPECT_EQ(4, first.TravelTimeCount[2]);
  EXPECT_FLOAT_EQ(-1.0f, first.Speed[0]);
  const DetectorSample& second = *store.Record(1, 1);
  EXPECT_EQ(3, second.Count[0]);
  EXPECT_EQ(2, second.LaneChanges);
  EXPECT_EQ(0, second.TravelTimeCount[0]);
  EXPECT_FLOAT_EQ(0.0f, second.TravelTimeSum[0]);
  // Detectors the simulation does not know keep zero records.
  EXPECT_EQ(0, store.Record(1, 3)->Count[0]);
  EXPECT_FLOAT_EQ(0.0f, store.Record(1, 3)->Speed[0]);
}

TEST(RunControllerEdits, AnEditBetweenStepsStartsTheRunAnew) {
  FakeRun fake;
  fake.run.Continue();
  for (int i = 0; i < 5; ++i) fake.run.RunOneStep();
  EXPECT_EQ(5, fake.run.State().StepCount);
  EXPECT_EQ(1, fake.simulation->setups);
  fake.config->SetSeed(fake.config->Seed() + 2);
  fake.run.RunOneStep();
  EXPECT_EQ(2, fake.simulation->setups);
  EXPECT_EQ(1, fake.run.State().StepCount);
  EXPECT_EQ(fake.config->Seed(), fake.simulation->seed);
  EXPECT_EQ(fake.config->ChangeStamp(), fake.run.State().RunChangeStamp);
}

TEST(RunControllerEdits, StepAfterStopContinuesTheSameRun) {
  FakeRun fake;
  fake.run.Step();
  fake.run.Step();
  fake.run.Step();
  EXPECT_EQ(3, fake.run.State().StepCount);
  EXPECT_EQ(1, fake.simulation->setups);
  EXPECT_FALSE(fake.run.State().Running);
}

TEST(RunControllerEnd, CompleteRunIgnoresFurtherStepsUntilReset) {
  FakeRun fake(10);
  fake.RunToEnd();
  EXPECT_EQ(10, fake.run.State().StepCount);
  fake.run.Step();
  EXPECT_EQ(10, fake.run.State().StepCount);
  EXPECT_EQ(10, fake.simulation->steps);
  fake.run.Reset();
  fake.run.Step();
  EXPECT_EQ(1, fake.run.State().StepCount);
  EXPECT_EQ(2, fake.simulation->setups);
}

TEST(RunControllerErrors, RefusedSetUpsReportAndStop) {
  {
    FakeRun fake;
    fake.run.SetLaneChangeAreaCheck([](const KDConfig&) { return false; });
    ReportCapture capture;
    fake.run.Step();
    EXPECT_EQ(
        "Lane change areas do not match road configuration; please re-generate the lane "
        "change areas",
        capture.OnlyText());
    EXPECT_EQ(0, fake.simulation->setups);
    EXPECT_EQ(0, fake.run.State().StepCount);
  }
  {
    // What the kernel's set-up could not build is refused with its reason, never a stop.
    FakeRun fake;
    fake.config->AddLaneChangeArea(0, 12, 100, 50, 0, false);
    ReportCapture capture;
    fake.run.Step();
    EXPECT_EQ("Lane change area 1 of destination " + fake.config->SinkName(0) +
                  " (lane 13, end 100 m) lies in no lane of the road; please re-generate the "
                  "lane change areas",
              capture.OnlyText());
    EXPECT_EQ("Error", capture.Reports()[0].caption);
    EXPECT_FALSE(capture.Reports()[0].stop);
    EXPECT_EQ(0, fake.simulation->setups);
    EXPECT_FALSE(fake.run.State().Running);
  }
  {
    FakeRun fake;
    fake.simulation->setupResult = false;
    ReportCapture capture;
    fake.run.Step();
    EXPECT_TRUE(capture.Empty());  // the kernel reports its own set-up errors
    EXPECT_EQ(0, fake.run.State().StepCount);
  }
}

TEST(RunControllerErrors, KernelFailureStopsAnInteractiveRun) {
  FakeRun fake;
  fake.simulation->failAtStep = 4;
  ReportCapture capture;
  fake.RunToEnd();
  EXPECT_EQ("Error in KAVRO kernel - do not simulate any further!", capture.OnlyText());
  EXPECT_EQ("Error", capture.Reports()[0].caption);
  EXPECT_EQ(3, fake.run.State().StepCount);
  EXPECT_FALSE(fake.run.State().Running);
}

TEST(RunControllerLoop, PacingWaitsForTheWallClock) {
  // A delay of 3 step durations at one step per second: each step waits 3 s of the fake
  // clock, which advances 0.5 s per round of event processing.
  struct Clock : RunObserver {
    double now = 0;
    int events = 0;
    std::vector<double> stepTimes;
    void ProcessEvents() override {
      ++events;
      now += 0.5;
    }
    double WallClock() override { return now; }
    void StepCountChanged(int n) override {
      if (n > static_cast<int>(stepTimes.size())) stepTimes.push_back(now);
    }
  } clock;
  FakeRun fake(3);
  fake.run.SetObserver(&clock);
  fake.run.SetSpeedDelay(3);
  fake.run.Run();
  ASSERT_EQ(3u, clock.stepTimes.size());
  EXPECT_GE(clock.stepTimes[1] - clock.stepTimes[0], 3.0);
  EXPECT_LT(clock.stepTimes[1] - clock.stepTimes[0], 4.0);
}

namespace {

struct TerminateTimes : RunObserver {
  std::vector<int> shown;
  void ShowTerminateTime(int seconds) override { shown.push_back(seconds); }
};

}  // namespace

TEST(RunControllerStepCount, BackToZeroShowsTheStopTimeAndPutsTheLightsToIdle) {
  FakeRun fake(600);
  fake.config->AddTrafficLight("", 1200, 2, 1, 10, 2, 1, 0);
  fake.config->AddLaneDetector("ramp", 1150, 20, 2, 1);
  fake.config->SetLaneDetectorState(0, KDConfig::LANEDETECTOR_OCCUPIED);
  TerminateTimes observer;
  fake.run.SetObserver(&observer);
  fake.config->SetTrafficLightState(0, KDConfig::TRAFFICLIGHT_GREEN);
  fake.run.SetStepCount(5);
  EXPECT_TRUE(observer.shown.empty());
  EXPECT_EQ(fake.config->TrafficLightState(0), KDConfig::TRAFFICLIGHT_GREEN);
  fake.config->SetMaxTime(900);
  const int stamp = fake.config->ChangeStamp();
  fake.run.Reset();
  EXPECT_EQ(observer.shown, std::vector<int>{900});
  EXPECT_EQ(fake.config->TrafficLightState(0), KDConfig::TRAFFICLIGHT_IDLE);
  EXPECT_EQ(fake.config->LaneDetectorState(0), KDConfig::LANEDETECTOR_FREE);
  // The lights' states are no change of the configuration.
  EXPECT_EQ(fake.config->ChangeStamp(), stamp);
  fake.run.SetObserver(nullptr);
}
