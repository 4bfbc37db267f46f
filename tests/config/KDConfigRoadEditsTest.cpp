// Road edits that change the road's length or shift its sections carry the detectors and
// traffic lights along or remove them beyond the road end.
#include <gtest/gtest.h>

#include <vector>

#include "config/KDConfig.h"
#include "config/RoadTypes.h"
#include "support/ReportCapture.h"
#include "support/TestRoads.h"

namespace {

void AddFixedTimeLight(KDConfig& config, int position) {
  config.AddTrafficLight("", position, 1, 1, 60, 25, 3, 0);
}

}  // namespace

TEST(KDConfigDeleteBoundary, RemovingSectionZeroDeletesDetectorsBeyondTheNewEnd) {
  KDConfig config;
  config.InsertBoundary(4000);
  for (const int position : {4500, 4000, 3000}) config.AddDetector(position);
  ReportCapture capture;
  config.DeleteBoundary(0);
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(config.Length(), 4000);
  EXPECT_EQ(DetectorPositions(config), (std::vector<int>{3000}));
}

TEST(KDConfigDeleteBoundary, UpstreamSectionsKeepTheDetectors) {
  KDConfig config;
  config.InsertBoundary(4000);
  for (const int position : {4500, 3000}) config.AddDetector(position);
  config.DeleteBoundary(1);
  EXPECT_EQ(DetectorPositions(config), (std::vector<int>{4500, 3000}));
}

TEST(KDConfigSetSectionLength, ShrinkingMovesLightsUpstreamWithTheRoad) {
  // Sections: 0 = 3000 .. 5000, 1 = 1000 .. 3000, 2 = 0 .. 1000.
  KDConfig config;
  config.InsertBoundary(3000);
  config.InsertBoundary(1000);
  for (const int position : {4950, 3500, 2000}) config.AddDetector(position);
  for (const int position : {4950, 3500, 3000, 2000}) AddFixedTimeLight(config, position);
  config.SetSectionLength(1, 1900);
  EXPECT_EQ(config.Length(), 4900);
  // Detectors keep their positions unless they now lie beyond the road.
  EXPECT_EQ(DetectorPositions(config), (std::vector<int>{3500, 2000}));
  // Lights at or past the section's end travel with the road, so none falls off its end.
  EXPECT_EQ(LightPositions(config), (std::vector<int>{4850, 3400, 2900, 2000}));
}

TEST(KDConfigSetSectionLength, GrowingMovesLightsDownstreamAndKeepsDetectors) {
  KDConfig config;
  config.InsertBoundary(3000);
  config.AddDetector(4000);
  for (const int position : {4000, 3000, 2999}) AddFixedTimeLight(config, position);
  config.SetSectionLength(1, 3500);
  EXPECT_EQ(config.Length(), 5500);
  EXPECT_EQ(config.SectionPos(0, WHENCE_BEGIN), 3500);
  EXPECT_EQ(DetectorPositions(config), (std::vector<int>{4000}));
  EXPECT_EQ(LightPositions(config), (std::vector<int>{4500, 3500, 2999}));
}
