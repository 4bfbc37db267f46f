#include "views/LaneColors.h"

#include "config/ProgramMode.h"

RgbColor LaneSeriesColor(int lane) {
  static constexpr RgbColor kLaneColors[MAX_KAVROLANE] = {
      {128, 0, 0},     {255, 0, 0},     {255, 128, 64},  {255, 255, 0},
      {0, 128, 0},     {0, 255, 255},   {255, 0, 255},   {192, 192, 192},
      {255, 255, 255}, {128, 255, 128}, {255, 192, 255}, {127, 128, 127}};
  return lane >= 0 && lane < MAX_KAVROLANE ? kLaneColors[lane] : RgbColor{0, 0, 0};
}
