// The .dov configuration file of the udov model: line-oriented text, one value per line as
// "keyword [index ...] value". See docs/udov-format.md. The library links nothing of the
// program, so it has its own small write-through-a-temporary-file helper here.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "UdovModel.h"

namespace udov {

namespace {

constexpr int kFormatVersion = 1;
constexpr const char* kMagic = "UDOV";
constexpr size_t kMaxLine = 4096;

std::string Num(int32_t v) { return std::to_string(v); }
std::string Num(uint32_t v) { return std::to_string(v); }

// One line of a value at `indices`.
std::string ValueLine(ConfigData& c, const ParamDef& def, std::initializer_list<int32_t> idx) {
  std::vector<int32_t> indices(idx);
  Slot slot;
  if (ResolveSlot(c, def, static_cast<int>(indices.size()), indices.data(), slot) != UDOV_OK)
    return "";
  std::string line = def.key;
  for (int32_t i : indices) line += " " + Num(i);
  switch (slot.type) {
    case UDOV_TYPE_REAL:
      line += " " + FloatText(*static_cast<float*>(slot.place));
      break;
    case UDOV_TYPE_INTEGER:
      line += " " + Num(*static_cast<int32_t*>(slot.place));
      break;
    case UDOV_TYPE_UNSIGNED:
      line += " " + Num(*static_cast<uint32_t*>(slot.place));
      break;
    case UDOV_TYPE_TEXT:
      line += " " + *static_cast<std::string*>(slot.place);
      break;
  }
  return line + "\n";
}

bool IsSpare(const ParamDef& def) { return std::strcmp(def.name, "Spare") == 0; }

// Vehicle parameter index of a class 3 id (ids 5 and 26 hold the speed classes and the entry
// lane distribution).
int VehicleParamOfId(int id) { return id - 2 - (id > 5 ? 1 : 0) - (id > 26 ? 1 : 0); }

std::string Serialise(const ConfigData& source) {
  ConfigData c = source;  // ResolveSlot hands out writable places
  std::string out;
  out += std::string(kMagic) + " " + Num(kFormatVersion) + "\n";
  out +=
      "# udov model configuration: IDM car following, ACC for ICC vehicles, MOBIL lane "
      "changes\n";
  for (const ParamDef* def : ConfigParams()) {
    if (def->cls == 1 && (!IsSpare(*def) || c.general[def->id - 2] != 0))
      out += ValueLine(c, *def, {});
  }
  out += "\n" + ValueLine(c, *FindParam(2, 1), {});
  for (int q = 1; q <= c.links; q++) {
    const LinkData& link = c.link[q - 1];
    out += "# link " + Num(q) + "\n";
    for (const ParamDef* def : ConfigParams()) {
      if (def->cls != 2 || def->id == 1) continue;
      if (def->id == 9) {
        for (int l = 1; l <= link.lanes; l++) out += ValueLine(c, *def, {q, l + link.laneOffset});
      } else if (def->id == 10) {
        for (int l = 1; l <= link.lanes; l++) out += ValueLine(c, *def, {q, l});
      } else if (def->id == 24) {
        for (int d = 1; d <= link.detectors; d++) out += ValueLine(c, *def, {q, d});
      } else {
        out += ValueLine(c, *def, {q});
      }
    }
  }
  out += "\n" + ValueLine(c, *FindParam(3, 1), {});
  for (int t = 1; t <= c.vehicleTypes; t++) {
    out += "# vehicle type " + Num(t) + "\n";
    for (const ParamDef* def : ConfigParams()) {
      if (def->cls != 3 || def->id == 1) continue;
      if (def->id == 5) {
        for (int k = 1; k <= c.speedClasses[t - 1] && k <= kSubSlots; k++)
          out += ValueLine(c, *def, {t, k});
      } else if (def->id == 26) {
        for (int k = 1; k <= kDistParams; k++) out += ValueLine(c, *def, {t, k});
      } else if (!IsSpare(*def) || c.vehicle[t - 1][VehicleParamOfId(def->id)] != 0) {
        out += ValueLine(c, *def, {t});
      }
    }
  }
  out += "\n" + ValueLine(c, *FindParam(4, 1), {});
  for (int t = 1; t <= c.driverTypes; t++) {
    out += "# driver type " + Num(t) + "\n";
    for (const ParamDef* def : ConfigParams())
      if (def->cls == 4 && def->id != 1 && (!IsSpare(*def) || c.driver[t - 1][def->id - 2] != 0))
        out += ValueLine(c, *def, {t});
  }
  out += "\n";
  for (const ParamDef* def : ConfigParams()) {
    if (def->cls != 5) continue;
    if (def->id == 4) {
      for (int v = 1; v <= c.vehicleTypes; v++)
        for (int d = 1; d <= c.driverTypes; d++) out += ValueLine(c, *def, {v, d});
    } else {
      out += ValueLine(c, *def, {});
    }
  }
  out += "\n";
  for (const ParamDef* def : ConfigParams())
    if (def->cls == 6) out += ValueLine(c, *def, {});
  return out;
}

bool ParseInt(const std::string& token, long long& value) {
  if (token.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(token.c_str(), &end, 10);
  return errno == 0 && *end == '\0';
}

bool ParseReal(const std::string& token, float& value) {
  if (token.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtof(token.c_str(), &end);
  return errno == 0 && *end == '\0' && std::isfinite(value);
}

std::string Describe(int code, const ParamDef& def) {
  char range[96];
  switch (code) {
    case UDOV_BAD_INDEX:
      return "index out of range (the count line must come before it)";
    case UDOV_BAD_VALUE:
      if (def.type == UDOV_TYPE_TEXT) return "bad text";
      std::snprintf(range, sizeof range, "value out of range (%g .. %g)",
                    static_cast<double>(def.minimum), static_cast<double>(def.maximum));
      return range;
  }
  return "not accepted";
}

// Applies one line; empty result when accepted, else the reason.
std::string ApplyLine(ConfigData& c, const std::string& line) {
  std::istringstream in(line);
  std::string key;
  in >> key;
  const ParamDef* def = FindParamByKey(key);
  if (!def) return "unknown keyword \"" + key + "\"";
  std::vector<int32_t> indices;
  for (int i = 0; i < def->indices; i++) {
    std::string token;
    long long index = 0;
    if (!(in >> token))
      return "\"" + key + "\" needs " + Num(def->indices) + " index(es) and a value";
    if (!ParseInt(token, index) || index < -1000000 || index > 1000000)
      return "bad index \"" + token + "\"";
    indices.push_back(static_cast<int32_t>(index));
  }
  if (def->type == UDOV_TYPE_TEXT) {
    // The rest of the line after one blank, blanks included.
    std::string rest;
    std::getline(in, rest);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    int code = StoreValue(c, *def, static_cast<int>(indices.size()), indices.data(), rest.c_str());
    return code == UDOV_OK ? "" : Describe(code, *def);
  }
  std::string token, extra;
  if (!(in >> token)) return "\"" + key + "\" needs a value";
  if (in >> extra) return "unexpected \"" + extra + "\" after the value";
  int code = UDOV_OK;
  if (def->type == UDOV_TYPE_REAL) {
    float value = 0;
    if (!ParseReal(token, value)) return "bad number \"" + token + "\"";
    code = StoreValue(c, *def, static_cast<int>(indices.size()), indices.data(), &value);
  } else {
    long long whole = 0;
    if (!ParseInt(token, whole)) return "bad whole number \"" + token + "\"";
    if (def->type == UDOV_TYPE_INTEGER) {
      if (whole < INT32_MIN || whole > INT32_MAX) return Describe(UDOV_BAD_VALUE, *def);
      int32_t value = static_cast<int32_t>(whole);
      code = StoreValue(c, *def, static_cast<int>(indices.size()), indices.data(), &value);
    } else {
      if (whole < 0 || whole > UINT32_MAX) return Describe(UDOV_BAD_VALUE, *def);
      uint32_t value = static_cast<uint32_t>(whole);
      code = StoreValue(c, *def, static_cast<int>(indices.size()), indices.data(), &value);
    }
  }
  return code == UDOV_OK ? "" : Describe(code, *def);
}

}  // namespace

bool ParseDov(std::istream& in, const std::string& name, ConfigData& result, std::string& error) {
  ConfigData c;
  std::string line;
  int number = 0;
  bool header = false;
  auto fail = [&](const std::string& why) {
    error = name + "(" + Num(number) + "): " + why;
    return false;
  };
  while (std::getline(in, line)) {
    number++;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > kMaxLine) return fail("line longer than 4096 characters");
    if (line.find('\0') != std::string::npos || line.find('\r') != std::string::npos)
      return fail("bad character in line");
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    if (!header) {
      std::istringstream head(line);
      std::string magic, version, extra;
      head >> magic >> version;
      long long v = 0;
      if (magic != kMagic || !ParseInt(version, v) || (head >> extra))
        return fail("not a udov configuration file (first line must be \"UDOV 1\")");
      if (v != kFormatVersion)
        return fail("format version " + version + " is not supported (this library reads 1)");
      header = true;
      continue;
    }
    std::string why = ApplyLine(c, line.substr(first));
    if (!why.empty()) return fail(why);
  }
  if (in.bad()) return fail("read error");
  if (!header) {
    number = 1;
    return fail("not a udov configuration file (first line must be \"UDOV 1\")");
  }
  result = c;
  return true;
}

std::string SerialiseDov(const ConfigData& config) { return Serialise(config); }

bool Model::ReadFile(const std::string& fileName, std::string& error) {
  struct stat info;
  if (stat(fileName.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    error = fileName + ": not a regular file";
    return false;
  }
  std::ifstream in(fileName, std::ios::binary);
  if (!in) {
    error = fileName + ": cannot open: " + std::strerror(errno);
    return false;
  }
  ConfigData read;
  if (!ParseDov(in, fileName, read, error)) return false;
  config_ = read;
  size_t slash = fileName.rfind('/');
  folder_ = slash == std::string::npos ? std::string() : fileName.substr(0, slash);
  ConfigChanged();
  return true;
}

// Writes `text` to `fileName` through a temporary file in the same folder that is renamed into
// place, so a crash or a full disk never leaves a half-written file; a name that is not a
// regular file is not replaced.
bool WriteWholeFile(const std::string& fileName, const std::string& text, std::string& error) {
  struct stat info;
  if (lstat(fileName.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    error = fileName + ": not a regular file, not replaced";
    return false;
  }
  std::string temp = fileName + ".XXXXXX";
  std::vector<char> pattern(temp.begin(), temp.end());
  pattern.push_back('\0');
  int fd = mkstemp(pattern.data());
  if (fd < 0) {
    error = fileName + ": cannot create a temporary file: " + std::strerror(errno);
    return false;
  }
  temp = pattern.data();
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = fileName + ": cannot write: " + std::strerror(errno);
      close(fd);
      unlink(temp.c_str());
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (fsync(fd) != 0 || close(fd) != 0) {
    error = fileName + ": cannot write: " + std::strerror(errno);
    unlink(temp.c_str());
    return false;
  }
  if (rename(temp.c_str(), fileName.c_str()) != 0) {
    error = fileName + ": cannot replace: " + std::strerror(errno);
    unlink(temp.c_str());
    return false;
  }
  return true;
}

bool Model::WriteFile(const std::string& fileName, std::string& error) const {
  return WriteWholeFile(fileName, Serialise(config_), error);
}

}  // namespace udov
