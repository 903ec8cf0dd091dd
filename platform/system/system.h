// Process services the component reaches through interfaces: clocks, the beep, the
// clipboard and the directories, and their real implementations, which serve the
// command-line host and the in-process server. The stand-ins are in
// platform/system/memory/.
#pragma once

#include <functional>
#include <string>

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
  // SetText of a text the caller gives away: the clipboard takes the string over where
  // it can, and leaves it as it was when the call fails.
  virtual void GiveText(Text&& text) { SetText(text); }
  // "" when the clipboard holds no text.
  virtual Text GetText() = 0;
  // Calls `use` with the text GetText gives, viewed where the clipboard holds it when it
  // can (the view is valid during the call).
  virtual void ViewText(const std::function<void(TextView)>& use) {
    const Text text = GetText();
    use(text);
  }
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

// One of each service, owned elsewhere.
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

}  // namespace quillary::sys
