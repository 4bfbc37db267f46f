#include "roadview/ui/ModelTrafficPainter.h"

#include "config/KDConfig.h"
#include "roadview/ModelVehicles.h"
#include "roadview/ui/RoadCanvas.h"

int DrawModelTraffic(ModelVehicleSource& model, const KDConfig& config, const QImage& road,
                     QImage& traffic, int zoomIndex, int scroll,
                     const TrafficDrawSettings& settings, int seconds) {
  if (road.width() <= 0) return 0;
  const RoadViewport view =
      BeginTrafficPicture(config, road, traffic, zoomIndex, scroll, settings.flags, seconds);
  RoadCanvas canvas(traffic);
  int count = 0;
  for (int k = model.NextVehicle(0); k >= 1; k = model.NextVehicle(k)) {
    ++count;
    // A link the road does not have (a failed read) is not drawn; the count still holds it.
    const ModelVehiclePlace place = PlaceModelVehicle(config, model, k);
    if (!place.onRoad) continue;
    const RgbColor color = SwatchColor(settings, ModelVehicleColor(settings.scheme, model, k));
    DrawVehicle(canvas, view, place.y, color, place.position, place.length);
  }
  return count;
}
