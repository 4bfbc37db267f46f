#include "shell/DetectorValues.h"

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/Units.h"

DetectorValueContext DetectorContext(const KDConfig& config, int detector) {
  DetectorValueContext context;
  context.FirstTime = config.DetectorTime(0);
  context.Interval = config.DetectorTime(1) - config.DetectorTime(0);
  // Detector k + 1 is the next one upstream; without it -1 stands for its position.
  int upstream = detector + 1 < config.DetectorCount() ? config.DetectorPosition(detector + 1) : -1;
  context.Gap = static_cast<float>(config.DetectorPosition(detector) - upstream);
  return context;
}

float ComputeDetectorValues(const DetectorSampleStore& store, char scaleId, int period,
                            int detector, float* perLane, int divisor, int lanes, int periodLength,
                            const DetectorValueContext& context) {
  if (scaleId != 'q' && scaleId != 'k' && scaleId != 'u' && scaleId != 'T' && scaleId != 'v' &&
      scaleId != 't') {
    ProgramError("Bad ScaleID passed to TFormGraph::ComputeDetectorValues");
    return -1;
  }
  static const DetectorSample kEmpty;
  const DetectorSample* found = store.Record(period, detector);
  const DetectorSample& record = found ? *found : kEmpty;
  if (lanes > MAX_KAVROLANE) lanes = MAX_KAVROLANE;
  const float length = periodLength == 0 ? 1.0f : static_cast<float>(periodLength);
  const float g = context.Gap;
  float e = 0;
  float w = 0;
  for (int i = 0; i < lanes; ++i) {
    const float c = static_cast<float>(record.Count[i]);
    const float s = record.Speed[i];
    const float ts = record.TravelTimeSum[i];
    const float tc = static_cast<float>(record.TravelTimeCount[i]);
    float value = 0;
    switch (scaleId) {
      case 'q':
        value = c * 3600 / length;
        e += value;
        w += c;
        break;
      case 'k':
        value = s > 0 ? c * 3600 / s / length : 0;
        e += value;
        w += c;
        break;
      case 'u':
        value = s > 0 ? s : -1;
        if (s > 0) e += c / s;
        w += c;
        break;
      case 'T':
        value = tc > 0 ? ts / tc : -1;
        if (tc > 0) e += ts;
        w += tc;
        break;
      case 'v':
        value = ts > 0 ? MsToKmh(g * tc / ts) : -1;
        if (ts > 0) e += MsToKmh(tc * tc * g / ts);
        w += tc;
        break;
      default:  // 't'
        value = static_cast<float>(context.FirstTime + period * context.Interval);
        e = value;
        w += c;
        break;
    }
    perLane[i] = value;
  }
  const float d = divisor < 1 ? 1.0f : static_cast<float>(divisor);
  if (w >= 1) {
    switch (scaleId) {
      case 'q':
      case 'k':
        return e / d;
      case 'u':
        return e > 0 ? w / e : -1;
      case 't':
        return e;
      default:
        return e / w;
    }
  }
  switch (scaleId) {
    case 'q':
    case 'k':
      return 0;
    case 't':
      return lanes > 0 ? perLane[0] : -1;
    default:
      return -1;
  }
}
