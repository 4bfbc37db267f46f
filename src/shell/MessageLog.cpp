#include "shell/MessageLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string MessageLogText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += '\n';
  }
  return text;
}

bool SaveMessageLog(const std::string& fileName, const std::vector<std::string>& lines,
                    std::string& systemError) {
  return SaveTextFile(fileName, MessageLogText(lines), systemError);
}

bool SaveTextFile(const std::string& fileName, const std::string& text, std::string& systemError) {
  std::string target = fileName;
  struct stat status;
  bool exists = ::stat(fileName.c_str(), &status) == 0;
  if (exists && !S_ISREG(status.st_mode)) {
    systemError = std::strerror(EISDIR);
    if (!S_ISDIR(status.st_mode)) systemError = "not a regular file";
    return false;
  }
  // A read-only file stays as it is.
  if (exists && ::access(fileName.c_str(), W_OK) != 0) {
    systemError = std::strerror(errno);
    return false;
  }
  char resolved[PATH_MAX];
  if (exists && ::realpath(fileName.c_str(), resolved) != nullptr) target = resolved;
  std::string temporary = target + ".XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    systemError = std::strerror(errno);
    return false;
  }
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, exists ? (status.st_mode & 07777) : (0666 & ~mask));
  size_t done = 0;
  int error = 0;
  while (done < text.size() && error == 0) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno != EINTR) error = errno;
    if (n > 0) done += static_cast<size_t>(n);
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    systemError = std::strerror(error);
    return false;
  }
  return true;
}
