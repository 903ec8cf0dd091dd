#include "workbook/save_transaction.h"

#include <stdio.h>
#include <stdlib.h>
#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <thread>
#include <utility>

#include "workbook/entries.h"
#include "workbook/failure.h"
#include "workbook/plain_file.h"

namespace quillary::workbook {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMagic = "quillary-save";
constexpr std::string_view kVersion = "1";
constexpr char kJournal[] = ".journal";
constexpr char kPendingJournal[] = ".journal-committed";
constexpr char kStagingLockFile[] = ".lock";
constexpr char kInPlacePrefix[] = ".quillary-save-";
constexpr char kNewPrefix[] = ".quillary-new-";
#ifdef _WIN32
constexpr char kFolderLockFile[] = ".quillary-lock";
#endif
// The folder inside a staging folder that becomes a new target.
constexpr char kNewFolder[] = "w";
// A journal lists a workbook's files: anything larger is not one.
constexpr std::uintmax_t kJournalLimit = std::uintmax_t{1} << 24;

std::function<void(SaveStep)>& StepHook() {
  static std::function<void(SaveStep)> hook;
  return hook;
}

void Step(SaveStep step) {
  if (StepHook()) StepHook()(step);
}

void WriteFile(const fs::path& path, std::string_view data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out.write(data.data(), static_cast<std::streamsize>(data.size()));
  out.close();
  if (!out) throw Failure("cannot write " + QuotedPath(path) + ": " + std::strerror(errno));
}

std::string Line(std::initializer_list<std::string_view> words) { return EntryLine(words); }

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// A file name in a folder, of no other folder: no path, no "..", nothing that saves
// keep for themselves.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\\:\0", 4)) == std::string::npos && !IsSaveEntry(name);
}

struct Journal {
  bool committed = false;
  std::optional<std::string> target;  // the folder a new target's staging folder becomes
  std::vector<std::string> moves, removes;
  std::string strange;  // the first entry that no save writes
};

// A staging folder's journal; nothing when it has none (or one that is not a save's).
std::optional<Journal> ReadJournal(const fs::path& staging) {
  const fs::path path = staging / kJournal;
  std::error_code ec;
  const auto status = fs::symlink_status(path, ec);
  if (!fs::is_regular_file(status) || fs::file_size(path, ec) > kJournalLimit) return std::nullopt;
  Journal j;
  try {
    const std::string version = ReadEntries(ReadPlainFile(path, Links::kRefuse), kMagic, {kVersion},
                                            [&](std::string_view, std::vector<std::string>& w) {
                                              if (w.size() == 1 && w[0] == "committed") {
                                                j.committed = true;
                                              } else if (w.size() == 2 && w[0] == "target") {
                                                j.target = w[1];
                                              } else if (w.size() == 2 && w[0] == "move") {
                                                j.moves.push_back(w[1]);
                                              } else if (w.size() == 2 && w[0] == "remove") {
                                                j.removes.push_back(w[1]);
                                              } else if (j.strange.empty()) {
                                                j.strange = EntryLine(w);
                                                j.strange.pop_back();
                                              }
                                            });
    if (version.empty()) return std::nullopt;
  } catch (const Failure&) {
    return std::nullopt;
  }
  return j;
}

// The staging folders in `folder` whose names begin with `prefix`: folders, not links.
std::vector<fs::path> StagingFolders(const fs::path& folder, const char* prefix) {
  std::vector<fs::path> found;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return found;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.path().filename().string().starts_with(prefix) && entry.is_directory(ec) && !entry.is_symlink(ec)) {
      found.push_back(entry.path());
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Removes a staging folder whose lock `lock` holds: its journal goes after everything
// else and its lock last, so that a removal cut short leaves a folder that the next save
// still knows. The reason when it cannot.
std::string RemoveStaging(const fs::path& staging, StagingLock& lock) {
  std::error_code ec;
  std::string why;
  std::vector<fs::path> entries;
  for (const auto& e : fs::directory_iterator(staging, ec)) entries.push_back(e.path());
  for (const fs::path& e : entries) {
    const std::string name = e.filename().string();
    if (name == kJournal || name == kStagingLockFile) continue;
    std::error_code removed;
    fs::remove_all(e, removed);
    if (removed && why.empty()) why = removed.message();
  }
  Step(SaveStep::kStagingCleared);
  std::error_code removed;
  fs::remove(staging / kJournal, removed);
  if (removed && why.empty()) why = removed.message();
  Step(SaveStep::kJournalRemoved);
  fs::remove(staging / kStagingLockFile, ec);  // Windows removes it as the lock is released
  lock.Release();
  fs::remove(staging / kStagingLockFile, ec);
  if (!fs::remove(staging, removed) && removed && removed != std::errc::no_such_file_or_directory && why.empty()) {
    why = removed.message();
  }
  return why;
}

// Removes a staging folder that a save cut short left, saying so.
void RemoveLeftover(const fs::path& staging, StagingLock& lock, Notes& notes) {
  if (const std::string why = RemoveStaging(staging, lock); !why.empty()) {
    notes.push_back("cannot remove " + QuotedPath(staging) + ", left by a save that was cut short: " + why);
  } else {
    notes.push_back("removed " + QuotedPath(staging) + ", left by a save that was cut short");
  }
}

// A staging folder found in a target folder, and what can be done with it.
struct Leftover {
  fs::path staging;
  StagingLock lock;
  enum class State {
    kLive,        // its save is still under way (in another process)
    kUnfinished,  // its save was cut short before it was committed
    kCommitted,   // its save was committed; `moves` and `removes` are what is left to do
    kRefused,     // its journal names what no save makes (`refusal` says what)
  } state = State::kUnfinished;
  std::vector<std::string> moves;  // files still staged, the manifest last
  std::vector<std::string> removes;
  std::string refusal;
};

// What a staging folder of `target` holds, checked against what a save makes.
Leftover Inspect(const fs::path& staging, const fs::path& target, const FolderFormat& format) {
  Leftover l{staging, {}, Leftover::State::kUnfinished, {}, {}, {}};
  if (!l.lock.Take(staging)) {
    l.state = Leftover::State::kLive;
    return l;
  }
  const std::optional<Journal> journal = ReadJournal(staging);
  if (!journal || !journal->committed) return l;
  const auto refuse = [&](std::string why) {
    l.state = Leftover::State::kRefused;
    l.refusal = std::move(why);
    l.moves.clear();
    l.removes.clear();
    return std::move(l);
  };
  if (!journal->strange.empty()) return refuse("has an entry '" + journal->strange + "', which no save writes");
  for (const auto* names : {&journal->moves, &journal->removes}) {
    for (const std::string& n : *names) {
      if (!IsPlainName(n)) return refuse("names '" + n + "', which is no plain file name in the folder");
    }
  }
  l.state = Leftover::State::kCommitted;
  std::error_code ec;
  const fs::path manifest = staging / format.manifest;
  const auto status = fs::symlink_status(manifest, ec);
  // The manifest goes in last: once it is in place, only the clean-up is left.
  if (!fs::exists(status)) return l;
  if (!fs::is_regular_file(status)) return refuse("stages a manifest that is not a plain file");
  const auto newFiles = format.filesOf(manifest);
  if (!newFiles) return refuse("stages a manifest that does not read");
  if (journal->moves.empty() || journal->moves.back() != format.manifest) {
    return refuse("does not put the manifest in place last");
  }
  const std::vector<std::string> oldFiles =
      format.filesOf(target / format.manifest).value_or(std::vector<std::string>{});
  for (const std::string& n : journal->moves) {
    if (!Contains(*newFiles, n)) return refuse("would put '" + n + "' in place, which its manifest does not name");
    const auto staged = fs::symlink_status(staging / n, ec);
    if (!fs::exists(staged)) continue;  // in place already
    if (!fs::is_regular_file(staged)) return refuse("stages '" + n + "', which is not a plain file");
    if (fs::is_directory(fs::symlink_status(target / n, ec))) {
      return refuse("would put '" + n + "' in the place of a folder");
    }
    l.moves.push_back(n);
  }
  for (const std::string& n : journal->removes) {
    if (!Contains(oldFiles, n) || Contains(*newFiles, n)) {
      return refuse("would remove '" + n + "', which is no old file of the workbook");
    }
    l.removes.push_back(n);
  }
  return l;
}

// The staging folders of saves into `target`, inspected; of several committed ones none
// is carried out (a save finishes what an earlier one left before it commits).
std::vector<Leftover> InspectAll(const fs::path& target, const FolderFormat& format) {
  std::vector<Leftover> found;
  for (const fs::path& staging : StagingFolders(target, kInPlacePrefix)) {
    found.push_back(Inspect(staging, target, format));
  }
  const auto committed = std::count_if(found.begin(), found.end(),
                                       [](const Leftover& l) { return l.state == Leftover::State::kCommitted; });
  if (committed > 1) {
    for (Leftover& l : found) {
      if (l.state != Leftover::State::kCommitted) continue;
      l.state = Leftover::State::kRefused;
      l.refusal = "is one of " + std::to_string(committed) + " journals of committed saves";
      l.moves.clear();
      l.removes.clear();
    }
  }
  return found;
}

std::string RefusalNote(const Leftover& l) {
  return QuotedPath(l.staging) + " holds the journal of a save that " + l.refusal + ": it is left as it is";
}

// Carries out what is left of a committed journal: the new files but the manifest are
// moved in, the old ones removed, the manifest moved in, the staging folder removed.
void RollForward(Leftover& l, const fs::path& target, const std::string& manifest, Notes& notes) {
  const auto move = [&](const std::string& n) {
    std::error_code ec;
    fs::rename(l.staging / n, target / n, ec);
    if (ec) {
      throw Failure("cannot put " + QuotedPath(target / n) + " in place: " + ec.message() +
                    "; the next save tries again");
    }
  };
  for (const std::string& n : l.moves) {
    if (n == manifest) continue;
    move(n);
    Step(SaveStep::kFileMoved);
  }
  std::error_code ec;
  for (const std::string& n : l.removes) {
    const fs::path old = target / n;
    const auto status = fs::symlink_status(old, ec);
    if (!fs::exists(status)) continue;
    if (!fs::is_regular_file(status)) {
      notes.push_back("the old workbook file " + QuotedPath(old) + " is no longer a plain file; it is left as it is");
    } else if (!fs::remove(old, ec)) {
      notes.push_back("cannot remove the old workbook file " + QuotedPath(old) + ": " + ec.message() +
                      "; it is left as it is");
    }
    Step(SaveStep::kOldFileRemoved);
  }
  if (Contains(l.moves, manifest)) {
    move(manifest);
    Step(SaveStep::kManifestMoved);
  }
  if (const std::string why = RemoveStaging(l.staging, l.lock); !why.empty()) {
    notes.push_back("cannot remove the folder " + QuotedPath(l.staging) + " of the save: " + why);
  }
}

// Finishes or removes what saves cut short left in `target` (when it is a folder) and,
// for a target made new, beside it. The target's lock is held.
void Recover(const fs::path& target, const FolderFormat& format, Notes& notes) {
  const std::string name = target.filename().string();
  for (const fs::path& staging : StagingFolders(target.parent_path(), kNewPrefix)) {
    StagingLock lock;
    if (!lock.Take(staging)) continue;
    // One without a journal was cut short as it was made (or removed): nothing of it is
    // of use to anyone. One with a journal is removed by a save into its own target.
    if (const auto journal = ReadJournal(staging); journal && journal->target != name) continue;
    RemoveLeftover(staging, lock, notes);
  }
  std::error_code ec;
  if (!fs::is_directory(target, ec)) return;
  for (Leftover& l : InspectAll(target, format)) {
    switch (l.state) {
      case Leftover::State::kLive: break;
      case Leftover::State::kUnfinished: RemoveLeftover(l.staging, l.lock, notes); break;
      case Leftover::State::kCommitted:
        RollForward(l, target, format.manifest, notes);
        notes.push_back("finished a save into " + QuotedPath(target) + " that was cut short");
        break;
      case Leftover::State::kRefused: notes.push_back(RefusalNote(l)); break;
    }
  }
}

fs::path MakeFolder(const fs::path& in, const char* prefix, const fs::path& target) {
#ifdef _WIN32
  // A name of this process's own (Windows has no mkdtemp).
  for (int attempt = 0;; ++attempt) {
    const fs::path folder = in / (prefix + std::to_string(::_getpid()) + "-" + std::to_string(attempt));
    std::error_code ec;
    if (fs::create_directory(folder, ec)) return folder;
    if (ec || attempt == 1000) {
      throw Failure("cannot save to " + QuotedPath(target) + ": cannot make a folder in " + QuotedPath(in) + ": " +
                    (ec ? ec.message() : "every name is taken"));
    }
  }
#else
  std::string pattern = (in / (std::string(prefix) + "XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw Failure("cannot save to " + QuotedPath(target) + ": cannot make a folder in " + QuotedPath(in) + ": " +
                  std::strerror(errno));
  }
  return pattern;
#endif
}

}  // namespace

std::string QuotedPath(const fs::path& path) {
  std::string quoted(1, '\'');
  quoted += path.string();
  quoted += '\'';
  return quoted;
}

bool IsSaveEntry(std::string_view name) {
#ifdef _WIN32
  if (name == kFolderLockFile) return true;
#endif
  return name.starts_with(kInPlacePrefix) || name.starts_with(kNewPrefix);
}

void SetSaveStepHook(std::function<void(SaveStep)> hook) { StepHook() = std::move(hook); }

// ----- locks -----

namespace {

[[noreturn]] void StillLocked(const fs::path& folder, FolderLock::Use use, std::chrono::milliseconds patience) {
  const std::string waited = " (waited " + std::to_string(patience.count() / 1000) + " seconds)";
  if (use == FolderLock::Use::kSave) {
    throw Failure("cannot save to " + QuotedPath(folder) + ": another process is saving or reading it" + waited);
  }
  throw Failure("cannot read " + QuotedPath(folder) + ": another process is saving it" + waited);
}

}  // namespace

#ifdef _WIN32

FolderLock::FolderLock(const fs::path& folder, Use use, std::chrono::milliseconds patience) {
  std::error_code ec;
  if (use == Use::kLoad || !fs::is_directory(folder, ec)) return;
  const fs::path file = folder / kFolderLockFile;
  const auto until = std::chrono::steady_clock::now() + patience;
  for (;;) {
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      handle_ = h;
      return;
    }
    const DWORD error = ::GetLastError();
    const bool held = error == ERROR_SHARING_VIOLATION || (error == ERROR_ACCESS_DENIED && fs::exists(file, ec));
    if (!held) return;  // a folder that takes no lock file is not locked
    if (std::chrono::steady_clock::now() >= until) StillLocked(folder, use, patience);
    ::Sleep(20);
  }
}

FolderLock::~FolderLock() {
  if (handle_ != nullptr) ::CloseHandle(handle_);
}

bool StagingLock::Hold(const fs::path& staging) {
  Release();
  HANDLE h = ::CreateFileW((staging / kStagingLockFile).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = h;
  return true;
}

bool StagingLock::Take(const fs::path& staging) {
  Release();
  HANDLE h = ::CreateFileW((staging / kStagingLockFile).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    // A lock file that nobody holds open: its save ended without removing it.
    ::CloseHandle(h);
    return true;
  }
  const DWORD error = ::GetLastError();
  return error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED;
}

void StagingLock::Release() {
  if (handle_ != nullptr) ::CloseHandle(handle_);
  handle_ = nullptr;
}

StagingLock::StagingLock(StagingLock&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

StagingLock& StagingLock::operator=(StagingLock&& other) noexcept {
  if (this != &other) {
    Release();
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

#else

FolderLock::FolderLock(const fs::path& folder, Use use, std::chrono::milliseconds patience) {
  fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;  // no folder (yet): nothing to lock
  const int how = (use == Use::kSave ? LOCK_EX : LOCK_SH) | LOCK_NB;
  const auto until = std::chrono::steady_clock::now() + patience;
  while (::flock(fd_, how) != 0) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= until) {
      const bool held = errno == EWOULDBLOCK;
      ::close(fd_);
      fd_ = -1;
      if (held) StillLocked(folder, use, patience);
      return;  // a file system that takes no locks
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool StagingLock::Hold(const fs::path& staging) {
  Release();
  const int fd = ::open((staging / kStagingLockFile).c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  // Another process may have taken the folder for a leftover between its making and
  // the lock, and removed it.
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_nlink == 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

bool StagingLock::Take(const fs::path& staging) {
  Release();
  const int fd = ::open((staging / kStagingLockFile).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return true;  // no lock file: its save never got to make it, or removed it
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return !held;
  }
  fd_ = fd;
  return true;
}

void StagingLock::Release() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

StagingLock::StagingLock(StagingLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

StagingLock& StagingLock::operator=(StagingLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

#endif

// ----- reading -----

FolderView::FolderView(const fs::path& folder, const FolderFormat& format, Notes& notes)
    : folder_(folder), lock_(folder, FolderLock::Use::kLoad) {
  const std::string at = QuotedPath(folder);
  for (const Leftover& l : InspectAll(folder, format)) {
    switch (l.state) {
      case Leftover::State::kLive:
        notes.push_back("another process is saving into " + at + ": the workbook is read as it was before that save");
        break;
      case Leftover::State::kUnfinished:
        notes.push_back("a save into " + at + " was interrupted; what it left in " + QuotedPath(l.staging) +
                        " is not complete and is not read, and the next save removes it");
        break;
      case Leftover::State::kCommitted:
        for (const std::string& n : l.moves) staged_[n] = l.staging / n;
        notes.push_back("a save into " + at +
                        " was interrupted after it was complete: the workbook is read as that save wrote it, and "
                        "the next save finishes it");
        break;
      case Leftover::State::kRefused:
        notes.push_back(RefusalNote(l) + "; the workbook is read as the folder holds it");
        break;
    }
  }
}

fs::path FolderView::PathOf(const std::string& name) const {
  const auto it = staged_.find(name);
  return it == staged_.end() ? folder_ / name : it->second;
}

// ----- saving -----

SaveTransaction::SaveTransaction(fs::path target, FolderFormat format, Notes& notes)
    : target_(std::move(target)), format_(std::move(format)) {
  std::error_code ec;
  inPlace_ = fs::is_directory(target_, ec);
  if (inPlace_) lock_.emplace(target_, FolderLock::Use::kSave);
  Step(SaveStep::kLocked);
  Recover(target_, format_, notes);
  Step(SaveStep::kRecovered);
}

SaveTransaction::~SaveTransaction() {
  if (committed_ || staging_.empty()) return;
  static_cast<void>(RemoveStaging(staging_, stagingLock_));
}

void SaveTransaction::MakeStaging() {
  const fs::path in = inPlace_ ? target_ : target_.parent_path();
  for (int attempt = 0;; ++attempt) {
    const fs::path staging = MakeFolder(in, inPlace_ ? kInPlacePrefix : kNewPrefix, target_);
    Step(SaveStep::kStagingMade);
    if (stagingLock_.Hold(staging)) {
      staging_ = staging;
      break;
    }
    if (attempt == 10) {
      throw Failure("cannot save to " + QuotedPath(target_) + ": another process keeps removing the folder " +
                    QuotedPath(staging) + " as it is made");
    }
  }
  Step(SaveStep::kStagingLocked);
  try {
    if (inPlace_) {
      WriteFile(staging_ / kJournal, Line({kMagic, kVersion}));
    } else {
      WriteFile(staging_ / kJournal, Line({kMagic, kVersion}) + Line({"target", target_.filename().string()}));
    }
    Step(SaveStep::kJournalBegun);
    std::error_code ec;
    if (!inPlace_ && !fs::create_directory(staging_ / kNewFolder, ec)) {
      throw Failure("cannot make " + QuotedPath(staging_ / kNewFolder) + ": " + ec.message());
    }
  } catch (const Failure& f) {
    static_cast<void>(RemoveStaging(staging_, stagingLock_));
    staging_.clear();
    throw Failure("cannot save to " + QuotedPath(target_) + ": " + f.what());
  }
}

void SaveTransaction::Write(const std::string& name, std::string_view data) {
  if (staging_.empty()) MakeStaging();
  try {
    WriteFile((inPlace_ ? staging_ : staging_ / kNewFolder) / name, data);
  } catch (const Failure& f) {
    throw Failure("cannot save to " + QuotedPath(target_) + ": " + f.what());
  }
  written_.push_back(name);
  Step(SaveStep::kFileWritten);
}

void SaveTransaction::Commit(const std::vector<std::string>& oldFiles, Notes& notes) {
  if (staging_.empty()) MakeStaging();
  std::error_code ec;
  if (!inPlace_) {
    fs::rename(staging_ / kNewFolder, target_, ec);
    if (ec) {
      std::error_code exists;
      if (fs::exists(fs::symlink_status(target_, exists))) {
        throw Failure("cannot save to " + QuotedPath(target_) +
                      ": another process made it while this save was written; nothing is written");
      }
      throw Failure("cannot save to " + QuotedPath(target_) + ": " + ec.message());
    }
    committed_ = true;
    Step(SaveStep::kCommitted);
    if (const std::string why = RemoveStaging(staging_, stagingLock_); !why.empty()) {
      notes.push_back("cannot remove the folder " + QuotedPath(staging_) + " of the save: " + why);
    }
    return;
  }
  // A file of the new set may only take the place of a plain file (or of nothing).
  for (const std::string& n : written_) {
    const auto status = fs::symlink_status(target_ / n, ec);
    if (fs::exists(status) && !fs::is_regular_file(status) && !fs::is_symlink(status)) {
      throw Failure("cannot save to " + QuotedPath(target_) + ": " + QuotedPath(target_ / n) +
                    " is not a plain file; nothing is written");
    }
  }
  Leftover l{staging_, std::move(stagingLock_), Leftover::State::kCommitted, written_, {}, {}};
  std::stable_partition(l.moves.begin(), l.moves.end(), [&](const std::string& n) { return n != format_.manifest; });
  for (const std::string& n : oldFiles) {
    if (!Contains(written_, n)) l.removes.push_back(n);
  }
  std::string journal = Line({kMagic, kVersion}) + Line({"committed"});
  for (const std::string& n : l.moves) journal += Line({"move", n});
  for (const std::string& n : l.removes) journal += Line({"remove", n});
  try {
    WriteFile(staging_ / kPendingJournal, journal);
    Step(SaveStep::kCommitWritten);
    fs::rename(staging_ / kPendingJournal, staging_ / kJournal, ec);
    if (ec) throw Failure(ec.message());
  } catch (const Failure& f) {
    stagingLock_ = std::move(l.lock);
    throw Failure("cannot save to " + QuotedPath(target_) + ": " + f.what());
  }
  // From here on the save is decided: what is not done now, the next save finishes.
  committed_ = true;
  Step(SaveStep::kCommitted);
  RollForward(l, target_, format_.manifest, notes);
}

}  // namespace quillary::workbook
