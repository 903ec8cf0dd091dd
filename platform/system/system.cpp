#include "platform/system/system.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace quillary::sys {

// ---------------------------------------------------------------------------------
// SystemClock

double SystemClock::SecondsSinceMidnight() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t whole = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  if (localtime_r(&whole, &local) == nullptr) {
    Raise(err::kApplication, "The local time is not available");
  }
  // to_time_t may round; take the fraction relative to the whole second it returned.
  const double fraction = std::chrono::duration<double>(now - std::chrono::system_clock::from_time_t(whole)).count();
  const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + fraction;
  return std::clamp(seconds, 0.0, std::nextafter(86400.0, 0.0));
}

double SystemClock::MonotonicSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// ---------------------------------------------------------------------------------
// TerminalBeeper

void TerminalBeeper::Beep() {
  std::fputc('\a', stderr);
  std::fflush(stderr);
}

// ---------------------------------------------------------------------------------
// ProcessDirectories

std::string ExecutableFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "";
  return exe.parent_path().string();
}

ProcessDirectories::ProcessDirectories() : componentFolder_(ExecutableFolder()) {}

ProcessDirectories::ProcessDirectories(std::string componentFolder) : componentFolder_(std::move(componentFolder)) {}

std::string ProcessDirectories::Current() {
  std::error_code ec;
  const std::filesystem::path cwd = std::filesystem::current_path(ec);
  if (ec) Raise(err::kPathNotFound, "Path not found");
  return cwd.string();
}

void ProcessDirectories::Change(const std::string& path) {
  if (path.empty() || ::chdir(path.c_str()) != 0) Raise(err::kPathNotFound, "Path not found");
}

// ---------------------------------------------------------------------------------
// ManualClock

void ManualClock::Advance(double seconds) {
  monotonic_ += seconds;
  timeOfDay_ = std::fmod(timeOfDay_ + seconds, kSecondsPerDay);
  if (timeOfDay_ < 0) timeOfDay_ += kSecondsPerDay;
}

// ---------------------------------------------------------------------------------
// MemoryClipboard

void MemoryClipboard::Attempt(Operation op) {
  const int i = Index(op);
  ++attempts_[i];
  if (toFail_[i] > 0) {
    --toFail_[i];
    ++failures_[i];
    Raise(kClipboardErrorNumber, "The clipboard could not be opened");
  }
}

void MemoryClipboard::Clear() {
  Attempt(Operation::Clear);
  text_.clear();
}

void MemoryClipboard::SetText(const Text& text) {
  Attempt(Operation::SetText);
  text_ = text;
}

Text MemoryClipboard::GetText() {
  Attempt(Operation::GetText);
  return text_;
}

void MemoryClipboard::FailNext(int count, Operation op) { toFail_[Index(op)] = std::max(count, 0); }

void MemoryClipboard::ResetCounts() {
  std::fill(std::begin(attempts_), std::end(attempts_), 0);
  std::fill(std::begin(failures_), std::end(failures_), 0);
}

// ---------------------------------------------------------------------------------
// MemoryDirectories

void MemoryDirectories::Change(const std::string& path) {
  if (path.empty() || std::find(missing_.begin(), missing_.end(), path) != missing_.end()) {
    Raise(err::kPathNotFound, "Path not found");
  }
  current_ = path;
  changes_.push_back(path);
}

}  // namespace quillary::sys
