// Configurations that editing passes through, and a saved file may hold, but that the kernel
// cannot build a run of: the check names the reason, which the run control and the kernel's
// set-up report instead of stopping the program.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/DemandTestSupport.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/RoadTypes.h"
#include "config/RunSetUpCheck.h"
#include "kernel/Kernel.h"
#include "support/ReportCapture.h"

namespace {

constexpr int N = 76;     // any lane change
constexpr int R = 73;     // lane change to the right only
constexpr int L = 70;     // lane change to the left only
constexpr int X = 67;     // no lane change
constexpr int TI = 1024;  // teleport entrance
constexpr int TO = 2048;  // teleport exit

// Sections 2 = 0 .. 1000, 1 = 1000 .. 3000, 0 = 3000 .. 5000 [m]: a three-lane road with lane
// 3 leaving through a teleport entrance in section 1 and returning through an exit in
// section 0, linked with link number 7.
std::unique_ptr<KDConfig> TeleportRoad() {
  auto config = MakeRoad(5000, {{0, {R, N, N, L}}, {1000, {R, N, L, TI}}, {3000, {R, N, L, TO}}});
  EXPECT_EQ(config->TeleportCount(true), 1);
  EXPECT_EQ(config->TeleportCount(false), 1);
  config->SetTeleportCounterPart(true, 0, 7);
  config->SetTeleportCounterPart(false, 0, 7);
  return config;
}

struct Case {
  std::string name;
  std::function<std::unique_ptr<KDConfig>()> make;
  std::string problem;  // empty: the kernel can build the run
};

std::vector<Case> Cases() {
  return {
      {"linked teleport", TeleportRoad, ""},
      {"entrance not linked",
       [] {
         auto c = TeleportRoad();
         c->SetTeleportCounterPart(true, 0, -1);
         return c;
       },
       "Teleport entrance 1 (section 2, lane 4-4) is not linked to a teleport exit"},
      {"exit of the link gone",
       [] {
         auto c = TeleportRoad();
         c->SetTeleportCounterPart(false, 0, -1);
         return c;
       },
       "Teleport entrance 1 (section 2, lane 4-4) is linked to no teleport exit (link 7)"},
      {"two-lane entrance into an exit in the rightmost lane",
       [] {
         auto c = MakeRoad(5000, {{0, {R, N, N, N, L}},
                                  {1000, {R, N, L, TI, TI}},
                                  {3000, {R, N, L, 0, 0, 0, 0, 0, 0, 0, 0, TO}}});
         c->SetTeleportCounterPart(true, 0, 1);
         c->SetTeleportCounterPart(false, 0, 1);
         return c;
       },
       "Teleport entrance 1 (section 2, lane 4-5) has more lanes than fit from the first lane "
       "of its teleport exit 1 (section 1, lane 12-12)"},
      {"two-lane entrance into a one-lane exit that has room to its right",
       [] {
         auto c = MakeRoad(
             5000, {{0, {R, N, N, N, L}}, {1000, {R, N, L, TI, TI}}, {3000, {R, N, L, TO}}});
         c->SetTeleportCounterPart(true, 0, 1);
         c->SetTeleportCounterPart(false, 0, 1);
         return c;
       },
       ""},
      {"on-ramp taper in lane 0",
       [] {
         auto c = MakeRoad(5000, {{0, {X, X}}, {3000, {X, X}}});
         c->SetPhysicalSectionProperty(0, 0, PP_LANETYPE, 326, true);
         return c;
       },
       "Taper cannot occur on left most lane (section 1)"},
      {"off-ramp taper in lane 0",
       [] {
         auto c = MakeRoad(5000, {{0, {X, X}}, {3000, {X, X}}});
         c->SetPhysicalSectionProperty(1, 0, PP_LANETYPE, 585, true);
         return c;
       },
       "Taper cannot occur on left most lane (section 2)"},
      {"lone off-ramp taper in the rightmost lane",
       [] {
         auto c = MakeRoad(5000, {{0, {X}}});
         c->SetPhysicalSectionProperty(0, 11, PP_LANETYPE, 585, true);
         return c;
       },
       "Taper cannot occur on right most lane (section 1)"},
      {"off-ramp taper pair in the two rightmost lanes",
       [] {
         auto c = MakeRoad(5000, {{0, {X}}});
         c->SetPhysicalSectionProperty(0, 10, PP_LANETYPE, 585, true);
         c->SetPhysicalSectionProperty(0, 11, PP_LANETYPE, 585, true);
         return c;
       },
       ""},
      {"lane change area without a route choice group",
       [] {
         auto c = std::make_unique<KDConfig>();
         c->SinkCount();  // builds the destination list
         c->AddLaneChangeArea(0, 2, 4000, 300, 200, true);
         c->SetLaneChangeAreaProbability(0, 0, -1, 0.5f, -1);
         return c;
       },
       "Lane change area 1 of destination 1 (lane 3, end 4000 m) has no route choice group; "
       "please re-generate the lane change areas"},
      {"lane change area without length",
       [] {
         auto c = std::make_unique<KDConfig>();
         c->SinkCount();  // builds the destination list
         c->AddLaneChangeArea(0, 2, 4000, 0, 0, true);
         c->SetLaneChangeAreaProbability(0, 0, -1, 0.5f, -1);
         return c;
       },
       ""},
      {"lane change area beside the road",
       [] {
         auto c = std::make_unique<KDConfig>();
         c->SinkCount();  // builds the destination list
         c->AddLaneChangeArea(0, 12, 4000, 300, 0, false);
         return c;
       },
       "Lane change area 1 of destination 1 (lane 13, end 4000 m) lies in no lane of the road; "
       "please re-generate the lane change areas"},
  };
}

}  // namespace

TEST(RunSetUpCheck, NamesWhatTheKernelCannotSetUp) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    ReportCapture capture;
    std::unique_ptr<KDConfig> config = c.make();
    ASSERT_TRUE(capture.Empty()) << capture.Reports()[0].text;
    int stamp = config->ChangeStamp();
    EXPECT_EQ(RunSetUpProblem(*config), c.problem);
    EXPECT_EQ(config->ChangeStamp(), stamp);
  }
}

// Each refusal stands for a broken precondition of the kernel's set-up, which would end the
// program; the set-up itself refuses with the same reason as a configuration error. What the
// check accepts, the kernel sets up without a stop.
TEST(RunSetUpCheck, KernelSetUpRefusesWithTheSameReasonInsteadOfStopping) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<KDConfig> config = c.make();
    ReportCapture capture;
    Kernel kernel;
    bool ready = kernel.KAV_setup(*config, 1, "");
    EXPECT_EQ(ready, c.problem.empty());
    for (const Report& report : capture.Reports()) EXPECT_FALSE(report.stop) << report.text;
    if (c.problem.empty()) continue;
    EXPECT_EQ(capture.OnlyText(), "Kavro Configuration Error in KAV_setup: " + c.problem);
    EXPECT_EQ(kernel.ErrorText().value_or(""), c.problem);
  }
}
