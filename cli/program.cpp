#include "cli/program.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

#include "cli/action_command.h"
#include "cli/get_command.h"
#include "cli/parse_command.h"
#include "cli/script.h"
#include "cli/session.h"
#include "drivers/routines.h"
#include "host/routines.h"
#include "workbook/failure.h"
#include "workbook/plain_file.h"
#include "workbook/words.h"

namespace quillary::cli {

namespace {

constexpr std::string_view kUsage =
    "usage: quillary run [--interactive | --unattended] [--verbose] [--through-com] SCRIPT|- [ARG...]\n"
    "       quillary get WORKBOOK RANGE [OPTION...]\n"
    "       quillary action WORKBOOK RANGE ACTION [OPTION...]\n"
    "       quillary parse WORKBOOK RANGE SCRIPT|--script-file FILE [OPTION...]\n"
    "       quillary [COMMAND] --help\n";

constexpr std::string_view kIntro = R"(
quillary runs the Quillary list-processing component the way its host add-in does, on an
in-memory spreadsheet: one request on a range of a workbook, or a script of commands.

  quillary get WORKBOOK RANGE    one Get/Try on a range of a workbook (see GET below)
  quillary action WORKBOOK RANGE ACTION
                                 one Action list entry on a range (see ACTION below)
  quillary parse WORKBOOK RANGE SCRIPT
                                 splits a range's rows into columns by a parsing
                                 script (see PARSE below)
  quillary run SCRIPT [ARG...]   runs the script file SCRIPT (see RUN below)
  quillary COMMAND --help        the part of this text about one command

)";

constexpr std::string_view kRunHelp = R"(RUN
  quillary run [OPTION...] SCRIPT|- [ARG...]
      Runs the script file SCRIPT ("-": standard input); ARG... are the script's ${1},
      ${2}, ... (SCRIPTS and COMMANDS below).
  --interactive         asks the person at the terminal the component's questions
  --unattended          never asks: queued answers, else the default buttons (the
                        default when standard input is no terminal or carries the
                        script)
  --verbose             the whole text of every question and message (always so when
                        a person answers at the terminal)
  --through-com         (the Windows build) sends the script's requests and Query
                        events to the in-process server quillary3.dll, created as
                        Quillary3.ExcelConnect and Quillary3.ExcelQueryFormConnect by
                        their ProgIDs (it must be registered), which reaches the
                        in-memory spreadsheet, the forms and the macros through
                        IDispatch and copies to the Windows clipboard
  Example (a Get/Try on two cells typed in, then the Active Window):
    printf 'new\ncell A1 "R5, R2"\ncell A2 R3\nselect A1:A2\ncall GetSubtractSortCnt\nprint window\n' |
      quillary run -
)";

constexpr std::string_view kScriptsHelp = R"(
SCRIPTS
  One command per line; words are separated by blanks; a word holding blanks goes in
  double quotes ("a ""quoted"" word"); a "#" at the start of a word begins a comment.
  ${1} .. ${9} stand for the script's arguments, ${N:-default} for an argument or a
  default; any other "$" is itself ($A$1). Every line is checked before the first command
  runs: its command, its argument count and each word that can be checked without the
  workbook (ranges, controls and the values they take, answer words, counts, keywords);
  a bad line runs nothing and is named with the word at fault. A UTF-8 byte order mark
  at the start of the file is skipped. Paths are relative to the current directory. A
  line beginning with "#### expected" ends the script: scenario files (tests/scenarios)
  keep their expected results after it.

COMMANDS
)";

constexpr std::string_view kAnswers = R"(
QUESTIONS
  Every message the component shows is printed to standard error with its buttons
  ([Yes] [No] [Cancel]; "*" marks the default button, which the style's +256 makes the
  second): its whole text when a person answers at the terminal or with --verbose,
  else its first line (a note says how many lines follow). Its answer is, in this
  order: the next answer queued with "answer message" (--answer message=WORD); when the
  session is interactive, what the person types (a button word or its code; Enter takes
  the default, and the prompt says which answer writes over cells); else the default
  button. An unattended run never takes a default that writes over, clears or deletes
  what cells hold (a destination beside the selection that is not empty, a tag column,
  a worksheet that holds data, a cell's comment): it stops at that question with status
  1, before anything after it (a save too), and names the answers that would answer it.
  A queued answer that is no button of its message stops the run the same way. The big
  message form and the compare dialog and the Query's end-of-pass dialog are answered
  the same way from their own queues. The break key is never asked: it answers NoBreak
  unless "answer break" queued something. Events queued with "query-events" are sent
  into the component while the Query form is shown; the cell the form shows (the active
  cell) is reported when it opens and after each event. With none queued, an
  interactive session shows the Query form at the terminal (its caption, labels, texts,
  the cell and its comment) and takes its buttons by name until Close: n next, r
  replace [TEXT], u undo, b bookmark, x remove bookmark, d different name, s search
  TEXT, c close (Enter presses Next). The component's beeps are bell characters on
  standard error when it is a terminal, and nothing otherwise. An error of the
  component prints its number, source and description and ends the script with status
  1, unless "on-error continue" was given.

EXIT STATUS
  The same for run, get, action and parse:
  0  the run went to its end, also when the component stopped a request after telling
     why in a message;
  1  the run stopped part-way: a command of a script failed (a workbook it loads or
     saves, an error of the component), a save failed, or a question stopped it (see
     QUESTIONS);
  2  nothing ran, for a bad argument: an unknown command or option, a script line that
     is bad (every line is checked first), a script or workbook that cannot be read, a
     RANGE that is no range or not in the workbook, a control or value --set cannot set,
     an answer --answer cannot give, an ACTION that is no entry of the Action list, a
     save target that cannot take the workbook.
)";

constexpr std::string_view kFoldersHelp = R"(
WORKBOOK FOLDERS
  A workbook is a folder holding one CSV file per sheet (RFC 4180, UTF-8; a byte order
  mark is skipped on reading), a side file per sheet for what a CSV file cannot hold,
  and a manifest, workbook.txt, one entry per line in the word syntax of scripts:

    quillary-workbook 3                  the first entry (folders of versions 1 and 2 load
                                         too; there a field such as (12) is a text)
    grid large|small                     1,048,576 x 16,384 or 65,536 x 256 cells
    sheet NAME FILE VISIBLE              in sheet order; VISIBLE -1 visible, 0 hidden,
                                         2 very hidden; FILE lies in the folder
    select SHEET AREAS ACTIVECELL        a sheet's selection, e.g. "$A$1:$B$4,$D$2" $A$1
    layout SHEET FILE                    the sheet's side file, FILE.layout.txt
    active SHEET                         the active sheet
    protect structure|windows...         the workbook's protection
    name SHEET|* NAME REFERS [hidden]    a defined name of SHEET (or "*": of the
                                         workbook) and its R1C1 reference, e.g.
                                         =Sheet1!R1C1:R4C2

  A side file (first entry "quillary-layout 1") keeps the sheet's formats as areas
  ("format A1:D1 bold interior-color=65535 pattern=1"), column widths, row heights,
  hidden rows and columns, merged areas, comments, hyperlinks, the auto-filter, page
  set-up, protection, and cells far from the others ("cell XFD1048576 FIELD").
  A CSV field holds what a user types into the cell, read as the spreadsheet reads
  typed entries in its en-US settings: numbers (also 1,000, 12% for 0.12, $5 and (12)
  for -12), TRUE/FALSE, error texts such as #N/A, formulas. Dates are the one thing
  NOT read: a field such as 6-10 or 1/2 stays a text, as Item lists need. A text that
  would read as anything else, or that begins with ', is written with a ' before it; the fields are
  read before the side file's formats. A sheet's cells start at A1. A field longer than
  the 32,767 characters a cell holds is cut, with a note naming the cell. "load" also takes CSV
  files (one sheet each, named after the file) or a folder without workbook.txt (each
  *.csv in name order); a sheet file must be a plain file in the folder. "save" over a
  workbook folder replaces only the workbook's own files and keeps every other file
  there; the target must be absent, empty or a workbook folder, and stays as it was on
  any error; a save cut short is finished or removed by the next save (a load changes
  nothing: it reads the workbook as that save's journal says). A save of a folder waits
  for another process's save of it.
)";

struct Options {
  std::optional<bool> interactive;
  bool verbose = false;
  bool throughCom = false;
  std::string script;
  std::vector<std::string> scriptArgs;
};

Options ParseArgs(std::span<const std::string> args, bool canGoThroughCom) {
  if (args.empty() || args[0] != "run")
    throw workbook::Failure(args.empty() ? "no command given" : "unknown command " + workbook::Quoted(args[0]));
  Options o;
  std::size_t i = 1;
  for (; i < args.size() && args[i].starts_with("--"); ++i) {
    if (args[i] == "--interactive") {
      o.interactive = true;
    } else if (args[i] == "--unattended") {
      o.interactive = false;
    } else if (args[i] == "--verbose") {
      o.verbose = true;
    } else if (args[i] == "--through-com") {
      if (!canGoThroughCom) {
        throw workbook::Failure("--through-com needs the Windows build of quillary, beside the in-process server");
      }
      o.throughCom = true;
    } else {
      throw workbook::Failure("unknown option " + workbook::Quoted(args[i]));
    }
  }
  if (i >= args.size()) throw workbook::Failure("no script given");
  o.script = args[i];
  if (o.interactive.value_or(false) && o.script == "-") {
    throw workbook::Failure("--interactive needs a script file: standard input carries the script");
  }
  o.scriptArgs.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
  return o;
}

std::string ReadScript(const std::string& name, std::istream& in) {
  std::ostringstream text;
  if (name == "-") {
    text << in.rdbuf();
    return text.str();
  }
  return workbook::ReadScriptFile(name);
}

int RunScriptFile(const Options& o, ProgramIo io) {
  std::vector<Command> commands;
  try {
    commands = ParseScript(ReadScript(o.script, io.in), o.scriptArgs);
  } catch (const workbook::Failure& f) {
    // A script that cannot be read or holds a bad line runs nothing.
    io.err << "quillary: " << f.what() << "\n";
    return kExitUsage;
  }
  // Standard input answers questions only when it is a terminal and not the script.
  const bool interactive = o.interactive.value_or(io.inIsTerminal && o.script != "-");
  Session session(io.err, SessionOptionsFor(io, interactive, o.verbose, false),
                  o.throughCom ? io.throughCom() : nullptr);
  return RunScript(commands, session, io.out, io.err);
}

// The names the component answers to, from its own tables.
std::string RoutinesHelp() {
  const host::Routines built = drivers::BuildRoutines();
  std::string help =
      "ROUTINES\n"
      "  The names this build answers to, from the component's own table; a name marked\n"
      "  \"(not part of this build)\" and any name not listed run nothing (for a name not\n"
      "  listed, \"call\" notes so on standard error).\n"
      "  Requests (call ROUTINE [MODE]):\n";
  auto list = [&](std::span<const host::RoutineName> table) {
    for (const host::RoutineName& r : table) {
      const std::string name = ToUtf8(r.name);
      const bool missing = r.slot != nullptr && !(built.*r.slot);
      help += "    " + name + std::string(std::max<std::size_t>(2, 32 - name.size()), ' ') + r.help +
              (missing ? " (not part of this build)" : "") + "\n";
    }
  };
  list(host::RequestRoutines());
  help += "  Query form events (event NAME):\n";
  list(host::QueryEvents());
  return help;
}

std::string RunHelp() {
  return std::string(kRunHelp) + std::string(kScriptsHelp) + CommandHelp() + "\n" + RoutinesHelp();
}

bool AsksForHelp(std::span<const std::string> args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

}  // namespace

SessionOptions SessionOptionsFor(const ProgramIo& io, bool interactive, bool verbose, bool answersAsOptions) {
  SessionOptions options;
  options.answers.ask = interactive ? &io.in : nullptr;
  options.answers.wholeTexts = verbose || (interactive && io.errIsTerminal);
  options.answers.answersAsOptions = answersAsOptions;
  options.errIsTerminal = io.errIsTerminal;
  return options;
}

std::string HelpText() {
  return std::string(kUsage) + std::string(kIntro) + RunHelp() + "\n" + GetHelp() + "\n" + ActionHelp() + "\n" +
         ParseHelp() + std::string(kAnswers) + std::string(kFoldersHelp);
}

int RunProgram(std::span<const std::string> args, ProgramIo io) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
    io.out << HelpText();
    return kExitOk;
  }
  // Each command answers --help with its own part of the text.
  const struct {
    std::string_view name;
    int (*run)(std::span<const std::string>, ProgramIo);
    std::string (*help)();
  } commands[] = {{"get", RunGet, GetHelp},
                  {"action", RunAction, ActionHelp},
                  {"parse", RunParse, ParseHelp},
                  {"run", nullptr, RunHelp}};
  for (const auto& command : commands) {
    if (args.empty() || args[0] != command.name) continue;
    if (AsksForHelp(args.subspan(1))) {
      io.out << command.help() << kAnswers;
      return kExitOk;
    }
    // The commands on a range of a workbook say themselves what they take.
    if (command.run != nullptr) return command.run(args.subspan(1), io);
  }
  Options options;
  try {
    options = ParseArgs(args, static_cast<bool>(io.throughCom));
  } catch (const workbook::Failure& f) {
    io.err << "quillary: " << f.what() << "\n" << kUsage;
    return kExitUsage;
  }
  try {
    return RunScriptFile(options, io);
  } catch (const std::exception& e) {
    io.err << "quillary: " << e.what() << "\n";
    return kExitFailed;
  }
}

}  // namespace quillary::cli
