#pragma once

#include <string>
#include <vector>

// The files the program ships with (the help file, the external model library, the default
// model file) sit next to the executable in the build folder or in a folder they were copied
// to together. An installation under a prefix keeps the executables in bin/ and these files
// in the folders beside it that the build installs them to: share/kavro/ for data and
// lib/kavro/ for libraries, so that /usr/bin holds programs only.

enum class ProgramFileKind { Data, Library };

/// The folder an installation puts files of `kind` in, relative to the install prefix and
/// ending with "/" ("share/kavro/").
std::string InstalledFolder(ProgramFileKind kind);

/// The places `fileName` is looked for, in order: the program's folder `programDirectory`
/// (ending with "/", or empty for the current folder), then the installed folder of `kind`
/// beside it (programDirectory + "../share/kavro/").
std::vector<std::string> ProgramFileCandidates(const std::string& programDirectory,
                                               const std::string& fileName, ProgramFileKind kind);

/// The first candidate that is a regular file (a link to one counts); the first candidate,
/// next to the program, when there is none, so that a message names the expected place.
std::string FindProgramFile(const std::string& programDirectory, const std::string& fileName,
                            ProgramFileKind kind);

/// The first of several file names found, folder by folder: a file of any of the names next to
/// the program wins over an installed one. Empty when none is found.
std::string FindFirstProgramFile(const std::string& programDirectory,
                                 const std::vector<std::string>& fileNames, ProgramFileKind kind);
