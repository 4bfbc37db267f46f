#pragma once

#include <functional>
#include <string>

class KDConfig;

// Generation of the lane change areas that lead each destination's traffic to it.
//
// Starting at a destination's lanes, the generator walks the road upstream section by section.
// Lanes that feed the destination's lanes straight on are followed; a neighbouring lane from
// which the feeding lanes can be reached by a lane change gets a merge area that ends at the
// downstream end of that section; lanes that cannot reach them get "closed" areas. The walk
// ends where the lanes start at an origin and jumps from a teleport exit to its entrance.
// The desktop program, kavro-batch and the tests share this code.

// The lengths the generator gives new merge areas, whole metres.
struct LaneChangeSettings {
  int required = 600;    // required lane change length [m]
  int voluntary = 600;   // voluntary lane change length [m]
  int additional = 200;  // additional required length per further lane to cross [m/lane]
};

// Lengths used for a page field that does not hold a number [m].
inline constexpr int kFallbackRequiredLength = 300;
inline constexpr int kFallbackVoluntaryLength = 300;
inline constexpr int kFallbackAdditionalLength = 0;

/// The settings from the texts of the three page fields; a field that does not hold a whole
/// number >= 0 gives 300, 300 and 0 respectively.
LaneChangeSettings LaneChangeSettingsFromText(const std::string& required,
                                              const std::string& voluntary,
                                              const std::string& additional);

/// Key filter of the three setting fields: true when `key` typed after `text` would make the
/// field hold a number above 9999, so the key is refused.
bool LaneChangeSettingKeyRefused(const std::string& text, char key);

/// The rebuild button is usable while both the required and the voluntary field hold numbers
/// >= 0.
bool LaneChangeRebuildAllowed(const std::string& required, const std::string& voluntary);

// Receives the generator's debug lines (the desktop program appends them to its debug output).
using DebugSink = std::function<void(const std::string&)>;

/// Regenerates the lane change areas of every destination from the road. False only when the
/// generator's working memory cannot be had ("Out of memory" is reported; nothing changed).
bool GenerateLaneChangeAreas(KDConfig& config, const LaneChangeSettings& settings,
                             const DebugSink& debug = {});

/// Regenerates like GenerateLaneChangeAreas, but an area that existed before (same destination
/// name, position, lane and direction) keeps its required and voluntary lengths, so lengths the
/// user edited survive. Route choice groups and probabilities are the generated ones.
bool UpdateLaneChangeAreas(KDConfig& config, const LaneChangeSettings& settings,
                           const DebugSink& debug = {});

/// True when the stored areas are still those a fresh generation gives: per destination the
/// same number of areas, each stored area with a generated one of the same position, lane and
/// direction (lengths and probabilities may have been edited). Changes nothing.
bool CheckLaneChangeAreas(const KDConfig& config, const LaneChangeSettings& settings = {},
                          const DebugSink& debug = {});

// What the run control and kavro-batch say when CheckLaneChangeAreas fails (caption "Error").
inline constexpr const char* kLaneChangeAreasMismatch =
    "Lane change areas do not match road configuration; please re-generate the lane change "
    "areas";
