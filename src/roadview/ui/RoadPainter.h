#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

#include "roadview/RoadGeometry.h"
#include "roadview/RoadGlyphs.h"
#include "roadview/SurfaceDetailLabels.h"

class KDConfig;
class RoadCanvas;

/// Draws the whole road picture into `bitmap`: lanes, markings, tapers, detectors, origins,
/// destinations, teleports, traffic lights, lane detectors, lane change areas of the selected
/// destination, property labels and the distance scale. `flags` is a RoadDrawFlags word.
/// Sets the section header's items and records the glyph and detector label areas. A bitmap 0
/// pixels wide draws and records nothing. `details` describes the external model's surface details
/// for their view (kind 7).
void DrawRoadLayout(const KDConfig& config, QImage& bitmap, std::vector<HeaderItem>* header,
                    std::uint32_t flags, int zoomIndex, int scroll,
                    RoadDisplayAreas* areas = nullptr,
                    const std::vector<SurfaceDetailView>* details = nullptr);

/// The traffic lights and lane detectors, also drawn over the moving traffic. With
/// RDF_LIGHT_STATES in `flags` the lights show their state instead of their number.
void DrawTrafficLightsAndLaneDetectors(const KDConfig& config, RoadCanvas& canvas,
                                       const RoadViewport& view, std::uint32_t flags);

// The parts of the picture, in drawing order; each draws over the earlier ones.
void DrawDetectorLines(const KDConfig& config, RoadCanvas& canvas, const RoadViewport& view);
void DrawDistanceScale(RoadCanvas& canvas, const RoadViewport& view);
void DrawLanes(const KDConfig& config, RoadCanvas& canvas, const RoadViewport& view,
               std::uint32_t flags);
void DrawTeleports(const KDConfig& config, RoadCanvas& canvas, const RoadViewport& view,
                   std::uint32_t flags);
void DrawOriginsAndDestinations(const KDConfig& config, RoadCanvas& canvas,
                                const RoadViewport& view, std::uint32_t flags,
                                RoadDisplayAreas* areas);
void DrawLaneChangeAreas(const KDConfig& config, RoadCanvas& canvas, const RoadViewport& view,
                         std::uint32_t flags);
void DrawPropertyLabels(const KDConfig& config, RoadCanvas& canvas, const RoadViewport& view,
                        std::uint32_t flags, const std::vector<SurfaceDetailView>* details);
void DrawDetectorLabels(const KDConfig& config, RoadCanvas& canvas, const RoadViewport& view,
                        std::uint32_t flags, RoadDisplayAreas* areas);
