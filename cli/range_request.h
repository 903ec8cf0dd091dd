// One request on a range of a workbook from the command line, as the get, action and
// parse commands send it: the options they share and the commands they run. The
// arguments never pass through script text: each becomes one word of a command, checked
// as a script line's words are, so that no character in them (a line feed, a quote, a
// "#") can make another command.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/program.h"
#include "cli/script.h"
#include "cli/session.h"

namespace quillary::cli {

struct RangeRequest {
  // "quillary get", ...: the start of every message.
  std::string program;
  // The positional arguments: WORKBOOK, RANGE and what the command takes after them.
  std::vector<std::string> positional;
  // The request's mode: --mode MODE where the command takes it, the entry of the
  // Action list for action.
  std::optional<std::string> mode;
  // Commands run before the selection: control settings and queued answers.
  std::vector<Command> settings;
  std::optional<bool> interactive;
  // --verbose: the whole texts of questions and messages.
  bool verbose = false;
  // --save: back to WORKBOOK; --save-to PATH (only where the command allows it).
  bool save = false;
  std::optional<std::string> saveTo;
};

// What a command accepts besides the shared options.
struct RangeRequestForm {
  const char* command;
  std::size_t positionals;      // including WORKBOOK and RANGE
  const char* positionalWords;  // for the message on a wrong count: "a WORKBOOK and a RANGE"
  bool modeOption = false;
  bool saveOptions = false;
};

// Parses the arguments after the command's name and checks them (RANGE's form, the
// controls and values of --set, the answers of --answer, the place --save or --save-to
// would save to); Failure on bad ones.
RangeRequest ParseRangeRequest(std::span<const std::string> args, const RangeRequestForm& form);

// Opens WORKBOOK, runs the settings and selects RANGE on the sheet it names (which
// becomes the active sheet, as a user selects); then has the component trim whole
// columns and rows of the selection to what they hold, as the host add-in does before
// a request ("WholeColRow" with the request's mode). Returns nothing when the request
// may go on, else the exit status to end with: 2, with a message naming the argument,
// when the workbook cannot be read, has no such sheet or the range is not on it; 0 when
// the trimming stopped after its message (nothing in the columns, say); 1 when it
// failed.
std::optional<int> OpenAndSelect(const RangeRequest& request, Session& session, ProgramIo& io);

// The request: ROUTINE sent with the request's mode (Null without one).
Command RequestCommand(const RangeRequest& request, const std::string& routine);
// The save the options ask for (none without --save or --save-to).
std::vector<Command> SaveCommands(const RangeRequest& request);

// Runs `steps` on a session that answers questions as the options say; `steps` returns
// the exit status.
int RunRangeRequest(const RangeRequest& request, ProgramIo io, const std::function<int(Session&)>& steps);

// The help lines of the shared options (the main form's boxes, --set, --answer,
// --interactive, --unattended, --verbose) and, where the command takes them, of --save
// and --save-to.
std::string RangeRequestOptionsHelp(bool saveOptions);

}  // namespace quillary::cli
