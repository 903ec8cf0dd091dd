// Saves of workbook folders cut short at each step, hostile journals, and two processes
// at one folder.
#include "workbook/save_transaction.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <map>
#include <thread>

#include "workbook/failure.h"
#include "workbook/tests/temp_dir.h"
#include "workbook/workbook_io.h"

namespace quillary::workbook {
namespace {

namespace fs = std::filesystem;
using testing::AnyHidden;
using testing::Listing;
using testing::NotesSay;
using testing::ReadText;
using testing::TempDir;
using testing::WriteText;
using xl::memory::GridSize;

// Everything under a folder, links not followed: each entry with what it is and holds.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> all;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(e.path(), root).string();
    const auto status = fs::symlink_status(e.path());
    if (fs::is_symlink(status)) {
      all[name] = std::string("link to ").append(fs::read_symlink(e.path()).string());
    } else if (fs::is_directory(status)) {
      all[name] = "folder";
    } else {
      all[name] = ReadText(e.path());
    }
  }
  return all;
}

// Workbooks of three versions, each with A1 of its first sheet naming it: "v1" has the
// sheets A and B, "v2" A and C (with a bold cell: a side file), "v3" A alone. Going from
// v1 to v2 a save moves four files in and removes one.
struct Versions {
  std::unique_ptr<xl::memory::MemoryApplication> app = xl::memory::CreateApplication();
  xl::Workbook& Make(int v) {
    xl::Workbook& book = app->AddWorkbook(GridSize::Large);
    book.Sheets().Item(1).SetName(u"A");
    book.Sheets().Item(1).Cells(1, 1).SetValue(Text(u"v").append(FromUtf8(std::to_string(v))));
    if (v < 3) {
      xl::Worksheet& second = book.Sheets().Add({.After = &book.Sheets().Item(1)});
      second.SetName(v == 1 ? u"B" : u"C");
      second.Cells(1, 1).SetValue(u"x");
      if (v == 2) second.Range(u"A1").Font().SetBold(true);
    }
    return book;
  }
  xl::Workbook& v1 = Make(1);
  xl::Workbook& v2 = Make(2);
  xl::Workbook& v3 = Make(3);
};

// The version a folder holds, as a load reads it.
std::string VersionIn(const fs::path& folder, Notes& notes) {
  auto app = xl::memory::CreateApplication();
  const std::vector<fs::path> paths{folder};
  return ToUtf8(LoadWorkbook(*app, paths, notes).Sheets().Item(u"A").CellValue(1, 1).AsText());
}

// Runs `save` in a child process killed at the n-th step of its save (from 1): the step
// it was killed at, or nothing when the save ran to its end.
std::optional<SaveStep> SaveKilledAt(int n, const std::function<void()>& save) {
  int pipeFds[2];
  EXPECT_EQ(::pipe(pipeFds), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeFds[0]);
    int count = 0;
    SetSaveStepHook([&](SaveStep step) {
      if (++count != n) return;
      (void)!::write(pipeFds[1], &step, sizeof step);
      ::raise(SIGKILL);
    });
    try {
      save();
    } catch (...) {
      ::_exit(2);
    }
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  int status = 0;
  EXPECT_EQ(::waitpid(child, &status, 0), child);
  SaveStep step{};
  const bool killed = ::read(pipeFds[0], &step, sizeof step) == sizeof step;
  ::close(pipeFds[0]);
  if (!killed) {
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the save failed";
    return std::nullopt;
  }
  EXPECT_TRUE(WIFSIGNALED(status));
  return step;
}

// A save killed at any of its steps, into a workbook folder or into a new folder, leaves
// the old or the new workbook (nothing at all before a new folder's save is committed),
// which a load reads without changing anything; the next save leaves nothing of the
// killed one behind.
TEST(SaveKilled, AtEachStepLeavesTheOldOrTheNewWorkbook) {
  Versions w;
  for (const bool existing : {true, false}) {
    SCOPED_TRACE(existing ? "into a workbook folder" : "into a new folder");
    int steps = 0;
    for (int n = 1;; ++n) {
      SCOPED_TRACE(std::string("killed at step ").append(std::to_string(n)));
      TempDir dir;
      const fs::path book = dir / "book";
      Notes notes;
      if (existing) SaveWorkbook(w.v1, book, notes);
      const std::optional<SaveStep> step = SaveKilledAt(n, [&] { SaveWorkbook(w.v2, book, notes); });
      if (!step) break;
      ++steps;
      const bool committed = *step >= SaveStep::kCommitted;
      const auto before = Snapshot(dir.Path());
      notes.clear();
      if (existing || committed) {
        EXPECT_EQ(VersionIn(book, notes), committed ? "v2" : "v1");
      } else {
        EXPECT_FALSE(fs::exists(book));
      }
      EXPECT_EQ(Snapshot(dir.Path()), before) << "a load changed the folder";
      if (existing && *step >= SaveStep::kStagingMade && *step < SaveStep::kJournalRemoved) {
        EXPECT_TRUE(NotesSay(notes, "was interrupted")) << ::testing::PrintToString(notes);
      }
      SaveWorkbook(w.v3, book, notes);
      EXPECT_EQ(VersionIn(book, notes), "v3");
      EXPECT_EQ(Listing(book), (std::vector<std::string>{"A.csv", "workbook.txt"}));
      EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"book"});
    }
    EXPECT_GE(steps, existing ? 15 : 8);
  }
}

// A staging folder inside a workbook folder whose journal names what no save makes:
// neither a load nor a save changes anything outside the folder or any file of the
// user's in it; the journal is left as it is and named.
TEST(HostileJournal, ChangesNothingOutsideTheFolder) {
  const std::string newManifest = "quillary-workbook 2\nsheet A A.csv -1\n";
  struct Case {
    const char* what;
    std::function<void(const fs::path& dir, const fs::path& staging)> make;
    bool named = true;  // the note names the staging folder
  };
  const Case cases[] = {
      {"moves a file out of the folder and removes one outside it",
       [&](const fs::path& dir, const fs::path& staging) {
         WriteText(dir / "book" / ".profile", "shipped with the folder");
         WriteText(staging / "workbook.txt", newManifest);
         WriteText(staging / ".journal",
                   "quillary-save 1\ncommitted\nmove ../.profile\nmove workbook.txt\nremove ../outside/victim.txt\n");
       }},
      {"removes a file by its absolute path",
       [&](const fs::path& dir, const fs::path& staging) {
         WriteText(staging / "workbook.txt", newManifest);
         WriteText(staging / ".journal", "quillary-save 1\ncommitted\nmove workbook.txt\nremove \"" +
                                             (dir / "outside" / "victim.txt").string() + "\"\n");
       }},
      {"removes a file of the user's that the workbook does not name",
       [&](const fs::path&, const fs::path& staging) {
         WriteText(staging / "workbook.txt", newManifest);
         WriteText(staging / ".journal", "quillary-save 1\ncommitted\nmove workbook.txt\nremove notes.csv\n");
       }},
      {"moves in a file that its manifest does not name",
       [&](const fs::path&, const fs::path& staging) {
         WriteText(staging / "notes.csv", "theirs");
         WriteText(staging / "workbook.txt", newManifest);
         WriteText(staging / ".journal", "quillary-save 1\ncommitted\nmove notes.csv\nmove workbook.txt\n");
       }},
      {"stages a link leading outside",
       [&](const fs::path& dir, const fs::path& staging) {
         fs::create_directories(staging);
         fs::create_symlink(dir / "outside" / "victim.txt", staging / "A.csv");
         WriteText(staging / "workbook.txt", newManifest);
         WriteText(staging / ".journal", "quillary-save 1\ncommitted\nmove A.csv\nmove workbook.txt\n");
       }},
      {"has an entry that no save writes",
       [&](const fs::path&, const fs::path& staging) {
         WriteText(staging / "workbook.txt", newManifest);
         WriteText(staging / ".journal", "quillary-save 1\ncommitted\nmove workbook.txt\nchmod 777 ..\n");
       }},
      {"is a link to a folder outside",
       [&](const fs::path& dir, const fs::path& staging) {
         const fs::path elsewhere = dir / "outside" / "stage";
         WriteText(elsewhere / "A.csv", "moved in from outside\r\n");
         WriteText(elsewhere / "workbook.txt", newManifest);
         WriteText(elsewhere / ".journal", "quillary-save 1\ncommitted\nmove A.csv\nmove workbook.txt\n");
         fs::create_symlink(elsewhere, staging);
       },
       false},
  };
  Versions w;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const fs::path book = dir / "book";
    Notes notes;
    SaveWorkbook(w.v1, book, notes);
    WriteText(book / "notes.csv", "the user's");
    WriteText(dir / "outside" / "victim.txt", "victim");
    WriteText(dir / ".profile", "the user's profile");
    const fs::path staging = book / ".quillary-save-evil";
    c.make(dir.Path(), staging);

    const auto before = Snapshot(dir.Path());
    notes.clear();
    EXPECT_EQ(VersionIn(book, notes), "v1");
    EXPECT_EQ(Snapshot(dir.Path()), before);
    EXPECT_EQ(NotesSay(notes, "left as it is"), c.named) << ::testing::PrintToString(notes);

    notes.clear();
    SaveWorkbook(w.v3, book, notes);
    EXPECT_EQ(NotesSay(notes, ".quillary-save-evil' holds the journal of a save that"), c.named)
        << ::testing::PrintToString(notes);
    auto after = Snapshot(dir.Path());
    for (const auto& [name, held] : before) {
      const bool kept =
          !name.starts_with("book") || name.starts_with("book/.quillary-save-evil") || name == "book/notes.csv";
      if (kept) {
        EXPECT_EQ(after[name], held) << name;
      }
    }
    EXPECT_EQ(VersionIn(book, notes), "v3");
  }
}

// A child process that saves and stops at a step until it is told to go on.
class PausedSave {
 public:
  PausedSave(SaveStep at, const std::function<void()>& save) {
    EXPECT_EQ(::pipe(ready_), 0);
    EXPECT_EQ(::pipe(go_), 0);
    EXPECT_EQ(::pipe(said_), 0);
    child_ = ::fork();
    if (child_ == 0) {
      bool paused = false;
      SetSaveStepHook([&](SaveStep step) {
        if (step != at || paused) return;
        paused = true;
        char c = 0;
        (void)!::write(ready_[1], &c, 1);
        (void)!::read(go_[0], &c, 1);
      });
      try {
        save();
      } catch (const Failure& f) {
        (void)!::write(said_[1], f.what(), std::strlen(f.what()));
        ::_exit(1);
      }
      ::_exit(0);
    }
    ::close(said_[1]);
    char c = 0;
    EXPECT_EQ(::read(ready_[0], &c, 1), 1) << "the save did not reach its step";
  }
  // Lets the save go on and waits for its end: its exit status and what it said.
  std::pair<int, std::string> Finish() {
    char c = 0;
    EXPECT_EQ(::write(go_[1], &c, 1), 1);
    std::string said;
    char buffer[256];
    for (ssize_t n; (n = ::read(said_[0], buffer, sizeof buffer)) > 0;)
      said.append(buffer, static_cast<std::size_t>(n));
    int status = 0;
    EXPECT_EQ(::waitpid(child_, &status, 0), child_);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, said};
  }

 private:
  pid_t child_ = -1;
  int ready_[2], go_[2], said_[2];
};

// A second save of a folder waits for the first; a load does not read a folder while it
// is being saved; each waits only so long, then says why.
TEST(FolderLocks, ASecondSaveWaitsForTheFirst) {
  Versions w;
  TempDir dir;
  const fs::path book = dir / "book";
  Notes notes;
  SaveWorkbook(w.v1, book, notes);
  PausedSave first(SaveStep::kFileWritten, [&] { SaveWorkbook(w.v2, book, notes); });
  try {
    FolderLock load(book, FolderLock::Use::kLoad, std::chrono::milliseconds(50));
    ADD_FAILURE() << "a load took the folder while it was being saved";
  } catch (const Failure& f) {
    EXPECT_NE(std::string(f.what()).find("another process is saving it"), std::string::npos) << f.what();
  }
  std::atomic<bool> done = false;
  std::thread second([&] {
    Notes own;
    SaveWorkbook(w.v3, book, own);
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(done) << "the second save did not wait";
  EXPECT_EQ(first.Finish().first, 0);
  second.join();
  EXPECT_EQ(VersionIn(book, notes), "v3");
  EXPECT_FALSE(AnyHidden(book));
}

TEST(FolderLocks, LoadsShareAndSavesExclude) {
  TempDir dir;
  using Use = FolderLock::Use;
  constexpr std::chrono::milliseconds brief(30);
  {
    const FolderLock one(dir.Path(), Use::kLoad), two(dir.Path(), Use::kLoad, brief);
    EXPECT_THROW(FolderLock(dir.Path(), Use::kSave, brief), Failure);
  }
  const FolderLock save(dir.Path(), Use::kSave);
  try {
    FolderLock(dir.Path(), Use::kSave, brief);
    ADD_FAILURE() << "two saves held one folder";
  } catch (const Failure& f) {
    EXPECT_NE(std::string(f.what()).find("another process is saving or reading it"), std::string::npos) << f.what();
  }
}

// A save into a folder that does not exist yet leaves another process's staging folder
// beside it alone while that save lives; of two such saves the second to finish says
// that the folder was made meanwhile.
TEST(FolderLocks, ALiveStagingFolderIsLeftAlone) {
  Versions w;
  TempDir dir;
  const fs::path book = dir / "new";
  Notes notes;
  PausedSave first(SaveStep::kFileWritten, [&] { SaveWorkbook(w.v2, book, notes); });
  const auto staging = Listing(dir.Path());
  ASSERT_EQ(staging.size(), 1u);
  SaveWorkbook(w.v3, book, notes);
  EXPECT_TRUE(fs::exists(dir / staging.front())) << "the live staging folder was removed";
  const auto [status, said] = first.Finish();
  EXPECT_EQ(status, 1);
  EXPECT_NE(said.find("another process made it while this save was written"), std::string::npos) << said;
  EXPECT_EQ(VersionIn(book, notes), "v3");
  EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"new"});
}

}  // namespace
}  // namespace quillary::workbook
