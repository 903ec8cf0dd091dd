// The zip container of xlsx files: its central directory read with limits, one part
// inflated with zlib, bounded by the size the directory states, and a written archive
// with some of its parts replaced.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
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

// A part's entry with its data deflated, in blocks laid end to end.
struct DeflatedPart {
  ZipEntry entry;
  std::vector<std::string> blocks;
};

// A part deflated as it is made, a piece at a time, so that a large one is never held
// whole (a sheet of a million rows is some 80 MB of XML, and first touching that much
// memory costs more than deflating it). The part's bytes are appended to Piece(); each
// full piece is deflated by zlib on one of a few threads while the next is made, as a
// run of blocks that ends on a byte (a sync flush) and that may refer back to the 32 KiB
// before it (the piece before it is its dictionary), so that the runs laid end to end
// are one deflate stream: the same bytes however many threads there are. A part that
// ends within its first piece is deflated at once by libdeflate, as
// ZipWriter::AddDeflated deflates it.
class PartDeflater {
 public:
  static constexpr std::size_t kPieceSize = std::size_t{1} << 19;

  explicit PartDeflater(int level, std::size_t pieceSize = kPieceSize);
  ~PartDeflater();
  PartDeflater(const PartDeflater&) = delete;
  PartDeflater& operator=(const PartDeflater&) = delete;

  // Where the part's next bytes go.
  std::string& Piece() { return piece_; }
  // Hands the piece over to be deflated once it holds a piece's bytes.
  void FlushIfFull() {
    if (piece_.size() >= pieceSize_) Flush(false);
  }
  // The part's entry, once all of it is in Piece().
  DeflatedPart Finish(std::string name);

 private:
  struct Stream;
  struct Job {
    std::string data, dictionary, out;
    bool last = false, taken = false, done = false;
  };
  void Flush(bool last);
  // Moves the deflated runs at the front of the queue to the part (under the lock).
  void Collect();
  void Work();

  int level_;
  std::size_t pieceSize_;
  std::string piece_;
  std::string tail_;  // the last 32 KiB of the piece handed over last
  bool started_ = false;
  std::uint32_t crc_ = 0;
  std::uint64_t size_ = 0;
  std::vector<std::string> blocks_;
  std::vector<std::string> spare_;  // pieces deflated, their room to be used again
  std::unique_ptr<Stream> here_;    // without threads, the pieces are deflated here
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> jobs_;  // in the part's order, until collected
  bool stop_ = false;
  std::exception_ptr failed_;
};

// Lays out an archive entry by entry: local headers and data, then the directory.
class ZipWriter {
 public:
  // An entry whose data is `raw` as another archive holds it (compressed).
  void Add(ZipEntry e, std::string_view raw);
  // The same with the data in blocks laid end to end, which the archive takes as they
  // are: they are not copied, but laid among the pieces FinishPieces gives.
  void Add(ZipEntry e, std::vector<std::string> blocks);
  // An entry of `data`, deflated at `level` (libdeflate's 1..12).
  void AddDeflated(const std::string& name, std::string_view data, int level = 6);
  std::string Finish();
  // The archive in pieces laid end to end.
  std::vector<std::string> FinishPieces();
  // Makes room for an archive of about `bytes`.
  void Reserve(std::size_t bytes) { out_.reserve(bytes); }

 private:
  // The entry's local header (its data to follow) and its record in the directory.
  void Begin(ZipEntry& e);

  std::vector<std::string> done_;  // the pieces before out_
  std::uint64_t doneBytes_ = 0;
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
