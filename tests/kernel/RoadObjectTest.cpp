#include <gtest/gtest.h>

#include "kernel/Kernel.h"
#include "kernel/KernelTestSupport.h"
#include "support/ReportCapture.h"

namespace {

using Order = std::vector<std::string>;

VehicleParams TestParams() {
  VehicleParams params;
  params.name = "veh type 1";
  params.length = 4;
  return params;
}

const VehicleParams kParams = TestParams();

RoadObject* Vehicle(Kernel& kernel, int lane, float position, int id = 1, int type = 0) {
  return kernel.CreateObject(lane, RO_VEHICLE + type, position, id, 20.0f, &kParams, 0, 0);
}

}  // namespace

TEST(RoadObjectOrder, EqualPositionsByDescendingTypeThenAscendingLane) {
  struct Case {
    const char* name;
    std::vector<std::tuple<int, int, float>> inserts;  // lane, type, position
    Order expected;
  } cases[] = {
      {"detector before sink",
       {{0, RO_SINK, 500}, {-1, RO_DETECTOR, 500}},
       {"detector 2", "sink 1"}},
      {"detector before sink, other insertion order",
       {{-1, RO_DETECTOR, 500}, {0, RO_SINK, 500}},
       {"detector 1", "sink 2"}},
      {"dummy before source", {{2, RO_SOURCE, 0}, {2, RO_DUMMY, 0}}, {"dummy 2", "source 1"}},
      {"same type by lane",
       {{3, RO_SINK, 800}, {1, RO_SINK, 800}, {2, RO_SINK, 800}},
       {"sink 2", "sink 3", "sink 1"}},
      {"positions first",
       {{0, RO_SINK, 900}, {0, RO_DUMMY, 100}, {-1, RO_DETECTOR, 50}},
       {"detector 3", "dummy 2", "sink 1"}},
      {"end of road stays last at its position",
       {{-2, RO_ENDOFROAD, 1000}, {0, RO_SINK, 1000}, {1, RO_DUMMY, 1000}, {0, RO_SINK, 999.5f}},
       {"sink 4", "dummy 3", "sink 2", "end of road"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Kernel kernel;
    int number = 0;
    for (auto [lane, type, position] : c.inserts)
      ASSERT_NE(kernel.CreateObject(lane, type, position, number++), nullptr);
    EXPECT_EQ(ListOrder(kernel), c.expected);
    EXPECT_EQ(kernel.CheckObjectLists(), "");
  }
}

TEST(RoadObjectOrder, NewObjectGoesAfterItsEquals) {
  Kernel kernel;
  kernel.CreateObject(1, RO_SINK, 300, 0);
  kernel.CreateObject(2, RO_SINK, 300, 1);
  kernel.CreateObject(1, RO_SINK, 300, 2);  // equal type, position and lane: after sink 1
  EXPECT_EQ(ListOrder(kernel), (Order{"sink 1", "sink 3", "sink 2"}));
}

TEST(RoadObjectCreate, RejectsInvalidObjects) {
  struct Case {
    int lane, type;
    float position, speed;
    const char* text;
  } cases[] = {
      {12, RO_SINK, 10, 0, "Lane=12"},
      {-6, RO_DETECTOR, 10, 0, "Lane=-6"},
      {0, RO_DETECTOR, 10, 0,
       "Attempt to create object of type 50 on lane 0 at position 10 speed 0.000000"},
      {3, RO_PHYSBOUNDARY, 10, 0,
       "Attempt to create object of type 80 on lane 3 at position 10 speed 0.000000"},
      {-1, RO_ENDOFROAD, 10, 0,
       "Attempt to create object of type 98 on lane -1 at position 10 speed 0.000000"},
      {-2, RO_DETECTOR, 10, 0,
       "Attempt to create object of type 50 on lane -2 at position 10 speed 0.000000"},
      {0, RO_VEHICLE, 10.7f, -1,
       "Attempt to create object of type 100 on lane 0 at position 10 speed -1.000000"},
      {0, RO_VEHICLE, 10, 100.5f,
       "Attempt to create object of type 100 on lane 0 at position 10 speed 100.500000"},
      {0, RO_SINK, 10, 1,
       "Attempt to create object of type 11 on lane 0 at position 10 speed 1.000000"},
      {0, 108, 10, 0,
       "Attempt to create object of type 108 on lane 0 at position 10 speed 0.000000"},
      // Kinds outside their own lane values would corrupt the lists.
      {-3, RO_VEHICLE, 10, 5,
       "Attempt to create object of type 100 on lane -3 at position 10 speed 5.000000"},
      {-1, RO_TRAFFICLIGHT, 10, 0,
       "Attempt to create object of type 96 on lane -1 at position 10 speed 0.000000"},
      {-4, RO_LANEDETECTOR, 10, 0,
       "Attempt to create object of type 97 on lane -4 at position 10 speed 0.000000"},
      {-3, 42, 10, 0,
       "Attempt to create object of type 42 on lane -3 at position 10 speed 0.000000"},
      {0, RO_SINK, -5, 0,
       "Attempt to create object of type 11 on lane 0 at position -5 speed 0.000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ReportCapture capture;
    Kernel kernel;
    kernel.CreateObject(0, RO_DUMMY, 5, 0);
    EXPECT_EQ(kernel.CreateObject(c.lane, c.type, c.position, 1, c.speed, &kParams), nullptr);
    EXPECT_EQ(capture.OnlyText(),
              std::string("Time 0.0: Program Error in RoadObject::RoadObject: ") + c.text);
    EXPECT_EQ(kernel.ObjectCount(), 1u);
    EXPECT_EQ(ListOrder(kernel), (Order{"dummy 1"}));
  }
}

TEST(RoadObjectCreate, AcceptsEveryKindInItsLane) {
  ReportCapture capture;
  Kernel kernel;
  EXPECT_NE(kernel.CreateObject(-2, RO_ENDOFROAD, 1000, 0), nullptr);
  EXPECT_NE(kernel.CreateObject(-2, RO_PHYSBOUNDARY, 0, 0), nullptr);
  EXPECT_NE(kernel.CreateObject(-1, RO_DETECTOR, 10, 0), nullptr);
  EXPECT_NE(kernel.CreateObject(-5, RO_TRAFFICLIGHT, 10, 0), nullptr);
  RoadObject* laneDetector = kernel.CreateObject(7, RO_LANEDETECTOR, 10, 0);
  ASSERT_NE(laneDetector, nullptr);
  EXPECT_EQ(laneDetector->Lane(), LANE_LANEDETECTORS);
  EXPECT_EQ(laneDetector->LaneDetector()->lane, 7);
  for (int type : {RO_SINK, RO_SOURCE, RO_TELEPORT, RO_REVERSETELEPORT, RO_DUMMY})
    EXPECT_NE(kernel.CreateObject(11, type, 20, 0), nullptr) << type;
  RoadObject* vehicle = kernel.CreateObject(0, RO_VEHICLE + 7, 5, 9, 0, &kParams, 3, 4);
  ASSERT_NE(vehicle, nullptr);
  VehicleInfo* info = vehicle->Vehicle();
  EXPECT_EQ(info->previousPosition, -1);
  EXPECT_EQ(info->speed, 0);
  EXPECT_EQ(info->destination, 3);
  EXPECT_EQ(info->origin, 4);
  EXPECT_EQ(info->params, &kParams);
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(kernel.EndOfRoad()->Position(), 1000);
  EXPECT_EQ(kernel.CheckObjectLists(), "");
}

TEST(RoadObjectCreate, VehicleNeedsAParameterSet) {
  ReportCapture capture;
  Kernel kernel;
  EXPECT_EQ(kernel.CreateObject(0, RO_VEHICLE, 5, 1, 10, nullptr), nullptr);
  EXPECT_EQ(capture.OnlyText(),
            "Time 0.0: Program Error in VehicleInfo::VehicleInfo: VehicleParamSet = (nil)");
  EXPECT_EQ(kernel.ObjectCount(), 0u);
}

TEST(RoadObjectLaneLinks, FollowInsertRemoveAndLaneChange) {
  Kernel kernel;
  RoadObject* end = kernel.CreateObject(-2, RO_ENDOFROAD, 1000, 0);
  RoadObject* sink0 = kernel.CreateObject(0, RO_SINK, 1000, 0);
  RoadObject* sink1 = kernel.CreateObject(1, RO_SINK, 1000, 0);
  RoadObject* a = Vehicle(kernel, 0, 100, 1);
  RoadObject* b = Vehicle(kernel, 0, 300, 2);
  RoadObject* c = Vehicle(kernel, 1, 200, 3);
  kernel.CreateObject(-1, RO_DETECTOR, 250, 0);
  EXPECT_EQ(a->LaneLeader(), b);
  EXPECT_EQ(b->LaneFollower(), a);
  EXPECT_EQ(b->LaneLeader(), sink0);
  EXPECT_EQ(c->LaneLeader(), sink1);
  EXPECT_EQ(end->LaneFollower(), nullptr);
  EXPECT_EQ(kernel.CheckObjectLists(), "");

  ASSERT_TRUE(c->ChangeLane(0));  // between a and b
  EXPECT_EQ(c->Position(), 200);
  EXPECT_EQ(a->LaneLeader(), c);
  EXPECT_EQ(c->LaneLeader(), b);
  EXPECT_EQ(sink1->LaneFollower(), nullptr);
  EXPECT_EQ(kernel.CheckObjectLists(), "");

  kernel.DestroyObject(c);
  EXPECT_EQ(a->LaneLeader(), b);
  EXPECT_EQ(b->LaneFollower(), a);
  kernel.DestroyObject(a);
  EXPECT_EQ(b->LaneFollower(), nullptr);
  EXPECT_EQ(kernel.CheckObjectLists(), "");
  EXPECT_EQ(kernel.ObjectCount(), 5u);
}

TEST(RoadObjectLaneLinks, PseudoLanesChainTheirFurniture) {
  Kernel kernel;
  kernel.CreateObject(-2, RO_ENDOFROAD, 1000, 0);
  RoadObject* b0 = kernel.CreateObject(-2, RO_PHYSBOUNDARY, 0, 1);
  RoadObject* b1 = kernel.CreateObject(-2, RO_PHYSBOUNDARY, 600, 0);
  RoadObject* d0 = kernel.CreateObject(-1, RO_DETECTOR, 400, 0);
  RoadObject* d1 = kernel.CreateObject(-1, RO_DETECTOR, 700, 1);
  RoadObject* v = Vehicle(kernel, 2, 500);
  EXPECT_EQ(b0->NextWithLane(-2), b1);
  EXPECT_EQ(b1->NextWithLane(-2), kernel.EndOfRoad());
  EXPECT_EQ(v->PreviousWithLane(-1), d0);
  EXPECT_EQ(v->NextWithLane(-1), d1);
  EXPECT_EQ(v->PreviousWithLane(-2), b0);
  EXPECT_EQ(kernel.FindDetector(1), d1->Detector());
  EXPECT_EQ(kernel.FindDetector(0), d0->Detector());
  EXPECT_EQ(kernel.FindDetector(2), nullptr);
}

namespace {

// Lane 1 ends in a taper at 300 m: a teleport in lane 1 and its reverse teleport in lane 0.
struct TaperRoad {
  Kernel kernel;
  RoadObject* teleport;
  RoadObject* reverse;
  RoadObject* upstream;    // lane 1, before the teleport
  RoadObject* downstream;  // lane 0, after the reverse teleport
  RoadObject* behind;      // lane 0, before the reverse teleport
  TaperRoad() {
    teleport = kernel.CreateObject(1, RO_TELEPORT, 300, 0);
    reverse = kernel.CreateObject(0, RO_REVERSETELEPORT, 300, 0);
    kernel.LinkTeleports(teleport, reverse);
    upstream = Vehicle(kernel, 1, 250, 1);
    downstream = Vehicle(kernel, 0, 400, 2);
    behind = Vehicle(kernel, 0, 100, 3);
  }
};

}  // namespace

TEST(RoadObjectTeleports, LeaderAndFollowerSeeThroughThePair) {
  TaperRoad road;
  EXPECT_EQ(road.upstream->LaneLeader(), road.teleport);
  EXPECT_EQ(road.upstream->LeaderInLane(), road.downstream);
  EXPECT_EQ(road.downstream->LaneFollower(), road.reverse);
  EXPECT_EQ(road.downstream->FollowerInLane(), road.upstream);
  // The vehicle behind in lane 0 sees the reverse teleport itself: no look-through there.
  EXPECT_EQ(road.behind->LeaderInLane(), road.reverse);
  // Another lane than the own one walks the global list.
  EXPECT_EQ(road.behind->LeaderInLane(1), road.upstream);
  EXPECT_EQ(road.upstream->LeaderInLane(0), road.reverse);
  EXPECT_EQ(road.teleport->Describe(), "teleport -> 300m lane 1");
  EXPECT_EQ(road.reverse->Describe(), "reverse teleport -> 300m lane 2");
}

TEST(RoadObjectTeleports, DestroyedEndLeavesNoDanglingLink) {
  TaperRoad road;
  road.kernel.DestroyObject(road.reverse);
  EXPECT_EQ(road.teleport->Teleport()->OtherEnd(), nullptr);
  EXPECT_EQ(road.teleport->Describe(), "teleport -> -1m lane 0");
  EXPECT_EQ(road.upstream->LeaderInLane(), road.teleport);
}

TEST(RoadObjectTeleports, EmptyLaneLoopEndsWithNothingAhead) {
  Kernel kernel;
  RoadObject* teleport = kernel.CreateObject(0, RO_TELEPORT, 500, 0);
  RoadObject* reverse = kernel.CreateObject(0, RO_REVERSETELEPORT, 100, 0);
  kernel.LinkTeleports(teleport, reverse);
  RoadObject* other = Vehicle(kernel, 1, 200);
  EXPECT_EQ(other->LeaderInLane(0), nullptr);
  EXPECT_EQ(other->FollowerInLane(0), nullptr);
}

TEST(RoadObjectSection, FindsTheBoundaryUpstreamOfThePosition) {
  Kernel kernel;
  kernel.CreateObject(-2, RO_ENDOFROAD, 1000, 0);
  RoadObject* b2 = kernel.CreateObject(-2, RO_PHYSBOUNDARY, 0, 2);
  RoadObject* b1 = kernel.CreateObject(-2, RO_PHYSBOUNDARY, 400, 1);
  RoadObject* b0 = kernel.CreateObject(-2, RO_PHYSBOUNDARY, 700, 0);
  struct Case {
    float position;
    RoadObject* current;
    RoadObject* expected;
  } cases[] = {
      {500, nullptr, b1}, {400, nullptr, b1}, {399.9f, nullptr, b2}, {1000, nullptr, b0},
      {100, b0, b2},      {800, b2, b0},      {0, b1, b2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    RoadObject* vehicle = Vehicle(kernel, 0, c.position);
    kernel.SetCurrentPhysSection(c.current);
    EXPECT_EQ(vehicle->GetSection(), c.expected);
    kernel.DestroyObject(vehicle);
  }
}

TEST(RoadObjectSection, ReportsMissingBoundaries) {
  ReportCapture capture;
  Kernel kernel;
  RoadObject* vehicle = Vehicle(kernel, 0, 50);
  EXPECT_EQ(vehicle->GetSection(), nullptr);
  std::string prefix =
      "Time 0.0: Program Error in RoadObject::GetSection: Cannot find follower in lane -2 of "
      "object ";
  EXPECT_EQ(capture.OnlyText().rfind(prefix, 0), 0u);
  capture.Clear();
  RoadObject* boundary = kernel.CreateObject(-2, RO_PHYSBOUNDARY, 100, 0);
  kernel.SetCurrentPhysSection(boundary);
  EXPECT_EQ(vehicle->GetSection(), nullptr);
  std::string text = capture.OnlyText();
  EXPECT_EQ(text.rfind(prefix, 0), 0u);
  EXPECT_EQ(text.substr(text.size() - 4), " (2)");
}

TEST(RoadObjectChangeLane, AcceptsOneOrTwoLanesOnly) {
  struct Case {
    int from, to;
    bool accepted;
  } cases[] = {{3, 2, true},    {3, 5, true},   {3, 6, false}, {3, 3, false},
               {11, 12, false}, {0, -1, false}, {1, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.from << " -> " << c.to);
    ReportCapture capture;
    Kernel kernel;
    RoadObject* vehicle = Vehicle(kernel, c.from, 100);
    kernel.CreateObject(c.from, RO_SINK, 500, 0);
    EXPECT_EQ(vehicle->ChangeLane(c.to), c.accepted);
    EXPECT_EQ(vehicle->Lane(), c.accepted ? c.to : c.from);
    if (!c.accepted) {
      EXPECT_EQ(capture.OnlyText(), Format("Time 0.0: Program Error in RoadObject::ChangeLane: "
                                           "Object type 100 current lane=%d requested lane=%d",
                                           c.from, c.to));
    }
    EXPECT_EQ(kernel.CheckObjectLists(), "");
  }
}

TEST(RoadObjectChangeLane, RefusesDuringALaneChangeAndForFurniture) {
  ReportCapture capture;
  Kernel kernel;
  RoadObject* vehicle = Vehicle(kernel, 2, 100);
  for (int state : {0, 20}) {
    vehicle->Vehicle()->laneChangeState = state;
    EXPECT_TRUE(vehicle->ChangeLane(vehicle->Lane() == 2 ? 1 : 2)) << state;
  }
  vehicle->Vehicle()->laneChangeState = -11;
  EXPECT_FALSE(vehicle->ChangeLane(1));
  EXPECT_EQ(
      capture.OnlyText(),
      "Time 0.0: Program Error in RoadObject::ChangeLane: Lanechangestate = -11 (should be 0)");
  capture.Clear();
  RoadObject* dummy = kernel.CreateObject(2, RO_DUMMY, 300, 0);
  EXPECT_FALSE(dummy->ChangeLane(1));
  EXPECT_EQ(capture.OnlyText(),
            "Time 0.0: Program Error in RoadObject::ChangeLane: "
            "Object type 99 current lane=2 requested lane=1");
}

TEST(RoadObjectExtras, KindsWithoutExtrasAreReported) {
  ReportCapture capture;
  Kernel kernel;
  RoadObject* end = kernel.CreateObject(-2, RO_ENDOFROAD, 1000, 0);
  EXPECT_EQ(end->GetExtras(), nullptr);
  EXPECT_EQ(capture.OnlyText(),
            "Time 0.0: Program Error in RoadObject::GetExtras: Extras not defined for object of "
            "type 98");
  capture.Clear();
  EXPECT_EQ(kernel.GetExtras(nullptr), nullptr);
  EXPECT_EQ(capture.OnlyText(),
            "Time 0.0: Program Error in RoadObject::GetExtras: \"this\" == NULL");
  capture.Clear();
  RoadObject* light = kernel.CreateObject(-5, RO_TRAFFICLIGHT, 500, 0);
  EXPECT_EQ(light->GetExtras(), light->TrafficLight());
  EXPECT_EQ(light->TrafficLight()->state, TL_GREEN);
  EXPECT_EQ(light->Vehicle(), nullptr);
  EXPECT_TRUE(capture.Empty());
}

TEST(RoadObjectExtras, PhysicalLaneInfoRejectsBadLanes) {
  ReportCapture capture;
  Kernel kernel;
  RoadObject* boundary = kernel.CreateObject(-2, RO_PHYSBOUNDARY, 0, 0);
  PhysicalLaneInfo* lanes = boundary->PhysicalLanes();
  for (int lane = 0; lane < MAX_KAVROLANE; ++lane) EXPECT_EQ(lanes->Lane(lane).notUsable, 1);
  EXPECT_TRUE(lanes->SetPhysicalLaneInfo(11, true, false, false, 0.8f, true, 0.02f, 25.0f));
  EXPECT_EQ(lanes->Lane(11).notUsable, 0);
  EXPECT_FALSE(lanes->SetPhysicalLaneInfo(12, true, true, false, 1, false, 0, 30));
  EXPECT_EQ(capture.OnlyText(),
            "Time 0.0: Program Error in PhysicalLaneInfo::SetPhysicalLaneInfo: Lane = 12");
}

TEST(RoadObjectDescribe, TextsPerKind) {
  Kernel kernel;
  struct Case {
    int lane, type, number;
    const char* text;
  } cases[] = {
      {0, RO_SINK, 4, "sink 5"},
      {0, RO_SOURCE, 0, "source 1"},
      {-1, RO_DETECTOR, 2, "detector 3"},
      {-2, RO_PHYSBOUNDARY, 0, "phys boundary 1"},
      {-5, RO_TRAFFICLIGHT, 1, "traffic light 2"},
      {3, RO_LANEDETECTOR, 6, "lane detector 7"},
      {-2, RO_ENDOFROAD, 0, "end of road"},
      {0, RO_DUMMY, 9, "dummy 10"},
      {0, RO_VEHICLE + 7, 55, "veh type 8"},
      {0, RO_TELEPORT, 0, "teleport -> -1m lane 0"},
  };
  for (const Case& c : cases) {
    RoadObject* object = kernel.CreateObject(c.lane, c.type, 10, c.number, 0, &kParams);
    ASSERT_NE(object, nullptr) << c.text;
    EXPECT_EQ(object->Describe(), c.text);
  }
}

TEST(RoadObjectSources, LaneSourcesRegisterOncePerLane) {
  Kernel kernel;
  RoadObject* s1 = kernel.CreateObject(1, RO_SOURCE, 0, 4);
  RoadObject* s2 = kernel.CreateObject(1, RO_SOURCE, 0, 4);
  SuperSource superSource(kernel, 4);
  EXPECT_TRUE(superSource.Register(s1));
  EXPECT_EQ(s1->Source()->superSource, &superSource);
  {
    ReportCapture capture;
    EXPECT_FALSE(superSource.Register(s2));  // lane 1 is taken
    ASSERT_EQ(capture.Reports().size(), 1u);
    EXPECT_EQ(capture.Reports()[0].kind, ReportKind::Assertion);
    EXPECT_EQ(
        capture.Reports()[0].text.rfind("source != nullptr && source->Type() == RO_SOURCE", 0), 0u);
  }
  EXPECT_EQ(superSource.LaneCount(), 1);
  EXPECT_TRUE(superSource.Unregister(s1));
  EXPECT_EQ(superSource.LaneCount(), 0);
  s1->Source()->superSource = nullptr;
}

TEST(RoadObjectDump, OneLinePerObject) {
  Kernel kernel;
  kernel.CreateObject(-2, RO_ENDOFROAD, 1000, 0);
  kernel.CreateObject(2, RO_SINK, 1000, 1);
  Vehicle(kernel, 0, 12.25f, 7);
  EXPECT_EQ(kernel.DumpObjects(),
            "veh type 1\t0\t12.250\t7\n"
            "sink 2\t2\t1000.000\t1\n"
            "end of road\t-2\t1000.000\t0\n");
}

TEST(RoadObjectKernels, TwoKernelsDoNotShareObjects) {
  Kernel first, second;
  first.CreateObject(-2, RO_ENDOFROAD, 1000, 0);
  Vehicle(first, 0, 10);
  second.CreateObject(-2, RO_ENDOFROAD, 500, 0);
  EXPECT_EQ(first.ObjectCount(), 2u);
  EXPECT_EQ(second.ObjectCount(), 1u);
  EXPECT_EQ(first.EndOfRoad()->Position(), 1000);
  EXPECT_EQ(second.EndOfRoad()->Position(), 500);
  first.DestroyAllObjects();
  EXPECT_EQ(first.EndOfRoad(), nullptr);
  EXPECT_EQ(second.EndOfRoad()->Position(), 500);
}
