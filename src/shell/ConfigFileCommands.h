#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// kavro-batch's configuration file commands, which work on the file alone:
//   kavro-batch CONFIG --check              reads CONFIG and lists every problem found,
//                                           including lane change areas that no longer
//                                           match the road
//   kavro-batch CONFIG --write-config OUT   reads CONFIG and writes it to OUT in the
//                                           program's own format

/// True when the parameters ask for one of the commands above.
bool IsConfigFileCommand(const std::vector<std::string>& parameters);

/// Runs the command: problems go to `err` as "file(line N): message" with the line as read
/// on the next line. Returns the exit status: 0 when the file reads (and was written), 1 when
/// not, 2 for a malformed command.
int RunConfigFileCommand(const std::vector<std::string>& parameters, std::ostream& out,
                         std::ostream& err);
