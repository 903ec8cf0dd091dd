// Process services the component reaches through interfaces: clocks, the beep, the
// clipboard and the directories. The real implementations serve the command-line
// host; the stand-ins serve tests and unattended runs.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/runtime/error.h"
#include "platform/runtime/value.h"

namespace quillary::sys {

// ---------------------------------------------------------------------------------
// Interfaces

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since local midnight, with fractions, as the host language's Timer: it
  // falls back to about 0 at midnight.
  virtual double SecondsSinceMidnight() = 0;
  // Seconds on a clock that only moves forwards (its origin is arbitrary); use it to
  // measure elapsed time.
  virtual double MonotonicSeconds() = 0;
};

class Beeper {
 public:
  virtual ~Beeper() = default;
  virtual void Beep() = 0;
};

// The system clipboard holding Unicode text. Each call may fail with an Error (the
// clipboard is busy in another process); callers retry.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual void Clear() = 0;
  virtual void SetText(const Text& text) = 0;
  // "" when the clipboard holds no text.
  virtual Text GetText() = 0;
};

class Directories {
 public:
  virtual ~Directories() = default;
  virtual std::string Current() = 0;
  // Raises Error 76 "Path not found" when the directory cannot be made current.
  virtual void Change(const std::string& path) = 0;
  // The folder the component was loaded from.
  virtual std::string ComponentFolder() = 0;
};

// One of each service, owned elsewhere (see RealServices and StandInServices).
struct Services {
  Clock& clock;
  Beeper& beeper;
  Clipboard& clipboard;
  Directories& directories;
};

// ---------------------------------------------------------------------------------
// Real implementations

class SystemClock final : public Clock {
 public:
  double SecondsSinceMidnight() override;  // local time
  double MonotonicSeconds() override;      // std::chrono::steady_clock
};

// Writes the bell character to standard error.
class TerminalBeeper final : public Beeper {
 public:
  void Beep() override;
};

class ProcessDirectories final : public Directories {
 public:
  // The component folder is the folder of the running executable.
  ProcessDirectories();
  // The component folder is `componentFolder`.
  explicit ProcessDirectories(std::string componentFolder);

  std::string Current() override;                 // getcwd
  void Change(const std::string& path) override;  // chdir
  std::string ComponentFolder() override { return componentFolder_; }

 private:
  std::string componentFolder_;
};

// The folder of the running executable ("" when it cannot be found).
std::string ExecutableFolder();

#ifdef _WIN32
// The Windows clipboard, holding Unicode text (CF_UNICODETEXT). A clipboard another
// program holds open raises an Error; callers retry.
class WindowsClipboard final : public Clipboard {
 public:
  void Clear() override;
  void SetText(const Text& text) override;
  Text GetText() override;
};

// The system's default sound.
class MessageBeeper final : public Beeper {
 public:
  void Beep() override;
};
#endif

// ---------------------------------------------------------------------------------
// Stand-ins

// Both clocks are set by hand. Advance moves both; SetSecondsSinceMidnight moves only
// the time of day (to simulate midnight) while the monotonic clock stays where it is.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(double secondsSinceMidnight = 0, double monotonic = 0)
      : timeOfDay_(secondsSinceMidnight), monotonic_(monotonic) {}

  double SecondsSinceMidnight() override { return timeOfDay_; }
  double MonotonicSeconds() override { return monotonic_; }

  // Moves both clocks forwards by `seconds`; the time of day wraps at 86400.
  void Advance(double seconds);
  void SetSecondsSinceMidnight(double seconds) { timeOfDay_ = seconds; }
  void SetMonotonicSeconds(double seconds) { monotonic_ = seconds; }

  static constexpr double kSecondsPerDay = 86400.0;

 private:
  double timeOfDay_;
  double monotonic_;
};

class CountingBeeper final : public Beeper {
 public:
  void Beep() override { ++count_; }
  int Count() const { return count_; }

 private:
  int count_ = 0;
};

// Holds the text in memory. FailNext(count, op) makes the next `count` calls of `op`
// raise an Error (number kClipboardErrorNumber); every call, failed or not, counts as
// an attempt.
class MemoryClipboard final : public Clipboard {
 public:
  enum class Operation { Clear, SetText, GetText };
  static constexpr int kOperations = 3;
  static constexpr long kClipboardErrorNumber = err::kApplication;

  void Clear() override;
  void SetText(const Text& text) override;
  Text GetText() override;

  void FailNext(int count, Operation op);
  // Calls of `op` so far, failed ones included.
  int Attempts(Operation op) const { return attempts_[Index(op)]; }
  // Calls of `op` that raised an Error so far.
  int Failures(Operation op) const { return failures_[Index(op)]; }
  void ResetCounts();

  // The text held, without counting an attempt.
  const Text& Contents() const { return text_; }

 private:
  static int Index(Operation op) { return static_cast<int>(op); }
  void Attempt(Operation op);

  Text text_;
  int attempts_[kOperations] = {};
  int failures_[kOperations] = {};
  int toFail_[kOperations] = {};
};

// A current directory held as a string; Change succeeds for any path except those
// marked missing, and is recorded.
class MemoryDirectories final : public Directories {
 public:
  explicit MemoryDirectories(std::string current = "/", std::string componentFolder = "/")
      : current_(std::move(current)), componentFolder_(std::move(componentFolder)) {}

  std::string Current() override { return current_; }
  void Change(const std::string& path) override;
  std::string ComponentFolder() override { return componentFolder_; }

  // Change(path) raises Error 76 for this path from now on.
  void MarkMissing(const std::string& path) { missing_.push_back(path); }
  void SetComponentFolder(std::string folder) { componentFolder_ = std::move(folder); }
  // Every path made current by Change, in order.
  const std::vector<std::string>& Changes() const { return changes_; }

 private:
  std::string current_;
  std::string componentFolder_;
  std::vector<std::string> missing_;
  std::vector<std::string> changes_;
};

// ---------------------------------------------------------------------------------
// Bundles that own one of each service. Not movable: `services` refers to members.

// This machine has no desktop clipboard: the command-line host keeps the copied text in
// memory for the run, in the stand-in clipboard, whose failures a script can ask for.
struct RealServices {
  SystemClock clock;
  TerminalBeeper beeper;
  MemoryClipboard clipboard;
  ProcessDirectories directories;
  Services services{clock, beeper, clipboard, directories};

  RealServices() = default;
  RealServices(const RealServices&) = delete;
  RealServices& operator=(const RealServices&) = delete;
};

struct StandInServices {
  ManualClock clock;
  CountingBeeper beeper;
  MemoryClipboard clipboard;
  MemoryDirectories directories;
  Services services{clock, beeper, clipboard, directories};

  StandInServices() = default;
  StandInServices(const StandInServices&) = delete;
  StandInServices& operator=(const StandInServices&) = delete;
};

}  // namespace quillary::sys
