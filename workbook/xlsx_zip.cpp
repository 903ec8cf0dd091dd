#include "workbook/xlsx_zip.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <system_error>

#include "workbook/failure.h"

namespace quillary::workbook::xlsx {

namespace {

constexpr std::uint32_t kLocalSig = 0x04034b50, kCentralSig = 0x02014b50, kEndSig = 0x06054b50;
constexpr std::uint32_t kEnd64Sig = 0x06064b50, kEnd64LocatorSig = 0x07064b50;
constexpr std::size_t kLocalHeader = 30, kCentralHeader = 46, kEndRecord = 22;

[[noreturn]] void Damaged(const std::string& what) { throw Failure("the zip archive is damaged: " + what); }

// Little-endian reads bounded by the data.
struct Reader {
  std::string_view data;
  std::uint64_t U(std::uint64_t at, int bytes) const {
    if (at > data.size() || data.size() - at < static_cast<std::uint64_t>(bytes)) Damaged("a record runs past its end");
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(data[at + static_cast<unsigned>(i)]);
    return v;
  }
  std::uint16_t U16(std::uint64_t at) const { return static_cast<std::uint16_t>(U(at, 2)); }
  std::uint32_t U32(std::uint64_t at) const { return static_cast<std::uint32_t>(U(at, 4)); }
  std::uint64_t U64(std::uint64_t at) const { return U(at, 8); }
};

void Put(std::string& out, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(i < 8 ? (v >> (8 * i)) & 0xFF : 0);
}

}  // namespace

ZipArchive::ZipArchive(std::string_view data, std::uint64_t partLimit, std::uint64_t archiveLimit) : data_(data) {
  const Reader r{data};
  if (data.size() < kEndRecord) Damaged("it is too short to be one");
  // The end record lies in the last 64 KiB (its comment is at most 65,535 bytes).
  std::uint64_t end = data.size() - kEndRecord;
  const std::uint64_t lowest = end > 0xFFFF ? end - 0xFFFF : 0;
  while (r.U32(end) != kEndSig) {
    if (end == lowest) Damaged("its central directory is missing (is the file cut short?)");
    --end;
  }
  std::uint64_t count = r.U16(end + 10);
  std::uint64_t dirSize = r.U32(end + 12);
  std::uint64_t dirOffset = r.U32(end + 16);
  if ((count == 0xFFFF || dirOffset == 0xFFFFFFFF || dirSize == 0xFFFFFFFF) && end >= 20 &&
      r.U32(end - 20) == kEnd64LocatorSig) {
    const std::uint64_t end64 = r.U64(end - 20 + 8);
    if (r.U32(end64) != kEnd64Sig) Damaged("its zip64 end record is missing");
    count = r.U64(end64 + 32);
    dirSize = r.U64(end64 + 40);
    dirOffset = r.U64(end64 + 48);
  }
  if (dirOffset > data.size() || dirSize > data.size() - dirOffset) Damaged("its central directory lies past its end");
  if (count > dirSize / kCentralHeader) Damaged("its central directory lists more parts than it holds");
  std::uint64_t at = dirOffset, total = 0, stored = 0;
  entries_.reserve(static_cast<std::size_t>(count));
  std::map<std::string, std::string> folded;  // part names compare case-insensitively
  for (std::uint64_t i = 0; i < count; ++i) {
    if (r.U32(at) != kCentralSig) Damaged("an entry of its central directory is broken");
    ZipEntry e;
    e.flags = r.U16(at + 8);
    e.method = r.U16(at + 10);
    e.time = r.U16(at + 12);
    e.date = r.U16(at + 14);
    e.crc = r.U32(at + 16);
    e.compressedSize = r.U32(at + 20);
    e.size = r.U32(at + 24);
    const std::uint16_t nameLen = r.U16(at + 28), extraLen = r.U16(at + 30), commentLen = r.U16(at + 32);
    e.localOffset = r.U32(at + 42);
    r.U(at + kCentralHeader + nameLen + extraLen + commentLen - 1, 1);  // all inside the data
    e.name.assign(data.substr(at + kCentralHeader, nameLen));
    // Sizes and offset past 4 GiB come from the zip64 extra field.
    std::uint64_t x = at + kCentralHeader + nameLen;
    const std::uint64_t xEnd = x + extraLen;
    while (x + 4 <= xEnd) {
      const std::uint16_t id = r.U16(x), len = r.U16(x + 2);
      if (id == 0x0001) {
        std::uint64_t f = x + 4;
        if (e.size == 0xFFFFFFFF) e.size = r.U64(f), f += 8;
        if (e.compressedSize == 0xFFFFFFFF) e.compressedSize = r.U64(f), f += 8;
        if (e.localOffset == 0xFFFFFFFF) e.localOffset = r.U64(f);
      }
      x += 4 + len;
    }
    at += kCentralHeader + nameLen + extraLen + commentLen;
    if ((e.flags & 1) != 0) throw Failure("the part '" + e.name + "' is encrypted");
    if (e.size > partLimit) {
      throw Failure("the part '" + e.name + "' would expand to " + std::to_string(e.size) +
                    " bytes, more than the limit of " + std::to_string(partLimit) + " bytes a part");
    }
    total += e.size;
    if (total > archiveLimit) {
      throw Failure("the parts would expand to more than the limit of " + std::to_string(archiveLimit) +
                    " bytes in all");
    }
    // Entries sharing their data would make a copy of the archive far larger than it.
    stored += e.compressedSize;
    if (stored > data.size()) Damaged("its parts claim more data than it holds");
    std::string key = e.name;
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (const auto [it, fresh] = folded.emplace(std::move(key), e.name); !fresh) {
      throw Failure("the zip archive holds two parts of the same name, '" + it->second + "' and '" + e.name +
                    "': which one is meant is unclear");
    }
    index_.emplace(e.name, entries_.size());
    entries_.push_back(std::move(e));
  }
}

std::string_view ZipArchive::RawData(const ZipEntry& e) const {
  const Reader r{data_};
  if (r.U32(e.localOffset) != kLocalSig) Damaged("the part '" + e.name + "' does not start where its entry says");
  const std::uint64_t start = e.localOffset + kLocalHeader + r.U16(e.localOffset + 26) + r.U16(e.localOffset + 28);
  if (start > data_.size() || e.compressedSize > data_.size() - start) {
    Damaged("the part '" + e.name + "' runs past the end of the file (is the file cut short?)");
  }
  return data_.substr(start, e.compressedSize);
}

std::string ZipArchive::Read(std::string_view name, bool required) const {
  const auto it = index_.find(std::string(name));
  if (it == index_.end()) {
    if (required) throw Failure("the part '" + std::string(name) + "' is missing");
    return {};
  }
  const ZipEntry& e = entries_[it->second];
  const std::string_view raw = RawData(e);
  std::string out;
  if (e.method == 0) {
    if (raw.size() != e.size) Damaged("the stored part '" + e.name + "' has another size than its entry says");
    out.assign(raw);
  } else if (e.method == 8) {
    // Inflated into a buffer of the stated size: a stream that would expand further
    // stops there and is refused.
    out.resize(static_cast<std::size_t>(e.size));
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    if (d == nullptr) throw Failure("cannot inflate: out of memory");
    const libdeflate_result rc =
        libdeflate_deflate_decompress(d, raw.data(), raw.size(), out.data(), out.size(), nullptr);
    libdeflate_free_decompressor(d);
    if (rc == LIBDEFLATE_INSUFFICIENT_SPACE)
      Damaged("the part '" + e.name + "' expands beyond the size its entry states");
    if (rc == LIBDEFLATE_SHORT_OUTPUT) Damaged("the part '" + e.name + "' has another size than its entry says");
    if (rc != LIBDEFLATE_SUCCESS) Damaged("the data of the part '" + e.name + "' is broken or cut short");
  } else {
    throw Failure("the part '" + e.name + "' is compressed by method " + std::to_string(e.method) +
                  ", which cannot be read");
  }
  if (libdeflate_crc32(0, out.data(), out.size()) != e.crc) {
    Damaged("the part '" + e.name + "' fails its checksum");
  }
  return out;
}

void ZipArchive::ReadPieces(std::string_view name, std::size_t chunk,
                            const std::function<void(std::string_view)>& use) const {
  const auto it = index_.find(std::string(name));
  if (it == index_.end()) throw Failure("the part '" + std::string(name) + "' is missing");
  const ZipEntry& e = entries_[it->second];
  if (e.method != 8) {
    use(Read(name));
    return;
  }
  const std::string_view raw = RawData(e);
  std::string out(chunk, '\0');
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw Failure("cannot inflate: out of memory");
  std::uint64_t fed = 0, produced = 0;
  std::uint32_t crc = 0;
  int rc = Z_OK;
  try {
    while (rc != Z_STREAM_END) {
      const std::uint64_t inChunk = std::min<std::uint64_t>(raw.size() - fed, 1U << 30);
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.data() + fed));
      z.avail_in = static_cast<uInt>(inChunk);
      z.next_out = reinterpret_cast<Bytef*>(out.data());
      z.avail_out = static_cast<uInt>(out.size());
      rc = inflate(&z, Z_NO_FLUSH);
      fed += inChunk - z.avail_in;
      const std::size_t got = out.size() - z.avail_out;
      if (rc != Z_OK && rc != Z_STREAM_END && !(rc == Z_BUF_ERROR && got > 0)) {
        Damaged("the data of the part '" + e.name + "' is broken or cut short");
      }
      produced += got;
      // A stream that expands beyond the stated size is refused without inflating it.
      if (produced > e.size) Damaged("the part '" + e.name + "' expands beyond the size its entry states");
      crc = static_cast<std::uint32_t>(libdeflate_crc32(crc, out.data(), got));
      if (got > 0) use(std::string_view(out.data(), got));
      if (rc == Z_OK && got == 0 && fed == raw.size()) Damaged("the data of the part '" + e.name + "' is cut short");
    }
  } catch (...) {
    inflateEnd(&z);
    throw;
  }
  inflateEnd(&z);
  if (produced != e.size) Damaged("the part '" + e.name + "' has another size than its entry says");
  if (crc != e.crc) Damaged("the part '" + e.name + "' fails its checksum");
}

namespace {

// An entry of `data` deflated at once by libdeflate at `level` (1..12), and its data.
struct DeflatedAtOnce {
  ZipEntry entry;
  std::unique_ptr<char[]> data;
  std::size_t size = 0;
};

DeflatedAtOnce DeflateAtOnce(const std::string& name, std::string_view data, int level) {
  DeflatedAtOnce d;
  ZipEntry& e = d.entry;
  e.name = name;
  e.method = 8;
  e.size = data.size();
  e.crc = static_cast<std::uint32_t>(libdeflate_crc32(0, data.data(), data.size()));
  struct Compressor {
    libdeflate_compressor* c;
    ~Compressor() { libdeflate_free_compressor(c); }
  } z{libdeflate_alloc_compressor(level)};
  if (z.c == nullptr) throw Failure("cannot deflate: out of memory");
  // Room that is not cleared first: the compressor writes what is read of it.
  const std::size_t bound = libdeflate_deflate_compress_bound(z.c, data.size());
  d.data.reset(new char[bound]);
  d.size = libdeflate_deflate_compress(z.c, data.data(), data.size(), d.data.get(), bound);
  if (d.size == 0 && !data.empty()) throw Failure("cannot deflate a part of the workbook");
  return d;
}

}  // namespace

// A zlib stream of raw deflate data, reset for each piece.
struct PartDeflater::Stream {
  z_stream z{};
  explicit Stream(int level) {
    if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
      throw Failure("cannot deflate: out of memory");
    }
  }
  ~Stream() { deflateEnd(&z); }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  // The job's piece deflated into its `out`: a sync flush ends it, or the stream's end.
  void Deflate(Job& job) {
    if (deflateReset(&z) != Z_OK) throw Failure("cannot deflate a part of the workbook");
    if (!job.dictionary.empty() && deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(job.dictionary.data()),
                                                        static_cast<uInt>(job.dictionary.size())) != Z_OK) {
      throw Failure("cannot deflate a part of the workbook");
    }
    z.next_in = reinterpret_cast<Bytef*>(job.data.data());
    z.avail_in = static_cast<uInt>(job.data.size());
    job.out.reserve(job.data.size() / 4 + 1024);
    std::array<char, 1 << 16> room;
    while (true) {
      z.next_out = reinterpret_cast<Bytef*>(room.data());
      z.avail_out = static_cast<uInt>(room.size());
      const int rc = deflate(&z, job.last ? Z_FINISH : Z_SYNC_FLUSH);
      if (rc == Z_STREAM_ERROR) throw Failure("cannot deflate a part of the workbook");
      job.out.append(room.data(), room.size() - z.avail_out);
      if (job.last ? rc == Z_STREAM_END : z.avail_in == 0 && z.avail_out != 0) break;
    }
  }
};

namespace {

// Threads that deflate the pieces of a part.
constexpr std::size_t kMostThreads = 4;
// The window of a deflate stream: how far back a piece may refer.
constexpr std::size_t kWindow = std::size_t{1} << 15;

}  // namespace

PartDeflater::PartDeflater(int level, std::size_t pieceSize) : level_(level), pieceSize_(pieceSize) {
  // A row may run past the piece's end: room for the piece and most rows.
  piece_.reserve(pieceSize_ + pieceSize_ / 8);
}

PartDeflater::~PartDeflater() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void PartDeflater::Flush(bool last) {
  if (!started_) {
    started_ = true;
    const std::size_t threads = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMostThreads);
    for (std::size_t i = 0; i < threads; ++i) {
      try {
        threads_.emplace_back([this] { Work(); });
      } catch (const std::system_error&) {
        break;  // no more threads to be had: those there are do the work
      }
    }
  }
  crc_ = static_cast<std::uint32_t>(libdeflate_crc32(crc_, piece_.data(), piece_.size()));
  size_ += piece_.size();
  Job job;
  job.last = last;
  job.dictionary = tail_;
  tail_.assign(piece_, piece_.size() - std::min(piece_.size(), kWindow));
  if (threads_.empty()) {
    if (!here_) here_ = std::make_unique<Stream>(level_);
    job.data = std::move(piece_);
    here_->Deflate(job);
    blocks_.push_back(std::move(job.out));
    piece_ = std::move(job.data);
    piece_.clear();
    return;
  }
  std::unique_lock lock(mutex_);
  // A few pieces under way at a time: their room is used again.
  changed_.wait(lock, [&] {
    Collect();
    return failed_ || jobs_.size() < threads_.size() + 1;
  });
  if (failed_) std::rethrow_exception(failed_);
  job.data = std::move(piece_);
  jobs_.push_back(std::move(job));
  if (!spare_.empty()) {
    piece_ = std::move(spare_.back());
    spare_.pop_back();
  } else {
    piece_ = std::string();
    piece_.reserve(pieceSize_ + pieceSize_ / 8);
  }
  lock.unlock();
  changed_.notify_all();
}

void PartDeflater::Collect() {
  while (!jobs_.empty() && jobs_.front().done) {
    Job& job = jobs_.front();
    blocks_.push_back(std::move(job.out));
    job.data.clear();
    spare_.push_back(std::move(job.data));
    jobs_.pop_front();
  }
}

void PartDeflater::Work() {
  std::unique_ptr<Stream> stream;
  std::unique_lock lock(mutex_);
  while (true) {
    Job* job = nullptr;
    changed_.wait(lock, [&] {
      if (stop_ || failed_) return true;
      for (Job& j : jobs_) {
        if (!j.taken) {
          job = &j;
          return true;
        }
      }
      return false;
    });
    if (job == nullptr) return;  // stopped, or a piece failed
    job->taken = true;
    lock.unlock();
    std::exception_ptr failure;
    try {
      if (!stream) stream = std::make_unique<Stream>(level_);
      stream->Deflate(*job);
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    if (failure && !failed_) failed_ = failure;
    job->done = true;
    changed_.notify_all();
  }
}

DeflatedPart PartDeflater::Finish(std::string name) {
  DeflatedPart part;
  ZipEntry& e = part.entry;
  e.name = std::move(name);
  e.method = 8;
  if (!started_) {
    // All of it in one piece: deflated at once.
    DeflatedAtOnce d = DeflateAtOnce(e.name, piece_, level_);
    e = d.entry;
    part.blocks.emplace_back(d.data.get(), d.size);
    return part;
  }
  Flush(true);
  if (!threads_.empty()) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] {
      Collect();
      return failed_ || jobs_.empty();
    });
    if (failed_) std::rethrow_exception(failed_);
  }
  e.size = size_;
  e.crc = crc_;
  part.blocks = std::move(blocks_);
  return part;
}

void ZipWriter::Begin(ZipEntry& e) {
  e.flags &= static_cast<std::uint16_t>(~8U);  // sizes in the header, no data descriptor
  const std::uint64_t offset = doneBytes_ + out_.size();
  if (e.size > 0xFFFFFFFE || offset + e.compressedSize > 0xFFFFFFFE || count_ >= 0xFFFF) {
    throw Failure("the workbook is too large for a zip archive without zip64 records");
  }
  Put(out_, kLocalSig, 4);
  Put(out_, 20, 2);
  Put(out_, e.flags, 2);
  Put(out_, e.method, 2);
  Put(out_, e.time, 2);
  Put(out_, e.date, 2);
  Put(out_, e.crc, 4);
  Put(out_, e.compressedSize, 4);
  Put(out_, e.size, 4);
  Put(out_, e.name.size(), 2);
  Put(out_, 0, 2);
  out_ += e.name;
  Put(directory_, kCentralSig, 4);
  Put(directory_, 20, 2);
  Put(directory_, 20, 2);
  Put(directory_, e.flags, 2);
  Put(directory_, e.method, 2);
  Put(directory_, e.time, 2);
  Put(directory_, e.date, 2);
  Put(directory_, e.crc, 4);
  Put(directory_, e.compressedSize, 4);
  Put(directory_, e.size, 4);
  Put(directory_, e.name.size(), 2);
  Put(directory_, 0, 2 + 2 + 2 + 2 + 4);  // extra, comment, disk, internal and external attributes
  Put(directory_, offset, 4);
  directory_ += e.name;
  ++count_;
}

void ZipWriter::Add(ZipEntry e, std::string_view raw) {
  e.compressedSize = raw.size();
  Begin(e);
  out_ += raw;
}

void ZipWriter::Add(ZipEntry e, std::vector<std::string> blocks) {
  e.compressedSize = 0;
  for (const std::string& block : blocks) e.compressedSize += block.size();
  Begin(e);
  doneBytes_ += out_.size();
  done_.push_back(std::move(out_));
  out_.clear();
  for (std::string& block : blocks) {
    doneBytes_ += block.size();
    done_.push_back(std::move(block));
  }
}

void ZipWriter::AddDeflated(const std::string& name, std::string_view data, int level) {
  const DeflatedAtOnce d = DeflateAtOnce(name, data, level);
  Add(d.entry, std::string_view(d.data.get(), d.size));
}

std::vector<std::string> ZipWriter::FinishPieces() {
  const std::uint64_t dirOffset = doneBytes_ + out_.size();
  out_ += directory_;
  Put(out_, kEndSig, 4);
  Put(out_, 0, 4);
  Put(out_, count_, 2);
  Put(out_, count_, 2);
  Put(out_, directory_.size(), 4);
  Put(out_, dirOffset, 4);
  Put(out_, 0, 2);
  done_.push_back(std::move(out_));
  return std::move(done_);
}

std::string ZipWriter::Finish() {
  std::vector<std::string> pieces = FinishPieces();
  if (pieces.size() == 1) return std::move(pieces.front());
  std::string whole;
  std::size_t bytes = 0;
  for (const std::string& piece : pieces) bytes += piece.size();
  whole.reserve(bytes);
  for (const std::string& piece : pieces) whole += piece;
  return whole;
}

std::string MakeZip(const std::vector<std::pair<std::string, std::string>>& parts) {
  ZipWriter w;
  for (const auto& [name, data] : parts) w.AddDeflated(name, data);
  return w.Finish();
}

void RewriteZip(const std::filesystem::path& from, const std::filesystem::path& to,
                const std::map<std::string, std::string>& replaced) {
  std::ifstream in(from, std::ios::binary);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (!in) throw Failure("cannot read '" + from.string() + "': " + std::strerror(errno));
  const std::string data = std::move(buffer).str();
  const ZipArchive zip(data, UINT64_MAX, UINT64_MAX);
  ZipWriter w;
  for (const ZipEntry& e : zip.Entries()) {
    if (const auto it = replaced.find(e.name); it != replaced.end()) {
      w.AddDeflated(e.name, it->second);
    } else {
      w.Add(e, zip.RawData(e));
    }
  }
  const std::string out = w.Finish();
  std::ofstream file(to, std::ios::binary | std::ios::trunc);
  file.write(out.data(), static_cast<std::streamsize>(out.size()));
  file.close();
  if (!file) throw Failure("cannot write '" + to.string() + "': " + std::strerror(errno));
}

}  // namespace quillary::workbook::xlsx
