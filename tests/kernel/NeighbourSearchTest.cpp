#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "kernel/Kernel.h"
#include "kernel/KernelTestSupport.h"

// A vehicle finds its neighbours in other lanes from the objects of those lanes it met before
// rather than by walking the global list. Whatever happens on the road in between (moves,
// lane changes, vehicles created and destroyed, destroyed objects released), the answers must
// be what the walk along the global list gives.

namespace {

VehicleParams Params() {
  VehicleParams params;
  params.name = "veh type 1";
  params.length = 4;
  params.preferredSpeed = 30;
  return params;
}

const VehicleParams kParams = Params();

RoadObject* WalkNext(const RoadObject* object, int lane) {
  RoadObject* next = object->Next();
  while (next != nullptr && next->Lane() != lane) next = next->Next();
  return next;
}

RoadObject* WalkPrevious(const RoadObject* object, int lane) {
  RoadObject* previous = object->Previous();
  while (previous != nullptr && previous->Lane() != lane) previous = previous->Previous();
  return previous;
}

std::vector<RoadObject*> Vehicles(const Kernel& kernel) {
  std::vector<RoadObject*> vehicles;
  for (RoadObject* object = kernel.FirstObject(); object; object = object->Next())
    if (object->IsVehicle()) vehicles.push_back(object);
  return vehicles;
}

// Every vehicle's neighbours in lanes 0 .. 4 (lane 4 holds nothing) as the walk finds them.
::testing::AssertionResult NeighboursAsWalked(const Kernel& kernel) {
  for (RoadObject* vehicle : Vehicles(kernel)) {
    for (int lane = 0; lane <= 4; ++lane) {
      if (vehicle->NextWithLane(lane) != WalkNext(vehicle, lane) ||
          vehicle->PreviousWithLane(lane) != WalkPrevious(vehicle, lane))
        return ::testing::AssertionFailure()
               << "vehicle " << vehicle->Number() << " in lane " << vehicle->Lane() << " at "
               << vehicle->Position() << ", neighbours in lane " << lane;
    }
  }
  return ::testing::AssertionSuccess();
}

class NeighbourSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    kernel_.SetMessageSink(&reports_);
    kernel_.StartEmptyRun(1, 2);
    kernel_.CreateObject(LANE_BOUNDARIES, RO_ENDOFROAD, 10000, 0);
    for (int lane = 0; lane < 4; ++lane) kernel_.CreateObject(lane, RO_SINK, 10000, 0);
    for (float x : {2000.0f, 5000.0f}) kernel_.CreateObject(LANE_DETECTORS, RO_DETECTOR, x, 0);
  }
  RoadObject* Add(int lane, float position) {
    return kernel_.CreateObject(lane, RO_VEHICLE, position, ++id_, 20, &kParams);
  }

  Kernel kernel_;
  RecordingSink reports_;
  int id_ = 0;
};

}  // namespace

TEST_F(NeighbourSearch, EqualPositionsFollowTheListOrder) {
  // Side by side at one position the list orders by lane; a vehicle exactly level with
  // another is behind it when its lane is higher.
  RoadObject* left = Add(0, 500);
  RoadObject* middle = Add(1, 500);
  RoadObject* right = Add(2, 500);
  for (int round = 0; round < 2; ++round) {  // the second round starts from the hints
    SCOPED_TRACE(round);
    EXPECT_EQ(middle->NextWithLane(0), WalkNext(middle, 0));
    EXPECT_EQ(middle->PreviousWithLane(0), left);
    EXPECT_EQ(middle->NextWithLane(2), right);
    EXPECT_EQ(left->NextWithLane(2), right);
    EXPECT_EQ(right->PreviousWithLane(0), left);
    EXPECT_TRUE(NeighboursAsWalked(kernel_));
  }
}

TEST_F(NeighbourSearch, AnEmptyLaneAheadEndsAtItsSink) {
  std::vector<RoadObject*> column;
  for (int k = 0; k < 50; ++k) column.push_back(Add(1, 100.0f + 150 * k));
  RoadObject* sink0 = WalkNext(column.front(), 0);
  ASSERT_NE(sink0, nullptr);
  ASSERT_EQ(sink0->Type(), RO_SINK);
  for (int round = 0; round < 2; ++round) {
    for (RoadObject* vehicle : column) {
      EXPECT_EQ(vehicle->NextWithLane(0), sink0);
      EXPECT_EQ(vehicle->PreviousWithLane(0), nullptr);
      EXPECT_EQ(vehicle->NextWithLane(4), nullptr);
    }
  }
  // A vehicle entering the empty lane is found from the hints at the sink.
  RoadObject* entering = column[20];
  ASSERT_TRUE(entering->ChangeLane(0));
  EXPECT_EQ(column[10]->NextWithLane(0), entering);
  EXPECT_EQ(column[30]->PreviousWithLane(0), entering);
  EXPECT_TRUE(NeighboursAsWalked(kernel_));
}

TEST_F(NeighbourSearch, RandomTrafficAlwaysAnswersAsTheWalk) {
  std::mt19937 random(20261209);
  for (int k = 0; k < 60; ++k) Add(static_cast<int>(random() % 3), 10.0f + random() % 9000);
  ASSERT_TRUE(NeighboursAsWalked(kernel_));
  // Enough destroyed vehicles that the kernel releases the ones it keeps several times.
  for (int round = 0; round < 2000; ++round) {
    std::vector<RoadObject*> vehicles = Vehicles(kernel_);
    RoadObject* vehicle = vehicles[random() % vehicles.size()];
    switch (random() % 4) {
      case 0: {
        int lane = vehicle->Lane() == 0 ? 1 : vehicle->Lane() == 2 ? 1 : vehicle->Lane() + 1;
        vehicle->ChangeLane(lane);
        break;
      }
      case 1: {
        // Forward by up to 300 m, now and then onto the very position of another object.
        float target = vehicle->Position() + static_cast<float>(random() % 300);
        if (random() % 4 == 0 && vehicle->Next() != nullptr)
          target = std::max(vehicle->Position(), vehicle->Next()->Position());
        if (target < 9990) vehicle->MoveVehicle(target, 20, 0);
        break;
      }
      case 2:
        if (vehicles.size() > 10) kernel_.DestroyObject(vehicle);
        break;
      default:
        Add(static_cast<int>(random() % 3), 10.0f + random() % 9000);
        break;
    }
    ASSERT_EQ(kernel_.CheckObjectLists(), "") << round;
    ASSERT_TRUE(NeighboursAsWalked(kernel_)) << round;
  }
}
