#include "kernel/KernelTraces.h"

#include "config/ProgramError.h"
#include "kernel/Kernel.h"
#include "kernel/LaneChangeState.h"

const char* KernelTraceHeader(KernelTrace trace) {
  switch (trace) {
    case KernelTrace::Detection:
      return "pos (m)\tlane\tt (s)\tv (m/s)\ttype\tid\tdest\n";
    case KernelTrace::DetectorTravelTime:
      return "pos (m)\tlane\tt (s)\tdt (s)\tv (m/s)\ttype\tid\tdest\n";
    case KernelTrace::ODTravelTime:
      return "t (s)\torigin\tdest\ttt (s)\tv (m/s)\ttype\tid\n";
    case KernelTrace::LaneChange:
      return "t (s)\tfromln\ttolane\tpos (m)\tttype\tid\n";
  }
  return "";
}

namespace {

// Vehicle types are shown counting from 1.
int ShownType(const RoadObject* vehicle) { return vehicle->Type() - (RO_VEHICLE - 1); }

}  // namespace

void Kernel::SetTraceSink(KernelTrace trace, TraceSink* sink) {
  int index = static_cast<int>(trace);
  if (index >= 0 && index < KERNEL_TRACE_COUNT) traces_.sink[index] = sink;
}

void Kernel::SetTraceFiles(std::FILE* detection, std::FILE* travelTime, std::FILE* odTravelTime,
                           std::FILE* laneChange) {
  std::FILE* files[KERNEL_TRACE_COUNT] = {detection, travelTime, odTravelTime, laneChange};
  for (int index = 0; index < KERNEL_TRACE_COUNT; ++index) {
    traceFiles_[index] = FileTraceSink(files[index]);
    traces_.sink[index] = files[index] != nullptr ? &traceFiles_[index] : nullptr;
  }
}

void Kernel::WriteTraceHeaders() {
  for (int index = 0; index < KERNEL_TRACE_COUNT; ++index)
    if (TraceSink* sink = traces_.sink[index])
      sink->WriteLine(KernelTraceHeader(static_cast<KernelTrace>(index)));
}

void Kernel::TraceDetectorPassage(const RoadObject* vehicle, const RoadObject* detector, float time,
                                  float speed) {
  const VehicleInfo& info = *vehicle->Vehicle();
  const float x = detector->Position();  // [m]
  const int lane = vehicle->Lane() + 1;
  TraceSink* detection = traces_[KernelTrace::Detection];
  TraceSink* sink = traces_[KernelTrace::DetectorTravelTime];
  if (detection == nullptr && sink == nullptr) return;
  const std::string destination = DestinationName(info.destination);
  if (detection != nullptr) {
    detection->WriteLine(Format("%g\t%d\t%g\t%g\t%d\t%d\t%s\n", x, lane, time, speed,
                                ShownType(vehicle), vehicle->Number(), destination.c_str()));
  }
  if (sink == nullptr || info.lastDetectorTime == 0) return;
  // The vehicle is not yet carried past the detector: the nearest detector behind its place
  // in the list is the one it passed before.
  const RoadObject* previous = DetectorBehind(vehicle);
  float from = previous != nullptr ? previous->Position() : 0;  // [m]
  float dt = time - info.lastDetectorTime;                      // [s]
  sink->WriteLine(Format("%g\t%d\t%g\t%g\t%g\t%d\t%d\t%s\n", x, lane, time, dt, (x - from) / dt,
                         ShownType(vehicle), vehicle->Number(), destination.c_str()));
}

void Kernel::TraceLaneChange(const RoadObject* vehicle) {
  TraceSink* sink = traces_[KernelTrace::LaneChange];
  if (sink == nullptr) return;
  const VehicleInfo& info = *vehicle->Vehicle();
  // The vehicle is already in its new lane; lanes are shown counting from 1.
  int to = vehicle->Lane() + 1;
  int from = info.laneChangeState < 0 ? to + 1 : to - 1;
  sink->WriteLine(Format("%g\t%d\t%d\t%g\t%d\t%d\n",
                         static_cast<double>(stepCount_) / stepsPerSecond_, from, to,
                         vehicle->Position(), ShownType(vehicle), vehicle->Number()));
}

void Kernel::TraceArrival(const RoadObject* vehicle, const RoadObject* sink) {
  TraceSink* trace = traces_[KernelTrace::ODTravelTime];
  if (trace == nullptr) return;
  const VehicleInfo& info = *vehicle->Vehicle();
  float time = 0;  // [s]
  if (!KAVRO_ASSERT(FindPassingTimeAndSpeed(vehicle, sink->Position(), &time, nullptr))) return;
  float travelTime = time - info.creationTime;                                  // [s]
  float speed = (sink->Position() - OriginPosition(info.origin)) / travelTime;  // [m/s]
  trace->WriteLine(Format("%.2f\t%s\t%s\t%.2f\t%.2f\t%d\t%d\n", time,
                          OriginName(info.origin).c_str(),
                          DestinationName(info.destination).c_str(), travelTime, speed,
                          ShownType(vehicle), vehicle->Number()));
}

float Kernel::OriginPosition(int origin) const {
  for (const auto& superSource : superSources_) {
    if (superSource->Origin() != origin) continue;
    for (int lane = 0; lane < MAX_KAVROLANE; ++lane)
      if (RoadObject* source = superSource->SubSource(lane)) return source->Position();
  }
  return 0;
}
