#include "cli/save_transaction.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

#include "cli/entries.h"
#include "cli/failure.h"

namespace quillary::cli {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMagic = "quillary-save";
constexpr std::string_view kVersion = "1";
constexpr char kJournal[] = ".journal";
constexpr char kInPlacePrefix[] = ".quillary-save-";
constexpr char kNewPrefix[] = ".quillary-new-";
// The folder inside a staging folder that becomes a new target.
constexpr char kNewFolder[] = "w";

void WriteFile(const fs::path& path, std::string_view data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out.write(data.data(), static_cast<std::streamsize>(data.size()));
  out.close();
  if (!out) throw Failure("cannot write " + QuotedPath(path) + ": " + std::strerror(errno));
}

std::string Line(std::initializer_list<std::string_view> words) { return EntryLine(words); }

// The entries of a staging folder's journal after its first, or nothing when the
// folder has no journal of a save (it is not one of ours).
std::optional<std::vector<std::vector<std::string>>> ReadJournal(const fs::path& staging) {
  std::ifstream in(staging / kJournal, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream data;
  data << in.rdbuf();
  const std::string text = std::move(data).str();
  std::vector<std::vector<std::string>> entries;
  try {
    const std::string version =
        ReadEntries(text, kMagic, {kVersion},
                    [&](std::string_view, std::vector<std::string>& w) { entries.push_back(std::move(w)); });
    if (version.empty()) return std::nullopt;
  } catch (const Failure&) {
    return std::nullopt;
  }
  return entries;
}

bool IsEntry(const std::vector<std::string>& e, std::string_view key) { return e.size() == 2 && e[0] == key; }

// Carries out a committed journal: moves the new files in, removes the old ones.
void RollForward(const fs::path& staging, const fs::path& target, const std::vector<std::vector<std::string>>& journal,
                 Notes& notes) {
  std::error_code ec;
  for (const auto& e : journal) {
    if (!IsEntry(e, "move") || !fs::exists(fs::symlink_status(staging / e[1], ec))) continue;
    if (::rename((staging / e[1]).c_str(), (target / e[1]).c_str()) != 0) {
      throw Failure("cannot put " + QuotedPath(target / e[1]) + " in place: " + std::strerror(errno) +
                    "; the next load or save tries again");
    }
  }
  for (const auto& e : journal) {
    if (!IsEntry(e, "remove")) continue;
    const fs::path old = target / e[1];
    const auto status = fs::symlink_status(old, ec);
    if (!fs::exists(status)) continue;
    if (!fs::is_regular_file(status)) {
      notes.push_back("the old workbook file " + QuotedPath(old) + " is no longer a plain file; it is left as it is");
    } else if (!fs::remove(old, ec)) {
      notes.push_back("cannot remove the old workbook file " + QuotedPath(old) + ": " + ec.message() +
                      "; it is left as it is");
    }
  }
  fs::remove_all(staging, ec);
  if (ec) notes.push_back("cannot remove the folder " + QuotedPath(staging) + " of the save: " + ec.message());
}

fs::path MakeStaging(const fs::path& in, const char* prefix, const fs::path& target) {
  std::string pattern = (in / (std::string(prefix) + "XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw Failure("cannot save to " + QuotedPath(target) + ": cannot make a folder in " + QuotedPath(in) + ": " +
                  std::strerror(errno));
  }
  return pattern;
}

// The folders in `folder` whose names begin with `prefix`.
std::vector<fs::path> StagingFolders(const fs::path& folder, const char* prefix) {
  std::vector<fs::path> found;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return found;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.path().filename().string().starts_with(prefix) && entry.is_directory(ec)) found.push_back(entry.path());
  }
  return found;
}

// Removes a staging folder that a save cut short left, saying so.
void RemoveLeftover(const fs::path& staging, Notes& notes) {
  std::error_code ec;
  fs::remove_all(staging, ec);
  if (ec) {
    notes.push_back("cannot remove " + QuotedPath(staging) + ", left by a save that was cut short: " + ec.message());
  } else {
    notes.push_back("removed " + QuotedPath(staging) + ", left by a save that was cut short");
  }
}

}  // namespace

std::string QuotedPath(const fs::path& path) {
  std::string quoted(1, '\'');
  quoted += path.string();
  quoted += '\'';
  return quoted;
}

SaveTransaction::SaveTransaction(fs::path target, std::vector<std::string> oldFiles)
    : target_(std::move(target)), oldFiles_(std::move(oldFiles)) {
  std::error_code ec;
  inPlace_ = fs::is_directory(target_, ec);
  staging_ = MakeStaging(inPlace_ ? target_ : target_.parent_path(), inPlace_ ? kInPlacePrefix : kNewPrefix, target_);
  try {
    if (inPlace_) {
      WriteFile(staging_ / kJournal, Line({kMagic, kVersion}));
    } else {
      WriteFile(staging_ / kJournal, Line({kMagic, kVersion}) + Line({"target", target_.filename().string()}));
      if (!fs::create_directory(staging_ / kNewFolder, ec)) {
        throw Failure("cannot make " + QuotedPath(staging_ / kNewFolder) + ": " + ec.message());
      }
    }
  } catch (const Failure& f) {
    fs::remove_all(staging_, ec);
    throw Failure("cannot save to " + QuotedPath(target_) + ": " + f.what());
  }
}

SaveTransaction::~SaveTransaction() {
  if (committed_) return;
  std::error_code ec;
  fs::remove_all(staging_, ec);
}

void SaveTransaction::Write(const std::string& name, std::string_view data) {
  try {
    WriteFile((inPlace_ ? staging_ : staging_ / kNewFolder) / name, data);
  } catch (const Failure& f) {
    throw Failure("cannot save to " + QuotedPath(target_) + ": " + f.what());
  }
  written_.push_back(name);
}

void SaveTransaction::Commit(const std::string& last, Notes& notes) {
  if (!inPlace_) {
    if (::rename((staging_ / kNewFolder).c_str(), target_.c_str()) != 0) {
      throw Failure("cannot save to " + QuotedPath(target_) + ": " + std::strerror(errno));
    }
    committed_ = true;
    std::error_code ec;
    fs::remove_all(staging_, ec);
    if (ec) notes.push_back("cannot remove the folder " + QuotedPath(staging_) + " of the save: " + ec.message());
    return;
  }
  // A file of the new set may only take the place of a plain file (or of nothing).
  std::error_code ec;
  for (const std::string& n : written_) {
    const auto status = fs::symlink_status(target_ / n, ec);
    if (fs::exists(status) && !fs::is_regular_file(status) && !fs::is_symlink(status)) {
      throw Failure("cannot save to " + QuotedPath(target_) + ": " + QuotedPath(target_ / n) +
                    " is not a plain file; nothing is written");
    }
  }
  std::string journal = Line({kMagic, kVersion}) + Line({"committed"});
  std::vector<std::string> moves = written_;
  std::stable_partition(moves.begin(), moves.end(), [&](const std::string& n) { return n != last; });
  for (const std::string& n : moves) journal += Line({"move", n});
  for (const std::string& n : oldFiles_) {
    if (std::find(written_.begin(), written_.end(), n) == written_.end()) journal += Line({"remove", n});
  }
  const fs::path pending = staging_ / ".journal-committed";
  try {
    WriteFile(pending, journal);
  } catch (const Failure& f) {
    throw Failure("cannot save to " + QuotedPath(target_) + ": " + f.what());
  }
  if (::rename(pending.c_str(), (staging_ / kJournal).c_str()) != 0) {
    throw Failure("cannot save to " + QuotedPath(target_) + ": " + std::strerror(errno));
  }
  // From here on the save is decided: what is not done now, the next run finishes.
  committed_ = true;
  RollForward(staging_, target_, *ReadJournal(staging_), notes);
}

void RecoverFolder(const fs::path& folder, Notes& notes) {
  std::error_code ec;
  const fs::path parent = folder.parent_path();
  // A new folder that was never put in place.
  for (const fs::path& staging : StagingFolders(parent, kNewPrefix)) {
    const auto journal = ReadJournal(staging);
    if (!journal || journal->empty() || !IsEntry(journal->front(), "target") ||
        journal->front()[1] != folder.filename().string()) {
      continue;
    }
    RemoveLeftover(staging, notes);
  }
  for (const fs::path& staging : StagingFolders(folder, kInPlacePrefix)) {
    const auto journal = ReadJournal(staging);
    if (!journal) continue;
    if (!journal->empty() && journal->front() == std::vector<std::string>{"committed"}) {
      RollForward(staging, folder, *journal, notes);
      notes.push_back("finished a save into " + QuotedPath(folder) + " that was cut short");
    } else {
      RemoveLeftover(staging, notes);
    }
  }
}

}  // namespace quillary::cli
