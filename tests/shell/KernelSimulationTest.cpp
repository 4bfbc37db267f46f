#include <gtest/gtest.h>

#include "config/KDConfig.h"
#include "shell/KernelSimulation.h"
#include "shell/RunController.h"
#include "shell/RunTestSupport.h"

namespace {

// The on-ramp example on the built-in kernel, 600 s with detector output every 120 s.
struct KernelRun {
  std::unique_ptr<KDConfig> config = LoadOnRampExample();
  OutputFileSettings outputs;
  KernelSimulation* simulation = new KernelSimulation;
  RunController run{std::unique_ptr<RunSimulation>(simulation), outputs};

  KernelRun() {
    config->SetMaxTime(600);
    config->SetDetectorTimes(120, 120);
    run.SetConfiguration(config.get());
    run.Continue();
    for (int i = 0; i < 10000 && run.State().Running; ++i) run.RunOneStep();
  }
};

}  // namespace

TEST(KernelSimulationRun, VehiclesAreWalkedByLaneFromTheEndOfTheRoad) {
  KernelRun k;
  std::vector<VehicleSnapshot> vehicles = k.simulation->Vehicles(k.config->LanesUsed(), true);
  ASSERT_FALSE(vehicles.empty());
  for (size_t i = 1; i < vehicles.size(); ++i) {
    const VehicleSnapshot& a = vehicles[i - 1];
    const VehicleSnapshot& b = vehicles[i];
    ASSERT_GE(a.Lane, b.Lane);
    if (a.Lane == b.Lane) {
      EXPECT_GE(a.Position, b.Position);
    }
  }
  EXPECT_FALSE(vehicles[0].Origin.empty());
  EXPECT_FALSE(vehicles[0].Destination.empty());

  // Without names (no vehicle trace this step) the walk is otherwise the same.
  std::vector<VehicleSnapshot> plain = k.simulation->Vehicles(k.config->LanesUsed(), false);
  ASSERT_EQ(plain.size(), vehicles.size());
  for (size_t i = 0; i < plain.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(plain[i].Number, vehicles[i].Number);
    EXPECT_EQ(plain[i].Position, vehicles[i].Position);
    EXPECT_EQ(plain[i].KeepsDistance, vehicles[i].KeepsDistance);
    EXPECT_TRUE(plain[i].Origin.empty());
    EXPECT_TRUE(plain[i].Destination.empty());
  }
}

TEST(KernelSimulationRun, DetectorSamplesAndTracksFillDuringTheRun) {
  KernelRun k;
  ASSERT_EQ(5, k.run.State().PeriodCount);
  int counted = 0;
  for (int p = 0; p < 5; ++p)
    for (int d = 0; d < k.run.Samples().NumDetectors(); ++d)
      for (int lane = 0; lane < 3; ++lane) {
        const DetectorSample& r = *k.run.Samples().Record(p, d);
        counted += r.Count[lane];
        if (r.Count[lane] > 0) {
          EXPECT_GT(r.Speed[lane], 0);
          EXPECT_LT(r.Speed[lane], 200);
        } else {
          EXPECT_FLOAT_EQ(-1, r.Speed[lane]);
        }
      }
  EXPECT_GT(counted, 0);
  ASSERT_FALSE(k.run.Tracks().Tracks().empty());
  for (const VehicleTrack& track : k.run.Tracks().Tracks()) {
    ASSERT_EQ(track.LastIndex + 1, static_cast<int>(track.Samples.size()));
    for (size_t i = 1; i < track.Samples.size(); ++i)
      EXPECT_GE(SamplePosition(track.Samples[i]), SamplePosition(track.Samples[i - 1]));
  }
}
