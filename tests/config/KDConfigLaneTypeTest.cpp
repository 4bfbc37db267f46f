#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/KDConfig.h"
#include "config/RoadTestSupport.h"
#include "config/RoadTypes.h"
#include "support/ExpectRejected.h"
#include "support/ReportCapture.h"

namespace {

std::vector<int> LaneTypes(const KDConfig& config, int section, int lanes) {
  std::vector<int> types;
  for (int lane = 0; lane < lanes; ++lane) types.push_back(LaneTypeOf(config, section, lane));
  return types;
}

}  // namespace

TEST(KDConfigLaneTypeNeighbours, UnpavingTakesPermissionsAwayButRepavingDoesNotGrantThem) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 2, PP_LANETYPE, LANETYPE_UNPAVED);
  EXPECT_EQ(LaneTypeOf(config, 0, 1), 70);
  config.SetPhysicalSectionProperty(0, 2, PP_LANETYPE, LANETYPE_CHANGELEFT);
  EXPECT_EQ(LaneTypes(config, 0, 3), (std::vector<int>{73, 70, 70}));
}

TEST(KDConfigLaneTypeEdges, PavedLanesCannotChangeOffTheRoad) {
  struct Case {
    int lane;
    int value;
    std::vector<int> expected;  // lanes 0 .. 4 afterwards
  };
  const std::vector<Case> cases = {
      // The leftmost lane never changes left.
      {0, LANETYPE_ANYCHANGE, {73, 76, 70, 0, 0}},
      // Unpaved on the right: no change right; the unpaved neighbour gets "no change left".
      {3, LANETYPE_ANYCHANGE, {73, 76, 70, 70, 1}},
      // A lane beside an unpaved lane on the left.
      {4, LANETYPE_ANYCHANGE, {73, 76, 70, 2, 67}},
      // Unpaving the rightmost paved lane.
      {2, LANETYPE_UNPAVED, {73, 70, 0, 0, 0}},
      // A forced merge: both paved neighbours lose the change towards it.
      {1, LANETYPE_MERGELEFT, {67, 83, 67, 0, 0}},
      {1, LANETYPE_BLOCKED, {67, 115, 67, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lane * 10000 + c.value);
    KDConfig config;
    config.SetPhysicalSectionProperty(0, c.lane, PP_LANETYPE, c.value);
    EXPECT_EQ(LaneTypes(config, 0, 5), c.expected);
  }
}

TEST(KDConfigLaneTypeEdges, LastLaneOfTheModeCannotChangeRight) {
  KDConfig config;
  for (int lane = 3; lane < MAX_KAVROLANE; ++lane)
    config.SetPhysicalSectionProperty(0, lane, PP_LANETYPE, LANETYPE_ANYCHANGE, true);
  config.SetPhysicalSectionProperty(0, 11, PP_LANETYPE, LANETYPE_ANYCHANGE);
  EXPECT_EQ(LaneTypeOf(config, 0, 11), 70);
  EXPECT_EQ(LaneTypeOf(config, 0, 10), 76);
  EXPECT_EQ(config.LanesUsed(), 12);
}

TEST(KDConfigLaneTypeEdges, NoAdjustStoresTheValueAsGiven) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 1, PP_LANETYPE, LANETYPE_UNPAVED, true);
  config.SetPhysicalSectionProperty(0, 0, PP_LANETYPE, LANETYPE_ANYCHANGE, true);
  EXPECT_EQ(LaneTypes(config, 0, 3), (std::vector<int>{76, 0, 70}));
}

TEST(KDConfigLaneTypeTapers, OnRampPairGetsItsTwoLaneTypes) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 3, PP_LANETYPE, LANETYPE_TAPERON);
  config.SetPhysicalSectionProperty(0, 2, PP_LANETYPE, LANETYPE_TAPERON);
  EXPECT_EQ(LaneTypeOf(config, 0, 2), 332);
  EXPECT_EQ(LaneTypeOf(config, 0, 3), 323);
  EXPECT_EQ(LaneTypeOf(config, 0, 4), 0);
}

TEST(KDConfigLaneTypeTapers, OffRampPairOpensTheLaneLeftOfIt) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 1, PP_LANETYPE, LANETYPE_NOCHANGE, true);
  config.SetPhysicalSectionProperty(0, 2, PP_LANETYPE, LANETYPE_TAPEROFF);
  config.SetPhysicalSectionProperty(0, 3, PP_LANETYPE, LANETYPE_TAPEROFF);
  EXPECT_EQ(LaneTypes(config, 0, 4), (std::vector<int>{73, 73, 588, 579}));
}

TEST(KDConfigLaneTypeTapers, RunsOfOtherThanTwoLanesAreLeftAlone) {
  KDConfig config;
  // Lane 2 last, so that no pair forms on the way.
  for (const int lane : {1, 3, 2})
    config.SetPhysicalSectionProperty(0, lane, PP_LANETYPE, LANETYPE_TAPERON, true);
  EXPECT_EQ(LaneTypes(config, 0, 4), (std::vector<int>{73, 326, 326, 326}));
}

TEST(KDConfigLaneTypeTapers, TaperOnTheLeftmostLaneIsRefused) {
  for (const int taper : {LANETYPE_TAPERON, LANETYPE_TAPEROFF}) {
    SCOPED_TRACE(taper);
    KDConfig config;
    config.SetPhysicalSectionProperty(0, 1, PP_LANETYPE, taper);
    ExpectAssertion(
        "fromlane > 0", [&config] { return RoadSnapshot(config); },
        [&] { config.SetPhysicalSectionProperty(0, 0, PP_LANETYPE, taper); });
  }
}

TEST(KDConfigLaneTypeDovel, LanesFormOneBlockEndingAtTheRightmostLane) {
  ScopedProgramMode mode(DOVEL);
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 5, PP_LANETYPE, LANETYPE_DOVEL_PAVED);
  EXPECT_EQ(LaneTypes(config, 0, 6), (std::vector<int>{73, 76, 76, 76, 76, 70}));
  // Unpaving a lane also unpaves every lane left of it.
  config.SetPhysicalSectionProperty(0, 3, PP_LANETYPE, LANETYPE_UNPAVED);
  EXPECT_EQ(LaneTypes(config, 0, 6), (std::vector<int>{0, 0, 0, 0, 73, 70}));
  // The rightmost lane cannot be unpaved.
  config.SetPhysicalSectionProperty(0, 5, PP_LANETYPE, LANETYPE_UNPAVED);
  EXPECT_EQ(LaneTypes(config, 0, 6), (std::vector<int>{0, 0, 0, 0, 73, 70}));
  // Paving a lane fills the gap up to the rightmost lanes.
  config.SetPhysicalSectionProperty(0, 1, PP_LANETYPE, LANETYPE_DOVEL_ICC);
  EXPECT_EQ(LaneTypes(config, 0, 6), (std::vector<int>{0, 201, 76, 76, 76, 70}));
}

TEST(KDConfigLaneTypeDovel, OtherPropertiesAreNotNormalised) {
  ScopedProgramMode mode(DOVEL);
  KDConfig config;
  const std::vector<int> before = LaneTypes(config, 0, 6);
  config.SetPhysicalSectionProperty(0, 4, PP_SPEEDLIMIT, 80.0f);
  config.SetPhysicalSectionProperty(0, 4, 3, 2.5f);
  EXPECT_EQ(LaneTypes(config, 0, 6), before);
  // The external model has no speed suppression to couple with its speed limit.
  config.SetPhysicalSectionProperty(0, 4, PP_SPEEDSUPPRESSION, 0.5f);
  EXPECT_EQ(config.PhysicalSectionProperty(0, 4, PP_SPEEDLIMIT), 80.0f);
  EXPECT_EQ(config.PhysicalSectionProperty(0, 4, 3), 2.5f);
}

TEST(KDConfigSpeedLimit, LaneCarriesEitherASpeedLimitOrASuppression) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 1, PP_SPEEDSUPPRESSION, 0.8f);
  EXPECT_FLOAT_EQ(config.PhysicalSectionProperty(0, 1, PP_SPEEDSUPPRESSION), 0.8f);
  config.SetPhysicalSectionProperty(0, 1, PP_SPEEDLIMIT, 120.0f);
  EXPECT_FLOAT_EQ(config.PhysicalSectionProperty(0, 1, PP_SPEEDSUPPRESSION), 0.8f);
  config.SetPhysicalSectionProperty(0, 1, PP_SPEEDLIMIT, 80.0f);
  EXPECT_EQ(config.PhysicalSectionProperty(0, 1, PP_SPEEDSUPPRESSION), 1.0f);
  config.SetPhysicalSectionProperty(0, 1, PP_SPEEDSUPPRESSION, 0.8f);
  EXPECT_EQ(config.PhysicalSectionProperty(0, 1, PP_SPEEDLIMIT), 120.0f);
  // Other lanes keep their values.
  EXPECT_EQ(config.PhysicalSectionProperty(0, 0, PP_SPEEDSUPPRESSION), 1.0f);
}

TEST(KDConfigSetPhysicalSectionProperty, StoresPlainValuesPerSectionAndLane) {
  KDConfig config;
  config.InsertBoundary(2000);
  config.SetPhysicalSectionProperty(1, 2, PP_SLOPE, 0.07f);
  config.SetPhysicalSectionProperty(1, 2, PP_NOOVERTAKINGTRUCKS, 1.0f);
  config.SetPhysicalSectionProperty(1, 2, PP_ALLLANECHANGE, 1.0f);
  config.SetPhysicalSectionProperty(1, 2, PP_SPARE9, -3.25f);
  config.SetPhysicalSectionProperty(1, 2, PP_SPARE17, 1e6f);
  EXPECT_FLOAT_EQ(config.PhysicalSectionProperty(1, 2, PP_SLOPE), 0.07f);
  EXPECT_EQ(config.IntPhysicalSectionProperty(1, 2, PP_NOOVERTAKINGTRUCKS), 1);
  EXPECT_EQ(config.IntPhysicalSectionProperty(1, 2, PP_ALLLANECHANGE), 1);
  EXPECT_EQ(config.PhysicalSectionProperty(1, 2, PP_SPARE9), -3.25f);
  EXPECT_EQ(config.PhysicalSectionProperty(1, 2, PP_SPARE17), 1e6f);
  for (const int lane : {1, 3}) EXPECT_EQ(config.PhysicalSectionProperty(1, lane, PP_SLOPE), 0);
  EXPECT_EQ(config.PhysicalSectionProperty(0, 2, PP_SLOPE), 0);
}

TEST(KDConfigSetPhysicalSectionProperty, LaneBeyondTheLastReadsAsZero) {
  KDConfig config;
  const RoadSnapshot before(config);
  ReportCapture capture;
  config.SetPhysicalSectionProperty(0, MAX_KAVROLANE, PP_LANETYPE, LANETYPE_ANYCHANGE);
  config.SetPhysicalSectionProperty(0, MAX_KAVROLANE, PP_SPEEDLIMIT, 80.0f);
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(config.PhysicalSectionProperty(0, MAX_KAVROLANE, PP_LANETYPE), 0.0f);
  EXPECT_EQ(config.PhysicalSectionProperty(0, MAX_KAVROLANE, PP_SPEEDLIMIT), 0.0f);
  EXPECT_TRUE(RoadSnapshot(config) == before);
}

TEST(KDConfigSetPhysicalSectionProperty, RejectsBadArgumentsWithTheirTexts) {
  struct Case {
    int section;
    int lane;
    int property;
    float value;
    std::string text;
  };
  const std::vector<Case> cases = {
      {2, 0, PP_SLOPE, 0.0f,
       "KDConfig::SetPhysicalSectionProperty: PhysSection=2\r\nLane=0\r\nProperty=13"},
      {-1, 0, PP_SLOPE, 0.0f,
       "KDConfig::SetPhysicalSectionProperty: PhysSection=-1\r\nLane=0\r\nProperty=13"},
      {0, 13, PP_SLOPE, 0.0f,
       "KDConfig::SetPhysicalSectionProperty: PhysSection=0\r\nLane=13\r\nProperty=13"},
      {0, -1, PP_SLOPE, 0.0f,
       "KDConfig::SetPhysicalSectionProperty: PhysSection=0\r\nLane=-1\r\nProperty=13"},
      {0, 0, 18, 0.0f,
       "KDConfig::SetPhysicalSectionProperty: PhysSection=0\r\nLane=0\r\nProperty=18"},
      {0, 1, PP_NOOVERTAKINGTRUCKS, 0.5f,
       "KDConfig::SetPhysicalSectionProperty\r\nBad NewValue (0.500000) for Property 10"},
      {0, 1, PP_ALLLANECHANGE, 2.0f,
       "KDConfig::SetPhysicalSectionProperty\r\nBad NewValue (2.000000) for Property 11"},
      {0, 1, PP_SLOPE, 0.08f,
       "KDConfig::SetPhysicalSectionProperty\r\nBad NewValue (0.080000) for slope"},
      {0, 1, PP_SLOPE, -0.01f,
       "KDConfig::SetPhysicalSectionProperty\r\nBad NewValue (-0.010000) for slope"},
      {0, 1, PP_DISTANCE, 4000.0f,
       "KDConfig::SetPhysicalSectionProperty\r\nBad Lane (1) (should be 0 for Property 16)"},
      {1, 0, PP_DISTANCE, 5000.0f,
       "KDConfig::SetPhysicalSectionProperty\r\nBad NewValue (5000.000000) for distance"},
      {1, 0, PP_DISTANCE, 0.0f,
       "KDConfig::SetPhysicalSectionProperty\r\nBad NewValue (0.000000) for distance"},
      {0, 0, PP_DISTANCE, 1000.0f,
       "KDConfig::SetPhysicalSectionProperty\r\nBad NewValue (1000.000000) for distance"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    KDConfig config;
    config.InsertBoundary(1000);
    ExpectRejected(
        c.text, [&config] { return RoadSnapshot(config); },
        [&] { config.SetPhysicalSectionProperty(c.section, c.lane, c.property, c.value); });
  }
}

TEST(KDConfigSetPhysicalSectionProperty, InternalErrorsNameTheCondition) {
  struct Case {
    int lane;
    int property;
    float value;
    std::string condition;
  };
  const std::string laneTypeCondition = "wholeLaneType";
  const std::vector<Case> cases = {
      {1, PP_LANETYPE, 4096.0f, laneTypeCondition},
      {1, PP_LANETYPE, -1.0f, laneTypeCondition},
      {1, PP_LANETYPE, 76.5f, laneTypeCondition},
      {1, PP_SPEEDSUPPRESSION, 1.5f, "value >= 0.0f && value <= 1.0f"},
      {1, PP_SPEEDSUPPRESSION, -0.1f, "value >= 0.0f && value <= 1.0f"},
      {0, PP_DISTANCE, 4500.5f,
       "value >= 0.0f && value <= kMaxWholeDistance && value == std::trunc(value)"},
      {0, PP_DISTANCE, -4.0f,
       "value >= 0.0f && value <= kMaxWholeDistance && value == std::trunc(value)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.property * 100000 + c.value);
    KDConfig config;
    const RoadSnapshot before(config);
    ReportCapture capture;
    config.SetPhysicalSectionProperty(0, c.lane, c.property, c.value);
    ASSERT_EQ(capture.Reports().size(), 1u);
    EXPECT_EQ(capture.Reports()[0].kind, ReportKind::Assertion);
    EXPECT_EQ(capture.Reports()[0].text.rfind(c.condition + " (", 0), 0u)
        << capture.Reports()[0].text;
    EXPECT_TRUE(RoadSnapshot(config) == before);
  }
}

TEST(KDConfigSetPhysicalSectionProperty, DistanceWithNoAdjustSkipsTheNeighbourCheck) {
  KDConfig config;
  config.InsertBoundary(1000);
  config.SetPhysicalSectionProperty(1, 0, PP_DISTANCE, 6000.0f, true);
  EXPECT_EQ(config.SectionPos(1, WHENCE_END), 6000);
}

TEST(KDConfigOldPhysSectionType, EveryFileCodeReadsBackAsItself) {
  for (int code = 0; code < LANETYPE_CODE_COUNT; ++code) {
    SCOPED_TRACE(code);
    KDConfig config;
    config.SetPhysicalSectionProperty(0, 5, PP_LANETYPE, LaneTypeFromCode(code), true);
    EXPECT_EQ(config.OldPhysSectionType(0, 5), code);
  }
  EXPECT_EQ(LaneTypeFromCode(12), -1);
  EXPECT_EQ(LaneTypeFromCode(-1), -1);
}

TEST(KDConfigOldPhysSectionType, NormalisedLaneTypesKeepTheirMeaning) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 3, PP_LANETYPE, LANETYPE_TAPERON);
  config.SetPhysicalSectionProperty(0, 2, PP_LANETYPE, LANETYPE_TAPERON);
  config.SetPhysicalSectionProperty(0, 4, PP_LANETYPE, TELEPORTIN);
  EXPECT_EQ(config.OldPhysSectionType(0, 2), 7);
  EXPECT_EQ(config.OldPhysSectionType(0, 3), 7);
  EXPECT_EQ(config.OldPhysSectionType(0, 4), 10);
}

TEST(KDConfigOldPhysSectionType, PavedLaneWithoutChangeBitsStops) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 1, PP_LANETYPE, LANE_PAVED | LANE_NOCHANGELEFT, true);
  ReportCapture capture;
  EXPECT_EQ(config.OldPhysSectionType(0, 1), -1);
  EXPECT_EQ(capture.OnlyText(), "OldPhysSectionType: Can't reconstruct lanetype");
}

TEST(KDConfigLanesUsed, CountsLanesPavedInAnySection) {
  KDConfig config;
  config.InsertBoundary(1000);
  config.SetPhysicalSectionProperty(1, 0, PP_LANETYPE, LANETYPE_UNPAVED);
  config.SetPhysicalSectionProperty(0, 6, PP_LANETYPE, LANETYPE_ANYCHANGE);
  EXPECT_EQ(config.LanesUsed(), 7);
  EXPECT_EQ(config.FirstLaneUsed(), 0);
  config.SetPhysicalSectionProperty(0, 0, PP_LANETYPE, LANETYPE_UNPAVED);
  EXPECT_EQ(config.FirstLaneUsed(), 1);
  // Teleport lanes are not paved.
  config.SetPhysicalSectionProperty(1, 9, PP_LANETYPE, TELEPORTOUT);
  EXPECT_EQ(config.LanesUsed(), 7);
}

TEST(KDConfigLanesUsed, NoPavedLane) {
  KDConfig config;
  for (int lane = 0; lane < 3; ++lane)
    config.SetPhysicalSectionProperty(0, lane, PP_LANETYPE, LANETYPE_UNPAVED);
  EXPECT_EQ(config.LanesUsed(), 0);
  EXPECT_EQ(config.FirstLaneUsed(), MAX_KAVROLANE);
}

TEST(KDConfigLaneQueries, LaneConnectsAtTapersTeleportsAndBlocks) {
  KDConfig config;
  config.SetPhysicalSectionProperty(0, 2, PP_LANETYPE, LANETYPE_TAPERON, true);
  config.SetPhysicalSectionProperty(0, 3, PP_LANETYPE, LANETYPE_TAPERON);
  config.SetPhysicalSectionProperty(0, 5, PP_LANETYPE, LANETYPE_TAPEROFF, true);
  config.SetPhysicalSectionProperty(0, 6, PP_LANETYPE, LANETYPE_TAPEROFF);
  config.SetPhysicalSectionProperty(0, 8, PP_LANETYPE, TELEPORTIN);
  config.SetPhysicalSectionProperty(0, 9, PP_LANETYPE, TELEPORTOUT);
  config.SetPhysicalSectionProperty(0, 10, PP_LANETYPE, LANETYPE_BLOCKED);
  struct Case {
    int lane;
    bool atBegin;
    bool atEnd;
  };
  const std::vector<Case> cases = {
      {1, true, true},    {2, true, true},    {3, true, false},   {5, true, true},
      {6, false, true},   {8, true, false},   {9, false, true},   {10, false, false},
      {11, false, false}, {12, false, false}, {-1, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lane);
    EXPECT_EQ(config.LaneConnects(0, c.lane, WHENCE_BEGIN), c.atBegin);
    EXPECT_EQ(config.LaneConnects(0, c.lane, WHENCE_END), c.atEnd);
  }
  EXPECT_FALSE(config.LaneConnects(1, 1, WHENCE_BEGIN));
}

TEST(KDConfigLaneQueries, MovesLeftAndRightFollowChangeAndMergeBits) {
  struct Case {
    int laneType;
    int lane;
    bool left;
    bool right;
    bool normal;
  };
  const std::vector<Case> cases = {
      {LANETYPE_ANYCHANGE, 1, true, true, true},
      {LANETYPE_ANYCHANGE, 0, false, true, true},
      {LANETYPE_ANYCHANGE, 11, true, false, true},
      {LANETYPE_NOCHANGE, 1, false, false, true},
      {LANETYPE_MERGELEFT, 1, true, false, false},
      {LANETYPE_MERGERIGHT, 1, false, true, false},
      {LANETYPE_BLOCKED | LANE_CHANGELEFT, 1, false, false, false},
      {LANETYPE_UNPAVED | LANE_CHANGELEFT, 1, false, false, false},
      {TELEPORTIN | LANE_CHANGERIGHT, 1, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.laneType * 100 + c.lane);
    KDConfig config;
    config.SetPhysicalSectionProperty(0, c.lane, PP_LANETYPE, c.laneType, true);
    EXPECT_EQ(config.CanMoveLeft(0, c.lane), c.left);
    EXPECT_EQ(config.CanMoveRight(0, c.lane), c.right);
    EXPECT_EQ(config.IsNormalLane(0, c.lane), c.normal);
  }
}
