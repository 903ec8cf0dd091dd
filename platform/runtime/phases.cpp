#include "platform/runtime/phases.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h.
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace quillary::phases {

namespace {

using Clock = std::chrono::steady_clock;

struct Phase {
  const char* name;
  double seconds = 0;
  long calls = 0;
  double first = 0, last = 0;
  long peakKb = 0;  // the process's peak resident memory when the phase was last left
};

struct Book {
  Clock::time_point origin = Clock::now();
  std::vector<Phase> phases;
};

Book& TheBook() {
  static Book book;
  return book;
}

// The process's peak resident memory so far, in kB (0 when the system does not say).
long PeakKilobytes() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters{};
  if (K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
  }
  return 0;
#else
  rusage usage{};
  return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : 0;
#endif
}

double Since(Clock::time_point t) { return std::chrono::duration<double>(t - TheBook().origin).count(); }

}  // namespace

bool Enabled() {
  static const bool enabled = [] {
    const char* v = std::getenv("QUILLARY_PHASES");
    return v != nullptr && *v != '\0' && std::strcmp(v, "0") != 0;
  }();
  return enabled;
}

Scope::Scope(const char* name) : name_(name) {
  if (!Enabled()) return;
  TheBook();
  start_ = Clock::now();
}

Scope::~Scope() {
  if (!Enabled()) return;
  const Clock::time_point end = Clock::now();
  Book& book = TheBook();
  Phase* phase = nullptr;
  for (Phase& p : book.phases) {
    if (std::strcmp(p.name, name_) == 0) phase = &p;
  }
  if (!phase) {
    book.phases.push_back({name_});
    phase = &book.phases.back();
    phase->first = Since(start_);
  }
  phase->seconds += std::chrono::duration<double>(end - start_).count();
  ++phase->calls;
  phase->last = Since(end);
  phase->peakKb = PeakKilobytes();
}

void Report(std::ostream& out) {
  if (!Enabled()) return;
  for (const Phase& p : TheBook().phases) {
    char line[256];
    std::snprintf(line, sizeof line, "quillary: phase %s %.6f calls=%ld first=%.6f last=%.6f peak=%ldkB\n", p.name,
                  p.seconds, p.calls, p.first, p.last, p.peakKb);
    out << line;
  }
}

}  // namespace quillary::phases
