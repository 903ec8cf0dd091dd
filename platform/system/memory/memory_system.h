// Stand-ins of the process services, for tests and unattended runs: clocks set by hand,
// a beeper that counts, a clipboard in memory whose failures can be asked for, and
// directories held as strings.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/runtime/error.h"
#include "platform/runtime/value.h"
#include "platform/system/system.h"

namespace quillary::sys {

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
  void GiveText(Text&& text) override;
  Text GetText() override;
  void ViewText(const std::function<void(TextView)>& use) override;

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
// A bundle that owns one of each stand-in. Not movable: `services` refers to members.

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
