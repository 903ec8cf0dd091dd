// The `quillary` program: see `quillary --help`.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/program.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "cli/through_com/through_com.h"
#endif

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  quillary::cli::ProgramIo io{
      std::cin, std::cout, std::cerr, ::isatty(STDIN_FILENO) == 1, true, ::isatty(STDERR_FILENO) == 1};
#ifdef _WIN32
  // Lines end as they do in scripts and workbook files: no carriage returns are added.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  io.throughCom = quillary::cli::ConnectThroughCom;
#endif
  return quillary::cli::RunProgram(args, io);
}
