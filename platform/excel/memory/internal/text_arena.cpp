#include "platform/excel/memory/internal/text_arena.h"

#include <algorithm>
#include <cstring>

#include "platform/excel/memory/internal/big_block.h"

namespace quillary::xl::memory::internal {

namespace {

constexpr std::size_t kFirstBlockBytes = std::size_t{1} << 11;
constexpr std::size_t kLargestBlockBytes = std::size_t{1} << 21;  // 2 MiB
// Dead bytes are not worth moving the live texts for below this.
constexpr std::size_t kCompactFloor = std::size_t{1} << 19;

// Whether two runs of `size` bytes are equal. Texts of one length mostly part at their
// first byte (a column's prefixes, its numbers), which is looked at before any call.
bool SameBytes(const void* a, const void* b, std::size_t size) {
  if (size == 0) return true;
  return *static_cast<const char*>(a) == *static_cast<const char*>(b) && std::memcmp(a, b, size) == 0;
}

}  // namespace

TextArena::~TextArena() {
  for (Block& b : blocks_) FreeBlock(b);
}

void TextArena::FreeBlock(Block& b) {
  if (b.capacity >= kBigBlockBytes) {
    UnmapBlock(b.data, b.capacity);
  } else {
    delete[] b.data;
  }
  b = Block{};
}

void TextArena::NewBlock(std::size_t atLeast) {
  // Blocks double from small to 2 MiB, so that a short column stays small.
  const std::size_t grown =
      blocks_.empty() ? kFirstBlockBytes : std::min(kLargestBlockBytes, std::size_t{blocks_.back().capacity} * 2);
  const std::size_t bytes = std::max(atLeast, grown);
  Block b;
  b.data = bytes >= kBigBlockBytes ? static_cast<char*>(MapBlock(bytes)) : new char[bytes];
  b.capacity = static_cast<std::uint32_t>(bytes);
  blocks_.push_back(b);
}

// Puts `size` bytes in the last block (a two-byte text at an even position, so that it
// can be viewed where it lies).
TextRef TextArena::Place(const void* bytes, std::size_t size, std::size_t length, bool narrow) {
  if (hasLast_ && Length(last_) == length && Narrow(last_) == narrow && SameBytes(Data(last_), bytes, size)) {
    live_ += size;
    return last_;
  }
  const auto fits = [&] {
    if (blocks_.empty()) return false;
    const Block& b = blocks_.back();
    const std::size_t at = narrow ? b.used : (b.used + 1) & ~std::uint32_t{1};
    return at + size <= b.capacity;
  };
  if (!fits()) NewBlock(size + 1);
  Block& b = blocks_.back();
  if (!narrow) b.used = (b.used + 1) & ~std::uint32_t{1};
  const TextRef ref =
      (TextRef{blocks_.size() - 1} << 48) | (TextRef{b.used} << 16) | (narrow ? kNarrow : 0) | TextRef{length};
  if (size > 0) std::memcpy(b.data + b.used, bytes, size);
  b.used += static_cast<std::uint32_t>(size);
  live_ += size;
  last_ = ref;
  hasLast_ = true;
  return ref;
}

TextRef TextArena::Add(TextView text) {
  const bool narrow = std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x100; });
  if (!narrow) return Place(text.data(), text.size() * sizeof(char16_t), text.size(), false);
  constexpr std::size_t kShort = 256;
  char small[kShort];
  std::string large;
  char* bytes = small;
  if (text.size() > kShort) {
    large.resize(text.size());
    bytes = large.data();
  }
  for (std::size_t i = 0; i < text.size(); ++i) bytes[i] = static_cast<char>(text[i]);
  return Place(bytes, text.size(), text.size(), true);
}

void TextArena::AppendTo(TextRef ref, Text& out) const {
  const std::size_t n = Length(ref);
  const char* data = Data(ref);
  const std::size_t at = out.size();
  out.resize(at + n);
  if (Narrow(ref)) {
    for (std::size_t i = 0; i < n; ++i) out[at + i] = static_cast<unsigned char>(data[i]);
  } else {
    std::memcpy(out.data() + at, data, n * sizeof(char16_t));
  }
}

TextView TextArena::View(TextRef ref, Text& scratch) const {
  if (!Narrow(ref)) return TextView(reinterpret_cast<const char16_t*>(Data(ref)), Length(ref));
  scratch.clear();
  AppendTo(ref, scratch);
  return scratch;
}

bool TextArena::WantsCompact() const { return dead_ > kCompactFloor && dead_ > live_; }

}  // namespace quillary::xl::memory::internal
