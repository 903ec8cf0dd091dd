#include "cli/action_command.h"

#include <ostream>

#include "cli/failure.h"
#include "cli/range_request.h"
#include "cli/words.h"
#include "host/modes.h"

namespace quillary::cli {

namespace {

constexpr RangeRequestForm kActionForm{
    .command = "action", .positionals = 3, .positionalWords = "a WORKBOOK, a RANGE and an ACTION", .saveOptions = true};

// The entries of the Action list, in the list's order.
bool IsActionListEntry(host::ModeId id) {
  return id >= host::ModeId::kClearActiveWindow && id <= host::ModeId::kExpandRowToMany;
}

}  // namespace

std::string ActionHelp() {
  std::string help =
      "ACTION\n"
      "  quillary action WORKBOOK RANGE ACTION [OPTION...]\n"
      "      Opens WORKBOOK, selects RANGE as for \"get\" and runs the Action list entry\n"
      "      ACTION on it (a request \"Actions\" with ACTION as the mode); then prints the\n"
      "      cells of RANGE on standard output, every message on standard error. ACTION is\n"
      "      one of these texts, exactly (mind the blanks after \"||\"):\n";
  for (auto id = static_cast<int>(host::ModeId::kClearActiveWindow);
       id <= static_cast<int>(host::ModeId::kExpandRowToMany); ++id) {
    help += "        \"" + ToUtf8(host::ModeText(static_cast<host::ModeId>(id))) + "\"\n";
  }
  help += RangeRequestOptionsHelp() +
          "  --save                saves the workbook back to WORKBOOK afterwards\n"
          "  --save-to PATH        saves it as the workbook folder PATH instead\n"
          "  Exit status: 0 when the request ended normally, also when the action stopped\n"
          "  after a message; 1 when the workbook cannot be read or saved or the component\n"
          "  failed; 2 for bad arguments (as for \"get\").\n";
  return help;
}

int RunAction(std::span<const std::string> args, ProgramIo io) {
  RangeRequest request;
  std::vector<Command> commands;
  try {
    request = ParseRangeRequest(args, kActionForm);
    if (!IsActionListEntry(host::ModeOf(FromUtf8(request.positional[2])))) {
      throw Failure(Quoted(request.positional[2]) + " is not an entry of the Action list (see --help)");
    }
    commands = RequestCommands(request, "Actions", request.positional[2],
                               {MakeCommand({"print", "cells", request.positional[1]})});
  } catch (const Failure& f) {
    io.err << "quillary action: " << f.what() << "\n";
    return kExitUsage;
  }
  return RunRangeRequest(request, commands, io, nullptr);
}

}  // namespace quillary::cli
