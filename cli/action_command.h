// `quillary action WORKBOOK RANGE ACTION [options]`: one entry of the host's Action list
// run on a range of a workbook, as the host sends it when the user picks the entry.
#pragma once

#include <span>
#include <string>

#include "cli/program.h"

namespace quillary::cli {

// Runs the action command with the arguments after "action"; returns the exit status: 0
// when the request ended normally (also when the action stopped after telling the user
// why), 1 when the workbook could not be read or saved or the component failed, 2 for bad
// arguments (an ACTION that is not an entry of the Action list among them).
int RunAction(std::span<const std::string> args, ProgramIo io);

// The action command's part of --help.
std::string ActionHelp();

}  // namespace quillary::cli
