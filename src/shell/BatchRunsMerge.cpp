#include "shell/BatchRunsMerge.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "config/FileRead.h"
#include "config/FileReplace.h"
#include "config/ProgramError.h"
#include "shell/CommandLine.h"

namespace {

const char kPartPrefix[] = "# kavro-batch part: ";
const char kHeader[] = "Run\tSeed\tStarted\tFinished\tStatus";

struct PartFile {
  std::string name;
  BatchPart part;
  std::string header;
  std::vector<std::string> rows;
};

void MergeError(const std::string& text) {
  UserMessage(ReportKind::Error, "Error", "--merge: " + text);
}

// The lines of a text file, LF or CR LF ended. A file whose last line lacks its line end was
// cut off while it was written: refused.
bool ReadLines(const std::string& name, std::vector<std::string>& lines) {
  std::string text;
  std::string error;
  if (!ReadInputFile(name, text, error)) {
    MergeError(Format("cannot read \"%s\": %s", name.c_str(), error.c_str()));
    return false;
  }
  if (!text.empty() && text.back() != '\n') {
    MergeError(Format("the last line of \"%s\" is incomplete: the file was cut off", name.c_str()));
    return false;
  }
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return true;
}

// A row holds run, seed, start, finish and status, the status of a flow report in three
// columns.
bool HasRowColumns(const std::string& row) {
  const size_t tabs = static_cast<size_t>(std::count(row.begin(), row.end(), '\t'));
  return tabs == 4 || tabs == 6;
}

// The run number at the start of a row; 0 when there is none.
int RowRun(const std::string& row) {
  size_t tab = row.find('\t');
  if (tab == 0 || tab == std::string::npos || tab > 6) return 0;
  int run = 0;
  for (size_t i = 0; i < tab; ++i) {
    if (row[i] < '0' || row[i] > '9') return 0;
    run = run * 10 + (row[i] - '0');
  }
  return run;
}

bool ReadPart(const std::string& name, PartFile& file) {
  std::vector<std::string> lines;
  if (!ReadLines(name, lines)) return false;
  file.name = name;
  std::string problem;
  if (lines.empty() || !ParseBatchPartLine(lines[0], file.part, &problem)) {
    if (problem.empty())
      MergeError(Format("\"%s\" is not a part of a batch (written with --runs)", name.c_str()));
    else
      MergeError(Format("\"%s\" line 1: %s", name.c_str(), problem.c_str()));
    return false;
  }
  const BatchPart& part = file.part;
  const size_t count = static_cast<size_t>(part.Last - part.First + 1);
  if (lines.size() < 2 || lines[1] != kHeader) {
    MergeError(
        Format("\"%s\" line 2: the header row \"Run\\tSeed\\tStarted\\tFinished\\tStatus\" "
               "is missing",
               name.c_str()));
    return false;
  }
  file.header = lines[1];
  for (size_t i = 0; i < count; ++i) {
    const int run = part.First + static_cast<int>(i);
    if (i + 2 >= lines.size()) {
      MergeError(
          Format("\"%s\" line %zu: the file ends before the row of run %d (the part holds "
                 "runs %d-%d)",
                 name.c_str(), i + 3, run, part.First, part.Last));
      return false;
    }
    if (!HasRowColumns(lines[i + 2])) {
      MergeError(Format("\"%s\" line %zu: a row of the batch results has 5 or 7 columns",
                        name.c_str(), i + 3));
      return false;
    }
    if (RowRun(lines[i + 2]) != run) {
      MergeError(
          Format("\"%s\" line %zu: the row of run %d is expected (the part holds runs "
                 "%d-%d)",
                 name.c_str(), i + 3, run, part.First, part.Last));
      return false;
    }
    file.rows.push_back(lines[i + 2]);
  }
  if (lines.size() > count + 2) {
    MergeError(Format("\"%s\" line %zu: a line after the row of run %d, the last of the part",
                      name.c_str(), count + 3, part.Last));
    return false;
  }
  return true;
}

// Every run in exactly one part, all parts of one batch; `files` sorted by first run.
bool CheckParts(const std::vector<PartFile>& files) {
  const PartFile& base = files[0];
  for (const PartFile& file : files) {
    const BatchPart& a = base.part;
    const BatchPart& b = file.part;
    if (a.Runs != b.Runs || a.Configuration != b.Configuration || a.Batch != b.Batch) {
      MergeError(
          Format("\"%s\" and \"%s\" are parts of different batches (%s, %d runs, "
                 "configuration %s; %s, %d runs, configuration %s)",
                 base.name.c_str(), file.name.c_str(), a.Batch.c_str(), a.Runs,
                 a.Configuration.c_str(), b.Batch.c_str(), b.Runs, b.Configuration.c_str()));
      return false;
    }
  }
  int next = 1;
  const PartFile* previous = nullptr;
  for (const PartFile& file : files) {
    if (file.part.First < next) {
      MergeError(Format("\"%s\" (runs %d-%d) and \"%s\" (runs %d-%d) overlap",
                        previous->name.c_str(), previous->part.First, previous->part.Last,
                        file.name.c_str(), file.part.First, file.part.Last));
      return false;
    }
    if (file.part.First > next) {
      MergeError(
          Format("runs %d-%d of %d are in no part", next, file.part.First - 1, base.part.Runs));
      return false;
    }
    next = file.part.Last + 1;
    previous = &file;
  }
  if (next <= base.part.Runs) {
    MergeError(Format("runs %d-%d of %d are in no part", next, base.part.Runs, base.part.Runs));
    return false;
  }
  return true;
}

// Reads a header such as "runs 3-4 of 10, ..." from left to right.
struct RangeScanner {
  const std::string& text;
  size_t at = 0;

  bool Word(const char* word) {
    const size_t length = std::strlen(word);
    if (text.compare(at, length, word) != 0) return false;
    at += length;
    return true;
  }
  // One or more characters of `set`.
  bool Span(const char* set, std::string& span) {
    const size_t end = std::min(text.find_first_not_of(set, at), text.size());
    span = text.substr(at, end - at);
    at = end;
    return !span.empty();
  }
  bool Digits(std::string& digits) { return Span("0123456789", digits); }
};

// A run number or count of at most kMaxBatchRuns; -1 for any larger number, however many digits
// it has (so that none wraps around).
long long RunNumber(const std::string& digits) {
  if (digits.size() > 9) return -1;
  const long long value = std::strtoll(digits.c_str(), nullptr, 10);
  return value <= kMaxBatchRuns ? value : -1;
}

// A piece of a line quoted in a message, cut short when it is long.
std::string Clip(const std::string& text) {
  return text.size() <= 80 ? text : text.substr(0, 80) + "...";
}

}  // namespace

std::string BatchPartLine(const BatchPart& part) {
  return Format("%sruns %d-%d of %d, configuration %s, batch=%s", kPartPrefix, part.First,
                part.Last, part.Runs, part.Configuration.c_str(), part.Batch.c_str());
}

bool ParseBatchPartLine(const std::string& line, BatchPart& part, std::string* problem) {
  if (problem) problem->clear();
  const std::string prefix = kPartPrefix;
  if (line.compare(0, prefix.size(), prefix) != 0) return false;
  std::string why;
  if (!ParseBatchRunRange(line.substr(prefix.size()), part, why)) {
    if (problem) *problem = why;
    return false;
  }
  return true;
}

bool ParseBatchRunRange(const std::string& text, BatchPart& part, std::string& problem) {
  RangeScanner scan{text};
  std::string first, last, runs;
  std::string configuration;
  std::vector<std::string> request;
  bool read = scan.Word("runs ") && scan.Digits(first) && scan.Word("-") && scan.Digits(last) &&
              scan.Word(" of ") && scan.Digits(runs) && scan.Word(", configuration ") &&
              scan.Span("0123456789abcdef", configuration) && scan.Word(", batch=");
  const std::string batch = read ? text.substr(scan.at) : std::string();
  for (bool more = read; more; more = scan.Word(",")) {
    request.emplace_back();
    read = scan.Digits(request.back());
    if (!read) break;
  }
  if (!read || scan.at != text.size() || request.size() != 6) {
    problem =
        "it does not read \"runs A-B of N, configuration F, batch=R,S,D,V,F,L\" with whole "
        "numbers";
    return false;
  }
  if (configuration.size() != 16) {
    problem = Format("the configuration fingerprint \"%s\" is not 16 hexadecimal digits",
                     Clip(configuration).c_str());
    return false;
  }
  const long long count = RunNumber(runs);
  if (count < 1) {
    problem = Format("%s runs are not a batch of 1 to %d runs", Clip(runs).c_str(), kMaxBatchRuns);
    return false;
  }
  if (RunNumber(request[0]) != count) {
    problem = Format("\"of %lld\", but batch=%s makes %s runs", count, Clip(batch).c_str(),
                     Clip(request[0]).c_str());
    return false;
  }
  const long long from = RunNumber(first);
  const long long to = RunNumber(last);
  if (from < 1 || to < from || to > count) {
    problem = Format("runs %s-%s are not runs of a batch of %lld runs", Clip(first).c_str(),
                     Clip(last).c_str(), count);
    return false;
  }
  part.First = static_cast<int>(from);
  part.Last = static_cast<int>(to);
  part.Runs = static_cast<int>(count);
  part.Configuration = configuration;
  part.Batch = batch;
  return true;
}

std::string ConfigurationFingerprint(const std::string& bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return Format("%016llx", static_cast<unsigned long long>(hash));
}

std::string BatchPartFileName(const std::string& path, int first, int last,
                              const std::string& extension) {
  return ReplaceExtension(path, Format(".runs%d-%d", first, last) + extension);
}

bool MergeBatchResults(const std::string& outName, const std::vector<std::string>& parts) {
  if (parts.empty()) {
    MergeError("no part files given");
    return false;
  }
  std::vector<PartFile> files(parts.size());
  for (size_t i = 0; i < parts.size(); ++i)
    if (!ReadPart(parts[i], files[i])) return false;
  std::stable_sort(files.begin(), files.end(), [](const PartFile& a, const PartFile& b) {
    return a.part.First < b.part.First;
  });
  if (!CheckParts(files)) return false;
  std::vector<std::string> lines{files[0].header};
  for (const PartFile& file : files) lines.insert(lines.end(), file.rows.begin(), file.rows.end());
  std::string text;
  for (const std::string& line : lines) text += line + '\n';
  std::string error;
  if (!ReplaceFileContents(outName, text, error)) {
    MergeError(Format("cannot write \"%s\": %s", outName.c_str(), error.c_str()));
    return false;
  }
  return true;
}
