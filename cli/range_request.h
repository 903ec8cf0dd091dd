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
  // --mode MODE (only where the command allows it).
  std::optional<std::string> mode;
  // Commands run before the selection: control settings and queued answers.
  std::vector<Command> settings;
  std::optional<bool> interactive;
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
// controls and values of --set, the answers of --answer); Failure on bad ones.
RangeRequest ParseRangeRequest(std::span<const std::string> args, const RangeRequestForm& form);

// Opens WORKBOOK, runs the settings and selects RANGE on the sheet it names (which
// becomes the active sheet, as a user selects). Returns the exit status: 0; 1 when the
// workbook cannot be read; 2, with a message naming the argument, when the workbook
// has no such sheet or the range is not on it.
int OpenAndSelect(const RangeRequest& request, Session& session, ProgramIo& io);

// ROUTINE sent with MODE, then `after`, then the save the options ask for.
std::vector<Command> RequestCommands(const RangeRequest& request, const std::string& routine, const std::string& mode,
                                     std::vector<Command> after);
// The save the options ask for (none without --save or --save-to).
std::vector<Command> SaveCommands(const RangeRequest& request);

// OpenAndSelect, then the commands, on a session that answers questions as the options
// say; `report` runs after a normal end with the session. Returns the exit status.
int RunRangeRequest(const RangeRequest& request, std::span<const Command> commands, ProgramIo io,
                    void (*report)(Session&, ProgramIo&));
// The same for a request that runs its own steps on the session; `steps` returns the
// exit status.
int RunRangeRequest(const RangeRequest& request, ProgramIo io, const std::function<int(Session&)>& steps);

// The help lines of the shared options (the main form's boxes, --set, --answer,
// --interactive, --unattended).
std::string RangeRequestOptionsHelp();

}  // namespace quillary::cli
