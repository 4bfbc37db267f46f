#include "shell/CapacityObservations.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <numeric>

#include "config/ProgramError.h"
#include "shell/BatchRunsMerge.h"
#include "shell/TextEscape.h"

namespace {

const char kFirstLinePrefix[] = "# kavro-batch capacity observations: ";
const char kHeader[] = "run\tseed\ttime\tflow\tbreakdown";
const char kEndPrefix[] = "# end: ";

// A field quoted in a message: at most its first 80 characters.
std::string Field(const std::string& field) {
  return field.size() <= 80 ? field : field.substr(0, 80) + "...";
}

// A whole decimal integer, optionally negative; nothing else in the field.
bool ParseInt(const std::string& field, long long low, long long high, long long& value) {
  if (field.empty() || field.size() > 12) return false;
  size_t start = field[0] == '-' ? 1 : 0;
  if (start == field.size()) return false;
  for (size_t i = start; i < field.size(); ++i)
    if (field[i] < '0' || field[i] > '9') return false;
  value = std::strtoll(field.c_str(), nullptr, 10);
  return value >= low && value <= high;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

// The runs and the batch of the first line; false with what is wrong in `problem`, empty when
// the line is not the first line of an observations file at all.
bool ParseFirstLine(const std::string& line, CapacityObservationsFile& file, std::string& problem) {
  problem.clear();
  const std::string prefix = kFirstLinePrefix;
  if (line.compare(0, prefix.size(), prefix) != 0) return false;
  BatchPart part;
  if (!ParseBatchRunRange(line.substr(prefix.size()), part, problem)) return false;
  file.FirstRun = part.First;
  file.LastRun = part.Last;
  file.Runs = part.Runs;
  file.Configuration = part.Configuration;
  file.Batch = part.Batch;
  return true;
}

const char kHeldBackPrefix[] = "run ";
const char kHeldBackOrigin[] = ": origin \"";
const char kHeldBackSuffix[] = "\" held vehicles back for longer than one detector period";

// A comment written by HeldBackText: its run and origin, false for any other text.
bool ParseHeldBack(const std::string& text, int& run, std::string& origin) {
  const std::string prefix = kHeldBackPrefix;
  const std::string suffix = kHeldBackSuffix;
  if (text.compare(0, prefix.size(), prefix) != 0 || text.size() < prefix.size() + suffix.size() ||
      text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  const size_t digits = text.find_first_not_of("0123456789", prefix.size());
  if (digits == prefix.size() || digits - prefix.size() > 9 ||
      text.compare(digits, sizeof kHeldBackOrigin - 1, kHeldBackOrigin) != 0)
    return false;
  const size_t nameStart = digits + sizeof kHeldBackOrigin - 1;
  if (nameStart > text.size() - suffix.size()) return false;
  run = std::atoi(text.c_str() + prefix.size());
  if (!UnescapeName(text.substr(nameStart, text.size() - suffix.size() - nameStart), origin))
    return false;
  // Only the text the program writes: run numbers without leading zeros, names escaped alike.
  return text == HeldBackText(run, origin);
}

}  // namespace

std::string HeldBackText(int run, const std::string& origin) {
  // The name escaped: a double quote in it would end the quotes early, a line end the comment.
  return kHeldBackPrefix + std::to_string(run) + kHeldBackOrigin + EscapeName(origin) +
         kHeldBackSuffix;
}

std::string CapacityObservationsText(const CapacityObservationsFile& file) {
  std::string text = kFirstLinePrefix;
  text += Format("runs %d-%d of %d, configuration %s, batch=%s\n", file.FirstRun, file.LastRun,
                 file.Runs, file.Configuration.c_str(), file.Batch.c_str());
  text += kHeader;
  text += '\n';
  size_t note = 0;
  auto notesUpTo = [&](int run) {
    for (; note < file.HeldBackRuns.size() && file.HeldBackRuns[note] <= run; ++note)
      text += "# " + HeldBackText(file.HeldBackRuns[note], file.HeldBackOrigins[note]) + "\n";
  };
  for (const CapacityObservation& o : file.Observations) {
    notesUpTo(o.Run - 1);
    text += Format("%d\t%d\t%d\t%d\t%d\n", o.Run, static_cast<int>(o.Seed), o.Time, o.Flow,
                   o.Breakdown ? 1 : 0);
  }
  notesUpTo(INT_MAX);
  text += Format("%s%zu observations\n", kEndPrefix, file.Observations.size());
  return text;
}

bool ParseCapacityObservations(const std::string& fileName, const std::string& text,
                               CapacityObservationsFile& file, std::string& error) {
  file = CapacityObservationsFile();
  if (text.empty()) {
    error = fileName + ":1: the file is empty";
    return false;
  }
  int lineNumber = 0;
  bool ended = false;
  size_t pos = 0;
  auto fail = [&](const std::string& what) {
    error = Format("%s:%d: %s", fileName.c_str(), lineNumber, what.c_str());
    return false;
  };
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (ended) return fail("text after the end line");
    if (lineNumber == 1) {
      std::string problem;
      if (!ParseFirstLine(line, file, problem))
        return fail(!problem.empty()
                        ? problem
                        : "not a capacity observations file of kavro-batch (its first line is \"" +
                              std::string(kFirstLinePrefix) +
                              "runs A-B of N, configuration ..., batch=...\")");
      continue;
    }
    if (lineNumber == 2) {
      if (line != kHeader)
        return fail("the header line \"run\\tseed\\ttime\\tflow\\tbreakdown\" is missing");
      continue;
    }
    if (line.compare(0, sizeof kEndPrefix - 1, kEndPrefix) == 0) {
      long long count = 0;
      const std::string expected = " observations";
      std::string number = line.substr(sizeof kEndPrefix - 1);
      size_t blank = number.find(' ');
      if (blank == std::string::npos || number.substr(blank) != expected ||
          !ParseInt(number.substr(0, blank), 0, LLONG_MAX, count))
        return fail("bad end line");
      if (count != static_cast<long long>(file.Observations.size()))
        return fail(Format("the end line counts %lld observations, the file holds %zu", count,
                           file.Observations.size()));
      ended = true;
      continue;
    }
    if (line.compare(0, 2, "# ") == 0) {
      int run = 0;
      std::string origin;
      if (ParseHeldBack(line.substr(2), run, origin)) {
        if (run < file.FirstRun || run > file.LastRun)
          return fail(Format("run %d is not one of runs %d-%d", run, file.FirstRun, file.LastRun));
        file.HeldBackRuns.push_back(run);
        file.HeldBackOrigins.push_back(origin);
        continue;
      }
      return fail("unknown comment line");
    }
    std::vector<std::string> fields = SplitTabs(line);
    if (fields.size() != 5)
      return fail(Format("%zu fields where run, seed, time, flow and breakdown are expected",
                         fields.size()));
    long long run = 0, seed = 0, time = 0, flow = 0, breakdown = 0;
    if (!ParseInt(fields[0], file.FirstRun, file.LastRun, run))
      return fail(Format("run \"%s\" is not one of runs %d-%d", Field(fields[0]).c_str(),
                         file.FirstRun, file.LastRun));
    if (!ParseInt(fields[1], INT_MIN, INT_MAX, seed))
      return fail("bad seed \"" + Field(fields[1]) + "\"");
    if (!ParseInt(fields[2], 0, INT_MAX, time))
      return fail("bad time \"" + Field(fields[2]) + "\"");
    if (!ParseInt(fields[3], 0, INT_MAX, flow))
      return fail("bad flow \"" + Field(fields[3]) + "\"");
    if (!ParseInt(fields[4], 0, 1, breakdown))
      return fail("breakdown \"" + fields[4] + "\" is neither 0 nor 1");
    if (!file.Observations.empty()) {
      const CapacityObservation& last = file.Observations.back();
      if (run < last.Run) return fail("runs out of order");
      if (run == last.Run && last.Breakdown)
        return fail(Format("run %lld goes on after its breakdown", run));
      if (run == last.Run && seed != last.Seed) return fail(Format("run %lld with two seeds", run));
      // Each period of a run is one observation; a period taken twice would count twice.
      if (run == last.Run && time <= last.Time)
        return fail(
            Format("time %lld of run %lld does not follow its time %d", time, run, last.Time));
    }
    file.Observations.push_back({static_cast<int>(run), static_cast<std::int32_t>(seed),
                                 static_cast<int>(time), static_cast<int>(flow), breakdown == 1});
  }
  if (lineNumber < 2) return fail("the file ends before its header line");
  if (!ended) return fail("the file ends without its end line (truncated?)");
  return true;
}

bool JoinCapacityObservations(const std::vector<std::string>& fileNames,
                              const std::vector<CapacityObservationsFile>& files,
                              CapacityObservationsFile& joined, std::string& error) {
  joined = CapacityObservationsFile();
  if (files.empty()) {
    error = "no observations file given";
    return false;
  }
  std::vector<size_t> order(files.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return files[a].FirstRun < files[b].FirstRun; });
  const CapacityObservationsFile& first = files[order[0]];
  joined.FirstRun = first.FirstRun;
  joined.LastRun = first.LastRun;
  joined.Runs = first.Runs;
  joined.Configuration = first.Configuration;
  joined.Batch = first.Batch;
  for (size_t k = 0; k < order.size(); ++k) {
    const CapacityObservationsFile& file = files[order[k]];
    const std::string& name = fileNames[order[k]];
    if (file.Configuration != first.Configuration || file.Batch != first.Batch ||
        file.Runs != first.Runs) {
      error = Format("%s:1: observations of another configuration or batch than %s", name.c_str(),
                     fileNames[order[0]].c_str());
      return false;
    }
    if (k > 0 && file.FirstRun <= joined.LastRun) {
      error = Format("%s:1: runs %d-%d overlap runs of another file", name.c_str(), file.FirstRun,
                     file.LastRun);
      return false;
    }
    joined.LastRun = std::max(joined.LastRun, file.LastRun);
    joined.Observations.insert(joined.Observations.end(), file.Observations.begin(),
                               file.Observations.end());
    joined.HeldBackRuns.insert(joined.HeldBackRuns.end(), file.HeldBackRuns.begin(),
                               file.HeldBackRuns.end());
    joined.HeldBackOrigins.insert(joined.HeldBackOrigins.end(), file.HeldBackOrigins.begin(),
                                  file.HeldBackOrigins.end());
  }
  return true;
}
