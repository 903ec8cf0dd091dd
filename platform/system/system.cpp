#include "platform/system/system.h"

#ifdef _WIN32
#include <windows.h>
#endif

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
#ifdef _WIN32
  const bool known = localtime_s(&local, &whole) == 0;
#else
  const bool known = localtime_r(&whole, &local) != nullptr;
#endif
  if (!known) {
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

namespace {

// Paths travel as UTF-8 strings; the file system library takes and gives them as paths.
std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

std::string ExecutableFolder() {
#ifdef _WIN32
  std::wstring exe(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
    if (length == 0) return "";
    if (length < exe.size()) {
      exe.resize(length);
      break;
    }
    exe.resize(exe.size() * 2);
  }
  return Utf8Of(std::filesystem::path(exe).parent_path());
#else
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "";
  return Utf8Of(exe.parent_path());
#endif
}

ProcessDirectories::ProcessDirectories() : componentFolder_(ExecutableFolder()) {}

ProcessDirectories::ProcessDirectories(std::string componentFolder) : componentFolder_(std::move(componentFolder)) {}

std::string ProcessDirectories::Current() {
  std::error_code ec;
  const std::filesystem::path cwd = std::filesystem::current_path(ec);
  if (ec) Raise(err::kPathNotFound, "Path not found");
  return Utf8Of(cwd);
}

void ProcessDirectories::Change(const std::string& path) {
  std::error_code ec;
  if (!path.empty()) std::filesystem::current_path(PathOf(path), ec);
  if (path.empty() || ec) Raise(err::kPathNotFound, "Path not found");
}

#ifdef _WIN32
// ---------------------------------------------------------------------------------
// WindowsClipboard and MessageBeeper

namespace {

// Opens the clipboard for one operation and closes it again.
class OpenClipboardScope {
 public:
  OpenClipboardScope() {
    if (!::OpenClipboard(nullptr)) Raise(err::kApplication, "The clipboard could not be opened");
  }
  ~OpenClipboardScope() { ::CloseClipboard(); }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
};

}  // namespace

void WindowsClipboard::Clear() {
  OpenClipboardScope open;
  if (!::EmptyClipboard()) Raise(err::kApplication, "The clipboard could not be cleared");
}

void WindowsClipboard::SetText(const Text& text) {
  OpenClipboardScope open;
  if (!::EmptyClipboard()) Raise(err::kApplication, "The clipboard could not be cleared");
  const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) Raise(err::kOutOfMemory, "Out of memory");
  void* target = ::GlobalLock(memory);
  std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<char16_t*>(target));
  ::GlobalUnlock(memory);
  if (::SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
    ::GlobalFree(memory);
    Raise(err::kApplication, "The clipboard refused the text");
  }
}

Text WindowsClipboard::GetText() {
  OpenClipboardScope open;
  HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
  if (data == nullptr) return Text();
  const auto* text = static_cast<const char16_t*>(::GlobalLock(data));
  if (text == nullptr) return Text();
  Text out(text);
  ::GlobalUnlock(data);
  return out;
}

void MessageBeeper::Beep() { ::MessageBeep(MB_OK); }
#endif

}  // namespace quillary::sys
