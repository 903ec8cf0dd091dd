#include "workbook/source_stamp.h"

#include <sys/stat.h>

#include <any>
#include <chrono>
#include <cstring>
#include <set>
#include <system_error>

#include "platform/excel/memory/memory.h"
#include "workbook/failure.h"
#include "workbook/plain_file.h"
#include "workbook/save_transaction.h"

namespace quillary::workbook {

namespace fs = std::filesystem;

namespace {

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
  h ^= v * 0x9E3779B97F4A7C15ULL;
  h = (h << 27) | (h >> 37);
  return h * 0xC2B2AE3D27D4EB4FULL + 0x165667B19E3779F9ULL;
}

// The path as it is compared: absolute, its links followed as far as they lead.
fs::path Compared(const fs::path& path) {
  std::error_code ec;
  fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
  return ec ? fs::absolute(path, ec).lexically_normal() : p;
}

// The path as it is compared when its last name is not followed: where a file stamped
// before a link took its name was.
fs::path Named(const fs::path& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec).lexically_normal();
  if (ec || !absolute.has_filename()) return Compared(path);
  return Compared(absolute.parent_path()) / absolute.filename();
}

std::int64_t Nanoseconds(const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; }

}  // namespace

std::uint64_t ContentDigest(std::string_view data) {
  std::uint64_t h = data.size();
  std::size_t at = 0;
  for (; at + 8 <= data.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, data.data() + at, 8);
    h = Mix(h, word);
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, data.data() + at, data.size() - at);
  return Mix(h, tail);
}

FileStamp StampOf(const fs::path& path, std::string_view data) {
  return StampOf(path, data.size(), ContentDigest(data));
}

FileStamp StampOf(const fs::path& path, std::uintmax_t size, std::uint64_t digest) {
  FileStamp stamp{.path = Compared(path), .size = size, .digest = digest};
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::uintmax_t>(st.st_size) != size) {
    return stamp;
  }
  // A time this recent may not tell a change made now: another program writing the file
  // within the same tick of its clock leaves it as it was. Such a stamp is left without
  // a time, and its file is always read again.
  std::error_code ec;
  const fs::file_time_type changed = fs::last_write_time(path, ec);
  const std::int64_t now =
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
  constexpr std::int64_t kRecent = 2'000'000'000;
  if (ec || fs::file_time_type::clock::now() - changed <= std::chrono::seconds(2) ||
      now - Nanoseconds(st.st_ctim) <= kRecent) {
    return stamp;
  }
  stamp.changed = changed;
  stamp.entryChanged = Nanoseconds(st.st_ctim);
  stamp.device = st.st_dev;
  stamp.inode = st.st_ino;
  return stamp;
}

const SourceFiles& SourceOf(xl::Workbook& book) {
  static const SourceFiles kNone;
  auto* memory = dynamic_cast<xl::memory::FileBook*>(&book);
  if (memory == nullptr) return kNone;
  const auto* held = std::any_cast<SourceFiles>(&memory->Source());
  return held ? *held : kNone;
}

void SetSource(xl::Workbook& book, SourceFiles files) {
  if (auto* memory = dynamic_cast<xl::memory::FileBook*>(&book)) memory->Source() = std::move(files);
}

void RecordSaved(xl::Workbook& book, const SourceFiles& saved, const fs::path& folder) {
  const fs::path within = folder.empty() ? fs::path() : Compared(folder);
  std::set<fs::path> written;
  for (const FileStamp& stamp : saved) written.insert(stamp.path);
  SourceFiles files;
  for (const FileStamp& stamp : SourceOf(book)) {
    if (!within.empty() && stamp.path.parent_path() == within) continue;
    if (!written.contains(stamp.path)) files.push_back(stamp);
  }
  files.insert(files.end(), saved.begin(), saved.end());
  SetSource(book, std::move(files));
}

std::string ChangedSinceRead(xl::Workbook& book, const std::vector<fs::path>& replaced) {
  const SourceFiles& source = SourceOf(book);
  const auto changedSince = [](const fs::path& path) {
    return QuotedPath(path) +
           " changed since it was loaded (another program wrote it since); nothing was written. Save to another "
           "name, or load it again";
  };
  for (const fs::path& file : replaced) {
    if (source.empty()) break;
    const fs::path path = Compared(file);
    // A name that was a file when stamped and is now a link (even one that leads nowhere):
    // the link took its place.
    std::error_code linked;
    if (const fs::path named = Named(file); fs::is_symlink(fs::symlink_status(named, linked))) {
      for (const FileStamp& stamp : source) {
        if (stamp.path == named) return changedSince(named);
      }
    }
    for (const FileStamp& stamp : source) {
      if (stamp.path != path) continue;
      struct stat st {};
      if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        break;  // gone (or no longer a file): nothing of it is lost
      std::error_code ec;
      const fs::file_time_type changed = fs::last_write_time(path, ec);
      if (!ec && static_cast<std::uintmax_t>(st.st_size) == stamp.size && changed == stamp.changed &&
          Nanoseconds(st.st_ctim) == stamp.entryChanged && st.st_dev == stamp.device && st.st_ino == stamp.inode) {
        break;
      }
      std::string data;
      try {
        data = ReadPlainFile(path);
      } catch (const Failure&) {
        ec = std::make_error_code(std::errc::io_error);
      }
      if (!ec && data.size() == stamp.size && ContentDigest(data) == stamp.digest) break;
      return changedSince(path);
    }
  }
  return {};
}

}  // namespace quillary::workbook
