#include "shell/ProgramOptions.h"

#include <ostream>
#include <sstream>

#include "config/ProgramError.h"
#include "shell/ProgramIdentity.h"

namespace {

// What a program is, for the top of --help and for the manual page's NAME, SYNOPSIS and
// DESCRIPTION.
struct ProgramDescription {
  const char* Name;
  const char* Summary;
  std::vector<const char*> Usage;
  std::vector<const char*> Description;
  std::vector<const char*> Notes;
};

const ProgramDescription& Describe(ProgramKind program) {
  static const ProgramDescription desktop{
      "kavro",
      "microscopic traffic simulator for one-directional freeway stretches",
      {"kavro [CONFIG [option ...]]", "dovel [CONFIG]", "kavro --help | --version"},
      {"Opens the desktop program with the configuration file CONFIG (.kav), or with a new "
       "configuration. In it a road is designed, its traffic demand described, the simulation "
       "watched vehicle by vehicle and the capacity estimated with batch runs.",
       "Started under the name dovel (in any letter case) the program is the user interface of "
       "the external vehicle model libudov.so instead of simulating with its own kernel; it then "
       "reads only CONFIG (.dov) and ignores the options.",
       "Any option after CONFIG asks for an unattended run, one run unless batch= says "
       "otherwise: the program runs the batch, saves the batch results under CONFIG's name with "
       "the extension .kbr and its messages with .log, and ends."},
      {"Option names are read in any letter case; a later option overrides an earlier one of "
       "the same kind. A relative FILE is taken from the folder of CONFIG, and a %d (or %03d, "
       "at most 255 wide) in it is filled with the run number. Anything else is a bad argument "
       "and ends the program, and so is an option where an option needs its value, or two "
       "files of the batch that are one (an output and CONFIG, another output in any run, the "
       ".kbr or the .log)."}};
  static const ProgramDescription batch{
      "kavro-batch",
      "run simulations and capacity batches of Kavro configurations without a window",
      {"kavro-batch CONFIG [option ...]", "kavro-batch --merge OUT.kbr PART.kbr ...",
       "kavro-batch --capacity-report OBS.tsv ...", "kavro-batch CONFIG --check",
       "kavro-batch CONFIG --write-config OUT", "kavro-batch --help | --version"},
      {"Runs a batch of simulation runs of the configuration CONFIG without a window. Without "
       "batch= one run is made. Messages go to the standard error output.",
       "The exit status is 0 when the batch ran and its results and log were saved, 1 when an "
       "argument is wrong, the configuration cannot be read or the batch failed, and 2 when the "
       "command is malformed."},
      {"Option names are read in any letter case. A relative FILE is taken from the folder of "
       "CONFIG, and a %d (or %03d, at most 255 wide) in it is filled with the run number. An "
       "option where an option needs its value is a bad argument, and so are two files of the "
       "batch that are one (an output and CONFIG, another output in any run, the .kbr or the "
       ".log).",
       "Every file read (CONFIG, PART.kbr, OBS.tsv) must be a regular file of at most 256 "
       "MB."}};
  return program == ProgramKind::Desktop ? desktop : batch;
}

// Fills `text` into lines of at most `width` characters, each started by `indent`.
void Wrap(std::ostream& out, const std::string& text, size_t indent, size_t width) {
  std::istringstream words(text);
  std::string word;
  size_t column = 0;
  while (words >> word) {
    if (column > 0 && column + 1 + word.size() > width) {
      out << '\n';
      column = 0;
    }
    if (column == 0) {
      out << std::string(indent, ' ') << word;
      column = indent + word.size();
    } else {
      out << ' ' << word;
      column += 1 + word.size();
    }
  }
  if (column > 0) out << '\n';
}

constexpr size_t kWidth = 79;

}  // namespace

const std::vector<ProgramOption>& ProgramOptionTable() {
  static const std::vector<ProgramOption> table = {
      {"vehicletrace=FILE[,N]",
       "Writes the vehicle trace to FILE every N steps (a whole number of at least 1; default 1).",
       true, true},
      {"detectiontrace=FILE", "Writes the detection trace (.trc) to FILE.", true, true},
      {"detectortodetectortraveltimetrace=FILE",
       "Writes the detector to detector travel time trace (.ddt) to FILE.", true, true},
      {"odtraveltimetrace=FILE", "Writes the origin-destination travel time trace (.odt) to FILE.",
       true, true},
      {"lanechangetrace=FILE", "Writes the lane change trace (.lct) to FILE.", true, true},
      {"simulationresults=FILE", "Writes the simulation results (.ksr) to FILE.", true, true},
      {"extendedresults=FILE", "Writes the extended results (.ksx) to FILE.", true, true},
      {"batch=RUNS,STOP,REPORT,SPEED[,FIRSTLANE[,LASTLANE]]",
       "Makes a batch of RUNS runs (1 to 10000), each with its own seed. A run stops when the "
       "speed at detector STOP (0: any detector) over lanes FIRSTLANE to LASTLANE (default 1 "
       "to 12) drops below SPEED km/h; the highest flow at detector REPORT (0: none) is "
       "reported; a detector the road does not have is refused. The batch results go to "
       "CONFIG's name with the extension .kbr.",
       true, true},
      {"--jobs N",
       "Makes N runs at once, each on its own thread (1 to 1024; default one per processor "
       "core); the results are those of --jobs 1. A batch of several runs whose output file "
       "names lack the run number writes those files run after run, and --jobs above 1 is "
       "then refused.",
       true, true},
      {"--runs A-B",
       "Makes only runs A to B of the batch, with the seeds they have in the whole batch. The "
       "batch results go to CONFIG's name with .runsA-B.kbr (the log to .runsA-B.log), a part "
       "to be joined with kavro-batch --merge.",
       true, true},
      {"--capacity OBS.tsv",
       "Writes the capacity observations of the batch (every detector period before a "
       "breakdown at the report detector) to OBS.tsv, taken from the current folder, and prints "
       "the capacity estimate; with --runs A-B the file is OBS.runsA-B.tsv.",
       false, true},
      {"--capacity-report OBS.tsv ...",
       "Prints the capacity estimate of observations files written with --capacity, joining "
       "the parts of one batch in any order.",
       false, true},
      {"--merge OUT.kbr PART.kbr ...",
       "Joins the parts of a batch made with --runs, in any order, into the batch results file "
       "the whole batch writes. Parts of different batches, overlapping parts and missing runs "
       "are refused, and then nothing is written.",
       false, true},
      {"--check",
       "After CONFIG: lists the problems of the configuration file, and as warnings what would "
       "keep a batch of it from starting.",
       false, true},
      {"--write-config OUT",
       "After CONFIG: writes the configuration to OUT again in the program's own format.", false,
       true},
      {"--version", "Prints the program's version and build number.", true, true},
      {"--help", "Prints the usage and the options.", true, true},
  };
  return table;
}

std::vector<ProgramOption> OptionsOf(ProgramKind program) {
  std::vector<ProgramOption> options;
  for (const ProgramOption& option : ProgramOptionTable())
    if (program == ProgramKind::Desktop ? option.Desktop : option.Batch) options.push_back(option);
  return options;
}

std::string CommandName(ProgramKind program) { return Describe(program).Name; }

std::string UsageText(ProgramKind program) {
  const ProgramDescription& description = Describe(program);
  std::ostringstream out;
  for (size_t i = 0; i < description.Usage.size(); ++i)
    out << (i == 0 ? "Usage: " : "       ") << description.Usage[i] << '\n';
  for (const char* paragraph : description.Description) Wrap(out, paragraph, 0, kWidth);
  out << "\nOptions:\n";
  for (const ProgramOption& option : OptionsOf(program)) {
    out << "  " << option.Synopsis << '\n';
    Wrap(out, option.Text, 6, kWidth);
  }
  for (const char* paragraph : description.Notes) {
    out << '\n';
    Wrap(out, paragraph, 0, kWidth);
  }
  return out.str();
}

std::string RoffEscape(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\')
      escaped += "\\e";
    else if (c == '-')
      escaped += "\\-";
    else
      escaped += c;
  }
  // A line that starts with a dot or an apostrophe would be read as a request.
  if (!escaped.empty() && (escaped[0] == '.' || escaped[0] == '\'')) escaped.insert(0, "\\&");
  return escaped;
}

std::string ManualPage(ProgramKind program, const std::string& version) {
  const ProgramDescription& description = Describe(program);
  std::string upper = description.Name;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  std::ostringstream out;
  out << ".TH " << RoffEscape(upper) << " 1 \"\" \"Kavro " << RoffEscape(version)
      << "\" \"User Commands\"\n";
  out << ".SH NAME\n" << RoffEscape(description.Name) << " \\- " << description.Summary << '\n';
  out << ".SH SYNOPSIS\n.nf\n";
  for (const char* usage : description.Usage) out << RoffEscape(usage) << '\n';
  out << ".fi\n.SH DESCRIPTION\n";
  for (size_t i = 0; i < description.Description.size(); ++i)
    out << (i == 0 ? "" : ".PP\n") << RoffEscape(description.Description[i]) << '\n';
  out << ".SH OPTIONS\n";
  for (const ProgramOption& option : OptionsOf(program))
    out << ".TP\n.B " << RoffEscape(option.Synopsis) << '\n' << RoffEscape(option.Text) << '\n';
  for (const char* note : description.Notes) out << ".PP\n" << RoffEscape(note) << '\n';
  out << ".SH FILES\n.TP\n.I kavro.html\n"
      << RoffEscape(
             "The full description of both programs, opened with Help, Contents. It is looked "
             "for next to the program and then in share/kavro/ beside the program's folder "
             "(/usr/share/kavro/ when the program is in /usr/bin).")
      << '\n';
  if (program == ProgramKind::Desktop)
    out << ".TP\n.I libudov.so\n"
        << RoffEscape(
               "The external vehicle model of the dovel mode, looked for next to the program and "
               "then in lib/kavro/ beside the program's folder.")
        << '\n';
  out << ".SH SEE ALSO\n"
      << (program == ProgramKind::Desktop ? ".BR kavro\\-batch (1)\n" : ".BR kavro (1)\n");
  return out.str();
}

bool AnswerDesktopInformationRequest(const std::vector<std::string>& parameters,
                                     const std::string& executablePath, std::ostream& out) {
  if (parameters.size() != 1) return false;
  ModeDecision decision = DecideProgramMode(executablePath);
  std::string name = decision.ProgramName.empty() ? std::string("kavro") : decision.ProgramName;
  if (parameters[0] == "--version") {
    ProgramVersion version = BuiltProgramVersion();
    out << Format("%s %d.%d build %d", name.c_str(), version.Major, version.Minor, version.Build)
        << '\n';
    return true;
  }
  if (parameters[0] != "--help") return false;
  out << UsageText(ProgramKind::Desktop);
  out << "Help file: " << FindHelpFile(RunningProgramDirectory(executablePath), name) << '\n';
  return true;
}
