#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "config/FileReplace.h"
#include "support/FileText.h"
#include "support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

class FileReplaceTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = FreshTestFolder(std::string("replace-") +
                              testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder_, ignored);
  }
  // The names in the folder, the hidden ones included.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder_;
};

using Names = std::vector<std::string>;

TEST_F(FileReplaceTest, CreatesANewFileAndLeavesNothingElse) {
  std::string error;
  ASSERT_TRUE(ReplaceFileContents((folder_ / "a.kbr").string(), "one\ntwo\n", error)) << error;
  EXPECT_EQ(ReadWholeFile(folder_ / "a.kbr"), "one\ntwo\n");
  EXPECT_EQ(Entries(), Names{"a.kbr"});
}

TEST_F(FileReplaceTest, ReplacesAnOldFileKeepingItsPermissions) {
  WriteFile(folder_ / "a.ksr", "old text that is longer than the new one\n");
  fs::permissions(folder_ / "a.ksr",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  std::string error;
  ASSERT_TRUE(ReplaceFileContents((folder_ / "a.ksr").string(), "new\n", error)) << error;
  EXPECT_EQ(ReadWholeFile(folder_ / "a.ksr"), "new\n");
  EXPECT_EQ(fs::status(folder_ / "a.ksr").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(FileReplaceTest, AnEmptyTextMakesAnEmptyFile) {
  WriteFile(folder_ / "a.log", "old\n");
  std::string error;
  ASSERT_TRUE(ReplaceFileContents((folder_ / "a.log").string(), "", error)) << error;
  EXPECT_EQ(ReadWholeFile(folder_ / "a.log"), "");
}

TEST_F(FileReplaceTest, RefusesAFolderAndKeepsIt) {
  fs::create_directory(folder_ / "out.ksr");
  WriteFile(folder_ / "out.ksr" / "inside", "x");
  std::string error;
  EXPECT_FALSE(ReplaceFileContents((folder_ / "out.ksr").string(), "new\n", error));
  EXPECT_EQ(error, "it is a folder");
  EXPECT_TRUE(fs::is_directory(folder_ / "out.ksr"));
  EXPECT_EQ(ReadWholeFile(folder_ / "out.ksr" / "inside"), "x");
  EXPECT_EQ(Entries(), Names{"out.ksr"});
}

TEST_F(FileReplaceTest, RefusesAPipeAndKeepsIt) {
  ASSERT_EQ(::mkfifo((folder_ / "pipe").c_str(), 0600), 0);
  std::string error;
  EXPECT_FALSE(ReplaceFileContents((folder_ / "pipe").string(), "new\n", error));
  EXPECT_EQ(error, "it is not a regular file");
  EXPECT_TRUE(fs::is_fifo(folder_ / "pipe"));
  EXPECT_EQ(Entries(), Names{"pipe"});
}

TEST_F(FileReplaceTest, RefusesADeviceAndKeepsIt) {
  std::string error;
  EXPECT_FALSE(ReplaceFileContents("/dev/null", "new\n", error));
  EXPECT_EQ(error, "it is not a regular file");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_FALSE(fs::exists("/dev/.null.kavro-tmp"));
}

TEST_F(FileReplaceTest, RefusesALinkToADevice) {
  fs::create_symlink("/dev/null", folder_ / "null");
  std::string error;
  EXPECT_FALSE(ReplaceFileContents((folder_ / "null").string(), "new\n", error));
  EXPECT_TRUE(fs::is_symlink(folder_ / "null"));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// A name that cannot be looked up is refused like any other name that cannot be written;
// renaming over it would put a plain file in place of the link.
TEST_F(FileReplaceTest, RefusesALoopOfLinksAndKeepsIt) {
  fs::create_symlink("self", folder_ / "self");
  fs::create_symlink("b", folder_ / "a");
  fs::create_symlink("a", folder_ / "b");
  fs::create_symlink("a/inside", folder_ / "through");
  for (const char* name : {"self", "a", "through"}) {
    SCOPED_TRACE(name);
    std::string error;
    EXPECT_FALSE(ReplaceFileContents((folder_ / name).string(), "new\n", error));
    EXPECT_EQ(error, std::strerror(ELOOP));
    EXPECT_EQ(Entries(), (Names{"a", "b", "self", "through"}));
    EXPECT_TRUE(fs::is_symlink(folder_ / name));
  }
}

TEST_F(FileReplaceTest, FollowsASymbolicLinkAndReplacesItsTarget) {
  fs::create_directory(folder_ / "store");
  WriteFile(folder_ / "store" / "real.kav", "old\n");
  fs::create_symlink("store/real.kav", folder_ / "link.kav");
  std::string error;
  ASSERT_TRUE(ReplaceFileContents((folder_ / "link.kav").string(), "new\n", error)) << error;
  EXPECT_TRUE(fs::is_symlink(folder_ / "link.kav"));
  EXPECT_EQ(ReadWholeFile(folder_ / "store" / "real.kav"), "new\n");
  EXPECT_EQ(Entries(), (Names{"link.kav", "store"}));
  EXPECT_EQ(fs::directory_iterator(folder_ / "store")->path().filename(), "real.kav");
}

TEST_F(FileReplaceTest, ALinkToAMissingFileCreatesTheFile) {
  fs::create_symlink("made.kbr", folder_ / "link.kbr");
  std::string error;
  ASSERT_TRUE(ReplaceFileContents((folder_ / "link.kbr").string(), "new\n", error)) << error;
  EXPECT_TRUE(fs::is_symlink(folder_ / "link.kbr"));
  EXPECT_EQ(ReadWholeFile(folder_ / "made.kbr"), "new\n");
}

TEST_F(FileReplaceTest, AFolderNobodyMayWriteIntoFailsWithTheSystemsReason) {
  std::string error;
  EXPECT_FALSE(ReplaceFileContents("/proc/kavro-test.kbr", "new\n", error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(ReplaceFileContents((folder_ / "missing" / "a.kbr").string(), "new\n", error));
  EXPECT_EQ(error, "No such file or directory");
}

TEST_F(FileReplaceTest, AReadOnlyFolderKeepsItsFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "folder permissions do not bind the super-user";
  WriteFile(folder_ / "a.kbr", "old\n");
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
  std::string error;
  EXPECT_FALSE(ReplaceFileContents((folder_ / "a.kbr").string(), "new\n", error));
  EXPECT_EQ(error, "Permission denied");
  EXPECT_EQ(ReadWholeFile(folder_ / "a.kbr"), "old\n");
}

TEST_F(FileReplaceTest, AReadOnlyFileIsNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not bind the super-user";
  WriteFile(folder_ / "a.kav", "old\n");
  fs::permissions(folder_ / "a.kav", fs::perms::owner_read);
  std::string error;
  EXPECT_FALSE(ReplaceFileContents((folder_ / "a.kav").string(), "new\n", error));
  EXPECT_EQ(error, "Permission denied");
  EXPECT_EQ(ReadWholeFile(folder_ / "a.kav"), "old\n");
}

TEST_F(FileReplaceTest, ALeftoverTemporaryFileIsRemovedByTheNextSave) {
  WriteFile(folder_ / "a.kav", "old\n");
  WriteFile(folder_ / ".a.kav.kavro-tmp", "half a fi");
  EXPECT_EQ(TemporaryFileName((folder_ / "a.kav").string()),
            (folder_ / ".a.kav.kavro-tmp").string());
  std::string error;
  ASSERT_TRUE(ReplaceFileContents((folder_ / "a.kav").string(), "new\n", error)) << error;
  EXPECT_EQ(ReadWholeFile(folder_ / "a.kav"), "new\n");
  EXPECT_EQ(Entries(), Names{"a.kav"});
}

TEST_F(FileReplaceTest, TheTemporaryFileLiesBesideTheTargetAndSaysWhatItIs) {
  WriteFile(folder_ / "a.ksx", "old\n");
  FileReplacement file;
  ASSERT_TRUE(file.Open((folder_ / "a.ksx").string()));
  std::fputs("new\n", file.File());
  std::fflush(file.File());
  // A process killed now leaves the old file and a temporary file named after it.
  EXPECT_EQ(ReadWholeFile(folder_ / "a.ksx"), "old\n");
  EXPECT_EQ(Entries(), (Names{".a.ksx.kavro-tmp", "a.ksx"}));
  ASSERT_TRUE(file.Commit()) << file.Error();
  EXPECT_EQ(ReadWholeFile(folder_ / "a.ksx"), "new\n");
  EXPECT_EQ(Entries(), Names{"a.ksx"});
}

TEST_F(FileReplaceTest, ASaveNotCommittedLeavesTheOldFileAndNoTemporaryFile) {
  WriteFile(folder_ / "a.lst", "old\n");
  {
    FileReplacement file;
    ASSERT_TRUE(file.Open((folder_ / "a.lst").string()));
    std::fputs("new\n", file.File());
  }
  EXPECT_EQ(ReadWholeFile(folder_ / "a.lst"), "old\n");
  EXPECT_EQ(Entries(), Names{"a.lst"});
}

// A write that fails half-way (here: the file size limit, as a full disk would) leaves the
// old file whole.
TEST_F(FileReplaceTest, AFailedWriteLeavesTheOldFileWhole) {
  WriteFile(folder_ / "a.kbr", "old\n");
  struct rlimit saved;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct rlimit limited = saved;
  limited.rlim_cur = 4096;
  void (*previous)(int) = ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  std::string error;
  bool ok = ReplaceFileContents((folder_ / "a.kbr").string(), std::string(10000, 'x'), error);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previous);
  EXPECT_FALSE(ok);
  EXPECT_EQ(error, "File too large");
  EXPECT_EQ(ReadWholeFile(folder_ / "a.kbr"), "old\n");
  EXPECT_EQ(Entries(), Names{"a.kbr"});
}

}  // namespace
