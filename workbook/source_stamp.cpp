#include "workbook/source_stamp.h"

#include <any>
#include <chrono>
#include <cstring>
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
  FileStamp stamp{Compared(path), size, {}, digest};
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::is_regular_file(status) || fs::file_size(path, ec) != size || ec) return stamp;
  // A time this recent may not tell a change made now: another program writing the file
  // within the same tick of its clock leaves it as it was. Such a stamp is left without
  // a time, and its file is always read again.
  const fs::file_time_type changed = fs::last_write_time(path, ec);
  if (!ec && fs::file_time_type::clock::now() - changed > std::chrono::seconds(2)) stamp.changed = changed;
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

std::string ChangedSinceRead(xl::Workbook& book, const std::vector<fs::path>& replaced) {
  const SourceFiles& source = SourceOf(book);
  for (const fs::path& file : replaced) {
    const fs::path path = source.empty() ? fs::path() : Compared(file);
    for (const FileStamp& stamp : source) {
      if (stamp.path != path) continue;
      std::error_code ec;
      if (!fs::is_regular_file(path, ec)) break;  // gone (or no longer a file): nothing of it is lost
      const std::uintmax_t size = fs::file_size(path, ec);
      const fs::file_time_type changed = fs::last_write_time(path, ec);
      if (!ec && size == stamp.size && changed == stamp.changed) break;
      std::string data;
      try {
        data = ReadPlainFile(path);
      } catch (const Failure&) {
        ec = std::make_error_code(std::errc::io_error);
      }
      if (!ec && data.size() == stamp.size && ContentDigest(data) == stamp.digest) break;
      return QuotedPath(path) +
             " changed since it was loaded (another program wrote it since); nothing was written. Save to another "
             "name, or load it again";
    }
  }
  return {};
}

}  // namespace quillary::workbook
