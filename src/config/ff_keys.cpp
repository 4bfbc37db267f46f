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

constexpr FileKeyword keywords[FILEKEY_COUNT] = {
    {"version", BIT_VERSION, 0},
    {"sections", BIT_SECTIONS, BIT_VERSION},
    {"lane", BIT_LANE, BIT_SECTIONS},
    {"source", BIT_SOURCE, BIT_LANE},
    {"sink", BIT_SINK, BIT_SECTIONS},
    {"lane change", 0, BIT_SINK | BIT_VEHICLETYPES},
    {"traffic light", 0, BIT_LANE},
    {"detector positions", 0, BIT_SECTIONS},
    {"detector times", 0, BIT_VERSION},
    {"vehicle types", BIT_VEHICLETYPES, BIT_VERSION},
    {"vehicle general param", BIT_GENERALPARAM, BIT_VEHICLETYPES},
    {"vehicle specific param", BIT_SPECIFICPARAM, BIT_GENERALPARAM},
    {"flow", BIT_FLOW, BIT_SOURCE},
    {"vehicle probabilities", BIT_VEHICLEPROBABILITIES, BIT_SOURCE | BIT_VEHICLETYPES},
    {"source to sink", BIT_SOURCETOSINK, BIT_SOURCE | BIT_SINK | BIT_VEHICLETYPES},
    {"random seed", BIT_SEED, BIT_VERSION},
    {"time step size", BIT_TIMESTEP, BIT_VERSION},
    {"maximum simulation time", BIT_MAXTIME, BIT_VERSION},
    {"temp closed lane", 0, BIT_VERSION},
    {"teleport entrance", 0, BIT_SECTIONS},
    {"teleport exit", 0, BIT_SECTIONS},
    {"end of file", BIT_ENDOFFILE, ALL_MANDATORY},
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
