#pragma once

#include <QImage>

#include "roadview/ui/TrafficPainter.h"

class KDConfig;
class ModelVehicleSource;

/// DOVEL mode: draws the external model's vehicles over a copy of the road picture, with the
/// traffic lights, lane detectors and the temporarily closed lane at simulated time `seconds`
/// [s]. Walks the model's vehicles once; returns the number of vehicles walked.
int DrawModelTraffic(ModelVehicleSource& model, const KDConfig& config, const QImage& road,
                     QImage& traffic, int zoomIndex, int scroll,
                     const TrafficDrawSettings& settings, int seconds);
