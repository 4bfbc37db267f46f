#include "shell/ResultsFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "config/FileReplace.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/VDCTypes.h"
#include "shell/DetectorValues.h"
#include "shell/RunSimulation.h"

namespace {

// The shared start of every line: output time, detector number and the line's label.
void Prefix(std::FILE* file, int time, int detector, const char* label) {
  std::fprintf(file, "%d\t%d\t%s\t", time, detector + 1, label);
}

// A quantity without data (below 0) leaves its field empty.
void OptionalValue(std::FILE* file, float value) {
  if (value >= 0) std::fprintf(file, "%.2f", value);
}

void OptionalLanes(std::FILE* file, const float* perLane, int lanes) {
  for (int i = 0; i < lanes; ++i) {
    std::fputc('\t', file);
    OptionalValue(file, perLane[i]);
  }
  std::fputc('\n', file);
}

struct Block {
  std::FILE* file;
  const DetectorSampleStore& store;
  int time;
  int period;
  int detector;
  int lanes;
  int length;  // [s]
  DetectorValueContext context;

  float Values(char id, float* perLane) const {
    return ComputeDetectorValues(store, id, period, detector, perLane, 1, lanes, length, context);
  }
};

void WriteFlowAndSpeed(const Block& b) {
  float perLane[MAX_KAVROLANE] = {};
  Prefix(b.file, b.time, b.detector, "q");
  std::fprintf(b.file, "%.0f", b.Values('q', perLane));
  for (int i = 0; i < b.lanes; ++i) std::fprintf(b.file, "\t%.0f", perLane[i]);
  std::fputc('\n', b.file);
  Prefix(b.file, b.time, b.detector, "u");
  OptionalValue(b.file, b.Values('u', perLane));
  OptionalLanes(b.file, perLane, b.lanes);
}

// Flow [veh/h] and harmonic mean speed [km/h] per vehicle type, from the kernel's detector.
void WriteVehicleTypes(const Block& b, const DetectorQueries* detector, int types) {
  // The flow factor is a whole number of vehicles per hour per vehicle counted.
  const int factor = 3600 / std::max(b.length, 1);
  for (int t = 0; t < types; ++t) {
    auto count = [&](int lane) { return detector ? detector->VehicleCount(b.period, lane, t) : 0; };
    auto speed = [&](int lane) {
      return detector ? detector->HarmonicSpeed(b.period, lane, t) : -1.0f;
    };
    std::string label = Format("q%d", t + 1);
    Prefix(b.file, b.time, b.detector, label.c_str());
    std::fprintf(b.file, "%d", count(-1) * factor);
    for (int i = 0; i < b.lanes; ++i) std::fprintf(b.file, "\t%d", count(i) * factor);
    std::fputc('\n', b.file);
    label = Format("u%d", t + 1);
    Prefix(b.file, b.time, b.detector, label.c_str());
    OptionalValue(b.file, speed(-1));
    float perLane[MAX_KAVROLANE] = {};
    for (int i = 0; i < b.lanes; ++i) perLane[i] = speed(i);
    OptionalLanes(b.file, perLane, b.lanes);
  }
}

void WriteBlock(const Block& b, bool extended, bool hasUpstream, const DetectorQueries* detector,
                int types) {
  const DetectorSample* record = b.store.Record(b.period, b.detector);
  if (extended) {
    Prefix(b.file, b.time, b.detector, "l");
    std::fprintf(b.file, "%d\n", detector ? detector->LaneChangesLeft(b.period) : 0);
    Prefix(b.file, b.time, b.detector, "r");
    std::fprintf(b.file, "%d\n", detector ? detector->LaneChangesRight(b.period) : 0);
  } else {
    Prefix(b.file, b.time, b.detector, "x");
    std::fprintf(b.file, "%d\n", record ? record->LaneChanges : 0);
  }
  WriteFlowAndSpeed(b);
  if (extended) WriteVehicleTypes(b, detector, types);
  float perLane[MAX_KAVROLANE] = {};
  Prefix(b.file, b.time, b.detector, "k");
  std::fprintf(b.file, "%.2f", b.Values('k', perLane));
  OptionalLanes(b.file, perLane, b.lanes);
  if (!hasUpstream) return;
  Prefix(b.file, b.time, b.detector, "t");
  OptionalValue(b.file, b.Values('T', perLane));
  OptionalLanes(b.file, perLane, b.lanes);
  Prefix(b.file, b.time, b.detector, "v");
  OptionalValue(b.file, b.Values('v', perLane));
  OptionalLanes(b.file, perLane, b.lanes);
}

}  // namespace

void WriteSimulationResults(std::FILE* file, bool extended, const KDConfig& config,
                            const DetectorSampleStore& store, const RunSimulation* simulation) {
  const int lanes = std::min(config.LanesUsed(), MAX_KAVROLANE);
  std::fprintf(file, extended ? "t\tD\tlrquktv\t1..%d" : "t\tD\txquktv\t1..%d", lanes);
  for (int i = 1; i <= lanes; ++i) std::fprintf(file, "\t%d", i);
  std::fputc('\n', file);
  // The configuration may have gained detectors since the run; the store holds only the
  // run's detectors.
  const int configured = config.DetectorCount();
  const int detectors = std::min(configured, store.NumDetectors());
  const int types = std::max(config.VDCTypeCount(VDC_KAVRO), 0);
  for (int p = 0; p < store.PeriodCount(); ++p) {
    const int length =
        p == 0 ? config.DetectorTime(0) : config.DetectorTime(1) - config.DetectorTime(0);
    for (int k = 0; k < detectors; ++k) {
      Block block{file,  store,  config.DetectorTime(p),    p, k,
                  lanes, length, DetectorContext(config, k)};
      const DetectorQueries* detector = simulation ? simulation->Detector(k) : nullptr;
      WriteBlock(block, extended, k < configured - 1, detector, types);
    }
  }
}

bool WriteSimulationResults(const std::string& name, bool extended, const KDConfig& config,
                            const DetectorSampleStore& store, const RunSimulation* simulation) {
  FileReplacement file;
  if (file.Open(name)) {
    WriteSimulationResults(file.File(), extended, config, store, simulation);
    if (file.Commit()) return true;
  }
  UserMessage(ReportKind::Error, "Error",
              Format("Cannot write to file \"%s\": %s.", name.c_str(), file.Error().c_str()));
  return false;
}
