// Saving a set of files into a folder as one change, beside whatever else the folder
// holds, and reading such a folder as the last save left it.
//
// The files are written into a hidden staging folder first: inside the target folder
// when it exists (".quillary-save-XXXXXX"), beside it when it does not
// (".quillary-new-XXXXXX", whose folder "w" then becomes the target in one rename).
// Committing an existing folder writes a journal into the staging folder (".journal":
// the files to move in and the old files to remove) and then carries it out: the new
// files but the manifest are moved in, the old files the new set does not hold are
// removed, and the manifest comes last. The target's other files and folders are never
// touched.
//
// Two processes never work on one folder at once. A save holds an exclusive lock on the
// target folder from before it looks at what earlier saves left until its staging
// folder is gone, a load a shared one while it reads (FolderLock); and a save holds a
// lock in its staging folder (".lock") as long as the folder lives, so that nothing
// takes a folder that another process is still writing for a leftover.
//
// A save cut short (the process killed) before its journal is committed leaves the
// target as it was; one cut short after is finished by the next save. A load changes
// nothing: FolderView reads the folder as the journal says it stands.
//
// A folder may come from anyone, like a downloaded archive: a journal is carried out
// only when each name in it is one that the save itself makes - the manifest and the
// files the manifests name, plain names in the folder (no "..", no path, no link) -
// and its staged files are plain files; this is checked before anything is done. Any
// other journal is left as it is and named in a note.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillary::workbook {

// A path as the messages of loading and saving name it: in single quotes.
std::string QuotedPath(const std::filesystem::path& path);

// What a load or a save tells the user beside its result, one line each.
using Notes = std::vector<std::string>;

// What the files of a saved folder are.
struct FolderFormat {
  std::string manifest;  // the file that names the others, put in place last
  // The plain names of the files that the manifest at `path` names, its own among them;
  // nothing when it does not read as a manifest of the format.
  std::function<std::optional<std::vector<std::string>>(const std::filesystem::path& path)> filesOf;
};

// True for a name that saves make for themselves in a folder (staging folders, the
// lock), not a file of what was saved.
bool IsSaveEntry(std::string_view name);

// How long a save or a load waits for another process's save of the same folder.
inline constexpr std::chrono::milliseconds kLockPatience{60'000};

// An advisory lock on a folder, held until it is destroyed (or the process ends). A
// load takes it shared, a save exclusive. It locks the folder itself, so that a load
// writes nothing, not even a lock file; on Windows a save locks a file in the folder
// (".quillary-lock", gone when the save ends) and a load takes no lock.
class FolderLock {
 public:
  enum class Use { kLoad, kSave };
  // Waits while another process holds the lock against this use; Failure naming the
  // folder when it still does after `patience`. A folder on a file system that takes no
  // locks is not locked.
  FolderLock(const std::filesystem::path& folder, Use use, std::chrono::milliseconds patience = kLockPatience);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

// The lock of one staging folder: its save holds it while the folder lives.
class StagingLock {
 public:
  StagingLock() = default;
  ~StagingLock() { Release(); }
  StagingLock(StagingLock&& other) noexcept;
  StagingLock& operator=(StagingLock&& other) noexcept;

  // Locks a staging folder this process has just made; false when the folder vanished
  // meanwhile (another process took it for one left by a save that was cut short).
  bool Hold(const std::filesystem::path& staging);
  // Takes the lock of a staging folder found in a folder; false while the process that
  // made it still holds it.
  bool Take(const std::filesystem::path& staging);
  void Release();

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

// A folder's files as the last save left them, for a load, which changes nothing:
// where a save was cut short after its journal was committed, the files it had not yet
// moved in are read from its staging folder. Holds the folder's lock for a load while it
// lives. Adds to `notes` what a save cut short left and how the folder is read.
class FolderView {
 public:
  FolderView(const std::filesystem::path& folder, const FolderFormat& format, Notes& notes);

  const std::filesystem::path& Folder() const { return folder_; }
  // Where the folder's file `name` is read.
  std::filesystem::path PathOf(const std::string& name) const;

 private:
  std::filesystem::path folder_;
  FolderLock lock_;
  std::map<std::string, std::filesystem::path> staged_;
};

// The steps of a save, in order, for tests that stop a save between two of them.
enum class SaveStep {
  kLocked,          // the target folder's lock is held
  kRecovered,       // what earlier saves left is finished or removed
  kStagingMade,     // the staging folder exists, not yet locked
  kStagingLocked,   // and is locked
  kJournalBegun,    // its first journal is written
  kFileWritten,     // a file of the new set is written
  kCommitWritten,   // the committed journal is written beside the first
  kCommitted,       // and has taken its place (a new target: "w" was renamed to it)
  kFileMoved,       // a new file is in place
  kOldFileRemoved,  // an old file is removed
  kManifestMoved,   // the manifest is in place
  kStagingCleared,  // the staging folder holds only its journal and lock
  kJournalRemoved,  // and only its lock
};
// Calls `hook` at each step of every save from now on (an empty hook: none).
void SetSaveStepHook(std::function<void(SaveStep)> hook);

class SaveTransaction {
 public:
  // Begins a save into `target` (an absolute path: absent, or a folder): takes the
  // folder's lock, waiting for another process's save, and finishes or removes what
  // saves cut short left in it and beside it, with a note for each. Raises Failure when
  // that cannot be done.
  SaveTransaction(std::filesystem::path target, FolderFormat format, Notes& notes);
  // Removes the staging folder unless the save was committed.
  ~SaveTransaction();
  SaveTransaction(const SaveTransaction&) = delete;
  SaveTransaction& operator=(const SaveTransaction&) = delete;

  // Writes a file of the new set (a plain name); the first makes the staging folder.
  // Raises Failure.
  void Write(const std::string& name, std::string_view data);
  // Puts the new files in place, the manifest last, and removes the files of
  // `oldFiles` (the workbook's files in the target before the save) that the new set
  // does not hold. An old file that cannot be removed is left with a note.
  void Commit(const std::vector<std::string>& oldFiles, Notes& notes);

 private:
  void MakeStaging();

  std::filesystem::path target_;
  FolderFormat format_;
  bool inPlace_ = false;
  std::optional<FolderLock> lock_;
  std::filesystem::path staging_;
  StagingLock stagingLock_;
  bool committed_ = false;
  std::vector<std::string> written_;
};

}  // namespace quillary::workbook
