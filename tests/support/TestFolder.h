#pragma once

#include <filesystem>
#include <string>

// An empty folder for one test's files, named after `name` and this process. ctest runs
// every test in a process of its own, several at once, and suites of other checkouts may run
// beside them: a fixed name under /tmp would let them overwrite each other's files.
std::filesystem::path FreshTestFolder(const std::string& name);

/// The folder FreshTestFolder(name) makes, left as it is: for helpers that call it again and
/// again during one test.
std::filesystem::path TestFolderPath(const std::string& name);
