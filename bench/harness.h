// What the benchmarks share around their measurements: the sizes from the command line,
// and a child process of its own for each measurement, so that its peak resident memory
// is its own.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <vector>

namespace quillary::bench {

// The sizes N given as arguments (the default sizes 10000 100000 1000000 when none is),
// each from `least` to `most`; nothing after printing the usage line with `what` ("N
// Items") when one is not.
inline std::optional<std::vector<std::int64_t>> Sizes(int argc, char** argv, std::int64_t least, std::int64_t most,
                                                      const char* what) {
  std::vector<std::int64_t> sizes;
  for (int i = 1; i < argc; ++i) {
    char* end = nullptr;
    const long long n = std::strtoll(argv[i], &end, 10);
    if (end == argv[i] || *end != '\0' || n < least || n > most) {
      std::fprintf(stderr, "usage: %s [N ...]   (%s, %lld to %lld)\n", argv[0], what, static_cast<long long>(least),
                   static_cast<long long>(most));
      return std::nullopt;
    }
    sizes.push_back(n);
  }
  if (sizes.empty()) sizes = {10000, 100000, 1000000};
  return sizes;
}

// The peak resident memory of this process so far, in megabytes.
inline long PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;  // kilobytes on Linux
}

// Runs `body` (which prints its row) in a child process and waits for it. A body that
// throws, or a child that ends abnormally, prints a row of `name`, `n` and what happened.
template <class Body>
void RunInChild(const char* name, std::int64_t n, Body&& body) {
  std::fflush(stdout);
  const pid_t child = fork();
  if (child < 0) {
    std::perror("fork");
    return;
  }
  if (child == 0) {
    int code = 0;
    try {
      body();
    } catch (const std::exception& e) {
      std::printf("%-14s %9lld failed: %s\n", name, static_cast<long long>(n), e.what());
      code = 1;
    }
    std::fflush(stdout);
    _exit(code);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status)) std::printf("%-14s %9lld ended abnormally\n", name, static_cast<long long>(n));
}

// The sizes a benchmark accepts, what it counts ("N cells") and the sizes it runs when
// none is given.
struct Sizing {
  std::int64_t least;
  std::int64_t most;
  const char* what;
  std::vector<std::int64_t> defaults = {10000, 100000, 1000000};
};

// The main of an in-process benchmark: reads the sizes, prints the header, then for each
// size runs each workload (anything with a `name`) in a child process of its own, where
// `measure(workload, n)` prints its row. Returns the exit status of main.
template <class Header, class Workloads, class Measure>
int Main(int argc, char** argv, const Sizing& sizing, Header&& header, const Workloads& workloads, Measure&& measure) {
  auto sizes = Sizes(argc, argv, sizing.least, sizing.most, sizing.what);
  if (!sizes) return 2;
  if (argc <= 1) *sizes = sizing.defaults;
  header();
  for (const std::int64_t n : *sizes) {
    for (const auto& workload : workloads) RunInChild(workload.name, n, [&] { measure(workload, n); });
  }
  return 0;
}

// The one workload of a benchmark that measures one thing.
struct Single {
  const char* name;
};

}  // namespace quillary::bench
