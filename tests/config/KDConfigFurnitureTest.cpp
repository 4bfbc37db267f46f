#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "config/RoadTypes.h"
#include "support/ExpectRejected.h"
#include "support/ProgramModeGuard.h"
#include "support/ReportCapture.h"
#include "support/TestRoads.h"

namespace {

// Everything a rejected furniture call could have touched.
struct Furniture {
  int stamp = 0;
  std::vector<int> detectors;
  int firstTime = 0;
  int interval = 0;
  std::vector<std::vector<int>> lights;  // position, lane, number, state, times
  std::vector<std::string> lightControllers;
  std::vector<std::vector<int>> laneDetectors;
  std::vector<int> closedArea;

  bool operator==(const Furniture&) const = default;
};

Furniture Snapshot(const KDConfig& c) {
  Furniture f;
  f.stamp = c.ChangeStamp();
  for (int n = 0; n < c.DetectorCount(); ++n) f.detectors.push_back(c.DetectorPosition(n));
  f.firstTime = c.DetectorTime(0);
  f.interval = c.DetectorTime(1) - c.DetectorTime(0);
  for (int n = 0; n < c.TrafficLightCount(); ++n) {
    f.lights.push_back({c.TrafficLightPosition(n), c.TrafficLightLane(n), c.TrafficLightNumber(n),
                        c.TrafficLightState(n), c.TrafficLightCycleTime(n),
                        c.TrafficLightGreenTime(n), c.TrafficLightYellowTime(n),
                        c.TrafficLightStartOffset(n)});
    f.lightControllers.push_back(c.TrafficLightController(n));
  }
  for (int n = 0; n < c.LaneDetectorCount(); ++n)
    f.laneDetectors.push_back({c.LaneDetectorPosition(n), c.LaneDetectorLength(n),
                               c.LaneDetectorLane(n), c.LaneDetectorNumber(n),
                               c.LaneDetectorState(n)});
  const auto a = c.TempClosedArea();
  f.closedArea = {a.lane, a.end, a.length, a.voluntaryLength, a.t1, a.t2, a.t3};
  return f;
}

void AddFixedLight(KDConfig& c, int position, int lane = 0) {
  c.AddTrafficLight("", position, lane, c.TrafficLightCount(), 90, 30, 3, 0);
}

// Runs `call` and expects exactly one stop with `text` and an unchanged configuration.
template <typename Call>
void ExpectRejected(KDConfig& c, const std::string& text, Call call) {
  ::ExpectRejected(
      text, [&c] { return Snapshot(c); }, call);
}

}  // namespace

TEST(KDConfigFurnitureDefaults, NewConfigurationHasOnlyDetectorTimes) {
  KDConfig c;
  EXPECT_EQ(c.DetectorCount(), 0);
  EXPECT_EQ(c.DetectorTime(0), 300);
  EXPECT_EQ(c.DetectorTime(1), 600);
  EXPECT_EQ(c.TrafficLightCount(), 0);
  EXPECT_EQ(c.LaneDetectorCount(), 0);
  EXPECT_FALSE(c.TempClosedArea().Exists());
  EXPECT_EQ(c.TeleportCount(true), 0);
  EXPECT_EQ(c.TeleportCount(false), 0);
  EXPECT_EQ(c.TeleportRecord(true, 0).section, -1);
}

TEST(KDConfigDetectors, KeptInDescendingPositionWithDetectorZeroDownstream) {
  KDConfig c;
  for (int p : {3000, 1000, 2000}) c.AddDetector(p);
  EXPECT_EQ(DetectorPositions(c), (std::vector<int>{3000, 2000, 1000}));
  c.AddDetector(4999);
  c.AddDetector(1);
  EXPECT_EQ(DetectorPositions(c), (std::vector<int>{4999, 3000, 2000, 1000, 1}));
  c.DeleteDetector(0);
  EXPECT_EQ(DetectorPositions(c), (std::vector<int>{3000, 2000, 1000, 1}));
  c.DeleteDetector(3);
  EXPECT_EQ(DetectorPositions(c), (std::vector<int>{3000, 2000, 1000}));
  EXPECT_EQ(c.DetectorPosition(3), -1);
  EXPECT_EQ(c.DetectorPosition(-1), -1);
}

TEST(KDConfigDetectors, EveryAddAndDeleteIsAChange) {
  KDConfig c;
  int stamp = c.ChangeStamp();
  c.AddDetector(2500);
  EXPECT_GT(c.ChangeStamp(), stamp);
  stamp = c.ChangeStamp();
  c.DeleteDetector(0);
  EXPECT_GT(c.ChangeStamp(), stamp);
}

TEST(KDConfigAddDetector, RejectsPositionOutsideRoad) {
  KDConfig c;
  c.AddDetector(2000);
  for (int position : {0, -1, 5000, 5001, INT_MIN}) {
    SCOPED_TRACE(position);
    EXPECT_FALSE(c.DetectorPositionValid(position));
    ExpectRejected(c, Format("KDConfig::AddDetector: bad Distance: %d", position),
                   [&] { c.AddDetector(position); });
  }
}

TEST(KDConfigAddDetector, RejectsPositionOfExistingDetector) {
  KDConfig c;
  c.AddDetector(3000);
  c.AddDetector(2000);
  c.AddDetector(1000);
  EXPECT_FALSE(c.DetectorPositionValid(2000));
  EXPECT_TRUE(c.DetectorPositionValid(2001));
  ExpectRejected(c, "KDConfig::AddDetector: Distance 2000 collides with existing detector 1",
                 [&] { c.AddDetector(2000); });
}

TEST(KDConfigDeleteDetector, RejectsBadNumber) {
  KDConfig c;
  c.AddDetector(2000);
  for (int n : {-1, 1, 7}) {
    SCOPED_TRACE(n);
    ExpectRejected(c, Format("KDConfig::DeleteDetector: bad DetectorNo: %d", n),
                   [&] { c.DeleteDetector(n); });
  }
}

TEST(KDConfigAddDetector, DovelModeHoldsAtMostTenDetectorsPerSection) {
  ScopedProgramMode mode(DOVEL);
  KDConfig c;
  c.InsertBoundary(2500);
  for (int i = 0; i < 10; ++i) c.AddDetector(2600 + 100 * i);
  const Furniture full = Snapshot(c);
  ReportCapture capture;
  c.AddDetector(4000 + 50);
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(Snapshot(c), full);
  // A boundary belongs to the downstream section, which is full.
  c.AddDetector(2500);
  EXPECT_EQ(c.DetectorCount(), 10);
  c.AddDetector(2499);
  EXPECT_EQ(c.DetectorCount(), 11);
  EXPECT_EQ(c.DetectorPosition(10), 2499);
}

TEST(KDConfigDetectorTimes, PeriodEndsFollowFirstTimeAndInterval) {
  KDConfig c;
  c.SetDetectorTimes(60, 120);
  EXPECT_EQ(c.DetectorTime(0), 60);
  EXPECT_EQ(c.DetectorTime(2), 300);
  EXPECT_EQ(c.DetectorTime(-1), -1);
  c.SetDetectorTimes(0, 0);
  EXPECT_EQ(c.DetectorTime(5), 0);
  c.SetDetectorTimes(INT_MAX - 10, 3600);
  EXPECT_EQ(c.DetectorTime(INT_MAX), INT_MAX);
}

TEST(KDConfigDetectorTimes, RejectsNegativeTimes) {
  KDConfig c;
  const int cases[][2] = {{-1, 300}, {300, -1}, {-5, -6}};
  for (const auto& t : cases) {
    SCOPED_TRACE(testing::Message() << t[0] << " " << t[1]);
    ExpectRejected(
        c, Format("KDConfig::SetDetectorTimes: bad FirstTime (%d) or DeltaTime (%d)", t[0], t[1]),
        [&] { c.SetDetectorTimes(t[0], t[1]); });
  }
}

TEST(KDConfigTrafficLight, FixedTimeAndControllerRules) {
  struct Case {
    const char* what;
    std::string controller;
    int position, lane, cycle, green, yellow, offset;
    bool valid;
  };
  const std::string longName(201, 'c');
  const std::string maxName(200, 'c');
  const Case cases[] = {
      {"green + yellow equal to cycle", "", 1000, 0, 44, 40, 4, 0, false},
      {"green + yellow below cycle", "", 1000, 0, 45, 40, 4, 0, true},
      {"no green", "", 1000, 0, 45, 0, 4, 0, false},
      {"no yellow", "", 1000, 0, 45, 40, 0, 0, false},
      {"negative offset", "", 1000, 0, 90, 30, 3, -1, false},
      {"large offset", "", 1000, 0, 90, 30, 3, 100000, true},
      {"controller with zero times", "RampMeter", 1000, 0, 0, 0, 0, 0, true},
      {"controller with a cycle", "RampMeter", 1000, 0, 90, 0, 0, 0, false},
      {"controller with an offset", "RampMeter", 1000, 0, 0, 0, 0, 5, false},
      {"controller name of 200 characters", maxName, 1000, 0, 0, 0, 0, 0, true},
      {"controller name of 201 characters", longName, 1000, 0, 0, 0, 0, 0, false},
      {"at the road start", "", 0, 0, 90, 30, 3, 0, true},
      {"at the road end", "", 5000, 0, 90, 30, 3, 0, true},
      {"before the road", "", -1, 0, 90, 30, 3, 0, false},
      {"beyond the road", "", 5001, 0, 90, 30, 3, 0, false},
      {"last lane", "", 1000, 11, 90, 30, 3, 0, true},
      {"lane 12", "", 1000, 12, 90, 30, 3, 0, false},
      {"lane -1", "", 1000, -1, 90, 30, 3, 0, false},
      {"times that overflow", "", 1000, 0, INT_MAX, INT_MAX, INT_MAX, 0, false},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.what);
    KDConfig c;
    AddFixedLight(c, 200);
    EXPECT_EQ(
        c.TrafficLightValid(t.controller, t.position, t.lane, t.cycle, t.green, t.yellow, t.offset),
        t.valid);
    const std::string text = Format(
        "KDConfig::ModifyTrafficLight: TrafficLightNo = %d Controller=\"%s\", "
        "Position=%d, Lane=%d",
        1, t.controller.c_str(), t.position, t.lane);
    auto add = [&] {
      c.AddTrafficLight(t.controller, t.position, t.lane, 9, t.cycle, t.green, t.yellow, t.offset);
    };
    if (!t.valid) {
      // A refused light leaves no record behind.
      ExpectRejected(c, text, add);
      ExpectRejected(c,
                     Format("KDConfig::ModifyTrafficLight: TrafficLightNo = %d "
                            "Controller=\"%s\", Position=%d, Lane=%d",
                            0, t.controller.c_str(), t.position, t.lane),
                     [&] {
                       c.ModifyTrafficLight(0, t.controller, t.position, t.lane, 9, t.cycle,
                                            t.green, t.yellow, t.offset);
                     });
      continue;
    }
    ReportCapture capture;
    add();
    EXPECT_TRUE(capture.Empty());
    ASSERT_EQ(c.TrafficLightCount(), 2);
    EXPECT_EQ(c.TrafficLightController(1), t.controller);
    EXPECT_EQ(c.TrafficLightPosition(1), t.position);
    EXPECT_EQ(c.TrafficLightLane(1), t.lane);
    EXPECT_EQ(c.TrafficLightNumber(1), 9);
    EXPECT_EQ(c.TrafficLightCycleTime(1), t.cycle);
    EXPECT_EQ(c.TrafficLightGreenTime(1), t.green);
    EXPECT_EQ(c.TrafficLightYellowTime(1), t.yellow);
    EXPECT_EQ(c.TrafficLightStartOffset(1), t.offset);
    EXPECT_EQ(c.TrafficLightState(1), KDConfig::TRAFFICLIGHT_IDLE);
  }
}

TEST(KDConfigTrafficLight, ModifyRejectsBadNumber) {
  KDConfig c;
  AddFixedLight(c, 1000);
  for (int n : {-1, 1}) {
    SCOPED_TRACE(n);
    ExpectRejected(c,
                   Format("KDConfig::ModifyTrafficLight: TrafficLightNo = %d Controller=\"\", "
                          "Position=1500, Lane=1",
                          n),
                   [&] { c.ModifyTrafficLight(n, "", 1500, 1, 0, 90, 30, 3, 0); });
  }
}

TEST(KDConfigTrafficLight, StateChangesAreNoChangeOfTheConfiguration) {
  KDConfig c;
  AddFixedLight(c, 1000);
  const int stamp = c.ChangeStamp();
  for (int state : {201, 202, 203, 200}) {
    c.SetTrafficLightState(0, state);
    EXPECT_EQ(c.TrafficLightState(0), state);
  }
  EXPECT_EQ(c.ChangeStamp(), stamp);
  c.SetTrafficLightState(0, KDConfig::TRAFFICLIGHT_GREEN);
  // Any modification makes the light idle again.
  c.ModifyTrafficLight(0, "", 1200, 2, 4, 60, 20, 3, 5);
  EXPECT_EQ(c.TrafficLightState(0), KDConfig::TRAFFICLIGHT_IDLE);
  EXPECT_GT(c.ChangeStamp(), stamp);
}

TEST(KDConfigTrafficLight, SetStateRejectsBadNumberOrState) {
  KDConfig c;
  AddFixedLight(c, 1000);
  const int cases[][2] = {{0, 199}, {0, 204}, {1, 201}, {-1, 201}};
  for (const auto& t : cases) {
    SCOPED_TRACE(testing::Message() << t[0] << " " << t[1]);
    ExpectRejected(c,
                   Format("KDConfig::TrafficLightController: bad TrafficLightNo=%d allowed range "
                          "is 0..0, or bad NewState=%d",
                          t[0], t[1]),
                   [&] { c.SetTrafficLightState(t[0], t[1]); });
  }
}

TEST(KDConfigTrafficLight, AccessorsRejectBadNumberWithTheirOwnName) {
  KDConfig c;
  AddFixedLight(c, 1000);
  AddFixedLight(c, 2000);
  struct Accessor {
    const char* name;
    std::function<void(int)> call;
  };
  const Accessor accessors[] = {
      {"TrafficLightController", [&](int n) { c.TrafficLightController(n); }},
      {"TrafficLightPosition", [&](int n) { c.TrafficLightPosition(n); }},
      {"TrafficLightLane", [&](int n) { c.TrafficLightLane(n); }},
      {"TrafficLightNumber", [&](int n) { c.TrafficLightNumber(n); }},
      {"TrafficLightState", [&](int n) { c.TrafficLightState(n); }},
      {"TrafficLightCycleTime", [&](int n) { c.TrafficLightCycleTime(n); }},
      {"TrafficLightGreenTime", [&](int n) { c.TrafficLightGreenTime(n); }},
      {"TrafficLightYellowTime", [&](int n) { c.TrafficLightYellowTime(n); }},
      {"TrafficLightStartOffset", [&](int n) { c.TrafficLightStartOffset(n); }},
      {"DeleteTrafficLight", [&](int n) { c.DeleteTrafficLight(n); }},
  };
  for (const Accessor& a : accessors) {
    for (int n : {-1, 2}) {
      SCOPED_TRACE(testing::Message() << a.name << " " << n);
      ExpectRejected(c,
                     Format("KDConfig::%s: bad TrafficLightNo=%d allowed range is 0..1", a.name, n),
                     [&] { a.call(n); });
    }
  }
}

TEST(KDConfigTrafficLight, DeleteRenumbersTheLaterLights) {
  KDConfig c;
  for (int p : {1000, 2000, 3000}) AddFixedLight(c, p);
  const int stamp = c.ChangeStamp();
  c.DeleteTrafficLight(0);
  EXPECT_EQ(LightPositions(c), (std::vector<int>{2000, 3000}));
  EXPECT_GT(c.ChangeStamp(), stamp);
}

TEST(KDConfigLaneDetector, Rules) {
  struct Case {
    const char* what;
    std::string controller;
    int position, length, lane;
    bool valid;
  };
  const Case cases[] = {
      {"starting before the road", "C1", 40, 50, 0, false},
      {"starting at the road start", "C1", 50, 50, 0, true},
      {"ending at the road end", "C1", 5000, 20, 11, true},
      {"ending beyond the road", "C1", 5001, 20, 0, false},
      {"zero length", "C1", 100, 0, 0, false},
      {"negative length", "C1", 100, -10, 0, false},
      {"lane 12", "C1", 100, 10, 12, false},
      {"lane -1", "C1", 100, 10, -1, false},
      {"no controller", "", 100, 10, 0, false},
      {"controller name of 201 characters", std::string(201, 'x'), 100, 10, 0, false},
      {"length that overflows", "C1", INT_MIN + 5, INT_MAX, 0, false},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.what);
    KDConfig c;
    EXPECT_EQ(c.LaneDetectorValid(t.controller, t.position, t.length, t.lane), t.valid);
    auto add = [&] { c.AddLaneDetector(t.controller, t.position, t.length, t.lane, 3); };
    if (!t.valid) {
      ExpectRejected(c,
                     Format("KDConfig::AddLaneDetector: Controller=\"%s\", Position=%d, "
                            "Length=%d, Lane=%d",
                            t.controller.c_str(), t.position, t.length, t.lane),
                     add);
      continue;
    }
    const int stamp = c.ChangeStamp();
    add();
    ASSERT_EQ(c.LaneDetectorCount(), 1);
    EXPECT_GT(c.ChangeStamp(), stamp);
    EXPECT_EQ(c.LaneDetectorController(0), t.controller);
    EXPECT_EQ(c.LaneDetectorPosition(0), t.position);
    EXPECT_EQ(c.LaneDetectorLength(0), t.length);
    EXPECT_EQ(c.LaneDetectorLane(0), t.lane);
    EXPECT_EQ(c.LaneDetectorNumber(0), 3);
    EXPECT_EQ(c.LaneDetectorState(0), KDConfig::LANEDETECTOR_FREE);
  }
}

TEST(KDConfigLaneDetector, StateIsSetWithoutChangeAndChecked) {
  KDConfig c;
  c.AddLaneDetector("C1", 1000, 20, 1, 0);
  const int stamp = c.ChangeStamp();
  c.SetLaneDetectorState(0, KDConfig::LANEDETECTOR_OCCUPIED);
  EXPECT_EQ(c.LaneDetectorState(0), 301);
  EXPECT_EQ(c.ChangeStamp(), stamp);
  const int cases[][2] = {{0, 302}, {0, 299}, {1, 300}, {-1, 301}};
  for (const auto& t : cases) {
    SCOPED_TRACE(testing::Message() << t[0] << " " << t[1]);
    ExpectRejected(
        c,
        Format("KDConfig::SetLaneDetectorState: bad LaneDetectorNo=%d or Newstate=%d", t[0], t[1]),
        [&] { c.SetLaneDetectorState(t[0], t[1]); });
  }
}

TEST(KDConfigLaneDetector, AccessorsRejectBadNumberWithTheirOwnName) {
  KDConfig c;
  c.AddLaneDetector("C1", 1000, 20, 1, 0);
  struct Accessor {
    const char* name;
    std::function<void(int)> call;
  };
  const Accessor accessors[] = {
      {"LaneDetectorController", [&](int n) { c.LaneDetectorController(n); }},
      {"LaneDetectorPosition", [&](int n) { c.LaneDetectorPosition(n); }},
      {"LaneDetectorLength", [&](int n) { c.LaneDetectorLength(n); }},
      {"LaneDetectorLane", [&](int n) { c.LaneDetectorLane(n); }},
      {"LaneDetectorNumber", [&](int n) { c.LaneDetectorNumber(n); }},
      {"LaneDetectorState", [&](int n) { c.LaneDetectorState(n); }},
  };
  for (const Accessor& a : accessors) {
    SCOPED_TRACE(a.name);
    ExpectRejected(c, Format("KDConfig::%s: bad LaneDetectorNo=1 allowed range is 0..0", a.name),
                   [&] { a.call(1); });
  }
}

TEST(KDConfigTempClosedArea, LaneIsClosedBeforeT1AndBetweenT2AndT3) {
  KDConfig c;
  c.SetTempClosedArea(2, 3000, 300, 200, 600, 1200, 1800);
  const auto area = c.TempClosedArea();
  EXPECT_TRUE(area.Exists());
  const int closed[] = {0, 599, 1200, 1799};
  const int open[] = {600, 1199, 1800, 100000};
  for (int t : closed) EXPECT_TRUE(area.ClosedAt(t)) << t;
  for (int t : open) EXPECT_FALSE(area.ClosedAt(t)) << t;

  c.SetTempClosedArea(2, 3000, 300, 200, 0, 1200, 1800);
  EXPECT_FALSE(c.TempClosedArea().ClosedAt(0));
  EXPECT_TRUE(c.TempClosedArea().ClosedAt(1500));
}

TEST(KDConfigTempClosedArea, StoresTheSevenValuesAndCanBeRemoved) {
  KDConfig c;
  int stamp = c.ChangeStamp();
  c.SetTempClosedArea(1, 5000, 4000, 1000, 0, 1, 2);
  const auto area = c.TempClosedArea();
  EXPECT_EQ((std::vector<int>{area.lane, area.end, area.length, area.voluntaryLength, area.t1,
                              area.t2, area.t3}),
            (std::vector<int>{1, 5000, 4000, 1000, 0, 1, 2}));
  EXPECT_GT(c.ChangeStamp(), stamp);
  stamp = c.ChangeStamp();
  c.SetTempClosedArea(0, 0, 0, 0, 0, 0, 0);
  EXPECT_FALSE(c.TempClosedArea().Exists());
  EXPECT_GT(c.ChangeStamp(), stamp);
}

TEST(KDConfigTempClosedArea, RejectsAreasTheRoadCannotHold) {
  struct Case {
    const char* what;
    KDConfig::TempClosedAreaInfo a;
  };
  const Case cases[] = {
      {"lane 12", {12, 3000, 300, 200, 600, 1200, 1800}},
      {"lane -1", {-1, 3000, 300, 200, 600, 1200, 1800}},
      {"starts before the road", {0, 400, 300, 200, 600, 1200, 1800}},
      {"ends beyond the road", {0, 5001, 300, 200, 600, 1200, 1800}},
      {"negative length", {0, 3000, -1, 200, 600, 1200, 1800}},
      {"negative voluntary length", {0, 3000, 300, -1, 600, 1200, 1800}},
      {"negative T1", {0, 3000, 300, 200, -1, 1200, 1800}},
      {"T1 equal to T2", {0, 3000, 300, 200, 1200, 1200, 1800}},
      {"T2 equal to T3", {0, 3000, 300, 200, 600, 1800, 1800}},
      {"negative end", {0, -100, 0, 0, 600, 1200, 1800}},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.what);
    KDConfig c;
    c.SetTempClosedArea(3, 2000, 100, 100, 10, 20, 30);
    EXPECT_FALSE(c.TempClosedAreaValid(t.a));
    const auto& a = t.a;
    ExpectRejected(
        c,
        Format("KDConfig::SetTempClosedArea: bad Lane=%d, End=%d, Length=%d, "
               "VoluntaryLength=%d, T1=%d, T2=%d, T3=%d",
               a.lane, a.end, a.length, a.voluntaryLength, a.t1, a.t2, a.t3),
        [&] { c.SetTempClosedArea(a.lane, a.end, a.length, a.voluntaryLength, a.t1, a.t2, a.t3); });
  }
}

TEST(KDConfigSetSectionLength, ShorteningMovesLightsDownstreamAndKeepsDetectors) {
  KDConfig c;
  c.InsertBoundary(2000);  // section 0: 2000 .. 5000, section 1: 0 .. 2000
  for (int p : {1500, 1950, 2000, 3000, 4950}) AddFixedLight(c, p);
  for (int p : {1950, 3000, 4950}) c.AddDetector(p);
  c.SetSectionLength(1, 1900);
  // The lights at or past the old end of section 1 travel 100 m upstream with it; the one
  // in the last 100 m of the road stays on the road.
  EXPECT_EQ(LightPositions(c), (std::vector<int>{1500, 1950, 1900, 2900, 4850}));
  // Detectors keep their absolute positions; one beyond the new end is gone.
  EXPECT_EQ(c.Length(), 4900);
  EXPECT_EQ(DetectorPositions(c), (std::vector<int>{3000, 1950}));
}

TEST(KDConfigSetSectionLength, ShorteningTheLastSectionDeletesLightsBeyondTheNewEnd) {
  KDConfig c;
  c.InsertBoundary(2000);
  for (int p : {3000, 4900, 4901, 4999, 5000}) AddFixedLight(c, p);
  c.SetSectionLength(0, 2900);
  EXPECT_EQ(c.Length(), 4900);
  // 5000 was at the end of the section and moves with it to the new end.
  EXPECT_EQ(LightPositions(c), (std::vector<int>{3000, 4900, 4900}));
}

TEST(KDConfigSetSectionLength, LengtheningMovesLightsAtOrPastTheEnd) {
  KDConfig c;
  c.InsertBoundary(2000);
  for (int p : {1999, 2000, 4000}) AddFixedLight(c, p);
  c.AddDetector(4000);
  c.SetSectionLength(1, 2500);
  EXPECT_EQ(LightPositions(c), (std::vector<int>{1999, 2500, 4500}));
  EXPECT_EQ(DetectorPositions(c), (std::vector<int>{4000}));
}

TEST(KDConfigDeleteBoundary, RemovingTheLastSectionRemovesFurnitureBeyondTheNewEnd) {
  KDConfig c;
  c.InsertBoundary(3000);  // section 0: 3000 .. 5000, section 1: 0 .. 3000
  for (int p : {4000, 3000, 2999, 1000}) c.AddDetector(p);
  for (int p : {1000, 3000, 3001}) AddFixedLight(c, p);
  c.AddLaneDetector("C", 2990, 10, 0, 0);
  c.AddLaneDetector("C", 3010, 10, 0, 1);
  c.SetTempClosedArea(1, 4000, 500, 500, 0, 60, 120);
  c.DeleteBoundary(0);
  ASSERT_EQ(c.Length(), 3000);
  EXPECT_EQ(DetectorPositions(c), (std::vector<int>{2999, 1000}));
  EXPECT_EQ(LightPositions(c), (std::vector<int>{1000, 3000}));
  ASSERT_EQ(c.LaneDetectorCount(), 1);
  EXPECT_EQ(c.LaneDetectorNumber(0), 0);
  EXPECT_FALSE(c.TempClosedArea().Exists());
}

TEST(KDConfigDeleteBoundary, ClosedAreaWithinTheShorterRoadStays) {
  KDConfig c;
  c.InsertBoundary(3000);
  c.SetTempClosedArea(1, 3000, 500, 500, 0, 60, 120);
  c.DeleteBoundary(0);
  EXPECT_EQ(c.TempClosedArea().end, 3000);
}
