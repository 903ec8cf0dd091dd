// `quillary parse WORKBOOK RANGE SCRIPT`: the script-driven parser from the command
// line — one "Parser" request on a range of a workbook, as the host sends it from its
// parse form.
#pragma once

#include <span>
#include <string>

#include "cli/program.h"

namespace quillary::cli {

// Runs the parse command with the arguments after "parse"; returns the exit status of
// `quillary --help` (EXIT STATUS): a run that the parser stopped with a message ran to
// its end.
int RunParse(std::span<const std::string> args, ProgramIo io);

// The parse command's part of --help.
std::string ParseHelp();

}  // namespace quillary::cli
