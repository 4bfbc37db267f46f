// Copies of a configuration: the same configuration to the user, sharing nothing.

#include <gtest/gtest.h>

#include "config/ConfigCopyTestSupport.h"
#include "config/SourceSink.h"
#include "support/ReportCapture.h"

namespace {

const char* const kConfigFiles[] = {"examples/bench-motorway-50km.kav",
                                    "examples/bench-motorway.kav",
                                    "examples/lane-drop.kav",
                                    "examples/motorway-3lane.kav",
                                    "examples/off-ramp.kav",
                                    "examples/on-ramp-taper.kav",
                                    "examples/ramp-metering.kav",
                                    "examples/weaving.kav",
                                    "tests/golden/config-every-keyword.kav"};

TEST(KDConfigDuplicate, CopySavesTheSameBytesAndLeavesTheOriginalAlone) {
  for (const char* file : kConfigFiles) {
    SCOPED_TRACE(file);
    std::unique_ptr<KDConfig> original = LoadSourceConfig(file);
    ASSERT_NE(original, nullptr);
    const std::string before = SavedText(*original);
    const int stamp = original->ChangeStamp();
    ReportCapture capture;
    std::unique_ptr<KDConfig> copy = original->Duplicate(false);
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(capture.Empty());
    EXPECT_EQ(SavedText(*copy), before);
    EXPECT_EQ(SavedText(*original), before);
    EXPECT_EQ(original->ChangeStamp(), stamp);
    EXPECT_NE(copy->ChangeStamp(), stamp);
  }
}

TEST(KDConfigDuplicate, EditsOfTheCopyDoNotReachTheOriginal) {
  std::unique_ptr<KDConfig> original = LoadSourceConfig("tests/golden/config-every-keyword.kav");
  ASSERT_NE(original, nullptr);
  const std::string before = SavedText(*original);
  std::unique_ptr<KDConfig> copy = original->Duplicate(false);
  ASSERT_GT(copy->SinkCount(), 0);
  ASSERT_GT(copy->LaneChangeAreaCount(0), 0);
  ASSERT_GT(copy->TrafficLightCount(), 0);
  copy->SetPhysicalSectionProperty(0, 0, PP_SPEEDLIMIT, 80);
  copy->SetSourceName(0, "renamed");
  copy->SetODProbability(0, 0, 0, 0.25f);
  copy->SetLaneChangeAreaLengthRequired(0, 0, 17);
  copy->DeleteTrafficLight(0);
  copy->AddDetector(7);
  copy->InsertBoundary(3);
  EXPECT_EQ(SavedText(*original), before);
}

TEST(KDConfigDuplicate, CopyOutlivesTheOriginal) {
  std::unique_ptr<KDConfig> original = LoadSourceConfig("examples/weaving.kav");
  ASSERT_NE(original, nullptr);
  const std::string before = SavedText(*original);
  std::unique_ptr<KDConfig> copy = original->Duplicate(false);
  original.reset();
  EXPECT_EQ(SavedText(*copy), before);
  // Its origins and destinations belong to it: a road change rebuilds them in the copy.
  copy->SetPhysicalSectionProperty(0, 0, PP_LANETYPE, LANETYPE_UNPAVED);
  EXPECT_GE(copy->SinkCount(), 1);
}

TEST(KDConfigDuplicate, KeepsRanksNamesAndResetsRunStates) {
  std::unique_ptr<KDConfig> original = LoadSourceConfig("examples/ramp-metering.kav");
  ASSERT_NE(original, nullptr);
  ASSERT_GT(original->TrafficLightCount(), 0);
  ASSERT_GE(original->SourceCount(), 2);
  // Two origins swapped in rank order keep that order and their names.
  // The search runs from the rank down, so the origin of rank 0 is moved up to rank 1.
  const std::string first = original->SourceName(0);
  original->MoveSourceToRank(1, original->SourceSection(0), original->SourceFromLane(0),
                             original->SourceToLane(0));
  ASSERT_EQ(original->SourceName(1), first);
  original->SetTrafficLightState(0, KDConfig::TRAFFICLIGHT_GREEN);
  std::unique_ptr<KDConfig> copy = original->Duplicate(false);
  for (int rank = 0; rank < original->SourceCount(); ++rank) {
    EXPECT_EQ(copy->SourceName(rank), original->SourceName(rank));
    EXPECT_EQ(copy->SourceSection(rank), original->SourceSection(rank));
    EXPECT_EQ(copy->SourceFromLane(rank), original->SourceFromLane(rank));
  }
  EXPECT_EQ(copy->TrafficLightState(0), KDConfig::TRAFFICLIGHT_IDLE);
}

}  // namespace
