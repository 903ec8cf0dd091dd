// `quillary get WORKBOOK RANGE [options]`: the main job from the command line — one
// Get/Try on a range of a workbook, as a press of the host's Get/Try button.
#pragma once

#include <span>
#include <string>

#include "cli/program.h"

namespace quillary::cli {

// Runs the get command with the arguments after "get"; returns the exit status of
// `quillary --help` (EXIT STATUS): a Get/Try that ended on a grammar fault it reported
// ran to its end.
int RunGet(std::span<const std::string> args, ProgramIo io);

// The get command's part of --help.
std::string GetHelp();

}  // namespace quillary::cli
