#include "shell/RunSimulation.h"

bool KeepsDesiredDistance(float aheadPosition, float aheadLength, float position, float speed,
                          float z1, float z2, float z3) {
  // 0.1 m of tolerance: a vehicle that follows at exactly its desired distance keeps it.
  return aheadPosition - aheadLength + 0.1f >= position + z1 + z2 * speed + z3 * speed * speed;
}
