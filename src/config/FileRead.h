#pragma once

#include <cstddef>
#include <string>

// Every file the program reads as a whole (configurations, batch parts, observations,
// injection files) is read here, so that they all refuse the same things: a name that is not a
// regular file (a folder, a pipe, a device) is refused before a byte is read, and so is a file
// larger than kMaxInputFileBytes. A pipe is opened without waiting for a writer, so the check
// itself cannot hang.

/// The most bytes a file that is read may hold: 256 MB. The largest configuration of the
/// program's limits is a few megabytes; a larger file is a mistake, not an input.
constexpr std::size_t kMaxInputFileBytes = std::size_t{256} << 20;

/// Why a file of mode `mode` (st_mode) is neither read nor replaced: "it is a folder" or "it is
/// not a regular file"; "" for a regular file. Readers and the saving of files share it.
std::string NotRegularFileText(unsigned mode);

/// Reads the whole of `fileName` into `text`. False with the reason in `error`: the system's
/// text ("No such file or directory"), "it is a folder", "it is not a regular file" or "it is
/// larger than 256 MB"; `text` is then empty.
bool ReadInputFile(const std::string& fileName, std::string& text, std::string& error);
