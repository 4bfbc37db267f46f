#include "shell/ConfigFileCommands.h"

#include <memory>
#include <ostream>
#include <string>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "config/RunSetUpCheck.h"
#include "config/TerminateScope.h"
#include "roadview/LaneChangeGeneration.h"
#include "shell/BatchRuns.h"
#include "shell/CommandLine.h"
#include "shell/ConfigLoading.h"

namespace {

void ListProblems(const ConfigReadResult& result, std::ostream& err) {
  for (const std::string& warning : result.warnings) err << "Warning: " << warning << '\n';
  if (result.ok) return;
  if (result.error.line == 0) {
    err << result.error.message << '\n';
    return;
  }
  err << Format("%s(line %d): %s", result.error.fileName.c_str(), result.error.line,
                result.error.message.c_str())
      << '\n'
      << result.error.lineText << '\n';
}

}  // namespace

bool IsConfigFileCommand(const std::vector<std::string>& parameters) {
  return parameters.size() >= 2 &&
         (parameters[1] == "--check" || parameters[1] == "--write-config");
}

int RunConfigFileCommand(const std::vector<std::string>& parameters, std::ostream& out,
                         std::ostream& err) {
  const std::string& command = parameters[1];
  bool write = command == "--write-config";
  if ((write && parameters.size() != 3) || (!write && parameters.size() != 2)) {
    err << "Usage: kavro-batch CONFIG --check | kavro-batch CONFIG --write-config OUT\n";
    return 2;
  }
  // "--write-config --check" has lost its file name.
  if (write && IsProgramOptionWord(parameters[2])) {
    err << "Error: Bad program argument: \"--write-config\": it needs a value, but \""
        << parameters[2] << "\" is an option\n";
    return 2;
  }
  SetProgramMode(KAVRO);
  TerminateScope terminate;
  // A stop inside the model would be a fault of the reader; it must not pass unnoticed.
  ReportHook previous = SetReportHook(
      [&err](const Report& report) { err << report.caption << ": " << report.text << '\n'; });
  const std::string& fileName = parameters[0];
  std::unique_ptr<KDConfig> config;
  ConfigReadResult result = LoadCompleteConfig(fileName, config);
  ListProblems(result, err);
  int status = result.ok ? 0 : 1;
  std::string runProblem = result.ok && !write ? RunSetUpProblem(*config) : "";
  if (result.ok && write) {
    std::string systemError;
    if (WriteConfig(*config, parameters[2], &systemError)) {
      out << "Written " << parameters[2] << '\n';
    } else {
      err << Format("Cannot write to file \"%s\": %s.", parameters[2].c_str(), systemError.c_str())
          << '\n';
      status = 1;
    }
  } else if (!runProblem.empty()) {
    // A run of this configuration would be refused with this message.
    err << runProblem << '\n';
    status = 1;
  } else if (result.ok && !CheckLaneChangeAreas(*config)) {
    // A run of this configuration would be refused for the same reason.
    err << kLaneChangeAreasMismatch << '\n';
    status = 1;
  } else if (result.ok) {
    // A batch of this configuration would not start: said here, before a batch is asked for.
    BatchSettings oneRun;
    oneRun.NumberOfRuns = 1;
    const BatchStartProblem problem = CheckBatchStart(*config, oneRun);
    if (problem != BatchStartProblem::None)
      err << "Warning: " << BatchStartProblemText(problem, *config, oneRun) << '\n';
    out << fileName << ": no problems found\n";
  }
  if (terminate.Requested()) status = 1;
  SetReportHook(std::move(previous));
  return status;
}
