// Every reading error of the .kav reader: the message and the line it is reported at.

#include <gtest/gtest.h>

#include <memory>

#include "config/ConfigRW.h"
#include "config/ConfigTestFiles.h"
#include "config/KDConfig.h"
#include "support/ReportCapture.h"

namespace {

struct BadFile {
  const char* what;
  std::map<int, std::vector<std::string>> edits;
  int line;
  const char* message;
};

std::vector<std::string> Lane(int lane, const std::string& groups) {
  return {(lane < 10 ? "lane  " : "lane ") + std::to_string(lane) + ": " + groups};
}

const std::string kPaved = "1,0,1.0,120.0,0.000,0";

std::vector<BadFile> BadFiles() {
  // A graph keeps its point at 0 s: one starting later has room for 98 more.
  std::string laterPoints = "flow  1:";
  for (int t = 1; t <= 99; t++) laterPoints += " " + std::to_string(t) + "|300";
  return {
      // Lines and keys.
      {"blank line", {{3, {"", "sections:  2000  5000"}}}, 3, "No ':' found"},
      {"capital letter in key", {{4, {"Lane  0: " + kPaved + " " + kPaved}}}, 4, "Unknown keyword"},
      {"key with leading blank", {{2, {" version: 1.0"}}}, 2, "Unknown keyword"},
      {"lane before sections",
       {{2, {}}, {3, {}}},
       2,
       "Key \"lane\" must be preceded by key \"sections\""},
      {"end of file without seed",
       {{35, {}}},
       37,
       "Key \"end of file\" must be preceded by key \"random seed\""},
      {"lane change before vehicle types",
       {{20, {"lane change  0  0:  2 L 4500 300 500 0"}}},
       20,
       "Key \"lane change\" must be preceded by key \"vehicle types\""},
      {"missing end of file", {{38, {}}}, 37, "Unexpected end of file"},
      {"version without numbers", {{2, {"version: one"}}}, 2, "Cannot read version info"},
      // Sections.
      {"sections with an index",
       {{3, {"sections 1:  2000  5000"}}},
       3,
       "Bad section boundary specification"},
      {"negative section position", {{3, {"sections:  2000  -5"}}}, 3, "Bad section position"},
      {"section position not a number", {{3, {"sections:  2000  5k"}}}, 3, "Bad section position"},
      {"boundary given twice", {{3, {"sections:  2000  2000  5000"}}}, 3, "Bad section position"},
      // Beyond 2^24 m neighbouring whole metres share one single-precision position.
      {"road end beyond 2^24 m", {{3, {"sections:  2000  16777217"}}}, 3, "Bad section position"},
      {"largest whole number as the road end",
       {{3, {"sections:  2147483647"}}},
       3,
       "Bad section position"},
      // Lanes.
      {"lane 12", {{4, Lane(12, kPaved + " " + kPaved)}}, 4, "Bad (or no) lane specified"},
      {"lane without number",
       {{4, {"lane: " + kPaved + " " + kPaved}}},
       4,
       "Bad (or no) lane specified"},
      {"lane with two numbers",
       {{4, {"lane 0 1: " + kPaved + " " + kPaved}}},
       4,
       "Bad (or no) lane specified"},
      {"lane given twice", {{5, Lane(0, kPaved + " " + kPaved)}}, 5, "Lane re-specified"},
      {"lane type code 12",
       {{4, Lane(0, "12,0,1.0,120.0,0.000,0 " + kPaved)}},
       4,
       "Bad section type"},
      {"five fields",
       {{4, Lane(0, "1,0,1.0,120.0,0.000 " + kPaved)}},
       4,
       "Bad physical section specification"},
      {"three groups for two sections",
       {{4, Lane(0, kPaved + " " + kPaved + " " + kPaved)}},
       4,
       "Too many physical section specifications"},
      {"one group too few", {{4, Lane(0, kPaved)}}, 4, "Too few physical section specifications"},
      {"taper on lane 0",
       {{4, Lane(0, "7,0,1.0,120.0,0.000,0 " + kPaved)}},
       4,
       "Taper cannot occur on left most lane"},
      {"lane 11 missing", {{15, {}}}, 15, "Lane types not completely defined"},
      {"speed suppression above 1",
       {{6, Lane(2, "2,0,1.5,120.0,0.000,0 " + kPaved)}},
       6,
       "Bad speed suppression (must lie in 0 .. 1)"},
      {"negative speed suppression",
       {{6, Lane(2, "2,0,-0.1,120.0,0.000,0 " + kPaved)}},
       6,
       "Bad speed suppression (must lie in 0 .. 1)"},
      {"slope 0.08",
       {{6, Lane(2, "2,0,1.0,120.0,0.080,0 " + kPaved)}},
       6,
       "Bad slope (must lie in 0 .. 0.07)"},
      {"no overtaking 2",
       {{6, Lane(2, "2,2,1.0,120.0,0.000,0 " + kPaved)}},
       6,
       "Bad no-overtaking-trucks value (must be 0 or 1)"},
      {"all lane change 2",
       {{6, Lane(2, "2,0,1.0,120.0,0.000,2 " + kPaved)}},
       6,
       "Bad all-lane-change-required value (must be 0 or 1)"},
      // Origins and destinations.
      {"source rank beyond the origins",
       {{16, {"source  2: 1 0 2 Noord"}}},
       16,
       "Bad source rank number"},
      {"source without lanes", {{16, {"source  0: 1 0"}}}, 16, "Bad source specification"},
      {"source name with a leading blank",
       {{16, {"source  0: 1 0 2  Noord"}}},
       16,
       "Bad source name"},
      {"source without name", {{16, {"source  0: 1 0 2"}}}, 16, "Bad source name"},
      {"source rank twice", {{17, {"source  0: 1 3 3 Oprit"}}}, 17, "Duplicate source"},
      {"source location twice", {{17, {"source  1: 1 0 2 Oprit"}}}, 17, "Duplicate source"},
      {"source name twice", {{17, {"source  1: 1 3 3 Noord"}}}, 17, "Duplicate source name"},
      {"source at no origin", {{16, {"source  0: 0 0 2 Noord"}}}, 16, "Invalid source"},
      {"source missing", {{17, {}}}, 17, "Sources not completely defined"},
      {"sink rank beyond the destinations",
       {{18, {"sink  5: 0 0 2 Zuid"}}},
       18,
       "Bad sink rank number"},
      {"sink without lanes", {{18, {"sink  0: 0"}}}, 18, "Bad sink specification"},
      {"sink name starting with a control character",
       {{18, {"sink  0: 0 0 2 \x01Zuid"}}},
       18,
       "Bad sink name"},
      {"sink rank twice", {{19, {"sink  0: 1 3 3 Afrit"}}}, 19, "Duplicate sink"},
      {"sink at no destination", {{18, {"sink  0: 1 0 2 Zuid"}}}, 18, "Invalid sink"},
      {"sink missing", {{19, {}}}, 19, "Sinks not completely defined"},
      // Lane change areas.
      {"area of an unknown sink",
       {{34, {"lane change  2  0:  2 L  4500   300   500 0"}}},
       34,
       "Bad sink and/or rank"},
      {"area without rank",
       {{34, {"lane change  0:  2 L  4500   300   500 0"}}},
       34,
       "Bad sink and/or rank"},
      {"area rank 1 first",
       {{34, {"lane change  0  1:  2 L  4500   300   500 0"}}},
       34,
       "Lane change areas must be ordered by rank"},
      {"area direction X",
       {{34, {"lane change  0  0:  2 X  4500   300   500 0"}}},
       34,
       "Bad lane change area definition"},
      {"area beyond the road",
       {{34, {"lane change  0  0:  2 L  5001   300   500 0"}}},
       34,
       "Bad lane change area definition"},
      {"area starting before the road",
       {{34, {"lane change  0  0:  2 L  700   300   500 0"}}},
       34,
       "Bad lane change area definition"},
      {"area with five fields",
       {{34, {"lane change  0  0:  2 L  4500   300   500"}}},
       34,
       "Bad lane change area definition"},
      {"area in lane 12",
       {{34, {"lane change  0  0: 12 L  4500   300   500 0"}}},
       34,
       "Bad lane change area definition"},
      {"group 0 with probabilities",
       {{34, {"lane change  0  0:  2 L  4500 300 500 0 0.5"}}},
       34,
       "Nothing should follow route choice group 0"},
      {"group 1 with one probability",
       {{34, {"lane change  0  0:  2 L  4500 300 500 1 0.5"}}},
       34,
       "Wrong number of probabilities specified"},
      {"group 1 with three probabilities",
       {{34, {"lane change  0  0:  2 L  4500 300 500 1 0.5 0.5 0.5"}}},
       34,
       "Too many probability values specified"},
      {"group 1 with probability 1.5",
       {{34, {"lane change  0  0:  2 L  4500 300 500 1 1.5 0.5"}}},
       34,
       "Bad probability"},
      // Traffic lights.
      {"light rank 1 first",
       {{20, {"traffic light  1: | 3000 2 1 60 30 4 0"}}},
       20,
       "Traffic lights must be defined by rank order"},
      {"light at the road end",
       {{20, {"traffic light  0: | 5000 2 1 60 30 4 0"}}},
       20,
       "Bad traffic light definition"},
      {"light in lane 12",
       {{20, {"traffic light  0: | 3000 12 1 60 30 4 0"}}},
       20,
       "Bad traffic light definition"},
      {"light with seven fields",
       {{20, {"traffic light  0: | 3000 2 1 60 30 4"}}},
       20,
       "Bad traffic light definition"},
      {"green and yellow fill the cycle",
       {{20, {"traffic light  0: | 3000 2 1 34 30 4 0"}}},
       20,
       "Bad traffic light times"},
      {"controller light with times",
       {{20, {"traffic light  0: ramp 3000 2 1 60 30 4 0"}}},
       20,
       "Bad traffic light times"},
      // Detectors.
      {"detector position not a number",
       {{22, {"detector positions:  1000  4k"}}},
       22,
       "Bad detector position"},
      {"detector beyond the road",
       {{22, {"detector positions:  1000  6000"}}},
       22,
       "Bad detector position"},
      {"detector at the road end",
       {{22, {"detector positions:  1000  5000"}}},
       22,
       "Bad detector position"},
      {"detector at the road start",
       {{22, {"detector positions:  0  1000"}}},
       22,
       "Bad detector position"},
      {"detector twice", {{22, {"detector positions:  1000  1000"}}}, 22, "Bad detector position"},
      {"one detector time", {{21, {"detector times: 600"}}}, 21, "Bad times"},
      {"negative detector time", {{21, {"detector times: -1 600"}}}, 21, "Bad times"},
      {"detector times with an index",
       {{21, {"detector times 1: 600 600"}}},
       21,
       "Bad format (value BEFORE the ':')"},
      // Vehicle types and parameters.
      {"nine vehicle types", {{23, {"vehicle types: 9"}}}, 23, "Bad number of vehicle types"},
      {"no vehicle types", {{23, {"vehicle types: 0"}}}, 23, "Bad number of vehicle types"},
      {"vehicle types twice",
       {{23, {"vehicle types: 2", "vehicle types: 2"}}},
       24,
       "Duplicate definition of number of vehicle types"},
      {"general parameter 3",
       {{24, {"vehicle general param  3: 3.0 lane change T"}}},
       24,
       "Bad parameter index/indices"},
      {"general parameter twice",
       {{24, {"vehicle general param  0: 3.0", "vehicle general param  0: 3.0"}}},
       25,
       "Duplicate specification"},
      {"general parameter not a number",
       {{24, {"vehicle general param  0: fast"}}},
       24,
       "Cannot convert value"},
      {"general parameter below its range",
       {{24, {"vehicle general param  0: 0.5"}}},
       24,
       "Value out of range"},
      {"specific parameter of type 3 of 2",
       {{25, {"vehicle specific param  0  2: 1.0"}}},
       25,
       "Bad parameter index/indices"},
      {"specific parameter 15",
       {{25, {"vehicle specific param 15  0: 1.0"}}},
       25,
       "Bad parameter index/indices"},
      {"specific parameter by name out of range",
       {{25, {"vehicle specific param  0  0: 20.0 max delta a"}}},
       25,
       "Value out of range"},
      // Demand.
      {"flow of an unknown origin", {{27, {"flow  2:     0|00300"}}}, 27, "Bad source rank number"},
      {"flow twice", {{27, {"flow  0:     0|00300"}}}, 27, "Redefinition of flow graph"},
      {"flow without points", {{27, {"flow  1:"}}}, 27, "No flowtime|flowvalue pairs specified"},
      {"flow times not increasing",
       {{27, {"flow  1: 0|300 0|400"}}},
       27,
       "Bad flowtime|flowvalue pair"},
      {"negative flow", {{27, {"flow  1: 0|-300"}}}, 27, "Bad flowtime|flowvalue pair"},
      {"flow missing", {{27, {}}}, 27, "Flow graphs not completely defined"},
      {"99 flow points after 0 s", {{27, {laterPoints}}}, 27, "Too many flow points"},
      {"distribution sum 0.95",
       {{29, {"vehicle probabilities  1: 0.50 0.45"}}},
       29,
       "Sum of probabilities less than 1.0"},
      {"distribution sum 1.1",
       {{29, {"vehicle probabilities  1: 0.90 0.20"}}},
       29,
       "Sum of probabilities exceeds 1.0"},
      {"distribution with one value",
       {{29, {"vehicle probabilities  1: 1.0"}}},
       29,
       "Wrong number of probabilities specified"},
      {"distribution with three values",
       {{29, {"vehicle probabilities  1: 0.5 0.5 0.0"}}},
       29,
       "Too many probability values specified"},
      {"distribution value 1.2",
       {{29, {"vehicle probabilities  1: 1.2 0"}}},
       29,
       "Bad probability"},
      {"distribution of origin 3 of 2",
       {{29, {"vehicle probabilities  3: 1.0 0.0"}}},
       29,
       "Bad source rank number"},
      {"distribution twice",
       {{29, {"vehicle probabilities  0: 1.0 0.0"}}},
       29,
       "Duplicate vehicle probability distribution"},
      {"distribution missing", {{29, {}}}, 29, "Vehicle distributions not completely defined"},
      {"OD pair of sink 2",
       {{31, {"source to sink  0  2: 0.00 0.00"}}},
       31,
       "Bad source or sink rank number"},
      {"OD pair twice",
       {{31, {"source to sink  0  0: 0.00 0.00"}}},
       31,
       "Duplicate source/sink pair"},
      {"OD pair with one value",
       {{31, {"source to sink  0  1: 0.00"}}},
       31,
       "Too few probabilities specified"},
      {"OD pair with three values",
       {{31, {"source to sink  0  1: 0 0 0"}}},
       31,
       "Too many probabilities specified"},
      {"OD value 1.5", {{31, {"source to sink  0  1: 1.5 0"}}}, 31, "Bad probability value"},
      {"OD pair missing", {{33, {}}}, 33, "Origin Destination matrix not completely defined"},
      // Run settings.
      {"even seed", {{35, {"random seed: 2"}}}, 35, "Bad seed value"},
      {"seed twice",
       {{35, {"random seed: 1", "random seed: 3"}}},
       36,
       "Duplicate definition of seed"},
      {"seed with an index", {{35, {"random seed 1: 1"}}}, 35, "Bad format (value BEFORE the ':')"},
      {"time step 1.5", {{36, {"time step size: 1.5"}}}, 36, "Bad time step size value"},
      // A second must be a whole number of steps, as the file counts times in steps.
      {"time step 0.4", {{36, {"time step size: 0.4"}}}, 36, "Bad time step size value"},
      {"time step 0.3", {{36, {"time step size: 0.3"}}}, 36, "Bad time step size value"},
      {"time step twice",
       {{36, {"time step size: 0.5", "time step size: 0.5"}}},
       37,
       "Duplicate definition of time step size"},
      {"no simulation time",
       {{37, {"maximum simulation time: 0"}}},
       37,
       "Bad maximum simulation time"},
      {"simulation time twice",
       {{37, {"maximum simulation time: 10", "maximum simulation time: 10"}}},
       38,
       "Duplicate definition of maximum simulation time"},
      {"simulation time below one second",
       {{37, {"maximum simulation time: 1"}}},
       37,
       "Bad maximum simulation time"},
      // Closed lane and teleports.
      {"closed lane with more than seven numbers",
       {{35, {"temp closed lane: 2 4000 300 200 0 600 1200 1800 5", "random seed: 1"}}},
       35,
       "Unexpected text after the values: \"1800 5\""},
      {"closed lane reopening before it closes",
       {{35, {"temp closed lane: 2 4000 300 200 0 1200 600 1800", "random seed: 1"}}},
       35,
       "Bad format (expected 7 positive numbers)"},
      {"closed lane beyond the road",
       {{35, {"temp closed lane: 2 5400 300 200 0 600 1200 1800", "random seed: 1"}}},
       35,
       "Bad format (expected 7 positive numbers)"},
      {"teleport entrance on a road without one",
       {{35, {"teleport entrance 0: 1", "random seed: 1"}}},
       35,
       "Bad teleport number"},
      // Keys with a fixed set of values refuse whatever follows them, all alike.
      {"text after the detector times",
       {{21, {"detector times: 120 120 60 junk"}}},
       21,
       "Unexpected text after the values: \"60 junk\""},
      {"text after the traffic light",
       {{20, {"traffic light  0: | 3000 2 1 60 30 4 0 9"}}},
       20,
       "Unexpected text after the values: \"9\""},
      {"text after the seed",
       {{35, {"random seed: 12345 7"}}},
       35,
       "Unexpected text after the values: \"7\""},
      {"text after the time step",
       {{36, {"time step size: 0.50 s"}}},
       36,
       "Unexpected text after the values: \"s\""},
      {"text after the simulation time",
       {{37, {"maximum simulation time: 14400 steps"}}},
       37,
       "Unexpected text after the values: \"steps\""},
      {"text after the vehicle types",
       {{23, {"vehicle types: 2 2"}}},
       23,
       "Unexpected text after the values: \"2\""},
      {"text after a parameter's name",
       {{24, {"vehicle general param  0: 3.0 lane change T; s"}}},
       24,
       "Unexpected text after the values: \"; s\""},
      {"text after the end of file",
       {{38, {"end of file: more"}}},
       38,
       "Unexpected text after the values: \"more\""},
      {"a number run into a word", {{21, {"detector times: 600 600s"}}}, 21, "Bad times"},
      // A line break of a lone carriage return ends no line: the rest of the file would be
      // one line.
      {"carriage return line ends",
       {{22, {"detector positions:  1000\r  4000"}}},
       22,
       "Line break by a carriage return alone (CR): lines must end with LF or CR LF"},
      {"speed limit below 0",
       {{5, {"lane  1: 0,0,1.0,120.0,0.000,0 0,0,1.0,-5.0,0.000,0"}}},
       5,
       "Bad speed limit (must lie in 0 .. 1000 km/h)"},
  };
}

}  // namespace

TEST(KavroConfigReadErrors, ReportTheMessageAtItsLine) {
  for (const BadFile& bad : BadFiles()) {
    SCOPED_TRACE(bad.what);
    std::string text = EditedConfigText(bad.edits);
    std::unique_ptr<KDConfig> loaded;
    ReportCapture capture;
    ConfigReadResult result = LoadConfigText("bad.kav", text, loaded);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error.message, bad.message);
    EXPECT_EQ(result.error.line, bad.line);
    EXPECT_EQ(result.error.fileName, "bad.kav");
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(capture.Empty()) << capture.Reports().front().text;
    EXPECT_FALSE(TerminateRequested());
  }
}

TEST(KavroConfigReadErrors, ALongLineIsQuotedByItsStart) {
  // A line of 10 MB is shown by its first 80 characters.
  const std::string junk(10 * 1024 * 1024, 'x');
  const std::string line = "random seed: 2" + junk;
  std::unique_ptr<KDConfig> loaded;
  ConfigReadResult result = LoadConfigText("long.kav", EditedConfigText({{35, {line}}}), loaded);
  ASSERT_FALSE(result.ok);
  EXPECT_EQ(result.error.lineText, line.substr(0, 80) + "...");
  EXPECT_LT(ConfigErrorText(result.error).size(), 200u);
  // Names taken from a line are quoted alike.
  result = LoadConfigText(
      "long.kav", EditedConfigText({{24, {"vehicle general param  0: 3.0 a" + junk}}}), loaded);
  ASSERT_TRUE(result.ok) << result.error.message;
  ASSERT_EQ(result.warnings.size(), 2u);
  EXPECT_LT(result.warnings[0].size(), 200u);
}

TEST(KavroConfigReadErrors, TheErrorCarriesTheLineAsRead) {
  std::string text = EditedConfigText({{20, {"traffic light  0: | 3000 2 1 34 30 4 0   \r"}}});
  std::unique_ptr<KDConfig> loaded;
  ConfigReadResult result = LoadConfigText("ramp.kav", text, loaded);
  ASSERT_FALSE(result.ok);
  EXPECT_EQ(result.error.lineText, "traffic light  0: | 3000 2 1 34 30 4 0");
  EXPECT_EQ(ConfigErrorText(result.error),
            "ramp.kav(line 20)\r\ntraffic light  0: | 3000 2 1 34 30 4 0\r\nBad traffic light "
            "times");
}
