#include "cli/action_command.h"

#include <ostream>

#include "cli/nearest.h"
#include "cli/range_request.h"
#include "host/modes.h"
#include "workbook/failure.h"
#include "workbook/words.h"

namespace quillary::cli {

namespace {

constexpr RangeRequestForm kActionForm{
    .command = "action", .positionals = 3, .positionalWords = "a WORKBOOK, a RANGE and an ACTION", .saveOptions = true};

// The entries of the Action list, in the list's order.
std::vector<std::string> ActionListEntries() {
  std::vector<std::string> entries;
  for (auto id = static_cast<int>(host::ModeId::kClearActiveWindow);
       id <= static_cast<int>(host::ModeId::kExpandRowToMany); ++id) {
    entries.push_back(ToUtf8(host::ModeText(static_cast<host::ModeId>(id))));
  }
  return entries;
}

// The entry the user's text names: the entry itself, or the one entry it equals
// without regard to case. Failure names the nearest entry to a text that names none.
std::string ActionListEntry(const std::string& text) {
  const std::vector<std::string> entries = ActionListEntries();
  const std::vector<std::string> same = SameButCase(text, entries);
  for (const std::string& entry : same) {
    if (entry == text) return entry;
  }
  if (same.size() == 1) return same.front();
  const std::optional<std::string> meant = NearestName(text, entries);
  throw workbook::Failure(workbook::Quoted(text) + " is not an entry of the Action list" +
                          (meant ? "; did you mean \"" + *meant + "\"?" : " (quillary action --help lists them)"));
}

// What the request leaves to show: the cells of RANGE; for COMPARE 2, the two windows'
// lists of uniques.
std::vector<Command> Results(const RangeRequest& request) {
  if (host::ModeOf(FromUtf8(*request.mode)) == host::ModeId::kCompare2) {
    return {MakeCommand({"print", "control", "MainUserForm.TextBox1.Value"}),
            MakeCommand({"print", "control", "MainUserForm.TextBox2.Value"})};
  }
  return {MakeCommand({"print", "cells", request.positional[1]})};
}

int Steps(const RangeRequest& request, Session& session, ProgramIo& io) {
  if (const std::optional<int> end = OpenAndSelect(request, session, io)) return *end;
  std::vector<Command> commands{RequestCommand(request, "Actions")};
  for (Command& c : Results(request)) commands.push_back(std::move(c));
  for (Command& c : SaveCommands(request)) commands.push_back(std::move(c));
  return RunScript(commands, session, io.out, io.err, request.program);
}

}  // namespace

std::string ActionHelp() {
  std::string help =
      "ACTION\n"
      "  quillary action WORKBOOK RANGE ACTION [OPTION...]\n"
      "      Opens WORKBOOK, selects RANGE as for \"get\" and runs the Action list entry\n"
      "      ACTION on it (a request \"Actions\" with ACTION as the mode); then prints the\n"
      "      cells of RANGE on standard output, every message on standard error;\n"
      "      \"COMPARE 2/Uniques\" prints the two lists of uniques instead, one line each:\n"
      "      the left window's (the Items only the left area holds), then the right\n"
      "      window's. ACTION is one of these entries (case does not matter where only one\n"
      "      entry fits; mind the blanks after \"||\"):\n";
  for (const std::string& entry : ActionListEntries()) help += "        \"" + entry + "\"\n";
  help += RangeRequestOptionsHelp(true) +
          "  Examples:\n"
          "    quillary action samples/parts A2:A12 \"Prefix||  Clear\" --comma-space --save-to copy\n"
          "    quillary action samples/revisions 'Revisions!A2:A9,C2:C9' \"COMPARE 2/Uniques\" \\\n"
          "      --answer compare=UseNew\n";
  return help;
}

int RunAction(std::span<const std::string> args, ProgramIo io) {
  RangeRequest request;
  try {
    request = ParseRangeRequest(args, kActionForm);
    request.mode = ActionListEntry(request.positional[2]);
  } catch (const workbook::Failure& f) {
    io.err << "quillary action: " << f.what() << "\n";
    return kExitUsage;
  }
  return RunRangeRequest(request, io, [&](Session& session) { return Steps(request, session, io); });
}

}  // namespace quillary::cli
