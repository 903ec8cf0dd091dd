// The zip container of xlsx files: its central directory read with limits, one part
// inflated with zlib, bounded by the size the directory states, and a written archive
// with some of its parts replaced.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quillary::workbook::xlsx {

// What an xlsx file may hold uncompressed: a larger part or archive is refused before
// anything of it is inflated (a zip bomb expands to far more).
inline constexpr std::uint64_t kPartLimit = std::uint64_t{1} << 30;     // 1 GiB a part
inline constexpr std::uint64_t kArchiveLimit = std::uint64_t{2} << 30;  // 2 GiB in all

struct ZipEntry {
  std::string name;
  std::uint16_t method = 0;  // 0 stored, 8 deflated
  std::uint16_t flags = 0;
  // The entry's DOS time and date; an entry made here gets 1980-01-01 00:00 (a valid
  // date that keeps the archive the same from save to save).
  std::uint16_t time = 0, date = 0x0021;
  std::uint32_t crc = 0;
  std::uint64_t compressedSize = 0;
  std::uint64_t size = 0;  // uncompressed, as the directory states it
  std::uint64_t localOffset = 0;
};

// A zip archive held in memory. Raises Failure for what is not a readable zip archive,
// for encrypted parts and for parts or an archive over the limits.
class ZipArchive {
 public:
  ZipArchive(std::string_view data, std::uint64_t partLimit = kPartLimit, std::uint64_t archiveLimit = kArchiveLimit);

  const std::vector<ZipEntry>& Entries() const { return entries_; }
  bool Has(std::string_view name) const { return index_.contains(std::string(name)); }
  // The part's size uncompressed as its entry states it (0 when it is missing).
  std::uint64_t Size(std::string_view name) const {
    const auto it = index_.find(std::string(name));
    return it == index_.end() ? 0 : entries_[it->second].size;
  }
  // The part's data uncompressed; Failure when it is missing (`required`) or damaged
  // (bad data, a size or checksum other than the directory states). A missing part
  // that is not required reads as "".
  std::string Read(std::string_view name, bool required = true) const;
  // The same a piece at a time: `use(piece)` with each inflated piece of at most `chunk`
  // bytes (its memory used again for the next), for parts too large to hold whole.
  void ReadPieces(std::string_view name, std::size_t chunk, const std::function<void(std::string_view)>& use) const;
  // The raw bytes of the entry's data (compressed), for copying it into another archive.
  std::string_view RawData(const ZipEntry& entry) const;

 private:
  std::string_view data_;
  std::vector<ZipEntry> entries_;
  std::map<std::string, std::size_t> index_;
};

// Lays out an archive entry by entry: local headers and data, then the directory.
class ZipWriter {
 public:
  // An entry whose data is `raw` as another archive holds it (compressed).
  void Add(ZipEntry e, std::string_view raw);
  // An entry of `data`, deflated at `level` (libdeflate's 1..12).
  void AddDeflated(const std::string& name, std::string_view data, int level = 6);
  std::string Finish();
  // Makes room for an archive of about `bytes`.
  void Reserve(std::size_t bytes) { out_.reserve(bytes); }

 private:
  std::string out_, directory_;
  std::size_t count_ = 0;
};

// A zip archive of the given parts, deflated, in order.
std::string MakeZip(const std::vector<std::pair<std::string, std::string>>& parts);

// Writes the archive at `from` to `to` with the parts named in `replaced` given new
// contents (deflated); the other parts are copied as they are.
void RewriteZip(const std::filesystem::path& from, const std::filesystem::path& to,
                const std::map<std::string, std::string>& replaced);

}  // namespace quillary::workbook::xlsx
