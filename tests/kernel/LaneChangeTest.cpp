#include <gtest/gtest.h>

#include <map>

#include "kernel/ExampleRun.h"
#include "kernel/Kernel.h"
#include "kernel/KernelTestSupport.h"
#include "kernel/LaneChangeState.h"
#include "kernel/TestRoad.h"

// Lane change decisions on small roads built by hand, and the manoeuvres on the example roads.

namespace {

// A straight road of `lanes` lanes in one section where every lane change is allowed, at
// 2 steps per second, with a lane change taking `steps` steps.
class LaneRoad {
 public:
  LaneRoad(Kernel& kernel, int lanes, int steps = 3, float length = 5000) : kernel_(kernel) {
    kernel.StartEmptyRun(1, 2, 0, 0, steps);
    kernel.CreateObject(LANE_BOUNDARIES, RO_ENDOFROAD, length, 0);
    boundary_ = kernel.CreateObject(LANE_BOUNDARIES, RO_PHYSBOUNDARY, 0, 0);
    for (int lane = 0; lane < lanes; ++lane)
      boundary_->PhysicalLanes()->SetPhysicalLaneInfo(lane, lane > 0, lane < lanes - 1, false, 1,
                                                      false, 0, 120 * 0.2777777777777778f);
    kernel.AddParamSet(CarParams());
    kernel.AddParamSet(TruckParams());
  }
  RoadObject* Vehicle(int lane, float position, float speed, int type = 0, int id = 1) {
    RoadObject* vehicle = PlaceVehicle(kernel_, lane, position, speed, type, id);
    vehicle->Vehicle()->specificPower = type == 0 ? 80 : 9;
    return vehicle;
  }
  void Steps(int count) {
    for (int i = 0; i < count; ++i) ASSERT_TRUE(kernel_.SimulateStep()) << kernel_.StepCount();
  }
  RoadObject* boundary_;

 private:
  Kernel& kernel_;
};

class LaneChangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kernel_.SetMessageSink(&sink_);
    kernel_.SetTraceSink(KernelTrace::LaneChange, &trace_);
  }
  std::string Errors() const {
    for (const KernelReport& report : sink_.reports)
      if (report.cause != KernelCause::SimulatorWarning) return report.text;
    return "";
  }
  Kernel kernel_;
  RecordingSink sink_;
  StringTraceSink trace_;
};

}  // namespace

TEST_F(LaneChangeTest, StatesRunThroughTheDurationAndAreCountedOnceUpstream) {
  struct Case {
    int start;
    std::vector<int> states;  // after each advance
  } cases[] = {
      {1, {2, 0}},
      {-1, {-2, 0}},
      {11, {12, 10}},
      {-11, {-12, -10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    Kernel kernel;
    kernel.SetMessageSink(&sink_);
    LaneRoad road(kernel, 2, 3);
    RoadObject* detector = kernel.CreateObject(LANE_DETECTORS, RO_DETECTOR, 50, 0);
    kernel.CreateObject(LANE_DETECTORS, RO_DETECTOR, 500, 1);  // downstream: does not count
    RoadObject* vehicle = road.Vehicle(1, 100, 20);
    VehicleInfo& info = *vehicle->Vehicle();
    info.laneChangeState = c.start;
    info.laneChangeProgress = 1;
    for (int expected : c.states) {
      kernel.AdvanceLaneChangeState(vehicle);
      EXPECT_EQ(info.laneChangeState, expected);
    }
    EXPECT_EQ(detector->Detector()->LaneChanges(0), 1);
    EXPECT_EQ(detector->Detector()->LaneChangesLeft(0), c.start < 0 ? 1 : 0);
  }
}

TEST_F(LaneChangeTest, LongDurationsKeepTheKindOfTheChange) {
  // 3 s at 0.1 s steps: 30 steps. A required change stays required and ends completed.
  LaneRoad road(kernel_, 2, 30);
  RoadObject* detector = kernel_.CreateObject(LANE_DETECTORS, RO_DETECTOR, 50, 0);
  RoadObject* vehicle = road.Vehicle(1, 100, 20);
  VehicleInfo& info = *vehicle->Vehicle();
  info.laneChangeState = -11;
  info.laneChangeProgress = 1;
  for (int step = 2; step < 30; ++step) {
    kernel_.AdvanceLaneChangeState(vehicle);
    ASSERT_TRUE(InLaneChange(info.laneChangeState)) << step;
    EXPECT_EQ(info.laneChangeState, -10 - std::min(step, 9));
  }
  kernel_.AdvanceLaneChangeState(vehicle);
  EXPECT_EQ(info.laneChangeState, -10);
  EXPECT_EQ(detector->Detector()->LaneChangesLeft(0), 1);
}

TEST_F(LaneChangeTest, AloneInTheLeftLaneTheDriverKeepsRight) {
  LaneRoad road(kernel_, 2);
  RoadObject* car = road.Vehicle(0, 100, 30);
  road.Steps(1);
  EXPECT_EQ(car->Lane(), 1);
  EXPECT_EQ(car->Vehicle()->laneChangeState, 1);  // voluntary, to the right
  EXPECT_EQ(trace_.text,
            std::string(KernelTraceHeader(KernelTrace::LaneChange)) + "0\t1\t2\t100\t1\t1\n");
  EXPECT_EQ(Errors(), "");
}

TEST_F(LaneChangeTest, ACarOvertakesASlowTruckAndReturnsToTheRight) {
  LaneRoad road(kernel_, 2);
  RoadObject* truck = road.Vehicle(1, 200, 20, 1, 1);
  truck->Vehicle()->acceleration = 0;
  RoadObject* car = road.Vehicle(1, 100, 33, 0, 2);
  bool wasLeft = false, passed = false;
  for (int step = 0; step < 240 && !(passed && car->Lane() == 1); ++step) {
    road.Steps(1);
    if (car->Lane() == 0) wasLeft = true;
    if (car->Position() > truck->Position() + 20) passed = true;
    ASSERT_EQ(FindOverlap(kernel_), "");
  }
  EXPECT_TRUE(wasLeft);
  EXPECT_TRUE(passed);
  EXPECT_EQ(car->Lane(), 1);
  EXPECT_EQ(truck->Lane(), 1);
  auto rows = TraceRows(trace_.text);
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(rows.front()[1] + ">" + rows.front()[2], "2>1");
  EXPECT_EQ(rows.back()[1] + ">" + rows.back()[2], "1>2");
  EXPECT_EQ(Errors(), "");
}

TEST_F(LaneChangeTest, AMergingVehicleWithoutAGapAsksTheFollowerToMakeRoom) {
  LaneRoad road(kernel_, 2);
  // Lane 1 must be left to the left before 600 m.
  KernelBHVSection area;
  area.lane = 1;
  area.end = 600;
  area.requiredLength = 500;
  area.mergeLeft = true;
  area.fullStrength = true;
  for (float& p : area.probability) p = 1;
  kernel_.AddArea(area);
  RoadObject* merging = road.Vehicle(1, 500, 20, 0, 1);
  RoadObject* beside = road.Vehicle(0, 497, 20, 0, 2);  // alongside: no gap
  road.Steps(1);
  EXPECT_EQ(merging->Lane(), 1);
  EXPECT_EQ(beside->Vehicle()->cooperating, 1);
  EXPECT_STREQ(merging->Vehicle()->statusText, "ML -3.00");
  // Making room opens the gap within a few seconds, and the vehicle merges.
  for (int step = 0; step < 40 && merging->Lane() == 1; ++step) road.Steps(1);
  EXPECT_EQ(merging->Lane(), 0);
  EXPECT_EQ(merging->Vehicle()->laneChangeState / 10, -1);  // required, to the left
  EXPECT_EQ(Errors(), "");
}

TEST(LaneChangeAreas, ClosedLaneAppliesWithinItsTimeWindow) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  LaneRoad road(kernel, 2);
  RoadObject* vehicle = road.Vehicle(0, 450, 20);
  KernelBHVSection closure;
  closure.lane = 0;
  closure.end = 500;
  closure.requiredLength = 200;
  closure.mergeLeft = false;
  closure.fullStrength = true;
  closure.timeWindow[0] = 0;
  closure.timeWindow[1] = 100;
  closure.timeWindow[2] = 200;
  struct Case {
    int second;
    bool closed;
  } cases[] = {{0, false}, {99, false}, {100, true}, {150, true}, {199, true}, {200, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.second);
    kernel.SetClock(c.second * 2 + 1, 2);
    EXPECT_EQ(kernel.InRequiredRight(vehicle, &closure), c.closed);
  }
}

TEST(LaneChangeAreas, ZonesAndUrgencies) {
  KernelBHVSection area;
  area.end = 500;
  area.requiredLength = 200;
  area.voluntaryLength = 300;
  struct Case {
    float x, voluntary, required;
  } cases[] = {{0, 0, 0}, {150, 0.5f, 0}, {300, 1, 0}, {400, 1, 0.5f}, {500, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_FLOAT_EQ(Kernel::VoluntaryUrgency(&area, c.x), c.voluntary);
    EXPECT_FLOAT_EQ(Kernel::RequiredUrgency(&area, c.x), c.required);
  }
}

// A vehicle's area is remembered, and so is a search that found none; neither may hide an
// area that applies to it later: further on, in another lane, or added after the search.
TEST(LaneChangeAreas, CurrentAreaFollowsTheVehicleAndNewAreas) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  TestRoad road(kernel, 2000, 3);
  kernel.AddParamSet(CarParams());
  KernelBHVSection area;
  area.lane = 1;
  area.end = 600;
  area.requiredLength = 200;
  area.destination = 1;  // not for the vehicle below (destination 0)
  kernel.AddArea(area);
  RoadObject* vehicle = PlaceVehicle(kernel, 1, 500, 20);
  EXPECT_EQ(kernel.CurrentArea(vehicle), nullptr);
  area.destination = -1;
  area.end = 900;
  const KernelBHVSection* later = kernel.AddArea(area);
  struct Step {
    const char* name;
    float position;
    int lane;
    const KernelBHVSection* expected;
  } steps[] = {
      {"an area added after a search that found none", 500, 1, later},
      {"still in it", 800, 1, later},
      {"past it", 950, 1, nullptr},
      {"further on", 1000, 1, nullptr},
      {"in a lane without areas", 1000, 0, nullptr},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    vehicle->SetPosition(s.position);
    if (s.lane != vehicle->Lane()) vehicle->ChangeLane(s.lane);
    EXPECT_EQ(kernel.CurrentArea(vehicle), s.expected);
  }
  area.lane = 0;
  area.end = 1500;
  const KernelBHVSection* ahead = kernel.AddArea(area);
  EXPECT_EQ(kernel.CurrentArea(vehicle), ahead) << "an area added ahead in the lane";
  EXPECT_TRUE(kernel.ErrorText() == std::nullopt);
}

// ---- The example roads ------------------------------------------------------------------------

namespace {

std::map<std::string, int> MovesBetween(const std::string& trace, float from, float to) {
  std::map<std::string, int> moves;
  for (const auto& row : TraceRows(trace)) {
    float position = std::stof(row[3]);
    if (position >= from && position <= to) ++moves[row[1] + ">" + row[2]];
  }
  return moves;
}

}  // namespace

TEST(LaneChangeExamples, RampTrafficMergesFromTheAccelerationLaneBeforeTheTaperEnds) {
  KDConfig config;
  ASSERT_TRUE(LoadExample("on-ramp-taper.kav", config));
  ExampleRun run;
  ASSERT_TRUE(run.kernel.KAV_setup(config, 1234, ""));
  ASSERT_TRUE(run.Run(600));
  // The ramp joins as lane 3 at 1300 m; its taper ends at 1700 m.
  const std::string& trace = run.Trace(KernelTrace::LaneChange);
  EXPECT_GT(MovesBetween(trace, 1300, 1700)["3>2"], 50);
  EXPECT_EQ(MovesBetween(trace, 0, 1300)["3>2"], 0);
  EXPECT_EQ(MovesBetween(trace, 1700, 4000)["3>2"], 0);
  // The taper is a pair of lanes: nobody keeps right into its narrowing outer lane, where a
  // vehicle could no longer merge and would end at the taper.
  EXPECT_EQ(MovesBetween(trace, 0, 4000)["3>4"], 0);
  EXPECT_EQ(run.CountReports("instead of destination"), 0);
  EXPECT_TRUE(run.reports.reports.empty()) << run.reports.reports[0].text;
}

TEST(LaneChangeExamples, ExitTrafficMovesTowardsTheOffRampAndLeavesThere) {
  KDConfig config;
  ASSERT_TRUE(LoadExample("off-ramp.kav", config));
  ExampleRun run;
  ASSERT_TRUE(run.kernel.KAV_setup(config, 1234, ""));
  ASSERT_TRUE(run.Run(600));
  int exits = 0;
  for (const auto& row : TraceRows(run.Trace(KernelTrace::ODTravelTime))) {
    if (row[2] == "Exit") ++exits;
    EXPECT_EQ(row[1], "Main");
  }
  // 15 % of the traffic leaves; every exit comes from a move into lane 4, which runs from
  // 2000 m to the exit at 2600 m.
  const std::string& trace = run.Trace(KernelTrace::LaneChange);
  EXPECT_GT(exits, 40);
  EXPECT_GE(MovesBetween(trace, 2000, 2600)["3>4"], exits);
  EXPECT_EQ(MovesBetween(trace, 0, 2000)["3>4"] + MovesBetween(trace, 2600, 5000)["3>4"], 0);
  EXPECT_EQ(run.CountReports("instead of destination"), 0);
}

TEST(LaneChangeExamples, ShortTimeStepsKeepRequiredChangesRequired) {
  KDConfig config;
  ASSERT_TRUE(LoadExample("on-ramp-taper.kav", config));
  config.SetTimeStep(0.1f);
  ExampleRun run;
  ASSERT_TRUE(run.kernel.KAV_setup(config, 99, ""));
  ASSERT_EQ(run.kernel.LaneChangeSteps(), 30);
  std::map<int, int> lastState;  // by vehicle id
  int requiredCompleted = 0, requiredTurnedCooperation = 0;
  for (int step = 0; step < 3000; ++step) {
    ASSERT_TRUE(run.kernel.SimulateStep()) << run.kernel.ErrorText().value_or("");
    for (RoadObject* vehicle : VehiclesOnRoad(run.kernel)) {
      int state = vehicle->Vehicle()->laneChangeState;
      int before = lastState[vehicle->Number()];
      if (std::abs(before) > 10 && std::abs(before) < 20) {
        // A completed required change is marked 10 and cleared by the same move.
        if (state == 0) ++requiredCompleted;
        if (state == LCS_COOPERATE) ++requiredTurnedCooperation;
      }
      lastState[vehicle->Number()] = state;
    }
  }
  EXPECT_GT(requiredCompleted, 20);
  EXPECT_EQ(requiredTurnedCooperation, 0);
  EXPECT_GT(TraceRows(run.Trace(KernelTrace::LaneChange)).size(), 50u);
  EXPECT_EQ(run.CountReports("instead of destination"), 0);
}
