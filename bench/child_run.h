// What the in-process benchmarks share: each run in a child process of its own, so that
// its peak resident memory is its own, and the sizes N from the command line.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

namespace quillary::bench {

// The peak resident memory of this process so far, in megabytes.
inline long PeakMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;  // kilobytes on Linux
}

// Runs `printRow` (one run, printing its row of figures) in a child process; an error
// or an abnormal end prints a row saying so, labelled `name` and `n`.
template <class PrintRow>
void RunInChild(const char* name, std::int64_t n, PrintRow&& printRow) {
  std::fflush(stdout);
  const pid_t child = fork();
  if (child < 0) {
    std::perror("fork");
    return;
  }
  if (child == 0) {
    int code = 0;
    try {
      printRow();
    } catch (const std::exception& e) {
      std::printf("%-12s %9lld failed: %s\n", name, static_cast<long long>(n), e.what());
      code = 1;
    }
    std::fflush(stdout);
    _exit(code);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status)) std::printf("%-12s %9lld ended abnormally\n", name, static_cast<long long>(n));
}

// The sizes N given as arguments (each from 1 to `most`), or `defaults` when none is
// given; an empty list after printing the usage when one is bad.
inline std::vector<std::int64_t> Sizes(int argc, char** argv, std::int64_t most, const char* what,
                                       std::vector<std::int64_t> defaults) {
  std::vector<std::int64_t> sizes;
  for (int i = 1; i < argc; ++i) {
    char* end = nullptr;
    const long long n = std::strtoll(argv[i], &end, 10);
    if (end == argv[i] || *end != '\0' || n < 1 || n > most) {
      std::fprintf(stderr, "usage: %s [N ...]   (N %s, 1 to %lld)\n", argv[0], what, static_cast<long long>(most));
      return {};
    }
    sizes.push_back(n);
  }
  return sizes.empty() ? defaults : sizes;
}

}  // namespace quillary::bench
