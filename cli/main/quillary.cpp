// The `quillary` program: see `quillary --help`.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/program.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return quillary::cli::RunProgram(args, {std::cin, std::cout, std::cerr, ::isatty(STDIN_FILENO) == 1, true});
}
