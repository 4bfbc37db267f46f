#pragma once

#include <cstdint>

#include "config/ProgramMode.h"

// Road layout vocabulary shared by the configuration, the file formats, the kernel set-up and
// the road view. Positions are metres from the upstream end of the road; section 0 is the
// most downstream section; lane 0 is the median (leftmost) lane.

// Set while a configuration object is alive, cleared by its destructor.
constexpr std::uint32_t KDCONFIG_MAGIC = 0x9d6209f1;

// Per-lane road properties of a physical section. 0 .. 8 are the surface details of the
// external vehicle model; 9 and 17 are spare values that only travel with copied road pieces.
constexpr int PP_SURFACEDETAIL_LAST = 8;
constexpr int PP_SPARE9 = 9;
constexpr int PP_NOOVERTAKINGTRUCKS = 10;  // 0 or 1; 1 = closed for overtaking trucks
constexpr int PP_ALLLANECHANGE = 11;       // 0 or 1; 1 = every vehicle must leave the lane
constexpr int PP_SPEEDLIMIT = 12;          // [km/h]
constexpr int PP_SLOPE = 13;               // grade as a fraction, 0 .. 0.07
constexpr int PP_LANETYPE = 14;            // lane type bits, 0 .. LANEMASK_ALL
constexpr int PP_SPEEDSUPPRESSION = 15;    // factor 0 .. 1 on the desired speed; 1 = none
constexpr int PP_DISTANCE = 16;            // lane 0 only: the section's downstream end [m]
constexpr int PP_SPARE17 = 17;
constexpr int PP_COUNT = 18;

// Default speed limits [km/h]. Only the built-in simulator couples a speed limit and a speed
// suppression, around its own default.
constexpr float DEFAULT_KAVRO_SPEEDLIMIT = 120.0f;
constexpr float DEFAULT_DOVEL_SPEEDLIMIT = 130.0f;
constexpr float MAX_SLOPE = 0.07f;

// Lane type bits.
constexpr int LANE_NOCHANGELEFT = 0x001;
constexpr int LANE_NOCHANGERIGHT = 0x002;
constexpr int LANE_CHANGELEFT = 0x004;
constexpr int LANE_CHANGERIGHT = 0x008;
constexpr int LANE_MERGELEFT = 0x010;
constexpr int LANE_MERGERIGHT = 0x020;  // with LANE_MERGELEFT: blocked, no driving permitted
constexpr int LANE_PAVED = 0x040;
constexpr int LANE_ICC = 0x080;       // lane for ICC vehicles of the external model
constexpr int LANE_TAPERON = 0x100;   // one of the two lanes of a tapered on-ramp
constexpr int LANE_TAPEROFF = 0x200;  // one of the two lanes of a tapered off-ramp
constexpr int TELEPORTIN = 0x400;     // teleport entrance; carries no LANE_PAVED
constexpr int TELEPORTOUT = 0x800;    // teleport exit; carries no LANE_PAVED
constexpr int LANEMASK_ALL = 4095;
constexpr int LANE_MERGEBOTH = LANE_MERGELEFT | LANE_MERGERIGHT;

// The whole lane types the editors offer.
constexpr int LANETYPE_UNPAVED = 0;
constexpr int LANETYPE_ANYCHANGE = 76;
constexpr int LANETYPE_CHANGERIGHT = 73;
constexpr int LANETYPE_CHANGELEFT = 70;
constexpr int LANETYPE_NOCHANGE = 67;
constexpr int LANETYPE_MERGERIGHT = 99;
constexpr int LANETYPE_MERGELEFT = 83;
constexpr int LANETYPE_BLOCKED = 115;
constexpr int LANETYPE_TAPERON = 326;
constexpr int LANETYPE_TAPEROFF = 585;
// The left lane of a two-lane tapered on-ramp: changes to either side.
constexpr int LANETYPE_TAPERON_LEFT = LANE_TAPERON | LANETYPE_ANYCHANGE;
constexpr int LANETYPE_TELEPORTIN = TELEPORTIN;
constexpr int LANETYPE_TELEPORTOUT = TELEPORTOUT;
constexpr int LANETYPE_DOVEL_PAVED = 76;
constexpr int LANETYPE_DOVEL_ICC = 204;

// Lane type codes of the configuration files, 0 .. 11, and the lane type each one reads as.
constexpr int LANETYPE_CODE_COUNT = 12;
constexpr int LANETYPE_BY_CODE[LANETYPE_CODE_COUNT] = {76,  73,  70,  67, 99,   83,
                                                       115, 326, 585, 0,  1024, 2048};

/// The lane type bits of a file code, or -1 for a code outside 0 .. 11.
constexpr int LaneTypeFromCode(int code) {
  return code >= 0 && code < LANETYPE_CODE_COUNT ? LANETYPE_BY_CODE[code] : -1;
}

// Which end of a section or lane: SectionPos, SetSectionPos, LaneConnects.
constexpr int WHENCE_BEGIN = 105;  // the upstream end
constexpr int WHENCE_END = 106;    // the downstream end

// One physical section: a value per (lane, property). The row MaxLane() holds no lane and reads
// as zero, so code may look one lane to the right of the last lane without a range check.
struct PhysSection {
  float value[MAX_KAVROLANE + 1][PP_COUNT] = {};
};
