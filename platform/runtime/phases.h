// Phase timings of a run, for measuring where a long run spends its time.
//
// With the environment variable QUILLARY_PHASES set (to anything but "" or "0"), each
// Scope adds its time to the phase it names, and Report prints one line per phase:
//
//   quillary: phase NAME SECONDS calls=N first=T0 last=T1 peak=KB
//
// T0 is when the phase was first entered and T1 when it was last left, in seconds since
// the first use of this module; a reader can so tell the time between two phases. KB is
// the process's peak resident memory when the phase was last left. Without
// the variable a Scope costs one branch and nothing is printed.
#pragma once

#include <chrono>
#include <ostream>

namespace quillary::phases {

bool Enabled();

class Scope {
 public:
  explicit Scope(const char* name);
  ~Scope();
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;

 private:
  const char* name_;
  std::chrono::steady_clock::time_point start_{};
};

// Prints the phases met so far, in the order they were first entered (nothing when not
// enabled).
void Report(std::ostream& out);

}  // namespace quillary::phases
