#pragma once

#include <cstdio>
#include <string>

// Every file the program saves is written whole beside its target and renamed over it only
// when every byte, the flush, the sync and the close succeeded: a failed save or a killed
// process leaves the previous file as it was. The new text first goes to ".NAME.kavro-tmp" in
// the target's folder; such a file left behind by a killed process is replaced by the next
// save of the same file. A symbolic link is followed and its target replaced. A target that
// exists and is not a regular file (a folder, a device, a pipe), or that may not be written,
// is never replaced, nor is a name that cannot be looked up (a loop of symbolic links).

/// A save in progress: text written to File() lands in the target on Commit(), and nowhere
/// when the object is destroyed without it.
class FileReplacement {
 public:
  FileReplacement() = default;
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  /// Creates the temporary file for `fileName`; false with Error() when the target is not a
  /// regular file or the temporary file cannot be created.
  bool Open(const std::string& fileName);
  /// The temporary file while open; null otherwise.
  std::FILE* File() const { return file_; }
  /// Checks that every write succeeded, flushes, syncs and closes the temporary file and
  /// renames it over the target; false with Error() otherwise (the target is untouched).
  bool Commit();
  /// Drops the temporary file; the target is untouched.
  void Abandon();

  /// Why the last Open or Commit failed, in the system's words ("No space left on device",
  /// "it is a folder").
  const std::string& Error() const { return error_; }
  /// The file that is replaced: the given name with symbolic links followed.
  const std::string& Target() const { return target_; }
  /// The name of the temporary file.
  const std::string& Temporary() const { return temporary_; }

 private:
  std::FILE* file_ = nullptr;
  std::string target_;
  std::string temporary_;
  std::string error_;
  unsigned mode_ = 0;
  bool keepMode_ = false;
};

/// Replaces the contents of `fileName` by `text` through a FileReplacement; false with the
/// reason in `error`.
bool ReplaceFileContents(const std::string& fileName, const std::string& text, std::string& error);

/// The file a save of `fileName` replaces: symbolic links followed, a link to a missing file
/// included (the save creates that file). A loop of links gives up after 40 links.
std::string SaveTarget(const std::string& fileName);

/// The name of the temporary file a save of `target` writes first: ".NAME.kavro-tmp" in the
/// folder of `target` (no links followed).
std::string TemporaryFileName(const std::string& target);
