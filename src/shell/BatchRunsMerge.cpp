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
  if (lines.empty() || !ParseBatchPartLine(lines[0], file.part)) {
    MergeError(Format("\"%s\" is not a part of a batch (written with --runs)", name.c_str()));
    return false;
  }
  const BatchPart& part = file.part;
  const size_t count = static_cast<size_t>(part.Last - part.First + 1);
  if (lines.size() != count + 2 || lines[1] != kHeader) {
    MergeError(
        Format("\"%s\" does not hold the rows of runs %d-%d", name.c_str(), part.First, part.Last));
    return false;
  }
  file.header = lines[1];
  for (size_t i = 0; i < count; ++i) {
    if (!HasRowColumns(lines[i + 2])) {
      MergeError(Format("\"%s\" line %zu: a row of the batch results has 5 or 7 columns",
                        name.c_str(), i + 3));
      return false;
    }
    if (RowRun(lines[i + 2]) != part.First + static_cast<int>(i)) {
      MergeError(Format("\"%s\" does not hold the rows of runs %d-%d", name.c_str(), part.First,
                        part.Last));
      return false;
    }
    file.rows.push_back(lines[i + 2]);
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

}  // namespace

std::string BatchPartLine(const BatchPart& part) {
  return Format("%sruns %d-%d of %d, configuration %s, batch=%s", kPartPrefix, part.First,
                part.Last, part.Runs, part.Configuration.c_str(), part.Batch.c_str());
}

bool ParseBatchPartLine(const std::string& line, BatchPart& part) {
  const std::string prefix = kPartPrefix;
  if (line.compare(0, prefix.size(), prefix) != 0) return false;
  BatchPart read;
  char fingerprint[17] = {};
  int used = 0;
  if (std::sscanf(line.c_str() + prefix.size(),
                  "runs %d-%d of %d, configuration %16[0-9a-f], batch=%n", &read.First, &read.Last,
                  &read.Runs, fingerprint, &used) != 4 ||
      used == 0)
    return false;
  read.Configuration = fingerprint;
  read.Batch = line.substr(prefix.size() + used);
  if (read.First < 1 || read.Last < read.First || read.Runs < read.Last ||
      read.Configuration.size() != 16 || read.Batch.empty())
    return false;
  part = read;
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
