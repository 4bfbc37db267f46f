#pragma once

#include <string>
#include <vector>

// An old-style (V4) configuration file put together item by item, so that a test changes the
// item it is about and finds the line number of any item's line. The default is a small valid
// file: a 3000 m road of one section with lanes 0 and 1 (one origin and one destination of two
// lanes), a detector, two vehicle types, a flow graph per origin lane and the demand shares.
struct OldStyleFile {
  std::string marker = "* 1 * old-style test file";
  std::string header = " 3000 0 2 0";
  std::vector<std::string> boundaries = {"0"};
  std::vector<std::string> laneTypes = {"1 2"};
  std::vector<std::string> unusedSections = {"0 0", "0 0"};
  std::vector<std::string> laneProperties = {"1.0,0,120,0 1.0,0,120,0"};
  std::vector<std::string> unusedCount = {"0"};
  std::vector<std::string> unusedCounted = {"0", "0"};
  std::vector<std::string> detectors = {"1 1500"};
  std::vector<std::string> generalParams = {"3.0 0.3 0.2"};
  std::vector<std::string> vehicleParams = {"1.0 0.6",   "0.56 0.72",   "4.0 2.4",  "-0.5 -0.5",
                                            "-3.0 -2.4", "-7 -7",       "125 115",  "4.5 4.0",
                                            "3 3",       "0.005 0.005", "95 85",    "80 50",
                                            "0 0",       "0.6 0.5",     "-3.5 -3.5"};
  std::vector<std::string> runSettings = {"12345 0.5 14400"};
  std::vector<std::string> unusedRun = {"0"};
  std::vector<std::string> detectorTimes = {"2 600 1200"};
  std::vector<std::string> flows = {"2 0 1200", "1000 1400", "2 0 1200", "800 600"};
  std::vector<std::string> vehicleShares = {"60 40", "100 0"};
  std::vector<std::string> odPercentages = {"50 50", "50 50"};
  std::vector<std::string> trafficLightCount = {"0"};
  std::vector<std::string> trafficLights;
  std::vector<std::string> unused1 = {"0"};
  std::vector<std::string> unused2 = {"0"};
  std::vector<std::string> laneDetectorCount = {"0"};
  std::vector<std::string> laneDetectors;
  std::vector<std::string> extraCount = {"0"};
  std::vector<std::string> extra;
  // Each item is preceded by a line of this text.
  std::string separator = "*";
  std::string lineEnd = "\n";

  // The items in file order; `Text(n)` ends after the n-th.
  std::vector<const std::vector<std::string>*> Items() const {
    return {&boundaries,    &laneTypes,     &unusedSections, &laneProperties,
            &unusedCount,   &unusedCounted, &detectors,      &generalParams,
            &vehicleParams, &runSettings,   &unusedRun,      &detectorTimes,
            &flows,         &vehicleShares, &odPercentages,  &trafficLightCount,
            &trafficLights, &unused1,       &unused2,        &laneDetectorCount,
            &laneDetectors, &extraCount,    &extra};
  }

  std::vector<std::string> Lines(int items = 99) const {
    std::vector<std::string> lines = {marker, header};
    int n = 0;
    for (const std::vector<std::string>* item : Items()) {
      if (n++ >= items) break;
      lines.push_back(separator);
      lines.insert(lines.end(), item->begin(), item->end());
    }
    return lines;
  }

  std::string Text(int items = 99) const {
    std::string text;
    for (const std::string& line : Lines(items)) text += line + lineEnd;
    return text;
  }

  /// The line number (from 1) of line `index` of `item`.
  int LineOf(const std::vector<std::string>& item, int index = 0) const {
    int line = 2;
    for (const std::vector<std::string>* each : Items()) {
      line++;  // the separator
      if (each == &item) return line + 1 + index;
      line += static_cast<int>(each->size());
    }
    return -1;
  }
};
