#include "workbook/source_stamp.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <any>
#include <chrono>
#include <cstring>
#include <optional>
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

// What the file system tells of a file's entry beside its bytes.
struct Entry {
  std::uintmax_t size = 0;
  std::int64_t changed = 0;  // the entry's time of change, in ns since the epoch; 0: not told
  std::uintmax_t device = 0, inode = 0;
};

// The entry of the regular file at `path`; nothing when there is none.
std::optional<Entry> EntryOf(const fs::path& path) {
#ifndef _WIN32
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return Entry{.size = static_cast<std::uintmax_t>(st.st_size),
               .changed = std::int64_t{st.st_ctim.tv_sec} * 1'000'000'000 + st.st_ctim.tv_nsec,
               .device = st.st_dev,
               .inode = st.st_ino};
#else
  // Windows tells no entry time or file number through the standard library: the size and
  // the time of writing serve, and a file that differs in either is read again.
  std::error_code ec;
  if (!fs::is_regular_file(path, ec) || ec) return std::nullopt;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec) return std::nullopt;
  return Entry{.size = size};
#endif
}

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

std::uint64_t ContentDigest(std::span<const std::string> pieces) {
  std::uint64_t h = 0;
  for (const std::string& piece : pieces) h += piece.size();
  // The bytes of a word that an earlier piece began.
  char word[8];
  std::size_t held = 0;
  for (const std::string& piece : pieces) {
    std::size_t at = 0;
    if (held > 0) {
      at = std::min<std::size_t>(8 - held, piece.size());
      std::memcpy(word + held, piece.data(), at);
      held += at;
      if (held < 8) continue;
      std::uint64_t w;
      std::memcpy(&w, word, 8);
      h = Mix(h, w);
      held = 0;
    }
    for (; at + 8 <= piece.size(); at += 8) {
      std::uint64_t w;
      std::memcpy(&w, piece.data() + at, 8);
      h = Mix(h, w);
    }
    held = piece.size() - at;
    std::memcpy(word, piece.data() + at, held);
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, word, held);
  return Mix(h, tail);
}

FileStamp StampOf(const fs::path& path, std::string_view data) {
  return StampOf(path, data.size(), ContentDigest(data));
}

FileStamp StampOf(const fs::path& path, std::uintmax_t size, std::uint64_t digest) {
  FileStamp stamp{.path = Compared(path), .size = size, .digest = digest};
  const std::optional<Entry> entry = EntryOf(path);
  if (!entry || entry->size != size) return stamp;
  // A time this recent may not tell a change made now: another program writing the file
  // within the same tick of its clock leaves it as it was. Such a stamp is left without
  // a time, and its file is always read again.
  std::error_code ec;
  const fs::file_time_type changed = fs::last_write_time(path, ec);
  const std::int64_t now =
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
  constexpr std::int64_t kRecent = 2'000'000'000;
  if (ec || fs::file_time_type::clock::now() - changed <= std::chrono::seconds(2) || now - entry->changed <= kRecent) {
    return stamp;
  }
  stamp.changed = changed;
  stamp.entryChanged = entry->changed;
  stamp.device = entry->device;
  stamp.inode = entry->inode;
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
      const std::optional<Entry> entry = EntryOf(path);
      if (!entry) break;  // gone (or no longer a file): nothing of it is lost
      std::error_code ec;
      const fs::file_time_type changed = fs::last_write_time(path, ec);
      if (!ec && entry->size == stamp.size && changed == stamp.changed && entry->changed == stamp.entryChanged &&
          entry->device == stamp.device && entry->inode == stamp.inode) {
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
