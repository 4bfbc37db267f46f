#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "kernel/Kernel.h"
#include "kernel/KernelMath.h"
#include "kernel/KernelTestSupport.h"
#include "kernel/TestRoad.h"

TEST(KernelRandom, SeedZeroAlwaysGivesOneHalfAndKeepsTheState) {
  Kernel kernel;
  kernel.SetRandomState(0);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(kernel.Random(), 0.5);
  EXPECT_EQ(kernel.RandomState(), 0);
}

TEST(KernelRandom, MultipliesBy16807Modulo2To31) {
  Kernel kernel;
  kernel.SetRandomState(1);
  const int32_t states[] = {16807, 282475249, 1622647863, 947787489, 1578110407};
  for (int32_t state : states) {
    SCOPED_TRACE(state);
    EXPECT_EQ(kernel.Random(), state / 2147483648.0);
    EXPECT_EQ(kernel.RandomState(), state);
  }
}

TEST(KernelRandom, NegativeStateGivesNegativeNumbersAndZeroBecomes28641) {
  Kernel kernel;
  kernel.SetRandomState(-1);
  EXPECT_EQ(kernel.Random(), -16807 / 2147483648.0);
  EXPECT_EQ(kernel.RandomState(), -16807);
  kernel.SetRandomState(INT32_MIN);  // -2^31 * 16807 is a multiple of 2^31
  EXPECT_EQ(kernel.Random(), 0.0);
  EXPECT_EQ(kernel.RandomState(), 28641);
}

TEST(KernelRandom, OddSeedsStayOddAndInRange) {
  Kernel kernel;
  kernel.SetRandomState(12345);
  for (int i = 0; i < 100000; ++i) {
    double r = kernel.Random();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
    ASSERT_EQ(kernel.RandomState() % 2, 1);
  }
}

TEST(NormalQuantile, UpperTailValuesAndSymmetry) {
  struct Case {
    double p, z;
  } cases[] = {{0.5, 0.0}, {0.025, 1.96}, {0.1, 1.2816}, {0.975, -1.96}, {0.001, 3.0902}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.p);
    EXPECT_NEAR(NormalQuantile(c.p), c.z, 3e-3);
  }
  EXPECT_EQ(NormalQuantile(0.3), -NormalQuantile(0.7));
}

TEST(SpecificPower, FixedPowerIsRaisedToWhatCruisingTakes) {
  Kernel kernel;
  kernel.SetRandomState(1);
  VehicleParams car = CarParams();
  car.specificPower = 20;  // below the 45.27 W/kg that 125 km/h takes with k = 0.6 /km
  EXPECT_NEAR(kernel.DrawSpecificPower(car), 45.2685, 1e-3);
  car.specificPower = 80;
  EXPECT_EQ(kernel.DrawSpecificPower(car), 80.0f);
  EXPECT_EQ(kernel.RandomState(), 1);  // no draw without a spread

  VehicleParams truck = CarParams();
  truck.length = 14;  // drive efficiency 0.9
  truck.preferredSpeed = 85 * static_cast<float>(1 / 3.6);
  truck.airResistance = 0.1f;
  truck.specificPower = 2;  // cruising takes 3.0 W/kg, the floor is 4.4
  EXPECT_EQ(kernel.DrawSpecificPower(truck), 4.4f);
}

TEST(SpecificPower, LognormalDrawAtTheMedianOfTheGenerator) {
  Kernel kernel;
  kernel.SetRandomState(0);  // every draw is 0.5
  VehicleParams car = CarParams();
  car.specificPower = 50;
  car.specificPowerStdDev = 5;
  car.airResistance = 0.1f;  // floor 8.2 W/kg
  EXPECT_NEAR(kernel.DrawSpecificPower(car), 49.7519, 1e-3);
}

TEST(SpecificPower, GivesUpAfterAThousandRejectedDraws) {
  Kernel kernel;
  RecordingSink sink;
  kernel.SetMessageSink(&sink);
  kernel.StartEmptyRun(-1, 2);  // a negative state only gives negative numbers
  VehicleParams car = CarParams();
  car.specificPower = 50;
  car.specificPowerStdDev = 5;
  car.airResistance = 0.1f;
  EXPECT_NEAR(kernel.DrawSpecificPower(car), 49.7519, 1e-3);  // exp(mu), the median
  ASSERT_EQ(sink.reports.size(), 1u);
  EXPECT_EQ(kernel.ErrorText(), "Unable to generate specific power");
  EXPECT_FALSE(kernel.Ready());
}

TEST(SpecificPower, DrawnForEveryNewVehicle) {
  Kernel kernel;
  TestRoad road(kernel, 1000, 1, 2, 7);
  kernel.AddParamSet(TruckParams());
  int32_t before = kernel.RandomState();
  RoadObject* truck = PlaceVehicle(kernel, 0, 100, 20);
  EXPECT_NE(kernel.RandomState(), before);
  EXPECT_GE(truck->Vehicle()->specificPower, 4.4f);
}
