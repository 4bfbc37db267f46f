#include "roadview/SurfaceDetailEditing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "config/DovelLink.h"
#include "config/KDConfig.h"
#include "config/RoadTypes.h"
#include "roadview/SurfaceDetailLabels.h"

namespace {

struct RowValues {
  float factor, low, high;
  int steps;
  int property;
  RoadDrawKind aspect;
};
constexpr RowValues kRows[kKavroSurfaceRows] = {
    {100.0f, 10.0f, 100.0f, 9, PP_SPEEDSUPPRESSION, RoadDrawKind::SpeedSuppression},
    {1.0f, 0.0f, 1.0f, 1, PP_NOOVERTAKINGTRUCKS, RoadDrawKind::NoOvertakingTrucks},
    {1.0f, 70.0f, 120.0f, 5, PP_SPEEDLIMIT, RoadDrawKind::SpeedLimit},
};

const char* const kPerMille = "\x89";  // per mille sign (Windows-1252): tenths of a percent

}  // namespace

bool SurfaceDetailRow::PerMille() const { return unit.rfind(kPerMille, 0) == 0; }

SurfaceDetailRow KavroSurfaceRow(int index, const std::string& caption) {
  SurfaceDetailRow row;
  const std::size_t bar = caption.find('|');
  row.name = caption.substr(0, bar);
  row.unit = bar == std::string::npos ? std::string() : caption.substr(bar + 1);
  if (index < 0 || index >= kKavroSurfaceRows) {
    row.property = -1;
    return row;
  }
  const RowValues& values = kRows[index];
  row.factor = values.factor;
  row.low = values.low;
  row.high = values.high;
  row.steps = values.steps;
  row.property = values.property;
  row.aspect = values.aspect;
  return row;
}

float SurfaceValue(const KDConfig& config, const SurfaceDetailRow& row, int section, int lane) {
  if (row.property < 0) return 0.0f;
  return config.PhysicalSectionProperty(section, lane, row.property) * row.factor;
}

int SurfaceFieldValue(const KDConfig& config, const SurfaceDetailRow& row, int section, int lane) {
  return static_cast<int>(std::trunc(SurfaceValue(config, row, section, lane) + 0.01f));
}

ShownCell ShownSurfaceCell(const RoadEditSelection& selection) {
  return {std::max(selection.sectionFrom, 0), std::max(selection.laneFrom, 0)};
}

bool SelectionHoldsOpenLane(const KDConfig& config, const RoadEditSelection& selection) {
  const SelectedRange r = SelectedCells(config, selection);
  for (int s = r.sectionLo; s <= r.sectionHi; ++s)
    for (int l = r.laneLo; l <= r.laneHi; ++l) {
      const int type = config.IntPhysicalSectionProperty(s, l, PP_LANETYPE);
      if ((type & LANE_PAVED) && (type & LANE_MERGEBOTH) != LANE_MERGEBOTH) return true;
    }
  return false;
}

bool SurfaceValueAllowed(const SurfaceDetailRow& row, int value) {
  if (row.property < 0) return false;
  if (static_cast<float>(value) < row.low || static_cast<float>(value) > row.high) return false;
  return !row.YesNo() || value == 0 || value == 1;
}

bool SetSurfaceValue(KDConfig& config, const SurfaceDetailRow& row,
                     const RoadEditSelection& selection, int value) {
  if (!SurfaceValueAllowed(row, value)) return false;
  const float stored = static_cast<float>(value) / row.factor;
  const SelectedRange r = SelectedCells(config, selection);
  for (int s = r.sectionLo; s <= r.sectionHi; ++s)
    for (int l = r.laneLo; l <= r.laneHi; ++l)
      config.SetPhysicalSectionProperty(s, l, row.property, stored);
  return true;
}

std::vector<ValueMenuEntry> SurfaceMenuEntries(const SurfaceDetailRow& row) {
  std::vector<ValueMenuEntry> entries;
  if (row.YesNo()) {
    entries.push_back({0, "&Overtaking trucks OK"});
    entries.push_back({1, "&No overtaking trucks"});
    return entries;
  }
  if (row.steps < 1) return entries;
  const float step = (row.high - row.low) / static_cast<float>(row.steps);
  char text[64];
  for (int k = 0; k <= row.steps; ++k) {
    const int t = static_cast<int>(std::trunc(static_cast<float>(k) * step + row.low + 0.01f));
    if (row.PerMille())
      std::snprintf(text, sizeof text, "%.1f %%", t * 0.1);
    else
      std::snprintf(text, sizeof text, "%d %s", t, row.unit.c_str());
    // Each entry goes on top: the highest value ends first.
    entries.insert(entries.begin(), {t, text});
  }
  return entries;
}

std::vector<ValueMenuEntry> SpeedLimitMenuEntries() {
  std::vector<ValueMenuEntry> entries;
  for (int v = 20; v <= 150; v += 10)
    entries.push_back({v, (v <= 100 ? "&" : "") + std::to_string(v) + " km/h"});
  return entries;
}

int TickedMenuEntry(const std::vector<ValueMenuEntry>& entries, int fieldValue) {
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (std::abs(entries[i].value - fieldValue) < 1) return static_cast<int>(i);
  return -1;
}

std::string SurfaceOtherCaption(const SurfaceDetailRow& row) {
  std::string name = row.name;
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return "Set " + name + " [" + (row.PerMille() ? std::string("0.1%") : row.unit) + "]";
}

bool ScanFieldNumber(const std::string& text, int& value) {
  int v = 0;
  int consumed = 0;
  if (std::sscanf(text.c_str(), "%d%n", &v, &consumed) != 1) return false;
  if (consumed != static_cast<int>(text.size())) return false;
  value = v;
  return true;
}

int SectionSpeedLimit(const KDConfig& config, const RoadEditSelection& selection) {
  const int section = std::min(std::max(selection.sectionFrom, 0), config.Boundaries());
  return static_cast<int>(
      std::trunc(config.PhysicalSectionProperty(section, 0, PP_SPEEDLIMIT) + 0.5f));
}

void SetSectionSpeedLimit(KDConfig& config, const RoadEditSelection& selection, int limit) {
  const SelectedRange r = SelectedCells(config, selection);
  for (int s = r.sectionLo; s <= r.sectionHi; ++s)
    config.SetPhysicalSectionProperty(s, 0, PP_SPEEDLIMIT, static_cast<float>(limit));
}

// ---- DOVEL surface details ------------------------------------------------------------------

namespace {

bool UsableSteps(const SurfaceDetailInfo& info) {
  return info.step > 0.0f && info.maximum >= info.minimum && std::isfinite(info.step) &&
         std::isfinite(info.minimum) && std::isfinite(info.maximum);
}

// Float to int without overflow: the slider stays within what a position can hold.
int WholePart(float value, int high) {
  if (!(value > 0.0f)) return 0;
  if (value >= static_cast<float>(high)) return high;
  return static_cast<int>(std::trunc(value));
}

constexpr int kMostPositions = 1000000;

}  // namespace

int DetailSliderMaximum(const SurfaceDetailInfo& info) {
  if (!UsableSteps(info)) return 0;
  return WholePart((info.maximum - info.minimum) / info.step + 0.1f, kMostPositions);
}

int DetailSliderPosition(const SurfaceDetailInfo& info, float value) {
  if (!UsableSteps(info)) return 0;
  return WholePart((value - info.minimum) / info.step + 0.4f, DetailSliderMaximum(info));
}

float DetailSliderValue(const SurfaceDetailInfo& info, int position) {
  if (!UsableSteps(info)) return info.minimum;
  const float value = static_cast<float>(std::max(position, 0)) * info.step + info.minimum;
  return std::min(value, info.maximum);
}

std::string DetailValueText(const SurfaceDetailInfo& info, float value) {
  return FormatDetailText({info.perLane, info.type == 1, info.format}, value);
}

std::string DetailPerLaneComment(const SurfaceDetailInfo& info) {
  return info.perLane ? std::string() : info.caption + " affects all lanes at once";
}

float ShownDetailValue(const KDConfig& config, const RoadEditSelection& selection, int detail,
                       bool perLane) {
  if (detail < 0 || detail > PP_SURFACEDETAIL_LAST) return 0.0f;
  const ShownCell cell = ShownSurfaceCell(selection);
  const int section = std::min(cell.section, config.Boundaries());
  if (!perLane) return config.PhysicalSectionProperty(section, 0, detail);
  // The model's roads keep their lanes at the right: the first selected lane is often not a
  // lane at all, and has no value the model would take. Show the first one that is.
  const SelectedRange r = SelectedCells(config, selection);
  int lane = std::min(cell.lane, MaxLane() - 1);
  for (int l = r.laneLo; l <= r.laneHi; ++l)
    if (config.IntPhysicalSectionProperty(section, l, PP_LANETYPE) & (LANE_PAVED | LANE_ICC)) {
      lane = l;
      break;
    }
  return config.PhysicalSectionProperty(section, lane, detail);
}

SelectedRange DetailCells(const KDConfig& config, const RoadEditSelection& selection,
                          bool perLane) {
  SelectedRange range = SelectedCells(config, selection);
  range.sectionLo = range.sectionHi =
      std::min(ShownSurfaceCell(selection).section, config.Boundaries());
  if (!perLane) range.laneLo = range.laneHi = 0;
  return range;
}

void SetDetailValue(KDConfig& config, const RoadEditSelection& selection, int detail, bool perLane,
                    float value) {
  if (detail < 0 || detail > PP_SURFACEDETAIL_LAST) return;
  const SelectedRange r = DetailCells(config, selection, perLane);
  for (int l = r.laneLo; l <= r.laneHi; ++l)
    config.SetPhysicalSectionProperty(r.sectionLo, l, detail, value);
}
