#include "config/ff_keys.h"

namespace {

constexpr uint32_t BIT_VERSION = 0x0001;
constexpr uint32_t BIT_SECTIONS = 0x0002;
constexpr uint32_t BIT_LANE = 0x0004;
constexpr uint32_t BIT_SOURCE = 0x0008;
constexpr uint32_t BIT_SINK = 0x0010;
constexpr uint32_t BIT_VEHICLETYPES = 0x0020;
constexpr uint32_t BIT_GENERALPARAM = 0x0040;
constexpr uint32_t BIT_SPECIFICPARAM = 0x0080;
constexpr uint32_t BIT_FLOW = 0x0100;
constexpr uint32_t BIT_VEHICLEPROBABILITIES = 0x0200;
constexpr uint32_t BIT_SOURCETOSINK = 0x0400;
constexpr uint32_t BIT_SEED = 0x0800;
constexpr uint32_t BIT_TIMESTEP = 0x1000;
constexpr uint32_t BIT_MAXTIME = 0x2000;
constexpr uint32_t BIT_ENDOFFILE = 0x4000;

// "end of file" needs every mandatory block; "sections" is implied by "lane".
constexpr uint32_t ALL_MANDATORY = 0x3FFF & ~BIT_SECTIONS;

constexpr bool FIXED = true;
constexpr bool LIST = false;

constexpr FileKeyword keywords[FILEKEY_COUNT] = {
    {"version", BIT_VERSION, 0, LIST},
    {"sections", BIT_SECTIONS, BIT_VERSION, LIST},
    {"lane", BIT_LANE, BIT_SECTIONS, LIST},
    {"source", BIT_SOURCE, BIT_LANE, LIST},
    {"sink", BIT_SINK, BIT_SECTIONS, LIST},
    {"lane change", 0, BIT_SINK | BIT_VEHICLETYPES, LIST},
    {"traffic light", 0, BIT_LANE, FIXED},
    {"detector positions", 0, BIT_SECTIONS, LIST},
    {"detector times", 0, BIT_VERSION, FIXED},
    {"vehicle types", BIT_VEHICLETYPES, BIT_VERSION, FIXED},
    {"vehicle general param", BIT_GENERALPARAM, BIT_VEHICLETYPES, FIXED},
    {"vehicle specific param", BIT_SPECIFICPARAM, BIT_GENERALPARAM, FIXED},
    {"flow", BIT_FLOW, BIT_SOURCE, LIST},
    {"vehicle probabilities", BIT_VEHICLEPROBABILITIES, BIT_SOURCE | BIT_VEHICLETYPES, LIST},
    {"source to sink", BIT_SOURCETOSINK, BIT_SOURCE | BIT_SINK | BIT_VEHICLETYPES, LIST},
    {"random seed", BIT_SEED, BIT_VERSION, FIXED},
    {"time step size", BIT_TIMESTEP, BIT_VERSION, FIXED},
    {"maximum simulation time", BIT_MAXTIME, BIT_VERSION, FIXED},
    {"temp closed lane", 0, BIT_VERSION, FIXED},
    {"teleport entrance", 0, BIT_SECTIONS, FIXED},
    {"teleport exit", 0, BIT_SECTIONS, FIXED},
    {"end of file", BIT_ENDOFFILE, ALL_MANDATORY, FIXED},
};

static_assert(ALL_MANDATORY == 0x3FFD);

}  // namespace

const FileKeyword& KeywordOf(FileKey key) { return keywords[static_cast<int>(key)]; }

const char* KeyName(FileKey key) { return KeywordOf(key).name; }

bool FindFileKey(std::string_view text, FileKey& key) {
  for (int i = 0; i < FILEKEY_COUNT; i++) {
    if (text == keywords[i].name) {
      key = static_cast<FileKey>(i);
      return true;
    }
  }
  return false;
}

FileKey FirstKeyWithBit(uint32_t missing) {
  for (int i = 0; i < FILEKEY_COUNT; i++) {
    if (keywords[i].completionBit & missing) return static_cast<FileKey>(i);
  }
  return FileKey::Version;
}
