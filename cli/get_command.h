// `quillary get WORKBOOK RANGE [options]`: the main job from the command line — one
// Get/Try on a range of a workbook, as a press of the host's Get/Try button.
#pragma once

#include <span>
#include <string>

#include "cli/program.h"

namespace quillary::cli {

// Runs the get command with the arguments after "get"; returns the exit status: 0 when
// the run ended normally (also when it ended on a grammar fault that it reported), 1
// when the workbook could not be read or the component failed, 2 for bad arguments.
int RunGet(std::span<const std::string> args, ProgramIo io);

// The get command's part of --help.
std::string GetHelp();

}  // namespace quillary::cli
