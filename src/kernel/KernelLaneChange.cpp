#include "kernel/Kernel.h"
#include "kernel/LaneChangeState.h"

// Gap acceptance and the lane change manoeuvres. Until lane changing is built, vehicles keep
// their lanes: roads whose lanes allow no lane changes never get here.
bool Kernel::TryLaneChange(RoadObject* vehicle, RoadObject* leader) {
  (void)vehicle;
  (void)leader;
  return false;
}

// A manoeuvre lasts laneChangeSteps_ decisions; at its end the state falls back to 0
// (voluntary) or to +-10 (required, cleared after the next move).
void Kernel::AdvanceLaneChangeState(RoadObject* vehicle) {
  int& state = vehicle->Vehicle()->laneChangeState;
  state += state > 0 ? 1 : -1;
  int magnitude = state > 0 ? state : -state;
  if (laneChangeSteps_ > 0 && magnitude % 10 == laneChangeSteps_)
    state += state > 0 ? -laneChangeSteps_ : laneChangeSteps_;
}
