#include "config/ConfigTestFiles.h"

std::vector<std::string> BaseConfigLines() {
  const std::string unpaved = "9,0,1.0,120.0,0.000,0 9,0,1.0,120.0,0.000,0";
  std::vector<std::string> lines = {
      "#KAVRO configuration file written Wed Dec  9 08:00:00 2026",  // 1
      "version: 1.0 build 1",                                        // 2
      "sections:  2000  5000",                                       // 3
      "lane  0: 1,0,1.0,120.0,0.000,0 1,0,1.0,120.0,0.000,0",        // 4
      "lane  1: 0,0,1.0,120.0,0.000,0 0,0,1.0,100.0,0.000,0",        // 5
      "lane  2: 2,0,1.0,120.0,0.000,0 2,1,0.8,120.0,0.020,0",        // 6
      "lane  3: 3,0,1.0,120.0,0.000,0 " + unpaved.substr(22),        // 7
  };
  for (int lane = 4; lane < 12; lane++)  // 8 .. 15
    lines.push_back((lane < 10 ? "lane  " : "lane ") + std::to_string(lane) + ": " + unpaved);
  const char* rest[] = {
      "source  0: 1 0 2 Noord",                             // 16
      "source  1: 1 3 3 Oprit",                             // 17
      "sink  0: 0 0 2 Zuid",                                // 18
      "sink  1: 1 3 3 Afrit",                               // 19
      "traffic light  0: | 3000 2 1 60 30 4 0",             // 20
      "detector times: 600 600",                            // 21
      "detector positions:  1000  4000",                    // 22
      "vehicle types: 2",                                   // 23
      "vehicle general param  0: 3.0 lane change T",        // 24
      "vehicle specific param  0  0:   1.000 max delta a",  // 25
      "flow  0:     0|01000  3600|02000",                   // 26
      "flow  1:     0|00300",                               // 27
      "vehicle probabilities  0: 0.900 0.100",              // 28
      "vehicle probabilities  1: 1.000 0.000",              // 29
      "source to sink  0  0: 1.00 1.00",                    // 30
      "source to sink  0  1: 0.00 0.00",                    // 31
      "source to sink  1  0: 1.00 1.00",                    // 32
      "source to sink  1  1: 0.00 0.00",                    // 33
      "lane change  0  0:  2 L  4500   300   500 0",        // 34
      "random seed: 1",                                     // 35
      "time step size: 0.50",                               // 36
      "maximum simulation time: 14400",                     // 37
      "end of file:",                                       // 38
  };
  for (const char* line : rest) lines.push_back(line);
  return lines;
}

std::string EditedConfigText(const std::map<int, std::vector<std::string>>& edits) {
  std::vector<std::string> base = BaseConfigLines();
  std::vector<std::string> lines;
  for (int n = 1; n <= static_cast<int>(base.size()); n++) {
    auto edit = edits.find(n);
    if (edit == edits.end()) {
      lines.push_back(base[n - 1]);
    } else {
      lines.insert(lines.end(), edit->second.begin(), edit->second.end());
    }
  }
  auto tail = edits.find(static_cast<int>(base.size()) + 1);
  if (tail != edits.end()) lines.insert(lines.end(), tail->second.begin(), tail->second.end());
  return JoinLines(lines);
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}
