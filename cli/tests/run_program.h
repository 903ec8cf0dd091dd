// The program run in-process, its output captured.
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/program.h"

namespace quillary::cli::testing {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// Runs `quillary` with `args` (those after the program name) and `input` on standard
// input.
inline Outcome RunInProcess(const std::vector<std::string>& args, std::string_view input = "") {
  std::istringstream in{std::string(input)};
  std::ostringstream out, err;
  const int status = RunProgram(args, {in, out, err, false});
  return {status, out.str(), err.str()};
}

}  // namespace quillary::cli::testing
