#include "config/FileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string TooLargeText() {
  return "it is larger than " + std::to_string(kMaxInputFileBytes >> 20) + " MB";
}

// Closes the descriptor on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::string NotRegularFileText(unsigned mode) {
  if (S_ISDIR(mode)) return "it is a folder";
  if (!S_ISREG(mode)) return "it is not a regular file";
  return "";
}

bool ReadInputFile(const std::string& fileName, std::string& text, std::string& error) {
  text.clear();
  // O_NONBLOCK: opening a pipe for reading would otherwise wait for a writer.
  Descriptor file(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.Get() < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct stat status;
  if (::fstat(file.Get(), &status) != 0) {
    error = std::strerror(errno);
    return false;
  }
  error = NotRegularFileText(status.st_mode);
  if (!error.empty()) return false;
  if (status.st_size < 0 || static_cast<unsigned long long>(status.st_size) > kMaxInputFileBytes) {
    error = TooLargeText();
    return false;
  }
  text.reserve(static_cast<size_t>(status.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error = std::strerror(errno);
      text.clear();
      return false;
    }
    if (got == 0) break;
    text.append(buffer, static_cast<size_t>(got));
    // The file may grow while it is read.
    if (text.size() > kMaxInputFileBytes) {
      error = TooLargeText();
      text.clear();
      return false;
    }
  }
  return true;
}
