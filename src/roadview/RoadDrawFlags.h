#pragma once

#include <cstdint>

// The 32-bit word that tells the road drawing what to highlight and what to show. The low 22
// bits hold a value (index + 1 of the highlighted object, or of the shown property), bits
// 23 .. 26 its kind, and bits 27 .. 30 drawing switches. The main window keeps its current
// selection in a word of the same layout (bits 0 .. 26).
enum class RoadDrawKind : std::uint32_t {
  None = 0,
  Destination = 1,  // value: index + 1 + 256 x (rank + 1 of the selected lane change area)
  Origin = 2,
  Detector = 3,
  TrafficLight = 4,
  SpeedSuppression = 5,
  SpeedLimit = 6,
  SurfaceDetail = 7,  // external model surface detail; value = detail + 1
  NoOvertakingTrucks = 9,
  Teleport = 11,  // value: entrance index + 2
};

constexpr std::uint32_t RDF_VALUE_MASK = (1u << 22) - 1;
constexpr int RDF_KIND_SHIFT = 23;
constexpr std::uint32_t RDF_KIND_MASK = 15u << RDF_KIND_SHIFT;
constexpr std::uint32_t RDF_SELECTION_MASK = RDF_VALUE_MASK | RDF_KIND_MASK;
constexpr std::uint32_t RDF_DRAW_TAPERS = 1u << 27;           // tapers drawn as tapers
constexpr std::uint32_t RDF_SHOW_ALL_LANE_CHANGE = 1u << 28;  // lanes all must leave: gray
constexpr std::uint32_t RDF_SHOW_AREAS = 1u << 29;    // lane change areas of the destination
constexpr std::uint32_t RDF_LIGHT_STATES = 1u << 30;  // traffic lights show their state

constexpr std::uint32_t MakeRoadDrawFlags(RoadDrawKind kind, std::uint32_t value) {
  return (static_cast<std::uint32_t>(kind) << RDF_KIND_SHIFT) | (value & RDF_VALUE_MASK);
}
constexpr RoadDrawKind DrawKind(std::uint32_t flags) {
  return static_cast<RoadDrawKind>((flags & RDF_KIND_MASK) >> RDF_KIND_SHIFT);
}
constexpr int DrawValue(std::uint32_t flags) { return static_cast<int>(flags & RDF_VALUE_MASK); }
/// Kind 1: the destination index, -1 for none.
constexpr int SelectedDestination(std::uint32_t flags) {
  return DrawValue(flags) >= 1 ? (DrawValue(flags) - 1) & 255 : -1;
}
/// Kind 1: the rank of the selected lane change area, -1 for none.
constexpr int SelectedAreaRank(std::uint32_t flags) {
  return DrawValue(flags) >= 1 ? ((DrawValue(flags) - 1) >> 8) - 1 : -1;
}
