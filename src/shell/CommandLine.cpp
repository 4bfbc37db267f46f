#include "shell/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstddef>

#include "config/ProgramError.h"
#include "config/TextChars.h"
#include "shell/ProgramIdentity.h"

namespace {

// The value of an option is at most this many characters; longer values are cut.
constexpr size_t kMaxOptionValue = 999;

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

// A strictly positive decimal number and nothing else: an interval of 0 steps would never
// write, and text after the digits is a typing error rather than an interval.
bool ParseInterval(const std::string& text, int& interval) {
  if (text.empty() || text.size() > 9) return false;
  int value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1) return false;
  interval = value;
  return true;
}

// Reads an int the way "%d" does (leading blanks, optional sign); false on no digits or when
// the number does not fit.
bool ScanInt(const std::string& text, size_t& pos, int& value) {
  size_t p = pos;
  while (p < text.size() && std::isspace(static_cast<unsigned char>(text[p]))) ++p;
  bool negative = false;
  if (p < text.size() && (text[p] == '-' || text[p] == '+')) negative = text[p++] == '-';
  size_t digits = p;
  long long number = 0;
  while (p < text.size() && IsDigit(text[p])) {
    number = number * 10 + (text[p] - '0');
    if (number > static_cast<long long>(INT_MAX) + 1) return false;
    ++p;
  }
  if (p == digits) return false;
  if (negative) number = -number;
  if (number > INT_MAX) return false;
  value = static_cast<int>(number);
  pos = p;
  return true;
}

// A decimal number of at most 9 digits and nothing else.
bool ParseCount(const std::string& text, int& value) {
  if (text.empty() || text.size() > 9) return false;
  int number = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    number = number * 10 + (c - '0');
  }
  value = number;
  return true;
}

bool EqualsNoCase(const std::string& text, const std::string& lower) {
  return text.size() == lower.size() && StartsWithNoCase(text, lower);
}

// The output file options, each with the setting it fills.
struct Prefix {
  const char* text;
  std::string OutputFileSettings::*field;
};
constexpr Prefix kPrefixes[] = {
    {"vehicletrace=", &OutputFileSettings::VehicleTraceFile},
    {"detectiontrace=", &OutputFileSettings::DetectionTraceFile},
    {"detectortodetectortraveltimetrace=", &OutputFileSettings::TravelTimeTraceFile},
    {"odtraveltimetrace=", &OutputFileSettings::ODTravelTimeTraceFile},
    {"lanechangetrace=", &OutputFileSettings::LaneChangeTraceFile},
    {"simulationresults=", &OutputFileSettings::SimulationResultsFile},
    {"extendedresults=", &OutputFileSettings::ExtendedResultsFile},
    {"batch=", &OutputFileSettings::BatchSpecification},
};

// Where the first "%" of `name` starts a run number directive ("%d", "%03d"): the position
// of the "%" and of the "d", with the width (digits after the "%", at most
// kMaxRunNumberWidth + 1). False when the name holds none.
bool FindRunNumberDirective(const std::string& name, size_t& percent, size_t& end, int& width,
                            bool& zeroPad) {
  percent = name.find('%');
  if (percent == std::string::npos) return false;
  size_t pos = percent + 1;
  while (pos < name.size() && IsDigit(name[pos])) ++pos;
  if (pos >= name.size() || name[pos] != 'd') return false;
  end = pos;
  zeroPad = pos > percent + 1 && name[percent + 1] == '0';
  width = 0;
  for (size_t i = percent + 1; i < pos; ++i)
    width = std::min(width * 10 + (name[i] - '0'), kMaxRunNumberWidth + 1);
  return true;
}

}  // namespace

bool IsProgramOptionWord(const std::string& word) {
  if (word.rfind("--", 0) == 0) return true;
  for (const Prefix& prefix : kPrefixes)
    if (StartsWithNoCase(word, prefix.text)) return true;
  return false;
}

namespace {

// "--jobs", "--runs" and "--capacity" with their value; false for a bad value.
bool ApplyBatchOption(const std::string& name, const std::string& value,
                      OutputFileSettings& settings) {
  if (name == "--capacity") {
    if (value.empty()) return false;
    settings.CapacityFile = value;
    return true;
  }
  if (name == "--jobs") {
    int jobs = 0;
    if (!ParseCount(value, jobs) || jobs < 1 || jobs > kMaxBatchJobs) return false;
    settings.BatchJobs = jobs;
    return true;
  }
  int first = 0;
  int last = 0;
  if (!ScanRunRange(value, first, last)) return false;
  settings.FirstRun = first;
  settings.LastRun = last;
  return true;
}

}  // namespace

bool ScanRunRange(const std::string& text, int& first, int& last) {
  size_t dash = text.find('-');
  int a = 0;
  int b = 0;
  if (!ParseCount(text.substr(0, dash), a)) return false;
  if (dash == std::string::npos)
    b = a;
  else if (!ParseCount(text.substr(dash + 1), b))
    return false;
  if (a < 1 || b < a || b > kMaxBatchRuns) return false;
  first = a;
  last = b;
  return true;
}

bool HasRunNumberDirective(const std::string& name) {
  return ResolveOutputFileName(name, "", 1) != ResolveOutputFileName(name, "", 2);
}

std::string SharedOutputFile(const OutputFileSettings& settings) {
  for (const std::string* name :
       {&settings.VehicleTraceFile, &settings.DetectionTraceFile, &settings.TravelTimeTraceFile,
        &settings.ODTravelTimeTraceFile, &settings.LaneChangeTraceFile,
        &settings.SimulationResultsFile, &settings.ExtendedResultsFile})
    if (!name->empty() && !HasRunNumberDirective(*name)) return *name;
  return "";
}

size_t ApplyProgramOptionAt(const std::vector<std::string>& parameters, size_t index,
                            OutputFileSettings& settings, std::string& bad, std::string* reason) {
  const std::string& option = parameters[index];
  for (const char* name : {"--jobs", "--runs", "--capacity"}) {
    if (!EqualsNoCase(option, name)) continue;
    if (index + 1 >= parameters.size()) {
      bad = option;
      return 1;
    }
    // "--capacity batch=5,0,1,40" has lost its file name: the batch is not a file.
    const std::string& value = parameters[index + 1];
    if (IsProgramOptionWord(value)) {
      bad = option;
      if (reason) *reason = "it needs a value, but \"" + value + "\" is an option";
      return 1;
    }
    if (!ApplyBatchOption(name, value, settings)) bad = option + " " + value;
    return 2;
  }
  std::string why;
  if (!ApplyProgramOption(option, settings, why)) {
    bad = option;
    if (reason) *reason = why;
  }
  return 1;
}

bool ApplyProgramOption(const std::string& option, OutputFileSettings& settings) {
  std::string reason;
  return ApplyProgramOption(option, settings, reason);
}

bool ApplyProgramOption(const std::string& option, OutputFileSettings& settings,
                        std::string& reason) {
  for (const char* name : {"--jobs", "--runs", "--capacity"}) {
    const std::string key = std::string(name) + "=";
    if (StartsWithNoCase(option, key))
      return ApplyBatchOption(name, option.substr(key.size()), settings);
  }
  for (const Prefix& prefix : kPrefixes) {
    std::string key = prefix.text;
    if (!StartsWithNoCase(option, key)) continue;
    std::string value = option.substr(key.size(), kMaxOptionValue);
    int interval = 0;
    if (prefix.field == &OutputFileSettings::VehicleTraceFile) {
      size_t comma = value.find(',');
      if (comma != std::string::npos) {
        if (!ParseInterval(value.substr(comma + 1), interval)) return false;
        value.resize(comma);
      }
    }
    size_t percent = 0;
    size_t end = 0;
    int width = 0;
    bool zeroPad = false;
    if (prefix.field != &OutputFileSettings::BatchSpecification &&
        FindRunNumberDirective(value, percent, end, width, zeroPad) && width > kMaxRunNumberWidth) {
      reason = Format("a run number can be at most %d characters wide: a file name holds no more",
                      kMaxRunNumberWidth);
      return false;
    }
    if (interval > 0) settings.VehicleTraceInterval = interval;
    settings.*prefix.field = value;
    return true;
  }
  return false;
}

bool ScanBatchRequest(const std::string& text, BatchRequest& request, int maxLane) {
  int numbers[6] = {0, 0, 0, 0, 1, 12};
  int count = 0;
  size_t pos = 0;
  while (count < 6) {
    if (count > 0) {
      if (pos >= text.size() || text[pos] != ',') break;
      ++pos;
    }
    if (!ScanInt(text, pos, numbers[count])) return false;
    ++count;
  }
  // Text after the last number, a seventh field included, is a typing error.
  if (count < 4 || pos != text.size()) return false;
  BatchRequest scanned{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5]};
  if (scanned.StopDetector < 0 || scanned.ReportDetector < 0 || scanned.DropSpeed < 0) return false;
  if (scanned.FirstLane < 1 || scanned.LastLane < scanned.FirstLane || scanned.LastLane > maxLane)
    return false;
  request = scanned;
  return true;
}

std::string ResolveOutputFileName(const std::string& name, const std::string& currentFileName,
                                  int batchRun) {
  bool absolute = (!name.empty() && (name[0] == '/' || name[0] == '\\')) ||
                  (name.size() >= 2 && name[1] == ':');
  std::string prefix = absolute ? std::string() : DirectoryPart(currentFileName);
  // Only the user's own name can hold the run number directive; a "%" in the folder of the
  // configuration file is part of that folder's name.
  size_t percent = 0;
  size_t end = 0;
  int width = 0;
  bool zeroPad = false;
  if (!FindRunNumberDirective(name, percent, end, width, zeroPad)) return prefix + name;
  // A width beyond kMaxRunNumberWidth is kept one above it: such a name cannot be created,
  // so it fails where it is written instead of becoming another name than the one asked for.
  std::string number = zeroPad ? Format("%0*d", width, batchRun) : Format("%*d", width, batchRun);
  return prefix + name.substr(0, percent) + number + name.substr(end + 1);
}

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
  size_t nameStart = DirectoryPart(path).size();
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return path + extension;
  return path.substr(0, dot) + extension;
}
