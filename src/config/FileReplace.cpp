#include "config/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "config/FileRead.h"

namespace {

// Enough for any sane chain of links; a loop ends here and fails when opened.
constexpr int kMaxLinks = 40;

std::string FolderOf(const std::string& name) {
  size_t slash = name.find_last_of('/');
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

}  // namespace

std::string SaveTarget(const std::string& name) {
  std::string path = name;
  for (int i = 0; i < kMaxLinks; ++i) {
    struct stat status;
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    char link[PATH_MAX];
    ssize_t length = ::readlink(path.c_str(), link, sizeof link - 1);
    if (length <= 0) return path;
    std::string next(link, static_cast<size_t>(length));
    path = next[0] == '/' ? next : FolderOf(path) + next;
  }
  return path;
}

namespace {

std::string SystemText(int error) {
  return error != 0 ? std::strerror(error) : std::string("write error");
}

}  // namespace

std::string TemporaryFileName(const std::string& target) {
  std::string folder = FolderOf(target);
  return folder + "." + target.substr(folder.size()) + ".kavro-tmp";
}

FileReplacement::~FileReplacement() { Abandon(); }

bool FileReplacement::Open(const std::string& fileName) {
  Abandon();
  error_.clear();
  target_ = SaveTarget(fileName);
  struct stat status;
  keepMode_ = false;
  if (::stat(target_.c_str(), &status) == 0) {
    error_ = NotRegularFileText(status.st_mode);
    if (!error_.empty()) return false;
    // A file its owner made read-only is not replaced behind their back.
    if (::access(target_.c_str(), W_OK) != 0) {
      error_ = SystemText(errno);
      return false;
    }
    keepMode_ = true;
    mode_ = status.st_mode & 07777;
  } else if (errno != ENOENT) {
    // A loop of symbolic links, a name through a file, a folder that may not be searched: the
    // name cannot be written, and renaming over it would replace a link by a file.
    error_ = SystemText(errno);
    return false;
  }
  temporary_ = TemporaryFileName(target_);
  // A temporary file left by a killed save of the same file goes now.
  if (::unlink(temporary_.c_str()) != 0 && errno != ENOENT) {
    error_ = SystemText(errno);
    return false;
  }
  int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    error_ = SystemText(errno);
    return false;
  }
  if (keepMode_) ::fchmod(fd, static_cast<mode_t>(mode_));
  file_ = ::fdopen(fd, "w");
  if (file_ == nullptr) {
    error_ = SystemText(errno);
    ::close(fd);
    ::unlink(temporary_.c_str());
    return false;
  }
  return true;
}

bool FileReplacement::Commit() {
  if (file_ == nullptr) {
    if (error_.empty()) error_ = "the file was not opened";
    return false;
  }
  int error = 0;
  if (std::ferror(file_)) error = errno != 0 ? errno : EIO;
  if (error == 0 && std::fflush(file_) != 0) error = errno;
  if (error == 0 && ::fsync(::fileno(file_)) != 0) error = errno;
  struct stat written;
  if (error == 0 && ::fstat(::fileno(file_), &written) != 0) error = errno;
  if (std::fclose(file_) != 0 && error == 0) error = errno;
  file_ = nullptr;
  // Another save of the same file may have taken the temporary name meanwhile: never rename
  // its unfinished text over the target.
  struct stat named;
  if (error == 0 && (::stat(temporary_.c_str(), &named) != 0 || named.st_ino != written.st_ino ||
                     named.st_dev != written.st_dev)) {
    error_ = "another save of the same file interfered";
    return false;
  }
  if (error == 0 && std::rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary_.c_str());
    error_ = SystemText(error);
    return false;
  }
  return true;
}

void FileReplacement::Abandon() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  file_ = nullptr;
  ::unlink(temporary_.c_str());
}

bool ReplaceFileContents(const std::string& fileName, const std::string& text, std::string& error) {
  FileReplacement file;
  if (!file.Open(fileName)) {
    error = file.Error();
    return false;
  }
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), file.File());
  if (!file.Commit()) {
    error = file.Error();
    return false;
  }
  return true;
}
