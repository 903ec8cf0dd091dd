// `quillary action WORKBOOK RANGE ACTION [options]`: one entry of the host's Action list
// run on a range of a workbook, as the host sends it when the user picks the entry.
#pragma once

#include <span>
#include <string>

#include "cli/program.h"

namespace quillary::cli {

// Runs the action command with the arguments after "action"; returns the exit status of
// `quillary --help` (EXIT STATUS): an action that stopped after telling the user why ran
// to its end; an ACTION that names no entry of the Action list is a bad argument.
int RunAction(std::span<const std::string> args, ProgramIo io);

// The action command's part of --help.
std::string ActionHelp();

}  // namespace quillary::cli
