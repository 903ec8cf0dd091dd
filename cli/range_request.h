// One request on a range of a workbook from the command line, as the get and action
// commands send it: the options they share, the script they run and its run.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/program.h"
#include "cli/session.h"

namespace quillary::cli {

struct RangeRequest {
  // The positional arguments: WORKBOOK, RANGE and what the command takes after them.
  std::vector<std::string> positional;
  // --mode MODE (only where the command allows it).
  std::optional<std::string> mode;
  // Script lines run before the selection: control settings and queued answers.
  std::vector<std::string> lines;
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

// Parses the arguments after the command's name; Failure on bad ones.
RangeRequest ParseRangeRequest(std::span<const std::string> args, const RangeRequestForm& form);

// The script of the request: open WORKBOOK, apply the option lines, select RANGE (on
// the sheet it names, which becomes the active sheet, as a user selects), send
// ROUTINE with MODE, then the `after` lines and the save the options ask for.
std::string RangeRequestScript(const RangeRequest& request, const std::string& routine, const std::string& mode,
                               const std::vector<std::string>& after);
// Its parts: up to the selection, and the save.
std::string RangeSelectionScript(const RangeRequest& request);
std::string RangeSaveScript(const RangeRequest& request);

// Runs the script on a session that answers questions as the options say; `report` runs
// after a normal end with the session. Returns the exit status (1 when the workbook
// cannot be read or the component failed).
int RunRangeRequest(const RangeRequest& request, const std::string& script, ProgramIo io,
                    void (*report)(Session&, ProgramIo&));
// The same for a request that runs its own steps on the session; `steps` returns the
// exit status.
int RunRangeRequest(const RangeRequest& request, ProgramIo io, const std::function<int(Session&)>& steps);

// The help lines of the shared options (the main form's boxes, --set, --answer,
// --interactive, --unattended).
std::string RangeRequestOptionsHelp();

// A script line of these words, each quoted as needed.
std::string ScriptLine(std::initializer_list<std::string_view> words);

}  // namespace quillary::cli
