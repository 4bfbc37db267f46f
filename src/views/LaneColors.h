#pragma once

#include "roadview/RoadColors.h"

/// The colour of lane `lane` (from 0) in the lane series of the analysis views; lanes beyond
/// the twelfth are black like the aggregate.
RgbColor LaneSeriesColor(int lane);
