#include "platform/system/memory/memory_system.h"

#include <algorithm>
#include <cmath>

namespace quillary::sys {

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

void MemoryClipboard::GiveText(Text&& text) {
  Attempt(Operation::SetText);
  text_ = std::move(text);
}

Text MemoryClipboard::GetText() {
  Attempt(Operation::GetText);
  return text_;
}

void MemoryClipboard::ViewText(const std::function<void(TextView)>& use) {
  Attempt(Operation::GetText);
  use(text_);
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
