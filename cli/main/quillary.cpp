// The `quillary` program: see `quillary --help`.
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/program.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "cli/through_com/through_com.h"
#endif

namespace {

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
// A run over a million Items touches a few hundred megabytes of fresh memory, and here a
// page fault costs more than the work done on the page: the heap is to be backed by
// transparent huge pages, one fault for 2 MiB instead of one for 4 KiB. glibc takes that
// setting only from the environment the program starts with, so the program starts once
// more with it added (once: the second start finds it there). When it cannot, it goes on
// as it is, with the environment it had.
void StartWithHugePageHeap(char** argv) {
  constexpr std::string_view kName = "GLIBC_TUNABLES";
  constexpr std::string_view kSetting = "glibc.malloc.hugetlb";
  const char* current = std::getenv(kName.data());
  const std::string before = current == nullptr ? std::string() : std::string(current);
  if (before.find(kSetting) != std::string::npos) return;
  const std::string value = (before.empty() ? "" : before + ":") + std::string(kSetting) + "=1";
  if (::setenv(kName.data(), value.c_str(), 1) != 0) return;
  ::execv("/proc/self/exe", argv);
  if (current == nullptr) {
    ::unsetenv(kName.data());
  } else {
    ::setenv(kName.data(), before.c_str(), 1);
  }
}
#endif

}  // namespace

int main(int argc, char** argv) {
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
  StartWithHugePageHeap(argv);
#endif
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
